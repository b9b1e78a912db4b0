#include "mainwindow/untVipPanel.h"

#include "core/ActionButton.h"
#include "core/LcStatusColor.h"
#include "core/LookupUnit.h"
#include "mainwindow/PageMessageTable.h"
#include "mainwindow/PanelActionsUnit.h"
#include "mainwindow/PanelTextUnit.h"
#include "core/Quorval.h"
#include "centrelink/VIPCtrlThreadUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QLocale>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr int kRowHeights[4] = {20, 33, 33, 20};
constexpr int kMergedColumns[] = {vcLcNo, vcCycle, vcName, vcKeepPhase, vcForceOff, vcJump};

bool IsMovementRow(int row) { return row % 4 == 1 || row % 4 == 2; }

double AngleOf(const QString &text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? v : 0.0;
}

} // namespace

// ===========================================================================
// TVipPanelLogic
// ===========================================================================

int TVipPanelLogic::BlockOf(int lcId) const
{
    for (int b = 0; b < BlockCount(); ++b)
        if (FRows.at(b * 4).LcId == lcId)
            return b;
    return -1;
}

int TVipPanelLogic::BlockLcId(int block) const
{
    if (block < 0 || block >= BlockCount())
        return 0;
    return FRows.at(block * 4).LcId;
}

bool TVipPanelLogic::AddLc(int lcId, const QString &name)
{
    if (lcId <= 0 || BlockOf(lcId) >= 0)
        return false;
    for (int r = 0; r < 4; ++r) {
        TVipRow row;
        row.LcId = lcId;
        row.Name = name;
        FRows << row;
    }
    int phase = 1;
    if (FVIPCtrlSel.FSelType == stAll && FVIPCtrlSel.FSelCount > 0)
        phase = FVIPCtrlSel.FSelPhaseNo.at(FVIPCtrlSel.FSelCount - 1);
    const int n = FVIPCtrlSel.FSelCount;
    FVIPCtrlSel.SetSelCount(n + 1);
    FVIPCtrlSel.FSelLcId[n] = lcId;
    FVIPCtrlSel.FSelPhaseNo[n] = phase;
    return true;
}

bool TVipPanelLogic::RemoveLc(int lcId)
{
    const int b = BlockOf(lcId);
    if (b < 0)
        return false;
    FRows.remove(b * 4, 4);
    FVIPCtrlSel.Delete(lcId);
    return true;
}

void TVipPanelLogic::Clear()
{
    FRows.clear();
    FVIPCtrlSel.SetSelCount(0);
}

int TVipPanelLogic::SelectedPhase(int block) const
{
    const int i = FVIPCtrlSel.Exist(BlockLcId(block));
    return i >= 0 ? FVIPCtrlSel.FSelPhaseNo.at(i) : 0;
}

void TVipPanelLogic::ChooseAll(int phase)
{
    FVIPCtrlSel.FSelType = stAll;
    FVIPCtrlSel.SetSelCount(BlockCount());
    for (int i = 0; i < BlockCount(); ++i) {
        FVIPCtrlSel.FSelLcId[i] = BlockLcId(i);
        FVIPCtrlSel.FSelPhaseNo[i] = phase;
    }
}

void TVipPanelLogic::ChooseOne(int block, int column)
{
    FVIPCtrlSel.FSelType = stOne;
    FVIPCtrlSel.SetSelCount(BlockCount());
    if (block < 0 || block >= BlockCount())
        return;
    FVIPCtrlSel.FSelLcId[block] = BlockLcId(block);
    FVIPCtrlSel.FSelPhaseNo[block] = column;
}

int TVipPanelLogic::Refresh(const TLC_INFO_SET *set, const TST_VESK_STATE *image, const TVipStatusColor &color,
                            const TVipUnusedColor &unused)
{
    int widest = 4;
    for (int k = 0; k < BlockCount(); ++k)
        widest = qMax(widest, RefreshRows(BlockLcId(k), k * 4, set, image, color, unused));
    return qMin(widest, 8);
}

