#include "control/LcMonitorModel.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QVariant>

#include <cctype>

#include "core/MainContracts.h"
#include "core/siLang.h"
#include "core/untCodeToText.h"
#include "foundation/Cp949.h"
#include "foundation/JsEscape.h"
#include "foundation/QuorvalBase.h"
#include "foundation/QuorvalSql.h"

namespace {

const QString kTable = QStringLiteral("TfrmTCDV_M");

QString Hex(const QColor &c) { return TColorToHex(c); }

// A stored number text as it may enter a page script, or empty when it is not one.
QString NumOrEmpty(const QString &text) { return JsNumText(text.trimmed(), QString()); }

int LowByte(int v) { return v & 0xFF; }
bool Bit(int v, int bit) { return ((v >> bit) & 1) != 0; }

} // namespace

// ---------------------------------------------------------------------------
// Legend and page set-up
// ---------------------------------------------------------------------------

int TLcMonitorLegend::MarkerClass(const TSTT_LC_INFO &info)
{
    if (info.virtualLC_No >= 1)
        return 4;
    return qBound(0, info.tcdv_type, 3);
}

int TLcMonitorLegend::Corners(int markerClass) const
{
    const int item = ShapeIndex[qBound(0, markerClass, 4)];
    return item == 0 ? 35 : item + 2;
}

int TLcMonitorLegend::Radius(int markerClass) const { return Size[qBound(0, markerClass, 4)]; }

QString LcMonitorInitScript(const TLcMonitorPageConfig &config, const TLcMonitorLegend &legend,
                            const TSTT_LC_INFO &info)
{
    const QString lat = NumOrEmpty(info.cx.str());
    const QString lng = NumOrEmpty(info.cy.str());
    if (lat.isEmpty() || lng.isEmpty())
        return QString();
    const int cls = TLcMonitorLegend::MarkerClass(info);
    QString s;
    s += QStringLiteral(" initialize(%1, %2, %3, %4, %5); ")
             .arg(lat, lng, JsNum(config.MaxZoom - 2), JsStr(config.TileUrl), JsStr(config.MapName));
    s += QStringLiteral(" $s = $(\".knob\"); ");
    s += QStringLiteral(" $s.trigger(\"configure\", {\"max\": 0}).val(0).trigger(\"change\"); ");
    s += QStringLiteral(" var LCoptions= {}; ");
    s += QStringLiteral(" LCoptions.radius = %1; ").arg(legend.Radius(cls));
    s += QStringLiteral(" LCoptions.numberOfSides=%1; ").arg(legend.Corners(cls));
    s += QStringLiteral(" LCoptions.blinkColor = \"#%1\"; ").arg(Hex(legend.Status.State[2]));
    s += QStringLiteral(" var LC = new L.lcMarker(new L.LatLng(%1,%2), LCoptions); ").arg(lat, lng);
    s += QStringLiteral(" map.addLayer(LC); ");
    s += QStringLiteral(" var MvmtLayer = new L.FeatureGroup(); ");
    s += QStringLiteral(" map.addLayer(MvmtLayer); ");
    if (config.AppServer) {
        s += QStringLiteral(" var baseUrl = \"http://127.0.0.1:%1/datasnap/rest/TServerMethods/\"; ").arg(config.AppPort);
        s += QStringLiteral(" tfdtLayer = L.featureGroup().addTo(map).bringToBack(); ");
        s += QStringLiteral(" function getAxSpecialLayer() { ");
        if (config.TfdtVisible)
            s += QStringLiteral(
                "   var b = map.getBounds();"
                "   $.ajax({ url: baseUrl + \"Tfdt/\" + b.toBBoxString(), type: \"GET\", dataType: \"json\","
                "     success: function (data) {"
                "       if (typeof data === \"undefined\") { data = { type: \"FeatureCollection\", features: [] }; }"
                "       tfdtLayer.clearLayers();"
                "       L.geoJson(data, {"
                "         style: function (f) { return { color: f.properties.BORDER, fillColor: f.properties.DS,"
                "                                        weight: 2, fillOpacity: 0.8 }; },"
                "         pointToLayer: function (f, ll) { return L.circleMarker(ll, { radius: 2 }); }"
                "       }).addTo(tfdtLayer);"
                "     } });");
        s += QStringLiteral(" } ");
        s += QStringLiteral(" var tfdtWait = setInterval(function () {"
                            "   if (typeof linkLayer !== \"undefined\") {"
                            "     clearInterval(tfdtWait); getAxSpecialLayer();"
                            "     setInterval(getAxSpecialLayer, 60 * 1000); } }, 1000); ");
    }
    s += QStringLiteral(" window.loadEnd(); ");
    return s;
}

// ---------------------------------------------------------------------------
// Colours and texts
// ---------------------------------------------------------------------------

QColor LcMonitorStatusColor(int item, int value)
{
    static const QColor pink(0xFF, 0x8C, 0xAA), amber(0xFF, 0xCC, 0x33), blue(0x33, 0xCC, 0xFF),
        grey(0xBF, 0xBF, 0xBF);
    const int v = LowByte(value);
    switch (item) {
    case 0:
        if (v == 0 || v == 3)
            return pink;
        if (v == 5 || v == 6 || v == 8 || v == 9)
            return amber;
        if (v == 7)
            return blue;
        if (v == 10)
            return grey;
        return Qt::white;
    case 1: case 2: case 8: case 9:
        return v == 1 ? pink : QColor(Qt::white);
    case 3: case 17:
        return v == 0 ? amber : QColor(Qt::white);
    case 4: case 5: case 6: case 7:
        return v == 1 ? blue : QColor(Qt::white);
    case 10: case 11: case 13: case 16: case 19: case 20: case 21:
        return v == 1 ? amber : QColor(Qt::white);
    case 12: case 14: case 15: case 18:
        return v != 0 ? amber : QColor(Qt::white);
    default:
        return Qt::white;
    }
}

