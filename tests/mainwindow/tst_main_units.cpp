// The main window's logic without a window or a database: counting a decoded image,
// the status counters and their filters, the one state-to-colour rule in the legend's
// restyle scripts, the pop-up rule, the tree model, the group grid rows and the
// settings in the INI file.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "foundation/IniFile.h"
#include "core/LcStatusColor.h"
#include "mainwindow/MainSettingsUnit.h"
#include "mainwindow/MainTreeModels.h"
#include "MainWindowTestEnv.h"
#include "mainwindow/MonitorThreadUnit.h"
#include "core/Quorval.h"
#include "mainwindow/untLegend.h"
#include "mainwindow/untMain.h"

namespace {

TLcDecodeEntry entry(int no, int type, bool use, int main, bool decoded, int state, int mode)
{
    TLcDecodeEntry e;
    e.lcNo = no;
    e.lc_type = type;
    e.is_use = use;
    e.mainLcNo = main;
    e.st.mntr_ok = decoded;
    e.st.opr_stat = state;
    e.st.oprMode = mode;
    e.st.conflictEnable = 1;
    return e;
}

PSTT_LC_INFO record(TLC_INFO_SET &set, int no, bool use, int state, int mode, int virtualOf = 0)
{
    auto r = std::make_shared<TSTT_LC_INFO>();
    r->tcdv_id = no;
    r->is_use = use;
    r->opr_stat = state;
    r->oprMode = mode;
    r->virtualLC_No = virtualOf;
    set.SetLcInfo(no, r);
    return r;
}

QString setColor(int n, const QColor &c)
{
    return QStringLiteral("LC%1.setStyle({color:\"#%2\"})").arg(n).arg(TColorToHex(c));
}

} // namespace

