#include "intersection/untTCDV_E_Algorithm.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QWheelEvent>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStyle>
#include <QVBoxLayout>

#include "core/ActionButton.h"
#include "core/GridHelpers.h"
#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "core/untTCDV_S.h"
#include "intersection/AlgorithmRules.h"
#include "intersection/untTCDV_E_SignalManagerVariable.h"

namespace {

constexpr int kPreparedRows = 8;

// The panel's sections: their first parameter (index into Algorithm::Params()).
const int kSectionStart[] = {0, 3, 6, 9, 13, 18, 22, 28, 31, 33};
constexpr int kSections = 10;

// The unit shown beside a number.
QString UnitOf(const QString &column)
{
    static const QHash<QString, QString> units{
        {"INT_CONDEGREE1", "[Km/h]"}, {"INT_CONDEGREE2", "[Km/h]"}, {"INT_CONDEGREE3", "[Km/h]"},
        {"INT_FCCLY1", "[%]"},        {"INT_FCCLY2", "[%]"},        {"INT_FCCLC1", "[Sec]"},
        {"INT_FCCLC2", "[Sec]"},      {"INT_RAMPCNTLBALOFFSET", "[Sec]"}, {"INT_RAMPCNTLOUTOFFSET", "[Sec]"},
        {"INT_RAMPKVALUE", "[%]"},    {"INT_DSDEGREE1", "[%]"},     {"INT_DSDEGREE2", "[%]"}};
    return units.value(column);
}

// The mouse wheel leaves a number box alone; with Ctrl held it steps the
// number by one per notch.
class TCtrlWheelStep : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *obj, QEvent *e) override
    {
        if (e->type() != QEvent::Wheel)
            return false;
        auto *w = static_cast<QWheelEvent *>(e);
        if (auto *spin = qobject_cast<QSpinBox *>(obj); spin && (w->modifiers() & Qt::ControlModifier)) {
            const int dy = w->angleDelta().y();
            if (dy != 0)
                spin->stepBy(dy > 0 ? 1 : -1);
        }
        return true;
    }
};

QList<QRadioButton *> Items(QGroupBox *box)
{
    return box->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
}

TGridModel *NewDirectionModel(QObject *parent, const TGridColumns &columns)
{
    auto *m = new TGridModel(parent);
    m->SetColumns(columns);
    m->SetPrimaryKeys({columns.first().Name});
    // A direction is chosen first: without one every other cell is read-only.
    m->CanEdit = [m](int rec, int col) {
        return col == 0 || !m->Text(rec, 0).isEmpty();
    };
    m->EditHook = [m](int rec, int) {
        const QString next =
            Algorithm::StateAfterEdit(m->State(rec), !m->KeyValue(rec).toString().isEmpty());
        if (next != m->State(rec))
            m->SetState(rec, next);
    };
    return m;
}

QPushButton *BarButton(QWidget *parent, QHBoxLayout *bar, const char *name, QAction *action)
{
    QPushButton *b = NewActionButton(parent, name, action, true);
    b->setAutoDefault(false);
    b->setDefault(false);
    bar->addWidget(b);
    return b;
}

} // namespace

