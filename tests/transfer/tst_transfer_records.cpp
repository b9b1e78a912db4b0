// The controller's blocks byte for byte: sizes, offsets, bit fields, request
// bytes and event-history texts. Expected bytes are written by hand from the
// block layouts.
#include <QTest>

#include <cstddef>

#include "transfer/UPDNUnit.h"

Q_DECLARE_METATYPE(TLcTypeEx)

class TransferRecordsTest : public QObject
{
    Q_OBJECT
private slots:
    void sizes_data();
    void sizes();
    void offsets_data();
    void offsets();
    void bitFields();
    void startupByte1();
    void outputMapWordAndPedExt();
    void outputPacking_data();
    void outputPacking();
    void reservationCntl_data();
    void reservationCntl();
    void emptyTests();
    void dayPlanOffsets();
    void signalMapOffsets();
    void signalMapRequestBytes_data();
    void signalMapRequestBytes();
    void signalMapFiling_data();
    void signalMapFiling();
    void flashMapThreeLamp();
    void carTimerBits();
    void upsStatusFields();
    void networkPortOrder();
    void deviceFields();
    void conflictBits();
    void dumpNextStart_data();
    void dumpNextStart();
    void kindNames_data();
    void kindNames();
    void dumpTexts_data();
    void dumpTexts();
};

void TransferRecordsTest::sizes_data()
{
    QTest::addColumn<int>("actual");
    QTest::addColumn<int>("expected");
    QTest::newRow("StartUpCode_2004") << int(sizeof(StartUpCode_2004)) << 8;
    QTest::newRow("StartUpCode_2010") << int(sizeof(StartUpCode_2010)) << 25;
    QTest::newRow("clock") << ClockSize << 7;
    QTest::newRow("signal map 2004") << SignalMap2004Size << 2432;
    QTest::newRow("signal map 2010") << SignalMap2010Size << 8512;
    QTest::newRow("FlashMap_2004") << int(sizeof(FlashMap_2004)) << 14;
    QTest::newRow("FlashMap_2010") << int(sizeof(FlashMap_2010)) << 17;
    QTest::newRow("detectors") << DetectorSize << 448;
    QTest::newRow("day plans") << DayPlanSize << 3220;
    QTest::newRow("weekly plan") << WeekPlanSize << 7;
    QTest::newRow("holiday plan") << HoliDayPlanSize << 90;
    QTest::newRow("FunctionTable") << int(sizeof(FunctionTable)) << 8;
    QTest::newRow("FunctionTables") << int(sizeof(FunctionTables)) << 80;
    QTest::newRow("InOutPed") << int(sizeof(InOutPed)) << 119;
    QTest::newRow("conflict map") << ConflictMapSize << 128;
    QTest::newRow("TSpillBacks") << int(sizeof(TSpillBacks)) << 16;
    QTest::newRow("TNetwork") << int(sizeof(TNetwork)) << 40;
    QTest::newRow("TDevice") << int(sizeof(TDevice)) << 45;
    QTest::newRow("TDevices") << int(sizeof(TDevices)) << 122;
    QTest::newRow("TVMSMsg") << int(sizeof(TVMSMsg)) << 64;
    QTest::newRow("TVMSMsgs") << int(sizeof(TVMSMsgs)) << 1024;
    QTest::newRow("TVMSSchds") << int(sizeof(TVMSSchds)) << 160;
    QTest::newRow("TCarTimer") << int(sizeof(TCarTimer)) << 32;
    QTest::newRow("TCarTimerStatus") << int(sizeof(TCarTimerStatus)) << 128;
    QTest::newRow("TSystemBank1") << int(sizeof(TSystemBank1)) << 128;
    QTest::newRow("TSystemBank2") << int(sizeof(TSystemBank2)) << 128;
    QTest::newRow("TDumpInfo") << int(sizeof(TDumpInfo)) << 4;
    QTest::newRow("TDumpDatas") << int(sizeof(TDumpDatas)) << 180;
    QTest::newRow("TExtendCommand") << int(sizeof(TExtendCommand)) << 17;
    QTest::newRow("TActuateVar") << int(sizeof(TActuateVar)) << 192;
    QTest::newRow("TUPSStatus") << int(sizeof(TUPSStatus)) << 24;
    QTest::newRow("TUPSVendor") << int(sizeof(TUPSVendor)) << 60;
}

