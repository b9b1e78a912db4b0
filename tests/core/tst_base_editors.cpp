// The one editor path: the example editor, the operator account editor and the
// code-table dialog go through the same table of cases (edit, add, delete,
// refused confirmation, required cell, duplicate key, a failure injected by the
// database on the last changed row); closing any of them with unsaved edits
// asks first; Enter in a number box applies the number and never searches.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

#include "CoreKitSupport.h"
#include "core/LookupUnit.h"
#include "core/Quorval.h"
#include "core/SimpleEditDlgForm.h"
#include "core/WindowRegistry.h"
#include "core/untExampleEditor.h"
#include "core/untUSER_E.h"

namespace {

const char *const kDb = "tst_base_editors";
const QString kDiscard = QStringLiteral("저장하지 않은 변경 내용이 있습니다. 변경 내용을 버리시겠습니까?");

QStringList Column(const QString &sql)
{
    QSqlQuery q(DM->Con());
    QStringList list;
    if (!q.exec(sql))
        return {q.lastError().text()};
    while (q.next())
        list << q.value(0).toString();
    list.sort();
    return list;
}

// The example editor, counting its loads.
class TCountingExample : public TfrmExampleEditor
{
public:
    int loads = 0;

protected:
    void Load() override
    {
        ++loads;
        TfrmExampleEditor::Load();
    }
};

// One editor under test: its window, grid, the column the cases write text into,
// the key column, how a new row is completed, and what the database holds.
struct TEditor
{
    std::unique_ptr<TfrmBase> window;
    TGridModel *model = nullptr;
    TGridView *grid = nullptr;
    int keyCol = -1;
    int textCol = -1;
    std::function<void(int rec, int n)> fillNew; // a complete new row, key unique by n
    QString storedSql;                           // the text column of the rows shown
    QString dupText;
    std::function<int()> loads;

    QStringList Stored() const { return Column(storedSql); }
    QStringList States() const
    {
        QStringList s;
        for (int r = 0; r < model->RecordCount(); ++r)
            s << model->State(r);
        return s;
    }
    int Last() const { return model->RecordCount() - 1; }
    int Add()
    {
        window->actAdd->trigger();
        return Last();
    }
};

TEditor MakeEditor(const QString &kind)
{
    TEditor e;
    if (kind == "example") {
        auto *w = new TCountingExample;
        e.window.reset(w);
        w->show();
        w->SetTCDV_ID(1);
        e.model = w->GridModel();
        e.grid = w->cxGrid;
        e.keyCol = e.model->ColumnIndex("PPC_NUMBER");
        e.textCol = e.model->ColumnIndex("PPCN_COMMENTS");
        e.fillNew = [m = e.model](int rec, int n) {
            m->EditValue(rec, m->ColumnIndex("PPC_MANAGER"), 1);
            m->EditValue(rec, m->ColumnIndex("PPC_NUMBER"), 900 + n);
        };
        e.storedSql = "SELECT COALESCE(PPCN_COMMENTS, '') FROM SCS_M_INTPPC WHERE INT_LCNO = 1";
        e.dupText = "중복된 데이터가 존재합니다.";
        e.loads = [w] { return w->loads; };
    } else if (kind == "accounts") {
        auto *w = new TfrmUSER_E;
        e.window.reset(w);
        w->SetLoginGrade(1);
        w->show();
        e.model = w->Model();
        e.grid = w->gtvUSER;
        e.keyCol = TfrmUSER_E::colUSER_ID;
        e.textCol = TfrmUSER_E::colUSER_NAME;
        e.fillNew = [m = e.model](int rec, int n) {
            m->EditValue(rec, TfrmUSER_E::colUSER_ID, QString("new%1").arg(n));
            m->EditValue(rec, TfrmUSER_E::colUSER_PW, "pw");
            m->EditValue(rec, TfrmUSER_E::colAUT_GRADE, 2);
        };
        e.storedSql = "SELECT COALESCE(USER_NAME, '') FROM SCS_M_USER";
        e.dupText = "운영자ID가 중복됐습니다.";
    } else {
        auto *w = new TFormSimpleEditDlg(
            nullptr, {"코드표", "코드", "이름"},
            {"SELECT CODE_ID AS ID, CODE_NAME AS NAME FROM BASE_CODE ORDER BY CODE_ID",
             "INSERT INTO BASE_CODE (CODE_ID, CODE_NAME) VALUES (:ID, :NAME)",
             "UPDATE BASE_CODE SET CODE_ID = :ID, CODE_NAME = :NAME WHERE CODE_ID = :KEY_ID",
             "DELETE FROM BASE_CODE WHERE CODE_ID = :KEY_ID"},
            QVariant());
        e.window.reset(w);
        w->show();
        w->SetEditMode(true);
        e.model = w->Model();
        e.grid = w->Grid();
        e.keyCol = TFormSimpleEditDlg::colID;
        e.textCol = TFormSimpleEditDlg::colName;
        e.fillNew = [m = e.model](int rec, int n) {
            m->EditValue(rec, TFormSimpleEditDlg::colID, 900 + n);
            m->EditValue(rec, TFormSimpleEditDlg::colName, QString("코드%1").arg(n));
        };
        e.storedSql = "SELECT CODE_NAME FROM BASE_CODE";
        e.dupText = "중복된 데이터가 존재합니다.";
    }
    return e;
}

const QStringList kEditors{"example", "accounts", "codes"};

} // namespace

