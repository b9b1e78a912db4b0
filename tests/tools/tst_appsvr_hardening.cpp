// The local application server against clients that do not play by the rules: no
// answer carries a wildcard origin and foreign origins or hosts are refused; an
// oversized request line, header block or body gets its error status and the
// connection is closed; an idle or half-sent connection is closed after the
// time-out; a pipe line that never ends is refused. And against a database that is
// restarted under it: the server and a worker thread's own connection answer with
// data again at the first request after the database is back.
#include <QtTest>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

#include "AppSvrUnit.h"
#include "foundation/AppServerPipe.h"
#include "foundation/DbConnection.h"

namespace {

const char *const kBox = "126.9,37.4,127.2,37.7";

QByteArray Get(const QByteArray &path, const QByteArray &extra = QByteArray())
{
    return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extra + "\r\n";
}

// Everything the server sends until it closes the connection (or the time runs out).
struct RawClient
{
    QTcpSocket socket;
    QByteArray received;

    bool Open(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        QElapsedTimer t;
        t.start();
        while (socket.state() != QAbstractSocket::ConnectedState && t.elapsed() < 5000)
            QTest::qWait(5);
        if (socket.state() != QAbstractSocket::ConnectedState)
            return false;
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { received += socket.readAll(); });
        return true;
    }
    void Send(const QByteArray &bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    // Waits (serving the server on this thread) until the peer has closed.
    bool WaitClosed(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (socket.state() != QAbstractSocket::UnconnectedState && t.elapsed() < ms)
            QTest::qWait(10);
        received += socket.readAll();
        return socket.state() == QAbstractSocket::UnconnectedState;
    }
    bool WaitFor(const QByteArray &text, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!received.contains(text) && t.elapsed() < ms)
            QTest::qWait(10);
        return received.contains(text);
    }
    QByteArray Status() const { return received.left(received.indexOf("\r\n")); }
};

QString ListOf(const QByteArray &httpReply)
{
    const QByteArray body = httpReply.mid(httpReply.indexOf("\r\n\r\n") + 4);
    return QJsonDocument::fromJson(body).object().value(QStringLiteral("result")).toString();
}

// A private MariaDB of this test (the shared one of the other tests is never
// stopped): set up by the fixture script, then stopped and started again on the
// same port by this test.
class PrivateDb
{
public:
    ~PrivateDb()
    {
        Stop();
        Script(QStringLiteral("stop"));
    }
    bool Create()
    {
        if (!FDir.isValid() || !Script(QStringLiteral("start")))
            return false;
        QFile f(FDir.filePath(QStringLiteral("port")));
        if (!f.open(QIODevice::ReadOnly))
            return false;
        FPort = f.readAll().trimmed().toInt();
        return FPort > 0;
    }
    // The fixture's own server (first start) is stopped by its script.
    bool StopFirst() { return Script(QStringLiteral("stop")); }
    bool Start()
    {
        const QString d = FDir.path();
        FServer.setProgram(QStringLiteral("mariadbd"));
        const struct passwd *pw = getpwuid(geteuid());
        FServer.setArguments({QStringLiteral("--no-defaults"),
                              QStringLiteral("--user=%1").arg(QString::fromLocal8Bit(pw ? pw->pw_name : "root")),
                              QStringLiteral("--datadir=%1/data").arg(d),
                              QStringLiteral("--socket=%1/mysqld.sock").arg(d),
                              QStringLiteral("--port=%1").arg(FPort), QStringLiteral("--bind-address=127.0.0.1"),
                              QStringLiteral("--pid-file=%1/mariadbd.pid").arg(d),
                              QStringLiteral("--innodb-buffer-pool-size=32M"), QStringLiteral("--skip-log-bin"),
                              QStringLiteral("--log-error=%1/restart.err").arg(d)});
        FServer.start();
        if (!FServer.waitForStarted(10000))
            return false;
        for (int i = 0; i < 300; ++i) {
            {
                QSqlDatabase db = Connection(QStringLiteral("probe"));
                if (db.open()) {
                    db.close();
                    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
                    return true;
                }
            }
            QSqlDatabase::removeDatabase(QStringLiteral("probe"));
            QThread::msleep(100);
        }
        return false;
    }
    void Stop()
    {
        if (FServer.state() == QProcess::NotRunning)
            return;
        FServer.terminate();
        if (!FServer.waitForFinished(20000)) {
            FServer.kill();
            FServer.waitForFinished(5000);
        }
    }
    int Port() const { return FPort; }
    QSqlDatabase Connection(const QString &name, const QString &database = QString()) const
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(FPort);
        db.setUserName(QStringLiteral("scs"));
        db.setPassword(QStringLiteral("scs"));
        if (!database.isEmpty())
            db.setDatabaseName(database);
        return db;
    }
    TDBInfo Info() const
    {
        TDBInfo info;
        info.DBType = dtMariaDB;
        info.Server = QStringLiteral("127.0.0.1");
        info.Port = QString::number(FPort);
        info.DBName = QStringLiteral("hard");
        info.UserID = QStringLiteral("scs");
        info.UserPW = QStringLiteral("scs");
        return info;
    }

