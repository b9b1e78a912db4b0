#pragma once
// TfrmFirmwareDlg: the modal list of the registered firmware images of one type
// (1 MCU, 2 SCU) with the vendor's name; the master list writes the chosen
// FW_ID into its firmware cell.
#include "core/untPickerBase.h"
#include "foundation/TypeUnit.h"

namespace Firmware {
// FW_ID = type * 10000 + vendor * 100 + module.
inline int VendorOf(int fwId) { return (fwId % 10000) / 100; }
inline int ModuleOf(int fwId) { return fwId % 100; }
// The list query of the database type (":FW_ID" takes the type's digit and "%").
QString ListSql(TDBType type);
} // namespace Firmware

class TfrmFirmwareDlg : public TfrmPickerBase
{
    Q_OBJECT
public:
    explicit TfrmFirmwareDlg(QWidget *owner = nullptr);

    int FFWType = 0;                // the type listed; set before the dialog is shown
    // FW_ID of the focused row (0 when none).
    int SelectedFwId() const;

    // Opens the dialog for a type; true with the chosen FW_ID on OK.
    static bool Pick(QWidget *owner, int fwType, int *fwId);

public slots:
    void LoadList();
    void actSelectExecute() override;

protected:
    void showEvent(QShowEvent *e) override;
    void Retranslate() override;

private:
    bool FShown = false;
};
