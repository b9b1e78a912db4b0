// The movement arrows without their window, on the fixture database: the plan
// classes per controller type, the movement table loaded afresh with its angles,
// the page's "savePoint" messages writing only their ten columns of existing
// rows, the live record after "Done", and the window settings.
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "CoreKitSupport.h"
#include "EditorFixture.h"
#include "foundation/IniFile.h"
#include "intersection/PhaseMvmt.h"

namespace {

const char *const kDb = "tst_phase_mvmt";

using EditorFixture::Column;
using EditorFixture::Exec;

QString SavePoint(const QString &name, int n)
{
    // Every member a distinct text: n.1 ... n.10.
    return QStringLiteral("savePoint:{\"name\":\"%1\",\"headPointLat\":\"%2.1\",\"headPointLng\":\"%2.2\","
                          "\"middlePointLat\":\"%2.3\",\"middlePointLng\":\"%2.4\",\"endPointLat\":\"%2.5\","
                          "\"endPointLng\":\"%2.6\",\"labelPointLat\":\"%2.7\",\"labelPointLng\":\"%2.8\","
                          "\"headAngle\":%2.9,\"endAngle\":\"%2.10\"}")
        .arg(name)
        .arg(n);
}

const char *const kRowText =
    "SELECT CONCAT_WS('|', INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, IFNULL(INT_MINSPLIT, 'NULL'), "
    "IFNULL(LINK_ID, 'NULL'), IFNULL(INT_HEAD_LAT, 'NULL'), IFNULL(INT_HEAD_LNG, 'NULL'), "
    "IFNULL(INT_MIDDLE_LAT, 'NULL'), IFNULL(INT_MIDDLE_LNG, 'NULL'), IFNULL(INT_END_LAT, 'NULL'), "
    "IFNULL(INT_END_LNG, 'NULL'), IFNULL(INT_LABEL_LAT, 'NULL'), IFNULL(INT_LABEL_LNG, 'NULL'), "
    "IFNULL(INT_HEAD_ANGLE, 'NULL'), IFNULL(INT_END_ANGLE, 'NULL')) FROM SCS_M_INTPHASE WHERE INT_LCNO = 5 "
    "ORDER BY INT_PLANCLSS, INT_PHASENO, INT_RING";

} // namespace

class TestPhaseMvmt : public QObject
{
    Q_OBJECT
    std::unique_ptr<CoreKit::TDataModule> FDm;

private slots:
    void initTestCase()
    {
        QVERIFY(TestDb::create(kDb, false));
        FDm = std::make_unique<CoreKit::TDataModule>(kDb);
        QVERIFY(FDm->ok);
        QVERIFY(CoreKit::LoadLanguage());
    }
    void cleanupTestCase() { FDm.reset(); }

