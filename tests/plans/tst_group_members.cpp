// The data side of the group membership editor on the fixture database: the
// member save stores the held outline byte for byte (zero bytes when none is
// held) and clears the group's node references; reorders; a move into an empty
// group; a deleted group's members become ungrouped; the duplicate check counts
// rows marked for deletion; the reset; and the outline script that reaches the
// page only as re-written JSON.
#include <QTest>

#include "EditorFixture.h"
#include "core/GridHelpers.h"
#include "plans/SaMembers.h"

using EditorFixture::Column;
using EditorFixture::Exec;

namespace {

const char *const kDb = "tst_group_members";

// A member list as the editor keeps it.
TGridColumns MemberColumns()
{
    return {TGridColumn("INT_LCNO"), TGridColumn("INT_NAME"), TGridColumn("INT_SAINDEX").Req()};
}

void LoadMembers(TGridModel &m, int group)
{
    QSqlQuery q(DM->Con());
    q.prepare(SaMembers::MembersSql());
    q.bindValue(":SA_NO", group);
    QVERIFY(q.exec());
    m.LoadQuery(q, "INT_LCNO");
}

TGridRow Row(TRowState state, const QString &key, int no, const QString &name)
{
    TGridRow r;
    r.State = state;
    r.KeyValue = key;
    r.Values = {{"SA_NO", no}, {"SA_NAME", name}};
    return r;
}

} // namespace

