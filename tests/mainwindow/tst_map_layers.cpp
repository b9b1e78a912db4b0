// Map-layer threads, the detector counter and the local application server, on a
// small fixture database of their own.
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "mainwindow/AppServerClientUnit.h"
#include "AppSvrUnit.h"
#include "foundation/LinkGeometry.h"
#include "mainwindow/LinkThreadUnit.h"
#include "foundation/MapLayerGeoJson.h"
#include "mainwindow/NodeThreadUnit.h"
#include "core/Quorval.h"
#include "TestConsoleFolder.h"
#include "TestDb.h"
#include "mainwindow/TfdtInfoThreadUnit.h"
#include "core/untDM.h"

static const char *kDb = "map_layers";

// Fixture: four nodes around a box (one outside), links inside, crossing into and
// outside the box, detectors with fresh and stale log rows.
static const char *kFixture = R"SQL(
INSERT INTO SCS_M_NODE (NODE_ID, NODE_NAME, NODE_LAT, NODE_LNG) VALUES
 ('N1', '신사역사거리', 37.5162230, 127.0201324),
 ('N2', '   ', 37.5189272, 127.0290117),
 ('N3', 'Say "hi"', 37.5170000, 127.0250000),
 ('N4', NULL, 37.5300000, 127.0500000),
 ('N9', 'outside', 37.6000000, 127.0250000);
INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_NAME, INT_REGFLAG, INT_LCTYPE, INT_SANO) VALUES
 (1, 'N1', 'one', 1, 2, 1), (2, 'N2', 'two', 1, 2, 1), (3, 'N9', 'far', 1, 2, 1), (4, NULL, 'nowhere', 1, 2, 1);
INSERT INTO SCS_M_LINK (LINK_ID, NODE_FID, NODE_TID) VALUES
 ('L1', 'N1', 'N2'), ('L2', 'N9', 'N3'), ('L3', 'N9', 'N4');
INSERT INTO SCS_M_LINK_DETAIL (LINK_ID, NUM, GROUP_NUM, POINT_LAT, POINT_LNG) VALUES
 ('L1', 1, 1, 37.5161727, 127.0201567), ('L1', 2, 1, 37.5175248, 127.0245964), ('L1', 3, 1, 37.5188769, 127.0290360),
 ('L2', 1, 1, 37.6000000, 127.0250000), ('L2', 2, 1, 37.5170000, 127.0250000),
 ('L3', 1, 1, 37.6000000, 127.0250000), ('L3', 2, 1, 37.6100000, 127.0500000);
INSERT INTO SCS_M_TFDT (TFDT_ID, TFDT_NAME, TFDT_LAT, TFDT_LNG) VALUES
 ('D1', 'east 1', 37.5164175, 127.0206447), ('D2', NULL, 37.5170000, 127.0210000), ('D3', 'far', 37.7, 127.2);
INSERT INTO SCS_M_TFDTOPERATE (INT_LCNO, TFDT_NO, TFDT_REGFLAG, TFDT_ID) VALUES
 (1, 1, 1, 'D1'), (1, 2, 1, 'D2'), (1, 3, 1, NULL), (2, 1, 0, NULL), (2, 2, 0, NULL);
INSERT INTO SCS_L_TFDT (INT_LCNO, TFDT_NO, TFDT_CREDATE, TFDT_STATUS1, TFDT_WGHDS) VALUES
 (1, 1, DATE_ADD(NOW(), INTERVAL -20 SECOND), 0, 90),
 (1, 1, DATE_ADD(NOW(), INTERVAL -600 SECOND), 1, 10),
 (1, 2, DATE_ADD(NOW(), INTERVAL -20 SECOND), 1, 60),
 (1, 3, DATE_ADD(NOW(), INTERVAL -600 SECOND), 0, 10),
 (2, 1, DATE_ADD(NOW(), INTERVAL -20 SECOND), 0, 10);
)SQL";

static const char *kBox = "127.02,37.516,127.03,37.519"; // west,south,east,north

static QString Crs()
{
    return QStringLiteral("{\"type\":\"FeatureCollection\",\"crs\":{\"type\":\"name\",\"properties\":"
                          "{\"name\":\"urn:ogc:def:crs:OGC:1.3:CRS84\"}},\"features\":[");
}

// Sends a command until the pipe answers (the server may still be starting).
static TAppServerResult SendWhenUp(const QString &command, const QString &pipe, int timeoutMs = 20000)
{
    QElapsedTimer t;
    t.start();
    TAppServerResult r;
    while (!(r = TAppServerClient::SendCommand(command, pipe)).Connected && t.elapsed() < timeoutMs)
        QTest::qWait(100);
    return r;
}

