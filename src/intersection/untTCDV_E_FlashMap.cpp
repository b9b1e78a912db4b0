#include "intersection/untTCDV_E_FlashMap.h"

#include <QAbstractProxyModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSqlQuery>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QTimer>

#include "core/GridResources.h"
#include "core/GridView.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"

namespace {

using Flash::TKind;

TKind KindOfCol(int col)
{
    return (col - TfrmTCDV_E_FlashMap::colFirstOutput) % 2 == 0 ? TKind::Vehicle : TKind::Pedestrian;
}

// The fill of a lamp code by its first letter (none for other codes).
QColor CodeColour(const QString &code)
{
    if (code.startsWith('R'))
        return QColor(0xFF, 0x8C, 0xAA);
    if (code.startsWith('Y'))
        return QColor(0xFF, 0xCC, 0x33);
    if (code.startsWith('G'))
        return QColor(0x66, 0xCC, 0x66);
    return QColor();
}

// Output cells: a drop-down list of the codes of the focused row's type; a
// three-lamp cell is split into its two halves, each with its own list.
class TFlashOutputDelegate : public QStyledItemDelegate
{
public:
    explicit TFlashOutputDelegate(TfrmTCDV_E_FlashMap *form) : QStyledItemDelegate(form), FForm(form) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        const TLcTypeEx type = FForm->FocusedLcType();
        if (type == lct2010_3L)
            return nullptr; // edited through the value list of each half
        auto *c = new QComboBox(parent);
        c->installEventFilter(new TNoWheelFilter(c));
        c->addItems(Flash::CodeTexts(type, KindOfCol(index.column())));
        // A click on the cell's button opens the list at once.
        QTimer::singleShot(0, c, [c] { c->showPopup(); });
        return c;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *c = qobject_cast<QComboBox *>(editor))
            c->setCurrentIndex(c->findText(index.data(Qt::EditRole).toString()));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *c = qobject_cast<QComboBox *>(editor))
            model->setData(index, c->currentText(), Qt::EditRole);
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::DisplayRole).toString();
        const QRect r = option.rect;
        const QVariant locked = index.data(Qt::BackgroundRole);
        QWidget *view = FForm->cxGrid;
        int rec = index.row();
        if (auto *p = qobject_cast<const QAbstractProxyModel *>(index.model()))
            rec = p->mapToSource(index).row();
        painter->save();
        if (locked.isValid()) {
            painter->fillRect(r, locked.value<QColor>());
            painter->drawText(r, Qt::AlignCenter, text);
        } else if (text.contains(';')) {
            // Three lamps: each half filled by its code, with its own button.
            const TfrmTCDV_E_FlashMap::THalfHit hot = FForm->HotHalf();
            for (TLsuType2 half : {ltP1, ltP2}) {
                const QString code = Flash::HalfText(text, half);
                const QRect part = Flash::HalfRect(r, half);
                if (const QColor fill = CodeColour(code); fill.isValid())
                    painter->fillRect(part, fill);
                const QRect button = Flash::HalfButtonRect(r, half, TfrmTCDV_E_FlashMap::HalfButtonWidth);
                const bool isHot = hot.rec == rec && hot.col == index.column() && hot.half == half;
                DrawButton(painter, view, button, isHot, isHot && FForm->HalfPressed());
                painter->drawText(QRect(part.left(), part.top(), button.left() - part.left(), part.height()),
                                  Qt::AlignCenter, code);
            }
        } else {
            if (const QColor fill = CodeColour(text); fill.isValid())
                painter->fillRect(r, fill);
            if (!text.isEmpty()) {
                const QRect button = Flash::HalfButtonRect(r, ltP2, TfrmTCDV_E_FlashMap::HalfButtonWidth);
                DrawButton(painter, view, button, false, false);
                painter->drawText(QRect(r.left(), r.top(), button.left() - r.left(), r.height()), Qt::AlignCenter,
                                  text);
            }
        }
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QColor(0xE1, 0xE1, 0xE1));
            painter->drawLine(r.topLeft(), r.topRight());
            painter->drawLine(r.bottomLeft(), r.bottomRight());
        }
        painter->restore();
    }

    static void DrawButton(QPainter *painter, QWidget *view, const QRect &rect, bool hot, bool pressed)
    {
        QStyleOptionButton b;
        b.rect = rect;
        b.state = QStyle::State_Enabled | (pressed ? QStyle::State_Sunken : QStyle::State_Raised);
        if (hot)
            b.state |= QStyle::State_MouseOver;
        view->style()->drawControl(QStyle::CE_PushButtonBevel, &b, painter, view);
        QStyleOption arrow;
        arrow.rect = rect.adjusted(3, rect.height() / 2 - 3, -3, -(rect.height() / 2 - 3));
        arrow.state = QStyle::State_Enabled;
        arrow.palette = view->palette();
        view->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, view);
    }

