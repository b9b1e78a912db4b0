#include "core/GridView.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QSpinBox>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include "core/GridResources.h"
#include "core/siLang.h"

// ---------------------------------------------------------------- header

TGridHeaderView::TGridHeaderView(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setSortIndicatorShown(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void TGridHeaderView::SetBands(const QList<TGridBand> &bands)
{
    FBands = bands;
    updateGeometry();
    viewport()->update();
}

int TGridHeaderView::BandOf(int column) const
{
    for (int i = 0; i < FBands.size(); ++i)
        if (FBands[i].Columns.contains(column))
            return i;
    return -1;
}

int TGridHeaderView::BandHeight() const
{
    if (FBands.isEmpty())
        return 0;
    return height() / 2;
}

QSize TGridHeaderView::sizeHint() const
{
    QSize s = QHeaderView::sizeHint();
    if (!FBands.isEmpty())
        s.setHeight(s.height() * 2);
    return s;
}

void TGridHeaderView::DrawRequiredMark(QPainter *painter, const QRect &r)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(RequiredMarkColour());
    painter->setBrush(RequiredMarkColour());
    const QPoint pts[3] = {QPoint(r.left() + 1, r.top() + 1), QPoint(r.left() + 5, r.top() + 1),
                           QPoint(r.left() + 1, r.top() + 5)};
    painter->drawPolygon(pts, 3);
    painter->restore();
}

void TGridHeaderView::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    QRect r = rect;
    if (!FBands.isEmpty() && BandOf(logicalIndex) >= 0)
        r.setTop(rect.top() + BandHeight());
    painter->save();
    QHeaderView::paintSection(painter, r, logicalIndex);
    painter->restore();
    if (CustomDraw) {
        CustomDraw(painter, r, logicalIndex);
        return;
    }
    if (auto *m = qobject_cast<TGridModel *>(model()); m && logicalIndex < m->ColumnCount()
                                                     && m->Column(logicalIndex).Tag == 1)
        DrawRequiredMark(painter, r);
    else if (auto *p = qobject_cast<QAbstractProxyModel *>(model())) {
        if (auto *sm = qobject_cast<TGridModel *>(p->sourceModel());
            sm && logicalIndex < sm->ColumnCount() && sm->Column(logicalIndex).Tag == 1)
            DrawRequiredMark(painter, r);
    }
}

void TGridHeaderView::paintEvent(QPaintEvent *e)
{
    QHeaderView::paintEvent(e);
    if (FBands.isEmpty())
        return;
    QPainter p(viewport());
    const int bh = BandHeight();
    for (const TGridBand &band : FBands) {
        int left = INT_MAX, right = INT_MIN;
        for (int col : band.Columns) {
            if (col < 0 || col >= count() || isSectionHidden(col))
                continue;
            const int x = sectionViewportPosition(col);
            left = qMin(left, x);
            right = qMax(right, x + sectionSize(col));
        }
        if (left >= right)
            continue;
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.section = 0;
        opt.textAlignment = Qt::AlignCenter;
        opt.position = QStyleOptionHeader::Middle;
        opt.sortIndicator = QStyleOptionHeader::None;
        if (band.Parts.isEmpty()) {
            opt.rect = QRect(left, 0, right - left, bh);
            opt.text = band.Caption;
            style()->drawControl(QStyle::CE_Header, &opt, &p, this);
            continue;
        }
        QStringList lines = band.Caption.split('\n');
        lines.removeLast();
        int top = 0;
        if (!lines.isEmpty()) {
            top = bh / 2;
            opt.rect = QRect(left, 0, right - left, top);
            opt.text = lines.join('\n');
            style()->drawControl(QStyle::CE_Header, &opt, &p, this);
        }
        const int n = int(band.Parts.size());
        for (int i = 0; i < n; ++i) {
            const int x0 = left + (right - left) * i / n, x1 = left + (right - left) * (i + 1) / n;
            opt.rect = QRect(x0, top, x1 - x0, bh - top);
            opt.text = band.Parts.at(i);
            style()->drawControl(QStyle::CE_Header, &opt, &p, this);
        }
    }
}

// ---------------------------------------------------------------- text delegate