void TransferRecordsTest::sizes()
{
    QFETCH(int, actual);
    QFETCH(int, expected);
    QCOMPARE(actual, expected);
}

void TransferRecordsTest::offsets_data()
{
    QTest::addColumn<int>("actual");
    QTest::addColumn<int>("expected");
    QTest::newRow("2010 dual_phase_diffs") << int(offsetof(StartUpCode_2010, dual_phase_diffs)) << 8;
    QTest::newRow("2010 Byte5") << int(offsetof(StartUpCode_2010, Byte5)) << 13;
    QTest::newRow("2010 aring_act") << int(offsetof(StartUpCode_2010, aring_act)) << 15;
    QTest::newRow("2010 Byte8") << int(offsetof(StartUpCode_2010, Byte8)) << 18;
    QTest::newRow("2010 reserved") << int(offsetof(StartUpCode_2010, reserved)) << 19;
    QTest::newRow("flash 2004 VL") << int(offsetof(FlashMap_2004, VL)) << 12;
    QTest::newRow("flash 2004 FL") << int(offsetof(FlashMap_2004, FL)) << 13;
    QTest::newRow("flash 2010 FL") << int(offsetof(FlashMap_2010, FL)) << 16;
    QTest::newRow("reservation cntl") << int(offsetof(FunctionTable, cntl)) << 7;
    QTest::newRow("InOutPed LSU_Dir") << int(offsetof(InOutPed, LSU_Dir)) << 110;
    QTest::newRow("InOutPed PedExt") << int(offsetof(InOutPed, PedExt)) << 112;
    QTest::newRow("InOutPed reserved") << int(offsetof(InOutPed, reserved)) << 117;
    QTest::newRow("network center ip") << int(offsetof(TNetwork, FCenterIP)) << 12;
    QTest::newRow("network port") << int(offsetof(TNetwork, FCenterPort)) << 16;
    QTest::newRow("network mac") << int(offsetof(TNetwork, FMacAddr)) << 20;
    QTest::newRow("network command") << int(offsetof(TNetwork, FCommand)) << 38;
    QTest::newRow("network mode") << int(offsetof(TNetwork, FComMode)) << 39;
    QTest::newRow("device revision") << int(offsetof(TDevice, FVersionRevision)) << 23;
    QTest::newRow("device year") << int(offsetof(TDevice, FBuildDateYY)) << 25;
    QTest::newRow("device lamp type") << int(offsetof(TDevice, FSignalLightType)) << 29;
    QTest::newRow("device phone") << int(offsetof(TDevice, FServicePhoneNum)) << 30;
    QTest::newRow("devices det") << int(offsetof(TDevices, FDet)) << 45;
    QTest::newRow("devices opt") << int(offsetof(TDevices, FOpt)) << 53;
    QTest::newRow("devices scu") << int(offsetof(TDevices, FSCU)) << 61;
    QTest::newRow("devices lsu") << int(offsetof(TDevices, FLsu)) << 106;
    QTest::newRow("vms reserved") << int(offsetof(TVMSMsg, FReserved)) << 14;
    QTest::newRow("vms message") << int(offsetof(TVMSMsg, FMessage)) << 16;
    QTest::newRow("schedule reserved") << int(offsetof(TVMSSchd, FReserved)) << 10;
    QTest::newRow("car timer left") << int(offsetof(TCarTimer, leftState)) << 16;
    QTest::newRow("bank1 site") << int(offsetof(TSystemBank1, FSiteInfo)) << 32;
    QTest::newRow("bank2 info") << int(offsetof(TSystemBank2, FVendorInfo)) << 64;
    QTest::newRow("dump type") << int(offsetof(TDumpData, FType)) << 7;
    QTest::newRow("dump para") << int(offsetof(TDumpData, FPara)) << 9;
    QTest::newRow("dump data") << int(offsetof(TDumpData, FDF)) << 10;
    QTest::newRow("ext cmd15") << int(offsetof(TExtendCommand, cmd15)) << 14;
    QTest::newRow("act phase info") << int(offsetof(TActuateVar, act_phaseInfo)) << 32;
    QTest::newRow("act occ check") << int(offsetof(TActuateVar, occ_check_time)) << 160;
    QTest::newRow("ups input voltage") << int(offsetof(TUPSStatus, FInputVoltage)) << 4;
    QTest::newRow("ups load current") << int(offsetof(TUPSStatus, FLoadCurrent)) << 9;
    QTest::newRow("ups byte5") << int(offsetof(TUPSStatus, Byte5)) << 10;
    QTest::newRow("ups mod2") << int(offsetof(TUPSStatus, FMod2CellVoltage)) << 15;
    QTest::newRow("ups mod3") << int(offsetof(TUPSStatus, FMod3CellVoltage)) << 19;
    QTest::newRow("ups remain") << int(offsetof(TUPSStatus, FRemainLevel)) << 23;
    QTest::newRow("vendor tel") << int(offsetof(TUPSVendor, FTel)) << 21;
    QTest::newRow("vendor major") << int(offsetof(TUPSVendor, FSWMajorVersion)) << 37;
    QTest::newRow("vendor model") << int(offsetof(TUPSVendor, FModelName)) << 39;
    QTest::newRow("vendor serial") << int(offsetof(TUPSVendor, FSerialNum)) << 50;
}

