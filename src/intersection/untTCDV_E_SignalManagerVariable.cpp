#include "intersection/untTCDV_E_SignalManagerVariable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include "core/KitTexts.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace {

// The value column: the editor and the shown text of each row follow its variable.
class TStartupValueDelegate : public QStyledItemDelegate
{
public:
    TStartupValueDelegate(TfrmTCDV_E_SignalManagerVariable *form) : QStyledItemDelegate(form), FForm(form) {}

    Startup::TRow RowAt(const QModelIndex &index) const
    {
        const QString col = index.siblingAtColumn(FForm->KeyValueIdx()).data(Qt::EditRole).toString();
        const int r = FForm->RowOf(col);
        return r >= 0 ? FForm->Rows().at(r) : Startup::TRow{};
    }
    static int Language() { return TsiLangDispatcher::instance()->ActiveLanguage(); }

    QString TextOf(const Startup::TRow &row, const QVariant &v) const
    {
        if (v.isNull() || v.toString().isEmpty())
            return QString();
        if (row.Editor == "phaseset") {
            QStringList l;
            for (int p : Startup::PhaseSetPhases(v.toInt()))
                l << QString::number(p);
            return l.join(',');
        }
        const QStringList texts = Startup::ValueTexts(row.Editor, Language());
        const int i = v.toInt();
        if (!texts.isEmpty() && i >= 0 && i < texts.size())
            return texts.at(i);
        return v.toString();
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = TextOf(RowAt(index), index.data(Qt::EditRole));
        option->displayAlignment = Qt::AlignCenter;
    }

public:
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        const Startup::TRow row = RowAt(index);
        if (row.Editor == "phaseset") {
            auto *w = new QWidget(parent);
            w->setAutoFillBackground(true);
            auto *l = new QHBoxLayout(w);
            l->setContentsMargins(2, 0, 2, 0);
            for (int p = 1; p <= 8; ++p) {
                auto *c = new QCheckBox(QString::number(p), w);
                c->setObjectName(QString("chkPhase%1").arg(p));
                l->addWidget(c);
            }
            return w;
        }
        const QStringList texts = Startup::ValueTexts(row.Editor, Language());
        if (!texts.isEmpty()) {
            auto *c = new QComboBox(parent);
            c->addItems(texts);
            auto *self = const_cast<TStartupValueDelegate *>(this);
            connect(c, &QComboBox::activated, self, [self, c] { emit self->commitData(c); });
            return c;
        }
        auto *e = new QLineEdit(parent);
        e->setAlignment(Qt::AlignCenter);
        e->setValidator(new QIntValidator(0, 65535, e));
        return e;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const QVariant v = index.data(Qt::EditRole);
        if (auto *c = qobject_cast<QComboBox *>(editor))
            c->setCurrentIndex(v.isNull() ? -1 : v.toInt());
        else if (auto *e = qobject_cast<QLineEdit *>(editor))
            e->setText(v.isNull() ? QString() : v.toString());
        else
            for (int p = 1; p <= 8; ++p)
                if (auto *c = editor->findChild<QCheckBox *>(QString("chkPhase%1").arg(p)))
                    c->setChecked(v.toInt() & (1 << (p - 1)));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        QVariant v;
        if (auto *c = qobject_cast<QComboBox *>(editor))
            v = c->currentIndex() < 0 ? QVariant() : QVariant(c->currentIndex());
        else if (auto *e = qobject_cast<QLineEdit *>(editor))
            v = e->text().isEmpty() ? QVariant() : QVariant(e->text().toInt());
        else {
            QList<int> phases;
            for (int p = 1; p <= 8; ++p)
                if (auto *c = editor->findChild<QCheckBox *>(QString("chkPhase%1").arg(p)); c && c->isChecked())
                    phases << p;
            v = Startup::PhaseSetValue(phases);
        }
        model->setData(index, v, Qt::EditRole);
    }

private:
    TfrmTCDV_E_SignalManagerVariable *FForm;
};

template <typename F>
void EachInput(QWidget *container, F f)
{
    for (QWidget *w : container->findChildren<QWidget *>())
        f(w);
}

void Clear(QWidget *w)
{
    if (auto *c = qobject_cast<QComboBox *>(w))
        c->setCurrentIndex(-1);
    else if (auto *s = qobject_cast<QSpinBox *>(w))
        s->clear();
    else if (auto *b = qobject_cast<QCheckBox *>(w))
        b->setChecked(false);
    else if (auto *r = qobject_cast<QRadioButton *>(w)) {
        const bool excl = r->autoExclusive();
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(excl);
    }
}

bool IsInput(QWidget *w)
{
    return qobject_cast<QComboBox *>(w) || qobject_cast<QSpinBox *>(w) || qobject_cast<QCheckBox *>(w) ||
           qobject_cast<QRadioButton *>(w);
}

} // namespace