    void init()
    {
        QVERIFY(Exec("DELETE FROM SCS_M_INTPHASE"));
        QVERIFY(Exec("DELETE FROM SCS_M_INTLC"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTLC (INT_LCNO, NODE_ID, INT_LCTYPE, INT_SANO) VALUES (5, 'N5', 2, 1)"));
        QVERIFY(Exec("INSERT INTO SCS_M_INTPHASE (INT_LCNO, INT_PLANCLSS, INT_PHASENO, INT_RING, INT_FLOWNUMBER, "
                     "INT_MINSPLIT, LINK_ID, INT_HEAD_LAT, INT_HEAD_ANGLE, INT_END_ANGLE) VALUES "
                     "(5, 1, 1, 1, 2, 15, 'L1', '37.5', '90', '45'), "
                     "(5, 1, 1, 2, 6, 16, 'L2', NULL, NULL, NULL), "
                     "(5, 1, 2, 1, 17, 17, 'L3', '37.6', '180', '0'), "
                     "(5, 1, 9, 1, 3, 0, NULL, NULL, NULL, NULL), "
                     "(5, 8, 1, 1, 3, 0, NULL, NULL, NULL, NULL), "
                     "(5, 2, 1, 1, 19, 0, NULL, NULL, NULL, NULL)"));
    }

    void planClasses_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("2004") << int(lct2004) << QStringList({"일반제", "시차제"});
        const QStringList seven{"일반제", "시차제#1", "시차제#2", "시차제#3", "시차제#4", "시차제#5", "보행맵"};
        QTest::newRow("2010 three lamps") << int(lct2010_3L) << seven;
        QTest::newRow("2010 four lamps") << int(lct2010_4L) << seven;
    }
    void planClasses()
    {
        QFETCH(int, type);
        QFETCH(QStringList, texts);
        QCOMPARE(PhaseMvmt::PlanClassTexts(TLcTypeEx(type)), texts);
    }

    void arrowNames()
    {
        QCOMPARE(PhaseMvmt::ArrowName(1, 3, 2), QString("mvmt132"));
        QCOMPARE(PhaseMvmt::ArrowName(7, 8, 1), QString("mvmt781"));
    }

    // An entry whose row has gone is cleared; rows outside the table are skipped.
    void loadMovementsStartsEmptyAndReadsAngles()
    {
        TMovementBlock block{};
        block[3][3][0].mvmt_no = 4;
        block[3][3][0].head_lat = "1.0";
        QVERIFY(PhaseMvmt::LoadMovements(DM->Con(), 5, &block));
        int filled = 0;
        for (const auto &plan : block)
            for (const auto &phase : plan)
                for (const TMovement &m : phase)
                    filled += m.mvmt_no != 0;
        QCOMPARE(filled, 3);
        const TMovement &a = block[0][0][0];
        QCOMPARE(a.mvmt_no, 2);
        QCOMPARE(a.head_lat.str(), QString("37.5"));
        QCOMPARE(a.head_angle.str(), QString("90"));
        QCOMPARE(a.end_angle.str(), QString("45"));
        QCOMPARE(a.min_split, 15);
        QCOMPARE(a.link_id.str(), QString("L1"));
        QCOMPARE(int(block[0][1][0].phase_type), 1);   // movement 17
        QCOMPARE(int(block[0][0][1].phase_type), 0);
        QCOMPARE(block[3][3][0].mvmt_no, 0);
    }

    // Two drawn arrows and one whose row does not exist: exactly the ten columns
    // of the two rows change, nothing is inserted, "Done" closes the save.
    void savePointsUpdateOnlyTheirColumns()
    {
        const QStringList before = Column(kRowText);
        PhaseMvmt::TMvmtSaver saver(DM->Con(), 5);
        saver.Begin();
        QCOMPARE(saver.Handle(SavePoint("mvmt111", 1)), PhaseMvmt::TMvmtSaver::SavePoint);
        QCOMPARE(saver.Handle(SavePoint("mvmt112", 2)), PhaseMvmt::TMvmtSaver::SavePoint);
        QCOMPARE(saver.Handle(SavePoint("mvmt131", 3)), PhaseMvmt::TMvmtSaver::SavePoint);
        QCOMPARE(saver.Handle("mapMoved:{}"), PhaseMvmt::TMvmtSaver::Ignored);
        QCOMPARE(saver.Handle("Done"), PhaseMvmt::TMvmtSaver::Done);
        QVERIFY2(saver.Ok(), qPrintable(saver.Error()));
        QCOMPARE(saver.Updated(), 2);
        QStringList expected = before;
        expected[0] = "1|1|1|2|15|L1|1.1|1.2|1.3|1.4|1.5|1.6|1.7|1.8|1.9|1.10";
        expected[1] = "1|1|2|6|16|L2|2.1|2.2|2.3|2.4|2.5|2.6|2.7|2.8|2.9|2.10";
        QCOMPARE(Column(kRowText), expected);
    }

    // A point that fails is reported at "Done"; the points before and after it stay written.
    void aFailedPointIsReportedAndTheOthersStay()
    {
        QVERIFY(Exec("CREATE TRIGGER MVMT_FAIL BEFORE UPDATE ON SCS_M_INTPHASE FOR EACH ROW "
                     "BEGIN IF NEW.INT_RING = 2 THEN SIGNAL SQLSTATE '45000' "
                     "SET MESSAGE_TEXT = 'injected failure'; END IF; END"));
        PhaseMvmt::TMvmtSaver saver(DM->Con(), 5);
        saver.Begin();
        saver.Handle(SavePoint("mvmt111", 1));
        saver.Handle(SavePoint("mvmt112", 2));
        saver.Handle(SavePoint("mvmt121", 4));
        const auto kind = saver.Handle("Done");
        QVERIFY(Exec("DROP TRIGGER MVMT_FAIL"));
        QCOMPARE(kind, PhaseMvmt::TMvmtSaver::Done);
        QVERIFY(!saver.Ok());
        QVERIFY(saver.Error().contains("injected failure"));
        QCOMPARE(Column("SELECT CONCAT(INT_PHASENO, INT_RING, ':', IFNULL(INT_HEAD_LAT, 'NULL')) FROM SCS_M_INTPHASE "
                        "WHERE INT_LCNO = 5 AND INT_PLANCLSS = 1 AND INT_PHASENO <= 2 ORDER BY INT_PHASENO, INT_RING"),
                 QStringList({"11:1.1", "12:NULL", "21:4.1"}));
        // A new save starts clean.
        saver.Begin();
        QVERIFY(saver.Ok());
        QVERIFY(saver.Error().isEmpty());
    }

    // After "Done" the live record holds every field of the stored movement block.
    void theLiveRecordTakesTheWholeBlock()
    {
        PhaseMvmt::TMvmtSaver saver(DM->Con(), 5);
        saver.Begin();
        saver.Handle(SavePoint("mvmt111", 1));
        QCOMPARE(saver.Handle("Done"), PhaseMvmt::TMvmtSaver::Done);
        TSTT_LC_INFO live;
        live.tcdv_id = 5;
        live.Movements[6][7][1].mvmt_no = 9;        // an arrow that is no longer stored
        TMovementBlock block{};
        QVERIFY(PhaseMvmt::LoadMovements(DM->Con(), 5, &block));
        PhaseMvmt::CopyToLive(block, &live);
        const TMovement &a = live.Movements[0][0][0];
        QCOMPARE(QStringList({a.head_lat, a.head_lng, a.mid_lat, a.mid_lng, a.end_lat, a.end_lng, a.label_lat,
                              a.label_lng, a.head_angle, a.end_angle}),
                 QStringList({"1.1", "1.2", "1.3", "1.4", "1.5", "1.6", "1.7", "1.8", "1.9", "1.10"}));
        QCOMPARE(a.min_split, 15);
        QCOMPARE(a.link_id.str(), QString("L1"));
        QCOMPARE(live.Movements[0][1][0].mvmt_no, 17);
        QCOMPARE(live.Movements[6][7][1].mvmt_no, 0);
        PhaseMvmt::CopyToLive(block, nullptr);      // a detached record: nothing to do
    }

    void pageStartScripts()
    {
        QCOMPARE(PhaseMvmt::InitMapViewScripts("37.5", "127.0", 19, "http://tiles/{z}/{x}/{y}.png", "Base"),
                 QStringList({"initialize(37.5, 127.0, 18, \"http://tiles/{z}/{x}/{y}.png\", \"Base\")",
                              " var MvmtLayer = new L.FeatureGroup();", " map.addLayer(MvmtLayer);",
                              " window.loadEnd();"}));
    }

    // Stored arrows of class 1: phase 1 ring A drawn, ring B with an angle that is
    // not a number left out, phase 2 ring A drawn; a movement without a head point
    // stops the drawing and asks for default arrows.
    void arrowScripts()
    {
        TMovementBlock block{};
        auto set = [&](int phase, int ring, int mvmt, const char *headAngle) {
            TMovement &m = block[0][phase - 1][ring - 1];
            m.mvmt_no = mvmt;
            m.head_lat = "37.1";
            m.head_lng = "127.1";
            m.mid_lat = "37.2";
            m.mid_lng = "127.2";
            m.end_lat = "37.3";
            m.end_lng = "127.3";
            m.label_lat = "37.4";
            m.label_lng = "127.4";
            m.head_angle = headAngle;
            m.end_angle = "45";
        };
        set(1, 1, 2, "90");
        set(1, 2, 6, "east");
        set(2, 1, 17, "-30.5");
        PhaseMvmt::TMvmtSettings s;
        PhaseMvmt::TArrowScripts stored = PhaseMvmt::StoredArrowScripts(block, 1, "37.0", "127.0", s);
        QVERIFY(!stored.MissingHead);
        QCOMPARE(stored.Names, QStringList({"mvmt111", "mvmt121"}));
        QCOMPARE(stored.Scripts.size(), 3);
        QCOMPARE(stored.Scripts.at(0), QString(" MvmtLayer.clearLayers();"));
        QCOMPARE(stored.Scripts.at(1),
                 QString("mvmt111 = L.movement([[37.0, 127.0], [37.1, 127.1], [37.2, 127.2], [37.3, 127.3], "
                         "[37.4, 127.4]], {color: \"#30ca5d\", radius: 10, weight: 10, label: 1, headAngle: 90, "
                         "endAngle: 45}, \"mvmt111\"); MvmtLayer.addLayer(mvmt111);"));
        QVERIFY(stored.Scripts.at(2).contains("label: 16, headAngle: -30.5,"));

        PhaseMvmt::TArrowScripts defaults = PhaseMvmt::DefaultArrowScripts(block, 1, "37.0", "127.0", s, -90);
        QVERIFY(!defaults.MissingHead);
        QCOMPARE(defaults.Names, QStringList({"mvmt111", "mvmt112", "mvmt121"}));
        QCOMPARE(defaults.Scripts.at(1),
                 QString("init(37.0, 127.0, 1, 50, 10, 15, 10, 20, -90, \"#30ca5d\", \"mvmt111\");"));

        block[0][1][0].head_lat = " ";
        stored = PhaseMvmt::StoredArrowScripts(block, 1, "37.0", "127.0", s);
        QVERIFY(stored.MissingHead);
        QCOMPARE(stored.Names, QStringList({"mvmt111"}));
        QVERIFY(PhaseMvmt::DefaultArrowScripts(block, 1, "37.0", "127.0", s, 0).MissingHead);

        QCOMPARE(PhaseMvmt::SaveScripts({"mvmt111", "mvmt121"}),
                 QStringList({"mvmt111.getSavePoints();", "mvmt121.getSavePoints();", " console.log(\"Done\");"}));
    }

    void settingsRoundTrip()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("signal-console.ini");
        PhaseMvmt::TMvmtSettings s;
        s.Read(file);   // no file: the defaults
        QCOMPARE(QList<int>({s.MoveColor, s.MoveFontColor, s.SelMoveColor, s.SelMoveFontColor, s.MoveLength,
                             s.MoveSize, s.XOffsetSize, s.YOffsetSize, s.LOffsetSize}),
                 QList<int>({6146608, 16777215, 8421376, 16777215, 50, 10, 15, 10, 20}));
        QCOMPARE(PhaseMvmt::ColorText(s.MoveColor), QString("#30ca5d"));
        QCOMPARE(PhaseMvmt::ColorText(s.SelMoveColor), QString("#008080"));
        s.MoveColor = 255;
        s.MoveLength = 120;
        s.MoveSize = 7;
        s.XOffsetSize = -50;
        s.LOffsetSize = 0;
        s.Write(file);
        const TIniFile ini(file);
        QCOMPARE(ini.ReadSection("MOVE-EDIT-WIN"),
                 QStringList({"MOVE_COLOR", "MOVE_FONT_COLOR", "SELMOVE_COLOR", "SELMOVE_FONT_COLOR", "MOVE_LENGTH",
                              "MOVE_SIZE", "X_OFFSET_SIZE", "Y_OFFSET_SIZE", "L_OFFSET_SIZE"}));
        QCOMPARE(ini.ReadString("MOVE-EDIT-WIN", "MOVE_COLOR", ""), QString("255"));
        QCOMPARE(ini.ReadString("MOVE-EDIT-WIN", "X_OFFSET_SIZE", ""), QString("-50"));
        PhaseMvmt::TMvmtSettings back;
        back.Read(file);
        QCOMPARE(QList<int>({back.MoveColor, back.MoveLength, back.MoveSize, back.XOffsetSize, back.LOffsetSize}),
                 QList<int>({255, 120, 7, -50, 0}));
        // Values beyond the boxes' ranges are taken at the nearest limit.
        TIniFile(file).WriteInteger("MOVE-EDIT-WIN", "MOVE_LENGTH", 500);
        TIniFile(file).WriteInteger("MOVE-EDIT-WIN", "Y_OFFSET_SIZE", -80);
        back.Read(file);
        QCOMPARE(back.MoveLength, 200);
        QCOMPARE(back.YOffsetSize, -50);
    }
};

QTEST_MAIN(TestPhaseMvmt)
#include "tst_phase_mvmt.moc"
