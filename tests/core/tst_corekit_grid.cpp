// The grid kit without a database: row states, display order, checks, grid helpers,
// XLSX export read back by an independent reader, the window registry, the refresh
// flags, converters and the small windows.
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "CoreKitSupport.h"
#include "core/FileDialogService.h"
#include "core/GridControllerUnit.h"
#include "core/GridExport.h"
#include "core/InAppMessage.h"
#include "core/LookupUnit.h"
#include "core/ProgressBarThreadUnit.h"
#include "core/Quorval.h"
#include "core/SelectTableDlgForm.h"
#include "core/ShadowForm.h"
#include "core/WindowRegistry.h"
#include "core/untBase.h"
#include "core/ProgramInfoUnit.h"
#include "core/untMvmt_S.h"
#include "core/untStylePreview.h"
#include "core/untTCDV_S_Phase.h"

namespace {

// A grid of three loaded rows: ID (key, required), NAME (required), GRADE (value
// list), QTY (number); + KeyValue and State.
struct TFixture
{
    TGridModel modelObject;
    TGridModel *model = &modelObject;
    TGridView view;
    TGridController *ctrl = nullptr;
    TFixture()
    {
        model->SetColumns({
            TGridColumn("ID", "번호").W(60).Req(),
            TGridColumn("NAME", "이름").W(120).Req(),
            TGridColumn("GRADE", "등급").W(90).Choices({{1, "메인관리자"}, {2, "운영자"}}),
            TGridColumn("QTY", "수량").W(60),
        });
        view.SetGridModel(model);
        model->AddLoaded({1, "가", 1, 10}, "1");
        model->AddLoaded({2, "나", 2, 9}, "2");
        model->AddLoaded({3, "다", 2, 100}, "3");
        ctrl = new TGridController(&view, QStringList{"ID"});
    }
    // An edit as the operator makes it: through the view's (proxy) model.
    void Edit(int rec, int col, const QVariant &v)
    {
        const int row = view.DisplayOfRecord(rec);
        QVERIFY(view.model()->setData(view.model()->index(row, col), v, Qt::EditRole));
    }
    QStringList States() const
    {
        QStringList s;
        for (int r = 0; r < model->RecordCount(); ++r)
            s << model->State(r);
        return s;
    }
};

} // namespace

