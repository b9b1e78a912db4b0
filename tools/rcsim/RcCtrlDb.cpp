#include "RcCtrlDb.h"

#include <QDateTime>
#include <QFile>
#include <QMutexLocker>
#include <QThread>

#include <memory>

#include "RcSim.h"
#include "foundation/LcLookupSql.h"
#include "transfer/TransferReaders.h"
#include "transfer/UPDNUnit.h"

namespace rcsim {

namespace {

constexpr int HistoryEntrySize = int(sizeof(TDumpData));

quint8 At(const QByteArray &a, int i) { return i >= 0 && i < a.size() ? quint8(a.at(i)) : quint8(0); }

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray a;
    for (int v : values)
        a.append(char(quint8(v)));
    return a;
}

QString TypeName(TLcTypeEx type)
{
    switch (type) {
    case lct2010_3L: return QStringLiteral("3L");
    case lct2010_4L: return QStringLiteral("4L");
    default: return QStringLiteral("2004");
    }
}

// The (map, ring) of a signal-map selector of the type; false when the type has none.
bool SignalSelector(TLcTypeEx type, quint8 selector, bool upload, int *map, int *ring)
{
    for (int m = 1; m <= SignalMapCount(type); ++m)
        for (int r = 1; r <= 2; ++r)
            if (SignalMapRequestByte(type, m, r, upload) == selector) {
                *map = m;
                *ring = r;
                return true;
            }
    return false;
}

int RingOffset(int map, int ring) { return (map - 1) * SignalMapImageSize + (ring - 1) * SignalRingSize; }

} // namespace

// The request handlers (friends of the store).
struct ControllerDbHandlers
{
    ControllerDb &db;

    static Reply Head(const Request &r, int replyOpcode)
    {
        Reply reply = RcSim::genericReply(r);
        reply.opcode = quint8(replyOpcode);
        reply.command = quint8(replyOpcode);
        reply.data = Bytes({At(r.data, 0), replyOpcode});
        reply.statusIndex = -1;
        reply.opcodeIndex = 1;
        return reply;
    }
    // [type, reply opcode, status] (status 1 accepted, 0 refused)
    static Reply Status(const Request &r, bool accepted)
    {
        Reply reply = Head(r, r.head.opcode + 1);
        reply.data.append(char(accepted ? 1 : 0));
        reply.statusIndex = 2;
        return reply;
    }
    // [type, reply opcode, selector, status]
    static Reply SelectorStatus(const Request &r, int replyOpcode, bool accepted)
    {
        Reply reply = Head(r, replyOpcode);
        reply.data.append(char(At(r.data, 2)));
        reply.data.append(char(accepted ? 1 : 0));
        reply.statusIndex = 3;
        return reply;
    }
    Reply Upload(const Request &r, const QByteArray &bytes)
    {
        Reply reply = Head(r, r.head.opcode + 1);
        reply.data += bytes;
        return reply;
    }

    QByteArray payload(const Request &r) const { return r.data.mid(2); }

    // Stores a block or part of it that the centre supplies.
    void store(int lc, const QString &name, int at, const QByteArray &bytes)
    {
        QMutexLocker lock(&db.FMutex);
        QByteArray &b = db.controller(lc).blocks[name];
        if (at >= 0 && at + bytes.size() <= b.size())
            b.replace(at, bytes.size(), bytes);
    }
    QByteArray stored(int lc, const QString &name) { return db.block(lc, name); }

