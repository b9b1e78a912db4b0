#include "plans/untSaTool.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSqlError>
#include <QVBoxLayout>

#include "core/FileDialogService.h"
#include "core/GridHelpers.h"
#include "core/GridModel.h"
#include "core/GridView.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"

namespace {

struct TWaitCursor
{
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TFormSaTool::TFormSaTool(QWidget *owner) : TfrmBase(owner)
{
    resize(900, 560);
    auto *root = new QVBoxLayout(this);
    gtvGrid = new TGridView(this);
    gtvGrid->setObjectName(QStringLiteral("gtvGrid"));
    auto *m = new TGridModel(this);
    m->SetColumns({
        TGridColumn("SA_ID", "그룹ID").W(60),
        TGridColumn("SA_NAME", "그룹명칭").W(160).Left(),
        TGridColumn("LINKS", "링크ID 리스트").W(200).Left().Hidden(),
        TGridColumn("SA_LATLNGS", "SA_LATLNGS").W(600).Left(),
    }, false);
    m->SetReadOnly(true);
    gtvGrid->SetGridModel(m);
    gtvGrid->setWordWrap(true);
    root->addWidget(gtvGrid, 1);
    auto *bar = new QHBoxLayout;
    btnSaveToExcel = new QPushButton(QStringLiteral("Save to Excel"), this);
    btnSaveToExcel->setObjectName(QStringLiteral("btnSaveToExcel"));
    btnLoad = new QPushButton(QStringLiteral("Load"), this);
    btnLoad->setObjectName(QStringLiteral("btnLoad"));
    btnSaveToDB = new QPushButton(QStringLiteral("DB Insert"), this);
    btnSaveToDB->setObjectName(QStringLiteral("btnSaveToDB"));
    for (QPushButton *b : {btnSaveToExcel, btnLoad, btnSaveToDB}) {
        b->setAutoDefault(false);
        bar->addWidget(b);
    }
    bar->addStretch();
    root->addLayout(bar);
    connect(btnSaveToExcel, &QPushButton::clicked, this, [this] { actSaveToExcelExecute(); });
    connect(btnLoad, &QPushButton::clicked, this, [this] { actLoadExecute(); });
    connect(btnSaveToDB, &QPushButton::clicked, this, [this] { actSaveToDBExecute(); });
    InitLanguage();
    ListOutlines();
}

TGridModel *TFormSaTool::Model() const
{
    return gtvGrid->GridModel();
}

void TFormSaTool::Retranslate()
{
    TfrmBase::Retranslate();
    btnSaveToExcel->setToolTip(Tx(QStringLiteral("btnSaveToExcel.Hint")));
}

void TFormSaTool::ShowRows()
{
    TGridModel *m = Model();
    m->BeginUpdate();
    m->Clear();
    for (const SaOutlines::TOutline &o : FRows)
        m->AddLoaded({o.SaNo, o.Name, o.Links, o.LatLngs}, QVariant());
    m->EndUpdate();
}

void TFormSaTool::ListOutlines()
{
    QString error;
    if (!SaOutlines::ListOutlines(DM->Con(), &FRows, &error))
        ShowMsgDlg(this, KitAppTitle(), error, KIT_T(T_DialogCaption), QString(), mkError);
    ShowRows();
}

bool TFormSaTool::actSaveToExcelExecute()
{
    // An outline a cell cannot hold is refused before any dialog; nothing is cut.
    const int tooLong = SaOutlines::FirstTooLong(FRows);
    if (tooLong >= 0) {
        ShowMsgDlg(this, KitAppTitle(),
                   Tx(QStringLiteral("IDS_TooLong")).arg(FRows[tooLong].SaNo).arg(FRows[tooLong].Name),
                   KIT_T(T_SaveFailCaption), QString(), mkError);
        return false;
    }
    const QString caption = windowTitle();
    const QString file = ShowSaveDialog(this, caption, DM->G_DIALOG_PATH, RemoveInvalidFileChars(caption),
                                        KIT_T(T_SAVEDIALOG_FILTER), QStringLiteral("xlsx"));
    if (file.isEmpty())
        return false;
    DM->G_DIALOG_PATH = QFileInfo(file).absolutePath();
    QString error;
    bool ok = false;
    {
        TWaitCursor wait;
        ok = SaOutlines::ExportOutlines(file, FRows, {QStringLiteral("그룹ID"), QStringLiteral("그룹명칭"),
                                                      QStringLiteral("SA_LATLNGS")}, &error);
    }
    if (!ok) {
        ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveFailMsg), KIT_T(T_SaveFailCaption), error, mkError);
        return false;
    }
    OpenExcel(nullptr, file, DM->G_EXCEL_PATH, KIT_T(T_FileOpenMsg), KIT_T(T_FileOpenCaption));
    return true;
}

bool TFormSaTool::actLoadExecute()
{
    const QString file = ShowOpenDialog(this, windowTitle(), DM->G_DIALOG_PATH, KIT_T(T_SAVEDIALOG_FILTER));
    if (file.isEmpty())
        return false;
    DM->G_DIALOG_PATH = QFileInfo(file).absolutePath();
    TWaitCursor wait;
    FRows.clear();
    QString error;
    const bool ok = SaOutlines::LoadOutlines(file, &FRows, &error);
    ShowRows();
    if (!ok)
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_LoadFailMsg")), Tx(QStringLiteral("IDS_LoadFailCaption")),
                   error, mkInformation);
    return ok;
}

bool TFormSaTool::actSaveToDBExecute()
{
    if (ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_ReplaceMsg")), KIT_T(T_DialogCaption), QString(),
                   mkQuestion) != mrYes)
        return false;
    QSqlDatabase db = DM->Con();
    const bool own = !ConInTransaction(db);
    if (own)
        ConStartTransaction(db);
    try {
        SaOutlines::InsertOutlines(db, FRows);
        if (own && !ConCommit(db))
            throw EGridSaveError(db.lastError().text());
    } catch (const EGridSaveError &e) {
        ConRollback(db);
        ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveFailMsg), KIT_T(T_SaveFailCaption), e.Message(), mkError);
        return false;
    } catch (const std::exception &e) {
        ConRollback(db);
        ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveFailMsg), KIT_T(T_SaveFailCaption),
                   QString::fromLocal8Bit(e.what()), mkError);
        return false;
    }
    ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveSuccessMsg), KIT_T(T_SaveSuccessCaption), QString(), mkInformation);
    return true;
}