class TestGroupMembers : public QObject
{
    Q_OBJECT
    EditorFixture::TEditorDb FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(FDb.Open(kDb));
        QString err;
        QVERIFY2(FDb.Run("CREATE TABLE BASE_SAOPERATE AS SELECT * FROM SCS_M_SAOPERATE;"
                         "CREATE TABLE BASE_INTLC AS SELECT INT_LCNO, INT_SANO, INT_SAINDEX FROM SCS_M_INTLC;"
                         "CREATE TABLE BASE_NODE AS SELECT NODE_ID, NODE_SANO FROM SCS_M_NODE;",
                         &err),
                 qPrintable(err));
    }
    void init()
    {
        QString err;
        QVERIFY2(FDb.Run("DELETE FROM SCS_M_SAOPERATE; INSERT INTO SCS_M_SAOPERATE SELECT * FROM BASE_SAOPERATE;"
                         "UPDATE SCS_M_INTLC L JOIN BASE_INTLC B ON B.INT_LCNO = L.INT_LCNO "
                         "SET L.INT_SANO = B.INT_SANO, L.INT_SAINDEX = B.INT_SAINDEX;"
                         "UPDATE SCS_M_NODE N JOIN BASE_NODE B ON B.NODE_ID = N.NODE_ID SET N.NODE_SANO = B.NODE_SANO;",
                         &err),
                 qPrintable(err));
    }
    void cleanupTestCase() { FDb.Close(); }

    // The held text is stored as its bytes; no text gives zero bytes, not NULL.
    void memberSaveStoresOutline_data()
    {
        QTest::addColumn<QString>("outline");
        QTest::addColumn<QString>("hex");
        QTest::newRow("outline") << QString("{\"type\":\"Feature\",\"properties\":{\"linkList\":\"7,8\"}}")
                                 << QString("7B2274797065223A2246656174757265222C2270726F70657274696573223A7B226C696E6B4C"
                                            "697374223A22372C38227D7D");
        QTest::newRow("none held") << QString() << QString("");
    }
    void memberSaveStoresOutline()
    {
        QFETCH(QString, outline);
        QFETCH(QString, hex);
        TGridModel m;
        m.SetColumns(MemberColumns());
        LoadMembers(m, 3);
        QCOMPARE(m.RecordCount(), 11);
        SaMembers::SaveMembers(DM->Con(), 3, outline, m);
        QCOMPARE(Column("SELECT COALESCE(HEX(SA_LATLNGS), 'NULL') FROM SCS_M_SAOPERATE WHERE SA_NO = 3"),
                 QStringList{hex});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_NODE WHERE NODE_SANO = 3"), QStringList{"0"});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_NODE WHERE NODE_SANO = 2"),
                 Column("SELECT COUNT(*) FROM BASE_NODE WHERE NODE_SANO = 2"));
        QCOMPARE(SaMembers::StoredOutline(DM->Con(), 3), outline);
    }

    // A member row whose order value is empty fails the save.
    void memberSaveNeedsOrder()
    {
        TGridModel m;
        m.SetColumns(MemberColumns());
        LoadMembers(m, 4);
        m.EditValue(1, m.ColumnIndex("INT_SAINDEX"), QVariant());
        QVERIFY_THROWS_EXCEPTION(EGridSaveError, SaMembers::SaveMembers(DM->Con(), 4, "{}", m));
    }

    // Members ordered 1, 2, 3: the dragged row's order and every row's place.
    void reorder_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("orders");   // order of the former first, second, third member
        QTest::addColumn<QString>("rows");     // the members from top to bottom
        QTest::newRow("third onto first") << 2 << 0 << QString("2,3,1") << QString("c,a,b");
        QTest::newRow("first onto third") << 0 << 2 << QString("3,1,2") << QString("b,c,a");
        QTest::newRow("second onto first") << 1 << 0 << QString("2,1,3") << QString("b,a,c");
    }
    void reorder()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, orders);
        QFETCH(QString, rows);
        TGridModel m;
        m.SetColumns(MemberColumns());
        m.AddLoaded({101, "a", 1}, 101);
        m.AddLoaded({102, "b", 2}, 102);
        m.AddLoaded({103, "c", 3}, 103);
        QVERIFY(SaMembers::Reorder(m, from, to));
        QStringList byMember, shown;
        for (int lc : {101, 102, 103})
            byMember << m.Text(m.FindText(0, QString::number(lc)), 2);
        for (int r = 0; r < 3; ++r) {
            shown << m.Text(r, 1);
            QCOMPARE(m.KeyValue(r).toString(), m.Text(r, 0));
        }
        QCOMPARE(byMember.join(','), orders);
        QCOMPARE(shown.join(','), rows);
        QCOMPARE(m.State(to), QString("M"));
        QVERIFY(!SaMembers::Reorder(m, 1, 1));
    }

    // The only member of group 5 moved into empty group 7 gets order 0; a move
    // into a group with members goes behind its last.
    void moveToGroup()
    {
        QVERIFY(Exec("INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (5, '오'), (7, '칠')"));
        QVERIFY(Exec("UPDATE SCS_M_INTLC SET INT_SANO = 5, INT_SAINDEX = 1 WHERE INT_LCNO = 1"));
        QCOMPARE(SaMembers::NextIndex(DM->Con(), 7), 0);
        SaMembers::MoveToGroup(DM->Con(), 1, 7);
        QCOMPARE(Column("SELECT CONCAT(INT_SANO, ':', INT_SAINDEX) FROM SCS_M_INTLC WHERE INT_LCNO = 1"),
                 QStringList{"7:0"});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_SANO = 5"), QStringList{"0"});
        SaMembers::MoveToGroup(DM->Con(), 2, 4);
        QCOMPARE(Column("SELECT INT_SAINDEX FROM SCS_M_INTLC WHERE INT_LCNO = 2"),
                 Column("SELECT MAX(INT_SAINDEX) + 1 FROM BASE_INTLC WHERE INT_SANO = 4"));
    }

    // The register: rename and renumber in place, insert, and delete, which leaves
    // the members with their number (ungrouped) and clears the node references.
    void groupRows()
    {
        const QStringList nodesOfFour = Column("SELECT COUNT(*) FROM SCS_M_NODE WHERE NODE_SANO = 4");
        QVERIFY(nodesOfFour.first().toInt() > 0);
        QVERIFY(SaMembers::NotGrouped(DM->Con()).isEmpty());
        SaMembers::SaveGroupRow(DM->Con(), Row(TRowState::Modified, "3", 30, "도곡로"));
        SaMembers::SaveGroupRow(DM->Con(), Row(TRowState::Inserted, "", 9, "새 그룹"));
        SaMembers::SaveGroupRow(DM->Con(), Row(TRowState::Deleted, "4", 4, "남부순환로 축"));
        QCOMPARE(Column("SELECT CONCAT(SA_NO, ':', SA_NAME, ':', SA_LATLNGS IS NULL) FROM SCS_M_SAOPERATE ORDER BY SA_NO"),
                 (QStringList{"1:도산대로 축:0", "2:테헤란로 축:0", "9:새 그룹:1", "30:도곡로:0"}));
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_NODE WHERE NODE_SANO = 4"), QStringList{"0"});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_SANO = 4"),
                 Column("SELECT COUNT(*) FROM BASE_INTLC WHERE INT_SANO = 4"));
        // Members of the deleted group 4 and of the renumbered group 3 are ungrouped now.
        const QList<QVariantList> ungrouped = SaMembers::NotGrouped(DM->Con());
        QStringList lcs;
        for (const QVariantList &r : ungrouped)
            lcs << r[0].toString();
        lcs.sort();
        QStringList expected = Column("SELECT INT_LCNO FROM BASE_INTLC WHERE INT_SANO IN (3, 4)");
        expected.sort();
        QCOMPARE(lcs, expected);
    }

    // Deleting group 5 and adding a new 5 in one save fails the duplicate check.
    void duplicateCountsDeletedRows()
    {
        TGridModel m;
        m.SetColumns({TGridColumn("SA_NO").Req(), TGridColumn("SA_NAME").Req()});
        m.AddLoaded({5, "오"}, 5);
        m.MarkDeleted(0);
        const int rec = m.AppendRecord();
        m.EditValue(rec, 0, 5);
        m.EditValue(rec, 1, "새 오");
        const TGridCheckResult c = CheckGridRows(m, {0}, {0, 1}, m.StateIdx(), true);
        QVERIFY(!c.Ok);
        QCOMPARE(int(c.Problem), int(TGridCheckResult::Duplicate));
    }

    void resetGivesNull()
    {
        SaMembers::ResetOutline(DM->Con(), 2);
        QCOMPARE(Column("SELECT SA_LATLNGS IS NULL FROM SCS_M_SAOPERATE WHERE SA_NO = 2"), QStringList{"1"});
        QCOMPARE(Column("SELECT COUNT(*) FROM SCS_M_INTLC WHERE INT_SANO = 2"),
                 Column("SELECT COUNT(*) FROM BASE_INTLC WHERE INT_SANO = 2"));   // members untouched
        bool exists = false;
        QCOMPARE(SaMembers::StoredOutline(DM->Con(), 2, &exists), QString());
        QVERIFY(exists);
        SaMembers::StoredOutline(DM->Con(), 99, &exists);
        QVERIFY(!exists);
    }

    // Only a JSON object reaches the page, written out again: a quote or a closing
    // script tag in it stays string content.
    void outlineScript_data()
    {
        QTest::addColumn<QString>("outline");
        QTest::addColumn<QString>("json");   // what follows "var SAGeoJSON = "; empty: no script
        QTest::newRow("plain")
            << QString("{ \"type\" : \"Feature\", \"properties\": {\"linkList\": \"1,2\"} }")
            << QString("{\"properties\":{\"linkList\":\"1,2\"},\"type\":\"Feature\"}");
        QTest::newRow("quotes and script tag")
            << QString("{\"properties\":{\"name\":\"a\\\"b'</script><script>alert(1)\"}}")
            << QString("{\"properties\":{\"name\":\"a\\\"b'<\\/script><script>alert(1)\"}}");
        QTest::newRow("code instead of JSON") << QString("1}; alert(1); var x = {") << QString();
        QTest::newRow("array") << QString("[1, 2]") << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void outlineScript()
    {
        QFETCH(QString, outline);
        QFETCH(QString, json);
        const QString script = SaMembers::OutlineLoadScript(outline);
        if (json.isEmpty()) {
            QCOMPARE(script, QString());
            return;
        }
        QVERIFY(script.startsWith(" var SAGeoJSON = " + json + ";"));
        QVERIFY(!script.contains("</script>"));
    }
};

QTEST_MAIN(TestGroupMembers)
#include "tst_group_members.moc"
