#include "core/untUSER_S.h"

#include <QSqlQuery>

#include "core/untDM.h"

TfrmUSER_S::TfrmUSER_S(QWidget *owner) : TfrmPickerBase(owner)
{
    resize(620, 420);
    pnlTop->setVisible(false);
    SetColumns({
        TGridColumn("AUT_GRADE", QString::fromUtf8("권한등급")).Key("gtvUSERAUT_GRADE.Caption").W(90),
        TGridColumn("USER_ID", QString::fromUtf8("운영자ID")).Key("gtvUSERUSER_ID.Caption").W(100),
        TGridColumn("USER_NAME", QString::fromUtf8("이름")).Key("gtvUSERUSER_NAME.Caption").W(100),
        TGridColumn("USER_TEL", QString::fromUtf8("전화번호")).Key("gtvUSERUSER_TEL.Caption").W(110),
        TGridColumn("USER_DEPT", QString::fromUtf8("부서")).Key("gtvUSERUSER_DEPT.Caption").W(120),
    });
    InitLanguage();
}

void TfrmUSER_S::Retranslate()
{
    TfrmPickerBase::Retranslate();
    if (!Model() || Model()->ColumnCount() == 0)
        return;
    Model()->ColumnRef(0).Items = {
        {1, Tx(QStringLiteral("IDS_Grade1"))},
        {2, Tx(QStringLiteral("IDS_Grade2"))},
        {3, Tx(QStringLiteral("IDS_Grade3"))},
        {4, Tx(QStringLiteral("IDS_Grade4"))},
    };
    emit Model()->dataChanged(Model()->index(0, 0), Model()->index(Model()->RecordCount() - 1, 0));
}

void TfrmUSER_S::LoadUsers()
{
    Model()->BeginUpdate();
    Model()->Clear();
    if (DM) {
        QSqlQuery q(DM->Con());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT USER_ID, USER_NAME, USER_TEL, USER_DEPT, AUT_GRADE "
                                 "FROM SCS_M_USER ORDER BY USER_ID"));
        if (DM->QueryOpen(q, this)) {
            do {
                int grade = q.value(4).toInt();
                if (grade < 1 || grade > 4)
                    grade = 2;
                Model()->AddLoaded({grade, q.value(0), q.value(1), q.value(2), q.value(3)}, QVariant());
            } while (q.next());
        }
    }
    Model()->EndUpdate();
    if (Grid()->DisplayCount() > 0)
        Grid()->FocusDisplayRow(0);
}

void TfrmUSER_S::showEvent(QShowEvent *e)
{
    TfrmPickerBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        LoadUsers();
        Grid()->setFocus();
    }
}
