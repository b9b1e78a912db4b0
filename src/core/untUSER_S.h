#pragma once
// TfrmUSER_S: modal operator picker (read-only list of SCS_M_USER). Opener:
// create, caption DM->T_UserSTitle, exec(); on OK read mmUSERListUSER_ID(); free.
// Passwords are not read. Grades show the login's grade names; a stored grade
// other than 1 to 4 counts as 2, as at login.
#include "core/untPickerBase.h"

class TfrmUSER_S : public TfrmPickerBase
{
    Q_OBJECT
public:
    explicit TfrmUSER_S(QWidget *owner = nullptr);

    QVariant mmUSERListUSER_ID() const { return Value("USER_ID"); }
    QVariant mmUSERListUSER_NAME() const { return Value("USER_NAME"); }
    QVariant mmUSERListAUT_GRADE() const { return Value("AUT_GRADE"); }

public slots:
    void LoadUsers();

protected:
    void showEvent(QShowEvent *e) override;
    void Retranslate() override;

private:
    bool FShown = false;
};