QString MvmtNumberText(int number)
{
    if (number >= 1 && number <= 15)
        return QString(QChar(0x2460 + number - 1));
    if (number >= 16 && number <= 18)
        return QString::number(number);
    return QString();
}

QString MvmtVarName(const QString &key) { return key.left(4) + key.mid(6, 1); }

const QStringList &TLcMonitorModel::LabelNames()
{
    static const QStringList names = {
        QStringLiteral("lblOpTime"), QStringLiteral("lc_status"), QStringLiteral("oprMode"),
        QStringLiteral("dualRing"), QStringLiteral("turnLeft"), QStringLiteral("transCount"),
        QStringLiteral("previousCycle"), QStringLiteral("currentCycle"), QStringLiteral("offset"),
        QStringLiteral("manEnable"), QStringLiteral("conflictEnable"), QStringLiteral("doorOpen"),
        QStringLiteral("cycleCount"), QStringLiteral("dbError"), QStringLiteral("powerFail"),
        QStringLiteral("phaseAB"), QStringLiteral("stepAB"), QStringLiteral("phaseHold"),
        QStringLiteral("phaseOmit"), QStringLiteral("intGroup"), QStringLiteral("trcControl"),
        QStringLiteral("maxDS"), QStringLiteral("overSat"), QStringLiteral("reqCycle"),
        QStringLiteral("commFail"), QStringLiteral("policeIng"), QStringLiteral("policeMan"),
        QStringLiteral("policeFlash"), QStringLiteral("policeOff"), QStringLiteral("conflict"),
        QStringLiteral("flashCause"), QStringLiteral("conflictLsuNo"), QStringLiteral("conflictCircuit"),
        QStringLiteral("lightsOut"), QStringLiteral("flash"), QStringLiteral("spillback_perm"),
        QStringLiteral("spillback_ctrmode"), QStringLiteral("spillback_mainpahse_end"),
        QStringLiteral("spillback_subpahse_end"), QStringLiteral("lblLampType"),
        QStringLiteral("lblFwModuleID"), QStringLiteral("pgbFwModuleDgIdx"), QStringLiteral("lblDBErrorCode"),
        QStringLiteral("lblDbReadOnly"), QStringLiteral("lblLockStatus"), QStringLiteral("lblApplyStatus")};
    return names;
}

// ---------------------------------------------------------------------------
// The model
// ---------------------------------------------------------------------------

TLcMonitorModel::TLcMonitorModel()
{
    for (const QString &n : LabelNames())
        Labels.insert(n, TLcMonitorLabel());
    for (int k = 0; k < 7; ++k)
        ExtCells[3][k] = QString::number(k + 1);
    PpcState = QStringLiteral("Standby");
}

QString TLcMonitorModel::Tx(const QString &key) const
{
    return Text ? Text(key) : siText(kTable, key);
}

bool TLcMonitorModel::PageReady() const { return Page && Page->IsPageReady(); }

void TLcMonitorModel::Run(const QString &script)
{
    if (Page && !script.isEmpty())
        Page->ExecuteJavaScript(script);
}

void TLcMonitorModel::SetLabel(const QString &name, const QString &text) { Labels[name].Text = text; }

void TLcMonitorModel::SetColor(const QString &name, int item, int value)
{
    Labels[name].Color = LcMonitorStatusColor(item, value);
}

void TLcMonitorModel::Reset(const TMovementBlock &movements)
{
    FMovements = movements;
    // The new page starts without arrows: both rings are drawn again.
    FTmpMvmt[0].clear();
    FTmpMvmt[1].clear();
    FLCColor.clear();
    FFwText.clear();
    FFwKnown = false;
    FPPCMode = false;
    FwTotal = FwDone = 0;
    for (auto &row : PhaseCells)
        for (QString &c : row)
            c.clear();
    for (auto &ring : Pictures)
        for (TPicture &p : ring)
            p = TPicture();
    CurrentPhase[0] = CurrentPhase[1] = 0;
    HoldColumn = 0;
}

void TLcMonitorModel::ClearMvmt()
{
    if (!PageReady())
        return;
    FTmpMvmt[0].clear();
    FTmpMvmt[1].clear();
}

void TLcMonitorModel::SetPPCMode(bool on)
{
    if (!Page || Page->IsLoading() || on == FPPCMode)
        return;
    FPPCMode = on;
    if (on)
        Run(QStringLiteral(" $(\"#ovik-ppc\").center().css(\"display\", \"block\");  var ppc = setInterval(function() {"
                           "                  $(\"#ovik-ppc\").fadeOut(\"slow\").fadeIn(\"slow\");  }, 2000); "));
    else
        Run(QStringLiteral(" $(\"#ovik-ppc\").css(\"display\", \"none\"); clearInterval(ppc); "));
}