static int FreePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// Settings of an application server on the test database, serving HTTP on `httpPort`.
static QByteArray AppServerSettings(int httpPort)
{
    return (TestConsole::DbSettings(QString::fromLatin1(kDb)) + QStringLiteral("[COM-ENV]\nAPP_CTRL_PORT=%1\n").arg(httpPort))
        .toUtf8();
}

class TstMapLayers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void nodeGeoJsonOfBox();
    void emptyBoxGivesEmptyCollection();
    void linkGeoJsonOfBox_data();
    void linkGeoJsonOfBox();
    void layerThreadsHandOverScripts();
    void layerThreadReportsQueryError();
    void detectorCounts();
    void detectorThreadRefreshesLabels();
    void detectorThreadSurvivesNoDatabase();
    void appServerServices_data();
    void appServerServices();
    void appServerProcessTakesCommands();
    void startOnlyWhenPresent();

private:
    TDBConnectionFactory Factory(int port = -1) const;
    QSqlDatabase FDb;
};

TDBConnectionFactory TstMapLayers::Factory(int port) const
{
    TDBInfo info;
    info.DBType = dtMariaDB;
    info.Server = QStringLiteral("127.0.0.1");
    info.Port = QString::number(port < 0 ? TestDb::port() : port);
    info.DBName = QString::fromLatin1(kDb);
    info.UserID = TestDb::user();
    info.UserPW = TestDb::password();
    return TDBConnectionFactory(info, 3);
}

void TstMapLayers::initTestCase()
{
    QVERIFY(TestDb::create(QString::fromLatin1(kDb), false));
    QString err;
    QVERIFY2(TestDb::runScript(QString::fromLatin1(kDb), QString::fromUtf8(kFixture), &err), qPrintable(err));
    FDb = TestDb::open(QString::fromLatin1(kDb));
    QVERIFY(FDb.isOpen());
    QSqlError e;
    QVERIFY2(LinkGeometry::Rebuild(FDb, dtMariaDB, QString(), &e), qPrintable(e.text()));
}

void TstMapLayers::nodeGeoJsonOfBox()
{
    QString json, error;
    QVERIFY2(MapLayerGeoJson::NodeGeoJson(FDb, TMapBox::FromBBoxString(QString::fromLatin1(kBox)), &json, &error),
             qPrintable(error));
    // Member order as written; blank name -> "-"; the quote escaped; coordinates lng, lat.
    const QString expected = Crs()
        + QStringLiteral(
              "{\"type\":\"Feature\",\"properties\":{\"NODE_ID\":\"N1\",\"NODE_NAME\":\"신사역사거리\"},"
              "\"geometry\":{\"type\":\"Point\",\"coordinates\":[127.0201324,37.516223]}},"
              "{\"type\":\"Feature\",\"properties\":{\"NODE_ID\":\"N2\",\"NODE_NAME\":\"-\"},"
              "\"geometry\":{\"type\":\"Point\",\"coordinates\":[127.0290117,37.5189272]}},"
              "{\"type\":\"Feature\",\"properties\":{\"NODE_ID\":\"N3\",\"NODE_NAME\":\"Say \\\"hi\\\"\"},"
              "\"geometry\":{\"type\":\"Point\",\"coordinates\":[127.025,37.517]}}]}");
    QCOMPARE(json, expected);
    QVERIFY(!QJsonDocument::fromJson(json.toUtf8()).isNull());
}

void TstMapLayers::emptyBoxGivesEmptyCollection()
{
    QString json, error;
    QVERIFY(MapLayerGeoJson::NodeGeoJson(FDb, TMapBox::FromBBoxString(QStringLiteral("1,1,2,2")), &json, &error));
    QCOMPARE(json, QStringLiteral("{\"type\":\"FeatureCollection\",\"features\":[]}"));
    // The page still gets a (empty) nodeLayer.
    QVERIFY(MapLayerGeoJson::NodeLayerScript(json).contains(QLatin1String("var nodeLayer = L.geoJson(")));
    // An unusable box reads nothing.
    QVERIFY(!MapLayerGeoJson::NodeGeoJson(FDb, TMapBox::FromBBoxString(QStringLiteral("x,1,2")), &json, &error));
    QCOMPARE(json, MapLayerGeoJson::EmptyCollection());
}

