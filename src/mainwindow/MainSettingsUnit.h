#pragma once
// The main window's settings in the INI file, apart from the window: the window's
// place and size (FORM), the map legend (DISP-INDEX), the start position of the map
// (MAP), the arrow size (MOVE-EDIT-WIN, read only) and the layer flags of the data
// module (COM-ENV, written back). Colours are stored as Windows colour numbers
// (blue * 65536 + green * 256 + red).
#include <QSize>
#include <QString>

#include "foundation/IniFile.h"
#include "mainwindow/MainMapPageUnit.h"

class QWidget;

struct TMainFormSettings
{
    bool Maximized = false;  // FORM_MAXIMIZE
    int Width = 1024;        // WIDTH
    int Height = 684;        // HEIGHT
    int Left = 0;            // LEFT (default: centred on the screen)
    int Top = 0;             // TOP
    TMapLegend Legend = TMapLegend::Defaults();
    QString MapLat = QStringLiteral("37.1567595259605");
    QString MapLng = QStringLiteral("127.06632614135742");
    QString MapZoom = QStringLiteral("18");
    int MiniMapWidth = 250;
    int MiniMapHeight = 250;
    int MiniMapZoomLevel = 5;
    int MvmtSize = 10;       // MOVE-EDIT-WIN MOVE_SIZE
};

// The layer visibility flags of the data module (COM-ENV *_VISIBLE).
struct TLayerFlags
{
    bool Node = true, Link = true, Tfdt = true, Tcdv = true, SA = true, LC = true, Mvmt = true;
};

namespace MainSettings {

// The legend's INI defaults (DISP-INDEX).
TMapLegend DefaultLegend();
// Reads every key; a key that is missing or unreadable takes its default. `screen` is
// the size of the screen the window is centred on; a start zoom above maxZoom becomes
// maxZoom. Values outside a control's range are brought into it.
TMainFormSettings Read(const TIniFile &ini, const QSize &screen, int maxZoom);
// Writes FORM, DISP-INDEX, MAP (LAT and LNG only when not empty, ZOOM) and the layer
// flags. MINIMAP_* and MOVE_SIZE are not written.
void Write(TIniFile &ini, const TMainFormSettings &s, const TLayerFlags &flags);

// --- with the window and the data module (which must exist) ------------------------

// Reads the settings of the data module's INI file for the window's screen, places
// and sizes the window (maximised, or at its place) and sets the data module's map
// start, mini-map and arrow size. The legend and the zoom are the caller's.
TMainFormSettings ReadForWindow(QWidget *window);
// The window's place and size as they are saved: a maximised window gives its
// normal geometry, another its frame's top left corner and its size.
TMainFormSettings WindowPlace(const QWidget *window);
// Writes the settings with the data module's layer flags to its INI file.
void WriteForWindow(const TMainFormSettings &s);

} // namespace MainSettings
