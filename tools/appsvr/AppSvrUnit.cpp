#include "AppSvrUnit.h"

#include "foundation/JsEscape.h"
#include "foundation/MapLayerGeoJson.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QLocalSocket>
#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace AppSvrServices {

QString DetectorBorder(bool hasData, bool failed)
{
    if (!hasData)
        return QStringLiteral("#7f7f7f");
    return failed ? QStringLiteral("#ff0000") : QStringLiteral("#333333");
}

QString DetectorFill(bool hasData, int saturation)
{
    if (!hasData)
        return QStringLiteral("#bfbfbf");
    if (saturation < 50)
        return QStringLiteral("#2ecc40");
    if (saturation < 80)
        return QStringLiteral("#ffdc00");
    return QStringLiteral("#ff4136");
}

QByteArray ResultEnvelope(const QString &inner)
{
    return (QStringLiteral("{\"result\":") + MapLayerGeoJson::JsonStr(inner) + QLatin1Char('}')).toUtf8();
}

static bool Prepare(QSqlQuery &q, const QString &sql, const TMapBox &box, QString *error, QSqlError *sqlError)
{
    if (!q.prepare(sql)) {
        if (error)
            *error = q.lastError().text();
        if (sqlError)
            *sqlError = q.lastError();
        return false;
    }
    q.bindValue(QStringLiteral(":S"), box.South);
    q.bindValue(QStringLiteral(":N"), box.North);
    q.bindValue(QStringLiteral(":W"), box.West);
    q.bindValue(QStringLiteral(":E"), box.East);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        if (sqlError)
            *sqlError = q.lastError();
        return false;
    }
    return true;
}

static QString NumberText(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return JsNum(v.toDouble());
    return JsNumText(v.toString(), QString());
}

