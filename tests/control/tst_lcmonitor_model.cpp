// The intersection monitor's view model driven with live and state records, without a
// window or a database: label texts and colours, the page script of each cycle
// (marker, blinking, countdown, arrows), the grids and the firmware progress.
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "QuietMapPage.h"
#include "TestConsoleFolder.h"
#include "centrelink/RC2MMIUnit.h"
#include "control/LcMonitorModel.h"
#include "core/MainContracts.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace {

QString u(const char *s) { return QString::fromUtf8(s); }

// A page that records every script.
class TRecordingPage : public TQuietMapPage
{
public:
    QStringList Scripts;
    bool Loading = false;
    void ExecuteJavaScript(const QString &script) override { Scripts << script; }
    bool IsLoading() const override { return Loading; }
    void SetIsLoading(bool loading) override { Loading = loading; }
    QString All() const { return Scripts.join(QLatin1Char('\n')); }
};

// Legend colours chosen for the tests (state shape i gets 0x1000i0-style colours).
TLcMonitorLegend TestLegend()
{
    TLcMonitorLegend l;
    for (int i = 0; i <= 12; ++i)
        l.Status.State[i] = QColor(0x10, 0x20 + i, 0x30);
    l.Status.Unused = QColor(0xAB, 0xCD, 0xEF);
    l.GreenMvmt = QColor(0x00, 0xFF, 0x00);
    return l;
}
// "1020xx30" of state shape i as the page gets it.
QString StateHex(int i)
{
    return (QStringLiteral("10") + QStringLiteral("%1").arg(0x20 + i, 2, 16, QLatin1Char('0')) + QStringLiteral("30")).toUpper();
}

struct TRecords
{
    TSTT_LC_INFO info;
    TST_ITST_STATE rec{};
};

// Setup text "key=value;...": type, opr, mode, flash, pa, pb, cc, use, virt, hold, omit,
// lock1, lock2, conflict, reason, lamp, plan, ppc, ppcmode, ups, det=byte:value,
// split=i:v,..., lcsplit=i:v,..., ring=b25,b26,b27,b28.
void Apply(TRecords &r, int type, const QString &setup)
{
    r.info.tcdv_id = 16;
    r.info.lc_type = type;
    r.info.is_use = true;
    r.info.cx = QStringLiteral("37.5");
    r.info.cy = QStringLiteral("127.0");
    r.info.opr_stat = 1;
    r.info.oprMode = 5;
    r.rec.defined = 1;
    r.rec.status = 1;
    for (const QString &part : setup.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString key = part.section(QLatin1Char('='), 0, 0);
        const QString val = part.section(QLatin1Char('='), 1);
        const int v = val.toInt(nullptr, 0);
        if (key == QLatin1String("opr")) {
            r.info.opr_stat = v;
            r.rec.status = quint8(v);
        } else if (key == QLatin1String("mode"))
            r.info.oprMode = v;
        else if (key == QLatin1String("flash"))
            r.info.flash = v;
        else if (key == QLatin1String("pa"))
            r.info.phaseA = v;
        else if (key == QLatin1String("pb"))
            r.info.phaseB = v;
        else if (key == QLatin1String("cc"))
            r.info.cycleCount = v;
        else if (key == QLatin1String("use"))
            r.info.is_use = v != 0;
        else if (key == QLatin1String("virt"))
            r.info.virtualLC_No = v;
        else if (key == QLatin1String("hold"))
            r.info.phaseHold = v;
        else if (key == QLatin1String("omit"))
            r.info.phaseOmit = v;
        else if (key == QLatin1String("lock1"))
            r.info.lockStatus1 = v;
        else if (key == QLatin1String("lock2"))
            r.info.lockStatus2 = v;
        else if (key == QLatin1String("conflict"))
            r.info.conflict = v;
        else if (key == QLatin1String("reason"))
            r.info.conflictReason = v;
        else if (key == QLatin1String("lsu"))
            r.info.conflictLsuNo = v;
        else if (key == QLatin1String("lamp"))
            r.info.lampType = v;
        else if (key == QLatin1String("plan"))
            r.info.planInfo = v;
        else if (key == QLatin1String("ppc"))
            r.info.PPCFlags = v;
        else if (key == QLatin1String("ppcmode"))
            r.info.ppcControlMode = quint8(v);
        else if (key == QLatin1String("ups"))
            r.info.UPSFlags = v;
        else if (key == QLatin1String("det"))
            r.info.detInfo[val.section(QLatin1Char(':'), 0, 0).toInt()] = quint8(val.section(QLatin1Char(':'), 1).toInt(nullptr, 0));
        else if (key == QLatin1String("split") || key == QLatin1String("lcsplit")) {
            quint8 *s = key == QLatin1String("split") ? r.rec.split : r.rec.lcSplit;
            for (const QString &p : val.split(QLatin1Char(',')))
                s[p.section(QLatin1Char(':'), 0, 0).toInt()] = quint8(p.section(QLatin1Char(':'), 1).toInt());
        } else if (key == QLatin1String("ring")) {
            const QStringList b = val.split(QLatin1Char(','));
            for (int k = 0; k < 4; ++k)
                r.rec.lcst[25 + k] = quint8(b.value(k).toInt(nullptr, 0));
        } else
            qWarning("unknown setup key %s", qPrintable(key));
    }
}

