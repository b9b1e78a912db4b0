// The TOD plan editor window on the demo city: what each kind of intersection
// shows (plan classes, pages, read-only cells, empty rows), the plan class that
// follows the list, the saves with their questions and messages, the refresh
// flag raised on closing after a committed save only, the plan number set
// before the intersection, the modal close, the movement editor and its
// opener, and one editor per opening.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QFileInfo>

#include "EditorFixture.h"
#include "centrelink/RC2MMIUnit.h"
#include "core/FileDialogService.h"
#include "core/GridModel.h"
#include "core/GridView.h"
#include "core/InAppMessage.h"
#include "core/MainContracts.h"
#include "core/Quorval.h"
#include "core/WindowRegistry.h"
#include "plans/PlansWindows.h"
#include "plans/TcdvTodUnit.h"
#include "plans/untTcdvTod.h"

using EditorFixture::Column;
using EditorFixture::Exec;

namespace {

const char *const kDb = "tst_tod_window";

// A main window with a live state set, for the movement editor.
class TFakeMain : public QWidget, public IMainWindow
{
public:
    TLC_INFO_SET Set;
    QWidget *MainWidget() override { return this; }
    const TLC_INFO_SET *LiveLcInfoSet() const override { return &Set; }
    IMapBridge *MapBridge() const override { return nullptr; }
    void LocateSA(int) override {}
    void LocateTCDV(int) override {}
};

struct TOpened
{
    QWidget *Owner = nullptr;
    QMap<QString, QVariant> Setters;
};

} // namespace

