#pragma once
// TfrmFirmwareInfo: the firmware images of the centre, one row per kind (MCU,
// SCU), maker and module, with versions, date, image, size and CRC-32. A filter
// panel narrows the list by kind, maker and module; the operator loads an image
// from a file into a row. Saves without asking; the rules live in FirmwareRegister.
#include "core/untBaseGrid.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;

class TfrmFirmwareInfo : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmFirmwareInfo(QWidget *owner = nullptr);

    QLabel *lblFWType = nullptr, *lblVendorCD = nullptr, *lblModuleNo = nullptr, *lblVendorName = nullptr;
    QRadioButton *rbAll = nullptr, *rbMCU = nullptr, *rbSCU = nullptr;
    QButtonGroup *rgpFWType = nullptr;
    QLineEdit *btnVendorCD = nullptr;      // read-only maker code of the filter
    QToolButton *btnVendorPick = nullptr, *btnVendorClear = nullptr;
    QLineEdit *nedModuleNo = nullptr;      // 0 to 99, may be blank

    // The filter's maker (from the maker list; -1 clears it).
    void SetFilterVendor(int code, const QString &name);
    // Loads an image file into a record through the open dialog; false when cancelled or unreadable.
    bool LoadImage(int rec);
    // The maker list on a record's maker cell.
    void PickVendor(int rec);

public slots:
    void actAddExecute() override;
    bool SaveFirmware();

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void Retranslate() override;

private:
    bool FLoaded = false; // searched at least once
};