int TVipPanelLogic::RefreshRows(int lcId, int firstRow, const TLC_INFO_SET *set, const TST_VESK_STATE *image,
                                const TVipStatusColor &color, const TVipUnusedColor &unused)
{
    int result = 1;
    if (firstRow < 0 || firstRow + 3 >= RowCount())
        return result;
    const PSTT_LC_INFO info = set ? set->GetLcInfo(lcId) : PSTT_LC_INFO();
    if (!info)
        return result;

    // A virtual intersection shows its main intersection's record.
    const int recNo = info->virtualLC_No >= 1 ? info->virtualLC_No : lcId;
    const TST_ITST_STATE *rec = (image && recNo >= 1 && recNo <= RC_LC_COUNT) ? &image->lc_state[recNo - 1] : nullptr;
    const bool localSplit = rec && (rec->status == 2 || rec->status == 10);
    const int plan = info->planInfo;

    for (int ring = 0; ring < 2; ++ring) {
        TVipRow &mvRow = FRows[firstRow + (ring == 0 ? 1 : 2)];
        TVipRow &spRow = FRows[firstRow + (ring == 0 ? 0 : 3)];
        for (int p = 1; p <= 8; ++p) {
            const TMovement *mv = (plan >= 0 && plan < MVMT_PLAN_CLASSES) ? &info->Movements[plan][p - 1][ring] : nullptr;
            const int raw = mv ? mv->mvmt_no : 0;
            int m = raw;
            if (m == 17)
                m = 9;
            else if (m == 18)
                m = 10;
            if (m >= 1 && m <= 16) {
                mvRow.Phase[p - 1] = m;
                mvRow.Mvmt[p - 1] = raw;
                mvRow.HeadAngle[p - 1] = mv->head_angle;
                mvRow.EndAngle[p - 1] = mv->end_angle;
                result = qMax(result, p);
            } else {
                mvRow.Phase[p - 1] = QVariant();
                mvRow.Mvmt[p - 1] = 0;
                mvRow.HeadAngle[p - 1].clear();
                mvRow.EndAngle[p - 1].clear();
            }
            if (rec) {
                const int idx = TST_ITST_STATE::SplitIndex(ring, p);
                spRow.Phase[p - 1] = int(localSplit ? rec->lcSplit[idx] : rec->split[idx]);
            }
        }
    }

    const bool inUse = info->is_use || info->virtualLC_No >= 1;
    const QString lcColor = inUse ? (color ? color(info->opr_stat, info->oprMode) : QString())
                                  : TColorToHex(unused ? unused() : QColor());
    for (int r = 0; r < 4; ++r) {
        TVipRow &row = FRows[firstRow + r];
        row.CycleCount = info->cycleCount;
        row.CurrentPhase = (r < 2 ? info->phaseA : info->phaseB) + 1;
        row.HoldPhase = info->phaseHold;
        row.LcColor = lcColor;
        if (!row.KeepPhase.has_value())
            row.KeepPhase = info->phaseHold > 0;
        row.LcMode = info->oprMode;
    }

    // The advance latch: an advance or jump was sent from the block's button, which
    // remembers ring A's running phase; once ring A runs another phase the
    // controller has moved on. Ring B's rows only mirror the latch.
    for (int r = 0; r < 4; ++r) {
        TVipRow &row = FRows[firstRow + r];
        if (r < 2 && info->clickedLcCtrl && row.ClickedLcCtrl.has_value() && info->savedPhase != row.CurrentPhase) {
            info->clickedLcCtrl = false;
            info->savedPhase = 0;
            FClickedAdvance = false;
            row.ClickedLcCtrl = false;
        } else {
            row.ClickedLcCtrl = info->clickedLcCtrl;
        }
    }
    return result;
}

int TVipPanelLogic::PanelWidth(int widest, bool verticalScrollBar)
{
    return widest * 34 + 194 + (verticalScrollBar ? 17 : 0);
}

quint8 TVipPanelLogic::OprModeCode(int oprMode)
{
    switch (oprMode) {
    case 1:
        return 18;
    case 2:
    case 6:
        return 16;
    case 4:
        return 20;
    case 5:
        return 22;
    default:
        return 0;
    }
}

TVipPanelLogic::TBuildResult TVipPanelLogic::Validate(TRunType runType) const
{
    if (RowCount() == 0)
        return brNoRows;
    if (runType == rtRun) {
        for (int i = 0; i < FVIPCtrlSel.FSelCount; ++i) {
            const int p = FVIPCtrlSel.FSelPhaseNo.value(i);
            if (p < 1 || p > 8)
                return brNoPhase;
        }
    }
    return brOk;
}

TVipPanelLogic::TBuildResult TVipPanelLogic::BuildCommands(TRunType runType, TVIPSelType selType,
                                                           TCommandType commandType, int focusedBlock,
                                                           const TLC_INFO_SET *set, TLcDataArray &list)
{
    list.clear();
    const TBuildResult v = Validate(runType);
    if (v != brOk)
        return v;
    if (selType == stOne) {
        const int block = qBound(0, focusedBlock, BlockCount() - 1);
        const int lc = BlockLcId(block);
        const int i = FVIPCtrlSel.Exist(lc);
        TLcData d;
        d.FLcId = lc;
        d.FPhaseNo = quint8(i >= 0 ? FVIPCtrlSel.FSelPhaseNo.at(i) : 0);
        d.FCommandType = commandType;
        if (commandType == ctForceOff || commandType == ctJump) {
            const PSTT_LC_INFO info = set ? set->GetLcInfo(lc) : PSTT_LC_INFO();
            d.FRingMode = quint8(info && info->dualRing ? 1 : 0);
            d.FOprMode = OprModeCode(info ? info->oprMode : 0);
            FClickedAdvance = true;
        }
        list << d;
    } else {
        for (int i = 0; i < FVIPCtrlSel.FSelCount; ++i) {
            TLcData d;
            d.FLcId = FVIPCtrlSel.FSelLcId.at(i);
            d.FPhaseNo = quint8(FVIPCtrlSel.FSelPhaseNo.at(i));
            d.FCommandType = commandType;
            list << d;
        }
    }
    return brOk;
}

