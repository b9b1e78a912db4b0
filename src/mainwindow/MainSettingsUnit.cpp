#include "mainwindow/MainSettingsUnit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "core/Quorval.h"
#include "core/untDM.h"

namespace MainSettings {

namespace {

const QString kForm = QStringLiteral("FORM");
const QString kDisp = QStringLiteral("DISP-INDEX");
const QString kMap = QStringLiteral("MAP");
const QString kEnv = QStringLiteral("COM-ENV");

// Marker classes in the order of the legend's boxes (Tags 0 to 4).
const char *const kClassKey[5] = {"MI", "CI", "SCI", "RAMP", "VIRTUAL"};
// State shapes (Tags) of the legend.
const int kStateTags[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 255};

constexpr quint32 kSaColor = 16511472;
constexpr quint32 kSaSelectedColor = 14680063;
constexpr quint32 kGreenMvmt = 6146608;
constexpr quint32 kYellowMvmt = 8454143;

QColor readColor(const TIniFile &ini, const QString &key, quint32 def)
{
    const int v = ini.ReadInteger(kDisp, key, int(def));
    return TColorToQColor(quint32(v) & 0x00FFFFFFu);
}

void writeColor(TIniFile &ini, const QString &key, const QColor &c)
{
    ini.WriteInteger(kDisp, key, int(QColorToTColor(c)));
}

} // namespace

TMapLegend DefaultLegend()
{
    TMapLegend l = TMapLegend::Defaults();
    l.Status = TLcStatusColors::Defaults();
    l.SAColor = TColorToQColor(kSaColor);
    l.SASelectedColor = TColorToQColor(kSaSelectedColor);
    l.SAOpacity = 16;
    l.SASize = 50;
    for (int i = 0; i < 5; ++i) {
        l.ShapeIndex[i] = 0;
        l.Size[i] = 15;
    }
    l.GreenMvmt = TColorToQColor(kGreenMvmt);
    l.YellowMvmt = TColorToQColor(kYellowMvmt);
    l.ShowMvmtNo = true;
    return l;
}

TMainFormSettings Read(const TIniFile &ini, const QSize &screen, int maxZoom)
{
    TMainFormSettings s;
    s.Maximized = ini.ReadBool(kForm, QStringLiteral("FORM_MAXIMIZE"), false);
    if (!s.Maximized) {
        s.Height = ini.ReadInteger(kForm, QStringLiteral("HEIGHT"), 684);
        s.Width = ini.ReadInteger(kForm, QStringLiteral("WIDTH"), 1024);
    }
    s.Top = ini.ReadInteger(kForm, QStringLiteral("TOP"), screen.height() / 2 - s.Height / 2);
    s.Left = ini.ReadInteger(kForm, QStringLiteral("LEFT"), screen.width() / 2 - s.Width / 2);

    TMapLegend &l = s.Legend;
    l = DefaultLegend();
    l.SAColor = readColor(ini, QStringLiteral("SA_DEFAULT_COLOR"), kSaColor);
    l.SASelectedColor = readColor(ini, QStringLiteral("SA_SELECTED_COLOR"), kSaSelectedColor);
    l.SAOpacity = qBound(0, ini.ReadInteger(kDisp, QStringLiteral("SA_OPACITY"), 16), 20);
    l.SASize = qBound(1, ini.ReadInteger(kDisp, QStringLiteral("SA_SIZE"), 50), 100);
    for (int i = 0; i < 5; ++i) {
        const QString k = QString::fromLatin1(kClassKey[i]);
        l.ShapeIndex[i] = qBound(0, ini.ReadInteger(kDisp, k + QStringLiteral("_TYPE"), 0), 10);
        l.Size[i] = qBound(1, ini.ReadInteger(kDisp, k + QStringLiteral("_SIZE"), 15), 50);
    }
    for (int tag : kStateTags)
        l.Status.SetByTag(tag, readColor(ini, TLcStatusColors::IniKey(tag), TLcStatusColors::DefaultColorNumber(tag)));
    l.ShowMvmtNo = ini.ReadBool(kDisp, QStringLiteral("SHOW_MOVENO"), true);
    l.GreenMvmt = readColor(ini, QStringLiteral("GREEN_MVMT_COLOR"), kGreenMvmt);
    l.YellowMvmt = readColor(ini, QStringLiteral("YELLOW_MVMT_COLOR"), kYellowMvmt);

    s.MapLat = ini.ReadString(kMap, QStringLiteral("LAT"), QStringLiteral("37.1567595259605"));
    s.MapLng = ini.ReadString(kMap, QStringLiteral("LNG"), QStringLiteral("127.06632614135742"));
    s.MapZoom = ini.ReadString(kMap, QStringLiteral("ZOOM"), QStringLiteral("18"));
    bool ok = false;
    const int zoom = s.MapZoom.trimmed().toInt(&ok);
    if (ok && zoom > maxZoom)
        s.MapZoom = QString::number(maxZoom);
    s.MiniMapWidth = ini.ReadInteger(kMap, QStringLiteral("MINIMAP_WIDTH"), 250);
    s.MiniMapHeight = ini.ReadInteger(kMap, QStringLiteral("MINIMAP_HEIGHT"), 250);
    s.MiniMapZoomLevel = ini.ReadInteger(kMap, QStringLiteral("MINIMAP_ZOOM_LEVEL"), 5);
    s.MvmtSize = ini.ReadInteger(QStringLiteral("MOVE-EDIT-WIN"), QStringLiteral("MOVE_SIZE"), 10);
    return s;
}

void Write(TIniFile &ini, const TMainFormSettings &s, const TLayerFlags &flags)
{
    ini.WriteBool(kForm, QStringLiteral("FORM_MAXIMIZE"), s.Maximized);
    ini.WriteInteger(kForm, QStringLiteral("HEIGHT"), s.Height);
    ini.WriteInteger(kForm, QStringLiteral("WIDTH"), s.Width);
    ini.WriteInteger(kForm, QStringLiteral("TOP"), s.Top);
    ini.WriteInteger(kForm, QStringLiteral("LEFT"), s.Left);

    const TMapLegend &l = s.Legend;
    writeColor(ini, QStringLiteral("SA_DEFAULT_COLOR"), l.SAColor);
    writeColor(ini, QStringLiteral("SA_SELECTED_COLOR"), l.SASelectedColor);
    ini.WriteInteger(kDisp, QStringLiteral("SA_OPACITY"), l.SAOpacity);
    ini.WriteInteger(kDisp, QStringLiteral("SA_SIZE"), l.SASize);
    for (int i = 0; i < 5; ++i) {
        const QString k = QString::fromLatin1(kClassKey[i]);
        ini.WriteInteger(kDisp, k + QStringLiteral("_TYPE"), l.ShapeIndex[i]);
        ini.WriteInteger(kDisp, k + QStringLiteral("_SIZE"), l.Size[i]);
    }
    for (int tag : kStateTags)
        writeColor(ini, TLcStatusColors::IniKey(tag), l.Status.ByTag(tag));
    ini.WriteBool(kDisp, QStringLiteral("SHOW_MOVENO"), l.ShowMvmtNo);
    writeColor(ini, QStringLiteral("GREEN_MVMT_COLOR"), l.GreenMvmt);
    writeColor(ini, QStringLiteral("YELLOW_MVMT_COLOR"), l.YellowMvmt);

    if (!s.MapLat.trimmed().isEmpty())
        ini.WriteString(kMap, QStringLiteral("LAT"), s.MapLat);
    if (!s.MapLng.trimmed().isEmpty())
        ini.WriteString(kMap, QStringLiteral("LNG"), s.MapLng);
    ini.WriteString(kMap, QStringLiteral("ZOOM"), s.MapZoom);

    ini.WriteBool(kEnv, QStringLiteral("NODE_VISIBLE"), flags.Node);
    ini.WriteBool(kEnv, QStringLiteral("LINK_VISIBLE"), flags.Link);
    ini.WriteBool(kEnv, QStringLiteral("TFDT_VISIBLE"), flags.Tfdt);
    ini.WriteBool(kEnv, QStringLiteral("TCDV_VISIBLE"), flags.Tcdv);
    ini.WriteBool(kEnv, QStringLiteral("SA_VISIBLE"), flags.SA);
    ini.WriteBool(kEnv, QStringLiteral("LC_VISIBLE"), flags.LC);
    ini.WriteBool(kEnv, QStringLiteral("MVMT_VISIBLE"), flags.Mvmt);
}

TMainFormSettings ReadForWindow(QWidget *window)
{
    TIniFile ini(DM->IniFileName());
    QScreen *scr = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QSize screenSize = scr ? scr->size() : QSize(1024, 768);
    const TMainFormSettings s = Read(ini, screenSize, DM->G_MAP_MAX_ZOOM);
    if (s.Maximized) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    } else {
        window->resize(s.Width, s.Height);
        window->move(s.Left, s.Top);
    }
    DM->G_MAP_INIT_LAT = s.MapLat;
    DM->G_MAP_INIT_LNG = s.MapLng;
    DM->G_MAP_INIT_ZOOM = s.MapZoom;
    DM->G_MINIMAP_WIDTH = s.MiniMapWidth;
    DM->G_MINIMAP_HEIGHT = s.MiniMapHeight;
    DM->G_MINIMAP_ZOOM_LEVEL = s.MiniMapZoomLevel;
    DM->G_MVMT_SIZE = s.MvmtSize;
    return s;
}

TMainFormSettings WindowPlace(const QWidget *window)
{
    TMainFormSettings s;
    s.Maximized = window->isMaximized();
    const QRect g = window->isMaximized() ? window->normalGeometry() : window->geometry();
    s.Width = g.width();
    s.Height = g.height();
    s.Left = window->frameGeometry().left();
    s.Top = window->frameGeometry().top();
    if (window->isMaximized()) {
        s.Left = g.left();
        s.Top = g.top();
    }
    return s;
}

void WriteForWindow(const TMainFormSettings &s)
{
    TIniFile ini(DM->IniFileName());
    TLayerFlags f;
    f.Node = DM->G_NODE_VISIBLE;
    f.Link = DM->G_LINK_VISIBLE;
    f.Tfdt = DM->G_TFDT_VISIBLE;
    f.Tcdv = DM->G_TCDV_VISIBLE;
    f.SA = DM->G_SA_VISIBLE;
    f.LC = DM->G_LC_VISIBLE;
    f.Mvmt = DM->G_MVMT_VISIBLE;
    Write(ini, s, f);
}

} // namespace MainSettings
