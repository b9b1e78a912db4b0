#pragma once
// The pipe between the console and its local application server (OvikAppSvr): a
// local socket named "OvikAppSvr". The console connects, sends one request and waits
// for its answer; the server answers every request and closes nothing itself.
//
// Request (one line of JSON, UTF-8):  {"id":"<date and time>","fields":{"Command":"AppClose"}}
// Answer  (one line of JSON, UTF-8):  {"id":"<same>","error":0,"text":"OK"}
// Commands: "AppClose" (the server quits after answering), "Reconnect" (the server
// reopens its database connection). Error codes of the answer: 0 done, 1 unknown
// command, 2 malformed request, 3 the command failed (text says why).
#include <QByteArray>
#include <QMap>
#include <QString>

namespace AppServerPipe {

constexpr const char *DefaultName = "OvikAppSvr";
constexpr const char *CmdAppClose = "AppClose";
constexpr const char *CmdReconnect = "Reconnect";

enum TErrorCode { ecNone = 0, ecUnknownCommand = 1, ecMalformed = 2, ecFailed = 3 };

struct TRequest
{
    QString Id;
    QMap<QString, QString> Fields; // named UTF-8 text fields ("Command")
    QString Command() const { return Fields.value(QStringLiteral("Command")); }
};

struct TReply
{
    QString Id;
    int Error = ecNone;
    QString Text;
};

QByteArray EncodeRequest(const TRequest &request);
bool DecodeRequest(const QByteArray &line, TRequest *request);
QByteArray EncodeReply(const TReply &reply);
bool DecodeReply(const QByteArray &line, TReply *reply);

} // namespace AppServerPipe
