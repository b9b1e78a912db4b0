// The save protocol against the database: the statements each row state issues,
// one transaction for all rows, rollback with the edits kept, boxes, reload and
// refocus; the base grid window with its number boxes and pickers; the code-table
// and lookup dialogs.
#include <QHBoxLayout>
#include <QToolButton>
#include <QPushButton>
#include <QApplication>
#include <QLineEdit>
#include <QLabel>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include "core/AutoFindDialogUnit.h"
#include "CoreKitSupport.h"
#include "core/FileDialogService.h"
#include "core/GridControllerUnit.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/SimpleEditDlgForm.h"
#include "core/untBaseGrid.h"
#include "core/untSA_S.h"

namespace {

const char *const kDb = "tst_corekit_save";

QString Table(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        return q.lastError().text();
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + ':' + q.value(1).toString();
    return rows.join(',');
}

int Count(QSqlDatabase db, const QString &sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
}

// An editor of KIT_T as later editors write one: columns, a search, a save procedure.
struct TKitEditor
{
    TGridModel model;
    TGridView view;
    TGridController *ctrl = nullptr;
    QStringList sql;  // statements issued, with their values
    int searches = 0;

    TKitEditor()
    {
        model.SetColumns({TGridColumn("ID", "번호").Req(), TGridColumn("NAME", "이름").Req()});
        view.SetGridModel(&model);
        ctrl = new TGridController(&view, QStringList{"ID"});
        ctrl->SetSearchProc([this] { Search(); });
        ctrl->SetSaveProc([this](const TGridRow &row) {
                              const QVariantList v{row["ID"], row["NAME"]};
                              const QString key = row.KeyValue;
                              const QString state = RowStateLetter(row.State);
                              QSqlDatabase db = DM->Con();
                              if (state == "I") {
                                  sql << QString("INSERT %1 %2").arg(v[0].toString(), v[1].toString());
                                  ExecSqlOrThrow(db, "INSERT INTO KIT_T (ID, NAME) VALUES (:ID, :NAME)",
                                                 {{":ID", v[0]}, {":NAME", v[1]}});
                              } else if (state == "M") {
                                  sql << QString("UPDATE %1 %2 WHERE %3").arg(v[0].toString(), v[1].toString(), key);
                                  ExecSqlOrThrow(db, "UPDATE KIT_T SET ID = :ID, NAME = :NAME WHERE ID = :KEY",
                                                 {{":ID", v[0]}, {":NAME", v[1]}, {":KEY", key}});
                              } else if (state == "D") {
                                  sql << QString("DELETE WHERE %1").arg(key);
                                  ExecSqlOrThrow(db, "DELETE FROM KIT_T WHERE ID = :KEY", {{":KEY", key}});
                              }
                          });
        Search();
    }
    void Search()
    {
        ++searches;
        ctrl->BeginLoad();
        QSqlQuery q(DM->Con());
        q.prepare("SELECT ID, NAME FROM KIT_T ORDER BY ID");
        if (DM->QueryOpen(q))
            model.LoadQuery(q, "ID");
        ctrl->EndLoad();
    }
    void Apply(const QStringList &ops)
    {
        for (const QString &op : ops) {
            const QStringList p = op.split(' ');
            if (p[0] == "A") {
                ctrl->AppendRecord();
            } else if (p[0] == "E") {
                const int rec = p[1].toInt(), col = p[2].toInt();
                const QModelIndex idx = view.model()->index(view.DisplayOfRecord(rec), col);
                QVERIFY(view.model()->setData(idx, p.mid(3).join(' ')));
            } else if (p[0] == "D") {
                view.FocusRecord(p[1].toInt());
                ctrl->DeleteRecord();
            }
        }
    }
    QStringList States() const
    {
        QStringList s;
        for (int r = 0; r < model.RecordCount(); ++r)
            s << model.State(r);
        return s;
    }
};

// A grid editor of the base window: the intersections of one group, names editable.
class TKitGroupEditor : public TfrmBaseGrid
{
public:
    QLineEdit *edtSA = nullptr;
    QLabel *lblSAName = nullptr;
    TGridModel *model = nullptr;
    int searches = 0;

