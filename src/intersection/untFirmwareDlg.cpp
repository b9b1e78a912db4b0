#include "intersection/untFirmwareDlg.h"

#include <QSqlQuery>

#include "core/GridView.h"
#include "core/KitTexts.h"
#include "core/Quorval.h"
#include "core/untDM.h"

namespace Firmware {

QString ListSql(TDBType type)
{
    QString sql = QStringLiteral("SELECT F.FW_ID, F.FW_CREDATE, F.FW_VER_MAJOR, F.FW_VER_MINOR, F.FW_VER_MODULE, "
                                 "F.FW_VER_REV, M.MANUFACTURE_NAME FROM SCS_M_FIRMWARE F");
    if (type == dtMariaDB)
        sql += QStringLiteral(" LEFT JOIN SCS_M_MANUFACTURE M ON M.MANUFACTURE_ID = FLOOR((F.FW_ID % 10000) / 100) ");
    else
        sql += QStringLiteral(" LEFT JOIN SCS_M_MANUFACTURE M ON M.MANUFACTURE_ID = "
                              "TO_CHAR(FLOOR(MOD(CAST(F.FW_ID AS INTEGER), 10000) / 100)) ");
    return sql + QStringLiteral(" WHERE FW_ID LIKE :FW_ID ORDER BY FW_ID");
}

} // namespace Firmware

TfrmFirmwareDlg::TfrmFirmwareDlg(QWidget *owner) : TfrmPickerBase(owner, QStringLiteral("TfrmFirmwareDlg"))
{
    resize(640, 400);
    pnlTop->setVisible(false);
    SetColumns({
        TGridColumn("FW_ID").Hidden(),
        TGridColumn("VendorCD").Key("gtvGridVendorCD.Caption").W(80),
        TGridColumn("VendorNM").Key("gtvGridVendorNM.Caption").W(140).Left(),
        TGridColumn("ModuleNo").Key("gtvGridModuleNo.Caption").W(70),
        TGridColumn("FW_CREDATE").Key("gtvGridFW_CREDATE.Caption").W(140).Fmt("yyyy-MM-dd HH:mm:ss"),
        TGridColumn("FW_VER_MAJOR").Key("gtvGridFW_VER_MAJOR.Caption").W(80),
        TGridColumn("FW_VER_MINOR").Key("gtvGridFW_VER_MINOR.Caption").W(80),
        TGridColumn("FW_VER_MODULE").Key("gtvGridFW_VER_MODULE.Caption").W(80),
        TGridColumn("FW_VER_REV").Key("gtvGridFW_VER_REV.Caption").W(80),
    });
    Grid()->SetFitColumns(true);
    InitLanguage();
}

void TfrmFirmwareDlg::Retranslate()
{
    TfrmPickerBase::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
}

void TfrmFirmwareDlg::LoadList()
{
    Model()->BeginUpdate();
    Model()->Clear();
    if (DM) {
        QSqlQuery q(DM->Con());
        q.setForwardOnly(true);
        q.prepare(Firmware::ListSql(DM->DBInfo().DBType));
        q.bindValue(QStringLiteral(":FW_ID"), QString::number(FFWType) + QLatin1Char('%'));
        if (DM->QueryOpen(q, this)) {
            do {
                const int id = q.value(0).toInt();
                Model()->AddLoaded({id, Firmware::VendorOf(id), q.value(6).isNull() ? QString() : q.value(6).toString(),
                                    Firmware::ModuleOf(id), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5)},
                                   QVariant());
            } while (q.next());
        }
    }
    Model()->EndUpdate();
    if (Grid()->DisplayCount() > 0)
        Grid()->FocusDisplayRow(0);
}

int TfrmFirmwareDlg::SelectedFwId() const
{
    return SelectedRecord() < 0 ? 0 : Value(QStringLiteral("FW_ID")).toInt();
}

void TfrmFirmwareDlg::actSelectExecute()
{
    if (SelectedRecord() < 0) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_1")), KIT_T(T_DialogCaption), QString(),
                   mkInformation);
        return;
    }
    TfrmPickerBase::actSelectExecute();
}

void TfrmFirmwareDlg::showEvent(QShowEvent *e)
{
    TfrmPickerBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        LoadList();
        Grid()->setFocus();
    }
}

bool TfrmFirmwareDlg::Pick(QWidget *owner, int fwType, int *fwId)
{
    TfrmFirmwareDlg dlg(owner);
    dlg.FFWType = fwType;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const int id = dlg.SelectedFwId();
    if (id == 0)
        return false;
    *fwId = id;
    return true;
}
