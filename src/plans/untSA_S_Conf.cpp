#include "plans/untSA_S_Conf.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/FileDialogService.h"
#include "core/GridExport.h"
#include "core/GridView.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "foundation/QuorvalBase.h"
#include "plans/GroupStore.h"

namespace {

void Fill(TGridModel *m, const GroupStore::TRows &rows)
{
    for (const QVariantList &r : rows.Rows) {
        QVariantMap named;
        for (int i = 0; i < rows.Columns.size() && i < r.size(); ++i)
            named.insert(rows.Columns[i], r[i]);
        m->AddLoadedNamed(named, QVariant());
    }
}

void HideRowButtons(TfrmBaseGrid *w)
{
    for (QAction *a : {w->actAdd, w->actDel, w->actSave})
        a->setVisible(false);
}

} // namespace

// ------------------------------------------------------------------ group overview

TfrmSA_S_Conf::TfrmSA_S_Conf(QWidget *owner) : TfrmBaseGrid(owner)
{
    lblSA = new QLabel(pnlTop);
    edtSA = new QLineEdit(pnlTop);
    edtSA->setObjectName(QStringLiteral("edtSA"));
    edtSA->setReadOnly(true);
    edtSA->setFixedWidth(220);
    QAction *pick = edtSA->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView), QLineEdit::TrailingPosition);
    pick->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    pick->setShortcutContext(Qt::WidgetShortcut);
    connect(pick, &QAction::triggered, this, [this] {
        int sa = 0;
        if (PickSA(&sa))
            SetSA_ID(sa);
    });
    pnlTopLayout->addWidget(lblSA);
    pnlTopLayout->addWidget(edtSA);
    pnlTopLayout->addStretch();

    // Members left, merge links right, each under its heading.
    auto *client = qobject_cast<QBoxLayout *>(pnlClient->layout());
    client->removeWidget(cxGrid);
    client->setDirection(QBoxLayout::LeftToRight);
    auto column = [&](QLabel *&heading, QWidget *grid, int stretch) {
        auto *box = new QWidget(pnlClient);
        auto *v = new QVBoxLayout(box);
        v->setContentsMargins(0, 0, 0, 0);
        heading = new QLabel(box);
        v->addWidget(heading);
        grid->setParent(box);
        v->addWidget(grid, 1);
        client->addWidget(box, stretch);
    };
    column(lblMembers, cxGrid, 2);
    gtvMerge = new TGridView(pnlClient);
    gtvMerge->setObjectName(QStringLiteral("gtvMerge"));
    column(lblMerges, gtvMerge, 5);

    TGridModel *members = SetGridColumns({
        TGridColumn("INT_LCNO").Key("gtvMemberINT_LCNO.Caption").W(60),
        TGridColumn("INT_NAME").Key("gtvMemberINT_NAME.Caption").W(150).Left(),
        TGridColumn("INT_IMPORFLAG").Key("gtvMemberINT_IMPORFLAG.Caption").W(60)
            .Choices({{0, "MI"}, {1, "CI"}, {2, "SCI"}, {3, "RAMP"}}),
        TGridColumn("INT_SAINDEX").Hidden(),
    }, {});
    members->SetReadOnly(true);
    auto *merges = new TGridModel(this);
    TGridColumns mc{TGridColumn("SA_NO").Key("gtvMergeSA_NO.Caption").W(60)};
    for (const QString &c : GroupStore::MergeColumns())
        mc << TGridColumn(c).Key(QStringLiteral("gtvMerge%1.Caption").arg(c)).W(c.contains("AXIS") || c == "SA_LINKMGCOND" ? 120 : 70);
    merges->SetColumns(mc, false);
    merges->SetReadOnly(true);
    gtvMerge->SetGridModel(merges);
    for (TGridView *g : {cxGrid, gtvMerge}) {
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->SetEnterMovesToNextCell(true);
    }
    HideRowButtons(this);
    SetSearched(true);

    // Search refuses without a group; Export follows the rows of either list.
    disconnect(actSearch, &QAction::triggered, this, nullptr);
    connect(actSearch, &QAction::triggered, this, [this] {
        if (FGroup <= 0) {
            ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SelectGroupMsg), KIT_T(T_SelectGroupCaption), QString(),
                       mkInformation);
            edtSA->setFocus();
            return;
        }
        actSearchExecute();
        ApplyExportState();
    });
    InitLanguage();
    ApplyExportState();
}

void TfrmSA_S_Conf::ApplyExportState()
{
    actExport->setEnabled(GridModel()->RecordCount() > 0 || gtvMerge->GridModel()->RecordCount() > 0);
}

