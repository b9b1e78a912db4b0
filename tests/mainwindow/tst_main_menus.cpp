// The main window's menu bar, tool bar and pop-up by grade and admin mode, and its
// actions: every window opener opens its window once (a second call brings it to
// the front and applies no setter), the selection each action hands over, the
// windows that need a selection, the modal windows freed after use, the side panels
// that share the map's right edge and the page calls that belong to the panels.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeView>
#include <QTabWidget>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <memory>

#include "control/ControlWindows.h"
#include "core/CoreWindows.h"
#include "mainwindow/BookmarkUnit.h"
#include "mainwindow/MainActionsUnit.h"
#include "MainWindowTestEnv.h"
#include "mainwindow/MapBridgeUnit.h"
#include "mainwindow/MenuUnit.h"
#include "mainwindow/VehiclePollerUnit.h"
#include "core/Quorval.h"
#include "core/WindowRegistry.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "mainwindow/untEmergencyPanel.h"
#include "mainwindow/untMain.h"
#include "core/untPickerBase.h"
#include "mainwindow/untTrafficInfoPanel.h"
#include "mainwindow/untVipPanel.h"

namespace {

const char *const kDb = "tst_main_menus";

// The expected menus: "caption: entries" as MenuBarOutline gives them.
const QString kSystem1 = "시스템: actOpenCOM_E, actOpenUSER_E, actClose";
const QString kSystem = "시스템: actClose";
const QString kEdit = "편집: actOpenSA_E_Master, actOpenSA_E_Conf, actOpenSA_E_Merge, -, actOpenTCDV_E_Master, "
                      "actOpenTCDV_E_SignalManagerVariable, actOpenTCDV_E_Algorithm, actOpenTcdvTod, "
                      "actOpenTcdvForceTod, actOpenTcdvOffsetInfo, actOpenTCDV_E_FlashMap, actOpenTCDV_E_ReservePlan, "
                      "actOpenTCDV_E_ConflictMap, -, actOpenFirmwareInfo, actOpenPPCBoardInfo, actOpenTFDT_E, -, "
                      "actReqtHostReboot, actReqtParamsChanged";
const QString kMonitorTail = "-, actOpenSA_C_Control, actOpenTCDV_C_Control, actOpenVIPControl, actOpenTrafficInfo, "
                             "actOpenTCDV_C_DBUpDn";
const QString kMonitor = "감시/제어: actOpenSYS_M, actOpenSA_M, actOpenTCDV_M, " + kMonitorTail;
const QString kMonitorLogs = "감시/제어: actOpenSYS_M, actOpenSA_M, actOpenTCDV_M, actOpenLogCom, actOpenTCDV_C_Log, "
                             + kMonitorTail;
const QString kMonitorPolice = "감시/제어: actOpenSYS_M, actOpenSA_M, -, actOpenSA_C_Control";
const QString kEvent = "이벤트: actOpenCURR_EV, actOpenEventHistory, actOpenEventDay";
const QString kEventPolice = "이벤트: actOpenEventHistory, actOpenEventDay";
const QString kHistory = "이력: actOpenSA_HS_Sgnl, actOpenSA_HS_Join, -, actOpenTCDV_HS_Sgnl, actOpenTCDV_TR, "
                         "actOpenTCDV_TR_Stt, -, actOpenTFDT_NOW, actOpenTFDT_HS, actOpenTFDT_HS_Stt, -, actOpenEmAnalysis";
const QString kTool = "도구: actOpenOvikEditor, actOpenCopyGroup, actOpenCopyInt, actOpenTCDV_Conf, actOpenTimeSpaceDiagram";
const QString kAdmin = "Admin: actShowDevTool, actWebViewRefresh, actOpenNodeTool, actOpenLinkTool, actOpenSaTool, actHelp";

// A window stand-in for the classes the console does not have yet: counts its
// creations and keeps the entry properties it was given.
struct FakeWindows
{
    QHash<QString, int> created;
    QStringList registered;
    FakeWindows() = default;
    FakeWindows(const FakeWindows &) = delete;
    FakeWindows &operator=(const FakeWindows &) = delete;
    // A failed check leaves the test early: the stand-ins go with it, so the next
    // test sees the console's own registrations only.
    ~FakeWindows()
    {
        for (const QString &cls : registered)
            TMainOpeners::Unregister(cls);
    }
    void registerAll(const QStringList &classes, TOpenPlacement placement = oplDefault)
    {
        registered += classes;
        for (const QString &cls : classes)
            TMainOpeners::Register(cls, {[this, cls](const TOpenContext &c) -> QWidget * {
                                             ++created[cls];
                                             auto *w = new QWidget(c.Owner);
                                             w->setObjectName(cls);
                                             w->resize(200, 150);
                                             return w;
                                         },
                                         {}, {}, {}, placement});
    }
};

} // namespace