class TestMainUnits : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(MainTest::LoadLanguage()); }

    // --- counting ------------------------------------------------------------------

    void countsFollowUseVirtualAndType()
    {
        TLcStateSnapshot snap;
        TLcDecodeEntry a = entry(1, 1, true, 0, true, 1, 5);
        a.st.flash = 1;
        a.st.conflictEnable = 0;
        snap.entries << a;
        TLcDecodeEntry b = entry(2, 2, true, 0, true, 0, 4); // communication failure: no mode, no bits
        b.st.doorOpen = 1;
        snap.entries << b;
        TLcDecodeEntry c = entry(3, 2, true, 0, true, 10, 4);
        c.st.doorOpen = 1;
        c.st.lightsOut = 1;
        c.st.policeIng = 1;
        c.st.conflict = 1;
        snap.entries << c;
        snap.entries << entry(4, 2, false, 12, true, 7, 4);  // virtual: shows 12, counted nowhere
        snap.entries << entry(5, 2, false, 0, false, 0, 0);  // not in use, not virtual
        snap.entries << entry(6, 0, true, 0, true, 3, 1);    // no controller type: in use only
        snap.entries << entry(7, 2, true, 0, true, 25, 1);   // undefined state: not counted
        snap.entries << entry(8, 1, true, 0, false, 1, 1);   // in use, not decoded

        TMonitorCounters c1;
        CountLcStates(snap, &c1);
        QCOMPARE(c1.LiveLC, 6);
        QCOMPARE(c1.UnusedLC, 1);
        QCOMPARE(c1.OprStateStt[1], 1);
        QCOMPARE(c1.OprStateStt[0], 1);
        QCOMPARE(c1.OprStateStt[10], 1);
        QCOMPARE(c1.OprStateStt[7], 0);
        QCOMPARE(c1.OprStateStt[3], 0);
        int all = 0;
        for (int v : c1.OprStateStt)
            all += v;
        QCOMPARE(all, 3);
        QCOMPARE(c1.OprModeStt[5], 1);
        QCOMPARE(c1.OprModeStt[4], 1); // intersection 3 only; 2 is in communication failure
        QCOMPARE(c1.StateStt[lscFlash], 1);
        QCOMPARE(c1.StateStt[lscConflictDisabled], 1);
        QCOMPARE(c1.StateStt[lscDoorOpen], 1);
        QCOMPARE(c1.StateStt[lscLightsOut], 1);
        QCOMPARE(c1.StateStt[lscPoliceIng], 1);
        QCOMPARE(c1.StateStt[lscConflict], 1);

        TMmiMain mmi;
        mmi.Fill(c1, QDateTime(), nullptr);
        QCOMPARE(mmi.sLcOprState2Stt00, QString("6"));
        QCOMPARE(mmi.sLcOprState2Stt01, QString("1"));
        QCOMPARE(mmi.sLcOprStateStt10, QString("1"));
    }

    void statusCounterValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("modeItem");
        QTest::addColumn<int>("stateItem");
        QTest::newRow("운영 교차로") << "lblLcOprSttTotal" << 40 << 5 << -1;
        QTest::newRow("SCU고정주기") << "lblLcOprStt0" << 2 << 0 << -1;
        QTest::newRow("반감응") << "lblLcOprStt3" << 5 << 5 << -1;
        QTest::newRow("센터-감응") << "lblLcOprStt4" << 6 << 3 << -1;
        QTest::newRow("센터-무감응") << "lblLcOprStt5" << 7 << 4 << -1;
        QTest::newRow("현시유지") << "lblSysSttPhaseHold" << 10 << -1 << 7;
        QTest::newRow("전이") << "lblSysSttTrans" << 4 << -1 << 8;
        QTest::newRow("통신이상") << "lblSysSttCommErr" << 100 << -1 << 0;
        QTest::newRow("수동 7+8+9") << "lblSysSttManual" << 7 + 8 + 9 << -1 << 3;
        QTest::newRow("PPC 모드") << "lblSysSttPPC" << 12 << -1 << 9;
        QTest::newRow("사용안함") << "lblSysSttUnused" << 3 << -1 << 10;
        QTest::newRow("함체문 열림") << "lblSysSttDoorOpen" << 44 << -1 << 5;
        QTest::newRow("모순감지불가") << "lblSysSttConflictOff" << 55 << -1 << 6;
    }
    void statusCounterValues()
    {
        QFETCH(QString, name);
        QFETCH(int, expected);
        QFETCH(int, modeItem);
        QFETCH(int, stateItem);
        TMonitorCounters c;
        c.LiveLC = 40;
        c.UnusedLC = 3;
        for (int i = 0; i < 13; ++i) {
            c.OprStateStt[i] = i == 0 ? 100 : i;
            c.OprModeStt[i] = i + 2;
        }
        c.StateStt[lscDoorOpen] = 44;
        c.StateStt[lscConflictDisabled] = 55;
        const TStatusCounterDef *def = nullptr;
        for (const TStatusCounterDef &d : StatusCounterDefs())
            if (d.Name == name)
                def = &d;
        QVERIFY(def);
        QCOMPARE(StatusCounterValue(*def, c), expected);
        const TStateListFilter f = CounterFilter(*def);
        QCOMPARE(f.ModeItem, modeItem);
        QCOMPARE(f.StateItem, stateItem);
    }

    void legendPanelShowsCountersAndCaptions()
    {
        TLegendPanel panel;
        TMonitorCounters c;
        c.LiveLC = 40;
        c.UnusedLC = 1;
        c.OprStateStt[12] = 2;
        panel.ShowCounters(c);
        QCOMPARE(panel.CounterText("lblLcOprSttTotal"), QString("40"));
        QCOMPARE(panel.CounterText("lblSysSttUnused"), QString("1"));
        QCOMPARE(panel.CounterText("lblSysSttPPC"), QString("2"));
        auto *cap = panel.findChild<QLabel *>("lblSysSttUnusedCap");
        QVERIFY(cap);
        QCOMPARE(cap->text(), QString("사용안함"));
        QCOMPARE(panel.tabText(0), QString("현황"));
        QCOMPARE(panel.cbxShape[0]->itemText(0), QString("원"));
        QCOMPARE(panel.cbxShape[0]->itemText(10), QString("12각"));
    }

    // --- the one colour rule in the restyle scripts --------------------------------

    void shapeTagFollowsColourRule_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("tag");
        QTest::newRow("centre") << 1 << 4 << 1;
        QTest::newRow("semi-actuated takes PPC") << 1 << 3 << 12;
        QTest::newRow("manual lights off takes lights off") << 9 << 5 << 6;
        QTest::newRow("comm failure") << 0 << 6 << 0;
        QTest::newRow("above 12: none (black)") << 13 << 4 << -1;
    }
    void shapeTagFollowsColourRule()
    {
        QFETCH(int, state);
        QFETCH(int, mode);
        QFETCH(int, tag);
        QCOMPARE(LcStatusShapeTag(state, mode), tag);
        // The shape's colour is the colour of the shared rule.
        const TLcStatusColors colours = TLcStatusColors::Defaults();
        QCOMPARE(LcStatusColor(colours, state, mode), colours.ByTag(tag));
    }

    void stateColourRestylesOnlyTheMarkersOfThatShape()
    {
        TLC_INFO_SET set;
        record(set, 1, true, 2, 4);      // local mode
        record(set, 2, true, 1, 3);      // semi-actuated
        record(set, 3, false, 0, 6);     // not in use
        record(set, 4, true, 9, 5);      // manual lights off
        record(set, 5, true, 6, 5);      // lights off
        record(set, 6, true, 5, 5);      // flashing
        record(set, 7, false, 2, 4, 1);  // virtual of 1
        const QList<int> lcs{1, 2, 3, 4, 5, 6, 7};
        const QColor c(0x12, 0x34, 0x56);

        // Off-line: every in-use marker blinks in it; markers that are off line take it.
        QString s = LegendScripts::StateColorScript(2, c, lcs, set);
        QVERIFY(s.contains(setColor(1, c)));
        QVERIFY(s.contains(setColor(7, c)));
        QVERIFY(s.contains("LC4.setStyle({blinkColor:\"#123456\"})"));
        QVERIFY(!s.contains("LC2.")); // semi-actuated: only through the PPC shape
        QVERIFY(!s.contains("LC3.")); // not in use: only through the unused shape
        QVERIFY(!s.contains(setColor(4, c)));

        // Lights off: states 6 and 9 (the rule maps 9 onto it).
        s = LegendScripts::StateColorScript(6, c, lcs, set);
        QVERIFY(s.contains(setColor(4, c)));
        QVERIFY(s.contains(setColor(5, c)));
        QVERIFY(!s.contains(setColor(1, c)));
        // Manual lights off reaches no marker: state 9 shows the lights-off colour.
        s = LegendScripts::StateColorScript(9, c, lcs, set);
        QVERIFY(!s.contains("setStyle({color"));

        s = LegendScripts::StateColorScript(12, c, lcs, set);
        QVERIFY(s.contains(setColor(2, c)));
        QVERIFY(!s.contains(setColor(1, c)));
        s = LegendScripts::StateColorScript(255, c, lcs, set);
        QVERIFY(s.contains(setColor(3, c)));
        QVERIFY(!s.contains("LC7."));

        // Flashing: a blinking marker keeps the colour for when the blinking ends.
        s = LegendScripts::StateColorScript(5, c, lcs, set);
        QVERIFY(s.contains("var lc = LC6;"));
        QVERIFY(s.contains("lc._tmpColor = \"#123456\""));
    }

    void groupAndMovementScripts()
    {
        const QString sa = LegendScripts::SAColorScript({1, 3}, QColor(255, 0, 0), QColor(0, 0, 255));
        QVERIFY(sa.contains("SA1.setStyle({color:\"#FF0000\", fillColor:\"#FF0000\"})"));
        QVERIFY(sa.contains("SA3.setStyle"));
        // The selected outline stays in the selected colour, after the others.
        QVERIFY(sa.indexOf("selGroup") > sa.indexOf("SA3.setStyle"));
        QVERIFY(sa.contains("#0000FF"));
        QCOMPARE(LegendScripts::OpacityScript({2}, 0.8).count("0.80"), 2);
        QCOMPARE(LegendScripts::ShapeScript({4, 9}, 35), QString(" LC4.setNumberOfSides(35);  LC9.setNumberOfSides(35); "));
        QVERIFY(LegendScripts::SizeScript({}, 10).isEmpty());
        QVERIFY(LegendScripts::MvmtLabelScript(false).contains("setLabelVisible(false)"));
        QVERIFY(LegendScripts::GreenMvmtScript(QColor(0x30, 0xC9, 0x5D)).contains("#30C95D"));
    }

    // --- pop-up, tree ----------------------------------------------------------------

    void popupItemsByKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("tag");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("visible");
        QTest::newRow("group node: editor hidden") << int(pkGroupNode) << 1 << true << false;
        QTest::newRow("group node: map picture") << int(pkGroupNode) << 999 << true << true;
        QTest::newRow("group node: collapse") << int(pkGroupNode) << 1000 << true << true;
        QTest::newRow("tree lc: editor") << int(pkTreeLc) << 1 << true << true;
        QTest::newRow("tree lc: collapse") << int(pkTreeLc) << 1000 << true << true;
        QTest::newRow("tree lc: disabled") << int(pkTreeLc) << 1 << false << false;
        QTest::newRow("map lc: collapse hidden") << int(pkMapLc) << 1000 << true << false;
        QTest::newRow("map lc: map picture") << int(pkMapLc) << 999 << true << true;
    }
    void popupItemsByKind()
    {
        QFETCH(int, kind);
        QFETCH(int, tag);
        QFETCH(bool, enabled);
        QFETCH(bool, visible);
        QCOMPARE(PopupItemVisible(tag, enabled, kind), visible);
        QMenu menu;
        QAction *a = menu.addAction("x");
        a->setProperty("tag", tag);
        a->setEnabled(enabled);
        SetPopupMenuItems(&menu, kind);
        QCOMPARE(a->isVisible(), visible);
        // Hidden once, the item comes back for a kind that shows it.
        a->setVisible(false);
        SetPopupMenuItems(&menu, kind);
        QCOMPARE(a->isVisible(), visible);
    }

    void treeNodesAndKeys()
    {
        QList<MainLists::TTreeRow> rows;
        auto row = [](int sa, const QString &saName, int lc, const QString &name, int flag, int type) {
            MainLists::TTreeRow r;
            r.Group.ID = sa;
            r.Group.Key = QString::number(sa);
            r.Group.Name = saName;
            r.Lc.ID = lc;
            r.Lc.Key = QString("%1-%2").arg(sa).arg(lc);
            r.Lc.Name = name;
            r.Lc.Flag = qint8(flag);
            r.Lc.TreeType = type;
            return r;
        };
        rows << row(3, "도곡로 축", 12, "언주역사거리", 2, 2004) << row(3, "도곡로 축", 7, "논현동", 0, 2010)
             << row(4, "남부순환로 축", 40, "양재천길입구", 3, 2010);
        TNodeTreeModel m;
        m.BuildSaTree(rows);
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.NodeCount(), 5);
        const QModelIndex g = m.FindByKey("3");
        QVERIFY(g.isValid());
        QCOMPARE(g.data().toString(), QString("0003 도곡로 축"));
        QCOMPARE(m.rowCount(g), 2);
        QCOMPARE(m.itemFromIndex(g)->isAutoTristate(), true);
        const QModelIndex n = m.FindByKey("3-12");
        QVERIFY(n.isValid());
        QCOMPARE(n.parent(), g);
        QCOMPARE(TNodeTreeModel::Data(n).TreeType, 2004);
        QCOMPARE(TNodeTreeModel::ImageIndex(TNodeTreeModel::Data(n)), 3);
        QCOMPARE(TNodeTreeModel::ImageIndex(TNodeTreeModel::Data(g)), 0);
        QVERIFY(!m.FindByKey("12").isValid());
        QVERIFY(!m.FindByKey("4-12").isValid());
        QCOMPARE(PopupCaption("교차로", 7, 2010), QString("교차로 : #007 (2010)"));
        QCOMPARE(PopupCaption("Int.", 1024, 2004), QString("Int. : #1024 (2004)"));
    }

    // --- group grid -------------------------------------------------------------------

    void groupGridRows()
    {
        auto image = std::make_unique<TST_VESK_STATE>();
        std::memset(static_cast<void *>(image.get()), 0, sizeof(TST_VESK_STATE));
        for (int b = 0; b < 15; ++b)
            image->grp_state[1][b] = quint8(b + 20); // group 2
        image->grp_state[1][0] = 1;
        image->grp_state[1][2] = 1;                  // TRC
        image->grp_state[4][0] = 1;                  // group 5: no name
        image->grp_state[6][0] = 0;                  // group 7: not operating
        const QMap<int, QString> names{{2, "테헤란로 축"}, {7, "x"}};
        const QList<QStringList> rows = SaMotRows(*image, names, QDateTime(QDate(2024, 1, 2), QTime(13, 4, 5)));
        QCOMPARE(rows.size(), 1);
        const QStringList r = rows.first();
        QCOMPARE(r.size(), 16);
        QCOMPARE(r.mid(0, 3), QStringList({"2", "테헤란로 축", "13:04:05"}));
        QCOMPARE(r[3], QString("TRC"));
        // Bytes 3..9, then 10 (no response), 12 (communication lost), 11 (failure), 13, 14.
        QCOMPARE(r.mid(4), QStringList({"23", "24", "25", "26", "27", "28", "29", "30", "32", "31", "33", "34"}));
    }

    // --- settings ---------------------------------------------------------------------

    void settingsDefaultsWithoutSections()
    {
        QTemporaryDir dir;
        TIniFile ini(dir.filePath("x.ini"));
        const TMainFormSettings s = MainSettings::Read(ini, QSize(1920, 1080), 19);
        QCOMPARE(s.Width, 1024);
        QCOMPARE(s.Height, 684);
        QCOMPARE(s.Left, 960 - 512);
        QCOMPARE(s.Top, 540 - 342);
        QCOMPARE(s.MapZoom, QString("18"));
        QCOMPARE(s.MapLat, QString("37.1567595259605"));
        QCOMPARE(QColorToTColor(s.Legend.SAColor), quint32(16511472));
        QCOMPARE(QColorToTColor(s.Legend.Status.ByTag(0)), quint32(255));
        QCOMPARE(QColorToTColor(s.Legend.Status.ByTag(12)), quint32(8421504));
        QCOMPARE(QColorToTColor(s.Legend.GreenMvmt), quint32(6146608));
        QCOMPARE(s.Legend.SAOpacity, 16);
        QCOMPARE(s.Legend.Size[4], 15);
        QVERIFY(s.Legend.ShowMvmtNo);
    }

    void settingsZoomIsCappedAndValuesRoundTrip()
    {
        QTemporaryDir dir;
        QFile f(dir.filePath("x.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; kept\n[MAP]\nZOOM=22\nLAT=37.5\n[DISP-INDEX]\nLC_STATUS_FLASH_COLOR=255\nCI_TYPE=4\n"
                "[FORM]\nFORM_MAXIMIZE=1\nWIDTH=10\n[OTHER]\nKEY=keep me\n");
        f.close();
        TIniFile ini(dir.filePath("x.ini"));
        TMainFormSettings s = MainSettings::Read(ini, QSize(1024, 768), 19);
        QCOMPARE(s.MapZoom, QString("19"));
        QVERIFY(s.Maximized);
        QCOMPARE(s.Width, 1024); // not read while maximised
        QCOMPARE(QColorToTColor(s.Legend.Status.ByTag(5)), quint32(255));
        QCOMPARE(s.Legend.ShapeIndex[1], 4);

        s.MapLat.clear(); // an empty position is not written
        s.MapZoom = "15";
        s.Legend.Status.SetByTag(9, QColor(1, 2, 3));
        TLayerFlags flags;
        flags.Node = false;
        MainSettings::Write(ini, s, flags);
        QCOMPARE(ini.ReadString("MAP", "LAT", ""), QString("37.5"));
        QCOMPARE(ini.ReadString("MAP", "ZOOM", ""), QString("15"));
        QCOMPARE(ini.ReadInteger("DISP-INDEX", "LC_STATUS_MAN_LIGHT_OFF_COLOR", 0), 3 * 65536 + 2 * 256 + 1);
        QCOMPARE(ini.ReadBool("COM-ENV", "NODE_VISIBLE", true), false);
        QCOMPARE(ini.ReadBool("COM-ENV", "LINK_VISIBLE", false), true);
        QCOMPARE(ini.ReadString("OTHER", "KEY", ""), QString("keep me"));
        const TMainFormSettings again = MainSettings::Read(ini, QSize(1024, 768), 19);
        QCOMPARE(again.Legend.Status.ByTag(9), QColor(1, 2, 3));
        QCOMPARE(again.Legend.ShapeIndex[1], 4);
        QFile back(dir.filePath("x.ini"));
        QVERIFY(back.open(QIODevice::ReadOnly));
        QVERIFY(back.readAll().startsWith("; kept"));
    }

    // --- texts of the monitoring-link log ----------------------------------------------

    void dataErrorTextIsFilled()
    {
        const TMonitorTexts t = TMonitorTexts::FromLanguage();
        QCOMPARE(t.DataErrLine(124767, 124767),
                 QString("RX MONITOR 수신데이터 크기 에러, 헤더.dsize : 124767, rcv_count: 124767, 요구BYTE : 124768"));
        QCOMPARE(t.ConnectFail, QString("RC MONITOR PORT 연결실패"));
        QCOMPARE(TMonitorTexts::HeadSizeLine(32, 5), QString("RX MONITOR HEAD SIZE Error, REQ len : 32, RCV len : 5"));
    }
};

QTEST_MAIN(TestMainUnits)
#include "tst_main_units.moc"