QString TVipPanelLogic::EventText(const TLcData &d, TRunType runType, bool success, const TVipRunTexts &t)
{
    const QString result = success ? t[16] : t[17];
    if (d.FCommandType == ctHold) {
        const QString item = PanelFormat(QStringLiteral("%d %s"), {int(d.FPhaseNo), t[19]});
        return PanelFormat(QStringLiteral("%s(%s):%s"), {item, runType == rtRun ? t[20] : t[21], result});
    }
    const QString item = PanelFormat(QStringLiteral("%d %s"), {int(d.FPhaseNo), t[24]});
    return PanelFormat(QStringLiteral("%s:%s"), {item, result});
}

TVipRunOutcome TVipPanelLogic::ApplyResults(const TLcDataArray &list, TRunType runType, int rtnValue,
                                            const TVipRunTexts &t)
{
    TVipRunOutcome out;
    if (rtnValue == rcConnectFailed) {
        out.LogLines << t[1];
        return out;
    }
    if (rtnValue == rcCloseFailed)
        out.LogLines << t[2];
    for (const TLcData &d : list) {
        // A command that never got a result was not attempted.
        if (d.FReturnVal == 0)
            continue;
        QString failure;
        switch (d.FReturnVal) {
        case rcSendFailed:
            failure = t[22];
            break;
        case rcReceiveFailed:
            failure = t[23];
            break;
        case rcWrongOpcode:
            failure = t[15];
            break;
        case rcWrongSize:
            failure = t[18];
            break;
        default:
            break;
        }
        if (!failure.isEmpty())
            out.LogLines << PanelFormat(QStringLiteral("Lc: %d, Phase: %d, Rtn: %s"),
                                        {d.FLcId, int(d.FPhaseNo), failure});
        const bool success = d.FReturnVal == rcSuccess;
        if (success) {
            const int b = BlockOf(d.FLcId);
            for (int r = 0; b >= 0 && r < 4; ++r)
                FRows[b * 4 + r].KeepPhase = runType == rtRun;
        }
        TVipEventRow e;
        e.LcId = d.FLcId;
        e.Value = d.FCommandType == ctHold ? 163 : (d.FCommandType == ctForceOff ? 173 : 174);
        e.Text = EventText(d, runType, success, t);
        out.Events << e;
    }
    return out;
}

// ===========================================================================
// Page scripts
// ===========================================================================

QString VipOpenScript()
{
    return QStringLiteral(
        " showVipPanel = true;"
        " window.onVIPMarkerClick = function (e) {"
        "   var m = e.target; var id = m.options.lcId;"
        "   var sel = !(vipObj[id] && vipObj[id].selected);"
        "   if (vipObj[id]) { vipObj[id].selected = sel; }"
        "   m.setIcon(L.AwesomeMarkers.icon({ prefix: \"fa\", icon: sel ? \"check-square-o\" : \"square-o\","
        " markerColor: sel ? \"green\" : \"red\" }));"
        "   console.log((sel ? \"VIPCtrlSelected:\" : \"VIPCtrlUnselected:\") + id);"
        " };"
        " if (typeof VIPCtrlLayerGroup === \"undefined\" || !VIPCtrlLayerGroup) { window.VIPCtrlLayerGroup = L.layerGroup(); }"
        " VIPCtrlLayerGroup.clearLayers();"
        " for (var o in lcObj) {"
        "   var lm = lcObj[o];"
        "   var id = (lm.options && lm.options.lcId !== undefined) ? lm.options.lcId : parseInt(String(o).replace(/^LC/, \"\"), 10);"
        "   var vm = L.marker(lm.getLatLng(), { lcId: id, icon: L.AwesomeMarkers.icon({ prefix: \"fa\", icon: \"square-o\","
        " markerColor: \"red\" }) });"
        "   vm.selected = false; vm.on(\"click\", onVIPMarkerClick);"
        "   vipObj[id] = vm; VIPCtrlLayerGroup.addLayer(vm);"
        " }"
        " VIPCtrlLayerGroup.addTo(map); ");
}

QString VipCloseScript()
{
    return QStringLiteral(" showVipPanel = false;  map.removeLayer(VIPCtrlLayerGroup);  VIPCtrlLayerGroup.clearLayers();  "
                          "for (var o in vipObj) { delete vipObj[o]; } ");
}

// ===========================================================================
// Model and delegate
// ===========================================================================

TVipGridModel::TVipGridModel(TVipPanelLogic *logic, QObject *parent) : QAbstractTableModel(parent), FLogic(logic) {}

int TVipGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FLogic->RowCount();
}

int TVipGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : vcCount;
}

QVariant TVipGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= FLogic->RowCount())
        return QVariant();
    const TVipRow &r = FLogic->Row(index.row());
    const int c = index.column();
    if (role == Qt::ToolTipRole && (c == vcLcNo || c == vcName))
        return r.Name;
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (c) {
    case vcLcNo:
        return QString::number(r.LcId);
    case vcCycle:
        return r.CycleCount;
    case vcName:
        return r.Name;
    case vcKeepPhase:
        return r.KeepPhase.has_value() ? QVariant(*r.KeepPhase) : QVariant();
    case vcForceOff:
        return QStringLiteral("Next");
    case vcJump:
        return QStringLiteral("Go");
    default:
        if (c >= vcPhase1 && c <= vcPhase8)
            return r.Phase[c - 1];
        return QVariant();
    }
}