void TLcMonitorModel::Refresh(const TCycle &c)
{
    FwLookupFailed = false;
    if (!c.Info || !c.State || c.Info->tcdv_id < 1 || c.Info->tcdv_id > 1024)
        return;
    const TSTT_LC_INFO &info = *c.Info;
    for (int r = 0; r < 4; ++r)
        for (int b = 0; b < 8; ++b)
            Occupied[r * 8 + b] = Bit(info.detInfo[r], b);
    ColourDetectors = info.lc_type == 1;
    if (info.opr_stat != 0) {
        ShowOprInfo(c, info, *c.State);
    } else {
        ClearOprInfo(c, info);
        ClearMvmt();
        if (PageReady())
            Run(QStringLiteral(" MvmtLayer.clearLayers();"));
    }
    ShowPhaseInfo(info, c.State);
}

void TLcMonitorModel::ShowOprInfo(const TCycle &c, const TSTT_LC_INFO &info, const TST_ITST_STATE &rec)
{
    const bool is2004 = info.lc_type == 1, is2010 = info.lc_type == 2;
    SetLabel(QStringLiteral("lblOpTime"), c.PacketTime.toString(QStringLiteral("hh:mm:ss")));
    SetLabel(QStringLiteral("lc_status"), GetLcStatusText(info.opr_stat));
    SetLabel(QStringLiteral("intGroup"), QString::number(rec.GetIntGroup()));
    SetLabel(QStringLiteral("trcControl"), GetTrcControlText(rec.trcControl));
    SetLabel(QStringLiteral("overSat"), GetOversatText(rec.overSat));
    SetLabel(QStringLiteral("maxDS"), QString::number(rec.maxDS));
    SetLabel(QStringLiteral("transCount"), QString::number(rec.transCount));
    SetLabel(QStringLiteral("reqCycle"), QString::number(rec.reqCycle));
    SetLabel(QStringLiteral("powerFail"), GetPowerFailText(info.powerFail));
    SetLabel(QStringLiteral("commFail"), GetCommFailText(info.commFail));
    SetLabel(QStringLiteral("dualRing"), GetDualRingText(info.dualRing));
    SetLabel(QStringLiteral("oprMode"), GetOprModeLongText(info.oprMode));
    SetLabel(QStringLiteral("phaseAB"), QStringLiteral("%1/%2").arg(info.phaseA + 1).arg(info.phaseB + 1));
    SetLabel(QStringLiteral("stepAB"), QStringLiteral("%1/%2").arg(info.stepA + 1).arg(info.stepB + 1));
    SetLabel(QStringLiteral("policeIng"), GetPoliceIngText(info.policeIng));
    SetLabel(QStringLiteral("policeMan"), GetPoliceManText(info.policeMan));
    SetLabel(QStringLiteral("policeFlash"), GetPoliceFlashText(info.policeFlash));
    SetLabel(QStringLiteral("policeOff"), GetPoliceOffText(info.policeOff));
    SetLabel(QStringLiteral("lightsOut"), GetLightOutText(info.lightsOut));
    SetLabel(QStringLiteral("flash"), GetFlashText(info.flash));
    SetLabel(QStringLiteral("dbError"), GetDbErrorText(info.dbError));
    SetLabel(QStringLiteral("flashCause"), GetFlashCauseText(info.flashCause));
    if (is2004)
        SetLabel(QStringLiteral("turnLeft"), GetTurnLeftText(info.planInfo));
    else if (is2010)
        SetLabel(QStringLiteral("turnLeft"), GetPlanClassText(info.planInfo));
    SetLabel(QStringLiteral("manEnable"), GetManEnableText(info.manEnable));
    SetLabel(QStringLiteral("doorOpen"), GetDoorOpenText(info.doorOpen));
    SetLabel(QStringLiteral("conflictEnable"), GetConflictEnableText(info.conflictEnable));
    SetLabel(QStringLiteral("conflict"), GetConflictText(info.conflict));
    if (info.conflict == 1) {
        if (is2004) {
            SetLabel(QStringLiteral("conflictLsuNo"), QString::number(info.conflictLsuNo + 1));
            SetLabel(QStringLiteral("conflictCircuit"), GetConflictCircuitText(info.conflictCircuit));
        } else if (is2010) {
            if (info.conflictReason != 0) {
                SetLabel(QStringLiteral("conflictLsuNo"), QStringLiteral("SCU"));
                SetLabel(QStringLiteral("conflictCircuit"), QString());
            } else {
                SetLabel(QStringLiteral("conflictLsuNo"), QStringLiteral("LSU %1").arg(info.conflictLsuNo + 1));
                SetLabel(QStringLiteral("conflictCircuit"), info.lampType != 0
                                                                ? GetConflictCircuitText(info.conflictCircuit)
                                                                : GetConflictCircuit3LText(info.conflictCircuit));
            }
        }
    } else {
        SetLabel(QStringLiteral("conflictLsuNo"), QString());
        SetLabel(QStringLiteral("conflictCircuit"), QString());
    }
    SetLabel(QStringLiteral("cycleCount"), QString::number(info.cycleCount));
    SetLabel(QStringLiteral("previousCycle"), QString::number(info.previousCycle));
    SetLabel(QStringLiteral("currentCycle"), QString::number(info.currentCycle));
    SetLabel(QStringLiteral("offset"), QString::number(info.offset));
    SetLabel(QStringLiteral("phaseHold"), info.phaseHold == 0 ? QString() : QString::number(info.phaseHold));
    SetLabel(QStringLiteral("phaseOmit"), info.phaseOmit == 0 ? QString() : QString::number(info.phaseOmit));
    SetLabel(QStringLiteral("spillback_perm"), GetSpillbackPermText(info.spillback_perm));
    SetLabel(QStringLiteral("spillback_ctrmode"), GetSpillbackCtrlModeText(info.spillback_ctrmode));
    SetLabel(QStringLiteral("spillback_mainpahse_end"), GetSpillbackMainPhaseEndText(info.spillback_mainpahse_end));
    SetLabel(QStringLiteral("spillback_subpahse_end"), GetSpillbackSubPhaseEndText(info.spillback_subpahse_end));

    // The page: one script per cycle.
    if (PageReady()) {
        const QString col = Hex(LcUseColor(Legend.Status, c.InUse, info.opr_stat, info.oprMode));
        const QString off = Hex(Legend.Status.State[2]);
        QString s;
        if (info.flash == 1) {
            FLCColor.clear();
            s += QStringLiteral(" if (LC.blinking() === false) {"
                                "   LC.options.blinkColor = \"#%1\"; "
                                "   LC.startBlink(\"#%2\");"
                                "   $s.trigger(\"configure\", {\"max\": 0}).val(0).trigger(\"change\");"
                                "   $(\"#ovik-lc-counter-container\").css(\"display\", \"none\");"
                                " } else {"
                                "   LC._tmpColor = \"#%2\";"
                                "   LC.options.blinkColor = \"#%1\"; "
                                " } ")
                     .arg(off, col);
        } else {
            s += QStringLiteral(" if (LC.blinking() === true) { LC.stopBlink(); }");
            if (col != FLCColor) {
                FLCColor = col;
                s += QStringLiteral(" LC.setStyle({color:\"#%1\"});").arg(col);
            }
            const int st = info.opr_stat;
            if (st == 1 || st == 2 || st == 4 || st == 10) {
                const quint8 *splits = (st == 2 || st == 10) ? rec.lcSplit : rec.split;
                const int p = qBound(0, info.phaseA, 7);
                const int max = splits[p];
                int elapsed = 0;
                for (int k = 0; k < p; ++k)
                    elapsed += splits[k];
                const int remaining = qMax(0, elapsed + max - info.cycleCount);
                s += QStringLiteral(" $(\"#ovik-lc-counter-container\").css(\"display\", \"block\"); ");
                s += QStringLiteral(" $s.trigger(\"configure\", {\"max\": %1}).val(%2).trigger(\"change\"); ")
                         .arg(max)
                         .arg(remaining);
            } else {
                s += QStringLiteral(" $(\"#ovik-lc-counter-container\").css(\"display\", \"none\"); ");
            }
        }
        const int st = info.opr_stat;
        if (st == 5 || st == 6 || st == 8 || st == 9) {
            s += QStringLiteral(" if (map.hasLayer(MvmtLayer)) { map.removeLayer(MvmtLayer); } ");
        } else {
            DrawRingMvmt(info, info.planInfo, info.phaseA, s, 1);
            DrawRingMvmt(info, info.planInfo, info.phaseB, s, 2);
        }
        Run(s);
    }

    // Colours.
    SetColor(QStringLiteral("lc_status"), 0, info.opr_stat);
    SetColor(QStringLiteral("powerFail"), 1, info.powerFail);
    SetColor(QStringLiteral("commFail"), 2, info.commFail);
    SetColor(QStringLiteral("oprMode"), 3, info.oprMode);
    SetColor(QStringLiteral("policeIng"), 4, info.policeIng);
    SetColor(QStringLiteral("policeMan"), 5, info.policeMan);
    SetColor(QStringLiteral("policeFlash"), 6, info.policeFlash);
    SetColor(QStringLiteral("policeOff"), 7, info.policeOff);
    SetColor(QStringLiteral("conflict"), 8, info.conflict);
    SetColor(QStringLiteral("lightsOut"), 9, info.lightsOut);
    SetColor(QStringLiteral("flash"), 10, info.flash);
    SetColor(QStringLiteral("dbError"), 11, info.dbError);
    SetColor(QStringLiteral("turnLeft"), 12, info.planInfo);
    SetColor(QStringLiteral("doorOpen"), 13, info.doorOpen);
    SetColor(QStringLiteral("phaseHold"), 14, info.phaseHold);
    SetColor(QStringLiteral("phaseOmit"), 15, info.phaseOmit);
    SetColor(QStringLiteral("spillback_perm"), 16, info.spillback_perm);
    SetColor(QStringLiteral("spillback_ctrmode"), 17, info.spillback_ctrmode);

    if (is2010)
        Show2010(info, rec);
}