class TestCoreKitGrid : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(CoreKit::LoadLanguage(1));
    }

    // --- row states -------------------------------------------------------------

    void stateAfterEdit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("new row") << "" << "I";
        QTest::newRow("inserted") << "I" << "I";
        QTest::newRow("loaded") << "N" << "M";
        QTest::newRow("modified") << "M" << "M";
        QTest::newRow("deleted") << "D" << "D";
    }
    void stateAfterEdit()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(RowState::AfterEdit(before), after);
    }

    void editsDeletesAndIndicator()
    {
        TFixture f;
        QVERIFY(!f.ctrl->Edited());
        f.Edit(1, 1, "나나");
        f.Edit(1, 1, "나나나");
        QCOMPARE(f.States(), QStringList({"N", "M", "N"}));
        // Setting the same value again is no edit.
        f.Edit(0, 1, "가");
        QCOMPARE(f.model->State(0), QString("N"));
        // The row indicator shows the letter of every row that is not "N".
        QCOMPARE(f.view.model()->headerData(1, Qt::Vertical).toString(), QString("M"));
        QCOMPARE(f.view.model()->headerData(0, Qt::Vertical).toString(), QString());
        QVERIFY(f.ctrl->Edited());

        // An appended row has no state and already counts as a change in the indicator.
        const int rec = f.ctrl->AppendRecord();
        QCOMPARE(f.model->State(rec), QString());
        f.Edit(rec, 0, 4);
        QCOMPARE(f.model->State(rec), QString("I"));
        // Deleting it removes it; deleting a loaded row marks it "D" and keeps it.
        f.view.FocusRecord(rec);
        f.ctrl->DeleteRecord();
        QCOMPARE(f.model->RecordCount(), 3);
        f.view.FocusRecord(2);
        f.ctrl->DeleteRecord();
        QCOMPARE(f.States(), QStringList({"N", "M", "D"}));
        // Editing a deleted row leaves it deleted.
        f.Edit(2, 1, "x");
        QCOMPARE(f.model->State(2), QString("D"));
        QCOMPARE(f.model->ChangedCount(), 2);
    }

    void managerHookRefusesCells()
    {
        TFixture f;
        f.model->CanEdit = [&](int rec, int) { return f.model->Value(rec, 2).toInt() != 1; };
        const int row0 = f.view.DisplayOfRecord(0);
        QVERIFY(!(f.view.model()->flags(f.view.model()->index(row0, 1)) & Qt::ItemIsEditable));
        QVERIFY(!f.view.model()->setData(f.view.model()->index(row0, 1), "x"));
        QCOMPARE(f.model->State(0), QString("N"));
        const int row1 = f.view.DisplayOfRecord(1);
        QVERIFY(f.view.model()->flags(f.view.model()->index(row1, 1)) & Qt::ItemIsEditable);
    }

    // --- display order --------------------------------------------------------------

    void sortKeepsRecordOrder()
    {
        TFixture f;
        f.view.sortByColumn(3, Qt::AscendingOrder); // QTY 9, 10, 100: numbers, not texts
        QCOMPARE(f.view.DisplayedRecords(), QList<int>({1, 0, 2}));
        f.Edit(2, 1, "바뀜");
        // The indicator follows the row in display order; the record keeps its index.
        QCOMPARE(f.view.model()->headerData(2, Qt::Vertical).toString(), QString("M"));
        QCOMPARE(f.model->State(2), QString("M"));
        f.view.sortByColumn(3, Qt::DescendingOrder);
        QCOMPARE(f.view.DisplayedRecords(), QList<int>({2, 0, 1}));
    }

    void plainTextFilter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("records");
        QTest::newRow("quote") << "O'B" << QList<int>{0};
        QTest::newRow("bracket") << "[A]" << QList<int>{0};
        QTest::newRow("percent is a character") << "50%" << QList<int>{1};
        QTest::newRow("underscore is a character") << "a_b" << QList<int>{2};
        QTest::newRow("no wildcard") << "%" << QList<int>{1};
        QTest::newRow("case-insensitive") << "o'b" << QList<int>{0};
        QTest::newRow("empty shows all") << "" << QList<int>{0, 1, 2};
    }
    void plainTextFilter()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, records);
        TGridModel m;
        m.SetColumns({TGridColumn("NAME")}, false);
        m.AddLoaded({"O'Brien [A]"}, {});
        m.AddLoaded({"50% off"}, {});
        m.AddLoaded({"a_b"}, {});
        TGridView v;
        v.SetGridModel(&m);
        v.Proxy()->SetSearchFilter(text, {0});
        QCOMPARE(v.DisplayedRecords(), records);
    }

    // --- checks ---------------------------------------------------------------------

    void checks_data()
    {
        QTest::addColumn<QStringList>("ids");    // per record
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<bool>("dupCheck");
        QTest::addColumn<bool>("skipEmptyKeys");
        QTest::addColumn<int>("problem");        // 0 none, 1 required, 2 duplicate
        QTest::addColumn<int>("record");
        QTest::newRow("all fine") << QStringList{"1", "2"} << QStringList{"a", "b"}
                                  << QStringList{"N", "M"} << true << false << 0 << -1;
        QTest::newRow("empty required in changed row") << QStringList{"1", "2"} << QStringList{"a", ""}
                                                       << QStringList{"N", "M"} << true << false << 1 << 1;
        QTest::newRow("empty required in unchanged row passes")
            << QStringList{"1", "2"} << QStringList{"", "b"} << QStringList{"N", "M"} << true << false << 0 << -1;
        QTest::newRow("appended never edited is not checked")
            << QStringList{"1", ""} << QStringList{"a", ""} << QStringList{"N", ""} << true << false << 0 << -1;
        QTest::newRow("duplicate key") << QStringList{"1", "2", "2"} << QStringList{"a", "b", "c"}
                                       << QStringList{"N", "N", "I"} << true << false << 2 << 2;
        QTest::newRow("duplicate of a deleted row is reported")
            << QStringList{"5", "5"} << QStringList{"a", "b"} << QStringList{"D", "I"} << true << false << 2 << 0;
        QTest::newRow("no duplicate check") << QStringList{"2", "2"} << QStringList{"a", "b"}
                                            << QStringList{"N", "I"} << false << false << 0 << -1;
        QTest::newRow("required first, in record order")
            << QStringList{"1", "1", "3"} << QStringList{"a", "b", ""} << QStringList{"N", "N", "M"} << true
            << false << 1 << 2;
        QTest::newRow("empty keys skipped by Duplicate")
            << QStringList{"", ""} << QStringList{"a", "b"} << QStringList{"I", "I"} << true << true << 0 << -1;
    }
    void checks()
    {
        QFETCH(QStringList, ids);
        QFETCH(QStringList, names);
        QFETCH(QStringList, states);
        QFETCH(bool, dupCheck);
        QFETCH(bool, skipEmptyKeys);
        QFETCH(int, problem);
        QFETCH(int, record);
        TGridModel m;
        m.SetColumns({TGridColumn("ID").Req(), TGridColumn("NAME").Req()});
        for (int i = 0; i < ids.size(); ++i) {
            const int r = m.AppendRecord();
            m.SetValue(r, 0, ids[i].isEmpty() ? QVariant() : QVariant(ids[i]));
            m.SetValue(r, 1, names[i].isEmpty() ? QVariant() : QVariant(names[i]));
            m.SetState(r, states[i]);
        }
        const TGridCheckResult c = CheckGridRows(m, {0}, skipEmptyKeys ? QList<int>{} : QList<int>{0, 1},
                                                 m.StateIdx(), dupCheck, skipEmptyKeys);
        QCOMPARE(int(c.Problem), problem);
        QCOMPARE(c.Record, record);
    }

    void controllerValidateMessagesAndFocus()
    {
        TFixture f;
        const int rec = f.ctrl->AppendRecord();
        f.Edit(rec, 0, 2); // same ID as record 1, NAME still empty
        TRtnBoolStr r = f.ctrl->Validate(true);
        QVERIFY(!r.rtn);
        QCOMPARE(r.msg, QString("필수 입력 항목을 확인바랍니다."));
        QCOMPARE(f.view.FocusedRecord(), rec);
        QCOMPARE(f.view.FocusedColumn(), 1);
        f.Edit(rec, 1, "라");
        r = f.ctrl->Validate(true);
        QVERIFY(!r.rtn);
        QCOMPARE(r.msg, QString("중복된 데이터가 존재합니다."));
        QCOMPARE(f.view.FocusedColumn(), 0);
        QVERIFY(f.ctrl->Validate(false).rtn);
        f.Edit(rec, 0, 4);
        QVERIFY(f.ctrl->Validate(true).rtn);
    }

    void saveRefusedByValidation()
    {
        TFixture f;
        ScriptedMsgDlg boxes;
        boxes.enqueue(mrYes);
        const int rec = f.ctrl->AppendRecord();
        f.Edit(rec, 0, 1);
        f.Edit(rec, 1, "중복");
        int calls = 0;
        f.ctrl->SetSaveProc([&](const TGridRow &) { ++calls; });
        QVERIFY(!f.ctrl->Save());
        QCOMPARE(calls, 0);
        QCOMPARE(boxes.count(), 2); // the question, then the refusal
        QCOMPARE(boxes.requests().at(0).text, QString("저장하시겠습니까?"));
        QCOMPARE(boxes.last().kind, mkError);
        QCOMPARE(boxes.last().text, QString("중복된 데이터가 존재합니다."));
        QCOMPARE(boxes.last().caption, QString("유효성 체크"));
        QCOMPARE(f.model->State(rec), QString("I"));
        // Answering No to the question saves nothing and checks nothing.
        boxes.clear();
        boxes.enqueue(mrNo);
        QVERIFY(!f.ctrl->Save());
        QCOMPARE(boxes.count(), 1);
    }

    // --- grid helpers -------------------------------------------------------------

    void numberedGrids()
    {
        TGridModel m;
        m.SetColumns({TGridColumn("PHASE"), TGridColumn("RING"), TGridColumn("X")});
        InitTableView(&m, 0, m.StateIdx(), 3);
        QCOMPARE(m.RecordCount(), 3);
        QCOMPARE(m.Value(2, 0).toInt(), 3);
        QCOMPARE(m.State(2), QString("N"));
        QVERIFY(m.KeyValue(0).isNull());
        InitPhaseTableView(&m, 0, 1, 5, m.StateIdx());
        QList<int> phases, rings;
        for (int r = 0; r < 5; ++r) {
            phases << m.Value(r, 0).toInt();
            rings << m.Value(r, 1).toInt();
        }
        QCOMPARE(phases, QList<int>({1, 1, 2, 2, 3}));
        QCOMPARE(rings, QList<int>({1, 2, 1, 2, 1}));
        InitTableView_Without_KeyValue(&m, m.StateIdx(), 2);
        QCOMPARE(m.RecordCount(), 2);
        QVERIFY(m.Value(0, 0).isNull());
        QCOMPARE(m.State(1), QString("N"));
    }

    void stateValAndDeleteHelpers()
    {
        TFixture f;
        const int kv = f.model->KeyValueIdx(), st = f.model->StateIdx();
        QCOMPARE(GetStateVal(f.model, 0, st, kv), QString("M"));
        const int rec = f.model->AppendRecord();
        QCOMPARE(GetStateVal(f.model, rec, st, kv), QString("I"));
        f.view.FocusRecord(rec);
        QCOMPARE(GetStateVal(&f.view, st, kv), QString("I"));
        QCOMPARE(GetStateVal_BandedTableView_By_RecIndex(&f.view, 1, st, kv), QString("M"));
        // DelNoAddExecute marks even a row without key.
        DelNoAddExecute(&f.view, st);
        QCOMPARE(f.model->State(rec), QString("D"));
        QCOMPARE(f.model->RecordCount(), 4);
        QCOMPARE(GetStateVal(f.model, rec, st, kv), QString("D"));
        f.view.FocusRecord(0);
        DelExecute(&f.view, kv, st);
        QCOMPARE(f.model->State(0), QString("D"));
    }

    // --- export ---------------------------------------------------------------------

    void exportWritesEveryRowInSortOrder()
    {
        QTemporaryDir dir;
        TFixture f;
        f.model->AddLoaded({4, "O'Brien [A]", 1, 7}, "4");
        f.model->AddLoaded({5, "라", 3, 8}, "5");  // grade 3 is not in the list: empty text
        f.model->ColumnRef(0).DisplayFormat = "0. 번";
        f.view.ApplyColumns();
        f.view.sortByColumn(3, Qt::DescendingOrder); // QTY 100, 10, 9, 8, 7
        f.view.Proxy()->SetRowFilter([&](int rec) { return rec != 1; });   // hides QTY 9
        f.view.Proxy()->SetSearchFilter("O'Brien");                         // shows only rec 3
        QCOMPARE(f.view.DisplayCount(), 1);
        ScriptedFileDialog files;
        const QString file = dir.filePath("grid.xlsx");
        files.enqueue(file);
        ScriptedMsgDlg boxes; // OpenExcel asks; the default answer is No
        f.view.setWindowTitle("교차로 목록: 1/2");
        QVERIFY(f.ctrl->SaveToExcel());
        QCOMPARE(files.last().fileName, QString("교차로 목록: 12")); // invalid characters removed
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("파일을 여시겠습니까?"));
        const QList<QStringList> rows = CoreKit::ReadXlsx(file);
        const QList<QStringList> expected{
            {"번호", "이름", "등급", "수량"},
            {"3 번", "다", "운영자", "100"},
            {"1 번", "가", "메인관리자", "10"},
            {"2 번", "나", "운영자", "9"},
            {"5 번", "라", "", "8"},
            {"4 번", "O'Brien [A]", "메인관리자", "7"},
        };
        QCOMPARE(rows, expected);
        // The filter itself is left as the operator set it.
        QCOMPARE(f.view.DisplayCount(), 1);
    }

    void exportKeepsSortOrderOfEqualKeysAndDeletedRows()
    {
        QTemporaryDir dir;
        TFixture f;
        f.model->AddLoaded({4, "라", 1, 9}, "4");
        QVERIFY(!f.model->DeleteRecord(0));                 // stays in the grid, marked "D"
        f.view.sortByColumn(3, Qt::AscendingOrder);        // QTY 9 (rec 1), 9 (rec 3), 10, 100
        f.view.Proxy()->SetSearchFilter("zzz");            // hides every row
        const QString file = dir.filePath("all.xlsx");
        QString error;
        QVERIFY2(ExportGridToXlsx(&f.view, file, &error), qPrintable(error));
        const QList<QStringList> rows = CoreKit::ReadXlsx(file);
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows.at(1).at(1), QString("나"));
        QCOMPARE(rows.at(2).at(1), QString("라"));
        QCOMPARE(rows.at(3).at(1), QString("가"));
        QCOMPARE(rows.at(4).at(1), QString("다"));
    }

    void exportOfBandsAndTexts()
    {
        QTemporaryDir dir;
        TGridModel m;
        m.SetColumns({TGridColumn("LC", "LC").InBand("교차로"), TGridColumn("NAME", "이름").InBand("교차로"),
                      TGridColumn("V", "값")}, false);
        m.AddLoaded({"0012", "-3.5", "1,000"}, {});
        TGridView v;
        v.SetGridModel(&m);
        const QString file = dir.filePath("bands.xlsx");
        QString error;
        QVERIFY2(ExportGridToXlsx(&v, file, &error), qPrintable(error));
        const QList<QStringList> rows = CoreKit::ReadXlsx(file);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).at(0), QString("교차로"));
        QCOMPARE(rows.at(1), QStringList({"LC", "이름", "값"}));
        // "0012" and "1,000" stay texts; "-3.5" reads back as the number.
        QCOMPARE(rows.at(2), QStringList({"0012", "-3.5", "1,000"}));
    }

    void exportFailureShowsBox()
    {
        TFixture f;
        ScriptedFileDialog files;
        files.enqueue("/nonexistent-folder/x/grid.xlsx");
        ScriptedMsgDlg boxes;
        QVERIFY(!f.ctrl->SaveToExcel());
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, mkError);
        QVERIFY(!boxes.last().detail.isEmpty());
        // Cancelling the dialog does nothing.
        boxes.clear();
        QVERIFY(!f.ctrl->SaveToExcel());
        QCOMPARE(boxes.count(), 0);
    }

    void actionsFollowTheGrid()
    {
        TFixture f;
        QAction add, del, save, cancel, exp;
        int searches = 0;
        f.ctrl->SetSearchProc([&] { ++searches; });
        f.ctrl->AttachActions({.Add = &add, .Delete = &del, .Save = &save, .Cancel = &cancel, .Export = &exp});
        QVERIFY(!save.isEnabled());
        QVERIFY(exp.isEnabled());
        QVERIFY(del.isEnabled());
        f.Edit(0, 1, "x");
        QVERIFY(save.isEnabled());
        QVERIFY(cancel.isEnabled());
        QVERIFY(!exp.isEnabled());
        add.trigger();                   // not searched yet: searches first
        QCOMPARE(searches, 1);
        QCOMPARE(f.model->RecordCount(), 4);
    }

    // --- registry and refresh flags ---------------------------------------------------

    void windowRegistryKeepsOneInstance()
    {
        int created = 0;
        auto make = [&] { ++created; return new TfrmBase(nullptr); };
        bool isNew = false;
        TfrmBase *a = TWindowRegistry::Open<TfrmBase>(make, &isNew);
        QVERIFY(isNew);
        TWindowRegistry::Show(a);
        TfrmBase *b = TWindowRegistry::Open<TfrmBase>(make, &isNew);
        QVERIFY(!isNew);
        QCOMPARE(a, b);
        QCOMPARE(created, 1);
        QCOMPARE(TWindowRegistry::Find<TfrmBase>(), a);
        // Keyed instances live side by side.
        TfrmBase *m12 = TWindowRegistry::Open<TfrmBase>(make, &isNew, "TfrmTCDV_M:12");
        QVERIFY(isNew && m12 != a);
        QCOMPARE(TWindowRegistry::Count(), 2);
        // Closing frees the window and clears its entry.
        QPointer<TfrmBase> guard(a);
        a->close();
        QTRY_VERIFY(guard.isNull());
        QVERIFY(!TWindowRegistry::Find<TfrmBase>());
        TfrmBase *c = TWindowRegistry::Open<TfrmBase>(make, &isNew);
        QVERIFY(isNew);
        QCOMPARE(created, 3);
        TWindowRegistry::CloseAll();
        QTRY_COMPARE(TWindowRegistry::Count(), 0);
        Q_UNUSED(c);
    }

    void toolWindowsAreFreedWhenClosed()
    {
        QWidget owner;
        auto *info = new TProgramInfoForm(&owner);
        QPointer<TProgramInfoForm> guard(info);
        QTimer::singleShot(0, info, [info] { info->actClose->trigger(); });
        QCOMPARE(TWindowRegistry::ExecAndFree(info), 1);
        QVERIFY(guard.isNull());
        QCOMPARE(owner.findChildren<TProgramInfoForm *>().size(), 0);
    }

    void refreshFlags()
    {
        auto *h = TInAppMessageHolder::instance();
        h->Take();
        int raised = 0;
        auto c = connect(h, &TInAppMessageHolder::Raised, this, [&] { ++raised; });
        RaiseInAppMessage(&TInAppMessage::REFRESH_TCDV_MASTER);
        RaiseInAppMessage(&TInAppMessage::REFRESH_SA_MASTER);
        QCOMPARE(raised, 2);
        const TInAppMessage m = h->Take();
        QVERIFY(m.REFRESH_TCDV_MASTER && m.REFRESH_SA_MASTER && !m.REFRESH_TCDV_TOD);
        QVERIFY(!h->Flags().Any());
        disconnect(c);
    }

    // --- converters -------------------------------------------------------------------

    void strToSignalCode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("flag");
        QTest::addColumn<int>("code");
        QTest::newRow("3 lamps, any flag") << "41" << 2 << 0 << 65;
        QTest::newRow("3 lamps, digit 6 refused") << "46" << 2 << 1 << 0;
        QTest::newRow("3 lamps, 58") << "58" << 2 << 0 << 0x58;
        QTest::newRow("3 lamps, 96 out of range") << "96" << 2 << 0 << 0;
        QTest::newRow("2004 pedestrian refuses 41") << "41" << 1 << 0 << 0;
        QTest::newRow("2004 pedestrian 30") << "30" << 1 << 0 << 0x30;
        QTest::newRow("4 lamps vehicle 80") << "80" << 3 << 1 << 128;
        QTest::newRow("4 lamps vehicle 10") << "10" << 3 << 1 << 16;
        QTest::newRow("other flag passes") << "77" << 1 << 2 << 0x77;
        QTest::newRow("not a number") << "abc" << 2 << 0 << 0;
        QTest::newRow("negative unchecked") << "-5" << 0 << 0 << 0;
    }
    void strToSignalCode()
    {
        QFETCH(QString, text);
        QFETCH(int, kind);
        QFETCH(int, flag);
        QFETCH(int, code);
        QCOMPARE(StrToSignalCode(text, quint8(kind), quint8(flag)), code);
    }

    void fileNamesAndPacketTime()
    {
        QCOMPARE(RemoveInvalidFileChars("a\"b*c/d<e>f?g\\h|i:j"), QString("abcdefghi:j"));
        QCOMPARE(PacketTimeToDateTime(qint32(86400)), QDateTime(QDate(1970, 1, 2), QTime(9, 0)));
        const qint32 raw = 86400;
        QCOMPARE(PacketTimeToDateTime(&raw), QDateTime(QDate(1970, 1, 2), QTime(9, 0)));
        QVERIFY(qAbs(PacketTimeToDateTime(qint32(0)).secsTo(QDateTime::currentDateTime())) < 5);
    }

    void displayFormats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("months") << "0. 월" << QVariant(3) << "3 월";
        QTest::newRow("months english") << "0. Months" << QVariant(12) << "12 Months";
        QTest::newRow("hide zero") << "#." << QVariant(0) << "";
        QTest::newRow("hide zero, other") << "#." << QVariant(7) << "7";
        QTest::newRow("zero shown") << "0.;0." << QVariant(0) << "0";
        QTest::newRow("thousands") << ",0.;-,0." << QVariant(-1234567) << "-1,234,567";
        QTest::newRow("null") << "0." << QVariant() << "";
        QTest::newRow("text stays") << "0." << QVariant("abc") << "abc";
        QTest::newRow("date") << "yyyy-MM-dd HH:mm:ss" << QVariant(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)))
                              << "2024-05-06 07:08:09";
    }
    void displayFormats()
    {
        QFETCH(QString, format);
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QCOMPARE(FormatGridNumber(format, value), text);
    }

    // --- small dialogs and windows --------------------------------------------------------

    void tableChoiceToggles()
    {
        TFormSelectTableDlg::TSelection s{};
        for (int k = 1; k <= 11; ++k)
            s[k] = 2;
        for (int k = 2; k <= 11; ++k)
            TFormSelectTableDlg::Toggle(s, k);
        QCOMPARE(int(s[1]), 1); // all ten chosen turns "all" on
        TFormSelectTableDlg::Toggle(s, 5);
        QCOMPARE(int(s[1]), 2);
        TFormSelectTableDlg::Toggle(s, 1);   // on: everything on
        for (int k = 1; k <= 11; ++k)
            QCOMPARE(int(s[k]), 1);
        TFormSelectTableDlg::Toggle(s, 1);   // twice: nothing chosen
        for (int k = 1; k <= 11; ++k)
            QCOMPARE(int(s[k]), 2);
        QVERIFY(!TFormSelectTableDlg::AnyChosen(s));

        TFormSelectTableDlg dlg;
        ScriptedMsgDlg boxes;
        dlg.show();
        dlg.btnOK->click();                  // nothing chosen: refused, stays open
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("입력하실 테이블을 선택바랍니다."));
        QCOMPARE(boxes.last().caption, QString("유효성 체크"));
        QVERIFY(dlg.isVisible());
        QTest::mouseClick(dlg.img[3], Qt::LeftButton);
        dlg.btn[7]->click();
        QCOMPARE(dlg.SelectedTable(), QList<quint8>({2, 2, 1, 2, 2, 2, 1, 2, 2, 2, 2}));
        dlg.btnOK->click();
        QCOMPARE(dlg.result(), 1);
        QCOMPARE(dlg.btn[2]->text(), QString(" 그룹. 구성정보"));
    }

    void movementPictures_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("picture");
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("8") << 8 << 8;
        QTest::newRow("9") << 9 << 1;
        QTest::newRow("16") << 16 << 8;
        QTest::newRow("17") << 17 << 17;
        QTest::newRow("18") << 18 << 18;
        QTest::newRow("0") << 0 << 1;
    }
    void movementPictures()
    {
        QFETCH(int, number);
        QFETCH(int, picture);
        QCOMPARE(MvmtPictureIndex(number), picture);
    }

    void movementPickerChoosesRow()
    {
        TfrmMvmt_S dlg;
        dlg.show();
        QCOMPARE(dlg.RowCount(), 18);
        QCOMPARE(dlg.Model()->Value(8, 1).toInt(), 1); // number 9 shows picture 1
        dlg.Grid()->setFocus();
        dlg.Grid()->FocusDisplayRow(0);
        for (int i = 0; i < 8; ++i)
            QTest::keyClick(dlg.Grid(), Qt::Key_Down);
        QTest::keyClick(dlg.Grid(), Qt::Key_Return);
        QCOMPARE(dlg.result(), 1);
        QCOMPARE(dlg.SelectedMvmtNo, 9);
        TfrmMvmt_S dlg2;
        dlg2.show();
        dlg2.actClose->trigger();
        QCOMPARE(dlg2.result(), 2);
    }

    void baseWindowClose()
    {
        TfrmBase modal;
        modal.SetIsModal(true);
        modal.show();
        modal.actClose->trigger();
        QCOMPARE(modal.result(), 1);
        QVERIFY(!modal.isVisible());
        TfrmBase plain;
        plain.show();
        plain.actClose->trigger();
        QVERIFY(!plain.isVisible());
        QCOMPARE(plain.actSave->text(), QString("저장"));
        QCOMPARE(plain.actExport->text(), QString("파일저장"));
    }

    void shadowLeavesTaggedControlsUncovered()
    {
        QWidget form;
        form.resize(300, 200);
        auto *panel = new QWidget(&form);
        panel->setGeometry(10, 10, 200, 150);
        auto *inner = new QWidget(panel);
        inner->setGeometry(20, 30, 50, 40);
        auto *button = new QPushButton("go", inner);
        button->setGeometry(5, 5, 30, 20);
        button->setProperty("Tag", 1000);
        form.show();
        TFormShadow *shadow = TFormShadow::CreateShadow(&form);
        shadow->UpdateShadow();
        QVERIFY(shadow->isVisible());
        const QPoint inside = button->mapTo(&form, QPoint(10, 10));
        QVERIFY(!shadow->ShadedRegion().contains(inside));
        QVERIFY(shadow->ShadedRegion().contains(QPoint(5, 5)));
        QCOMPARE(shadow->focusPolicy(), Qt::NoFocus);
        form.showMinimized();
        shadow->UpdateShadow();
        QVERIFY(shadow->ShadedRegion().isEmpty());
        QVERIFY(!shadow->isVisible());
        delete shadow;
    }

    void progressEndsRightAfterStart()
    {
        QWidget owner;
        auto *t = new TProgressBarThread(&owner);
        QPointer<TProgressBarThread> guard(t);
        QPointer<TfrmProgressBar> bar(t->ProgressBar());
        t->StartProgress("전송", pbstNormal, 0, 100, 10);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->windowTitle(), QString("전송"));
        t->EndProgress();
        QTRY_VERIFY(guard.isNull());
        QTRY_VERIFY(bar.isNull() || !bar->isVisible());
    }

    void stylePreviewAndProgramInfo()
    {
        TfrmStylePreview preview;
        preview.FStyleName = "Fusion";
        preview.show();
        QVERIFY(preview.StyleLoaded());
        QVERIFY(preview.FPreview);
        TfrmStylePreview missing;
        missing.FStyleName = "no such style";
        missing.show();
        QVERIFY(!missing.StyleLoaded());
        QVERIFY(!missing.FPreview);
        missing.actClose->trigger();
        QVERIFY(!missing.isVisible());

        TProgramInfoForm info;
        QCOMPARE(info.windowTitle(), QString("프로그램 정보"));
        QCOMPARE(info.lblProgram->text(), QString("실시간 교통신호제어시스템"));
        QCOMPARE(info.lblVersion->text(), QString("Version 1.0"));
        QCOMPARE(info.size(), QSize(292, 219));
        TsiLangDispatcher::instance()->SetActiveLanguage(2);
        QCOMPARE(info.windowTitle(), QString("Program Information"));
        QCOMPARE(info.actClose->text(), QString("Close"));
        TsiLangDispatcher::instance()->SetActiveLanguage(1);
    }

    void progressSteps()
    {
        TfrmProgressBar bar;
        bar.InitProgress("x", pbstNormal, 0, 20, 10);
        bar.ProgressStep();
        bar.ProgressStep();
        QCOMPARE(bar.ProgressBar()->value(), 20);
        bar.ProgressStep(); // past the maximum: back to the minimum
        QCOMPARE(bar.ProgressBar()->value(), 0);
    }
};

QTEST_MAIN(TestCoreKitGrid)
#include "tst_corekit_grid.moc"
