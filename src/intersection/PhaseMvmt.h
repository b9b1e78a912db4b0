#pragma once
// The movement arrows of an intersection without their window: the plan classes
// a controller type offers, the movement table read from SCS_M_INTPHASE, the
// "savePoint" and "Done" console messages of the arrow page (each point saved
// into its own phase row, nothing inserted, one result at the end), the copy into
// the live record and the window settings of the section MOVE-EDIT-WIN.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "centrelink/RC2MMIUnit.h"
#include "foundation/TypeUnit.h"

namespace PhaseMvmt {

// The plan classes of a controller type, class = index + 1: a 2004 controller
// "일반제" and "시차제", a 2010 controller the general plan, five time-difference
// plans and the pedestrian map (texts of the editor's language table).
QStringList PlanClassTexts(TLcTypeEx type);

// The arrow name of a plan class, phase and ring ("mvmt" and one digit each).
QString ArrowName(int planClass, int phase, int ring);

// The movement table of an intersection: emptied, then every phase row with plan
// class 1 to 7, phase 1 to 8, ring 1 or 2 and movement 1 to 18 (points, angles,
// splits, yellow and link). False with *error when the query fails.
bool LoadMovements(QSqlDatabase db, int lcNo, TMovementBlock *block, QString *error = nullptr);

// One "savePoint" message of the page.
struct TSavePoint
{
    QString Name;
    int PlanClass = 0, Phase = 0, Ring = 0;   // 5th, 6th and 7th characters of the name
    QStringList Values;                       // the ten texts in column order
};
// The ten columns and the members of the message they come from.
const QStringList &PointColumns();
const QStringList &PointMembers();
// Parses the JSON after "savePoint:"; false when it is not an object.
bool ParseSavePoint(const QString &json, TSavePoint *point);

// The save of one editor session: every "savePoint" message updates the ten
// columns of its phase row in its own transaction; a failure is kept (later
// points are still written) and "Done" gives the result.
class TMvmtSaver
{
public:
    enum TKind { Ignored, SavePoint, Done };

    TMvmtSaver(QSqlDatabase db, int lcNo) : FDb(db), FLcNo(lcNo) {}
    void Begin();                              // a new save: success, no text
    // Handles a console message of the page.
    TKind Handle(const QString &message);
    bool Ok() const { return FOk; }
    QString Error() const { return FError; }
    int Updated() const { return FUpdated; }   // rows changed since Begin

private:
    void SaveOne(const TSavePoint &point);
    QSqlDatabase FDb;
    int FLcNo = 0;
    bool FOk = true;
    QString FError;
    int FUpdated = 0;
};

// The live record takes the whole movement table (points, angles, splits, links).
void CopyToLive(const TMovementBlock &block, TSTT_LC_INFO *live);

// Window settings (section MOVE-EDIT-WIN of the program's settings file).
struct TMvmtSettings
{
    int MoveColor = 6146608;          // platform colour integer: red in the lowest byte
    int MoveFontColor = 16777215;
    int SelMoveColor = 8421376;
    int SelMoveFontColor = 16777215;
    int MoveLength = 50;              // 0 to 200
    int MoveSize = 10;                // 0 to 100
    int XOffsetSize = 15;             // -50 to 50
    int YOffsetSize = 10;
    int LOffsetSize = 20;

    static inline const QString Section = QStringLiteral("MOVE-EDIT-WIN");
    void Read(const QString &iniFile);
    void Write(const QString &iniFile) const;
};
// "#rrggbb" of a platform colour integer.
QString ColorText(int platformColor);

// ---- scripts of the arrow page ----

// The page's start: initialize(lat, lng, zoom, tile address, map name), the
// arrow layer, the ready call.
QStringList InitMapViewScripts(const QString &lat, const QString &lng, int maxZoom, const QString &tileUrl,
                               const QString &mapName);

// The arrows of one plan class as a list of scripts and the names drawn.
struct TArrowScripts
{
    QStringList Scripts;
    QStringList Names;
    bool MissingHead = false;   // a movement without a stored head point (stored arrows: none drawn)
};
// Stored arrows (search): an arrow through the centre and its four stored points,
// only when every point and angle text is a number (else it is left out). Stops
// at the first movement without a head point: MissingHead, default arrows then.
TArrowScripts StoredArrowScripts(const TMovementBlock &block, int planClass, const QString &lat, const QString &lng,
                                 const TMvmtSettings &settings);
// Default arrows (initialise): init(...) for every movement of the class.
TArrowScripts DefaultArrowScripts(const TMovementBlock &block, int planClass, const QString &lat, const QString &lng,
                                  const TMvmtSettings &settings, int startAngle);
// The restyling of a selected arrow and the selection.
QString SelectScript(const QString &name, int platformColor);
// Saving: every drawn arrow writes its point, then "Done".
QStringList SaveScripts(const QStringList &names);

} // namespace PhaseMvmt
