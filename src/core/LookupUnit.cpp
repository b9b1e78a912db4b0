#include "core/LookupUnit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTimeZone>
#include <cstring>

#include "core/GridView.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "foundation/LcLookupSql.h"

// ---------------------------------------------------------------- look-ups

namespace {

QString NotExist()
{
    if (DM)
        return DM->T_NotExist;
    return siText(QStringLiteral("TDM"), QStringLiteral("strNotExist"));
}

// Runs `sql` with one integer parameter; true with the query on its first row.
bool OpenOne(QSqlQuery &q, const QString &sql, const QString &param, int value)
{
    if (!DM)
        return false;
    q = QSqlQuery(DM->Con());
    if (!q.prepare(sql))
        return DM->QueryOpen(q); // shows the error
    q.bindValue(':' + param, value);
    return DM->QueryOpen(q);
}

} // namespace

QString GetLcName(int lcNo)
{
    if (lcNo < 1)
        return NotExist();
    QSqlQuery q;
    if (!OpenOne(q, QStringLiteral("SELECT COALESCE(INT_NAME, CONCAT(INT_LCNO,'')) AS INT_NAME "
                                   "FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO"),
                 QStringLiteral("INT_LCNO"), lcNo))
        return NotExist();
    return q.value(0).toString();
}

bool LcExists(int lcNo)
{
    if (lcNo < 1)
        return false;
    QSqlQuery q;
    return OpenOne(q, QStringLiteral("SELECT 1 FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO"),
                   QStringLiteral("INT_LCNO"), lcNo);
}

bool SaExists(int saNo)
{
    if (saNo < 1)
        return false;
    QSqlQuery q;
    return OpenOne(q, QStringLiteral("SELECT 1 FROM SCS_M_SAOPERATE WHERE SA_NO = :SA_NO"),
                   QStringLiteral("SA_NO"), saNo);
}

int GetLcType(int lcNo)
{
    if (lcNo < 1)
        return 1;
    QSqlQuery q;
    if (!OpenOne(q, QStringLiteral("SELECT INT_LCTYPE FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO"),
                 QStringLiteral("INT_LCNO"), lcNo))
        return 1;
    return q.value(0).isNull() ? 0 : q.value(0).toInt();
}

bool IsLc2010(int lcNo)
{
    if (lcNo < 1)
        return true;
    QSqlQuery q;
    if (!OpenOne(q, QStringLiteral("SELECT INT_LCTYPE FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO"),
                 QStringLiteral("INT_LCNO"), lcNo))
        return true;
    return q.value(0).isNull() || q.value(0).toInt() != 1;
}

int GetLcImporFlag(int lcNo)
{
    if (lcNo < 1)
        return 0;
    QSqlQuery q;
    if (!OpenOne(q, QStringLiteral("SELECT INT_IMPORFLAG FROM SCS_M_INTLC WHERE INT_LCNO = :INT_LCNO"),
                 QStringLiteral("INT_LCNO"), lcNo))
        return 0;
    return q.value(0).toInt();
}

QString GetSaName(int saNo)
{
    if (saNo < 1)
        return NotExist();
    QSqlQuery q;
    if (!OpenOne(q, QStringLiteral("SELECT COALESCE(SA_NAME, CONCAT(SA_NO,'')) AS SA_NAME "
                                   "FROM SCS_M_SAOPERATE WHERE SA_NO = :SA_NO"),
                 QStringLiteral("SA_NO"), saNo))
        return NotExist();
    return q.value(0).toString();
}

QString GetLcSaName(int lcNo)
{
    if (lcNo < 1)
        return NotExist();
    QSqlQuery q;
    if (!OpenOne(q, QStringLiteral("SELECT COALESCE(SA_NAME, CONCAT(SA_NO,'')) AS SA_NAME "
                                   "FROM SCS_M_INTLC A LEFT JOIN SCS_M_SAOPERATE B ON A.INT_SANO = B.SA_NO "
                                   "WHERE INT_LCNO = :INT_LCNO"),
                 QStringLiteral("INT_LCNO"), lcNo))
        return NotExist();
    return q.value(0).toString();
}

int GetLcSaNo(int lcNo)
{
    if (lcNo < 1 || !DM)
        return 0;
    QSqlError error;
    const int saNo = SelectLcSaNo(DM->Con(), lcNo, &error);
    if (error.isValid())
        DM->ShowDbError(nullptr, error, DM->Text(QStringLiteral("IDS_5")), DM->Text(QStringLiteral("IDS_4")));
    return saNo;
}

