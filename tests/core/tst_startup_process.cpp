// The program itself: a second start is refused with the already-running box and
// ends with 0 without connecting; a start against an unreachable database shows the
// connection message and ends without a crash.
#include <QLocalSocket>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "TestConsoleFolder.h"
#include "TestDb.h"
#include "core/untStartup.h"

namespace {

const char *const kDb = "tst_startup_process";

int unusedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

QString program()
{
    return QCoreApplication::applicationDirPath() + "/signal-console";
}

void writeIni(const QString &dir, int port, const QString &language)
{
    QFile f(dir + "/signal-console.ini");
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write((TestConsole::DbSettings(kDb, port)
             + QString("[COM-ENV]\nDB_CONNECTION_TIMEOUT=30\n[L10N]\nSIL_FILE=signal-console.sil\nLANGUAGE=%1\n").arg(language))
                .toUtf8());
}

// The boxes a run logged: one line each, fields separated by tabs.
QList<QStringList> boxes(const QString &log)
{
    QFile f(log);
    QList<QStringList> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QString &line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts))
        out << line.split('\t');
    return out;
}

QProcessEnvironment env(const QString &dir, const QString &log)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("SC_APP_DIR", dir);
    e.insert("SC_MSGDLG_LOG", log);
    e.insert("QT_QPA_PLATFORM", "offscreen");
    return e;
}

} // namespace

class TestStartupProcess : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(program()));
        QVERIFY(TestDb::create(kDb, true));
    }

    void secondInstanceIsRefused_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Korean") << "Korean" << "교통신호제어 운영 단말이 이미 실행중입니다." << "프로그램 재실행";
        QTest::newRow("English") << "english" << "Traffic Signal Control Systerm is already running." << "Dupliacte Execute";
    }
    void secondInstanceIsRefused()
    {
        QFETCH(QString, language);
        QFETCH(QString, text);
        QFETCH(QString, caption);
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("res")));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/res/signal-console.sil",
                            dir.filePath("res/signal-console.sil")));
        writeIni(dir.path(), TestDb::port(), language);

        // the first instance connects and waits at the login
        QProcess first;
        first.setProcessEnvironment(env(dir.path(), dir.filePath("first.log")));
        first.start(program(), {});
        QVERIFY(first.waitForStarted(10000));
        QLocalSocket probe;
        bool listening = false;
        for (int i = 0; i < 300 && !listening && first.state() == QProcess::Running; ++i) {
            probe.connectToServer(InstanceServerName(dir.path()));
            listening = probe.waitForConnected(100);
            if (!listening)
                QTest::qWait(100);
        }
        probe.disconnectFromServer();
        QVERIFY2(listening, qPrintable(first.readAllStandardError()));

        // the second instance would fail to connect: it must not try
        writeIni(dir.path(), unusedPort(), language);
        QProcess second;
        second.setProcessEnvironment(env(dir.path(), dir.filePath("second.log")));
        second.start(program(), {});
        QVERIFY(second.waitForFinished(60000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        const QList<QStringList> b = boxes(dir.filePath("second.log"));
        QCOMPARE(b.size(), 1);
        QCOMPARE(b.at(0).value(0), QString("3")); // information
        QCOMPARE(b.at(0).value(2), text);
        QCOMPARE(b.at(0).value(3), caption);

        // the first one still runs and showed nothing
        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(boxes(dir.filePath("first.log")).size(), 0);
        first.kill();
        first.waitForFinished(10000);

        // once the first has gone, a start is no longer refused (a stale lock is taken over)
        QProcess third;
        third.setProcessEnvironment(env(dir.path(), dir.filePath("third.log")));
        third.start(program(), {});
        QVERIFY(third.waitForFinished(60000));
        QCOMPARE(third.exitCode(), 1); // it tried the (unreachable) database
        const QList<QStringList> t = boxes(dir.filePath("third.log"));
        QCOMPARE(t.size(), 1);
        QCOMPARE(t.at(0).value(0), QString("2"));
    }

    void unreachableDatabaseEndsWithMessage()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath("res")));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/res/signal-console.sil",
                            dir.filePath("res/signal-console.sil")));
        writeIni(dir.path(), unusedPort(), "Korean");
        QProcess p;
        p.setProcessEnvironment(env(dir.path(), dir.filePath("run.log")));
        p.start(program(), {});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QList<QStringList> b = boxes(dir.filePath("run.log"));
        QCOMPARE(b.size(), 1);
        QCOMPARE(b.at(0).value(0), QString("2")); // error
        QCOMPARE(b.at(0).value(1), QString("교통신호제어 운영 단말"));
        QCOMPARE(b.at(0).value(2), QString("DBMS에 연결할 수 없어 프로그램을 종료합니다."));
        QCOMPARE(b.at(0).value(3), QString("DB 연결 실패"));
        QVERIFY(!b.at(0).value(4).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStartupProcess)
#include "tst_startup_process.moc"