QVariant TVipGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case vcLcNo:
    case vcName:
        return PanelText(QStringLiteral("gtvVIPCtrl.BandLc"));
    case vcCycle:
        return PanelText(QStringLiteral("gtvVIPCtrl.BandCycle"));
    case vcKeepPhase:
        return PanelText(QStringLiteral("gtvVIPCtrl.BandKeep"));
    case vcForceOff:
        return QStringLiteral("Advance");
    case vcJump:
        return QStringLiteral("Jump Phase");
    default:
        if (section >= vcPhase1 && section <= vcPhase8)
            return QStringLiteral("A%1\nB%1").arg(section);
        return QVariant();
    }
}

void TVipGridModel::Reset()
{
    beginResetModel();
    endResetModel();
}

void TVipGridModel::Changed()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, vcCount - 1));
    emit headerDataChanged(Qt::Horizontal, 0, vcCount - 1);
}

TVipCellDelegate::TVipCellDelegate(TVipPanel *panel) : QStyledItemDelegate(panel), FPanel(panel) {}

QRect TVipCellDelegate::ButtonStrip(const QRect &cell)
{
    const int top = cell.top() + (cell.height() - 20) / 2;
    return QRect(cell.left() + 2, top, qMax(0, cell.width() - 4), 20);
}

void TVipCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const TVipPanelLogic &L = FPanel->FLogic;
    const int row = index.row();
    const int col = index.column();
    if (row < 0 || row >= L.RowCount())
        return;
    const TVipRow &r = L.Row(row);
    const QRect rect = option.rect;
    painter->save();

    // 1. Background: content, current phase, held phase.
    QColor fill = option.palette.color(QPalette::Base);
    if (col == r.CurrentPhase)
        fill = TVipPanel::CurrentPhaseColor();
    if (col == r.HoldPhase)
        fill = TVipPanel::HoldPhaseColor();
    painter->fillRect(rect, fill);

    const QPoint mouse = FPanel->FMousePos;
    auto buttonState = [&](const QRect &strip, bool usable) {
        QStyle::State s = QStyle::State_None;
        if (!usable)
            return s;
        s |= QStyle::State_Enabled;
        if (strip.contains(mouse)) {
            s |= QStyle::State_MouseOver;
            if (FPanel->FMouseDown)
                s |= QStyle::State_Sunken;
        } else {
            s |= QStyle::State_Raised;
        }
        return s;
    };

    switch (col) {
    case vcLcNo: {
        // 2. Number: a gradient from white to the state colour; the name beneath.
        const QColor state = HexToTColor(r.LcColor);
        if (state.isValid())
            DrawGradientRect(painter, rect, Qt::white, state);
        painter->setPen(option.palette.color(QPalette::Text));
        const QRect top(rect.left(), rect.top(), rect.width(), 20);
        painter->drawText(top, Qt::AlignCenter, QString::number(r.LcId));
        QFont small = painter->font();
        small.setPointSizeF(qMax(6.0, small.pointSizeF() - 2));
        painter->setFont(small);
        painter->drawText(rect.adjusted(1, 20, -1, -1), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, r.Name);
        break;
    }
    case vcKeepPhase: {
        // 4. The toggle switch and its word.
        const QRect strip = TVipCellDelegate::ButtonStrip(rect);
        const bool usable = TVipPanelLogic::KeepUsable(r);
        const QStyle::State s = buttonState(strip, usable);
        QPainterPath track;
        track.addRoundedRect(QRectF(strip), strip.height() / 2.0, strip.height() / 2.0);
        const bool on = r.HoldPhase >= 1;
        QColor trackColor = on ? TVipPanel::HoldPhaseColor() : QColor(200, 200, 200);
        if (!usable)
            trackColor = QColor(225, 225, 225);
        else if (s & QStyle::State_Sunken)
            trackColor = trackColor.darker(115);
        else if (s & QStyle::State_MouseOver)
            trackColor = trackColor.lighter(110);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(track, trackColor);
        const int half = strip.width() / 2;
        const QRect thumb = on ? QRect(strip.left() + half, strip.top(), strip.width() - half, strip.height())
                               : QRect(strip.left(), strip.top(), half, strip.height());
        QPainterPath knob;
        knob.addRoundedRect(QRectF(thumb.adjusted(2, 2, -2, -2)), 7, 7);
        painter->fillPath(knob, usable ? Qt::white : QColor(240, 240, 240));
        painter->setPen(option.palette.color(usable ? QPalette::Active : QPalette::Disabled, QPalette::Text));
        const QRect below(rect.left(), strip.bottom() + 1, rect.width(), rect.bottom() - strip.bottom());
        painter->drawText(below, Qt::AlignCenter,
                          PanelText(on ? QStringLiteral("IDS_108") : QStringLiteral("IDS_107")));
        break;
    }
    case vcForceOff:
    case vcJump: {
        // 5. "Next" and "Go".
        const QRect strip = TVipCellDelegate::ButtonStrip(rect);
        const bool usable = col == vcForceOff ? TVipPanelLogic::ForceOffUsable(r) : TVipPanelLogic::JumpUsable(r);
        QStyleOptionButton b;
        b.rect = strip;
        b.text = col == vcForceOff ? QStringLiteral("Next") : QStringLiteral("Go");
        b.state = buttonState(strip, usable);
        b.palette = option.palette;
        QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_PushButton, &b, painter, option.widget);
        break;
    }
    default:
        if (col >= vcPhase1 && col <= vcPhase8 && IsMovementRow(row)) {
            // 7. Movement arrows, white in the held phase.
            const int m = r.Mvmt[col - 1];
            if (m != 0) {
                DrawSmoothMvmt(painter, rect.adjusted(1, 1, -1, -1), m == 17 || m == 18, AngleOf(r.HeadAngle[col - 1]),
                               AngleOf(r.EndAngle[col - 1]), fill,
                               col == r.HoldPhase ? QColor(Qt::white) : TVipPanel::ArrowColor());
            }
        } else {
            const QVariant v = index.data(Qt::DisplayRole);
            painter->setPen(option.palette.color(QPalette::Text));
            painter->drawText(rect, Qt::AlignCenter, v.isNull() ? QString() : v.toString());
        }
        break;
    }

    // 6. The chosen phase is framed.
    if (L.SelectedPhase(row / 4) == col) {
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(TVipPanel::ChosenPhasePenColor(), 2, Qt::SolidLine));
        painter->drawLine(rect.left() + 1, rect.top(), rect.left() + 1, rect.bottom());
        painter->drawLine(rect.right() - 1, rect.top(), rect.right() - 1, rect.bottom());
        const bool merged = col == vcLcNo || col == vcCycle || col == vcName;
        if (merged || row % 4 == 0)
            painter->drawLine(rect.left(), rect.top() + 1, rect.right(), rect.top() + 1);
        if (merged || row % 4 == 3)
            painter->drawLine(rect.left(), rect.bottom() - 1, rect.right(), rect.bottom() - 1);
    }
    painter->restore();
}