bool ServiceResult(const QSqlDatabase &db, TDBType dbType, const QString &service, const QString &bbox,
                   QString *inner, QString *error, QSqlError *sqlError)
{
    const QString emptyList = QStringLiteral("{\"list\":[]}");
    const bool isTfdt = service == QLatin1String("Tfdt");
    if (inner)
        *inner = isTfdt ? MapLayerGeoJson::EmptyCollection() : emptyList;
    if (service != QLatin1String("LCList") && service != QLatin1String("NodeList")
        && service != QLatin1String("LinkList") && !isTfdt) {
        if (inner)
            inner->clear();
        if (error)
            *error = QStringLiteral("unknown service");
        return false;
    }
    const TMapBox box = TMapBox::FromBBoxString(bbox);
    if (!box.Valid) {
        if (error)
            *error = QStringLiteral("invalid map box");
        return true; // nothing lies in no box
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QStringList items;
    if (service == QLatin1String("LCList")) {
        if (!Prepare(q, QStringLiteral(" SELECT I.INT_LCNO FROM SCS_M_INTLC I INNER JOIN SCS_M_NODE N ON N.NODE_ID = I.NODE_ID"
                                       " WHERE N.NODE_LAT BETWEEN :S AND :N AND N.NODE_LNG BETWEEN :W AND :E"
                                       " ORDER BY I.INT_LCNO "),
                     box, error, sqlError))
            return false;
        while (q.next())
            items << QString::number(q.value(0).toInt());
    } else if (service == QLatin1String("NodeList")) {
        if (!Prepare(q, QStringLiteral(" SELECT NODE_ID FROM SCS_M_NODE WHERE NODE_LAT BETWEEN :S AND :N"
                                       " AND NODE_LNG BETWEEN :W AND :E ORDER BY NODE_ID "),
                     box, error, sqlError))
            return false;
        while (q.next())
            items << MapLayerGeoJson::JsonStr(q.value(0).toString());
    } else if (service == QLatin1String("LinkList")) {
        if (!Prepare(q, QStringLiteral(" SELECT DISTINCT LINK_ID FROM SCS_M_LINK_DETAIL WHERE GROUP_NUM = 1"
                                       " AND POINT_LAT BETWEEN :S AND :N AND POINT_LNG BETWEEN :W AND :E"
                                       " ORDER BY LINK_ID "),
                     box, error, sqlError))
            return false;
        while (q.next())
            items << MapLayerGeoJson::JsonStr(q.value(0).toString());
    } else {
        // Detectors with their latest log row of the last 300 seconds (any channel of the
        // detector identifier; the newest row wins).
        const QString recent = dbType == dtMariaDB ? QStringLiteral(" DATE_ADD(NOW(), INTERVAL -300 SECOND) ")
                                                   : QStringLiteral(" SYSDATE - interval '300' second ");
        const QString sql = QStringLiteral(
            " SELECT D.TFDT_ID, COALESCE(D.TFDT_NAME, '-') AS TFDT_NAME, D.TFDT_LAT, D.TFDT_LNG,"
            " L.TFDT_STATUS1, L.TFDT_WGHDS, L.TFDT_CREDATE"
            " FROM SCS_M_TFDT D"
            " LEFT JOIN SCS_M_TFDTOPERATE O ON O.TFDT_ID = D.TFDT_ID"
            " LEFT JOIN (SELECT INT_LCNO, TFDT_NO, MAX(TFDT_CREDATE) AS TFDT_CREDATE FROM SCS_L_TFDT"
            " WHERE TFDT_CREDATE >= ") + recent + QStringLiteral(" GROUP BY INT_LCNO, TFDT_NO) M"
            " ON M.INT_LCNO = O.INT_LCNO AND M.TFDT_NO = O.TFDT_NO"
            " LEFT JOIN SCS_L_TFDT L ON L.INT_LCNO = M.INT_LCNO AND L.TFDT_NO = M.TFDT_NO AND L.TFDT_CREDATE = M.TFDT_CREDATE"
            " WHERE D.TFDT_LAT BETWEEN :S AND :N AND D.TFDT_LNG BETWEEN :W AND :E"
            " ORDER BY D.TFDT_ID, L.TFDT_CREDATE DESC ");
        if (!Prepare(q, sql, box, error, sqlError))
            return false;
        QString last;
        while (q.next()) {
            const QString id = q.value(0).toString();
            if (id == last)
                continue; // newest row of the detector already taken
            last = id;
            const QString lat = NumberText(q.value(2));
            const QString lng = NumberText(q.value(3));
            if (lat.isEmpty() || lng.isEmpty())
                continue;
            QString name = q.value(1).toString();
            if (name.trimmed().isEmpty())
                name = QStringLiteral("-");
            const bool hasData = !q.value(6).isNull();
            const bool failed = hasData && !q.value(4).isNull() && q.value(4).toInt() == 0;
            const int ds = q.value(5).toInt();
            items << QStringLiteral("{\"type\":\"Feature\",\"properties\":{\"TFDT_ID\":") + MapLayerGeoJson::JsonStr(id)
                         + QStringLiteral(",\"TFDT_NAME\":") + MapLayerGeoJson::JsonStr(name)
                         + QStringLiteral(",\"BORDER\":") + MapLayerGeoJson::JsonStr(DetectorBorder(hasData, failed))
                         + QStringLiteral(",\"DS\":") + MapLayerGeoJson::JsonStr(DetectorFill(hasData, ds))
                         + QStringLiteral("},\"geometry\":{\"type\":\"Point\",\"coordinates\":[") + lng
                         + QLatin1Char(',') + lat + QStringLiteral("]}}");
        }
        if (inner)
            *inner = QStringLiteral("{\"type\":\"FeatureCollection\",\"features\":[") + items.join(QLatin1Char(','))
                     + QStringLiteral("]}");
        return true;
    }
    if (inner)
        *inner = QStringLiteral("{\"list\":[") + items.join(QLatin1Char(',')) + QStringLiteral("]}");
    return true;
}

} // namespace AppSvrServices

// ---------------------------------------------------------------------------
// Guarded HTTP connections
// ---------------------------------------------------------------------------

bool AppSvrOriginAllowed(const QByteArray &origin)
{
    const QByteArray o = origin.trimmed();
    return o.isEmpty() || o == AppSvrPageOrigin;
}

bool AppSvrHostAllowed(const QByteArray &host, quint16 port)
{
    const QByteArray h = host.trimmed().toLower();
    for (const QByteArray &name : {QByteArray("127.0.0.1"), QByteArray("localhost")}) {
        if (h == name || h == name + ':' + QByteArray::number(port))
            return true;
    }
    return false;
}

