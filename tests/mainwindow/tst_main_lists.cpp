// The lists of the main window against the demo city: group names and outlines, the
// rows of both trees with their keys, the error texts, the map layers, and the
// selection look-ups; the SQL text of the Oracle dialect for the same statements.
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>

#include "mainwindow/MainListsUnit.h"
#include "MainWindowTestEnv.h"

namespace {
const char *const kDb = "tst_main_lists";
}

class TestMainLists : public QObject
{
    Q_OBJECT
    QSqlDatabase db;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, true));
        db = TestDb::open(kDb);
        QVERIFY(db.isOpen());
    }

    void groupsAndOutlines()
    {
        QMap<int, QString> names, bounds;
        QVERIFY(MainLists::LoadSaList(db, &names, &bounds));
        QCOMPARE(names.keys(), QList<int>({1, 2, 3, 4}));
        QCOMPARE(names.value(2), QString("테헤란로 축"));
        QCOMPARE(bounds.size(), 4);
        QVERIFY(bounds.value(1).startsWith("{\"type\":\"Feature\""));
    }

    void groupTreeSkipsOutOfRangeRows()
    {
        QVERIFY(MainTest::Exec(db, "INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (201, 'too far'), (9, 'empty')"));
        QVERIFY(MainTest::Exec(db, "INSERT INTO SCS_M_INTLC (INT_LCNO, INT_NAME, INT_SANO, INT_SAINDEX, INT_LCTYPE, INT_REGFLAG)"
                                   " VALUES (1025, 'beyond', 1, 99, 1, 1), (900, 'far group', 201, 1, 1, 1)"));
        QList<MainLists::TTreeRow> rows;
        int groups = 0;
        QVERIFY(MainLists::LoadSaTree(db, &rows, &groups));
        QCOMPARE(rows.size(), 41); // 40 + the virtual 41, not 1025 nor the member of 201
        // Groups that have at least one intersection: 1 to 4 and 201.
        QCOMPARE(groups, 5);
        QSet<int> seen;
        for (const auto &r : rows) {
            QVERIFY(r.Group.ID >= 1 && r.Group.ID <= 200);
            QVERIFY(r.Lc.ID >= 1 && r.Lc.ID <= 1024);
            seen.insert(r.Group.ID);
        }
        QCOMPARE(seen, QSet<int>({1, 2, 3, 4}));
        // Order: by group, then the index within the group.
        QCOMPARE(rows.first().Lc.Key, QString("1-1"));
        const auto it = std::find_if(rows.cbegin(), rows.cend(), [](const auto &r) { return r.Lc.ID == 41; });
        QVERIFY(it != rows.cend());
        QCOMPARE(it->Lc.Key, QString("2-41"));
        QCOMPARE(it->Lc.Name.str(), QString("강남역사거리(보행)"));
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_INTLC WHERE INT_LCNO IN (1025, 900)"));
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_SAOPERATE WHERE SA_NO IN (201, 9)"));
    }

    void intersectionTreeKeysComeFromTheDialect()
    {
        QList<TNodeData> nodes;
        QVERIFY(MainLists::LoadLcTree(db, dtMariaDB, &nodes));
        QCOMPARE(nodes.size(), 41);
        QCOMPARE(nodes[11].ID, 12);
        QCOMPARE(nodes[11].Key, QString("2-12"));
        QCOMPARE(nodes[11].TreeType, 2004);
        QCOMPARE(nodes[0].TreeType, 2010);
        QCOMPARE(int(nodes[7].Flag), 2); // 학동사거리: SCI
        // The MariaDB statement never uses Oracle's concatenation operator.
        QVERIFY(!MainLists::LcTreeSql(dtMariaDB).contains("||"));
        QVERIFY(MainLists::LcTreeSql(dtMariaDB).contains("CONCAT_WS"));
        QVERIFY(MainLists::LcTreeSql(dtOracle).contains("(INT_SANO || '-' || INT_LCNO)"));
        QVERIFY(MainLists::LcTreeSql(dtTibero).contains("||"));
    }

    void errorTextsAndLayers()
    {
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_EVENT_VALUE WHERE EVENT_CODE = 19"));
        QVERIFY(MainTest::Exec(db, "INSERT INTO SCS_M_EVENT_VALUE VALUES (19, 3, 'TOD 오류'), (18, 3, 'other')"));
        QMap<int, QString> codes;
        QVERIFY(MainLists::LoadDBErrorCodes(db, &codes));
        QCOMPARE(codes.value(3), QString("TOD 오류"));
        QCOMPARE(codes.size(), 1);

        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_LAYER"));
        QString node, link;
        QVERIFY(MainLists::LoadMapLayers(db, &node, &link));
        QCOMPARE(node, MainLists::EmptyFeatureCollection());
        QCOMPARE(link, MainLists::EmptyFeatureCollection());
        // A row named "node" in lower case is not the node layer.
        QVERIFY(MainTest::Exec(db, "INSERT INTO SCS_M_LAYER VALUES ('node', '{\"l\":2}')"));
        QVERIFY(MainLists::LoadMapLayers(db, &node, &link));
        QCOMPARE(node, MainLists::EmptyFeatureCollection());
        QCOMPARE(link, QString("{\"l\":2}"));
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_LAYER SET LAYER_NAME = 'NODE'"));
        QVERIFY(MainLists::LoadMapLayers(db, &node, &link));
        QCOMPARE(node, QString("{\"l\":2}"));
        QCOMPARE(link, MainLists::EmptyFeatureCollection());
    }

    void selectionLookups()
    {
        const QString b = MainLists::GetBounds(db, dtMariaDB, 2);
        QVERIFY2(QRegularExpression("^\\[37\\.\\d+,127\\.\\d+\\]$").match(b).hasMatch(), qPrintable(b));
        QVERIFY(MainLists::GetBounds(db, dtMariaDB, 77).isEmpty());
        QVERIFY(!MainLists::GetBoundsSql(dtMariaDB).contains("||"));

        QCOMPARE(MainLists::FindLcSaNo(db, 23), 3);
        QCOMPARE(MainLists::FindLcSaNo(db, 999), 1); // absent: looked for under group 1

        QCOMPARE(MainLists::SaLcCount(db, 4), 7);
        QCOMPARE(MainLists::SaLcCount(db, 77), 0);
        QVERIFY(MainTest::Exec(db, "INSERT INTO SCS_M_SAOPERATE (SA_NO, SA_NAME) VALUES (5, 'one')"));
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_INTLC SET INT_SANO = 5 WHERE INT_LCNO = 40"));
        QCOMPARE(MainLists::SaLcCount(db, 5), 1);
        QString lat, lng;
        QVERIFY(MainLists::SaSingleNodePos(db, 5, &lat, &lng));
        QVERIFY(lat.startsWith("37."));
        QVERIFY(lng.startsWith("127."));
        QVERIFY(MainTest::Exec(db, "UPDATE SCS_M_INTLC SET INT_SANO = 4 WHERE INT_LCNO = 40"));
        QVERIFY(MainTest::Exec(db, "DELETE FROM SCS_M_SAOPERATE WHERE SA_NO = 5"));
    }

    void bookmarksAreBound()
    {
        const QString text = "{\"B1\":{\"zoom\":15,\"latlng\":[37.5,127.0]},\"x\":\"O'Brien\"}";
        QVERIFY(MainLists::SaveBookmarks(db, "operator", text));
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT BOOKMARKS FROM SCS_M_USER WHERE USER_ID = 'operator'") && q.next());
        QCOMPARE(q.value(0).toString(), text);
    }
};

QTEST_GUILESS_MAIN(TestMainLists)
#include "tst_main_lists.moc"
