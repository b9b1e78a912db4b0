#pragma once
// Scripts of the main map page (html/main.html). The page file supplies the map,
// its base layer, the plug-ins and a few globals; everything specific to the
// traffic system is put into the page by these scripts:
//   - InitMapPage: the one long script run after every load of the page (panes,
//     node and link layers, intersection markers, group outlines, movement layer,
//     layer control, selection marker, application-server layers, bookmark buttons,
//     page events), ending with window.loadEnd();
//   - DrawLCMarkers / DrawSA: the marker and outline builders, also used alone to
//     rebuild those parts of the page;
//   - MakeLcScript / MakeMvmtScript: the colours and arrows of one intersection that
//     the monitoring cycle sends when the page answers "getAxLCLayer()" with drawLC;
//   - the traffic-information panel's page scripts and its data.
// Nothing here touches a window: the main window fills the inputs from its legend,
// its lists and the data module, and runs the scripts through its TMapViewController.
// Every text goes into the scripts through JsStr, every number in the C locale.
#include <QColor>
#include <QList>
#include <QMap>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <memory>

#include "core/LcStatusColor.h"
#include "foundation/TypeUnit.h"

class TLC_INFO_SET;
class TSTT_LC_INFO;

// Marker classes of the legend (shape and size boxes, Tags 0 to 4).
enum TLcMarkerClass { lmcMI = 0, lmcCI = 1, lmcSCI = 2, lmcRAMP = 3, lmcVirtual = 4 };

// The map's legend as the page scripts need it (main window: legend controls,
// INI section DISP-INDEX).
struct TMapLegend
{
    TLcStatusColors Status = TLcStatusColors::Defaults();
    QColor SAColor;           // group outline (SA_DEFAULT_COLOR)
    QColor SASelectedColor;   // selected group outline (SA_SELECTED_COLOR)
    int SAOpacity = 16;       // track bar 0..20
    int SASize = 50;          // 1..100; outline width in metres = value * 2
    int ShapeIndex[5] = {0, 0, 0, 0, 0}; // 0 "원" (circle), 1..10 "3각".."12각"
    int Size[5] = {15, 15, 15, 15, 15};  // marker radius 1..50
    QColor GreenMvmt;         // movement arrows (GREEN_MVMT_COLOR)
    QColor YellowMvmt;        // YELLOW_MVMT_COLOR
    bool ShowMvmtNo = true;   // SHOW_MOVENO

    static TMapLegend Defaults();
    // Corners of a class's marker: 35 (circle) for the first shape item, else index + 2.
    int Corners(int markerClass) const;
    int Radius(int markerClass) const;
    // Outline opacity: position / 20 rounded to one decimal place.
    double Opacity() const;
};

// What InitMapPage needs besides the legend (main window: data module settings).
struct TMainMapPageConfig
{
    bool English = false;                  // G_L10N_LANGUAGE is "English"
    QString Lat, Lng, Zoom;                // G_MAP_INIT_LAT / _LNG / _ZOOM, as they stand
    QString TileUrl;                       // G_TILE_URL
    QString MapName = QStringLiteral("OSM"); // G_MAP_NAME
    int MiniMapWidth = 250, MiniMapHeight = 250, MiniMapZoomLevel = 5;
    TMapBounds Bounds;                     // G_MAP_BOUNDS (south, west, north, east)
    QString NodeGeoJson;                   // G_NodeGeoJson (whole network)
    QString LinkGeoJson;                   // G_LinkGeoJson
    int LcMaxZoomOffset = 5, MvmtMaxZoomOffset = 4, MarkerMaxZoomOffset = 4;
    int NodeMaxZoomOffset = 4, LinkMaxZoomOffset = 4, SAMaxZoomOffset = 5, TfdtMaxZoomOffset = 4;
    bool NodeVisible = true, LinkVisible = true, TfdtVisible = true, SAVisible = true,
         LcVisible = true, MvmtVisible = true;
    bool AppServer = false;                // G_APP_SERVER
    int AppPort = 12022;                   // G_APP_CTRL_PORT
    // Texts of the main window's table (IDS_55, 58, 59, 60, 61, 101).
    QString TextCopied;     // IDS_55 "가 복사되었습니다."
    QString TextLinkInfo;   // IDS_58 "링크정보"
    QString TextNodeInfo;   // IDS_59 "노드정보"
    QString TextMvmt;       // IDS_60 "이동류"
    QString TextTfdtInfo;   // IDS_61 "검지기정보"
    QString TextDetector;   // IDS_101 "검지기"