void TransferRecordsTest::offsets()
{
    QFETCH(int, actual);
    QFETCH(int, expected);
    QCOMPARE(actual, expected);
}

void TransferRecordsTest::bitFields()
{
    QCOMPARE(GetBitsByOneByte(0x70, 1027), quint8(7));
    QCOMPARE(SetBitsToOneByte(0xFF, 258, 1), quint8(0xFB));
    StartUpCode_2010 s = ZeroRecord<StartUpCode_2010>();
    s.Byte4 = 0xFF;
    s.SetByte4Bits(513, 0); // INT_FLASHPUSH
    QCOMPARE(s.Byte4, quint8(0xFB));
    QCOMPARE(s.GetByte4Bits(1793), quint8(1));
    s.SetByte7Bits(1026, 3); // INT_NIGHTVOL
    s.SetByte7Bits(2, 1);    // INT_VOICECYCLE
    QCOMPARE(s.Byte7, quint8(0x31));
    s.SetByte8Bits(771, 4);  // INT_NIGHTEND
    s.SetByte8Bits(3, 7);    // INT_NIGHTSTART
    QCOMPARE(s.Byte8, quint8(0x27));
    TExtendCommand e = ZeroRecord<TExtendCommand>();
    e.SetCmdBits(13, 1538, 2);
    e.SetCmdBits(13, 771, 5);
    e.SetCmdBits(13, 3, 1);
    QCOMPARE(e.cmd13, quint8(0xA9));
    e.SetCmdBits(15, 4, 9); // not a bit-field byte
    QCOMPARE(e.cmd15, quint8(0));
}

void TransferRecordsTest::startupByte1()
{
    StartUpCode_2004 s = ZeroRecord<StartUpCode_2004>();
    s.SetByte1Bits(1, 1);    // INT_RING
    s.SetByte1Bits(259, 2);  // INT_SPILLCONT
    s.SetByte1Bits(1027, 3); // INT_DUALTIME
    QCOMPARE(s.Byte1, quint8(0x35));
    QCOMPARE(RecordBytes(s), QByteArray::fromHex("3500000000000000"));
}

