#include "intersection/untTfdtMaster.h"

#include <QAbstractProxyModel>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "core/GridResources.h"
#include "core/InAppMessage.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "core/untTCDV_S.h"
#include "core/untTCDV_S_Phase.h"
#include "core/untTFDT_S.h"
#include "intersection/TfdtMaster.h"

namespace {

// The detector type offers the list of the row's controller type: 2004 (type 1)
// or 2010 (any other value, empty included).
class TTfdtModel : public TGridModel
{
public:
    using TGridModel::TGridModel;
    QList<TGridItem> Types2004, Types2010;

    QList<TGridItem> TypesOf(int rec) const
    {
        return Text(rec, ColumnIndex(QStringLiteral("INT_LCTYPE"))).trimmed() == QLatin1String("1") ? Types2004
                                                                                                   : Types2010;
    }
    QVariant data(const QModelIndex &idx, int role) const override
    {
        if (role == Qt::DisplayRole && idx.isValid() && Column(idx.column()).Name == QLatin1String("TFDT_TYPE")) {
            TGridColumn c = Column(idx.column());
            c.Items = TypesOf(idx.row());
            return ItemText(c, Value(idx.row(), idx.column()));
        }
        return TGridModel::data(idx, role);
    }
};

class TTypeDelegate : public QStyledItemDelegate
{
public:
    TTypeDelegate(TTfdtModel *model, QObject *parent) : QStyledItemDelegate(parent), FModel(model) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        auto *box = new QComboBox(parent);
        for (const TGridItem &i : FModel->TypesOf(RecordOf(index)))
            box->addItem(i.Text, i.Value);
        box->installEventFilter(new TNoWheelFilter(box));
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        box->setCurrentIndex(box->findData(index.data(Qt::EditRole)));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        if (box->currentIndex() >= 0)
            model->setData(index, box->currentData(), Qt::EditRole);
    }

private:
    static int RecordOf(const QModelIndex &index)
    {
        QModelIndex i = index;
        while (auto *proxy = qobject_cast<const QAbstractProxyModel *>(i.model()))
            i = proxy->mapToSource(i);
        return i.row();
    }
    TTfdtModel *FModel;
};

} // namespace

TFormTfdtMaster::TFormTfdtMaster(QWidget *owner) : TfrmBaseGrid(owner)
{
    AddTCDVBox(lblTCDV, edtTCDV, lblTCDV_NAME);
    cbxAllTCDV = new QCheckBox(pnlTop);
    cbxAllTCDV->setObjectName(QStringLiteral("cbxAllTCDV"));
    pnlTopLayout->addWidget(cbxAllTCDV);
    pnlTopLayout->addStretch();

    auto *m = new TTfdtModel(this);
    m->SetColumns(TfdtMaster::Columns());
    m->SetPrimaryKeys(TfdtMaster::PrimaryKeys);
    m->CanEdit = [m](int rec, int col) { return TfdtMaster::CellEditable(*m, rec, col); };
    m->StyleHook = [m](int rec, int col, int role) -> QVariant {
        if (TfdtMaster::CellEditable(*m, rec, col))
            return QVariant();
        const QString name = m->Column(col).Name;
        if (role == Qt::ForegroundRole && (name.startsWith(QLatin1String("MAIN_")) || name.startsWith(QLatin1String("SUB_"))))
            return QColor(0xE0, 0xE0, 0xE0); // painted over: nothing shows
        if (role != Qt::BackgroundRole)
            return QVariant();
        const TGridStyle *s = GridResources::Style(QStringLiteral("stlReadOnly"));
        return s && s->Background.isValid() ? QVariant(s->Background) : QVariant(QColor(0xE0, 0xE0, 0xE0));
    };
    m->IndicatorText = [m](int rec) {
        const QString s = m->State(rec);
        return s == RowState::Unchanged ? QString() : s;
    };
    cxGrid->SetGridModel(m);
    cxGrid->SetEnterMovesToNextCell(true);
    cxGrid->SetFitColumns(true);
    connect(cxGrid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &) {
        const int col = cxGrid->FocusedColumn();
        if (col >= 0)
            CellButtonClick(cxGrid->FocusedRecord(), GridModel()->Column(col).Name);
    });
    connect(Controller(), &TGridController::Saved, this,
            [] { RaiseInAppMessage(&TInAppMessage::REFRESH_TFDT_MASTER); });
    connect(cbxAllTCDV, &QCheckBox::toggled, this, [this](bool all) { cbxAllTCDVClick(all); });
    InitLanguage();
}

