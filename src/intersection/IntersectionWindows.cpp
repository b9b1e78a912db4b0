#include "intersection/IntersectionWindows.h"

#include <QList>

#include "core/MainContracts.h"
#include "core/untBaseGrid.h"
#include "intersection/untTCDV_Conf.h"
#include "intersection/untTCDV_E_Algorithm.h"
#include "intersection/untTCDV_E_ConflictMap.h"
#include "intersection/untTCDV_E_FlashMap.h"
#include "intersection/untTCDV_E_Master.h"
#include "intersection/untTCDV_E_SignalManagerVariable.h"
#include "intersection/untVMSMsgPlan.h"
#include "intersection/untCarTimer.h"
#include "intersection/untCopyData.h"
#include "intersection/untFirmwareInfo.h"
#include "intersection/untSpillbackParameter.h"
#include "intersection/untTfdtMaster.h"

const QList<TIntersectionWindow> &IntersectionWindows()
{
    static const QList<TIntersectionWindow> windows{
        {"actOpenTCDV_E_SignalManagerVariable", "TfrmTCDV_E_SignalManagerVariable",
         [](QWidget *owner) -> QWidget * { return new TfrmTCDV_E_SignalManagerVariable(owner); }},
        {"actOpenTCDV_E_Algorithm", "TfrmTCDV_E_Algorithm",
         [](QWidget *owner) -> QWidget * { return new TfrmTCDV_E_Algorithm(owner); }},
        {"actOpenTCDV_E_FlashMap", "TfrmTCDV_E_FlashMap",
         [](QWidget *owner) -> QWidget * { return new TfrmTCDV_E_FlashMap(owner); }},
        {"actOpenTCDV_E_ConflictMap", "TfrmTCDV_E_ConflictMap",
         [](QWidget *owner) -> QWidget * { return new TfrmTCDV_E_ConflictMap(owner); }},
        {"actOpenTCDV_E_Master", "TfrmTCDV_E_Master",
         [](QWidget *owner) -> QWidget * { return new TfrmTCDV_E_Master(owner); }},
        {"actOpenVMSMsgPlan", "TfrmVMSMsgPlan", [](QWidget *owner) -> QWidget * { return new TfrmVMSMsgPlan(owner); }},
        {"actOpenTFDT_E", "TFormTfdtMaster", [](QWidget *owner) -> QWidget * { return new TFormTfdtMaster(owner); }},
        {"actOpenCarTimer", "TfrmCarTimer", [](QWidget *owner) -> QWidget * { return new TfrmCarTimer(owner); }},
        {"actOpenFirmwareInfo", "TfrmFirmwareInfo", [](QWidget *owner) -> QWidget * { return new TfrmFirmwareInfo(owner); }},
        {"actOpenCopyGroup", "TFormCopyGroup", [](QWidget *owner) -> QWidget * { return new TFormCopyGroup(owner); }},
        {"actOpenCopyInt", "TFormCopyInt", [](QWidget *owner) -> QWidget * { return new TFormCopyInt(owner); }},
        // Opened by the transfer window only (no action of the main window).
        {QString(), "TFormSpillbackParameter",
         [](QWidget *owner) -> QWidget * { return new TFormSpillbackParameter(owner); }},
    };
    return windows;
}

void RegisterIntersectionWindows()
{
    for (const TIntersectionWindow &entry : IntersectionWindows()) {
        if (!entry.Create)
            continue; // the window is not built yet: its action stays without an opener
        const auto create = entry.Create;
        TMainOpeners::Register(entry.WindowClass,
                               {[create](const TOpenContext &c) -> QWidget * { return create(c.Owner); },
                                [](QWidget *w, const QString &setter, const QVariant &v) {
                                    if (setter == QLatin1String("IsModal")) {
                                        if (auto *window = qobject_cast<TfrmBase *>(w))
                                            window->SetIsModal(v.toBool());
                                        return;
                                    }
                                    if (auto *algorithm = qobject_cast<TfrmTCDV_E_Algorithm *>(w)) {
                                        if (setter == QLatin1String("TCDV_ID"))
                                            algorithm->SetTCDV_ID(v.toInt());
                                        return;
                                    }
                                    auto *editor = qobject_cast<TfrmBaseGrid *>(w);
                                    if (!editor)
                                        return;
                                    if (setter == QLatin1String("TCDV_ID") || setter == QLatin1String("TcdvID"))
                                        editor->SetTCDV_ID(v.toInt());
                                    else if (setter == QLatin1String("SA_ID"))
                                        editor->SetSA_ID(v.toInt());
                                },
                                {}, {}});
    }
    // The operation plan sheet reads the live records of the main window.
    TMainOpeners::Register(QStringLiteral("TfrmTCDV_Conf"),
                           {[](const TOpenContext &c) -> QWidget * {
                                auto *w = new TfrmTCDV_Conf(c.Owner, c.Main);
                                if (!c.Caption.isEmpty())
                                    w->setWindowTitle(c.Caption);
                                return w;
                            },
                            [](QWidget *w, const QString &setter, const QVariant &v) {
                                if (setter == QLatin1String("TCDV_ID"))
                                    static_cast<TfrmTCDV_Conf *>(w)->SetTCDV_ID(v.toInt());
                            },
                            {}, {}});
}
