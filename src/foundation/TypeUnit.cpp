#include "foundation/TypeUnit.h"

#include <cstring>

QString CutToCapacity(const QString &text, int capacity)
{
    if (capacity <= 0)
        return QString();
    if (text.size() <= capacity)
        return text;
    qsizetype n = capacity;
    // Never keep the high half of a surrogate pair without its low half.
    if (text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

// ---------------------------------------------------------------------------

TDBInfo::TDBInfo(const TDBInfo &o)
    : UserID(o.UserID), UserPW(o.UserPW), Server(o.Server), Port(o.Port),
      ConnectString(o.ConnectString), GeoMetry(o.GeoMetry), IsServiceName(o.IsServiceName),
      DBType(o.DBType), SID(o.SID)
{
}

TDBInfo &TDBInfo::operator=(const TDBInfo &o)
{
    if (this != &o) {
        UserID = o.UserID;
        UserPW = o.UserPW;
        Server = o.Server;
        Port = o.Port;
        ConnectString = o.ConnectString;
        GeoMetry = o.GeoMetry;
        IsServiceName = o.IsServiceName;
        DBType = o.DBType;
        SID = o.SID; // DataSource and DBName stay bound to this record's own storage
    }
    return *this;
}

// ---------------------------------------------------------------------------

bool TMapBounds::IsEmpty() const
{
    return FSouth.trimmed().isEmpty() || FWest.trimmed().isEmpty()
        || FNorth.trimmed().isEmpty() || FEast.trimmed().isEmpty();
}

bool TInAppMessage::Any() const
{
    return REFRESH_MVMT_TCDV_M || REFRESH_SA_MASTER || REFRESH_SA_CONF || REFRESH_TCDV_MASTER
        || REFRESH_TCDV_TOD || REFRESH_TFDT_MASTER || REFRESH_APPLICATION;
}

void TInAppMessage::Clear()
{
    *this = TInAppMessage();
}

// ---------------------------------------------------------------------------
// Selections

namespace {

// Index of the last match among the first `count` entries (bounded by the array).
int lastIndexIn(const QList<int> &ids, int count, int value)
{
    const int n = qMin<qsizetype>(count, ids.size());
    for (int i = n - 1; i >= 0; --i)
        if (ids.at(i) == value)
            return i;
    return -1;
}

} // namespace

void TVIPCtrlSel::SetSelCount(int Value)
{
    const int n = qMax(0, Value);
    FSelCount = n;
    FSelLcId.resize(n);      // new entries value-initialised to 0
    FSelPhaseNo.resize(n);
}

int TVIPCtrlSel::Exist(int Value) const
{
    return lastIndexIn(FSelLcId, FSelCount, Value);
}

int TVIPCtrlSel::Delete(int Value)
{
    const int i = Exist(Value);
    if (i < 0)
        return -1;
    FSelLcId.removeAt(i);
    if (i < FSelPhaseNo.size())
        FSelPhaseNo.removeAt(i);
    --FSelCount;
    return i;
}

void TTrafficInfoSel::SetSelCount(int Value)
{
    const int n = qMax(0, Value);
    FSelCount = n;
    FSelLcId.resize(n);
}

int TTrafficInfoSel::Exist(int Value) const
{
    return lastIndexIn(FSelLcId, FSelCount, Value);
}

int TTrafficInfoSel::Delete(int Value)
{
    const int i = Exist(Value);
    if (i < 0)
        return -1;
    FSelLcId.removeAt(i);
    --FSelCount;
    return i;
}

// ---------------------------------------------------------------------------
// Common extended command

void TCommonCmd::Init()
{
    std::memset(&Header, 0, sizeof(Header));
    Data.clear();
}

QByteArray TCommonCmd::HeaderBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(&Header), HEADER_SIZE);
}

QByteArray TCommonCmd::GetByteArray() const
{
    QByteArray out;
    out.reserve(PacketSize());
    out.append(reinterpret_cast<const char *>(&Header), HEADER_SIZE);
    out.append(Data);
    return out;
}

namespace {

// UTF-8 bytes of `text` cut to the whole characters that fit into `width` bytes.
QByteArray utf8Fitting(const QString &text, int width, bool *cut)
{
    QByteArray bytes = text.toUtf8();
    *cut = false;
    if (bytes.size() <= width)
        return bytes;
    *cut = true;
    qsizetype n = width;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (n > 0 && (quint8(bytes.at(n)) & 0xC0) == 0x80)
        --n;
    return bytes.left(n);
}

} // namespace

bool TCommonCmd::SetCmd(const QString &Value)
{
    bool cut = false;
    const QByteArray b = utf8Fitting(Value, int(sizeof(Header.Cmd)), &cut);
    std::memcpy(Header.Cmd, b.constData(), size_t(b.size()));
    return !cut;
}

bool TCommonCmd::SetDesc(const QString &Value)
{
    bool cut = false;
    const QByteArray b = utf8Fitting(Value, int(sizeof(Header.Desc)), &cut);
    std::memcpy(Header.Desc, b.constData(), size_t(b.size()));
    return !cut;
}