void TstMapLayers::linkGeoJsonOfBox_data()
{
    QTest::addColumn<bool>("geometry");
    QTest::newRow("by geometry") << true;
    QTest::newRow("by points") << false;
}

void TstMapLayers::linkGeoJsonOfBox()
{
    QFETCH(bool, geometry);
    QString json, error;
    QVERIFY2(MapLayerGeoJson::LinkGeoJson(FDb, dtMariaDB, geometry, TMapBox::FromBBoxString(QString::fromLatin1(kBox)),
                                          &json, &error),
             qPrintable(error));
    // L1 lies in the box, L2 starts outside and ends inside (drawn with all its
    // points), L3 lies outside. GEOM keeps latitude first; GeoJSON longitude first.
    const QString expected = Crs()
        + QStringLiteral(
              "{\"type\":\"Feature\",\"properties\":{\"LINK_ID\":\"L1\",\"F_NODE\":\"N1\",\"T_NODE\":\"N2\",\"ROAD_NAME\":\"\"},"
              "\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[127.0201567,37.5161727],[127.0245964,37.5175248],"
              "[127.029036,37.5188769]]}},"
              "{\"type\":\"Feature\",\"properties\":{\"LINK_ID\":\"L2\",\"F_NODE\":\"N9\",\"T_NODE\":\"N3\",\"ROAD_NAME\":\"\"},"
              "\"geometry\":{\"type\":\"LineString\",\"coordinates\":[[127.025,37.6],[127.025,37.517]]}}]}");
    QCOMPARE(json, expected);
}

void TstMapLayers::layerThreadsHandOverScripts()
{
    auto *node = new TNodeThread(QString::fromLatin1(kBox), Factory(), nullptr);
    auto *link = new TLinkThread(QString::fromLatin1(kBox), Factory(), true, nullptr);
    QCOMPARE(node->FSouthWestLng, QStringLiteral("127.02"));
    QCOMPARE(node->FSouthWestLat, QStringLiteral("37.516"));
    QCOMPARE(node->FNorthEastLng, QStringLiteral("127.03"));
    QCOMPARE(node->FNorthEastLat, QStringLiteral("37.519"));
    QSignalSpy nodeJson(node, &TNodeThread::geoJsonReady);
    QSignalSpy nodeScript(node, &TNodeThread::scriptReady);
    QSignalSpy linkJson(link, &TLinkThread::geoJsonReady);
    QSignalSpy nodeGone(node, &QObject::destroyed);
    QSignalSpy linkGone(link, &QObject::destroyed);
    node->Start();
    link->Start();
    QTRY_COMPARE_WITH_TIMEOUT(nodeGone.count(), 1, 20000); // frees itself
    QTRY_COMPARE_WITH_TIMEOUT(linkGone.count(), 1, 20000);
    QCOMPARE(nodeJson.count(), 1);
    QCOMPARE(linkJson.count(), 1);
    QString expectedNodes;
    MapLayerGeoJson::NodeGeoJson(FDb, TMapBox::FromBBoxString(QString::fromLatin1(kBox)), &expectedNodes);
    QCOMPARE(nodeJson.at(0).at(0).toString(), expectedNodes);
    QCOMPARE(nodeScript.at(0).at(0).toString(), MapLayerGeoJson::NodeLayerScript(expectedNodes));
    QVERIFY(linkJson.at(0).at(0).toString().contains(QLatin1String("\"LINK_ID\":\"L2\"")));
}

void TstMapLayers::layerThreadReportsQueryError()
{
    // A database without the network tables: the query fails, the page gets the empty
    // collection and the error goes to the user-interface thread.
    TDBInfo info = Factory().DBInfo();
    QVERIFY(TestDb::create(QStringLiteral("map_layers_bare"), false));
    QVERIFY(TestDb::runScript(QStringLiteral("map_layers_bare"), QStringLiteral("DROP TABLE SCS_M_NODE;")));
    info.DBName = QStringLiteral("map_layers_bare");
    auto *node = new TNodeThread(QString::fromLatin1(kBox), TDBConnectionFactory(info, 3), nullptr);
    QSignalSpy json(node, &TNodeThread::geoJsonReady);
    QSignalSpy failed(node, &TNodeThread::queryFailed);
    QSignalSpy gone(node, &QObject::destroyed);
    node->Start();
    QTRY_COMPARE_WITH_TIMEOUT(gone.count(), 1, 20000);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(json.at(0).at(0).toString(), MapLayerGeoJson::EmptyCollection());
}