void TLcMonitorModel::Show2010(const TSTT_LC_INFO &info, const TST_ITST_STATE &rec)
{
    SetLabel(QStringLiteral("lblLampType"), GetLampTypeText(info.lampType));
    const QString fw = GetNetWordText(info.fwModuleID);
    SetLabel(QStringLiteral("lblFwModuleID"), fw);
    if (!FFwKnown || fw != FFwText) {
        FFwKnown = true;
        FFwText = fw;
        FwTotal = 0;
        if (!fw.isEmpty() && FirmwareSize) {
            ++FirmwareLookups;
            bool failed = false;
            const std::optional<qint64> size = FirmwareSize(fw, &failed);
            FwLookupFailed = failed;
            if (size)
                FwTotal = int(*size / 240);
        }
    }
    FwDone = NetWordToInt(info.fwModuleDgIdx);
    SetLabel(QStringLiteral("lblDBErrorCode"), DbErrorText ? DbErrorText(info.DBErrorCode) : QString());
    SetLabel(QStringLiteral("lblDbReadOnly"), GetDbReadOnlyText(info.dbReadOnly));
    QString lock = GetLockStatus1Text(info.lockStatus1);
    if (info.lockStatus1 == 1) {
        lock += GetLockStatus2Text(info.lockStatus2);
        SetColor(QStringLiteral("lblLockStatus"), 19, info.lockStatus2);
    }
    SetLabel(QStringLiteral("lblLockStatus"), lock);
    SetLabel(QStringLiteral("lblApplyStatus"), GetApplyStatusText(info.applyStatus));
    SetColor(QStringLiteral("lblDBErrorCode"), 18, info.DBErrorCode);
    SetColor(QStringLiteral("lblDbReadOnly"), 20, info.dbReadOnly);
    SetColor(QStringLiteral("lblApplyStatus"), 21, info.applyStatus);

    // PPC grid.
    PpcControl = info.ppcControlMode != 0 ? Tx(QStringLiteral("IDS_51")) : Tx(QStringLiteral("IDS_50"));
    if (rec.status == 12) {
        const int f = LowByte(info.PPCFlags);
        PpcState = Bit(f, 7) ? QStringLiteral("In Service") : QStringLiteral("Standby");
        PpcKind = Bit(f, 6) ? Tx(QStringLiteral("IDS_24")) : Tx(QStringLiteral("IDS_23"));
        for (int k = 0; k < 6; ++k)
            PpcRingOn[k] = Bit(f, 5 - k);
        if (Bit(f, 7)) {
            SetLabel(QStringLiteral("lc_status"), Tx(QStringLiteral("IDS_PPC_ING")));
            MapGroupHeight = 150;
            RingGridVisible = true;
            PhaseGridBottomMargin = 1;
            const quint8 *ring = rec.lcst + 25;
            for (int k = 0; k < 4; ++k) {
                const quint8 b = ring[k];
                const int v[4] = {(b >> 6) & 3, (b >> 4) & 3, (b >> 2) & 3, b & 3};
                for (int j = 0; j < 4; ++j)
                    RingCells[k * 4 + j] = QStringLiteral("%1").arg(v[j], 2, 16, QLatin1Char('0')).toUpper();
            }
            SetPPCMode(true);
        } else {
            SetLabel(QStringLiteral("lc_status"), Tx(QStringLiteral("IDS_PPC")));
            MapGroupHeight = 210;
            RingGridVisible = false;
            PhaseGridBottomMargin = 5;
            SetPPCMode(false);
        }
    }

    // UPS grid.
    const int u = info.UPSFlags;
    UpsInstalled = u != 0 && u != -1;
    for (QString &cell : UpsCells)
        cell.clear();
    if (UpsInstalled) {
        const int f = LowByte(u);
        UpsCells[0] = Bit(f, 7) ? Tx(QStringLiteral("IDS_26")) : Tx(QStringLiteral("IDS_1"));
        UpsCells[1] = Bit(f, 6) ? Tx(QStringLiteral("IDS_27")) : Tx(QStringLiteral("IDS_28"));
        for (int k = 0; k < 3; ++k) { // BAT3, BAT2, BAT1
            const int present = 5 - k, replace = 2 - k;
            UpsCells[2 + k] = !Bit(f, present) ? Tx(QStringLiteral("IDS_31"))
                              : Bit(f, replace) ? Tx(QStringLiteral("IDS_30"))
                                                : Tx(QStringLiteral("IDS_26"));
        }
    }

    // Extension grid.
    const int ped = LowByte(info.pedLightFlags), push = LowByte(info.pushBtnFlags),
              trouble = LowByte(info.pedTroubleFlags), board = LowByte(info.optionBdFlags);
    for (int k = 0; k < 8; ++k) {
        ExtCells[0][k] = Bit(ped, k) ? Tx(QStringLiteral("IDS_2")) : Tx(QStringLiteral("IDS_3"));
        ExtCells[1][k] = Bit(push, k) ? Tx(QStringLiteral("IDS_4")) : Tx(QStringLiteral("IDS_5"));
        ExtCells[2][k] = Bit(trouble, k) ? Tx(QStringLiteral("IDS_0")) : Tx(QStringLiteral("IDS_26"));
        if (k < 7)
            ExtCells[4][k] = Bit(board, k) ? Tx(QStringLiteral("IDS_1")) : Tx(QStringLiteral("IDS_26"));
    }
}