    Reply centreDownload(const Request &r)
    {
        const int lc = r.head.target;
        const quint8 op = r.head.opcode;
        const TLcTypeEx type = db.controllerType(lc);
        if (!payload(r).isEmpty()) {
            db.protocolError(lc, op, QStringLiteral("%1 unexpected data bytes").arg(payload(r).size()));
            return Status(r, false);
        }
        const QSqlDatabase con = db.connection();
        TReaderError error;
        switch (op) {
        case 160: store(lc, QStringLiteral("StartUpCode"), 0, LoadHStartupCode(con, lc, type, &error)); break;
        case 64: store(lc, QStringLiteral("Clock"), 0, ClockNow()); break;
        case 192: store(lc, QStringLiteral("FlashMap"), 0, LoadHFlashMap(con, lc, type, &error)); break;
        case 164: store(lc, QStringLiteral("HoliDayPlan"), 0, LoadHHoliDayPlan(con, lc, &error)); break;
        case 168: store(lc, QStringLiteral("WeekPlan"), 0, LoadHWeekPlan(con, lc, &error)); break;
        case 180: store(lc, QStringLiteral("FunctionTable"), 0, LoadHFunctionTable(con, lc, &error)); break;
        case 208: store(lc, QStringLiteral("InOutPed"), 0, LoadHInOutPed(con, lc, nullptr, &error)); break;
        case 212: store(lc, QStringLiteral("ConflictMap"), 0, LoadHConflictMap(con, lc, &error)); break;
        case 196:
        case 202: {
            if (op == 202 && type == lct2004) {
                db.protocolError(lc, op, QStringLiteral("a 2004 controller has no channels 33-64"));
                return Status(r, false);
            }
            const int at = op == 196 ? 0 : 32 * DetectorEntrySize;
            store(lc, QStringLiteral("Detector"), at,
                  LoadHDetector(con, lc, &error).mid(at, 32 * DetectorEntrySize));
            break;
        }
        default: break;
        }
        if (!error.Text.isEmpty()) {
            db.protocolError(lc, op, QStringLiteral("centre database: %1").arg(error.Text));
            return Status(r, false);
        }
        return Status(r, true);
    }

    static QByteArray ClockNow()
    {
        const QDateTime t = QDateTime::currentDateTime();
        return Bytes({t.date().year() % 100, t.date().month(), t.date().day(), t.time().hour(),
                      t.time().minute(), t.time().second(), t.date().dayOfWeek() % 7});
    }

    Reply dayPlanDownload(const Request &r)
    {
        const int lc = r.head.target;
        const QByteArray p = payload(r);
        const int plan = GetBitsByOneByte(At(p, 0), 1028);
        const int half = GetBitsByOneByte(At(p, 0), 4);
        if (p.size() != 1 || plan >= DayPlanCount || half > 1) {
            db.protocolError(lc, 176, QStringLiteral("day-plan selector %1").arg(QString::fromLatin1(p.toHex())));
            return SelectorStatus(r, 177, false);
        }
        const QSqlDatabase con = db.connection();
        TReaderError error;
        const QByteArray all = LoadHDayPlan(con, lc, ReadLcSaNo(con, lc, &error), &error);
        if (!error.Text.isEmpty()) {
            db.protocolError(lc, 176, QStringLiteral("centre database: %1").arg(error.Text));
            return SelectorStatus(r, 177, false);
        }
        const int at = DayPlanPartOffset(plan + 1, half);
        store(lc, QStringLiteral("DayPlan"), at, all.mid(at, DayPlanPartSize));
        return SelectorStatus(r, 177, true);
    }

    Reply signalMapDownload(const Request &r)
    {
        const int lc = r.head.target;
        const TLcTypeEx type = db.controllerType(lc);
        const QByteArray p = payload(r);
        int map = 0, ring = 0;
        if (p.size() != 1 || !SignalSelector(type, At(p, 0), false, &map, &ring)) {
            db.protocolError(lc, 188, QStringLiteral("signal-map selector %1 for a %2 controller")
                                          .arg(QString::fromLatin1(p.toHex()), TypeName(type)));
            return SelectorStatus(r, 185, false);
        }
        QByteArray block(SignalMapSize(type), 0);
        TReaderError error;
        LoadHSignalMapRing(db.connection(), lc, type, map, ring, block, &error);
        if (!error.Text.isEmpty()) {
            db.protocolError(lc, 188, QStringLiteral("centre database: %1").arg(error.Text));
            return SelectorStatus(r, 185, false);
        }
        const int at = RingOffset(map, ring);
        store(lc, QStringLiteral("SignalMap"), at, block.mid(at, SignalRingSize));
        return SelectorStatus(r, 185, true);
    }

