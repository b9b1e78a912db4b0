// Decoding of synthetic state images into the live state set: every status field of
// both controller layouts, the communication-failure rule, unknown types, the
// virtual-intersection rule, InitLC and the snapshot hand-over.
#include <QtTest>

#include "centrelink/RC2MMIUnit.h"
#include "RcScenario.h"

namespace {

using IntField = int TLcStatus::*;

const QHash<QString, IntField> &intFields()
{
    static const QHash<QString, IntField> f = {
        {"powerFail", &TLcStatus::powerFail}, {"commFail", &TLcStatus::commFail},
        {"dualRing", &TLcStatus::dualRing}, {"oprMode", &TLcStatus::oprMode},
        {"stepA", &TLcStatus::stepA}, {"phaseA", &TLcStatus::phaseA},
        {"stepB", &TLcStatus::stepB}, {"phaseB", &TLcStatus::phaseB},
        {"policeIng", &TLcStatus::policeIng}, {"policeMan", &TLcStatus::policeMan},
        {"policeFlash", &TLcStatus::policeFlash}, {"policeOff", &TLcStatus::policeOff},
        {"conflict", &TLcStatus::conflict}, {"lightsOut", &TLcStatus::lightsOut},
        {"flash", &TLcStatus::flash}, {"dbError", &TLcStatus::dbError},
        {"pushBtnEnable", &TLcStatus::pushBtnEnable}, {"flashCause", &TLcStatus::flashCause},
        {"turnLeft", &TLcStatus::turnLeft}, {"manEnable", &TLcStatus::manEnable},
        {"conflictEnable", &TLcStatus::conflictEnable}, {"doorOpen", &TLcStatus::doorOpen},
        {"conflictLsuNo", &TLcStatus::conflictLsuNo}, {"conflictReason", &TLcStatus::conflictReason},
        {"conflictCircuit", &TLcStatus::conflictCircuit}, {"lampType", &TLcStatus::lampType},
        {"planInfo", &TLcStatus::planInfo}, {"pedLightFlags", &TLcStatus::pedLightFlags},
        {"pushBtnFlags", &TLcStatus::pushBtnFlags}, {"pedTroubleFlags", &TLcStatus::pedTroubleFlags},
        {"optionBdFlags", &TLcStatus::optionBdFlags}, {"cycleCount", &TLcStatus::cycleCount},
        {"previousCycle", &TLcStatus::previousCycle}, {"currentCycle", &TLcStatus::currentCycle},
        {"offset", &TLcStatus::offset}, {"phaseHold", &TLcStatus::phaseHold},
        {"phaseOmit", &TLcStatus::phaseOmit},
        {"spillback_subpahse_end", &TLcStatus::spillback_subpahse_end},
        {"spillback_mainpahse_end", &TLcStatus::spillback_mainpahse_end},
        {"spillback_ctrmode", &TLcStatus::spillback_ctrmode},
        {"spillback_perm", &TLcStatus::spillback_perm}, {"DBErrorCode", &TLcStatus::DBErrorCode},
        {"PPCFlags", &TLcStatus::PPCFlags}, {"UPSFlags", &TLcStatus::UPSFlags},
        {"applyStatus", &TLcStatus::applyStatus}, {"lockStatus1", &TLcStatus::lockStatus1},
        {"lockStatus2", &TLcStatus::lockStatus2}, {"dbReadOnly", &TLcStatus::dbReadOnly},
        {"opr_stat", &TLcStatus::opr_stat}, {"opr_stat_prev", &TLcStatus::opr_stat_prev}};
    return f;
}

int fieldValue(const TLcStatus &st, const QString &name)
{
    if (name == QLatin1String("ppcControlMode"))
        return st.ppcControlMode;
    if (name == QLatin1String("fwModuleID"))
        return st.fwModuleID;
    if (name == QLatin1String("fwModuleDgIdx"))
        return st.fwModuleDgIdx;
    const auto it = intFields().constFind(name);
    if (it == intFields().cend())
        qFatal("unknown field %s", qPrintable(name));
    return st.*(it.value());
}

TST_ITST_STATE recordWith(int status, int byteIndex, int byteValue)
{
    TST_ITST_STATE rec;
    std::memset(&rec, 0, sizeof rec);
    rec.defined = 1;
    rec.status = quint8(status);
    if (byteIndex >= 0)
        rec.lcst[byteIndex] = quint8(byteValue);
    return rec;
}

PSTT_LC_INFO makeInfo(int no, int type, bool inUse, int mainNo = 0)
{
    auto info = std::make_shared<TSTT_LC_INFO>();
    info->tcdv_id = no;
    info->lc_type = type;
    info->is_use = inUse;
    info->virtualLC_No = mainNo;
    return info;
}

std::unique_ptr<TST_VESK_STATE> emptyImage()
{
    auto img = std::make_unique<TST_VESK_STATE>();
    std::memset(static_cast<void *>(img.get()), 0, sizeof(TST_VESK_STATE));
    return img;
}

} // namespace