private:
    TfrmTCDV_E_FlashMap *FForm;
};

} // namespace

TfrmTCDV_E_FlashMap::TfrmTCDV_E_FlashMap(QWidget *owner) : TfrmBaseGrid(owner)
{
    resize(1300, 700);
    AddSABox(lblSA, edtSA, lblSA_NAME);
    cbxAllTCDV = new QCheckBox(pnlTop);
    cbxAllTCDV->setObjectName("cbxAllTCDV");
    pnlTopLayout->addWidget(cbxAllTCDV);
    connect(cbxAllTCDV, &QCheckBox::toggled, this, [this](bool all) {
        edtSA->setEnabled(!all);
        SetSearched(all || SaExists(SA_ID()));
        if (Searched())
            actSearch->trigger();
    });

    cxGrid->setObjectName("gtvGrid");
    TGridColumns cols{TGridColumn("INT_SANO").W(50).RO().Req(), TGridColumn("INT_LCNO").W(50).RO().Req(),
                      TGridColumn("INT_NAME").W(140).RO().Left()};
    for (int n = 1; n <= 8; ++n) {
        cols << TGridColumn(QString("INT_VEH%1").arg(n)).Cap("VEH").W(44);
        cols << TGridColumn(QString("INT_PED%1").arg(n)).Cap("PED").W(44);
    }
    cols << TGridColumn("INT_FLASHTIME").W(70).Range(0, 32767)
         << TGridColumn("INT_VARIABCNTL").W(70).Ed("cxEditRepositoryCheckBoxItem")
         << TGridColumn("DB").W(30).RO().Choices({{0, QString()}, {1, QStringLiteral("●")}})
         << TGridColumn("LC_TYPE").Hidden();
    TGridModel *m = SetGridColumns(cols, {"INT_LCNO"});
    int width = 0;
    for (const TGridColumn &c : cols)
        width += c.Visible ? c.Width : 0;
    SetGridColumnWidth(width);
    cxGrid->setSortingEnabled(false);
    for (int col = colFirstOutput; col < colFirstOutput + 16; ++col)
        cxGrid->setItemDelegateForColumn(col, new TFlashOutputDelegate(this));
    m->EditHook = [this, m](int rec, int) {
        const QString next = Flash::StateAfterEdit(m->State(rec), m->Value(rec, ColDB()).toInt() != 0);
        if (next != m->State(rec))
            m->SetState(rec, next);
    };
    m->CanEdit = [this](int rec, int col) { return CellEditable(rec, col); };
    const QColor readOnly = GridResources::Style(QStringLiteral("stlReadOnly"))->Background;
    m->StyleHook = [this, readOnly](int rec, int col, int role) -> QVariant {
        if (role != Qt::BackgroundRole)
            return QVariant();
        const TLcTypeEx type = RecordLcType(rec);
        const bool locked = (type == lct2004 && col >= OutputCol(7, TKind::Vehicle) && col < colFirstOutput + 16) ||
                            (type != lct2004 && col == ColVariabCntl());
        return locked ? QVariant(readOnly) : QVariant();
    };
    connect(cxGrid, &TGridView::FocusedRecordChanged, this, [this] { FollowFocus(); });

    // The value list of a three-lamp half: hovering selects, a release or Enter
    // writes the item.
    lstHalf = new QListWidget(this);
    lstHalf->setObjectName("lstHalf");
    lstHalf->setMouseTracking(true);
    lstHalf->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstHalf->hide();
    lstHalf->installEventFilter(this);
    lstHalf->viewport()->installEventFilter(this);
    connect(lstHalf, &QListWidget::itemEntered, lstHalf, [this](QListWidgetItem *item) { lstHalf->setCurrentItem(item); });
    cxGrid->viewport()->setMouseTracking(true);
    cxGrid->viewport()->installEventFilter(this);
    // The list closes when the grid scrolls sideways, a column moves or is
    // resized, or the focus leaves the cell of the list.
    connect(cxGrid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { CloseHalfList(); });
    connect(cxGrid->Header(), &QHeaderView::sectionMoved, this, [this] { CloseHalfList(); });
    connect(cxGrid->Header(), &QHeaderView::sectionResized, this, [this] { CloseHalfList(); });
    connect(cxGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (FListHalf != ltNone
            && (cxGrid->FocusedRecord() != FListRec || cxGrid->FocusedColumn() != FListCol))
            CloseHalfList();
    });
    // While a three-lamp row is focused each output header shows its halves "P1" and "P2".
    cxGrid->Header()->CustomDraw = [this](QPainter *painter, const QRect &rect, int col) {
        const QStringList parts = OutputParts(col);
        if (parts.isEmpty()) {
            if (col == colSANO || col == colLCNO)
                TGridHeaderView::DrawRequiredMark(painter, rect);
            return;
        }
        QStyleOptionHeader opt;
        opt.initFrom(cxGrid->Header());
        opt.textAlignment = Qt::AlignCenter;
        for (int i = 0; i < 2; ++i) {
            opt.rect = Flash::HalfRect(rect, i == 0 ? ltP1 : ltP2);
            opt.text = parts.at(i);
            cxGrid->Header()->style()->drawControl(QStyle::CE_Header, &opt, painter, cxGrid->Header());
        }
    };

    actAdd->setVisible(false);
    actCopyRow = new QAction(this);
    actCopyRow->setObjectName("actCopyRow");
    actCopyRow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    actCopyRow->setShortcutContext(Qt::WidgetShortcut);
    actPasteRow = new QAction(this);
    actPasteRow->setObjectName("actPasteRow");
    actPasteRow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    actPasteRow->setShortcutContext(Qt::WidgetShortcut);
    connect(actCopyRow, &QAction::triggered, this, &TfrmTCDV_E_FlashMap::actCopyRowExecute);
    connect(actPasteRow, &QAction::triggered, this, &TfrmTCDV_E_FlashMap::actPasteRowExecute);
    cxGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    cxGrid->addAction(actCopyRow);
    cxGrid->addAction(actPasteRow);
    InitLanguage();
}

