// The flash map codes: text and value per controller type and column kind, the
// paste rule, the state of an edited row, and the statement of a changed row
// (insert, update, delete; outputs 7 and 8 of a 2004 controller stay NULL).
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include "EditorFixture.h"
#include "intersection/FlashMap.h"

Q_DECLARE_METATYPE(Flash::TKind)

using EditorFixture::Column;

namespace {

const char *const kDb = "tst_flash_map";

QVariantMap Texts(const QString &veh, const QString &ped)
{
    QVariantMap m;
    for (int i = 1; i <= 8; ++i) {
        m[QString("INT_VEH%1").arg(i)] = veh;
        m[QString("INT_PED%1").arg(i)] = ped;
    }
    m["INT_FLASHTIME"] = 30;
    m["INT_VARIABCNTL"] = 1;
    return m;
}

} // namespace

class TestFlashMap : public QObject
{
    Q_OBJECT
    QSqlDatabase FDb;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, false));
        FDb = TestDb::open(kDb, "flash");
        QVERIFY(FDb.isOpen());
    }

    void codes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<Flash::TKind>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        const auto V = Flash::TKind::Vehicle;
        const auto P = Flash::TKind::Pedestrian;
        QTest::newRow("2004 pedestrian 16") << int(lct2004) << P << "RF" << 16;
        QTest::newRow("2004 pedestrian X") << int(lct2004) << P << "X" << 0;
        QTest::newRow("2004 vehicle 16") << int(lct2004) << V << "YF" << 16;
        QTest::newRow("4L vehicle RF") << int(lct2010_4L) << V << "RF" << 0;
        QTest::newRow("4L vehicle X") << int(lct2010_4L) << V << "X" << 64;
        QTest::newRow("4L pedestrian GF") << int(lct2010_4L) << P << "GF" << 32;
        QTest::newRow("3L G0;YF") << int(lct2010_3L) << V << "G0;YF" << 49;
        QTest::newRow("3L RF;X") << int(lct2010_3L) << P << "RF;X" << 132;
        QTest::newRow("3L R0;R0") << int(lct2010_3L) << V << "R0;R0" << 0;
        QTest::newRow("3L X;GF") << int(lct2010_3L) << P << "X;GF" << 88;
    }
    void codes()
    {
        QFETCH(int, type);
        QFETCH(Flash::TKind, kind);
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(Flash::CodeText(TLcTypeEx(type), kind, value), text);
        QCOMPARE(Flash::CodeValue(TLcTypeEx(type), kind, text), value);
    }

    void unknownCodes()
    {
        QCOMPARE(Flash::CodeText(lct2004, Flash::TKind::Vehicle, 17), QString());
        QCOMPARE(Flash::CodeText(lct2010_3L, Flash::TKind::Vehicle, 0x86), QString(";X"));   // 6 names no P1 code, 128 is X
        QCOMPARE(Flash::CodeValue(lct2004, Flash::TKind::Pedestrian, ""), 0);
        QCOMPARE(Flash::CodeValue(lct2004, Flash::TKind::Vehicle, "ZZ"), 0);
        QCOMPARE(Flash::CodeValue(lct2010_3L, Flash::TKind::Vehicle, "G0;"), 1);
        QCOMPARE(Flash::CodeTexts(lct2004, Flash::TKind::Vehicle), QStringList({"RF", "YF", "AF", "GF", "X"}));
        QCOMPARE(Flash::CodeTexts(lct2010_4L, Flash::TKind::Pedestrian), QStringList({"RF", "GF", "X"}));
        QCOMPARE(Flash::CodeTexts(lct2010_3L, Flash::TKind::Pedestrian),
                 QStringList({"R0", "G0", "Y0", "YF", "RF", "GF", "X"}));
    }

    void pasteRule()
    {
        QVERIFY(Flash::PasteCompatible(lct2010_4L, lct2004));
        QVERIFY(Flash::PasteCompatible(lct2004, lct2010_4L));
        QVERIFY(Flash::PasteCompatible(lct2010_3L, lct2010_3L));
        QVERIFY(!Flash::PasteCompatible(lct2010_4L, lct2010_3L));
        QVERIFY(!Flash::PasteCompatible(lct2010_3L, lct2004));
        QVERIFY(!Flash::PasteCompatible(lctNone, lct2004));
    }

    void stateAfterEdit()
    {
        QCOMPARE(Flash::StateAfterEdit("N", false), QString("I"));
        QCOMPARE(Flash::StateAfterEdit("N", true), QString("M"));
        QCOMPARE(Flash::StateAfterEdit("M", true), QString("M"));
        QCOMPARE(Flash::StateAfterEdit("", true), QString("I"));
        QCOMPARE(Flash::StateAfterEdit("D", true), QString("D"));
    }

    void statementsByState()
    {
        QVERIFY(QSqlQuery(FDb).exec("DELETE FROM SCS_M_INTFLSMAP"));
        // Not stored: insert; 2004 outputs 7 and 8 NULL.
        Flash::SaveRow(FDb, lct2004, 3, TRowState::Inserted, QString(), Texts("YF", "RF"));
        QCOMPARE(Column(FDb, "SELECT CONCAT_WS(',', INT_VEH1, INT_PED1, INT_VEH6, IFNULL(INT_VEH7, 'NULL'), "
                             "IFNULL(INT_PED8, 'NULL'), INT_FLASHTIME, INT_VARIABCNTL) FROM SCS_M_INTFLSMAP WHERE INT_LCNO = 3"),
                 QStringList({"16,16,16,NULL,NULL,30,1"}));
        // Stored: update by the key as loaded; still NULL for 7 and 8.
        QVariantMap t = Texts("X", "GF");
        t["INT_FLASHTIME"] = QVariant();
        Flash::SaveRow(FDb, lct2004, 3, TRowState::Modified, "3", t);
        QCOMPARE(Column(FDb, "SELECT CONCAT_WS(',', INT_VEH1, INT_PED1, IFNULL(INT_VEH8, 'NULL'), INT_FLASHTIME) "
                             "FROM SCS_M_INTFLSMAP WHERE INT_LCNO = 3"),
                 QStringList({"64,32,NULL,0"}));
        // Three lamps: every output holds both halves.
        Flash::SaveRow(FDb, lct2010_3L, 5, TRowState::Inserted, QString(), Texts("G0;YF", "RF;X"));
        QCOMPARE(Column(FDb, "SELECT CONCAT_WS(',', INT_VEH1, INT_PED1, INT_VEH8, INT_PED8) FROM SCS_M_INTFLSMAP "
                             "WHERE INT_LCNO = 5"),
                 QStringList({"49,132,49,132"}));
        Flash::SaveRow(FDb, lct2004, 3, TRowState::Deleted, "3", {});
        QCOMPARE(Column(FDb, "SELECT INT_LCNO FROM SCS_M_INTFLSMAP"), QStringList({"5"}));
        // A second insert of a stored number is refused by the database.
        bool thrown = false;
        try {
            Flash::SaveRow(FDb, lct2010_3L, 5, TRowState::Inserted, QString(), Texts("R0;R0", "R0;R0"));
        } catch (const std::exception &) {
            thrown = true;
        }
        QVERIFY(thrown);
    }
};

QTEST_MAIN(TestFlashMap)
#include "tst_flash_map.moc"
