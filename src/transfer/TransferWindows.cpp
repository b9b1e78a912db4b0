#include "transfer/TransferWindows.h"

#include <QList>
#include <QVariant>

#include "core/MainContracts.h"
#include "transfer/untTCDV_C_DBUpDn.h"

const QList<TTransferWindow> &TransferWindows()
{
    static const QList<TTransferWindow> windows{
        {"actOpenTCDV_C_DBUpDn", "TfrmTCDV_C_DBUpDn", [](QWidget *owner) -> QWidget * {
             // One instance: an open window is brought to the front instead.
             if (frmTCDV_C_DBUpDn) {
                 frmTCDV_C_DBUpDn->raise();
                 frmTCDV_C_DBUpDn->activateWindow();
                 return nullptr;
             }
             return new TfrmTCDV_C_DBUpDn(owner);
         }},
    };
    return windows;
}

void RegisterTransferWindows()
{
    for (const TTransferWindow &entry : TransferWindows()) {
        const auto create = entry.Create;
        TMainOpeners::Register(entry.WindowClass,
                               {[create](const TOpenContext &c) -> QWidget * {
                                    QWidget *w = create(c.Owner);
                                    if (w && !c.Caption.isEmpty())
                                        w->setWindowTitle(c.Caption);
                                    return w;
                                },
                                [](QWidget *w, const QString &setter, const QVariant &v) {
                                    if (auto *f = qobject_cast<TfrmTCDV_C_DBUpDn *>(w))
                                        if (setter == QLatin1String("TCDV_ID"))
                                            f->SetTCDV_ID(v.toInt());
                                },
                                {}, {}});
    }
}
