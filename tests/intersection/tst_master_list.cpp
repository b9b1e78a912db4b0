// The intersection master list without its window, on the fixture database: the
// checks before any statement, renumbering through every per-intersection table,
// the virtual-intersection rules, deleting a main with its virtual intersections,
// the type handed on, NULL and 0 of empty cells, and a failure midway that
// leaves every table as it was.
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "EditorFixture.h"
#include "intersection/TcdvMaster.h"

using EditorFixture::Column;
using EditorFixture::Exec;

namespace {

const char *const kDb = "tst_master_list";

QSqlDatabase Db()
{
    return DM->Con();
}

// The per-intersection tables with a column that tells rows apart (a key column
// or a data column) and the other key columns they need.
struct TPerLcTable
{
    const char *Table;
    const char *Mark;
    const char *OtherKeys;   // "" or ", COL1, COL2"
    const char *OtherValues; // matching ", 0, 0"
};
const TPerLcTable kPerLcTables[] = {
    {"SCS_M_INTALGORITHM", "INT_MDSSELECT", "", ""},
    {"SCS_M_INTCONFLICT", "INT_YNO", ", INT_XNO", ", 0"},
    {"SCS_M_INTFLSMAP", "INT_VEH1", "", ""},
    {"SCS_M_INTFPLAN", "INT_FPLANINDEX", "", ""},
    {"SCS_M_INTLINKQUEUE", "INT_DIRINDEX", "", ""},
    {"SCS_M_INTLSU", "INT_LSU01LAMP", "", ""},
    {"SCS_M_INTOUTPED", "INT_OUTDIR", "", ""},
    {"SCS_M_INTPHASE", "INT_PHASENO", ", INT_PLANCLSS, INT_RING", ", 0, 1"},
    {"SCS_M_INTQUEUE", "INT_WGH1", "", ""},
    {"SCS_M_INTSIGMAP", "INT_STEPNO", ", INT_PLANCLSS, INT_RING", ", 0, 1"},
    {"SCS_M_INTSPILLBACK", "INT_SPILLBACKINDEX", "", ""},
    {"SCS_M_INTSTARTUP", "INT_FULLACT", "", ""},
    {"SCS_M_INTTPLAN", "INT_TPLANINDEX", ", INT_TPLAN", ", 1"},
    {"SCS_M_INTFORCETOD", "INT_FORCEPLAN", "", ""},
    {"SCS_M_TFDTOPERATE", "TFDT_NO", "", ""},
    {"SCS_M_INTPPC", "PPC_NUMBER", ", PPC_MANAGER", ", 1"},
    // Not in the renumbering list of the controller data, but they follow it too.
    {"SCS_M_VMSMESSAGE", "MSG_INDEX", "", ""},
    {"SCS_M_VMSSCHEDULE", "INT_MSGINDEX", "", ""},
    {"SCS_M_CARTIMER", "NN", "", ""},
    {"SCS_M_INTSPILLBACK2", "INT_SPILLBACKINDEX", "", ""},
};

bool AddPerLcRow(const TPerLcTable &t, int lcNo, int mark)
{
    return Exec(QStringLiteral("INSERT INTO %1 (INT_LCNO, %2%3) VALUES (%4, %5%6)")
                    .arg(t.Table, t.Mark, t.OtherKeys).arg(lcNo).arg(mark).arg(t.OtherValues));
}

// CHECKSUM TABLE of the master table and every per-intersection table.
QStringList ChecksumValues()
{
    QStringList tables{"SCS_M_INTLC"};
    for (const TPerLcTable &t : kPerLcTables)
        tables << t.Table;
    QSqlQuery q(Db());
    QStringList list;
    if (!q.exec("CHECKSUM TABLE " + tables.join(", ") + " EXTENDED"))
        return {q.lastError().text()};
    while (q.next())
        list << q.value(0).toString() + '=' + q.value(1).toString();
    return list;
}

// The list as the window loads it (all groups), with the required columns marked.
std::unique_ptr<TGridModel> LoadList()
{
    auto m = std::make_unique<TGridModel>();
    TGridColumns cols;
    for (const QString &f : TcdvMaster::Fields()) {
        TGridColumn c(f);
        if (f == "INT_LCNO" || f == "NODE_ID" || f == "INT_SANO")
            c.Req();
        cols << c;
    }
    m->SetColumns(cols);
    m->SetPrimaryKeys({"INT_LCNO"});
    QSqlQuery q(Db());
    q.prepare(TcdvMaster::ListSql(true, " ORDER BY INT_LCNO "));
    if (q.exec())
        m->LoadQuery(q, "INT_LCNO");
    return m;
}

int RecordOf(const TGridModel &m, int lcNo)
{
    return m.FindText(m.ColumnIndex("INT_LCNO"), QString::number(lcNo));
}

void Edit(TGridModel &m, int rec, const QString &column, const QVariant &value)
{
    m.EditValue(rec, m.ColumnIndex(column), value);
}

int AddRow(TGridModel &m, const QVariantMap &values)
{
    const int rec = m.AppendRecord();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        Edit(m, rec, it.key(), it.value());
    return rec;
}

} // namespace

