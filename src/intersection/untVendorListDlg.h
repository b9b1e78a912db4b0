#pragma once
// TfrmVendorListDlg: the controller and firmware makers (SCS_M_MANUFACTURE, a
// code 0 to 99 and a name), a picker that switches to an editor of the list
// unless its opener wants it view-only. Saves without asking.
#include "core/SimpleEditDlgForm.h"

class TfrmVendorListDlg : public TFormSimpleEditDlg
{
    Q_OBJECT
public:
    TfrmVendorListDlg(QWidget *owner, bool viewOnly, const QVariant &current = QVariant());

    bool FViewOnly() const { return ViewOnly(); }
    // Code and name of the focused row (empty when none).
    QVariant MANUFACTURE_ID() const;
    QString MANUFACTURE_NAME() const;

public slots:
    void actSelectExecute() override;
    bool SaveList();

protected:
    void Retranslate() override;
};