    // Option-board download: head 9, 192, 5, kind, command [, index], block.
    Reply optionBoardDownload(const Request &r)
    {
        const int lc = r.head.target;
        const QByteArray p = payload(r);
        const quint8 kind = At(p, 3);
        const quint8 cmd = At(p, 4);
        Reply reply = Head(r, 83);
        reply.data += p.left(5);
        auto refuse = [&](const QString &why) {
            db.protocolError(lc, 82, why);
            return reply;
        };
        if (p.size() < 5 || At(p, 0) != 9 || At(p, 1) != 192 || At(p, 2) != 5)
            return refuse(QStringLiteral("option-board head %1").arg(QString::fromLatin1(p.left(5).toHex())));
        const QByteArray body = p.mid(5);
        if (kind == 3 && cmd == 16 && body.size() == int(sizeof(TCarTimer))) {
            store(lc, QStringLiteral("CarTimer"), 0, body);
        } else if (kind == 2 && cmd == 16 && body.size() == 1 + int(sizeof(TVMSMsg))) {
            const int n = At(body, 0);
            reply.data.append(char(n));
            if (n < 1 || n > 16)
                return refuse(QStringLiteral("VMS message %1").arg(n));
            store(lc, QStringLiteral("VMSMsgs"), (n - 1) * int(sizeof(TVMSMsg)), body.mid(1));
        } else if (kind == 2 && cmd == 32 && body.size() == int(sizeof(TVMSSchds))) {
            store(lc, QStringLiteral("VMSSchds"), 0, body);
        } else if (kind == 5 && cmd == 16 && body.size() == int(sizeof(TSpillBacks))) {
            store(lc, QStringLiteral("SpillBacks"), 0, body);
        } else if (kind == 1 && cmd == 16 && body.size() == 1 + SystemBankSize) {
            const int b = At(body, 0);
            if (b != 1 && b != 2)
                return refuse(QStringLiteral("controller information bank %1").arg(b));
            reply.data.append(char(b));
            store(lc, b == 1 ? QStringLiteral("SystemBank1") : QStringLiteral("SystemBank2"), 0, body.mid(1));
        } else {
            return refuse(QStringLiteral("option-board kind %1 command %2 with %3 bytes")
                              .arg(kind).arg(cmd).arg(body.size()));
        }
        return reply;
    }

    // Option-board upload: head 9, 192, 5, kind, command [, index].
    Reply optionBoardUpload(const Request &r)
    {
        const int lc = r.head.target;
        const QByteArray p = payload(r);
        const quint8 kind = At(p, 3);
        const quint8 cmd = At(p, 4);
        Reply reply = Head(r, 85);
        reply.data += p.left(4);
        reply.data.append(char(cmd + 1));
        if (p.size() < 5 || At(p, 0) != 9 || At(p, 1) != 192 || At(p, 2) != 5) {
            db.protocolError(lc, 84, QStringLiteral("option-board head %1").arg(QString::fromLatin1(p.left(5).toHex())));
            return Head(r, 85);
        }
        const int index = At(p, 5);
        if (kind == 3 && cmd == 18 && p.size() == 5) {
            reply.data += stored(lc, QStringLiteral("CarTimer"));
        } else if (kind == 3 && cmd == 64 && p.size() == 5) {
            reply.data += stored(lc, QStringLiteral("CarTimerStatus"));
        } else if (kind == 1 && cmd == 18 && p.size() == 6 && (index == 1 || index == 2)) {
            reply.data.append(char(index));
            reply.data += stored(lc, index == 1 ? QStringLiteral("SystemBank1") : QStringLiteral("SystemBank2"));
        } else if (kind == 2 && cmd == 18 && p.size() == 6 && index >= 1 && index <= 16) {
            reply.data.append(char(index));
            reply.data += stored(lc, QStringLiteral("VMSMsgs")).mid((index - 1) * int(sizeof(TVMSMsg)), int(sizeof(TVMSMsg)));
        } else if (kind == 2 && cmd == 34 && p.size() == 6 && index >= 1 && index <= 10) {
            reply.data += stored(lc, QStringLiteral("VMSSchds")).mid((index - 1) * int(sizeof(TVMSSchd)), int(sizeof(TVMSSchd)));
        } else if (kind == 5 && p.size() == 5) {
            reply.data += stored(lc, QStringLiteral("SpillBacks"));
        } else if (kind == 4 && cmd == 16 && (p.size() == 5 || (p.size() == 6 && index == 0))) {
            reply.data += stored(lc, QStringLiteral("DumpInfo"));
        } else if (kind == 4 && cmd == 18 && p.size() == 9) {
            // A part of the event history: n entries from index s on (both 16-bit,
            // low byte first), the ring running on from entry 2048 to entry 1.
            const int start = At(p, 5) | (At(p, 6) << 8);
            const int count = At(p, 7) | (At(p, 8) << 8);
            if (start < 1 || start > DumpHistoryRing || count < 1 || count > int(sizeof(TDumpDatas)) / HistoryEntrySize) {
                db.protocolError(lc, 84, QStringLiteral("event-history part from %1, %2 entries").arg(start).arg(count));
                return Head(r, 85);
            }
            const QByteArray ring = stored(lc, QStringLiteral("History"));
            for (int k = 0; k < count; ++k) {
                const int entry = (start - 1 + k) % DumpHistoryRing; // 0-based
                reply.data += ring.mid(entry * HistoryEntrySize, HistoryEntrySize);
            }
        } else {
            db.protocolError(lc, 84, QStringLiteral("option-board kind %1 command %2 with %3 bytes")
                                         .arg(kind).arg(cmd).arg(p.size()));
            return Head(r, 85);
        }
        return reply;
    }