void TransferRecordsTest::outputMapWordAndPedExt()
{
    InOutPed m = ZeroRecord<InOutPed>();
    m.SetLsuLampType(1, 1);
    const QByteArray b = RecordBytes(m);
    QCOMPARE(quint8(b.at(110)), quint8(0x00));
    QCOMPARE(quint8(b.at(111)), quint8(0x01));
    m.SetLsuLampType(9, 1);
    m.SetLsuLampType(16, 1);
    QCOMPARE(quint8(RecordBytes(m).at(110)), quint8(0x81));
    QCOMPARE(m.LsuLampType(16), 1);
    QCOMPARE(m.LsuLampType(2), 0);
    m.SetPedExtOf(1, 5);
    m.SetPedExtOf(2, 3);
    m.SetPedExtOf(10, 0xA);
    QCOMPARE(m.PedExt[0], quint8(0x53));
    QCOMPARE(m.PedExt[4], quint8(0x0A));
    QCOMPARE(m.PedExtOf(2), quint8(3));
}

void TransferRecordsTest::outputPacking_data()
{
    QTest::addColumn<int>("lsu");
    QTest::addColumn<int>("sort");
    QTest::addColumn<int>("packed");
    QTest::addColumn<int>("correct");
    QTest::newRow("LSU 3 P2") << 3 << 2 << 0x22 << 0;
    QTest::newRow("LSU 1 sort 0") << 1 << 0 << 0x00 << 1;
    QTest::newRow("no output") << 0 << 0 << 0x00 << 0;
    QTest::newRow("LSU 16 P1") << 16 << 1 << 0xF1 << 0;
    QTest::newRow("LSU 1 P1") << 1 << 1 << 0x01 << 0;
}

void TransferRecordsTest::outputPacking()
{
    QFETCH(int, lsu);
    QFETCH(int, sort);
    QFETCH(int, packed);
    QFETCH(int, correct);
    int flag = -1;
    QCOMPARE(int(PackInOutPedOutput(lsu, sort, &flag)), packed);
    QCOMPARE(flag, correct);
}

void TransferRecordsTest::reservationCntl_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("spc");
    QTest::addColumn<int>("cntl");
    QTest::newRow("type 4 plan 8") << 4 << 8 << 0x84;
    QTest::newRow("type 5 ignores plan") << 5 << 9 << 0x05;
    QTest::newRow("type 2") << 2 << 0 << 0x02;
}

void TransferRecordsTest::reservationCntl()
{
    QFETCH(int, type);
    QFETCH(int, spc);
    QFETCH(int, cntl);
    FunctionTable f = ZeroRecord<FunctionTable>();
    f.cntl = MakeFunctionTableCntl(type, spc);
    QCOMPARE(int(f.cntl), cntl);
    QCOMPARE(int(f.GetCntlBits(4)), type);
}

void TransferRecordsTest::emptyTests()
{
    FunctionTable f = ZeroRecord<FunctionTable>();
    QVERIFY(f.IsEmpty());
    f.e_mi = 1;
    QVERIFY(!f.IsEmpty());
    TUPSStatus u = ZeroRecord<TUPSStatus>();
    QVERIFY(u.isEmpty());
    u.FRemainLevel = 1;
    QVERIFY(!u.isEmpty());
    TVMSSchd s = ZeroRecord<TVMSSchd>();
    s.FReserved[5] = 7; // only the first ten bytes count
    QVERIFY(s.IsEmpty());
    s.FType = 1;
    QVERIFY(!s.IsEmpty());
    quint8 slot[20] = {};
    QVERIFY(IsEmptyDayPlanSlot(slot));
    slot[19] = 1;
    QVERIFY(!IsEmptyDayPlanSlot(slot));
}