class TestMainMenus : public QObject
{
    Q_OBJECT
    std::unique_ptr<MainTest::ConsoleFolder> folder;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<ScriptedMsgDlg> boxes;
    std::unique_ptr<TScopedMainServices> services;

    void makeConsole(int grade, bool admin)
    {
        folder = std::make_unique<MainTest::ConsoleFolder>(
            kDb, QString("[COM-ENV]\nRC_IP=127.0.0.1\nRC_MNTR_PORT=9\nRC_MNTR_PERIOD=60\nADMIN_MODE=%1\n").arg(admin ? 1 : 0));
        dm = std::make_unique<TDM>(folder->path(), "signal-console");
        DM = dm.get();
        QVERIFY2(dm->DataModuleCreate(), qPrintable(boxes ? boxes->last().text + ": " + boxes->last().detail : QString()));
        dm->G_READ_TIMEOUT = 200;
        dm->G_CONNECTION_TIMEOUT = 200;
        dm->G_APP_USER.ID = "admin";
        dm->G_APP_USER.Role = grade;
        dm->G_ADMIN_MODE = admin;
    }

    static void closeWindow(TfrmMain &w, ScriptedMsgDlg &b)
    {
        b.enqueue(mrYes);
        w.close();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(MainTest::LoadLanguage());
        QVERIFY(TestDb::create(kDb, true));
        RegisterCoreWindows();
        RegisterControlWindows();
        services = std::make_unique<TScopedMainServices>([](TMainServices &s) {
            s.AppServerLauncher = [](const QString &) { return false; };
            s.AppServerSender = [](const QString &, bool *connected) {
                *connected = false;
                return 0;
            };
        });
    }
    void init() { boxes = std::make_unique<ScriptedMsgDlg>(); }
    void cleanup()
    {
        TWindowRegistry::CloseAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        boxes.reset();
        dm.reset();
        DM = nullptr;
        folder.reset();
    }
    void cleanupTestCase() { services.reset(); }

    // ------------------------------------------------------------ menus by grade

    void menuByGradeAndAdminMode_data()
    {
        QTest::addColumn<int>("grade");
        QTest::addColumn<bool>("admin");
        QTest::addColumn<QStringList>("menus");
        QTest::newRow("administrator, admin mode")
            << 1 << true << QStringList{kSystem1, kEdit, kMonitorLogs, kEvent, kHistory, kTool, kAdmin};
        QTest::newRow("administrator") << 1 << false << QStringList{kSystem1, kEdit, kMonitor, kEvent, kHistory, kTool};
        QTest::newRow("operator") << 2 << false << QStringList{kSystem, kMonitor, kEvent, kHistory};
        QTest::newRow("operator, admin mode") << 2 << true << QStringList{kSystem, kMonitor, kEvent, kHistory, kAdmin};
        QTest::newRow("manager") << 3 << false << QStringList{kSystem, kEdit, kMonitor, kEvent, kHistory, kTool};
        QTest::newRow("manager, admin mode: no logs")
            << 3 << true << QStringList{kSystem, kEdit, kMonitor, kEvent, kHistory, kTool, kAdmin};
        QTest::newRow("police") << 4 << false << QStringList{kSystem, kMonitorPolice, kEventPolice, kHistory};
        QTest::newRow("police, admin mode")
            << 4 << true << QStringList{kSystem, kMonitorPolice, kEventPolice, kHistory, kAdmin};
    }
    void menuByGradeAndAdminMode()
    {
        QFETCH(int, grade);
        QFETCH(bool, admin);
        QFETCH(QStringList, menus);
        QWidget owner;
        QHash<QString, QAction *> actions;
        for (const TMainActionDef &d : MainActionDefs()) {
            auto *a = new QAction(QString::fromLatin1(d.Name), &owner);
            a->setObjectName(QString::fromLatin1(d.Name));
            actions.insert(a->objectName(), a);
        }
        TArrayOvikTwoLevelMenu menu;
        MakeTwoLevelMenu([&](const QString &n) { return actions.value(n); }, admin, grade, menu);
        QCOMPARE(menu.size(), 7);
        QMenuBar bar;
        SetActionMainMenu(menu, QFont("Tahoma", 8), admin, &bar);
        QCOMPARE(MenuBarOutline(&bar), menus);

        // The rules hold for every way to reach an action (shortcuts, tool bar).
        for (const QString &n : AuthOperatorActions()) {
            QCOMPARE(actions[n]->isEnabled(), grade <= 3);
            QCOMPARE(actions[n]->isVisible(), grade <= 3);
        }
        for (const QString &n : AuthManagerActions())
            QCOMPARE(actions[n]->isEnabled(), grade == 1 || grade == 3);
        // Actions without a rule stay usable for every grade.
        QVERIFY(actions["actOpenTCDV_S"]->isEnabled());
        QVERIFY(actions["actOpenEventHistory"]->isVisible());
    }