void TLcMonitorModel::ClearOprInfo(const TCycle &c, const TSTT_LC_INFO &info)
{
    for (const QString &n : LabelNames())
        Labels[n] = TLcMonitorLabel();
    SetLabel(QStringLiteral("lblOpTime"), c.PacketTime.toString(QStringLiteral("hh:mm:ss")));
    SetLabel(QStringLiteral("lc_status"), GetLcStatusText(0));
    SetLabel(QStringLiteral("oprMode"), GetOprModeLongText(info.oprMode));
    if (PageReady()) {
        const QColor col = (info.virtualLC_No > 0 || info.is_use) ? Legend.Status.State[0] : Legend.Status.Unused;
        Run(QStringLiteral(" if (LC.blinking() === true) { LC.stopBlink(); }"
                           " LC.setStyle({color:\"#%1\"});"
                           " $(\"#ovik-lc-counter-container\").css(\"display\", \"none\"); ")
                .arg(Hex(col)));
    }
    if (info.lc_type == 2) {
        FwDone = 0;
        UpsInstalled = false;
        for (QString &cell : UpsCells)
            cell.clear();
        for (int r : {0, 1, 2, 4})
            for (QString &cell : ExtCells[r])
                cell.clear();
    }
}

void TLcMonitorModel::ShowPhaseInfo(const TSTT_LC_INFO &info, const TST_ITST_STATE *rec)
{
    const int a = info.planInfo;
    const bool classOk = a >= 0 && a < MVMT_PLAN_CLASSES;
    for (int ring = 0; ring < 2; ++ring)
        for (int j = 0; j < 8; ++j) {
            const int m = classOk ? FMovements[a][j][ring].mvmt_no : 0;
            if (m >= 1 && m <= 18)
                PhaseCells[ring][j] = MvmtNumberText(m);
            const int idx = ring * 8 + j;
            PhaseCells[4 + ring][j] = (m > 0 && rec) ? QString::number(rec->lcSplit[idx]) : QString();
            PhaseCells[6 + ring][j] = (m > 0 && rec) ? QString::number(rec->split[idx]) : QString();
            PhaseCells[8 + ring][j] = (m > 0 && rec) ? QString::number(rec->planSplit[idx]) : QString();
            // Pictures come from the live record's own block.
            TPicture p;
            if (classOk) {
                const TMovement &mv = info.Movements[a][j][ring];
                if (mv.mvmt_no != 0) {
                    p.Number = mv.mvmt_no;
                    bool ok = false;
                    p.Head = mv.head_angle.str().trimmed().toDouble(&ok);
                    if (!ok)
                        p.Head = 0;
                    p.End = mv.end_angle.str().trimmed().toDouble(&ok);
                    if (!ok)
                        p.End = 0;
                }
            }
            Pictures[ring][j] = p;
        }
    CurrentPhase[0] = rec ? info.phaseA + 1 : 0;
    CurrentPhase[1] = rec ? info.phaseB + 1 : 0;
    const QString hold = Labels.value(QStringLiteral("phaseHold")).Text;
    bool ok = false;
    const int h = hold.toInt(&ok);
    HoldColumn = ok && h >= 1 && h <= 8 ? h : 0;
}

