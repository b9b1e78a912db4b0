// The group editors on the fixture database: the master list (group-number
// limits, empty cells, renumbering, deletion, the refresh flag), the merge
// links (at most four, duplicate sequence, renumbered sequence, the simple
// variables) and the two overviews (no group chosen, coded texts in both
// languages, the two-sheet workbook, missing cycle indexes).
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "EditorFixture.h"
#include "core/FileDialogService.h"
#include "core/GridView.h"
#include "core/InAppMessage.h"
#include "core/Quorval.h"
#include "core/siLang.h"
#include "plans/untSA_E_Master.h"
#include "plans/untSA_E_Merge.h"
#include "plans/untSA_S_Conf.h"

using EditorFixture::Column;
using EditorFixture::Exec;

namespace {

const char *const kDb = "tst_group_editors";

int Col(const TGridModel *m, const char *name)
{
    return m->ColumnIndex(QString::fromLatin1(name));
}

int RecordOf(const TGridModel *m, const char *column, int value)
{
    return m->FindText(Col(m, column), QString::number(value));
}

// Every sheet of a workbook by name, each row's cells as text, read by openpyxl.
QList<QPair<QString, QList<QStringList>>> ReadSheets(const QString &file)
{
    static const char *script =
        "import json, sys, openpyxl\n"
        "wb = openpyxl.load_workbook(sys.argv[1])\n"
        "def t(v):\n"
        "    if v is None: return ''\n"
        "    if isinstance(v, float) and v.is_integer(): return str(int(v))\n"
        "    return str(v)\n"
        "print(json.dumps([[ws.title, [[t(c) for c in r] for r in ws.iter_rows(values_only=True)]]"
        " for ws in wb.worksheets], ensure_ascii=False))\n";
    QProcess p;
    p.start(CoreKit::Python(), {"-c", script, file});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("openpyxl: %s", p.readAllStandardError().constData());
        return {};
    }
    QList<QPair<QString, QList<QStringList>>> sheets;
    for (const auto &s : QJsonDocument::fromJson(p.readAllStandardOutput()).array()) {
        QList<QStringList> rows;
        for (const auto &r : s.toArray().at(1).toArray()) {
            QStringList row;
            for (const auto &c : r.toArray())
                row << c.toString();
            rows << row;
        }
        sheets.append({s.toArray().at(0).toString(), rows});
    }
    return sheets;
}

// The refresh flags start lowered in every case.
void LowerFlags()
{
    TInAppMessageHolder::instance()->Take();
}

} // namespace