    Reply dayPlanUpload(const Request &r)
    {
        const int lc = r.head.target;
        const QByteArray p = payload(r);
        const int plan = GetBitsByOneByte(At(p, 0), 1028);
        const int half = GetBitsByOneByte(At(p, 0), 4);
        if (p.size() != 1 || plan >= DayPlanCount || half > 1) {
            db.protocolError(lc, 178, QStringLiteral("day-plan selector %1").arg(QString::fromLatin1(p.toHex())));
            return Head(r, 179);
        }
        return Upload(r, stored(lc, QStringLiteral("DayPlan")).mid(DayPlanPartOffset(plan + 1, half), DayPlanPartSize));
    }

    Reply signalMapUpload(const Request &r)
    {
        const int lc = r.head.target;
        const TLcTypeEx type = db.controllerType(lc);
        const QByteArray p = payload(r);
        int map = 0, ring = 0;
        if (p.size() != 1 || !SignalSelector(type, At(p, 0), true, &map, &ring)) {
            db.protocolError(lc, 190, QStringLiteral("signal-map selector %1 for a %2 controller")
                                          .arg(QString::fromLatin1(p.toHex()), TypeName(type)));
            return Head(r, 187);
        }
        Reply reply = Head(r, 187);
        reply.data.append(char(At(p, 0)));
        reply.data += stored(lc, QStringLiteral("SignalMap")).mid(RingOffset(map, ring), SignalRingSize);
        return reply;
    }

    Reply network(const Request &r)
    {
        const int lc = r.head.target;
        const QByteArray p = payload(r);
        if (p.isEmpty())
            return Upload(r, stored(lc, QStringLiteral("ActuateVar")));
        if (p.size() != int(sizeof(TNetwork))) {
            db.protocolError(lc, 218, QStringLiteral("%1 data bytes").arg(p.size()));
            return Head(r, 219);
        }
        if (p.count('\0') != p.size())
            store(lc, QStringLiteral("Network"), 0, p);
        return Upload(r, stored(lc, QStringLiteral("Network")));
    }

    Reply actuateOrUps(const Request &r)
    {
        const int lc = r.head.target;
        const QByteArray p = payload(r);
        if (p.size() == int(sizeof(TActuateVar))) {
            store(lc, QStringLiteral("ActuateVar"), 0, p);
            return Head(r, 221);
        }
        Reply reply = Head(r, 221);
        reply.data.append(char(At(p, 0)));
        switch (At(p, 0)) {
        case 48:
            if (p.size() == 1) {
                reply.data += stored(lc, QStringLiteral("UPSStatus"));
                return reply;
            }
            break;
        case 49:
            if (p.size() == 2) {
                store(lc, QStringLiteral("UPSControl"), 0, p.mid(1));
                reply.data += p.mid(1);
                return reply;
            }
            break;
        case 50:
            if (p.size() == 1) {
                reply.data += stored(lc, QStringLiteral("UPSVendor"));
                return reply;
            }
            break;
        default:
            break;
        }
        db.protocolError(lc, 220, QStringLiteral("%1 data bytes beginning %2").arg(p.size()).arg(At(p, 0)));
        return Head(r, 221);
    }

