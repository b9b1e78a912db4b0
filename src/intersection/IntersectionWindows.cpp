#include "intersection/IntersectionWindows.h"

#include <QList>

#include "intersection/untTCDV_E_ConflictMap.h"
#include "intersection/untTCDV_E_SignalManagerVariable.h"
#include "intersection/untVMSMsgPlan.h"

const QList<TIntersectionWindow> &IntersectionWindows()
{
    static const QList<TIntersectionWindow> windows{
        {"actOpenTCDV_E_SignalManagerVariable", "TfrmTCDV_E_SignalManagerVariable",
         [](QWidget *owner) -> QWidget * { return new TfrmTCDV_E_SignalManagerVariable(owner); }},
        {"actOpenTCDV_E_Algorithm", "TfrmTCDV_E_Algorithm", nullptr},
        {"actOpenTCDV_E_FlashMap", "TfrmTCDV_E_FlashMap", nullptr},
        {"actOpenTCDV_E_ConflictMap", "TfrmTCDV_E_ConflictMap",
         [](QWidget *owner) -> QWidget * { return new TfrmTCDV_E_ConflictMap(owner); }},
        {"actOpenVMSMsgPlan", "TfrmVMSMsgPlan", [](QWidget *owner) -> QWidget * { return new TfrmVMSMsgPlan(owner); }},
    };
    return windows;
}

void RegisterIntersectionWindows()
{
    (void)IntersectionWindows();
}
