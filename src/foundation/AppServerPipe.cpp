#include "foundation/AppServerPipe.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace AppServerPipe {

QByteArray EncodeRequest(const TRequest &request)
{
    QJsonObject fields;
    for (auto it = request.Fields.cbegin(); it != request.Fields.cend(); ++it)
        fields.insert(it.key(), it.value());
    QJsonObject o;
    o.insert(QStringLiteral("id"), request.Id);
    o.insert(QStringLiteral("fields"), fields);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

// The JSON object of one line; false when the line is not one.
static bool LineObject(const QByteArray &line, QJsonObject *o)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(line.trimmed(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    *o = doc.object();
    return true;
}

bool DecodeRequest(const QByteArray &line, TRequest *request)
{
    QJsonObject o;
    if (!LineObject(line, &o))
        return false;
    if (!o.value(QStringLiteral("fields")).isObject())
        return false;
    TRequest r;
    r.Id = o.value(QStringLiteral("id")).toString();
    const QJsonObject f = o.value(QStringLiteral("fields")).toObject();
    for (auto it = f.begin(); it != f.end(); ++it)
        r.Fields.insert(it.key(), it.value().toString());
    if (request)
        *request = r;
    return true;
}

QByteArray EncodeReply(const TReply &reply)
{
    QJsonObject o;
    o.insert(QStringLiteral("id"), reply.Id);
    o.insert(QStringLiteral("error"), reply.Error);
    o.insert(QStringLiteral("text"), reply.Text);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

bool DecodeReply(const QByteArray &line, TReply *reply)
{
    QJsonObject o;
    if (!LineObject(line, &o))
        return false;
    TReply r;
    r.Id = o.value(QStringLiteral("id")).toString();
    r.Error = o.value(QStringLiteral("error")).toInt(ecMalformed);
    r.Text = o.value(QStringLiteral("text")).toString();
    if (reply)
        *reply = r;
    return true;
}

} // namespace AppServerPipe
