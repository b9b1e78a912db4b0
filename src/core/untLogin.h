#pragma once
// The login dialog: checks an operator identifier and password against SCS_M_USER,
// allows three failed attempts, warns when the password is older than its validity,
// writes the login event and fills DM->G_APP_USER.
#include <QDateTime>
#include <QDialog>

#include "foundation/TypeUnit.h"

class QLabel;
class QLineEdit;
class TsiLangLinked;

// Grade as stored -> grade used: 1 to 4 stay, any other value counts as 2.
int NormalizeGrade(int grade);
// Text key of a grade's name in the login table (IDS_9, IDS_8, IDS_7, IDS_12).
QString GradeNameKey(int grade);
// Whole months between two instants: |difference| / 30.4375 days, integer part.
// An invalid (NULL) change date counts from 30 December 1899.
qint64 PasswordAgeMonths(const QDateTime &userUpdate, const QDateTime &now);
// The expiry warning is due when the whole months reach the validity.
bool PasswordExpired(const QDateTime &userUpdate, int userCheck, const QDateTime &now);

class TfrmLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget *parent = nullptr);

    QLineEdit *UserIdEdit() const { return edtUserID; }
    QLineEdit *PasswordEdit() const { return edtPassword; }
    int LoginTryCount() const { return FLoginTryCount; }
    // Clock of the expiry check (tests set it).
    void SetNow(const QDateTime &now) { FNow = now; }

public slots:
    // One login attempt (confirm image, Enter in the password edit).
    void btnLoginClick();
    // Closes with Cancel.
    void imgCancelClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void CheckUser(TRtnBoolStr &result);
    bool ReturnKeyPress(QObject *sender, QEvent *event);
    QString Text(const QString &key) const;

    QLineEdit *edtUserID = nullptr;
    QLineEdit *edtPassword = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblUserID = nullptr;
    QLabel *lblPassword = nullptr;
    QLabel *imgLogin = nullptr;
    QLabel *imgCancel = nullptr;
    TsiLangLinked *siLangLinked_frmLogin = nullptr;
    int FLoginTryCount = 0;
    QDateTime FNow;
};
