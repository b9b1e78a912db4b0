// The main window's parts that need no browser, as the windows built on them use
// them: the monitoring hub replacing the state image while the VIP panel reads it,
// the monitored flag every kind of live view gets after each outcome of a cycle, and
// the tree models under the item-model checker. Runs without the web engine (and so
// in the AddressSanitizer build).
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstring>
#include <memory>

#include "centrelink/RC2MMIUnit.h"
#include "core/MainContracts.h"
#include "mainwindow/MainTreeModels.h"
#include "mainwindow/MonitorHubUnit.h"
#include "mainwindow/untVipPanel.h"

namespace {

// A live view that records the flag of every refresh it gets.
struct FlagView : IMonitorView
{
    QList<bool> Flags;
    TStateImageRef LastImage;
    void RefreshFromImage(const TMonitorRefresh &r) override
    {
        Flags << r.Monitored;
        LastImage = r.Image;
    }
};

// An intersection monitor: a window that is a live view.
class FlagMonitor : public QWidget, public FlagView
{
};

// A result of the cycle: an image whose ring A split of phase 2 at intersection
// `lc` is `split`, or a failure.
std::shared_ptr<TMonitorCycleResult> Result(TMonitorOutcome outcome, const TLC_INFO_SET &set, int lc = 0,
                                            int split = 0, qint32 seconds = 0)
{
    auto r = std::make_shared<TMonitorCycleResult>();
    r->Outcome = outcome;
    r->Snapshot = set.TakeSnapshot();
    r->Glyphs.Connection = outcome == moImage ? TMonitorGlyphs::ConnConnected : TMonitorGlyphs::ConnDisconnected;
    if (outcome == moImage) {
        auto image = std::make_shared<TST_VESK_STATE>();
        std::memset(static_cast<void *>(image.get()), 0, sizeof(TST_VESK_STATE));
        if (lc > 0) {
            image->lc_state[lc - 1].status = 1;
            image->lc_state[lc - 1].split[TST_ITST_STATE::SplitIndex(0, 2)] = quint8(split);
        }
        r->Image = image;
        r->PacketTime.tv_sec = seconds;
    }
    return r;
}

} // namespace

class TstBaseLive : public QObject
{
    Q_OBJECT

    TLC_INFO_SET FSet;

    PSTT_LC_INFO live(int lc)
    {
        auto rec = std::make_shared<TSTT_LC_INFO>();
        rec->tcdv_id = lc;
        rec->is_use = true;
        rec->planInfo = 0;
        for (int p = 1; p <= 4; ++p)
            rec->Movement(1, p, 1)->mvmt_no = p;
        FSet.SetLcInfo(lc, rec);
        return rec;
    }

private slots:
    void init()
    {
        FSet.Clear();
        live(3);
        live(5);
    }

    // Every new image replaces the one the panel was given: what the panel shows is
    // the latest image, and reading it never touches an image that was let go (the
    // AddressSanitizer build reports any such read).
    void vipPanelReadsTheCurrentImageWhileTheHubReplacesIt()
    {
        TMonitorHub hub(&FSet);
        TVipPanel panel;
        panel.SetSources(&FSet, [&hub] { return hub.Image(); }, nullptr);
        hub.RegisterMonitorView(mvkVipPanel, &panel);
        panel.SetPanelOpen(true);
        panel.LcSelected(3);
        QCOMPARE(panel.Logic().Row(0).Phase[1].toInt(), 0); // the all-zero image before the first

        const TStateImageRef first = hub.Image();
        for (int i = 1; i <= 300; ++i) {
            const int split = i % 250;
            hub.ApplyResult(Result(moImage, FSet, 3, split, i));
            // The refresh after the image.
            QCOMPARE(panel.Logic().Row(0).Phase[1].toInt(), split);
            // Ticking and unticking another intersection reads the image again.
            if (i % 2)
                panel.LcSelected(5);
            else
                panel.LcUnselected(5);
            QCOMPARE(panel.Logic().Row(0).Phase[1].toInt(), split);
            QCOMPARE(hub.PacketTime().tv_sec, i);
        }
        // A snapshot taken before keeps its own bytes.
        QCOMPARE(int(first->lc_state[2].split[TST_ITST_STATE::SplitIndex(0, 2)]), 0);

        // Closed, the panel gets no refresh; opened again it reads the newest image.
        panel.SetPanelOpen(false);
        for (int i = 1; i <= 20; ++i)
            hub.ApplyResult(Result(moImage, FSet, 3, 200 + i));
        panel.SetPanelOpen(true);
        panel.LcSelected(3);
        QCOMPARE(panel.Logic().Row(0).Phase[1].toInt(), 220);
    }

    // A panel given only refreshes (no source) keeps the snapshot of the last one
    // alive, whatever the hub does afterwards.
    void vipPanelKeepsTheSnapshotOfItsLastRefresh()
    {
        auto hub = std::make_unique<TMonitorHub>(&FSet);
        TVipPanel panel;
        panel.SetSources(&FSet, {}, nullptr);
        hub->RegisterMonitorView(mvkVipPanel, &panel);
        panel.SetPanelOpen(true);
        panel.LcSelected(3);
        hub->ApplyResult(Result(moImage, FSet, 3, 17));
        QCOMPARE(panel.Logic().Row(0).Phase[1].toInt(), 17);
        hub.reset(); // the hub and its image go
        panel.LcSelected(5);
        QCOMPARE(panel.Logic().Row(0).Phase[1].toInt(), 17);
    }