void TLcMonitorModel::DrawRingMvmt(const TSTT_LC_INFO &info, int planClass, int phase, QString &script, int ring)
{
    const QString key = QStringLiteral("mvmt%1%2%3").arg(planClass).arg(phase).arg(ring);
    const QString var = MvmtVarName(key);
    QString &drawn = FTmpMvmt[ring - 1];
    script += QStringLiteral(" if (!map.hasLayer(MvmtLayer)) { map.addLayer(MvmtLayer); }");
    // A plan class or phase outside the block has no movement.
    const TMovement *rec = nullptr;
    if (planClass >= 0 && planClass < MVMT_PLAN_CLASSES && phase >= 0 && phase < MVMT_PHASES)
        rec = &info.Movements[planClass][phase][ring - 1];
    const int n = rec ? rec->mvmt_no - 1 : -1;
    if (n >= 0 && key != drawn && !rec->head_lat.str().isEmpty()) {
        const QString texts[8] = {rec->head_lat.str(), rec->head_lng.str(), rec->mid_lat.str(), rec->mid_lng.str(),
                                  rec->end_lat.str(),  rec->end_lng.str(),  rec->label_lat.str(), rec->label_lng.str()};
        QString pts[8];
        bool valid = true;
        for (int k = 0; k < 8; ++k) {
            pts[k] = NumOrEmpty(texts[k]);
            valid = valid && !pts[k].isEmpty();
        }
        const QString head = NumOrEmpty(rec->head_angle.str());
        const QString end = NumOrEmpty(rec->end_angle.str());
        valid = valid && !head.isEmpty() && !end.isEmpty();
        if (!valid) {
            // An arrow that cannot be drawn leaves no stale arrow of an earlier phase.
            if (!drawn.isEmpty()) {
                script += QStringLiteral(" MvmtLayer.removeLayer(%1);").arg(var);
                drawn.clear();
            }
            return;
        }
        const QString g = Hex(Legend.GreenMvmt);
        QString latlngs;
        for (int k = 0; k < 4; ++k)
            latlngs += QStringLiteral("   L.latLng(%1,%2)%3").arg(pts[2 * k], pts[2 * k + 1], k < 3 ? QStringLiteral(",") : QString());
        script += QStringLiteral(" if (typeof %1 === \"undefined\") { ").arg(var);
        script += QStringLiteral("   var %1   = L.simpleMovement([").arg(var) + latlngs.mid(3) + QStringLiteral("],");
        script += QStringLiteral("   { color:\"#%1\",").arg(g);
        script += QStringLiteral("     label: %1,").arg(JsBool(Legend.MvmtLabel));
        script += QStringLiteral("     text : { text: L.Mvmt.circleNum[%1], attr: {visibility:\"visible\"}}, ").arg(n);
        script += QStringLiteral("     headAngle: %1, endAngle: %2 })} ").arg(head, end);
        script += QStringLiteral(" else {%1.setLatlngs([").arg(var) + latlngs + QStringLiteral("],");
        script += QStringLiteral("%1, \"#%2\", %3,%4); }").arg(n).arg(g, head, end);
        script += QStringLiteral(" if (!MvmtLayer.hasLayer(%1)) { MvmtLayer.addLayer(%1); }").arg(var);
        drawn = key;
    } else if (n < 0 && !drawn.isEmpty()) {
        script += QStringLiteral(" MvmtLayer.removeLayer(%1);").arg(var);
        drawn.clear();
    }
}

