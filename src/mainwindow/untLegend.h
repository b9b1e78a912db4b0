#pragma once
// The map legend and the status counters of the main window (page control
// pgcDispIndex below the trees): the status counters ("현황"), the group and
// intersection shapes ("그룹/LC모양"), the intersection state colours and movements
// ("LC상태 및 현시") and the detector counters. The colour, shape and size controls
// are the legend and its editor at once: the main window reacts to their changes by
// restyling the map (the scripts are built here, without a window, by LegendScripts).
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QList>
#include <QMap>
#include <QString>
#include <QTabWidget>
#include <functional>

#include "mainwindow/MainMapPageUnit.h"
#include "core/MainContracts.h"
#include "mainwindow/MonitorThreadUnit.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QSlider;
class QSpinBox;
class QTimer;
class TLC_INFO_SET;
class TsiLangLinked;

// ---------------------------------------------------------------------------
// Colour dialog (replaceable: tests answer it from a script)
// ---------------------------------------------------------------------------

// Returns the chosen colour, or an invalid colour when the dialog was cancelled.
using TColorChooser = std::function<QColor(QWidget *owner, const QColor &initial)>;
// Installs a chooser (empty: the default QColorDialog); returns the previous one.
TColorChooser SetColorChooser(TColorChooser chooser);
QColor ChooseColor(QWidget *owner, const QColor &initial);

// ---------------------------------------------------------------------------
// Status counters
// ---------------------------------------------------------------------------

// The counters of the status tab. Mode counters (lblLcOprStt...) carry the operating
// mode as Tag (-1 the total "운영 교차로"); state counters (lblSysStt...) carry the
// item of the state list's check group grpOprSt they filter on.
struct TStatusCounterDef
{
    QString Name;    // object name of the value label
    QString Key;     // caption key of the window's table
    bool Mode;       // a mode counter (lblLcOprSttClick) or a state counter (lblSysSttClick)
    int Tag;
};
const QList<TStatusCounterDef> &StatusCounterDefs();
// The value a counter shows for the counters of the latest decoded image.
int StatusCounterValue(const TStatusCounterDef &def, const TMonitorCounters &c);
// Item of the state list's mode radio group for a mode counter's Tag (the
// semi-actuated counter and the total select the last item, all operated).
int ModeItemOfTag(int tag);
// The filter a click on a counter hands to the state list.
TStateListFilter CounterFilter(const TStatusCounterDef &def);

// ---------------------------------------------------------------------------
// Scripts of the legend
// ---------------------------------------------------------------------------

// The legend shape (Tag) whose colour an intersection shows for its state and mode:
// 12 (PPC) for operation mode 3, 6 (lights off) for state 9, the state itself for 0
// to 12, -1 (black, no shape) for any other state. The same rule as LcStatusColor.
int LcStatusShapeTag(int state, int mode);

namespace LegendScripts {

// "#RRGGBB".
QString Hash(const QColor &c);

// Group colour (shpSA): every outline of `saNumbers` restyled, then the selected
// outline restyled with the selected-group colour.
QString SAColorScript(const QList<int> &saNumbers, const QColor &saColor, const QColor &selectedColor);
// Selected-group colour (shpSelSA): only the selected outline.
QString SelectedSAColorScript(const QColor &selectedColor);

// A state shape got a new colour: over the intersections with a marker (lcList, in
// order), using their live records (see the main window's legend handler).
QString StateColorScript(int tag, const QColor &colour, const QList<int> &lcList, const TLC_INFO_SET &set);

// Marker shape and size of one class (the intersections of its list).
QString ShapeScript(const QList<int> &classList, int corners);
QString SizeScript(const QList<int> &classList, int radius);
// Group opacity for the outline list.
QString OpacityScript(const QList<int> &saNumbers, double opacity);
// Movement arrow colour and movement numbers.
QString GreenMvmtScript(const QColor &colour);
QString MvmtLabelScript(bool visible);

} // namespace LegendScripts

// ---------------------------------------------------------------------------
// The legend panel
// ---------------------------------------------------------------------------

// A coloured shape of the legend: a small swatch that reports a mouse press.
class TColorShape : public QFrame
{
    Q_OBJECT
public:
    TColorShape(const QString &name, int tag, QWidget *parent = nullptr);
    QColor Color() const { return FColor; }
    void SetColor(const QColor &c);
    int Tag() const { return FTag; }
signals:
    void mouseDown(TColorShape *shape);
protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
private:
    QColor FColor;
    int FTag;
};

// A clickable counter value.
class TCounterLabel : public QLabel
{
    Q_OBJECT
public:
    TCounterLabel(const TStatusCounterDef &def, QWidget *parent = nullptr);
    const TStatusCounterDef &Def() const { return FDef; }
signals:
    void clicked(const TStatusCounterDef &def);
protected:
    void mousePressEvent(QMouseEvent *event) override;
private:
    TStatusCounterDef FDef;
};

class TLegendPanel : public QTabWidget
{
    Q_OBJECT
public:
    explicit TLegendPanel(QWidget *parent = nullptr);

    // The legend as the controls hold it, and the controls set from a legend.
    TMapLegend Legend() const;
    void SetLegend(const TMapLegend &legend);

    // Shows the counters of the latest decoded image.
    void ShowCounters(const TMonitorCounters &c);
    // The value label of a counter (tests).
    TCounterLabel *Counter(const QString &name) const;
    QString CounterText(const QString &name) const;

    // Controls (names as the main window's form names them).
    QWidget *tbsStt = nullptr;
    QWidget *tbsShape = nullptr;
    QWidget *tbsState = nullptr;
    QWidget *tbsTfdt = nullptr;
    TColorShape *shpSA = nullptr;
    TColorShape *shpSelSA = nullptr;
    QSlider *tbOpacity = nullptr;
    QSpinBox *edtSA_Outer = nullptr;
    QComboBox *cbxShape[5] = {};   // cbxMI, cbxCI, cbxSCI, cbxRAMP, cbxVirtual
    QSpinBox *edtOuter[5] = {};    // edtMI_Outer ... edtVirtual_Outer
    QMap<int, TColorShape *> StateShapes; // by Tag (0..12, 255)
    TColorShape *shpGreenMvmt = nullptr;
    TColorShape *shpYellowMvmt = nullptr;
    QCheckBox *chxMvmtLabelDisp = nullptr;
    QLabel *lblTfdtOperCnt = nullptr;
    QLabel *lblTfdtFailCnt = nullptr;
    QLabel *lblTfdtUnusedCnt = nullptr;
    // One-second timer of the group width (ttChangeSA).
    QTimer *ttChangeSA = nullptr;

signals:
    void saColorMouseDown(TColorShape *shape);       // SAColorSelectMouseDown
    void stateColorMouseDown(TColorShape *shape);    // LCStatusColorSelectMouseMouseDown
    void greenMvmtMouseDown(TColorShape *shape);     // GreenMvmtColorSelectMouseDown
    void shapeChanged(int tag);                      // LCShapeChange
    void sizeChanged(int tag);                       // LCSizeChange
    void opacityChanged();                           // SAOpacityChange
    void saSizeTimer();                              // ttChangeSATimer (one second after the last change)
    void mvmtLabelClicked();                         // MvmtLabelDispClick
    void counterClicked(const TStatusCounterDef &def); // lblLcOprSttClick / lblSysSttClick

private:
    void Build();
    void Retranslate();
    QString Tx(const QString &key) const;

    QList<TCounterLabel *> FCounters;
    QMap<QString, QLabel *> FCaptions;
    TsiLangLinked *FLang = nullptr;
    bool FUpdating = false;
};
