#pragma once
// The console's utility library: message boxes, small value helpers, bit fields,
// colours, folders, CRC-32, the SQL dialect builders, table copy, blocking socket
// helpers for worker threads, period checks, drawing helpers, opening written
// workbooks and the operator password cipher.
//
// Grid helpers (InitTableView, GetStateVal, DelExecute, Validate on a grid...) live
// with the grid kit, not here.

#include <QByteArray>
#include <QColor>
#include <QDate>
#include <QList>
#include <QMutex>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <stdexcept>

#include "TypeUnit.h"

class QWidget;
class QPainter;
class QSqlQuery;
class QTcpSocket;
class QAbstractSocket;

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
// Message boxes
// ===========================================================================

enum TMsgDlgKind { mkQuestion = 0, mkWarning = 1, mkError = 2, mkInformation = 3 };

// Answers of ShowMsgDlg.
constexpr int mrOk = 1;
constexpr int mrCancel = 2; // question box closed without an answer
constexpr int mrYes = 6;
constexpr int mrNo = 7;

// One request for a message box.
struct TMsgDlgRequest
{
    QWidget *owner = nullptr;
    QString title;   // window title: the application's title
    QString text;    // the message
    QString caption; // heading of the box
    QString detail;  // optional detail (usually an exception's message)
    TMsgDlgKind kind = mkInformation;
};

// The service behind ShowMsgDlg. The default shows a QMessageBox (on the user-interface
// thread; a call from another thread waits for it there).
class TMsgDlgService
{
public:
    virtual ~TMsgDlgService() = default;
    virtual int Execute(const TMsgDlgRequest &request) = 0;
};

// Installs a service (nullptr: the default QMessageBox service); returns the previous
// one (nullptr when it was the default).
TMsgDlgService *SetMsgDlgService(TMsgDlgService *service);
TMsgDlgService *CurrentMsgDlgService();

// A modal box. Question: Yes 6, No 7, closed 2; every other kind returns 1.
int ShowMsgDlg(QWidget *owner, const QString &title, const QString &text,
               const QString &caption, const QString &detail, TMsgDlgKind kind);

// Scripted answerer for tests: records every box and answers questions from a queue.
// Boxes that are not questions return 1 and take nothing from the queue. A question
// with an empty queue gets the default answer (No, 7, unless changed): the careful
// answer, so a forgotten answer never confirms a deletion.
class ScriptedMsgDlg : public TMsgDlgService
{
public:
    explicit ScriptedMsgDlg(bool installNow = true);
    ~ScriptedMsgDlg() override; // uninstalls itself when installed

    void install();
    void uninstall();
    bool installed() const;

    void enqueue(int answer);
    void enqueue(std::initializer_list<int> answers);
    void setDefaultAnswer(int answer);
    // Called for every request before the queue is consulted; a result >= 0 is the answer.
    void setResponder(std::function<int(const TMsgDlgRequest &)> responder);

    QList<TMsgDlgRequest> requests() const;
    int count() const;
    TMsgDlgRequest last() const; // empty request when none
    int pendingAnswers() const;
    void clear();                // forgets requests and queued answers

