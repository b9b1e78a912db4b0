#include "intersection/untTCDV_E_ConflictMap.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "core/GridResources.h"
#include "core/untDM.h"

namespace {

// Output cells: editable only where the pair is stored.
class TConflictDelegate : public QStyledItemDelegate
{
public:
    TConflictDelegate(TfrmTCDV_E_ConflictMap *form, QAbstractItemDelegate *inner)
        : QStyledItemDelegate(form), FForm(form), FInner(inner) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int x = index.column() - TfrmTCDV_E_ConflictMap::FirstOutputCol;
        if (!Conflict::Stored(FForm->TCDV_LC_TYPE(), index.row(), x))
            return nullptr;
        return FInner ? FInner->createEditor(parent, option, index) : QStyledItemDelegate::createEditor(parent, option, index);
    }
    void setEditorData(QWidget *e, const QModelIndex &i) const override
    {
        FInner ? FInner->setEditorData(e, i) : QStyledItemDelegate::setEditorData(e, i);
    }
    void setModelData(QWidget *e, QAbstractItemModel *m, const QModelIndex &i) const override
    {
        FInner ? FInner->setModelData(e, m, i) : QStyledItemDelegate::setModelData(e, m, i);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor c = FForm->CellColour(index.row(), index.column());
        option->backgroundBrush = c.isValid() ? QBrush(c) : QBrush();
    }

private:
    TfrmTCDV_E_ConflictMap *FForm;
    QAbstractItemDelegate *FInner;
};

} // namespace

TfrmTCDV_E_ConflictMap::TfrmTCDV_E_ConflictMap(QWidget *owner) : TfrmBaseGrid(owner)
{
    resize(1300, 800);
    AddTCDVBox(lblTCDV, edtTCDV, lblTCDV_NAME);
    cxGrid->setObjectName("gtvGrid");
    TGridColumns cols{TGridColumn("MainLabel").W(60).RO(), TGridColumn("SubLabel").W(60).RO(),
                      TGridColumn("LSU_No").W(40).RO()};
    for (int x = 0; x < Conflict::Outputs; ++x)
        cols << TGridColumn(QString("Column%1").arg(x + 1)).W(28).Range(0, 1);
    SetGridColumns(cols, {});
    cxGrid->setSortingEnabled(false);
    for (int x = 0; x < Conflict::Outputs; ++x)
        cxGrid->setItemDelegateForColumn(FirstOutputCol + x,
                                         new TConflictDelegate(this, cxGrid->itemDelegateForColumn(FirstOutputCol + x)));
    actAdd->setVisible(false);
    actDel->setVisible(false);
    TGridModel *model = GridModel();
    model->StyleHook = [this, model](int rec, int col, int role) -> QVariant {
        if (role != Qt::BackgroundRole)
            return QVariant();
        const QVariant v = model->Value(rec, col);
        const QString style = Conflict::CellStyle(TCDV_LC_TYPE(), rec, col, v.isNull() ? -1 : v.toInt());
        const TGridStyle *s = style.isEmpty() ? nullptr : GridResources::Style(style);
        return s && s->Background.isValid() ? QVariant(s->Background) : QVariant();
    };
    // The highlight of the focused row and column moves with the current cell.
    connect(cxGrid->selectionModel(), &QItemSelectionModel::currentChanged, cxGrid->viewport(),
            [this] { cxGrid->viewport()->update(); });
    InitLanguage();
}

QColor TfrmTCDV_E_ConflictMap::CellColour(int rec, int col) const
{
    TGridModel *m = GridModel();
    if (!m || rec < 0 || rec >= m->RecordCount())
        return QColor();
    const QVariant v = m->Value(rec, col);
    const QString style = Conflict::CellStyle(TCDV_LC_TYPE(), rec, col, v.isNull() ? -1 : v.toInt(),
                                              cxGrid->FocusedRecord(), cxGrid->FocusedColumn());
    if (style == QLatin1String("white"))
        return QColor(Qt::white);
    const TGridStyle *s = style.isEmpty() ? nullptr : GridResources::Style(style);
    return s && s->Background.isValid() ? s->Background : QColor();
}

// Bands: the label columns under "LSU번호", the compared outputs by LSU, each
// output column captioned with its label.
void TfrmTCDV_E_ConflictMap::LayOutBands()
{
    TGridModel *m = GridModel();
    const TLcTypeEx type = TCDV_LC_TYPE();
    QList<TGridBand> bands{{Tx(QStringLiteral("bndLSU.Caption")), {0, 1, 2}}};
    for (int c = 0; c < 3; ++c)
        m->SetCaption(c, QString());
    for (int k = 0; k < 8; ++k) {
        TGridBand band{Tx(QStringLiteral("bndCompare.Caption")) + QLatin1Char('\n') + Conflict::LsuBandCaption(type, k), {}};
        band.Parts = Conflict::LsuBandHalves(type, k);
        for (int x = 4 * k; x < 4 * k + 4; ++x) {
            band.Columns << FirstOutputCol + x;
            m->SetCaption(FirstOutputCol + x, Conflict::HasMap(type) ? Conflict::OutputLabel(type, x) : QString());
        }
        bands << band;
    }
    cxGrid->Header()->SetBands(bands);
}

void TfrmTCDV_E_ConflictMap::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
    LayOutBands();
}

void TfrmTCDV_E_ConflictMap::Load()
{
    const TLcTypeEx type = TCDV_LC_TYPE();
    LayOutBands();
    if (!Conflict::HasMap(type))
        return;
    Conflict::TMatrix m;
    QString error;
    const bool ok = Conflict::Load(DM->Con(), TCDV_ID(), type, &m, &error);
    for (int y = 0; y < Conflict::Outputs; ++y) {
        QVariantList values{Tx(QStringLiteral("IDS_27")), Conflict::LsuLabel(type, y), Conflict::OutputLabel(type, y)};
        for (int x = 0; x < Conflict::Outputs; ++x)
            values << (ok && Conflict::Stored(type, y, x) ? QVariant(m[y][x]) : QVariant());
        GridModel()->AddLoaded(values, y);
    }
}

Conflict::TMatrix TfrmTCDV_E_ConflictMap::Matrix() const
{
    Conflict::TMatrix m{};
    TGridModel *g = GridModel();
    for (int y = 0; y < qMin(g->RecordCount(), Conflict::Outputs); ++y)
        for (int x = 0; x < Conflict::Outputs; ++x)
            m[y][x] = g->Value(y, FirstOutputCol + x).toInt() != 0 ? 1 : 0;
    return m;
}

// The matrix is replaced as a whole, once per save: at the first changed row.
void TfrmTCDV_E_ConflictMap::SaveRow(const TGridRow &row)
{
    TGridModel *g = GridModel();
    for (int r = 0; r < g->RecordCount(); ++r)
        if (RowState::IsChanged(g->State(r))) {
            if (r == row.Record)
                Conflict::Save(Controller()->Connection(), TCDV_ID(), TCDV_LC_TYPE(), Matrix());
            return;
        }
}
