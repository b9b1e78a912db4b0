#pragma once
// TfrmUSER_E: the operator account editor (SCS_M_USER), a grid editor on the
// base window's one save path. Passwords are shown deciphered and stored
// enciphered (Load: TryDecrypt, SaveRow: Encrypt); a manager (grade 3) cannot
// open the cells of a grade-1 account nor save one. Opened modally by the main
// window's operator-management action.
#include "core/untBaseGrid.h"

class TfrmUSER_E : public TfrmBaseGrid
{
    Q_OBJECT
public:
    explicit TfrmUSER_E(QWidget *owner = nullptr);

    enum TUserCol {
        colUSER_ID, colUSER_PW, colUSER_NAME, colUSER_TEL, colUSER_DEPT, colAUT_GRADE,
        colEMERGENCY_FLAG, colUSER_CHECK, colUSER_UPDATE, colKeyValue, colState, colTMP_USER_PW
    };

    TGridView *gtvUSER = nullptr;   // the base window's grid
    TGridModel *Model() const { return GridModel(); }

    // The grade of the logged-in operator (DM->G_APP_USER.Role unless set, for tests).
    void SetLoginGrade(int grade) { FLoginGrade = grade; }
    int LoginGrade() const;

    // The checks of a save, on the model alone: the first changed row (record
    // order) with an empty required column (rows being deleted need none), an
    // identifier another row has, or (manager) grade 1. problem: 0 none,
    // 1 required, 2 duplicate, 3 permission.
    struct TCheck { int problem = 0; int record = -1; int column = -1; };
    static TCheck CheckRows(const TGridModel &model, int loginGrade);

    // The account rules (CheckRows) in place of the base window's checks.
    TRtnBoolStr Validate(TGridView *TableView, bool DuplicationCheck) override;

public slots:
    void actExportExecute() override;

protected:
    void Load() override;
    void SaveRow(const TGridRow &row) override;
    void showEvent(QShowEvent *e) override;
    void Retranslate() override;

private:
    int FLoginGrade = -1;
    bool FShown = false;
    QString FLastUserId;
};
