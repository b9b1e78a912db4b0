#include "intersection/untVMSMsgPlan.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QSqlQuery>
#include <QVBoxLayout>

#include "core/KitTexts.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/untDM.h"
#include "intersection/VmsRules.h"

namespace {

const QStringList kMsgValues{"MSG_DIRECTION", "MSG_TYPE", "MSG_DISPTIME", "MSG_FONT", "MSG_TEXTCOLOR",
                             "MSG_BACKCOLOR", "MSG_BLINK", "MSG_FUNCTYPE", "MSG_DISPMODE", "MSG_APPEARTYPE",
                             "MSG_APPEARSPEED", "MSG_DISAPPEARTYPE", "MSG_DISAPPEARSPEED"};
const QStringList kSchdValues{"INT_MSGMONTH", "INT_MSGDAY", "INT_MSGWKD", "INT_STARTHOUR", "INT_STARTMIN",
                              "INT_ENDHOUR", "INT_ENDMIN", "INT_BRIGHT", "INT_DIRECTION", "INT_TYPE"};

// Column -> shared edit item whose value list it shows.
const QList<QPair<QString, QString>> kChoices{
    {"MSG_DIRECTION", "eriImageComboBoxItemMsgDirection"},
    {"MSG_TYPE", "eriImageComboBoxItemMsgType"},
    {"MSG_FONT", "eriImageComboBoxItemFont"},
    {"MSG_TEXTCOLOR", "eriImageComboBoxItemColor"},
    {"MSG_BACKCOLOR", "eriImageComboBoxItemColor"},
    {"MSG_BLINK", "eriImageComboBoxItemBlink"},
    {"MSG_FUNCTYPE", "eriImageComboBoxItemFuncType"},
    {"MSG_DISPMODE", "eriImageComboBoxItemDispMode"},
    {"MSG_APPEARTYPE", "eriImageComboBoxItemAppearType"},
    {"MSG_DISAPPEARTYPE", "eriImageComboBoxItemDisappearType"},
    {"INT_MSGWKD", "eriImageComboBoxItemWeek"},
    {"INT_DIRECTION", "eriImageComboBoxItemSchdDirection"},
    {"INT_TYPE", "eriImageComboBoxItemSchdType"},
};

QVariant IntOrZero(const QVariant &v)
{
    return v.isNull() || v.toString().isEmpty() ? 0 : v.toInt();
}

QString Assignments(const QStringList &cols)
{
    QStringList l;
    for (const QString &c : cols)
        l << c + " = :" + c;
    return l.join(", ");
}

// The statement of one changed row of a VMS table (key columns INT_LCNO and `index`).
void SaveVmsRow(QSqlDatabase db, const QString &table, const QString &index, const QStringList &cols,
                int lcNo, const TGridRow &row, const QString &textCol = QString())
{
    const QStringList key = row.KeyParts();
    QVariantMap values{{":INT_LCNO", lcNo},
                       {":KEY_INT_LCNO", key.value(0)},
                       {":KEY_" + index, key.value(1)},
                       {":" + index, IntOrZero(row[index])}};
    QStringList all{index};
    if (!textCol.isEmpty()) {
        all << textCol;
        values[":" + textCol] = row.Text(textCol);
    }
    for (const QString &c : cols)
        values[":" + c] = IntOrZero(row[c]);
    all << cols;
    QString sql;
    switch (row.State) {
    case TRowState::Inserted:
        sql = "INSERT INTO " + table + " (INT_LCNO, " + all.join(", ") + ") VALUES (:INT_LCNO, :" +
              all.join(", :") + ")";
        values.remove(":KEY_INT_LCNO");
        values.remove(":KEY_" + index);
        break;
    case TRowState::Modified:
        sql = "UPDATE " + table + " SET " + Assignments(all) + " WHERE INT_LCNO = :KEY_INT_LCNO AND " + index +
              " = :KEY_" + index;
        values.remove(":INT_LCNO");
        break;
    case TRowState::Deleted:
        sql = "DELETE FROM " + table + " WHERE INT_LCNO = :KEY_INT_LCNO AND " + index + " = :KEY_" + index;
        values = {{":KEY_INT_LCNO", key.value(0)}, {":KEY_" + index, key.value(1)}};
        break;
    case TRowState::Unchanged:
        return;
    }
    ExecSqlOrThrow(db, sql, values);
}

QVariant LoadedKey(const QSqlQuery &r)
{
    return QVariant(r.value(0).toString() + ',' + r.value(1).toString());
}

QPushButton *Button(QWidget *parent, QHBoxLayout *layout, const QString &name, QAction *action)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
    auto sync = [b, action] {
        b->setText(action->text());
        b->setEnabled(action->isEnabled());
    };
    QObject::connect(action, &QAction::changed, b, sync);
    sync();
    layout->addWidget(b);
    return b;
}

} // namespace