// ===========================================================================
// TVipPanel
// ===========================================================================

QColor TVipPanel::CurrentPhaseColor() { return TColorToQColor(16310752); }
QColor TVipPanel::HoldPhaseColor() { return TColorToQColor(12489328); }
QColor TVipPanel::ChosenPhasePenColor() { return TColorToQColor(13387839); }
QColor TVipPanel::ArrowColor() { return TColorToQColor(6003547); }

TVipPanel::TVipPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlVIPControl"));
    const TLcStatusColors defaults = TLcStatusColors::Defaults();
    FColor = [defaults](int state, int mode) { return GetLcStatusColor(defaults, state, mode); };
    FUnused = [defaults] { return defaults.Unused; };
    BuildUi();
    siOnLanguageChanged(this, [this] { Retranslate(); });
    hide();
}

TVipPanel::~TVipPanel() = default;

void TVipPanel::BuildUi()
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);
    v->setSpacing(2);
    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblVIPCtrlTitle"));
    lblTitle->setAlignment(Qt::AlignCenter);
    v->addWidget(lblTitle);

    FModel = new TVipGridModel(&FLogic, this);
    gtvVIPCtrl = new QTableView(this);
    gtvVIPCtrl->setObjectName(QStringLiteral("gtvVIPCtrl"));
    gtvVIPCtrl->setModel(FModel);
    gtvVIPCtrl->setItemDelegate(new TVipCellDelegate(this));
    gtvVIPCtrl->verticalHeader()->hide();
    gtvVIPCtrl->setSelectionMode(QAbstractItemView::NoSelection);
    gtvVIPCtrl->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gtvVIPCtrl->setMouseTracking(true);
    gtvVIPCtrl->viewport()->installEventFilter(this);
    gtvVIPCtrl->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gtvVIPCtrl->horizontalHeader()->setSectionsClickable(true);
    gtvVIPCtrl->horizontalHeader()->setMinimumHeight(36);
    gtvVIPCtrl->setContextMenuPolicy(Qt::CustomContextMenu);
    const int widths[vcCount] = {36, 34, 34, 34, 34, 34, 34, 34, 34, 34, 0, 40, 38, 38};
    for (int c = 0; c < vcCount; ++c)
        gtvVIPCtrl->setColumnWidth(c, widths[c]);
    gtvVIPCtrl->setColumnHidden(vcName, true);
    connect(gtvVIPCtrl->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int c) { BandHeaderClick(c); });
    v->addWidget(gtvVIPCtrl, 1);

    lblEmpty = new QLabel(gtvVIPCtrl->viewport());
    lblEmpty->setAlignment(Qt::AlignCenter);
    lblEmpty->setAttribute(Qt::WA_TransparentForMouseEvents);

    pnlVIPCtrlLoading = new QLabel(QStringLiteral("..."), this);
    pnlVIPCtrlLoading->setObjectName(QStringLiteral("pnlVIPCtrlLoading"));
    static_cast<QLabel *>(pnlVIPCtrlLoading)->setAlignment(Qt::AlignCenter);
    pnlVIPCtrlLoading->hide();
    v->addWidget(pnlVIPCtrlLoading);

    mmLog = new QPlainTextEdit(this);
    mmLog->setObjectName(QStringLiteral("mmLog"));
    mmLog->setReadOnly(true);
    mmLog->setMaximumHeight(90);
    mmLog->hide();
    v->addWidget(mmLog);

    auto makeAction = [this](const QString &name, std::function<void()> fn) {
        return PanelAction(this, name, std::move(fn));
    };
    actVIPCtrlGoAllHold = makeAction(QStringLiteral("actVIPCtrlGoAllHold"),
                                     [this] { ExecuteVIPControl(rtRun, stAll, ctHold); });
    actVIPCtrlStopAllHold = makeAction(QStringLiteral("actVIPCtrlStopAllHold"),
                                       [this] { ExecuteVIPControl(rtStop, stAll, ctHold); });
    actVIPCtrlClose = makeAction(QStringLiteral("actVIPCtrlClose"), [this] { SetPanelOpen(false); });
    actVIPCtrlGoHold = makeAction(QStringLiteral("actVIPCtrlGoHold"),
                                  [this] { ExecuteVIPControl(rtRun, stOne, ctHold); });
    actVIPCtrlStopHold = makeAction(QStringLiteral("actVIPCtrlStopHold"),
                                    [this] { ExecuteVIPControl(rtStop, stOne, ctHold); });
    pmVIPCtrl = new QMenu(this);
    pmVIPCtrl->setObjectName(QStringLiteral("pmVIPCtrl"));
    pmVIPCtrl->addAction(actVIPCtrlGoHold);
    pmVIPCtrl->addAction(actVIPCtrlStopHold);
    connect(gtvVIPCtrl, &QWidget::customContextMenuRequested, this, [this](const QPoint &p) {
        const QModelIndex i = gtvVIPCtrl->indexAt(p);
        if (i.isValid())
            SetFocusedRow(i.row());
        pmVIPCtrl->popup(gtvVIPCtrl->viewport()->mapToGlobal(p));
    });

    auto *buttons = new QHBoxLayout;
    auto makeButton = [this, buttons](QAction *a, const char *name) {
        QPushButton *b = NewActionButton(this, name, a);
        buttons->addWidget(b);
        return b;
    };
    btnGoAllHold = makeButton(actVIPCtrlGoAllHold, "btnVIPCtrlGoAllHold");
    btnStopAllHold = makeButton(actVIPCtrlStopAllHold, "btnVIPCtrlStopAllHold");
    btnClose = makeButton(actVIPCtrlClose, "btnVIPCtrlClose");
    v->addLayout(buttons);

    Retranslate();
    ResetGrid();
}

