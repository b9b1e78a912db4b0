#include "core/untSA_S.h"

#include <QSqlQuery>

#include "core/untDM.h"

TfrmSA_S::TfrmSA_S(QWidget *owner) : TfrmPickerBase(owner)
{
    resize(700, 480);
    pnlTop->setVisible(false);
    SetColumns({
        TGridColumn("SA_NO", QString::fromUtf8("번호")).Key("gtvSASA_NO.Caption").W(60),
        TGridColumn("SA_NAME", QString::fromUtf8("그룹명")).Key("gtvSASA_NAME.Caption").W(150).Left(),
        TGridColumn("INT_LC_LIST", QString::fromUtf8("소속교차로")).Key("gtvSAINT_LC_LIST.Caption").W(450).Left(),
    });
    connect(Grid(), &TGridView::FocusedRecordChanged, this, [this](int rec) {
        FSA_ID = rec < 0 ? 0 : Model()->Value(rec, 0).toInt();
    });
    InitLanguage();
}

QString TfrmSA_S::MemberText(const QVariant &lcNo, const QVariant &name, const QVariant &imporFlag,
                             const QString &none)
{
    if (lcNo.isNull())
        return none;
    QString s = lcNo.toString() + QLatin1Char('.') + name.toString();
    if (!imporFlag.isNull() && imporFlag.toInt() == 1)
        s += QStringLiteral("(CI)");
    return s;
}

void TfrmSA_S::LoadGroups()
{
    Model()->BeginUpdate();
    Model()->Clear();
    if (DM) {
        QSqlQuery q(DM->Con());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral(
            "SELECT T1.SA_NO, T1.SA_NAME, T2.INT_NAME, T2.INT_LCNO, T2.INT_IMPORFLAG "
            "FROM SCS_M_SAOPERATE T1 LEFT JOIN SCS_M_INTLC T2 ON T1.SA_NO = T2.INT_SANO "
            "WHERE T1.SA_NO > 0 ORDER BY T1.SA_NO, T2.INT_SAINDEX, T2.INT_LCNO"));
        if (DM->QueryOpen(q, this)) {
            const QString none = Tx(QStringLiteral("IDS_1"));
            int prev = 0;
            int rec = -1;
            QStringList members;
            do {
                const int sa = q.value(0).toInt();
                if (sa <= 0)
                    continue;
                if (sa != prev) {
                    if (rec >= 0)
                        Model()->SetValue(rec, 2, members.join(QStringLiteral(" - ")));
                    members.clear();
                    rec = Model()->AddLoaded({sa, q.value(1)}, QVariant());
                    prev = sa;
                }
                members << MemberText(q.value(3), q.value(2), q.value(4), none);
            } while (q.next());
            if (rec >= 0)
                Model()->SetValue(rec, 2, members.join(QStringLiteral(" - ")));
        }
    }
    Model()->EndUpdate();
    if (Grid()->DisplayCount() > 0)
        Grid()->FocusDisplayRow(0);
    else
        FSA_ID = 0;
}

void TfrmSA_S::showEvent(QShowEvent *e)
{
    TfrmPickerBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        LoadGroups();
        Grid()->setFocus();
    }
}
