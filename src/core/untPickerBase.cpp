#include "core/untPickerBase.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ActionButton.h"
TfrmPickerBase::TfrmPickerBase(QWidget *owner, const QString &table) : TfrmBase(owner, table)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(640, 480);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    pnlTop = new QWidget(this);
    pnlTop->setObjectName("pnlTop");
    pnlTopLayout = new QHBoxLayout(pnlTop);
    pnlTopLayout->setContentsMargins(5, 5, 5, 5);
    root->addWidget(pnlTop);

    FModel = new TGridModel(this);
    FModel->SetReadOnly(true);
    FGrid = new TGridView(this);
    FGrid->setObjectName("cxGrid");
    FGrid->SetGridModel(FModel);
    FGrid->SetBrowseMode(true);
    FGrid->SetIndicatorVisible(false);
    FGrid->SetFitColumns(true);
    auto *mid = new QWidget(this);
    auto *ml = new QVBoxLayout(mid);
    ml->setContentsMargins(5, 0, 5, 0);
    ml->addWidget(FGrid);
    root->addWidget(mid, 1);

    pnlBottom = new QWidget(this);
    pnlBottom->setObjectName("pnlBottom");
    pnlBottomLayout = new QHBoxLayout(pnlBottom);
    pnlBottomLayout->setContentsMargins(5, 5, 5, 5);
    auto button = [this](QPushButton *&b, const char *name, QAction *a) {
        b = NewActionButton(pnlBottom, name, a);
    };
    button(btnExport, "btnExport", actExport);
    button(btnSelect, "btnSelect", actSelect);
    button(btnClose, "btnClose", actClose);
    pnlBottomLayout->addWidget(btnExport);
    pnlBottomLayout->addStretch(1);
    pnlBottomLayout->addWidget(btnSelect);
    pnlBottomLayout->addWidget(btnClose);
    root->addWidget(pnlBottom);

    FExporter = new TGridController(FGrid, QList<int>{}, QList<int>{}, -1, -1);
    connect(actSelect, &QAction::triggered, this, [this] { actSelectExecute(); });
    connect(actExport, &QAction::triggered, this, [this] { actExportExecute(); });
    connect(FGrid, &TGridView::RecordDoubleClicked, this, [this](int) { actSelect->trigger(); });
    connect(FGrid, &TGridView::EnterPressed, this, [this] { actSelect->trigger(); });
    auto upd = [this] { UpdatePickerActions(); };
    connect(FModel, &TGridModel::RecordsChanged, this, upd);
    connect(FModel, &QAbstractItemModel::modelReset, this, upd);
    connect(FGrid->Proxy(), &QAbstractItemModel::layoutChanged, this, upd);
    connect(FGrid->Proxy(), &QAbstractItemModel::rowsInserted, this, upd);
    connect(FGrid->Proxy(), &QAbstractItemModel::rowsRemoved, this, upd);
    connect(FGrid->Proxy(), &QAbstractItemModel::modelReset, this, upd);
    InitLanguage();
    UpdatePickerActions();
}

void TfrmPickerBase::SetColumns(const TGridColumns &columns)
{
    FModel->SetColumns(columns, false);
    FModel->SetReadOnly(true);
    FGrid->ApplyColumns();
    FGrid->Retranslate(TextTable());
}

int TfrmPickerBase::SelectedRecord() const
{
    return FGrid->FocusedRecord();
}

QVariant TfrmPickerBase::Value(const QString &field) const
{
    const int rec = SelectedRecord();
    if (rec < 0)
        return QVariant();
    return FModel->Value(rec, FModel->ColumnIndex(field));
}

void TfrmPickerBase::actSelectExecute()
{
    done(mrOK);
}

void TfrmPickerBase::actCloseExecute()
{
    if (MayClose())
        done(mrCancel);
}

void TfrmPickerBase::actExportExecute()
{
    FExporter->SaveToExcel();
}

void TfrmPickerBase::UpdatePickerActions()
{
    actExport->setEnabled(FGrid->DisplayCount() > 0);
}

void TfrmPickerBase::Retranslate()
{
    TfrmBase::Retranslate();
    for (auto [b, a] : {std::pair{btnSelect, actSelect}, std::pair{btnExport, actExport},
                        std::pair{btnClose, actClose}})
        if (b)
            b->setText(a->text());
    if (FGrid)
        FGrid->Retranslate(TextTable());
}

QString LikeContains(const QString &text)
{
    QString s;
    s.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == '%' || c == '_' || c == '!')
            s.append('!');
        s.append(c);
    }
    return QLatin1Char('%') + s + QLatin1Char('%');
}

// ---------------------------------------------------------------- filter picker

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>

#include "core/untDM.h"

TfrmFilterPicker::TfrmFilterPicker(QWidget *owner, const QString &table) : TfrmPickerBase(owner, table)
{
    lblSearch = new QLabel(pnlTop);
    lblSearch->setObjectName("lblSearch");
    edtSearch = new QLineEdit(pnlTop);
    edtSearch->setObjectName("edtSearch");
    pnlTopLayout->addWidget(lblSearch);
    pnlTopLayout->addWidget(edtSearch, 1);
    edtSearch->installEventFilter(this);
}

void TfrmFilterPicker::LoadList()
{
    Grid()->Proxy()->SetSearchFilter(QString());
    Model()->BeginUpdate();
    Model()->Clear();
    if (DM) {
        QSqlQuery q(DM->Con());
        q.setForwardOnly(true);
        q.prepare(ListSql());
        if (DM->QueryOpen(q, this)) {
            do {
                QVariantList row;
                for (int c = 0; c < Model()->ColumnCount(); ++c)
                    row << (q.value(c).isNull() ? QVariant() : QVariant(q.value(c).toString()));
                Model()->AddLoaded(row, QVariant());
            } while (q.next());
        }
    }
    Model()->EndUpdate();
    if (Grid()->DisplayCount() > 0)
        Grid()->FocusDisplayRow(0);
}

void TfrmFilterPicker::ApplyFilter()
{
    Grid()->Proxy()->SetSearchFilter(edtSearch->text(), FilterColumns());
    FSearched = true;
    if (Grid()->DisplayCount() > 0)
        Grid()->FocusDisplayRow(0);
}

void TfrmFilterPicker::showEvent(QShowEvent *e)
{
    TfrmPickerBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        LoadList();
        edtSearch->setFocus();
    }
}

bool TfrmFilterPicker::eventFilter(QObject *obj, QEvent *e)
{
    if (obj == edtSearch && e->type() == QEvent::KeyPress) {
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            if (FSearched)
                Grid()->setFocus();
            else
                ApplyFilter();
            return true;
        }
        if (k->key() == Qt::Key_Down) {
            Grid()->setFocus();
            return true;
        }
        FSearched = false;
    }
    return TfrmPickerBase::eventFilter(obj, e);
}

QString NumericOrder(const QString &column)
{
    if (DM && DM->DBInfo().DBType == dtMariaDB)
        return QStringLiteral("CAST(%1 AS SIGNED)").arg(column);
    return QStringLiteral("CAST(%1 AS INT)").arg(column);
}