TfrmTCDV_E_Algorithm::TfrmTCDV_E_Algorithm(QWidget *owner) : TfrmBase(owner)
{
    resize(1100, 860);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(5, 3, 5, 3);

    auto *top = new QHBoxLayout;
    lblTCDV = new QLabel(this);
    edtTCDV = new QLineEdit(this);
    edtTCDV->setObjectName("edtTCDV");
    edtTCDV->setFixedWidth(90);
    lblTCDV_NAME = new QLabel(this);
    lblTCDV_NAME->setObjectName("lblTCDV_NAME");
    top->addWidget(lblTCDV);
    top->addWidget(edtTCDV);
    top->addWidget(lblTCDV_NAME, 1);
    root->addLayout(top);
    connect(edtTCDV, &QLineEdit::textEdited, this, [this](const QString &t) {
        lblTCDV_NAME->setText(GetLcName(t.trimmed().toInt()));
        UpdateActions();
    });
    InstallIdEditKeys(edtTCDV, IdEditKindLc, lblTCDV_NAME, nullptr, [this](int n) { SetTCDV_ID(n); }, {}, false,
                      TIdEditStep::Apply);
    QAction *pick = edtTCDV->addAction(style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                       QLineEdit::TrailingPosition);
    pick->setObjectName("edtTCDVButton");
    connect(pick, &QAction::triggered, this, [this] { PickTCDV(); });

    // The parameter panel: one group box per section, numbers and choices.
    pnlClient = new QWidget(this);
    pnlClient->setObjectName("pnlClient");
    auto *grid = new QGridLayout(pnlClient);
    grid->setContentsMargins(0, 0, 0, 0);
    const QList<Algorithm::TParam> &params = Algorithm::Params();
    for (int s = 0; s < kSections; ++s) {
        auto *sec = new QGroupBox(pnlClient);
        sec->setObjectName(QString("grpSection%1").arg(s + 1));
        auto *form = new QGridLayout(sec);
        const int end = s + 1 < kSections ? kSectionStart[s + 1] : params.size();
        for (int i = kSectionStart[s]; i < end; ++i) {
            const Algorithm::TParam &p = params.at(i);
            auto *label = new QLabel(sec);
            label->setObjectName("lbl" + p.Column);
            FParamLabels << label;
            const int row = i - kSectionStart[s];
            form->addWidget(label, row, 0);
            if (p.Choices > 0) {
                auto *box = new QGroupBox(sec);
                box->setObjectName("rg" + p.Column);
                box->setFlat(true);
                auto *l = new QHBoxLayout(box);
                l->setContentsMargins(2, 0, 2, 0);
                for (int k = 0; k < p.Choices; ++k) {
                    auto *r = new QRadioButton(box);
                    r->setObjectName(QString("rg%1_%2").arg(p.Column).arg(k));
                    l->addWidget(r);
                    connect(r, &QRadioButton::toggled, this, [this] { PanelChanged(); });
                }
                FChoices.insert(p.Column, box);
                form->addWidget(box, row, 1, 1, 2);
            } else {
                auto *spin = new QSpinBox(sec);
                spin->setObjectName("edt" + p.Column);
                spin->setRange(0, Algorithm::MaxNumber);
                spin->setButtonSymbols(QAbstractSpinBox::NoButtons);
                spin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
                spin->setFocusPolicy(Qt::StrongFocus);
                spin->installEventFilter(new TCtrlWheelStep(spin));
                connect(spin, &QSpinBox::valueChanged, this, [this] { PanelChanged(); });
                FNumbers.insert(p.Column, spin);
                form->addWidget(spin, row, 1);
                if (const QString unit = UnitOf(p.Column); !unit.isEmpty())
                    form->addWidget(new QLabel(unit, sec), row, 2);
            }
        }
        FSections << sec;
        grid->addWidget(sec, s % 5, s / 5);
    }
    root->addWidget(pnlClient);

    // The two direction grids.
    const QString dir = QStringLiteral("erTFDTSimpleDir");
    auto num = [](const char *name, int max) { return TGridColumn(name).Key(QString("gtv%1.Caption").arg(name)).W(80).Range(0, max); };
    grpLinkQueue = new QGroupBox(this);
    grpLinkQueue->setObjectName("grpLinkQueue");
    gtvLinkQueue = new TGridView(grpLinkQueue);
    gtvLinkQueue->setObjectName("gtvLinkQueue");
    gtvLinkQueue->SetGridModel(NewDirectionModel(this, {
        TGridColumn("INT_DIRINDEX").Key("gtvINT_DIRINDEX.Caption").W(70).Ed(dir).Req(),
        num("INT_DOCSPD1", 999), num("INT_DOCSPD2", 999), num("INT_THDOC", 99), num("INT_ADJSTFATOR", 99),
        num("INT_DIRSTANDARDDS", 99), num("INT_DIRSTANDARDQL", 9999)}));
    (new QVBoxLayout(grpLinkQueue))->addWidget(gtvLinkQueue);

    grpSpillBack = new QGroupBox(this);
    grpSpillBack->setObjectName("grpSpillBack");
    gtvSpillBack = new TGridView(grpSpillBack);
    gtvSpillBack->setObjectName("gtvSpillBack");
    auto phase = [](const char *name) {
        return TGridColumn(name).Key(QString("gtv%1.Caption").arg(name)).W(60).Range(1, 16);
    };
    gtvSpillBack->SetGridModel(NewDirectionModel(this, {
        TGridColumn("INT_SPILLBACKINDEX").Key("gtvINT_DIRINDEX.Caption").W(70).Ed(dir).Req(),
        num("INT_SPILLBACKINT", 9999), phase("INT_SPILLBACKPHASE1"), phase("INT_SPILLBACKPHASE2"),
        num("INT_SPILLBACKLENGTH", 99999), num("INT_SPILLBACKTHOCQL", 999), num("INT_SPILLBACKOFFSET", 999),
        num("INT_SPILLBACKSTARTHOUR", 23), num("INT_SPILLBACKSTARTMIN", 59), num("INT_SPILLBACKENDHOUR", 23),
        num("INT_SPILLBACKENDMIN", 59),
        TGridColumn("INT_SPILLBACKACTIVE").Key("gtvINT_SPILLBACKACTIVE.Caption").W(60)
            .Ed("cxEditRepositoryCheckBoxItem")}));
    (new QVBoxLayout(grpSpillBack))->addWidget(gtvSpillBack);
    auto *grids = new QHBoxLayout;
    grids->addWidget(grpLinkQueue, 1);
    grids->addWidget(grpSpillBack, 2);
    root->addLayout(grids, 1);

    // Row deletion by the grids' pop-up menus; any edit refreshes the actions.
    actLinkQueueDel = new QAction(this);
    actLinkQueueDel->setObjectName("actLinkQueueDel");
    actSpillBackDel = new QAction(this);
    actSpillBackDel->setObjectName("actSpillBackDel");
    for (auto [view, action] : {std::pair{gtvLinkQueue, actLinkQueueDel}, std::pair{gtvSpillBack, actSpillBackDel}}) {
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
        view->addAction(action);
        connect(action, &QAction::triggered, this, [this, view] {
            view->PostEdit();
            if (view->FocusedRecord() >= 0)
                DelNoAddExecute(view, view->GridModel()->StateIdx());
            UpdateActions();
        });
        connect(view->GridModel(), &TGridModel::StateChanged, this, &TfrmTCDV_E_Algorithm::UpdateActions);
    }

    actInit = new QAction(this);
    actInit->setObjectName("actInit");
    connect(actSearch, &QAction::triggered, this, &TfrmTCDV_E_Algorithm::actSearchExecute);
    connect(actInit, &QAction::triggered, this, &TfrmTCDV_E_Algorithm::actInitExecute);
    connect(actSave, &QAction::triggered, this, [this] { actSaveExecute(); });
    auto *bar = new QHBoxLayout;
    btnSearch = BarButton(this, bar, "btnSearch", actSearch);
    btnInit = BarButton(this, bar, "btnInit", actInit);
    btnSave = BarButton(this, bar, "btnSave", actSave);
    bar->addStretch(1);
    btnClose = BarButton(this, bar, "btnClose", actClose);
    root->addLayout(bar);

    ClearPanel(true);
    InitTableView_Without_KeyValue(LinkQueueModel(), LinkQueueModel()->StateIdx(), kPreparedRows);
    InitTableView_Without_KeyValue(SpillBackModel(), SpillBackModel()->StateIdx(), kPreparedRows);
    InitLanguage();
    UpdateActions();
}

