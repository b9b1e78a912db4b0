#include "intersection/untFirmwareInfo.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include "core/FileDialogService.h"
#include "core/KitTexts.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "intersection/FirmwareRegister.h"
#include "intersection/untVendorListDlg.h"

namespace {

// The image cell shows that an image is there, not its bytes.
class TFirmwareModel : public TGridModel
{
public:
    using TGridModel::TGridModel;
    QString ImageText;
    QVariant data(const QModelIndex &idx, int role) const override
    {
        if (role == Qt::DisplayRole && idx.isValid() && Column(idx.column()).Name == QLatin1String("FW_BINARY"))
            return Value(idx.row(), idx.column()).toByteArray().isEmpty() ? QString() : ImageText;
        return TGridModel::data(idx, role);
    }
};

} // namespace

TfrmFirmwareInfo::TfrmFirmwareInfo(QWidget *owner) : TfrmBaseGrid(owner)
{
    resize(1000, 500);
    lblFWType = new QLabel(pnlTop);
    rgpFWType = new QButtonGroup(this);
    rbAll = new QRadioButton(pnlTop);
    rbMCU = new QRadioButton(QStringLiteral("MCU"), pnlTop);
    rbSCU = new QRadioButton(QStringLiteral("SCU"), pnlTop);
    rgpFWType->addButton(rbAll, 0);
    rgpFWType->addButton(rbMCU, 1);
    rgpFWType->addButton(rbSCU, 2);
    rbAll->setChecked(true);
    lblVendorCD = new QLabel(pnlTop);
    btnVendorCD = new QLineEdit(pnlTop);
    btnVendorCD->setObjectName(QStringLiteral("btnVendorCD"));
    btnVendorCD->setReadOnly(true);
    btnVendorCD->setFixedWidth(50);
    btnVendorPick = new QToolButton(pnlTop);
    btnVendorPick->setText(QStringLiteral("..."));
    btnVendorClear = new QToolButton(pnlTop);
    btnVendorClear->setText(QStringLiteral("\u2715"));
    btnVendorClear->setVisible(false);
    lblVendorName = new QLabel(pnlTop);
    lblModuleNo = new QLabel(pnlTop);
    nedModuleNo = new QLineEdit(pnlTop);
    nedModuleNo->setObjectName(QStringLiteral("nedModuleNo"));
    nedModuleNo->setMaxLength(2);
    nedModuleNo->setFixedWidth(40);
    nedModuleNo->setValidator(new QIntValidator(0, 99, nedModuleNo));
    for (QWidget *w : std::initializer_list<QWidget *>{lblFWType, rbAll, rbMCU, rbSCU, lblVendorCD, btnVendorCD,
                                                       btnVendorPick, btnVendorClear, lblVendorName, lblModuleNo,
                                                       nedModuleNo})
        pnlTopLayout->addWidget(w);
    pnlTopLayout->addStretch();
    connect(btnVendorPick, &QToolButton::clicked, this, [this] {
        TfrmVendorListDlg dlg(this, true, btnVendorCD->text());
        if (dlg.exec() == mrOK && dlg.MANUFACTURE_ID().isValid())
            SetFilterVendor(dlg.MANUFACTURE_ID().toInt(), dlg.MANUFACTURE_NAME());
    });
    connect(btnVendorClear, &QToolButton::clicked, this, [this] { SetFilterVendor(-1, QString()); });
    connect(btnVendorCD, &QLineEdit::textChanged, this,
            [this](const QString &t) { btnVendorClear->setVisible(!t.isEmpty()); });

    auto *m = new TFirmwareModel(this);
    m->SetColumns(FirmwareRegister::Columns());
    m->SetPrimaryKeys(FirmwareRegister::PrimaryKeys);
    cxGrid->SetGridModel(m);
    cxGrid->SetEnterMovesToNextCell(true);
    cxGrid->SetFitColumns(true);
    connect(cxGrid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &) {
        const int col = cxGrid->FocusedColumn();
        if (col < 0)
            return;
        const QString name = GridModel()->Column(col).Name;
        if (name == QLatin1String("FW_BINARY"))
            LoadImage(cxGrid->FocusedRecord());
        else if (name == QLatin1String("VendorCD"))
            PickVendor(cxGrid->FocusedRecord());
    });
    // This window saves without asking; the grid stays empty until the operator searches.
    disconnect(actSave, &QAction::triggered, this, nullptr);
    connect(actSave, &QAction::triggered, this, [this] { SaveFirmware(); });
    SetSearched(true);
    InitLanguage();
}