void TFormTfdtMaster::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
    cbxAllTCDV->setText(Tx(QStringLiteral("cbxAllTCDV.Caption")));
    auto *m = static_cast<TTfdtModel *>(GridModel());
    auto list = [this](const QString &prefix, int from, int to) {
        QList<TGridItem> items;
        for (int v = from; v <= to; ++v)
            items << TGridItem{v, Tx(prefix + '.' + QString::number(v))};
        return items;
    };
    m->Types2004 = list(QStringLiteral("Type2004"), 0, 6);
    m->Types2010 = list(QStringLiteral("Type2010"), 0, 7);
    m->ColumnRef(m->ColumnIndex(QStringLiteral("TFDT_USE"))).Items = list(QStringLiteral("Use"), 1, 8);
    m->ColumnRef(m->ColumnIndex(QStringLiteral("TFDT_RING"))).Items = list(QStringLiteral("Ring"), 1, 2);
    m->ColumnRef(m->ColumnIndex(QStringLiteral("TFDT_DIR"))).Items = list(QStringLiteral("Dir"), 1, 8);
    m->ColumnRef(m->ColumnIndex(QStringLiteral("TFDT_IODIR"))).Items = list(QStringLiteral("IoDir"), 0, 1);
    for (const char *ring : {"MAIN_RING", "SUB_RING"})
        m->ColumnRef(m->ColumnIndex(QString::fromLatin1(ring))).Items = list(QStringLiteral("MainRing"), 1, 2);
    cxGrid->ApplyColumns();
    const int typeCol = m->ColumnIndex(QStringLiteral("TFDT_TYPE"));
    if (!dynamic_cast<TTypeDelegate *>(cxGrid->itemDelegateForColumn(typeCol)))
        cxGrid->setItemDelegateForColumn(typeCol, new TTypeDelegate(m, cxGrid));
    // The direct/indirect text follows the language.
    const int type = m->ColumnIndex(QStringLiteral("Type"));
    const int no = m->ColumnIndex(QStringLiteral("TFDT_NO"));
    for (int rec = 0; rec < m->RecordCount(); ++rec)
        m->SetValue(rec, type, Tx(TfdtMaster::IsDirect(m->Value(rec, no)) ? QStringLiteral("IDS_3") : QStringLiteral("IDS_4")));
}

void TFormTfdtMaster::cbxAllTCDVClick(bool all)
{
    edtTCDV->setEnabled(!all);
    SetSearched(all || LcExists(TCDV_ID()));
    if (Searched())
        actSearch->trigger();
    else if (GridModel())
        GridModel()->Clear();
    UpdateActions();
}

void TFormTfdtMaster::Load()
{
    TGridModel *m = GridModel();
    const bool all = cbxAllTCDV->isChecked();
    QSqlQuery q = NewQuery();
    q.prepare(TfdtMaster::SearchSql(all));
    if (!all)
        q.bindValue(QStringLiteral(":INT_LCNO"), TCDV_ID());
    if (!DM || !DM->QueryOpen(q, this))
        return;
    TfdtMaster::LoadRows(*m, q);
    const int type = m->ColumnIndex(QStringLiteral("Type"));
    const int no = m->ColumnIndex(QStringLiteral("TFDT_NO"));
    for (int rec = 0; rec < m->RecordCount(); ++rec)
        m->SetValue(rec, type, Tx(TfdtMaster::IsDirect(m->Value(rec, no)) ? QStringLiteral("IDS_3") : QStringLiteral("IDS_4")));
}