TfrmVMSMsgPlan::TfrmVMSMsgPlan(QWidget *owner) : TfrmBaseGrid(owner)
{
    resize(1100, 700);
    AddTCDVBox(lblTCDV, edtTCDV, lblTCDV_NAME);

    gtvMsg = cxGrid;
    gtvMsg->setObjectName("gtvMsg");
    SetGridColumns({
        TGridColumn("MSG_INDEX").Key("gtvMsgNo.Caption").W(50).Range(1, Vms::MaxMessages).Req(),
        TGridColumn("MSG_MESSAGE").Key("gtvMsgMessage.Caption").W(240).Left(),
        TGridColumn("MSG_DIRECTION").Key("gtvMsgDirection.Caption").W(70),
        TGridColumn("MSG_TYPE").Key("gtvMsgType.Caption").W(70),
        TGridColumn("MSG_DISPTIME").Key("gtvMsgDisplayTime.Caption").W(70).Range(0, 255),
        TGridColumn("MSG_FONT").Key("gtvMsgFont.Caption").W(60),
        TGridColumn("MSG_TEXTCOLOR").Key("gtvMsgTextColor.Caption").W(70),
        TGridColumn("MSG_BACKCOLOR").Key("gtvMsgBackgroundColor.Caption").W(80),
        TGridColumn("MSG_BLINK").Key("gtvMsgBlink.Caption").W(70),
        TGridColumn("MSG_FUNCTYPE").Key("gtvMsgDisplayType.Caption").W(70),
        TGridColumn("MSG_DISPMODE").Key("gtvMsgDisplayMode.Caption").W(160),
        TGridColumn("MSG_APPEARTYPE").Key("gtvMsgAppearType.Caption").W(70),
        TGridColumn("MSG_APPEARSPEED").Key("gtvMsgAppearSpeed.Caption").W(70).Range(0, 255),
        TGridColumn("MSG_DISAPPEARTYPE").Key("gtvMsgDisappearType.Caption").W(80),
        TGridColumn("MSG_DISAPPEARSPEED").Key("gtvMsgDisappearSpeed.Caption").W(80).Range(0, 255),
    }, {"MSG_INDEX"});
    // Numbers are not compared between rows: only the database key refuses a repeated one.
    GridModel()->SetPrimaryKeyIdx({});

    // The schedule grid with its own actions (Tag 1) and controller.
    gtvSchd = new TGridView(pnlClient);
    gtvSchd->setObjectName("gtvSchd");
    auto *schdModel = new TGridModel(this);
    schdModel->SetColumns({
        TGridColumn("INT_MSGINDEX").Key("gtvSchdNo.Caption").W(50).Range(1, Vms::MaxSchedules).Req(),
        TGridColumn("INT_MSGMONTH").Key("gtvSchdMonth.Caption").W(50).Range(0, 12).Fmt("#."),
        TGridColumn("INT_MSGDAY").Key("gtvSchdDay.Caption").W(50).Range(0, 31).Fmt("#."),
        TGridColumn("INT_MSGWKD").Key("gtvSchdDayofWeek.Caption").W(160),
        TGridColumn("INT_STARTHOUR").Key("gtvSchdStartHour.Caption").W(70).Range(0, 23),
        TGridColumn("INT_STARTMIN").Key("gtvSchdStartMinute.Caption").W(70).Range(0, 59),
        TGridColumn("INT_ENDHOUR").Key("gtvSchdEndHour.Caption").W(70).Range(0, 23),
        TGridColumn("INT_ENDMIN").Key("gtvSchdEndMinute.Caption").W(70).Range(0, 59),
        TGridColumn("INT_BRIGHT").Key("gtvSchdBright.Caption").W(60).Range(0, 255),
        TGridColumn("INT_DIRECTION").Key("gtvSchdServiceDirection.Caption").W(90),
        TGridColumn("INT_TYPE").Key("gtvSchdServiceType.Caption").W(120),
    });
    gtvSchd->SetGridModel(schdModel);
    FSchd = new TGridController(gtvSchd, this);
    FSchd->SetSearchProc([this] { SearchSchedules(); });
    FSchd->SetSaveProc([this](const TGridRow &row) { SaveSchedule(row); });
    FSchd->SetValidateProc([this](bool dup) { return Validate(gtvSchd, dup); });
    auto action = [this](const char *name) {
        auto *a = new QAction(this);
        a->setObjectName(name);
        a->setProperty("Tag", 1);
        return a;
    };
    actSearch1 = action("actSearch1");
    actAdd1 = action("actAdd1");
    actDel1 = action("actDel1");
    actSave1 = action("actSave1");
    actExport1 = action("actExport1");
    FSchd->AttachActions({.Search = actSearch1, .Add = nullptr, .Delete = actDel1, .Save = actSave1,
                          .Export = actExport1});
    connect(actAdd1, &QAction::triggered, this, [this] { AddRow(1); });
    actAdd1->setEnabled(false);

    // Messages above, schedules below, 55 to 45.
    auto *cl = static_cast<QVBoxLayout *>(pnlClient->layout());
    cl->removeWidget(gtvMsg);
    auto *split = new QSplitter(Qt::Vertical, pnlClient);
    auto *msgBox = new QWidget(split);
    auto *ml = new QVBoxLayout(msgBox);
    ml->setContentsMargins(0, 0, 0, 0);
    lblMsg = new QLabel(msgBox);
    ml->addWidget(lblMsg);
    gtvMsg->setParent(msgBox);
    ml->addWidget(gtvMsg);
    auto *schdBox = new QWidget(split);
    auto *sl = new QVBoxLayout(schdBox);
    sl->setContentsMargins(0, 0, 0, 0);
    lblSchd = new QLabel(schdBox);
    sl->addWidget(lblSchd);
    sl->addWidget(gtvSchd);
    auto *bar = new QHBoxLayout;
    bar->addStretch(1);
    Button(schdBox, bar, "btnSearch1", actSearch1);
    Button(schdBox, bar, "btnAdd1", actAdd1);
    Button(schdBox, bar, "btnDel1", actDel1);
    Button(schdBox, bar, "btnSave1", actSave1);
    Button(schdBox, bar, "btnExport1", actExport1);
    sl->addLayout(bar);
    split->addWidget(msgBox);
    split->addWidget(schdBox);
    split->setStretchFactor(0, 55);
    split->setStretchFactor(1, 45);
    cl->addWidget(split);
    // Each grid fits its columns to the window only while the window is as wide
    // as their designed widths, and scrolls otherwise.
    SetGridColumnWidth(gtvMsg->DeclaredWidth());
    FSchdColumnWidth = gtvSchd->DeclaredWidth();
    FSchd->SetGridColumnWidth(FSchdColumnWidth);
    connect(this, &QWidget::windowTitleChanged, this, [this] { NameExports(); });
    InitLanguage();
}

