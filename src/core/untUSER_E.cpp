#include "core/untUSER_E.h"

#include <QAction>
#include <QSqlQuery>

#include "core/KitTexts.h"
#include "core/Quorval.h"
#include "core/untDM.h"

TfrmUSER_E::TfrmUSER_E(QWidget *owner) : TfrmBaseGrid(owner)
{
    resize(980, 520);
    pnlTop->hide(); // no number box: the window lists every account
    gtvUSER = cxGrid;
    SetGridColumns({
        TGridColumn("USER_ID", QString::fromUtf8("운영자ID")).Key("gtvUSERUSER_ID.Caption").W(100).Req(),
        TGridColumn("USER_PW", QString::fromUtf8("비밀번호")).Key("gtvUSERUSER_PW.Caption").W(100).Req().Pwd(32),
        TGridColumn("USER_NAME", QString::fromUtf8("이름")).Key("gtvUSERUSER_NAME.Caption").W(100),
        TGridColumn("USER_TEL", QString::fromUtf8("전화번호")).Key("gtvUSERUSER_TEL.Caption").W(110),
        TGridColumn("USER_DEPT", QString::fromUtf8("부서")).Key("gtvUSERUSER_DEPT.Caption").W(120),
        TGridColumn("AUT_GRADE", QString::fromUtf8("권한등급")).Key("gtvUSERAUT_GRADE.Caption").W(100).Req(),
        TGridColumn("EMERGENCY_FLAG", QString::fromUtf8("긴급차량 알림여부")).Key("gtvUSEREMERGENCY_FLAG.Caption").Hidden(),
        TGridColumn("USER_CHECK", QString::fromUtf8("비밀번호 사용기한")).Key("gtvUSERUSER_CHECK.Caption").W(110).Range(0, 99),
        TGridColumn("USER_UPDATE", QString::fromUtf8("비밀번호 갱신 일자")).Key("gtvUSERUSER_UPDATE.Caption").W(150).RO().Fmt("yyyy-MM-dd HH:mm:ss"),
        TGridColumn(TGridModel::KeyValueName).Hidden(),
        TGridColumn(TGridModel::StateName).Hidden(),
        TGridColumn("TMP_USER_PW").Hidden().RO(),
    }, {"USER_ID"});
    GridModel()->CanEdit = [this](int rec, int) {
        return !(LoginGrade() == 3 && GridModel()->Value(rec, colAUT_GRADE).toInt() == 1);
    };
    // After a save the focus goes to the account saved last, under its new identifier.
    connect(Controller(), &TGridController::Saved, this, [this] {
        if (const int rec = GridModel()->FindKeyValue(FLastUserId); rec >= 0)
            gtvUSER->FocusRecord(rec);
    });
    InitLanguage();
}

int TfrmUSER_E::LoginGrade() const
{
    if (FLoginGrade >= 0)
        return FLoginGrade;
    return DM ? DM->G_APP_USER.Role : 0;
}

void TfrmUSER_E::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    TGridModel *m = GridModel();
    if (!m)
        return;
    // Grades offered: 1, 3, 2 (grade 4 is not offered here).
    m->ColumnRef(colAUT_GRADE).Items = {
        {1, Tx(QStringLiteral("IDS_Grade1"))},
        {3, Tx(QStringLiteral("IDS_Grade3"))},
        {2, Tx(QStringLiteral("IDS_Grade2"))},
    };
    m->ColumnRef(colUSER_CHECK).DisplayFormat = Tx(QStringLiteral("IDS_2"));
    gtvUSER->viewport()->update();
}

void TfrmUSER_E::showEvent(QShowEvent *e)
{
    TfrmBaseGrid::showEvent(e);
    if (!FShown) {
        FShown = true;
        SetSearched(true);
        actSearch->trigger();
    }
}

void TfrmUSER_E::Load()
{
    if (!DM)
        return;
    QSqlQuery q(DM->Con());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT USER_ID, USER_PW, USER_NAME, USER_TEL, USER_DEPT, AUT_GRADE, USER_CHECK, USER_UPDATE "
        "FROM SCS_M_USER ORDER BY CASE AUT_GRADE WHEN 2 THEN 3 WHEN 3 THEN 2 ELSE AUT_GRADE END, USER_ID"));
    if (!DM->QueryOpen(q, this))
        return;
    do {
        // Password cipher: a stored text that does not decipher shows an empty
        // password; the row then needs a new one before it can be saved.
        QString pw;
        if (!q.value(1).isNull())
            TryDecrypt(q.value(0).toString(), q.value(1).toString(), &pw);
        QVariantList row(12);
        row[colUSER_ID] = q.value(0);
        row[colUSER_PW] = pw;
        row[colUSER_NAME] = q.value(2);
        row[colUSER_TEL] = q.value(3);
        row[colUSER_DEPT] = q.value(4);
        row[colAUT_GRADE] = q.value(5);
        row[colUSER_CHECK] = q.value(6);
        row[colUSER_UPDATE] = q.value(7);
        row[colTMP_USER_PW] = pw;
        GridModel()->AddLoaded(row, q.value(0).toString());
    } while (q.next());
}