class TestRcStateDecode : public QObject
{
    Q_OBJECT
private slots:
    void fieldByField_data();
    void fieldByField();
    void fieldsOf2004Constants();
    void detectorAndFirmwareBytes();
    void unknownTypeKeepsFields();
    void previousStateFollows();
    void virtualIntersectionRule();
    void initLcKeepsWhatItShould();
    void snapshotHandOverAndHeldRecords();
    void reusedSnapshotStorage_data();
    void reusedSnapshotStorage();
    void groupNumberByteOrder();
    void simulatorImageDecodes_data();
    void simulatorImageDecodes();
    void movementIndexing();
};

void TestRcStateDecode::fieldByField_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("expected");

    for (int type : {1, 2}) {
        const char *t = type == 1 ? "2004" : "2010";
        auto row = [&](const char *name, int status, int byte, int value, const char *field, int expected) {
            QTest::addRow("%s %s", t, name) << type << status << byte << value << QString::fromLatin1(field) << expected;
        };
        row("power failure", 1, 0, 0x80, "powerFail", 1);
        row("MCU/SCU comm failure", 1, 0, 0x40, "commFail", 1);
        row("dual ring", 1, 0, 0x10, "dualRing", 1);
        row("operating mode", 1, 0, 0x05, "oprMode", 5);
        row("operating mode in comm failure", 0, 0, 0x05, "oprMode", 6);
        row("power failure in comm failure", 0, 0, 0x80, "powerFail", 1);
        row("ring A phase", 1, 1, 0xA3, "phaseA", 5);
        row("ring A step", 1, 1, 0xA3, "stepA", 3);
        row("ring B phase", 1, 2, 0xE1, "phaseB", 7);
        row("ring B step", 1, 2, 0xE1, "stepB", 1);
        row("steps in comm failure", 0, 1, 0x22, "stepA", 2);
        row("manual progress", 1, 3, 0x80, "policeIng", 1);
        row("manual switch", 1, 3, 0x40, "policeMan", 1);
        row("flash switch", 1, 3, 0x20, "policeFlash", 1);
        row("lights-off switch", 1, 3, 0x10, "policeOff", 1);
        row("conflict", 1, 3, 0x08, "conflict", 1);
        row("conflict in comm failure", 0, 3, 0x08, "conflict", 0);
        row("lights out", 1, 3, 0x04, "lightsOut", 1);
        row("lights out in comm failure", 0, 3, 0x04, "lightsOut", 0);
        row("flash", 1, 3, 0x02, "flash", 1);
        row("flash in comm failure", 0, 3, 0x02, "flash", 0);
        row("database error", 1, 3, 0x01, "dbError", 1);
        row("plan map", 1, 4, 0x08, "turnLeft", 1);
        row("manual enabled", 1, 4, 0x04, "manEnable", 1);
        row("conflict detection enabled", 1, 4, 0x02, "conflictEnable", 1);
        row("conflict detection off", 1, 4, 0x00, "conflictEnable", 0);
        row("conflict detection in comm failure", 0, 4, 0x00, "conflictEnable", 1);
        row("door open", 1, 4, 0x01, "doorOpen", 1);
        row("door in comm failure", 0, 4, 0x01, "doorOpen", 0);
        row("conflicting LSU", 1, 5, 0x9B, "conflictLsuNo", 9);
        row("cycle count", 1, 10, 77, "cycleCount", 77);
        row("previous cycle", 1, 11, 130, "previousCycle", 130);
        row("current cycle", 1, 12, 140, "currentCycle", 140);
        row("offset", 1, 13, 25, "offset", 25);
        row("hold phase", 1, 14, 0x04, "phaseHold", 4);
        row("omit phase", 1, 15, 0x81, "phaseOmit", 0x81);
        row("spill-back permitted", 1, 16, 0x08, "spillback_perm", 1);
        row("spill-back control mode", 1, 16, 0x04, "spillback_ctrmode", 1);
        row("spill-back main phase end", 1, 16, 0x02, "spillback_mainpahse_end", 1);
        row("spill-back sub phase end", 1, 16, 0x01, "spillback_subpahse_end", 1);
        row("operating state", 7, -1, 0, "opr_stat", 7);
    }
    auto row04 = [](const char *name, int byte, int value, const char *field, int expected) {
        QTest::addRow("2004 %s", name) << 1 << 1 << byte << value << QString::fromLatin1(field) << expected;
    };
    auto row10 = [](const char *name, int byte, int value, const char *field, int expected) {
        QTest::addRow("2010 %s", name) << 2 << 1 << byte << value << QString::fromLatin1(field) << expected;
    };
    // byte 4 = 0xF8: four-bit flash cause on the 2004 type, push buttons and three bits on the 2010 type
    row04("F8 flash cause", 4, 0xF8, "flashCause", 15);
    row04("F8 plan map", 4, 0xF8, "turnLeft", 1);
    row04("F8 plan class", 4, 0xF8, "planInfo", 1);
    row04("F8 push buttons", 4, 0xF8, "pushBtnEnable", 0);
    row10("F8 push buttons", 4, 0xF8, "pushBtnEnable", 1);
    row10("F8 flash cause", 4, 0xF8, "flashCause", 7);
    row10("F8 plan map", 4, 0xF8, "turnLeft", 1);
    row10("F8 plan class stays with byte 16", 4, 0xF8, "planInfo", 0);
    row04("circuit four bits", 5, 0x9B, "conflictCircuit", 11);
    row04("no conflict reason", 5, 0x9B, "conflictReason", -1);
    row10("circuit three bits", 5, 0x9B, "conflictCircuit", 3);
    row10("conflict reason", 5, 0x9B, "conflictReason", 1);
    row04("no PPC mode bit", 0, 0x08, "ppcControlMode", 0);
    row10("PPC mode bit", 0, 0x08, "ppcControlMode", 1);
    row10("pedestrian lights", 6, 0x5A, "pedLightFlags", 0x5A);
    row10("push-button flags", 7, 0xA5, "pushBtnFlags", 0xA5);
    row10("pedestrian trouble", 8, 0x11, "pedTroubleFlags", 0x11);
    row10("option boards", 9, 0x22, "optionBdFlags", 0x22);
    row10("lamp type", 16, 0x80, "lampType", 1);
    row10("plan class", 16, 0x50, "planInfo", 5);
    row04("lamp type none", 16, 0x80, "lampType", -1);
    row10("database error code", 21, 0x33, "DBErrorCode", 0x33);
    row10("PPC flags", 22, 0x44, "PPCFlags", 0x44);
    row10("UPS flags", 23, 0x55, "UPSFlags", 0x55);
    row10("read-only", 24, 0x08, "dbReadOnly", 1);
    row10("lock 2", 24, 0x04, "lockStatus2", 1);
    row10("lock 1", 24, 0x02, "lockStatus1", 1);
    row10("applied", 24, 0x01, "applyStatus", 1);
}

