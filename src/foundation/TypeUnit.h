#pragma once
// Records, enumerations and the small class that every part of the console shares:
// database settings, menus, validation results, generic column descriptions, the
// logged-in operator, map bounds, refresh flags, tree node data, controller types,
// transfer frames, VIP selections and the common extended command.
//
// Unless a record says it is a wire format, it is an in-memory structure: field
// order, widths and meanings matter, byte layout does not. The one wire format here
// is TCommonCmdHeader (30 bytes, no padding).

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <Qt>

#include <cstdint>
#include <functional>

class QAction;

// ---------------------------------------------------------------------------
// Enumerations (one byte each, ordinals from 0 in the order given)
// ---------------------------------------------------------------------------

// Database type of TDBInfo.DBType; selects the SQL dialect.
enum TDBType : quint8 { dtOracle = 0, dtTibero = 1, dtMariaDB = 2 };
// A controller's type and lamp count (2004 type; 2010 type with three or four lamp colours).
enum TLcTypeEx : quint8 { lctNone = 0, lct2004 = 1, lct2010_3L = 2, lct2010_4L = 3 };
// Search mode of the intersection/node picker.
enum TSearchMode : quint8 { smNormal = 0, smNode = 1 };
// One or several intersection monitor windows.
enum TLCMoniteringOption : quint8 { lcmoSingle = 0, lcmoMulti = 1 };
// Which half of a three-lamp flash-map cell is meant.
enum TLsuType2 : quint8 { ltNone = 0, ltP1 = 1, ltP2 = 2 };
// Chart series kind of the chart property window.
enum TSeriesType : quint8 { stSRS_LINE = 0, stSRS_BAR = 1, stSRS_PIE = 2 };
// Ring of a phase grid.
enum TRingType : quint8 { rtNone = 0, rtARing = 1, rtBRing = 2 };
// Start or stop of a VIP phase hold.
enum TRunType : quint8 { rtRun = 0, rtStop = 1 };
// Phase command of one VIP entry.
enum TCommandType : quint8 { ctHold = 0, ctForceOff = 1, ctJump = 2 };
// VIP selection kind.
enum TVIPSelType : quint8 { stOne = 0, stAll = 1 };
// Mode of the main window's emergency-vehicle panel.
enum TAppEmergencyMode : quint8 { aemNormal = 0, aemAdd = 1 };

// ---------------------------------------------------------------------------
// Text of fixed capacity (characters). Longer texts are cut on assignment; a cut
// never leaves half of a surrogate pair behind.
// ---------------------------------------------------------------------------
QString CutToCapacity(const QString &text, int capacity);

template <int N>
class TShortText
{
public:
    static constexpr int Capacity = N;
    TShortText() = default;
    TShortText(const QString &s) : m_value(CutToCapacity(s, N)) {}
    TShortText(const char *s) : m_value(CutToCapacity(QString::fromUtf8(s), N)) {}
    TShortText &operator=(const QString &s) { m_value = CutToCapacity(s, N); return *this; }
    TShortText &operator=(const char *s) { m_value = CutToCapacity(QString::fromUtf8(s), N); return *this; }
    operator QString() const { return m_value; }
    const QString &str() const { return m_value; }
    bool isEmpty() const { return m_value.isEmpty(); }
    int size() const { return int(m_value.size()); }
    QString trimmed() const { return m_value.trimmed(); }
    friend bool operator==(const TShortText &a, const TShortText &b) { return a.m_value == b.m_value; }
    friend bool operator==(const TShortText &a, const QString &b) { return a.m_value == b; }
    friend bool operator==(const QString &a, const TShortText &b) { return a == b.m_value; }

private:
    QString m_value;
};

// ---------------------------------------------------------------------------
// Records of the general unit
// ---------------------------------------------------------------------------

// Result of a validation: rtn true means valid; otherwise msg holds the text to show.
struct TRtnBoolStr
{
    bool rtn = true;
    QString msg;
};