void TstMapLayers::detectorCounts()
{
    TTfdtCounts c;
    QSqlError e;
    QVERIFY2(TTfdtInfoThread::Count(FDb, dtMariaDB, &c, &e), qPrintable(e.text()));
    // Registered 3; unregistered 2; failed: only (1,1) (newest row status 0 within 300 s);
    // (1,3) failed 10 minutes ago (not counted), (2,1) is not registered.
    QCOMPARE(c.Oper, 3);
    QCOMPARE(c.Unused, 2);
    QCOMPARE(c.Fail, 1);
    // Oracle-style text for the Oracle family.
    QVERIFY(TTfdtInfoThread::FailSql(dtOracle).contains(QLatin1String("SYSDATE - interval '300' second")));
    QVERIFY(TTfdtInfoThread::FailSql(dtMariaDB).contains(QLatin1String("DATE_ADD(NOW(), INTERVAL - 300 SECOND)")));
}

void TstMapLayers::detectorThreadRefreshesLabels()
{
    QLabel oper, fail, unused;
    auto *t = new TTfdtInfoThread(Factory(), 200, &oper, &fail, &unused);
    QTRY_COMPARE_WITH_TIMEOUT(oper.text(), QStringLiteral("3"), 15000);
    QCOMPARE(fail.text(), QStringLiteral("1"));
    QCOMPARE(unused.text(), QStringLiteral("2"));
    // A new failure shows at the next round.
    QVERIFY(TestDb::runScript(QString::fromLatin1(kDb),
                              QStringLiteral("INSERT INTO SCS_L_TFDT (INT_LCNO, TFDT_NO, TFDT_CREDATE, TFDT_STATUS1) "
                                             "VALUES (1, 2, NOW(), 0);")));
    QTRY_COMPARE_WITH_TIMEOUT(fail.text(), QStringLiteral("2"), 15000);
    t->Stop();
    QVERIFY(t->isFinished());
    delete t;
    QVERIFY(TestDb::runScript(QString::fromLatin1(kDb),
                              QStringLiteral("DELETE FROM SCS_L_TFDT WHERE INT_LCNO = 1 AND TFDT_NO = 2 "
                                             "AND TFDT_CREDATE > DATE_ADD(NOW(), INTERVAL -10 SECOND);")));
}

void TstMapLayers::detectorThreadSurvivesNoDatabase()
{
    // Nothing listens on that port: every round fails, the numbers stay at 0 and the
    // thread goes on until it is stopped.
    auto *t = new TTfdtInfoThread(Factory(FreePort()), 100, nullptr, nullptr, nullptr);
    QSignalSpy counts(t, &TTfdtInfoThread::countsReady);
    QTRY_VERIFY_WITH_TIMEOUT(counts.count() >= 2, 20000);
    for (const auto &c : counts)
        QCOMPARE(c, (QVariantList{0, 0, 0}));
    QVERIFY(t->isRunning());
    t->Stop();
    QVERIFY(t->isFinished());
    delete t;
}

void TstMapLayers::appServerServices_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("inner");
    QTest::newRow("intersections") << "LCList" << kBox << "{\"list\":[1,2]}";
    QTest::newRow("nodes") << "NodeList" << kBox << "{\"list\":[\"N1\",\"N2\",\"N3\"]}";
    QTest::newRow("links with a point inside") << "LinkList" << kBox << "{\"list\":[\"L1\",\"L2\"]}";
    QTest::newRow("nothing there") << "LCList" << "1,1,2,2" << "{\"list\":[]}";
    QTest::newRow("bad box") << "NodeList" << "1,x" << "{\"list\":[]}";
    QTest::newRow("detectors")
        << "Tfdt" << kBox
        << "{\"type\":\"FeatureCollection\",\"features\":["
           "{\"type\":\"Feature\",\"properties\":{\"TFDT_ID\":\"D1\",\"TFDT_NAME\":\"east 1\",\"BORDER\":\"#ff0000\","
           "\"DS\":\"#ff4136\"},\"geometry\":{\"type\":\"Point\",\"coordinates\":[127.0206447,37.5164175]}},"
           "{\"type\":\"Feature\",\"properties\":{\"TFDT_ID\":\"D2\",\"TFDT_NAME\":\"-\",\"BORDER\":\"#333333\","
           "\"DS\":\"#ffdc00\"},\"geometry\":{\"type\":\"Point\",\"coordinates\":[127.021,37.517]}}]}";
}

