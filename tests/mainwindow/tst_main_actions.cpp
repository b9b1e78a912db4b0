// The main window's host requests, bookmarks, VIP phase-hold panel and
// emergency-vehicle panel, driven against the fixture database (demo city) and
// the centre-server simulator in-process: what reached the simulator, the boxes
// shown, the page scripts and the rows written.
#include <QTimer>
#include <QApplication>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPlainTextEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

#include "mainwindow/BookmarkUnit.h"
#include "centrelink/ExchangeLogUnit.h"
#include "mainwindow/HostRequestUnit.h"
#include "core/LcStatusColor.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/PanelTextUnit.h"
#include "core/Quorval.h"
#include "centrelink/RC2MMIUnit.h"
#include "RcSim.h"
#include "RcSimEndpoint.h"
#include "TestConsoleFolder.h"
#include "TestDb.h"
#include "centrelink/VIPCtrlThreadUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "mainwindow/untEmergencyPanel.h"
#include "mainwindow/untVipPanel.h"

using namespace rcsim;

namespace {

const QString kDb = QStringLiteral("main_actions");

QString u(const char *s) { return QString::fromUtf8(s); }
QString tx(const char *key) { return PanelText(QString::fromLatin1(key)); }

// "opcode kind target data-hex" of a request as the simulator received it.
QString wire(const CapturedPacket &p)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(p.head.opcode, 2, 16, QLatin1Char('0'))
        .arg(p.head.kind)
        .arg(p.head.target)
        .arg(QString::fromLatin1(p.data.toHex()));
}

// A special command record of `size` bytes with phase_hold, run_type and the phase.
QString holdRecord(int size, int run, int phase)
{
    QByteArray b(size, '\0');
    b[13] = 1;
    b[16] = char(run);
    b[17] = char(phase);
    return QString::fromLatin1(b.toHex());
}

// "code|kind|value|target|text"
QString ev(int code, int kind, int value, int target, const QString &text)
{
    return QStringLiteral("%1|%2|%3|%4|%5").arg(code).arg(kind).arg(value).arg(target).arg(text);
}

} // namespace

