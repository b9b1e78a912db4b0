#include "intersection/untTCDV_E_Master.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QSqlQuery>

#include "core/AutoFindDialogUnit.h"
#include "core/GridResources.h"
#include "core/GridView.h"
#include "core/InAppMessage.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "core/untSA_S.h"
#include "core/untTCDV_S.h"
#include "intersection/TcdvMaster.h"
#include "intersection/untFirmwareDlg.h"

namespace {

// The master list's model: a group number typed into INT_SANO must be registered.
class TMasterModel : public TGridModel
{
public:
    using TGridModel::TGridModel;
    std::function<bool(const QVariant &)> AcceptGroup;

    bool setData(const QModelIndex &idx, const QVariant &value, int role) override
    {
        if (role == Qt::EditRole && idx.isValid() && Column(idx.column()).Name == QLatin1String("INT_SANO")
            && !value.toString().trimmed().isEmpty() && AcceptGroup && !AcceptGroup(value))
            return false;
        return TGridModel::setData(idx, value, role);
    }
};

// The address cell takes only a dotted IPv4 address, each part 0 to 255 (or nothing).
class TIpDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *e = new QLineEdit(parent);
        e->setAlignment(Qt::AlignCenter);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression(TcdvMaster::IpPattern), e));
        return e;
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *e = static_cast<QLineEdit *>(editor);
        if (e->text().isEmpty() || e->hasAcceptableInput())
            model->setData(index, e->text(), Qt::EditRole);
    }
};

QList<TGridItem> Items(std::initializer_list<std::pair<int, const char *>> list)
{
    QList<TGridItem> items;
    for (const auto &p : list)
        items << TGridItem{p.first, QString::fromUtf8(p.second)};
    return items;
}

} // namespace