void TVipPanel::Retranslate()
{
    lblTitle->setText(PanelText(QStringLiteral("pnlVIPControl.Caption")));
    lblEmpty->setText(PanelText(QStringLiteral("gtvVIPCtrl.Empty")));
    actVIPCtrlGoAllHold->setText(PanelText(QStringLiteral("actVIPCtrlGoAllHold.Caption")));
    actVIPCtrlStopAllHold->setText(PanelText(QStringLiteral("actVIPCtrlStopAllHold.Caption")));
    actVIPCtrlClose->setText(PanelText(QStringLiteral("actVIPCtrlClose.Caption")));
    actVIPCtrlGoHold->setText(PanelText(QStringLiteral("actVIPCtrlGoHold.Caption")));
    actVIPCtrlStopHold->setText(PanelText(QStringLiteral("actVIPCtrlStopHold.Caption")));
    if (FModel)
        FModel->Changed();
}

void TVipPanel::SetSources(const TLC_INFO_SET *set, TImageSource image, IMapBridge *page)
{
    FSet = set;
    FImageSource = std::move(image);
    FPage = page;
}

TStateImageRef TVipPanel::CurrentImage() const
{
    if (FImageSource)
        if (TStateImageRef image = FImageSource())
            return image;
    return FImage;
}

void TVipPanel::SetColorHooks(TVipStatusColor color, TVipUnusedColor unused)
{
    if (color)
        FColor = std::move(color);
    if (unused)
        FUnused = std::move(unused);
}

void TVipPanel::RunScript(const QString &script)
{
    if (FPage && FPage->BrowserExists())
        FPage->ExecuteJavaScript(script);
}

void TVipPanel::SetPanelOpen(bool open)
{
    if (open == FOpen)
        return;
    FOpen = open;
    if (open) {
        setVisible(true);
        RunScript(VipOpenScript());
        RefreshVIPPanel();
    } else {
        RunScript(VipCloseScript());
        FLogic.Clear();
        ResetGrid();
        setVisible(false);
    }
    UpdateActions();
    emit openChanged(open);
}

bool TVipPanel::HandleConsoleMessage(const QString &key, const QString &value)
{
    if (key == QLatin1String("VIPCtrlSelected")) {
        LcSelected(value.trimmed().toInt());
        return true;
    }
    if (key == QLatin1String("VIPCtrlUnselected")) {
        LcUnselected(value.trimmed().toInt());
        return true;
    }
    return false;
}