class TestMasterList : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase() { QVERIFY(FDb.Open(kDb, false)); }
    void cleanupTestCase() { FDb.Close(); }

    // Groups 1 and 2; intersections 5 and 6 (group 1), main 9 with the virtual
    // intersections 41 and 42 (group 2); rows of 5 in every per-intersection
    // table (mark 1) and orphan rows under the free number 7 (mark 2).
    void init()
    {
        QStringList tables{"SCS_M_INTLC", "SCS_M_SAOPERATE"};
        for (const TPerLcTable &t : kPerLcTables)
            tables << t.Table;
        for (const QString &t : tables)
            QVERIFY(Exec("DELETE FROM " + t));
        QVERIFY(Exec("INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (1, 'G1'), (2, 'G2')"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_NAME, INT_IMPORFLAG, INT_LCTYPE, INT_LAMPTYPE, "
                     "MCU_FW_ID, SCU_FW_ID, INT_DELTALIMIT, INT_TRANSCYCLE, INT_AUTOERROR, INT_AUTOONLINE, "
                     "INT_COMMTYPE, INT_IP, INT_PORT, MAIN_LCNO, INT_SANO, INT_SAINDEX, INT_REGFLAG) VALUES "
                     "(5, 'N5', 'Five', 0, 2, 0, 10305, 20305, 3, 2, 1, 1, 0, '10.0.0.5', 5000, 0, 1, 1, 1), "
                     "(6, 'N6', 'Six', 0, 2, 1, NULL, NULL, 0, 0, 0, 0, 0, '10.0.0.6', 5000, 0, 1, 2, 1), "
                     "(9, 'N9', 'Nine', 1, 2, 0, NULL, NULL, 0, 0, 0, 0, 0, '10.0.0.9', 5000, 0, 2, 1, 1), "
                     "(41, 'N41', 'V41', 0, 2, 0, NULL, NULL, NULL, NULL, -1, -1, -1, '', 0, 9, 2, 2, 0), "
                     "(42, 'N42', 'V42', 0, 2, 0, NULL, NULL, NULL, NULL, -1, -1, -1, '', 0, 9, 2, 3, 0)"));
        for (const TPerLcTable &t : kPerLcTables) {
            QVERIFY(AddPerLcRow(t, 5, 1));
            QVERIFY(AddPerLcRow(t, 7, 2));
        }
        // Phase rows: 9 has three, 6 two, the virtual intersections a copy of 9's.
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, "
                     "INT_MINSPLIT) VALUES (9, 0, 1, 1, 11, 20), (9, 0, 2, 1, 12, 20), (9, 0, 1, 2, 13, 20), "
                     "(6, 0, 1, 1, 61, 20), (6, 0, 2, 1, 62, 20), "
                     "(41, 0, 1, 1, 11, NULL), (41, 0, 2, 1, 12, NULL), (41, 0, 1, 2, 13, NULL), "
                     "(42, 0, 1, 1, 11, NULL), (42, 0, 2, 1, 12, NULL), (42, 0, 1, 2, 13, NULL)"));
    }

    // Cases of the checks. mode: "add" a row of (lc, node, group); "delete5add5";
    // "renumber" 5 to lc; "swap" 5 and 6.
    void checks_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("lc");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("column");
        const QString required = "필수 입력 항목을 확인바랍니다.";
        const QString duplicate = "중복된 데이터가 존재합니다.";
        const QString tooLarge = "입력 가능한 교차로 번호 최대값을 초과하였습니다.";
        const QString noGroup = "존재하지 않는 그룹번호입니다.\n확인바랍니다.";
        QTest::newRow("no node") << "add" << "100" << "" << "1" << int(TcdvMaster::TCheck::Required) << required << "NODE_ID";
        QTest::newRow("no group") << "add" << "100" << "N100" << "" << int(TcdvMaster::TCheck::Required) << required << "INT_SANO";
        QTest::newRow("LC 0") << "add" << "0" << "N100" << "1" << int(TcdvMaster::TCheck::Required) << required << "INT_LCNO";
        QTest::newRow("no LC") << "add" << "" << "N100" << "1" << int(TcdvMaster::TCheck::Required) << required << "INT_LCNO";
        QTest::newRow("1025") << "add" << "1025" << "N1025" << "1" << int(TcdvMaster::TCheck::TooLarge) << tooLarge << "INT_LCNO";
        QTest::newRow("1024 passes") << "add" << "1024" << "N1024" << "1" << int(TcdvMaster::TCheck::None) << "" << "";
        QTest::newRow("unknown group") << "add" << "100" << "N100" << "3" << int(TcdvMaster::TCheck::UnknownGroup) << noGroup << "INT_SANO";
        QTest::newRow("shown duplicate") << "add" << "6" << "N100" << "1" << int(TcdvMaster::TCheck::Duplicate) << duplicate << "INT_LCNO";
        QTest::newRow("delete 5, add 5") << "delete5add5" << "5" << "N5b" << "1" << int(TcdvMaster::TCheck::Duplicate) << duplicate << "INT_LCNO";
        QTest::newRow("renumber onto a held number") << "renumber" << "6" << "" << "" << int(TcdvMaster::TCheck::Duplicate) << duplicate << "INT_LCNO";
        QTest::newRow("renumber onto a free number") << "renumber" << "7" << "" << "" << int(TcdvMaster::TCheck::None) << "" << "";
        QTest::newRow("swap 5 and 6") << "swap" << "" << "" << "" << int(TcdvMaster::TCheck::HeldNumber) << duplicate << "INT_LCNO";
    }
    void checks()
    {
        QFETCH(QString, mode);
        QFETCH(QString, lc);
        QFETCH(QString, node);
        QFETCH(QString, group);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QString, column);
        auto m = LoadList();
        if (mode == "add") {
            AddRow(*m, {{"INT_LCNO", lc}, {"NODE_ID", node}, {"INT_SANO", group}});
        } else if (mode == "delete5add5") {
            QVERIFY(!m->DeleteRecord(RecordOf(*m, 5)));
            AddRow(*m, {{"INT_LCNO", lc}, {"NODE_ID", node}, {"INT_SANO", group}});
        } else if (mode == "renumber") {
            Edit(*m, RecordOf(*m, 5), "INT_LCNO", lc);
        } else if (mode == "swap") {
            const int r5 = RecordOf(*m, 5), r6 = RecordOf(*m, 6);
            Edit(*m, r5, "INT_LCNO", 6);
            Edit(*m, r6, "INT_LCNO", 5);
        }
        const QStringList before = ChecksumValues();
        const TcdvMaster::TSaveOutcome out = TcdvMaster::Save(*m, Db());
        // A swap passes the list's own check (the two rows still differ): the
        // stored numbers refuse it.
        QCOMPARE(int(out.Check.Kind), kind);
        QCOMPARE(TcdvMaster::ProblemText(out.Check.Kind), text);
        if (kind != int(TcdvMaster::TCheck::None)) {
            QVERIFY(!out.Ok());
            QCOMPARE(out.Check.Column, column);
            QCOMPARE(ChecksumValues(), before);   // nothing written
        } else {
            QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        }
    }

    // Renumbering 5 to 7 moves every row of 5 and replaces the orphans stored under 7.
    void renumberMovesEveryTable()
    {
        auto m = LoadList();
        Edit(*m, RecordOf(*m, 5), "INT_LCNO", 7);
        QCOMPARE(TcdvMaster::RenumberedRecords(*m), QList<int>({RecordOf(*m, 7)}));
        const TcdvMaster::TSaveOutcome out = TcdvMaster::Save(*m, Db());
        QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        QCOMPARE(Column("SELECT CONCAT(INT_LCNO, ',', NODE_ID, ',', MCU_FW_ID) FROM SCS_M_INTLC "
                        "WHERE INT_LCNO IN (5, 7)"),
                 QStringList({"7,N5,10305"}));
        for (const TPerLcTable &t : kPerLcTables) {
            QCOMPARE(Column(QString("SELECT %1 FROM %2 WHERE INT_LCNO = 7 AND %1 IS NOT NULL").arg(t.Mark, t.Table)),
                     QStringList({"1"}));
            QCOMPARE(Column(QString("SELECT COUNT(*) FROM %1 WHERE INT_LCNO = 5").arg(t.Table)), QStringList({"0"}));
        }
    }

    // A table the database lacks is skipped; the others still follow.
    void renumberSkipsAMissingTable()
    {
        QVERIFY(Exec("DROP TABLE SCS_M_CARTIMER"));
        auto m = LoadList();
        Edit(*m, RecordOf(*m, 5), "INT_LCNO", 8);
        const TcdvMaster::TSaveOutcome out = TcdvMaster::Save(*m, Db());
        QVERIFY(Exec("CREATE TABLE SCS_M_CARTIMER (INT_LCNO SMALLINT NOT NULL, NN SMALLINT DEFAULT NULL, "
                     "PRIMARY KEY (INT_LCNO))"));
        QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_VMSMESSAGE WHERE INT_LCNO = 8"), QStringList({"1"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTPPC WHERE INT_LCNO = 8"), QStringList({"1"}));
    }

    void virtualRowsCopyTheMainsPhases()
    {
        const QString phases = "SELECT CONCAT(INT_PLANCLSS, '/', INT_RING, '/', INT_PHASENO, '/', INT_FLOWNUMBER) "
                               "FROM SCS_M_INTPHASE WHERE INT_LCNO = %1 ORDER BY INT_PLANCLSS, INT_RING, INT_PHASENO";
        auto m = LoadList();
        AddRow(*m, {{"INT_LCNO", 43}, {"NODE_ID", "N43"}, {"INT_SANO", 2}, {"MAIN_LCNO", 9},
                    {"INT_DELTALIMIT", 5}, {"MCU_FW_ID", 10305}, {"INT_IP", "1.2.3.4"}, {"INT_REGFLAG", 1}});
        TcdvMaster::TSaveOutcome out = TcdvMaster::Save(*m, Db());
        QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        QCOMPARE(Column(phases.arg(43)), QStringList({"0/1/1/11", "0/1/2/12", "0/2/1/13"}));
        // The virtual override: the main's type, no firmware or limits, -1 modes, no address, not in use.
        QCOMPARE(Column("SELECT CONCAT_WS(',', INT_LCTYPE, INT_LAMPTYPE, IFNULL(MCU_FW_ID, 'NULL'), "
                        "IFNULL(SCU_FW_ID, 'NULL'), IFNULL(INT_DELTALIMIT, 'NULL'), IFNULL(INT_TRANSCYCLE, 'NULL'), "
                        "INT_AUTOERROR, INT_AUTOONLINE, INT_COMMTYPE, CONCAT('[', INT_IP, ']'), INT_PORT, INT_REGFLAG, "
                        "MAIN_LCNO) FROM SCS_M_INTLC WHERE INT_LCNO = 43"),
                 QStringList({"2,0,NULL,NULL,NULL,NULL,-1,-1,-1,[],0,0,9"}));

        // Saved again with the same main: its own phase rows stay as they are.
        QVERIFY(Exec("UPDATE SCS_M_INTPHASE SET INT_FLOWNUMBER = 99 WHERE INT_LCNO = 43 AND INT_RING = 2"));
        m = LoadList();
        Edit(*m, RecordOf(*m, 43), "INT_NAME", "renamed");
        out = TcdvMaster::Save(*m, Db());
        QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        QCOMPARE(Column(phases.arg(43)), QStringList({"0/1/1/11", "0/1/2/12", "0/2/1/99"}));

        // Another main: the phases are the new main's.
        m = LoadList();
        Edit(*m, RecordOf(*m, 43), "MAIN_LCNO", 6);
        out = TcdvMaster::Save(*m, Db());
        QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        QCOMPARE(Column(phases.arg(43)), QStringList({"0/1/1/61", "0/1/2/62"}));
        QCOMPARE(Column("SELECT CONCAT(INT_LCTYPE, ',', INT_LAMPTYPE) FROM SCS_M_INTLC WHERE INT_LCNO = 43"),
                 QStringList({"2,1"}));
    }

    void deletingAMainTakesItsVirtualIntersections()
    {
        auto m = LoadList();
        QVERIFY(!m->DeleteRecord(RecordOf(*m, 9)));
        const TcdvMaster::TSaveOutcome out = TcdvMaster::Save(*m, Db());
        QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        QCOMPARE(Column("SELECT INT_LCNO FROM SCS_M_INTLC ORDER BY INT_LCNO"), QStringList({"5", "6"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTPHASE WHERE INT_LCNO IN (41, 42)"), QStringList({"0"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTPHASE WHERE INT_LCNO = 9"), QStringList({"3"}));
    }

    // "2004" on a main: lamp type 1 on it and on the intersections that name it
    // (the list's own rule sets the lamp type, the window test shows it).
    void theTypeIsHandedOnToVirtualIntersections()
    {
        auto m = LoadList();
        const int r9 = RecordOf(*m, 9);
        Edit(*m, r9, "INT_LCTYPE", 1);
        Edit(*m, r9, "INT_LAMPTYPE", 1);
        const TcdvMaster::TSaveOutcome out = TcdvMaster::Save(*m, Db());
        QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        QCOMPARE(Column("SELECT CONCAT(INT_LCNO, ':', INT_LCTYPE, ',', INT_LAMPTYPE) FROM SCS_M_INTLC "
                        "WHERE INT_LCNO IN (9, 41, 42) ORDER BY INT_LCNO"),
                 QStringList({"9:1,1", "41:1,1", "42:1,1"}));
        QCOMPARE(Column("SELECT CONCAT(INT_LCTYPE, ',', INT_LAMPTYPE) FROM SCS_M_INTLC WHERE INT_LCNO = 5"),
                 QStringList({"2,0"}));
    }

    void emptyCells_data()
    {
        QTest::addColumn<int>("main");
        QTest::addColumn<QString>("stored");   // MCU, SCU, delta limit, transition cycles
        QTest::newRow("ordinary row") << 0 << "NULL,NULL,0,0";
        QTest::newRow("virtual row") << 9 << "NULL,NULL,NULL,NULL";
    }
    void emptyCells()
    {
        QFETCH(int, main);
        QFETCH(QString, stored);
        auto m = LoadList();
        const int rec = RecordOf(*m, 5);
        for (const char *c : {"MCU_FW_ID", "SCU_FW_ID", "INT_DELTALIMIT", "INT_TRANSCYCLE"})
            Edit(*m, rec, c, QVariant());
        if (main)
            Edit(*m, rec, "MAIN_LCNO", main);
        const TcdvMaster::TSaveOutcome out = TcdvMaster::Save(*m, Db());
        QVERIFY2(out.Ok(), qPrintable(out.Result.Error));
        QCOMPARE(Column("SELECT CONCAT_WS(',', IFNULL(MCU_FW_ID, 'NULL'), IFNULL(SCU_FW_ID, 'NULL'), "
                        "IFNULL(INT_DELTALIMIT, 'NULL'), IFNULL(INT_TRANSCYCLE, 'NULL')) FROM SCS_M_INTLC "
                        "WHERE INT_LCNO = 5"),
                 QStringList({stored}));
    }

    // A statement failing midway (the tenth table of a renumbering) rolls back the
    // master rows and every table already moved; the list keeps its edits.
    void aFailureMidwayChangesNoTable()
    {
        auto m = LoadList();
        Edit(*m, RecordOf(*m, 6), "INT_NAME", "first row saved");
        Edit(*m, RecordOf(*m, 5), "INT_LCNO", 7);
        QVERIFY(Exec("CREATE TRIGGER MASTER_FAIL BEFORE UPDATE ON SCS_M_INTSIGMAP FOR EACH ROW "
                     "BEGIN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'injected failure'; END"));
        const QStringList before = ChecksumValues();
        const TcdvMaster::TSaveOutcome out = TcdvMaster::Save(*m, Db());
        const QStringList after = ChecksumValues();
        QVERIFY(Exec("DROP TRIGGER MASTER_FAIL"));
        QVERIFY(out.Check.Ok());
        QVERIFY(!out.Ok());
        QVERIFY(out.Result.Error.contains("injected failure"));
        QCOMPARE(after, before);
        QCOMPARE(m->State(RecordOf(*m, 7)), QString("M"));
        QCOMPARE(m->KeyValue(RecordOf(*m, 7)).toString(), QString("5"));
        QCOMPARE(m->Text(RecordOf(*m, 6), m->ColumnIndex("INT_NAME")), QString("first row saved"));
    }
};

QTEST_MAIN(TestMasterList)
#include "tst_master_list.moc"