TfrmTCDV_E_Master::TfrmTCDV_E_Master(QWidget *owner) : TfrmBaseGrid(owner)
{
    FOrder = TcdvMaster::DefaultOrder;
    AddSABox(lblSA, edtSA, lblSA_NAME);
    AddTCDVBox(lblTCDV, edtTCDV, lblTCDV_NAME);
    cbxAllTCDV = new QCheckBox(pnlTop);
    cbxAllTCDV->setObjectName(QStringLiteral("cbxAllTCDV"));
    pnlTopLayout->addWidget(cbxAllTCDV);
    pnlTopLayout->addStretch();

    auto *m = new TMasterModel(this);
    m->SetColumns({
        TGridColumn("INT_LCNO").Key("gtvTCDVMasterINT_LCNO.Caption").W(60).Range(1, TcdvMaster::MaxLcNo).Req(),
        TGridColumn("NODE_ID").Key("gtvTCDVMasterNODE_ID.Caption").W(90).Max(10).Req(),
        TGridColumn("INT_NAME").Key("gtvTCDVMasterINT_NAME.Caption").W(160).Left().Max(100),
        TGridColumn("INT_IMPORFLAG").Key("gtvTCDVMasterINT_IMPORFLAG.Caption").W(70)
            .Choices(Items({{0, "MI"}, {1, "CI"}, {2, "SCI"}, {3, "RAMP"}})),
        TGridColumn("INT_LCTYPE").Key("gtvTCDVMasterINT_LCTYPE.Caption").W(80).Choices(Items({{1, "2004"}, {2, "2010"}})),
        TGridColumn("INT_LAMPTYPE").Key("gtvTCDVMasterINT_LAMPTYPE.Caption").W(70),
        TGridColumn("MCU_FW_ID").Key("gtvTCDVMasterMCU_FW_ID.Caption").W(100).Range(0, 99999),
        TGridColumn("SCU_FW_ID").Key("gtvTCDVMasterSCU_FW_ID.Caption").W(100).Range(0, 99999),
        TGridColumn("INT_DELTALIMIT").Key("gtvTCDVMasterINT_DELTALIMIT.Caption").W(70).Range(0, 32767).Fmt("#."),
        TGridColumn("INT_TRANSCYCLE").Key("gtvTCDVMasterINT_TRANSCYCLE.Caption").W(70).Range(0, 32767).Fmt("#."),
        TGridColumn("INT_AUTOERROR").Key("gtvTCDVMasterINT_AUTOERROR.Caption").W(100),
        TGridColumn("INT_AUTOONLINE").Key("gtvTCDVMasterINT_AUTOONLINE.Caption").W(90),
        TGridColumn("INT_COMMTYPE").Key("gtvTCDVMasterINT_COMMTYPE.Caption").W(90)
            .Choices(Items({{0, "TCP Client"}, {1, "TCP Server"}, {2, "Serial"}})),
        TGridColumn("INT_IP").Key("gtvTCDVMasterINT_IP.Caption").W(120).Max(50),
        TGridColumn("INT_PORT").Key("gtvTCDVMasterINT_PORT.Caption").W(60).Range(0, 65535).Fmt("#."),
        TGridColumn("MAIN_LCNO").Key("gtvTCDVMasterMAIN_LCNO.Caption").W(80).Range(0, TcdvMaster::MaxLcNo).Fmt("#."),
        TGridColumn("INT_SANO").Key("gtvTCDVMasterINT_SANO.Caption").W(60).Range(0, 32767).Req(),
        TGridColumn("INT_SAINDEX").Key("gtvTCDVMasterINT_SAINDEX.Caption").W(60).Range(0, 32767).Fmt("#."),
        TGridColumn("INT_REGFLAG").Key("gtvTCDVMasterINT_REGFLAG.Caption").W(60).Ed("cxEditRepositoryCheckBoxItem"),
    });
    m->SetPrimaryKeys({"INT_LCNO"});
    m->AcceptGroup = [this](const QVariant &v) {
        if (TcdvMaster::GroupExists(Controller()->Connection(), v.toString().trimmed().toInt()))
            return true;
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("strNoGroupMsg")), KIT_T(T_ValidationCaption), QString(),
                   mkError);
        return false;
    };
    m->CanEdit = [this](int rec, int col) { return CellEditable(rec, col); };
    m->StyleHook = [this](int rec, int col, int role) -> QVariant {
        if (role != Qt::BackgroundRole || CellEditable(rec, col))
            return QVariant();
        const TGridStyle *s = GridResources::Style(QStringLiteral("stlReadOnly"));
        return s && s->Background.isValid() ? QVariant(s->Background) : QVariant(QColor(0xE0, 0xE0, 0xE0));
    };
    cxGrid->SetGridModel(m);
    // The state rule, then the cells that follow an edit (set after the
    // controller has taken the model, which installs its own rule): "2004" has four lamps,
    // a virtual intersection is not in use itself.
    m->EditHook = [m](int rec, int col) {
        m->EditStateChange(rec);
        const QString name = m->Column(col).Name;
        if (name == QLatin1String("INT_LCTYPE") && m->Value(rec, col).toInt() == 1)
            m->SetValue(rec, m->ColumnIndex(QStringLiteral("INT_LAMPTYPE")), 1);
        else if (name == QLatin1String("MAIN_LCNO") && !m->Text(rec, col).trimmed().isEmpty())
            m->SetValue(rec, m->ColumnIndex(QStringLiteral("INT_REGFLAG")), 0);
    };
    cxGrid->SetEnterMovesToNextCell(true);
    connect(cxGrid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &) {
        const int col = cxGrid->FocusedColumn();
        if (col >= 0)
            CellButtonClick(cxGrid->FocusedRecord(), GridModel()->Column(col).Name);
    });

    // The save of this list replaces the base window's: it asks about renumbering.
    disconnect(actSave, &QAction::triggered, this, nullptr);
    connect(actSave, &QAction::triggered, this, [this] { SaveMaster(); });
    connect(Controller(), &TGridController::Saved, this,
            [] { RaiseInAppMessage(&TInAppMessage::REFRESH_TCDV_MASTER); });
    // After every search of one group, the intersection of the number box is focused.
    connect(actSearch, &QAction::triggered, this, [this] {
        if (!cbxAllTCDV->isChecked())
            LocateGridRow(FTcdvID);
    });
    connect(cbxAllTCDV, &QCheckBox::toggled, this, [this](bool all) {
        edtSA->setEnabled(!all);
        edtTCDV->setEnabled(!all);
        if (all) {
            SetSearched(true);
            actSearch->trigger();
        } else {
            SetSearched(SaExists(SA_ID()));
            if (Searched())
                actSearch->trigger();
        }
    });
    // The window shows every column of the list: its width is the columns' widths
    // with the row indicator, the margins and the scroll bar.
    int columns = 0;
    for (int c = 0; c < m->ColumnCount(); ++c)
        if (m->Column(c).Visible)
            columns += m->Column(c).Width;
    FBaseWidth = columns + TcdvMaster::ListFrameWidth;
    SetGridColumnWidth(FBaseWidth);
    resize(FBaseWidth, height());
    InitLanguage();
}

