#pragma once
// The current-event window's logic without a window: the comparison of two state
// images into event rows, the row colours, the capped event lists, the settings of
// INI section EVENT and what an event does to the window (pop-up, page, sound).
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <memory>

#include "centrelink/RC2MMIUnit.h"

class TIniFile;

namespace CurrentEvents {

// The window's text table.
QString Tx(const QString &key);

enum TPage { pgTCDV = 0, pgSA = 1, pgSetting = 2, pgSelected = 3 };

struct TEventRow
{
    int Page = pgTCDV;      // pgTCDV (intersection) or pgSA (group)
    QDateTime Time;
    int Number = 0;         // intersection or group number
    QString Name;
    QString Event;
    QString Current;
    QString Previous;
    bool Selected = false;  // also listed on "이벤트 선택 표출"
    QString TimeText() const { return Time.toString(QStringLiteral("hh:mm:ss")); }
};

struct TEventSettings
{
    bool PowerFail = false;
    bool ConnectionFail = false;
    bool Conflict = false;
    bool DbError = false;
    int PopupOption = 2;
    int SoundOption = 2;
    bool SaPopupWin = false;
    bool SaPlaySound = false;
    bool LastEventView = false;

    void Read(const TIniFile &ini);
    void Write(TIniFile &ini) const;
};

// What the main window holds that the comparison reads.
struct TCompareContext
{
    const TLC_INFO_SET *Set = nullptr;
    const QMap<int, QString> *SaNames = nullptr; // group names (FSA_NameList)
    QList<int> SaOutlined;                       // groups with an outline (FSA_BoundsList)
    QList<int> LcList;                           // intersections with a marker (FLC_List)
    QDateTime Time;
};

// The group events between two images (groups with an outline, 1 to 200).
QList<TEventRow> CompareSaStates(const TST_VESK_STATE &nw, const TST_VESK_STATE &old, const TCompareContext &c);
// The intersection events between two images (listed intersections 1 to 1024 whose
// new record is defined and that have a live record).
QList<TEventRow> CompareLcStates(const TST_VESK_STATE &nw, const TST_VESK_STATE &old, const TCompareContext &c,
                                 const TEventSettings &s);

// Background of an intersection event row; invalid for the grid's own colour.
QColor RowColour(const TEventRow &row);

// A list that keeps the newest events on top: more than 1000 rows drop the row at
// position 1000 before the new one goes in, so at most 1001 rows stay.
class TEventList
{
public:
    static constexpr int kLimit = 1000;
    void Insert(const TEventRow &row);
    void Clear() { FRows.clear(); }
    int Count() const { return int(FRows.size()); }
    const TEventRow &At(int i) const { return FRows.at(i); }
    const QList<TEventRow> &Rows() const { return FRows; }

private:
    QList<TEventRow> FRows;
};

// What an event asks of the window.
struct TEventEffect
{
    bool Show = false;    // show the window (when hidden)
    int Page = -1;        // page to bring to the front, -1 none
    bool Sound = false;
};
// An intersection event; hidden: the window is hidden now.
TEventEffect LcEventEffect(const TEventSettings &s, bool selected, bool hidden);
// A group event.
TEventEffect SaEventEffect(const TEventSettings &s, bool hidden);

// The images as the window keeps them: the newest and the one before; the first
// image only becomes the reference.
class TEventTracker
{
public:
    TEventTracker();
    // Takes a new image; the events against the image before (none for the first).
    QList<TEventRow> Update(const TST_VESK_STATE &image, const TCompareContext &c, const TEventSettings &s);
    int Count() const { return FCount; }

private:
    std::unique_ptr<TST_VESK_STATE> FNew, FPrev;
    int FCount = 0;
};

} // namespace CurrentEvents