void TVipPanel::RegisterPageMessages(TPageMessageTable &table)
{
    for (const QString key : {QStringLiteral("VIPCtrlSelected"), QStringLiteral("VIPCtrlUnselected")})
        table.AddConsole(key, [this, key](const QString &value) { HandleConsoleMessage(key, value); });
}

void TVipPanel::LcSelected(int lcId)
{
    QString name;
    if (DM)
        name = GetLcName(lcId);
    else
        name = QString::number(lcId);
    if (!FLogic.AddLc(lcId, name))
        return;
    ResetGrid();
    RefreshVIPPanel();
}

void TVipPanel::LcUnselected(int lcId)
{
    if (!FLogic.RemoveLc(lcId))
        return;
    ResetGrid();
    RefreshVIPPanel();
}

void TVipPanel::ResetGrid()
{
    FModel->Reset();
    ApplySpans();
    for (int r = 0; r < FLogic.RowCount(); ++r)
        gtvVIPCtrl->setRowHeight(r, kRowHeights[r % 4]);
    lblEmpty->setVisible(FLogic.RowCount() == 0);
    lblEmpty->resize(gtvVIPCtrl->viewport()->size());
}

void TVipPanel::ApplySpans()
{
    gtvVIPCtrl->clearSpans();
    for (int b = 0; b < FLogic.BlockCount(); ++b)
        for (int c : kMergedColumns)
            gtvVIPCtrl->setSpan(b * 4, c, 4, 1);
}

void TVipPanel::RefreshVIPPanel()
{
    // The snapshot stays alive while it is read, whatever image comes meanwhile.
    const TStateImageRef image = CurrentImage();
    const int widest = FLogic.Refresh(FSet, image.get(), FColor, FUnused);
    for (int k = 1; k <= 8; ++k)
        gtvVIPCtrl->setColumnHidden(k, k > widest);
    FModel->Changed();
    const bool bar = gtvVIPCtrl->verticalScrollBar() && gtvVIPCtrl->verticalScrollBar()->isVisible();
    const int width = TVipPanelLogic::PanelWidth(widest, bar);
    if (width != FPreferredWidth) {
        FPreferredWidth = width;
        setFixedWidth(width);
        emit preferredWidthChanged(width);
    }
    UpdateActions();
    gtvVIPCtrl->viewport()->update();
}

void TVipPanel::RefreshFromImage(const TMonitorRefresh &refresh)
{
    if (refresh.LcInfoSet)
        FSet = refresh.LcInfoSet;
    if (refresh.Image)
        FImage = refresh.Image;
    if (FOpen)
        RefreshVIPPanel();
}

void TVipPanel::UpdateActions()
{
    const bool enabled = pnlVIPCtrlLoading->isHidden() && !FLogic.ClickedAdvance() && !FRunning;
    actVIPCtrlGoAllHold->setEnabled(enabled);
    actVIPCtrlStopAllHold->setEnabled(enabled);
    actVIPCtrlClose->setEnabled(enabled);
}

int TVipPanel::FocusedRow() const
{
    const QModelIndex i = gtvVIPCtrl->currentIndex();
    return i.isValid() ? i.row() : (FLogic.RowCount() > 0 ? 0 : -1);
}

void TVipPanel::SetFocusedRow(int row)
{
    if (row < 0 || row >= FLogic.RowCount())
        return;
    const QModelIndex cur = gtvVIPCtrl->currentIndex();
    gtvVIPCtrl->setCurrentIndex(FModel->index(row, cur.isValid() ? cur.column() : 0));
}

void TVipPanel::BandHeaderClick(int column)
{
    if (column < vcPhase1 || column > vcPhase8)
        return;
    FLogic.ChooseAll(column);
    FModel->Changed();
    gtvVIPCtrl->viewport()->update();
}

int TVipPanel::CellMouseDown(int row, int column, const QPoint &pos)
{
    if (row < 0 || row >= FLogic.RowCount())
        return -1;
    SetFocusedRow(row);
    if (column == vcKeepPhase || column == vcForceOff || column == vcJump) {
        const QRect strip = TVipCellDelegate::ButtonStrip(gtvVIPCtrl->visualRect(FModel->index(row, column)));
        if (!strip.contains(pos))
            return -1;
        const TVipRow &r = FLogic.Row(row);
        if (column == vcKeepPhase && TVipPanelLogic::KeepUsable(r)) {
            FFireKeepPhase = true;
            return vcKeepPhase;
        }
        if (column == vcForceOff && TVipPanelLogic::ForceOffUsable(r)) {
            FFireForceOff = true;
            return vcForceOff;
        }
        if (column == vcJump && TVipPanelLogic::JumpUsable(r)) {
            FFireJump = true;
            return vcJump;
        }
        return -1;
    }
    FLogic.ChooseOne(row / 4, column);
    FModel->Changed();
    gtvVIPCtrl->viewport()->update();
    return -1;
}