void TfrmTCDV_E_Algorithm::Retranslate()
{
    TfrmBase::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
    actInit->setText(Tx(QStringLiteral("actInit.Caption")));
    actLinkQueueDel->setText(Tx(QStringLiteral("actDelRow.Caption")));
    actSpillBackDel->setText(actLinkQueueDel->text());
    for (int s = 0; s < FSections.size(); ++s)
        FSections[s]->setTitle(Tx(QString("grpSection%1.Caption").arg(s + 1)));
    for (QLabel *l : FParamLabels)
        l->setText(Tx(l->objectName() + QStringLiteral(".Caption")));
    for (auto it = FChoices.begin(); it != FChoices.end(); ++it) {
        const QList<QRadioButton *> items = Items(it.value());
        for (int k = 0; k < items.size(); ++k)
            items[k]->setText(Tx(QString("rg%1.%2").arg(it.key()).arg(k)));
    }
    grpLinkQueue->setTitle(Tx(QStringLiteral("grpLinkQueue.Caption")));
    grpSpillBack->setTitle(Tx(QStringLiteral("grpSpillBack.Caption")));
    gtvLinkQueue->Retranslate(TextTable());
    gtvSpillBack->Retranslate(TextTable());
    SetActionButtonTexts({{btnSearch, actSearch}, {btnInit, actInit}, {btnSave, actSave}, {btnClose, actClose}});
}