    int Execute(const TMsgDlgRequest &request) override;

private:
    mutable QMutex m_mutex;
    QList<TMsgDlgRequest> m_requests;
    QList<int> m_answers;
    int m_defaultAnswer = mrNo;
    std::function<int(const TMsgDlgRequest &)> m_responder;
    TMsgDlgService *m_previous = nullptr;
    bool m_installed = false;
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
// Moves a top-level window onto a visible screen when it lies (mostly) outside all.
void EnsureValidDisplay(QWidget *window);

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
// SQL dialect builders. Oracle and Tibero share the Oracle dialect; MariaDB gets
// its own. Masks are Oracle-style (YYYY, YY, MM, DD, HH24, HH, MI, SS, FF ...) and
// are translated for MariaDB. Every builder pads its text with blanks so that it
// can be glued to the surrounding SQL as it stands. Numbers go into SQL text in the
// C locale.
// ===========================================================================

// The Oracle-style mask as a MariaDB DATE_FORMAT/STR_TO_DATE format.
QString OracleMaskToMariaDB(const QString &mask);

// Date column as text in the mask.
//   bare false: a select item with its alias (else the column's name without table
//               prefix) and a separating comma: " TO_CHAR(T.COL, 'mask') AS COL, "
//   bare true:  the expression alone: " TO_CHAR(T.COL, 'mask') "
// MariaDB: DATE_FORMAT(col, '%...').
QString GetToCharStr(TDBType dbType, const QString &column, bool bare,
                     const QString &alias, const QString &mask);

// Named text parameter (":FROM_DATE") converted to a date-time with the mask;
// withAnd appends " AND " so that two calls form the bounds of a BETWEEN.
// Oracle: TO_DATE, or TO_TIMESTAMP when the mask has fractional seconds (FF).
// MariaDB: STR_TO_DATE.
QString GetToDateStr(TDBType dbType, const QString &paramName, bool withAnd,
                     const QString &mask);

// The expressions joined as text, under the alias when given; trailingComma adds ", ".
// Oracle: (a || b). MariaDB: CONCAT_WS('', a, b): like Oracle's ||, a NULL part
// counts as empty instead of making the whole text NULL.
QString GetConcat(TDBType dbType, const QStringList &expressions,
                  const QString &alias = QString(), bool trailingComma = false);

// An expression as a character value of `length` characters at most.
//   bare true: the expression alone; bare false: with " AS alias" (when given) and,
//   with trailingComma, ", ". Oracle: CAST(x AS VARCHAR2(n)); MariaDB: CAST(x AS CHAR(n)).
QString GetCastStr(TDBType dbType, const QString &expression, bool bare,
                   const QString &alias, bool trailingComma, int length);

// A row limit as a condition, so that it can follow any WHERE condition:
//   form rnfAnd (0):   " AND ROWNUM <= n "      (MariaDB: " AND ROWNUM() <= n ")
//   form rnfWhere (1): " WHERE ROWNUM <= n "    for a statement without WHERE
// MariaDB's ROWNUM() (10.6 and later) counts the accepted rows like Oracle's ROWNUM,
// so no LIMIT clause has to be placed at the end of the statement.
constexpr int rnfAnd = 0;
constexpr int rnfWhere = 1;
QString GetRowNumStr(TDBType dbType, int count, int form = rnfAnd);

// A column name as the database type accepts it in an INSERT list or SET clause:
// MariaDB gets it in back quotes (SSL is a reserved word there), each part of a
// dotted name quoted on its own; Oracle and Tibero get it unchanged.
QString GetMariaDBColumName(TDBType dbType, const QString &column);

// Replaces the target's rows of `table` by a copy of the source's rows with the key
// column set to the target, using the caller's query (its connection and open
// transaction). Values are bound; names are checked to be plain identifiers. The same
// source and target leave the table as it is. Throws EUtilityError on failure.
void CopyTable(QSqlQuery &query, TDBType dbType, const QString &table,
               const QString &keyColumn, const QVariant &source, const QVariant &target);

// ===========================================================================
// Blocking socket helpers (for worker threads)
// ===========================================================================

// Default time-outs (ms) used when a socket carries none of its own.
constexpr int DefaultSocketReadTimeoutMs = 5000;
constexpr int DefaultSocketWriteTimeoutMs = 5000;
// Per-socket time-outs, kept as properties of the socket ("scReadTimeout",
// "scWriteTimeout"). A read time-out limits each wait for more bytes.
void SetSocketReadTimeout(QAbstractSocket *socket, int ms);
void SetSocketWriteTimeout(QAbstractSocket *socket, int ms);
int SocketReadTimeout(const QAbstractSocket *socket);
int SocketWriteTimeout(const QAbstractSocket *socket);

// Connects within the time-out; true when connected.
bool ConnectSocket(QTcpSocket *client, const QString &host, quint16 port, int connectTimeoutMs);
// Sends all bytes (waiting until written); true on success.
bool SendBuffer_TIdBytes(QTcpSocket *client, const QByteArray &bytes);
// Reads exactly n bytes into `bytes` (resized to n); false when the connection
// fails or no byte arrives within the read time-out. n <= 0 reads nothing and
// succeeds with an empty array.
bool ReceiveBuffer_TIdBytes_Size(QTcpSocket *client, QByteArray &bytes, int n);
// Drops whatever is waiting in the input buffer.
void ClearInputBuffer(QTcpSocket *client);
// Closes the connection (gracefully, then at once when it does not close).
void Disconnect(QTcpSocket *client);

// ===========================================================================
// Periods
// ===========================================================================

// True when the period may be searched: both instants valid and the start strictly
// before the end (equal instants are refused).
bool ValidateSearchDate(const QDate &startDate, const QDate &endDate,
                        const QTime &startTime, const QTime &endTime);
bool ValidateSearchDate(const QDateTime &start, const QDateTime &end);

// ===========================================================================
// Drawing
// ===========================================================================

// One movement arrow in a rectangle: a smooth curve from the approach side (head
// angle) through the centre to the exit (end angle) with an arrow head. Angles in
// degrees, compass style (0 up, clockwise). Pedestrian movements are a dashed
// double-headed line. The rectangle is filled with the background colour first.
void DrawSmoothMvmt(QPainter *painter, const QRect &rect, bool pedestrian,
                    double headAngle, double endAngle, const QColor &background,
                    const QColor &arrowColour);
// A vertical gradient from startColour (top) to endColour (bottom).
void DrawGradientRect(QPainter *painter, const QRect &rect, const QColor &startColour,
                      const QColor &endColour);

// The left (P1) and right (P2) halves of a three-lamp flash-map cell.
QRect GetP1Bounds(const QRect &cell);
QRect GetP2Bounds(const QRect &cell);
// Its text split at the first ";": "RF;X" gives "RF" and "X"; without ";" the whole
// text is the first half and the second is empty.
void GetP1P2Str(const QString &text, QString &first, QString &second);

// ===========================================================================
// Opening a written workbook
// ===========================================================================

// Asks (question box: text `question`, heading `caption`, window title the
// application's display name); on Yes opens the file with `spreadsheetProgram`, or with
// the desktop's default program when that is empty (the usual case). True when opened.
bool OpenExcel(QWidget *owner, const QString &fileName, const QString &spreadsheetProgram,
               const QString &question, const QString &caption);
// The opener behind OpenExcel, replaceable for tests (nullptr restores the default:
// QProcess for a program, QDesktopServices::openUrl otherwise). Returns true when opened.
using TFileOpener = std::function<bool(const QString &fileName, const QString &program)>;
void SetFileOpener(TFileOpener opener);

// ===========================================================================
// Operator password cipher
//
// Stored text: "SC1:" + base64(nonce[24] + XSalsa20-Poly1305 box of the UTF-8 password),
// libsodium's crypto_secretbox. The 32-byte key is kept outside the database, in a
// key file: by default "signal-console.key" beside the program, or the file named by
// the environment variable SC_PASSWORD_KEY_FILE; code (tests) may set the file or the
// key itself. Key file: 64 hexadecimal digits (blanks and line ends ignored) or exactly
// 32 raw bytes. A missing or malformed key file, a wrong key and a tampered or malformed
// stored text are errors; nothing ever falls back to plain text.
// ===========================================================================

constexpr int PasswordKeySize = 32;
QString Encrypt(const QByteArray &passwordUtf8);
QString Encrypt(const QString &password);
QString Decrypt(const QString &stored);
// The second decipher routine of the login. There is one cipher here, so it reads
// the same stored form as Decrypt.
QString DecryptByLockBox(const QString &stored);
// Non-throwing form.
bool TryDecrypt(const QString &stored, QString *password, QString *error = nullptr);

// The key file in use (SetPasswordKeyFile, else SC_PASSWORD_KEY_FILE, else beside the program).
QString PasswordKeyFile();
void SetPasswordKeyFile(const QString &path); // empty: back to the default lookup
void SetPasswordKey(const QByteArray &key);   // 32 bytes; takes precedence over any file
void ResetPasswordKey();                      // forgets a set key and a set file
// Reads a key file; false with a reason when missing or malformed.
bool LoadPasswordKeyFile(const QString &path, QByteArray *key, QString *error = nullptr);
QByteArray GeneratePasswordKey();
// The key file text of a key (64 hexadecimal digits and a line end).
QByteArray PasswordKeyFileText(const QByteArray &key);