private:
    bool Script(const QString &command)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SC_DB_USER"), QStringLiteral("scs"));
        env.insert(QStringLiteral("SC_DB_PASSWORD"), QStringLiteral("scs"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("bash"), {qEnvironmentVariable("SC_SOURCE_DIR") + QStringLiteral("/tests/fixture/mariadb.sh"),
                                         command, FDir.path()});
        return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    QTemporaryDir FDir;
    QProcess FServer;
    int FPort = 0;
};

} // namespace

class TestAppSvrHardening : public QObject
{
    Q_OBJECT
    std::unique_ptr<TOvikAppServer> server;
    QString pipe;

    // A server without a database: the guard answers before any service runs, and
    // the services answer their empty lists.
    void StartServer(const TAppSvrLimits &limits)
    {
        TDBInfo none;
        none.DBType = dtMariaDB;
        none.Server = QStringLiteral("127.0.0.1");
        none.Port = QStringLiteral("1"); // nothing listens there
        server = std::make_unique<TOvikAppServer>(TDBConnectionFactory(none, 1));
        server->SetLimits(limits);
        pipe = QStringLiteral("OvikAppSvr_hard_%1").arg(QCoreApplication::applicationPid());
        QString error;
        QVERIFY2(server->Start(0, pipe, &error), qPrintable(error));
    }

private slots:
    void cleanup() { server.reset(); }

    // Only the console's own pages: no answer names an allowed origin, a foreign
    // origin or a foreign host name (rebinding) is refused before any service.
    void origins_data()
    {
        QTest::addColumn<QByteArray>("headers");
        QTest::addColumn<QByteArray>("status");
        // The console's browser sends "file://" for its map pages.
        QTest::newRow("no origin") << QByteArray() << QByteArray("HTTP/1.1 200 OK");
        QTest::newRow("map page") << QByteArray("Origin: file://\r\n") << QByteArray("HTTP/1.1 200 OK");
        QTest::newRow("web page") << QByteArray("Origin: http://example.com\r\n")
                                  << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("opaque origin") << QByteArray("Origin: null\r\n") << QByteArray("HTTP/1.1 403 Forbidden");
        QTest::newRow("foreign host") << QByteArray("Origin: file://\r\nHost: attacker.example:80\r\n")
                                      << QByteArray("HTTP/1.1 403 Forbidden");
    }
    void origins()
    {
        QFETCH(QByteArray, headers);
        QFETCH(QByteArray, status);
        StartServer(TAppSvrLimits());
        RawClient c;
        QVERIFY(c.Open(server->Port()));
        QByteArray request = "GET /datasnap/rest/TServerMethods/LCList/" + QByteArray(kBox) + " HTTP/1.1\r\n";
        if (!headers.contains("Host:"))
            request += "Host: 127.0.0.1:" + QByteArray::number(server->Port()) + "\r\n";
        c.Send(request + headers + "\r\n");
        QVERIFY(c.WaitFor("\r\n\r\n", 5000));
        QCOMPARE(c.Status(), status);
        const QByteArray lower = c.received.toLower();
        QVERIFY2(!lower.contains("access-control-allow-origin: *"), c.received.constData());
        if (status.contains("200"))
            QVERIFY2(lower.contains("access-control-allow-origin: file://\r\n"), c.received.constData());
        else
            QVERIFY2(!lower.contains("access-control-allow-origin"), c.received.constData());
        if (status.contains("200"))
            QTRY_COMPARE_WITH_TIMEOUT(ListOf(c.received), QStringLiteral("{\"list\":[]}"), 5000);
        else
            QVERIFY(c.WaitClosed(3000));
    }