class TestBaseEditors : public QObject
{
    Q_OBJECT
    std::unique_ptr<CoreKit::TDataModule> FDm;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
        QString err;
        QVERIFY2(TestDb::runScriptFile(kDb, TestDb::sourceDir() + "/db/mariadb/demo-passwords.sql", &err),
                 qPrintable(err));
        // The database refuses a row whose text is "FAIL": the failure the cases inject.
        QVERIFY2(TestDb::runScript(kDb,
            "CREATE TABLE BASE_CODE (CODE_ID INT NOT NULL PRIMARY KEY, CODE_NAME VARCHAR(50) NOT NULL) ENGINE=InnoDB;"
            "CREATE TABLE BASE_USERS AS SELECT * FROM SCS_M_USER;\n"
            "DELIMITER //\n"
            "CREATE TRIGGER BASE_FAIL_PPC BEFORE INSERT ON SCS_M_INTPPC FOR EACH ROW "
            "IF NEW.PPCN_COMMENTS = 'FAIL' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'injected failure'; END IF//\n"
            "CREATE TRIGGER BASE_FAIL_USER BEFORE INSERT ON SCS_M_USER FOR EACH ROW "
            "IF NEW.USER_NAME = 'FAIL' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'injected failure'; END IF//\n"
            "CREATE TRIGGER BASE_FAIL_CODE BEFORE INSERT ON BASE_CODE FOR EACH ROW "
            "IF NEW.CODE_NAME = 'FAIL' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'injected failure'; END IF//\n"
            "DELIMITER ;\n",
            &err), qPrintable(err));
        SetPasswordKeyFile(TestDb::sourceDir() + "/db/mariadb/demo.key");
        FDm = std::make_unique<CoreKit::TDataModule>(kDb);
        QVERIFY(FDm->ok);
    }
    void init()
    {
        QString err;
        QVERIFY2(TestDb::runScript(kDb,
            "DELETE FROM SCS_M_INTPPC;"
            "INSERT INTO SCS_M_INTPPC VALUES (1, 1, 100, '가'), (1, 1, 200, '나'), (1, 2, 300, '다'), (2, 1, 100, '라');"
            "DELETE FROM BASE_CODE; INSERT INTO BASE_CODE VALUES (1, '일'), (2, '이'), (3, '삼');"
            "DELETE FROM SCS_M_USER; INSERT INTO SCS_M_USER SELECT * FROM BASE_USERS;",
            &err), qPrintable(err));
    }
    void cleanupTestCase() { FDm.reset(); }

    // --- the example editor ----------------------------------------------------------

    void exampleEditorLoadsItsIntersection()
    {
        TCountingExample w;
        w.show();
        QVERIFY(!w.actAdd->isEnabled());             // nothing chosen yet
        w.SetTCDV_ID(1);
        QCOMPARE(w.lblTCDVName->text(), QString("신사역사거리"));
        QCOMPARE(w.edtTCDV->text(), QString("1"));
        QVERIFY(w.Searched());
        QCOMPARE(w.GridModel()->RecordCount(), 3);
        QCOMPARE(w.GridModel()->KeyValue(2).toString(), QString("2,300"));
        QVERIFY(w.actAdd->isEnabled() && w.actExport->isEnabled() && !w.actSave->isEnabled());
        // A number that names nothing empties the grid: asked as such, not by its name.
        w.SetTCDV_ID(9999);
        QVERIFY(!w.Searched());
        QCOMPARE(w.GridModel()->RecordCount(), 0);
        QCOMPARE(w.lblTCDVName->text(), QString("없음"));
        QVERIFY(!w.actAdd->isEnabled());
        QVERIFY(LcExists(1) && !LcExists(9999) && !LcExists(0));
        QVERIFY(SaExists(1) && !SaExists(999));
    }

    // --- one table of cases through the one save path --------------------------------

    void savePath_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("kind");
        for (const QString &ed : kEditors)
            for (const char *kind : {"edit", "add", "delete", "refused", "required", "duplicate", "failure"})
                QTest::newRow(qPrintable(ed + ": " + kind)) << ed << QString(kind);
    }
    void savePath()
    {
        QFETCH(QString, editor);
        QFETCH(QString, kind);
        ScriptedMsgDlg boxes;
        TEditor e = MakeEditor(editor);
        const QStringList before = e.Stored();
        QVERIFY(before.size() >= 3);
        const int last = e.Last();
        const QString lastText = e.model->Text(last, e.textCol);
        QStringList expected = before;
        QStringList texts;            // what the grid holds afterwards in the text column
        boxes.enqueue(mrYes);         // the save's question

        if (kind == "edit" || kind == "refused") {
            e.model->EditValue(last, e.textCol, "바뀐 글");
            if (kind == "edit")
                expected[expected.indexOf(lastText)] = "바뀐 글";
            else {
                boxes.clear();
                boxes.enqueue(mrNo);
            }
        } else if (kind == "add") {
            const int rec = e.Add();
            e.fillNew(rec, 1);
            e.model->EditValue(rec, e.textCol, "새 글");
            expected << "새 글";
        } else if (kind == "delete") {
            e.grid->FocusRecord(last);
            e.window->actDel->trigger();
            expected.removeOne(lastText);
        } else if (kind == "required" || kind == "duplicate") {
            const int rec = e.Add();
            e.fillNew(rec, 1);
            e.model->EditValue(rec, e.keyCol, kind == "required" ? QVariant() : e.model->Value(0, e.keyCol));
        } else if (kind == "failure") {
            // A loaded row changed, then the database refuses the new row after it.
            e.model->EditValue(0, e.textCol, "먼저 바뀐 글");
            const int rec = e.Add();
            e.fillNew(rec, 1);
            e.model->EditValue(rec, e.textCol, "FAIL");
        }
        expected.sort();
        const QStringList statesBefore = e.States();
        for (int r = 0; r < e.model->RecordCount(); ++r)
            texts << e.model->Text(r, e.textCol);
        QVERIFY(e.window->actSave->isEnabled());
        const int loadsBefore = e.loads ? e.loads() : 0;

        e.window->actSave->trigger();

        QCOMPARE(boxes.requests().first().text, QString("저장하시겠습니까?"));
        QVERIFY(!ConInTransaction(DM->Con()));
        QCOMPARE(e.Stored(), expected);
        const bool saved = kind == "edit" || kind == "add" || kind == "delete";
        if (saved) {
            QCOMPARE(boxes.count(), 2);
            QCOMPARE(boxes.last().text, QString("저장되었습니다."));
            for (const QString &s : e.States())        // reloaded
                QCOMPARE(s, QString("N"));
            QVERIFY(!e.window->actSave->isEnabled());
            return;
        }
        // Nothing written, nothing reloaded: every edit and row state is still there.
        QCOMPARE(e.States(), statesBefore);
        for (int r = 0; r < e.model->RecordCount(); ++r)
            QCOMPARE(e.model->Text(r, e.textCol), texts.at(r));
        if (e.loads)
            QCOMPARE(e.loads(), loadsBefore);
        QVERIFY(e.window->actSave->isEnabled());
        if (kind == "refused") {
            QCOMPARE(boxes.count(), 1);
        } else if (kind == "required" || kind == "duplicate") {
            QCOMPARE(boxes.count(), 2);
            QCOMPARE(boxes.last().caption, QString("유효성 체크"));
            QCOMPARE(boxes.last().text, kind == "required" ? QString("필수 입력 항목을 확인바랍니다.") : e.dupText);
            QCOMPARE(e.grid->FocusedRecord(), e.Last());
        } else {
            QCOMPARE(boxes.count(), 2);
            QCOMPARE(boxes.last().kind, mkError);
            QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
            QCOMPARE(boxes.last().caption, QString("저장 실패"));
            QVERIFY2(boxes.last().detail.contains("injected failure"), qPrintable(boxes.last().detail));
            QCOMPARE(e.grid->FocusedRecord(), e.Last()); // the row that failed
            // Corrected, the same edits save together.
            e.model->EditValue(e.Last(), e.textCol, "고친 글");
            boxes.clear();
            boxes.enqueue(mrYes);
            e.window->actSave->trigger();
            QCOMPARE(boxes.last().text, QString("저장되었습니다."));
            QVERIFY(e.Stored().contains("먼저 바뀐 글"));
            QVERIFY(e.Stored().contains("고친 글"));
        }
    }

    // --- closing with unsaved edits --------------------------------------------------

    void closingAsksFirst_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("how");
        for (const QString &ed : kEditors)
            for (const char *how : {"Esc", "close button", "Close"})
                QTest::newRow(qPrintable(ed + ": " + how)) << ed << QString(how);
    }
    void closingAsksFirst()
    {
        QFETCH(QString, editor);
        QFETCH(QString, how);
        ScriptedMsgDlg boxes;
        TEditor e = MakeEditor(editor);
        TfrmBase *w = e.window.release();
        // Registered as the main window registers its windows: freed when closed.
        TWindowRegistry::Register("base-close-test", w);
        QPointer<TfrmBase> alive(w);
        auto closeIt = [&] {
            if (how == "Esc")
                QTest::keyClick(w, Qt::Key_Escape);
            else if (how == "close button")
                w->close();
            else
                w->actClose->trigger();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        e.model->EditValue(0, e.textCol, "닫기 전 글");

        boxes.enqueue(mrNo);                     // keep the edits
        closeIt();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, kDiscard);
        QVERIFY(alive);
        QVERIFY(w->isVisible());
        QCOMPARE(e.model->Text(0, e.textCol), QString("닫기 전 글"));
        QCOMPARE(e.model->State(0), QString("M"));

        boxes.enqueue(mrYes);                    // drop them
        closeIt();
        QCOMPARE(boxes.count(), 2);
        QVERIFY(!alive || !w->isVisible());
        delete alive.data();
    }

    void closingWithoutEditsDoesNotAsk()
    {
        ScriptedMsgDlg boxes;
        TEditor e = MakeEditor("example");
        e.window->actClose->trigger();
        QVERIFY(!e.window->isVisible());
        QCOMPARE(boxes.count(), 0);
    }

    // --- the number box -------------------------------------------------------------

    void enterInTheNumberBoxAppliesTheNumber()
    {
        ScriptedMsgDlg boxes;
        TCountingExample w;
        int searchClicks = 0;
        connect(w.btnSearch, &QPushButton::clicked, &w, [&] { ++searchClicks; });
        w.show();
        w.SetTCDV_ID(1);
        const int loads = w.loads;
        w.GridModel()->EditValue(0, 2, "편집 중");

        // Enter on the number shown: the edits stay, nothing is searched or asked.
        w.edtTCDV->setFocus();
        QTest::keyClick(w.edtTCDV, Qt::Key_Return);
        QTest::keyClick(w.edtTCDV, Qt::Key_Enter);
        QCOMPARE(w.loads, loads);
        QCOMPARE(searchClicks, 0);
        QCOMPARE(boxes.count(), 0);
        QVERIFY(w.isVisible());
        QCOMPARE(w.GridModel()->State(0), QString("M"));

        // Another number with Enter: applied once the operator lets the edits go.
        {
            const QSignalBlocker quiet(w.edtTCDV);
            w.edtTCDV->setText("2");
        }
        boxes.enqueue(mrNo);
        QTest::keyClick(w.edtTCDV, Qt::Key_Return);
        QCOMPARE(boxes.last().text, kDiscard);
        QCOMPARE(w.TCDV_ID(), 1);
        QCOMPARE(w.edtTCDV->text(), QString("1"));
        QCOMPARE(w.GridModel()->State(0), QString("M"));
        {
            const QSignalBlocker quiet(w.edtTCDV);
            w.edtTCDV->setText("2");
        }
        boxes.enqueue(mrYes);
        QTest::keyClick(w.edtTCDV, Qt::Key_Return);
        QCOMPARE(w.TCDV_ID(), 2);
        QCOMPARE(w.GridModel()->RecordCount(), 1);
        QCOMPARE(w.lblTCDVName->text(), QString("을지병원사거리"));
        QCOMPARE(searchClicks, 0);
        QVERIFY(w.isVisible());

        // Up and Down step through the same filter; letters are refused.
        QTest::keyClick(w.edtTCDV, Qt::Key_Up);
        QCOMPARE(w.TCDV_ID(), 3);
        QTest::keyClick(w.edtTCDV, Qt::Key_Down);
        QCOMPARE(w.TCDV_ID(), 2);
        QTest::keyClicks(w.edtTCDV, "x.");
        QCOMPARE(w.edtTCDV->text(), QString("2"));
    }

    // --- the controller follows a model swapped in ----------------------------------

    void controllerFollowsASwappedModel()
    {
        ScriptedMsgDlg boxes;
        TCountingExample w;
        w.show();
        w.SetTCDV_ID(1);
        auto *other = new TGridModel(&w);
        other->SetColumns({TGridColumn("PPC_MANAGER").Req(), TGridColumn("PPC_NUMBER").Req(),
                           TGridColumn("PPCN_COMMENTS")});
        other->SetPrimaryKeys({"PPC_MANAGER", "PPC_NUMBER"});
        w.cxGrid->SetGridModel(other);
        w.actSearch->trigger();
        QCOMPARE(other->RecordCount(), 3);
        QVERIFY(!w.actSave->isEnabled());
        other->EditValue(1, 2, "새 모델");
        QCOMPARE(other->State(1), QString("M"));     // the state rule follows
        QVERIFY(w.Edited());
        QVERIFY(w.actSave->isEnabled());             // and Save's enabling
        QVERIFY(w.Controller()->Edited());
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QVERIFY(Column("SELECT PPCN_COMMENTS FROM SCS_M_INTPPC WHERE INT_LCNO = 1").contains("새 모델"));
    }

    // --- a transaction the caller opened stays the caller's --------------------------

    void saveInsideACallersTransaction()
    {
        TGridModel m;
        m.SetColumns({TGridColumn("CODE_ID").Req(), TGridColumn("CODE_NAME").Req()});
        m.AddLoaded({1, "일"}, 1);
        m.EditValue(0, 1, "하나");
        auto save = [](const TGridRow &row) {
            ExecSqlOrThrow(DM->Con(), "UPDATE BASE_CODE SET CODE_NAME = :N WHERE CODE_ID = :K",
                           {{":N", row["CODE_NAME"]}, {":K", row.KeyValue}});
        };
        QVERIFY(ConStartTransaction(DM->Con()));
        TGridSaveResult r = SaveGridRows(m, DM->Con(), save);
        QVERIFY(r.Ok);
        QVERIFY(!r.OwnTransaction);
        QVERIFY(ConInTransaction(DM->Con()));         // not committed by the save
        QVERIFY(ConRollback(DM->Con()));
        QCOMPARE(Column("SELECT CODE_NAME FROM BASE_CODE WHERE CODE_ID = 1"), QStringList{"일"});
        // A failure inside the caller's transaction is reported, not rolled back here.
        QVERIFY(ConStartTransaction(DM->Con()));
        m.EditValue(0, 1, "FAIL");
        const int rec = m.AppendRecord();
        m.EditValue(rec, 0, 1);                       // key 1 again: the insert fails
        m.EditValue(rec, 1, "둘");
        r = SaveGridRows(m, DM->Con(), [&](const TGridRow &row) {
            if (row.IsInserted())
                ExecSqlOrThrow(DM->Con(), "INSERT INTO BASE_CODE VALUES (:K, :N)",
                               {{":K", row["CODE_ID"]}, {":N", row["CODE_NAME"]}});
            else
                save(row);
        });
        QVERIFY(!r.Ok);
        QVERIFY(ConInTransaction(DM->Con()));
        QVERIFY(ConRollback(DM->Con()));
        // Its own transaction: committed.
        m.EditValue(0, 1, "하나");
        m.RemoveRecord(rec);
        r = SaveGridRows(m, DM->Con(), save);
        QVERIFY(r.Ok && r.OwnTransaction);
        QVERIFY(!ConInTransaction(DM->Con()));
        QCOMPARE(Column("SELECT CODE_NAME FROM BASE_CODE WHERE CODE_ID = 1"), QStringList{"하나"});
    }
};

QTEST_MAIN(TestBaseEditors)
#include "tst_base_editors.moc"