TfrmUSER_E::TCheck TfrmUSER_E::CheckRows(const TGridModel &m, int loginGrade)
{
    for (int rec = 0; rec < m.RecordCount(); ++rec) {
        const TRowState st = m.RowStateOf(rec);
        if (st == TRowState::Unchanged)
            continue;
        // A row being deleted needs no values of its own.
        if (st != TRowState::Deleted) {
            for (int col : {int(colUSER_ID), int(colUSER_PW), int(colAUT_GRADE)})
                if (m.Text(rec, col).isEmpty())
                    return {1, rec, col};
        }
        const QString id = m.Text(rec, colUSER_ID);
        for (int other = 0; other < m.RecordCount(); ++other)
            if (other != rec && m.Text(other, colUSER_ID) == id)
                return {2, rec, colUSER_ID};
        if (loginGrade == 3 && m.Value(rec, colAUT_GRADE).toInt() == 1)
            return {3, rec, colAUT_GRADE};
    }
    return {};
}

TRtnBoolStr TfrmUSER_E::Validate(TGridView *TableView, bool)
{
    TRtnBoolStr r;
    if (!TableView || !TableView->GridModel())
        return r;
    TableView->PostEdit();
    const TCheck c = CheckRows(*TableView->GridModel(), LoginGrade());
    if (c.problem == 0)
        return r;
    r.rtn = false;
    if (c.problem == 1)
        r.msg = KIT_T(T_CheckRequiredField);
    else if (c.problem == 2)
        r.msg = Tx(QStringLiteral("IDS_1")) + KIT_T(T_DuplicateMsg);
    else
        r.msg = Tx(QStringLiteral("IDS_3"));
    TableView->FocusRecord(c.record, c.column);
    return r;
}

void TfrmUSER_E::SaveRow(const TGridRow &row)
{
    QSqlDatabase db = Controller()->Connection();
    FLastUserId = row.Text("USER_ID");
    if (row.IsDeleted()) {
        ExecSqlOrThrow(db, QStringLiteral(" DELETE FROM SCS_M_USER WHERE USER_ID = :KEY_VALUE "),
                       {{":KEY_VALUE", row.KeyValue}});
        return;
    }
    const QString pw = row.Text("USER_PW");
    // Password cipher: throws when the key is missing, which fails the whole save.
    const QString stored = Encrypt(row.Text("USER_ID"), pw);
    const QVariant grade = row.Text("AUT_GRADE").isEmpty() ? QVariant(2) : row["AUT_GRADE"];
    const QVariant check = row.Text("USER_CHECK").isEmpty() ? QVariant(1) : row["USER_CHECK"];
    QVariantMap p{{":USER_ID", row["USER_ID"]},
                  {":USER_PW", stored},
                  {":USER_NAME", NullIfEmpty(row["USER_NAME"])},
                  {":USER_TEL", NullIfEmpty(row["USER_TEL"])},
                  {":USER_DEPT", NullIfEmpty(row["USER_DEPT"])},
                  {":AUT_GRADE", grade},
                  {":USER_CHECK", check}};
    const QDateTime now = QDateTime::currentDateTime();
    if (row.IsInserted()) {
        p.insert(":USER_UPDATE", now);
        ExecSqlOrThrow(db, QStringLiteral(
            "INSERT INTO SCS_M_USER (USER_ID, USER_PW, USER_NAME, USER_TEL, USER_DEPT, AUT_GRADE, "
            "USER_CHECK, USER_UPDATE) VALUES (:USER_ID, :USER_PW, :USER_NAME, :USER_TEL, :USER_DEPT, "
            ":AUT_GRADE, :USER_CHECK, :USER_UPDATE)"), p);
        return;
    }
    QString sql = QStringLiteral(
        "UPDATE SCS_M_USER SET USER_ID = :USER_ID, USER_PW = :USER_PW, USER_NAME = :USER_NAME, "
        "USER_TEL = :USER_TEL, USER_DEPT = :USER_DEPT, AUT_GRADE = :AUT_GRADE, USER_CHECK = :USER_CHECK");
    if (pw != row.Text("TMP_USER_PW")) {
        sql += QStringLiteral(", USER_UPDATE = :USER_UPDATE");
        p.insert(":USER_UPDATE", now);
    }
    sql += QStringLiteral(" WHERE USER_ID = :KEY_VALUE");
    p.insert(":KEY_VALUE", row.KeyValue);
    ExecSqlOrThrow(db, sql, p);
}

void TfrmUSER_E::actExportExecute()
{
    // The passwords never go into the file.
    gtvUSER->setColumnHidden(colUSER_PW, true);
    TfrmBaseGrid::actExportExecute();
    gtvUSER->setColumnHidden(colUSER_PW, false);
}
