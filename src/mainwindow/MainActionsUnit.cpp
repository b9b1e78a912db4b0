#include "mainwindow/MainActionsUnit.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDialog>
#include <QEventLoop>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QWidget>

#include "centrelink/RC2MMIUnit.h"
#include "core/WindowRegistry.h"
#include "core/untDM.h"


namespace {

constexpr bool S = true;  // separator
constexpr bool N = true;  // no effect

const QList<TMainActionDef> kDefs = {
    // System, logs and resident windows.
    {"actClose", opNone, "", hoNone, "", "", "", false, false},
    {"actOpenCOM_E", opModalFreed, "TfrmCOM_E", hoNone, "", "", "", false, false},
    {"actOpenUSER_E", opModalFreed, "TfrmUSER_E", hoNone, "", "", "", false, false},
    {"actOpenProgramInfo", opModal, "TProgramInfoForm", hoNone, "", "", "", false, false},
    {"actOpenLogCom", opResident, "TfrmTH_LogCom", hoNone, "", "", "", false, false},
    {"actOpenTCDV_C_Log", opResident, "TfrmTH_TCDV_C_Log", hoNone, "", "", "", false, false},
    {"actOpenCURR_EV", opResident, "TfrmCURR_EV", hoNone, "", "", "", false, false},
    // Windows opened with the current selection.
    {"actOpenTCDV_C_Control", opOwned, "TfrmTCDV_C_Control", hoGroupThenLc, "SA_ID", "TCDV_ID", "", false, false},
    {"actOpenSA_C_Control", opOwned, "TfrmSA_C_Control", hoGroup, "SaID", "", "", false, false},
    {"actOpenTCDV_C_DBUpDn", opOwned, "TfrmTCDV_C_DBUpDn", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenSA_M", opOwned, "TfrmSA_M", hoGroup, "SA_ID", "", "", false, false},
    {"actOpenTCDV_M_State", opOwned, "TfrmTCDV_M_State", hoNone, "", "", "", false, false},
    {"actOpenTCDV_E_Master", opOwned, "TfrmTCDV_E_Master", hoGroupThenLc, "SA_ID", "TcdvID", "", false, false},
    {"actOpenTCDV_E_SignalManagerVariable", opOwned, "TfrmTCDV_E_SignalManagerVariable", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTCDV_E_Algorithm", opOwned, "TfrmTCDV_E_Algorithm", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTCDV_E_FlashMap", opOwned, "TfrmTCDV_E_FlashMap", hoGroup, "SA_ID", "", "", false, false},
    {"actOpenTCDV_E_ConflictMap", opOwned, "TfrmTCDV_E_ConflictMap", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTCDV_E_PhaseMvmt", opOwned, "TfrmTCDV_E_PhaseMvmt", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTCDV_E_ReservePlan", opOwned, "TFormTcdvReservePlan", hoLc, "TcdvID", "", "", false, false},
    {"actOpenTcdvTod", opOwned, "TFormTcdvTod", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTcdvForceTod", opOwned, "TFormTcdvForceTod", hoGroup, "SaID", "", "", false, false},
    {"actOpenTcdvOffsetInfo", opOwned, "TFormTcdvOffsetInfo", hoGroup, "SaID", "", "", false, false},
    {"actOpenSA_E_Merge", opOwned, "TfrmSA_E_Merge", hoGroup, "SA_ID", "", "", false, false},
    {"actOpenSA_S_Conf", opOwned, "TfrmSA_S_Conf", hoGroup, "SA_ID", "", "", false, false},
    {"actOpenTFDT_E", opOwned, "TFormTfdtMaster", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTCDV_Conf", opOwned, "TfrmTCDV_Conf", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenVMSMsgPlan", opOwned, "TfrmVMSMsgPlan", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenCarTimer", opOwned, "TfrmCarTimer", hoGroup, "SA_ID", "", "", false, false},
    {"actOpenPPCBoardInfo", opOwned, "TfrmPPCBoard", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenEventHistory", opOwned, "TfrmEventHistory", hoLcOrGroup, "TCDV_ID", "SA_ID", "", false, false},
    {"actOpenEventDay", opOwned, "TEventDayForm", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenSA_HS_Sgnl", opOwned, "TfrmSA_HS_Sgnl", hoGroup, "SA_ID", "", "", false, false},
    {"actOpenSA_HS_Join", opOwned, "TfrmSA_HS_Join", hoGroup, "SA_ID", "", "", false, false},
    {"actOpenTCDV_HS_Sgnl", opOwned, "TfrmTCDV_HS_Sgnl", hoLcThenGroup, "TCDV_ID", "SA_ID", "", false, false},
    {"actOpenTCDV_TR", opOwned, "TfrmTCDV_TR", hoLcOrGroup, "TCDV_ID", "SA_ID", "", false, false},
    {"actOpenTCDV_TR_Stt", opOwned, "TfrmTCDV_TR_Stt", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTFDT_NOW", opOwned, "TfrmTFDT_NOW", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTFDT_HS", opOwned, "TfrmTFDT_HS", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTFDT_HS_Stt", opOwned, "TfrmTFDT_HS_Stt", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenEmAnalysis", opOwned, "TfrmEmAnalysis", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTCDV_HS_Phase", opOwned, "TfrmTCDV_HS_Phase", hoLc, "TCDV_ID", "", "", false, false},
    {"actOpenTcdvControlInfoReport", opOwned, "TFormTcdvControlInfoReport", hoGroupThenLc, "SA_ID", "TCDV_ID", "", false, false},
    {"actOpenActControlCount", opApplication, "TFormActControlCount", hoGroupThenLc, "SA_ID", "TCDV_ID", "", false, false},
    {"actOpenSpillbackCount", opApplication, "TFormSpillbackCount", hoNone, "", "", "", false, false},
    {"actOpenSA_E_Conf", opOwned, "TfrmSA_E_Conf", hoNone, "", "", "", false, false},
    {"actOpenOvikEditor", opOwned, "TFormOvikEditor", hoNone, "", "", "", false, false},
    {"actOpenSimpleNodeEditor", opOwned, "TfrmSimpleNodeEditor", hoNone, "", "", "", false, false},
    {"actOpenSimpleTFDTEditor", opOwned, "TfrmSimpleTFDTEditor", hoNone, "", "", "", false, false},
    {"actOpenPPCLink", opOwned, "TPPCLinkForm", hoNone, "", "", "", false, false},
    // Windows opened by the generic opener.
    {"actOpenSYS_M", opGeneric, "TfrmSYS_M", hoNone, "", "", "", false, false},
    {"actOpenSA_E_Master", opGeneric, "TfrmSA_E_Master", hoNone, "", "", "", false, false},
    {"actOpenSA_E_CyclePlan", opGeneric, "TfrmSA_E_Cycle", hoNone, "", "", "", false, false},
    {"actOpenCopyGroup", opGeneric, "TFormCopyGroup", hoNone, "", "", "", false, false},
    {"actOpenCopyInt", opGeneric, "TFormCopyInt", hoNone, "", "", "", false, false},
    {"actOpenFirmwareInfo", opGeneric, "TfrmFirmwareInfo", hoNone, "", "", "", false, false},
    {"actOpenOptionBoard", opGeneric, "TfrmOptionBoardInfo", hoNone, "", "", "", false, false},
    {"actOpenOBE", opGeneric, "TOBEForm", hoNone, "", "", "", false, false},
    {"actOpenRSE", opGeneric, "TRSEForm", hoNone, "", "", "", false, false},
    {"actOpenPPCInt", opGeneric, "TPPCIntForm", hoNone, "", "", "", false, false},
    {"actOpenPPCIntOperateHistory", opGeneric, "TPPCIntOperateHistoryForm", hoNone, "", "", "", false, false},
    {"actOpenLinkLocationHistory", opGeneric, "TLinkLocationHistoryForm", hoNone, "", "", "", false, false},
    {"actOpenTcdvOperateInfoReport", opGeneric, "TFormTcdvOperateInfoReport", hoNone, "", "", "", false, false},
    {"actOpenTcdvCycleStatusHistoryByTime", opGeneric, "TFormTcdvCycleStatusHistoryByTime", hoNone, "", "", "", false, false},
    {"actOpenTcdvCycleStatusTodByTime", opGeneric, "TFormTcdvCycleStatusTodByTime", hoNone, "", "", "", false, false},
    {"actAppDeviceOpen", opGeneric, "TAppDeviceForm", hoNone, "", "", "", false, false},
    {"actAppEmergencyHistoryOpen", opGeneric, "TAppEmergencyHistoryForm", hoNone, "", "", "", false, false},
    {"actAppEmergencyLocation", opGeneric, "TAppEmergencyLocationForm", hoNone, "", "", "", false, false},
    {"actAppEmergencyProhibition", opGeneric, "TAppEmergencyProhibitionForm", hoNone, "", "", "", false, false},
    // Modal windows and actions that open no window.
    {"actOpenTCDV_S", opModalFreed, "TfrmTCDV_S", hoLc, "", "", "", false, false},
    {"actOpenSA_S", opModalFreed, "TfrmSA_S", hoNone, "", "", "", false, false},
    {"actOpenLinkTool", opModal, "TfrmLinkTool", hoNone, "", "", "", false, false},
    {"actOpenNodeTool", opModal, "TfrmNodeTool", hoNone, "", "", "", false, false},
    {"actOpenSaTool", opModal, "TFormSaTool", hoNone, "", "", "", false, false},
    {"actOpenTCDV_M", opNone, "", hoLc, "", "", "", false, false},
    {"actOpenVIPControl", opNone, "", hoNone, "", "", "", false, false},
    {"actOpenTrafficInfo", opNone, "", hoNone, "", "", "", false, false},
    {"actTrafficInfoClose", opNone, "", hoNone, "", "", "", false, false},
    {"actAppEmergencyOpen", opNone, "", hoNone, "", "", "", false, false},
    {"actReqtParamsChanged", opNone, "", hoNone, "", "", "", false, false},
    {"actReqtHostReboot", opNone, "", hoNone, "", "", "", false, false},
    {"actReqtAppReload", opNone, "", hoNone, "", "", "", false, false},
    {"actBookmark1", opNone, "", hoNone, "", "", "Ctrl+1", false, false},
    {"actBookmark2", opNone, "", hoNone, "", "", "Ctrl+2", false, false},
    {"actBookmark3", opNone, "", hoNone, "", "", "Ctrl+3", false, false},
    {"actBookmark4", opNone, "", hoNone, "", "", "Ctrl+4", false, false},
    {"actBookmark5", opNone, "", hoNone, "", "", "Ctrl+5", false, false},
    {"actBookmark6", opNone, "", hoNone, "", "", "Ctrl+6", false, false},
    {"actBookmark7", opNone, "", hoNone, "", "", "Ctrl+7", false, false},
    {"actBookmark8", opNone, "", hoNone, "", "", "Ctrl+8", false, false},
    {"actBookmark9", opNone, "", hoNone, "", "", "Ctrl+9", false, false},
    {"actBookmark1Reg", opNone, "", hoNone, "", "", "Alt+1", false, false},
    {"actBookmark2Reg", opNone, "", hoNone, "", "", "Alt+2", false, false},
    {"actBookmark3Reg", opNone, "", hoNone, "", "", "Alt+3", false, false},
    {"actBookmark4Reg", opNone, "", hoNone, "", "", "Alt+4", false, false},
    {"actBookmark5Reg", opNone, "", hoNone, "", "", "Alt+5", false, false},
    {"actBookmark6Reg", opNone, "", hoNone, "", "", "Alt+6", false, false},
    {"actBookmark7Reg", opNone, "", hoNone, "", "", "Alt+7", false, false},
    {"actBookmark8Reg", opNone, "", hoNone, "", "", "Alt+8", false, false},
    {"actBookmark9Reg", opNone, "", hoNone, "", "", "Alt+9", false, false},
    {"actSaveMapView", opNone, "", hoNone, "", "", "", false, false},
    {"actShowDevTool", opNone, "", hoNone, "", "", "F12", false, false},
    {"actWebViewRefresh", opNone, "", hoNone, "", "", "F5", false, false},
    {"actHelp", opNone, "", hoNone, "", "", "", false, false},
    {"actOpenUserManual", opNone, "", hoNone, "", "", "", false, false},
    {"actOpenTimeSpaceDiagram", opNone, "", hoNone, "", "", "", false, false},
    {"actCollapseAll", opNone, "", hoNone, "", "", "", false, false},
    {"actLine1", opNone, "", hoNone, "", "", "", S, false},
    {"actLine7", opNone, "", hoNone, "", "", "", S, false},
    {"actAuth", opNone, "", hoNone, "", "", "", S, false},
    // Actions without effect.
    {"actOpenTcdvFail", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenTcdvFailHistory", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenTcdvFailStatstics", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenTcdvLookup", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenTcdvOperate", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenTCDV_EV", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenSA_EV", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenTFDT_EV", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenTCDV_C_EV", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenTCDV_E_TOD", opNone, "", hoNone, "", "", "", false, N},
    {"actOpenSA_E_TOD", opNone, "", hoNone, "", "", "", false, N},
};

} // namespace

const QList<TMainActionDef> &MainActionDefs() { return kDefs; }

const QList<QPair<const char *, const char *>> &MainActiveShortcuts()
{
    static const QList<QPair<const char *, const char *>> shortcuts = {
        {"actOpenTCDV_S", "Ctrl+F"},        {"actOpenTCDV_M", "Ctrl+M"},
        {"actOpenTCDV_C_Control", "Ctrl+A"}, {"actOpenTCDV_C_DBUpDn", "Ctrl+U"},
        {"actOpenCURR_EV", "Ctrl+E"},       {"actOpenTCDV_Conf", "Ctrl+S"},
        {"actOpenVIPControl", "Ctrl+P"},    {"actOpenTrafficInfo", "Ctrl+I"},
        {"actOpenEventHistory", "Ctrl+H"},  {"actOpenTCDV_HS_Sgnl", "Ctrl+O"},
    };
    return shortcuts;
}

const TMainActionDef *FindMainActionDef(const QString &name)
{
    for (const TMainActionDef &d : kDefs)
        if (name == QLatin1String(d.Name))
            return &d;
    return nullptr;
}

QList<QPair<QString, QVariant>> HandOverSetters(const TMainActionDef &def, int saId, int tcdvId)
{
    QList<QPair<QString, QVariant>> out;
    const QString s1 = QString::fromLatin1(def.Setter1);
    const QString s2 = QString::fromLatin1(def.Setter2);
    switch (def.HandOver) {
    case hoNone: break;
    case hoGroup: out << qMakePair(s1, QVariant(saId)); break;
    case hoLc: out << qMakePair(s1, QVariant(tcdvId)); break;
    case hoGroupThenLc: out << qMakePair(s1, QVariant(saId)) << qMakePair(s2, QVariant(tcdvId)); break;
    case hoLcThenGroup: out << qMakePair(s1, QVariant(tcdvId)) << qMakePair(s2, QVariant(saId)); break;
    case hoLcOrGroup:
        // A selected intersection wins over a selected group.
        if (saId <= 0 || tcdvId > 0)
            out << qMakePair(s1, QVariant(tcdvId));
        else
            out << qMakePair(s2, QVariant(saId));
        break;
    }
    return out;
}

QStringList MissingWindowClasses()
{
    QStringList out;
    QSet<QString> seen;
    for (const TMainActionDef &d : kDefs) {
        const QString c = QString::fromLatin1(d.WindowClass);
        if (c.isEmpty() || d.Pattern == opResident || seen.contains(c))
            continue;
        seen.insert(c);
        if (!TMainOpeners::IsRegistered(c))
            out << c;
    }
    return out;
}

bool OpenActionWindow(const TMainActionDef &def, const TOpenContext &ctx, const TLC_INFO_SET &set,
                      const QRect &mainGeometry)
{
    const QString cls = QString::fromLatin1(def.WindowClass);
    if (cls.isEmpty())
        return false;
    // An open window is only brought to the front (no setter again).
    if (def.Pattern == opOwned || def.Pattern == opGeneric || def.Pattern == opApplication) {
        if (QWidget *open = TWindowRegistry::Find(cls)) {
            TWindowRegistry::BringToFront(open);
            return true;
        }
    }
    const TWindowClassHooks *hooks = TMainOpeners::Hooks(cls);
    if (!hooks || !hooks->Create) {
        qInfo().noquote() << QStringLiteral("%1: the window %2 is not part of this console yet").arg(ctx.ActionName, cls);
        return false;
    }
    QWidget *w = hooks->Create(ctx);
    if (!w)
        return false;
    if (w->parentWidget() && !w->isWindow())
        w->setWindowFlag(Qt::Window, true);
    w->setWindowTitle(ctx.Caption);
    auto apply = [hooks, w](const QString &setter, const QVariant &value) {
        TMainOpeners::Apply(*hooks, w, setter, value);
    };
    if (def.Pattern != opGeneric) {
        for (const auto &s : HandOverSetters(def, ctx.SA_ID, ctx.TCDV_ID))
            apply(s.first, s.second);
    }
    // Where the window opens, as its registration says.
    switch (hooks->Placement) {
    case oplMapStart:
        if (DM) {
            apply(QStringLiteral("FLat"), DM->G_MAP_INIT_LAT);
            apply(QStringLiteral("FLng"), DM->G_MAP_INIT_LNG);
            apply(QStringLiteral("FZoom"), DM->G_MAP_INIT_ZOOM);
        }
        break;
    case oplSelectedLc:
        if (const PSTT_LC_INFO info = set.GetLcInfo(ctx.TCDV_ID)) {
            apply(QStringLiteral("FLat"), info->cx.str());
            apply(QStringLiteral("FLng"), info->cy.str());
        }
        break;
    case oplMainTopRight:
        w->move(mainGeometry.x() + mainGeometry.width() - w->width() - 14, mainGeometry.y() + 55);
        break;
    case oplDefault:
        break;
    }
    if (hooks->BeforeShow)
        hooks->BeforeShow(w, ctx);

    switch (def.Pattern) {
    case opModalFreed: {
        // The instance exists while it is shown, and goes afterwards whatever happens.
        TWindowRegistry::Register(cls, w);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        QPointer<QWidget> guard(w);
        if (auto *dlg = qobject_cast<QDialog *>(w)) {
            dlg->exec();
        } else {
            w->setWindowModality(Qt::ApplicationModal);
            w->show();
            while (guard && guard->isVisible())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        if (hooks->AfterShow && guard)
            hooks->AfterShow(w, ctx);
        delete guard.data();
        return true;
    }
    case opModal:
        if (auto *dlg = qobject_cast<QDialog *>(w)) {
            TWindowRegistry::ExecAndFree(dlg);
        } else {
            w->setAttribute(Qt::WA_DeleteOnClose, true);
            w->setWindowModality(Qt::ApplicationModal);
            w->show();
        }
        return true;
    default:
        break;
    }
    TWindowRegistry::Register(cls, w);
    TWindowRegistry::Show(w);
    if (hooks->AfterShow)
        hooks->AfterShow(w, ctx);
    return true;
}