TLcTypeEx GetLcTypeEx(int lcNo)
{
    if (lcNo < 1 || !DM)
        return lct2004;
    QSqlError error;
    const TLcTypeEx type = SelectLcTypeEx(DM->Con(), lcNo, &error);
    if (error.isValid())
        DM->ShowDbError(nullptr, error, DM->Text(QStringLiteral("IDS_5")), DM->Text(QStringLiteral("IDS_4")));
    return type;
}

// ---------------------------------------------------------------- converters

int StrToSignalCode(const QString &text, quint8 kind, quint8 flag)
{
    bool ok = false;
    int v = text.trimmed().toInt(&ok, 10);
    if (!ok)
        v = 0;
    if (kind == 1 || kind == 3) {
        static const QList<int> ped{0, 10, 20, 30};
        static const QList<int> veh{0, 1, 2, 3, 4, 8, 10, 20, 30, 40, 80};
        if (flag == 0 && !ped.contains(v))
            v = 0;
        else if (flag == 1 && !veh.contains(v))
            v = 0;
    } else if (kind == 2) {
        auto okDigit = [](int d) { return d <= 5 || d == 8; };
        if (v < 0 || v > 95 || !okDigit(v / 10) || !okDigit(v % 10))
            v = 0;
    }
    if (v <= 0) // a negative value that passed unchecked counts as no code
        return 0;
    const int hex = text.trimmed().toInt(&ok, 16);
    return ok ? hex : 0;
}

QString RemoveInvalidFileChars(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (const QChar c : text)
        if (!QStringLiteral("\"*/<>?\\|").contains(c))
            s.append(c);
    return s;
}

QDateTime PacketTimeToDateTime(qint32 seconds)
{
    if (seconds == 0)
        return QDateTime::currentDateTime();
    const QDateTime utc = QDateTime(QDate(1970, 1, 1), QTime(0, 0), Qt::UTC)
                              .addSecs(qint64(seconds) + 540 * 60);
    // The wall-clock fields of the centre's time, as a local date and time.
    return QDateTime(utc.date(), utc.time());
}

QDateTime PacketTimeToDateTime(const void *time)
{
    qint32 s = 0;
    if (time)
        std::memcpy(&s, time, sizeof s);
    return PacketTimeToDateTime(s);
}

QDateTime PacketTimeToDateTime(const QByteArray &time)
{
    qint32 s = 0;
    if (time.size() >= int(sizeof s))
        std::memcpy(&s, time.constData(), sizeof s);
    return PacketTimeToDateTime(s);
}

// ---------------------------------------------------------------- number edits

void UpdateIdEditLabels(QLineEdit *edit, int number, QLabel *nameLabel, int kind, QLabel *groupLabel)
{
    if (!edit)
        return;
    const int caret = edit->cursorPosition();
    edit->setText(QString::number(number));
    edit->setCursorPosition(qMin(caret, int(edit->text().size())));
    if (kind == IdEditKindLc) {
        if (nameLabel)
            nameLabel->setText(GetLcName(number));
        if (groupLabel)
            groupLabel->setText(GetSaName(GetLcSaNo(number)));
    } else if (kind == IdEditKindSa) {
        if (nameLabel)
            nameLabel->setText(GetSaName(number));
    }
}

bool IdEditKeyDown(QLineEdit *edit, QKeyEvent *event, QLabel *nameLabel, int kind, QLabel *groupLabel)
{
    if (!edit || !event)
        return false;
    const int number = edit->text().trimmed().toInt();
    if (event->key() == Qt::Key_Up && !(event->modifiers() & Qt::ControlModifier)) {
        UpdateIdEditLabels(edit, number + 1, nameLabel, kind, groupLabel);
        return true;
    }
    if (event->key() == Qt::Key_Down && !(event->modifiers() & Qt::ControlModifier)) {
        UpdateIdEditLabels(edit, number > 0 ? number - 1 : number, nameLabel, kind, groupLabel);
        return true;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_V:
            edit->paste();
            return true;
        case Qt::Key_C:
            edit->copy();
            return true;
        case Qt::Key_X:
            edit->copy();
            edit->clear();
            return true;
        default:
            break;
        }
    }
    return false;
}

bool IdEditKeyPress(QLineEdit *edit, QKeyEvent *event, const std::function<void()> &afterProc,
                    const std::function<void(int)> &setter, bool setFocusAfter)
{
    if (!edit || !event)
        return false;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (setter)
            setter(edit->text().trimmed().toInt());
        if (setFocusAfter)
            edit->setFocus();
        if (afterProc)
            afterProc();
        return true;
    }
    if (event->key() == Qt::Key_Backspace)
        return false;
    const QString t = event->text();
    if (t.isEmpty() || !t.at(0).isPrint())
        return false; // navigation and editing keys are not characters
    if (t.size() == 1 && (t.at(0) == '.' || (t.at(0) >= '0' && t.at(0) <= '9')))
        return false;
    return true;
}

