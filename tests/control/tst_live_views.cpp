// The live views of many intersections without a database: the event comparison of
// the current-event window, its lists, settings and pop-up, the state list's filters
// and export, the group monitor's cells and the whole-system monitor's tiles.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <vector>

#include "LiveViewFixture.h"
#include "TestConsoleFolder.h"
#include "control/EventCompareUnit.h"
#include "control/LiveViewUnit.h"
#include "control/untCURR_EV.h"
#include "control/untSA_M.h"
#include "control/untSYS_M.h"
#include "control/untTCDV_M_State.h"
#include "core/FileDialogService.h"
#include "core/Quorval.h"
#include "core/untDM.h"

using namespace LiveFixture;
using namespace CurrentEvents;

namespace {

const QColor kRed(0xFF, 0x2D, 0x2D), kYellow(0xFF, 0xF2, 0x00), kOrange(0xFF, 0x7F, 0x27);

// Every row of the first sheet of a workbook, read by openpyxl.
QList<QStringList> readXlsx(const QString &file)
{
    static const char *script = "import json, sys, openpyxl\n"
                                "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                "def t(v):\n"
                                "    if v is None: return ''\n"
                                "    if isinstance(v, (int, float)):\n"
                                "        return str(int(v)) if float(v).is_integer() else repr(float(v))\n"
                                "    return str(v)\n"
                                "print(json.dumps([[t(c) for c in r] for r in ws.iter_rows(values_only=True)], "
                                "ensure_ascii=False))\n";
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(script), file});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QList<QStringList> rows;
    for (const auto &r : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QStringList row;
        for (const auto &c : r.toArray())
            row << c.toString();
        rows << row;
    }
    return rows;
}

struct TExpectedEvent
{
    int Page;
    int Number;
    QString Event, Current, Previous;
    bool Selected;
    QColor Colour; // invalid: the grid's own colour
};

QString describe(const TEventRow &r)
{
    return QStringLiteral("[%1 #%2 %3: %4 <- %5 sel=%6]")
        .arg(r.Page)
        .arg(r.Number)
        .arg(r.Event, r.Current, r.Previous)
        .arg(r.Selected);
}

} // namespace

