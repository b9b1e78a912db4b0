#include "control/ControlWindows.h"

#include <QWidget>

#include "control/ControlRunWindow.h"
#include "control/untSA_C_Control.h"
#include "control/untTCDV_C_Control.h"
#include "core/MainContracts.h"

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
}