void ClearAndDisableInputs(QWidget *container)
{
    EachInput(container, [](QWidget *w) {
        if (IsInput(w)) {
            Clear(w);
            w->setEnabled(false);
        }
    });
}

void EnableInputs(QWidget *container)
{
    EachInput(container, [](QWidget *w) {
        if (IsInput(w))
            w->setEnabled(true);
    });
}

void ClearInputs(QWidget *container)
{
    EachInput(container, [](QWidget *w) {
        if (IsInput(w))
            Clear(w);
        else if (auto *e = qobject_cast<QLineEdit *>(w); e && !qobject_cast<QSpinBox *>(w->parentWidget()))
            e->clear();
    });
}

TfrmTCDV_E_SignalManagerVariable::TfrmTCDV_E_SignalManagerVariable(QWidget *owner) : TfrmBaseGrid(owner)
{
    resize(620, 900);
    AddTCDVBox(lblTCDV, edtTCDV, lblTCDV_NAME);
    cxGrid->setObjectName("gtvGrid");
    SetGridColumns({
        TGridColumn("LABEL").W(190).RO(),
        TGridColumn("SUBLABEL").W(230).RO(),
        TGridColumn("VALUE").W(200),
    }, {});
    cxGrid->horizontalHeader()->hide();
    cxGrid->verticalHeader()->setDefaultSectionSize(32);
    cxGrid->setSortingEnabled(false);
    cxGrid->setItemDelegateForColumn(colValue, new TStartupValueDelegate(this));
    actAdd->setVisible(false);
    actDel->setVisible(false);
    btnAdd->hide();
    btnDel->hide();
    connect(GridModel(), &TGridModel::RecordsChanged, this, &TfrmTCDV_E_SignalManagerVariable::MergeLabels);
    InitLanguage();
}

void TfrmTCDV_E_SignalManagerVariable::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
}

QString TfrmTCDV_E_SignalManagerVariable::ValueText(int rec) const
{
    auto *d = static_cast<TStartupValueDelegate *>(cxGrid->itemDelegateForColumn(colValue));
    const QModelIndex index = GridModel()->index(rec, colValue);
    return d->TextOf(d->RowAt(index), index.data(Qt::EditRole));
}

int TfrmTCDV_E_SignalManagerVariable::RowOf(const QString &column) const
{
    for (int i = 0; i < FRows.size(); ++i)
        if (FRows.at(i).Column == column)
            return i;
    return -1;
}

void TfrmTCDV_E_SignalManagerVariable::Load()
{
    FRows = Startup::Rows(TCDV_LC_TYPE());
    FMergedRuns.clear();
    QVariantList values;
    QString error;
    if (Startup::Load(DM->Con(), TCDV_ID(), TCDV_LC_TYPE(), &values, &error) == Startup::TLoad::Failed) {
        FRows.clear();
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_LoadFail")), Tx(QStringLiteral("Caption")), error,
                   mkError);
        return;
    }
    const int language = TsiLangDispatcher::instance()->ActiveLanguage();
    QStringList groups;
    for (int i = 0; i < FRows.size(); ++i) {
        groups << Startup::GroupLabel(FRows.at(i), language);
        GridModel()->AddLoaded({groups.last(), Startup::ItemLabel(FRows.at(i), language), values.value(i)},
                               FRows.at(i).Column);
    }
    FMergedRuns = Startup::MergedRuns(groups);
}

// Equal group labels of neighbouring rows show as one merged cell.
void TfrmTCDV_E_SignalManagerVariable::MergeLabels()
{
    cxGrid->clearSpans();
    for (const auto &[first, count] : FMergedRuns)
        cxGrid->setSpan(first, colLabel, count, 1);
}

TRtnBoolStr TfrmTCDV_E_SignalManagerVariable::Validate(TGridView *TableView, bool)
{
    TGridModel *m = GridModel();
    for (int rec = 0; rec < m->RecordCount(); ++rec) {
        if (RowStateFromLetter(m->State(rec)) != TRowState::Modified)
            continue;
        const int r = RowOf(m->KeyValue(rec).toString());
        if (r >= 0 && !Startup::Fits(FRows.at(r), m->Value(rec, colValue))) {
            TableView->FocusRecord(rec, colValue);
            const Startup::TBounds b = Startup::Bounds(FRows.at(r));
            return {false, Tx(QStringLiteral("IDS_Range")) + QString(" (%1 ~ %2)").arg(b.Min).arg(b.Max)};
        }
    }
    return {};
}

void TfrmTCDV_E_SignalManagerVariable::SaveRow(const TGridRow &row)
{
    if (row.State == TRowState::Modified)
        Startup::SaveValue(Controller()->Connection(), TCDV_ID(), row.KeyValue, row["VALUE"]);
}