namespace {

// Reads along with the HTTP server (its slot runs first on every readyRead and only
// peeks) and cuts a connection whose request grows beyond the bounds, names another
// origin or host, or stays incomplete too long.
class THttpGuard : public QObject
{
public:
    THttpGuard(QTcpSocket *socket, const TAppSvrLimits &limits, quint16 port)
        : QObject(socket), FSocket(socket), FLimits(limits), FPort(port)
    {
        connect(socket, &QTcpSocket::readyRead, this, &THttpGuard::OnReadyRead);
        FIdle.setSingleShot(true);
        connect(&FIdle, &QTimer::timeout, this, &THttpGuard::OnIdle);
        FIdle.start(qMax(1, FLimits.IdleTimeoutMs));
    }
    // The HTTP server that reads the socket after this guard.
    void SetServer(QObject *http) { FHttp = http; }

private:
    enum State { stLine, stHeaders, stBody, stDead };

    void OnReadyRead()
    {
        if (FState == stDead)
            return;
        const qint64 n = FSocket->bytesAvailable();
        if (n <= 0)
            return;
        const QByteArray bytes = FSocket->peek(n);
        for (qsizetype i = 0; i < bytes.size() && FState != stDead; ++i) {
            if (FState == stBody) {
                const qint64 take = qMin<qint64>(FBodyLeft, bytes.size() - i);
                FBodyLeft -= take;
                i += take - 1;
                if (FBodyLeft == 0)
                    RequestDone();
                continue;
            }
            Feed(bytes.at(i));
        }
    }

    void Feed(char c)
    {
        if (FState == stHeaders && ++FHeaderBytes > FLimits.MaxHeaderBytes) {
            Refuse(431, "Request Header Fields Too Large");
            return;
        }
        if (c != '\n') {
            FLine.append(c);
            if (FState == stLine && FLine.size() > FLimits.MaxRequestLine)
                Refuse(414, "URI Too Long");
            return;
        }
        const QByteArray line = FLine.trimmed();
        FLine.clear();
        if (FState == stLine) {
            if (line.isEmpty())
                return; // blank lines between requests
            FState = stHeaders;
            FHeaderBytes = 0;
            FContentLength = 0;
            FChunked = false;
            FOrigin.clear();
            FHost.clear();
            FHaveHost = false;
            return;
        }
        if (!line.isEmpty()) {
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0) {
                Refuse(400, "Bad Request");
                return;
            }
            const QByteArray name = line.left(colon).trimmed().toLower();
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (name == "content-length") {
                bool ok = false;
                FContentLength = value.toLongLong(&ok);
                if (!ok || FContentLength < 0) {
                    Refuse(400, "Bad Request");
                    return;
                }
            } else if (name == "transfer-encoding") {
                FChunked = true;
            } else if (name == "origin") {
                FOrigin = value;
            } else if (name == "host") {
                FHost = value;
                FHaveHost = true;
            }
            return;
        }
        // End of the header block.
        if (FChunked) {
            Refuse(411, "Length Required"); // bodies come with their length or not at all
            return;
        }
        if (FContentLength > FLimits.MaxBody) {
            Refuse(413, "Payload Too Large");
            return;
        }
        if (!AppSvrOriginAllowed(FOrigin) || (FHaveHost && !AppSvrHostAllowed(FHost, FPort))) {
            Refuse(403, "Forbidden");
            return;
        }
        if (FContentLength > 0) {
            FState = stBody;
            FBodyLeft = FContentLength;
        } else {
            RequestDone();
        }
    }

    void RequestDone()
    {
        FState = stLine;
        FIdle.start(qMax(1, FLimits.IdleTimeoutMs));
    }

    // Answers with an error status and closes; the HTTP server sees nothing more.
    void Refuse(int status, const char *reason)
    {
        FState = stDead;
        FIdle.stop();
        if (FHttp)
            QObject::disconnect(FSocket, &QTcpSocket::readyRead, FHttp, nullptr);
        const QByteArray body = QByteArray::number(status) + ' ' + reason;
        FSocket->write("HTTP/1.1 " + body + "\r\nContent-Type: text/plain\r\nContent-Length: "
                       + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        FSocket->disconnectFromHost();
        // Whatever the client still sends is not kept.
        QTimer::singleShot(1000, FSocket, [s = FSocket] { s->abort(); });
    }

    void OnIdle()
    {
        if (FState == stDead)
            return;
        if (FState != stLine || !FLine.isEmpty()) {
            Refuse(408, "Request Timeout"); // part of a request came, the rest never
            return;
        }
        FState = stDead;
        FSocket->abort();
    }

    QTcpSocket *FSocket;
    TAppSvrLimits FLimits;
    quint16 FPort;
    QPointer<QObject> FHttp;
    QTimer FIdle;
    State FState = stLine;
    QByteArray FLine;
    int FHeaderBytes = 0;
    qint64 FContentLength = 0;
    qint64 FBodyLeft = 0;
    bool FChunked = false;
    QByteArray FOrigin;
    QByteArray FHost;
    bool FHaveHost = false;
};

} // namespace