void TfrmTCDV_E_FlashMap::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblSA->setText(Tx(QStringLiteral("lblSA.Caption")));
    cbxAllTCDV->setText(Tx(QStringLiteral("cbxAllTCDV.Caption")));
    actCopyRow->setText(Tx(QStringLiteral("actCopyRow.Caption")));
    actPasteRow->setText(Tx(QStringLiteral("actPasteRow.Caption")));
    UpdateHeader();
}

TLcTypeEx TfrmTCDV_E_FlashMap::RecordLcType(int rec) const
{
    const int t = GridModel()->Value(rec, ColLcType()).toInt();
    return t >= lct2004 && t <= lct2010_4L ? TLcTypeEx(t) : lctNone;
}

bool TfrmTCDV_E_FlashMap::CellEditable(int rec, int col) const
{
    const TLcTypeEx type = rec == cxGrid->FocusedRecord() ? FFocusedType : RecordLcType(rec);
    if (col >= OutputCol(7, TKind::Vehicle) && col < colFirstOutput + 16)
        return type != lct2004;
    if (col == ColVariabCntl())
        return type == lct2004;
    return true;
}

QString TfrmTCDV_E_FlashMap::LsuBandCaption(int k) const
{
    if (FFocusedType == lct2010_3L)
        return QStringLiteral("LSU #%1 | LSU #%2").arg(2 * k + 1).arg(2 * k + 2);
    return QStringLiteral("LSU #%1").arg(k + 1);
}

QStringList TfrmTCDV_E_FlashMap::LsuBandParts(int k) const
{
    if (FFocusedType != lct2010_3L)
        return {};
    return {QStringLiteral("LSU #%1").arg(2 * k + 1), QStringLiteral("LSU #%1").arg(2 * k + 2)};
}

QStringList TfrmTCDV_E_FlashMap::OutputParts(int col) const
{
    if (FFocusedType != lct2010_3L || col < colFirstOutput || col >= colFirstOutput + 16)
        return {};
    return {QStringLiteral("P1"), QStringLiteral("P2")};
}

