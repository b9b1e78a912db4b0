// The start-up variables without a window: rows and labels per controller type,
// the field bounds, phase sets, the default row (only after an empty result)
// and one UPDATE per changed value.
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QPushButton>
#include <QTimer>

#include "EditorFixture.h"
#include "core/Quorval.h"
#include "intersection/untTCDV_E_SignalManagerVariable.h"
#include "TestDb.h"
#include "core/siLang.h"
#include "intersection/StartupVariables.h"

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_startup_variables";
const int ko = TsiLangDispatcher::LangKorean;
const int en = TsiLangDispatcher::LangEnglish;

Startup::TRow RowOf(const QString &column)
{
    for (const Startup::TRow &r : Startup::Rows(lct2010_3L))
        if (r.Column == column)
            return r;
    return {};
}

} // namespace

class TestStartupVariables : public QObject
{
    Q_OBJECT
    QSqlDatabase FDb;
    EditorFixture::TEditorDb FEditorDb;

private slots:
    void initTestCase()
    {
        QVERIFY(FEditorDb.Open(kDb));
        QString err;
        QVERIFY2(FEditorDb.Run(
            "CREATE TABLE UPD_LOG (N INT);\n"
            "CREATE TRIGGER STARTUP_UPD AFTER UPDATE ON SCS_M_INTSTARTUP FOR EACH ROW INSERT INTO UPD_LOG VALUES (1);\n",
            &err), qPrintable(err));
        FDb = TestDb::open(kDb, "startup");
        QVERIFY(FDb.isOpen());
    }
    void cleanupTestCase() { FEditorDb.Close(); }

    void rowsAndLabelsPerType()
    {
        const QList<Startup::TRow> r04 = Startup::Rows(lct2004);
        const QList<Startup::TRow> r10 = Startup::Rows(lct2010_4L);
        QCOMPARE(r04.size(), 11);
        QCOMPARE(r10.size(), 39);
        QCOMPARE(Startup::Rows(lct2010_3L).size(), 39);
        QStringList c04;
        for (const auto &r : r04)
            c04 << r.Column;
        QCOMPARE(c04, QStringList({"INT_DUALTIME", "INT_SPILLCONT", "INT_RING", "INT_ACTYN", "INT_GAPTIME",
                                   "INT_LMTLOS", "INT_MANUALOPT", "INT_GENMAIN", "INT_GENDUAL", "INT_SPCMAIN",
                                   "INT_SPCDUAL"}));
        const struct { int row; const char *column; QString groupKo, itemKo, groupEn, itemEn; } cases[] = {
            {0, "INT_FULLACT", "링운영방법", "전감응", "Operation", "Full Actuation"},
            {6, "INT_GAPTIME", "감응시간", "GAP시간(단위 : 0.1 초)", "Actuate Time\nUNIT(100msec)", "Gap Time(Unit: : 0.1 Sec)"},
            {9, "INT_GENDUAL", "일반제\n듀얼운영현시지정", "현시사용여부 번호", "GMAP\n ", "Dual Operation Phase Set"},
            {11, "INT_NORMALPUSH", "특수옵션", "차량정상진행시\n푸쉬버튼고장처리", "Special Options", "Normal Push-Button Error"},
            {20, "INT_SPC1DUAL", "시차제맵#1\n듀얼운영현시지정", "현시사용여부 번호", "EMAP", "Dual Operation Phase Set(#1)"},
            {24, "INT_SPC5DUAL", "시차제맵#5\n듀얼운영현시지정", "현시사용여부 번호", "EMAP", "Dual Operation Phase Set(#5)"},
            {32, "INT_BRINGACT", "현시별감응수행 B링", "현시감응여부 번호", "B Ring Act. Phase", "Act(1)/None(0)"},
            {38, "INT_NIGHTEND", "보행자작동신호기 음성출력 지정", "심야시간종료시각", "Sound", "End Night"},
        };
        for (const auto &c : cases) {
            const Startup::TRow &r = r10.at(c.row);
            QCOMPARE(r.Column, QString(c.column));
            QCOMPARE(Startup::GroupLabel(r, ko), c.groupKo);
            QCOMPARE(Startup::ItemLabel(r, ko), c.itemKo);
            QCOMPARE(Startup::GroupLabel(r, en).trimmed(), c.groupEn.trimmed());
            QCOMPARE(Startup::ItemLabel(r, en), c.itemEn);
        }
        for (int i = 1; i <= 5; ++i)
            QVERIFY(Startup::ItemLabel(r10.at(19 + i), en).endsWith(QString("(#%1)").arg(i)));
        QCOMPARE(Startup::ValueTexts("actuation", en),
                 QStringList({"0)NONE", "1)GAP", "2)LOSS", "3)GAP+LOSS", "4)FULL"}));
        QCOMPARE(Startup::ValueTexts("nightstart", ko).first(), QString("미사용"));
        QCOMPARE(Startup::ValueTexts("nightstart", en).last(), QString("24:00"));
        QCOMPARE(Startup::ValueTexts("dayvol", ko), QStringList({"소거", "50%", "75%", "100%"}));
    }