static const TGridModel *SourceGridModel(const QModelIndex &index, int *col)
{
    const QAbstractItemModel *m = index.model();
    QModelIndex idx = index;
    while (auto *p = qobject_cast<const QAbstractProxyModel *>(m)) {
        idx = p->mapToSource(idx);
        m = p->sourceModel();
    }
    if (col)
        *col = idx.column();
    return qobject_cast<const TGridModel *>(m);
}

QWidget *TGridTextDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &index) const
{
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    int col = -1;
    if (const TGridModel *m = SourceGridModel(index, &col); m && col >= 0) {
        const TGridColumn &c = m->Column(col);
        edit->setAlignment(c.Align);
        if (c.Password)
            edit->setEchoMode(QLineEdit::Password);
        if (c.MaxLength > 0)
            edit->setMaxLength(c.MaxLength);
    }
    return edit;
}

void TGridTextDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(editor))
        edit->setText(index.data(Qt::EditRole).toString());
    else
        QStyledItemDelegate::setEditorData(editor, index);
}

void TGridTextDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        const QString text = edit->text();
        model->setData(index, text.isEmpty() ? QVariant() : QVariant(text), Qt::EditRole);
    } else {
        QStyledItemDelegate::setModelData(editor, model, index);
    }
}

bool TNoWheelFilter::eventFilter(QObject *, QEvent *e)
{
    return e->type() == QEvent::Wheel;
}

QWidget *TGridComboDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                          const QModelIndex &index) const
{
    auto *box = new QComboBox(parent);
    box->installEventFilter(new TNoWheelFilter(box));
    int col = -1;
    if (const TGridModel *m = SourceGridModel(index, &col); m && col >= 0)
        for (const TGridItem &i : m->Column(col).Items)
            box->addItem(i.Text, i.Value);
    return box;
}

void TGridComboDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *box = qobject_cast<QComboBox *>(editor);
    if (!box)
        return;
    const QString v = index.data(Qt::EditRole).toString();
    int found = -1;
    for (int i = 0; i < box->count(); ++i)
        if (box->itemData(i).toString() == v)
            found = i;
    box->setCurrentIndex(found);
}

void TGridComboDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                      const QModelIndex &index) const
{
    auto *box = qobject_cast<QComboBox *>(editor);
    if (!box || box->currentIndex() < 0)
        return;
    model->setData(index, box->currentData(), Qt::EditRole);
}

namespace {
class TSpinBox : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;
    bool empty = false;
protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        // Steps only with Ctrl and the arrow keys.
        if ((e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) && !(e->modifiers() & Qt::ControlModifier)) {
            e->ignore();
            return;
        }
        QSpinBox::keyPressEvent(e);
    }
};
} // namespace

QWidget *TGridSpinDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &index) const
{
    auto *spin = new TSpinBox(parent);
    spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
    spin->installEventFilter(new TNoWheelFilter(spin));
    spin->setFrame(false);
    int col = -1;
    if (const TGridModel *m = SourceGridModel(index, &col); m && col >= 0) {
        const TGridColumn &c = m->Column(col);
        spin->setRange(int(c.SpinMin), int(c.SpinMax));
        spin->setAlignment(c.Align);
    }
    return spin;
}

void TGridSpinDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *spin = qobject_cast<QSpinBox *>(editor)) {
        const QVariant v = index.data(Qt::EditRole);
        if (v.isNull() || v.toString().isEmpty())
            spin->clear();
        else
            spin->setValue(v.toInt());
    }
}

void TGridSpinDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    if (auto *spin = qobject_cast<QSpinBox *>(editor)) {
        if (spin->cleanText().trimmed().isEmpty())
            model->setData(index, QVariant(), Qt::EditRole);
        else
            model->setData(index, spin->value(), Qt::EditRole);
    }
}

// ---------------------------------------------------------------- view

static TGridView::TDelegateFactory &DelegateFactory()
{
    // The shared cell editors, by the repository item's name.
    static TGridView::TDelegateFactory factory = &GridResources::CreateDelegate;
    return factory;
}

void TGridView::SetDelegateFactory(TDelegateFactory factory)
{
    DelegateFactory() = std::move(factory);
}

