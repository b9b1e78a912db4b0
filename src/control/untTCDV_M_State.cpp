#include "control/untTCDV_M_State.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstring>

#include "centrelink/RC2MMIUnit.h"
#include "core/FileDialogService.h"
#include "core/GridExport.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace {
const QString kTable = QStringLiteral("TfrmTCDV_M_State");
}

TfrmTCDV_M_State::TfrmTCDV_M_State(QWidget *owner, IMainWindow *main, const TLC_INFO_SET *set)
    : QWidget(owner), FMain(main), FLcInfoSet(set)
{
    setObjectName(QStringLiteral("frmTCDV_M_State"));
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    resize(1030, 433);

    auto *top = new QWidget(this);
    top->setFixedHeight(94);
    auto *tl = new QHBoxLayout(top);
    tl->setContentsMargins(4, 2, 4, 2);
    grpOprSt = new QGroupBox(top);
    grpOprSt->setObjectName(QStringLiteral("grpOprSt"));
    auto *stl = new QGridLayout(grpOprSt);
    stl->setContentsMargins(4, 0, 4, 0);
    stl->setVerticalSpacing(0);
    for (int i = 0; i < StateList::kStateItems; ++i) {
        auto *b = new QCheckBox(grpOprSt);
        b->setObjectName(QStringLiteral("grpOprStItem%1").arg(i));
        FStateBoxes << b;
        stl->addWidget(b, i / 4, i % 4);
    }
    grpOpr = new QGroupBox(top);
    grpOpr->setObjectName(QStringLiteral("grpOpr"));
    auto *ml = new QGridLayout(grpOpr);
    ml->setContentsMargins(4, 0, 4, 0);
    ml->setVerticalSpacing(0);
    FModes = new QButtonGroup(this);
    for (int i = 0; i < StateList::kModeItems; ++i) {
        auto *b = new QRadioButton(grpOpr);
        b->setObjectName(QStringLiteral("grpOprItem%1").arg(i));
        FModes->addButton(b, i);
        FModeButtons << b;
        ml->addWidget(b, i / 2, i % 2);
    }
    chxDsplRealTime = new QCheckBox(top);
    chxDsplRealTime->setObjectName(QStringLiteral("chxDsplRealTime"));
    chxDsplRealTime->setChecked(true);
    btnSearch = new QPushButton(top);
    btnSearch->setObjectName(QStringLiteral("btnSearch"));
    btnClose = new QPushButton(top);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnFile = new QPushButton(top);
    btnFile->setObjectName(QStringLiteral("btnFile"));
    btnFile->setEnabled(false);
    tl->addWidget(grpOprSt);
    tl->addWidget(grpOpr);
    tl->addWidget(chxDsplRealTime);
    tl->addStretch();
    tl->addWidget(btnSearch);
    tl->addWidget(btnClose);
    tl->addWidget(btnFile);

    gtvLCList = new QTableWidget(0, StateList::colCount, this);
    gtvLCList->setObjectName(QStringLiteral("gtvLCList"));
    gtvLCList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gtvLCList->setSelectionBehavior(QAbstractItemView::SelectRows);
    gtvLCList->verticalHeader()->setFixedWidth(20);
    gtvLCList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 0; c < StateList::colCount; ++c) {
        const int w = StateList::ColumnWidth(c);
        gtvLCList->setColumnWidth(c, w > 0 ? w : gtvLCList->horizontalHeader()->defaultSectionSize());
        gtvLCList->setColumnHidden(c, StateList::ColumnHidden(c));
        FGridColumnWidth += w > 0 ? w : gtvLCList->horizontalHeader()->defaultSectionSize();
    }
    spStatus = new QLabel(this);
    spStatus->setObjectName(QStringLiteral("spStatus"));

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(top);
    lay->addWidget(gtvLCList, 1);
    lay->addWidget(spStatus);

    connect(btnSearch, &QPushButton::clicked, this, &TfrmTCDV_M_State::RefreshOprState);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(btnFile, &QPushButton::clicked, this, &TfrmTCDV_M_State::ExportToExcel);
    connect(gtvLCList, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const QTableWidgetItem *item = gtvLCList->item(row, StateList::colLC);
        const int n = item ? item->text().toInt() : 0;
        LiveView::PanToLc(n, [this](int lc) { emit RequestPanToTCDV(lc); }, FMain);
    });

    FLang = new TsiLangLinked(this, kTable, [this] { Retranslate(); });
    FLang->Retranslate();
    InitControls();
    if (FMain)
        FMain->RegisterMonitorView(mvkStateList, this, this);
}

void TfrmTCDV_M_State::Retranslate()
{
    for (int i = 0; i < FModeButtons.size(); ++i)
        FModeButtons.at(i)->setText(FLang->Text(QStringLiteral("grpOpr.Item%1").arg(i)));
    for (int i = 0; i < FStateBoxes.size(); ++i)
        FStateBoxes.at(i)->setText(FLang->Text(i == 10 ? QStringLiteral("IDS_Unused")
                                                       : QStringLiteral("grpOprSt.Item%1").arg(i)));
    QStringList headers;
    for (const QString &k : StateList::ColumnKeys())
        headers << FLang->Text(k);
    gtvLCList->setHorizontalHeaderLabels(headers);
}