    void everyViewGetsTheFlagOfTheCycle_data()
    {
        QTest::addColumn<QList<int>>("outcomes");
        QTest::addColumn<QList<bool>>("flags");
        QTest::newRow("image") << QList<int>{moImage} << QList<bool>{true};
        QTest::newRow("exchange failed") << QList<int>{moExchangeFailed} << QList<bool>{false};
        QTest::newRow("no connection") << QList<int>{moConnectFailed} << QList<bool>{false};
        QTest::newRow("failure between images")
            << QList<int>{moImage, moExchangeFailed, moConnectFailed, moImage} << QList<bool>{true, false, false, true};
        QTest::newRow("thread ending refreshes nothing") << QList<int>{moTerminated} << QList<bool>{};
    }

    // Intersection monitors and the single views get the same flag: monitored only
    // after a decoded image.
    void everyViewGetsTheFlagOfTheCycle()
    {
        QFETCH(QList<int>, outcomes);
        QFETCH(QList<bool>, flags);
        TMonitorHub hub(&FSet);
        FlagMonitor monitor3, monitor5;
        FlagView group, system;
        hub.AddLcMonitor(3, &monitor3);
        hub.AddLcMonitor(5, &monitor5);
        hub.RegisterMonitorView(mvkGroupMonitor, &group);
        hub.RegisterMonitorView(mvkSystemMonitor, &system);
        QSignalSpy refreshed(&hub, &TMonitorHub::monitorRefreshed);
        for (int o : outcomes)
            hub.ApplyResult(Result(TMonitorOutcome(o), FSet, 3, 9));
        QCOMPARE(monitor3.Flags, flags);
        QCOMPARE(monitor5.Flags, flags);
        QCOMPARE(group.Flags, flags);
        QCOMPARE(system.Flags, flags);
        QCOMPARE(refreshed.count(), flags.size());
        // Every view of one refresh got the same image.
        if (!flags.isEmpty()) {
            QCOMPARE(monitor3.LastImage, hub.Image());
            QCOMPARE(group.LastImage, hub.Image());
        }
    }

    // A monitor that goes leaves the list; one number keeps one monitor.
    void monitorListFollowsTheWindows()
    {
        TMonitorHub hub(&FSet);
        auto *m = new FlagMonitor;
        FlagMonitor other;
        hub.AddLcMonitor(3, m);
        hub.AddLcMonitor(5, &other);
        hub.AddLcMonitor(5, &other);
        QCOMPARE(hub.LcMonitorList().size(), 2);
        delete m;
        QCOMPARE(hub.LcMonitorList().size(), 1);
        QVERIFY(!hub.LcMonitor(3));
        QCOMPARE(hub.LcMonitor(5), &other);
        hub.ApplyResult(Result(moImage, FSet));
        QCOMPARE(other.Flags, QList<bool>{true});
    }

    // Pausing stops the timer and tells whether it ran; a closed hub does not start again.
    void pauseAndResume()
    {
        TMonitorHub hub(&FSet);
        QVERIFY(!hub.Pause());
        hub.Timer()->start();
        QVERIFY(hub.Pause());
        QVERIFY(!hub.Timer()->isActive());
        hub.Resume(true);
        QVERIFY(hub.Timer()->isActive());
        hub.SetClosed();
        hub.Pause();
        hub.Resume(true);
        QVERIFY(!hub.Timer()->isActive());
    }

    // The group and intersection trees pass the item-model checker while they are
    // built, rebuilt, emptied and ticked.
    void treeModelsPassTheModelChecker()
    {
        auto node = [](int id, const QString &key, const QString &name, int flag, int type) {
            TNodeData d;
            d.ID = id;
            d.Key = key;
            d.Name = name;
            d.Flag = qint8(flag);
            d.TreeType = type;
            return d;
        };
        QList<MainLists::TTreeRow> rows;
        for (int g = 1; g <= 3; ++g)
            for (int k = 1; k <= 4; ++k) {
                MainLists::TTreeRow r;
                r.Group = node(g, QString::number(g), QStringLiteral("그룹 %1").arg(g), 0, 0);
                r.Lc = node(g * 10 + k, QStringLiteral("%1-%2").arg(g).arg(g * 10 + k),
                            QStringLiteral("교차로 %1").arg(g * 10 + k), k % 3, k % 2 ? 2004 : 2010);
                rows << r;
            }
        QList<TNodeData> nodes;
        for (const auto &r : rows)
            nodes << r.Lc;

        for (bool group : {true, false}) {
            TNodeTreeModel model;
            QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
            if (group)
                model.BuildSaTree(rows);
            else
                model.BuildLcTree(nodes);
            QCOMPARE(model.rowCount(), group ? 3 : 12);
            QCOMPARE(model.NodeCount(), group ? 15 : 12);
            const QModelIndex found = model.FindByKey(QStringLiteral("2-23"));
            QVERIFY(found.isValid());
            QCOMPARE(TNodeTreeModel::Data(found).ID, 23);
            if (group) {
                // Ticking an intersection and its group.
                QVERIFY(model.setData(found, Qt::Checked, Qt::CheckStateRole));
                QCOMPARE(found.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
                QVERIFY(model.setData(found.parent(), Qt::Unchecked, Qt::CheckStateRole));
            }
            // Rebuilt with fewer rows, then emptied.
            if (group)
                model.BuildSaTree(rows.mid(0, 5));
            else
                model.BuildLcTree(nodes.mid(0, 5));
            QCOMPARE(model.NodeCount(), group ? 7 : 5);
            QVERIFY(!model.FindByKey(QStringLiteral("2-23")).isValid());
            model.ClearNodes();
            QCOMPARE(model.rowCount(), 0);
            QVERIFY(!model.FindByKey(QStringLiteral("1-11")).isValid());
        }
    }
};

QTEST_MAIN(TstBaseLive)
#include "tst_base_live.moc"