void TfrmTCDV_E_Master::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    // English captions are wider: the window takes ten pixels more while English is shown.
    const bool english = TsiLangDispatcher::instance()->ActiveLanguage() == TsiLangDispatcher::LangEnglish;
    if (english != FEnglishWidth) {
        FEnglishWidth = english;
        const int extra = english ? TcdvMaster::EnglishExtraWidth : -TcdvMaster::EnglishExtraWidth;
        SetGridColumnWidth(FBaseWidth + (english ? TcdvMaster::EnglishExtraWidth : 0));
        resize(width() + extra, height());
    }
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblSA->setText(Tx(QStringLiteral("lblSA.Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
    cbxAllTCDV->setText(Tx(QStringLiteral("cbxAllTCDV.Caption")));
    if (TGridModel *m = GridModel()) {
        auto set = [&](const char *column, std::initializer_list<std::pair<int, const char *>> keys) {
            QList<TGridItem> items;
            for (const auto &k : keys)
                items << TGridItem{k.first, Tx(QString::fromLatin1(k.second))};
            m->ColumnRef(m->ColumnIndex(QString::fromLatin1(column))).Items = items;
        };
        set("INT_LAMPTYPE", {{0, "strLamp3"}, {1, "strLamp4"}});
        set("INT_AUTOERROR", {{0, "strAutoError0"}, {1, "strAutoError1"}, {2, "strAutoError2"}, {3, "strAutoError3"}});
        set("INT_AUTOONLINE", {{0, "strAutoOnline0"}, {1, "strAutoOnline1"}});
        cxGrid->ApplyColumns();
        const int ip = m->ColumnIndex(QStringLiteral("INT_IP"));
        QAbstractItemDelegate *old = cxGrid->itemDelegateForColumn(ip);
        if (!old || !dynamic_cast<TIpDelegate *>(old))
            cxGrid->setItemDelegateForColumn(ip, new TIpDelegate(cxGrid));
    }
}

bool TfrmTCDV_E_Master::CellEditable(int rec, int col) const
{
    const TGridModel *m = GridModel();
    if (!m || rec < 0 || col < 0)
        return true;
    const QString name = m->Column(col).Name;
    if (TcdvMaster::IsVirtualMain(m->Value(rec, QStringLiteral("MAIN_LCNO"))))
        return !TcdvMaster::VirtualFixedFields().contains(name);
    if (name == QLatin1String("INT_LAMPTYPE")) {
        const QString type = m->Text(rec, m->ColumnIndex(QStringLiteral("INT_LCTYPE"))).trimmed();
        return !(type.isEmpty() || type.toInt() == 1);
    }
    return true;
}

void TfrmTCDV_E_Master::SetSA_ID(int Value)
{
    TfrmBaseGrid::SetSA_ID(Value);
}

void TfrmTCDV_E_Master::SetTCDV_ID(int Value)
{
    FTcdvID = Value;
    const QString name = GetLcName(Value);
    lblTCDV_NAME->setText(name);
    if (!LcExists(Value))
        return;
    if (edtTCDV->text().trimmed() != QString::number(Value)) {
        const QSignalBlocker block(edtTCDV);
        edtTCDV->setText(QString::number(Value));
    }
    const int group = GetLcSaNo(Value);
    if (group != SA_ID() && !cbxAllTCDV->isChecked())
        SetSA_ID(group);
    LocateGridRow(Value);
}

bool TfrmTCDV_E_Master::LocateGridRow(int lcNo)
{
    TGridModel *m = GridModel();
    const int rec = m ? m->FindText(m->ColumnIndex(QStringLiteral("INT_LCNO")), QString::number(lcNo)) : -1;
    if (rec < 0)
        return false;
    cxGrid->FocusRecord(rec);
    return true;
}

void TfrmTCDV_E_Master::Load()
{
    TGridModel *m = GridModel();
    const bool all = cbxAllTCDV->isChecked();
    QSqlQuery q = NewQuery();
    q.prepare(TcdvMaster::ListSql(all, FOrder));
    if (!all)
        q.bindValue(QStringLiteral(":INT_SANO"), SA_ID());
    if (!DM || !DM->QueryOpen(q, this))
        return;
    m->LoadQuery(q, QStringLiteral("INT_LCNO"));
    // A firmware identifier of 0 or NULL is an empty cell.
    for (const char *fw : {"MCU_FW_ID", "SCU_FW_ID"}) {
        const int col = m->ColumnIndex(QString::fromLatin1(fw));
        for (int rec = 0; rec < m->RecordCount(); ++rec)
            if (m->Value(rec, col).toInt() == 0)
                m->SetValue(rec, col, QVariant());
    }
}

void TfrmTCDV_E_Master::CellButtonClick(int rec, const QString &column)
{
    TGridModel *m = GridModel();
    if (!m || rec < 0 || rec >= m->RecordCount())
        return;
    const int col = m->ColumnIndex(column);
    if (col < 0 || !CellEditable(rec, col))
        return;
    if (column == QLatin1String("MCU_FW_ID") || column == QLatin1String("SCU_FW_ID")) {
        int id = 0;
        if (TfrmFirmwareDlg::Pick(this, column.startsWith(QLatin1String("MCU")) ? 1 : 2, &id))
            m->EditValue(rec, col, id);
    } else if (column == QLatin1String("INT_SANO")) {
        int sa = 0;
        if (PickSA(&sa))
            m->EditValue(rec, col, sa);
    } else if (column == QLatin1String("NODE_ID")) {
        TfrmTCDV_S dlg(this);
        dlg.setWindowTitle(KIT_T(T_TcdvSTitle));
        dlg.chxOnlySgnl->setChecked(false);
        dlg.chxOnlySgnl->setVisible(true);
        if (dlg.exec() == QDialog::Accepted && !dlg.qryTCDVNODE_ID().toString().isEmpty())
            m->EditValue(rec, col, dlg.qryTCDVNODE_ID().toString());
    } else if (column == QLatin1String("MAIN_LCNO")) {
        const QString own = m->Text(rec, m->ColumnIndex(QStringLiteral("INT_LCNO"))).trimmed();
        if (own.isEmpty()) {
            ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_4")), KIT_T(T_ValidationCaption), QString(), mkError);
            cxGrid->FocusRecord(rec, m->ColumnIndex(QStringLiteral("INT_LCNO")));
            return;
        }
        TAutoFindDialogForm dlg(this,
                                QStringLiteral("SELECT INT_LCNO, INT_NAME FROM SCS_M_INTLC WHERE INT_LCNO <> :LCNO "
                                               "ORDER BY INT_LCNO"),
                                {TAutoColumnInfo{QStringLiteral("Int. #"), 100, Qt::AlignCenter, QString(), true},
                                 TAutoColumnInfo{QStringLiteral("Name"), 230, Qt::AlignCenter,
                                                 QStringLiteral("cxEditRepositoryTextItemAlignLeft"), true}},
                                Tx(QStringLiteral("IDS_3")), m->Value(rec, col), 350, 350);
        dlg.SetParams({{QStringLiteral(":LCNO"), own.toInt()}});
        if (dlg.exec() == QDialog::Accepted) {
            const QVariantList data = dlg.SelectedData();
            if (!data.isEmpty() && !data.first().toString().isEmpty())
                m->EditValue(rec, col, data.first().toInt());
        }
    }
}

bool TfrmTCDV_E_Master::SaveMaster()
{
    TGridModel *m = GridModel();
    if (!m)
        return false;
    cxGrid->PostEdit();
    if (!ConfirmSave())
        return false;
    const TcdvMaster::TCheck check = TcdvMaster::Check(*m, Controller()->Connection());
    if (!check.Ok()) {
        cxGrid->FocusRecord(check.Record, m->ColumnIndex(check.Column));
        ShowValidation({false, TcdvMaster::ProblemText(check.Kind)});
        return false;
    }
    for (int rec : TcdvMaster::RenumberedRecords(*m)) {
        cxGrid->FocusRecord(rec, m->ColumnIndex(QStringLiteral("INT_LCNO")));
        if (ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("strRenumberMsg")), Tx(QStringLiteral("strRenumberCaption")),
                       QString(), mkQuestion)
            != mrYes)
            return false;
    }
    const QSqlDatabase db = Controller()->Connection();
    // After the reload the focus goes to the number the last saved row holds now (a
    // renumbered row is found under its new number); without such a row it stays at
    // the position it had.
    QString lastNumber;
    const bool ok = Controller()->SaveToDB([db, m, &lastNumber](const TGridRow &row) {
        lastNumber = row.Text(QStringLiteral("INT_LCNO")).trimmed();
        TcdvMaster::SaveRow(db, *m, row);
    });
    if (ok && !lastNumber.isEmpty())
        LocateGridRow(lastNumber.toInt());
    UpdateActions();
    return ok;
}