QRect TfrmTCDV_E_FlashMap::CellRect(int rec, int col) const
{
    if (rec < 0 || !cxGrid->Proxy())
        return QRect();
    return cxGrid->visualRect(cxGrid->Proxy()->mapFromSource(GridModel()->index(rec, col)));
}

TfrmTCDV_E_FlashMap::THalfHit TfrmTCDV_E_FlashMap::HitHalf(const QPoint &pos) const
{
    THalfHit hit;
    const QModelIndex index = cxGrid->indexAt(pos);
    if (!index.isValid())
        return hit;
    const int rec = cxGrid->Proxy()->mapToSource(index).row();
    const int col = cxGrid->Proxy()->mapToSource(index).column();
    if (col < colFirstOutput || col >= colFirstOutput + 16 || RecordLcType(rec) != lct2010_3L)
        return hit;
    const TLsuType2 half = Flash::HalfButtonAt(CellRect(rec, col), pos, HalfButtonWidth);
    if (half != ltNone)
        hit = {rec, col, half};
    return hit;
}

void TfrmTCDV_E_FlashMap::ToggleHalfList(int rec, int col, TLsuType2 half)
{
    const bool same = FListHalf == half && FListRec == rec && FListCol == col;
    CloseHalfList();
    if (same || half == ltNone || RecordLcType(rec) != lct2010_3L || !CellEditable(rec, col))
        return;
    if (cxGrid->FocusedRecord() != rec || cxGrid->FocusedColumn() != col)
        cxGrid->FocusRecord(rec, col);
    const QString text = GridModel()->Text(rec, col);
    lstHalf->clear();
    lstHalf->addItems(Flash::CodeTexts(lct2010_3L, KindOfCol(col)));
    const QList<QListWidgetItem *> current = lstHalf->findItems(Flash::HalfText(text, half), Qt::MatchExactly);
    lstHalf->setCurrentItem(current.isEmpty() ? nullptr : current.first());
    const int height = lstHalf->sizeHintForRow(0) * lstHalf->count() + 2 * lstHalf->frameWidth();
    const QRect r = Flash::HalfListRect(CellRect(rec, col), half, HalfButtonWidth, height);
    lstHalf->setGeometry(QRect(cxGrid->viewport()->mapTo(this, r.topLeft()), r.size()));
    FListHalf = half;
    FListRec = rec;
    FListCol = col;
    lstHalf->show();
    lstHalf->raise();
    lstHalf->setFocus();
}

void TfrmTCDV_E_FlashMap::CloseHalfList()
{
    if (FListHalf == ltNone)
        return;
    FListHalf = ltNone;
    FListRec = FListCol = -1;
    lstHalf->hide();
}

void TfrmTCDV_E_FlashMap::ChooseHalfItem()
{
    if (FListHalf == ltNone)
        return;
    const int rec = FListRec, col = FListCol;
    const TLsuType2 half = FListHalf;
    QListWidgetItem *item = lstHalf->currentItem();
    CloseHalfList();
    if (item && rec < GridModel()->RecordCount())
        GridModel()->EditValue(rec, col, Flash::WithHalf(GridModel()->Text(rec, col), half, item->text()));
    cxGrid->setFocus();
    UpdateActions();
}

bool TfrmTCDV_E_FlashMap::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == cxGrid->viewport()) {
        switch (e->type()) {
        case QEvent::MouseMove: {
            const THalfHit hit = HitHalf(static_cast<QMouseEvent *>(e)->position().toPoint());
            if (hit.rec != FHot.rec || hit.col != FHot.col || hit.half != FHot.half) {
                FHot = hit;
                cxGrid->viewport()->update();
            }
            break;
        }
        case QEvent::MouseButtonPress: {
            auto *me = static_cast<QMouseEvent *>(e);
            if (me->button() != Qt::LeftButton)
                break;
            const THalfHit hit = HitHalf(me->position().toPoint());
            if (hit.half == ltNone)
                break;
            FHot = hit;
            FPressed = true;
            cxGrid->viewport()->update();
            ToggleHalfList(hit.rec, hit.col, hit.half);
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (FPressed) {
                FPressed = false;
                cxGrid->viewport()->update();
                return true;
            }
            break;
        case QEvent::Leave:
            FHot = THalfHit();
            cxGrid->viewport()->update();
            break;
        default:
            break;
        }
    } else if (obj == lstHalf->viewport() && e->type() == QEvent::MouseButtonRelease) {
        if (QListWidgetItem *item = lstHalf->itemAt(static_cast<QMouseEvent *>(e)->position().toPoint()))
            lstHalf->setCurrentItem(item);
        ChooseHalfItem();
        return true;
    } else if (obj == lstHalf && e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ChooseHalfItem();
            return true;
        }
        if (key == Qt::Key_Escape) {
            CloseHalfList();
            cxGrid->setFocus();
            return true;
        }
    } else if (obj == lstHalf && e->type() == QEvent::FocusOut && FListHalf != ltNone
               && !lstHalf->isAncestorOf(QApplication::focusWidget()) && QApplication::focusWidget() != cxGrid) {
        CloseHalfList();
    }
    return TfrmBaseGrid::eventFilter(obj, e);
}

