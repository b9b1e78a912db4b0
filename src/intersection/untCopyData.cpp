#include "intersection/untCopyData.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "core/untSA_S.h"
#include "core/untTCDV_S.h"
#include "foundation/QuorvalBase.h"

namespace {

const QString kChosen = QStringLiteral("\u2611");
const QString kNotChosen = QStringLiteral("\u2610");

} // namespace

TFormCopyBase::TFormCopyBase(QWidget *owner, const CopyData::TCopyKind &kind, const QString &table)
    : TfrmBase(owner, table), FKind(kind), FSel(kind.OptionCount())
{
    auto *layout = new QVBoxLayout(this);
    grpNumbers = new QGroupBox(this);
    auto *numbers = new QGridLayout(grpNumbers);
    auto numberEdit = [this](const char *name) {
        auto *e = new QLineEdit(grpNumbers);
        e->setObjectName(QString::fromLatin1(name));
        e->setFixedWidth(80);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}")), e));
        QAction *pick = e->addAction(QIcon(), QLineEdit::TrailingPosition);
        pick->setText(QStringLiteral("..."));
        connect(pick, &QAction::triggered, this, [this, e] {
            int n = 0;
            if (Pick(&n))
                e->setText(QString::number(n));
        });
        connect(e, &QLineEdit::textChanged, this, [this, e] { SearchEditChange(e); });
        e->installEventFilter(this);
        return e;
    };
    lblSrc = new QLabel(grpNumbers);
    lblDest = new QLabel(grpNumbers);
    nedtSrc = numberEdit("nedtSrc");
    nedtDest = numberEdit("nedtDest");
    lblSrcName = new QLabel(grpNumbers);
    lblDestName = new QLabel(grpNumbers);
    edtNewName = new QLineEdit(grpNumbers);
    edtNewName->setObjectName(QStringLiteral("edtNewName"));
    edtNewName->setVisible(false);
    edtNewName->installEventFilter(this);
    numbers->addWidget(lblSrc, 0, 0);
    numbers->addWidget(nedtSrc, 0, 1);
    numbers->addWidget(lblSrcName, 0, 2);
    numbers->addWidget(lblDest, 1, 0);
    numbers->addWidget(nedtDest, 1, 1);
    numbers->addWidget(lblDestName, 1, 2);
    numbers->addWidget(edtNewName, 1, 2);
    layout->addWidget(grpNumbers);

    grpOptions = new QGroupBox(this);
    auto *options = new QGridLayout(grpOptions);
    for (int k = 1; k <= FSel.Count(); ++k) {
        auto *b = new QPushButton(grpOptions);
        b->setObjectName(QStringLiteral("btnSel%1").arg(k));
        auto *img = new QLabel(kNotChosen, grpOptions);
        img->setObjectName(QStringLiteral("imgSel%1").arg(k));
        img->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, k] { SelectButtonClick(k); });
        const int row = (k - 1) / 3, col = ((k - 1) % 3) * 2;
        options->addWidget(img, row, col);
        options->addWidget(b, row, col + 1);
        btnOptions << b;
        imgOptions << img;
    }
    layout->addWidget(grpOptions);

    auto *buttons = new QHBoxLayout;
    actCopy = new QAction(this);
    connect(actCopy, &QAction::triggered, this, [this] { actCopyExecute(); });
    btnCopy = new QPushButton(this);
    connect(btnCopy, &QPushButton::clicked, actCopy, &QAction::trigger);
    btnCloseWindow = new QPushButton(this);
    connect(btnCloseWindow, &QPushButton::clicked, actClose, &QAction::trigger);
    buttons->addStretch();
    buttons->addWidget(btnCopy);
    buttons->addWidget(btnCloseWindow);
    layout->addLayout(buttons);
    ShowSelection();
}

void TFormCopyBase::Retranslate()
{
    TfrmBase::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    grpNumbers->setTitle(Tx(QStringLiteral("grpNumbers.Caption")));
    grpOptions->setTitle(Tx(QStringLiteral("grpOptions.Caption")));
    lblSrc->setText(Tx(QStringLiteral("lblSrc.Caption")));
    lblDest->setText(Tx(QStringLiteral("lblDest.Caption")));
    edtNewName->setPlaceholderText(Tx(QStringLiteral("edtNewName.Hint")));
    for (int k = 1; k <= btnOptions.size(); ++k)
        btnOptions[k - 1]->setText(Tx(QStringLiteral("btnSel%1.Caption").arg(k)));
    btnCopy->setText(Tx(QStringLiteral("btnCopy.Caption")));
    btnCloseWindow->setText(Tx(QStringLiteral("btnClose.Caption")));
}

void TFormCopyBase::SearchEditChange(QLineEdit *edit)
{
    edtNewName->clear();
    const QString text = edit->text().trimmed();
    QLabel *label = edit == nedtSrc ? lblSrcName : lblDestName;
    if (text.isEmpty()) {
        label->clear();
        if (edit == nedtDest)
            edtNewName->setVisible(false);
        return;
    }
    const QString name = LookupName(text.toInt());
    label->setText(name);
    if (edit == nedtDest)
        edtNewName->setVisible(!Exists(text.toInt()));
}

