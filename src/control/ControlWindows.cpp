#include "control/ControlWindows.h"

#include <QWidget>

#include "control/ControlRunWindow.h"
#include "control/untSA_C_Control.h"
#include "control/untCURR_EV.h"
#include "control/untSA_M.h"
#include "control/untSYS_M.h"
#include "control/untTCDV_C_Control.h"
#include "control/untTCDV_M_State.h"
#include "core/MainContracts.h"
#include "core/WindowRegistry.h"

void RegisterControlWindows()
{
    // A control window inside a command run outlives the main window's close
    // until its run has ended.
    TMainOpeners::AddMainCloseHook([](QWidget *owner) { TControlRunWindow::ReleaseRunningWindows(owner); });
    // Intersection control: the live set for its control-mode command, and the
    // selection requests it sends back to the main window.
    TMainOpeners::Register(QStringLiteral("TfrmTCDV_C_Control"),
                           {[](const TOpenContext &c) -> QWidget * {
                                auto *w = new TfrmTCDV_C_Control(c.Owner);
                                if (IMainWindow *main = c.Main) {
                                    w->SetLcInfoSet(main->LiveLcInfoSet());
                                    QObject::connect(w, &TfrmTCDV_C_Control::RequestSelectSA, main->MainWidget(),
                                                     [main](int sa) { main->LocateSA(sa); });
                                    QObject::connect(w, &TfrmTCDV_C_Control::RequestPanToTCDV, main->MainWidget(),
                                                     [main](int lc) { main->LocateTCDV(lc); });
                                }
                                return w;
                            },
                            [](QWidget *w, const QString &setter, const QVariant &v) {
                                auto *f = static_cast<TfrmTCDV_C_Control *>(w);
                                if (setter == QLatin1String("SA_ID"))
                                    f->SetSA_ID(v.toInt());
                                else if (setter == QLatin1String("TCDV_ID"))
                                    f->SetTCDV_ID(v.toInt());
                            },
                            {}, {}});
    TMainOpeners::Register(QStringLiteral("TfrmSA_C_Control"),
                           {[](const TOpenContext &c) -> QWidget * {
                                auto *w = new TfrmSA_C_Control(c.Owner);
                                if (IMainWindow *main = c.Main)
                                    QObject::connect(w, &TfrmSA_C_Control::RequestSelectSA, main->MainWidget(),
                                                     [main](int sa) { main->LocateSA(sa); });
                                return w;
                            },
                            [](QWidget *w, const QString &setter, const QVariant &v) {
                                if (setter == QLatin1String("SaID"))
                                    static_cast<TfrmSA_C_Control *>(w)->SetSaID(v.toInt());
                            },
                            {}, {}});

    // Live views of many intersections; each registers itself with the monitoring
    // cycle of the main window it is given.
    TMainOpeners::Register(QStringLiteral("TfrmSYS_M"),
                           {[](const TOpenContext &c) -> QWidget * {
                                IMainWindow *main = c.Main;
                                return new TfrmSYS_M(c.Owner, main, main ? main->LiveLcInfoSet() : nullptr,
                                                     main ? main->LcStatusColors() : TLcStatusColors::Defaults());
                            },
                            {}, {}, {}});
    TMainOpeners::Register(QStringLiteral("TfrmSA_M"),
                           {[](const TOpenContext &c) -> QWidget * {
                                return new TfrmSA_M(c.Owner, c.Main, c.Main ? c.Main->LiveLcInfoSet() : nullptr);
                            },
                            [](QWidget *w, const QString &setter, const QVariant &v) {
                                if (setter == QLatin1String("SA_ID"))
                                    static_cast<TfrmSA_M *>(w)->SetSA_ID(v.toInt());
                            },
                            {}, {}});
    TWindowClassHooks stateList;
    stateList.Create = [](const TOpenContext &c) -> QWidget * {
        return new TfrmTCDV_M_State(c.Owner, c.Main, c.Main ? c.Main->LiveLcInfoSet() : nullptr);
    };
    stateList.AfterShow = [](QWidget *w, const TOpenContext &) {
        static_cast<TfrmTCDV_M_State *>(w)->RefreshOprState();
    };
    stateList.Placement = oplMainTopRight;
    TMainOpeners::Register(QStringLiteral("TfrmTCDV_M_State"), stateList);
}

QWidget *CreateCurrentEventWindow(IMainWindow *main, QWidget *owner)
{
    auto *w = new TfrmCURR_EV(owner, main);
    if (main)
        main->RegisterMonitorView(mvkCurrentEvent, w, w);
    return w;
}

void ApplyStateListFilter(const TStateListFilter &filter)
{
    if (auto *w = qobject_cast<TfrmTCDV_M_State *>(TWindowRegistry::Find(QStringLiteral("TfrmTCDV_M_State"))))
        w->ApplyCounterFilter(filter);
}
