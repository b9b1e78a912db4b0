#include "control/untSA_M.h"

#include <QHeaderView>
#include <QSqlQuery>
#include <QTableWidget>
#include <QVBoxLayout>

#include "centrelink/RC2MMIUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"

namespace {
const QString kTable = QStringLiteral("TfrmSA_M");
}

TfrmSA_M::TfrmSA_M(QWidget *owner, IMainWindow *main, const TLC_INFO_SET *set)
    : QWidget(owner), FMain(main), FLcInfoSet(set)
{
    setObjectName(QStringLiteral("frmSA_M"));
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    resize(1100, 560);

    auto readOnly = [this](const QString &name, int rows, int cols) {
        auto *g = new QTableWidget(rows, cols, this);
        g->setObjectName(name);
        g->setEditTriggers(QAbstractItemView::NoEditTriggers);
        g->setSelectionBehavior(QAbstractItemView::SelectRows);
        g->verticalHeader()->hide();
        return g;
    };
    gtvGroupM = readOnly(QStringLiteral("gtvGroupM"), 4, 10);
    gtvGroupM->horizontalHeader()->hide();
    gtvGroupM->setColumnHidden(8, true);
    gtvGroupM->setColumnHidden(9, true);
    gtvGroupM->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    gtvGroupD = readOnly(QStringLiteral("gtvGroupD"), 5, 8);
    gtvGroupD->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    gtvLCList = readOnly(QStringLiteral("gtvLCList"), 0, 19);

    for (const GroupMonitor::TCell &c : GroupMonitor::GroupStateLabels()) {
        auto *item = new QTableWidgetItem;
        item->setBackground(palette().alternateBase());
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
        gtvGroupM->setItem(c.Row, c.Column, item);
    }

    auto *lay = new QVBoxLayout(this);
    lay->addWidget(gtvGroupM);
    lay->addWidget(gtvGroupD);
    lay->addWidget(gtvLCList, 1);
    gtvGroupM->setFixedHeight(4 * 30 + 4);
    gtvGroupD->setFixedHeight(5 * 30 + 50);

    for (QTableWidget *g : {gtvGroupM, gtvGroupD, gtvLCList})
        connect(g, &QTableWidget::cellDoubleClicked, this, [this, g](int row, int) { RowDblClick(g, row); });

    FLang = new TsiLangLinked(this, kTable, [this] { Retranslate(); });
    FLang->Retranslate();
    if (FMain)
        FMain->RegisterMonitorView(mvkGroupMonitor, this, this);
}

void TfrmSA_M::Retranslate()
{
    for (const GroupMonitor::TCell &c : GroupMonitor::GroupStateLabels())
        gtvGroupM->item(c.Row, c.Column)->setText(c.Text);
    for (const GroupMonitor::TCell &c : GroupMonitor::PlanLabels())
        SetCell(gtvGroupD, c.Row, c.Column, c.Text);
    QStringList plan;
    for (int i = 1; i <= 8; ++i)
        plan << FLang->Text(QStringLiteral("gtvGroupDColumn%1.Caption").arg(i));
    gtvGroupD->setHorizontalHeaderLabels(plan);
    QStringList members;
    for (const QString &k : GroupMonitor::MemberColumnKeys())
        members << FLang->Text(k);
    gtvLCList->setHorizontalHeaderLabels(members);
}

void TfrmSA_M::SetCell(QTableWidget *grid, int row, int column, const QString &text)
{
    QTableWidgetItem *item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    if (item->text() != text)
        item->setText(text);
    const QColor c = GroupMonitor::CellColour(column, text);
    item->setBackground(c.isValid() ? QBrush(c) : QBrush());
}

void TfrmSA_M::SetSA_ID(int sa)
{
    FSA_ID = sa;
    LoadLcList();
}

void TfrmSA_M::LoadLcList()
{
    QList<QPair<int, QString>> members;
    if (DM) {
        QSqlQuery q = DM->NewQuery();
        q.prepare(QStringLiteral("SELECT INT_LCNO, INT_NAME FROM SCS_M_INTLC WHERE INT_SANO = :sa ORDER BY INT_SAINDEX"));
        q.bindValue(QStringLiteral(":sa"), FSA_ID);
        if (DM->QueryOpen(q, this)) {
            do
                members.append({q.value(0).toInt(), q.value(1).toString()});
            while (q.next());
        }
    }
    FillLcList(members);
}

void TfrmSA_M::FillLcList(const QList<QPair<int, QString>> &members)
{
    gtvLCList->setRowCount(0);
    gtvLCList->setRowCount(int(members.size()));
    for (int i = 0; i < members.size(); ++i) {
        SetCell(gtvLCList, i, 0, QString::number(members.at(i).first));
        SetCell(gtvLCList, i, 1, members.at(i).second);
    }
}

void TfrmSA_M::RefreshFromImage(const TMonitorRefresh &r)
{
    if (!r.Image)
        return;
    m_MntrPacketSeconds = r.PacketSeconds;
    m_MntrPacketMicroseconds = r.PacketMicroseconds;
    UpdateSAMotInfo(*r.Image, r.PacketDateTime);
}

void TfrmSA_M::UpdateSAMotInfo(const TST_VESK_STATE &image, const QDateTime &packetTime)
{
    if (FSA_ID < 1 || FSA_ID > RC_GROUP_COUNT)
        return;
    gtvLCList->setUpdatesEnabled(false);
    for (int row = 0; row < gtvLCList->rowCount(); ++row) {
        const QTableWidgetItem *numItem = gtvLCList->item(row, 0);
        const int n = numItem ? numItem->text().toInt() : 0;
        if (n < 1 || n > RC_LC_COUNT || !FLcInfoSet)
            continue;
        // A member without a live record keeps its cells.
        const PSTT_LC_INFO info = FLcInfoSet->GetLcInfo(n);
        if (!info)
            continue;
        const QStringList texts =
            GroupMonitor::MemberRow(n, gtvLCList->item(row, 1) ? gtvLCList->item(row, 1)->text() : QString(), *info,
                                    image.lc_state[n - 1], packetTime);
        for (int c = 2; c < texts.size(); ++c) {
            // The plan map is written only for the two controller types.
            if (c == 13 && info->lc_type != 1 && info->lc_type != 2)
                continue;
            SetCell(gtvLCList, row, c, texts.at(c));
        }
    }
    gtvLCList->setUpdatesEnabled(true);
    const quint8 *rec = image.grp_state[FSA_ID - 1];
    for (const GroupMonitor::TCell &c : GroupMonitor::GroupStateValues(rec))
        SetCell(gtvGroupM, c.Row, c.Column, c.Text);
    for (const GroupMonitor::TCell &c : GroupMonitor::PlanValues(rec))
        SetCell(gtvGroupD, c.Row, c.Column, c.Text);
}

void TfrmSA_M::RowDblClick(QTableWidget *grid, int row)
{
    // The first column of the two group grids holds labels, which give no number.
    const QTableWidgetItem *item = grid->item(row, 0);
    bool ok = false;
    const int n = item ? item->text().toInt(&ok) : 0;
    if (!ok)
        return;
    LiveView::PanToLc(n, [this](int lc) { emit RequestPanToTCDV(lc); }, FMain);
}