void TestRcStateDecode::fieldByField()
{
    QFETCH(int, type);
    QFETCH(int, status);
    QFETCH(int, byte);
    QFETCH(int, value);
    QFETCH(QString, field);
    QFETCH(int, expected);
    TLcStatus st;
    DecodeLcStatus(recordWith(status, byte, value), type, st);
    QVERIFY(st.mntr_ok);
    QCOMPARE(fieldValue(st, field), expected);
}

void TestRcStateDecode::fieldsOf2004Constants()
{
    TLcStatus st;
    DecodeLcStatus(recordWith(1, 24, 0xFF), 1, st);
    for (const char *f : {"pedLightFlags", "pushBtnFlags", "pedTroubleFlags", "optionBdFlags", "lampType",
                          "DBErrorCode", "PPCFlags", "UPSFlags", "applyStatus", "lockStatus1", "lockStatus2",
                          "dbReadOnly", "conflictReason"})
        QCOMPARE(fieldValue(st, QString::fromLatin1(f)), -1);
    QCOMPARE(fieldValue(st, QStringLiteral("pushBtnEnable")), 0);
    QCOMPARE(int(st.fwModuleID), 0);
    QCOMPARE(int(st.fwModuleDgIdx), 0);
    QCOMPARE(int(st.ppcControlMode), 0);
}