void TfrmSA_S_Conf::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblSA->setText(Tx(QStringLiteral("lblSA.Caption")));
    lblMembers->setText(Tx(QStringLiteral("lblMembers.Caption")));
    lblMerges->setText(Tx(QStringLiteral("lblMerges.Caption")));
    if (gtvMerge)
        gtvMerge->Retranslate(TextTable());
    if (FGroup > 0)
        edtSA->setText(GetSaName(FGroup));
}

void TfrmSA_S_Conf::SetSA_ID(int Value)
{
    FGroup = Value;
    edtSA->setText(GetSaName(Value));
}

void TfrmSA_S_Conf::Load()
{
    const QSqlDatabase db = Controller()->Connection();
    Fill(GridModel(), GroupStore::GroupMembers(db, FGroup));
    TGridModel *merges = gtvMerge->GridModel();
    merges->BeginUpdate();
    merges->Clear();
    Fill(merges, GroupStore::GroupMerges(db, FGroup, [this](const QString &key) { return Tx(key); }));
    merges->EndUpdate();
}

void TfrmSA_S_Conf::actExportExecute()
{
    const QString caption = windowTitle();
    const QString file = ShowSaveDialog(this, caption, DM ? DM->G_DIALOG_PATH : QDir::homePath(),
                                        RemoveInvalidFileChars(caption), KIT_T(T_SAVEDIALOG_FILTER),
                                        QStringLiteral("xlsx"));
    if (file.isEmpty())
        return;
    if (DM)
        DM->G_DIALOG_PATH = QFileInfo(file).absolutePath();
    const TXlsxTable members = GridToTable(cxGrid);
    const TXlsxTable merges = GridToTable(gtvMerge);
    // Each list is also left as its own workbook in the program's data folder.
    const QString data = GetAppDataPath();
    QDir().mkpath(data);
    WriteXlsxTable(QDir(data).filePath(QStringLiteral("temp_sa_s_tcdv.xlsx")), members);
    WriteXlsxTable(QDir(data).filePath(QStringLiteral("temp_sa_s_joingrp.xlsx")), merges);

    if (QFile::exists(file) && !QFile::remove(file)) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_6")) + '\n' + Tx(QStringLiteral("IDS_7")),
                   Tx(QStringLiteral("IDS_8")), QString(), mkError);
    } else {
        QString error;
        if (!WriteXlsxSheets(file, {{Tx(QStringLiteral("IDS_3")), members}, {Tx(QStringLiteral("IDS_5")), merges}},
                             &error)) {
            ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveFailMsg), KIT_T(T_SaveFailCaption), error, mkError);
            return;
        }
    }
    OpenExcel(nullptr, file, DM ? DM->G_EXCEL_PATH : QString(), KIT_T(T_FileOpenMsg), KIT_T(T_FileOpenCaption));
}

// ------------------------------------------------------------------ cycle lengths

TfrmSA_E_Cycle::TfrmSA_E_Cycle(QWidget *owner) : TfrmBaseGrid(owner)
{
    pnlTop->hide();
    TGridColumns cols{
        TGridColumn("SA_NO").Key("gtvCycleSA_NO.Caption").W(60),
        TGridColumn("SA_NAME").Key("gtvCycleSA_NAME.Caption").W(150).Left(),
        TGridColumn("SA_APLAN").Key("gtvCycleSA_APLAN.Caption").W(80),
    };
    for (int k = 1; k <= 16; ++k)
        cols << TGridColumn(QStringLiteral("SA_CYCLELENGTH%1").arg(k))
                    .Key(QStringLiteral("gtvCycleSA_CYCLELENGTH%1.Caption").arg(k))
                    .W(55);
    TGridModel *m = SetGridColumns(cols, {});
    m->SetReadOnly(true);
    cxGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    HideRowButtons(this);
    SetSearched(true);
    connect(actSearch, &QAction::triggered, this,
            [this] { actExport->setEnabled(GridModel()->RecordCount() > 0); });
    InitLanguage();
    actExport->setEnabled(false);
}

void TfrmSA_E_Cycle::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
}

void TfrmSA_E_Cycle::Load()
{
    const GroupStore::TRows rows = GroupStore::CycleLengths(Controller()->Connection());
    if (!rows.Ok && DM)
        ShowMsgDlg(this, KitAppTitle(), rows.Error, KIT_T(T_DialogCaption), QString(), mkError);
    Fill(GridModel(), rows);
}
