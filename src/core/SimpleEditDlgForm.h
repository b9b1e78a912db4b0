#pragma once
// TFormSimpleEditDlg: a two-column code table (numeric code and name) that the
// operator picks from and, in edit mode, maintains. The caller supplies the
// four statements: select (columns ID, NAME), insert (:ID, :NAME), update
// (:ID, :NAME, :KEY_ID = the code as loaded) and delete (:KEY_ID). Edits are
// saved through the grid controller's save (confirmation, validation with the
// duplicate check, one transaction, boxes, reload), as in every editor; closing
// with unsaved edits asks first.
//
//     TFormSimpleEditDlg dlg(this, {caption, "코드", "이름"}, {sel, ins, upd, del}, current);
//     if (dlg.exec() == QDialog::Accepted) { auto v = dlg.SelectedValue(); ... }
#include "core/untPickerBase.h"

class QToolButton;

class TFormSimpleEditDlg : public TfrmPickerBase
{
    Q_OBJECT
public:
    // viewOnly: the edit-mode button is hidden (read once, at creation).
    TFormSimpleEditDlg(QWidget *owner, const QStringList &ACaptions, const QStringList &AQryString,
                       const QVariant &ASearchValue, bool viewOnly = false);

    enum { colID, colName, colKeyValue, colState };

    // Code and name of the focused row; two empty texts when none.
    QStringList SelectedValue() const;
    bool ViewOnly() const { return FViewOnly; }
    bool EditMode() const { return FEditMode; }
    void SetEditMode(bool edit);
    TGridController *Controller() const { return FCtrl; }

    QToolButton *btnEditMode = nullptr;
    QPushButton *btnCancel = nullptr, *btnSave = nullptr, *btnAdd = nullptr, *btnDel = nullptr;

    bool CanClose() override;

public slots:
    void LoadList();
    void actSelectExecute() override;
    // The save of the edited list; false when refused, invalid or failed.
    bool actSaveExecute();

protected:
    void showEvent(QShowEvent *e) override;
    void Retranslate() override;

private:
    void SaveRow(const TGridRow &row);
    QStringList FQryString;
    QVariant FSearchValue;
    bool FViewOnly = false;
    bool FEditMode = false;
    bool FShown = false;
    TGridController *FCtrl = nullptr;
};