void TfrmTCDV_M_State::InitControls()
{
    FModeButtons.last()->setChecked(true);
    for (QCheckBox *b : FStateBoxes)
        b->setChecked(false);
}

void TfrmTCDV_M_State::ApplyCounterFilter(const TStateListFilter &filter)
{
    InitControls();
    if (filter.ModeItem >= 0)
        SetModeItem(filter.ModeItem);
    if (filter.StateItem >= 0)
        SetStateItem(filter.StateItem, true);
    RefreshOprState();
}

void TfrmTCDV_M_State::SetModeItem(int item)
{
    if (item >= 0 && item < FModeButtons.size())
        FModeButtons.at(item)->setChecked(true);
}

void TfrmTCDV_M_State::SetStateItem(int item, bool checked)
{
    if (item >= 0 && item < FStateBoxes.size())
        FStateBoxes.at(item)->setChecked(checked);
}

StateList::TFilter TfrmTCDV_M_State::Filter() const
{
    StateList::TFilter f;
    f.ModeItem = FModes->checkedId();
    for (int i = 0; i < StateList::kStateItems; ++i)
        f.States[i] = FStateBoxes.at(i)->isChecked();
    return f;
}

void TfrmTCDV_M_State::RefreshFromImage(const TMonitorRefresh &r)
{
    FImage = r.Image;
    FPacketTime = r.PacketDateTime;
    m_MntrPacketSeconds = r.PacketSeconds;
    if (chxDsplRealTime->isChecked())
        RefreshOprState();
}

// The monitoring cycle always hands over its image, so that "조회" lists the latest
// one; the list itself changes only in real time or on "조회".
bool TfrmTCDV_M_State::WantsRefresh() const { return true; }

void TfrmTCDV_M_State::RefreshOprState()
{
    if (!FLcInfoSet)
        return;
    static const TST_VESK_STATE *zero = [] {
        auto *z = new TST_VESK_STATE;
        std::memset(z, 0, sizeof(TST_VESK_STATE));
        return z;
    }();
    ShowRows(StateList::BuildRows(Filter(), *FLcInfoSet, FImage ? *FImage : *zero, FPacketTime));
}

void TfrmTCDV_M_State::ShowRows(const QList<QStringList> &rows)
{
    gtvLCList->setUpdatesEnabled(false);
    gtvLCList->setRowCount(0);
    gtvLCList->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &texts = rows.at(r);
        for (int c = 0; c < texts.size(); ++c) {
            auto *item = new QTableWidgetItem(texts.at(c));
            const QColor colour = StateList::CellColour(c, texts.at(c));
            if (colour.isValid())
                item->setBackground(colour);
            if (c == StateList::colNum || c == StateList::colSA || c == StateList::colLC
                || c == StateList::colTrans || c == StateList::colOffset)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            gtvLCList->setItem(r, c, item);
        }
    }
    gtvLCList->setUpdatesEnabled(true);
    btnFile->setEnabled(!rows.isEmpty());
    spStatus->setText(QString::number(rows.size()) + (DM ? DM->T_SearchResultMsg : QString()));
}

void TfrmTCDV_M_State::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    gtvLCList->horizontalHeader()->setStretchLastSection(width() >= FGridColumnWidth);
}

bool TfrmTCDV_M_State::ExportToExcel()
{
    if (gtvLCList->rowCount() == 0)
        return false;
    const QString folder = DM ? DM->G_DIALOG_PATH : QDir::homePath();
    const QString file = ShowSaveDialog(this, windowTitle(), folder, windowTitle(),
                                        FLang->Text(QStringLiteral("SaveDialog.Filter")), QStringLiteral("xlsx"));
    if (file.isEmpty())
        return false;
    if (DM)
        DM->G_DIALOG_PATH = QFileInfo(file).absolutePath();
    // The texts the grid shows, visible columns in order.
    TXlsxTable table;
    QList<int> columns;
    for (int c = 0; c < gtvLCList->columnCount(); ++c)
        if (!gtvLCList->isColumnHidden(c))
            columns << c;
    for (int c : columns) {
        table.Header << gtvLCList->horizontalHeaderItem(c)->text();
        table.Widths << gtvLCList->columnWidth(c);
    }
    for (int r = 0; r < gtvLCList->rowCount(); ++r) {
        QStringList row;
        for (int c : columns)
            row << (gtvLCList->item(r, c) ? gtvLCList->item(r, c)->text() : QString());
        table.Rows << row;
    }
    QString error;
    if (!WriteXlsxTable(file, table, &error)) {
        ShowMsgDlg(this, DM ? DM->G_APP_TITLE : windowTitle(), error, QString(), QString(), mkError);
        return false;
    }
    if (DM)
        OpenExcel(this, file, DM->G_EXCEL_PATH, DM->T_FileOpenMsg, DM->T_FileOpenCaption);
    return true;
}