void TransferRecordsTest::dayPlanOffsets()
{
    QCOMPARE(DayPlanEntryOffset(3, 9), 2 * 322 + 161 + 1);
    QCOMPARE(DayPlanPartOffset(3, 1), 805);
    QCOMPARE(int(DayPlanRequestByte(3, 1)), 0x21);
    QCOMPARE(int(DayPlanRequestByte(2, 0)), 0x10);
    QCOMPARE(int(DayPlanRequestByte(10, 1)), 0x91);
    QCOMPARE(DayPlanEntryOffset(10, 16) + 20, 3220);
    QCOMPARE(DayPlanEntryOffset(1, 8), 1 + 7 * 20);
}

void TransferRecordsTest::signalMapOffsets()
{
    QCOMPARE(SignalStepOffset(7, 2, 32), 8493);
    QCOMPARE(SignalStepOffset(7, 2, 32) + 19, 8512);
    QCOMPARE(SignalStepOffset(2, 1, 1), 1216);
    QCOMPARE(SignalStepOffset(1, 2, 2), 608 + 19);
    QCOMPARE(SignalMapCount(lct2004), 2);
    QCOMPARE(SignalMapCount(lct2010_3L), 7);
    QCOMPARE(SignalMapSize(lct2010_4L), 8512);
    QCOMPARE(SignalMapSize(lctNone), 0);
}

void TransferRecordsTest::signalMapRequestBytes_data()
{
    QTest::addColumn<TLcTypeEx>("type");
    QTest::addColumn<int>("map");
    QTest::addColumn<int>("ring");
    QTest::addColumn<bool>("upload");
    QTest::addColumn<int>("byte");
    QTest::newRow("2004 map1 A down") << lct2004 << 1 << 1 << false << 0x00;
    QTest::newRow("2004 map1 B down") << lct2004 << 1 << 2 << false << 0x04;
    QTest::newRow("2004 map2 A up") << lct2004 << 2 << 1 << true << 0xF8;
    QTest::newRow("2004 map2 B up") << lct2004 << 2 << 2 << true << 0xFC;
    QTest::newRow("3L map1 A") << lct2010_3L << 1 << 1 << true << 0x30;
    QTest::newRow("3L map7 B") << lct2010_3L << 7 << 2 << false << 0x46;
    QTest::newRow("4L map4 A") << lct2010_4L << 4 << 1 << true << 0x13;
    QTest::newRow("4L map2 B") << lct2010_4L << 2 << 2 << false << 0x21;
}

void TransferRecordsTest::signalMapRequestBytes()
{
    QFETCH(TLcTypeEx, type);
    QFETCH(int, map);
    QFETCH(int, ring);
    QFETCH(bool, upload);
    QFETCH(int, byte);
    QCOMPARE(int(SignalMapRequestByte(type, map, ring, upload)), byte);
}

void TransferRecordsTest::signalMapFiling_data()
{
    QTest::addColumn<TLcTypeEx>("type");
    QTest::addColumn<int>("request");
    QTest::addColumn<int>("offset");
    QTest::newRow("2004 map1 A") << lct2004 << 0x08 << 0;
    QTest::newRow("2004 map1 B") << lct2004 << 0x0C << 608;
    QTest::newRow("2004 map2 A") << lct2004 << 0xF8 << 1216;
    QTest::newRow("2004 map2 B") << lct2004 << 0xFC << 1824;
    QTest::newRow("4L 0x13") << lct2010_4L << 0x13 << 3 * 1216;
    QTest::newRow("4L 0x26") << lct2010_4L << 0x26 << 6 * 1216 + 608;
    QTest::newRow("3L 0x30") << lct2010_3L << 0x30 << 0;
    QTest::newRow("3L 0x41") << lct2010_3L << 0x41 << 1216 + 608;
    QTest::newRow("3L slot 7 outside") << lct2010_3L << 0x37 << -1;
    QTest::newRow("4L slot 15 outside") << lct2010_4L << 0x1F << -1;
    QTest::newRow("no type") << lctNone << 0x10 << -1;
}

