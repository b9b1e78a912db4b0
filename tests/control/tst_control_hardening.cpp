// The control windows against an operator in a hurry and a slow centre server: a
// command without its value is refused before anything is sent, input given to a
// window while its command waits is dropped (never carried out after the wait),
// and the window's owner going away during a run does not take the window with it.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

#include "centrelink/ExchangeLogUnit.h"
#include "centrelink/RC2MMIUnit.h"
#include "centrelink/untTH_TCDV_C_Log.h"
#include "control/ControlPacketUnit.h"
#include "control/ControlRunWindow.h"
#include "control/untSA_C_Control.h"
#include "control/untTCDV_C_Control.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "RcSim.h"
#include "RcSimEndpoint.h"
#include "TestConsoleFolder.h"
#include "TestDb.h"

namespace {

const QString kDb = QStringLiteral("control_hardening");

// A click on `w` and a press of the space bar on it, as posted input: it reaches
// the widget whenever the event loop next runs.
void postClickAndSpace(QWidget *w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton,
                                                   Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(w, new QMouseEvent(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton,
                                                   Qt::NoButton, Qt::NoModifier));
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
}

void postKey(QWidget *w, int key)
{
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

} // namespace

class TstControlHardening : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;
    std::unique_ptr<rcsim::RcSim> FSim;
    TRcEndpoint FEndpoint;
    std::unique_ptr<ScriptedMsgDlg> FMsg;
    TfrmTH_TCDV_C_Log *FLog = nullptr;
    TLC_INFO_SET FLcSet;
    QSqlDatabase FDb;

    int controlRequests() const
    {
        int n = 0;
        for (const rcsim::CapturedPacket &p : FSim->captured())
            if (p.control && !p.head.isClosing())
                ++n;
        return n;
    }

    void reset()
    {
        FSim->clearFailure();
        FSim->clearCapture();
        FMsg->clear();
        QSqlQuery q(FDb);
        QVERIFY(q.exec(QStringLiteral("DELETE FROM SCS_L_USERCONTROL")));
    }

    int events() const
    {
        QSqlQuery q(FDb);
        return q.exec(QStringLiteral("SELECT COUNT(*) FROM SCS_L_USERCONTROL")) && q.next() ? q.value(0).toInt() : -1;
    }

    std::unique_ptr<TfrmTCDV_C_Control> openTcdv(const QList<int> &checked)
    {
        auto w = std::make_unique<TfrmTCDV_C_Control>();
        w->SetLcInfoSet(&FLcSet);
        w->show();
        for (int lc : checked)
            w->SetNodeChecked(w->MatchNodeKey(QStringLiteral("%1-%2").arg(GetLcSaNo(lc)).arg(lc)), true);
        return w;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestConsole::LoadLanguage());
        QVERIFY(TestDb::create(kDb, true));
        FDb = TestDb::open(kDb, QStringLiteral("tst_control_hardening"));
        QVERIFY(FDb.isOpen());
        QVERIFY(FDir.isValid());
        DM = TestConsole::OpenDataModule(FDir.path(), kDb);
        QVERIFY(DM);