// ---------------------------------------------------------------------------
// Spill-back list
// ---------------------------------------------------------------------------

QString SpillbackListSql(int dbType)
{
    const TDBType t = TDBType(dbType);
    return QStringLiteral(" SELECT S.INT_LCNO, I.INT_NAME, S.INT_SPILLBACKINDEX, ")
           + GetConcat(t, {QStringLiteral("LPAD(S.INT_SPILLBACKSTARTHOUR, 2, '0')"), QStringLiteral("':'"),
                           QStringLiteral("LPAD(S.INT_SPILLBACKSTARTMIN, 2, '0')")},
                       QStringLiteral("STARTTIME"), true)
           + GetConcat(t, {QStringLiteral("LPAD(S.INT_SPILLBACKENDHOUR, 2, '0')"), QStringLiteral("':'"),
                           QStringLiteral("LPAD(S.INT_SPILLBACKENDMIN, 2, '0')")},
                       QStringLiteral("ENDTIME"))
           + QStringLiteral(" FROM SCS_M_INTSPILLBACK S "
                            " INNER JOIN SCS_M_INTLC I ON I.INT_LCNO = S.INT_LCNO "
                            " WHERE S.INT_SPILLBACKINT = :INT_LCNO "
                            "   AND S.INT_SPILLBACKACTIVE = 1 "
                            " ORDER BY S.INT_SPILLBACKINDEX ");
}

bool LoadSpillbackList(const QSqlDatabase &db, int dbType, int lcNo, QList<TSpillbackRow> *rows, QSqlError *error)
{
    rows->clear();
    QSqlQuery q(db);
    q.prepare(SpillbackListSql(dbType));
    q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    while (q.next()) {
        TSpillbackRow r;
        r.LcNo = q.value(0).toInt();
        r.Name = q.value(1).toString();
        r.Index = q.value(2).toInt();
        r.Start = q.value(3).toString();
        r.End = q.value(4).toString();
        rows->append(r);
    }
    return true;
}

// ---------------------------------------------------------------------------
// Comments
// ---------------------------------------------------------------------------

namespace {

bool IsRtf(const QByteArray &b)
{
    int i = 0;
    while (i < b.size() && (b[i] == ' ' || b[i] == '\r' || b[i] == '\n' || b[i] == '\t'))
        ++i;
    return b.mid(i, 5) == "{\\rtf";
}

// The plain text of a rich-text document: destinations (font and colour tables,
// style sheets, "\*" groups, pictures) are skipped; \'hh bytes are CP949; \uN is a
// character followed by its fallback (\ucN characters, 1 unless said).
QString RtfToText(const QByteArray &b)
{
    QString out;
    QByteArray pending; // \'hh bytes and plain bytes not yet decoded
    auto flush = [&]() {
        if (!pending.isEmpty()) {
            out += FromCp949(pending);
            pending.clear();
        }
    };
    struct Group
    {
        bool skip = false;
        int uc = 1;
    };
    QList<Group> stack{Group()};
    int skipChars = 0; // fallback characters after \uN still to drop
    const int n = int(b.size());
    int i = 0;
    bool groupStart = false;
    static const QList<QByteArray> destinations = {"fonttbl", "colortbl", "stylesheet", "info", "pict",
                                                   "header", "footer", "listtable", "listoverridetable",
                                                   "generator", "themedata", "latentstyles", "rsidtbl"};
    while (i < n) {
        const char ch = b[i];
        if (ch == '{') {
            stack.append(stack.last());
            groupStart = true;
            ++i;
            continue;
        }
        if (ch == '}') {
            flush();
            if (stack.size() > 1)
                stack.removeLast();
            groupStart = false;
            skipChars = 0;
            ++i;
            continue;
        }
        Group &g = stack.last();
        if (ch == '\\' && i + 1 < n) {
            const char nx = b[i + 1];
            if (nx == '\'' && i + 3 < n) {
                bool ok = false;
                const int v = b.mid(i + 2, 2).toInt(&ok, 16);
                i += 4;
                groupStart = false;
                if (skipChars > 0) {
                    --skipChars;
                    continue;
                }
                if (ok && !g.skip)
                    pending.append(char(v));
                continue;
            }
            if (nx == '\\' || nx == '{' || nx == '}') {
                i += 2;
                groupStart = false;
                if (skipChars > 0) {
                    --skipChars;
                    continue;
                }
                if (!g.skip)
                    pending.append(nx);
                continue;
            }
            if (nx == '*') {
                g.skip = true;
                i += 2;
                continue;
            }
            if (!std::isalpha(uchar(nx))) {
                // Control symbols: "\~" no-break space, "\-" soft hyphen, others ignored.
                if (!g.skip && nx == '~')
                    pending.append(' ');
                if (!g.skip && (nx == '\n' || nx == '\r')) {
                    flush();
                    out += QLatin1Char('\n');
                }
                i += 2;
                continue;
            }
            // A control word with an optional number and one delimiting space.
            int j = i + 1;
            while (j < n && std::isalpha(uchar(b[j])))
                ++j;
            const QByteArray word = b.mid(i + 1, j - i - 1);
            int k = j;
            if (k < n && (b[k] == '-' || std::isdigit(uchar(b[k])))) {
                ++k;
                while (k < n && std::isdigit(uchar(b[k])))
                    ++k;
            }
            const QByteArray num = b.mid(j, k - j);
            if (k < n && b[k] == ' ')
                ++k;
            i = k;
            if (groupStart && destinations.contains(word))
                g.skip = true;
            groupStart = false;
            if (g.skip)
                continue;
            if (word == "par" || word == "line") {
                flush();
                out += QLatin1Char('\n');
            } else if (word == "tab") {
                flush();
                out += QLatin1Char('\t');
            } else if (word == "uc") {
                g.uc = num.toInt();
            } else if (word == "u") {
                flush();
                int v = num.toInt();
                if (v < 0)
                    v += 65536;
                out += QChar(char16_t(v));
                skipChars = g.uc;
            }
            continue;
        }
        groupStart = false;
        ++i;
        if (ch == '\r' || ch == '\n')
            continue;
        if (skipChars > 0) {
            --skipChars;
            continue;
        }
        if (!g.skip)
            pending.append(ch);
    }
    flush();
    // The document's last paragraph mark is not a line of its own.
    while (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

} // namespace

QString CommentsToPlainText(const QByteArray &stored)
{
    if (IsRtf(stored))
        return RtfToText(stored);
    // Plain text: UTF-8 when it is valid, else the Windows code page (CP949).
    QString text = QString::fromUtf8(stored);
    if (text.contains(QChar::ReplacementCharacter))
        text = FromCp949(stored);
    return text;
}

QByteArray PlainTextToComments(const QString &text)
{
    QByteArray out("{\\rtf1\\ansi\\ansicpg949\\deff0\\uc1{\\fonttbl{\\f0 Noto Sans CJK KR;}}\\f0 ");
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QChar ch : std::as_const(t)) {
        const char16_t u = ch.unicode();
        if (u == '\n')
            out += "\\par\n";
        else if (u == '\t')
            out += "\\tab ";
        else if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u >= 0x20 && u < 0x80)
            out += char(u);
        else if (u < 0x20)
            continue;
        else
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
    }
    out += "}";
    return out;
}