bool EnterKeyExecute(QKeyEvent *event, QAction *action)
{
    if (!event || (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter))
        return false;
    if (action)
        action->trigger();
    return true;
}

namespace {

class TIdEditFilter : public QObject
{
public:
    TIdEditFilter(QLineEdit *edit, int kind, QLabel *name, QLabel *group,
                  std::function<void(int)> setter, std::function<void()> after, bool focus,
                  TIdEditStep step)
        : QObject(edit), FEdit(edit), FKind(kind), FName(name), FGroup(group),
          FSetter(std::move(setter)), FAfter(std::move(after)), FFocus(focus), FStep(step) {}

    bool eventFilter(QObject *obj, QEvent *e) override
    {
        if (obj != FEdit)
            return false;
        // Enter is this edit's: a dialog must not hand it to its default button.
        if (e->type() == QEvent::ShortcutOverride) {
            auto *k = static_cast<QKeyEvent *>(e);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                e->accept();
                return true;
            }
            return false;
        }
        if (e->type() != QEvent::KeyPress)
            return false;
        auto *k = static_cast<QKeyEvent *>(e);
        if (FStep == TIdEditStep::Apply && !(k->modifiers() & Qt::ControlModifier)
            && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
            StepAndApply(k->key() == Qt::Key_Up);
            return true;
        }
        if (IdEditKeyDown(FEdit, k, FName, FKind, FGroup))
            return true;
        if (FStep == TIdEditStep::Apply && k->text() == QLatin1String("."))
            return true; // digits only
        return IdEditKeyPress(FEdit, k, FAfter, FSetter, FFocus);
    }

private:
    void StepAndApply(bool up)
    {
        const int number = FEdit->text().trimmed().toInt();
        int next = number + 1;
        if (!up) {
            const bool exists = FKind == IdEditKindLc ? LcExists(number) : SaExists(number);
            next = exists ? number - 1 : number;
        }
        if (next <= 0)
            return;
        {
            const QSignalBlocker block(FEdit);
            UpdateIdEditLabels(FEdit, next, FName, FKind, FGroup);
        }
        if (FSetter)
            FSetter(next);
    }

    QLineEdit *FEdit;
    int FKind;
    QLabel *FName;
    QLabel *FGroup;
    std::function<void(int)> FSetter;
    std::function<void()> FAfter;
    bool FFocus;
    TIdEditStep FStep;
};

class TEnterFilter : public QObject
{
public:
    TEnterFilter(QLineEdit *edit, QAction *action) : QObject(edit), FAction(action) {}
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress)
            return EnterKeyExecute(static_cast<QKeyEvent *>(e), FAction);
        return false;
    }

private:
    QAction *FAction;
};

} // namespace

void InstallIdEditKeys(QLineEdit *edit, int kind, QLabel *nameLabel, QLabel *groupLabel,
                       std::function<void(int)> setter, std::function<void()> afterProc,
                       bool setFocusAfter, TIdEditStep step)
{
    if (edit)
        edit->installEventFilter(new TIdEditFilter(edit, kind, nameLabel, groupLabel,
                                                   std::move(setter), std::move(afterProc),
                                                   setFocusAfter, step));
}

void InstallEnterKeyExecute(QLineEdit *edit, QAction *action)
{
    if (edit)
        edit->installEventFilter(new TEnterFilter(edit, action));
}

// ---------------------------------------------------------------- grid and focus

bool IsFocusInside(const QWidget *container)
{
    const QWidget *f = QApplication::focusWidget();
    return container && f && (f == container || container->isAncestorOf(f));
}

void LocateGridRow(TGridView *view, int itemIndex, const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!view || !ok || n == 0 || !view->GridModel() || view->DisplayCount() == 0)
        return;
    for (int r = 0; r < view->DisplayCount(); ++r) {
        const int rec = view->RecordAtDisplay(r);
        if (view->GridModel()->Text(rec, itemIndex) == text) {
            view->FocusDisplayRow(r);
            return;
        }
    }
}

void SetGridItemTags(TGridView *view, bool bands, int startValue)
{
    if (!view || !view->GridModel())
        return;
    if (bands) {
        QList<TGridBand> list = view->Header()->Bands();
        for (int i = 0; i < list.size(); ++i)
            list[i].Tag = startValue + i;
        view->Header()->SetBands(list);
        return;
    }
    TGridModel *m = view->GridModel();
    for (int c = 0; c < m->ColumnCount(); ++c)
        m->ColumnRef(c).Tag = startValue + c;
}