void TestRcStateDecode::detectorAndFirmwareBytes()
{
    TST_ITST_STATE rec = recordWith(1, -1, 0);
    rec.lcst[6] = 1;
    rec.lcst[7] = 2;
    rec.lcst[8] = 3;
    rec.lcst[9] = 4;
    rec.lcst[17] = 0x12;
    rec.lcst[18] = 0x34;
    rec.lcst[19] = 0x00;
    rec.lcst[20] = 0x2A;

    TLcStatus s2004;
    DecodeLcStatus(rec, 1, s2004);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(s2004.detInfo), 4), QByteArray::fromHex("01020304"));

    TLcStatus s2010;
    std::memset(s2010.detInfo, 0x77, 4);
    DecodeLcStatus(rec, 2, s2010);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(s2010.detInfo), 4), QByteArray(4, '\0'));
    // The firmware words are kept as they stand in the image, most significant first.
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&s2010.fwModuleID), 2), QByteArray::fromHex("1234"));
    QCOMPARE(qFromBigEndian(s2010.fwModuleDgIdx), quint16(42));
}

void TestRcStateDecode::unknownTypeKeepsFields()
{
    TLcStatus st;
    DecodeLcStatus(recordWith(1, 3, 0x02), 2, st); // flash
    DecodeLcStatus(recordWith(1, 12, 99), 2, st);
    QCOMPARE(st.flash, 0);
    QCOMPARE(st.currentCycle, 99);
    TST_ITST_STATE rec = recordWith(5, 3, 0x02);
    rec.lcst[12] = 150;
    DecodeLcStatus(rec, 3, st);
    QCOMPARE(st.opr_stat, 5);
    QCOMPARE(st.opr_stat_prev, 1);
    QVERIFY(st.mntr_ok);
    QCOMPARE(st.flash, 0);         // kept from the last decode
    QCOMPARE(st.currentCycle, 99); // kept
}

void TestRcStateDecode::previousStateFollows()
{
    TLC_INFO_SET set;
    set.SetLcInfo(1, makeInfo(1, 2, true));
    QCOMPARE(set.GetLcInfo(1)->opr_stat_prev, -1);
    auto img = emptyImage();
    img->lc_state[0] = recordWith(4, -1, 0);
    set.DecodeImage(*img);
    QCOMPARE(set.GetLcInfo(1)->opr_stat, 4);
    QCOMPARE(set.GetLcInfo(1)->opr_stat_prev, 0);
    img->lc_state[0] = recordWith(1, -1, 0);
    set.DecodeImage(*img);
    QCOMPARE(set.GetLcInfo(1)->opr_stat, 1);
    QCOMPARE(set.GetLcInfo(1)->opr_stat_prev, 4);
}