    void oversized_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("status");
        const TAppSvrLimits l;
        QTest::newRow("request line") << QByteArray("GET /" + QByteArray(l.MaxRequestLine + 10, 'a'))
                                      << QByteArray("HTTP/1.1 414 URI Too Long");
        QByteArray headers = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n";
        while (headers.size() < l.MaxHeaderBytes + 100)
            headers += "X-Fill: " + QByteArray(100, 'x') + "\r\n";
        QTest::newRow("headers") << headers << QByteArray("HTTP/1.1 431 Request Header Fields Too Large");
        QTest::newRow("one endless header") << QByteArray("GET / HTTP/1.1\r\nX-Long: " + QByteArray(l.MaxHeaderBytes + 10, 'b'))
                                            << QByteArray("HTTP/1.1 431 Request Header Fields Too Large");
        QTest::newRow("body announced")
            << QByteArray("POST /datasnap/rest/TServerMethods/LCList/ HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 209715200\r\n\r\n")
            << QByteArray("HTTP/1.1 413 Payload Too Large");
        QTest::newRow("chunked body")
            << QByteArray("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\nffffff\r\n")
            << QByteArray("HTTP/1.1 411 Length Required");
    }
    void oversized()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        StartServer(TAppSvrLimits());
        RawClient c;
        QVERIFY(c.Open(server->Port()));
        c.Send(request);
        QVERIFY2(c.WaitClosed(5000), "the connection is closed");
        QCOMPARE(c.Status(), status);
    }

    // A body within the bound is taken (and the request answered).
    void bodyWithinBound()
    {
        StartServer(TAppSvrLimits());
        RawClient c;
        QVERIFY(c.Open(server->Port()));
        const QByteArray body(1000, 'z');
        c.Send("GET /datasnap/rest/TServerMethods/NodeList/" + QByteArray(kBox)
               + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 1000\r\n\r\n" + body);
        QVERIFY(c.WaitFor("\r\n\r\n", 5000));
        QCOMPARE(c.Status(), QByteArray("HTTP/1.1 200 OK"));
    }

    // Idle and half-sent connections are closed after the time-out; one that keeps
    // asking is not.
    void idleConnections()
    {
        TAppSvrLimits limits;
        limits.IdleTimeoutMs = 400;
        StartServer(limits);
        RawClient idle, half, busy;
        QVERIFY(idle.Open(server->Port()));
        QVERIFY(half.Open(server->Port()));
        QVERIFY(busy.Open(server->Port()));
        half.Send("GET /datasnap/rest/TServerMethods/LCList/ HTTP/1.1\r\nHost: 127.");
        QTRY_COMPARE_WITH_TIMEOUT(server->OpenConnections(), 3, 2000);
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 5; ++i) {
            busy.Send(Get("/datasnap/rest/TServerMethods/LCList/" + QByteArray(kBox)));
            QTest::qWait(200);
        }
        QVERIFY(idle.WaitClosed(1000));
        QVERIFY(half.WaitClosed(1000));
        QCOMPARE(half.Status(), QByteArray("HTTP/1.1 408 Request Timeout"));
        QCOMPARE(busy.socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(busy.received.count("HTTP/1.1 200 OK"), 5);
        QVERIFY(busy.WaitClosed(2000));
        QTRY_COMPARE_WITH_TIMEOUT(server->OpenConnections(), 0, 2000);
    }

    // Connections beyond the bound are closed at once.
    void connectionBound()
    {
        TAppSvrLimits limits;
        limits.MaxConnections = 3;
        StartServer(limits);
        std::vector<std::unique_ptr<RawClient>> clients;
        for (int i = 0; i < 3; ++i) {
            clients.push_back(std::make_unique<RawClient>());
            QVERIFY(clients.back()->Open(server->Port()));
        }
        QTRY_COMPARE_WITH_TIMEOUT(server->OpenConnections(), 3, 2000);
        QTcpSocket extra;
        extra.connectToHost(QHostAddress::LocalHost, server->Port());
        QTest::qWait(200);
        QTRY_COMPARE_WITH_TIMEOUT(extra.state(), QAbstractSocket::UnconnectedState, 2000);
        QCOMPARE(server->OpenConnections(), 3);
        // The first ones are still served.
        clients.front()->Send(Get("/datasnap/rest/TServerMethods/LCList/" + QByteArray(kBox)));
        QVERIFY(clients.front()->WaitFor("HTTP/1.1 200 OK", 3000));
    }

    // The pipe: a request line that never ends is refused and the connection
    // closed; a proper request on another connection is still answered.
    void pipeLineBound()
    {
        TAppSvrLimits limits;
        limits.MaxPipeLine = 4096;
        StartServer(limits);
        QLocalSocket flood;
        flood.connectToServer(pipe);
        QTRY_VERIFY_WITH_TIMEOUT(flood.state() == QLocalSocket::ConnectedState, 3000);
        QByteArray answer;
        connect(&flood, &QLocalSocket::readyRead, &flood, [&] { answer += flood.readAll(); });
        for (int i = 0; i < 64; ++i) {
            flood.write(QByteArray(1024, 'q'));
            flood.flush();
            QTest::qWait(2);
            if (flood.state() != QLocalSocket::ConnectedState)
                break;
        }
        QTRY_VERIFY_WITH_TIMEOUT(flood.state() == QLocalSocket::UnconnectedState, 3000);
        answer += flood.readAll();
        AppServerPipe::TReply reply;
        QVERIFY2(AppServerPipe::DecodeReply(answer.left(answer.indexOf('\n')), &reply), answer.constData());
        QCOMPARE(reply.Error, int(AppServerPipe::ecMalformed));

        QLocalSocket ok;
        ok.connectToServer(pipe);
        QTRY_VERIFY_WITH_TIMEOUT(ok.state() == QLocalSocket::ConnectedState, 3000);
        AppServerPipe::TRequest req;
        req.Id = QStringLiteral("1");
        req.Fields.insert(QStringLiteral("Command"), QStringLiteral("Bogus"));
        ok.write(AppServerPipe::EncodeRequest(req));
        ok.flush();
        QTRY_VERIFY_WITH_TIMEOUT(ok.bytesAvailable() > 0 || ok.canReadLine(), 3000);
        QVERIFY(AppServerPipe::DecodeReply(ok.readAll().trimmed(), &reply));
        QCOMPARE(reply.Error, int(AppServerPipe::ecUnknownCommand));
    }

    // The database is restarted under a running server and a worker thread's own
    // connection: the first request after its return answers with data.
    void databaseRestart()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("mariadbd")).isEmpty())
            QSKIP("mariadbd is not installed");
        PrivateDb db;
        QVERIFY2(db.Create(), "private MariaDB");
        {
            QSqlDatabase c = db.Connection(QStringLiteral("setup"));
            QVERIFY2(c.open(), qPrintable(c.lastError().text()));
            QSqlQuery q(c);
            for (const char *sql : {"CREATE DATABASE hard",
                                    "CREATE TABLE hard.SCS_M_NODE (NODE_ID VARCHAR(10) PRIMARY KEY, NODE_LAT DOUBLE, NODE_LNG DOUBLE)",
                                    "CREATE TABLE hard.SCS_M_INTLC (INT_LCNO SMALLINT PRIMARY KEY, NODE_ID VARCHAR(10))",
                                    "INSERT INTO hard.SCS_M_NODE VALUES ('N1', 37.5, 127.0), ('N2', 37.6, 127.1)",
                                    "INSERT INTO hard.SCS_M_INTLC VALUES (7, 'N1'), (9, 'N2')"})
                QVERIFY2(q.exec(QString::fromLatin1(sql)), qPrintable(q.lastError().text()));
            c.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("setup"));

        const TDBConnectionFactory factory(db.Info(), 2);
        TOvikAppServer svr(factory);
        const QString pipeName = QStringLiteral("OvikAppSvr_restart_%1").arg(QCoreApplication::applicationPid());
        QString error;
        QVERIFY2(svr.Start(0, pipeName, &error), qPrintable(error));
        const QString full = QStringLiteral("{\"list\":[7,9]}");
        auto ask = [&] {
            RawClient c;
            c.Open(svr.Port());
            c.Send(Get("/datasnap/rest/TServerMethods/LCList/" + QByteArray(kBox)));
            c.WaitFor("]}", 15000);
            return ListOf(c.received);
        };
        // A worker thread keeps its own connection and reads on it when asked.
        QThread worker;
        worker.start();
        QObject ctx;
        ctx.moveToThread(&worker);
        std::unique_ptr<TThreadConnection> con;
        // Ends the worker however the test ends.
        struct WorkerEnd
        {
            QThread &worker;
            QObject &ctx;
            std::unique_ptr<TThreadConnection> &con;
            ~WorkerEnd()
            {
                QThread *self = QThread::currentThread();
                QMetaObject::invokeMethod(&ctx, [&] {
                    con.reset();
                    ctx.moveToThread(self);
                }, Qt::BlockingQueuedConnection);
                worker.quit();
                worker.wait();
            }
        } end{worker, ctx, con};
        auto workerCount = [&] {
            int count = -1;
            QMetaObject::invokeMethod(&ctx, [&] {
                if (!con)
                    con = std::make_unique<TThreadConnection>(factory, QStringLiteral("TTestWorker"));
                QString e;
                con->RunReading([&](QSqlDatabase &d, QSqlError *err) {
                    QSqlQuery q(d);
                    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM SCS_M_INTLC")) || !q.next()) {
                        *err = q.lastError();
                        return false;
                    }
                    count = q.value(0).toInt();
                    return true;
                }, &e);
            }, Qt::BlockingQueuedConnection);
            return count;
        };

        QCOMPARE(ask(), full);
        QCOMPARE(workerCount(), 2);

        // Restarted while nobody asked: the kept connections are stale.
        QVERIFY(db.StopFirst());
        QVERIFY2(db.Start(), "restart on the same port");
        QCOMPARE(ask(), full);
        QCOMPARE(workerCount(), 2);

        // Down while asked (empty answers, no hang), then back.
        db.Stop();
        QCOMPARE(ask(), QStringLiteral("{\"list\":[]}"));
        QCOMPARE(workerCount(), -1);
        QVERIFY2(db.Start(), "second restart");
        QCOMPARE(ask(), full);
        QCOMPARE(workerCount(), 2);

    }
};

QTEST_MAIN(TestAppSvrHardening)
#include "tst_appsvr_hardening.moc"