void TFormTfdtMaster::actAddExecute()
{
    TGridModel *m = GridModel();
    if (!m)
        return;
    cxGrid->PostEdit();
    if (!Searched())
        actSearch->trigger();
    if (cbxAllTCDV->isChecked()) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_0")), Tx(QStringLiteral("IDS_1")), QString(),
                   mkInformation);
        return;
    }
    if (m->RecordCount() >= TfdtMaster::MaxChannels) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_2")), Tx(QStringLiteral("IDS_1")), QString(),
                   mkInformation);
        return;
    }
    const int channel = TfdtMaster::NextChannel(*m);
    const int rec = m->AppendRecord();
    m->SetValue(rec, m->ColumnIndex(QStringLiteral("INT_LCNO")), TCDV_ID());
    m->SetValue(rec, m->ColumnIndex(QStringLiteral("TFDT_NO")), channel);
    // The new row offers the type list of this intersection's controller.
    m->SetValue(rec, m->ColumnIndex(QStringLiteral("INT_LCTYPE")), int(TCDV_LC_TYPE()));
    m->SetValue(rec, m->ColumnIndex(QStringLiteral("Type")),
                Tx(TfdtMaster::IsDirect(channel) ? QStringLiteral("IDS_3") : QStringLiteral("IDS_4")));
    cxGrid->FocusRecord(rec, m->ColumnIndex(QStringLiteral("TFDT_TYPE")));
    UpdateActions();
}

TRtnBoolStr TFormTfdtMaster::Validate(TGridView *TableView, bool DuplicationCheck)
{
    TRtnBoolStr r = TfrmBaseGrid::Validate(TableView, DuplicationCheck);
    if (!r.rtn || !TableView || !TableView->GridModel())
        return r;
    return Duplicate(TableView, TableView->GridModel()->ColumnIndex(QStringLiteral("TFDT_ID")));
}

void TFormTfdtMaster::SaveRow(const TGridRow &row)
{
    TfdtMaster::SaveRow(Controller()->Connection(), row);
}

void TFormTfdtMaster::CellButtonClick(int rec, const QString &column)
{
    TGridModel *m = GridModel();
    if (!m || rec < 0 || rec >= m->RecordCount())
        return;
    const int col = m->ColumnIndex(column);
    if (col < 0 || !TfdtMaster::CellEditable(*m, rec, col))
        return;
    if (column == QLatin1String("TFDT_PHASE")) {
        TfrmTCDV_S_Phase dlg(this);
        dlg.setWindowTitle(Tx(QStringLiteral("IDS_126")));
        dlg.SetTCDV_ID(m->Value(rec, QStringLiteral("INT_LCNO")).toInt());
        if (dlg.exec() == QDialog::Accepted && !dlg.mmPhaseListINT_PHASENO().isNull())
            m->EditValue(rec, col, dlg.mmPhaseListINT_PHASENO().toInt());
    } else if (column == QLatin1String("TFDT_ID")) {
        TfrmTFDT_S dlg(this);
        dlg.setWindowTitle(KIT_T(T_TfdtSTitle));
        if (dlg.exec() == QDialog::Accepted && !dlg.qryTFDTListTFDT_ID().isNull())
            m->EditValue(rec, col, dlg.qryTFDTListTFDT_ID().toString());
    } else if (column == QLatin1String("TFDT_REAL_LCNO")) {
        TfrmTCDV_S dlg(this);
        dlg.setWindowTitle(KIT_T(T_TcdvSTitle));
        dlg.chxOnlySgnl->setChecked(true);
        dlg.chxOnlySgnl->setVisible(false);
        dlg.FTCDV_ID = m->Value(rec, col).toInt();
        if (dlg.exec() == QDialog::Accepted)
            m->EditValue(rec, col, dlg.qryTCDVINT_LCNO().toString().toInt());
    }
}
