// The two communication logs: dump format, admin-only lines, result lines, title
// blocks, trimming of both memos and the buffered output of the monitoring-link log.
#include <QtTest>

#include "CentreLinkTestSupport.h"
#include "centrelink/CommLogFormat.h"
#include "centrelink/untTH_LogCom.h"
#include "centrelink/untTH_TCDV_C_Log.h"

#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>

class TestRcLogWindows : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { CentreLinkTest::LoadTexts(TsiLangDispatcher::LangKorean); }

    void packetDump_data();
    void packetDump();
    void timedLine();
    void adminOnlyLines_data();
    void adminOnlyLines();
    void titleBlocks();
    void controlLogTrimming();
    void monitoringLogFlushTrimming();
    void monitoringLogBuffersWhileShown();
    void monitoringLogFlushesWhenHiddenBufferIsFull_data();
    void monitoringLogFlushesWhenHiddenBufferIsFull();
    void buttons();
    void instanceVariables();
};

void TestRcLogWindows::packetDump_data()
{
    QTest::addColumn<int>("len");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("33 bytes") << 33
        << QStringList{QString(), QStringLiteral("title (33 Byte)"),
                       QStringLiteral("[01] 001 :  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f"),
                       QStringLiteral("[02] 017 :  10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f"),
                       QStringLiteral("[03] 033 :  20")};
    QTest::newRow("16 bytes") << 16
        << QStringList{QString(), QStringLiteral("title (16 Byte)"),
                       QStringLiteral("[01] 001 :  00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f")};
    QTest::newRow("nothing") << 0 << QStringList{QString(), QStringLiteral("title (0 Byte)")};
}

void TestRcLogWindows::packetDump()
{
    QFETCH(int, len);
    QFETCH(QStringList, expected);
    QByteArray bytes;
    for (int i = 0; i < 300; ++i)
        bytes.append(char(i));
    QCOMPARE(CommLog::PacketDump(QStringLiteral("title"), bytes.constData(), len, 16), expected);

    TfrmTH_TCDV_C_Log log;
    log.SetAdminMode(true);
    log.DsplPacket(QStringLiteral("title"), bytes.constData(), len, 16);
    QCOMPARE(log.Lines(), expected);

    // Rows past 99 and positions past 999 keep counting.
    const QStringList big = CommLog::PacketDump(QStringLiteral("t"), bytes.constData(), 300, 2);
    QCOMPARE(big.last(), QStringLiteral("[150] 299 :  2a 2b"));
}