// One column of the generic look-up dialog. RepositoryItem names a shared grid
// editor of the grid kit (empty: none).
struct TAutoColumnInfo
{
    QString Caption;
    int Width = 0;                                       // pixels
    Qt::Alignment HeaderHorizontalAlign = Qt::AlignLeft; // left, right or centre
    QString RepositoryItem;
    bool Visible = true;
};

// The database settings. Texts have a fixed capacity in characters and are cut
// when longer. SID (Oracle), DataSource (Tibero's ODBC data source) and DBName
// (MariaDB's database name) are three names of one and the same storage.
struct TDBInfo
{
    TShortText<20> UserID;
    TShortText<32> UserPW;
    TShortText<255> Server;
    TShortText<10> Port;
    TShortText<255> ConnectString;
    bool GeoMetry = false;
    bool IsServiceName = false; // the Oracle name is a service name, not a SID
    TDBType DBType = dtOracle;
    TShortText<50> SID;
    TShortText<50> &DataSource = SID;
    TShortText<50> &DBName = SID;

    TDBInfo() = default;
    TDBInfo(const TDBInfo &o);
    TDBInfo &operator=(const TDBInfo &o);
};

// One menu entry of the main window's menu bar by grade.
struct TOvikMenu
{
    QString Caption;
    QAction *Action = nullptr;
};
using TArrayOvikMenu = QList<TOvikMenu>;

struct TOvikTwoLevelMenu
{
    QString Caption;
    QAction *Action = nullptr; // none when the entry only opens its sub-menu
    TArrayOvikMenu SubMenu;
};
using TArrayOvikTwoLevelMenu = QList<TOvikTwoLevelMenu>;

// A generic procedure reference with three parameters.
template <class A, class B, class C>
using TProcEx = std::function<void(A, B, C)>;
// Its instance used by the grid controller to save one row:
// (values of the row, key as loaded, state letter).
using TRowSaveProc = TProcEx<const QVariantList &, const QString &, const QString &>;

// ---------------------------------------------------------------------------
// Records of the operator, map, tree, transfer and command unit
// ---------------------------------------------------------------------------

struct TLatLng
{
    QString Lat; // decimal degrees as text
    QString Lng;
};

// One pair of movements of the A and B ring.
struct TPhaseGroup
{
    QString PhaseA;
    QString PhaseB;
};

// The logged-in operator (DM.G_APP_USER).
struct ST_USER
{
    QString ID;
    QString Pass;
    QString Name;
    qint32 Role = 0; // 1 main administrator, 2 operator, 3 manager, 4 police
    QString RoleName;
    QString Division;
    QString Title;
    QDateTime UserUpdate; // last password change
    quint8 UserCheck = 0; // password validity in months
    QString Bookmarks;    // JSON text of the map bookmarks
};

// Map bounds (DM.G_MAP_BOUNDS), latitude or longitude texts of at most 20 characters.
struct TMapBounds
{
    TShortText<20> FSouth;
    TShortText<20> FWest;
    TShortText<20> FNorth;
    TShortText<20> FEast;
    // True when any of the four, trimmed, is empty.
    bool IsEmpty() const;
};

// Refresh requests that windows raise on the main window after saving.
struct TInAppMessage
{
    bool REFRESH_MVMT_TCDV_M = false; // movements (also read by open intersection monitors)
    bool REFRESH_SA_MASTER = false;   // group master data
    bool REFRESH_SA_CONF = false;     // group membership
    bool REFRESH_TCDV_MASTER = false; // intersection master data
    bool REFRESH_TCDV_TOD = false;    // time-of-day plans
    bool REFRESH_TFDT_MASTER = false; // detector master data
    bool REFRESH_APPLICATION = false; // reload of the whole application's data and map
    bool Any() const;
    void Clear();
};

// Node record of the group and intersection trees.
struct TNodeData
{
    int ID = 0;            // group number of a group node, intersection number of an intersection node
    QString Key;           // the node's key text
    TShortText<50> Name;
    qint8 Flag = 0;        // per-node code from the tree's query
    qint32 TreeType = 0;   // 2004, 2010, or 0 for a group node
};

