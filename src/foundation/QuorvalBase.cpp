// Utility library: value helpers, bit fields, colours, folders, CRC-32 and periods.
#include "foundation/QuorvalBase.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QStandardPaths>

#include <zlib.h>

#include <cmath>
#include <limits>

// ===========================================================================
// Small value helpers
// ===========================================================================

int VarToIntDef(const QVariant &value, int defaultValue)
{
    if (!value.isValid() || value.isNull())
        return defaultValue;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return value.toInt();
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong: {
        bool ok = false;
        const qlonglong v = value.toLongLong(&ok);
        if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            return defaultValue;
        return int(v);
    }
    case QMetaType::ULongLong: {
        const qulonglong v = value.toULongLong();
        return v > qulonglong(std::numeric_limits<int>::max()) ? defaultValue : int(v);
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || d < std::numeric_limits<int>::min()
            || d > std::numeric_limits<int>::max())
            return defaultValue;
        return int(d);
    }
    default:
        break;
    }
    if (!value.canConvert<QString>())
        return defaultValue;
    const QString s = value.toString().trimmed();
    if (s.isEmpty())
        return defaultValue;
    bool ok = false;
    const int v = s.toInt(&ok, 10);
    return ok ? v : defaultValue;
}

QStringList Split(const QString &text, const QString &separator)
{
    if (text.isEmpty())
        return QStringList();
    if (separator.isEmpty())
        return QStringList{text};
    return text.split(separator, Qt::KeepEmptyParts);
}

QStringList Split(const QString &text, QChar separator)
{
    return Split(text, QString(separator));
}

QString GetByteToStr(quint8 value, int width)
{
    return QStringLiteral("%1").arg(uint(value), qBound(0, width, 3), 10, QLatin1Char('0'));
}

// ===========================================================================
// Bit fields
// ===========================================================================

namespace {

// Mask of the field at its place in a value of `bits` bits; 0 for an empty field.
quint32 fieldMask(int index, int bits, int *start)
{
    *start = (index >> 8) & 0xFF;
    int width = index & 0xFF;
    if (*start >= bits || width <= 0)
        return 0;
    width = qMin(width, bits - *start);
    return ((quint32(1) << width) - 1) << *start;
}

} // namespace

quint8 GetBitsByOneByte(quint8 value, int index)
{
    int start = 0;
    const quint32 mask = fieldMask(index, 8, &start);
    return quint8((value & mask) >> start);
}

quint8 SetBitsToOneByte(quint8 byte, int index, quint8 value)
{
    int start = 0;
    const quint32 mask = fieldMask(index, 8, &start);
    return quint8((byte & ~mask) | ((quint32(value) << start) & mask));
}

quint16 GetBitsByOneWord(quint16 value, int index)
{
    int start = 0;
    const quint32 mask = fieldMask(index, 16, &start);
    return quint16((value & mask) >> start);
}

quint16 SetBitsToOneWord(quint16 word, int index, quint16 value)
{
    int start = 0;
    const quint32 mask = fieldMask(index, 16, &start);
    return quint16((word & ~mask) | ((quint32(value) << start) & mask));
}

// ===========================================================================
// Colours
// ===========================================================================

QString TColorToHex(const QColor &colour)
{
    const QColor c = colour.toRgb();
    return QStringLiteral("%1%2%3")
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QColor HexToTColor(const QString &text, const QColor &fallback)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('#')))
        t.remove(0, 1);
    if (t.size() != 6)
        return fallback;
    bool ok = false;
    const uint v = t.toUInt(&ok, 16);
    if (!ok)
        return fallback;
    for (QChar ch : t)
        if (!isxdigit(ch.toLatin1()))
            return fallback;
    return QColor(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF));
}

QColor TColorToQColor(quint32 tcolor)
{
    return QColor(int(tcolor & 0xFF), int((tcolor >> 8) & 0xFF), int((tcolor >> 16) & 0xFF));
}

quint32 QColorToTColor(const QColor &colour)
{
    const QColor c = colour.toRgb();
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}

// ===========================================================================
// Folders, hosts, displays
// ===========================================================================

QString GetAppDataPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/signal-console");
    QDir().mkpath(dir);
    dir = QDir::cleanPath(dir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString GetDeskTopPath()
{
    const QString desk = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desk.isEmpty() && QDir(desk).exists())
        return QDir::cleanPath(desk);
    return QDir::cleanPath(QDir::homePath());
}

QString GetIPFromHost(const QString &host)
{
    const QString h = host.trimmed();
    if (h.isEmpty())
        return QString();
    QHostAddress literal;
    if (literal.setAddress(h) && literal.protocol() == QAbstractSocket::IPv4Protocol)
        return literal.toString();
    const QHostInfo info = QHostInfo::fromName(h);
    if (info.error() == QHostInfo::NoError) {
        for (const QHostAddress &a : info.addresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol)
                return a.toString();
            bool ok = false;
            const quint32 v4 = a.toIPv4Address(&ok); // IPv4-mapped IPv6
            if (ok)
                return QHostAddress(v4).toString();
        }
    }
    return h;
}

// ===========================================================================
// CRC-32
// ===========================================================================

quint32 GetCRC32Value(const QByteArray &data)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const uInt chunk = uInt(qMin<qsizetype>(left, 1 << 30));
        crc = crc32(crc, reinterpret_cast<const Bytef *>(p), chunk);
        p += chunk;
        left -= chunk;
    }
    return quint32(crc);
}

QString CRC32ToHex(quint32 crc)
{
    return QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper();
}

namespace {

bool crcOfFile(const QString &fileName, quint32 *out)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    uLong crc = crc32(0L, Z_NULL, 0);
    QByteArray buf;
    while (!f.atEnd()) {
        buf = f.read(1 << 20);
        if (buf.isEmpty() && f.error() != QFileDevice::NoError)
            return false;
        crc = crc32(crc, reinterpret_cast<const Bytef *>(buf.constData()), uInt(buf.size()));
    }
    if (f.error() != QFileDevice::NoError)
        return false;
    *out = quint32(crc);
    return true;
}

} // namespace

QString GetCRC32(const QString &fileName)
{
    quint32 crc = 0;
    if (!crcOfFile(fileName, &crc))
        return QString();
    return QLatin1Char('$') + CRC32ToHex(crc);
}

QString GetCRC32Hex(const QString &fileName)
{
    quint32 crc = 0;
    if (!crcOfFile(fileName, &crc))
        return QString();
    return CRC32ToHex(crc);
}

// ===========================================================================
// Periods
// ===========================================================================

bool ValidateSearchDate(const QDateTime &start, const QDateTime &end)
{
    return start.isValid() && end.isValid() && start < end;
}

bool ValidateSearchDate(const QDate &startDate, const QDate &endDate,
                        const QTime &startTime, const QTime &endTime)
{
    if (!startDate.isValid() || !endDate.isValid() || !startTime.isValid() || !endTime.isValid())
        return false;
    // Compared as local wall-clock instants without time-zone shifts.
    return ValidateSearchDate(QDateTime(startDate, startTime, Qt::UTC),
                              QDateTime(endDate, endTime, Qt::UTC));
}

// ===========================================================================