bool TfrmTCDV_E_Algorithm::LinkQueueEdited() const
{
    return LinkQueueModel()->HasChanges();
}

bool TfrmTCDV_E_Algorithm::SpillBackEdited() const
{
    return SpillBackModel()->HasChanges();
}

void TfrmTCDV_E_Algorithm::UpdateActions()
{
    const bool edited = FContolsEdited || LinkQueueEdited() || SpillBackEdited();
    actSearch->setEnabled(lblTCDV_NAME->text() != KIT_T(T_NotExist));
    actSave->setEnabled(FSearched && edited);
    actInit->setEnabled(FSearched);
}

void TfrmTCDV_E_Algorithm::PanelChanged()
{
    if (FLoading)
        return;
    FContolsEdited = true;
    UpdateActions();
}

QWidget *TfrmTCDV_E_Algorithm::PanelInput(const QString &column) const
{
    if (QSpinBox *s = FNumbers.value(column))
        return s;
    return FChoices.value(column);
}

int TfrmTCDV_E_Algorithm::PanelValue(const QString &column) const
{
    if (QSpinBox *s = FNumbers.value(column))
        return s->value();
    if (QGroupBox *box = FChoices.value(column)) {
        const QList<QRadioButton *> items = Items(box);
        for (int k = 0; k < items.size(); ++k)
            if (items[k]->isChecked())
                return k;
    }
    return -1;
}

void TfrmTCDV_E_Algorithm::SetPanelValue(const QString &column, int value)
{
    if (QSpinBox *s = FNumbers.value(column)) {
        s->setValue(qBound(0, value, Algorithm::MaxNumber));
    } else if (QGroupBox *box = FChoices.value(column)) {
        const QList<QRadioButton *> items = Items(box);
        if (value >= 0 && value < items.size()) {
            items[value]->setChecked(true);
        } else {
            for (QRadioButton *r : items) {
                r->setAutoExclusive(false);
                r->setChecked(false);
                r->setAutoExclusive(true);
            }
        }
    }
}

// Every choice without an item, every number 0; disabled when asked.
void TfrmTCDV_E_Algorithm::ClearPanel(bool disable)
{
    const bool loading = FLoading;
    FLoading = true;
    if (disable)
        ClearAndDisableInputs(pnlClient);
    else
        ClearInputs(pnlClient);
    for (QSpinBox *s : FNumbers)
        s->setValue(0);
    FLoading = loading;
}

void TfrmTCDV_E_Algorithm::SetTCDV_ID(int Value)
{
    FSearched = false;
    FTCDV_ID = Value;
    const QString name = GetLcName(Value);
    lblTCDV_NAME->setText(name);
    if (name != KIT_T(T_NotExist)) {
        EnableInputs(pnlClient);
        const QSignalBlocker block(edtTCDV);
        if (edtTCDV->text().trimmed() != QString::number(Value))
            edtTCDV->setText(QString::number(Value));
        FSearched = true;
        actSearchExecute();
    } else {
        ClearPanel(true);
        FContolsEdited = false;
    }
    UpdateActions();
}

