// Rules of the operation plan sheet that need no database: movement texts and
// numbers, the phase grid of a movement block, lamp cell format keys, the
// template path, the movement script and the arrow pictures.
#include <QImage>
#include <QTest>

#include "CoreKitSupport.h"
#include "core/siLang.h"
#include "intersection/TcdvConf.h"
#include "intersection/TcdvConfExport.h"

using namespace TcdvConf;

Q_DECLARE_METATYPE(TLcTypeEx)
Q_DECLARE_METATYPE(TLampColumn)

class TstPlanSheetRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(CoreKit::LoadLanguage()); }

    void movementTexts_data()
    {
        QTest::addColumn<int>("mvmt");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("picture");
        QTest::newRow("0") << 0 << "" << 0;
        QTest::newRow("1") << 1 << "①" << 1;
        QTest::newRow("8") << 8 << "⑧" << 8;
        QTest::newRow("15") << 15 << "⑮" << 15;
        QTest::newRow("16") << 16 << "16" << 16;
        QTest::newRow("17") << 17 << "17" << 9;
        QTest::newRow("18") << 18 << "18" << 10;
        QTest::newRow("19") << 19 << "" << 19;
    }
    void movementTexts()
    {
        QFETCH(int, mvmt);
        QFETCH(QString, text);
        QFETCH(int, picture);
        QCOMPARE(MovementText(mvmt), text);
        QCOMPARE(MovementPicture(mvmt), picture);
        if (!text.isEmpty())
            QCOMPARE(CircledToMovementNo(text), mvmt);
    }

    void circledToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("circled 1") << "①" << 1;
        QTest::newRow("circled 15") << "⑮" << 15;
        QTest::newRow("circled 16 is not used") << "⑯" << 0;
        QTest::newRow("plain 16") << "16" << 16;
        QTest::newRow("plain 18") << "18" << 18;
        QTest::newRow("plain 5") << "5" << 0;
        QTest::newRow("19") << "19" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("text") << "abc" << 0;
    }
    void circledToNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QCOMPARE(CircledToMovementNo(text), number);
    }

    // Rows 0..9 of the phase grid; movement 17 shows as picture 9 and text "17".
    void phaseGrid()
    {
        TMovementBlock block{};
        TMovement &a = block[0][0][0];
        a.mvmt_no = 3;
        a.max_split = 40;
        a.min_split = 15;
        a.yellow = 3;
        TMovement &b = block[0][0][1];
        b.mvmt_no = 17;
        b.max_split = 30;
        b.min_split = 10;
        b.yellow = 4;
        block[1][7][0].mvmt_no = 18;   // plan class 2, phase 8
        block[0][3][0].mvmt_no = 0;    // no movement: empty column
        const TPhaseGrid g = PhaseGridOf(block, 1);
        const QList<QVariant> col0{3, "③", 9, "17", 40, 30, 15, 10, 3, 4};
        for (int row = 0; row < 10; ++row)
            QCOMPARE(g[row][0], col0[row]);
        for (int row = 0; row < 10; ++row)
            QVERIFY(!g[row][3].isValid());
        const TPhaseGrid g2 = PhaseGridOf(block, 2);
        QCOMPARE(g2[0][7], QVariant(10));
        QCOMPARE(g2[1][7], QVariant("18"));
        QVERIFY(!g2[0][0].isValid());
    }

    void planFilter_data()
    {
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<int>>("plans"); // of 1..10
        QTest::newRow("2004 general") << lct2004 << 0 << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("2004 time-difference") << lct2004 << 1 << QList<int>{6, 7, 8, 9, 10};
        QTest::newRow("2010 general") << lct2010_3L << 0 << QList<int>{1, 2, 3, 4, 5};
        QTest::newRow("2010 entry 1") << lct2010_3L << 1 << QList<int>{6};
        QTest::newRow("2010 entry 5") << lct2010_4L << 5 << QList<int>{10};
        QTest::newRow("no type") << lctNone << 3 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    }
    void planFilter()
    {
        QFETCH(TLcTypeEx, type);
        QFETCH(int, index);
        QFETCH(QList<int>, plans);
        QList<int> got;
        for (int p = 1; p <= 10; ++p)
            if (PlanBelongsToClass(p, type, index))
                got << p;
        QCOMPARE(got, plans);
    }

    // The lamp cell's key: the colour of a listed code (on end-of-phase steps
    // too), otherwise "W"/"E" with "B" on the first row of ring B and "Z" for an
    // end-of-phase code 0.
    void signalCellKeys_data()
    {
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("firstB");
        QTest::addColumn<bool>("eop");
        QTest::addColumn<TLampColumn>("column");
        QTest::addColumn<QString>("key");
        const auto V = TLampColumn::Vehicle, P = TLampColumn::Pedestrian;
        QTest::newRow("4L vehicle green") << lct2010_4L << 1 << false << false << V << "G";
        QTest::newRow("4L vehicle 4 green") << lct2010_4L << 4 << false << false << V << "G";
        QTest::newRow("4L vehicle 64 green ring B") << lct2010_4L << 64 << true << false << V << "GB";
        QTest::newRow("4L vehicle 3 yellow") << lct2010_4L << 3 << false << false << V << "Y";
        QTest::newRow("4L vehicle 48 red") << lct2010_4L << 48 << false << true << V << "R";
        QTest::newRow("4L vehicle 8 white") << lct2010_4L << 8 << false << false << V << "W";
        QTest::newRow("4L pedestrian 1 white") << lct2010_4L << 1 << false << false << P << "W";
        QTest::newRow("4L pedestrian 32 green") << lct2010_4L << 32 << false << false << P << "G";
        QTest::newRow("4L pedestrian 48 red") << lct2010_4L << 48 << false << false << P << "R";
        QTest::newRow("2004 vehicle 2 yellow") << lct2004 << 2 << false << false << V << "Y";
        QTest::newRow("2004 pedestrian 2 end of phase") << lct2004 << 2 << false << true << P << "E";
        QTest::newRow("2004 zero end of phase") << lct2004 << 0 << false << true << V << "EZ";
        QTest::newRow("2004 zero end of phase ring B") << lct2004 << 0 << true << true << P << "EBZ";
        QTest::newRow("2004 zero") << lct2004 << 0 << false << false << V << "W";
        QTest::newRow("2004 zero ring B") << lct2004 << 0 << true << false << V << "WB";
        QTest::newRow("3L 5 green") << lct2010_3L << 5 << false << false << P << "G";
        QTest::newRow("3L 80 green") << lct2010_3L << 80 << false << false << V << "G";
        QTest::newRow("3L 48 yellow") << lct2010_3L << 48 << false << true << V << "Y";
        QTest::newRow("3L 64 red") << lct2010_3L << 64 << true << false << V << "RB";
        QTest::newRow("3L 0x21 by its low digit") << lct2010_3L << 0x21 << false << false << V << "G";
        QTest::newRow("3L 0x13 by its low digit") << lct2010_3L << 0x13 << false << false << V << "Y";
        QTest::newRow("3L 0x44 by its low digit") << lct2010_3L << 0x44 << false << false << V << "R";
        QTest::newRow("3L 0x18 unlisted") << lct2010_3L << 0x18 << false << true << V << "E";
        QTest::newRow("no type: never coloured") << lctNone << 1 << false << false << V << "W";
        QTest::newRow("no type end of phase") << lctNone << 16 << true << true << V << "EB";
    }
    void signalCellKeys()
    {
        QFETCH(TLcTypeEx, type);
        QFETCH(int, code);
        QFETCH(bool, firstB);
        QFETCH(bool, eop);
        QFETCH(TLampColumn, column);
        QFETCH(QString, key);
        QCOMPARE(SignalCellKey(type, code, firstB, eop, column), key);
    }

    void signalMapRows()
    {
        QCOMPARE(SignalMapRow(1, 1, 1), 112);
        QCOMPARE(SignalMapRow(1, 1, 32), 143);
        QCOMPARE(SignalMapRow(1, 2, 1), 144);
        QCOMPARE(SignalMapRow(1, 2, 32), 175);
        QCOMPARE(SignalMapRow(2, 1, 1), 179);
        QCOMPARE(SignalMapRow(5, 1, 1), 380);
        QCOMPARE(SignalMapRow(5, 2, 32), 443);
        QCOMPARE(SheetSignalMapClasses(lct2004), 2);
        QCOMPARE(SheetSignalMapClasses(lctNone), 2);
        QCOMPARE(SheetSignalMapClasses(lct2010_3L), 5);
    }

    void templatePaths_data()
    {
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("path");
        QTest::newRow("none ko") << lctNone << 1 << "/opt/sc/template/tcdv_conf_template_2004_ko.xlsx";
        QTest::newRow("2004 en") << lct2004 << 2 << "/opt/sc/template/tcdv_conf_template_2004_en.xlsx";
        QTest::newRow("3L ko") << lct2010_3L << 1 << "/opt/sc/template/tcdv_conf_template_2010_ko.xlsx";
        QTest::newRow("4L en") << lct2010_4L << 2 << "/opt/sc/template/tcdv_conf_template_2010_en.xlsx";
    }
    void templatePaths()
    {
        QFETCH(TLcTypeEx, type);
        QFETCH(int, language);
        QFETCH(QString, path);
        QCOMPARE(TemplatePath("/opt/sc/", type, language), path);
        QCOMPARE(TemplatePath("/opt/sc", type, language), path);
    }

    // Arrows with a head point become simpleMovement calls named after class,
    // phase and ring; texts that are not numbers never reach the script.
    void movementScript()
    {
        TMovementBlock block{};
        TMovement &m = block[1][2][1]; // class 2, phase 3, ring B
        m.mvmt_no = 5;
        m.head_lat = "37.5";
        m.head_lng = "127.1";
        m.mid_lat = "37.6";
        m.mid_lng = "127.2";
        m.end_lat = "37.7";
        m.end_lng = "127.3";
        m.label_lat = "37.8";
        m.label_lng = "127.4";
        m.head_angle = "90";
        m.end_angle = "270";
        TMovement &bad = block[1][0][0];
        bad = m;
        bad.head_angle = "1);alert(1";
        block[1][1][0].mvmt_no = 2; // no head point: skipped
        const QString s = MovementScript(block, 1, "37.51", "127.02", "00FF00", true);
        QVERIFY(s.contains("map.panTo(new L.LatLng(37.51, 127.02));"));
        QVERIFY(s.contains("MvmtLayer.clearLayers();"));
        QVERIFY(s.contains("var mvmt121 = L.simpleMovement([new L.LatLng(37.5, 127.1), new L.LatLng(37.6, 127.2), "
                           "new L.LatLng(37.7, 127.3), new L.LatLng(37.8, 127.4)]"));
        QVERIFY(s.contains("color: \"#00FF00\", label: true"));
        QVERIFY(s.contains("L.Mvmt.circleNum[4]"));
        QVERIFY(s.contains("headAngle: 90, endAngle: 270"));
        QVERIFY(s.contains("if (!MvmtLayer.hasLayer(mvmt121)) { MvmtLayer.addLayer(mvmt121); }"));
        QVERIFY(!s.contains("mvmt100"));
        QVERIFY(!s.contains("alert"));
        QVERIFY(!s.contains("mvmt110"));
        QVERIFY(MovementScript(block, 1, "x", "", "00FF00", false).contains("new L.LatLng(0, 0)"));
    }

    // The arrow pictures are PNG of the cell's size; a special movement is drawn
    // differently from a vehicle movement with the same angles.
    void arrowPictures()
    {
        TMovement m;
        QVERIFY(ArrowPng(m, {40, 35}, Qt::white).isEmpty());
        m.mvmt_no = 3;
        m.head_angle = "180";
        m.end_angle = "0";
        const QByteArray vehicle = ArrowPng(m, {40, 35}, Qt::white);
        QImage img = QImage::fromData(vehicle, "PNG");
        QCOMPARE(img.size(), QSize(40, 35));
        bool green = false;
        for (int y = 0; y < img.height() && !green; ++y)
            for (int x = 0; x < img.width() && !green; ++x)
                green = qAbs(img.pixelColor(x, y).green() - 155) < 30 && img.pixelColor(x, y).red() < 130;
        QVERIFY(green);
        m.mvmt_no = 17;
        QVERIFY(ArrowPng(m, {40, 35}, Qt::white) != vehicle);
    }
};

QTEST_MAIN(TstPlanSheetRules)
#include "tst_plansheet_rules.moc"
