#pragma once
// The utility library's parts that need no window: errors, small value helpers,
// bit fields, colours, folders and hosts, CRC-32 and period checks.
#include <QByteArray>
#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <stdexcept>



// Failure of a utility routine that the caller has to see (CopyTable, the cipher).
class EUtilityError : public std::runtime_error
{
public:
    explicit EUtilityError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// The password cipher refused: missing or unreadable key, wrong key, tampered or
// malformed stored text.
class EPasswordCipherError : public EUtilityError
{
public:
    using EUtilityError::EUtilityError;
};


// ===========================================================================
// Small value helpers
// ===========================================================================

template <class T>
inline T IIF(bool condition, const T &ifTrue, const T &ifFalse)
{
    return condition ? ifTrue : ifFalse;
}
inline QString IIF(bool condition, const char *ifTrue, const char *ifFalse)
{
    return QString::fromUtf8(condition ? ifTrue : ifFalse);
}
inline QString IIF(bool condition, const QString &ifTrue, const char *ifFalse)
{
    return condition ? ifTrue : QString::fromUtf8(ifFalse);
}
inline QString IIF(bool condition, const char *ifTrue, const QString &ifFalse)
{
    return condition ? QString::fromUtf8(ifTrue) : ifFalse;
}

// The integer value of a variant; the default when it is empty, null, not a whole
// number or out of range. Texts are trimmed ("  12 " is 12, "12.5" and "1e3" are not
// numbers); a double counts when it is whole; a Boolean gives 1 or 0.
int VarToIntDef(const QVariant &value, int defaultValue);

// The parts of a text between separators, in order, empty parts kept ("a,,b" gives
// "a", "", "b"; "a," gives "a", ""). An empty text gives an empty list.
QStringList Split(const QString &text, const QString &separator);
QStringList Split(const QString &text, QChar separator);

// A byte as decimal text, zero-padded to at least `width` digits.
QString GetByteToStr(quint8 value, int width = 1);

// ===========================================================================
// Bit fields: index = start bit x 256 + width (bit 0 the least significant).
// 1793 is bit 7, 7 bits 0..6, 4 bits 0..3, 1028 bits 4..7. A field reaching past
// the top bit is cut there; width 0 reads 0 and writes nothing. A write changes only
// the field's bits; the value is cut to the field's width.
// ===========================================================================

quint8 GetBitsByOneByte(quint8 value, int index);
quint8 SetBitsToOneByte(quint8 byte, int index, quint8 value);
quint16 GetBitsByOneWord(quint16 value, int index);
quint16 SetBitsToOneWord(quint16 word, int index, quint16 value);
inline constexpr int BitFieldIndex(int startBit, int width) { return startBit * 256 + width; }

// ===========================================================================
// Colours
// ===========================================================================

// Six hexadecimal digits, red first, upper case, without "#": QColor(255,0,0) -> "FF0000".
QString TColorToHex(const QColor &colour);
// The reverse; accepts a leading "#". Anything else than six hexadecimal digits gives
// `fallback` (invalid colour by default), e.g. the "------" of an unknown state.
QColor HexToTColor(const QString &text, const QColor &fallback = QColor());
// A colour number as stored by the original data (0x00BBGGRR, blue in the high byte).
QColor TColorToQColor(quint32 tcolor);
quint32 QColorToTColor(const QColor &colour);


// ===========================================================================
// Folders, hosts and displays
// ===========================================================================

// The program's writable application-data folder, created when missing, with a final
// separator.
QString GetAppDataPath();
// The user's desktop folder (no final separator); the home folder where no Desktop
// folder exists.
QString GetDeskTopPath();
// Dotted IPv4 text of a host. A text that already is an IPv4 address is returned as
// it stands. A name that cannot be resolved (or has no IPv4 address) is returned
// unchanged, so the socket can still try it when it connects and report the failure
// there; an empty host gives an empty text.
QString GetIPFromHost(const QString &host);

// ===========================================================================
// CRC-32 (standard: reflected polynomial 0xEDB88320, as zlib and zip compute it)
// ===========================================================================

quint32 GetCRC32Value(const QByteArray &data);
// Of a file: "$" and eight upper-case hexadecimal digits ("$CBF43926"); empty when the
// file cannot be read.
QString GetCRC32(const QString &fileName);
// Of a file: the eight hexadecimal digits without prefix (as the firmware register
// stores them); empty when the file cannot be read.
QString GetCRC32Hex(const QString &fileName);
// Eight upper-case hexadecimal digits of a value.
QString CRC32ToHex(quint32 crc);


// ===========================================================================
// Periods
// ===========================================================================

// True when the period may be searched: both instants valid and the start strictly
// before the end (equal instants are refused).
bool ValidateSearchDate(const QDate &startDate, const QDate &endDate,
                        const QTime &startTime, const QTime &endTime);
bool ValidateSearchDate(const QDateTime &start, const QDateTime &end);