void TfrmFirmwareInfo::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblFWType->setText(Tx(QStringLiteral("lblFWType.Caption")));
    rbAll->setText(Tx(QStringLiteral("rgpFWType.All")));
    lblVendorCD->setText(Tx(QStringLiteral("lblVendorCD.Caption")));
    lblModuleNo->setText(Tx(QStringLiteral("lblModuleNo.Caption")));
    if (btnVendorCD->text().isEmpty())
        lblVendorName->setText(Tx(QStringLiteral("lblVendorName.All")));
    static_cast<TFirmwareModel *>(GridModel())->ImageText = Tx(QStringLiteral("strImage"));
}

void TfrmFirmwareInfo::SetFilterVendor(int code, const QString &name)
{
    if (code < 0) {
        btnVendorCD->clear();
        lblVendorName->setText(Tx(QStringLiteral("lblVendorName.All")));
    } else {
        btnVendorCD->setText(QString::number(code));
        lblVendorName->setText(name);
    }
}

void TfrmFirmwareInfo::Load()
{
    FirmwareRegister::TFilter f;
    f.Kind = rgpFWType->checkedId() < 0 ? 0 : rgpFWType->checkedId();
    f.Vendor = btnVendorCD->text().trimmed().isEmpty() ? -1 : btnVendorCD->text().trimmed().toInt();
    f.Module = nedModuleNo->text().trimmed().toInt();
    QSqlQuery q = NewQuery();
    q.prepare(FirmwareRegister::SearchSql(f));
    FirmwareRegister::Bind(q, f);
    FLoaded = true;
    if (DM && DM->QueryOpen(q, this))
        FirmwareRegister::LoadRows(*GridModel(), q);
}

void TfrmFirmwareInfo::actAddExecute()
{
    if (!FLoaded)
        actSearch->trigger();
    TfrmBaseGrid::actAddExecute();
}

bool TfrmFirmwareInfo::LoadImage(int rec)
{
    TGridModel *m = GridModel();
    if (!m || rec < 0 || rec >= m->RecordCount())
        return false;
    const QString file = ShowOpenDialog(this, Tx(QStringLiteral("strOpenImage")), DM ? DM->G_DIALOG_PATH : QString(),
                                        Tx(QStringLiteral("strFirmwareFilter")));
    if (file.isEmpty())
        return false;
    const FirmwareRegister::TImage image = FirmwareRegister::ReadImage(file);
    if (!image.Ok()) {
        ShowMsgDlg(this, KitAppTitle(), image.Error, KIT_T(T_ValidationCaption), file, mkError);
        return false;
    }
    FirmwareRegister::SetImage(*m, rec, image);
    UpdateActions();
    return true;
}

void TfrmFirmwareInfo::PickVendor(int rec)
{
    TGridModel *m = GridModel();
    if (!m || rec < 0 || rec >= m->RecordCount())
        return;
    const int col = m->ColumnIndex(QStringLiteral("VendorCD"));
    TfrmVendorListDlg dlg(this, false, m->Value(rec, col));
    if (dlg.exec() == mrOK && dlg.MANUFACTURE_ID().isValid())
        m->EditValue(rec, col, dlg.MANUFACTURE_ID().toInt());
}

bool TfrmFirmwareInfo::SaveFirmware()
{
    if (!HasView())
        return false;
    cxGrid->PostEdit();
    const bool ok = Controller()->Save(false, true);
    UpdateActions();
    return ok;
}

void TfrmFirmwareInfo::SaveRow(const TGridRow &row)
{
    FirmwareRegister::SaveRow(Controller()->Connection(), row);
}