// One request frame of a controller database transfer.
struct TCtrlData
{
    QByteArray FReqData;     // request bytes that follow the controller head
    int FReqDataSize = 0;    // number of request bytes; 0 sends the head alone
    QByteArray FResData;     // reply data after the skipped leading bytes
    int FResHeaderSize = 0;  // leading reply data bytes to skip (normally 2)
    int FResDataSize = 0;    // expected reply data size, those bytes included
    bool FEqualCompare = false; // reply size must equal FResDataSize (else at least)
    QString FTitle;          // title in logs and progress; empty takes the thread's
    int FReturnVal = 0;      // exchange result code, 99991 to 99998
};
using TCtrlDataArray = QList<TCtrlData>;

// One intersection of a VIP command run.
struct TLcData
{
    int FLcId = 0;
    quint8 FPhaseNo = 0;
    TCommandType FCommandType = ctHold;
    quint8 FRingMode = 0; // dual-ring flag of advance and jump commands
    quint8 FOprMode = 0;  // control-mode code sent with advance and jump commands
    int FReturnVal = 0;
};
using TLcDataArray = QList<TLcData>;

// Intersections and phases chosen in the VIP panel. The arrays run in parallel;
// FSelCount is the number of valid entries.
struct TVIPCtrlSel
{
    int FSelCount = 0;
    TVIPSelType FSelType = stOne;
    QList<int> FSelLcId;
    QList<int> FSelPhaseNo;

    // Sets FSelCount and the length of both arrays (new entries 0; shortening drops the tail).
    void SetSelCount(int Value);
    // Index of the last of the valid entries whose intersection number is Value; -1 when none.
    int Exist(int Value) const;
    // Removes the entry found by Exist from both arrays; returns its index or -1.
    int Delete(int Value);
};

// Intersections chosen for the traffic-information panel.
struct TTrafficInfoSel
{
    int FSelCount = 0;
    QList<int> FSelLcId;

    void SetSelCount(int Value);
    int Exist(int Value) const;
    int Delete(int Value);
};

// Start of a common extended command as sent to the controller: 30 bytes, no padding.
#pragma pack(push, 1)
struct TCommonCmdHeader
{
    char Cmd[6];         // command name as UTF-8 bytes, unused bytes 0
    char Desc[20];       // description as UTF-8 bytes, unused bytes 0
    quint8 Action;       // action code
    quint8 ItemCnt;      // number of items in the data part
    quint8 SizeEach;     // size of one item in bytes
    quint8 DataType;     // type code of the items
};
#pragma pack(pop)
static_assert(sizeof(TCommonCmdHeader) == 30, "TCommonCmdHeader is a 30-byte wire record");

// A common extended command: the 30 header bytes directly followed by the data bytes.
struct TCommonCmd
{
    TCommonCmdHeader Header{};
    QByteArray Data;

    static constexpr int HEADER_SIZE = 30;
    void Init();                 // header bytes to 0, Data emptied
    int HeaderSize() const { return HEADER_SIZE; }
    int DataSize() const { return int(Data.size()); }
    int PacketSize() const { return HEADER_SIZE + DataSize(); }
    QByteArray GetByteArray() const;
    QByteArray HeaderBytes() const;
    // Write the UTF-8 bytes of Value into Cmd (6 bytes) / Desc (20 bytes) from the
    // first byte, without terminator; the bytes after them keep their value. A text
    // longer than the field is cut to the whole characters that fit: nothing is ever
    // written past the field. Returns false when the text had to be cut.
    bool SetCmd(const QString &Value);
    bool SetDesc(const QString &Value);
};

// An object that carries one string Value: the payload of list and combo-box items
// that need a text key besides their caption.
class TStrObj
{
public:
    explicit TStrObj(const QString &AValue) : Value(AValue) {}
    QString Value;
};

Q_DECLARE_METATYPE(TNodeData)
Q_DECLARE_METATYPE(TStrObj *)