    Reply extCmd(const Request &r)
    {
        const int lc = r.head.target;
        const QByteArray p = payload(r);
        if (p.size() != int(sizeof(TExtendCommand)))
            db.protocolError(lc, 98, QStringLiteral("%1 data bytes").arg(p.size()));
        else
            store(lc, QStringLiteral("ExtCmd"), 0, p);
        return Head(r, 99);
    }

    Reply plainUpload(const Request &r, const QString &name, int at = 0, int size = -1)
    {
        const int lc = r.head.target;
        if (!payload(r).isEmpty()) {
            db.protocolError(lc, r.head.opcode, QStringLiteral("%1 unexpected data bytes").arg(payload(r).size()));
            return Head(r, r.head.opcode + 1);
        }
        const QByteArray b = stored(lc, name);
        return Upload(r, size < 0 ? b : b.mid(at, size));
    }
};

ControllerDb::ControllerDb(const CtrlDbSource &source) : FSource(source) {}

ControllerDb::~ControllerDb()
{
    for (const QString &name : std::as_const(FConnections))
        QSqlDatabase::removeDatabase(name);
}

QStringList ControllerDb::blockNames()
{
    return {QStringLiteral("StartUpCode"), QStringLiteral("Clock"), QStringLiteral("SignalMap"),
            QStringLiteral("FlashMap"), QStringLiteral("Detector"), QStringLiteral("DayPlan"),
            QStringLiteral("WeekPlan"), QStringLiteral("HoliDayPlan"), QStringLiteral("FunctionTable"),
            QStringLiteral("InOutPed"), QStringLiteral("ConflictMap"), QStringLiteral("CarTimer"),
            QStringLiteral("CarTimerStatus"), QStringLiteral("VMSMsgs"), QStringLiteral("VMSSchds"),
            QStringLiteral("SpillBacks"), QStringLiteral("SystemBank1"), QStringLiteral("SystemBank2"),
            QStringLiteral("Network"), QStringLiteral("Devices"), QStringLiteral("ExtCmd"),
            QStringLiteral("ActuateVar"), QStringLiteral("UPSStatus"), QStringLiteral("UPSVendor"),
            QStringLiteral("UPSControl"), QStringLiteral("DumpInfo"), QStringLiteral("History")};
}

int ControllerDb::blockSize(const QString &name, TLcTypeEx type)
{
    const bool t2004 = type == lct2004;
    static const QMap<QString, int> fixed = {
        {QStringLiteral("Clock"), ClockSize},
        {QStringLiteral("Detector"), DetectorSize},
        {QStringLiteral("DayPlan"), DayPlanSize},
        {QStringLiteral("WeekPlan"), WeekPlanSize},
        {QStringLiteral("HoliDayPlan"), HoliDayPlanSize},
        {QStringLiteral("FunctionTable"), int(sizeof(FunctionTables))},
        {QStringLiteral("InOutPed"), int(sizeof(InOutPed))},
        {QStringLiteral("ConflictMap"), ConflictMapSize},
        {QStringLiteral("CarTimer"), int(sizeof(TCarTimer))},
        {QStringLiteral("CarTimerStatus"), int(sizeof(TCarTimerStatus))},
        {QStringLiteral("VMSMsgs"), int(sizeof(TVMSMsgs))},
        {QStringLiteral("VMSSchds"), int(sizeof(TVMSSchds))},
        {QStringLiteral("SpillBacks"), int(sizeof(TSpillBacks))},
        {QStringLiteral("SystemBank1"), SystemBankSize},
        {QStringLiteral("SystemBank2"), SystemBankSize},
        {QStringLiteral("Network"), int(sizeof(TNetwork))},
        {QStringLiteral("Devices"), int(sizeof(TDevices))},
        {QStringLiteral("ExtCmd"), int(sizeof(TExtendCommand))},
        {QStringLiteral("ActuateVar"), int(sizeof(TActuateVar))},
        {QStringLiteral("UPSStatus"), int(sizeof(TUPSStatus))},
        {QStringLiteral("UPSVendor"), int(sizeof(TUPSVendor))},
        {QStringLiteral("UPSControl"), 1},
        {QStringLiteral("DumpInfo"), int(sizeof(TDumpInfo))},
        {QStringLiteral("History"), DumpHistoryRing * HistoryEntrySize},
    };
    if (name == QLatin1String("StartUpCode"))
        return t2004 ? StartUpCode2004Size : StartUpCode2010Size;
    if (name == QLatin1String("SignalMap"))
        return SignalMapSize(type);
    if (name == QLatin1String("FlashMap"))
        return t2004 ? FlashMap2004Size : FlashMap2010Size;
    return fixed.value(name, -1);
}

