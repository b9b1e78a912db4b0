#include "core/untUSER_E.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

#include "core/ActionButton.h"
#include "core/KitTexts.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

TfrmUSER_E::TfrmUSER_E(QWidget *owner) : TfrmBase(owner)
{
    resize(980, 520);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(5, 5, 5, 5);
    gtvUSER = new TGridView(this);
    gtvUSER->setObjectName("gtvUSER");
    root->addWidget(gtvUSER, 1);

    FModel = new TGridModel(this);
    const QString none;
    FModel->SetColumns({
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
    });
    Q_UNUSED(none);
    gtvUSER->SetGridModel(FModel);
    FModel->CanEdit = [this](int rec, int) {
        return !(LoginGrade() == 3 && FModel->Value(rec, colAUT_GRADE).toInt() == 1);
    };

    FCtrl = new TGridController(gtvUSER, QList<int>{colUSER_ID}, QList<int>{colUSER_ID, colUSER_PW, colAUT_GRADE},
                                colKeyValue, colState);
    FCtrl->SetSearchProc([this] { actSearchExecute(); });

    auto *bar = new QHBoxLayout;
    auto button = [this, bar](QPushButton *&b, const char *name, QAction *a) {
        b = NewActionButton(this, name, a);
        bar->addWidget(b);
    };
    button(btnSearch, "btnSearch", actSearch);
    button(btnAdd, "btnAdd", actAdd);
    button(btnDel, "btnDel", actDel);
    button(btnSave, "btnSave", actSave);
    button(btnExport, "btnExport", actExport);
    bar->addStretch(1);
    button(btnClose, "btnClose", actClose);
    root->addLayout(bar);

    FCtrl->AttachActions({.Search = actSearch, .Add = actAdd, .Delete = actDel});
    connect(actSave, &QAction::triggered, this, &TfrmUSER_E::actSaveExecute);
    connect(actExport, &QAction::triggered, this, &TfrmUSER_E::actExportExecute);
    auto upd = [this] {
        actSave->setEnabled(FCtrl->Edited());
        actExport->setEnabled(!FCtrl->Edited());
    };
    connect(FCtrl, &TGridController::EditedChanged, this, upd);
    upd();
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
    TfrmBase::Retranslate();
    SetActionButtonTexts({{btnSearch, actSearch}, {btnAdd, actAdd}, {btnDel, actDel}, {btnSave, actSave},
                          {btnExport, actExport}, {btnClose, actClose}});
    if (!FModel)
        return;
    // Grades offered: 1, 3, 2 (grade 4 is not offered here).
    FModel->ColumnRef(colAUT_GRADE).Items = {
        {1, Tx(QStringLiteral("IDS_Grade1"))},
        {3, Tx(QStringLiteral("IDS_Grade3"))},
        {2, Tx(QStringLiteral("IDS_Grade2"))},
    };
    FModel->ColumnRef(colUSER_CHECK).DisplayFormat = Tx(QStringLiteral("IDS_2"));
    gtvUSER->Retranslate(TextTable());
    gtvUSER->viewport()->update();
}

void TfrmUSER_E::showEvent(QShowEvent *e)
{
    TfrmBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        actSearchExecute();
    }
}

void TfrmUSER_E::actSearchExecute()
{
    FCtrl->BeginLoad();
    if (DM) {
        QSqlQuery q(DM->Con());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral(
            "SELECT USER_ID, USER_PW, USER_NAME, USER_TEL, USER_DEPT, AUT_GRADE, USER_CHECK, USER_UPDATE "
            "FROM SCS_M_USER ORDER BY CASE AUT_GRADE WHEN 2 THEN 3 WHEN 3 THEN 2 ELSE AUT_GRADE END, USER_ID"));
        if (DM->QueryOpen(q, this)) {
            do {
                // A stored text that does not decipher shows an empty password: the
                // row then needs a new one before it can be saved (required column).
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
                FModel->AddLoaded(row, q.value(0).toString());
            } while (q.next());
        }
    }
    FCtrl->EndLoad();
}