// The workbook of a grid is proposed as the window caption with the grid's caption
// in brackets.
void TfrmVMSMsgPlan::NameExports()
{
    // The grid kit's export proposes a grid's "ExportFileName" when it is set.
    gtvMsg->setProperty("ExportFileName", windowTitle() + '(' + lblMsg->text() + ')');
    gtvSchd->setProperty("ExportFileName", windowTitle() + '(' + lblSchd->text() + ')');
}

void TfrmVMSMsgPlan::resizeEvent(QResizeEvent *e)
{
    TfrmBaseGrid::resizeEvent(e);
    if (FSchdColumnWidth > 0)
        gtvSchd->SetFitColumns(width() >= FSchdColumnWidth);
}

void TfrmVMSMsgPlan::Retranslate()
{
    TfrmBaseGrid::Retranslate();
    setWindowTitle(Tx(QStringLiteral("Caption")));
    lblTCDV->setText(Tx(QStringLiteral("lblTCDV.Caption")));
    lblMsg->setText(Tx(QStringLiteral("grpMsg.Caption")));
    lblSchd->setText(Tx(QStringLiteral("grpSchd.Caption")));
    actSearch1->setText(actSearch->text());
    actAdd1->setText(actAdd->text());
    actDel1->setText(actDel->text());
    actSave1->setText(actSave->text());
    actExport1->setText(actExport->text());
    gtvSchd->Retranslate(TextTable());
    NameExports();
    for (TGridModel *m : {MsgModel(), SchdModel()}) {
        if (!m)
            continue;
        for (int c = 0; c < m->ColumnCount(); ++c) {
            const TGridColumn &col = m->Column(c);
            for (const auto &[name, item] : kChoices)
                if (name == col.Name)
                    m->ColumnRef(c).Items = Vms::Choices(item);
        }
    }
}

