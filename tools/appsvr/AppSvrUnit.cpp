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

static bool Prepare(QSqlQuery &q, const QString &sql, const TMapBox &box, QString *error)
{
    if (!q.prepare(sql)) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    q.bindValue(QStringLiteral(":S"), box.South);
    q.bindValue(QStringLiteral(":N"), box.North);
    q.bindValue(QStringLiteral(":W"), box.West);
    q.bindValue(QStringLiteral(":E"), box.East);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
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
                   QString *inner, QString *error)
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
                     box, error))
            return false;
        while (q.next())
            items << QString::number(q.value(0).toInt());
    } else if (service == QLatin1String("NodeList")) {
        if (!Prepare(q, QStringLiteral(" SELECT NODE_ID FROM SCS_M_NODE WHERE NODE_LAT BETWEEN :S AND :N"
                                       " AND NODE_LNG BETWEEN :W AND :E ORDER BY NODE_ID "),
                     box, error))
            return false;
        while (q.next())
            items << MapLayerGeoJson::JsonStr(q.value(0).toString());
    } else if (service == QLatin1String("LinkList")) {
        if (!Prepare(q, QStringLiteral(" SELECT DISTINCT LINK_ID FROM SCS_M_LINK_DETAIL WHERE GROUP_NUM = 1"
                                       " AND POINT_LAT BETWEEN :S AND :N AND POINT_LNG BETWEEN :W AND :E"
                                       " ORDER BY LINK_ID "),
                     box, error))
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
        if (!Prepare(q, sql, box, error))
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
        qWarning("OvikAppSvr: database not open (%s); the services answer empty lists until \"Reconnect\"",
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
    FPort = FHttp.listen(QHostAddress::LocalHost, port);
    if (FPort == 0) {
        if (error)
            *error = QStringLiteral("port %1 cannot be opened").arg(port);
        FPipe.close();
        return false;
    }
    return true;
}

QHttpServerResponse TOvikAppServer::Serve(const QString &service, const QString &bbox)
{
    QString inner, error;
    bool ok = false;
    if (DatabaseOpen()) {
        ok = AppSvrServices::ServiceResult(QSqlDatabase::database(FConName, false), FFactory.DBType(), service, bbox,
                                           &inner, &error);
        if (!ok && !inner.isEmpty() && ClassifyDbError(QSqlDatabase::database(FConName, false).lastError(), true)
                                           == TDbErrorClass::Connection)
            TDBConnectionFactory::Close(FConName);
    } else {
        AppSvrServices::ServiceResult(QSqlDatabase(), FFactory.DBType(), service, QString(), &inner, &error);
        ok = !inner.isEmpty();
    }
    if (inner.isEmpty()) {
        QHttpServerResponse r(QByteArray("{\"error\":\"unknown service\"}"), QHttpServerResponse::StatusCode::NotFound);
        r.setHeader("Access-Control-Allow-Origin", "*");
        return r;
    }
    if (!ok && !error.isEmpty())
        qWarning("OvikAppSvr %s: %s", qPrintable(service), qPrintable(error));
    QHttpServerResponse r(QByteArray("application/json"), AppSvrServices::ResultEnvelope(inner));
    r.setHeader("Access-Control-Allow-Origin", "*");
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer]() {
            *buffer += socket->readAll();
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
            }
        });
    }
}