// The listening socket of the HTTP server: every connection gets its guard before the
// HTTP server sees it; connections beyond the bound are closed at once.
class TGuardedTcpServer : public QTcpServer
{
public:
    TGuardedTcpServer(const TAppSvrLimits &limits, QObject *http, QObject *parent)
        : QTcpServer(parent), FLimits(limits), FHttp(http)
    {
    }
    int Open() const { return FOpen; }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket;
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        if (FOpen >= FLimits.MaxConnections) {
            socket->abort();
            delete socket;
            return;
        }
        ++FOpen;
        connect(socket, &QObject::destroyed, this, [this] { --FOpen; });
        // Bounds what the socket holds however slowly the server reads.
        socket->setReadBufferSize(FLimits.MaxRequestLine + FLimits.MaxHeaderBytes + FLimits.MaxBody + 4096);
        auto *guard = new THttpGuard(socket, FLimits, serverPort());
        guard->SetServer(FHttp);
        addPendingConnection(socket);
    }

private:
    TAppSvrLimits FLimits;
    QObject *FHttp;
    int FOpen = 0;
};

// ---------------------------------------------------------------------------

TOvikAppServer::TOvikAppServer(const TDBConnectionFactory &factory, QObject *parent)
    : QObject(parent), FFactory(factory), FConName(QStringLiteral("OvikAppSvr_DB"))
{
    connect(&FPipe, &QLocalServer::newConnection, this, &TOvikAppServer::OnPipeConnection);
}

TOvikAppServer::~TOvikAppServer()
{
    FPipe.close();
    TDBConnectionFactory::Close(FConName);
}

int TOvikAppServer::OpenConnections() const { return FTcp ? FTcp->Open() : 0; }

QString TOvikAppServer::PipeName() const
{
    return FPipe.serverName();
}

bool TOvikAppServer::DatabaseOpen() const
{
    return QSqlDatabase::contains(FConName) && QSqlDatabase::database(FConName, false).isOpen();
}

bool TOvikAppServer::Reconnect(QString *error)
{
    TDBConnectionFactory::Close(FConName);
    QString e;
    const QSqlDatabase db = FFactory.Open(FConName, &e);
    if (!db.isOpen()) {
        if (error)
            *error = e;
        return false;
    }
    return true;
}

bool TOvikAppServer::Start(quint16 port, const QString &pipeName, QString *error)
{
    QString dbError;
    if (!Reconnect(&dbError))
        qWarning("OvikAppSvr: database not open (%s); it is tried again with every request",
                 qPrintable(dbError));

    // One instance per pipe name: a live server keeps it.
    {
        QLocalSocket probe;
        probe.connectToServer(pipeName);
        if (probe.waitForConnected(200)) {
            if (error)
                *error = QStringLiteral("another OvikAppSvr already serves \"%1\"").arg(pipeName);
            return false;
        }
    }
    QLocalServer::removeServer(pipeName);
    if (!FPipe.listen(pipeName)) {
        if (error)
            *error = QStringLiteral("pipe \"%1\": %2").arg(pipeName, FPipe.errorString());
        return false;
    }

    FHttp.route(QStringLiteral("/datasnap/rest/TServerMethods/<arg>/<arg>"),
                [this](const QString &service, const QString &bbox) { return Serve(service, bbox); });
    FHttp.route(QStringLiteral("/datasnap/rest/TServerMethods/<arg>/"),
                [this](const QString &service) { return Serve(service, QString()); });
    FTcp = new TGuardedTcpServer(FLimits, &FHttp, this);
    if (!FTcp->listen(QHostAddress::LocalHost, port)) {
        if (error)
            *error = QStringLiteral("port %1 cannot be opened").arg(port);
        delete FTcp;
        FTcp = nullptr;
        FPipe.close();
        return false;
    }
    FHttp.bind(FTcp);
    FPort = FTcp->serverPort();
    return true;
}