TGridView::TGridView(QWidget *parent) : QTableView(parent)
{
    FHeader = new TGridHeaderView(this);
    setHorizontalHeader(FHeader);
    FProxy = new TGridProxyModel(this);
    FTextDelegate = new TGridTextDelegate(this);
    FComboDelegate = new TGridComboDelegate(this);
    FSpinDelegate = new TGridSpinDelegate(this);
    setItemDelegate(FTextDelegate);
    setSortingEnabled(true);
    FHeader->setSortIndicator(-1, Qt::AscendingOrder);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setAlternatingRowColors(false);
    verticalHeader()->setDefaultSectionSize(22);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumWidth(20);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    FHeader->setMinimumSectionSize(10);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &idx) {
        if (idx.isValid())
            emit RecordDoubleClicked(FProxy->mapToSource(idx).row());
    });
}

void TGridView::SetGridModel(TGridModel *model)
{
    const bool changed = FModel != model;
    FModel = model;
    FProxy->setSourceModel(model);
    if (model != nullptr && QTableView::model() != FProxy)
        QTableView::setModel(FProxy);
    ApplyColumns();
    if (changed)
        emit GridModelChanged(model);
}

QAbstractItemDelegate *TGridView::ColumnDelegate(int col) const
{
    if (QAbstractItemDelegate *d = itemDelegateForColumn(col))
        return d;
    return itemDelegate();
}

QString TGridView::DisplayText(int rec, int col) const
{
    if (!FModel)
        return QString();
    const int row = DisplayOfRecord(rec);
    QVariant v;
    if (row >= 0)
        v = FProxy->index(row, col).data(Qt::DisplayRole);
    else
        v = FModel->index(rec, col).data(Qt::DisplayRole);
    if (auto *d = qobject_cast<QStyledItemDelegate *>(ColumnDelegate(col)))
        return v.isNull() ? QString() : d->displayText(v, locale());
    return v.toString();
}

void TGridView::ApplyColumns()
{
    for (const auto &d : FOwnDelegates)
        if (d)
            d->deleteLater();
    FOwnDelegates.clear();
    if (!FModel)
        return;
    QList<TGridBand> bands;
    for (int c = 0; c < FModel->ColumnCount(); ++c) {
        const TGridColumn &col = FModel->Column(c);
        setColumnHidden(c, !col.Visible);
        if (col.Width > 0)
            setColumnWidth(c, col.Width);
        QAbstractItemDelegate *d = nullptr;
        if (!col.Editor.isEmpty() && DelegateFactory())
            d = DelegateFactory()(col.Editor, this);
        if (d)
            FOwnDelegates.append(d);
        else if (!col.Items.isEmpty())
            d = FComboDelegate;
        else if (col.Spin)
            d = FSpinDelegate;
        setItemDelegateForColumn(c, d);
        if (!col.Band.isEmpty()) {
            if (bands.isEmpty() || bands.last().Caption != col.Band
                || !bands.last().Columns.contains(c - 1))
                bands.append(TGridBand{col.Band, {}});
            bands.last().Columns.append(c);
        }
    }
    FHeader->SetBands(bands);
    FitToWidth();
}

void TGridView::Retranslate(const QString &table)
{
    if (!FModel)
        return;
    for (int c = 0; c < FModel->ColumnCount(); ++c) {
        const TGridColumn &col = FModel->Column(c);
        if (!col.CaptionKey.isEmpty()) {
            auto *d = TsiLangDispatcher::instance();
            const int lang = d->ActiveLanguage();
            if (d->HasText(table, col.CaptionKey, lang) || d->HasText("TDM", col.CaptionKey, lang))
                FModel->SetCaption(c, d->Text(table, col.CaptionKey));
        }
    }
    FHeader->viewport()->update();
}

void TGridView::Retranslate(const TsiLangLinked *texts)
{
    if (texts)
        Retranslate(texts->Table());
}

int TGridView::FocusedRecord() const
{
    const QModelIndex idx = currentIndex();
    if (!idx.isValid())
        return -1;
    return FProxy->mapToSource(idx).row();
}

int TGridView::FocusedColumn() const
{
    const QModelIndex idx = currentIndex();
    return idx.isValid() ? idx.column() : -1;
}