    TKitGroupEditor()
    {
        edtSA = new QLineEdit(pnlTop);
        edtSA->setObjectName("edtSA");
        lblSAName = new QLabel(pnlTop);
        pnlTopLayout->addWidget(edtSA);
        pnlTopLayout->addWidget(lblSAName);
        // Names must differ (for the checks).
        model = SetGridColumns({TGridColumn("INT_LCNO", "LC번호").RO(), TGridColumn("INT_NAME", "교차로명").Req()},
                               {"INT_NAME"});
        AttachSAEdit(edtSA, lblSAName);
    }

protected:
    void Load() override
    {
        ++searches;
        QSqlQuery q(DM->Con());
        q.prepare("SELECT INT_LCNO, INT_NAME FROM SCS_M_INTLC WHERE INT_SANO = :SA ORDER BY INT_LCNO");
        q.bindValue(":SA", SA_ID());
        if (DM->QueryOpen(q))
            model->LoadQuery(q, "INT_LCNO");
    }
    void SaveRow(const TGridRow &row) override
    {
        ExecSqlOrThrow(DM->Con(), "UPDATE SCS_M_INTLC SET INT_NAME = :N WHERE INT_LCNO = :K",
                       {{":N", row["INT_NAME"]}, {":K", row.KeyValue}});
    }
};

// Runs `fn` on the next modal dialog that opens.
template <class F>
void OnNextModal(F fn)
{
    QTimer::singleShot(0, [fn] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w) {
            QTimer::singleShot(20, [fn] { fn(QApplication::activeModalWidget()); });
            return;
        }
        fn(w);
    });
}

} // namespace

