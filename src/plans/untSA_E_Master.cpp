#include "plans/untSA_E_Master.h"

#include <QAction>
#include <QLabel>
#include <QStyle>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSqlQuery>

#include "core/GridView.h"
#include "core/InAppMessage.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"
#include "plans/GroupStore.h"

namespace {

TGridColumn SpinCol(const char *name, int width)
{
    return TGridColumn(QString::fromLatin1(name))
        .Key(QStringLiteral("gtvSAMaster%1.Caption").arg(QString::fromLatin1(name)))
        .W(width)
        .Range(0, 32767);
}

TGridColumn CheckCol(const char *name, int width)
{
    return TGridColumn(QString::fromLatin1(name))
        .Key(QStringLiteral("gtvSAMaster%1.Caption").arg(QString::fromLatin1(name)))
        .W(width)
        .Ed(QStringLiteral("cxEditRepositoryCheckBoxItem"));
}

TGridColumn ComboCol(const char *name, int width)
{
    return TGridColumn(QString::fromLatin1(name))
        .Key(QStringLiteral("gtvSAMaster%1.Caption").arg(QString::fromLatin1(name)))
        .W(width);
}

} // namespace

TfrmSA_E_Master::TfrmSA_E_Master(QWidget *owner) : TfrmBaseGrid(owner)
{
    // The number box only names and focuses a group of the list: typing, Enter,
    // Up/Down and the picker never reload it, so no edit is ever dropped here.
    lblSA = new QLabel(pnlTop);
    edtSA = new QLineEdit(pnlTop);
    edtSA->setObjectName(QStringLiteral("edtSA"));
    edtSA->setFixedWidth(90);
    lblSA_NAME = new QLabel(pnlTop);
    pnlTopLayout->addWidget(lblSA);
    pnlTopLayout->addWidget(edtSA);
    pnlTopLayout->addWidget(lblSA_NAME);
    pnlTopLayout->addStretch();
    connect(edtSA, &QLineEdit::textEdited, this,
            [this](const QString &t) { lblSA_NAME->setText(GetSaName(t.trimmed().toInt())); });
    InstallIdEditKeys(edtSA, IdEditKindSa, nullptr, nullptr, [this](int n) { SetSA_ID(n); }, {}, false,
                      TIdEditStep::Apply);
    QAction *pick = edtSA->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                     QLineEdit::TrailingPosition);
    pick->setObjectName(QStringLiteral("edtSAButton"));
    pick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    pick->setShortcutContext(Qt::WidgetShortcut);
    connect(pick, &QAction::triggered, this, [this] {
        int sa = 0;
        if (PickSA(&sa))
            SetSA_ID(sa);
    });
    SetGridColumns({
        SpinCol("SA_NO", 60).Range(1, 32767).Req(),
        TGridColumn("SA_NAME").Key("gtvSAMasterSA_NAME.Caption").W(150).Left().Max(100).Req(),
        ComboCol("SA_DEFAULTCNTLMODE", 70),
        SpinCol("SA_MINOPERATECYCLE", 70),
        SpinCol("SA_PHASEFACTOR", 70),
        SpinCol("SA_OFFSETADJSTFACTOR", 70),
        CheckCol("SA_TRCCNTL1", 70),
        CheckCol("SA_TRCCNTL2", 70),
        CheckCol("SA_AUTOONLINEREQ", 70),
        SpinCol("SA_MINCYCLELEVEL", 60),
        SpinCol("SA_MAXCYCLELEVEL", 60),
        ComboCol("SA_CYCLEMTD", 80),
        SpinCol("SA_CYCLERNG", 60),
        ComboCol("SA_CYCLETRANSMTD", 70),
        ComboCol("SA_CYCLETIMESETMTD", 70),
        ComboCol("SA_SAJOINMTD", 80).Hidden(),
        SpinCol("SA_SAJOINVARIABLE1", 60).Hidden(),
        SpinCol("SA_SAJOINVARIABLE2", 60).Hidden(),
        SpinCol("SA_SAJOINVARIABLE3", 60).Hidden(),
        SpinCol("SA_SAJOINVARIABLE4", 60).Hidden(),
        SpinCol("SA_SAJOINVARIABLE5", 60).Hidden(),
        SpinCol("SA_SAJOINVARIABLE6", 60).Hidden(),
        CheckCol("SA_REGFLAG", 60),
    }, {"SA_NO"});
    cxGrid->SetEnterMovesToNextCell(true);
    SetSearched(true); // the list holds every group; it never waits for a number
    // After a search from the button the group of the number box is focused again.
    connect(actSearch, &QAction::triggered, this, [this] {
        const QString typed = edtSA->text().trimmed();
        if (!typed.isEmpty())
            SetSA_ID(typed.toInt());
    });
    connect(Controller(), &TGridController::Saved, this,
            [] { RaiseInAppMessage(&TInAppMessage::REFRESH_SA_MASTER); });
    InitLanguage();
}