    void boundsOfTheControllerFields_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("fits");
        QTest::newRow("dual time 7") << "INT_DUALTIME" << QVariant(7) << true;
        QTest::newRow("dual time 8") << "INT_DUALTIME" << QVariant(8) << false;
        QTest::newRow("dual time empty") << "INT_DUALTIME" << QVariant() << false;
        QTest::newRow("gap 255") << "INT_GAPTIME" << QVariant(255) << true;
        QTest::newRow("gap 256") << "INT_GAPTIME" << QVariant(256) << false;
        QTest::newRow("loss -1") << "INT_LMTLOS" << QVariant(-1) << false;
        QTest::newRow("main phase 8") << "INT_GENMAIN" << QVariant(8) << true;
        QTest::newRow("main phase 9") << "INT_SPCMAIN" << QVariant(9) << false;
        QTest::newRow("main phase 0") << "INT_GENMAIN" << QVariant(0) << false;
        QTest::newRow("main phase empty") << "INT_GENMAIN" << QVariant() << true;
        QTest::newRow("actuation 4") << "INT_ACTYN" << QVariant(4) << true;
        QTest::newRow("actuation 5") << "INT_ACTYN" << QVariant(5) << false;
        QTest::newRow("phase set 255") << "INT_ARINGACT" << QVariant(255) << true;
        QTest::newRow("phase set 256") << "INT_ARINGACT" << QVariant(256) << false;
        QTest::newRow("not a number") << "INT_GAPTIME" << QVariant("x") << false;
    }
    void boundsOfTheControllerFields()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        QFETCH(bool, fits);
        QCOMPARE(Startup::Fits(RowOf(column), value), fits);
    }

    void phaseSets()
    {
        QCOMPARE(Startup::PhaseSetValue({1, 3}), 5);
        QCOMPARE(Startup::PhaseSetValue({8}), 128);
        QCOMPARE(Startup::PhaseSetPhases(5), QList<int>({1, 3}));
        QCOMPARE(Startup::PhaseSetPhases(0), QList<int>());
    }

    void emptyResultInsertsTheDefaults()
    {
        QSqlQuery(FDb).exec("DELETE FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 12");
        QVariantList values;
        QCOMPARE(Startup::Load(FDb, 12, lct2004, &values), Startup::TLoad::DefaultInserted);
        // DUALTIME, SPILLCONT, RING, ACTYN, GAPTIME, LMTLOS, MANUALOPT, GENMAIN, GENDUAL, SPCMAIN, SPCDUAL
        QStringList shown;
        for (const QVariant &v : values)
            shown << (v.isNull() ? QString("NULL") : v.toString());
        QCOMPARE(shown, QStringList({"3", "0", "1", "0", "35", "150", "0", "NULL", "0", "NULL", "0"}));
        QCOMPARE(Column(FDb, "SELECT CONCAT_WS(',', INT_FULLACT, INT_SIGMAPMTD, INT_PREBUS, INT_JUMPPHASE, "
                             "INT_PREEMERGENCY, INT_NIGHTEND) FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 12"),
                 QStringList({"1,1,1,1,1,0"}));
        QCOMPARE(Startup::Load(FDb, 12, lct2010_3L, &values), Startup::TLoad::Loaded);
        QCOMPARE(values.size(), 39);
    }

    void failedQueryInsertsNothing()
    {
        QSqlQuery(FDb).exec("DELETE FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 13");
        QVERIFY(QSqlQuery(FDb).exec("RENAME TABLE SCS_M_INTSTARTUP TO SCS_M_INTSTARTUP_AWAY"));
        QVariantList values;
        QString error;
        const Startup::TLoad r = Startup::Load(FDb, 13, lct2010_3L, &values, &error);
        QVERIFY(QSqlQuery(FDb).exec("RENAME TABLE SCS_M_INTSTARTUP_AWAY TO SCS_M_INTSTARTUP"));
        QCOMPARE(r, Startup::TLoad::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY(values.isEmpty());
        QCOMPARE(Column(FDb, "SELECT COUNT(*) FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 13"), QStringList({"0"}));
    }

    void oneUpdateOfTheChangedColumn()
    {
        QVariantList values;
        QSqlQuery(FDb).exec("DELETE FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 14");
        QCOMPARE(Startup::Load(FDb, 14, lct2010_3L, &values), Startup::TLoad::DefaultInserted);
        QSqlQuery(FDb).exec("DELETE FROM UPD_LOG");
        Startup::SaveValue(FDb, 14, "INT_SPC3DUAL", Startup::PhaseSetValue({1, 3}));
        QCOMPARE(Column(FDb, "SELECT COUNT(*) FROM UPD_LOG"), QStringList({"1"}));
        QCOMPARE(Column(FDb, "SELECT CONCAT_WS(',', INT_SPC2DUAL, INT_SPC3DUAL, INT_SPC4DUAL, INT_GAPTIME) "
                             "FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 14"),
                 QStringList({"0,5,0,35"}));
    }

    // --- the window -------------------------------------------------------------------

    void windowRowsPerType_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<int>("rows");
        QTest::newRow("2004") << 3 << 11;   // demo intersection 3: a 2004 controller
        QTest::newRow("2010") << 1 << 39;
    }
    void windowRowsPerType()
    {
        QFETCH(int, lc);
        QFETCH(int, rows);
        TfrmTCDV_E_SignalManagerVariable w;
        w.show();
        w.SetTCDV_ID(lc);
        QCOMPARE(w.GridModel()->RecordCount(), rows);
        QCOMPARE(w.GridModel()->State(0), QString("N"));
        QVERIFY(!w.btnAdd->isVisible() && !w.btnDel->isVisible());
    }

    // Equal group labels of neighbouring rows show as one merged cell, per type
    // and language (English rows 20 to 24 all read "EMAP").
    void windowMergesEqualGroupLabels_data()
    {
        QTest::addColumn<int>("lc");
        QTest::addColumn<int>("language");
        QTest::addColumn<QList<QPair<int, int>>>("runs");
        using R = QList<QPair<int, int>>;
        QTest::newRow("2010 Korean") << 1 << ko << R{{0, 6}, {6, 2}, {10, 8}, {25, 3}, {28, 3}, {33, 6}};
        QTest::newRow("2010 English") << 1 << en << R{{0, 6}, {6, 2}, {10, 8}, {20, 5}, {25, 3}, {28, 3}, {33, 6}};
        QTest::newRow("2004 Korean") << 3 << ko << R{{0, 4}, {4, 2}};
    }
    void windowMergesEqualGroupLabels()
    {
        QFETCH(int, lc);
        QFETCH(int, language);
        using R = QList<QPair<int, int>>;
        QFETCH(R, runs);
        TsiLangDispatcher::instance()->SetActiveLanguage(language);
        TfrmTCDV_E_SignalManagerVariable w;
        w.show();
        w.SetTCDV_ID(lc);
        TsiLangDispatcher::instance()->SetActiveLanguage(ko);
        QCOMPARE(w.MergedRuns(), runs);
        for (const auto &[first, count] : runs) {
            QCOMPARE(w.cxGrid->rowSpan(first, w.colLabel), count);
            for (int r = first; r < first + count; ++r)
                QCOMPARE(w.GridModel()->Text(r, w.colLabel), w.GridModel()->Text(first, w.colLabel));
        }
        QVERIFY(!w.GridModel()->Text(w.GridModel()->RecordCount() - 1, w.colLabel).isEmpty());
    }

    void windowSavesOneChangedValueAndRefusesAnOversizedOne()
    {
        ScriptedMsgDlg boxes;
        QSqlQuery(FDb).exec("DELETE FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 1");
        TfrmTCDV_E_SignalManagerVariable w;
        w.show();
        w.SetTCDV_ID(1);
        QCOMPARE(w.GridModel()->RecordCount(), 39);
        QCOMPARE(w.ValueText(0), QString("허용"));   // the default INT_FULLACT 1
        TGridModel *m = w.GridModel();
        const int dual = w.RowOf("INT_DUALTIME");
        const int spc2 = w.RowOf("INT_SPC2DUAL");
        m->EditValue(dual, 2, 8);
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.last().kind, mkError);
        QVERIFY(boxes.last().text.startsWith("입력값의 범위를 확인바랍니다."));
        QCOMPARE(m->State(dual), QString("M"));
        QCOMPARE(Column(FDb, "SELECT INT_DUALTIME FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 1"), QStringList({"3"}));

        m->EditValue(dual, 2, 7);
        m->EditValue(spc2, 2, Startup::PhaseSetValue({1, 3}));
        QCOMPARE(w.ValueText(spc2), QString("1,3"));
        QSqlQuery(FDb).exec("DELETE FROM UPD_LOG");
        boxes.enqueue(mrYes);
        w.actSave->trigger();
        QCOMPARE(boxes.last().text, QString("저장되었습니다."));
        QCOMPARE(Column(FDb, "SELECT COUNT(*) FROM UPD_LOG"), QStringList({"2"}));
        QCOMPARE(Column(FDb, "SELECT CONCAT_WS(',', INT_DUALTIME, INT_SPC2DUAL) FROM SCS_M_INTSTARTUP WHERE INT_LCNO = 1"),
                 QStringList({"7,5"}));
        QCOMPARE(m->State(dual), QString("N"));
    }

    void windowModalCloseReturnsOk()
    {
        auto *w = new TfrmTCDV_E_SignalManagerVariable;
        QPointer<QWidget> alive(w);
        w->SetTCDV_ID(1);
        QTimer::singleShot(0, w, [w] { w->actClose->trigger(); });
        QCOMPARE(w->ShowModal(), 1);
        QVERIFY(w->IsModal());
        delete alive.data();
    }
};

QTEST_MAIN(TestStartupVariables)
#include "tst_startup_variables.moc"