std::optional<QString> LoadComments(const QSqlDatabase &db, int lcNo, QSqlError *error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(" SELECT INT_COMMENTS FROM SCS_M_INTLC  WHERE INT_LCNO = :INT_LCNO "));
    q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return CommentsToPlainText(q.value(0).toByteArray());
}

bool SaveComments(QSqlDatabase db, int lcNo, const QString &text, QSqlError *error)
{
    if (!db.transaction()) {
        if (error)
            *error = db.lastError();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral(" UPDATE SCS_M_INTLC SET INT_COMMENTS = :INT_COMMENTS  WHERE INT_LCNO = :INT_LCNO "));
    q.bindValue(QStringLiteral(":INT_COMMENTS"), PlainTextToComments(text));
    q.bindValue(QStringLiteral(":INT_LCNO"), lcNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        if (error)
            *error = db.lastError();
        db.rollback();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Detail panel folding
// ---------------------------------------------------------------------------

TLcDetailGeometry LcMonitorDetailGeometry(bool folded, int lcType, int mainPanelWidth, int restoredPanelWidth,
                                          int barWidth)
{
    TLcDetailGeometry g;
    if (folded) {
        g.PanelWidth = barWidth + 1;
        g.WindowWidth = mainPanelWidth;
        return g;
    }
    g.PanelWidth = restoredPanelWidth;
    if (lcType == 0 || lcType == 1) {
        g.PanelWidth = 440;
        g.ExpandInfoVisible = false;
    } else if (lcType == 2) {
        g.PanelWidth = 647;
        g.ExpandInfoVisible = true;
    }
    g.WindowWidth = mainPanelWidth + g.PanelWidth - barWidth - 1;
    return g;
}

// ---------------------------------------------------------------------------
// Addresses in the memo
// ---------------------------------------------------------------------------

QList<TLcMemoUrl> LcMemoUrls(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("(?:(?:https?|ftp|file)://|mailto:|www\\.)[^\\s<>\"]+"),
        QRegularExpression::CaseInsensitiveOption);
    QList<TLcMemoUrl> out;
    auto it = re.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const int start = int(m.capturedStart());
        // The same match must start a word: "xwww.a" is no address.
        if (start > 0 && (text.at(start - 1).isLetterOrNumber() || text.at(start - 1) == QLatin1Char('_')))
            continue;
        QString url = m.captured();
        while (!url.isEmpty() && QStringLiteral(".,:;'!?)]}").contains(url.back()))
            url.chop(1);
        const int schemeEnd = url.indexOf(QLatin1Char(':'));
        const bool www = url.startsWith(QLatin1String("www."), Qt::CaseInsensitive);
        // Nothing after the scheme or the "www.": no address.
        if ((www && url.size() <= 4) || (!www && (url.size() <= schemeEnd + 1 || url.endsWith(QLatin1String("//")))))
            continue;
        TLcMemoUrl u;
        u.Start = start;
        u.Length = int(url.size());
        u.Url = www ? QStringLiteral("http://") + url : url;
        out << u;
    }
    return out;
}

QString LcMemoUrlAt(const QString &text, int pos)
{
    for (const TLcMemoUrl &u : LcMemoUrls(text))
        if (pos >= u.Start && pos < u.Start + u.Length)
            return u.Url;
    return QString();
}