void TfrmTCDV_E_Algorithm::PickTCDV()
{
    TfrmTCDV_S dlg(this);
    dlg.setWindowTitle(KIT_T(T_TcdvSTitle));
    dlg.chxOnlySgnl->setChecked(true);
    dlg.chxOnlySgnl->setVisible(false);
    dlg.FTCDV_ID = FTCDV_ID;
    if (dlg.exec() == QDialog::Accepted)
        SetTCDV_ID(dlg.qryTCDVINT_LCNO().toString().toInt());
}

bool TfrmTCDV_E_Algorithm::CanClose()
{
    gtvLinkQueue->PostEdit();
    gtvSpillBack->PostEdit();
    const bool edited = FContolsEdited || LinkQueueEdited() || SpillBackEdited();
    return !edited || ConfirmDiscardEdits(this);
}

void TfrmTCDV_E_Algorithm::actSearchExecute()
{
    if (!edtTCDV->text().trimmed().isEmpty())
        FTCDV_ID = edtTCDV->text().trimmed().toInt();
    LoadPanel();
    QStringList lq = Algorithm::LinkQueue().Values;
    LoadGrid(gtvLinkQueue, "SELECT INT_LCNO, " + lq.join(", ") +
                               " FROM SCS_M_INTLINKQUEUE WHERE INT_LCNO = :INT_LCNO ORDER BY INT_DIRINDEX");
    QStringList sb = Algorithm::SpillBack().Values;
    LoadGrid(gtvSpillBack, "SELECT INT_LCNO, " + sb.join(", ") +
                               " FROM SCS_M_INTSPILLBACK WHERE INT_LCNO = :INT_LCNO ORDER BY INT_SPILLBACKINDEX");
    UpdateActions();
}

void TfrmTCDV_E_Algorithm::LoadPanel()
{
    QStringList algorithm, queue;
    for (const Algorithm::TParam &p : Algorithm::Params())
        (p.Table == Algorithm::TTable::Algorithm ? algorithm : queue) << p.Column;
    QSqlQuery q = NewQuery();
    q.prepare("SELECT A.INT_LCNO, A." + algorithm.join(", A.") + ", B." + queue.join(", B.") +
              " FROM SCS_M_INTALGORITHM A LEFT JOIN SCS_M_INTQUEUE B ON A.INT_LCNO = B.INT_LCNO"
              " WHERE A.INT_LCNO = :INT_LCNO");
    q.bindValue(":INT_LCNO", FTCDV_ID);
    FLoading = true;
    if (DM->QueryOpen(q, this)) { // stands on the row
        EnableInputs(pnlClient);
        for (const Algorithm::TParam &p : Algorithm::Params()) {
            const QVariant v = q.value(p.Column);
            SetPanelValue(p.Column, v.isNull() ? 0 : v.toInt());
        }
    } else if (LcExists(FTCDV_ID)) {
        ClearPanel(false);
        for (auto it = FChoices.begin(); it != FChoices.end(); ++it)
            SetPanelValue(it.key(), 0);
        EnableInputs(pnlClient);
    } else {
        ClearPanel(true);
    }
    FLoading = false;
    FContolsEdited = false;
}

void TfrmTCDV_E_Algorithm::LoadGrid(TGridView *view, const QString &sql)
{
    TGridModel *m = view->GridModel();
    m->BeginUpdate();
    InitTableView_Without_KeyValue(m, m->StateIdx(), kPreparedRows);
    QSqlQuery q = NewQuery();
    q.prepare(sql);
    q.bindValue(":INT_LCNO", FTCDV_ID);
    // QueryOpen stands on the first row when there is one.
    if (DM->QueryOpen(q, this)) {
        int rec = 0;
        do {
            if (rec >= m->RecordCount())
                m->AppendRecord();
            for (int c = 0; c + 1 < q.record().count() && c < m->KeyValueIdx(); ++c)
                m->SetValue(rec, c, q.value(c + 1));
            m->SetKeyValue(rec, q.value(0).toString() + ',' + q.value(1).toString());
            m->SetState(rec, RowState::Unchanged);
            ++rec;
        } while (q.next());
    }
    m->EndUpdate();
}

