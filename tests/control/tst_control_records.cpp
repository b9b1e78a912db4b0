// Command records, request builders and reply checks of the control windows,
// without database or network.
#include <QCoreApplication>
#include <QTest>

#include "control/ControlPacketUnit.h"
#include "control/ControlRecordUnit.h"
#include "centrelink/CtrlBitsUnit.h"
#include "centrelink/RC2MMIUnit.h"
#include "core/siLang.h"

Q_DECLARE_METATYPE(TSpecialCommandChoice)

namespace {

QByteArray hex(const char *h) { return QByteArray::fromHex(h); }

// Bytes (offset, value) expected non-zero in a record; every other byte is zero.
using ByteMap = QMap<int, int>;

void compareRecord(const QByteArray &bytes, int size, const ByteMap &nonZero)
{
    QCOMPARE(bytes.size(), size);
    for (int i = 0; i < size; ++i) {
        const int expected = nonZero.value(i, 0);
        if (quint8(bytes.at(i)) != expected)
            QFAIL(qPrintable(QStringLiteral("byte %1 is %2, expected %3").arg(i).arg(quint8(bytes.at(i))).arg(expected)));
    }
}

QString tcdvText(const QString &key) { return siText(QStringLiteral("TfrmTCDV_C_Control"), key); }
QString saText(const QString &key) { return siText(QStringLiteral("TfrmSA_C_Control"), key); }

THostSimplePacket reply(quint8 opcode, const QByteArray &data)
{
    THostSimplePacket p;
    p.Reset();
    p.Head.opcode = opcode;
    p.Head.command = opcode;
    std::memcpy(p.Data, data.constData(), size_t(data.size()));
    p.DataSize = qint32(data.size());
    return p;
}

} // namespace