void TransferRecordsTest::signalMapFiling()
{
    QFETCH(TLcTypeEx, type);
    QFETCH(int, request);
    QFETCH(int, offset);
    QCOMPARE(SignalMapRingOffset(type, quint8(request)), offset);
}

void TransferRecordsTest::flashMapThreeLamp()
{
    QCOMPARE(FlashMap3LampName(0x41 & 0x0F), QStringLiteral("G0"));
    QCOMPARE(FlashMap3LampName(0x41 >> 4), QStringLiteral("RF"));
    QCOMPARE(FlashMap3LampName(8), QStringLiteral("X"));
    QCOMPARE(FlashMap3LampName(7), QString());
}

void TransferRecordsTest::carTimerBits()
{
    TCarTimer t = ZeroRecord<TCarTimer>();
    t.strState[3] = SetCarTimerStateBits(t.strState[3], CarTimerWirelessIndex, 1);
    t.strState[3] = SetCarTimerStateBits(t.strState[3], CarTimerSpecialIndex, 1);
    t.leftState[15] = SetCarTimerStateBits(t.leftState[15], CarTimerEnableIndex, 1);
    const QByteArray b = RecordBytes(t);
    QCOMPARE(quint8(b.at(3)), quint8(0x0A));
    QCOMPARE(quint8(b.at(31)), quint8(0x01));
    QCOMPARE(GetCarTimerStateBits(0x0A, CarTimerPowerOffIndex), quint8(0));
    QCOMPARE(GetCarTimerStateBits(0x0A, CarTimerSpecialIndex), quint8(1));
    TCarTimerStatus st = ZeroRecord<TCarTimerStatus>();
    st.FDirInfo[2 * 3 + 1].Byte0 = 0x17; // direction 3 (0-based), left turn
    QCOMPARE(int(reinterpret_cast<const quint8 *>(&st)[8 * 3 + 4]), 0x17);
    QCOMPARE(st.FDirInfo[7].GetByte0Bits(516), quint8(5));
}

void TransferRecordsTest::upsStatusFields()
{
    TUPSStatus u = ZeroRecord<TUPSStatus>();
    const QByteArray bytes = QByteArray::fromHex("93 71 00 00 00dc 00dd 32 07 85")
                             + QByteArray(12, 0) + QByteArray::fromHex("64");
    QVERIFY(RecordFromBytes(u, bytes));
    QCOMPARE(int(u.GetByte1Bits(4)), 3);
    QCOMPARE(int(u.GetByte1Bits(1025)), 1);
    QCOMPARE(int(u.GetByte1Bits(1793)), 1);
    QCOMPARE(int(u.GetByte2Bits(1537)), 1);
    QCOMPARE(int(u.InputVoltage()), 220);
    QCOMPARE(int(u.OutputVoltage()), 221);
    QCOMPARE(u.LoadCurrentMilliAmps(), 700);
    QCOMPARE(u.Temperature(), -5);
    QCOMPARE(int(u.FRemainLevel), 100);
    QVERIFY(!RecordFromBytes(u, bytes.left(23)));
}

void TransferRecordsTest::networkPortOrder()
{
    TNetwork n = ZeroRecord<TNetwork>();
    n.SetCenterPort(7070, true);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(n.FCenterPort), 2), QByteArray::fromHex("1b9e"));
    QCOMPARE(int(n.CenterPort(true)), 7070);
    n.SetCenterPort(7070, false);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(n.FCenterPort), 2), QByteArray::fromHex("9e1b"));
    QCOMPARE(int(n.CenterPort(false)), 7070);
    n.FCenterIP = {192, 168, 0, 7};
    QCOMPARE(n.FCenterIP.ToText(), QStringLiteral("192.168.0.7"));
}