void TestRcStateDecode::virtualIntersectionRule()
{
    TLC_INFO_SET set;
    set.SetLcInfo(12, makeInfo(12, 2, true));
    set.SetLcInfo(20, makeInfo(20, 2, false, 12));
    set.SetVirtual(20, 12);
    set.SetLcInfo(30, makeInfo(30, 1, false));
    set.GetLcInfo(30)->currentCycle = 55;
    set.SetLcInfo(31, makeInfo(31, 1, true, 12)); // in use: its own record, not its main's

    auto img = emptyImage();
    img->lc_state[11] = recordWith(5, 3, 0x02); // main: flashing
    img->lc_state[11].lcst[12] = 120;
    img->lc_state[19] = recordWith(1, 12, 99);  // the virtual one's own record: ignored
    img->lc_state[29] = recordWith(3, 12, 77);  // not in use: ignored
    img->lc_state[30] = recordWith(2, 12, 66);
    img->lc_state[39] = recordWith(7, -1, 0);   // no database row
    set.DecodeImage(*img);

    const PSTT_LC_INFO v = set.GetLcInfo(20);
    QVERIFY(v->mntr_ok);
    QCOMPARE(v->opr_stat, 5);
    QCOMPARE(v->flash, 1);
    QCOMPARE(v->currentCycle, 120);
    const PSTT_LC_INFO unused = set.GetLcInfo(30);
    QVERIFY(!unused->mntr_ok);
    QCOMPARE(unused->opr_stat, 0);
    QCOMPARE(unused->currentCycle, 55);
    QCOMPARE(set.GetLcInfo(31)->opr_stat, 2);
    QCOMPARE(set.GetLcInfo(31)->currentCycle, 66);
    QVERIFY(!set.GetLcInfo(40));
    QCOMPARE(set.Count(), 4);
}

void TestRcStateDecode::initLcKeepsWhatItShould()
{
    TLC_INFO_SET set;
    set.SetLcInfo(2, makeInfo(2, 2, true));
    auto img = emptyImage();
    TST_ITST_STATE rec = recordWith(1, 16, 0xD8); // lamp 1, plan class 5, spill-back
    rec.lcst[0] = 0x9D;                            // power, dual, PPC, mode 5
    rec.lcst[1] = 0x45;
    rec.lcst[3] = 0xFF;
    rec.lcst[12] = 100;
    rec.lcst[21] = 9;
    img->lc_state[1] = rec;
    set.DecodeImage(*img);
    const PSTT_LC_INFO info = set.GetLcInfo(2);
    info->phaseCountFixValue = 3;
    info->linkID_A = QStringLiteral("L1");
    info->actuateMode = true;
    info->clickedLcCtrl = true;
    info->ints_name = QStringLiteral("name");
    QCOMPARE(info->lampType, 1);
    QCOMPARE(info->planInfo, 5);

    set.InitLC();
    QCOMPARE(info->opr_stat, 0);
    QCOMPARE(info->opr_stat_prev, -1);
    QCOMPARE(info->oprMode, 6);
    QCOMPARE(info->powerFail, 0);
    QCOMPARE(info->dualRing, 0);
    QCOMPARE(info->stepA, 0);
    QCOMPARE(info->phaseA, 0);
    QCOMPARE(info->flash, 0);
    QCOMPARE(info->conflictCircuit, 0);
    QCOMPARE(info->currentCycle, 0);
    QCOMPARE(info->DBErrorCode, 0);
    QCOMPARE(info->spillback_perm, 0);
    QCOMPARE(info->phaseCountFixValue, 0);
    QVERIFY(info->linkID_A.isEmpty());
    QVERIFY(!info->actuateMode);
    // kept
    QCOMPARE(info->lampType, 1);
    QCOMPARE(info->planInfo, 5);
    QVERIFY(info->mntr_ok);
    QCOMPARE(int(info->ppcControlMode), 1);
    QVERIFY(info->clickedLcCtrl);
    QCOMPARE(info->ints_name.str(), QStringLiteral("name"));
}