QString TfrmTCDV_E_FlashMap::OutputCaption(int col) const
{
    if (FFocusedType == lct2010_3L)
        return QStringLiteral("P1 | P2");
    return KindOfCol(col) == TKind::Vehicle ? QStringLiteral("VEH") : QStringLiteral("PED");
}

// Band headers and output captions follow the focused row's type.
void TfrmTCDV_E_FlashMap::UpdateHeader()
{
    TGridModel *m = GridModel();
    if (!m)
        return;
    QList<TGridBand> bands{{Tx(QStringLiteral("bndSANO.Caption")), {colSANO}},
                           {Tx(QStringLiteral("bndLCNO.Caption")), {colLCNO}},
                           {Tx(QStringLiteral("bndNAME.Caption")), {colNAME}}};
    for (int k = 0; k < 8; ++k) {
        TGridBand band{LsuBandCaption(k), {colFirstOutput + 2 * k, colFirstOutput + 2 * k + 1}};
        band.Parts = LsuBandParts(k);
        bands.append(band);
        m->SetCaption(colFirstOutput + 2 * k, OutputCaption(colFirstOutput + 2 * k));
        m->SetCaption(colFirstOutput + 2 * k + 1, OutputCaption(colFirstOutput + 2 * k + 1));
    }
    bands.append({Tx(QStringLiteral("bndFLASHTIME.Caption")), {ColFlashTime()}});
    bands.append({Tx(QStringLiteral("bndVARIABCNTL.Caption")), {ColVariabCntl()}});
    bands.append({QStringLiteral("DB"), {ColDB()}});
    for (int c : {colSANO, colLCNO, colNAME, ColFlashTime(), ColVariabCntl(), ColDB()})
        m->SetCaption(c, QString());
    cxGrid->Header()->SetBands(bands);
}

void TfrmTCDV_E_FlashMap::FollowFocus()
{
    const int rec = cxGrid->FocusedRecord();
    const int lc = rec >= 0 ? GridModel()->Value(rec, colLCNO).toInt() : 0;
    const TLcTypeEx type = rec >= 0 ? GetLcTypeEx(lc) : lctNone;
    const bool changed = type != FFocusedType;
    if (FListHalf != ltNone && rec != FListRec)
        CloseHalfList();
    FFocusedLc = lc;
    FFocusedType = type;
    if (changed)
        UpdateHeader();
    cxGrid->viewport()->update();
}

void TfrmTCDV_E_FlashMap::SetSA_ID(int Value)
{
    TfrmBaseGrid::SetSA_ID(Value);
    if (cbxAllTCDV && cbxAllTCDV->isChecked() && !Searched()) {
        SetSearched(true);
        actSearch->trigger();
    }
}