    void hostRequestButtonsShowTheirWholeCaption_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("paramsChanged");
        QTest::addColumn<QString>("reload");
        QTest::newRow("Korean") << int(TsiLangDispatcher::LangKorean) << QString("파라미터변경통보")
                                << QString("프로그램 초기화");
        QTest::newRow("English") << int(TsiLangDispatcher::LangEnglish) << QString("Reload Parameter")
                                 << QString("Initialize Program");
    }
    // The buttons at the right end of the tool bar show their whole caption, in either
    // language, also after switching while the window is open.
    void hostRequestButtonsShowTheirWholeCaption()
    {
        QFETCH(int, language);
        QFETCH(QString, paramsChanged);
        QFETCH(QString, reload);
        makeConsole(1, false);
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.resize(1024, 700); // narrower than the whole tool bar
        w.show();
        const int other = language == TsiLangDispatcher::LangKorean ? TsiLangDispatcher::LangEnglish
                                                                      : TsiLangDispatcher::LangKorean;
        TsiLangDispatcher::instance()->SetActiveLanguage(other);
        TsiLangDispatcher::instance()->SetActiveLanguage(language);
        QCoreApplication::processEvents();
        const QList<QPair<const char *, QString>> expected = {{"btnReqtParamsChanged", paramsChanged},
                                                              {"btnReqtAppReload", reload}};
        for (const auto &e : expected) {
            auto *b = w.SimpleButtons()->findChild<QToolButton *>(e.first);
            QVERIFY2(b && b->isVisible(), e.first);
            QCOMPARE(b->text(), e.second);
            const int textWidth = b->fontMetrics().horizontalAdvance(b->text());
            QVERIFY2(b->width() >= textWidth && b->height() >= b->fontMetrics().height(),
                     qPrintable(QString("%1: %2x%3 for a text %4 wide").arg(e.first).arg(b->width()).arg(b->height()).arg(textWidth)));
            // Inside the strip, and the strip inside the window.
            QVERIFY(b->geometry().right() < w.SimpleButtons()->width());
            QVERIFY(w.SimpleButtons()->mapTo(&w, QPoint(w.SimpleButtons()->width() - 1, 0)).x() < w.width());
        }
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        closeWindow(w, *boxes);
    }

    void mainWindowByGrade_data()
    {
        QTest::addColumn<int>("grade");
        QTest::addColumn<bool>("control");   // intersection control button (1..3)
        QTest::addColumn<bool>("planSheet"); // plan-sheet button (1, 3)
        QTest::addColumn<bool>("paramsButton"); // parameters-changed button (1, 3)
        QTest::addColumn<bool>("lcEditors");
        QTest::addColumn<bool>("saEditors");
        QTest::newRow("administrator") << 1 << true << true << true << true << true;
        QTest::newRow("operator") << 2 << true << false << false << false << false;
        QTest::newRow("manager") << 3 << true << true << true << true << false;
        QTest::newRow("police") << 4 << false << false << false << false << false;
    }
    void mainWindowByGrade()
    {
        QFETCH(int, grade);
        QFETCH(bool, control);
        QFETCH(bool, planSheet);
        QFETCH(bool, paramsButton);
        QFETCH(bool, lcEditors);
        QFETCH(bool, saEditors);
        makeConsole(grade, false);
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        QToolBar *tb = w.ToolBar();
        // A button follows its action; one the tool bar has no room for sits in its
        // extension menu, so what is checked is that the tool bar offers it.
        auto offered = [&](const char *action) {
            QAction *a = w.Action(action);
            return tb->widgetForAction(a) && tb->actions().contains(a) && a->isVisible();
        };
        QVERIFY(offered("actOpenTCDV_S"));
        QCOMPARE(offered("actOpenTCDV_C_Control"), control);
        QCOMPARE(offered("actOpenTCDV_M"), control);
        QCOMPARE(offered("actOpenTCDV_Conf"), planSheet);
        QVERIFY(offered("actOpenEventHistory"));
        QVERIFY(tb->widgetForAction(w.Action("actOpenTCDV_S"))->isVisibleTo(tb)); // the first always fits
        QVERIFY(!w.findChild<QToolButton *>("btnAppEmergency")->isVisibleTo(&w));
        QCOMPARE(w.SimpleButtons()->findChild<QToolButton *>("btnReqtParamsChanged")->isVisibleTo(&w), paramsButton);
        QVERIFY(w.SimpleButtons()->findChild<QToolButton *>("btnReqtAppReload")->isVisibleTo(&w));
        QVERIFY(!w.SimpleButtons()->findChild<QToolButton *>("btnReqtHostReboot")->isVisibleTo(&w));
        QCOMPARE(w.findChild<QMenu *>("pmLcEdit")->menuAction()->isEnabled(), lcEditors);
        QCOMPARE(w.findChild<QMenu *>("pmSaEdit")->menuAction()->isEnabled(), saEditors);
        // The pop-up of an intersection follows the actions' rules.
        TNodeData node;
        node.ID = 12;
        node.TreeType = 2010;
        w.PreparePopup(node, 1, 1);
        QCOMPARE(w.PopupMenu()->findChild<QAction *>("pm_actOpenTCDV_M")->isVisible(), control);
        QCOMPARE(w.PopupMenu()->findChild<QAction *>("pm_actOpenTCDV_E_Master")->isVisible(), planSheet);
        QCOMPARE(w.PopupMenu()->findChild<QAction *>("pm_actLine1")->isVisible(), planSheet);
        QVERIFY(w.PopupMenu()->findChild<QAction *>("pm_actCollapseAll")->isVisible());
        // A grade-4 operator's shortcut of a hidden action does nothing.
        QCOMPARE(w.Action("actOpenCURR_EV")->isEnabled(), grade != 4);
        closeWindow(w, *boxes);
    }

    // ------------------------------------------------------------ openers

    void everyOpenerOpensItsWindowOnce()
    {
        makeConsole(1, true);
        FakeWindows fakes;
        fakes.registerAll(MissingWindowClasses());
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        w.SetSelection(2, 41);
        int checked = 0;
        for (const TMainActionDef &d : MainActionDefs()) {
            if (d.Pattern != opOwned && d.Pattern != opGeneric && d.Pattern != opApplication)
                continue;
            const QString name = QString::fromLatin1(d.Name);
            const QString cls = QString::fromLatin1(d.WindowClass);
            if (!fakes.created.contains(cls) && !TMainOpeners::IsRegistered(cls))
                continue;
            QAction *a = w.Action(name);
            QVERIFY2(a, qPrintable(name));
            a->trigger();
            QWidget *first = TWindowRegistry::Find(cls);
            QVERIFY2(first, qPrintable(name));
            QVERIFY2(first->windowTitle().startsWith(a->text()), qPrintable(name));
            QVERIFY(first->isWindow());
            QCOMPARE(first->parentWidget() == &w, d.Pattern == opOwned);
            first->showMinimized();
            w.SetSelection(w.SelectedSA(), 12); // a setter is not applied again
            a->trigger();
            QCOMPARE(TWindowRegistry::Find(cls), first);
            QVERIFY2(!first->isMinimized(), qPrintable(name)); // brought to the front
            if (fakes.created.contains(cls)) {
                QCOMPARE(fakes.created.value(cls), 1);
                if (QString::fromLatin1(d.Setter1) == QLatin1String("TCDV_ID") && d.Pattern != opGeneric)
                    QCOMPARE(first->property("TCDV_ID").toInt(), 41);
            }
            w.SetSelection(w.SelectedSA(), 41);
            ++checked;
        }
        QVERIFY(checked > 50);
        // The built-in control windows are real.
        QVERIFY(TWindowRegistry::Find("TfrmTCDV_C_Control")->inherits("TfrmTCDV_C_Control"));
        for (const QString &cls : fakes.created.keys())
            TMainOpeners::Unregister(cls);
        closeWindow(w, *boxes);
    }

    void specialPlacesAndPositions()
    {
        makeConsole(1, false);
        FakeWindows fakes;
        // Each window says where it opens when it registers.
        fakes.registerAll({"TFormOvikEditor"}, oplMapStart);
        fakes.registerAll({"TfrmTCDV_E_PhaseMvmt"}, oplSelectedLc);
        fakes.registerAll({"TfrmTCDV_M_State"}, oplMainTopRight);
        {
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            w.show();
            DM->G_MAP_INIT_LAT = "37.5";
            DM->G_MAP_INIT_LNG = "127.1";
            DM->G_MAP_INIT_ZOOM = "15";
            w.Action("actOpenOvikEditor")->trigger();
            QWidget *ed = TWindowRegistry::Find("TFormOvikEditor");
            QVERIFY(ed);
            QCOMPARE(ed->property("FLat").toString() + "," + ed->property("FLng").toString() + ","
                         + ed->property("FZoom").toString(),
                     QString("37.5,127.1,15"));
            w.SetSelection(w.SelectedSA(), 12);
            w.Action("actOpenTCDV_E_PhaseMvmt")->trigger();
            QWidget *mv = TWindowRegistry::Find("TfrmTCDV_E_PhaseMvmt");
            QVERIFY(mv);
            QCOMPARE(mv->property("TCDV_ID").toInt(), 12);
            const PSTT_LC_INFO info = w.LcInfoSet().GetLcInfo(12);
            QVERIFY(info);
            QCOMPARE(mv->property("FLat").toString(), info->cx.str());
            QCOMPARE(mv->property("FLng").toString(), info->cy.str());
            w.Action("actOpenTCDV_M_State")->trigger();
            QWidget *st = TWindowRegistry::Find("TfrmTCDV_M_State");
            QVERIFY(st);
            QCOMPARE(st->pos(), QPoint(w.x() + w.width() - st->width() - 14, w.y() + 55));
            // Page tools only in admin mode.
            QVERIFY(!w.Action("actShowDevTool")->isEnabled());
            QVERIFY(w.Action("actShowDevTool")->isVisible());
            closeWindow(w, *boxes);
        }
        for (const QString &cls : fakes.created.keys())
            TMainOpeners::Unregister(cls);
    }

    void vehiclePollersFollowTheirSettings()
    {
        makeConsole(1, false);
        DM->G_BRT_SERVER = "127.0.0.1:9";
        DM->G_BRT_MNTR_PERIOD = 1000;
        DM->G_WAS_SERVER = "127.0.0.1";
        DM->G_WAS_PORT = 9;
        DM->G_WAS_MNTR_PERIOD = 1000;
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        QVERIFY(!w.BrtThread());
        w.show();
        QVERIFY(w.BrtThread() && w.BrtThread()->isRunning());
        QVERIFY(w.WasThread() && w.WasThread()->isRunning());
        closeWindow(w, *boxes);
        QVERIFY(!w.BrtThread());
        QVERIFY(!w.WasThread());
    }

    void handOver_data()
    {
        QTest::addColumn<int>("sa");
        QTest::addColumn<int>("lc");
        QTest::addColumn<QString>("setter");
        QTest::addColumn<int>("value");
        QTest::newRow("intersection and group: the intersection") << 3 << 12 << "TCDV_ID" << 12;
        QTest::newRow("group only: the group") << 3 << 0 << "SA_ID" << 3;
        QTest::newRow("nothing: intersection 0") << 0 << 0 << "TCDV_ID" << 0;
    }
    void handOver()
    {
        QFETCH(int, sa);
        QFETCH(int, lc);
        QFETCH(QString, setter);
        QFETCH(int, value);
        makeConsole(1, false);
        FakeWindows fakes;
        fakes.registerAll({"TfrmEventHistory"});
        {
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            w.SetSelection(sa, lc);
            w.Action("actOpenEventHistory")->trigger();
            QWidget *h = TWindowRegistry::Find("TfrmEventHistory");
            QVERIFY(h);
            QCOMPARE(h->dynamicPropertyNames().size(), 1);
            QCOMPARE(h->property(setter.toLatin1()).toInt(), value);
            closeWindow(w, *boxes);
        }
        TMainOpeners::Unregister("TfrmEventHistory");
        // Two setters in the order of the table.
        const TMainActionDef *def = FindMainActionDef("actOpenTCDV_HS_Sgnl");
        const auto setters = HandOverSetters(*def, 5, 7);
        QCOMPARE(setters.size(), 2);
        QCOMPARE(setters[0].first + "=" + setters[0].second.toString(), QString("TCDV_ID=7"));
        QCOMPARE(setters[1].first + "=" + setters[1].second.toString(), QString("SA_ID=5"));
    }

    void windowsThatNeedASelection()
    {
        makeConsole(1, false);
        FakeWindows fakes;
        fakes.registerAll({"TfrmSA_M", "TfrmTCDV_E_PhaseMvmt"});
        {
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            w.SetSelection(0, 0);
            w.Action("actOpenSA_M")->trigger();
            w.Action("actOpenTCDV_E_PhaseMvmt")->trigger();
            QCOMPARE(boxes->requests().size(), 2);
            QCOMPARE(boxes->requests()[0].text, QString("먼저 교차로를 선택하세요."));
            QCOMPARE(boxes->requests()[0].caption, QString("교차로 선택 오류"));
            QVERIFY(fakes.created.isEmpty());

            w.SetSelection(2, w.SelectedTCDV());
            w.Action("actOpenSA_M")->trigger();
            QWidget *m = TWindowRegistry::Find("TfrmSA_M");
            QVERIFY(m);
            QVERIFY(m->windowTitle().startsWith("그룹감시 : "));
            QCOMPARE(m->property("SA_ID").toInt(), 2);
            closeWindow(w, *boxes);
        }
        TMainOpeners::Unregister("TfrmSA_M");
        TMainOpeners::Unregister("TfrmTCDV_E_PhaseMvmt");
    }

    void missingWindowOpensNothing()
    {
        makeConsole(1, false);
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        QVERIFY(!TMainOpeners::IsRegistered("TfrmTFDT_HS"));
        QVERIFY(MissingWindowClasses().contains("TfrmTFDT_HS"));
        QVERIFY(!w.ExecuteOpenAction("actOpenTFDT_HS"));
        QVERIFY(!TWindowRegistry::Find("TfrmTFDT_HS"));
        // Actions without effect exist with their captions.
        QCOMPARE(w.Action("actOpenTcdvFail")->text(), QString("고장점검관리"));
        w.Action("actOpenTcdvFail")->trigger();
        QCOMPARE(TWindowRegistry::Count(), 0);
        closeWindow(w, *boxes);
    }

    void modalWindowsAreFreedAfterUse()
    {
        makeConsole(1, false);
        int created = 0;
        QStringList seenWhileOpen;
        auto modal = [&](const TOpenContext &c) -> QWidget * {
            ++created;
            auto *d = new QDialog(c.Owner);
            QTimer::singleShot(0, d, [d, &seenWhileOpen] {
                seenWhileOpen << (TWindowRegistry::Find("TfrmUSER_E") == d ? "registered" : "not registered");
                d->reject();
            });
            return d;
        };
        TMainOpeners::Register("TfrmUSER_E", {modal, {}, {}, {}});
        auto plainDialogs = [](QWidget &w) {
            int n = 0;
            for (QDialog *d : w.findChildren<QDialog *>())
                n += d->metaObject() == &QDialog::staticMetaObject ? 1 : 0;
            return n;
        };
        TMainOpeners::Register("TFormSaTool", {[&](const TOpenContext &c) -> QWidget * {
                                                   ++created;
                                                   auto *d = new QDialog(c.Owner);
                                                   QTimer::singleShot(0, d, &QDialog::reject);
                                                   return d;
                                               },
                                               {}, {}, {}});
        {
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            w.Action("actOpenUSER_E")->trigger();
            QCOMPARE(seenWhileOpen, QStringList({"registered"}));
            QVERIFY(!TWindowRegistry::Find("TfrmUSER_E"));
            QCOMPARE(plainDialogs(w), 0);
            w.Action("actOpenSaTool")->trigger();
            w.Action("actOpenSaTool")->trigger(); // a new tool each time
            QCOMPARE(created, 3);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(plainDialogs(w), 0);
            closeWindow(w, *boxes);
        }
        TMainOpeners::Unregister("TfrmUSER_E");
        TMainOpeners::Unregister("TFormSaTool");
    }

    // ------------------------------------------------------------ search-box pickers

    void pickerButtons()
    {
        makeConsole(1, false);
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        // Chooses the row whose field has the value in the picker that is open.
        auto choose = [](const char *field, int value) {
            QTimer::singleShot(100, [field, value] {
                auto *p = qobject_cast<TfrmPickerBase *>(QApplication::activeModalWidget());
                if (!p)
                    return;
                for (int r = 0; r < p->RowCount(); ++r) {
                    p->Grid()->setCurrentIndex(p->Grid()->model()->index(r, 0));
                    if (p->Value(field).toInt() == value)
                        break;
                }
                p->actSelectExecute();
            });
        };
        choose("SA_NO", 3);
        w.findChild<QPushButton *>("btnSA")->click();
        QCOMPARE(w.SaSearchBox()->text(), QString("3"));
        QCOMPARE(w.TreePages()->currentWidget(), w.SaTreePage());
        QCOMPARE(TNodeTreeModel::Data(w.SaTree()->currentIndex()).Key, QString("3"));

        w.LcSearchBox()->setText("12");
        choose("INT_LCNO", 12);
        w.findChild<QPushButton *>("btnTCDV")->click();
        QCOMPARE(w.LcSearchBox()->text(), QString("12"));
        const QString group = w.SaSearchBox()->text();
        QVERIFY(group.toInt() > 0);
        QCOMPARE(w.TreePages()->currentWidget(), w.LcTreePage());
        QCOMPARE(TNodeTreeModel::Data(w.LcTree()->currentIndex()).Key, group + "-12");
        // The search boxes move only the trees.
        QCOMPARE(w.SelectedTCDV(), 0);
        closeWindow(w, *boxes);
    }

    // ------------------------------------------------------------ side panels

    void sidePanelsShareTheEdge()
    {
        makeConsole(1, false);
        QSqlDatabase db = TestDb::open(kDb, "check");
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_APP_EMERGENCY"));
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        QVERIFY(!w.VipPanel()->isVisible());
        QVERIFY(!w.TrafficInfoPanel()->isVisible());

        w.Action("actOpenTrafficInfo")->trigger();
        QVERIFY(w.TrafficInfoPanel()->isVisible());
        QCOMPARE(w.TrafficInfoPanel()->width(), 416);
        QCOMPARE(bridge.CountContaining("showTiPanel = true"), 1);
        // The page ticks an intersection: it joins the selection.
        w.crmConsoleMessage("TrafficInfoSelected:12");
        QCOMPARE(w.TrafficInfoPanel()->Logic().Sel().FSelCount, 1);

        // The VIP panel closes the traffic-information panel first.
        w.Action("actOpenVIPControl")->trigger();
        QVERIFY(w.VipPanel()->IsPanelOpen());
        QVERIFY(!w.TrafficInfoPanel()->isVisible());
        QCOMPARE(w.TrafficInfoPanel()->Logic().Sel().FSelCount, 0);
        QCOMPARE(bridge.CountContaining("showTiPanel = false"), 1);
        // Page selections of the VIP panel reach it.
        w.crmConsoleMessage("VIPCtrlSelected:12");
        QCOMPARE(w.VipPanel()->Logic().BlockCount(), 1);
        // The VIP panel is refreshed by the monitoring cycle while open.
        QCOMPARE(w.Hub()->MonitorView(mvkVipPanel), static_cast<IMonitorView *>(w.VipPanel()));

        // The emergency panel, once it lists a service, keeps the edge.
        QVERIFY(MainTest::Exec(db, "INSERT INTO SCS_M_APP_EMERGENCY (SERVICE_ID, SERVICE_NAME, DESTINATION_LAT, "
                                   "DESTINATION_LNG, STATUS) VALUES ('S1', 'fire', '37.5', '127.0', 0)"));
        w.Action("actAppEmergencyOpen")->trigger();
        QVERIFY(w.AppEmergencyPanel()->IsPanelOpen());
        QVERIFY(!w.VipPanel()->IsPanelOpen()); // closed by the emergency panel
        QCOMPARE(w.AppEmergencyPanel()->List().Rows.size(), 1);
        w.Action("actOpenVIPControl")->trigger();
        QVERIFY(!w.VipPanel()->IsPanelOpen());
        w.Action("actOpenTrafficInfo")->trigger();
        QVERIFY(!w.TrafficInfoPanel()->isVisible());
        QVERIFY(w.AppEmergencyPanel()->IsPanelOpen());

        // The page's native calls reach the emergency panel: a new service is saved
        // where its marker was dropped.
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_APP_EMERGENCY"));
        w.AppEmergencyPanel()->ttAppEmergencyTimer();
        QCOMPARE(w.AppEmergencyPanel()->List().Rows.size(), 0);
        w.AppEmergencyPanel()->actAppEmergencyAddExecute();
        const QString id = w.AppEmergencyPanel()->List().Rows.last().ServiceId;
        QVERIFY(w.BrowserMessageReceived("dragEnd", {id, 37.25, 127.5}));
        w.AppEmergencyPanel()->SetNewServiceName(id, "crash");
        w.AppEmergencyPanel()->actAppEmergencySaveExecute();
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT DESTINATION_LAT, DESTINATION_LNG FROM SCS_M_APP_EMERGENCY WHERE SERVICE_ID = '" + id + "'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString() + "," + q.value(1).toString(), QString("37.25,127.5"));
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_APP_EMERGENCY"));

        // At shutdown the open emergency panel closes (its layers are cleared).
        bridge.ClearScripts();
        closeWindow(w, *boxes);
        QVERIFY(!w.AppEmergencyPanel()->IsPanelOpen());
        QCOMPARE(bridge.CountContaining("appEmergencyLayer.clearLayers()"), 1);
    }

    void hiddenPacketSizeButton()
    {
        makeConsole(1, false);
        TRecordingMapBridge bridge;
        TfrmMain w(nullptr, &bridge);
        w.show();
        auto *ps = w.findChild<QPushButton *>("btnPacketSize");
        QVERIFY(ps);
        QVERIFY(!ps->isVisible());
        ps->click();
        QStringList shown;
        for (const TMsgDlgRequest &r : boxes->requests())
            shown << r.text;
        QCOMPARE(shown, QStringList({"76", "107", "124768"}));
        closeWindow(w, *boxes);
    }

    void toolsAndBookmarkActions()
    {
        makeConsole(1, false);
        QStringList opened;
        {
            TScopedMainServices shell([&](TMainServices &s) {
                s.ShellOpen = [&](const QString &path, const QStringList &args) {
                    opened << path + (args.isEmpty() ? QString() : " " + args.join(' '));
                    return true;
                };
            });
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            w.show();
            w.Action("actHelp")->trigger();
            QCOMPARE(opened, QStringList({DM->G_APP_PATH + "help/Quorval_Help.chm"}));
            // No time-space program beside the console: the error box names the path.
            w.Action("actOpenTimeSpaceDiagram")->trigger();
            QCOMPARE(boxes->requests().size(), 1);
            QCOMPARE(boxes->requests()[0].caption, QString("시공도 실행 오류"));
            QCOMPARE(boxes->requests()[0].detail, DM->G_APP_PATH + "ViduZozodAroduvud.exe");
            QFile exe(DM->G_APP_PATH + "ViduZozodAroduvud.exe");
            QVERIFY(exe.open(QIODevice::WriteOnly));
            exe.close();
            DM->G_APP_USER.Pass = "pw";
            w.Action("actOpenTimeSpaceDiagram")->trigger();
            QCOMPARE(opened.last(), DM->G_APP_PATH + "ViduZozodAroduvud.exe admin pw");

            // Bookmarks through their actions and shortcuts.
            QCOMPARE(w.Action("actBookmark3Reg")->shortcut(), QKeySequence("Alt+3"));
            QCOMPARE(w.Action("actBookmark3")->shortcut(), QKeySequence("Ctrl+3"));
            // Where the page says the mouse is and how far it is zoomed.
            QVERIFY(w.BrowserMessageReceived("mouseMove", {"37.5", "127.25"}));
            QVERIFY(w.BrowserMessageReceived("zoomEnd", {14}));
            w.Action("actBookmark3Reg")->trigger();
            QVERIFY(w.BookmarkJson()->contains("B3"));
            bridge.ClearScripts();
            w.Action("actBookmark3")->trigger();
            QCOMPARE(bridge.CountContaining("map.setView([37.5,127.25], 14,"), 1);
            // The page asks for a bookmark by number.
            bridge.ClearScripts();
            QVERIFY(w.BrowserMessageReceived("bookmark", {3}));
            QCOMPARE(bridge.CountContaining("map.setView("), 1);
            closeWindow(w, *boxes);
        }

        // Written at close; at the next start they come back from the operator's row.
        QSqlDatabase db = TestDb::open(kDb, "check");
        const QString stored = ReadBookmarks(db, "admin");
        QVERIFY2(ParseBookmarks(stored).value_or(QJsonObject()).contains("B3"), qPrintable(stored));
        makeConsole(1, false);
        DM->G_APP_USER.Bookmarks = stored;
        {
            TRecordingMapBridge bridge;
            TfrmMain w(nullptr, &bridge);
            w.show();
            bridge.ClearScripts();
            w.Action("actBookmark3")->trigger();
            QCOMPARE(bridge.CountContaining("map.setView([37.5,127.25], 14,"), 1);
            closeWindow(w, *boxes);
        }
    }
};

QTEST_MAIN(TestMainMenus)
#include "tst_main_menus.moc"
