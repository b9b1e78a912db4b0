#include "core/untLogin.h"

#include <QDebug>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QSqlQuery>
#include <QVBoxLayout>

#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

int NormalizeGrade(int grade)
{
    return grade >= 1 && grade <= 4 ? grade : 2;
}

QString GradeNameKey(int grade)
{
    switch (NormalizeGrade(grade)) {
    case 1: return QStringLiteral("IDS_9");
    case 3: return QStringLiteral("IDS_7");
    case 4: return QStringLiteral("IDS_12");
    default: return QStringLiteral("IDS_8");
    }
}

qint64 PasswordAgeMonths(const QDateTime &userUpdate, const QDateTime &now)
{
    const QDateTime from = userUpdate.isValid() ? userUpdate
                                                : QDateTime(QDate(1899, 12, 30), QTime(0, 0));
    const qint64 ms = qAbs(now.toMSecsSinceEpoch() - from.toMSecsSinceEpoch());
    const double monthMs = 30.4375 * 24.0 * 3600.0 * 1000.0;
    return qint64(double(ms) / monthMs);
}

bool PasswordExpired(const QDateTime &userUpdate, int userCheck, const QDateTime &now)
{
    return PasswordAgeMonths(userUpdate, now) >= userCheck;
}

// ---------------------------------------------------------------------------

TfrmLogin::TfrmLogin(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmLogin"));
    setFixedSize(477, 460);
    setAttribute(Qt::WA_TranslucentBackground);

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setAlignment(Qt::AlignCenter);
    lblTitle->setGeometry(40, 70, 397, 60);
    lblTitle->setWordWrap(true);
    lblTitle->setStyleSheet(QStringLiteral("color: white; font-size: 20px; font-weight: bold;"));

    auto mkLabel = [this](const char *name, int y) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(80, y, 90, 30);
        l->setStyleSheet(QStringLiteral("color: #dfe8f5;"));
        return l;
    };
    lblUserID = mkLabel("lblUserID", 190);
    lblPassword = mkLabel("lblPassword", 240);

    auto mkEdit = [this](const char *name, int y) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setFrame(false);
        e->setGeometry(175, y, 220, 30);
        e->setStyleSheet(QStringLiteral("background: white; color: black; padding-left: 4px;"));
        e->installEventFilter(this);
        return e;
    };
    edtUserID = mkEdit("edtUserID", 190);
    edtPassword = mkEdit("edtPassword", 240);
    edtPassword->setEchoMode(QLineEdit::Password);
    setTabOrder(edtUserID, edtPassword);

    auto mkImage = [this](const char *name, int x) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignCenter);
        l->setGeometry(x, 320, 130, 40);
        l->setCursor(Qt::PointingHandCursor);
        l->setStyleSheet(QStringLiteral("color: white; border: 1px solid #9fb6d6; border-radius: 6px;"
                                        " background: #2f5d94; font-weight: bold;"));
        l->installEventFilter(this);
        return l;
    };
    imgLogin = mkImage("imgLogin", 95);
    imgCancel = mkImage("imgCancel", 252);

    siLangLinked_frmLogin = new TsiLangLinked(this, QStringLiteral("TfrmLogin"), [this]() {
        lblTitle->setText(DM ? DM->G_APP_TITLE : siText(QStringLiteral("TDM"), QStringLiteral("strAPP_TITLE")));
    });
    siLangLinked_frmLogin->Retranslate();
    edtUserID->setFocus();
}

QString TfrmLogin::Text(const QString &key) const
{
    return siLangLinked_frmLogin->Text(key);
}

void TfrmLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());
    activateWindow();
    raise();
    edtUserID->setFocus();
}

void TfrmLogin::paintEvent(QPaintEvent *)
{
    // The dialog's face: a rounded panel with a gradient.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0.0, QColor(22, 52, 96));
    g.setColorAt(1.0, QColor(52, 98, 150));
    p.setBrush(g);
    p.setPen(QPen(QColor(140, 170, 210), 2));
    p.drawRoundedRect(rect().adjusted(2, 2, -2, -2), 18, 18);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.drawLine(40, 160, width() - 40, 160);
    // three lamps of a signal head above the title
    const QColor lamps[3] = {QColor(220, 60, 50), QColor(240, 190, 40), QColor(60, 190, 90)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lamps[i]);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(width() / 2 - 30 + i * 30, 45), 10, 10);
    }
}