QSqlDatabase ControllerDb::connection()
{
    const QString name = QStringLiteral("rcsim_ctrldb_%1_%2")
                             .arg(quintptr(this), 0, 16)
                             .arg(quintptr(QThread::currentThread()), 0, 16);
    if (QSqlDatabase::contains(name))
        return QSqlDatabase::database(name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
    {
        QMutexLocker lock(&FMutex);
        FConnections << name;
    }
    db.setDatabaseName(FSource.database);
    db.setUserName(FSource.user);
    db.setPassword(FSource.password);
    if (!FSource.socket.isEmpty()) {
        db.setConnectOptions(QStringLiteral("UNIX_SOCKET=%1").arg(FSource.socket));
    } else {
        db.setHostName(FSource.host);
        db.setPort(FSource.port);
    }
    db.open();
    return db;
}

ControllerDb::Controller &ControllerDb::controller(int lcNo)
{
    auto it = FControllers.find(lcNo);
    if (it != FControllers.end())
        return *it;
    Controller c;
    if (!FSource.database.isEmpty()) {
        FMutex.unlock(); // the look-up may take a while
        c.type = SelectLcTypeEx(connection(), lcNo);
        FMutex.lock();
        it = FControllers.find(lcNo);
        if (it != FControllers.end())
            return *it;
    }
    for (const QString &name : blockNames())
        c.blocks.insert(name, QByteArray(blockSize(name, c.type), 0));
    return *FControllers.insert(lcNo, c);
}

QByteArray ControllerDb::block(int lcNo, const QString &name)
{
    QMutexLocker lock(&FMutex);
    return controller(lcNo).blocks.value(name);
}

bool ControllerDb::setBlock(int lcNo, const QString &name, const QByteArray &bytes, QString *error)
{
    QMutexLocker lock(&FMutex);
    Controller &c = controller(lcNo);
    const int size = blockSize(name, c.type);
    if (size < 0 || bytes.size() != size) {
        if (error)
            *error = size < 0 ? QStringLiteral("no block %1").arg(name)
                              : QStringLiteral("%1 holds %2 bytes, not %3").arg(name).arg(size).arg(bytes.size());
        return false;
    }
    c.blocks[name] = bytes;
    return true;
}

TLcTypeEx ControllerDb::controllerType(int lcNo)
{
    QMutexLocker lock(&FMutex);
    return controller(lcNo).type;
}

QStringList ControllerDb::protocolErrors() const
{
    QMutexLocker lock(&FMutex);
    return FProtocolErrors;
}

void ControllerDb::clear()
{
    QMutexLocker lock(&FMutex);
    FControllers.clear();
    FProtocolErrors.clear();
}

void ControllerDb::protocolError(int lcNo, int opcode, const QString &why)
{
    QMutexLocker lock(&FMutex);
    FProtocolErrors << QStringLiteral("intersection %1, request %2: %3").arg(lcNo).arg(opcode).arg(why);
}

bool ControllerDb::loadSeed(const QString &file, QString *error)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(file, f.errorString());
        return false;
    }
    int lineNo = 0;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        ++lineNo;
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList w = line.simplified().split(QLatin1Char(' '));
        QString answer;
        bool ok = false;
        if (w.size() < 2 || w.at(0) != QLatin1String("db") || w.at(1) != QLatin1String("set")
            || !command(w, &answer, &ok) || !ok) {
            if (error)
                *error = QStringLiteral("%1:%2: %3").arg(file).arg(lineNo).arg(answer.isEmpty() ? line : answer);
            return false;
        }
    }
    return true;
}