void TransferRecordsTest::deviceFields()
{
    TDevice d = ZeroRecord<TDevice>();
    QByteArray b = RecordBytes(d);
    b[20] = 1;
    b[21] = 2;
    b[22] = 3;
    b[23] = 0x04;
    b[24] = 0x01; // revision 0x0104, low byte first
    b[25] = 0x07;
    b[26] = 0xEA; // year 2026, high byte first
    QVERIFY(RecordFromBytes(d, b));
    QCOMPARE(int(d.BuildYear()), 2026);
    QCOMPARE(d.VersionText(), QStringLiteral("1.2.3.260"));
}

void TransferRecordsTest::conflictBits()
{
    QByteArray map(128, 0);
    SetConflictBit(map, 0, 0, true);
    SetConflictBit(map, 2, 9, true);
    SetConflictBit(map, 31, 31, true);
    QCOMPARE(quint8(map.at(0)), quint8(0x80));
    QCOMPARE(quint8(map.at(4 * 2 + 1)), quint8(0x40));
    QCOMPARE(quint8(map.at(127)), quint8(0x01));
    QVERIFY(ConflictBit(map, 2, 9));
    QVERIFY(!ConflictBit(map, 9, 2));
    SetConflictBit(map, 32, 0, true); // outside: nothing
    QCOMPARE(map.count(char(0)), 125);
}

void TransferRecordsTest::dumpNextStart_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("next");
    QTest::newRow("3") << 3 << 2042;
    QTest::newRow("9") << 9 << 2048;
    QTest::newRow("10") << 10 << 1;
    QTest::newRow("100") << 100 << 91;
}

void TransferRecordsTest::dumpNextStart()
{
    QFETCH(int, current);
    QFETCH(int, next);
    QCOMPARE(NextDumpStartIndex(current), next);
}

void TransferRecordsTest::kindNames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("SYS 3 trailing blank") << 1 << 3 << QStringLiteral("HISTORY CLEAR ");
    QTest::newRow("OPR 12") << 2 << 12 << QStringLiteral("HOST FLASH RECOVER BY COMM. FAIL");
    QTest::newRow("P_P 7 unnamed") << 3 << 7 << QStringLiteral("03_07");
    QTest::newRow("HST 17") << 4 << 17 << QStringLiteral("PPC");
    QTest::newRow("ERR 7") << 5 << 7 << QStringLiteral("LAMP_FAIL");
    QTest::newRow("DBC 22") << 7 << 22 << QStringLiteral("GJ PED.");
    QTest::newRow("DBC 23 unnamed") << 7 << 23 << QStringLiteral("07_23");
    QTest::newRow("DBG 7") << 8 << 7 << QStringLiteral("WRONG PORT ");
    QTest::newRow("AVC 13") << 9 << 13 << QStringLiteral("GG 0xF0");
    QTest::newRow("PPC 17") << 10 << 17 << QStringLiteral("SLEEP");
    QTest::newRow("kind 0") << 2 << 0 << QStringLiteral("02_00");
    QTest::newRow("type 0 kind 7") << 0 << 7 << QStringLiteral("00_07 ");
    QTest::newRow("type 0 kind 8") << 0 << 8 << QStringLiteral("00_08");
    QTest::newRow("T12") << 12 << 1 << QStringLiteral("12_01");
    QTest::newRow("masked type 0x85 kind 0x21") << 0x85 << 0x21 << QStringLiteral("HOST COMM.");
}

void TransferRecordsTest::kindNames()
{
    QFETCH(int, type);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QCOMPARE(DumpKindName(quint8(type), quint8(kind)), name);
}