void TfrmTCDV_E_Algorithm::actInitExecute()
{
    if (!FSearched)
        return;
    for (const Algorithm::TParam &p : Algorithm::Params())
        if (p.Default >= 0)
            SetPanelValue(p.Column, p.Default);
    gtvLinkQueue->PostEdit();
    Algorithm::ApplyLinkQueueDefaults(LinkQueueModel(), FTCDV_ID);
    FContolsEdited = true;
    UpdateActions();
}

TRtnBoolStr TfrmTCDV_E_Algorithm::ValidatePanel()
{
    for (const Algorithm::TParam &p : Algorithm::Params()) {
        QGroupBox *box = FChoices.value(p.Column);
        if (box && box->isVisibleTo(this) && PanelValue(p.Column) < 0) {
            box->setFocus();
            return {false, KIT_T(T_CheckRequiredField)};
        }
    }
    return {};
}

TRtnBoolStr TfrmTCDV_E_Algorithm::ValidateDirectionGrid(TGridView *view)
{
    const TGridCheckResult c = Algorithm::CheckDirections(*view->GridModel());
    if (c.Ok)
        return {};
    view->FocusRecord(c.Record, c.Column);
    return {false, c.Problem == TGridCheckResult::Duplicate ? Tx(QStringLiteral("IDS_1"))
                                                           : KIT_T(T_CheckRequiredField)};
}

bool TfrmTCDV_E_Algorithm::actSaveExecute()
{
    gtvLinkQueue->PostEdit();
    gtvSpillBack->PostEdit();
    if (ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveQryMsg), KIT_T(T_SaveQryCaption), QString(), mkQuestion) !=
        mrYes)
        return false;
    for (const TRtnBoolStr &check : {ValidatePanel(), ValidateDirectionGrid(gtvLinkQueue),
                                     ValidateDirectionGrid(gtvSpillBack)}) {
        if (!check.rtn) {
            ShowMsgDlg(this, KitAppTitle(), check.msg, KIT_T(T_ValidationCaption), QString(), mkError);
            return false;
        }
    }
    QSqlDatabase db = DM->Con();
    const bool own = !ConInTransaction(db);
    try {
        if (own && !ConStartTransaction(db))
            throw EGridSaveError(db.lastError().text());
        QHash<QString, int> values;
        for (const Algorithm::TParam &p : Algorithm::Params())
            values.insert(p.Column, qMax(0, PanelValue(p.Column)));
        Algorithm::SavePanel(db, FTCDV_ID, values);
        for (auto [view, table] : {std::pair{gtvLinkQueue, &Algorithm::LinkQueue()},
                                   std::pair{gtvSpillBack, &Algorithm::SpillBack()}}) {
            const TGridModel *m = view->GridModel();
            for (int rec = 0; rec < m->RecordCount(); ++rec)
                if (RowState::IsChanged(m->State(rec)))
                    Algorithm::SaveGridRow(db, *table, FTCDV_ID, m->Row(rec));
        }
        if (own && !ConCommit(db))
            throw EGridSaveError(db.lastError().text());
    } catch (const std::exception &e) {
        if (own)
            ConRollback(db);
        const auto *ge = dynamic_cast<const EGridSaveError *>(&e);
        ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveFailMsg), KIT_T(T_SaveFailCaption),
                   ge ? ge->Message() : QString::fromUtf8(e.what()), mkError);
        UpdateActions();
        return false; // every value and row state stays as the operator left it
    }
    ShowMsgDlg(this, KitAppTitle(), KIT_T(T_SaveSuccessMsg), KIT_T(T_SaveSuccessCaption), QString(),
               mkInformation);
    actSearchExecute();
    return true;
}