    // Settings and texts from the data module and the language tables ([TfrmMain]).
    static TMainMapPageConfig FromDM();
    // The texts alone, from the language tables.
    void LoadTexts();
};

// One intersection marker to draw.
struct TLcMarkerSpec
{
    int LcNo = 0;
    QString Lat, Lng;     // position texts (cx, cy)
    int Class = lmcMI;    // TLcMarkerClass
    QString Name;         // intersection name
    bool ImporFlag = false; // has at least one detector
};

// The console-side lists the marker builder refills.
struct TLcMarkerLists
{
    QList<int> LC;        // FLC_List: every intersection with a marker, ascending
    QList<int> ByClass[5]; // FMIList, FCIList, FSCIList, FRAMPList, FVirtualList
    void Clear();
};

// The intersections the marker builder draws, in ascending order: those of
// `allLcNos` (SCS_M_INTLC) whose live record exists and has both position texts.
QList<TLcMarkerSpec> CollectLcMarkers(const QList<int> &allLcNos, const QSet<int> &lcWithDetectors,
                                      const TLC_INFO_SET &set);
// Reads the marker builder's two lists: every intersection of SCS_M_INTLC (ascending)
// and those that have a detector (SCS_M_TFDTOPERATE). False with the driver's error.
bool LoadLcMarkerSources(const QSqlDatabase &db, QList<int> *allLcNos, QSet<int> *lcWithDetectors,
                         QSqlError *error = nullptr);

// The marker class of a live record: by tcdv_type unless it is virtual.
int LcMarkerClassOf(const TSTT_LC_INFO &info);
// The label of a marker: "%.4d %s" for a normal intersection, the name alone for a virtual one.
QString LcMarkerLabel(int lcNo, const QString &name, bool isVirtual);

// Result of InitMapPage.
struct TInitMapPageScript
{
    bool BoundsMissing = false; // a map bound is empty: show the box, run nothing more
    QString PreScript;          // run first, alone (English texts of the measuring tool)
    QString Script;             // the whole initialisation, ending with window.loadEnd();
};

