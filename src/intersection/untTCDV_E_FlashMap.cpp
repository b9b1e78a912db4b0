#include "intersection/untTCDV_E_FlashMap.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSqlQuery>
#include <QStyledItemDelegate>

#include "core/GridResources.h"
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
        const TKind kind = KindOfCol(index.column());
        if (type == lct2010_3L) {
            auto *w = new QWidget(parent);
            w->setAutoFillBackground(true);
            auto *l = new QHBoxLayout(w);
            l->setContentsMargins(0, 0, 0, 0);
            l->setSpacing(0);
            for (const char *name : {"cbxP1", "cbxP2"}) {
                auto *c = new QComboBox(w);
                c->setObjectName(name);
                c->addItems(Flash::CodeTexts(type, kind));
                l->addWidget(c);
            }
            return w;
        }
        auto *c = new QComboBox(parent);
        c->addItems(Flash::CodeTexts(type, kind));
        return c;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::EditRole).toString();
        if (auto *c = qobject_cast<QComboBox *>(editor)) {
            c->setCurrentIndex(c->findText(text));
            return;
        }
        const QStringList halves = text.split(';');
        if (auto *p1 = editor->findChild<QComboBox *>("cbxP1"))
            p1->setCurrentIndex(p1->findText(halves.value(0)));
        if (auto *p2 = editor->findChild<QComboBox *>("cbxP2"))
            p2->setCurrentIndex(p2->findText(halves.value(1)));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        QString text;
        if (auto *c = qobject_cast<QComboBox *>(editor)) {
            text = c->currentText();
        } else {
            auto *p1 = editor->findChild<QComboBox *>("cbxP1");
            auto *p2 = editor->findChild<QComboBox *>("cbxP2");
            text = (p1 ? p1->currentText() : QString()) + ';' + (p2 ? p2->currentText() : QString());
        }
        model->setData(index, text, Qt::EditRole);
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QString text = index.data(Qt::DisplayRole).toString();
        const QStringList parts = text.contains(';') ? text.split(';') : QStringList{text};
        const QRect r = option.rect;
        const bool readOnly = index.data(Qt::BackgroundRole).isValid();
        painter->save();
        for (int i = 0; i < parts.size(); ++i) {
            QRect part = r;
            if (parts.size() == 2) {
                part.setWidth(r.width() / 2);
                if (i == 1)
                    part.moveLeft(r.left() + r.width() / 2);
            }
            const QColor fill = readOnly ? index.data(Qt::BackgroundRole).value<QColor>() : CodeColour(parts[i]);
            if (fill.isValid())
                painter->fillRect(part, fill);
            painter->drawText(part, Qt::AlignCenter, parts[i]);
        }
        if (option.state & QStyle::State_HasFocus) {
            painter->setPen(QColor(0xE1, 0xE1, 0xE1));
            painter->drawLine(r.topLeft(), r.topRight());
            painter->drawLine(r.bottomLeft(), r.bottomRight());
        }
        painter->restore();
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
        bands.append({LsuBandCaption(k), {colFirstOutput + 2 * k, colFirstOutput + 2 * k + 1}});
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
