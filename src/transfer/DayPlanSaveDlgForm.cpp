#include "transfer/DayPlanSaveDlgForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

TFormDayPlanSaveDlg *FormDayPlanSaveDlg = nullptr;

namespace {

const QString kTable = QStringLiteral("TFormDayPlanSaveDlg");
QString Tx(const char *key) { return siText(kTable, QString::fromLatin1(key)); }

const QColor kReadOnly(0xB3, 0xB3, 0xB3);

// Cell editor of the plan columns: digits only, 1 to 16 or empty.
class TPatternDelegate : public QStyledItemDelegate
{
public:
    TPatternDelegate(TFormDayPlanSaveDlg *dlg) : QStyledItemDelegate(dlg), FDlg(dlg) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *edit = new QLineEdit(parent);
        edit->setAlignment(Qt::AlignRight);
        edit->setValidator(new QIntValidator(1, 16, edit));
        return edit;
    }
    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const override
    {
        FDlg->SetItemText(index.row(), index.column(), static_cast<QLineEdit *>(editor)->text());
    }

private:
    TFormDayPlanSaveDlg *FDlg;
};

} // namespace

TFormDayPlanSaveDlg::TFormDayPlanSaveDlg(QWidget *AOwner, const QList<quint8> &AVisibleNum) : QDialog(AOwner)
{
    setObjectName(QStringLiteral("FormDayPlanSaveDlg"));
    setWindowTitle(Tx("Caption"));
    FEditable = QList<bool>(11, false);
    for (quint8 n : AVisibleNum)
        if (n >= 1 && n <= 10)
            FEditable[n] = true;
    auto *layout = new QVBoxLayout(this);
    gtvGrid = new QTableWidget(16, 11, this);
    gtvGrid->setObjectName(QStringLiteral("gtvGrid"));
    QStringList headers{Tx("bandPattern")};
    for (int n = 1; n <= 10; ++n)
        headers << QStringLiteral("%1\n%2").arg(Tx("bandPlan")).arg(n);
    gtvGrid->setHorizontalHeaderLabels(headers);
    gtvGrid->verticalHeader()->hide();
    gtvGrid->verticalHeader()->setDefaultSectionSize(17);
    for (int r = 0; r < 16; ++r) {
        auto *num = new QTableWidgetItem(QString::number(r + 1));
        num->setFlags(Qt::ItemIsEnabled);
        num->setBackground(QColor(0xEC, 0xE9, 0xD8));
        num->setTextAlignment(Qt::AlignCenter);
        gtvGrid->setItem(r, 0, num);
        for (int n = 1; n <= 10; ++n) {
            auto *cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (FEditable[n]) {
                cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            } else {
                cell->setFlags(Qt::ItemIsEnabled);
                cell->setBackground(kReadOnly);
            }
            gtvGrid->setItem(r, n, cell);
        }
    }
    gtvGrid->setItemDelegate(new TPatternDelegate(this));
    gtvGrid->installEventFilter(this);
    layout->addWidget(gtvGrid, 1);
    auto *bottom = new QHBoxLayout;
    cbxCleanUp = new QCheckBox(Tx("cbxCleanUp.Caption"), this);
    cbxCleanUp->setObjectName(QStringLiteral("cbxCleanUp"));
    cbxCleanUp->setChecked(true);
    bottom->addWidget(cbxCleanUp, 1);
    btnConfirm = new QPushButton(Tx("btnConfirm.Caption"), this);
    btnConfirm->setObjectName(QStringLiteral("btnConfirm"));
    btnCancel = new QPushButton(Tx("btnCancel.Caption"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    bottom->addWidget(btnConfirm);
    bottom->addWidget(btnCancel);
    layout->addLayout(bottom);
    connect(btnConfirm, &QPushButton::clicked, this, &TFormDayPlanSaveDlg::btnConfirmClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(560, 420);
}

int TFormDayPlanSaveDlg::ItemValue(int ARowIndex, int AColIndex) const
{
    const QTableWidgetItem *cell = gtvGrid->item(ARowIndex, AColIndex);
    if (!cell || AColIndex < 1 || AColIndex > 10)
        return -1;
    bool ok = false;
    const int v = cell->text().toInt(&ok);
    return ok ? v : -1;
}

bool TFormDayPlanSaveDlg::KeepExisting() const { return cbxCleanUp->isChecked(); }

bool TFormDayPlanSaveDlg::ColumnEditable(int plan) const { return plan >= 1 && plan <= 10 && FEditable[plan]; }

bool TFormDayPlanSaveDlg::SetItemText(int row, int plan, const QString &text)
{
    if (row < 0 || row > 15 || !ColumnEditable(plan))
        return false;
    const QString t = text.trimmed();
    if (!t.isEmpty()) {
        bool ok = false;
        const int v = t.toInt(&ok);
        if (!ok || v < 1 || v > 16)
            return false;
        gtvGrid->item(row, plan)->setText(QString::number(v));
        return true;
    }
    gtvGrid->item(row, plan)->setText(QString());
    return true;
}

void TFormDayPlanSaveDlg::EnterPressed()
{
    const int row = qMax(0, gtvGrid->currentRow());
    const int col = gtvGrid->currentColumn();
    if (row < 15) {
        gtvGrid->setCurrentCell(row + 1, col);
        return;
    }
    int next = -1;
    for (int n = col + 1; n <= 10 && next < 0; ++n)
        if (FEditable[n])
            next = n;
    for (int n = 1; n <= 10 && next < 0; ++n)
        if (FEditable[n])
            next = n;
    if (next > 0)
        gtvGrid->setCurrentCell(0, next);
}

void TFormDayPlanSaveDlg::btnConfirmClick()
{
    for (int r = 0; r < 16; ++r)
        for (int n = 1; n <= 10; ++n)
            if (ItemValue(r, n) != -1) {
                accept();
                return;
            }
    ShowMsgDlg(this, QApplication::applicationName(), Tx("IDS_1"), DM ? DM->T_ValidationCaption : QString(),
               QString(), mkWarning);
}

void TFormDayPlanSaveDlg::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    gtvGrid->setFocus();
    for (int n = 1; n <= 10; ++n)
        if (FEditable[n]) {
            gtvGrid->setCurrentCell(0, n);
            break;
        }
}

bool TFormDayPlanSaveDlg::eventFilter(QObject *o, QEvent *e)
{
    if (o == gtvGrid && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EnterPressed();
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}