void TransferRecordsTest::dumpTexts_data()
{
    QTest::addColumn<TLcTypeEx>("lcType");
    QTest::addColumn<QByteArray>("entry"); // 18 bytes
    QTest::addColumn<QString>("text");
    const auto e = [](const char *hex) { return QByteArray::fromHex(hex); };
    //            index  mm dd hh mi ss  t  k  p  FDF
    QTest::newRow("wrong rtc") << lct2004 << e("0100 0c0b0a0908 83 00 00 1a0c0b0107 2d 1e 00")
                               << QStringLiteral("Wrong RTC from Host 26-12-11[001] 07:45:30");
    QTest::newRow("int cnf") << lct2004 << e("0100 0c0b0a0908 84 00 00 0102030405060708")
                             << QStringLiteral("Int_Cnf Phase/Step/Split/StepTime [001 002 003 004] [005 006 007 008]");
    QTest::newRow("dwn") << lct2004 << e("0100 0c0b0a0908 82 78 64 0102030405060708")
                         << QStringLiteral("DWN Cycle 120 -> 100 - [001 002 003 004] [005 006 007 008]");
    QTest::newRow("eoc") << lct2004 << e("0100 0c0b0a0908 80 78 64 0000000000000000")
                         << QStringLiteral("EOC Cycle 120 -> 100 - [000 000 000 000] [000 000 000 000]");
    QTest::newRow("tod") << lct2004 << e("0100 0c0b0a0908 81 01 02 0000000000000000")
                         << QStringLiteral("TOD Cycle 001 -> 002 - [000 000 000 000] [000 000 000 000]");
    QTest::newRow("ppc occur") << lct2004 << e("0100 0c0b0a0908 0a 05 01 0102030405060708")
                               << QStringLiteral("PPC NO ACT Occur 1:2:3:4:5:6:7:8");
    QTest::newRow("ppc recover") << lct2004 << e("0100 0c0b0a0908 0a 11 02 0000000000000000")
                                 << QStringLiteral("PPC SLEEP Recover 0:0:0:0:0:0:0:0");
    QTest::newRow("type 0") << lct2004 << e("0100 0c0b0a0908 00 03 1f 0000000000000000")
                            << QStringLiteral("[00][03][0x1f]");
    QTest::newRow("kind 0") << lct2004 << e("0100 0c0b0a0908 02 00 00 0000000000000000")
                            << QStringLiteral("[02][00][0x00]");
    QTest::newRow("plain occur") << lct2004 << e("0100 0c0b0a0908 01 01 02 0000000000000000")
                                 << QStringLiteral("SYS REBOOT Occur [0x02]");
    QTest::newRow("plain recover") << lct2010_3L << e("0100 0c0b0a0908 05 04 00 0000000000000000")
                                   << QStringLiteral("ERR AC FAIL Recover [0x00]");
    QTest::newRow("3L conflict") << lct2010_3L << e("0100 0c0b0a0908 05 05 01 0f05010000000000")
                                 << QStringLiteral("ERR CONFLICT FAIL Occur 0x1 [LSU 16 : G2 : S/W]");
    QTest::newRow("3L lamp hw") << lct2010_3L << e("0100 0c0b0a0908 05 07 03 0000000000000000")
                                << QStringLiteral("ERR LAMP_FAIL Occur 0x3 [LSU 1 : R1 : H/W]");
    QTest::newRow("4L lamp") << lct2010_4L << e("0100 0c0b0a0908 05 07 11 0704000000000000")
                             << QStringLiteral("ERR LAMP_FAIL Occur 0x11 [LSU 8 : A]");
    QTest::newRow("2004 conflict empty") << lct2004 << e("0100 0c0b0a0908 05 05 01 0000000000000000")
                                         << QString();
}

void TransferRecordsTest::dumpTexts()
{
    QFETCH(TLcTypeEx, lcType);
    QFETCH(QByteArray, entry);
    QFETCH(QString, text);
    TDumpData d = ZeroRecord<TDumpData>();
    QVERIFY(RecordFromBytes(d, entry));
    QCOMPARE(DumpDataText(d, lcType), text);
}

QTEST_GUILESS_MAIN(TransferRecordsTest)
#include "tst_transfer_records.moc"