void TVipPanel::CellMouseUp()
{
    const int row = FocusedRow();
    if (FFireKeepPhase) {
        FFireKeepPhase = false;
        if (row >= 0 && FLogic.Row(row).HoldPhase > 0)
            ExecuteVIPControl(rtStop, stOne, ctHold);
        else
            ExecuteVIPControl(rtRun, stOne, ctHold);
    }
    for (TCommandType type : {ctForceOff, ctJump}) {
        bool &fire = type == ctForceOff ? FFireForceOff : FFireJump;
        if (!fire)
            continue;
        fire = false;
        if (row >= 0) {
            const PSTT_LC_INFO info = FSet ? FSet->GetLcInfo(FLogic.Row(row).LcId) : PSTT_LC_INFO();
            if (info) {
                info->savedPhase = FLogic.Row(row).CurrentPhase;
                info->clickedLcCtrl = true;
            }
        }
        ExecuteVIPControl(rtRun, stOne, type);
    }
}

bool TVipPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (gtvVIPCtrl && watched == gtvVIPCtrl->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() != Qt::LeftButton)
                break;
            FMouseDown = true;
            FMousePos = me->position().toPoint();
            const QModelIndex i = gtvVIPCtrl->indexAt(FMousePos);
            if (i.isValid())
                CellMouseDown(i.row(), i.column(), FMousePos);
            gtvVIPCtrl->viewport()->update();
            return true;
        }
        case QEvent::MouseMove:
            FMousePos = static_cast<QMouseEvent *>(event)->position().toPoint();
            gtvVIPCtrl->viewport()->update();
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                FMouseDown = false;
                gtvVIPCtrl->viewport()->update();
                CellMouseUp();
                return true;
            }
            break;
        case QEvent::Resize:
            lblEmpty->resize(gtvVIPCtrl->viewport()->size());
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TVipPanel::ExecuteVIPControl(TRunType RunType, TVIPSelType SelType, TCommandType CommandType)
{
    if (FRunning)
        return; // one run at a time
    const QString title = PanelAppTitle();
    const TVipPanelLogic::TBuildResult v = FLogic.Validate(RunType);
    if (v == TVipPanelLogic::brNoRows) {
        ShowMsgDlg(this, title, DM ? DM->T_SelectIntMsg : siText(QStringLiteral("TDM"), QStringLiteral("strSelectIntMsg")),
                   DM ? DM->T_SelectIntCaption : siText(QStringLiteral("TDM"), QStringLiteral("strSelectIntCaption")),
                   QString(), mkInformation);
        return;
    }
    const int focusedBlock = qMax(0, FocusedRow()) / 4;
    auto clearLatch = [this, focusedBlock] {
        const PSTT_LC_INFO info = FSet ? FSet->GetLcInfo(FLogic.BlockLcId(focusedBlock)) : PSTT_LC_INFO();
        if (info)
            info->clickedLcCtrl = false;
    };
    if (v == TVipPanelLogic::brNoPhase) {
        ShowMsgDlg(this, title, PanelText(QStringLiteral("IDS_100")), PanelText(QStringLiteral("IDS_102")), QString(),
                   mkInformation);
        if (CommandType != ctHold && SelType == stOne)
            clearLatch();
        return;
    }

    QString verb;
    if (CommandType == ctForceOff)
        verb = PanelText(QStringLiteral("IDS_109"));
    else if (CommandType == ctJump)
        verb = PanelText(QStringLiteral("IDS_110"));
    else
        verb = PanelText(RunType == rtRun ? QStringLiteral("IDS_105") : QStringLiteral("IDS_106"));
    if (ShowMsgDlg(this, title, PanelFormat(PanelText(QStringLiteral("IDS_103")), {verb}),
                   PanelText(QStringLiteral("IDS_29")), QString(), mkQuestion) != mrYes) {
        if (CommandType == ctForceOff || CommandType == ctJump)
            clearLatch();
        return;
    }

    TLcDataArray list;
    FLogic.BuildCommands(RunType, SelType, CommandType, focusedBlock, FSet, list);

    FRunning = true;
    pnlVIPCtrlLoading->show();
    mmLog->hide();
    mmLog->clear();
    UpdateActions();
    try {
        auto thread = std::make_unique<TVipCtrlThread>(list, RunType, DefaultCtrlEndpoint());
        thread->Start();
        thread->WaitFor();
        const TVipRunOutcome out = FLogic.ApplyResults(list, RunType, thread->RtnValue(), TVipRunTexts::Current());
        thread.reset();
        for (const QString &line : out.LogLines)
            mmLog->appendPlainText(line);
        if (DM) {
            for (const TVipEventRow &e : out.Events)
                DM->WriteEventControl(DM->G_APP_USER.ID, 41, e.Value, 1, false, e.LcId, e.Text);
        }
    } catch (const std::exception &e) {
        mmLog->appendPlainText(QString::fromLocal8Bit(e.what()));
    }
    FRunning = false;
    pnlVIPCtrlLoading->hide();
    list.clear();
    FModel->Changed();
    UpdateActions();
    mmLog->setVisible(!mmLog->toPlainText().isEmpty());
    gtvVIPCtrl->viewport()->update();
}