class TstMainActions : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;
    std::unique_ptr<RcSim> FSim;
    TRcEndpoint FEndpoint;
    std::unique_ptr<ScriptedMsgDlg> FMsg;
    QSqlDatabase FDb;
    TLC_INFO_SET FSet;
    std::shared_ptr<TST_VESK_STATE> FImage;

    QList<CapturedPacket> requests() const
    {
        QList<CapturedPacket> out;
        for (const CapturedPacket &p : FSim->captured())
            if (p.control && !p.head.isClosing())
                out << p;
        return out;
    }

    QStringList wires() const
    {
        QStringList w;
        for (const CapturedPacket &p : requests())
            w << wire(p);
        return w;
    }

    QStringList events() const
    {
        QSqlQuery q(FDb);
        if (!q.exec(QStringLiteral("SELECT CTL_CODE, CTL_KIND, CTL_VALUE, CTL_NO, CTL_DESC, USER_ID, CTL_ALL "
                                   "FROM SCS_L_USERCONTROL ORDER BY CTL_CREDATE")))
            qWarning("%s", qPrintable(q.lastError().text()));
        QStringList rows;
        while (q.next()) {
            rows << ev(q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                       q.value(4).toString());
            if (q.value(5).toString() != QLatin1String("tester") || q.value(6).toInt() != 0)
                rows << QStringLiteral("bad operator or all-flag");
        }
        return rows;
    }

    int scalar(const QString &sql) const
    {
        QSqlQuery q(FDb);
        if (!q.exec(sql) || !q.next()) {
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            return -1;
        }
        return q.value(0).toInt();
    }

    void exec(const QString &sql) const
    {
        QSqlQuery q(FDb);
        if (!q.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }

    void reset()
    {
        FSim->clearFailure();
        FSim->clearCapture();
        FMsg->clear();
        SetExchangeLogObserver(nullptr);
        exec(QStringLiteral("DELETE FROM SCS_L_USERCONTROL"));
        FSet.Clear();
    }

    PSTT_LC_INFO live(int lc)
    {
        PSTT_LC_INFO rec = FSet.GetLcInfo(lc);
        if (!rec) {
            rec = std::make_shared<TSTT_LC_INFO>();
            rec->tcdv_id = lc;
            rec->is_use = true;
            FSet.SetLcInfo(lc, rec);
        }
        return rec;
    }

    // A panel with intersections ticked in this order.
    std::unique_ptr<TVipPanel> vipPanel(const QList<int> &lcs)
    {
        auto p = std::make_unique<TVipPanel>();
        p->SetSources(&FSet, [this] { return TStateImageRef(FImage); }, nullptr);
        p->SetPanelOpen(true);
        p->resize(600, 500);
        p->show();
        for (int lc : lcs)
            p->HandleConsoleMessage(QStringLiteral("VIPCtrlSelected"), QString::number(lc));
        return p;
    }

    // Presses and releases the button of a block's first row.
    static int pressButton(TVipPanel *p, int block, int column)
    {
        const QRect cell = p->gtvVIPCtrl->visualRect(p->gtvVIPCtrl->model()->index(block * 4, column));
        const int fired = p->CellMouseDown(block * 4, column, TVipCellDelegate::ButtonStrip(cell).center());
        p->CellMouseUp();
        return fired;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestConsole::LoadLanguage());
        QVERIFY(TestDb::create(kDb, true));
        FDb = TestDb::open(kDb, QStringLiteral("tst_main_actions"));
        QVERIFY(FDb.isOpen());

        QVERIFY(FDir.isValid());
        DM = TestConsole::OpenDataModule(FDir.path(), kDb);
        QVERIFY(DM);

        QString error;
        FSim = TestRcSim::Start(FEndpoint, 800, rcsim::Options(), &error);
        QVERIFY2(FSim, qPrintable(error));
        FMsg = std::make_unique<ScriptedMsgDlg>(true);
        FImage = std::make_shared<TST_VESK_STATE>();
        std::memset(static_cast<void *>(FImage.get()), 0, sizeof(TST_VESK_STATE));
    }

    void cleanupTestCase()
    {
        SetExchangeLogObserver(nullptr);
        SetCtrlEndpointOverride(nullptr);
        FMsg.reset();
        if (FSim)
            FSim->stop();
        FSim.reset();
        delete DM;
        DM = nullptr;
    }

    // ------------------------------------------------------------ host requests

    void hostRequest_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("fail");
        QTest::addColumn<QString>("wire");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("eventValue");

        const QString params = u("파라미터변경통보");
        const QString reboot = u("서버프로그램재기동");
        QTest::newRow("reload parameter") << int(hrParamsChanged) << mrYes << int(FailMode::None) << "04 3 0 "
                                          << "[" + params + "] " + u("변경통보 성공") << 1;
        QTest::newRow("restart server") << int(hrHostReboot) << mrYes << int(FailMode::None) << "06 3 0 "
                                        << "[" + reboot + "] " + u("변경통보 성공") << 2;
        QTest::newRow("reload, other reply command") << int(hrParamsChanged) << mrYes << int(FailMode::WrongOpcode)
                                                     << "04 3 0 " << "[" + params + "] " + u("변경통보 실패") << 1;
        QTest::newRow("restart, server down") << int(hrHostReboot) << mrYes << int(FailMode::Refuse) << QString()
                                              << reboot + u(" : RC 연결 실패") << 2;
        QTest::newRow("reload, no reply") << int(hrParamsChanged) << mrYes << int(FailMode::Stall) << "04 3 0 "
                                          << params + u(" : 데이터수신 실패") << 1;
        QTest::newRow("declined") << int(hrHostReboot) << mrNo << int(FailMode::None) << QString() << QString() << 0;
    }

    void hostRequest()
    {
        QFETCH(int, kind);
        QFETCH(int, answer);
        QFETCH(int, fail);
        QFETCH(QString, wire);
        QFETCH(QString, result);
        QFETCH(int, eventValue);
        reset();
        FSim->setFailure(FailMode(fail), PortScope::Control);
        FMsg->enqueue(answer);

        QStringList calls;
        THostRequestHooks hooks;
        hooks.StopMonitoring = [&calls] { calls << QStringLiteral("stop"); };
        hooks.StartMonitoring = [&calls] { calls << QStringLiteral("start"); };
        hooks.AddLogCom = [&calls](const QString &m) { calls << QStringLiteral("log:") + m; };
        QString text;
        const bool ran = ExecuteHostRequest(nullptr, THostRequestKind(kind), hooks, &text);
        FSim->clearFailure();

        const TMsgDlgRequest question = FMsg->requests().value(0);
        QCOMPARE(question.kind, mkQuestion);
        QCOMPARE(question.caption, u("실행 확인"));
        QCOMPARE(question.text, kind == hrParamsChanged ? u("'파라미터변경통보'를 하시겠습니까?")
                                                       : u("'서버프로그램재기동'을 하시겠습니까?"));
        if (answer != mrYes) {
            QVERIFY(!ran);
            QCOMPARE(FMsg->count(), 1);
            QVERIFY(calls.isEmpty());
            QVERIFY(requests().isEmpty());
            QVERIFY(events().isEmpty());
            return;
        }
        QVERIFY(ran);
        QCOMPARE(text, result);
        QCOMPARE(wires(), wire.isEmpty() ? QStringList() : QStringList{wire});
        // The result box, the log line, the event row; monitoring off then on again.
        QCOMPARE(FMsg->count(), 2);
        QCOMPARE(FMsg->last().kind, mkInformation);
        QCOMPARE(FMsg->last().text, result);
        QCOMPARE(FMsg->last().caption, u("실행 확인"));
        QCOMPARE(calls, (QStringList{QStringLiteral("stop"), QStringLiteral("log:") + result, QStringLiteral("start")}));
        QCOMPARE(events(), QStringList{ev(13, 3, eventValue, 0, result)});
    }

    void hostRequestResultTexts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("rtn");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("text");
        QTest::newRow("send failed") << int(hrParamsChanged) << 99992 << 0 << u("파라미터변경통보 : 데이터전송 실패");
        QTest::newRow("restart accepted") << int(hrHostReboot) << 0 << 7 << u("[서버프로그램재기동] 변경통보 성공");
        QTest::newRow("restart answered 5") << int(hrHostReboot) << 0 << 5 << u("[서버프로그램재기동] 변경통보 실패");
        QTest::newRow("closing failed after the reply") << int(hrParamsChanged) << 99994 << 5
                                                        << u("[파라미터변경통보] 변경통보 성공");
    }

    void hostRequestResultTexts()
    {
        QFETCH(int, kind);
        QFETCH(int, rtn);
        QFETCH(int, command);
        QFETCH(QString, text);
        QCOMPARE(HostRequestResultText(THostRequestKind(kind), rtn, quint8(command)), text);
    }

    // ------------------------------------------------------------------ bookmarks

    void bookmarksRoundTrip()
    {
        // The demo administrator's stored bookmarks.
        bool ok = false;
        std::optional<QJsonObject> marks = ParseBookmarks(ReadBookmarks(FDb, QStringLiteral("admin"), &ok));
        QVERIFY(ok);
        QVERIFY(marks.has_value());
        QCOMPARE(marks->keys(), (QStringList{"B1", "B2"}));

        // Registering 3 twice keeps one member with the second position, rounded to
        // 7 places; an unreadable latitude is 37.
        TLatLng pos{QStringLiteral("37.56650001234"), QStringLiteral("126.978")};
        QCOMPARE(RegisterBookmark(marks, 3, pos, 15, QStringLiteral("KO")),
                 QStringLiteral(" showBookmarkFlag(\"altKey\", 3, \"KO\"); "));
        pos = {QStringLiteral("abc"), QStringLiteral("127.12345678")};
        RegisterBookmark(marks, 3, pos, 12, QStringLiteral("EN"));
        QCOMPARE(marks->keys(), (QStringList{"B1", "B2", "B3"}));
        QCOMPARE(QJsonDocument(marks->value("B3").toObject()).toJson(QJsonDocument::Compact),
                 QByteArray("{\"latlng\":[37,127.1234568],\"zoom\":12}"));

        // Written back for the operator, read again, recalled.
        QVERIFY(SaveBookmarks(marks, FDb, QStringLiteral("operator")));
        const QString stored = ReadBookmarks(FDb, QStringLiteral("operator"));
        QCOMPARE(QJsonDocument::fromJson(stored.toUtf8()).object(), *marks);
        const std::optional<QJsonObject> again = ParseBookmarks(stored);
        QVERIFY(again.has_value());
        QCOMPARE(RecallBookmarkScript(again, 1, QStringLiteral("KO")),
                 QStringLiteral(" map.setView([37.49794,127.02762], 15, {    pan: { animate: true , duration: 0.5 },"
                                "    zoom: { animate: true },    animate: true});  map.once(\"moveend\", function() { "
                                "showBookmarkFlag(\"ctrlKey\", 1, \"KO\"); }); "));
        QVERIFY(RecallBookmarkScript(again, 3, QStringLiteral("EN")).startsWith(" map.setView([37,127.1234568], 12,"));

        // A bookmark never registered: the message names its Alt key; the page gets nothing.
        FMsg->clear();
        TRecordingMapBridge page;
        ExecuteBookmarkRecall(nullptr, again, 4, &page);
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().caption, u("북마크 등록"));
        QCOMPARE(FMsg->last().text,
                 u("등록된 북마크가 없습니다.\n북마크 등록은 Alt+4 키를 눌러 등록가능합니다."));
        QVERIFY(page.Scripts().isEmpty());
        ExecuteBookmarkRecall(nullptr, again, 2, &page);
        QCOMPARE(page.Scripts().size(), 1);
    }

    void bookmarksUnreadable_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("usable");
        QTest::newRow("NULL") << QString() << true;
        QTest::newRow("not JSON") << QStringLiteral("{\"B1\":") << false;
        QTest::newRow("an array") << QStringLiteral("[1,2]") << false;
    }

    void bookmarksUnreadable()
    {
        QFETCH(QString, stored);
        QFETCH(bool, usable);
        std::optional<QJsonObject> marks = ParseBookmarks(stored);
        QCOMPARE(marks.has_value(), usable);
        const QString script = RegisterBookmark(marks, 2, TLatLng{QStringLiteral("37.5"), QStringLiteral("127")}, 14,
                                                QStringLiteral("KO"));
        QCOMPARE(script.isEmpty(), !usable);
        QCOMPARE(RecallBookmarkScript(marks, 2, QStringLiteral("KO")).isEmpty(), !usable);
        // An absent object is never written over the stored text.
        exec(QStringLiteral("UPDATE SCS_M_USER SET BOOKMARKS = '{\"B1\":' WHERE USER_ID = 'manager'"));
        QVERIFY(SaveBookmarks(marks, FDb, QStringLiteral("manager")));
        QCOMPARE(ReadBookmarks(FDb, QStringLiteral("manager")) == QLatin1String("{\"B1\":"), !usable);
    }

    // ------------------------------------------------------------------ VIP panel

    void vipRecords_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("lcType");
        QTest::addColumn<int>("run");
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("ringMode");
        QTest::addColumn<int>("oprMode");
        QTest::addColumn<QString>("data");
        QTest::newRow("hold 3 at a 2004 controller") << int(ctHold) << 1 << int(rtRun) << 3 << 0 << 0
                                                     << "0150" + holdRecord(22, 1, 3);
        QTest::newRow("release 3 at a 2004 controller") << int(ctHold) << 1 << int(rtStop) << 3 << 0 << 0
                                                        << "0150" + holdRecord(22, 0, 3);
        QTest::newRow("hold 5 at a 2010 controller") << int(ctHold) << 2 << int(rtRun) << 5 << 0 << 0
                                                     << "0250" + holdRecord(35, 1, 5);
        QTest::newRow("advance, mode 1, dual ring") << int(ctForceOff) << 2 << int(rtRun) << 2 << 1 << 18
                                                    << QStringLiteral("02109299") + "0000";
        QTest::newRow("advance, mode 4") << int(ctForceOff) << 1 << int(rtRun) << 2 << 0 << 20
                                         << QStringLiteral("01101422") + "0000";
        QTest::newRow("jump to 4, mode 2") << int(ctJump) << 2 << int(rtRun) << 4 << 0 << 16
                                           << QStringLiteral("02101044") + "0000";
        QTest::newRow("jump to 4, mode 2, dual ring") << int(ctJump) << 2 << int(rtRun) << 4 << 1 << 16
                                                      << QStringLiteral("02109044") + "0000";
    }

    void vipRecords()
    {
        QFETCH(int, type);
        QFETCH(int, lcType);
        QFETCH(int, run);
        QFETCH(int, phase);
        QFETCH(int, ringMode);
        QFETCH(int, oprMode);
        QFETCH(QString, data);
        TLcData d;
        d.FLcId = 7;
        d.FPhaseNo = quint8(phase);
        d.FCommandType = TCommandType(type);
        d.FRingMode = quint8(ringMode);
        d.FOprMode = quint8(oprMode);
        THostSimplePacket req;
        QVERIFY(TVipCtrlThread::BuildRequest(req, d, TRunType(run), lcType));
        QCOMPARE(int(req.Head.opcode), type == ctHold ? 0x50 : 0x10);
        QCOMPARE(int(req.Head.kind_target), 1);
        QCOMPARE(int(NetToHostShort(req.Head.target_num)), 7);
        QCOMPARE(QString::fromLatin1(req.DataBytes().toHex()), data);
    }

    void vipReplyCheck_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::newRow("hold, 2 bytes, 0x51") << int(ctHold) << QByteArray::fromHex("0151") << 99996;
        QTest::newRow("hold, 3 bytes, 0x51") << int(ctHold) << QByteArray::fromHex("025101") << 99996;
        QTest::newRow("hold, 1 byte") << int(ctHold) << QByteArray::fromHex("02") << 99997;
        QTest::newRow("hold, other opcode") << int(ctHold) << QByteArray::fromHex("025301") << 99995;
        QTest::newRow("advance, 3 bytes, 0x11") << int(ctForceOff) << QByteArray::fromHex("021101") << 99996;
        QTest::newRow("advance, 2 bytes") << int(ctForceOff) << QByteArray::fromHex("0211") << 99997;
        QTest::newRow("jump, other opcode") << int(ctJump) << QByteArray::fromHex("021301") << 99995;
    }

    void vipReplyCheck()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        THostSimplePacket res;
        res.Reset();
        res.AddData(reply);
        QCOMPARE(TVipCtrlThread::CheckReply(TCommandType(type), res), result);
    }

    // Hold, advance and jump from the grid's buttons: the wire and the event rows.
    void vipButtons()
    {
        reset();
        PSTT_LC_INFO a = live(3); // 2004
        a->oprMode = 1;
        a->dualRing = 1;
        a->phaseA = 1; // running phase 2
        a->phaseHold = 0;
        PSTT_LC_INFO b = live(1); // 2010
        b->oprMode = 2;
        b->dualRing = 0;
        b->phaseA = 2;
        b->phaseHold = 0;
        auto p = vipPanel({3, 1});
        QCOMPARE(p->Logic().BlockCount(), 2);
        QCOMPARE(p->Logic().Row(4).Name, u("신사역사거리"));

        // Phase 3 chosen in block 0, the hold toggle pressed: hold phase 3 at 3.
        p->CellMouseDown(0, 3, QPoint());
        QCOMPARE(p->Logic().SelectedPhase(0), 3);
        FMsg->enqueue(mrYes);
        QCOMPARE(pressButton(p.get(), 0, vcKeepPhase), int(vcKeepPhase));
        QCOMPARE(FMsg->requests().value(0).text, u("선택된 현시를 유지하시겠습니까?"));

        // "Next" of block 0 (mode 1, dual ring): advance with both nibbles 9.
        FMsg->enqueue(mrYes);
        QCOMPARE(pressButton(p.get(), 0, vcForceOff), int(vcForceOff));
        QCOMPARE(FMsg->last().text, u("선택된 현시를 종료하시겠습니까?"));
        QVERIFY(p->Logic().ClickedAdvance());
        QVERIFY(a->clickedLcCtrl);
        QCOMPARE(a->savedPhase, 2);

        // "Go" of block 1 (mode 2) with phase 4 chosen: jump to 4.
        p->CellMouseDown(4, 4, QPoint());
        FMsg->enqueue(mrYes);
        QCOMPARE(pressButton(p.get(), 1, vcJump), int(vcJump));

        QCOMPARE(wires(), (QStringList{"50 1 3 0150" + holdRecord(22, 1, 3), QStringLiteral("10 1 3 011092990000"),
                                       QStringLiteral("10 1 1 021010440000")}));
        QCOMPARE(events(), (QStringList{ev(41, 1, 163, 3, u("3 현시유지(수행):성공")),
                                        ev(41, 1, 173, 3, u("3 교차로제어:성공")),
                                        ev(41, 1, 174, 1, u("4 교차로제어:성공"))}));
        QVERIFY(p->mmLog->isHidden());
        QVERIFY(p->Logic().Row(0).KeepPhase == std::optional<bool>(true));

        // The advance latch: the group buttons stay disabled until ring A leaves phase 2.
        p->RefreshVIPPanel();
        QVERIFY(p->Logic().ClickedAdvance());
        QVERIFY(!p->actVIPCtrlGoAllHold->isEnabled());
        QVERIFY(p->Logic().Row(0).ClickedLcCtrl == std::optional<bool>(true));
        QCOMPARE(pressButton(p.get(), 0, vcKeepPhase), -1); // the toggle is locked meanwhile
        a->phaseA = 2;
        p->RefreshVIPPanel();
        QVERIFY(!p->Logic().ClickedAdvance());
        QVERIFY(!a->clickedLcCtrl);
        QCOMPARE(a->savedPhase, 0);
        QVERIFY(p->actVIPCtrlGoAllHold->isEnabled());

        // A held phase disables "Next" and "Go"; declining an advance clears the latch.
        b->phaseHold = 4;
        p->RefreshVIPPanel();
        QCOMPARE(pressButton(p.get(), 1, vcJump), -1);
        FMsg->enqueue(mrNo);
        QCOMPARE(pressButton(p.get(), 0, vcForceOff), int(vcForceOff));
        QVERIFY(!a->clickedLcCtrl);
        QCOMPARE(requests().size(), 3);
    }

    void vipKeepAllAndStopAll()
    {
        reset();
        live(3)->phaseHold = 0;
        live(1)->phaseHold = 0;
        auto p = vipPanel({3, 1});
        // Band "A5": phase 5 for both; "전체유지" holds 5 at both, in ticking order.
        p->BandHeaderClick(5);
        FMsg->enqueue(mrYes);
        p->actVIPCtrlGoAllHold->trigger();
        FMsg->enqueue(mrYes);
        p->actVIPCtrlStopAllHold->trigger();
        QCOMPARE(FMsg->requests().at(1).text, u("선택된 현시를 해제하시겠습니까?"));
        QCOMPARE(wires(), (QStringList{"50 1 3 0150" + holdRecord(22, 1, 5), "50 1 1 0250" + holdRecord(35, 1, 5),
                                       "50 1 3 0150" + holdRecord(22, 0, 5), "50 1 1 0250" + holdRecord(35, 0, 5)}));
        QCOMPARE(events(), (QStringList{ev(41, 1, 163, 3, u("5 현시유지(수행):성공")),
                                        ev(41, 1, 163, 1, u("5 현시유지(수행):성공")),
                                        ev(41, 1, 163, 3, u("5 현시유지(수행종료):성공")),
                                        ev(41, 1, 163, 1, u("5 현시유지(수행종료):성공"))}));
        QVERIFY(p->Logic().Row(4).KeepPhase == std::optional<bool>(false));

        // The number column chosen in one block: the phase message, nothing sent.
        reset();
        p->CellMouseDown(4, vcLcNo, QPoint());
        p->actVIPCtrlGoAllHold->trigger();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().text, u("제어하고자 하는 현시를 선택바랍니다."));
        QCOMPARE(FMsg->last().caption, u("현시 선택"));
        QVERIFY(requests().isEmpty());

        // Unticking removes the block and its selection entry; with no rows the
        // intersection message comes.
        p->LcUnselected(3);
        p->LcUnselected(1);
        QCOMPARE(p->Logic().RowCount(), 0);
        QCOMPARE(p->Logic().Sel().FSelCount, 0);
        FMsg->clear();
        p->actVIPCtrlGoAllHold->trigger();
        QCOMPARE(FMsg->last().text, DM->T_SelectIntMsg);
        QVERIFY(requests().isEmpty());
    }

    void vipFailures_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("skip");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("sent");

        QTest::newRow("centre server down") << int(FailMode::Refuse) << 0 << QStringList{u("RC 연결 실패")}
                                            << QStringList() << 0;
        QTest::newRow("oversized reply to the second")
            << int(FailMode::OversizedData) << 1
            << QStringList{u("Lc: 1, Phase: 2, Rtn: 데이터수신 실패")}
            << QStringList{ev(41, 1, 163, 3, u("2 현시유지(수행):성공")), ev(41, 1, 163, 1, u("2 현시유지(수행):실패"))}
            << 2;
        QTest::newRow("other opcode to the first")
            << int(FailMode::WrongOpcode) << 0 << QStringList{u("Lc: 3, Phase: 2, Rtn: zuzi헤더의 OP코드 오류")}
            << QStringList{ev(41, 1, 163, 3, u("2 현시유지(수행):실패")), ev(41, 1, 163, 1, u("2 현시유지(수행):성공"))}
            << 2;
        QTest::newRow("no reply to the first")
            << int(FailMode::Stall) << 0 << QStringList{u("Lc: 3, Phase: 2, Rtn: 데이터수신 실패")}
            << QStringList{ev(41, 1, 163, 3, u("2 현시유지(수행):실패")), ev(41, 1, 163, 1, u("2 현시유지(수행):성공"))}
            << 2;
    }

    void vipFailures()
    {
        QFETCH(int, mode);
        QFETCH(int, skip);
        QFETCH(QStringList, log);
        QFETCH(QStringList, rows);
        QFETCH(int, sent);
        reset();
        live(3)->phaseHold = 0;
        live(1)->phaseHold = 0;
        auto p = vipPanel({3, 1});
        p->BandHeaderClick(2);
        FSim->setFailure(FailMode(mode), PortScope::Control, skip, 1);
        FMsg->enqueue(mrYes);
        p->actVIPCtrlGoAllHold->trigger();
        FSim->clearFailure();
        QCOMPARE(p->mmLog->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts), log);
        QVERIFY(!p->mmLog->isHidden());
        QCOMPARE(events(), rows);
        QCOMPARE(requests().size(), sent);
        QVERIFY(p->pnlVIPCtrlLoading->isHidden());
    }

    // The closing packet fails after both commands reached the centre server: the
    // closing failure is reported and the commands are still logged.
    void vipClosingFails()
    {
        reset();
        live(3)->phaseHold = 0;
        live(1)->phaseHold = 0;
        auto p = vipPanel({3, 1});
        p->BandHeaderClick(6);
        RcSim *sim = FSim.get();
        auto seen = std::make_shared<int>(0);
        SetExchangeLogObserver([sim, seen](const QString &line) {
            if (line.contains(QStringLiteral(",RSV_DATA,")) && ++*seen == 2) {
                sim->waitForResets(1, 3000);
                QThread::msleep(30);
            }
        });
        FSim->setFailure(FailMode::ResetAfterReply, PortScope::Control, 1, 1);
        FMsg->enqueue(mrYes);
        p->actVIPCtrlGoAllHold->trigger();
        SetExchangeLogObserver(nullptr);
        FSim->clearFailure();
        QCOMPARE(p->mmLog->toPlainText(), u("RC 연결끊기 실패"));
        QCOMPARE(events(), (QStringList{ev(41, 1, 163, 3, u("6 현시유지(수행):성공")),
                                        ev(41, 1, 163, 1, u("6 현시유지(수행):성공"))}));
    }

    // Splits, movements, colours and the width of the bands.
    void vipRefresh()
    {
        reset();
        PSTT_LC_INFO a = live(3);
        a->planInfo = 0;
        a->phaseA = 0;
        a->phaseB = 1;
        a->phaseHold = 0;
        a->cycleCount = 77;
        a->opr_stat = 1;
        a->oprMode = 0;
        for (int p = 1; p <= 6; ++p)
            a->Movement(1, p, 1)->mvmt_no = p == 6 ? 17 : p;
        a->Movement(1, 2, 2)->mvmt_no = 12;
        TST_ITST_STATE &rec = FImage->lc_state[2];
        rec.status = 1;
        rec.split[TST_ITST_STATE::SplitIndex(0, 2)] = 31;
        rec.lcSplit[TST_ITST_STATE::SplitIndex(0, 2)] = 44;
        rec.split[TST_ITST_STATE::SplitIndex(1, 2)] = 29;

        auto p = vipPanel({3});
        const TVipRow &splitA = p->Logic().Row(0);
        QCOMPARE(splitA.Phase[1].toInt(), 31);
        QCOMPARE(p->Logic().Row(3).Phase[1].toInt(), 29);
        QCOMPARE(p->Logic().Row(1).Phase[5].toInt(), 9); // movement 17 shows as 9
        QCOMPARE(p->Logic().Row(1).Mvmt[5], 17);
        QVERIFY(p->Logic().Row(1).Phase[6].isNull());
        QCOMPARE(p->Logic().Row(2).Phase[1].toInt(), 12);
        QCOMPARE(splitA.CycleCount, 77);
        QCOMPARE(p->Logic().Row(1).CurrentPhase, 1);
        QCOMPARE(p->Logic().Row(2).CurrentPhase, 2);
        QCOMPARE(splitA.LcColor.size(), 6);

        // Phases up to 6 carry movements: bands A1..A6, the panel 6 x 34 + 194 wide.
        for (int k = 1; k <= 8; ++k)
            QVERIFY2(p->gtvVIPCtrl->isColumnHidden(k) == (k > 6), qPrintable(QStringLiteral("band %1 of %2").arg(k).arg(p->PreferredWidth())));
        QVERIFY(p->PreferredWidth() == 6 * 34 + 194 || p->PreferredWidth() == 6 * 34 + 194 + 17);

        // Local mode: the controller's own splits.
        rec.status = 2;
        TMonitorRefresh refresh;
        refresh.Image = FImage;
        refresh.LcInfoSet = &FSet;
        refresh.Monitored = true;
        p->RefreshFromImage(refresh);
        QCOMPARE(p->Logic().Row(0).Phase[1].toInt(), 44);

        // An intersection out of use takes the not-in-use colour.
        a->is_use = false;
        p->RefreshVIPPanel();
        QCOMPARE(p->Logic().Row(0).LcColor, TColorToHex(TLcStatusColors::Defaults().Unused));
        a->is_use = true;
        for (int ph = 1; ph <= 6; ++ph)
            a->Movement(1, ph, 1)->mvmt_no = 0;
        a->Movement(1, 2, 2)->mvmt_no = 0;
        std::memset(static_cast<void *>(&rec), 0, sizeof rec);

        // Closing empties the grid and the selection and tells the page.
        TRecordingMapBridge page;
        p->SetSources(&FSet, [this] { return TStateImageRef(FImage); }, &page);
        p->SetPanelOpen(false);
        QCOMPARE(p->Logic().RowCount(), 0);
        QCOMPARE(p->Logic().Sel().FSelCount, 0);
        QVERIFY(page.CountContaining(QStringLiteral("showVipPanel = false;")) == 1);
        QVERIFY(!p->WantsRefresh());
    }

    // ------------------------------------------------------- emergency-vehicle panel

    void emergencyOpenAndPoll()
    {
        TRecordingMapBridge page;
        TAppEmergencyPanel p;
        p.SetPage(&page);
        p.resize(500, 600);
        QVERIFY(p.CanToggle());
        p.actAppEmergencyOpenExecute();
        QVERIFY(p.IsPanelOpen());
        QVERIFY(p.ttAppEmergency->isActive());
        QCOMPARE(p.List().Rows.size(), 1);
        const QString demo = QStringLiteral("S240501093000");
        QCOMPARE(p.ServiceID(), demo);
        QVERIFY(page.CountContaining(QStringLiteral("window.M_S240501093000 = L.marker([37.504411, 127.048867]")) == 1);
        QVERIFY(page.CountContaining(QStringLiteral("#3386FF")) == 1);
        QVERIFY(page.CountContaining(QStringLiteral(" map.panTo([37.504411, 127.048867])")) == 1);
        QVERIFY(!p.CanToggle()); // a listed service keeps the panel open

        // Events newest first, numbered by arrival.
        QCOMPARE(p.gtvAppEmergencyLog->rowCount(), 2);
        QCOMPARE(p.gtvAppEmergencyLog->item(0, TAppEmergencyPanel::ecDescription)->text(),
                 u("교차로[17] : 속도 55km/h, 우선신호 요청"));
        QCOMPARE(p.gtvAppEmergencyLog->item(0, TAppEmergencyPanel::ecRowNo)->text(), QStringLiteral("2"));
        QCOMPARE(p.gtvAppEmergencyLog->item(1, TAppEmergencyPanel::ecDescription)->text(),
                 u("교차로[16] : 속도 42km/h, 출동"));

        // A poll reads only newer events; the same route is not drawn twice.
        p.ttAppEmergencyTimer();
        QCOMPARE(p.gtvAppEmergencyLog->rowCount(), 2);
        QVERIFY(page.CountContaining(QStringLiteral("#3386FF")) == 1);
        exec(QStringLiteral("INSERT INTO SCS_L_APP_EVENT (SERVICE_ID, CREATE_DATE, DESCRIPTION) VALUES "
                            "('S240501093000', CURRENT_TIMESTAMP(6), '도착')"));
        p.ttAppEmergencyTimer();
        QCOMPARE(p.gtvAppEmergencyLog->rowCount(), 3);
        QCOMPARE(p.gtvAppEmergencyLog->item(0, TAppEmergencyPanel::ecDescription)->text(), u("도착"));

        // A service of another system appears; the finished one goes with its route.
        exec(QStringLiteral("INSERT INTO SCS_M_APP_EMERGENCY (SERVICE_ID, SERVICE_NAME, DESTINATION_LAT, "
                            "DESTINATION_LNG, STATUS) VALUES ('X1', '화재 출동', '37.51', '127.03', 0)"));
        p.ttAppEmergencyTimer();
        QCOMPARE(p.List().Rows.size(), 2);
        QVERIFY(page.CountContaining(QStringLiteral("window.M_X1 = L.marker([37.51, 127.03]")) == 1);
        page.ClearScripts();
        exec(QStringLiteral("UPDATE SCS_M_APP_EMERGENCY SET STATUS = 2 WHERE SERVICE_ID = 'S240501093000'"));
        p.ttAppEmergencyTimer();
        QCOMPARE(p.List().Rows.size(), 1);
        QCOMPARE(p.List().Rows.first().ServiceId, QStringLiteral("X1"));
        QVERIFY(page.CountContaining(QStringLiteral("appEmergencyLayer.removeLayer(M_S240501093000)")) == 1);
        QVERIFY(page.CountContaining(QStringLiteral("routeLineLayer.clearLayers()")) >= 1);
        QVERIFY(p.ServiceID().isEmpty());
        QCOMPARE(p.gtvAppEmergencyLog->rowCount(), 0);
        exec(QStringLiteral("UPDATE SCS_M_APP_EMERGENCY SET STATUS = 1 WHERE SERVICE_ID = 'S240501093000'"));

        // Finishing X1 from the popup: status 2 on the database, the row and marker go.
        QVERIFY(p.FocusService(QStringLiteral("X1")));
        p.ttAppEmergencyTimer(); // the demo service is back
        QCOMPARE(p.List().Rows.size(), 2);
        QVERIFY(p.FocusService(QStringLiteral("X1")));
        FMsg->clear();
        FMsg->enqueue(mrYes);
        p.actAppEmergencyChangeStatusExecute();
        QCOMPARE(FMsg->requests().first().text,
                 u("화재 출동(X1)가 완료상태로 변경됩니다.\n단, 실제 진행중인 서비스는 계속 진행됩니다.\n계속하시겠습니까?"));
        QCOMPARE(scalar(QStringLiteral("SELECT STATUS FROM SCS_M_APP_EMERGENCY WHERE SERVICE_ID = 'X1'")), 2);
        QCOMPARE(p.List().IndexOf(QStringLiteral("X1")), -1);

        // Closing (at shutdown) clears the page's layers and both grids.
        page.ClearScripts();
        p.ClosePanel();
        QVERIFY(!p.IsPanelOpen());
        QVERIFY(!p.ttAppEmergency->isActive());
        QCOMPARE(p.gtvAppEmergency->rowCount(), 0);
        QVERIFY(page.CountContaining(QStringLiteral("appEmergencyLayer.clearLayers();")) == 1);
        // Opened again, the route is drawn again.
        p.actAppEmergencyOpenExecute();
        QVERIFY(page.CountContaining(QStringLiteral("#3386FF")) == 1);
        p.ClosePanel();
        exec(QStringLiteral("DELETE FROM SCS_M_APP_EMERGENCY WHERE SERVICE_ID = 'X1'"));
    }

    void emergencyAddSaveDelete()
    {
        TRecordingMapBridge page;
        TAppEmergencyPanel p;
        p.SetPage(&page);
        p.actAppEmergencyOpenExecute();
        QCOMPARE(p.List().Rows.size(), 1);

        // Add: a row in state "I" and a draggable marker; the name cannot be empty.
        p.actAppEmergencyAddExecute();
        QCOMPARE(p.Mode(), aemAdd);
        QCOMPARE(p.actAppEmergencyAdd->text(), u("취소"));
        const QString id = p.List().Rows.last().ServiceId;
        QCOMPARE(id.size(), 13);
        QVERIFY(id.startsWith(QLatin1Char('S')));
        QVERIFY(page.CountContaining(QStringLiteral("draggable: true")) == 1);
        QVERIFY(p.CanSave());
        FMsg->clear();
        p.actAppEmergencySaveExecute();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().text, DM->T_CheckRequiredField);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM SCS_M_APP_EMERGENCY WHERE SERVICE_ID = '%1'").arg(id)), 0);

        // A service of another system arrives meanwhile: above the row being added.
        exec(QStringLiteral("INSERT INTO SCS_M_APP_EMERGENCY (SERVICE_ID, SERVICE_NAME, DESTINATION_LAT, "
                            "DESTINATION_LNG, STATUS) VALUES ('X2', '구급', '37.50', '127.02', 0)"));
        p.ttAppEmergencyTimer();
        QCOMPARE(p.List().Rows.size(), 3);
        QCOMPARE(p.List().Rows.at(1).ServiceId, QStringLiteral("X2"));
        QCOMPARE(p.List().Rows.last().ServiceId, id);

        // The page reports the marker at the map centre, then where it was dropped;
        // the name is typed; the service is saved where the marker lies.
        QVERIFY(p.HandleNative(QStringLiteral("dragEnd"), {id, 37.5, 127.0}));
        QVERIFY(p.HandleNative(QStringLiteral("dragEnd"), {id, 37.5123456, QStringLiteral("127.0456789")}));
        p.SetNewServiceName(id, u("교통사고 \"긴급\""));
        QVERIFY(page.CountContaining(QStringLiteral(".bindTooltip(\"교통사고 \\\"긴급\\\"\"")) == 1);
        p.actAppEmergencySaveExecute();
        QCOMPARE(p.Mode(), aemNormal);
        QCOMPARE(p.actAppEmergencyAdd->text(), u("추가"));
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral("SELECT SERVICE_NAME, DESTINATION_LAT, DESTINATION_LNG, STATUS FROM "
                                      "SCS_M_APP_EMERGENCY WHERE SERVICE_ID = '%1'").arg(id)));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), u("교통사고 \"긴급\""));
        QCOMPARE(q.value(1).toString(), QStringLiteral("37.5123456"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("127.0456789"));
        QCOMPARE(q.value(3).toInt(), 0);
        QVERIFY(page.CountContaining(QStringLiteral(".closePopup().unbindPopup().dragging.disable();")) == 1);
        // Dragging a saved service changes nothing.
        p.dragEnd(id, QStringLiteral("1"), QStringLiteral("2"));
        QCOMPARE(p.List().Rows.last().Position, QStringLiteral("37.5123456,127.0456789"));

        // Deleting a requested service removes it with its events and routes.
        exec(QStringLiteral("INSERT INTO SCS_L_APP_EVENT (SERVICE_ID, CREATE_DATE, DESCRIPTION) VALUES ('%1', "
                            "CURRENT_TIMESTAMP(6), 'x')").arg(id));
        exec(QStringLiteral("INSERT INTO SCS_L_APP_ROUTE (SERVICE_ID, CREATE_DATE, ROUTE) VALUES ('%1', "
                            "CURRENT_TIMESTAMP(6), COMPRESS('[[37.5, 127.0]]'))").arg(id));
        QVERIFY(p.FocusService(id));
        QVERIFY(p.CanDelete());
        FMsg->clear();
        FMsg->enqueue(mrNo);
        p.actAppEmergencyDelExecute();
        QCOMPARE(FMsg->last().text, u("정말로 삭제하시겠습니까?"));
        QCOMPARE(FMsg->last().caption, u("삭제 확인"));
        QVERIFY(p.List().IndexOf(id) >= 0);
        FMsg->enqueue(mrYes);
        p.actAppEmergencyDelExecute();
        QCOMPARE(p.List().IndexOf(id), -1);
        for (const char *table : {"SCS_M_APP_EMERGENCY", "SCS_L_APP_EVENT", "SCS_L_APP_ROUTE"})
            QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE SERVICE_ID = '%2'")
                                .arg(QLatin1String(table), id)),
                     0);
        // A service in progress cannot be deleted.
        QVERIFY(p.FocusService(QStringLiteral("S240501093000")));
        QVERIFY(!p.CanDelete());

        // Cancelling an add removes the row and its marker.
        p.actAppEmergencyAddExecute();
        const QString second = p.List().Rows.last().ServiceId;
        page.ClearScripts();
        p.actAppEmergencyAddExecute();
        QCOMPARE(p.Mode(), aemNormal);
        QCOMPARE(p.List().IndexOf(second), -1);
        QCOMPARE(p.actAppEmergencyAdd->text(), u("추가"));
        QVERIFY(page.CountContaining(QStringLiteral("appEmergencyLayer.removeLayer(M_%1)").arg(second)) == 1);
        p.ClosePanel();
        exec(QStringLiteral("DELETE FROM SCS_M_APP_EMERGENCY WHERE SERVICE_ID = 'X2'"));
    }

    void emergencySql()
    {
        // Oracle-style text for the other databases, the dialect builder on MariaDB.
        QVERIFY(TAppEmergencyDb::EventSql(dtOracle, true)
                    .contains(QStringLiteral("AND CREATE_DATE > TO_TIMESTAMP(:CREATE_DATE, 'YYYYMMDDHH24MISSFF')")));
        QVERIFY(TAppEmergencyDb::EventSql(dtMariaDB, true).contains(QStringLiteral("STR_TO_DATE(:CREATE_DATE")));
        QVERIFY(!TAppEmergencyDb::EventSql(dtMariaDB, false).contains(QStringLiteral(":CREATE_DATE")));
        QVERIFY(TAppEmergencyDb::RouteSql(dtMariaDB).contains(QStringLiteral("UNCOMPRESS(ROUTE)")));
        QCOMPARE(TAppEmergencyDb::NewServiceId(QDateTime(QDate(2024, 5, 1), QTime(9, 30, 5))),
                 QStringLiteral("S240501093005"));
        TAppEvent e;
        e.Description = u("정차");
        QCOMPARE(TAppEmergencyDb::EventDescription(e), u("정차"));
        e.Speed = 40;
        e.LcNo = 12;
        QCOMPARE(TAppEmergencyDb::EventDescription(e), u("교차로[12] : 속도 40km/h, 정차"));
        e.Description = QVariant();
        QCOMPARE(TAppEmergencyDb::EventDescription(e), u("교차로[12] : 속도 40km/h"));
        // Identifiers from outside become names, never code.
        QCOMPARE(AppEmergencyScript::MarkerVar(QStringLiteral("a-b);x")), QStringLiteral("M_a_x002db_x0029_x003bx"));
    }
};

QTEST_MAIN(TstMainActions)
#include "tst_main_actions.moc"