void TestRcStateDecode::snapshotHandOverAndHeldRecords()
{
    TLC_INFO_SET set;
    set.SetLcInfo(1, makeInfo(1, 1, true));
    set.SetLcInfo(2, makeInfo(2, 2, true));
    const PSTT_LC_INFO heldByWindow = set.GetLcInfo(1);

    // The cycle decodes its own copy; the set is untouched until the hand-over.
    TLcStateSnapshot snap = set.TakeSnapshot();
    QCOMPARE(snap.entries.size(), 2);
    auto img = emptyImage();
    img->lc_state[0] = recordWith(8, 3, 0x22);
    img->lc_state[1] = recordWith(1, -1, 0);
    DecodeStateImage(*img, snap);
    QCOMPARE(heldByWindow->opr_stat, 0);

    // Meanwhile intersection 2 is replaced and 1 removed: the window still holds its record.
    set.SetLcInfo(2, makeInfo(2, 2, true));
    set.Remove(1);
    set.ApplySnapshot(snap);
    QVERIFY(!set.GetLcInfo(1));
    QCOMPARE(heldByWindow->opr_stat, 0); // removed from the set: not written by the hand-over
    QCOMPARE(heldByWindow->tcdv_id, 1);  // still a valid record
    QCOMPARE(set.GetLcInfo(2)->opr_stat, 1);

    // Held records of the set are updated in place.
    const PSTT_LC_INFO held2 = set.GetLcInfo(2);
    TLcStateSnapshot snap2 = set.TakeSnapshot();
    img->lc_state[1] = recordWith(10, -1, 0);
    DecodeStateImage(*img, snap2);
    set.ApplySnapshot(snap2);
    QCOMPARE(held2->opr_stat, 10);
    QCOMPARE(held2->opr_stat_prev, 1);
}

// The monitoring cycle reuses its snapshot's storage from cycle to cycle: whatever
// an entry held before (here a junk value in every field) never reaches the set.
// Records decoded whole get every field from the image and the previous state from
// the record; the others keep the record's own fields.
void TestRcStateDecode::reusedSnapshotStorage_data()
{
    QTest::addColumn<int>("lc");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("expected");
    QTest::newRow("2010 layout: state") << 1 << "opr_stat" << 4;
    QTest::newRow("2010 layout: previous state from the record") << 1 << "opr_stat_prev" << 3;
    QTest::newRow("2010 layout: current cycle byte 12") << 1 << "currentCycle" << 120;
    QTest::newRow("2010 layout: flash cleared") << 1 << "flash" << 0;
    QTest::newRow("2004 layout: offset byte 13") << 2 << "offset" << 9;
    QTest::newRow("2004 layout: previous state from the record") << 2 << "opr_stat_prev" << 6;
    QTest::newRow("2004 layout: lamp type constant") << 2 << "lampType" << -1;
    QTest::newRow("unknown type: state") << 3 << "opr_stat" << 5;
    QTest::newRow("unknown type: cycle kept") << 3 << "currentCycle" << 99;
    QTest::newRow("unknown type: flash kept") << 3 << "flash" << 1;
    QTest::newRow("not in use: state kept") << 4 << "opr_stat" << 7;
    QTest::newRow("not in use: cycle kept") << 4 << "currentCycle" << 42;
    QTest::newRow("virtual: state of its main") << 5 << "opr_stat" << 4;
    QTest::newRow("virtual: cycle of its main") << 5 << "currentCycle" << 120;
    QTest::newRow("virtual: previous state its own") << 5 << "opr_stat_prev" << 2;
    QTest::newRow("added after the first cycle: decoded") << 6 << "opr_stat" << 8;
    QTest::newRow("added after the first cycle: previous state") << 6 << "opr_stat_prev" << 0;
}