class TestTodWindow : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

    // A shown editor of an intersection (plan number set first when given).
    std::unique_ptr<TFormTcdvTod> Open(int lc, int plan = 0)
    {
        auto w = std::make_unique<TFormTcdvTod>();
        if (plan > 0)
            w->spnTODNo->setValue(plan);
        w->SetTCDV_ID(lc);
        w->show();
        return w;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        QVERIFY(FDb.Run("CREATE TABLE PHASE_SNAP AS SELECT * FROM SCS_M_INTPHASE;"
                        "CREATE TABLE APLAN_SNAP AS SELECT * FROM SCS_M_SAAPLAN;"
                        "CREATE TABLE TPLAN_SNAP AS SELECT * FROM SCS_M_INTTPLAN;"
                        // A lane count of 77 is refused by the database.
                        "CREATE TABLE PHASE_GUARD (V INT NOT NULL PRIMARY KEY); INSERT INTO PHASE_GUARD VALUES (77);"
                        "CREATE TRIGGER PHASE_GUARD_T AFTER UPDATE ON SCS_M_INTPHASE FOR EACH ROW "
                        "INSERT INTO PHASE_GUARD (V) SELECT 77 FROM DUAL WHERE NEW.INT_LANE = 77;"));
    }
    void init()
    {
        QVERIFY(FDb.Run("DELETE FROM SCS_M_INTPHASE; INSERT INTO SCS_M_INTPHASE SELECT * FROM PHASE_SNAP;"
                        "DELETE FROM SCS_M_SAAPLAN; INSERT INTO SCS_M_SAAPLAN SELECT * FROM APLAN_SNAP;"
                        "DELETE FROM SCS_M_INTTPLAN; INSERT INTO SCS_M_INTTPLAN SELECT * FROM TPLAN_SNAP;"));
        TInAppMessageHolder::instance()->Take();
    }

    // Demo intersections of each kind and an unknown number.
    void kinds_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<int>("classes");
        QTest::addColumn<bool>("signalMap");
        QTest::addColumn<bool>("outputMap");
        QTest::addColumn<bool>("planCellsEditable");
        QTest::addColumn<bool>("splitPaste");
        QTest::addColumn<int>("phaseKeys"); // rows loaded with a key
        QTest::newRow("2004") << 3 << 2 << true << false << true << true << 5;
        QTest::newRow("2010 three-lamp") << 2 << 7 << true << true << true << true << 5;
        QTest::newRow("2010 four-lamp") << 1 << 7 << true << true << true << true << 8;
        QTest::newRow("virtual") << 41 << 7 << false << false << false << false << 8;
        QTest::newRow("unknown") << 999 << 2 << true << false << true << false << 0;
    }
    void kinds()
    {
        QFETCH(int, lc);
        QFETCH(int, classes);
        QFETCH(bool, signalMap);
        QFETCH(bool, outputMap);
        QFETCH(bool, planCellsEditable);
        QFETCH(bool, splitPaste);
        QFETCH(int, phaseKeys);
        ScriptedMsgDlg boxes;
        auto w = Open(lc);
        QCOMPARE(w->cbxGennType->count(), classes);
        QCOMPARE(w->cbxGennType->itemText(0), QStringLiteral("일반제"));
        QCOMPARE(w->pclTCDVTOD->isTabVisible(1), signalMap);
        QCOMPARE(w->pclTCDVTOD->isTabVisible(2), outputMap);
        QCOMPARE(w->PlanClass(), 1);
        // Prepared rows: 16 phase rows with their numbers, 16 time-plan rows.
        TGridModel *p = w->PhaseModel();
        QCOMPARE(p->RecordCount(), 16);
        QCOMPARE(p->Value(13, "INT_PHASENO").toInt(), 7);
        QCOMPARE(p->Value(13, "INT_RING").toInt(), 2);
        QCOMPARE(w->SplitModel()->RecordCount(), 16);
        QCOMPARE(w->SplitModel()->Value(15, "INT_TPLANINDEX").toInt(), 16);
        int keys = 0;
        for (int r = 0; r < 16; ++r)
            keys += p->KeyValue(r).toString().isEmpty() ? 0 : 1;
        QCOMPARE(keys, phaseKeys);
        // Read-only cells: the plan values of the phase grid, the time plan.
        const QModelIndex minSplit = p->index(0, p->ColumnIndex("INT_MINSPLIT"));
        QCOMPARE(bool(p->flags(minSplit) & Qt::ItemIsEditable), planCellsEditable);
        QVERIFY(p->flags(p->index(0, p->ColumnIndex("INT_FLOWNUMBER"))) & Qt::ItemIsEditable);
        QVERIFY(!(p->flags(p->index(0, p->ColumnIndex("INT_PHASENO"))) & Qt::ItemIsEditable));
        QVERIFY(!(p->flags(p->index(2, p->ColumnIndex("INT_DUALFLAG"))) & Qt::ItemIsEditable));
        TGridModel *s = w->SplitModel();
        QCOMPARE(bool(s->flags(s->index(1, s->ColumnIndex("SA_CYCLELENGTH"))) & Qt::ItemIsEditable), planCellsEditable);
        QVERIFY(!(s->flags(s->index(2, s->ColumnIndex("SA_CYCLELENGTH"))) & Qt::ItemIsEditable));
        QCOMPARE(w->actSplitPaste->isEnabled(), splitPaste);
        QCOMPARE(w->actSplitDel->isEnabled(), splitPaste);
        QCOMPARE(w->actPhaseSave->isEnabled(), false);
        const bool known = lc != 999;
        QCOMPARE(w->lblTCDV_NAME->text() == DM->T_NotExist, !known);
        QCOMPARE(w->actPhaseSearch->isEnabled(), known);
        QCOMPARE(w->actEditMvmt->isEnabled(), known);
        QCOMPARE(boxes.count(), 0);
    }

    // A 2004 intersection loaded while the pedestrian map (class 7) is chosen:
    // the list shows the time-difference class and the grids hold class 2.
    void classFollowsList()
    {
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER) "
                     "VALUES (3, 2, 1, 1, 11), (3, 7, 1, 1, 17)"));
        auto w = Open(1);
        w->cbxGennType->setCurrentIndex(6);
        emit w->cbxGennType->activated(6);
        QCOMPARE(w->PlanClass(), 7);
        w->SetTCDV_ID(3);
        QCOMPARE(w->cbxGennType->count(), 2);
        QCOMPARE(w->cbxGennType->currentIndex(), 1);
        QCOMPARE(w->cbxGennType->currentText(), QStringLiteral("시차제"));
        QCOMPARE(w->PlanClass(), 2);
        QCOMPARE(w->PhaseModel()->Value(0, "INT_FLOWNUMBER").toInt(), 11);
        QCOMPARE(w->PhaseModel()->KeyValue(0).toString(), QStringLiteral("3,2,1,1"));
    }

    // Saves of the phase page with their questions; the refresh flag follows a committed save only.
    void phaseSave_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");  // the last box
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("refresh");
        QTest::newRow("saved") << "ok" << "저장되었습니다." << true << true;
        QTest::newRow("answered No") << "no" << "저장하시겠습니까?" << false << false;
        QTest::newRow("empty movement") << "required" << "필수 입력 항목을 확인바랍니다." << false << false;
        QTest::newRow("duplicate phase and ring") << "duplicate" << "중복된 데이터가 존재합니다." << false << false;
        QTest::newRow("database error") << "fail" << "저장중 문제가 발생했습니다." << false << false;
    }
    void phaseSave()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QFETCH(bool, stored);
        QFETCH(bool, refresh);
        ScriptedMsgDlg boxes;
        boxes.enqueue(kind == QLatin1String("no") ? mrNo : mrYes);
        auto w = Open(16);
        TGridModel *m = w->PhaseModel();
        QVERIFY(m->EditValue(1, m->ColumnIndex("INT_LANE"), 4));
        QCOMPARE(m->State(1), QStringLiteral("M"));
        QVERIFY(w->actPhaseSave->isEnabled());
        if (kind == QLatin1String("required"))
            QVERIFY(m->EditValue(12, m->ColumnIndex("INT_MINSPLIT"), 9));
        if (kind == QLatin1String("duplicate"))
            m->SetValue(3, m->ColumnIndex("INT_RING"), 1);
        if (kind == QLatin1String("fail")) {
            QVERIFY(m->EditValue(10, m->ColumnIndex("INT_FLOWNUMBER"), 3)); // an insert with its cascade
            QVERIFY(m->EditValue(3, m->ColumnIndex("INT_LANE"), 77));       // refused by the database
        }
        w->actPhaseSave->trigger();
        QCOMPARE(boxes.last().text, message);
        QCOMPARE(Column("SELECT INT_LANE FROM SCS_M_INTPHASE WHERE INT_LCNO = 16 AND INT_PLANCLSS = 1 AND INT_PHASENO = 1 AND INT_RING = 2"),
                 QStringList{stored ? "4" : "3"});
        QCOMPARE(w->RefreshPending(), refresh);
        // A failed save keeps the edits; a committed one reloads the grid.
        QCOMPARE(m->State(1), stored ? QStringLiteral("N") : QStringLiteral("M"));
        if (kind == QLatin1String("fail"))
            QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTPHASE WHERE INT_PHASENO = 6 AND INT_RING = 1 AND INT_LCNO IN (16, 41)"),
                     QStringList{"0"});
        w->close();
        QCOMPARE(TInAppMessageHolder::instance()->Take().REFRESH_TCDV_TOD, refresh);
    }

    void pasteRefusedShowsMessage()
    {
        ScriptedMsgDlg boxes;
        auto w = Open(16);
        w->gtvPhase->FocusRecord(1, w->PhaseModel()->ColumnIndex("INT_MINSPLIT"));
        QApplication::clipboard()->setText("1\tB\t19\t\t20\t80\tN\tY\t3\tN\t3\tN\tN\tN\t");
        w->actPhasePaste->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().caption, QStringLiteral("입력값 범위 오류"));
        QCOMPARE(w->PhaseModel()->State(1), QStringLiteral("N"));
        QCOMPARE(w->PhaseModel()->Value(1, "INT_FLOWNUMBER").toInt(), 2);
    }

    // Plan number 3 set before the intersection loads plan 3; the save asks about
    // every deleted row and the last answer decides.
    void planNumberAndDeleteQuestion()
    {
        QVERIFY(FDb.Run("DELETE FROM SCS_M_SAAPLAN WHERE SA_NO = 1 AND SA_APLAN = 3;"
                        "DELETE FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1 AND INT_TPLAN = 3;"
                        "INSERT INTO SCS_M_SAAPLAN VALUES (1, 3, 1, 100, 0, 1), (1, 3, 2, 110, 0, 1), (1, 3, 3, 120, 0, 1);"
                        "INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_ASPLIT1) VALUES "
                        "(1, 3, 1, 100), (1, 3, 2, 110), (1, 3, 5, 120);"));
        ScriptedMsgDlg boxes;
        auto w = Open(1, 3);
        QCOMPARE(w->PlanNumber(), 3);
        QVERIFY(!w->grpSelSplit[2]->isEnabled());
        TGridModel *m = w->SplitModel();
        QCOMPARE(m->Value(4, "SA_CYCLELENGTH").toInt(), 120);
        QCOMPARE(m->Value(1, "INT_ASPLIT1").toInt(), 110);
        w->gtvSplit->FocusRecord(1);
        w->actSplitDel->trigger();
        w->gtvSplit->FocusRecord(4);
        w->actSplitDel->trigger();
        QCOMPARE(m->State(4), QStringLiteral("D"));
        QVERIFY(w->actSplitSave->isEnabled());
        boxes.enqueue({mrYes, mrYes, mrNo});
        w->actSplitSave->trigger();
        QCOMPARE(boxes.count(), 4);
        QCOMPARE(boxes.requests().at(1).text, QStringLiteral("삭제시 그룹주기계획정보도 함께 삭제하시겠습니까?"));
        QCOMPARE(boxes.requests().at(2).caption, QStringLiteral("그룹정보 삭제 확인"));
        QCOMPARE(boxes.last().text, QStringLiteral("저장되었습니다."));
        QCOMPARE(Column("SELECT INT_TPLANINDEX FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1 AND INT_TPLAN = 3 ORDER BY 1"), QStringList{"1"});
        QCOMPARE(Column("SELECT SA_APLANINDEX FROM SCS_M_SAAPLAN WHERE SA_NO = 1 AND SA_APLAN = 3 ORDER BY 1"),
                 (QStringList{"1", "2", "3"}));
        QVERIFY(w->RefreshPending());
    }

    // A changed time-plan row without a cycle length: the required text, nothing written.
    void splitSaveNeedsCycleLength()
    {
        ScriptedMsgDlg boxes;
        auto w = Open(1, 9);
        TGridModel *m = w->SplitModel();
        QVERIFY(m->EditValue(8, m->ColumnIndex("INT_ASPLIT1"), 30));
        const QStringList before = Column("SELECT COUNT(*) FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1");
        boxes.enqueue(mrYes);
        w->actSplitSave->trigger();
        QCOMPARE(boxes.last().text, QStringLiteral("필수 입력 항목을 확인바랍니다."));
        QCOMPARE(boxes.last().caption, QStringLiteral("유효성 체크"));
        QCOMPARE(w->gtvSplit->FocusedRecord(), 8);
        QCOMPARE(w->gtvSplit->FocusedColumn(), m->ColumnIndex("SA_CYCLELENGTH"));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1"), before);
        QCOMPARE(m->State(8), QStringLiteral("I"));
        QVERIFY(!w->RefreshPending());
    }

    void validationMessages()
    {
        ScriptedMsgDlg boxes;
        auto w = Open(1, 9);
        w->actSplitValidate->trigger();
        QCOMPARE(boxes.last().text, QStringLiteral("교차로시간계획 합계값이 일치합니다."));
        QCOMPARE(boxes.last().caption, QStringLiteral("검증 확인"));
        TGridModel *m = w->SplitModel();
        QVERIFY(m->EditValue(0, m->ColumnIndex("SA_CYCLELENGTH"), 100));
        QVERIFY(m->EditValue(0, m->ColumnIndex("INT_ASPLIT1"), 100));
        w->gtvSplit->FocusRecord(5, m->ColumnIndex("INT_ASPLIT3"));
        w->actSplitValidate->trigger();
        QCOMPARE(boxes.last().text, QStringLiteral("교차로시간계획 합계값이 일치하지 않습니다."));
        QCOMPARE(boxes.last().kind, mkWarning);
        // Row 1's ring B is wrong: the focus moves from the A split to the B split.
        QCOMPARE(w->gtvSplit->FocusedRecord(), 0);
        QCOMPARE(w->gtvSplit->FocusedColumn(), m->ColumnIndex("INT_BSPLIT3"));
    }

    void copyToOtherPlans()
    {
        QVERIFY(FDb.Run("DELETE FROM SCS_M_SAAPLAN WHERE SA_NO = 1 AND SA_APLAN IN (1, 7, 8);"
                        "DELETE FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1 AND INT_TPLAN IN (1, 7, 8);"
                        "INSERT INTO SCS_M_SAAPLAN VALUES (1, 1, 1, 100, 0, 1);"
                        "INSERT INTO SCS_M_INTTPLAN (INT_LCNO, INT_TPLAN, INT_TPLANINDEX, INT_ASPLIT1) VALUES (1, 1, 1, 100);"));
        ScriptedMsgDlg boxes;
        auto w = Open(1);
        QVERIFY(!w->actSplitMultiCopy->isEnabled());
        w->grpSelSplit[6]->setChecked(true);
        w->grpSelSplit[7]->setChecked(true);
        QVERIFY(w->actSplitMultiCopy->isEnabled());
        boxes.enqueue(mrYes);
        w->actSplitMultiCopy->trigger();
        QCOMPARE(boxes.requests().at(0).text, QStringLiteral("현재 교차로시간계획을 #7,#8 로 복사하시겠습니까?"));
        QCOMPARE(boxes.last().text, QStringLiteral("저장되었습니다."));
        QCOMPARE(Column("SELECT SA_APLAN FROM SCS_M_SAAPLAN WHERE SA_NO = 1 AND SA_APLAN IN (1, 7, 8) ORDER BY 1"),
                 (QStringList{"1", "7", "8"}));
        QCOMPARE(Column("SELECT INT_TPLAN FROM SCS_M_INTTPLAN WHERE INT_LCNO = 1 AND INT_TPLAN IN (1, 7, 8) ORDER BY 1"),
                 (QStringList{"1", "7", "8"}));
    }

    // The phase export proposes intersection, page and class as the file name,
    // writes the workbook and offers to open it.
    void exportPhases()
    {
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        QTemporaryDir dir;
        const QString file = dir.filePath("phases.xlsx");
        files.enqueue(file);
        auto w = Open(1);
        w->actPhaseExport->trigger();
        QCOMPARE(files.last().fileName, QStringLiteral("신사역사거리_현시구성(일반제)"));
        QCOMPARE(files.last().defaultExtension, QStringLiteral("xlsx"));
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(boxes.last().text, QStringLiteral("파일을 여시겠습니까?"));
        QCOMPARE(DM->G_DIALOG_PATH, dir.path());
    }

    // The time-plan grid: equal cycle indexes merged, the phase band with its
    // numbers, read-only and invalid cells painted.
    void splitPresentation()
    {
        auto w = Open(1);
        TGridModel *m = w->SplitModel();
        const int index = m->ColumnIndex("SA_APLANINDEX");
        QCOMPARE(w->gtvSplit->rowSpan(0, index), 1);
        QCOMPARE(w->gtvSplit->rowSpan(1, index), 3);
        QCOMPARE(w->gtvSplit->rowSpan(13, index), 3);
        bool parts = false;
        for (const TGridBand &b : w->gtvSplit->Header()->Bands())
            parts = parts || b.Parts == QStringList{"1", "2", "3", "4", "5", "6", "7", "8"};
        QVERIFY(parts);
        const int cycle = m->ColumnIndex("SA_CYCLELENGTH");
        QCOMPARE(m->index(2, cycle).data(Qt::BackgroundRole).value<QColor>(), QColor(179, 179, 179));
        QVERIFY(!m->index(1, cycle).data(Qt::BackgroundRole).isValid());
        const int sumA = m->ColumnIndex("SumA");
        QVERIFY(!m->index(0, sumA).data(Qt::BackgroundRole).isValid()); // the demo plan matches
        QVERIFY(m->EditValue(0, m->ColumnIndex("INT_ASPLIT1"), 1));
        QCOMPARE(m->index(0, sumA).data(Qt::BackgroundRole).value<QColor>(), QColor(197, 64, 64));
    }

    // Opening a split cell's editor focuses the phase row of its phase and ring.
    void splitEditorFocusesPhase()
    {
        auto w = Open(1);
        TGridModel *s = w->SplitModel();
        w->gtvSplit->FocusRecord(2, s->ColumnIndex("INT_BSPLIT2"));
        w->gtvSplit->edit(w->gtvSplit->currentIndex());
        auto *spin = w->gtvSplit->findChild<QSpinBox *>();
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), 18);
        QCOMPARE(spin->maximum(), 83);
        QCOMPARE(w->gtvPhase->FocusedRecord(), 3);
    }

    // Focusing a phase row focuses the split cell of its phase and ring in the
    // time plan (row = (phase - 1) x 2 + ring - 1), in the focused time-plan row
    // or the first one when none is focused; a virtual intersection's time plan
    // keeps its focus.
    void phaseRowFocusesSplit_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<int>("splitRow");  // time-plan row focused first, -1 none
        QTest::addColumn<int>("phaseRow");
        QTest::addColumn<int>("wantRow");
        QTest::addColumn<QString>("wantColumn");
        QTest::newRow("phase 1 ring A") << 1 << 4 << 0 << 4 << "INT_ASPLIT1";
        QTest::newRow("phase 2 ring B") << 1 << 5 << 3 << 5 << "INT_BSPLIT2";
        QTest::newRow("phase 8 ring A") << 1 << 15 << 14 << 15 << "INT_ASPLIT8";
        QTest::newRow("phase 8 ring B") << 1 << 0 << 15 << 0 << "INT_BSPLIT8";
        QTest::newRow("no time-plan row focused") << 1 << -1 << 5 << 0 << "INT_BSPLIT3";
        QTest::newRow("virtual keeps its focus") << 41 << 6 << 9 << 6 << "SA_CYCLELENGTH";
    }
    void phaseRowFocusesSplit()
    {
        QFETCH(int, lc);
        QFETCH(int, splitRow);
        QFETCH(int, phaseRow);
        QFETCH(int, wantRow);
        QFETCH(QString, wantColumn);
        auto w = Open(lc);
        TGridModel *s = w->SplitModel();
        w->gtvPhase->FocusRecord(2); // another row first, so that the row changes
        if (splitRow >= 0)
            w->gtvSplit->FocusRecord(splitRow, s->ColumnIndex("SA_CYCLELENGTH"));
        else
            w->gtvSplit->setCurrentIndex(QModelIndex());
        w->gtvPhase->FocusRecord(phaseRow, w->PhaseModel()->ColumnIndex("INT_MINSPLIT"));
        QCOMPARE(w->gtvPhase->FocusedRecord(), phaseRow);
        QCOMPARE(w->gtvSplit->FocusedRecord(), wantRow);
        QCOMPARE(s->Column(w->gtvSplit->FocusedColumn()).Name, wantColumn);
    }

    // The phase grid's highlight: the focused cell white, the rest of the
    // focused column in the selection colour, the phase number, ring and
    // movement columns read only otherwise, the column focused before restored.
    // A virtual intersection highlights no column: its focused cell takes the
    // selection colour and its plan columns stay read only.
    void phaseColumnHighlight_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<QString>("focused");   // column focused on row 2
        QTest::addColumn<QString>("column");    // cell asked on row 2 or 5
        QTest::addColumn<int>("row");
        QTest::addColumn<QColor>("want");       // invalid: no background
        const QColor none;
        const QColor white(255, 255, 255);
        const QColor selection(220, 230, 245);
        const QColor readOnly(179, 179, 179);
        QTest::newRow("focused cell") << 1 << "INT_MINSPLIT" << "INT_MINSPLIT" << 2 << white;
        QTest::newRow("focused column") << 1 << "INT_MINSPLIT" << "INT_MINSPLIT" << 5 << selection;
        QTest::newRow("other plan column") << 1 << "INT_MINSPLIT" << "INT_MAXSPLIT" << 5 << none;
        QTest::newRow("phase number") << 1 << "INT_MINSPLIT" << "INT_PHASENO" << 5 << readOnly;
        QTest::newRow("ring") << 1 << "INT_MINSPLIT" << "INT_RING" << 5 << readOnly;
        QTest::newRow("movement number") << 1 << "INT_MINSPLIT" << "INT_FLOWNUMBER" << 5 << readOnly;
        QTest::newRow("movement picture") << 1 << "INT_MINSPLIT" << "Mvmt" << 5 << readOnly;
        QTest::newRow("link") << 1 << "INT_MINSPLIT" << "LINK_ID" << 5 << none;
        QTest::newRow("focused ring column") << 1 << "INT_RING" << "INT_RING" << 5 << selection;
        QTest::newRow("focused check column") << 1 << "INT_DUALFLAG" << "INT_DUALFLAG" << 9 << selection;
        QTest::newRow("virtual focused cell") << 41 << "INT_FLOWNUMBER" << "INT_FLOWNUMBER" << 2 << selection;
        QTest::newRow("virtual focused column") << 41 << "INT_FLOWNUMBER" << "INT_FLOWNUMBER" << 5 << none;
        QTest::newRow("virtual plan column") << 41 << "INT_FLOWNUMBER" << "INT_MINSPLIT" << 5 << readOnly;
        QTest::newRow("virtual phase number") << 41 << "INT_FLOWNUMBER" << "INT_PHASENO" << 5 << none;
    }
    void phaseColumnHighlight()
    {
        QFETCH(int, lc);
        QFETCH(QString, focused);
        QFETCH(QString, column);
        QFETCH(int, row);
        QFETCH(QColor, want);
        auto w = Open(lc);
        TGridModel *p = w->PhaseModel();
        const auto background = [p](int rec, const QString &name) {
            return p->index(rec, p->ColumnIndex(name)).data(Qt::BackgroundRole).value<QColor>();
        };
        w->gtvPhase->FocusRecord(2, p->ColumnIndex(focused));
        QCOMPARE(background(row, column), want);
    }

    // Moving the focus to another column restores the one focused before.
    void phaseHighlightRestored()
    {
        auto w = Open(1);
        TGridModel *p = w->PhaseModel();
        const auto background = [p](int rec, const QString &name) {
            return p->index(rec, p->ColumnIndex(name)).data(Qt::BackgroundRole).value<QColor>();
        };
        w->gtvPhase->FocusRecord(2, p->ColumnIndex("INT_RING"));
        w->gtvPhase->FocusRecord(2, p->ColumnIndex("INT_LANE"));
        QCOMPARE(background(5, "INT_RING"), QColor(179, 179, 179));
        QCOMPARE(background(5, "INT_LANE"), QColor(220, 230, 245));
        w->gtvPhase->FocusRecord(7, p->ColumnIndex("INT_YELLOW"));
        QCOMPARE(background(5, "INT_LANE"), QColor());
        QCOMPARE(background(7, "INT_YELLOW"), QColor(255, 255, 255));
        QCOMPARE(background(2, "INT_YELLOW"), QColor(220, 230, 245));
    }

    void modalCloseReturnsOk()
    {
        auto w = Open(1);
        w->hide();
        w->SetIsModal(true);
        QTimer::singleShot(0, w.get(), [&w] { w->actClose->trigger(); });
        QCOMPARE(w->exec(), int(TfrmBase::mrOK));
    }

    // The movement editor: refused for an intersection outside the live set,
    // opened by class name with the intersection, position and plan class otherwise.
    void movementEditor()
    {
        TOpened opened;
        TMainOpeners::Register(QStringLiteral("TfrmTCDV_E_PhaseMvmt"),
                               {[&opened](const TOpenContext &c) -> QWidget * {
                                    opened.Owner = c.Owner;
                                    auto *w = new QWidget(c.Owner);
                                    w->setObjectName(QStringLiteral("mvmtEditor"));
                                    return w;
                                },
                                [&opened](QWidget *, const QString &setter, const QVariant &v) { opened.Setters[setter] = v; },
                                {}, {}});
        TFakeMain main;
        auto live = std::make_shared<TSTT_LC_INFO>();
        live->cx = "37.5";
        live->cy = "127.0";
        main.Set.SetLcInfo(2, live);
        ScriptedMsgDlg boxes;
        auto w = Open(1);
        w->SetMain(&main);
        w->actEditMvmt->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("사용중인 교차로만 편집하실 수 있습니다."));
        QCOMPARE(boxes.last().caption, QStringLiteral("이동류 편집"));
        QVERIFY(!opened.Owner);

        w->SetTCDV_ID(2);
        w->cbxGennType->setCurrentIndex(2);
        emit w->cbxGennType->activated(2);
        w->actEditMvmt->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(opened.Owner, w.get());
        QCOMPARE(opened.Setters.value("TCDV_ID").toInt(), 2);
        QCOMPARE(opened.Setters.value("FLat").toString(), QStringLiteral("37.5"));
        QCOMPARE(opened.Setters.value("FLng").toString(), QStringLiteral("127.0"));
        QCOMPARE(opened.Setters.value("PlanClass").toInt(), 3);
        QWidget *editor = TWindowRegistry::Find(QStringLiteral("TfrmTCDV_E_PhaseMvmt"));
        QVERIFY(editor);
        // A second press brings the open editor forward instead of another one.
        opened.Owner = nullptr;
        w->actEditMvmt->trigger();
        QVERIFY(!opened.Owner);
        QCOMPARE(TWindowRegistry::Find(QStringLiteral("TfrmTCDV_E_PhaseMvmt")), editor);
        TMainOpeners::Unregister(QStringLiteral("TfrmTCDV_E_PhaseMvmt"));
    }

    // The opener table: the action names the editor, its setters reach it, and
    // a second opening finds the one that is shown.
    void opener()
    {
        RegisterPlansWindows();
        const TWindowClassHooks *hooks = TMainOpeners::Hooks(QStringLiteral("TFormTcdvTod"));
        QVERIFY(hooks && hooks->Create);
        bool created = false;
        auto *first = TWindowRegistry::Open<QWidget>(
            [hooks] { return hooks->Create(TOpenContext{}); }, &created, QStringLiteral("TFormTcdvTod"));
        QVERIFY(created);
        TMainOpeners::Apply(*hooks, first, QStringLiteral("TCDV_ID"), 16);
        TMainOpeners::Apply(*hooks, first, QStringLiteral("IsModal"), true);
        auto *tod = qobject_cast<TFormTcdvTod *>(first);
        QVERIFY(tod);
        QCOMPARE(tod->TCDV_ID(), 16);
        QVERIFY(tod->IsModal());
        auto *second = TWindowRegistry::Open<QWidget>(
            [hooks] { return hooks->Create(TOpenContext{}); }, &created, QStringLiteral("TFormTcdvTod"));
        QVERIFY(!created);
        QCOMPARE(second, first);
        delete first;
        QVERIFY(!TWindowRegistry::Find(QStringLiteral("TFormTcdvTod")));
    }

    void cleanupTestCase() { FDb.Close(); }
};

QTEST_MAIN(TestTodWindow)
#include "tst_tod_window.moc"
