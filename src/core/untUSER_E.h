#pragma once
// TfrmUSER_E: the operator account editor (SCS_M_USER), one editable grid with
// the row-state protocol. Passwords are shown deciphered and stored enciphered
// (Encrypt); a manager (grade 3) cannot open the cells of a grade-1 account nor
// save one. Opened modally by the main window's operator-management action.
#include "core/GridControllerUnit.h"
#include "core/untBase.h"

class QPushButton;

class TfrmUSER_E : public TfrmBase
{
    Q_OBJECT
public:
    explicit TfrmUSER_E(QWidget *owner = nullptr);

    enum TUserCol {
        colUSER_ID, colUSER_PW, colUSER_NAME, colUSER_TEL, colUSER_DEPT, colAUT_GRADE,
        colEMERGENCY_FLAG, colUSER_CHECK, colUSER_UPDATE, colKeyValue, colState, colTMP_USER_PW
    };

    TGridView *gtvUSER = nullptr;
    TGridModel *Model() const { return FModel; }
    TGridController *Controller() const { return FCtrl; }
    bool Edited() const { return FCtrl->Edited(); }

    // The grade of the logged-in operator (DM->G_APP_USER.Role unless set, for tests).
    void SetLoginGrade(int grade) { FLoginGrade = grade; }
    int LoginGrade() const;

    // The checks of a save, on the model alone: the first changed row (record
    // order) with an empty required column, an identifier another row has, or
    // (manager) grade 1. problem: 0 none, 1 required, 2 duplicate, 3 permission.
    struct TCheck { int problem = 0; int record = -1; int column = -1; };
    static TCheck CheckRows(const TGridModel &model, int loginGrade);

    QPushButton *btnSearch = nullptr, *btnAdd = nullptr, *btnDel = nullptr, *btnSave = nullptr,
                *btnExport = nullptr, *btnClose = nullptr;

public slots:
    void actSearchExecute();
    void actSaveExecute();
    void actExportExecute();
    void actCloseExecute() override;

protected:
    void showEvent(QShowEvent *e) override;
    void Retranslate() override;

private:
    void SaveRow(const QVariantList &values, const QString &key, const QString &state);
    TGridModel *FModel = nullptr;
    TGridController *FCtrl = nullptr;
    int FPrimaryKeyIdx = colUSER_ID;
    int FKeyValueIdx = colKeyValue;
    int FStateIdx = colState;
    int FLoginGrade = -1;
    bool FShown = false;
    QString FLastUserId;
};