void TstMapLayers::appServerServices()
{
    QFETCH(QString, service);
    QFETCH(QString, box);
    QFETCH(QString, inner);
    QString got, error;
    QVERIFY2(AppSvrServices::ServiceResult(FDb, dtMariaDB, service, box, &got, &error), qPrintable(error));
    QCOMPARE(got, inner);
    // The envelope carries the inner JSON as text.
    const QJsonObject env = QJsonDocument::fromJson(AppSvrServices::ResultEnvelope(got)).object();
    QCOMPARE(env.value(QStringLiteral("result")).toString(), inner);
}

void TstMapLayers::appServerProcessTakesCommands()
{
    const QString exe = TAppServerClient::ExecutablePath(QCoreApplication::applicationDirPath());
    QVERIFY2(QFileInfo::exists(exe), qPrintable(exe));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const int httpPort = FreePort();
    const QString ini = dir.filePath(QStringLiteral("signal-console.ini"));
    {
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(AppServerSettings(httpPort));
    }
    const QString pipe = QStringLiteral("OvikAppSvr_test_%1").arg(QCoreApplication::applicationPid());
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedChannels);
    server.start(exe, TAppServerClient::ArgumentsFor(ini, pipe));
    QVERIFY(server.waitForStarted(10000));

    // Reconnect answers once the server listens.
    TAppServerResult r = SendWhenUp(QStringLiteral("Reconnect"), pipe);
    QVERIFY(r.Connected);
    QVERIFY2(r.Ok(), qPrintable(r.Text));

    // The layer services on the port of the settings file.
    QNetworkAccessManager net;
    QNetworkReply *reply = net.get(QNetworkRequest(
        QUrl(QStringLiteral("http://127.0.0.1:%1/datasnap/rest/TServerMethods/LCList/%2").arg(httpPort).arg(QString::fromLatin1(kBox)))));
    QSignalSpy done(reply, &QNetworkReply::finished);
    QVERIFY(done.wait(20000));
    QCOMPARE(reply->error(), QNetworkReply::NoError);
    QCOMPARE(reply->rawHeader("Access-Control-Allow-Origin"), QByteArray("file://")); // only the console's pages
    const QJsonObject env = QJsonDocument::fromJson(reply->readAll()).object();
    QCOMPARE(env.value(QStringLiteral("result")).toString(), QStringLiteral("{\"list\":[1,2]}"));
    reply->deleteLater();

    // An unknown command is refused with its code, and shown by the console's sender.
    ScriptedMsgDlg boxes;
    r = SendAppServerCommand(nullptr, QStringLiteral("Bogus"), pipe);
    QVERIFY(r.Connected);
    QCOMPARE(r.ErrorCode, int(AppServerPipe::ecUnknownCommand));
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.last().text, QStringLiteral("OvikAppSever program is not running"));
    QCOMPARE(boxes.last().detail, QStringLiteral("Error: Code 1"));
    boxes.clear();

    // AppClose reaches the server, which ends.
    r = SendAppServerCommand(nullptr, QStringLiteral("AppClose"), pipe);
    QVERIFY(r.Ok());
    QVERIFY(server.waitForFinished(15000));
    QCOMPARE(server.exitStatus(), QProcess::NormalExit);
    QCOMPARE(server.exitCode(), 0);
    QCOMPARE(boxes.count(), 0);

    // Without a server nothing is shown.
    r = SendAppServerCommand(nullptr, QStringLiteral("AppClose"), pipe);
    QVERIFY(!r.Connected);
    QCOMPARE(boxes.count(), 0);
}

void TstMapLayers::startOnlyWhenPresent()
{
    QTemporaryDir empty;
    QVERIFY(!TAppServerClient::StartIfPresent(empty.path()));

    const QString pipe = QStringLiteral("OvikAppSvr_start_%1").arg(QCoreApplication::applicationPid());
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("signal-console.ini"));
    {
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(AppServerSettings(FreePort()));
    }
    qint64 pid = 0;
    QVERIFY(TAppServerClient::StartIfPresent(QCoreApplication::applicationDirPath(),
                                             TAppServerClient::ArgumentsFor(ini, pipe), &pid));
    QVERIFY(pid > 0);
    const TAppServerResult r = SendWhenUp(QStringLiteral("AppClose"), pipe);
    QVERIFY(r.Connected);
    QVERIFY(r.Ok());
    // The pipe goes away with the process.
    QTRY_VERIFY_WITH_TIMEOUT(!TAppServerClient::SendCommand(QStringLiteral("Reconnect"), pipe, 200).Connected, 15000);
}

QTEST_MAIN(TstMapLayers)
#include "tst_map_layers.moc"