void TfrmVMSMsgPlan::SetTCDV_ID(int Value)
{
    TfrmBaseGrid::SetTCDV_ID(Value);
    if (Searched()) {
        FSchd->SetSearched(true);
        SearchSchedules();
    } else {
        SchdModel()->Clear();
        FSchd->SetSearched(false);
        FSchd->SetEdited(false);
    }
    FSchd->UpdateActions();
    actAdd1->setEnabled(FSchd->Searched());
}

bool TfrmVMSMsgPlan::CanClose()
{
    return TfrmBaseGrid::CanClose() && FSchd->ConfirmDiscard();
}

void TfrmVMSMsgPlan::Load()
{
    QSqlQuery q = NewQuery();
    q.prepare("SELECT INT_LCNO, MSG_INDEX, MSG_MESSAGE, " + kMsgValues.join(", ") +
              " FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = :INT_LCNO ORDER BY MSG_INDEX");
    q.bindValue(":INT_LCNO", TCDV_ID());
    if (DM->QueryOpen(q, this))
        GridModel()->LoadQuery(q, QString(), LoadedKey);
}

void TfrmVMSMsgPlan::SearchSchedules()
{
    FSchd->BeginLoad();
    QSqlQuery q = NewQuery();
    q.prepare("SELECT INT_LCNO, INT_MSGINDEX, " + kSchdValues.join(", ") +
              " FROM SCS_M_VMSSCHEDULE WHERE INT_LCNO = :INT_LCNO ORDER BY INT_MSGINDEX");
    q.bindValue(":INT_LCNO", TCDV_ID());
    if (LcExists(TCDV_ID()) && DM->QueryOpen(q, this))
        SchdModel()->LoadQuery(q, QString(), LoadedKey);
    FSchd->EndLoad();
}

void TfrmVMSMsgPlan::SaveRow(const TGridRow &row)
{
    SaveVmsRow(Controller()->Connection(), "SCS_M_VMSMESSAGE", "MSG_INDEX", kMsgValues, TCDV_ID(), row,
               "MSG_MESSAGE");
}

void TfrmVMSMsgPlan::SaveSchedule(const TGridRow &row)
{
    SaveVmsRow(FSchd->Connection(), "SCS_M_VMSSCHEDULE", "INT_MSGINDEX", kSchdValues, TCDV_ID(), row);
}

TRtnBoolStr TfrmVMSMsgPlan::Validate(TGridView *TableView, bool DuplicationCheck)
{
    TRtnBoolStr r = TfrmBaseGrid::Validate(TableView, DuplicationCheck);
    if (!r.rtn || TableView != gtvMsg)
        return r;
    TGridModel *m = MsgModel();
    const int col = m->ColumnIndex("MSG_MESSAGE");
    for (int rec = 0; rec < m->RecordCount(); ++rec) {
        const TRowState s = RowStateFromLetter(m->State(rec));
        if ((s == TRowState::Inserted || s == TRowState::Modified) && !Vms::TextFits(m->Text(rec, col))) {
            gtvMsg->FocusRecord(rec, col);
            return {false, Tx(QStringLiteral("IDS_3"))};
        }
    }
    return r;
}

void TfrmVMSMsgPlan::actAddExecute()
{
    AddRow(0);
}

// A new row numbered by its position, unless the grid holds its maximum.
void TfrmVMSMsgPlan::AddRow(int grid)
{
    TGridView *view = grid == 0 ? gtvMsg : gtvSchd;
    TGridModel *m = view->GridModel();
    if ((grid == 0 ? Searched() : FSchd->Searched()) == false)
        return;
    view->PostEdit();
    if (m->RecordCount() >= Vms::MaxRows(grid)) {
        ShowMsgDlg(this, KitAppTitle(), Tx(QStringLiteral("IDS_1")), Tx(QStringLiteral("IDS_2")), QString(),
                   mkInformation);
        return;
    }
    const int rec = m->AppendRecord();
    m->EditValue(rec, 0, rec + 1);
    view->FocusRecord(rec);
    if (grid == 0)
        UpdateActions();
    else
        FSchd->UpdateActions();
}