class TstLiveViews : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;
    TDM *FDm = nullptr;

    // The group monitor loads its members from the database; these tests give them.
    static void setGroup(TfrmSA_M &w, int sa)
    {
        TDM *keep = DM;
        DM = nullptr;
        w.SetSA_ID(sa);
        DM = keep;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestConsole::LoadLanguage());
        FDm = new TDM(FDir.path(), QStringLiteral("signal-console"));
        FDm->LoadConfig();
        FDm->UpdateStrings();
        DM = FDm;
        DM->G_DIALOG_PATH = FDir.path();
        // The group number of an intersection record is in the server's order.
        SetServerBigEndian(true);
    }

    void cleanupTestCase()
    {
        SetServerBigEndian(false);
        DM = nullptr;
        delete FDm;
    }

    // ------------------------------------------------------------------ events

    void eventRows()
    {
        struct TCase
        {
            const char *Name;
            std::function<void(TST_VESK_STATE &oldImg, TST_VESK_STATE &newImg)> Change;
            TEventSettings Settings;
            QList<TExpectedEvent> Expected;
        };
        TEventSettings connFail;
        connFail.ConnectionFail = true;
        TEventSettings conflict;
        conflict.Conflict = true;
        TEventSettings power;
        power.PowerFail = true;
        TEventSettings none;

        // Intersections: 1 (2004), 2 (2010), 3 (another type), 1024 (2004), 500 (2004,
        // no marker), 700 (marker, no live record). Groups with an outline: 5, 200.
        const std::vector<TCase> cases = {
            {"no change", [](TST_VESK_STATE &, TST_VESK_STATE &) {}, none, {}},
            {"comm failure of another type, selected",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 o.lc_state[2].status = 1;
                 n.lc_state[2].status = 0;
             },
             connFail,
             {{pgTCDV, 3, "교차로운영상태", "통신이상", "센터모드", true, kRed}}},
            {"comm failure back, not selected without the box",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 o.lc_state[2].status = 0;
                 n.lc_state[2].status = 2;
             },
             none,
             {{pgTCDV, 3, "교차로운영상태", "로컬모드", "통신이상", false, QColor()}}},
            {"new record not defined",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 o.lc_state[2].status = 1;
                 n.lc_state[2].status = 0;
                 n.lc_state[2].defined = 0;
             },
             connFail,
             {}},
            {"intersection without a marker or without a live record",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 o.lc_state[499].status = 1;
                 n.lc_state[699].status = 1;
             },
             none,
             {}},
            {"intersection 1024 flashes with cause 4 (2004)",
             [](TST_VESK_STATE &, TST_VESK_STATE &n) {
                 n.lc_state[1023].lcst[3] = 0x02; // flash
                 n.lc_state[1023].lcst[4] = 0x40; // cause 4 in the high nibble
             },
             conflict,
             {{pgTCDV, 1024, "점멸여부", "점멸 : 모순", "정상", true, kYellow}}},
            {"flash with cause 4 is not selected without its box",
             [](TST_VESK_STATE &, TST_VESK_STATE &n) {
                 n.lc_state[0].lcst[3] = 0x02;
                 n.lc_state[0].lcst[4] = 0x40;
             },
             power,
             {{pgTCDV, 1, "점멸여부", "점멸 : 모순", "정상", false, kYellow}}},
            {"2010 flash with cause 5 in three bits, plain flash back",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 o.lc_state[1].lcst[3] = 0x02;
                 o.lc_state[1].lcst[4] = 0x50;
                 n.lc_state[1].lcst[3] = 0x00;
                 n.lc_state[1].lcst[4] = 0x50;
             },
             none,
             {{pgTCDV, 2, "점멸여부", "정상", "점멸 : DB 에러", false, kYellow}}},
            {"power failure (2004), selected",
             [](TST_VESK_STATE &, TST_VESK_STATE &n) { n.lc_state[0].lcst[0] = 0x80; },
             power,
             {{pgTCDV, 1, "파워FAIL", "FAIL", "정상", true, kOrange}}},
            {"conflict with circuit and LSU (2010)",
             [](TST_VESK_STATE &, TST_VESK_STATE &n) {
                 n.lc_state[1].lcst[3] = 0x08;
                 n.lc_state[1].lcst[5] = 0x21; // LSU 2, circuit 1
             },
             none,
             {{pgTCDV, 2, "모순상태", "모순 회로:PG, LSU:2", "정상", false, QColor()}}},
            {"group number in host order",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 auto *og = reinterpret_cast<quint8 *>(&o.lc_state[0].intGroup);
                 og[0] = 0x00;
                 og[1] = 0x05;
                 auto *ng = reinterpret_cast<quint8 *>(&n.lc_state[0].intGroup);
                 ng[0] = 0x01;
                 ng[1] = 0x02;
             },
             none,
             {{pgTCDV, 1, "그룹번호", "258", "5", false, QColor()}}},
            {"hold and omit phases",
             [](TST_VESK_STATE &, TST_VESK_STATE &n) {
                 n.lc_state[0].lcst[14] = 3;
                 n.lc_state[0].lcst[15] = 6;
             },
             none,
             {{pgTCDV, 1, "유지현시", "3", "0", false, QColor()},
              {pgTCDV, 1, "생략현시", "6", "0", false, QColor()}}},
            {"status bytes of another type are not compared",
             [](TST_VESK_STATE &, TST_VESK_STATE &n) { n.lc_state[2].lcst[0] = 0x80; },
             power,
             {}},
            {"group 200 control mode and state",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 o.grp_state[199][0] = n.grp_state[199][0] = 1;
                 n.grp_state[199][1] = 1;
                 n.grp_state[199][2] = 1;
             },
             none,
             {{pgSA, 200, "그룹운영모드", "센터", "로컬", false, QColor()},
              {pgSA, 200, "제어모드", "TRC", "TOD", false, QColor()}}},
            {"group going out of operation reports only that",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 o.grp_state[4][0] = 1;
                 n.grp_state[4][0] = 0;
                 n.grp_state[4][2] = 2;
             },
             none,
             {{pgSA, 5, "그룹활성변경", "운영안함", "운영함", false, QColor()}}},
            {"group without an outline",
             [](TST_VESK_STATE &o, TST_VESK_STATE &n) {
                 o.grp_state[6][0] = n.grp_state[6][0] = 1;
                 n.grp_state[6][2] = 1;
             },
             none,
             {}},
        };

        TLC_INFO_SET set;
        Add(set, {.No = 1, .Type = 1});
        Add(set, {.No = 2, .Type = 2});
        Add(set, {.No = 3, .Type = 0});
        Add(set, {.No = 1024, .Type = 1});
        Add(set, {.No = 500, .Type = 1});
        const QMap<int, QString> names = {{5, QStringLiteral("그룹5")}, {200, QStringLiteral("그룹200")},
                                          {7, QStringLiteral("그룹7")}};

        for (const TCase &tc : cases) {
            auto oldImg = Image();
            for (int i = 0; i < RC_LC_COUNT; ++i) {
                oldImg->lc_state[i].defined = 1;
                oldImg->lc_state[i].status = 1; // centre mode
            }
            auto newImg = Copy(*oldImg);
            tc.Change(*oldImg, *newImg);

            TCompareContext c;
            c.Set = &set;
            c.SaNames = &names;
            c.SaOutlined = {5, 200};
            c.LcList = {1, 2, 3, 700, 1024};
            c.Time = QDateTime(QDate(2026, 12, 11), QTime(9, 8, 7));

            TEventTracker tracker;
            QVERIFY2(tracker.Update(*oldImg, c, tc.Settings).isEmpty(), tc.Name); // the first image
            const QList<TEventRow> rows = tracker.Update(*newImg, c, tc.Settings);
            QStringList got;
            for (const TEventRow &r : rows)
                got << describe(r);
            QVERIFY2(rows.size() == tc.Expected.size(),
                     qPrintable(QStringLiteral("%1: %2").arg(QString::fromUtf8(tc.Name), got.join(' '))));
            for (int i = 0; i < rows.size(); ++i) {
                const TEventRow &r = rows.at(i);
                const TExpectedEvent &e = tc.Expected.at(i);
                const QString where = QString::fromUtf8(tc.Name) + QStringLiteral(" ") + describe(r);
                QVERIFY2(r.Page == e.Page && r.Number == e.Number, qPrintable(where));
                QVERIFY2(r.Event == e.Event && r.Current == e.Current && r.Previous == e.Previous, qPrintable(where));
                QVERIFY2(r.Selected == e.Selected, qPrintable(where));
                QVERIFY2(r.TimeText() == QLatin1String("09:08:07"), qPrintable(where));
                if (r.Page == pgTCDV) {
                    QVERIFY2(r.Name == QStringLiteral("교차로%1").arg(e.Number), qPrintable(where));
                    QVERIFY2(RowColour(r) == e.Colour, qPrintable(where));
                } else {
                    QVERIFY2(r.Name == names.value(e.Number), qPrintable(where));
                }
            }
        }
    }

    void eventEffects()
    {
        struct TCase
        {
            int Popup, Sound;
            bool Last, Selected, Hidden;
            bool Show;
            int Page;
            bool PlaySound;
        };
        const TCase cases[] = {
            {0, 2, false, false, true, true, -1, false},  // every event pops up
            {1, 2, false, true, true, true, pgSelected, false},
            {1, 2, false, false, true, false, -1, false}, // not selected: stays hidden
            {1, 2, false, true, false, false, -1, false}, // already shown: the page stays
            {2, 0, false, true, true, false, -1, true},   // never pops up; every event sounds
            {2, 1, false, false, true, false, -1, false},
            {2, 1, false, true, true, false, -1, true},
            {0, 2, true, false, true, true, pgTCDV, false},  // shown, latest page
            {2, 2, true, false, true, false, -1, false},     // hidden: no page
        };
        for (const TCase &c : cases) {
            TEventSettings s;
            s.PopupOption = c.Popup;
            s.SoundOption = c.Sound;
            s.LastEventView = c.Last;
            const TEventEffect e = LcEventEffect(s, c.Selected, c.Hidden);
            const QString where = QStringLiteral("popup %1 sound %2 last %3 sel %4 hidden %5")
                                      .arg(c.Popup).arg(c.Sound).arg(c.Last).arg(c.Selected).arg(c.Hidden);
            QVERIFY2(e.Show == c.Show && e.Page == c.Page && e.Sound == c.PlaySound, qPrintable(where));
        }
        TEventSettings g;
        g.SaPopupWin = true;
        g.LastEventView = true;
        const TEventEffect e = SaEventEffect(g, true);
        QVERIFY(e.Show);
        QCOMPARE(e.Page, int(pgSA));
        QVERIFY(!e.Sound);
    }

    void eventListKeeps1001Rows()
    {
        TLC_INFO_SET set;
        Add(set, {.No = 9});
        QTemporaryDir dir;
        TfrmCURR_EV w(nullptr, nullptr, dir.filePath(QStringLiteral("ev.ini")));
        for (int i = 1; i <= 1002; ++i) {
            TEventRow r;
            r.Number = 9;
            r.Name = QStringLiteral("교차로9");
            r.Event = QStringLiteral("e%1").arg(i);
            w.AddLcEvent(r, &set);
        }
        QCOMPARE(w.gtvTCDV->rowCount(), 1001);
        QCOMPARE(w.List(pgTCDV).Count(), 1001);
        QCOMPARE(w.gtvTCDV->item(0, 3)->text(), QStringLiteral("e1002"));
        QCOMPARE(w.gtvTCDV->item(1000, 3)->text(), QStringLiteral("e2"));
        // An intersection without a live record adds nothing.
        TEventRow other;
        other.Number = 10;
        w.AddLcEvent(other, &set);
        QCOMPARE(w.gtvTCDV->item(0, 3)->text(), QStringLiteral("e1002"));
        // "이력 삭제" empties the active page.
        w.pctrlEvnt->setCurrentIndex(pgTCDV);
        QVERIFY(w.btnClear->isEnabled());
        w.btnClearClick();
        QCOMPARE(w.gtvTCDV->rowCount(), 0);
        QVERIFY(!w.btnClear->isEnabled());
    }

    void eventSettingsRoundTrip()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("signal-console.ini"));
        const QByteArray before = "[COM-ENV]\nPERIOD=1000\n; a remark\n[EVENT]\nPOWER_FAIL=0\n[DISP-INDEX]\nX=7\n";
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        {
            TfrmCURR_EV w(nullptr, nullptr, ini);
            const TEventSettings d = w.Settings();
            QVERIFY(!d.PowerFail && !d.ConnectionFail && !d.Conflict && !d.DbError);
            QCOMPARE(d.PopupOption, 2);
            QCOMPARE(d.SoundOption, 2);
            TEventSettings s;
            s.PowerFail = true;
            s.ConnectionFail = true;
            s.DbError = true;
            s.PopupOption = 1;
            s.SoundOption = 0;
            s.SaPlaySound = true;
            s.LastEventView = true;
            w.SetSettings(s);
        } // written when the window goes
        QFile f(ini);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        for (const char *line : {"PERIOD=1000", "; a remark", "[DISP-INDEX]", "X=7", "POWER_FAIL=1",
                                 "CONNECTION_FAIL=1", "CONFLICT=0", "DB_ERROR=1", "POPUP_OPTION=1", "SOUND_OPTION=0",
                                 "POPUP_WIN=0", "PLAY_SOUNG=1", "LAST_EVENT_VIEW=1"})
            QVERIFY2(text.contains(QString::fromUtf8(line)), line);
        TfrmCURR_EV again(nullptr, nullptr, ini);
        const TEventSettings r = again.Settings();
        QVERIFY(r.PowerFail && r.ConnectionFail && !r.Conflict && r.DbError && r.SaPlaySound && r.LastEventView);
        QVERIFY(!r.SaPopupWin);
        QCOMPARE(r.PopupOption, 1);
        QCOMPARE(r.SoundOption, 0);
    }

    void eventWindowPopsUpOnSelectedEvent()
    {
        TLC_INFO_SET set;
        Add(set, {.No = 4, .Type = 0});
        QTemporaryDir dir;
        TfrmCURR_EV w(nullptr, nullptr, dir.filePath(QStringLiteral("ev.ini")));
        TEventSettings s;
        s.ConnectionFail = true;
        s.PopupOption = 1;
        s.SoundOption = 0; // every event sounds, but the file is missing
        w.SetSettings(s);
        w.SetSoundFile(dir.filePath(QStringLiteral("res/notify.wav")));
        w.SetContext({}, {}, {4});
        QVERIFY(w.isHidden());

        auto first = Image();
        first->lc_state[3].defined = 1;
        first->lc_state[3].status = 1;
        auto second = Copy(*first);
        second->lc_state[3].status = 0;
        w.UpdateEvnts(*first, &set, QDateTime::currentDateTime());
        QCOMPARE(w.gtvTCDV->rowCount(), 0);
        QVERIFY(w.isHidden());
        w.UpdateEvnts(*second, &set, QDateTime::currentDateTime());
        QCOMPARE(w.gtvTCDV->rowCount(), 1);
        QCOMPARE(w.gtvTCDV2->rowCount(), 1);
        QCOMPARE(w.gtvTCDV2->item(0, 4)->text(), QStringLiteral("통신이상"));
        QCOMPARE(w.gtvTCDV->item(0, 0)->background().color(), kRed);
        QVERIFY(w.isVisible());
        QCOMPARE(w.pctrlEvnt->currentIndex(), int(pgSelected));
        QCOMPARE(w.pctrlEvnt->tabText(pgSelected), QStringLiteral("이벤트 선택 표출"));
        // The missing sound played nothing and stopped nothing.
        QCOMPARE(w.SoundsStarted(), 0);
        QVERIFY(!w.PlayEventSound());
        // A failed cycle hands the same image again: nothing new.
        w.UpdateEvnts(*second, &set, QDateTime::currentDateTime());
        QCOMPARE(w.gtvTCDV->rowCount(), 1);
    }

    void soundFileOfTheProgram()
    {
        QTemporaryDir dir;
        TfrmCURR_EV w(nullptr, nullptr, dir.filePath(QStringLiteral("ev.ini")));
        // The build places res/notify.wav beside the programs.
        QVERIFY(QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/res/notify.wav")));
        QVERIFY(w.PlayEventSound());
        QCOMPARE(w.SoundsStarted(), 1);
    }

    // ------------------------------------------------------------------ state list

    void stateListFilters()
    {
        TLC_INFO_SET set;
        Add(set, {.No = 1, .Use = true, .OprMode = 5});
        Add(set, {.No = 2, .Use = true, .OprMode = 0});
        Add(set, {.No = 3, .Use = false, .OprMode = 0});
        Add(set, {.No = 4, .Use = false, .OprMode = 1});
        Add(set, {.No = 5, .Use = true, .OprMode = 1});
        Add(set, {.No = 6, .Use = true, .OprMode = 2, .Flash = 1});
        Add(set, {.No = 7, .Use = true, .OprMode = 4});
        Add(set, {.No = 8, .Use = true, .OprMode = 5, .Virtual = 1});
        Add(set, {.No = 9, .Use = false, .OprMode = 5});
        auto img = Image();
        img->lc_state[4].status = 0; // 5: communication failure
        img->lc_state[6].status = 7; // 7: manual operation
        for (int n : {1, 2, 3, 4, 6, 8, 9})
            img->lc_state[n - 1].status = 1;

        struct TCase
        {
            const char *Name;
            int Mode;
            QList<int> States;
            QList<int> Listed;
        };
        const TCase cases[] = {
            {"default", 5, {}, {1, 2, 5, 6, 7}},
            {"SCU", 0, {}, {2}},
            {"SCU with unused", 0, {10}, {3}},
            {"local (1)", 1, {}, {4, 5}},
            {"local actuated (2)", 2, {}, {6}},
            {"centre actuated (4)", 3, {}, {7}},
            {"centre (5)", 4, {}, {1, 9}},
            {"unused", 5, {10}, {3, 4, 9}},
            {"unused with comm failure", 5, {10, 0}, {}},
            {"unused with flashing", 5, {10, 2}, {}},
            {"comm failure", 5, {0}, {5}},
            {"manual", 5, {3}, {7}},
            {"flashing in mode 2", 2, {2}, {6}},
        };
        for (const TCase &c : cases) {
            StateList::TFilter f;
            f.ModeItem = c.Mode;
            for (int s : c.States)
                f.States[s] = true;
            QList<int> listed;
            const QList<QStringList> rows = StateList::BuildRows(f, set, *img, QDateTime());
            for (int i = 0; i < rows.size(); ++i) {
                listed << rows.at(i).at(StateList::colLC).toInt();
                QCOMPARE(rows.at(i).at(StateList::colNum), QString::number(i + 1));
            }
            QVERIFY2(listed == c.Listed, c.Name);
        }
    }

    void stateListWindow()
    {
        TLC_INFO_SET set;
        Add(set, {.No = 1, .OprMode = 5});
        Add(set, {.No = 2, .OprMode = 5});
        auto img = Image();
        img->lc_state[0].status = 1;
        img->lc_state[1].status = 0;
        img->lc_state[1].transCount = 3;
        img->lc_state[2].status = 1;
        auto shared = std::shared_ptr<const TST_VESK_STATE>(Copy(*img));

        TfrmTCDV_M_State w(nullptr, nullptr, &set);
        w.setWindowTitle(QStringLiteral("교차로운영상태조회"));
        TMonitorRefresh r;
        r.Image = shared;
        r.LcInfoSet = &set;
        r.PacketDateTime = QDateTime(QDate(2026, 12, 11), QTime(10, 11, 12));
        w.RefreshFromImage(r);
        QCOMPARE(w.gtvLCList->rowCount(), 2);
        QCOMPARE(w.gtvLCList->item(1, StateList::colStatus)->text(), QStringLiteral("통신이상"));
        QCOMPARE(w.gtvLCList->item(1, StateList::colStatus)->background().color(), QColor(0xFF, 0x2D, 0x2D));
        QCOMPARE(w.gtvLCList->item(1, StateList::colTime)->text(), QStringLiteral("10:11:12"));
        QCOMPARE(w.gtvLCList->item(1, StateList::colTrans)->text(), QStringLiteral("3"));
        QCOMPARE(w.spStatus->text(), QStringLiteral("2개의 행이 검색되었습니다."));

        // Real time off: a new image changes nothing until "조회".
        w.chxDsplRealTime->setChecked(false);
        Add(set, {.No = 3, .OprMode = 5});
        w.RefreshFromImage(r);
        QCOMPARE(w.gtvLCList->rowCount(), 2);
        w.btnSearch->click();
        QCOMPARE(w.gtvLCList->rowCount(), 3);

        // A counter's filter: reset, one item, refreshed.
        w.ApplyCounterFilter(TStateListFilter{-1, 0});
        QCOMPARE(w.gtvLCList->rowCount(), 1);
        QCOMPARE(w.gtvLCList->item(0, StateList::colLC)->text(), QStringLiteral("2"));
        w.InitControls();
        w.btnSearch->click();
        QCOMPARE(w.gtvLCList->rowCount(), 3);

        // Export: header and one row per listed intersection, as shown.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("list.xlsx"));
        ScriptedFileDialog dialogs;
        dialogs.enqueue(file);
        ScriptedMsgDlg boxes;
        boxes.enqueue(mrNo); // do not open the file
        QVERIFY(w.ExportToExcel());
        QCOMPARE(dialogs.last().fileName, QStringLiteral("교차로운영상태조회"));
        const QList<QStringList> sheet = readXlsx(file);
        QCOMPARE(sheet.size(), 4);
        QCOMPARE(sheet.at(0).size(), 24); // two hidden columns left out
        QCOMPARE(sheet.at(0).at(0), QStringLiteral("순번"));
        QCOMPARE(sheet.at(0).at(6), QStringLiteral("제어상태"));
        QCOMPARE(sheet.at(2).at(2), QStringLiteral("2"));
        QCOMPARE(sheet.at(2).at(3), QStringLiteral("교차로2"));
        QCOMPARE(sheet.at(2).at(6), QStringLiteral("통신이상"));
        QCOMPARE(sheet.at(3).at(2), QStringLiteral("3"));
        // A cancelled dialog writes nothing.
        dialogs.enqueue(QString());
        QVERIFY(!w.ExportToExcel());
    }

    // A double click on a row of the event list or the state list shows its intersection
    // on the main map: the window's signal, then the main window's pan; a row without
    // a number does neither.
    void rowsPanTheMainMap()
    {
        struct TPanMain : IMainWindow
        {
            QList<int> Panned;
            QWidget *MainWidget() override { return nullptr; }
            const TLC_INFO_SET *LiveLcInfoSet() const override { return nullptr; }
            IMapBridge *MapBridge() const override { return nullptr; }
            void LocateSA(int) override {}
            void LocateTCDV(int) override {}
            void PanToLc(int lcNo) override { Panned << lcNo; }
        } main;

        // The shared step itself: numbers below 1 do nothing; without a main window
        // the signal still goes out.
        QList<int> announced;
        const auto announce = [&announced](int n) { announced << n; };
        QVERIFY(!LiveView::PanToLc(0, announce, &main));
        QVERIFY(!LiveView::PanToLc(-3, announce, &main));
        QVERIFY(LiveView::PanToLc(12, announce, nullptr));
        QVERIFY(LiveView::PanToLc(13, announce, &main));
        QCOMPARE(announced, (QList<int>{12, 13}));
        QCOMPARE(main.Panned, QList<int>{13});
        main.Panned.clear();

        TLC_INFO_SET set;
        Add(set, {.No = 4, .Type = 0});
        Add(set, {.No = 2, .OprMode = 5});
        QTemporaryDir dir;
        TfrmCURR_EV ev(nullptr, &main, dir.filePath(QStringLiteral("ev.ini")));
        TEventSettings es;
        es.ConnectionFail = true;
        ev.SetSettings(es);
        ev.SetContext({}, {}, {4});
        auto first = Image();
        first->lc_state[3].defined = 1;
        first->lc_state[3].status = 1;
        auto second = Copy(*first);
        second->lc_state[3].status = 0;
        ev.UpdateEvnts(*first, &set, QDateTime::currentDateTime());
        ev.UpdateEvnts(*second, &set, QDateTime::currentDateTime());
        QCOMPARE(ev.gtvTCDV->rowCount(), 1);
        QSignalSpy evPan(&ev, &TfrmCURR_EV::RequestPanToTCDV);
        emit ev.gtvTCDV->cellDoubleClicked(0, 2);
        emit ev.gtvTCDV->cellDoubleClicked(5, 0); // no such row
        QCOMPARE(evPan.count(), 1);
        QCOMPARE(evPan.at(0).at(0).toInt(), 4);
        QCOMPARE(main.Panned, QList<int>{4});

        auto img = Image();
        img->lc_state[1].status = 1;
        TfrmTCDV_M_State list(nullptr, &main, &set);
        TMonitorRefresh r;
        r.Image = std::shared_ptr<const TST_VESK_STATE>(Copy(*img));
        r.LcInfoSet = &set;
        list.RefreshFromImage(r);
        const int row = list.gtvLCList->item(0, StateList::colLC)->text() == QStringLiteral("2") ? 0 : 1;
        QSignalSpy listPan(&list, &TfrmTCDV_M_State::RequestPanToTCDV);
        emit list.gtvLCList->cellDoubleClicked(row, StateList::colName);
        emit list.gtvLCList->cellDoubleClicked(7, 0); // no such row
        QCOMPARE(listPan.count(), 1);
        QCOMPARE(listPan.at(0).at(0).toInt(), 2);
        QCOMPARE(main.Panned, (QList<int>{4, 2}));
    }

    // ------------------------------------------------------------------ group monitor

    void groupStateCells()
    {
        auto img = Image();
        quint8 *r = img->grp_state[6];
        r[1] = 1;
        r[2] = 2;
        r[15] = 1;
        r[18] = 0;
        r[19] = 1;
        r[20] = 2;
        r[21] = 12;
        r[23] = 4;
        r[24] = 1;
        r[28] = 1;
        r[30] = 40;
        r[32] = 6;
        r[33] = 120;
        r[34] = 3;
        r[35] = 2;
        r[36] = 7;
        r[37] = 11;
        r[42] = 5;
        r[48] = 8;
        r[50] = 140;
        r[53] = 2;
        r[54] = 9;
        r[56] = 4;
        struct TCell
        {
            int Row, Column;
            const char *Text;
        };
        const TCell state[] = {
            {0, 1, "센터"},     {1, 1, "수동"},     {2, 1, "준비"},  {3, 1, ""},        {0, 3, ""},
            {1, 3, "불가능"},   {2, 3, "실시"},     {3, 3, "TRC로 전환"}, {0, 5, "12"}, {1, 5, "0"},
            {2, 5, ""},         {3, 5, "준비"},     {3, 7, "TOD로 전환"}, {1, 9, "40 %"}, {2, 9, "0 %"},
            {0, 0, "제어상태"}, {2, 4, "연동요구방향"},
        };
        const TCell plan[] = {
            {0, 0, "현재"}, {0, 1, "*"},  {0, 2, "7"},  {0, 3, "120"}, {0, 4, "2"}, {0, 5, "3"}, {0, 6, "*"},
            {0, 7, "6"},    {1, 1, "11"}, {1, 6, "5"},  {1, 7, "*"},   {2, 6, "8"}, {3, 0, "TRC정보"}, {3, 3, "9"},
            {3, 4, "4"},    {3, 5, "0"},  {4, 0, "수동"}, {4, 3, "140"}, {4, 6, "2"}, {4, 7, "*"},
        };

        TLC_INFO_SET set;
        TfrmSA_M w(nullptr, nullptr, &set);
        setGroup(w, 7);
        w.UpdateSAMotInfo(*img, QDateTime());
        for (const TCell &c : state)
            QVERIFY2(w.gtvGroupM->item(c.Row, c.Column)
                         && w.gtvGroupM->item(c.Row, c.Column)->text() == QString::fromUtf8(c.Text),
                     qPrintable(QStringLiteral("state (%1,%2)").arg(c.Row).arg(c.Column)));
        for (const TCell &c : plan)
            QVERIFY2(w.gtvGroupD->item(c.Row, c.Column)
                         && w.gtvGroupD->item(c.Row, c.Column)->text() == QString::fromUtf8(c.Text),
                     qPrintable(QStringLiteral("plan (%1,%2)").arg(c.Row).arg(c.Column)));
    }

    void groupMembers()
    {
        TLC_INFO_SET set;
        auto a = Add(set, {.No = 11, .Type = 1, .OprMode = 5});
        a->planInfo = 1;
        a->stepA = 2;
        a->stepB = 10;
        a->commFail = 1;
        a->flash = 1;
        auto b = Add(set, {.No = 12, .Type = 2, .OprMode = 4});
        b->planInfo = 1;
        auto img = Image();
        img->lc_state[10].status = 0;
        img->lc_state[11].status = 1;

        TfrmSA_M w(nullptr, nullptr, &set);
        setGroup(w, 3);
        w.FillLcList({{11, QStringLiteral("가")}, {12, QStringLiteral("나")}, {13, QStringLiteral("다")},
                      {0, QStringLiteral("번호 없음")}});
        w.UpdateSAMotInfo(*img, QDateTime(QDate(2026, 12, 11), QTime(1, 2, 3)));
        QCOMPARE(w.gtvLCList->item(0, 2)->text(), QStringLiteral("01:02:03"));
        QCOMPARE(w.gtvLCList->item(0, 4)->text(), QStringLiteral("통신이상"));
        QCOMPARE(w.gtvLCList->item(0, 4)->background().color(), QColor(0xFF, 0x2D, 0x2D));
        QCOMPARE(w.gtvLCList->item(0, 5)->text(), QStringLiteral("FAIL"));
        QCOMPARE(w.gtvLCList->item(0, 5)->background().color(), QColor(0xFF, 0x2D, 0x2D));
        QCOMPARE(w.gtvLCList->item(0, 8)->text(), QStringLiteral("점멸"));
        QCOMPARE(w.gtvLCList->item(0, 8)->background().color(), QColor(0xF3, 0xA2, 0x47));
        QCOMPARE(w.gtvLCList->item(0, 15)->text(), QStringLiteral(" 3, 11"));
        QCOMPARE(w.gtvLCList->item(1, 4)->text(), QStringLiteral("센터모드"));
        QCOMPARE(w.gtvLCList->item(1, 4)->background().style(), Qt::NoBrush);
        // 2010: the plan class; 2004: the turn-left plan text.
        QCOMPARE(w.gtvLCList->item(1, 13)->text(), QStringLiteral("시차제#1"));
        QCOMPARE(w.gtvLCList->item(0, 13)->text(), QStringLiteral("시차제"));
        // Member 13 has no live record, the last row no number: both keep their cells.
        QVERIFY(!w.gtvLCList->item(2, 2) || w.gtvLCList->item(2, 2)->text().isEmpty());
        QVERIFY(!w.gtvLCList->item(3, 2) || w.gtvLCList->item(3, 2)->text().isEmpty());

        // Groups 0 and 201 change nothing.
        auto other = Image();
        other->lc_state[10].status = 1;
        other->grp_state[0][2] = 1;
        for (int sa : {0, 201}) {
            setGroup(w, sa);
            w.FillLcList({{11, QStringLiteral("가")}});
            w.gtvLCList->item(0, 1)->setText(QStringLiteral("가"));
            const QString before = w.gtvGroupM->item(1, 1)->text();
            w.UpdateSAMotInfo(*other, QDateTime());
            QVERIFY(!w.gtvLCList->item(0, 4) || w.gtvLCList->item(0, 4)->text().isEmpty());
            QCOMPARE(w.gtvGroupM->item(1, 1)->text(), before);
        }

        // A double click on a member pans; on a group grid row it does nothing.
        setGroup(w, 3);
        w.FillLcList({{11, QStringLiteral("가")}});
        QSignalSpy pan(&w, &TfrmSA_M::RequestPanToTCDV);
        emit w.gtvLCList->cellDoubleClicked(0, 3);
        emit w.gtvGroupM->cellDoubleClicked(1, 0);
        emit w.gtvGroupD->cellDoubleClicked(0, 2);
        QCOMPARE(pan.count(), 1);
        QCOMPARE(pan.at(0).at(0).toInt(), 11);
    }

    // ------------------------------------------------------------------ whole system

    void systemGridRows()
    {
        const int cases[][2] = {{0, 40}, {1000, 40}, {1280, 40}, {1281, 41}, {1300, 41}};
        for (const auto &c : cases)
            QCOMPARE(SysMonitor::GridRowCount(c[0]), c[1]);
        TLC_INFO_SET set;
        TfrmSYS_M w(nullptr, nullptr, &set);
        QList<int> numbers;
        for (int i = 1; i <= 1300; ++i)
            numbers << i * 2; // gaps in the numbering leave no gaps in the grid
        w.FillGrid(numbers);
        QCOMPARE(w.gtvSysM->rowCount(), 41);
        QCOMPARE(w.CellNumber(0, 0), 2);
        QCOMPARE(w.CellNumber(0, 31), 64);
        QCOMPARE(w.CellNumber(1, 0), 66);
        QCOMPARE(w.CellNumber(40, 19), 2600);
        QCOMPARE(w.CellNumber(40, 20), 0);
    }

    void systemTileColours()
    {
        TLcStatusColors colours;
        for (int t = 0; t <= 12; ++t)
            colours.State[t] = QColor(10 + t * 15, 200 - t * 10, 30 + t);
        colours.Unused = QColor(1, 2, 3);

        struct TCase
        {
            const char *Name;
            TLc Lc;
            QColor Expected;
        };
        std::vector<TCase> cases;
        for (int s = 0; s <= 13; ++s) {
            const QColor e = s == 9 ? colours.State[6] : s <= 12 ? colours.State[s] : QColor(Qt::black);
            cases.push_back({"state", {.No = 100 + s, .OprMode = 5, .OprStat = s}, e});
        }
        cases.push_back({"mode 3 over comm failure", {.No = 200, .OprMode = 3, .OprStat = 0}, colours.State[12]});
        cases.push_back({"not in use", {.No = 201, .Use = false, .OprStat = 1}, colours.Unused});
        cases.push_back({"virtual, main in use", {.No = 202, .Use = false, .OprStat = 2, .Virtual = 300},
                         colours.State[2]});
        cases.push_back({"virtual, main not in use", {.No = 203, .Use = false, .OprStat = 2, .Virtual = 301},
                         colours.Unused});

        TLC_INFO_SET set;
        Add(set, {.No = 300, .Use = true});
        Add(set, {.No = 301, .Use = false});
        for (const TCase &c : cases)
            Add(set, c.Lc);
        for (const TCase &c : cases) {
            const SysMonitor::TTileLook look = SysMonitor::TileLook(set, c.Lc.No, colours, false);
            QVERIFY2(look.Draw && look.Colour == c.Expected,
                     qPrintable(QStringLiteral("%1 %2").arg(QString::fromUtf8(c.Name)).arg(c.Lc.No)));
            if (c.Lc.No <= 113)
                QVERIFY(look.Colour == LcStatusColor(colours, c.Lc.OprStat, c.Lc.OprMode));
        }
        QVERIFY(!SysMonitor::TileLook(set, 999, colours, false).Draw);
        QVERIFY(!SysMonitor::TileLook(set, 0, colours, false).Draw);

        // Blinking: only a flashing tile with its flash flag alternates, packet by packet.
        Add(set, {.No = 400, .OprMode = 5, .OprStat = 5, .TcdvType = 1, .Flash = 1, .ConflictEnable = 1});
        Add(set, {.No = 401, .OprMode = 5, .OprStat = 5, .Flash = 0, .ConflictEnable = 0});
        TfrmSYS_M w(nullptr, nullptr, &set, colours);
        w.FillGrid({400, 401});
        QVERIFY(!w.FlashDraw());
        QList<QColor> flagged, plain;
        for (int packet = 0; packet < 4; ++packet) {
            w.RefreshFromImage(TMonitorRefresh());
            flagged << w.CellLook(0, 0).Colour;
            plain << w.CellLook(0, 1).Colour;
        }
        QCOMPARE(flagged, (QList<QColor>{colours.State[2], colours.State[5], colours.State[2], colours.State[5]}));
        QCOMPARE(plain, (QList<QColor>{colours.State[5], colours.State[5], colours.State[5], colours.State[5]}));
        QVERIFY(w.CellLook(0, 0).Ci);
        QVERIFY(w.CellLook(0, 0).ConflictOn);
        QVERIFY(!w.CellLook(0, 1).Ci);
        QVERIFY(!w.CellLook(0, 1).ConflictOn);

        // Hint and information panel; an empty cell does nothing on a double click.
        QCOMPARE(w.CellHint(0, 0), QStringLiteral("교차로400(400) CI\r\n점멸"));
        w.gtvSysM->setCurrentCell(0, 1);
        QCOMPARE(w.lblINTS_NAME->text(), QStringLiteral("교차로401 (MI)"));
        QCOMPARE(w.lblTCDV_Status->text(), QStringLiteral("점멸"));
        QSignalSpy pan(&w, &TfrmSYS_M::RequestPanToTCDV);
        w.gtvSysM->setCurrentCell(5, 5);
        QVERIFY(w.lblINTS_NAME->text().isEmpty());
        w.btnMapMoveClick();
        QCOMPARE(pan.count(), 0);
        w.gtvSysM->setCurrentCell(0, 0);
        w.btnMapMoveClick();
        QCOMPARE(pan.count(), 1);
        QCOMPARE(pan.at(0).at(0).toInt(), 400);
    }
};

QTEST_MAIN(TstLiveViews)
#include "tst_live_views.moc"