QHttpServerResponse TOvikAppServer::Serve(const QString &service, const QString &bbox)
{
    QString inner, error;
    // The statements only read: a connection found closed is opened again before
    // them, and one lost meanwhile (the database was restarted) once more.
    const bool ok = FFactory.RunReading(
        FConName,
        [&](QSqlDatabase &db, QSqlError *sqlError) {
            return AppSvrServices::ServiceResult(db, FFactory.DBType(), service, bbox, &inner, &error, sqlError);
        },
        &error);
    if (!ok && inner.isEmpty()) {
        // No database: the empty answer of a known service, nothing for others.
        AppSvrServices::ServiceResult(QSqlDatabase(), FFactory.DBType(), service, QString(), &inner);
    }
    if (inner.isEmpty())
    {
        QHttpServerResponse r(QByteArray("{\"error\":\"unknown service\"}"), QHttpServerResponse::StatusCode::NotFound);
        r.setHeader("Access-Control-Allow-Origin", AppSvrPageOrigin);
        return r;
    }
    if (!ok && !error.isEmpty())
        qWarning("OvikAppSvr %s: %s", qPrintable(service), qPrintable(error));
    QHttpServerResponse r(QByteArray("application/json"), AppSvrServices::ResultEnvelope(inner));
    r.setHeader("Access-Control-Allow-Origin", AppSvrPageOrigin);
    r.setHeader("Cache-Control", "no-store");
    return r;
}

AppServerPipe::TReply TOvikAppServer::Handle(const AppServerPipe::TRequest &request)
{
    AppServerPipe::TReply reply;
    reply.Id = request.Id;
    const QString cmd = request.Command();
    if (cmd == QLatin1String(AppServerPipe::CmdAppClose)) {
        reply.Text = QStringLiteral("OK");
    } else if (cmd == QLatin1String(AppServerPipe::CmdReconnect)) {
        QString e;
        if (Reconnect(&e)) {
            reply.Text = QStringLiteral("OK");
        } else {
            reply.Error = AppServerPipe::ecFailed;
            reply.Text = e;
        }
    } else {
        reply.Error = AppServerPipe::ecUnknownCommand;
        reply.Text = QStringLiteral("unknown command");
    }
    return reply;
}

void TOvikAppServer::OnPipeConnection()
{
    while (QLocalSocket *socket = FPipe.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        const int maxLine = qMax(64, FLimits.MaxPipeLine);
        socket->setReadBufferSize(maxLine + 1);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer, maxLine]() {
            *buffer += socket->read(qMax<qint64>(0, maxLine + 1 - buffer->size()));
            while (buffer->contains('\n')) {
                const qsizetype nl = buffer->indexOf('\n');
                const QByteArray line = buffer->left(nl);
                buffer->remove(0, nl + 1);
                AppServerPipe::TRequest req;
                AppServerPipe::TReply reply;
                if (!AppServerPipe::DecodeRequest(line, &req)) {
                    reply.Error = AppServerPipe::ecMalformed;
                    reply.Text = QStringLiteral("malformed request");
                } else {
                    reply = Handle(req);
                }
                socket->write(AppServerPipe::EncodeReply(reply));
                socket->flush();
                if (reply.Error == AppServerPipe::ecNone && req.Command() == QLatin1String(AppServerPipe::CmdAppClose)) {
                    socket->waitForBytesWritten(1000);
                    QTimer::singleShot(0, this, &TOvikAppServer::closeRequested);
                }
                buffer->append(socket->read(qMax<qint64>(0, maxLine + 1 - buffer->size())));
            }
            if (buffer->size() > maxLine) {
                // A line that never ends is not buffered further: refused, and closed.
                AppServerPipe::TReply reply;
                reply.Error = AppServerPipe::ecMalformed;
                reply.Text = QStringLiteral("request too long");
                buffer->clear();
                socket->write(AppServerPipe::EncodeReply(reply));
                socket->flush();
                socket->disconnectFromServer();
            }
        });
    }
}