void TestRcStateDecode::reusedSnapshotStorage()
{
    QFETCH(int, lc);
    QFETCH(QString, field);
    QFETCH(int, expected);
    constexpr int junk = 77;
    TLC_INFO_SET set;
    for (const auto &r : std::initializer_list<std::pair<int, int>>{{1, 2}, {2, 1}, {3, 3}})
        set.SetLcInfo(r.first, makeInfo(r.first, r.second, true));
    set.SetLcInfo(4, makeInfo(4, 2, false));
    set.SetLcInfo(5, makeInfo(5, 2, false, 1));
    set.SetVirtual(5, 1);
    auto img = emptyImage();
    TLcStateSnapshot snap;
    auto fillWithJunk = [&] {
        snap.entries.resize(8);
        for (TLcDecodeEntry &e : snap.entries) {
            for (IntField f : intFields())
                e.st.*f = junk;
            e.st.ppcControlMode = junk;
            e.st.fwModuleID = e.st.fwModuleDgIdx = junk;
            std::memset(e.st.detInfo, junk, 4);
        }
    };
    auto cycle = [&] {
        fillWithJunk();
        set.TakeSnapshot(snap);
        DecodeStateImage(*img, snap);
        set.ApplySnapshot(snap);
    };
    // The live records before the cycle.
    set.GetLcInfo(1)->opr_stat = 3;
    set.GetLcInfo(1)->flash = 1;
    set.GetLcInfo(2)->opr_stat = 6;
    set.GetLcInfo(3)->currentCycle = 99;
    set.GetLcInfo(3)->flash = 1;
    set.GetLcInfo(4)->opr_stat = 7;
    set.GetLcInfo(4)->currentCycle = 42;
    set.GetLcInfo(5)->opr_stat = 2;
    img->lc_state[0] = recordWith(4, 12, 120);
    img->lc_state[1] = recordWith(1, 13, 9);
    img->lc_state[2] = recordWith(5, 12, 150);
    img->lc_state[3] = recordWith(9, 12, 11);
    img->lc_state[5] = recordWith(8, -1, 0);
    cycle();
    // Intersection 6 comes into the set between two cycles.
    set.SetLcInfo(6, makeInfo(6, 2, true));
    QVERIFY(!set.GetLcInfo(6)->mntr_ok);
    // The second cycle: the same image, the states stay; every record's previous state is
    // its state (6 is new: 0).
    cycle();
    if (field == QLatin1String("opr_stat_prev") && lc != 6) {
        QCOMPARE(set.GetLcInfo(lc)->opr_stat_prev, set.GetLcInfo(lc)->opr_stat);
        // The first cycle's previous state is checked on a set that runs one cycle.
        TLC_INFO_SET one;
        one.SetLcInfo(1, makeInfo(1, 2, true));
        one.SetLcInfo(2, makeInfo(2, 1, true));
        one.SetLcInfo(5, makeInfo(5, 2, false, 1));
        one.SetVirtual(5, 1);
        one.GetLcInfo(1)->opr_stat = 3;
        one.GetLcInfo(2)->opr_stat = 6;
        one.GetLcInfo(5)->opr_stat = 2;
        fillWithJunk();
        one.TakeSnapshot(snap);
        DecodeStateImage(*img, snap);
        one.ApplySnapshot(snap);
        QCOMPARE(one.GetLcInfo(lc)->opr_stat_prev, expected);
        return;
    }
    const TLcStatus &st = set.GetLcInfo(lc)->Status();
    QCOMPARE(fieldValue(st, field), expected);
    QCOMPARE(st.mntr_ok, lc != 4);
    for (auto it = intFields().cbegin(); it != intFields().cend(); ++it)
        QVERIFY2(st.*(it.value()) != junk, qPrintable(it.key()));
    QVERIFY(int(st.ppcControlMode) != junk && int(st.fwModuleID) != junk && st.detInfo[0] != junk);
}

void TestRcStateDecode::groupNumberByteOrder()
{
    TST_ITST_STATE rec = recordWith(1, -1, 0);
    const quint8 bytes[2] = {0x01, 0x02};
    std::memcpy(&rec.intGroup, bytes, 2);
    QCOMPARE(int(rec.GetIntGroup(false)), 0x0201);
    QCOMPARE(int(rec.GetIntGroup(true)), 0x0102);
    SetServerBigEndian(true);
    QCOMPARE(int(rec.GetIntGroup()), 0x0102);
    SetServerBigEndian(false);
    QCOMPARE(int(rec.GetIntGroup()), 0x0201);
}

