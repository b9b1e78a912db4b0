#include "core/untExampleEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>

#include "core/untDM.h"

TfrmExampleEditor::TfrmExampleEditor(QWidget *owner) : TfrmBaseGrid(owner)
{
    // The number box: typing, Enter, Up/Down and the picker button set TCDV_ID.
    AddTCDVBox(lblTCDV, edtTCDV, lblTCDVName);

    // The columns (+ hidden key as loaded and state) and the key that must not repeat.
    SetGridColumns({
        TGridColumn("PPC_MANAGER").Key("gtvGridPPC_MANAGER.Caption").W(100).Range(0, 255).Req(),
        TGridColumn("PPC_NUMBER").Key("gtvGridPPC_NUMBER.Caption").W(140).Req(),
        TGridColumn("PPCN_COMMENTS").Key("gtvGridPPCN_COMMENTS.Caption").W(240).Left().Max(200),
    }, {"PPC_MANAGER", "PPC_NUMBER"});
    InitLanguage();
}

void TfrmExampleEditor::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
}

// The rows of TCDV_ID, each with its key as loaded ("agency,number").
void TfrmExampleEditor::Load()
{
    QSqlQuery q = NewQuery();
    q.prepare(QStringLiteral("SELECT PPC_MANAGER, PPC_NUMBER, PPCN_COMMENTS FROM SCS_M_INTPPC "
                             "WHERE INT_LCNO = :INT_LCNO ORDER BY PPC_MANAGER, PPC_NUMBER"));
    q.bindValue(QStringLiteral(":INT_LCNO"), TCDV_ID());
    if (DM->QueryOpen(q, this))
        GridModel()->LoadQuery(q, QString(), [](const QSqlQuery &r) {
            return QVariant(r.value(0).toString() + ',' + r.value(1).toString());
        });
}

// One changed row; the base window runs every row in one transaction.
void TfrmExampleEditor::SaveRow(const TGridRow &row)
{
    const QStringList key = row.KeyParts();
    const QVariantMap values{{":INT_LCNO", TCDV_ID()},
                             {":PPC_MANAGER", row["PPC_MANAGER"]},
                             {":PPC_NUMBER", row["PPC_NUMBER"]},
                             {":PPCN_COMMENTS", NullIfEmpty(row["PPCN_COMMENTS"])},
                             {":KEY_PPC_MANAGER", key.value(0)},
                             {":KEY_PPC_NUMBER", key.value(1)}};
    QString sql;
    switch (row.State) {
    case TRowState::Inserted:
        sql = "INSERT INTO SCS_M_INTPPC (INT_LCNO, PPC_MANAGER, PPC_NUMBER, PPCN_COMMENTS) "
              "VALUES (:INT_LCNO, :PPC_MANAGER, :PPC_NUMBER, :PPCN_COMMENTS)";
        break;
    case TRowState::Modified:
        sql = "UPDATE SCS_M_INTPPC SET PPC_MANAGER = :PPC_MANAGER, PPC_NUMBER = :PPC_NUMBER, "
              "PPCN_COMMENTS = :PPCN_COMMENTS WHERE INT_LCNO = :INT_LCNO "
              "AND PPC_MANAGER = :KEY_PPC_MANAGER AND PPC_NUMBER = :KEY_PPC_NUMBER";
        break;
    case TRowState::Deleted:
        sql = "DELETE FROM SCS_M_INTPPC WHERE INT_LCNO = :INT_LCNO "
              "AND PPC_MANAGER = :KEY_PPC_MANAGER AND PPC_NUMBER = :KEY_PPC_NUMBER";
        break;
    case TRowState::Unchanged:
        return;
    }
    ExecSqlOrThrow(Controller()->Connection(), sql, values);
}