        QString error;
        FSim = TestRcSim::Start(FEndpoint, 600, rcsim::Options(), &error);
        QVERIFY2(FSim, qPrintable(error));
        FLog = new TfrmTH_TCDV_C_Log();
        FMsg = std::make_unique<ScriptedMsgDlg>(true);
        for (int lc : {1, 2, 3})
            FLcSet.SetLcInfo(lc, std::make_shared<TSTT_LC_INFO>());
    }

    void cleanupTestCase()
    {
        SetControlExchange(nullptr);
        SetCtrlEndpointOverride(nullptr);
        FMsg.reset();
        delete FLog;
        FLog = nullptr;
        FSim->stop();
        FSim.reset();
        delete DM;
        DM = nullptr;
    }

    // "제어모드 설정" without a chosen mode: a message, no question, nothing sent,
    // nothing logged; with a mode chosen the same window sends.
    void controlModeWithoutChoiceIsRefused()
    {
        reset();
        auto w = openTcdv({1, 2});
        QCOMPARE(w->cbxTcdvControlMode->currentIndex(), -1);
        w->actTcdvControlMode->trigger();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().kind, mkInformation);
        QCOMPARE(FMsg->last().text, siText(QStringLiteral("TfrmTCDV_C_Control"), QStringLiteral("IDS_NoCtrlMode")));
        QCOMPARE(FMsg->last().text, QString::fromUtf8("제어모드를 선택하세요. 선택하지 않은 제어모드는 전송하지 않습니다."));
        QVERIFY(!w->Doing());
        QTest::qWait(100);
        QCOMPARE(controlRequests(), 0);
        QCOMPARE(events(), 0);
        QCOMPARE(w->lsbMsgList->count(), 0);

        // Chosen: asked, then sent once per intersection.
        reset();
        w->cbxTcdvControlMode->setCurrentIndex(0);
        FMsg->enqueue(mrYes);
        w->actTcdvControlMode->trigger();
        QCOMPARE(FMsg->count(), 1);
        QCOMPARE(FMsg->last().kind, mkQuestion);
        QCOMPARE(controlRequests(), 2);
    }

    // Input given to the window while its command runs is dropped: posted clicks
    // and keys on the run button and the mode list reach the window during the
    // run (and, the last of them, only after its last exchange) and change nothing.
    void inputDuringARunIsDropped_data()
    {
        QTest::addColumn<bool>("group");
        QTest::newRow("intersection window") << false;
        QTest::newRow("group window") << true;
    }
    void inputDuringARunIsDropped()
    {
        QFETCH(bool, group);
        reset();
        int calls = 0;
        QWidget *button = nullptr;
        QWidget *other = nullptr;
        std::unique_ptr<TfrmTCDV_C_Control> tcdv;
        std::unique_ptr<TfrmSA_C_Control> sa;
        if (group) {
            sa = std::make_unique<TfrmSA_C_Control>();
            sa->show();
            sa->MatchSaNodeId(1)->setCheckState(0, Qt::Checked);
            sa->MatchSaNodeId(2)->setCheckState(0, Qt::Checked);
            button = sa->findChild<QPushButton *>(QStringLiteral("btn_actSaOpr"));
            other = sa->VST;
        } else {
            tcdv = openTcdv({1, 2});
            tcdv->cbxTcdvControlMode->setCurrentIndex(1);
            button = tcdv->findChild<QPushButton *>(QStringLiteral("btn_actTcdvControlMode"));
            other = tcdv->cbxTcdvControlMode;
        }
        QVERIFY(button && other);
        // Every exchange takes the input of an impatient operator and then fails as a
        // stalled centre server does.
        SetControlExchange([&](THostSimplePacket &, THostSimplePacket &) {
            ++calls;
            postClickAndSpace(button);
            postKey(other, Qt::Key_Down);
            postKey(other, Qt::Key_Space);
            return 99993;
        });
        FMsg->enqueue({mrYes, mrYes, mrYes}); // answers a replayed run would take
        if (group)
            sa->actSaOpr->trigger();
        else
            tcdv->actTcdvControlMode->trigger();
        QTest::qWait(300); // whatever is still queued is delivered now
        SetControlExchange(nullptr);
        QCOMPARE(calls, 2);          // one exchange per checked target, no second run
        QCOMPARE(FMsg->count(), 1);  // the one question
        if (group) {
            QVERIFY(!sa->Doing());
            QCOMPARE(sa->CheckedSaIds(), (QList<int>{1, 2}));
        } else {
            QVERIFY(!tcdv->Doing());
            QCOMPARE(tcdv->cbxTcdvControlMode->currentIndex(), 1);
            QCOMPARE(tcdv->CheckedLcIds(), (QList<int>{1, 2}));
        }
        // After the run the window takes input again.
        QVERIFY(button->isEnabled());
        SetControlExchange([&](THostSimplePacket &, THostSimplePacket &) { ++calls; return 99993; });
        FMsg->enqueue(mrYes);
        QTest::mouseClick(button, Qt::LeftButton);
        SetControlExchange(nullptr);
        QCOMPARE(calls, 4);
    }

    // The owner (the main window) closes and goes away in the middle of a run: the
    // window is detached, its run ends normally, then it closes and frees itself.
    void ownerGoneDuringARun_data()
    {
        QTest::addColumn<bool>("group");
        QTest::newRow("intersection window") << false;
        QTest::newRow("group window") << true;
    }
    void ownerGoneDuringARun()
    {
        QFETCH(bool, group);
        reset();
        auto *owner = new QWidget;
        owner->show();
        QPointer<TControlRunWindow> w;
        auto *idle = group ? static_cast<TControlRunWindow *>(new TfrmSA_C_Control(owner))
                           : static_cast<TControlRunWindow *>(new TfrmTCDV_C_Control(owner));
        QPointer<TControlRunWindow> idleGuard(idle);
        if (group) {
            auto *sa = new TfrmSA_C_Control(owner);
            sa->show();
            sa->MatchSaNodeId(1)->setCheckState(0, Qt::Checked);
            sa->MatchSaNodeId(2)->setCheckState(0, Qt::Checked);
            w = sa;
        } else {
            auto *tcdv = new TfrmTCDV_C_Control(owner);
            tcdv->SetLcInfoSet(&FLcSet);
            tcdv->show();
            for (int lc : {1, 2})
                tcdv->SetNodeChecked(tcdv->MatchNodeKey(QStringLiteral("%1-%2").arg(GetLcSaNo(lc)).arg(lc)), true);
            w = tcdv;
        }
        int calls = 0;
        bool survived = true;
        SetControlExchange([&](THostSimplePacket &, THostSimplePacket &) {
            if (++calls == 1) {
                // What the main window does when it closes and is destroyed.
                TControlRunWindow::ReleaseRunningWindows(owner);
                delete owner;
                survived = !w.isNull();
            }
            return 99993;
        });
        FMsg->enqueue(mrYes);
        if (auto *sa = qobject_cast<TfrmSA_C_Control *>(w.data()))
            sa->actSaOpr->trigger();
        else
            qobject_cast<TfrmTCDV_C_Control *>(w.data())->actTcdvOpr->trigger();
        SetControlExchange(nullptr);
        QVERIFY(survived);
        QCOMPARE(calls, 2); // the run went on over every target
        QVERIFY(idleGuard.isNull()); // a window without a run went with its owner
        // The run over, the window closed and freed itself.
        QTRY_VERIFY_WITH_TIMEOUT(w.isNull(), 5000);
        QCOMPARE(events(), 2);
    }
};

QTEST_MAIN(TstControlHardening)
#include "tst_control_hardening.moc"