void TfrmTCDV_E_FlashMap::Load()
{
    QStringList outputs;
    for (int n = 1; n <= 8; ++n)
        for (const char *kind : {"VEH", "PED"}) {
            const QString c = QString("INT_%1%2").arg(kind).arg(n);
            outputs << (n >= 7 ? QString("CASE WHEN L.INT_LCTYPE = 1 THEN NULL ELSE COALESCE(F.%1, 0) END AS %1").arg(c)
                               : QString("COALESCE(F.%1, 0) AS %1").arg(c));
        }
    const bool all = cbxAllTCDV->isChecked();
    QSqlQuery q = NewQuery();
    q.prepare("SELECT L.INT_SANO, L.INT_LCNO, L.INT_NAME, " + outputs.join(", ") +
              ", F.INT_FLASHTIME, F.INT_VARIABCNTL, CASE WHEN F.INT_LCNO IS NULL THEN 0 ELSE 1 END AS DB, "
              "CASE WHEN L.INT_LCTYPE = 1 THEN 1 ELSE 2 + COALESCE(L.INT_LAMPTYPE, 0) END AS LC_TYPE "
              "FROM SCS_M_INTLC L LEFT JOIN SCS_M_INTFLSMAP F ON F.INT_LCNO = L.INT_LCNO" +
              QString(all ? "" : " WHERE L.INT_SANO = :INT_SANO") + " ORDER BY L.INT_SANO, L.INT_SAINDEX, L.INT_LCNO");
    if (!all)
        q.bindValue(":INT_SANO", SA_ID());
    if (!DM->QueryOpen(q, this)) // stands on the first row when there is one
        return;
    do {
        const TLcTypeEx type = TLcTypeEx(q.value("LC_TYPE").toInt());
        QVariantList values{q.value(0), q.value(1), q.value(2)};
        for (int n = 1; n <= 8; ++n)
            for (TKind kind : {TKind::Vehicle, TKind::Pedestrian})
                values << Flash::CodeText(type, kind, q.value(colFirstOutput + (n - 1) * 2 + (kind == TKind::Pedestrian)));
        values << q.value("INT_FLASHTIME") << q.value("INT_VARIABCNTL") << q.value("DB") << int(type);
        GridModel()->AddLoaded(values, q.value(1));
    } while (q.next());
    if (GridModel()->RecordCount() > 0) {
        FFocusedLc = GridModel()->Value(0, colLCNO).toInt();
        FFocusedType = RecordLcType(0);
        UpdateHeader();
    }
}

void TfrmTCDV_E_FlashMap::SaveRow(const TGridRow &row)
{
    const int lc = row["INT_LCNO"].toInt();
    QVariantMap texts;
    for (auto it = row.Values.begin(); it != row.Values.end(); ++it)
        texts.insert(it.key(), it.value());
    Flash::SaveRow(Controller()->Connection(), GetLcTypeEx(lc), lc, row.State, row.KeyValue, texts);
}

void TfrmTCDV_E_FlashMap::actCopyRowExecute()
{
    if (auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget()); editor && cxGrid->isAncestorOf(editor)) {
        editor->copy();
        return;
    }
    const int rec = cxGrid->FocusedRecord();
    if (rec < 0)
        return;
    TGridModel *m = GridModel();
    QStringList fields;
    for (int c = 0; c < m->ColumnCount(); ++c) {
        if (!m->Column(c).Visible)
            continue;
        fields << (c == ColVariabCntl() ? QString(m->Value(rec, c).toInt() == 1 ? "Y" : "N") : m->Text(rec, c));
    }
    QApplication::clipboard()->setText(fields.join('\t'));
    FCopiedType = FFocusedType;
}

void TfrmTCDV_E_FlashMap::actPasteRowExecute()
{
    if (auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget()); editor && cxGrid->isAncestorOf(editor)) {
        editor->paste();
        return;
    }
    if (FCopiedType == lctNone) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_NotCopied")), KIT_T(T_DialogCaption), QString(),
                   mkInformation);
        return;
    }
    const int rec = cxGrid->FocusedRecord();
    if (rec < 0)
        return;
    if (!Flash::PasteCompatible(FCopiedType, FFocusedType)) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_CheckType")), KIT_T(T_DialogCaption), QString(),
                   mkInformation);
        return;
    }
    const QStringList fields = QApplication::clipboard()->text().split('\t');
    TGridModel *m = GridModel();
    const auto hook = m->EditHook;
    m->EditHook = [](int, int) {}; // the state is set once below
    m->BeginUpdate();
    int field = 0;
    for (int c = 0; c < m->ColumnCount(); ++c) {
        if (!m->Column(c).Visible)
            continue;
        const int i = field++;
        if (c < colFirstOutput || c == ColDB())
            continue;
        const QString f = fields.value(i);
        if (c == ColVariabCntl())
            m->EditValue(rec, c, f == QLatin1String("Y") ? 1 : 0);
        else if (c == ColFlashTime())
            m->EditValue(rec, c, f.trimmed().isEmpty() ? QVariant() : QVariant(f.trimmed().toInt()));
        else
            m->EditValue(rec, c, f);
    }
    m->EndUpdate();
    m->EditHook = hook;
    if (hook)
        hook(rec, colFirstOutput);
    UpdateActions();
}