class TestGroupEditors : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        QString err;
        QVERIFY2(FDb.Run("CREATE TABLE BASE_SAOPERATE AS SELECT * FROM SCS_M_SAOPERATE;"
                         "CREATE TABLE BASE_SAMERGE AS SELECT * FROM SCS_M_SAMERGE;"
                         "CREATE TABLE BASE_INTLC AS SELECT INT_LCNO, INT_SANO FROM SCS_M_INTLC;",
                         &err),
                 qPrintable(err));
    }
    void init()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QString err;
        QVERIFY2(FDb.Run("DELETE FROM SCS_M_SAOPERATE; INSERT INTO SCS_M_SAOPERATE SELECT * FROM BASE_SAOPERATE;"
                         "DELETE FROM SCS_M_SAMERGE; INSERT INTO SCS_M_SAMERGE SELECT * FROM BASE_SAMERGE;"
                         "UPDATE SCS_M_INTLC L JOIN BASE_INTLC B ON B.INT_LCNO = L.INT_LCNO SET L.INT_SANO = B.INT_SANO;"
                         "DELETE FROM SCS_M_SAAPLAN;",
                         &err),
                 qPrintable(err));
        LowerFlags();
    }
    void cleanupTestCase() { FDb.Close(); }

    // --- the master list ---------------------------------------------------------------

    void masterLoadsEveryGroup()
    {
        TfrmSA_E_Master w;
        w.show();
        const TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 4);
        QCOMPARE(m->Text(1, Col(m, "SA_NAME")), QString("테헤란로 축"));
        QCOMPARE(m->Text(1, Col(m, "SA_SAJOINVARIABLE6")), QString("60"));
        QCOMPARE(m->KeyValue(3).toString(), QString("4"));
        QVERIFY(w.actAdd->isEnabled() && w.actExport->isEnabled() && !w.actSave->isEnabled());
        // A chosen group is focused, an unknown one only named.
        w.SetSA_ID(3);
        QCOMPARE(w.cxGrid->FocusedRecord(), 2);
        QCOMPARE(w.lblSA_NAME->text(), QString("도곡로 축"));
        w.SetSA_ID(99);
        QCOMPARE(w.lblSA_NAME->text(), QString("없음"));
        QCOMPARE(w.cxGrid->FocusedRecord(), 2);
    }

    // The number box of the master list only focuses: with unsaved edits it asks
    // nothing and keeps them.
    void masterNumberBoxKeepsEdits()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_E_Master w;
        w.show();
        TGridModel *m = w.GridModel();
        m->EditValue(0, Col(m, "SA_NAME"), "바뀐 이름");
        w.edtSA->setFocus();
        QTest::keyClicks(w.edtSA, "3");
        QCOMPARE(w.lblSA_NAME->text(), QString("도곡로 축"));
        QTest::keyClick(w.edtSA, Qt::Key_Return);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(w.cxGrid->FocusedRecord(), 2);
        QCOMPARE(m->State(0), QString("M"));
        QCOMPARE(m->Text(0, Col(m, "SA_NAME")), QString("바뀐 이름"));
        QVERIFY(w.actSave->isEnabled());
    }

    // A new group by its number: above 200 refused with the maximum message, 0
    // refused as no group number, 200 and 1-style numbers stored.
    void masterGroupNumberLimits_data()
    {
        QTest::addColumn<QVariant>("number");
        QTest::addColumn<QString>("refusal"); // empty: saved
        QTest::newRow("201") << QVariant(201) << QString("입력 가능한 그룹번호 최대값을 초과하였습니다.");
        QTest::newRow("200") << QVariant(200) << QString();
        QTest::newRow("5") << QVariant(5) << QString();
        QTest::newRow("0") << QVariant(0) << QString("필수 입력 항목을 확인바랍니다.");
        QTest::newRow("empty") << QVariant() << QString("필수 입력 항목을 확인바랍니다.");
        QTest::newRow("duplicate 2") << QVariant(2) << QString("그룹번호가 중복됐습니다.");
    }
    void masterGroupNumberLimits()
    {
        QFETCH(QVariant, number);
        QFETCH(QString, refusal);
        ScriptedMsgDlg boxes;
        TfrmSA_E_Master w;
        w.show();
        TGridModel *m = w.GridModel();
        w.actAdd->trigger();
        const int rec = m->RecordCount() - 1;
        m->EditValue(rec, Col(m, "SA_NO"), number);
        m->EditValue(rec, Col(m, "SA_NAME"), "새 그룹");
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        const QStringList stored = Column("SELECT SA_NO FROM SCS_M_SAOPERATE WHERE SA_NAME = '새 그룹'");
        if (refusal.isEmpty()) {
            QCOMPARE(stored, QStringList{number.toString()});
            QCOMPARE(boxes.last().text, QString("저장되었습니다."));
            QVERIFY(TInAppMessageHolder::instance()->Flags().REFRESH_SA_MASTER);
        } else {
            QVERIFY(stored.isEmpty());
            QCOMPARE(boxes.last().caption, QString("유효성 체크"));
            QCOMPARE(boxes.last().text, refusal);
            QCOMPARE(w.cxGrid->FocusedRecord(), rec);
            QCOMPARE(m->State(rec), QString("I"));                    // the edits stay
            QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_SA_MASTER);
        }
    }

    // An emptied number cell is stored as 0; the name and the outline stay as they were.
    void masterEmptiedCellSavesZero()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_E_Master w;
        w.show();
        TGridModel *m = w.GridModel();
        const QStringList outline = Column("SELECT MD5(SA_LATLNGS) FROM SCS_M_SAOPERATE WHERE SA_NO = 1");
        QVERIFY(Exec("UPDATE SCS_M_SAOPERATE SET SA_PHASEFACTOR = 5, SA_REGFLAG = 1 WHERE SA_NO = 1"));
        w.actSearch->trigger();
        m->EditValue(0, Col(m, "SA_PHASEFACTOR"), QVariant());
        m->EditValue(0, Col(m, "SA_REGFLAG"), QVariant());
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(Column("SELECT CONCAT(SA_PHASEFACTOR, '/', SA_REGFLAG, '/', SA_NAME) FROM SCS_M_SAOPERATE WHERE SA_NO = 1"),
                 QStringList{"0/0/도산대로 축"});
        QCOMPARE(Column("SELECT MD5(SA_LATLNGS) FROM SCS_M_SAOPERATE WHERE SA_NO = 1"), outline);
    }

    // Renumbering finds the row by its old number; members and merges keep it.
    // Deleting removes only the master row.
    void masterRenumberAndDelete()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_E_Master w;
        w.show();
        TGridModel *m = w.GridModel();
        const int four = RecordOf(m, "SA_NO", 4);
        m->EditValue(four, Col(m, "SA_NO"), 44);
        w.cxGrid->FocusRecord(RecordOf(m, "SA_NO", 3));
        w.actDel->trigger();
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT CONCAT(SA_NO, ':', SA_NAME) FROM SCS_M_SAOPERATE ORDER BY SA_NO"),
                 (QStringList{"1:도산대로 축", "2:테헤란로 축", "44:남부순환로 축"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_SAOPERATE WHERE SA_NO = 44 AND SA_LATLNGS IS NOT NULL"),
                 QStringList{"1"});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_SANO = 3"), QStringList{"11"});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_SANO = 4"),
                 Column("SELECT COUNT(*) FROM BASE_INTLC WHERE INT_SANO = 4"));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_SAMERGE WHERE SA_NO IN (3, 4)"), QStringList{"3"});
        QVERIFY(TInAppMessageHolder::instance()->Flags().REFRESH_SA_MASTER);
    }

    // A failure of the database rolls back, raises nothing and keeps the edits.
    void masterFailedSaveKeepsEdits()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_E_Master w;
        w.show();
        TGridModel *m = w.GridModel();
        m->EditValue(0, Col(m, "SA_NAME"), "바뀐 이름");
        w.actAdd->trigger();
        const int rec = m->RecordCount() - 1;
        m->EditValue(rec, Col(m, "SA_NO"), 7);
        m->EditValue(rec, Col(m, "SA_NAME"), "이름");
        QVERIFY(Exec("INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (7, '먼저 온 그룹')"));
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장중 문제가 발생했습니다."));
        QCOMPARE(Column("SELECT SA_NAME FROM SCS_M_SAOPERATE WHERE SA_NO = 1"), QStringList{"도산대로 축"});
        QCOMPARE(m->Text(0, Col(m, "SA_NAME")), QString("바뀐 이름"));
        QCOMPARE(m->State(0), QString("M"));
        QCOMPARE(m->State(rec), QString("I"));
        QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_SA_MASTER);
    }

    // --- the merge links -------------------------------------------------------------

    void mergeAtMostFourLinks()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_E_Merge w;
        w.show();
        QVERIFY(!w.actAdd->isEnabled());   // no group yet
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 2);
        QCOMPARE(m->KeyValue(1).toString(), QString("1,2"));
        for (int seq : {3, 4}) {
            w.actAdd->trigger();
            const int rec = m->RecordCount() - 1;
            const QList<QPair<const char *, int>> cells{
                {"SA_LINKINDEX", seq}, {"SA_LINKSEG", 4}, {"SA_LINKMAININT", 30 + seq}, {"SA_LINKSUBINT", 40}};
            for (const auto &c : cells)
                m->EditValue(rec, Col(m, c.first), c.second);
        }
        QCOMPARE(boxes.count(), 0);
        w.actAdd->trigger();
        QCOMPARE(m->RecordCount(), 4);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("최대 입력 라인수를 초과하였습니다."));
        QCOMPARE(boxes.last().caption, QString("확인"));
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        // Empty offsets are written as 0.
        QCOMPARE(Column("SELECT CONCAT(SA_LINKINDEX, ':', SA_LINKSEG, ':', SA_LINKMAININT, ':', SA_LINKOFFSETIN) "
                        "FROM SCS_M_SAMERGE WHERE SA_NO = 1 AND SA_LINKINDEX > 2 ORDER BY SA_LINKINDEX"),
                 (QStringList{"3:4:33:0", "4:4:34:0"}));
        QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_SA_MASTER);
        QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_SA_CONF);
    }

    void mergeDuplicateSequenceRefused()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_E_Merge w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        w.actAdd->trigger();
        const int rec = m->RecordCount() - 1;
        for (const auto &c : QList<QPair<const char *, int>>{
                 {"SA_LINKINDEX", 2}, {"SA_LINKSEG", 4}, {"SA_LINKMAININT", 1}, {"SA_LINKSUBINT", 2}})
            m->EditValue(rec, Col(m, c.first), c.second);
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("중복된 데이터가 존재합니다."));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_SAMERGE WHERE SA_NO = 1"), QStringList{"2"});
        QCOMPARE(m->State(rec), QString("I"));
    }

    // Sequence 2 changed to 3: the row found by the old key is updated, nothing added.
    void mergeSequenceRenumbered()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_E_Merge w;
        w.show();
        w.SetSA_ID(1);
        TGridModel *m = w.GridModel();
        m->EditValue(1, Col(m, "SA_LINKINDEX"), 3);
        m->EditValue(1, Col(m, "SA_LINKMGCOND"), 3);
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column("SELECT CONCAT(SA_LINKINDEX, ':', SA_LINKSEG, ':', SA_LINKMAININT, ':', SA_LINKSUBINT, ':', "
                        "SA_LINKMGCOND) FROM SCS_M_SAMERGE WHERE SA_NO = 1 ORDER BY SA_LINKINDEX"),
                 (QStringList{"1:2:6:11:1", "3:3:9:23:3"}));
        QCOMPARE(m->KeyValue(1).toString(), QString("1,3"));
    }

    // The simple method: the six variables of the group's master row.
    void mergeSimpleVariables()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_E_Merge w;
        w.show();
        w.SetSA_ID(2);
        w.SetMergeType(1);
        TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 1);
        QCOMPARE(m->Text(0, Col(m, "SA_SAJOINVARIABLE3")), QString("30"));
        QVERIFY(w.cxGrid->isColumnHidden(Col(m, "SA_LINKINDEX")));
        QVERIFY(!w.cxGrid->isColumnHidden(Col(m, "SA_SAJOINVARIABLE1")));
        // An edit writes all six (an emptied one as 0).
        m->EditValue(0, Col(m, "SA_SAJOINVARIABLE1"), 11);
        m->EditValue(0, Col(m, "SA_SAJOINVARIABLE2"), QVariant());
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        const QString six = "SELECT CONCAT_WS('/', COALESCE(SA_SAJOINVARIABLE1, 'NULL'), COALESCE(SA_SAJOINVARIABLE2, 'NULL'), "
                            "COALESCE(SA_SAJOINVARIABLE3, 'NULL'), COALESCE(SA_SAJOINVARIABLE4, 'NULL'), "
                            "COALESCE(SA_SAJOINVARIABLE5, 'NULL'), COALESCE(SA_SAJOINVARIABLE6, 'NULL')) "
                            "FROM SCS_M_SAOPERATE WHERE SA_NO = 2";
        QCOMPARE(Column(six), QStringList{"11/0/30/40/50/60"});
        // Delete sets the six to NULL; the group stays.
        w.cxGrid->FocusRecord(0);
        w.actDel->trigger();
        QCOMPARE(m->State(0), QString("D"));
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(Column(six), QStringList{"NULL/NULL/NULL/NULL/NULL/NULL"});
        QCOMPARE(Column("SELECT SA_NAME FROM SCS_M_SAOPERATE WHERE SA_NO = 2"), QStringList{"테헤란로 축"});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_SAMERGE WHERE SA_NO = 2"), QStringList{"2"});
        QVERIFY(!TInAppMessageHolder::instance()->Flags().REFRESH_SA_MASTER);
    }

    // --- the overviews ------------------------------------------------------------------

    void overviewNeedsGroup()
    {
        ScriptedMsgDlg boxes;
        TfrmSA_S_Conf w;
        w.show();
        QVERIFY(!w.actExport->isEnabled());
        w.actSearch->trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QString("먼저 그룹을 선택하세요."));
        QCOMPARE(boxes.last().caption, QString("그룹 선택 오류"));
        QCOMPARE(w.GridModel()->RecordCount(), 0);
    }

    void overviewListsMembersAndMerges_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("linkTwo"); // condition, axis, target axis of link 2
        QTest::newRow("Korean") << int(TsiLangDispatcher::LangKorean) << QStringList{"옵셋+유출입", "제1축", "제2축"};
        QTest::newRow("English") << int(TsiLangDispatcher::LangEnglish)
                                 << QStringList{"By Offset & In/Out", "Main-Direction", "Sub-Direction"};
    }
    void overviewListsMembersAndMerges()
    {
        QFETCH(int, language);
        QFETCH(QStringList, linkTwo);
        TsiLangDispatcher::instance()->SetActiveLanguage(language);
        ScriptedMsgDlg boxes;
        TfrmSA_S_Conf w;
        w.show();
        w.SetSA_ID(1);
        QCOMPARE(w.edtSA->text(), QString("도산대로 축"));
        QCOMPARE(w.GridModel()->RecordCount(), 0);   // nothing before Search
        w.actSearch->trigger();
        QCOMPARE(boxes.count(), 0);
        const TGridModel *members = w.GridModel();
        QCOMPARE(members->RecordCount(), 10);
        QCOMPARE(members->Text(0, Col(members, "INT_NAME")), QString("신사역사거리"));
        QCOMPARE(w.cxGrid->DisplayText(0, Col(members, "INT_IMPORFLAG")), QString("CI"));
        const TGridModel *merges = w.gtvMerge->GridModel();
        QCOMPARE(merges->RecordCount(), 2);
        QCOMPARE((QStringList{merges->Text(1, Col(merges, "SA_LINKMGCOND")), merges->Text(1, Col(merges, "SA_MGAXIS")),
                              merges->Text(1, Col(merges, "SA_TARGETAXIS"))}),
                 linkTwo);
        QCOMPARE(merges->Text(1, Col(merges, "SA_LINKSEG")), QString("3"));
        QVERIFY(w.actExport->isEnabled());
    }

    // A code outside the known ones shows an empty text.
    void overviewUnknownCodesEmpty()
    {
        QVERIFY(Exec("UPDATE SCS_M_SAMERGE SET SA_LINKMGCOND = 7, SA_MGAXIS = NULL, SA_TARGETAXIS = 2 WHERE SA_NO = 4"));
        TfrmSA_S_Conf w;
        w.show();
        w.SetSA_ID(4);
        w.actSearch->trigger();
        const TGridModel *merges = w.gtvMerge->GridModel();
        QCOMPARE(merges->RecordCount(), 1);
        for (const char *c : {"SA_LINKMGCOND", "SA_MGAXIS", "SA_TARGETAXIS"})
            QCOMPARE(merges->Text(0, Col(merges, c)), QString());
    }

    // The export: one workbook of exactly two sheets; a group without merge links
    // gives a merge sheet of captions only.
    void overviewExportTwoSheets()
    {
        QVERIFY(Exec("DELETE FROM SCS_M_SAMERGE WHERE SA_NO = 4"));
        QTemporaryDir dir;
        const QString file = dir.filePath("그룹.xlsx");
        ScriptedMsgDlg boxes;
        ScriptedFileDialog files;
        files.enqueue(file);
        TfrmSA_S_Conf w;
        w.show();
        w.SetSA_ID(4);
        w.actSearch->trigger();
        const int members = w.GridModel()->RecordCount();
        QVERIFY(members > 0);
        w.actExport->trigger();
        const auto sheets = ReadSheets(file);
        QCOMPARE(sheets.size(), 2);
        QCOMPARE(sheets[0].first, QString("소속 교차로"));
        QCOMPARE(sheets[1].first, QString("그룹 결합제어 변수"));
        QCOMPARE(sheets[0].second.size(), members + 1);
        QCOMPARE(sheets[0].second[0], (QStringList{"LC번호", "교차로명", "유형"}));
        QCOMPARE(sheets[0].second[1][0], QString("34"));
        QCOMPARE(sheets[1].second.size(), 1);
        QCOMPARE(sheets[1].second[0].first(), QString("그룹번호"));
        QCOMPARE(sheets[1].second[0].last(), QString("대상축"));
        QCOMPARE(DM->G_DIALOG_PATH, dir.path());
        QCOMPARE(boxes.last().text, DM->T_FileOpenMsg);          // offered to open
    }

    // Cycle indexes 1-6 filled, 7-16 shown as 0; a plan of a group without a
    // master row is listed without a name.
    void cycleOverview()
    {
        QVERIFY(Exec("INSERT INTO SCS_M_SAAPLAN (SA_NO, SA_APLAN, SA_APLANINDEX, SA_CYCLELENGTH) VALUES "
                     "(1, 1, 1, 100), (1, 1, 2, 110), (1, 1, 3, 120), (1, 1, 4, 130), (1, 1, 5, 140), (1, 1, 6, 150),"
                     "(1, 2, 1, 90), (9, 1, 3, 80)"));
        TfrmSA_E_Cycle w;
        w.show();
        const TGridModel *m = w.GridModel();
        QCOMPARE(m->RecordCount(), 0);
        QVERIFY(!w.actExport->isEnabled());
        w.actSearch->trigger();
        QCOMPARE(m->RecordCount(), 3);
        auto line = [m](int rec) {
            QStringList l;
            for (int k = 1; k <= 16; ++k)
                l << m->Text(rec, m->ColumnIndex(QStringLiteral("SA_CYCLELENGTH%1").arg(k)));
            return l.join(',');
        };
        QCOMPARE(m->Text(0, Col(m, "SA_NAME")), QString("도산대로 축"));
        QCOMPARE(m->Text(0, Col(m, "SA_APLAN")), QString("1"));
        QCOMPARE(line(0), QString("100,110,120,130,140,150,0,0,0,0,0,0,0,0,0,0"));
        QCOMPARE(line(1), QString("90,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"));
        QCOMPARE(m->Text(2, Col(m, "SA_NO")), QString("9"));
        QCOMPARE(m->Text(2, Col(m, "SA_NAME")), QString());
        QCOMPARE(line(2), QString("0,0,80,0,0,0,0,0,0,0,0,0,0,0,0,0"));
        QVERIFY(w.actExport->isEnabled());
    }
};

QTEST_MAIN(TestGroupEditors)
#include "tst_group_editors.moc"