void TestRcStateDecode::simulatorImageDecodes_data()
{
    QTest::addColumn<double>("t");
    QTest::addColumn<int>("lc");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("expected");
    // Built-in scenario: intersection 3 (2004 type) fails from 20 to 60 s, 4 flashes
    // from 40 to 90 s, 5 is dark from 60 to 100 s, 7 manual from 80 to 130 s, 8 silent
    // from 100 to 150 s; 1 runs 4 phases of 30 s in a 120 s cycle.
    QTest::newRow("3 centre before") << 10.0 << 3 << "opr_stat" << 1;
    QTest::newRow("3 failure") << 30.0 << 3 << "opr_stat" << 3;
    QTest::newRow("3 failure power") << 30.0 << 3 << "powerFail" << 1;
    QTest::newRow("3 cleared") << 70.0 << 3 << "opr_stat" << 1;
    QTest::newRow("4 flash") << 50.0 << 4 << "opr_stat" << 5;
    QTest::newRow("4 flash bit") << 50.0 << 4 << "flash" << 1;
    QTest::newRow("4 flash cause") << 50.0 << 4 << "flashCause" << 2;
    QTest::newRow("4 after flash") << 95.0 << 4 << "flash" << 0;
    QTest::newRow("5 lights off") << 70.0 << 5 << "lightsOut" << 1;
    QTest::newRow("7 manual") << 100.0 << 7 << "policeMan" << 1;
    QTest::newRow("8 silent") << 120.0 << 8 << "opr_stat" << 0;
    QTest::newRow("8 silent mode") << 120.0 << 8 << "oprMode" << 6;
    QTest::newRow("1 phase 1") << 5.0 << 1 << "phaseA" << 0;
    QTest::newRow("1 phase 2") << 35.0 << 1 << "phaseA" << 1;
    QTest::newRow("1 phase 2 yellow") << 56.0 << 1 << "stepA" << 1;
    QTest::newRow("1 centre non-actuated") << 5.0 << 1 << "oprMode" << 5;
    QTest::newRow("34 local") << 5.0 << 34 << "opr_stat" << 2;
    QTest::newRow("22 conflict") << 5.0 << 22 << "conflict" << 1;
    QTest::newRow("22 door") << 5.0 << 22 << "doorOpen" << 1;
    QTest::newRow("2 lamp type") << 5.0 << 2 << "lampType" << 1;
    QTest::newRow("12 cycle 140") << 5.0 << 12 << "currentCycle" << 140;
    QTest::newRow("repeats after the period") << 330.0 << 3 << "opr_stat" << 3;
}

void TestRcStateDecode::simulatorImageDecodes()
{
    QFETCH(double, t);
    QFETCH(int, lc);
    QFETCH(QString, field);
    QFETCH(int, expected);
    const rcsim::Scenario sc = rcsim::Scenario::builtIn();
    const QByteArray bytes = sc.stateImage(t, false);
    QCOMPARE(bytes.size(), int(sizeof(TST_VESK_STATE)));
    TST_VESK_STATE img;
    std::memcpy(&img, bytes.constData(), sizeof img);

    TLC_INFO_SET set;
    const int type = lc % 3 == 0 ? 1 : 2; // the demo city's pattern
    set.SetLcInfo(lc, makeInfo(lc, type, true));
    set.DecodeImage(img);
    QCOMPARE(fieldValue(set.GetLcInfo(lc)->Status(), field), expected);
    const int group = lc <= 10 ? 1 : lc <= 22 ? 2 : lc <= 33 ? 3 : 4;
    QCOMPARE(int(img.lc_state[lc - 1].GetIntGroup(false)), group);
    QCOMPARE(int(img.grp_state[group - 1][0]), 1);
}

void TestRcStateDecode::movementIndexing()
{
    TSTT_LC_INFO info;
    QVERIFY(info.Movement(1, 1, 1) == &info.Movements[0][0][0]);
    QVERIFY(info.Movement(7, 8, 2) == &info.Movements[6][7][1]);
    QVERIFY(!info.Movement(8, 1, 1));
    QVERIFY(!info.Movement(1, 9, 1));
    QVERIFY(!info.Movement(1, 1, 3));
    QVERIFY(!info.Movement(0, 1, 1));
}

QTEST_GUILESS_MAIN(TestRcStateDecode)
#include "tst_rc_statedecode.moc"