bool ControllerDb::command(const QStringList &w, QString *answer, bool *ok)
{
    if (w.isEmpty() || w.at(0) != QLatin1String("db"))
        return false;
    *ok = true;
    const QString sub = w.value(1);
    bool numOk = false;
    const int lc = w.value(2).toInt(&numOk);
    if (sub == QLatin1String("get") && w.size() == 4 && numOk) {
        const QByteArray b = block(lc, w.at(3));
        *ok = !b.isEmpty();
        *answer = *ok ? QString::fromLatin1(b.toHex()) : QStringLiteral("no block %1").arg(w.at(3));
    } else if (sub == QLatin1String("set") && w.size() == 5 && numOk) {
        QString error;
        *ok = setBlock(lc, w.at(3), QByteArray::fromHex(w.at(4).toLatin1()), &error);
        *answer = *ok ? QStringLiteral("%1 of %2 set").arg(w.at(3)).arg(lc) : error;
    } else if (sub == QLatin1String("type") && w.size() == 3 && numOk) {
        *answer = TypeName(controllerType(lc));
    } else if (sub == QLatin1String("errors") && w.size() == 2) {
        const QStringList errors = protocolErrors();
        *answer = errors.isEmpty() ? QStringLiteral("no protocol errors") : errors.join(QLatin1Char('\n'));
    } else if (sub == QLatin1String("clear") && w.size() == 2) {
        clear();
        *answer = QStringLiteral("controller database cleared");
    } else if (sub == QLatin1String("seed") && w.size() == 3) {
        QString error;
        *ok = loadSeed(w.at(2), &error);
        *answer = *ok ? QStringLiteral("seed %1 loaded").arg(w.at(2)) : error;
    } else {
        *ok = false;
        *answer = QStringLiteral("db commands: get <lc> <block>, set <lc> <block> <hex>, type <lc>, "
                                 "errors, clear, seed <file>");
    }
    return true;
}

void ControllerDb::install(RcSim &sim)
{
    auto h = std::make_shared<ControllerDbHandlers>(ControllerDbHandlers{*this});
    for (int op : {160, 64, 192, 164, 168, 180, 196, 202, 208, 212})
        sim.setHandler(quint8(op), [h](const Request &r) { return h->centreDownload(r); });
    sim.setHandler(176, [h](const Request &r) { return h->dayPlanDownload(r); });
    sim.setHandler(188, [h](const Request &r) { return h->signalMapDownload(r); });
    sim.setHandler(82, [h](const Request &r) { return h->optionBoardDownload(r); });
    sim.setHandler(84, [h](const Request &r) { return h->optionBoardUpload(r); });
    sim.setHandler(98, [h](const Request &r) { return h->extCmd(r); });
    sim.setHandler(218, [h](const Request &r) { return h->network(r); });
    sim.setHandler(220, [h](const Request &r) { return h->actuateOrUps(r); });
    sim.setHandler(178, [h](const Request &r) { return h->dayPlanUpload(r); });
    sim.setHandler(190, [h](const Request &r) { return h->signalMapUpload(r); });
    const QList<QPair<int, QString>> plain = {
        {162, QStringLiteral("StartUpCode")}, {66, QStringLiteral("Clock")},
        {166, QStringLiteral("HoliDayPlan")}, {170, QStringLiteral("WeekPlan")},
        {182, QStringLiteral("FunctionTable")}, {194, QStringLiteral("FlashMap")},
        {210, QStringLiteral("InOutPed")}, {214, QStringLiteral("ConflictMap")},
        {216, QStringLiteral("Devices")}, {100, QStringLiteral("ExtCmd")}};
    for (const auto &p : plain) {
        const QString name = p.second;
        sim.setHandler(quint8(p.first), [h, name](const Request &r) { return h->plainUpload(r, name); });
    }
    sim.setHandler(198, [h](const Request &r) {
        return h->plainUpload(r, QStringLiteral("Detector"), 0, 32 * DetectorEntrySize);
    });
    sim.setHandler(204, [h, this](const Request &r) {
        if (controllerType(r.head.target) == lct2004) {
            protocolError(r.head.target, 204, QStringLiteral("a 2004 controller has no channels 33-64"));
            return ControllerDbHandlers::Head(r, 205);
        }
        return h->plainUpload(r, QStringLiteral("Detector"), 32 * DetectorEntrySize, 32 * DetectorEntrySize);
    });
    sim.setCommandHook([this](const QStringList &w, QString *answer, bool *ok) { return command(w, answer, ok); });
}

} // namespace rcsim