namespace MainMapPage {

// Texts of the layer control, matched by ChangeVisibleTarget.
enum TVisibleTarget { vtNone, vtNode, vtLink, vtTfdt, vtTcdv, vtSA, vtLC, vtMvmt };
// The visibility setting a layer-control label selects (trimmed label; "제어기" the
// controller layer); vtNone for a label that matches no setting.
TVisibleTarget ChangeVisibleTarget(const QString &label, const QString &detectorText,
                                   const QString &mvmtText);
// "LC12" / "SA3": the number after the first two characters, 0 when not a number.
int IdAfterPrefix(const QString &value);

// The whole initialisation (markers and outlines included).
TInitMapPageScript InitMapPage(const TMainMapPageConfig &config, const TMapLegend &legend,
                               const QList<TLcMarkerSpec> &markers,
                               const QList<QPair<int, QString>> &saOutlines,
                               TLcMarkerLists *lists = nullptr);
// Appends the marker reset and every marker's script; refills `lists`.
void DrawLCMarkers(QString &script, const TMapLegend &legend, const QList<TLcMarkerSpec> &markers,
                   TLcMarkerLists *lists = nullptr);
// Appends the group outline script (outlines in the order given).
void DrawSA(QString &script, const TMapLegend &legend, const QList<QPair<int, QString>> &saOutlines);

// Selection marker and selected group.
QString SelectLCMarkerScript(const TMapLegend &legend, const QString &lat, const QString &lng);
QString ClearSelectionScript(const TMapLegend &legend);
// Selecting a group with a single node: the selection cleared, the map panned to the
// node and a bouncing marker over it for three seconds.
QString SelectSingleNodeGroupScript(const TMapLegend &legend, const QString &lat, const QString &lng);
// Selecting a group: the selection cleared and the group's outline (SA<n>) in the
// legend's selection colour.
QString SelectGroupScript(const TMapLegend &legend, int groupId);
// The "[lat,lng]" text of a group's bounds as a script value (numbers only), "[]"
// when it is not such a pair.
QString BoundsValue(const QString &text);
// Fitting the map to a group's outline (SA<n>), or to its stored bounds when the
// outline has none; takeCurZoom keeps the current zoom as the limit.
QString FitGroupScript(int groupId, const QString &boundsText, bool takeCurZoom);
// The selection text: the language text with its "%d" places filled in order with
// the group and, when one is selected (tcdvId > 0), the intersection.
QString SelectionText(const QString &format, int saId, int tcdvId);
QString PanToScript(const QString &lat, const QString &lng);

// Colour and arrows of one intersection (the monitoring cycle's script for the
// markers the page lists in drawLC). Appends nothing when the set has no record.
// The script is one call of the page function applyLcStates with the marker's values
// ([number, "#colour", blink, arrows]); the page leaves a marker already in its colour
// and an arrow already shown alone.
// scale: the map's current zoom (zoomEnd); arrows are sent only when
// scale > maxZoom - mvmtOffset.
void MakeLcScript(QString &script, int lcNo, const TLC_INFO_SET &set, const TMapLegend &legend,
                  int scale, int maxZoom, int mvmtOffset);
// The values of one intersection for applyLcStates, appended to `values`: nothing
// when the set has no record.
void MakeLcValues(QString &values, int lcNo, const TLC_INFO_SET &set, const TMapLegend &legend, int scale,
                  int maxZoom, int mvmtOffset);
// The movement arrow of ring 0 (A) or 1 (B) for phase index `phase` and plan `planInfo`
// as a value of applyLcStates: the arrow's values, "0" (the ring's arrow is removed) or
// "null" (nothing is done: no such movement, or one without a usable position).
void MakeMvmtScript(QString &script, int lcNo, const TSTT_LC_INFO &info, int planInfo, int ring,
                    int phase, const TMapLegend &legend);
// The marker colour of intersection lcNo ("RRGGBB"), as MakeLcScript uses it.
QString LcMarkerColorHex(int lcNo, const TLC_INFO_SET &set, const TMapLegend &legend);
// A comma-separated list of the page (drawLC) as numbers; items that are no number are skipped.
QList<int> ParseLcList(const QString &text);
// The script for the numbers of a drawLC message: one call of applyLcStates with the
// values of every listed intersection that has a record; empty when none has.
QString DrawLCScript(const QString &drawLcText, const TLC_INFO_SET &set, const TMapLegend &legend,
                     int scale, int maxZoom, int mvmtOffset);

// The console's record of what the page shows of each listed marker (colour, blink,
// arrows, listed), as the page last applied it. The monitoring cycle's marker script
// carries only the intersections whose drawn state differs from the record. The
// record is cleared whenever the page loads or its markers are rebuilt, when the
// page lists no marker (it stops every blink then) and when the zoom changes; a
// marker that leaves the page's list leaves the record, so it is sent again when it
// comes back.
class TLcMarkerRecord
{
public:
    TLcMarkerRecord();
    ~TLcMarkerRecord();
    TLcMarkerRecord(const TLcMarkerRecord &) = delete;
    TLcMarkerRecord &operator=(const TLcMarkerRecord &) = delete;

    void Clear();
    // Intersections recorded as shown.
    int Count() const;
    bool Contains(int lcNo) const;
    // The script for the listed numbers (a drawLC message), with only the changed
    // intersections; the record then holds what the script applies. Empty when
    // nothing changed.
    QString DrawLCScript(const QList<int> &list, const TLC_INFO_SET &set, const TMapLegend &legend, int scale,
                         int maxZoom, int mvmtOffset);
    QString DrawLCScript(const QString &drawLcText, const TLC_INFO_SET &set, const TMapLegend &legend, int scale,
                         int maxZoom, int mvmtOffset)
    {
        return DrawLCScript(ParseLcList(drawLcText), set, legend, scale, maxZoom, mvmtOffset);
    }

private:
    struct TImpl;
    std::unique_ptr<TImpl> d;
};

// Traffic-information panel: the two scripts run when it becomes visible, and the one
// run when it is hidden.
QStringList TrafficInfoShowScripts();
QString TrafficInfoHideScript();

// One row of the traffic-information grid.
struct TTrafficInfoRow
{
    int LcNo = 0;
    QString Dir1, Dir2;
    int Volume = 0;
    QString AverageSpeed, DS, QueueLength, SumSmt;
};
// The newest row per approach of SCS_L_INTTRAFFIC of one intersection within the
// last 300 seconds, ordered by the two directions.
QString TrafficInfoSql(bool oraFunc);
bool LoadTrafficInfo(const QSqlDatabase &db, bool oraFunc, int lcNo, QList<TTrafficInfoRow> *rows,
                     QSqlError *error = nullptr);

} // namespace MainMapPage