// A movement with four points and two angles.
void SetMovement(TSTT_LC_INFO &info, int planClass, int phase, int ring, int number, const QString &head = "90",
                 const QString &end = "180")
{
    TMovement &m = info.Movements[planClass][phase][ring];
    m.mvmt_no = number;
    m.head_lat = QStringLiteral("37.51");
    m.head_lng = QStringLiteral("127.01");
    m.mid_lat = QStringLiteral("37.52");
    m.mid_lng = QStringLiteral("127.02");
    m.end_lat = QStringLiteral("37.53");
    m.end_lng = QStringLiteral("127.03");
    m.label_lat = QStringLiteral("37.54");
    m.label_lng = QStringLiteral("127.04");
    m.head_angle = head;
    m.end_angle = end;
}

} // namespace

class TstLcMonitorModel : public QObject
{
    Q_OBJECT
    QTemporaryDir FDir;

    // "#..." names read a grid or layout value of the model instead of a label.
    static QString Value(const TLcMonitorModel &m, const QString &name)
    {
        if (name == QLatin1String("#hold"))
            return QString::number(m.HoldColumn);
        if (name == QLatin1String("#ppcstate"))
            return QStringList{m.PpcControl, m.PpcState, m.PpcKind}.join(QLatin1Char('|'));
        if (name == QLatin1String("#ppcring")) {
            QString s;
            for (bool on : m.PpcRingOn)
                s += on ? QLatin1Char('1') : QLatin1Char('0');
            return s;
        }
        if (name == QLatin1String("#layout"))
            return QStringLiteral("%1|%2|%3").arg(m.MapGroupHeight).arg(m.RingGridVisible).arg(m.PhaseGridBottomMargin);
        if (name == QLatin1String("#lsu")) {
            QStringList l;
            for (const QString &c : m.RingCells)
                l << c;
            return l.join(QLatin1Char(','));
        }
        if (name == QLatin1String("#ups")) {
            if (!m.UpsInstalled)
                return QStringLiteral("none");
            QStringList l;
            for (const QString &c : m.UpsCells)
                l << c;
            return l.join(QLatin1Char('|'));
        }
        if (name == QLatin1String("#det")) {
            QStringList l;
            for (int k = 0; k < 32; ++k)
                if (m.Occupied[k] && m.ColourDetectors)
                    l << QString::number(k + 1);
            return l.join(QLatin1Char(','));
        }
        if (name.startsWith(QLatin1String("#ext"))) {
            const int row = name.mid(4).toInt();
            QStringList l;
            for (const QString &c : m.ExtCells[row])
                l << c;
            return l.join(QLatin1Char('|'));
        }
        return m.Labels.value(name).Text;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestConsole::LoadLanguage());
        QVERIFY(FDir.isValid());
        DM = new TDM(FDir.path(), QStringLiteral("signal-console"));
        DM->UpdateStrings();
    }
    void cleanupTestCase()
    {
        delete DM;
        DM = nullptr;
    }

    void statusDisplay_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<QString>("scriptHas");
        QTest::addColumn<QString>("scriptLacks");

        const QString white = QStringLiteral("#ffffff");
        // Communication loss: both mode labels read the comm-error text, the arrows go.
        QTest::newRow("comm loss 2004 state") << 1 << "" << "opr=0;mode=6" << "lc_status" << u("통신이상") << white
                                              << " MvmtLayer.clearLayers();" << "startBlink";
        QTest::newRow("comm loss 2010 mode") << 2 << "opr=1;hold=3" << "opr=0;mode=6" << "oprMode" << u("통신이상")
                                             << white << ("LC.setStyle({color:\"#" + StateHex(0) + "\"});")
                                             << "ovik-lc-counter-container\").css(\"display\", \"block\")";
        QTest::newRow("comm loss empties labels") << 2 << "opr=1;hold=3" << "opr=0;mode=6" << "phaseHold" << ""
                                                  << white << "MvmtLayer.clearLayers();" << "";
        QTest::newRow("comm loss not in use") << 1 << "" << "opr=0;mode=6;use=0" << "lc_status" << u("통신이상")
                                              << white << "LC.setStyle({color:\"#ABCDEF\"});" << "";
        QTest::newRow("comm loss virtual") << 1 << "" << "opr=0;mode=6;use=0;virt=20" << "lc_status" << u("통신이상")
                                           << white << ("LC.setStyle({color:\"#" + StateHex(0) + "\"});") << "";
        // Flash: the marker blinks in its state colour with the off-line colour.
        QTest::newRow("flash start") << 1 << "" << "opr=5;flash=1" << "lc_status" << u("점멸") << "#ffcc33"
                                     << ("LC.startBlink(\"#" + StateHex(5) + "\")") << "LC.setStyle";
        QTest::newRow("flash blink colour") << 1 << "" << "opr=5;flash=1" << "flash" << u("점멸") << "#ffcc33"
                                            << ("LC.options.blinkColor = \"#" + StateHex(2) + "\"")
                                            << "L.simpleMovement";
        QTest::newRow("flash hides arrows") << 2 << "" << "opr=5;flash=1" << "lc_status" << u("점멸") << "#ffcc33"
                                            << "if (map.hasLayer(MvmtLayer)) { map.removeLayer(MvmtLayer); }" << "";
        QTest::newRow("flash end") << 1 << "opr=5;flash=1" << "opr=1" << "flash" << u("정상") << white
                                   << ("LC.stopBlink(); } LC.setStyle({color:\"#" + StateHex(1) + "\"});") << "startBlink";
        QTest::newRow("steady colour sent once") << 1 << "opr=1" << "opr=1" << "lc_status" << u("센터모드") << white
                                                 << "LC.stopBlink(); }" << "LC.setStyle";
        // Countdown of ring A's current phase.
        QTest::newRow("countdown split") << 1 << "" << "opr=1;pa=2;cc=60;split=0:20,1:30,2:25;lcsplit=2:99"
                                         << "phaseAB" << "3/1" << "" << "{\"max\": 25}).val(15)" << "";
        QTest::newRow("countdown lcSplit local") << 1 << "" << "opr=2;pa=1;cc=50;lcsplit=0:40,1:35;split=0:10,1:10"
                                                 << "lc_status" << u("로컬모드") << white << "{\"max\": 35}).val(25)" << "";
        QTest::newRow("countdown lcSplit hold") << 2 << "" << "opr=10;pa=0;cc=5;lcsplit=0:15;split=0:99"
                                                << "lc_status" << u("현시유지") << "#bfbfbf" << "{\"max\": 15}).val(10)" << "";
        QTest::newRow("countdown over") << 1 << "" << "opr=4;pa=0;cc=30;split=0:20" << "lc_status" << u("전이")
                                        << white << "{\"max\": 20}).val(0)" << "";
        QTest::newRow("no countdown manual") << 1 << "" << "opr=7" << "lc_status" << u("수동진행") << "#33ccff"
                                             << "$(\"#ovik-lc-counter-container\").css(\"display\", \"none\");"
                                             << "\"max\": 0}).val(0)";
        // Marker colours of special states.
        QTest::newRow("state 9 lights-off colour") << 1 << "" << "opr=9" << "lc_status" << u("수동소등") << "#ffcc33"
                                                   << ("LC.setStyle({color:\"#" + StateHex(6) + "\"});") << "";
        QTest::newRow("state above 12 black") << 1 << "" << "opr=13" << "lc_status" << "" << white
                                              << "LC.setStyle({color:\"#000000\"});" << "";
        QTest::newRow("semi-actuated PPC colour") << 1 << "" << "opr=1;mode=3" << "oprMode" << u("반감응모드") << white
                                                  << ("LC.setStyle({color:\"#" + StateHex(12) + "\"});") << "";
        QTest::newRow("not in use") << 1 << "" << "opr=1;use=0" << "lc_status" << u("센터모드") << white
                                    << "LC.setStyle({color:\"#ABCDEF\"});" << "";
        QTest::newRow("control mode 0 amber") << 1 << "" << "opr=1;mode=0" << "oprMode" << u("SCU 고정제어모드") << "#ffcc33"
                                              << "" << "";
        // Hold and omit phases.
        QTest::newRow("hold 4 label") << 1 << "" << "opr=10;hold=4" << "phaseHold" << "4" << "#ffcc33" << "" << "";
        QTest::newRow("hold 4 frames column 4") << 1 << "" << "opr=10;hold=4" << "#hold" << "4" << "" << "" << "";
        QTest::newRow("hold 0 empty") << 1 << "" << "opr=1;hold=0" << "phaseHold" << "" << white << "" << "";
        QTest::newRow("omit 2") << 2 << "" << "opr=1;omit=2" << "phaseOmit" << "2" << "#ffcc33" << "" << "";
        // Locks of the 2010 type.
        QTest::newRow("lock not installed") << 2 << "" << "opr=1;lock1=0;lock2=1" << "lblLockStatus" << u("미설치")
                                            << white << "" << "";
        QTest::newRow("lock locked") << 2 << "" << "opr=1;lock1=1;lock2=0" << "lblLockStatus" << u("설치(잠김)")
                                     << white << "" << "";
        QTest::newRow("lock released") << 2 << "" << "opr=1;lock1=1;lock2=1" << "lblLockStatus" << u("설치(풀림)")
                                       << "#ffcc33" << "" << "";
        // Conflict details.
        QTest::newRow("conflict SCU") << 2 << "" << "opr=3;conflict=1;reason=1;lsu=2" << "conflictLsuNo" << "SCU"
                                      << "" << "" << "";
        QTest::newRow("conflict LSU 2010") << 2 << "" << "opr=3;conflict=1;reason=0;lsu=2" << "conflictLsuNo"
                                           << "LSU 3" << "" << "" << "";
        QTest::newRow("conflict 2004") << 1 << "" << "opr=3;conflict=1;lsu=4" << "conflictLsuNo" << "5" << "" << ""
                                       << "";
        QTest::newRow("no conflict") << 2 << "opr=3;conflict=1;reason=1" << "opr=1;conflict=0" << "conflictLsuNo" << ""
                                     << "" << "" << "";
        // PPC, UPS, extension and detector grids.
        QTest::newRow("ppc in service") << 2 << "" << "opr=12;ppc=0xA0;ppcmode=1" << "lc_status" << u("PPC 제어중")
                                        << white << "$(\"#ovik-ppc\").center().css(\"display\", \"block\");" << "";
        QTest::newRow("ppc state cells") << 2 << "" << "opr=12;ppc=0xE0;ppcmode=1" << "#ppcstate"
                                         << u("가능|In Service|BUS") << "" << "" << "";
        QTest::newRow("ppc ring cells") << 2 << "" << "opr=12;ppc=0xA5" << "#ppcring" << "100101" << "" << "" << "";
        QTest::newRow("ppc layout in service") << 2 << "" << "opr=12;ppc=0x80" << "#layout" << "150|1|1" << "" << ""
                                               << "";
        QTest::newRow("ppc lsu ring view") << 2 << "" << "opr=12;ppc=0x80;ring=0x1B,0x00,0xC0,0x03" << "#lsu"
                                           << "00,01,02,03,00,00,00,00,03,00,00,00,00,00,00,03" << "" << "" << "";
        QTest::newRow("ppc standby") << 2 << "opr=12;ppc=0x80" << "opr=12;ppc=0x00;ppcmode=0" << "#layout"
                                     << "210|0|5" << "" << "$(\"#ovik-ppc\").css(\"display\", \"none\"); clearInterval(ppc);"
                                     << "";
        QTest::newRow("ppc standby text") << 2 << "" << "opr=12;ppc=0x40" << "#ppcstate" << u("불가능|Standby|BUS")
                                          << "" << "" << "";
        QTest::newRow("ups not installed") << 2 << "" << "opr=1;ups=0" << "#ups" << "none" << "" << "" << "";
        QTest::newRow("ups flags") << 2 << "" << "opr=1;ups=0xE4" << "#ups" << u("정상|상용전원|교체|없음|없음") << ""
                                   << "" << "";
        QTest::newRow("ups error") << 2 << "" << "opr=1;ups=0x18" << "#ups" << u("이상|비상전원|없음|정상|정상") << ""
                                   << "" << "";
        QTest::newRow("detector 10") << 1 << "" << "opr=1;det=1:0x02" << "#det" << "10" << "" << "" << "";
        QTest::newRow("detectors 1 and 32") << 1 << "" << "opr=1;det=0:0x01;det=3:0x80" << "#det" << "1,32" << ""
                                            << "" << "";
        QTest::newRow("no detector colours 2010") << 2 << "" << "opr=1;det=1:0x02" << "#det" << "" << "" << "" << "";
    }

    void statusDisplay()
    {
        QFETCH(int, type);
        QFETCH(QString, previous);
        QFETCH(QString, setup);
        QFETCH(QString, label);
        QFETCH(QString, text);
        QFETCH(QString, colour);
        QFETCH(QString, scriptHas);
        QFETCH(QString, scriptLacks);

        TRecordingPage page;
        TLcMonitorModel m;
        m.Legend = TestLegend();
        m.Page = &page;
        if (!previous.isEmpty()) {
            TRecords p;
            Apply(p, type, previous);
            m.Refresh({&p.info, &p.rec, QDateTime(), p.info.is_use});
            page.Scripts.clear();
        }
        TRecords r;
        Apply(r, type, setup);
        m.Refresh({&r.info, &r.rec, QDateTime(QDate(2026, 12, 11), QTime(9, 8, 7)), r.info.is_use || r.info.virtualLC_No > 0});
        QCOMPARE(Value(m, label), text);
        if (!colour.isEmpty())
            QCOMPARE(m.Labels.value(label).Color.name(), colour);
        QCOMPARE(m.Labels.value(QStringLiteral("lblOpTime")).Text, QStringLiteral("09:08:07"));
        const QString all = page.All();
        if (!scriptHas.isEmpty())
            QVERIFY2(all.contains(scriptHas), qPrintable(all));
        if (!scriptLacks.isEmpty())
            QVERIFY2(!all.contains(scriptLacks), qPrintable(all));
    }

    void statusColourTable_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("colour");
        QTest::newRow("state 0") << 0 << 0 << "#ff8caa";
        QTest::newRow("state 3") << 0 << 3 << "#ff8caa";
        QTest::newRow("state 8") << 0 << 8 << "#ffcc33";
        QTest::newRow("state 7") << 0 << 7 << "#33ccff";
        QTest::newRow("state 10") << 0 << 10 << "#bfbfbf";
        QTest::newRow("state 12") << 0 << 12 << "#ffffff";
        QTest::newRow("power fail") << 1 << 1 << "#ff8caa";
        QTest::newRow("lights out off") << 9 << 0 << "#ffffff";
        QTest::newRow("spill-back mode 0") << 17 << 0 << "#ffcc33";
        QTest::newRow("police flash") << 6 << 1 << "#33ccff";
        QTest::newRow("apply status") << 21 << 1 << "#ffcc33";
        QTest::newRow("plan class 2") << 12 << 2 << "#ffcc33";
        QTest::newRow("low byte only") << 14 << 0x100 << "#ffffff";
        QTest::newRow("db error code") << 18 << 5 << "#ffcc33";
        QTest::newRow("unknown item") << 22 << 1 << "#ffffff";
    }
    void statusColourTable()
    {
        QFETCH(int, item);
        QFETCH(int, value);
        QFETCH(QString, colour);
        QCOMPARE(LcMonitorStatusColor(item, value).name(), colour);
    }

    void movementTexts()
    {
        QCOMPARE(MvmtNumberText(1), u("①"));
        QCOMPARE(MvmtNumberText(15), u("⑮"));
        QCOMPARE(MvmtNumberText(16), QStringLiteral("16"));
        QCOMPARE(MvmtNumberText(18), QStringLiteral("18"));
        QCOMPARE(MvmtNumberText(19), QString());
        QCOMPARE(MvmtNumberText(0), QString());
        QCOMPARE(MvmtVarName(QStringLiteral("mvmt021")), QStringLiteral("mvmt1"));
        QCOMPARE(MvmtVarName(QStringLiteral("mvmt572")), QStringLiteral("mvmt2"));
    }

    // Arrows over scripted cycles: re-sent only when a ring's phase or plan class changes.
    void arrowsOverCycles()
    {
        TRecordingPage page;
        TLcMonitorModel m;
        m.Legend = TestLegend();
        m.Page = &page;
        TRecords r;
        Apply(r, 2, QStringLiteral("opr=1;pa=2;pb=6;plan=0"));
        SetMovement(r.info, 0, 2, 0, 3);
        SetMovement(r.info, 0, 3, 0, 4, QStringLiteral("45"), QStringLiteral("270"));
        SetMovement(r.info, 0, 6, 1, 8);
        SetMovement(r.info, 0, 4, 0, 5, QStringLiteral("abc"), QStringLiteral("10"));
        SetMovement(r.info, 0, 5, 1, 6);
        r.info.Movements[0][5][1].label_lng = QStringLiteral("127.0;alert(1)");
        m.Reset(r.info.Movements);
        auto cycle = [&]() {
            page.Scripts.clear();
            m.Refresh({&r.info, &r.rec, QDateTime(), true});
            return page.All();
        };

        QString s = cycle();
        QVERIFY2(s.contains(QStringLiteral(
                     " if (typeof mvmt1 === \"undefined\") {    var mvmt1   = L.simpleMovement([L.latLng(37.51,127.01),"
                     "   L.latLng(37.52,127.02),   L.latLng(37.53,127.03),   L.latLng(37.54,127.04)],"
                     "   { color:\"#00FF00\",     label: true,"
                     "     text : { text: L.Mvmt.circleNum[2], attr: {visibility:\"visible\"}}, "
                     "     headAngle: 90, endAngle: 180 })} ")),
                 qPrintable(s));
        QVERIFY2(s.contains(QStringLiteral("mvmt1.setLatlngs([   L.latLng(37.51,127.01),   L.latLng(37.52,127.02),"
                                           "   L.latLng(37.53,127.03),   L.latLng(37.54,127.04)],2, \"#00FF00\", 90,180); }")),
                 qPrintable(s));
        QVERIFY(s.contains(QStringLiteral("L.Mvmt.circleNum[7]")));
        QVERIFY(s.contains(QStringLiteral(" if (!MvmtLayer.hasLayer(mvmt2)) { MvmtLayer.addLayer(mvmt2); }")));
        QCOMPARE(m.TmpPhaseAMvmt(), QStringLiteral("mvmt021"));
        QCOMPARE(m.TmpPhaseBMvmt(), QStringLiteral("mvmt062"));

        // The same phases: nothing is sent again.
        s = cycle();
        QVERIFY(!s.contains(QStringLiteral("simpleMovement")));
        QVERIFY(!s.contains(QStringLiteral("setLatlngs")));
        QVERIFY(s.contains(QStringLiteral("if (!map.hasLayer(MvmtLayer))")));

        // Ring A moves to phase 4: only ring A's arrow.
        r.info.phaseA = 3;
        s = cycle();
        QVERIFY(s.contains(QStringLiteral("mvmt1.setLatlngs(")));
        QVERIFY(s.contains(QStringLiteral("headAngle: 45, endAngle: 270")));
        QVERIFY(!s.contains(QStringLiteral("mvmt2.setLatlngs(")));

        // A switch of intersection: both arrows again.
        m.Reset(r.info.Movements);
        s = cycle();
        QVERIFY(s.contains(QStringLiteral("mvmt1.setLatlngs(")));
        QVERIFY(s.contains(QStringLiteral("mvmt2.setLatlngs(")));

        // ClearMvmt: both again.
        m.ClearMvmt();
        s = cycle();
        QVERIFY(s.contains(QStringLiteral("mvmt1.setLatlngs(")) && s.contains(QStringLiteral("mvmt2.setLatlngs(")));

        // A non-numeric angle: no arrow for ring A (the earlier one is taken away); the
        // rest of the script still runs.
        r.info.phaseA = 4;
        r.info.cycleCount = 1;
        s = cycle();
        QVERIFY2(!s.contains(QStringLiteral("mvmt1.setLatlngs(")), qPrintable(s));
        QVERIFY(!s.contains(QStringLiteral("abc")));
        QVERIFY(s.contains(QStringLiteral(" MvmtLayer.removeLayer(mvmt1);")));
        QVERIFY(s.contains(QStringLiteral("ovik-lc-counter-container\").css(\"display\", \"block\")")));
        QCOMPARE(m.TmpPhaseAMvmt(), QString());

        // A point text that is not a number: no arrow for ring B.
        r.info.phaseB = 5;
        s = cycle();
        QVERIFY(!s.contains(QStringLiteral("alert")));
        QVERIFY(s.contains(QStringLiteral(" MvmtLayer.removeLayer(mvmt2);")));

        // Back to valid phases, then a phase without movement removes the ring's arrow.
        r.info.phaseA = 2;
        r.info.phaseB = 6;
        cycle();
        r.info.phaseA = 7;
        s = cycle();
        QVERIFY(s.contains(QStringLiteral(" MvmtLayer.removeLayer(mvmt1);")));
        QVERIFY(!s.contains(QStringLiteral("removeLayer(mvmt2)")));

        // planInfo 7 lies outside the block: no arrow and no movement cell.
        r.info.phaseA = 2;
        r.info.planInfo = 7;
        m.Reset(r.info.Movements);
        s = cycle();
        QVERIFY(!s.contains(QStringLiteral("simpleMovement")));
        QVERIFY(!s.contains(QStringLiteral("setLatlngs")));
        for (int j = 0; j < 8; ++j) {
            QCOMPARE(m.PhaseCells[0][j], QString());
            QCOMPARE(m.PhaseCells[6][j], QString());
            QCOMPARE(m.Pictures[0][j].Number, 0);
        }

        // While the page loads nothing is sent.
        r.info.planInfo = 0;
        page.Loading = true;
        s = cycle();
        QVERIFY(s.isEmpty());
    }

    void phaseGrid()
    {
        TLcMonitorModel m;
        TRecords r;
        Apply(r, 2, QStringLiteral("opr=1;pa=2;pb=6;plan=1;split=2:30,14:41;lcsplit=2:31;hold=4"));
        r.rec.planSplit[2] = 33;
        SetMovement(r.info, 1, 2, 0, 3);
        SetMovement(r.info, 1, 6, 1, 16);
        SetMovement(r.info, 1, 0, 1, 17, QStringLiteral("x"), QStringLiteral("45"));
        m.Reset(r.info.Movements);
        m.Refresh({&r.info, &r.rec, QDateTime(), true});
        QCOMPARE(m.PhaseCells[0][2], u("③"));
        QCOMPARE(m.PhaseCells[1][6], QStringLiteral("16"));
        QCOMPARE(m.PhaseCells[1][0], QStringLiteral("17"));
        QCOMPARE(m.PhaseCells[4][2], QStringLiteral("31"));
        QCOMPARE(m.PhaseCells[6][2], QStringLiteral("30"));
        QCOMPARE(m.PhaseCells[8][2], QStringLiteral("33"));
        QCOMPARE(m.PhaseCells[7][6], QStringLiteral("41"));
        // A phase without movement has empty split cells in its ring.
        QCOMPARE(m.PhaseCells[6][3], QString());
        QCOMPARE(m.PhaseCells[0][3], QString());
        QCOMPARE(m.CurrentPhase[0], 3);
        QCOMPARE(m.CurrentPhase[1], 7);
        QCOMPARE(m.HoldColumn, 4);
        // Pictures: angles as numbers, 0 when not numeric.
        QCOMPARE(m.Pictures[0][2].Number, 3);
        QCOMPARE(m.Pictures[0][2].Head, 90.0);
        QCOMPARE(m.Pictures[1][0].Head, 0.0);
        QCOMPARE(m.Pictures[1][0].End, 45.0);
    }

    void extensionGrid()
    {
        TLcMonitorModel m;
        TRecords r;
        Apply(r, 2, QStringLiteral("opr=1"));
        r.info.pedLightFlags = 0x81;
        r.info.pushBtnFlags = 0x02;
        r.info.pedTroubleFlags = 0x100; // only the low byte counts
        r.info.optionBdFlags = 0xC0;    // bit 7 is not a board
        m.Refresh({&r.info, &r.rec, QDateTime(), true});
        QCOMPARE(Value(m, "#ext0"), u("녹색|적색|적색|적색|적색|적색|적색|녹색"));
        QCOMPARE(Value(m, "#ext1"), u("콜없음|콜있음|콜없음|콜없음|콜없음|콜없음|콜없음|콜없음"));
        QCOMPARE(Value(m, "#ext2"), u("정상|정상|정상|정상|정상|정상|정상|정상"));
        QCOMPARE(Value(m, "#ext3"), QStringLiteral("1|2|3|4|5|6|7|"));
        QCOMPARE(Value(m, "#ext4"), u("정상|정상|정상|정상|정상|정상|이상|"));
        // Communication loss empties the flag rows, not the board numbers.
        Apply(r, 2, QStringLiteral("opr=0;mode=6"));
        m.Refresh({&r.info, &r.rec, QDateTime(), true});
        QCOMPARE(Value(m, "#ext0"), QStringLiteral("|||||||"));
        QCOMPARE(Value(m, "#ext3"), QStringLiteral("1|2|3|4|5|6|7|"));
        QCOMPARE(Value(m, "#ups"), QStringLiteral("none"));
    }

    // The firmware size is looked up once per module change; total = FW_SIZE div 240.
    void firmwareProgress()
    {
        TLcMonitorModel m;
        QStringList asked;
        m.FirmwareSize = [&asked](const QString &id, bool *) -> std::optional<qint64> {
            asked << id;
            if (id == QLatin1String("258"))
                return 24239;
            return std::nullopt;
        };
        TRecords r;
        Apply(r, 2, QStringLiteral("opr=1"));
        const uchar id[2] = {0x01, 0x02}, id2[2] = {0x01, 0x03}, done[2] = {0x00, 0x07};
        std::memcpy(&r.info.fwModuleID, id, 2);
        std::memcpy(&r.info.fwModuleDgIdx, done, 2);
        for (int k = 0; k < 3; ++k)
            m.Refresh({&r.info, &r.rec, QDateTime(), true});
        QCOMPARE(asked, QStringList{QStringLiteral("258")});
        QCOMPARE(m.Labels.value("lblFwModuleID").Text, QStringLiteral("258"));
        QCOMPARE(m.FwTotal, 100);
        QCOMPARE(m.FwDone, 7);
        std::memcpy(&r.info.fwModuleID, id2, 2);
        m.Refresh({&r.info, &r.rec, QDateTime(), true});
        m.Refresh({&r.info, &r.rec, QDateTime(), true});
        QCOMPARE(asked, (QStringList{QStringLiteral("258"), QStringLiteral("259")}));
        QCOMPARE(m.FwTotal, 0);
        // No module: no lookup, empty label.
        r.info.fwModuleID = 0;
        m.Refresh({&r.info, &r.rec, QDateTime(), true});
        QCOMPARE(asked.size(), 2);
        QCOMPARE(m.Labels.value("lblFwModuleID").Text, QString());
    }

    void pageSetUp()
    {
        TLcMonitorLegend l = TestLegend();
        l.ShapeIndex[1] = 3;
        l.Size[1] = 12;
        TLcMonitorPageConfig c;
        c.MaxZoom = 19;
        c.TileUrl = QStringLiteral("http://tiles/{z}/{x}/{y}.png");
        TSTT_LC_INFO info;
        info.tcdv_type = 1;
        info.cx = QStringLiteral("37.5");
        info.cy = QStringLiteral("127.03");
        const QString s = LcMonitorInitScript(c, l, info);
        QVERIFY2(s.startsWith(QStringLiteral(" initialize(37.5, 127.03, 17, \"http://tiles/{z}/{x}/{y}.png\", \"OSM\"); ")),
                 qPrintable(s));
        QVERIFY(s.contains(QStringLiteral(" LCoptions.radius = 12; ")));
        QVERIFY(s.contains(QStringLiteral(" LCoptions.numberOfSides=5; ")));
        QVERIFY(s.contains(" LCoptions.blinkColor = \"#" + StateHex(2) + "\"; "));
        QVERIFY(s.contains(QStringLiteral(" var LC = new L.lcMarker(new L.LatLng(37.5,127.03), LCoptions); ")));
        QVERIFY(s.endsWith(QStringLiteral(" window.loadEnd(); ")));
        QVERIFY(!s.contains(QStringLiteral("baseUrl")));
        info.virtualLC_No = 16; // the virtual class: first shape item, a circle
        QVERIFY(LcMonitorInitScript(c, l, info).contains(QStringLiteral(" LCoptions.numberOfSides=35; ")));
        // Without a position, or with one that is no number, nothing is set up.
        info.cx = QString();
        QCOMPARE(LcMonitorInitScript(c, l, info), QString());
        info.cx = QStringLiteral("37.5\"); alert(1); (\"");
        QCOMPARE(LcMonitorInitScript(c, l, info), QString());
    }

    void ppcSignOnlyOnChange()
    {
        TRecordingPage page;
        TLcMonitorModel m;
        m.Page = &page;
        m.SetPPCMode(false);
        QVERIFY(page.Scripts.isEmpty());
        page.Loading = true;
        m.SetPPCMode(true);
        QVERIFY(page.Scripts.isEmpty());
        QVERIFY(!m.PPCMode());
        page.Loading = false;
        m.SetPPCMode(true);
        m.SetPPCMode(true);
        QCOMPARE(page.Scripts.size(), 1);
        QVERIFY(page.Scripts[0].contains(QStringLiteral("fadeOut(\"slow\").fadeIn(\"slow\");  }, 2000);")));
    }

    void commentsAsText_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("text");
        // As the old console wrote it: CP949 escapes (가 = B0A1, 나 = B3AA).
        QTest::newRow("rtf cp949") << QByteArray("{\\rtf1\\ansi\\ansicpg949\\deff0{\\fonttbl{\\f0\\fnil\\fcharset129 "
                                                 "\\'b1\\'bc\\'b8\\'b2;}}\r\n{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
                                                 "\\viewkind4\\uc1\\pard\\lang1042\\f0\\fs18\\'b0\\'a1\\'b3\\'aa AB\\par\r\n"
                                                 "2\\'b9\\'f8 \\{x\\}\\par\r\n}\r\n")
                                  << u("가나 AB\n2번 {x}");
        QTest::newRow("rtf unicode") << QByteArray("{\\rtf1\\uc1 \\u-21504?\\u45208?\\tab z}") << u("가나\tz");
        QTest::newRow("plain utf8") << QByteArray("메모 one") << u("메모 one");
        QTest::newRow("plain cp949") << QByteArray("\xb0\xa1 x") << u("가 x");
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void commentsAsText()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, text);
        QCOMPARE(CommentsToPlainText(stored), text);
    }

    void commentsRoundTrip()
    {
        const QString text = u("첫 줄 {괄호} \\ 끝\n둘째\t줄 ✓");
        const QByteArray rtf = PlainTextToComments(text);
        for (char c : rtf)
            QVERIFY(uchar(c) < 0x80);
        QVERIFY(rtf.startsWith("{\\rtf1"));
        QCOMPARE(CommentsToPlainText(rtf), text);
        QVERIFY(rtf.contains("\\u-21504?") == false); // 가 is not in the text
        QVERIFY(PlainTextToComments(u("가")).contains("\\u-21504?"));
    }

    // Folding the detail panel: design window 1223 wide, panel 651 with a 20-wide bar,
    // so the folded window is 1223 + 20 - 651 + 1 = 593 wide.
    void detailPanelGeometry_data()
    {
        QTest::addColumn<bool>("folded");
        QTest::addColumn<int>("lcType");
        QTest::addColumn<int>("restored");
        QTest::addColumn<int>("panel");
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("expand"); // -1 left as it is, 0 hidden, 1 shown
        QTest::newRow("folded 2004") << true << 1 << 440 << 21 << 593 << -1;
        QTest::newRow("folded 2010") << true << 2 << 647 << 21 << 593 << -1;
        QTest::newRow("unfolded type 0") << false << 0 << 651 << 440 << 1012 << 0;
        QTest::newRow("unfolded 2004") << false << 1 << 651 << 440 << 1012 << 0;
        QTest::newRow("unfolded 2010") << false << 2 << 440 << 647 << 1219 << 1;
        QTest::newRow("unfolded other type") << false << 3 << 500 << 500 << 1072 << -1;
    }
    void detailPanelGeometry()
    {
        QFETCH(bool, folded);
        QFETCH(int, lcType);
        QFETCH(int, restored);
        QFETCH(int, panel);
        QFETCH(int, window);
        QFETCH(int, expand);
        QCOMPARE(LcMonitorMainPanelWidth(), 593);
        const TLcDetailGeometry g = LcMonitorDetailGeometry(folded, lcType, 593, restored);
        QCOMPARE(g.PanelWidth, panel);
        QCOMPARE(g.WindowWidth, window);
        QCOMPARE(g.ExpandInfoVisible.has_value() ? int(*g.ExpandInfoVisible) : -1, expand);
    }

    // Addresses in the memo: found where they stand, closing punctuation left out.
    void memoUrls_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("url");
        QTest::newRow("http") << "see http://a.kr/c?d=1 now" << 10 << "http://a.kr/c?d=1";
        QTest::newRow("first char") << "see http://a.kr/c?d=1 now" << 4 << "http://a.kr/c?d=1";
        QTest::newRow("last char") << "see http://a.kr/c?d=1 now" << 20 << "http://a.kr/c?d=1";
        QTest::newRow("after it") << "see http://a.kr/c?d=1 now" << 22 << "";
        QTest::newRow("www gets http") << "go www.example.kr." << 5 << "http://www.example.kr";
        QTest::newRow("full stop not clicked") << "go www.example.kr." << 17 << "";
        QTest::newRow("in brackets") << "(https://x.kr/z)" << 3 << "https://x.kr/z";
        QTest::newRow("mail") << "mailto:op@city.kr" << 0 << "mailto:op@city.kr";
        QTest::newRow("korean around") << u("메모 ftp://f.kr/a 끝") << 5 << "ftp://f.kr/a";
        QTest::newRow("no address") << "plain text only" << 3 << "";
        QTest::newRow("inside a word") << "xwww.a.kr" << 3 << "";
        QTest::newRow("scheme alone") << "http:// alone" << 2 << "";
    }
    void memoUrls()
    {
        QFETCH(QString, text);
        QFETCH(int, pos);
        QFETCH(QString, url);
        QCOMPARE(LcMemoUrlAt(text, pos), url);
    }

    void memoUrlsListed()
    {
        const QList<TLcMemoUrl> urls = LcMemoUrls(QStringLiteral("a http://x.kr b www.y.kr"));
        QCOMPARE(urls.size(), 2);
        QCOMPARE(urls[0].Start, 2);
        QCOMPARE(urls[0].Length, 11);
        QCOMPARE(urls[1].Start, 16);
        QCOMPARE(urls[1].Url, QStringLiteral("http://www.y.kr"));
    }
};

QTEST_MAIN(TstLcMonitorModel)
#include "tst_lcmonitor_model.moc"