class TestCoreKitSave : public QObject
{
    Q_OBJECT
    std::unique_ptr<CoreKit::TDataModule> FDm;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
        QString err;
        QVERIFY2(TestDb::runScript(kDb,
                                   "CREATE TABLE KIT_T (ID INT NOT NULL PRIMARY KEY, NAME VARCHAR(50) NOT NULL) ENGINE=InnoDB;"
                                   "CREATE TABLE KIT_CODE (CODE_ID INT NOT NULL PRIMARY KEY, CODE_NAME VARCHAR(50)) ENGINE=InnoDB;",
                                   &err),
                 qPrintable(err));
        FDm = std::make_unique<CoreKit::TDataModule>(kDb);
        QVERIFY(FDm->ok);
    }
    void init()
    {
        QString err;
        QVERIFY2(TestDb::runScript(kDb,
                                   "DELETE FROM KIT_T; INSERT INTO KIT_T VALUES (1,'가'),(2,'나'),(3,'다');"
                                   "DELETE FROM KIT_CODE; INSERT INTO KIT_CODE VALUES (1,'일'),(2,'이'),(3,'삼'),(4,'사');",
                                   &err),
                 qPrintable(err));
    }
    void cleanupTestCase() { FDm.reset(); }

    // --- row states and the statements they issue ------------------------------------

    void rowStatesAndStatements_data()
    {
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("table");
        QTest::newRow("insert") << QStringList{"A", "E 3 0 4", "E 3 1 라"} << QStringList{"N", "N", "N", "I"}
                                << QStringList{"INSERT 4 라"} << "1:가,2:나,3:다,4:라";
        QTest::newRow("edit") << QStringList{"E 1 1 나나"} << QStringList{"N", "M", "N"}
                              << QStringList{"UPDATE 2 나나 WHERE 2"} << "1:가,2:나나,3:다";
        QTest::newRow("edit of the key") << QStringList{"E 1 0 20"} << QStringList{"N", "M", "N"}
                                         << QStringList{"UPDATE 20 나 WHERE 2"} << "1:가,3:다,20:나";
        QTest::newRow("edit of an inserted row")
            << QStringList{"A", "E 3 0 4", "E 3 1 라", "E 3 1 마"} << QStringList{"N", "N", "N", "I"}
            << QStringList{"INSERT 4 마"} << "1:가,2:나,3:다,4:마";
        QTest::newRow("delete of an inserted row") << QStringList{"A", "E 3 0 4", "D 3"}
                                                   << QStringList{"N", "N", "N"} << QStringList{}
                                                   << "1:가,2:나,3:다";
        QTest::newRow("delete") << QStringList{"D 0"} << QStringList{"D", "N", "N"}
                                << QStringList{"DELETE WHERE 1"} << "2:나,3:다";
        QTest::newRow("edit, then delete") << QStringList{"E 2 1 x", "D 2"} << QStringList{"N", "N", "D"}
                                           << QStringList{"DELETE WHERE 3"} << "1:가,2:나";
        QTest::newRow("delete, then edit") << QStringList{"D 2", "E 2 1 x"} << QStringList{"N", "N", "D"}
                                           << QStringList{"DELETE WHERE 3"} << "1:가,2:나";
        QTest::newRow("appended, never edited") << QStringList{"A"} << QStringList{"N", "N", "N", ""}
                                                << QStringList{} << "1:가,2:나,3:다";
        QTest::newRow("record order, not display order")
            << QStringList{"E 2 1 다다", "D 0", "A", "E 3 0 9", "E 3 1 자"} << QStringList{"D", "N", "M", "I"}
            << QStringList{"DELETE WHERE 1", "UPDATE 3 다다 WHERE 3", "INSERT 9 자"} << "2:나,3:다다,9:자";
    }
    void rowStatesAndStatements()
    {
        QFETCH(QStringList, ops);
        QFETCH(QStringList, states);
        QFETCH(QStringList, statements);
        QFETCH(QString, table);
        ScriptedMsgDlg boxes;
        boxes.enqueue(mrYes);
        TKitEditor e;
        e.view.sortByColumn(1, Qt::DescendingOrder);
        e.Apply(ops);
        QCOMPARE(e.States(), states);
        const int searchesBefore = e.searches;
        QVERIFY(e.ctrl->Save());
        QCOMPARE(e.sql, statements);
        QCOMPARE(Table(DM->Con(), "SELECT ID, NAME FROM KIT_T ORDER BY ID"), table);
        QVERIFY(!ConInTransaction(DM->Con()));
        // Reloaded: every row unchanged again.
        QCOMPARE(e.searches, searchesBefore + 1);
        for (const QString &s : e.States())
            QCOMPARE(s, QString("N"));
        // The success box only when a row was passed on.
        const bool info = boxes.count() == 2 && boxes.last().text == "저장되었습니다.";
        QCOMPARE(info, !statements.isEmpty());
    }

    void failedSaveRollsBackAndKeepsEdits()
    {
        ScriptedMsgDlg boxes;
        TKitEditor e;
        // Five new rows; the third repeats the key of a stored row.
        const QList<int> ids{10, 11, 1, 13, 14};
        for (int id : ids) {
            e.Apply({"A"});
            const int rec = e.model.RecordCount() - 1;
            e.Apply({QString("E %1 0 %2").arg(rec).arg(id), QString("E %1 1 새%2").arg(rec).arg(id)});
        }
        e.view.FocusRecord(0);
        const int searches = e.searches;
        QVERIFY(!e.ctrl->SaveToDB([&](const TGridRow &r) {
            e.sql << r.Text("ID");
            ExecSqlOrThrow(DM->Con(), "INSERT INTO KIT_T (ID, NAME) VALUES (:ID, :NAME)",
                           {{":ID", r["ID"]}, {":NAME", r["NAME"]}});
        }));
        QCOMPARE(e.sql, QStringList({"10", "11", "1"})); // the first two ran before the failure
        QCOMPARE(Table(DM->Con(), "SELECT ID, NAME FROM KIT_T ORDER BY ID"), QString("1:가,2:나,3:다"));
        QVERIFY(!ConInTransaction(DM->Con()));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
        QCOMPARE(boxes.last().caption, QString("저장 실패"));
        QVERIFY2(boxes.last().detail.contains("Duplicate"), qPrintable(boxes.last().detail));
        // Not reloaded: all five edits and their states are still in the grid.
        QCOMPARE(e.searches, searches);
        QCOMPARE(e.States(), QStringList({"N", "N", "N", "I", "I", "I", "I", "I"}));
        for (int i = 0; i < ids.size(); ++i) {
            QCOMPARE(e.model.Value(3 + i, 0).toString(), QString::number(ids[i]));
            QCOMPARE(e.model.Value(3 + i, 1).toString(), QString("새%1").arg(ids[i]));
        }
        QCOMPARE(e.view.FocusedRecord(), 5); // the row that failed
        QVERIFY(e.ctrl->Edited());
        // Corrected, the same grid saves.
        e.Apply({"E 5 0 12"});
        boxes.clear();
        e.sql.clear();
        QVERIFY(e.ctrl->SaveToDB([&](const TGridRow &r) {
            ExecSqlOrThrow(DM->Con(), "INSERT INTO KIT_T (ID, NAME) VALUES (:ID, :NAME)",
                           {{":ID", r["ID"]}, {":NAME", r["NAME"]}});
        }));
        QCOMPARE(Count(DM->Con(), "SELECT COUNT(*) FROM KIT_T"), 8);
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(boxes.last().caption, QString("저장 성공"));
        QCOMPARE(e.model.ChangedCount(), 0);
    }

    void modifiedRowWithoutKeyAbortsTheSave()
    {
        ScriptedMsgDlg boxes;
        TKitEditor e;
        e.Apply({"E 0 1 바뀜"});
        e.model.SetKeyValue(0, QVariant());  // a broken row: modified without key as loaded
        e.Apply({"E 1 1 나나"});
        QVERIFY(!e.ctrl->Save(false, false));
        QCOMPARE(Table(DM->Con(), "SELECT ID, NAME FROM KIT_T ORDER BY ID"), QString("1:가,2:나,3:다"));
        QCOMPARE(boxes.last().caption, QString("저장 실패"));
        QCOMPARE(e.States(), QStringList({"M", "M", "N"}));
    }

    void saveWithoutChangesStillReloads()
    {
        ScriptedMsgDlg boxes;
        TKitEditor e;
        const int searches = e.searches;
        QVERIFY(e.ctrl->Save(false, true));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(e.searches, searches + 1);
    }

    void refocusAfterSave()
    {
        ScriptedMsgDlg boxes;
        TKitEditor e;
        e.Apply({"E 1 1 나나"});
        e.view.FocusRecord(2);
        QVERIFY(e.ctrl->Save(false));
        QCOMPARE(e.model.KeyValue(e.view.FocusedRecord()).toString(), QString("2")); // the saved row
        // An inserted row has no key as loaded: the former position, kept within the rows.
        e.Apply({"D 0", "D 1", "D 2"});
        e.view.FocusRecord(2);
        QVERIFY(e.ctrl->Save(false));
        QCOMPARE(e.model.RecordCount(), 0);
        e.Apply({"A", "E 0 0 7", "E 0 1 칠"});
        e.view.FocusRecord(0);
        QVERIFY(e.ctrl->Save(false));
        QCOMPARE(e.view.FocusedRecord(), 0);
    }

    // --- the base grid window ------------------------------------------------------------

    void baseGridNumberBoxAndSave()
    {
        ScriptedMsgDlg boxes;
        TKitGroupEditor w;
        w.show();
        QVERIFY(!w.actSave->isEnabled());
        QVERIFY(!w.actAdd->isEnabled()); // nothing searched yet
        QTest::keyClicks(w.edtSA, "2");
        QCOMPARE(w.SA_ID(), 2);
        QVERIFY(w.Searched());
        const int members = Count(DM->Con(), "SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_SANO = 2");
        QVERIFY(members > 0);
        QCOMPARE(w.model->RecordCount(), members);
        QVERIFY(w.actExport->isEnabled());
        QTest::keyClicks(w.edtSA, "x");      // a letter does nothing
        QCOMPARE(w.edtSA->text(), QString("2"));
        QTest::keyClick(w.edtSA, Qt::Key_Up);
        QCOMPARE(w.SA_ID(), 3);
        QCOMPARE(w.edtSA->text(), QString("3"));
        QTest::keyClick(w.edtSA, Qt::Key_Down);
        QCOMPARE(w.SA_ID(), 2);
        w.edtSA->setText("1");
        QTest::keyClick(w.edtSA, Qt::Key_Down); // 0 is not above 0: nothing applied
        QCOMPARE(w.edtSA->text(), QString("1"));
        w.edtSA->clear();
        QTest::keyClicks(w.edtSA, "0");
        QVERIFY(!w.Searched());
        QCOMPARE(w.model->RecordCount(), 0);
        QVERIFY(!w.actAdd->isEnabled());
        QCOMPARE(w.lblSAName->text(), QString("없음"));

        // The group picker behind the box's button.
        OnNextModal([](QWidget *dlg) {
            auto *p = qobject_cast<TfrmSA_S *>(dlg);
            QVERIFY(p);
            QCOMPARE(p->windowTitle(), QString("그룹 목록"));
            p->Grid()->FocusDisplayRow(2);
            p->actSelect->trigger();
        });
        w.edtSAButtonClick();
        QCOMPARE(w.SA_ID(), 3);
        QCOMPARE(w.edtSA->text(), QString("3"));

        // Two rows with one name: the duplicate check of the key column.
        const int rec0 = 0, rec1 = 1;
        const QString other = w.model->Text(rec1, 1);
        w.model->EditValue(rec0, 1, other);
        QVERIFY(w.Edited());
        QVERIFY(w.actSave->isEnabled());
        QVERIFY(!w.actExport->isEnabled());
        boxes.clear();
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.last().text, QString("중복된 데이터가 존재합니다."));
        QCOMPARE(w.Duplicate(w.cxGrid, 1).rtn, false);
        // Refused confirmation: nothing checked, nothing written.
        boxes.clear();
        boxes.enqueue(mrNo);
        w.actSave->trigger();
        QCOMPARE(boxes.count(), 1);
        // A proper name saves in one transaction and reloads.
        w.model->EditValue(rec0, 1, "새 이름");
        const int lc = w.model->Value(rec0, 0).toInt();
        boxes.clear();
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(GetLcName(lc), QString("새 이름"));
        QVERIFY(!w.Edited());

        // Export of the base window: the window caption as the file name.
        QTemporaryDir dir;
        ScriptedFileDialog files;
        files.enqueue(dir.filePath("members.xlsx"));
        w.setWindowTitle("그룹 교차로");
        w.actExport->trigger();
        QCOMPARE(files.last().fileName, QString("그룹 교차로"));
        const QList<QStringList> rows = CoreKit::ReadXlsx(dir.filePath("members.xlsx"));
        QCOMPARE(rows.size(), w.model->RecordCount() + 1);
        QCOMPARE(rows.at(0), QStringList({"LC번호", "교차로명"}));
        QCOMPARE(DM->G_DIALOG_PATH, dir.path());
    }

    void baseGridModalClose()
    {
        TKitGroupEditor w;
        w.SetIsModal(true);
        w.show();
        w.actClose->trigger();
        QCOMPARE(w.result(), 1);
    }

    // --- code-table dialog ---------------------------------------------------------------

    void codeTableDialog()
    {
        ScriptedMsgDlg boxes;
        const QStringList sqls{
            "SELECT CODE_ID AS ID, CODE_NAME AS NAME FROM KIT_CODE ORDER BY CODE_ID",
            "INSERT INTO KIT_CODE (CODE_ID, CODE_NAME) VALUES (:ID, :NAME)",
            "UPDATE KIT_CODE SET CODE_ID = :ID, CODE_NAME = :NAME WHERE CODE_ID = :KEY_ID",
            "DELETE FROM KIT_CODE WHERE CODE_ID = :KEY_ID"};
        TFormSimpleEditDlg dlg(nullptr, {"코드표", "코드", "이름"}, sqls, 3);
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QString("코드표"));
        QCOMPARE(dlg.SelectedValue(), QStringList({"3", "삼"}));
        QVERIFY(!dlg.btnSave->isVisible());
        QVERIFY(dlg.btnSelect->isVisible());
        dlg.btnEditMode->click();
        QVERIFY(dlg.EditMode());
        QVERIFY(dlg.btnSave->isVisible() && dlg.btnAdd->isVisible() && !dlg.btnSelect->isVisible());
        // Only deletions: one delete statement per row, with the code as loaded.
        dlg.Grid()->FocusRecord(0);
        dlg.actDel->trigger();
        dlg.Grid()->FocusRecord(1);
        dlg.actDel->trigger();
        boxes.enqueue(mrYes);
        dlg.actSave->trigger();
        QCOMPARE(boxes.requests().first().text, QString("저장하시겠습니까?")); // the editors' one save
        QCOMPARE(Table(DM->Con(), "SELECT CODE_ID, CODE_NAME FROM KIT_CODE ORDER BY CODE_ID"), QString("3:삼,4:사"));
        // A new row without name is refused; with a name it is inserted; an edit updates.
        dlg.actAdd->trigger();
        const int rec = dlg.Model()->RecordCount() - 1;
        dlg.Model()->EditValue(rec, 0, 9);
        boxes.clear();
        boxes.enqueue(mrYes);
        dlg.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("필수 입력 항목을 확인바랍니다."));
        dlg.Model()->EditValue(rec, 1, "구");
        dlg.Model()->EditValue(0, 1, "셋");
        boxes.enqueue(mrYes);
        dlg.actSave->trigger();
        QCOMPARE(Table(DM->Con(), "SELECT CODE_ID, CODE_NAME FROM KIT_CODE ORDER BY CODE_ID"),
                 QString("3:셋,4:사,9:구"));
        dlg.btnEditMode->click();
        dlg.Grid()->FocusRecord(2);
        dlg.actSelect->trigger();
        QCOMPARE(dlg.result(), 1);
        QCOMPARE(dlg.SelectedValue(), QStringList({"9", "구"}));

        TFormSimpleEditDlg viewOnly(nullptr, {"코드표", "코드", "이름"}, sqls, QVariant(), true);
        viewOnly.show();
        QVERIFY(!viewOnly.btnEditMode->isVisible());
    }

    // --- lookup dialog ------------------------------------------------------------------

    void lookupDialog()
    {
        ScriptedMsgDlg boxes;
        const QList<TAutoColumnInfo> cols{{"번호", 60, Qt::AlignCenter, QString(), true},
                                          {"이름", 150, Qt::AlignLeft, QString(), true},
                                          {"숨김", 10, Qt::AlignLeft, QString(), false}};
        TAutoFindDialogForm dlg(nullptr, "SELECT ID, NAME, ID * 10 FROM KIT_T WHERE ID >= :FROM ORDER BY ID",
                                cols, "찾기", 3, 400, 300);
        dlg.SetParams({{":FROM", 2}});
        dlg.show();
        QCOMPARE(dlg.windowTitle(), QString("찾기"));
        QCOMPARE(dlg.RowCount(), 2);
        QCOMPARE(dlg.SelectedData(), QVariantList({3, "다", 30}));
        QTest::keyClick(dlg.Grid(), Qt::Key_Return);
        QCOMPARE(dlg.result(), 1);

        TAutoFindDialogForm none(nullptr, "SELECT ID, NAME FROM KIT_T WHERE ID > 100", cols, "찾기", 77, 400, 300);
        none.show();
        QCOMPARE(none.SelectedData(), QVariantList());
        none.actSelect->trigger();
        QCOMPARE(none.result(), 1);

        TAutoFindDialogForm notFound(nullptr, "SELECT ID, NAME FROM KIT_T ORDER BY ID", cols, "찾기", 77, 400, 300);
        notFound.show();
        QCOMPARE(notFound.SelectedData().value(0).toInt(), 1); // no match: the first row

        // A database error inside the dialog: the standard box, an empty list, no crash.
        TAutoFindDialogForm broken(nullptr, "SELECT NOPE FROM NOWHERE", cols, "찾기", QVariant(), 400, 300);
        boxes.clear();
        broken.show();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(broken.RowCount(), 0);
        QVERIFY(!broken.actExport->isEnabled());
    }
};

QTEST_MAIN(TestCoreKitSave)
#include "tst_corekit_save.moc"
