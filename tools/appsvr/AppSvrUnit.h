#pragma once
// The local application server OvikAppSvr: the layer services of the map pages over
// HTTP on the application port, under datasnap/rest/TServerMethods/, and the pipe
// commands "AppClose" (quit) and "Reconnect" (reopen the database) on the local
// socket named "OvikAppSvr". It reads the centre database with its own connection.
//
// Services (GET <service>/<box>, box = Leaflet's toBBoxString(): west,south,east,north),
// each answered {"result":"<JSON text>"}:
//   LCList/   {"list":[n,...]}     intersections whose node lies in the box
//   NodeList/ {"list":["id",...]}  nodes in the box
//   LinkList/ {"list":["id",...]}  links with a point of group 1 in the box
//   Tfdt/     GeoJSON of the detectors in the box (TFDT_ID, TFDT_NAME, BORDER, DS)
#include <QHttpServer>
#include <QLocalServer>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include "foundation/AppServerPipe.h"
#include "foundation/DbConnection.h"

struct TMapBox;

namespace AppSvrServices {

// The inner JSON of a service for a box; false on a database error (*inner then holds
// the empty answer of the service). An unknown service gives false and an empty text.
// *sqlError: the statement's error, when one failed.
bool ServiceResult(const QSqlDatabase &db, TDBType dbType, const QString &service, const QString &bbox,
                   QString *inner, QString *error = nullptr, QSqlError *sqlError = nullptr);
// {"result":"<inner>"}
QByteArray ResultEnvelope(const QString &inner);

// Fill and line colours of a detector from its latest log row of the last 300 s:
// no row grey; TFDT_STATUS1 0 (failed) red line; degree of saturation (TFDT_WGHDS,
// per cent) below 50 green, below 80 yellow, else red.
QString DetectorBorder(bool hasData, bool failed);
QString DetectorFill(bool hasData, int saturation);

} // namespace AppSvrServices

// Bounds of what a client may send. A request line, header block or body beyond its
// bound gets an error status (414, 431, 413) and the connection is closed; a
// connection that brings no complete request within IdleTimeoutMs is closed; a pipe
// request longer than MaxPipeLine without its line end is refused and the pipe
// connection closed.
struct TAppSvrLimits
{
    int MaxRequestLine = 8 * 1024;
    int MaxHeaderBytes = 16 * 1024;
    qint64 MaxBody = 16 * 1024;
    int IdleTimeoutMs = 15000;
    int MaxConnections = 64;
    int MaxPipeLine = 16 * 1024;
};

// Who may call the layer services. The map pages are local files loaded by the
// console's browser: their requests carry the origin "file://" (or none). Answers
// allow exactly that origin (Access-Control-Allow-Origin: file://), never any other;
// a request that names another origin, or a Host that is not this loopback server,
// is refused (403) before any service runs.
constexpr const char *AppSvrPageOrigin = "file://";
bool AppSvrOriginAllowed(const QByteArray &origin);
bool AppSvrHostAllowed(const QByteArray &host, quint16 port);

class TOvikAppServer : public QObject
{
    Q_OBJECT
public:
    TOvikAppServer(const TDBConnectionFactory &factory, QObject *parent = nullptr);
    ~TOvikAppServer() override;

    // Before Start.
    void SetLimits(const TAppSvrLimits &limits) { FLimits = limits; }
    const TAppSvrLimits &Limits() const { return FLimits; }
    // HTTP connections open now.
    int OpenConnections() const;

    // Opens the database and starts both servers. False with the reason.
    bool Start(quint16 port, const QString &pipeName, QString *error);
    quint16 Port() const { return FPort; }
    QString PipeName() const;
    bool DatabaseOpen() const;
    // Reopens the database connection ("Reconnect").
    bool Reconnect(QString *error = nullptr);
    // Answers one pipe request (the socket server calls this).
    AppServerPipe::TReply Handle(const AppServerPipe::TRequest &request);

signals:
    // "AppClose" was received and answered.
    void closeRequested();

private:
    void OnPipeConnection();
    QHttpServerResponse Serve(const QString &service, const QString &bbox);

    TDBConnectionFactory FFactory;
    QString FConName;
    QHttpServer FHttp;
    QLocalServer FPipe;
    class TGuardedTcpServer *FTcp = nullptr;
    TAppSvrLimits FLimits;
    quint16 FPort = 0;
};