void TestRcLogWindows::timedLine()
{
    QCOMPARE(CommLog::TimedLine(QStringLiteral("msg"), QStringLiteral("12:34:56")), QStringLiteral("12:34:56 : msg"));
    QCOMPARE(CommLog::TimedLine(QStringLiteral("msg"), QString(), QTime(7, 8, 9)), QStringLiteral("07:08:09 : msg"));
    TfrmTH_TCDV_C_Log log;
    log.SetAdminMode(true);
    log.AddLog(QStringLiteral("hello"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d : hello$")).match(log.Lines().value(0)).hasMatch());
}

void TestRcLogWindows::adminOnlyLines_data()
{
    QTest::addColumn<bool>("admin");
    QTest::newRow("admin mode") << true;
    QTest::newRow("operator mode") << false;
}

void TestRcLogWindows::adminOnlyLines()
{
    QFETCH(bool, admin);
    const QByteArray bytes(20, '\x01');
    TfrmTH_TCDV_C_Log ctrl;
    ctrl.SetAdminMode(admin);
    ctrl.AddLog(QStringLiteral("line"));
    ctrl.DsplPacket(QStringLiteral("dump"), bytes.constData(), 20, 16);
    ctrl.DsplTitle(QStringLiteral("cmd"), 1, QStringLiteral("n"));
    ctrl.DsplTitleSa(QStringLiteral("cmd"), 1, QStringLiteral("n"));
    ctrl.DsplRslt(QStringLiteral("done"));
    const QStringList lines = ctrl.Lines();
    QCOMPARE(lines.mid(lines.size() - 2), QStringList({QString(), QStringLiteral(">> done")}));
    QCOMPARE(lines.size(), admin ? 1 + 4 + 6 + 6 + 2 : 2);

    TfrmTH_LogCom mon;
    mon.SetAdminMode(admin);
    mon.AddLog(QStringLiteral("line"));
    mon.DsplPacket(QStringLiteral("dump"), bytes.constData(), 20, 16);
    mon.Flush();
    QCOMPARE(mon.LineCount(), admin ? 1 + 4 : 0);
}

void TestRcLogWindows::titleBlocks()
{
    TfrmTH_TCDV_C_Log log;
    log.SetAdminMode(true);
    const QDateTime before = QDateTime::currentDateTime();
    log.DsplTitle(QStringLiteral("모드변경"), 12, QStringLiteral("신사역사거리"));
    log.DsplTitleSa(QStringLiteral("TOD"), 3, QStringLiteral("강남"));
    const QStringList lines = log.Lines();
    QCOMPARE(lines.size(), 12);
    const QString rule = QStringLiteral("* ----------------------------------------------------------");
    QCOMPARE(lines[0], QString());
    QCOMPARE(lines[1], rule);
    QCOMPARE(lines[2], QStringLiteral("* 명령  : 모드변경                                                "));
    QCOMPARE(lines[3], QStringLiteral("* 제어기  : #12 : 신사역사거리                                        "));
    QVERIFY(lines[4].startsWith(QStringLiteral("* 일시  : ") + before.toString(QStringLiteral("yyyy-MM-dd, "))));
    QCOMPARE(lines[5], rule);
    QCOMPARE(lines[9], QStringLiteral("* 그룹  : #3 : 강남                                          "));

    TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangEnglish);
    TfrmTH_TCDV_C_Log en;
    en.SetAdminMode(true);
    en.DsplTitle(QStringLiteral("Mode"), 7, QStringLiteral("X"));
    TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
    QCOMPARE(en.Lines()[3], QStringLiteral("* Intersection  : #7 : X                                        "));
}

void TestRcLogWindows::controlLogTrimming()
{
    TfrmTH_TCDV_C_Log log;
    log.SetAdminMode(true);
    for (int i = 1; i <= 1000; ++i)
        log.AddLog(QStringLiteral("line %1").arg(i), QStringLiteral("t"));
    QCOMPARE(log.LineCount(), 1000);
    log.AddLog(QStringLiteral("line 1001"), QStringLiteral("t"));
    QCOMPARE(log.LineCount(), 999);
    QCOMPARE(log.Lines().first(), QStringLiteral("t : line 3"));
    QCOMPARE(log.Lines().last(), QStringLiteral("t : line 1001"));
    log.DsplRslt(QStringLiteral("r"));
    QCOMPARE(log.LineCount(), 999);
    QCOMPARE(log.Lines().last(), QStringLiteral(">> r"));
}

void TestRcLogWindows::monitoringLogFlushTrimming()
{
    TfrmTH_LogCom log;
    log.SetAdminMode(true);
    QStringList old;
    for (int i = 1; i <= 1050; ++i)
        old << QStringLiteral("old %1").arg(i);
    CommLog::AppendLines(log.mmLog, old);
    QCOMPARE(log.LineCount(), 1050);
    for (int i = 1; i <= 10; ++i)
        log.AddLog(QStringLiteral("new %1").arg(i), QStringLiteral("t"));
    QCOMPARE(log.LineCount(), 1050); // buffered
    log.Flush();
    QCOMPARE(log.LineCount(), 960);
    QCOMPARE(log.Lines().first(), QStringLiteral("old 101"));
    QCOMPARE(log.Lines().last(), QStringLiteral("t : new 10"));

    // 999 lines: nothing deleted.
    TfrmTH_LogCom small;
    small.SetAdminMode(true);
    CommLog::AppendLines(small.mmLog, old.mid(0, 999));
    small.AddLog(QStringLiteral("x"), QStringLiteral("t"));
    small.Flush();
    QCOMPARE(small.LineCount(), 1000);
}

void TestRcLogWindows::monitoringLogBuffersWhileShown()
{
    TfrmTH_LogCom log;
    log.SetAdminMode(true);
    QVERIFY(!log.TimerActive());
    log.show();
    QVERIFY(log.TimerActive());
    for (int i = 0; i < 200; ++i) // far more than 2500 bytes
        log.AddLog(QStringLiteral("a fairly long monitoring line number %1").arg(i));
    QCOMPARE(log.LineCount(), 0); // the timer writes them
    QTRY_COMPARE_WITH_TIMEOUT(log.LineCount(), 200, 3000);
    QCOMPARE(log.BufferLines(), 0);
    log.close();
    QVERIFY(!log.TimerActive());
}

void TestRcLogWindows::monitoringLogFlushesWhenHiddenBufferIsFull_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<bool>("flushed");
    // 1300 characters: 2600 bytes in CP949 for Hangul, 1300 for ASCII.
    QTest::newRow("Hangul") << QStringLiteral("가") << true;
    QTest::newRow("ASCII") << QStringLiteral("a") << false;
}

void TestRcLogWindows::monitoringLogFlushesWhenHiddenBufferIsFull()
{
    QFETCH(QString, letter);
    QFETCH(bool, flushed);
    TfrmTH_LogCom log;
    log.SetAdminMode(true);
    log.AddLog(letter.repeated(1300), QStringLiteral("t"));
    QCOMPARE(log.LineCount(), flushed ? 1 : 0);
    QCOMPARE(log.BufferBytes(), flushed ? 0 : 1300 + 4 + 2);
}

void TestRcLogWindows::buttons()
{
    TfrmTH_TCDV_C_Log log;
    log.DsplRslt(QStringLiteral("r"));
    log.btnCopy->click();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("\n>> r"));
    log.btnClear->click();
    QCOMPARE(log.LineCount(), 0);
    QVERIFY(log.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    log.chxAlwayOnTop->click();
    QVERIFY(!log.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    log.show();
    log.btnClose->click();
    QVERIFY(!log.isVisible());
    QCOMPARE(log.btnCopy->text(), QStringLiteral("클립보드에 복사"));
}

void TestRcLogWindows::instanceVariables()
{
    {
        TfrmTH_LogCom a;
        TfrmTH_TCDV_C_Log b;
        QCOMPARE(frmTH_LogCom, &a);
        QCOMPARE(frmTH_TCDV_C_Log, &b);
    }
    QVERIFY(!frmTH_LogCom);
    QVERIFY(!frmTH_TCDV_C_Log);
}

QTEST_MAIN(TestRcLogWindows)
#include "tst_rc_logwindows.moc"