TfrmUSER_E::TCheck TfrmUSER_E::CheckRows(const TGridModel &m, int loginGrade)
{
    TCheck c;
    for (int rec = 0; rec < m.RecordCount(); ++rec) {
        const QString st = m.State(rec);
        if (!RowState::IsChanged(st))
            continue;
        // A row being deleted needs no values of its own.
        if (st != RowState::Deleted) {
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
    return c;
}

void TfrmUSER_E::SaveRow(const QVariantList &v, const QString &key, const QString &state)
{
    QSqlDatabase db = FCtrl->Connection();
    FLastUserId = v[colUSER_ID].toString();
    if (state == RowState::Deleted) {
        ExecSqlOrThrow(db, QStringLiteral(" DELETE FROM SCS_M_USER WHERE USER_ID = :KEY_VALUE "),
                       {{":KEY_VALUE", key}});
        return;
    }
    const QString pw = v[colUSER_PW].toString();
    const QString stored = Encrypt(v[colUSER_ID].toString(), pw); // throws when the key is missing: the save fails
    const QVariant grade = v[colAUT_GRADE].toString().isEmpty() ? QVariant(2) : v[colAUT_GRADE];
    const QVariant check = v[colUSER_CHECK].toString().isEmpty() ? QVariant(1) : v[colUSER_CHECK];
    QVariantMap p{{":USER_ID", v[colUSER_ID]},
                  {":USER_PW", stored},
                  {":USER_NAME", NullIfEmpty(v[colUSER_NAME])},
                  {":USER_TEL", NullIfEmpty(v[colUSER_TEL])},
                  {":USER_DEPT", NullIfEmpty(v[colUSER_DEPT])},
                  {":AUT_GRADE", grade},
                  {":USER_CHECK", check}};
    const QDateTime now = QDateTime::currentDateTime();
    if (state == RowState::Inserted) {
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
    if (pw != v[colTMP_USER_PW].toString()) {
        sql += QStringLiteral(", USER_UPDATE = :USER_UPDATE");
        p.insert(":USER_UPDATE", now);
    }
    sql += QStringLiteral(" WHERE USER_ID = :KEY_VALUE");
    p.insert(":KEY_VALUE", key);
    ExecSqlOrThrow(db, sql, p);
}

void TfrmUSER_E::actSaveExecute()
{
    gtvUSER->PostEdit();
    const QString title = KitAppTitle();
    if (ShowMsgDlg(this, title, KIT_T(T_SaveQryMsg), KIT_T(T_SaveQryCaption),
                   QString(), mkQuestion) != mrYes)
        return;
    const TCheck c = CheckRows(*FModel, LoginGrade());
    if (c.problem != 0) {
        QString msg;
        if (c.problem == 1)
            msg = KIT_T(T_CheckRequiredField);
        else if (c.problem == 2)
            msg = Tx(QStringLiteral("IDS_1")) + (KIT_T(T_DuplicateMsg));
        else
            msg = Tx(QStringLiteral("IDS_3"));
        gtvUSER->FocusRecord(c.record, c.column);
        ShowMsgDlg(this, title, msg, KIT_T(T_ValidationCaption), QString(), mkError);
        gtvUSER->OpenFocusedEditor();
        return;
    }
    FLastUserId.clear();
    QList<int> all;
    for (int i = 0; i < FModel->ColumnCount(); ++i)
        all << i;
    if (FCtrl->SaveToDB([this](const QVariantList &v, const QString &k, const QString &s) { SaveRow(v, k, s); },
                        all)) {
        const int rec = FModel->FindKeyValue(FLastUserId);
        if (rec >= 0)
            gtvUSER->FocusRecord(rec);
    }
}

void TfrmUSER_E::actExportExecute()
{
    // The passwords never go into the file.
    gtvUSER->setColumnHidden(colUSER_PW, true);
    FCtrl->SaveToExcel();
    gtvUSER->setColumnHidden(colUSER_PW, false);
}

void TfrmUSER_E::actCloseExecute()
{
    TfrmBase::actCloseExecute();
}
