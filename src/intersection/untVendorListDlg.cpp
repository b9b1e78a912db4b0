#include "intersection/untVendorListDlg.h"

#include <QAction>
#include <QToolButton>

#include "core/KitTexts.h"
#include "core/Quorval.h"

namespace {

QStringList Statements()
{
    return {QStringLiteral("SELECT MANUFACTURE_ID AS ID, MANUFACTURE_NAME AS NAME FROM SCS_M_MANUFACTURE "
                           "ORDER BY MANUFACTURE_ID"),
            QStringLiteral("INSERT INTO SCS_M_MANUFACTURE (MANUFACTURE_ID, MANUFACTURE_NAME) VALUES (:ID, :NAME)"),
            QStringLiteral("UPDATE SCS_M_MANUFACTURE SET MANUFACTURE_ID = :ID, MANUFACTURE_NAME = :NAME "
                           "WHERE MANUFACTURE_ID = :KEY_ID"),
            QStringLiteral("DELETE FROM SCS_M_MANUFACTURE WHERE MANUFACTURE_ID = :KEY_ID")};
}

} // namespace

TfrmVendorListDlg::TfrmVendorListDlg(QWidget *owner, bool viewOnly, const QVariant &current)
    : TFormSimpleEditDlg(owner, {QString(), QString(), QString()}, Statements(), current, viewOnly)
{
    // Codes 0 to 99; only the code is required.
    TGridColumn &id = Model()->ColumnRef(colID);
    id.SpinMin = 0;
    id.SpinMax = 99;
    id.CaptionKey = QStringLiteral("gtvGridMANUFACTURE_ID.Caption");
    Model()->ColumnRef(colName).CaptionKey = QStringLiteral("gtvGridMANUFACTURE_NAME.Caption");
    Model()->ColumnRef(colName).Tag = 0;
    Controller()->SetRequiredIdx({colID});
    Grid()->ApplyColumns();
    disconnect(actSave, &QAction::triggered, this, nullptr);
    connect(actSave, &QAction::triggered, this, &TfrmVendorListDlg::SaveList);
    InitLanguage();
}

void TfrmVendorListDlg::Retranslate()
{
    TFormSimpleEditDlg::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    Grid()->Retranslate(TextTable());
    btnEditMode->setToolTip(Tx(EditMode() ? QStringLiteral("IDS_0") : QStringLiteral("IDS_1")));
}

QVariant TfrmVendorListDlg::MANUFACTURE_ID() const
{
    const QStringList v = SelectedValue();
    return v.value(0).isEmpty() ? QVariant() : QVariant(v.value(0).toInt());
}

QString TfrmVendorListDlg::MANUFACTURE_NAME() const
{
    return SelectedValue().value(1);
}

void TfrmVendorListDlg::actSelectExecute()
{
    if (EditMode())
        return;
    if (SelectedRecord() < 0) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_3")), KIT_T(T_DialogCaption), QString(),
                   mkInformation);
        return;
    }
    done(mrOK);
}

bool TfrmVendorListDlg::SaveList()
{
    Grid()->PostEdit();
    return Controller()->Save(false, true);
}
