// The presentation rules of the controller database window, driven without
// widgets: tab visibility, start-up rows, lamp colours, flash labels, editors,
// the difference rule, conflict read-only cells, reservation shift and the clock.
#include <QtTest>

#include "TestConsoleFolder.h"
#include "core/siLang.h"
#include "transfer/TransferWindowRules.h"

Q_DECLARE_METATYPE(TLcTypeEx)

class TstTransferWindowRules : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(TestConsole::LoadLanguage()); }

    void tabVisibility_data()
    {
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<QString>("shown");
        const QString common = QStringLiteral("tbsStartUpCode tbsSignalMap tbsFlashMap tbsDtrConfig tbsDayPlan "
                                              "tbsWeekHolyDayPlan tbsFnTable");
        QTest::newRow("none") << lctNone << common + QStringLiteral(" tshCommandProtocol");
        QTest::newRow("2004") << lct2004 << common + QStringLiteral(" tshCommandProtocol");
        const QString y2010 =
            common + QStringLiteral(" tbsInOutPed tbsConflictMap tshDumpSystem tshUPS tshCommandProtocol");
        QTest::newRow("3L") << lct2010_3L << y2010;
        QTest::newRow("4L") << lct2010_4L << y2010;
    }
    void tabVisibility()
    {
        QFETCH(TLcTypeEx, type);
        QFETCH(QString, shown);
        QStringList visible;
        for (int t = 0; t < ttTabCount; ++t)
            if (TransferTabVisible(TTransferTab(t), type))
                visible << TransferTabName(TTransferTab(t));
        QCOMPARE(visible.join(QLatin1Char(' ')), shown);
    }

    void doingUpdate()
    {
        QVERIFY(DoingUpdate(false, 1));
        QVERIFY(!DoingUpdate(true, 1));
        QVERIFY(!DoingUpdate(false, 0));
        QVERIFY(!DoingUpdate(false, -3));
    }

    void startupValues_data()
    {
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("2004 byte0 5B") << lct2004 << QByteArray::fromHex("5b00000000000000")
                                       << QList<int>{0, 1, 2, 3} << QList<int>{5, 5, 1, 0};
        QTest::newRow("2004 whole bytes") << lct2004 << QByteArray::fromHex("00a3050109070a0b")
                                          << QList<int>{3, 4, 5, 6, 7, 8, 9, 10}
                                          << QList<int>{10, 10, 11, 1, 3, 5, 9, 7};
        QByteArray b2010(25, 0);
        b2010[3] = char(0x81);
        QTest::newRow("2010 byte3 81") << lct2010_3L << b2010 << QList<int>{10, 11, 12, 13, 14, 15, 16, 17}
                                       << QList<int>{1, 0, 0, 0, 0, 0, 0, 1};
        QByteArray v(25, 0);
        v[0] = char(0xAD); // full 1, dual 2, spillproc 1, spillcont 2, ring 1
        v[8] = 0x11;
        v[12] = 0x15;
        v[13] = char(0xA0); // prebus 1, jump 0, emergency 1
        v[14] = 0x21;       // month test 1, dim 0, flash 1
        v[17] = 0x5B;       // voice 1, day vol 2, night vol 1, interval 3
        v[18] = 0x27;       // night start 7, end 4
        QTest::newRow("2010 fields") << lct2010_4L << v
                                     << QList<int>{0, 1, 2, 3, 4, 20, 24, 25, 26, 27, 28, 29, 30, 33, 34, 35, 36, 37, 38}
                                     << QList<int>{1, 2, 1, 2, 1, 0x11, 0x15, 1, 0, 1, 1, 0, 1, 1, 2, 1, 3, 7, 4};
    }
    void startupValues()
    {
        QFETCH(TLcTypeEx, type);
        QFETCH(QByteArray, block);
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, values);
        const QList<int> all = StartupRowValues(type, block);
        QCOMPARE(all.size(), type == lct2004 ? 11 : 39);
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(all.at(rows.at(i)), values.at(i));
    }

    void startupRowCounts()
    {
        QCOMPARE(StartupRowCount(lct2004), 11);
        QCOMPARE(StartupRowCount(lct2010_3L), 39);
        QCOMPARE(StartupRowCount(lct2010_4L), 39);
        QCOMPARE(StartupRowCount(lctNone), -1);
        QCOMPARE(StartupRowLabels(lct2004, 1).size(), 11);
        QCOMPARE(StartupRowLabels(lct2010_3L, 2).size(), 39);
    }

    void startupLabels_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("item");
        const QString crlf = QStringLiteral("\r\n");
        for (int k = 1; k <= 5; ++k) {
            QTest::addRow("ko row %d", 19 + k) << 1 << lct2010_3L << 19 + k
                                               << QStringLiteral("시차제맵#%1").arg(k) + crlf + "듀얼운영현시지정"
                                               << QStringLiteral("현시사용여부 번호");
            QTest::addRow("en row %d", 19 + k) << 2 << lct2010_3L << 19 + k << QStringLiteral("EMAP")
                                               << QStringLiteral("Dual Operation Phase Set(#%1)").arg(k);
        }
        QTest::newRow("ko row 11 joined") << 1 << lct2010_4L << 11 << QStringLiteral("특수옵션")
                                          << QStringLiteral("차량정상진행시") + crlf + "푸쉬버튼고장처리";
        QTest::newRow("en row 11 alone") << 2 << lct2010_4L << 11 << QStringLiteral("Special Options")
                                         << QStringLiteral("Normal Push-Button Error");
        QTest::newRow("ko row 9 gmap dual") << 1 << lct2010_3L << 9
                                            << QStringLiteral("일반제") + crlf + "듀얼운영현시지정"
                                            << QStringLiteral("현시사용여부 번호");
        QTest::newRow("en 2004 row 8") << 2 << lct2004 << 8 << QStringLiteral("GMAP") + crlf + " "
                                       << QStringLiteral("Dual Operation Phase Set");
        QTest::newRow("ko 2004 row 0") << 1 << lct2004 << 0 << QStringLiteral("링운영방법")
                                       << QStringLiteral("듀얼링가능시간차");
        QTest::newRow("en 2004 row 4") << 2 << lct2004 << 4 << QStringLiteral("Actuate Time\nUNIT(100msec)")
                                       << QStringLiteral("Gap Time(Unit: : 0.1 Sec)");
        QTest::newRow("en 2010 row 38") << 2 << lct2010_3L << 38 << QStringLiteral("Sound")
                                        << QStringLiteral("End Night");
    }
    void startupLabels()
    {
        QFETCH(int, language);
        QFETCH(TLcTypeEx, type);
        QFETCH(int, row);
        QFETCH(QString, group);
        QFETCH(QString, item);
        const TStartupRow r = StartupRowLabels(type, language).value(row);
        QCOMPARE(r.Group, group);
        QCOMPARE(r.Item, item);
    }

    void startupEditor_data()
    {
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("editor");
        QTest::newRow("2004 0") << lct2004 << 0 << "spin";
        QTest::newRow("2004 1") << lct2004 << 1 << "eriSPILLCONT";
        QTest::newRow("2004 3") << lct2004 << 3 << "eriACTYN";
        QTest::newRow("2004 6") << lct2004 << 6 << "eriMANUALOPT";
        QTest::newRow("2004 9") << lct2004 << 9 << "phase";
        QTest::newRow("2004 10") << lct2004 << 10 << "eriDUAL";
        QTest::newRow("2010 0") << lct2010_3L << 0 << "eriAllowYN";
        QTest::newRow("2010 2") << lct2010_3L << 2 << "eriSPILLPROC";
        QTest::newRow("2010 7") << lct2010_4L << 7 << "spin";
        QTest::newRow("2010 9") << lct2010_4L << 9 << "eriDUAL";
        QTest::newRow("2010 18") << lct2010_4L << 18 << "phase";
        QTest::newRow("2010 22") << lct2010_4L << 22 << "eriDUAL";
        QTest::newRow("2010 27") << lct2010_4L << 27 << "eriAllowYN";
        QTest::newRow("2010 31") << lct2010_4L << 31 << "eriDUAL";
        QTest::newRow("2010 37") << lct2010_3L << 37 << "eriNIGHTSTART";
        QTest::newRow("2010 38") << lct2010_3L << 38 << "eriNIGHTEND";
    }
    void startupEditor()
    {
        QFETCH(TLcTypeEx, type);
        QFETCH(int, row);
        QFETCH(QString, editor);
        QCOMPARE(StartupEditor(type, row), editor);
    }

    void inOutPedEditor_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("editor");
        QTest::newRow("0") << 0 << "check";
        QTest::newRow("2") << 2 << "check";
        QTest::newRow("3") << 3 << "eriImageComboBoxItemInstallYN";
        QTest::newRow("4") << 4 << "spin";
        QTest::newRow("5") << 5 << "eriImageComboBoxItemSort";
        QTest::newRow("15") << 15 << "eriImageComboBoxItemSort";
        QTest::newRow("16") << 16 << "spin";
        QTest::newRow("19") << 19 << "eriImageComboBoxItemRing2";
        QTest::newRow("22") << 22 << "spin";
        QTest::newRow("23") << 23 << "";
    }
    void inOutPedEditor()
    {
        QFETCH(int, row);
        QFETCH(QString, editor);
        QCOMPARE(InOutPedEditor(row), editor);
    }

    void ringColour_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<int>("paint");
        QTest::newRow("40 2004") << 0x40 << lct2004 << int(rcpGreen);
        QTest::newRow("40 4L") << 0x40 << lct2010_4L << int(rcpGreen);
        QTest::newRow("40 3L") << 0x40 << lct2010_3L << int(rcpRed);
        QTest::newRow("30 2004") << 0x30 << lct2004 << int(rcpRed);
        QTest::newRow("30 3L") << 0x30 << lct2010_3L << int(rcpAmber);
        QTest::newRow("0 2004") << 0 << lct2004 << int(rcpGrey);
        QTest::newRow("0 3L") << 0 << lct2010_3L << int(rcpGrey);
        QTest::newRow("05 2004") << 0x05 << lct2004 << int(rcpDefault);
        QTest::newRow("05 3L") << 0x05 << lct2010_3L << int(rcpGreen);
        QTest::newRow("20 2004") << 0x20 << lct2004 << int(rcpAmber);
        QTest::newRow("4 3L") << 0x04 << lct2010_3L << int(rcpRed);
        QTest::newRow("low nibble 24 3L") << 0x24 << lct2010_3L << int(rcpRed);
        QTest::newRow("low nibble 63 3L") << 0x63 << lct2010_3L << int(rcpAmber);
        QTest::newRow("low nibble 60 3L") << 0x60 << lct2010_3L << int(rcpDefault);
    }
    void ringColour()
    {
        QFETCH(int, code);
        QFETCH(TLcTypeEx, type);
        QFETCH(int, paint);
        QCOMPARE(int(RingCellPaint(code, type)), paint);
    }
    void ringColourValues()
    {
        QCOMPARE(RingCellColour(rcpGreen), QColor(0x66, 0xCC, 0x66));
        QCOMPARE(RingCellColour(rcpAmber), QColor(0xFF, 0xCC, 0x33));
        QCOMPARE(RingCellColour(rcpRed), QColor(0xFF, 0x8C, 0xAA));
        QCOMPARE(RingCellColour(rcpGrey), QColor(0xB3, 0xB3, 0xB3));
        QVERIFY(!RingCellColour(rcpDefault).isValid());
    }

    void flashLabels_data()
    {
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("lsu");
        QTest::addColumn<QString>("veh");
        QTest::addColumn<QColor>("vehColour");
        QTest::addColumn<QString>("ped");
        QTest::addColumn<QColor>("pedColour");
        const QColor red(255, 140, 170), yellow(255, 204, 51), green(102, 204, 102), white(Qt::white);
        QByteArray b3(17, 0);
        b3[0] = 0x25;
        b3[1] = 0x77;
        b3[2] = char(0x84);
        QTest::newRow("3L 25") << lct2010_3L << b3 << 1 << "GF" << green << "Y0" << yellow;
        QTest::newRow("3L 77") << lct2010_3L << b3 << 2 << "" << white << "" << white;
        QTest::newRow("3L 84") << lct2010_3L << b3 << 3 << "RF" << red << "X" << white;
        QByteArray b4(14, 0);
        b4[0] = 0x30;
        b4[1] = 0x20;
        b4[2] = 0x10;
        b4[3] = 0x10;
        b4[4] = 0x20;
        b4[5] = 0x00;
        b4[6] = 0x05;
        b4[7] = 0x30;
        QTest::newRow("2004 green/green") << lct2004 << b4 << 1 << "GREEN" << green << "GREEN" << green;
        QTest::newRow("2004 yellow/red") << lct2004 << b4 << 2 << "YELLOW" << yellow << "RED" << red;
        QTest::newRow("2004 arrow/off") << lct2004 << b4 << 3 << "ARROW" << green << "OFF" << white;
        QTest::newRow("2004 other") << lct2004 << b4 << 4 << "" << white << "" << white;
        QTest::newRow("4L red/off") << lct2010_4L << QByteArray(17, 0) << 8 << "RED" << red << "OFF" << white;
    }
    void flashLabels()
    {
        QFETCH(TLcTypeEx, type);
        QFETCH(QByteArray, block);
        QFETCH(int, lsu);
        QFETCH(QString, veh);
        QFETCH(QColor, vehColour);
        QFETCH(QString, ped);
        QFETCH(QColor, pedColour);
        QCOMPARE(FlashVehicleLabel(block, type, lsu), (TFlashLabel{veh, vehColour}));
        QCOMPARE(FlashPedestrianLabel(block, type, lsu), (TFlashLabel{ped, pedColour}));
    }

    void differs_data()
    {
        QTest::addColumn<int>("compare");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("differs");
        QTest::newRow("marked and different") << 1 << "5" << "6" << true;
        QTest::newRow("marked and equal") << 1 << "5" << "5" << false;
        QTest::newRow("unmarked and different") << 0 << "5" << "6" << false;
        QTest::newRow("marked, one empty") << 1 << "" << "0" << true;
    }
    void differs()
    {
        QFETCH(int, compare);
        QFETCH(QString, text);
        QFETCH(QString, other);
        QFETCH(bool, differs);
        QCOMPARE(CellDiffers(compare, text, other), differs);
    }

    void conflictReadOnly_data()
    {
        QTest::addColumn<TLcTypeEx>("type");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("c");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("3L diagonal") << lct2010_3L << 5 << 5 << true;
        QTest::newRow("3L below") << lct2010_3L << 6 << 2 << true;
        QTest::newRow("3L above") << lct2010_3L << 2 << 3 << false;
        QTest::newRow("3L fourth column") << lct2010_3L << 0 << 7 << false;
        QTest::newRow("4L fourth column") << lct2010_4L << 0 << 3 << true;
        QTest::newRow("4L eighth column") << lct2010_4L << 1 << 7 << true;
        QTest::newRow("4L fourth row") << lct2010_4L << 3 << 9 << true;
        QTest::newRow("4L last column") << lct2010_4L << 4 << 31 << true;
        QTest::newRow("4L free") << lct2010_4L << 0 << 1 << false;
        QTest::newRow("4L free 2") << lct2010_4L << 4 << 6 << false;
    }
    void conflictReadOnly()
    {
        QFETCH(TLcTypeEx, type);
        QFETCH(int, r);
        QFETCH(int, c);
        QFETCH(bool, readOnly);
        QCOMPARE(ConflictCellReadOnly(r, c, type), readOnly);
    }

    void reservationShift()
    {
        QByteArray block(80, 0);
        // Entry 1: 3/1 weekday 2, 07:30-09:00, control type 4 plan 2.
        block.replace(0, 8, QByteArray::fromHex("030102071e090024"));
        // Entry 2: control type 4 plan 7 (kept); entry 3: control type 1.
        block.replace(8, 8, QByteArray::fromHex("0405000800090074"));
        block.replace(16, 8, QByteArray::fromHex("0506000800090031"));
        const QList<QVariantList> rows = ReservationRows(block);
        QCOMPARE(rows.size(), 10);
        QCOMPARE(rows.at(0), (QVariantList{3, 1, 2, 7, 30, 9, 0, 4, 8}));
        QCOMPARE(quint8(block.at(7)), quint8(0x84)); // the shown number is held by the centre block
        QCOMPARE(rows.at(1).value(8).toInt(), 7);
        QCOMPARE(quint8(block.at(15)), quint8(0x74));
        QVERIFY(rows.at(2).value(8).isNull());
        QCOMPARE(rows.at(2).value(7).toInt(), 1);
        QVERIFY(rows.at(3).isEmpty());
    }

    void outputMapCells()
    {
        QByteArray block(119, 0);
        // Direction 1: vehicle and push button, installation 2, straight LSU 3 sort 1,
        // left LSU 1 sort 0 (named in the centre), phases 2/5, rings 1/0, solid 7, flash 9.
        block.replace(0, 11, QByteArray::fromHex("1521000000000052070901"));
        block[112] = char(0x3A); // pedestrian extension: direction 1 = 3, direction 2 = 10
        int correct[10][6] = {};
        correct[0][1] = 1;
        const QList<QList<int>> cells = OutputMapCells(block, correct);
        QCOMPARE(cells.size(), 23);
        const QList<int> dir1{1, 0, 1, 2, 3, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 5, 1, 0, 7, 9, 3};
        for (int r = 0; r < 23; ++r)
            QCOMPARE(cells[r][0], dir1[r]);
        QCOMPARE(cells[22][1], 10);
        // Without the flag, LSU 1 sort 0 cannot be told from no output.
        QCOMPARE(OutputMapCells(block)[6][0], 0);
    }

    void dayPlanRows()
    {
        QByteArray block(3220, 0);
        // Plan 3, first half uploaded: header 0x20, slot 0 starts at 06:30.
        block[2 * 322] = 0x20;
        block[2 * 322 + 1] = 6;
        block[2 * 322 + 2] = 30;
        const QList<QVariantList> centre = DayPlanRows(block, 3, false);
        QCOMPARE(centre.size(), 16);
        QCOMPARE(centre.at(0).value(1).toInt(), 6);
        QCOMPARE(centre.at(0).value(2).toInt(), 30);
        QCOMPARE(centre.at(0).value(17).toInt(), 0);
        const QList<QVariantList> local3 = DayPlanRows(block, 3, true);
        QVERIFY(!local3.at(0).isEmpty());
        QVERIFY(local3.at(8).isEmpty()); // second half header 0 names plan 1
        QVERIFY(DayPlanRows(block, 4, true).at(0).isEmpty());
        QVERIFY(!DayPlanRows(QByteArray(3220, 0), 1, true).at(0).isEmpty());
        QCOMPARE(ValidateDayPlanNo(12), 10);
        QCOMPARE(ValidateDayPlanNo(-2), 1);
        QCOMPARE(ValidateDayPlanNo(4), 4);
    }

    void clockText_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QByteArray>("clock");
        QTest::addColumn<QString>("text");
        QTest::newRow("ko") << 1 << QByteArray::fromHex("1a0c0b10052a05")
                            << QStringLiteral("26년 12월 11일(금), 16시 05분 42초");
        QTest::newRow("en") << 2 << QByteArray::fromHex("1a0c0b10052a05")
                            << QStringLiteral("Friday, 11 December 2026 at 16:05:42");
        QTest::newRow("ko sunday") << 1 << QByteArray::fromHex("01010209000000")
                                   << QStringLiteral("01년 01월 02일(일), 09시 00분 00초");
    }
    void clockText()
    {
        QFETCH(int, language);
        QFETCH(QByteArray, clock);
        QFETCH(QString, text);
        QCOMPARE(ClockText(clock, language), text);
    }

    void pairedGrids_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("pair");
        QTest::newRow("centre start-up") << "gtvHStartup" << "Startup";
        QTest::newRow("controller ring B") << "gtvLRingB" << "RingB";
        QTest::newRow("holiday") << "gtvHHolyDayPlan" << "HolyDayPlan";
        QTest::newRow("VMS schedules") << "gtvLVMSSchd" << "VMSSchd";
        QTest::newRow("device grid") << "gtvDevice" << "";
        QTest::newRow("unknown kind") << "gtvHSomething" << "";
    }
    void pairedGrids()
    {
        QFETCH(QString, grid);
        QFETCH(QString, pair);
        QCOMPARE(PairedGridSuffix(grid), pair);
    }

    void gennTypeItems()
    {
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        QCOMPARE(GennTypeItems(lct2004), (QStringList{"일반제", "시차제"}));
        QCOMPARE(GennTypeItems(lct2010_3L),
                 (QStringList{"일반제", "시차제#1", "시차제#2", "시차제#3", "시차제#4", "시차제#5", "보행맵"}));
        QVERIFY(GennTypeItemsNeedRebuild(2, lct2010_4L));
        QVERIFY(!GennTypeItemsNeedRebuild(7, lct2010_4L));
        QCOMPARE(RingSubBandCaptions(lct2010_3L, 3), (QStringList{"5", "6"}));
        QCOMPARE(RingSubBandCaptions(lct2004, 3), (QStringList{"V", "P"}));
    }
};

QTEST_GUILESS_MAIN(TstTransferWindowRules)
#include "tst_transfer_window_rules.moc"