void TGridView::FocusDisplayRow(int row, int col)
{
    if (row < 0 || row >= FProxy->rowCount())
        return;
    if (col < 0) {
        col = currentIndex().isValid() ? currentIndex().column() : -1;
        if (col < 0 || isColumnHidden(col)) {
            col = 0;
            while (col < FProxy->columnCount() && isColumnHidden(col))
                ++col;
        }
    }
    const QModelIndex idx = FProxy->index(row, col);
    setCurrentIndex(idx);
    scrollTo(idx);
}

void TGridView::FocusRecord(int rec, int col)
{
    FocusDisplayRow(DisplayOfRecord(rec), col);
}

int TGridView::DisplayCount() const
{
    return FProxy->rowCount();
}

int TGridView::RecordAtDisplay(int row) const
{
    return FProxy->SourceRow(row);
}

int TGridView::DisplayOfRecord(int rec) const
{
    if (!FModel || rec < 0 || rec >= FModel->RecordCount())
        return -1;
    return FProxy->ProxyRow(rec);
}

QList<int> TGridView::DisplayedRecords() const
{
    QList<int> list;
    for (int r = 0; r < FProxy->rowCount(); ++r)
        list.append(FProxy->SourceRow(r));
    return list;
}

void TGridView::OpenFocusedEditor()
{
    setFocus();
    if (currentIndex().isValid())
        edit(currentIndex());
}

void TGridView::PostEdit()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void TGridView::SetFitColumns(bool fit)
{
    FFitColumns = fit;
    FHeader->setSectionResizeMode(QHeaderView::Interactive);
    FitToWidth();
}

void TGridView::SetIndicatorVisible(bool visible)
{
    verticalHeader()->setVisible(visible);
}

void TGridView::SetBrowseMode(bool browse)
{
    setSelectionBehavior(browse ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    setEditTriggers(browse ? QAbstractItemView::NoEditTriggers
                           : (QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                              | QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked));
    if (FModel)
        FModel->SetReadOnly(browse);
}

int TGridView::DeclaredWidth() const
{
    int w = 0;
    if (FModel)
        for (int c = 0; c < FModel->ColumnCount(); ++c)
            if (FModel->Column(c).Visible)
                w += qMax(0, FModel->Column(c).Width);
    return w;
}

void TGridView::FitToWidth()
{
    if (!FFitColumns || !FModel || FFitting)
        return;
    FFitting = true;
    const int total = DeclaredWidth();
    const int avail = viewport()->width();
    if (total > 0 && avail > 0) {
        int used = 0, last = -1;
        for (int c = 0; c < FModel->ColumnCount(); ++c) {
            if (!FModel->Column(c).Visible)
                continue;
            const int w = qMax(10, FModel->Column(c).Width * avail / total);
            setColumnWidth(c, w);
            used += w;
            last = c;
        }
        if (last >= 0 && used != avail)
            setColumnWidth(last, qMax(10, columnWidth(last) + avail - used));
    }
    FFitting = false;
}

void TGridView::resizeEvent(QResizeEvent *e)
{
    QTableView::resizeEvent(e);
    FitToWidth();
}

void TGridView::keyPressEvent(QKeyEvent *e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        && state() != QAbstractItemView::EditingState) {
        if (FEnterMoves) {
            const QModelIndex next = moveCursor(QAbstractItemView::MoveNext, e->modifiers());
            if (next.isValid())
                setCurrentIndex(next);
            e->accept();
            return;
        }
        e->accept();
        emit EnterPressed();
        return;
    }
    QTableView::keyPressEvent(e);
}

void TGridView::paintEvent(QPaintEvent *e)
{
    QTableView::paintEvent(e);
    if (FModel && FProxy->rowCount() == 0 && FModel->ColumnCount() > 0) {
        QPainter p(viewport());
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        p.drawText(viewport()->rect().adjusted(0, 8, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                   GridResources::EmptyViewText());
    }
}

void TGridView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row() || current.isValid() != previous.isValid())
        emit FocusedRecordChanged(current.isValid() ? FProxy->mapToSource(current).row() : -1);
}