class TstControlRecords : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(TsiLangDispatcher::instance()->LoadFromFile(QCoreApplication::applicationDirPath()
                                                            + QStringLiteral("/res/signal-console.sil")));
        TsiLangDispatcher::instance()->SetActiveLanguage(TsiLangDispatcher::LangKorean);
        SetServerBigEndian(false);
    }

    void ctrlModeData_data()
    {
        QTest::addColumn<bool>("dualRing");
        QTest::addColumn<int>("item");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("dual ring, actuated local") << true << 2 << hex("92000000");
        QTest::newRow("single ring, SCU") << false << 0 << hex("00000000");
        QTest::newRow("single ring, online") << false << 4 << hex("16000000");
        QTest::newRow("dual ring, no item") << true << -1 << hex("80000000");
        QTest::newRow("dual ring, online actuated") << true << 3 << hex("94000000");
    }
    void ctrlModeData()
    {
        QFETCH(bool, dualRing);
        QFETCH(int, item);
        QFETCH(QByteArray, bytes);
        QCOMPARE(MakeCtrlModeData(dualRing, CtrlModeCodeOfItem(item)).ToByteArray(), bytes);
    }

    void ctrlBitWriters()
    {
        quint8 rec[4] = {0xFF, 0x00, 0, 0};
        SetCtrlModeBits(rec, CtrlModeDualRingIndex, 0);
        QCOMPARE(int(rec[0]), 0x7F);
        SetCtrlModeBits(rec, CtrlModeCodeIndex, 0x12);
        QCOMPARE(int(rec[0]), 0x12);
        SetCtrlPhaseBits(rec, CtrlPhaseRingAIndex, 3);
        SetCtrlPhaseBits(rec, CtrlPhaseRingBIndex, 7);
        QCOMPARE(int(rec[1]), 0x73);
        SetCtrlPhaseBits(rec, CtrlPhaseRingAIndex, 0x1F); // cut to the field's 4 bits
        QCOMPARE(int(rec[1]), 0x7F);
        QCOMPARE(int(rec[0]), 0x12); // the first byte untouched by the phase writer
    }

    void specialCommand_data()
    {
        QTest::addColumn<TSpecialCommandChoice>("choice");
        QTest::addColumn<ByteMap>("bytes2004");
        QTest::addColumn<ByteMap>("bytes2010");
        auto c = [] { return TSpecialCommandChoice(); };
        // run_type is 1 for "수행" in every row unless the row says otherwise.
        { auto x = c(); x.Shutdown = true; QTest::newRow("light off") << x << ByteMap{{0, 1}, {16, 1}} << ByteMap{{0, 1}, {16, 1}}; }
        { auto x = c(); x.Flash = true; QTest::newRow("flashing") << x << ByteMap{{1, 1}, {16, 1}} << ByteMap{{1, 1}, {16, 1}}; }
        { auto x = c(); x.FrenzyCtl = true; QTest::newRow("light control") << x << ByteMap{{2, 1}, {16, 1}} << ByteMap{{2, 1}, {16, 1}}; }
        { auto x = c(); x.ConflDtr = true; QTest::newRow("detect conflict") << x << ByteMap{{3, 1}, {16, 1}} << ByteMap{{3, 1}, {16, 1}}; }
        { auto x = c(); x.Manual = true; QTest::newRow("manual") << x << ByteMap{{4, 1}, {16, 1}} << ByteMap{{4, 1}, {16, 1}}; }
        { auto x = c(); x.ConflReset = true; QTest::newRow("release conflict") << x << ByteMap{{5, 1}, {16, 1}} << ByteMap{{5, 1}, {16, 1}}; }
        { auto x = c(); x.ScuReset = true; QTest::newRow("SCU reset") << x << ByteMap{{6, 1}, {16, 1}} << ByteMap{{6, 1}, {16, 1}}; }
        { auto x = c(); x.McuReset = true; QTest::newRow("MCU reset") << x << ByteMap{{7, 1}, {16, 1}} << ByteMap{{7, 1}, {16, 1}}; }
        { auto x = c(); x.ActiveStart = true; QTest::newRow("actuation") << x << ByteMap{{14, 1}, {16, 1}} << ByteMap{{14, 1}, {16, 1}}; }
        { auto x = c(); x.PedBtn = true; QTest::newRow("push-ped, 2010 only") << x << ByteMap{{16, 1}} << ByteMap{{9, 1}, {16, 1}}; }
        { auto x = c(); x.TimeDiff = true; x.TimeDiffPlan = 8;
          QTest::newRow("EMAP 8") << x << ByteMap{{15, 1}, {16, 1}} << ByteMap{{15, 1}, {16, 1}, {18, 8}}; }
        { auto x = c(); x.HoldOmit = true; x.HoldOmitItem = 1; x.HoldOmitPhase = 3;
          QTest::newRow("omit phase 3") << x << ByteMap{{12, 1}, {16, 1}, {17, 3}} << ByteMap{{12, 1}, {16, 1}, {17, 3}}; }
        { auto x = c(); x.HoldOmit = true; x.HoldOmitItem = 0; x.HoldOmitPhase = 5;
          QTest::newRow("hold phase 5") << x << ByteMap{{13, 1}, {16, 1}, {17, 5}} << ByteMap{{13, 1}, {16, 1}, {17, 5}}; }
        { auto x = c(); x.Spillback = true; x.SpillbackPhase1 = 2; x.SpillbackPhase2 = 11;
          QTest::newRow("spillback north-east") << x << ByteMap{{11, 1}, {16, 1}, {19, 5}, {20, 2}, {21, 11}}
                                                 << ByteMap{{11, 1}, {16, 1}, {19, 5}, {20, 2}, {21, 11}}; }
        { auto x = c(); x.Spillback = true; x.SpillbackDirItem = 7;
          QTest::newRow("spillback north-west") << x << ByteMap{{11, 1}, {16, 1}, {19, 8}, {20, 1}, {21, 1}}
                                                 << ByteMap{{11, 1}, {16, 1}, {19, 8}, {20, 1}, {21, 1}}; }
        { auto x = c(); x.Flash = true; x.RunTypeItem = 1;
          QTest::newRow("flashing, stop") << x << ByteMap{{1, 1}} << ByteMap{{1, 1}}; }
        { auto x = c(); x.HoldOmitPhase = 4; x.SpillbackPhase1 = 9; x.TimeDiffPlan = 9; x.Manual = true;
          QTest::newRow("unticked boxes send nothing of theirs") << x << ByteMap{{4, 1}, {16, 1}} << ByteMap{{4, 1}, {16, 1}}; }
    }
    void specialCommand()
    {
        QFETCH(TSpecialCommandChoice, choice);
        QFETCH(ByteMap, bytes2004);
        QFETCH(ByteMap, bytes2010);
        compareRecord(RecordBytes(BuildSpecialCommand2004(choice)), 22, bytes2004);
        compareRecord(RecordBytes(BuildSpecialCommand2010(choice)), 35, bytes2010);
        QVERIFY(choice.AnyChosen());
    }

    void nothingChosen()
    {
        TSpecialCommandChoice c;
        c.HoldOmitPhase = 3; // controls inside unticked boxes do not count
        QVERIFY(!c.AnyChosen());
        c.Spillback = true;
        QVERIFY(c.AnyChosen());
    }

    void specialEvents()
    {
        TSpecialCommandChoice c;
        c.Shutdown = c.Flash = c.FrenzyCtl = c.ConflDtr = c.Manual = c.ConflReset = c.ScuReset = c.McuReset = true;
        c.ActiveStart = c.PedBtn = c.TimeDiff = true;
        c.TimeDiffPlan = 8;
        c.HoldOmit = true;
        c.HoldOmitItem = 0;
        c.HoldOmitPhase = 4;
        c.Spillback = true;
        c.SpillbackPhase1 = 2;
        c.SpillbackPhase2 = 3;
        auto values = [](const QList<TSpecialEvent> &rows) {
            QList<int> v;
            for (const auto &r : rows)
                v << r.Value;
            return v;
        };
        const auto r2010 = SpecialCommandEvents(BuildSpecialCommand2010(c));
        QCOMPARE(values(r2010), (QList<int>{1, 2, 4, 8, 16, 32, 64, 128, 161, 162, 170, 163, 167}));
        const auto r2004 = SpecialCommandEvents(BuildSpecialCommand2004(c));
        QCOMPARE(values(r2004), (QList<int>{1, 2, 4, 8, 16, 32, 64, 128, 161, 162, 163, 167}));
        // EMAP is formatted with time_diff (1), never the plan number.
        QCOMPARE(r2010.at(8).Key, QStringLiteral("IDS_89"));
        QCOMPARE(r2010.at(8).Args, QList<int>{1});
        QCOMPARE(r2010.last().Args, (QList<int>{2, 3}));
        // ppc_ctl (delete all, read list) is the one priority field the rows know.
        QCOMPARE(values(SpecialCommandEvents(PpcDeleteAllRecord())), QList<int>{171});
        QCOMPARE(values(SpecialCommandEvents(PpcGetListRecord(3))), QList<int>{171});
        TPpcEntry e{true, 16, 2, 1, 146, QString()};
        QVERIFY(SpecialCommandEvents(PpcRegisterRecord(e)).isEmpty());
        QVERIFY(SpecialCommandEvents(PpcDeleteRecord(e)).isEmpty());
    }

    void firmwareRecord()
    {
        TFirmwareRow row;
        row.FW_ID = 20101;        // 0x4E85
        row.FW_SIZE = 0x00011940; // 72000
        row.FW_VER_MAJOR = 3;
        row.FW_VER_MINOR = 0;
        row.FW_VER_MODULE = 2;
        row.FW_VER_REV = 0x0510;
        row.FW_CRC32 = QStringLiteral("1A2B3C4D");
        row.FW_FILENAME = QStringLiteral("HB_SCU_3.0.2.bin");
        // The record's order never follows the link's byte-order switch.
        for (bool big : {false, true}) {
            SetServerBigEndian(big);
            const QByteArray b = RecordBytes(BuildFWUpgrade(row, 1, 2));
            QCOMPARE(b.size(), 32);
            QCOMPARE(b.left(6), hex("4E8500011940"));
            QCOMPARE(b.mid(6, 15), QByteArray(15, '\0'));
            QCOMPARE(b.mid(21, 5), hex("0300020510"));
            QCOMPARE(int(b.at(26)), 1);
            QCOMPARE(int(b.at(27)), 2);
            QCOMPARE(b.mid(28, 4), hex("1A2B3C4D"));
        }
        SetServerBigEndian(false);
        row.FW_CRC32 = QStringLiteral("not-hex");
        QCOMPARE(RecordBytes(BuildFWUpgrade(row, 0, 0)).mid(28, 4), QByteArray(4, '\0'));
    }

    void firmwareCrc_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<uint>("crc");
        QTest::newRow("upper case") << "1A2B3C4D" << true << 0x1A2B3C4Du;
        QTest::newRow("lower case") << "cbf43926" << true << 0xCBF43926u;
        QTest::newRow("top bit set") << "FFFFFFFF" << true << 0xFFFFFFFFu;
        QTest::newRow("leading zeros kept by LPAD") << "00A1B2C3" << true << 0x00A1B2C3u;
        QTest::newRow("older dollar prefix") << "$1A2B3C4D" << true << 0x1A2B3C4Du;
        QTest::newRow("blanks around") << " 1A2B3C4D " << true << 0x1A2B3C4Du;
        QTest::newRow("empty") << "" << false << 0u;
        QTest::newRow("not hexadecimal") << "1A2B3C4G" << false << 0u;
        QTest::newRow("nine digits") << "1A2B3C4D5" << false << 0u;
        QTest::newRow("sign") << "-1" << false << 0u;
    }
    void firmwareCrc()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(uint, crc);
        quint32 v = 7;
        QCOMPARE(ParseFirmwareCrc32(text, &v), valid);
        QCOMPARE(v, quint32(crc));
    }

    void firmwareResultText_data()
    {
        QTest::addColumn<int>("v");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "No error";
        QTest::newRow("1") << 1 << "Lower version than current module";
        QTest::newRow("2") << 2 << "Mismatched vender code";
        QTest::newRow("3") << 3 << "CRC error";
        QTest::newRow("4") << 4 << "Module size exceeds the initial size";
        QTest::newRow("7") << 7 << QString::fromUtf8("제조사 구분 오류코드(7)");
        QTest::newRow("255") << 255 << QString::fromUtf8("제조사 구분 오류코드(255)");
    }
    void firmwareResultText()
    {
        QFETCH(int, v);
        QFETCH(QString, text);
        QCOMPARE(FirmwareResultText(quint8(v), tcdvText(QStringLiteral("IDS_228"))), text);
    }

    void ppcRecords()
    {
        TPpcEntry e{true, 16, 0x102, 1, 1234, QStringLiteral("x")};
        // register: manager and number add, type, low byte of the agency, number LE
        compareRecord(RecordBytes(PpcRegisterRecord(e)), 35,
                      ByteMap{{24, 1}, {26, 1}, {28, 1}, {30, 0x02}, {31, 0xD2}, {32, 0x04}});
        compareRecord(RecordBytes(PpcDeleteRecord(e)), 35, ByteMap{{27, 1}, {31, 0xD2}, {32, 0x04}});
        compareRecord(RecordBytes(PpcDeleteAllRecord()), 35, ByteMap{{8, 1}, {16, 2}, {25, 1}, {30, 255}});
        compareRecord(RecordBytes(PpcGetListRecord(2)), 35, ByteMap{{8, 1}, {16, 2}, {23, 1}, {30, 2}});
        // The vehicle number is little-endian whatever the link's order, low 32 bits.
        SetServerBigEndian(true);
        e.PpcNumber = 0x1234567890LL;
        QCOMPARE(RecordBytes(PpcDeleteRecord(e)).mid(31, 4), hex("90785634"));
        SetServerBigEndian(false);
        e.PpcNumber = 4294967295LL;
        QCOMPARE(RecordBytes(PpcRegisterRecord(e)).mid(31, 4), hex("FFFFFFFF"));
    }

    void requests_data()
    {
        QTest::addColumn<bool>("bigEndian");
        QTest::newRow("little-endian") << false;
        QTest::newRow("big-endian") << true;
    }
    void requests()
    {
        QFETCH(bool, bigEndian);
        SetServerBigEndian(bigEndian);
        THostSimplePacket req, res;
        res.DataSize = 99;
        BuildLcPlainRequest(req, res, opLcOprMode, 300, QByteArray(1, char(0x80)));
        QCOMPARE(res.DataSize, 0);
        QByteArray w = req.ToByteArray();
        QCOMPARE(w.size(), 33);
        QCOMPARE(w.left(10), hex("434D010200000001E8E8"));
        QCOMPARE(w.mid(10, 2), bigEndian ? hex("012C") : hex("2C01"));
        QCOMPARE(w.mid(12, 4), bigEndian ? hex("00000001") : hex("01000000"));
        QCOMPARE(w.mid(32), hex("80"));

        TSpecialCommandChoice c;
        c.Flash = true;
        // One looked-up type decides head and record size.
        BuildLcControllerRequest(req, res, opSpecial, 3, 1,
                                 SpecialCommandBytes(1, BuildSpecialCommand2004(c), BuildSpecialCommand2010(c)));
        QCOMPARE(req.DataSize, 24);
        QCOMPARE(req.DataBytes().left(2), hex("0150"));
        BuildLcControllerRequest(req, res, opSpecial, 1, 2,
                                 SpecialCommandBytes(2, BuildSpecialCommand2004(c), BuildSpecialCommand2010(c)));
        QCOMPARE(req.DataSize, 37);
        QCOMPARE(req.DataBytes().left(2), hex("0250"));
        QCOMPARE(req.Head.dsize, HostToNetLong(37));

        BuildSaRequest(req, res, opGroupManual, 200, RecordBytes(TManCtrl{6, 16, 2}));
        w = req.ToByteArray();
        QCOMPARE(int(w.at(7)), 2);
        QCOMPARE(w.mid(8, 2), hex("ECEC"));
        QCOMPARE(w.mid(10, 2), bigEndian ? hex("00C8") : hex("C800"));
        QCOMPARE(w.mid(32), hex("061002"));
        SetServerBigEndian(false);
    }

    void lcOutcome_data()
    {
        QTest::addColumn<int>("opcode");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("replyOpcode");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        const QString t = QStringLiteral("T");
        QTest::newRow("mode centre") << 0xE8 << 1 << 0xE9 << hex("80") << true << QString::fromUtf8("T, 리턴값=센터모드");
        QTest::newRow("mode local") << 0xE8 << 1 << 0xE9 << hex("40") << true << QString::fromUtf8("T, 리턴값=로컬모드");
        QTest::newRow("mode wrong opcode shows value") << 0xE8 << 1 << 0xEA << hex("80") << false << QString::fromUtf8("T, 리턴값=센터모드");
        QTest::newRow("mode 3 bytes") << 0xE8 << 3 << 0xE9 << hex("010280") << false << QString::fromUtf8("T : 수신데이터 크기 에러");
        QTest::newRow("mode no data") << 0xE8 << 0 << 0xE9 << QByteArray() << false << QString::fromUtf8("T : 수신데이터 크기 에러");
        QTest::newRow("mode closing failed") << 0xE8 << 99994 << 0xE9 << hex("80") << false << QString::fromUtf8("T : 수신데이터 크기 에러");
        QTest::newRow("connect") << 0xE8 << 99991 << 0 << QByteArray() << false << QString::fromUtf8("T : RC연결 실패");
        QTest::newRow("send") << 0xEA << 99992 << 0 << QByteArray() << false << QString::fromUtf8("T : 데이터전송 실패");
        QTest::newRow("receive") << 0x56 << 99993 << 0 << QByteArray() << false << QString::fromUtf8("T : 데이터수신 실패");
        QTest::newRow("TRC") << 0xEA << 1 << 0xEB << hex("01") << true << QString::fromUtf8("T, 리턴값=TRC");
        QTest::newRow("TOD") << 0xEA << 1 << 0xEB << hex("00") << true << QString::fromUtf8("T, 리턴값=TOD");
        QTest::newRow("control mode 3 bytes") << 0x10 << 3 << 0x11 << hex("021101") << true << QString::fromUtf8("T : 성공");
        QTest::newRow("control mode 1 byte") << 0x10 << 1 << 0x11 << hex("01") << true << QString::fromUtf8("T : 성공");
        QTest::newRow("control mode refused") << 0x10 << 3 << 0x11 << hex("021100") << false << QString::fromUtf8("T : 수신데이터 크기 에러");
        QTest::newRow("control mode wrong opcode") << 0x10 << 3 << 0x12 << hex("021201") << false << QString::fromUtf8("T : zuzi헤더의 OP코드 오류");
        QTest::newRow("control mode 2 bytes") << 0x10 << 2 << 0x11 << hex("0211") << false << QString::fromUtf8("T : 수신데이터 크기 에러");
        QTest::newRow("firmware no error") << 0x56 << 3 << 0x57 << hex("025700") << true << QString::fromUtf8("T, 리턴값=No error");
        QTest::newRow("firmware CRC error") << 0x56 << 3 << 0x57 << hex("025703") << false << QString::fromUtf8("T, 리턴값=CRC error");
        QTest::newRow("firmware maker code 7") << 0x56 << 3 << 0x57 << hex("025707") << false << QString::fromUtf8("T, 리턴값=제조사 구분 오류코드(7)");
        QTest::newRow("firmware 1 byte") << 0x56 << 1 << 0x57 << hex("00") << false << QString::fromUtf8("T : 수신데이터 크기 에러");
        QTest::newRow("firmware wrong opcode") << 0x56 << 3 << 0x58 << hex("025800") << false << QString::fromUtf8("T, 리턴값=No error");
        Q_UNUSED(t);
    }
    void lcOutcome()
    {
        QFETCH(int, opcode);
        QFETCH(int, r);
        QFETCH(int, replyOpcode);
        QFETCH(QByteArray, data);
        QFETCH(bool, ok);
        QFETCH(QString, text);
        const THostSimplePacket res = reply(quint8(replyOpcode), data);
        const TCommandOutcome o = LcCommandOutcome(quint8(opcode), r, res, QStringLiteral("T"), tcdvText);
        QCOMPARE(o.text, text);
        QCOMPARE(o.ok, ok);
    }

    void specialOutcome_data()
    {
        QTest::addColumn<int>("r");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("accepted") << 3 << hex("025101") << true << QString::fromUtf8("성공");
        QTest::newRow("two bytes") << 2 << hex("0151") << true << QString::fromUtf8("성공");
        QTest::newRow("long reply") << 6 << hex("025101000000") << true << QString::fromUtf8("성공");
        QTest::newRow("refused by the controller") << 3 << hex("025100") << false << QString::fromUtf8("제어기가 명령을 거부했습니다.");
        QTest::newRow("wrong opcode") << 3 << hex("025201") << false << QString::fromUtf8("zuzi헤더의 OP코드 오류");
        QTest::newRow("one byte") << 1 << hex("02") << false << QString::fromUtf8("수신데이터 크기 에러");
        QTest::newRow("nothing") << 0 << QByteArray() << false << QString::fromUtf8("수신데이터 크기 에러");
        QTest::newRow("closing failed after a good reply") << 99994 << hex("025101") << true << QString::fromUtf8("성공");
        QTest::newRow("closing failed, nothing received") << 99994 << QByteArray() << false << QString::fromUtf8("수신데이터 크기 에러");
        QTest::newRow("connect") << 99991 << QByteArray() << false << QString::fromUtf8("RC연결 실패");
        QTest::newRow("send") << 99992 << QByteArray() << false << QString::fromUtf8("데이터전송 실패");
        QTest::newRow("receive") << 99993 << QByteArray() << false << QString::fromUtf8("데이터수신 실패");
    }
    void specialOutcome()
    {
        QFETCH(int, r);
        QFETCH(QByteArray, data);
        QFETCH(bool, ok);
        QFETCH(QString, outcome);
        const TCommandOutcome o = SpecialCommandOutcome(r, reply(0x51, data), QStringLiteral("T"), tcdvText);
        QCOMPARE(o.text, QStringLiteral("T : ") + outcome);
        QCOMPARE(o.ok, ok);
        // The priority-list check takes exactly three bytes.
        const TCommandOutcome p = PpcCommandOutcome(r, reply(0x51, data), QStringLiteral("T"), tcdvText, true, 1234);
        const bool ppcOk = r == 3 && ok;
        QCOMPARE(p.ok, ppcOk);
        QVERIFY(p.text.endsWith(QStringLiteral("(1234)")));
    }

    void saOutcome_data()
    {
        QTest::addColumn<int>("opcode");
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("replyOpcode");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        QTest::newRow("mode centre") << 0xE6 << 1 << 0xE7 << hex("80") << true << QString::fromUtf8("T, 리턴값=센터모드");
        QTest::newRow("mode local") << 0xE6 << 1 << 0xE7 << hex("40") << true << QString::fromUtf8("T, 리턴값=로컬모드");
        QTest::newRow("mode wrong opcode") << 0xE6 << 1 << 0xE8 << hex("80") << false << QString::fromUtf8("T, 리턴값=센터모드");
        QTest::newRow("TRC") << 0xEA << 1 << 0xEB << hex("01") << true << QString::fromUtf8("T, 리턴값=TRC");
        QTest::newRow("manual") << 0xEC << 3 << 0xED << hex("030A02") << true
                                << QString::fromUtf8("T, 리턴값=주기:3, 현시:10, 옵셋:2");
        QTest::newRow("manual 1 byte") << 0xEC << 1 << 0xED << hex("03") << false << QString::fromUtf8("T : 수신데이터 크기 에러");
        QTest::newRow("closing failed") << 0xE6 << 99994 << 0xE7 << hex("80") << false << QString::fromUtf8("T : 수신데이터 크기 에러");
        QTest::newRow("connect") << 0xE6 << 99991 << 0 << QByteArray() << false << QString::fromUtf8("T : RC연결 실패");
        QTest::newRow("send") << 0xEA << 99992 << 0 << QByteArray() << false << QString::fromUtf8("T : 데이터전송 실패");
        QTest::newRow("receive") << 0xEC << 99993 << 0 << QByteArray() << false << QString::fromUtf8("T : 데이터수신 실패");
    }
    void saOutcome()
    {
        QFETCH(int, opcode);
        QFETCH(int, r);
        QFETCH(int, replyOpcode);
        QFETCH(QByteArray, data);
        QFETCH(bool, ok);
        QFETCH(QString, text);
        const TCommandOutcome o = SaCommandOutcome(quint8(opcode), r, reply(quint8(replyOpcode), data),
                                                   QStringLiteral("T"), saText);
        QCOMPARE(o.text, text);
        QCOMPARE(o.ok, ok);
    }

    void formatC_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("text");
        QTest::newRow("padded number") << "%.4d %s" << QVariantList{7, QStringLiteral("A")} << "0007 A";
        QTest::newRow("long number") << "%.4d" << QVariantList{12345} << "12345";
        QTest::newRow("percent") << "%d%%" << QVariantList{50} << "50%";
        QTest::newRow("missing argument") << "%s-%d" << QVariantList{QStringLiteral("x")} << "x-0";
        QTest::newRow("text with percent kept") << "%s" << QVariantList{QStringLiteral("%d")} << "%d";
    }
    void formatC()
    {
        QFETCH(QString, format);
        QFETCH(QVariantList, args);
        QFETCH(QString, text);
        QCOMPARE(FormatCText(format, args), text);
    }

    void textsInBothLanguages()
    {
        // Every key the two windows use exists in Korean and English.
        TsiLangDispatcher *d = TsiLangDispatcher::instance();
        for (const QString &table : {QStringLiteral("TfrmTCDV_C_Control"), QStringLiteral("TfrmSA_C_Control")}) {
            const QStringList keys = d->Keys(table);
            QVERIFY(!keys.isEmpty());
            for (const QString &k : keys) {
                QVERIFY2(d->HasText(table, k, 1) && d->HasText(table, k, 2), qPrintable(table + "/" + k));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TstControlRecords)
#include "tst_control_records.moc"
