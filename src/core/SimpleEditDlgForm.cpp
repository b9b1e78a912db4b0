#include "core/SimpleEditDlgForm.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSqlQuery>
#include <QToolButton>

#include "core/ActionButton.h"
#include "core/KitTexts.h"
#include "core/Quorval.h"
#include "core/untDM.h"

TFormSimpleEditDlg::TFormSimpleEditDlg(QWidget *owner, const QStringList &ACaptions,
                                       const QStringList &AQryString, const QVariant &ASearchValue,
                                       bool viewOnly)
    : TfrmPickerBase(owner), FQryString(AQryString), FSearchValue(ASearchValue), FViewOnly(viewOnly)
{
    resize(420, 480);
    while (FQryString.size() < 4)
        FQryString << QString();
    // The grid's columns: code (1 to 999), name, key as loaded and state.
    Model()->SetColumns({
        TGridColumn("ID", ACaptions.value(1)).W(80).Range(1, 999).Fmt("0.;0.").Req(),
        TGridColumn("NAME", ACaptions.value(2)).W(240).Left().Req(),
        TGridColumn(TGridModel::KeyValueName).Hidden(),
        TGridColumn(TGridModel::StateName).Hidden(),
    });
    Grid()->ApplyColumns();

    btnEditMode = new QToolButton(pnlTop);
    btnEditMode->setObjectName("btnEditMode");
    btnEditMode->setText(QStringLiteral("\u270E"));
    pnlTopLayout->addStretch(1);
    pnlTopLayout->addWidget(btnEditMode);
    btnEditMode->setVisible(!FViewOnly);
    connect(btnEditMode, &QToolButton::clicked, this, [this] { SetEditMode(!FEditMode); });

    auto button = [this](QPushButton *&b, const char *name, QAction *a, int pos) {
        b = NewActionButton(pnlBottom, name, a);
        pnlBottomLayout->insertWidget(pos, b);
    };
    button(btnAdd, "btnAdd", actAdd, 1);
    button(btnDel, "btnDel", actDel, 2);
    button(btnSave, "btnSave", actSave, 5);
    button(btnCancel, "btnCancel", actCancel, 6);

    FCtrl = new TGridController(Grid(), QList<int>{colID}, QList<int>{colID, colName}, colKeyValue,
                                colState);
    FCtrl->SetSearchProc([this] { LoadList(); });
    FCtrl->SetSaveProc([this](const TGridRow &row) { SaveRow(row); });
    FCtrl->AttachActions({.Add = actAdd, .Delete = actDel, .Cancel = actCancel});
    connect(actSave, &QAction::triggered, this, &TFormSimpleEditDlg::actSaveExecute);
    connect(FCtrl, &TGridController::EditedChanged, this, [this](bool e) { actSave->setEnabled(e); });
    actSave->setEnabled(false);
    InitLanguage();
    setWindowTitle(ACaptions.value(0));
    SetEditMode(false);
}

void TFormSimpleEditDlg::SetEditMode(bool edit)
{
    FEditMode = edit && !FViewOnly;
    Grid()->SetBrowseMode(!FEditMode);
    Model()->SetReadOnly(!FEditMode);
    Grid()->SetIndicatorVisible(FEditMode);
    Grid()->setSortingEnabled(!FEditMode);
    Grid()->SetEnterMovesToNextCell(FEditMode);
    btnSelect->setVisible(!FEditMode);
    for (QPushButton *b : {btnCancel, btnSave, btnAdd, btnDel})
        b->setVisible(FEditMode);
    btnExport->setVisible(false);
    btnEditMode->setToolTip(Tx(FEditMode ? QStringLiteral("IDS_SelectMode") : QStringLiteral("IDS_EditMode")));
}

void TFormSimpleEditDlg::LoadList()
{
    FCtrl->BeginLoad();
    if (DM) {
        QSqlQuery q(DM->Con());
        q.setForwardOnly(true);
        q.prepare(FQryString.value(0));
        if (DM->QueryOpen(q, this)) {
            do {
                const int id = q.value(QStringLiteral("ID")).toInt();
                Model()->AddLoaded({id, q.value(QStringLiteral("NAME")).toString()}, QString::number(id));
            } while (q.next());
        }
    }
    FCtrl->EndLoad();
    if (Grid()->DisplayCount() == 0)
        return;
    int rec = -1;
    if (FSearchValue.isValid() && !FSearchValue.isNull())
        rec = Model()->FindText(colID, FSearchValue.toString(), 0, true);
    if (rec >= 0)
        Grid()->FocusRecord(rec);
    else
        Grid()->FocusDisplayRow(0);
}

QStringList TFormSimpleEditDlg::SelectedValue() const
{
    const int rec = SelectedRecord();
    if (rec < 0)
        return {QString(), QString()};
    return {Model()->Text(rec, colID), Model()->Text(rec, colName)};
}

void TFormSimpleEditDlg::actSelectExecute()
{
    if (FEditMode)
        return; // double click and Enter choose only in selection mode
    if (SelectedRecord() < 0) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_SelectData")),
                   KIT_T(T_DialogCaption), QString(), mkInformation);
        return;
    }
    done(mrOK);
}

void TFormSimpleEditDlg::SaveRow(const TGridRow &row)
{
    QSqlDatabase db = FCtrl->Connection();
    const QVariant id = row["ID"].toInt();
    const QString name = row.Text("NAME");
    switch (row.State) {
    case TRowState::Inserted:
        ExecSqlOrThrow(db, FQryString.value(1), {{":ID", id}, {":NAME", name}});
        break;
    case TRowState::Modified:
        ExecSqlOrThrow(db, FQryString.value(2), {{":ID", id}, {":NAME", name}, {":KEY_ID", row.KeyValue}});
        break;
    case TRowState::Deleted:
        ExecSqlOrThrow(db, FQryString.value(3), {{":KEY_ID", row.KeyValue}});
        break;
    case TRowState::Unchanged:
        break;
    }
}

bool TFormSimpleEditDlg::actSaveExecute()
{
    return FCtrl->Save(true, true);
}

bool TFormSimpleEditDlg::CanClose()
{
    return FCtrl->ConfirmDiscard();
}

void TFormSimpleEditDlg::showEvent(QShowEvent *e)
{
    TfrmPickerBase::showEvent(e);
    if (!FShown) {
        FShown = true;
        LoadList();
        Grid()->setFocus();
    }
}

void TFormSimpleEditDlg::Retranslate()
{
    TfrmPickerBase::Retranslate();
    for (auto [b, a] : {std::pair{btnAdd, actAdd}, std::pair{btnDel, actDel},
                        std::pair{btnSave, actSave}, std::pair{btnCancel, actCancel}})
        if (b)
            b->setText(a->text());
    if (btnEditMode)
        btnEditMode->setToolTip(Tx(FEditMode ? QStringLiteral("IDS_SelectMode") : QStringLiteral("IDS_EditMode")));
}