bool TfrmLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == edtUserID || watched == edtPassword))
        return ReturnKeyPress(watched, event);
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::LeftButton) {
            if (watched == imgLogin) { btnLoginClick(); return true; }
            if (watched == imgCancel) { imgCancelClick(); return true; }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TfrmLogin::ReturnKeyPress(QObject *sender, QEvent *event)
{
    auto *ke = static_cast<QKeyEvent *>(event);
    if (ke->key() != Qt::Key_Return && ke->key() != Qt::Key_Enter)
        return false;
    // Enter is swallowed: in the identifier it moves on, in the password it logs in.
    if (sender == edtUserID)
        edtPassword->setFocus();
    else
        btnLoginClick();
    return true;
}

void TfrmLogin::imgCancelClick()
{
    reject();
}

void TfrmLogin::CheckUser(TRtnBoolStr &result)
{
    result.rtn = false;
    result.msg.clear();
    if (!DM) {
        result.msg = Text(QStringLiteral("IDS_10"));
        return;
    }
    QSqlQuery q = DM->NewQuery();
    q.prepare(QStringLiteral("SELECT USER_ID, USER_NAME, USER_PW, AUT_GRADE, USER_DEPT, USER_UPDATE,"
                             " USER_CHECK, BOOKMARKS FROM SCS_M_USER WHERE USER_ID = :USER_ID"));
    q.bindValue(QStringLiteral(":USER_ID"), edtUserID->text()); // exactly as typed
    if (!DM->QueryOpen(q, this)) {
        result.msg = Text(QStringLiteral("IDS_10"));
        return;
    }
    // The password counts exactly as typed: blanks around it are part of it, as the
    // account editor stores it.
    const QString typed = edtPassword->text();
    const QString stored = q.value(QStringLiteral("USER_PW")).toString();
    // The stored text is bound to the operator of its row: a text copied from
    // another operator's row does not open.
    const QString rowId = q.value(QStringLiteral("USER_ID")).toString();
    QString plain1, plain2;
    try {
        plain1 = Decrypt(rowId, stored);
        plain2 = DecryptByLockBox(rowId, stored);
    } catch (const EPasswordCipherError &e) {
        // A stored text the cipher refuses does not match; why (no key file, another
        // key, an altered text) goes to the log for the administrator.
        qWarning().noquote() << "login: the stored password of" << rowId
                             << "cannot be read:" << e.Message();
    }
    if ((plain1.isEmpty() || plain1 != typed) && (plain2.isEmpty() || plain2 != typed)) {
        result.msg = Text(QStringLiteral("IDS_11"));
        return;
    }
    ST_USER u;
    u.ID = q.value(QStringLiteral("USER_ID")).toString();
    u.Pass = typed;
    u.Name = q.value(QStringLiteral("USER_NAME")).toString();
    u.Role = NormalizeGrade(q.value(QStringLiteral("AUT_GRADE")).toInt());
    u.RoleName = Text(GradeNameKey(u.Role));
    u.Division = q.value(QStringLiteral("USER_DEPT")).toString();
    const QVariant upd = q.value(QStringLiteral("USER_UPDATE"));
    u.UserUpdate = upd.isNull() ? QDateTime() : upd.toDateTime();
    u.UserCheck = quint8(q.value(QStringLiteral("USER_CHECK")).toInt());
    u.Bookmarks = q.value(QStringLiteral("BOOKMARKS")).toString();
    q.finish();
    DM->G_APP_USER = u;
    result.rtn = true;
}

void TfrmLogin::btnLoginClick()
{
    const QString title = DM ? DM->G_APP_TITLE : QString();
    if (edtUserID->text().trimmed().isEmpty()) {
        ShowMsgDlg(this, title, Text(QStringLiteral("IDS_1")), Text(QStringLiteral("IDS_2")), QString(),
                   mkInformation);
        edtUserID->setFocus();
        return;
    }
    if (edtPassword->text().trimmed().isEmpty()) {
        ShowMsgDlg(this, title, Text(QStringLiteral("IDS_3")), Text(QStringLiteral("IDS_2")), QString(),
                   mkInformation);
        edtPassword->setFocus();
        return;
    }
    TRtnBoolStr r;
    CheckUser(r);
    if (r.rtn) {
        const ST_USER &u = DM->G_APP_USER;
        const QDateTime now = FNow.isValid() ? FNow : QDateTime::currentDateTime();
        if (PasswordExpired(u.UserUpdate, u.UserCheck, now))
            ShowMsgDlg(this, title, Text(QStringLiteral("IDS_13")), Text(QStringLiteral("IDS_14")),
                       QString(), mkWarning);
        DM->WriteEventControl(u.ID, 160, 0, 3, false, 0, Text(QStringLiteral("IDS_4")));
        accept();
        return;
    }
    ++FLoginTryCount;
    ShowMsgDlg(this, title,
               Text(QStringLiteral("IDS_5")) + QString::number(FLoginTryCount) + Text(QStringLiteral("IDS_6")),
               Text(QStringLiteral("IDS_2")), r.msg, mkInformation);
    if (FLoginTryCount > 2)
        reject();
}