void TFormCopyBase::SelectButtonClick(int k)
{
    FSel.Toggle(k);
    ShowSelection();
}

void TFormCopyBase::ShowSelection()
{
    for (int k = 1; k <= imgOptions.size(); ++k)
        imgOptions[k - 1]->setText(FSel.Chosen(k) ? kChosen : kNotChosen);
}

bool TFormCopyBase::eventFilter(QObject *obj, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonRelease) {
        const int k = imgOptions.indexOf(qobject_cast<QLabel *>(obj));
        if (k >= 0) {
            SelectButtonClick(k + 1);
            return true;
        }
    }
    if (e->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            focusNextPrevChild(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return TfrmBase::eventFilter(obj, e);
}

bool TFormCopyBase::actCopyExecute()
{
    using CopyData::TProblem;
    CopyData::TRequest r;
    r.Source = nedtSrc->text().trimmed().toInt();
    r.Target = nedtDest->text().trimmed().toInt();
    r.SourceExists = !nedtSrc->text().trimmed().isEmpty() && Exists(r.Source);
    r.TargetExists = r.Target != 0 && Exists(r.Target);
    r.NewName = edtNewName->text().trimmed();
    const TProblem problem = CopyData::Check(FKind, r, FSel);
    if (problem != TProblem::None) {
        QString key;
        switch (problem) {
        case TProblem::Source: key = QStringLiteral("IDS_Source"); break;
        case TProblem::TargetEmpty: key = QStringLiteral("IDS_Target"); break;
        case TProblem::TargetTooLarge: key = QStringLiteral("IDS_Max"); break;
        case TProblem::Same: key = QStringLiteral("IDS_Same"); break;
        case TProblem::NoName: key = QStringLiteral("IDS_Name"); break;
        case TProblem::NoOption: key = QStringLiteral("IDS_Option"); break;
        case TProblem::None: break;
        }
        ShowMsgDlg(this, KitAppTitle(), Tx(key), KIT_T(T_ValidationCaption), QString(), mkError);
        QWidget *focus = problem == TProblem::Source ? nedtSrc : problem == TProblem::NoName ? edtNewName : nedtDest;
        focus->setFocus();
        return false;
    }
    const QString question = r.TargetExists
                                 ? Tx(QStringLiteral("IDS_Replace"))
                                 : Tx(QStringLiteral("IDS_Create")).arg(r.Target).arg(r.NewName);
    if (ShowMsgDlg(this, KitAppTitle(), question, KIT_T(T_SaveQryCaption), QString(), mkQuestion) != mrYes)
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    actCopy->setEnabled(false);
    actClose->setEnabled(false);
    QString error;
    try {
        CopyData::Copy(DM->Con(), DM->DBInfo().DBType, FKind, r, FSel);
    } catch (const std::exception &e) {
        error = QString::fromStdString(e.what());
    }
    actCopy->setEnabled(true);
    actClose->setEnabled(true);
    QApplication::restoreOverrideCursor();
    if (error.isEmpty())
        ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveSuccessMsg), KIT_T(T_SaveSuccessCaption), QString(),
                   mkInformation);
    else
        ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveFailMsg), KIT_T(T_SaveFailCaption), error, mkError);
    // The names follow what is stored now.
    SearchEditChange(nedtDest);
    return error.isEmpty();
}

TFormCopyGroup::TFormCopyGroup(QWidget *owner)
    : TFormCopyBase(owner, CopyData::GroupKind(), QStringLiteral("TFormCopyGroup"))
{
    InitLanguage();
}

QString TFormCopyGroup::LookupName(int number) const
{
    return GetSaName(number);
}

bool TFormCopyGroup::Exists(int number) const
{
    return SaExists(number);
}

bool TFormCopyGroup::Pick(int *number)
{
    TfrmSA_S dlg(this);
    dlg.setWindowTitle(KIT_T(T_SaSTitle));
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *number = dlg.SA_ID();
    return true;
}

TFormCopyInt::TFormCopyInt(QWidget *owner)
    : TFormCopyBase(owner, CopyData::IntersectionKind(), QStringLiteral("TFormCopyInt"))
{
    InitLanguage();
}

QString TFormCopyInt::LookupName(int number) const
{
    return GetLcName(number);
}

bool TFormCopyInt::Exists(int number) const
{
    return LcExists(number);
}

bool TFormCopyInt::Pick(int *number)
{
    TfrmTCDV_S dlg(this);
    dlg.setWindowTitle(KIT_T(T_TcdvSTitle));
    dlg.chxOnlySgnl->setChecked(true);
    dlg.chxOnlySgnl->setVisible(false);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    *number = dlg.qryTCDVINT_LCNO().toString().toInt();
    return true;
}