void TfrmSA_E_Master::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblSA->setText(Tx(QStringLiteral("lblSA.Caption")));
    const bool english = TsiLangDispatcher::instance()->ActiveLanguage() != 1;
    resize(english ? 1051 : 1005, height());
    if (TGridModel *m = GridModel()) {
        auto set = [&](const char *column, std::initializer_list<std::pair<int, const char *>> keys) {
            QList<TGridItem> items;
            for (const auto &k : keys)
                items << TGridItem{k.first, Tx(QString::fromLatin1(k.second))};
            m->ColumnRef(m->ColumnIndex(QString::fromLatin1(column))).Items = items;
        };
        set("SA_DEFAULTCNTLMODE", {{0, "strCntlMode0"}, {1, "strCntlMode1"}});
        set("SA_CYCLEMTD", {{0, "strCycleMtd0"}, {1, "strCycleMtd1"}});
        set("SA_CYCLETRANSMTD", {{0, "strTransMtd0"}, {1, "strTransMtd1"}});
        set("SA_CYCLETIMESETMTD", {{0, "strTimeSetMtd0"}, {1, "strTimeSetMtd1"}});
        set("SA_SAJOINMTD", {{0, "strJoinMtd0"}, {1, "strJoinMtd1"}});
        cxGrid->ApplyColumns();
    }
}

void TfrmSA_E_Master::showEvent(QShowEvent *e)
{
    TfrmBaseGrid::showEvent(e);
    if (!FShown) {
        FShown = true;
        actSearch->trigger();
    }
}

void TfrmSA_E_Master::Load()
{
    QSqlQuery q = NewQuery();
    q.prepare(GroupStore::MasterListSql());
    if (DM && DM->QueryOpen(q, this))
        GridModel()->LoadQuery(q, QStringLiteral("SA_NO"));
}

void TfrmSA_E_Master::SetSA_ID(int Value)
{
    FGroup = Value;
    const QString name = GetSaName(Value);
    lblSA_NAME->setText(name);
    if (name == KIT_T(T_NotExist))
        return;
    if (edtSA->text().trimmed() != QString::number(Value)) {
        const QSignalBlocker block(edtSA);
        edtSA->setText(QString::number(Value));
    }
    TGridModel *m = GridModel();
    const int rec = m->FindText(m->ColumnIndex(QStringLiteral("SA_NO")), QString::number(Value));
    if (rec >= 0)
        cxGrid->FocusRecord(rec);
}

QString TfrmSA_E_Master::DuplicateText() const
{
    return Tx(QStringLiteral("IDS_1")) + KIT_T(T_DuplicateMsg);
}

TRtnBoolStr TfrmSA_E_Master::Validate(TGridView *TableView, bool DuplicationCheck)
{
    TRtnBoolStr r = TfrmBaseGrid::Validate(TableView, DuplicationCheck);
    if (!r.rtn || !TableView || !TableView->GridModel())
        return r;
    const TGridModel &m = *TableView->GridModel();
    const int col = m.ColumnIndex(QStringLiteral("SA_NO"));
    const GroupStore::TNumberCheck check = GroupStore::CheckGroupNumbers(m, col);
    if (check.Record >= 0) {
        // 0 is no group number: the required value is missing.
        TableView->FocusRecord(check.Record, col);
        r.rtn = false;
        r.msg = check.OverMax ? Tx(QStringLiteral("IDS_2")) : KIT_T(T_CheckRequiredField);
    }
    return r;
}

void TfrmSA_E_Master::SaveRow(const TGridRow &row)
{
    GroupStore::SaveMasterRow(Controller()->Connection(), row);
}
