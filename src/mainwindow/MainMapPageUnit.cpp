#include "mainwindow/MainMapPageUnit.h"

#include "foundation/JsEscape.h"
#include "core/Quorval.h"
#include "centrelink/RC2MMIUnit.h"
#include "core/siLang.h"
#include "core/untDM.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <limits>

// ---------------------------------------------------------------------------
// Legend and configuration
// ---------------------------------------------------------------------------

TMapLegend TMapLegend::Defaults()
{
    TMapLegend l;
    l.Status = TLcStatusColors::Defaults();
    l.SAColor = TColorToQColor(16511472);
    l.SASelectedColor = TColorToQColor(14680063);
    l.GreenMvmt = TColorToQColor(6146608);
    l.YellowMvmt = TColorToQColor(8454143);
    return l;
}

int TMapLegend::Corners(int markerClass) const
{
    if (markerClass < 0 || markerClass > 4)
        return 35;
    const int idx = ShapeIndex[markerClass];
    return idx <= 0 ? 35 : idx + 2;
}

int TMapLegend::Radius(int markerClass) const
{
    if (markerClass < 0 || markerClass > 4)
        return 15;
    return Size[markerClass];
}

double TMapLegend::Opacity() const
{
    return std::round(SAOpacity / 20.0 * 10.0) / 10.0;
}

void TMainMapPageConfig::LoadTexts()
{
    const QString t = QStringLiteral("TfrmMain");
    TextCopied = siText(t, QStringLiteral("IDS_55"));
    TextLinkInfo = siText(t, QStringLiteral("IDS_58"));
    TextNodeInfo = siText(t, QStringLiteral("IDS_59"));
    TextMvmt = siText(t, QStringLiteral("IDS_60"));
    TextTfdtInfo = siText(t, QStringLiteral("IDS_61"));
    TextDetector = siText(t, QStringLiteral("IDS_101"));
}

TMainMapPageConfig TMainMapPageConfig::FromDM()
{
    TMainMapPageConfig c;
    c.LoadTexts();
    if (!DM)
        return c;
    c.English = DM->G_L10N_LANGUAGE == QLatin1String("English");
    c.Lat = DM->G_MAP_INIT_LAT;
    c.Lng = DM->G_MAP_INIT_LNG;
    c.Zoom = DM->G_MAP_INIT_ZOOM;
    c.TileUrl = DM->G_TILE_URL;
    c.MapName = DM->G_MAP_NAME;
    c.MiniMapWidth = DM->G_MINIMAP_WIDTH;
    c.MiniMapHeight = DM->G_MINIMAP_HEIGHT;
    c.MiniMapZoomLevel = DM->G_MINIMAP_ZOOM_LEVEL;
    c.Bounds = DM->G_MAP_BOUNDS;
    c.NodeGeoJson = DM->G_NodeGeoJson;
    c.LinkGeoJson = DM->G_LinkGeoJson;
    c.LcMaxZoomOffset = DM->G_LC_MAXZOOM_OFFSET;
    c.MvmtMaxZoomOffset = DM->G_MVMT_MAXZOOM_OFFSET;
    c.MarkerMaxZoomOffset = DM->G_MARKER_MAXZOOM_OFFSET;
    c.NodeMaxZoomOffset = DM->G_NODE_MAXZOOM_OFFSET;
    c.LinkMaxZoomOffset = DM->G_LINK_MAXZOOM_OFFSET;
    c.SAMaxZoomOffset = DM->G_SA_MAXZOOM_OFFSET;
    c.TfdtMaxZoomOffset = DM->G_TFDT_MAXZOOM_OFFSET;
    c.NodeVisible = DM->G_NODE_VISIBLE;
    c.LinkVisible = DM->G_LINK_VISIBLE;
    c.TfdtVisible = DM->G_TFDT_VISIBLE;
    c.SAVisible = DM->G_SA_VISIBLE;
    c.LcVisible = DM->G_LC_VISIBLE;
    c.MvmtVisible = DM->G_MVMT_VISIBLE;
    c.AppServer = DM->G_APP_SERVER;
    c.AppPort = DM->G_APP_CTRL_PORT;
    return c;
}

void TLcMarkerLists::Clear()
{
    LC.clear();
    for (auto &l : ByClass)
        l.clear();
}

// ---------------------------------------------------------------------------
// Marker sources
// ---------------------------------------------------------------------------

int LcMarkerClassOf(const TSTT_LC_INFO &info)
{
    if (info.virtualLC_No >= 1)
        return lmcVirtual;
    switch (info.tcdv_type) {
    case 1: return lmcCI;
    case 2: return lmcSCI;
    case 3: return lmcRAMP;
    default: return lmcMI;
    }
}

QString LcMarkerLabel(int lcNo, const QString &name, bool isVirtual)
{
    if (isVirtual)
        return name;
    const QString num = lcNo < 0 ? QLatin1Char('-') + QString::number(-qint64(lcNo)).rightJustified(4, QLatin1Char('0'))
                                 : QString::number(lcNo).rightJustified(4, QLatin1Char('0'));
    return num + QLatin1Char(' ') + name;
}

QList<TLcMarkerSpec> CollectLcMarkers(const QList<int> &allLcNos, const QSet<int> &lcWithDetectors,
                                      const TLC_INFO_SET &set)
{
    QList<int> numbers = allLcNos;
    std::sort(numbers.begin(), numbers.end());
    QList<TLcMarkerSpec> out;
    int previous = INT_MIN;
    for (int n : numbers) {
        if (n == previous)
            continue;
        previous = n;
        const PSTT_LC_INFO info = set.GetLcInfo(n);
        if (!info)
            continue;
        const QString lat = info->cx.str();
        const QString lng = info->cy.str();
        if (lat.isEmpty() || lng.isEmpty())
            continue;
        TLcMarkerSpec s;
        s.LcNo = n;
        s.Lat = lat;
        s.Lng = lng;
        s.Class = LcMarkerClassOf(*info);
        s.Name = info->ints_name.str();
        s.ImporFlag = lcWithDetectors.contains(n);
        out << s;
    }
    return out;
}

bool LoadLcMarkerSources(const QSqlDatabase &db, QList<int> *allLcNos, QSet<int> *lcWithDetectors,
                         QSqlError *error)
{
    QSqlQuery q(db);
    QList<int> all;
    QSet<int> withDet;
    if (!q.exec(QStringLiteral(" SELECT INT_LCNO FROM SCS_M_TFDTOPERATE GROUP BY INT_LCNO ORDER BY INT_LCNO "))) {
        if (error)
            *error = q.lastError();
        return false;
    }
    while (q.next())
        withDet.insert(q.value(0).toInt());
    if (!q.exec(QStringLiteral(" SELECT INT_LCNO FROM SCS_M_INTLC ORDER BY INT_LCNO "))) {
        if (error)
            *error = q.lastError();
        return false;
    }
    while (q.next())
        all << q.value(0).toInt();
    if (allLcNos)
        *allLcNos = all;
    if (lcWithDetectors)
        *lcWithDetectors = withDet;
    return true;
}

// ---------------------------------------------------------------------------
// Script pieces
// ---------------------------------------------------------------------------

namespace MainMapPage {

static QString Hash(const QColor &c)
{
    return QLatin1Char('#') + TColorToHex(c);
}

static QString HashStr(const QColor &c)
{
    return JsStr(Hash(c));
}

TVisibleTarget ChangeVisibleTarget(const QString &label, const QString &detectorText,
                                   const QString &mvmtText)
{
    const QString l = label.trimmed();
    if (l == QLatin1String("Node"))
        return vtNode;
    if (l == QLatin1String("Link"))
        return vtLink;
    if (!detectorText.trimmed().isEmpty() && l == detectorText.trimmed())
        return vtTfdt;
    if (l == QStringLiteral("제어기"))
        return vtTcdv;
    if (l == QLatin1String("SA"))
        return vtSA;
    if (l == QLatin1String("LC"))
        return vtLC;
    if (!mvmtText.trimmed().isEmpty() && l == mvmtText.trimmed())
        return vtMvmt;
    return vtNone;
}

int IdAfterPrefix(const QString &value)
{
    bool ok = false;
    const int n = value.mid(2).trimmed().toInt(&ok);
    return ok ? n : 0;
}

// A page value built from JSON text: the parsed object, or `fallback` when the text
// does not parse (one malformed layer must not stop the whole initialisation).
static QString JsonValue(const QString &text, const QString &fallback)
{
    return QStringLiteral("(function () { try { return JSON.parse(") + JsStr(text)
           + QStringLiteral("); } catch (e) { return ") + fallback + QStringLiteral("; } })()");
}

static const char *kEmptyCollection = "{\"type\":\"FeatureCollection\",\"features\":[]}";

static QString NetworkLayersScript(const TMainMapPageConfig &c)
{
    const QString nodeText = c.NodeGeoJson.trimmed().isEmpty() ? QString::fromLatin1(kEmptyCollection) : c.NodeGeoJson;
    const QString linkText = c.LinkGeoJson.trimmed().isEmpty() ? QString::fromLatin1(kEmptyCollection) : c.LinkGeoJson;
    QString s;
    s += QStringLiteral(
        " var nodeXhr; var linkXhr;"
        " var nodeLayer = L.featureGroup().addTo(map);"
        " var linkLayer = L.featureGroup().addTo(map);");
    s += QStringLiteral(" var ovikTextNodeInfo = ") + JsStr(c.TextNodeInfo) + QStringLiteral(";");
    s += QStringLiteral(" var ovikTextLinkInfo = ") + JsStr(c.TextLinkInfo) + QStringLiteral(";");
    s += QStringLiteral(" var ovikTextCopied = ") + JsStr(c.TextCopied) + QStringLiteral(";");
    s += QStringLiteral(" var ovikTextTfdtInfo = ") + JsStr(c.TextTfdtInfo) + QStringLiteral(";");
    s += QStringLiteral(" L.geoJson(") + JsonValue(nodeText, QString::fromLatin1(kEmptyCollection))
         + QStringLiteral(R"JS(, {
  style: { weight: 2, opacity: 0.5, color: "#ff0000", fillOpacity: 1, fillColor: "#f5c272" },
  pane: "paneNode",
  pointToLayer: function (feature, latlng) { return new L.CircleMarker(latlng, { radius: 3, pane: "paneNode" }); },
  onEachFeature: function (feature, layer) {
    var p = feature.properties || {};
    nodeObj[String(p.NODE_ID)] = layer;
    layer.on("click", function (e) {
      L.DomEvent.stop(e);
      if (e.originalEvent && e.originalEvent.ctrlKey) {
        console.log("copyID:" + p.NODE_ID);
        layer.bindPopup(ovikRich([{ b: ovikTextNodeInfo }, ovikTextCopied, { br: true },
                                  "(" + ovikText(p.NODE_ID) + " : " + ovikText(p.NODE_NAME) + ")"])).openPopup();
      } else {
        layer.closePopup(); layer.unbindPopup();
      }
    });
  }
}); )JS");
    s += QStringLiteral(" L.geoJson(") + JsonValue(linkText, QString::fromLatin1(kEmptyCollection))
         + QStringLiteral(R"JS(, {
  style: { weight: 3, opacity: 0.7, color: "#548cba", fill: false },
  pane: "paneLink",
  onEachFeature: function (feature, layer) {
    var p = feature.properties || {};
    layer._id = p.LINK_ID;
    linkObj[String(p.LINK_ID)] = layer;
    layer.on("click", function (e) {
      L.DomEvent.stop(e);
      if (e.originalEvent && e.originalEvent.ctrlKey) {
        console.log("copyID:" + p.LINK_ID);
        layer.bindPopup(ovikRich([{ b: ovikTextLinkInfo }, ovikTextCopied, { br: true },
                                  "(" + ovikText(p.LINK_ID) + ")"])).openPopup();
      } else {
        layer.closePopup(); layer.unbindPopup();
      }
    });
  }
}); )JS");
    return s;
}

static QString ClearInvisibleLayerScript()
{
    return QStringLiteral(R"JS(
function ClearInvisibleLayer(layer, list) {
  var keep = {};
  for (var i = 0; i < list.length; i++) { keep[String(list[i])] = true; }
  layer.eachLayer(function (m) {
    var id = (m.options && m.options.lcId !== undefined) ? String(m.options.lcId) : undefined;
    if (!keep[id]) {
      if (layer === LCLayer && typeof MvmtLayer !== "undefined") {
        if (m.PhaseA) { MvmtLayer.removeLayer(m.PhaseA); }
        if (m.PhaseB) { MvmtLayer.removeLayer(m.PhaseB); }
        if (m.ParkedA) { MvmtLayer.removeLayer(m.ParkedA); m.ParkedA = undefined; }
        if (m.ParkedB) { MvmtLayer.removeLayer(m.ParkedB); m.ParkedB = undefined; }
      }
      layer.removeLayer(m);
    }
  });
}
function ovikParseList(data) {
  if (!data || data.result === undefined || data.result === null) { return null; }
  var r = data.result;
  if (Array.isArray(r)) { r = r[0]; }
  if (typeof r === "string") { try { r = JSON.parse(r); } catch (e) { return []; } }
  if (!r || !Array.isArray(r.list)) { return []; }
  return r.list;
}
)JS");
}

static QString GetAxLCLayerScript(const TMainMapPageConfig &c)
{
    QString s = QStringLiteral(" var lcXhr; var ovikLcOffset = ") + JsNum(c.LcMaxZoomOffset)
                + QStringLiteral("; var ovikMvmtOffset = ") + JsNum(c.MvmtMaxZoomOffset)
                + QStringLiteral("; var ovikMarkerOffset = ") + JsNum(c.MarkerMaxZoomOffset) + QStringLiteral(";");
    s += QStringLiteral(R"JS(
function getAxLCLayer(e) {
  var zoom = map.getZoom();
  var maxZoom = map.getMaxZoom();
  if (lcXhr && lcXhr.readyState !== 4) { lcXhr.abort(); }
  if (zoom > maxZoom - ovikLcOffset) {
    if (typeof baseUrl === "undefined" || !baseUrl) { return; }
    lcXhr = $.ajax({
      url: baseUrl + "LCList/" + map.getBounds().toBBoxString(),
      dataType: "json",
      success: function (data) {
        var list = ovikParseList(data);
        if (list === null) { LCLayer.clearLayers(); MvmtLayer.clearLayers(); return; }
        if (list.length === 0) {
          for (var o in lcObj) { if (lcObj[o].blinking()) { lcObj[o].stopBlink(); } }
        }
        ClearInvisibleLayer(LCLayer, list);
        var showMvmt = zoom > maxZoom - ovikMvmtOffset;
        var showMarker = zoom > maxZoom - ovikMarkerOffset;
        if (!showMvmt) { MvmtLayer.clearLayers(); }
        if (showVipPanel && typeof VIPCtrlLayerGroup !== "undefined") {
          if (showMarker) { ClearInvisibleLayer(VIPCtrlLayerGroup, list); } else { VIPCtrlLayerGroup.clearLayers(); }
        }
        if (showTiPanel && typeof TrafficInfoLayerGroup !== "undefined") {
          if (showMarker) { ClearInvisibleLayer(TrafficInfoLayerGroup, list); } else { TrafficInfoLayerGroup.clearLayers(); }
        }
        for (var i = 0; i < list.length; i++) {
          var n = list[i];
          var m = lcObj["LC" + n];
          if (!m) { continue; }
          LCLayer.addLayer(m);
          if (showMvmt) {
            if (m.PhaseA !== undefined) { MvmtLayer.addLayer(m.PhaseA); }
            if (m.PhaseB !== undefined) { MvmtLayer.addLayer(m.PhaseB); }
          }
          if (showVipPanel && showMarker && typeof VIPCtrlLayerGroup !== "undefined" && vipObj[n]) {
            VIPCtrlLayerGroup.addLayer(vipObj[n]);
          }
          if (showTiPanel && showMarker && typeof TrafficInfoLayerGroup !== "undefined" && trafficInfoObj[n]) {
            TrafficInfoLayerGroup.addLayer(trafficInfoObj[n]);
          }
        }
        window.drawLC(list.join(","));
      }
    });
  } else {
    LCLayer.clearLayers();
    MvmtLayer.clearLayers();
    if (showVipPanel && typeof VIPCtrlLayerGroup !== "undefined") { VIPCtrlLayerGroup.clearLayers(); }
    if (showTiPanel && typeof TrafficInfoLayerGroup !== "undefined") { TrafficInfoLayerGroup.clearLayers(); }
  }
}
)JS");
    return s;
}

static QString AppServerScript(const TMainMapPageConfig &c)
{
    QString s;
    s += QStringLiteral(" baseUrl = ")
         + JsStr(QStringLiteral("http://127.0.0.1:%1/datasnap/rest/TServerMethods/").arg(c.AppPort))
         + QStringLiteral(";");
    s += QStringLiteral(" var tfdtLayer = L.featureGroup().addTo(map); layerControl.addOverlay(tfdtLayer, ")
         + JsStr(c.TextDetector) + QStringLiteral("); var tfdtXhr;");
    s += QStringLiteral(" var ovikNodeOffset = ") + JsNum(c.NodeMaxZoomOffset)
         + QStringLiteral("; var ovikLinkOffset = ") + JsNum(c.LinkMaxZoomOffset)
         + QStringLiteral("; var ovikSAOffset = ") + JsNum(c.SAMaxZoomOffset)
         + QStringLiteral("; var ovikTfdtOffset = ") + JsNum(c.TfdtMaxZoomOffset) + QStringLiteral(";");
    s += QStringLiteral(R"JS(
function getAxNodeLinkLayer(e) {
  if (nodeXhr && nodeXhr.readyState !== 4) { nodeXhr.abort(); }
  if (linkXhr && linkXhr.readyState !== 4) { linkXhr.abort(); }
  var zoom = map.getZoom(), maxZoom = map.getMaxZoom();
  var box = map.getBounds().toBBoxString();
  if (zoom > maxZoom - ovikNodeOffset) {
    nodeXhr = $.ajax({ url: baseUrl + "NodeList/" + box, dataType: "json",
      success: function (data) {
        var list = ovikParseList(data) || [];
        nodeLayer.clearLayers();
        for (var i = 0; i < list.length; i++) { var l = nodeObj[String(list[i])]; if (l) { nodeLayer.addLayer(l); } }
      } });
  } else { nodeLayer.clearLayers(); }
  if (zoom > maxZoom - ovikLinkOffset) {
    linkXhr = $.ajax({ url: baseUrl + "LinkList/" + box, dataType: "json",
      success: function (data) {
        var list = ovikParseList(data) || [];
        linkLayer.clearLayers();
        for (var i = 0; i < list.length; i++) { var l = linkObj[String(list[i])]; if (l) { linkLayer.addLayer(l); } }
      } });
  } else { linkLayer.clearLayers(); }
}
map.on("moveend", getAxNodeLinkLayer);
map.on("zoomend", function (e) {
  if (map.getZoom() > map.getMaxZoom() - ovikSAOffset) {
    for (var o in saObj) { SALayer.addLayer(saObj[o]); }
  } else { SALayer.clearLayers(); }
});
function getAxSpecialLayer(e) {
  if (tfdtXhr && tfdtXhr.readyState !== 4) { tfdtXhr.abort(); }
  if (map.getZoom() > map.getMaxZoom() - ovikTfdtOffset) {
    tfdtXhr = $.ajax({ url: baseUrl + "Tfdt/" + map.getBounds().toBBoxString(), dataType: "json",
      success: function (data) {
        var col = { type: "FeatureCollection", features: [] };
        if (data && data.result !== undefined && data.result !== null) {
          var r = Array.isArray(data.result) ? data.result[0] : data.result;
          if (typeof r === "string") { try { r = JSON.parse(r); } catch (err) { r = col; } }
          if (r && r.type) { col = r; }
        }
        tfdtLayer.clearLayers();
        tfdtLayer.addLayer(L.geoJson(col, {
          style: function (f) { var p = f.properties || {};
            return { weight: 2, opacity: 1, color: p.BORDER, fillOpacity: 0.8, fillColor: p.DS, pane: "paneTfdt" }; },
          pointToLayer: function (f, latlng) { var p = f.properties || {};
            return L.circle(latlng, { radius: 2, pane: "paneTfdt", weight: 2, opacity: 1, color: p.BORDER,
                                      fillOpacity: 0.8, fillColor: p.DS }); },
          onEachFeature: function (f, layer) {
            var p = f.properties || {};
            layer.bindTooltip(ovikRich([p.TFDT_NAME, { br: true }, "(" + ovikText(p.TFDT_ID) + ")"]));
            layer.on("click", function (ev) {
              L.DomEvent.stop(ev);
              if (ev.originalEvent && ev.originalEvent.ctrlKey) {
                console.log("copyID:" + p.TFDT_ID);
                layer.bindPopup(ovikRich([{ b: ovikTextTfdtInfo }, ovikTextCopied, { br: true },
                                          "(" + ovikText(p.TFDT_ID) + ")"])).openPopup();
              } else { layer.closePopup(); layer.unbindPopup(); }
            });
          }
        }));
      } });
  } else { tfdtLayer.clearLayers(); }
}
map.on("moveend", getAxSpecialLayer);
var ovikTfdtTimer = setInterval(function () { getAxSpecialLayer(); }, 60000);
)JS");
    if (!c.TfdtVisible)
        s += QStringLiteral(" map.removeLayer(tfdtLayer); ");
    if (!c.SAVisible)
        s += QStringLiteral(" map.removeLayer(SALayer); ");
    if (!c.LcVisible)
        s += QStringLiteral(" map.removeLayer(LCLayer); ");
    if (!c.MvmtVisible)
        s += QStringLiteral(" map.removeLayer(MvmtLayer); ");
    return s;
}

TInitMapPageScript InitMapPage(const TMainMapPageConfig &c, const TMapLegend &legend,
                               const QList<TLcMarkerSpec> &markers,
                               const QList<QPair<int, QString>> &saOutlines, TLcMarkerLists *lists)
{
    TInitMapPageScript r;
    if (c.English)
        r.PreScript = QStringLiteral("$.getScript(\"libs/leaflet.measurecontrol.customized.eng.js\");");

    const QString miniMap = QStringLiteral("{width: %1,  height: %2, zoomLevel: %3 }")
                                .arg(c.MiniMapWidth)
                                .arg(c.MiniMapHeight)
                                .arg(c.MiniMapZoomLevel);
    QString s = QStringLiteral(" initialize(") + JsNumText(c.Lat) + QStringLiteral(", ") + JsNumText(c.Lng)
                + QStringLiteral(", ") + JsNumText(c.Zoom, QStringLiteral("18")) + QStringLiteral(", ")
                + JsStr(c.TileUrl) + QStringLiteral(", ") + JsStr(c.MapName) + QStringLiteral(", ") + miniMap
                + QStringLiteral("); ");

    const TMapBounds &b = c.Bounds;
    if (b.IsEmpty()) {
        r.BoundsMissing = true;
        return r;
    }
    // 1. bounds
    s += QStringLiteral(" map.setMaxBounds([[") + JsNumText(b.FSouth.str()) + QStringLiteral(", ")
         + JsNumText(b.FWest.str()) + QStringLiteral("], [") + JsNumText(b.FNorth.str())
         + QStringLiteral(", ") + JsNumText(b.FEast.str()) + QStringLiteral("]]); ");
    // 2. panes
    const QList<QPair<const char *, int>> panes = {{"paneSA", 410},   {"paneLink", 420}, {"paneNode", 430},
                                                   {"paneLC", 440},   {"paneMvmt", 450}, {"paneTfdt", 460}};
    for (const auto &p : panes)
        s += QStringLiteral(" map.createPane(\"%1\").style.zIndex = %2;").arg(QLatin1String(p.first)).arg(p.second);
    // 3. network layers
    s += NetworkLayersScript(c);
    // 4. ClearInvisibleLayer
    s += ClearInvisibleLayerScript();
    // 5. layer control
    s += QStringLiteral(" var layerControl = L.control.layers(null, {\"Link\": linkLayer, \"Node\": nodeLayer}).addTo(map);");
    // 6. marker options and layer
    s += QStringLiteral(" var LCoptions = { color: ") + HashStr(legend.Status.State[0])
         + QStringLiteral(", pane: \"paneLC\" };"
                          " var LCLayer = L.featureGroup().addTo(map); layerControl.addOverlay(LCLayer, \"LC\");");
    // 7. getAxLCLayer
    s += GetAxLCLayerScript(c);
    // 8. markers
    DrawLCMarkers(s, legend, markers, lists);
    // 9. SA layer
    s += QStringLiteral(" var SALayer = L.featureGroup().addTo(map); layerControl.addOverlay(SALayer, \"SA\");");
    // 10. outlines
    DrawSA(s, legend, saOutlines);
    // 11. movement layer
    s += QStringLiteral(" var MvmtLayer = L.featureGroup().addTo(map); layerControl.addOverlay(MvmtLayer, ")
         + JsStr(c.TextMvmt) + QStringLiteral(");");
    // 12. selection
    s += QStringLiteral(R"JS( var selGroup = undefined;
 var selMarker = L.marker([0, 0], { icon: L.AwesomeMarkers.icon({ icon: "check-square-o", prefix: "fa", markerColor: "green" }) }).addTo(map);
 selMarker.on("mouseover", function (e) { L.DomEvent.stop(e); selMarker.setOpacity(0); });
 selMarker.on("mouseout", function (e) { L.DomEvent.stop(e); selMarker.setOpacity(1); });
 selMarker.on("dblclick", function (e) { L.DomEvent.stop(e); console.log("DoubleClicked:0"); });
)JS");
    // 13. network visibility
    if (!c.NodeVisible)
        s += QStringLiteral(" map.removeLayer(nodeLayer); ");
    if (!c.LinkVisible)
        s += QStringLiteral(" map.removeLayer(linkLayer); ");
    // 14. application server layers
    if (c.AppServer)
        s += AppServerScript(c);
    // 15. first events
    s += QStringLiteral(" map.fire(\"mousemove\").fire(\"zoomend\").fire(\"moveend\"); ");
    // 16. layer visibility back to the console
    s += QStringLiteral(R"JS(
 $(document).off("change.ovik").on("change.ovik", "input.leaflet-control-layers-selector", function () {
   var label = $(this).parent().text();
   if (this.checked) { window.changeVisible("Visible", label); } else { window.changeVisible("Invisible", label); }
 });
)JS");
    // 17. bookmark buttons
    for (int k = 1; k <= 9; ++k)
        s += QStringLiteral(" L.easyButton(\"<b>#%1</b>\", function () { window.bookmark(%1); }).addTo(map);").arg(k);
    // 18. moving
    s += QStringLiteral(" map.on(\"movestart\", function () { window.moving(true); });"
                        " map.on(\"moveend\", function () { window.moving(false); });");
    // 19.
    s += QStringLiteral(" window.loadEnd(); ");
    r.Script = s;
    return r;
}

void DrawLCMarkers(QString &script, const TMapLegend &legend, const QList<TLcMarkerSpec> &markers,
                   TLcMarkerLists *lists)
{
    if (lists)
        lists->Clear();
    script += QStringLiteral(
        " LCLayer.clearLayers();"
        " for (var o in lcObj) { lcObj[o].PhaseA = undefined; lcObj[o].PhaseB = undefined;"
        " lcObj[o].ParkedA = undefined; lcObj[o].ParkedB = undefined;"
        " if (lcObj[o].blinking && lcObj[o].blinking()) { lcObj[o].stopBlink(); } delete lcObj[o]; }"
        " if (typeof MvmtLayer !== \"undefined\") { MvmtLayer.clearLayers();"
        " for (var m in mvmtObj) { mvmtObj[m].refresh = true; } }");
    const QString blink = HashStr(legend.Status.State[2]);
    for (const TLcMarkerSpec &m : markers) {
        const int cls = (m.Class >= 0 && m.Class <= 4) ? m.Class : int(lmcMI);
        const QString lat = JsNumText(m.Lat, QString());
        const QString lng = JsNumText(m.Lng, QString());
        if (lat.isEmpty() || lng.isEmpty())
            continue; // no usable position: no marker, in no list
        if (lists) {
            lists->ByClass[cls] << m.LcNo;
            lists->LC << m.LcNo;
        }
        const QString n = QString::number(m.LcNo);
        const QString var = QStringLiteral("LC") + n;
        const QString label = LcMarkerLabel(m.LcNo, m.Name, cls == lmcVirtual);
        script += QStringLiteral(" LCoptions.radius = ") + JsNum(legend.Radius(cls)) + QLatin1Char(';');
        script += QStringLiteral(" LCoptions.numberOfSides = ") + JsNum(legend.Corners(cls)) + QLatin1Char(';');
        script += QStringLiteral(" LCoptions.lcId = ") + n + QLatin1Char(';');
        script += QStringLiteral(" LCoptions.blinkColor = ") + blink + QLatin1Char(';');
        script += QStringLiteral(" LCoptions.imporFlag = ") + JsBool(m.ImporFlag) + QLatin1Char(';');
        script += QStringLiteral(" LCoptions.text = { text: ") + JsStr(label)
                  + QStringLiteral(", attr: { dx: 0, dy: 0, \"class\": \"LC-Marker-Label\" }, style: { fill: \"black\" } };");
        script += QStringLiteral(" var ") + var + QStringLiteral(" = new L.lcMarker(L.latLng(") + lat
                  + QStringLiteral(", ") + lng + QStringLiteral("), LCoptions);");
        script += QLatin1Char(' ') + var
                  + QStringLiteral(".on(\"contextmenu\", function (e) { L.DomEvent.stop(e); selectedLC = \"") + var
                  + QStringLiteral("\"; console.log(\"SelectedLC:\" + selectedLC); console.log(\"PopupMenu:0\"); });");
        script += QLatin1Char(' ') + var
                  + QStringLiteral(".on(\"click\", function (e) { L.DomEvent.stop(e); selectedLC = \"") + var
                  + QStringLiteral("\"; console.log(\"SelectedLC:\" + selectedLC); });");
        script += QLatin1Char(' ') + var
                  + QStringLiteral(".on(\"dblclick\", function (e) { L.DomEvent.stop(e); selectedLC = \"") + var
                  + QStringLiteral("\"; console.log(\"SelectedLC:\" + selectedLC); console.log(\"DoubleClicked:0\"); });");
        script += QStringLiteral(" lcObj[\"") + var + QStringLiteral("\"] = ") + var + QLatin1Char(';');
    }
}

// The outline value: a bare coordinate list is wrapped once more (a list of lines),
// a GeoJSON object is taken as it is, anything else gives the empty text.
static QString OutlineValue(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return JsonValue(QLatin1Char('[') + t + QLatin1Char(']'), QStringLiteral("\"\""));
    if (t.startsWith(QLatin1Char('{')) && t.endsWith(QLatin1Char('}')))
        return JsonValue(t, QStringLiteral("\"\""));
    return QStringLiteral("\"\"");
}

void DrawSA(QString &script, const TMapLegend &legend, const QList<QPair<int, QString>> &saOutlines)
{
    const QString colour = HashStr(legend.SAColor);
    const QString opacity = JsNum(legend.Opacity());
    script += QStringLiteral(" SALayer.clearLayers(); for (var o in saObj) { delete saObj[o]; }");
    script += QStringLiteral(" var SAOptions = { color: ") + colour + QStringLiteral(", fillColor: ") + colour
              + QStringLiteral(", fillOpacity: ") + opacity + QStringLiteral(", opacity: ") + opacity
              + QStringLiteral(", weight: 1, smoothFactor: 1, pane: \"paneSA\" };");
    const int width = std::max(0, legend.SASize) * 2;
    for (const auto &outline : saOutlines) {
        const QString g = QString::number(outline.first);
        const QString var = QStringLiteral("SA") + g;
        script += QStringLiteral(" var latlngs = ") + OutlineValue(outline.second) + QLatin1Char(';');
        script += QStringLiteral(" if (latlngs !== \"\") { try {"
                                 " if (Array.isArray(latlngs)) { latlngs = turf.multiLineString(latlngs); }"
                                 " var ") + var
                  + QStringLiteral(" = L.geoJson(turf.buffer(latlngs, ") + JsNum(width)
                  + QStringLiteral(", { units: \"meters\" }), { style: SAOptions }).getLayers()[0];"
                                   " if (") + var + QStringLiteral(") { ") + var
                  + QStringLiteral(".on(\"click\", function (e) { L.DomEvent.stop(e); console.log(\"SelectedSA:") + var
                  + QStringLiteral("\"); }); SALayer.addLayer(") + var + QStringLiteral("); saObj[\"") + var
                  + QStringLiteral("\"] = ") + var + QStringLiteral("; } } catch (e) { } }");
    }
    const QString sel = HashStr(legend.SASelectedColor);
    script += QStringLiteral(" if (typeof selGroup !== \"undefined\" && typeof window[selGroup] !== \"undefined\") {"
                             " window[selGroup].setStyle({ color: ") + sel + QStringLiteral(", fillColor: ") + sel
              + QStringLiteral(" }); }");
}

QString SelectLCMarkerScript(const TMapLegend &legend, const QString &lat, const QString &lng)
{
    return ClearSelectionScript(legend) + QStringLiteral(" selMarker.setLatLng([") + JsNumText(lat)
           + QStringLiteral(", ") + JsNumText(lng) + QStringLiteral("]);");
}

QString SelectSingleNodeGroupScript(const TMapLegend &legend, const QString &lat, const QString &lng)
{
    const QString la = JsNumText(lat), ln = JsNumText(lng);
    QString s = ClearSelectionScript(legend);
    s += QStringLiteral(" map.panTo(L.latLng(") + la + QStringLiteral(", ") + ln + QStringLiteral("));");
    s += QStringLiteral(" selMarker.setLatLng([0, 0]);");
    s += QStringLiteral(" if (typeof imhereMarker === \"undefined\" || !imhereMarker || !map.hasLayer(imhereMarker)) {"
                        " imhereMarker = L.marker([") + la + QStringLiteral(", ") + ln
         + QStringLiteral("], { icon: L.AwesomeMarkers.icon({ icon: \"arrow-down\", prefix: \"glyphicon\","
                          " markerColor: \"darkblue\" }) }).addTo(map);"
                          " imhereMarker.bounce(3);"
                          " setTimeout(function () { map.removeLayer(imhereMarker); }, 3000); }");
    return s;
}

QString SelectGroupScript(const TMapLegend &legend, int groupId)
{
    const QString sa = QStringLiteral("SA") + QString::number(groupId);
    const QString sel = Hash(legend.SASelectedColor);
    QString s = ClearSelectionScript(legend);
    s += QStringLiteral(" if (typeof ") + sa + QStringLiteral(" !== \"undefined\") { ") + sa
         + QStringLiteral(".setStyle({color:\"") + sel + QStringLiteral("\", fillColor:\"") + sel
         + QStringLiteral("\"}); selGroup = \"") + sa + QStringLiteral("\"; }");
    s += QStringLiteral(" selMarker.setLatLng([0, 0]);");
    return s;
}

QString BoundsValue(const QString &text)
{
    QString t = text.trimmed();
    if (!t.startsWith(QLatin1Char('[')) || !t.endsWith(QLatin1Char(']')))
        return QStringLiteral("[]");
    t = t.mid(1, t.size() - 2);
    const QStringList parts = t.split(QLatin1Char(','));
    if (parts.size() != 2)
        return QStringLiteral("[]");
    const QString lat = JsNumText(parts[0].trimmed(), QString());
    const QString lng = JsNumText(parts[1].trimmed(), QString());
    if (lat.isEmpty() || lng.isEmpty())
        return QStringLiteral("[]");
    return QLatin1Char('[') + lat + QLatin1Char(',') + lng + QLatin1Char(']');
}

QString FitGroupScript(int groupId, const QString &boundsText, bool takeCurZoom)
{
    const QString sa = QStringLiteral("SA") + QString::number(groupId);
    const QString zoom = takeCurZoom ? QStringLiteral("curZoom") : QStringLiteral("map.getZoom()");
    QString s;
    if (takeCurZoom)
        s += QStringLiteral(" curZoom = map.getZoom();");
    s += QStringLiteral(" if (typeof ") + sa + QStringLiteral(" !== \"undefined\") { var b = ") + sa
         + QStringLiteral(".getBounds(); if (b.isValid()) { map.fitBounds(b, { maxZoom: ") + zoom
         + QStringLiteral(" }); } else { map.fitBoundsEx([") + BoundsValue(boundsText)
         + QStringLiteral("], { maxZoom: ") + zoom + QStringLiteral(" }); } }");
    return s;
}

QString SelectionText(const QString &format, int saId, int tcdvId)
{
    QString text = format;
    text.replace(QStringLiteral("%d"), QStringLiteral("\x01"));
    const QList<int> values = tcdvId > 0 ? QList<int>{saId, tcdvId} : QList<int>{saId};
    for (int v : values) {
        const qsizetype at = text.indexOf(QChar(1));
        if (at < 0)
            break;
        text.replace(at, 1, QString::number(v));
    }
    return text;
}

QString ClearSelectionScript(const TMapLegend &legend)
{
    const QString c = HashStr(legend.SAColor);
    return QStringLiteral(" if (typeof selGroup !== \"undefined\") { if (typeof window[selGroup] !== \"undefined\") {"
                          " window[selGroup].setStyle({ color: ") + c + QStringLiteral(", fillColor: ") + c
           + QStringLiteral(" }); } selGroup = undefined; }");
}

QString PanToScript(const QString &lat, const QString &lng)
{
    return QStringLiteral(" map.panTo(L.latLng(") + JsNumText(lat) + QStringLiteral(", ") + JsNumText(lng)
           + QStringLiteral("));");
}

// ---------------------------------------------------------------------------
// Monitoring cycle: colours and arrows
// ---------------------------------------------------------------------------

namespace {

// The marker colour of a record: its state colour when it is in use (a virtual
// intersection: when its main intersection is), else the not-in-use colour.
QColor MarkerColour(const TSTT_LC_INFO &info, const TLC_INFO_SET &set, const TMapLegend &legend)
{
    bool inUse = info.is_use;
    if (!inUse && info.virtualLC_No >= 1) {
        const PSTT_LC_INFO main = set.GetLcInfo(info.virtualLC_No);
        inUse = main && main->is_use;
    }
    return LcUseColor(legend.Status, inUse, info.opr_stat, info.oprMode);
}

// What the arrow part of a marker's values does.
enum TArrowPart : quint8 {
    apNone = 0,   // nothing (zoom at or below the arrow threshold)
    apRemove = 1, // both arrows removed (no running signal: states 0, 5, 6, 8, 9)
    apRings = 2   // each ring: its arrow, removed or left alone
};

// What a ring's arrow does.
enum TRingPart : quint8 { rpNothing = 0, rpRemove = 1, rpArrow = 2 };

bool NoRunningSignal(int state) { return state == 0 || state == 5 || state == 6 || state == 8 || state == 9; }

// The movement a ring shows, null outside the movement block.
const TMovement *RingMovement(const TSTT_LC_INFO &info, int planInfo, int ring, int phase)
{
    if (planInfo < 0 || planInfo >= MVMT_PLAN_CLASSES || phase < 0 || phase >= MVMT_PHASES || ring < 0
        || ring >= MVMT_RINGS)
        return nullptr;
    return &info.Movements[planInfo][phase][ring];
}

// The arrow's values: name, the four points, colour, label flag, index of the circled
// number, head and end angle. False when a position or angle is not a number.
bool ArrowValues(QString &out, int lcNo, const TMovement &mv, int planInfo, int ring, int phase,
                 const TMapLegend &legend)
{
    if (mv.head_lat.str().isEmpty())
        return false;
    const QString headAngle = JsNumText(mv.head_angle.str(), QString());
    const QString endAngle = JsNumText(mv.end_angle.str(), QString());
    if (headAngle.isEmpty() || endAngle.isEmpty())
        return false;
    const QString *pts[8] = {&mv.head_lat.str(), &mv.head_lng.str(), &mv.mid_lat.str(), &mv.mid_lng.str(),
                             &mv.end_lat.str(),  &mv.end_lng.str(), &mv.label_lat.str(), &mv.label_lng.str()};
    QString p[8];
    for (int i = 0; i < 8; ++i) {
        p[i] = JsNumText(*pts[i], QString());
        if (p[i].isEmpty())
            return false; // a movement without a usable position draws nothing
    }
    out += QLatin1String("[\"mvmt");
    out += QString::number(lcNo).rightJustified(4, QLatin1Char('0'));
    out += QString::number(planInfo);
    out += QString::number(phase);
    out += QString::number(ring);
    out += QLatin1Char('"');
    for (const QString &v : p) {
        out += QLatin1Char(',');
        out += v;
    }
    out += QLatin1String(",\"#");
    out += TColorToHex(legend.GreenMvmt);
    out += QLatin1String("\",");
    out += JsBool(legend.ShowMvmtNo);
    out += QLatin1Char(',');
    out += QString::number(mv.mvmt_no - 1);
    out += QLatin1Char(',');
    out += headAngle;
    out += QLatin1Char(',');
    out += endAngle;
    out += QLatin1Char(']');
    return true;
}

// What the page draws for one intersection; compared with the record.
struct TLcDrawn
{
    QRgb Colour = 0;
    bool Blink = false;
    TArrowPart Arrows = apNone;
    int PlanInfo = 0, Phase[2] = {0, 0};
    const TMovement *Ring[2] = {nullptr, nullptr};
    QRgb Green = 0;
    bool Label = false;
};

TLcDrawn DrawnOf(const TSTT_LC_INFO &info, const TLC_INFO_SET &set, const TMapLegend &legend, int scale,
                 int maxZoom, int mvmtOffset)
{
    TLcDrawn d;
    d.Colour = MarkerColour(info, set, legend).rgb();
    d.Blink = info.flash == 1;
    if (NoRunningSignal(info.opr_stat)) {
        d.Arrows = apRemove;
    } else if (scale > maxZoom - mvmtOffset) {
        d.Arrows = apRings;
        d.PlanInfo = info.planInfo;
        d.Phase[0] = info.phaseA;
        d.Phase[1] = info.phaseB;
        d.Ring[0] = RingMovement(info, info.planInfo, 0, info.phaseA);
        d.Ring[1] = RingMovement(info, info.planInfo, 1, info.phaseB);
        d.Green = legend.GreenMvmt.rgb();
        d.Label = legend.ShowMvmtNo;
    }
    return d;
}

void AppendRing(QString &out, int lcNo, const TSTT_LC_INFO &info, const TLcDrawn &d, int ring,
                const TMapLegend &legend)
{
    const TMovement *mv = d.Ring[ring];
    if (!mv) {
        out += QLatin1String("null");
        return;
    }
    if (mv->mvmt_no < 1) {
        out += QLatin1Char('0');
        return;
    }
    Q_UNUSED(info);
    if (!ArrowValues(out, lcNo, *mv, d.PlanInfo, ring, d.Phase[ring], legend))
        out += QLatin1String("null");
}

// [number, "#colour", blink, arrows] with arrows left out (apNone), 0 (apRemove) or
// [ringA, ringB].
void AppendValues(QString &out, int lcNo, const TSTT_LC_INFO &info, const TLcDrawn &d, const TMapLegend &legend)
{
    out += QLatin1Char('[');
    out += QString::number(lcNo);
    out += QLatin1String(",\"#");
    out += TColorToHex(QColor::fromRgb(d.Colour));
    out += QLatin1String("\",");
    out += d.Blink ? QLatin1Char('1') : QLatin1Char('0');
    if (d.Arrows == apRemove) {
        out += QLatin1String(",0");
    } else if (d.Arrows == apRings) {
        out += QLatin1String(",[");
        AppendRing(out, lcNo, info, d, 0, legend);
        out += QLatin1Char(',');
        AppendRing(out, lcNo, info, d, 1, legend);
        out += QLatin1Char(']');
    }
    out += QLatin1Char(']');
}

bool SameMovement(const TMovement &a, const TMovement &b)
{
    return a.mvmt_no == b.mvmt_no && a.head_lat == b.head_lat && a.head_lng == b.head_lng
           && a.mid_lat == b.mid_lat && a.mid_lng == b.mid_lng && a.end_lat == b.end_lat
           && a.end_lng == b.end_lng && a.label_lat == b.label_lat && a.label_lng == b.label_lng
           && a.head_angle == b.head_angle && a.end_angle == b.end_angle;
}

} // namespace

QString LcMarkerColorHex(int lcNo, const TLC_INFO_SET &set, const TMapLegend &legend)
{
    const PSTT_LC_INFO info = set.GetLcInfo(lcNo);
    if (!info)
        return TColorToHex(legend.Status.Unused);
    return TColorToHex(MarkerColour(*info, set, legend));
}

void MakeMvmtScript(QString &script, int lcNo, const TSTT_LC_INFO &info, int planInfo, int ring, int phase,
                    const TMapLegend &legend)
{
    const TMovement *mv = RingMovement(info, planInfo, ring, phase);
    if (!mv)
        script += QLatin1String("null");
    else if (mv->mvmt_no < 1)
        script += QLatin1Char('0');
    else if (!ArrowValues(script, lcNo, *mv, planInfo, ring, phase, legend))
        script += QLatin1String("null");
}

void MakeLcValues(QString &values, int lcNo, const TLC_INFO_SET &set, const TMapLegend &legend, int scale,
                  int maxZoom, int mvmtOffset)
{
    const PSTT_LC_INFO info = set.GetLcInfo(lcNo);
    if (!info)
        return;
    AppendValues(values, lcNo, *info, DrawnOf(*info, set, legend, scale, maxZoom, mvmtOffset), legend);
}

void MakeLcScript(QString &script, int lcNo, const TLC_INFO_SET &set, const TMapLegend &legend, int scale,
                  int maxZoom, int mvmtOffset)
{
    QString values;
    MakeLcValues(values, lcNo, set, legend, scale, maxZoom, mvmtOffset);
    if (values.isEmpty())
        return;
    script += QLatin1String(" applyLcStates([");
    script += values;
    script += QLatin1String("]); ");
}

QList<int> ParseLcList(const QString &text)
{
    QList<int> out;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (ok)
            out << n;
    }
    return out;
}

QString DrawLCScript(const QString &drawLcText, const TLC_INFO_SET &set, const TMapLegend &legend, int scale,
                     int maxZoom, int mvmtOffset)
{
    QString values;
    for (int n : ParseLcList(drawLcText)) {
        const PSTT_LC_INFO info = set.GetLcInfo(n);
        if (!info)
            continue;
        if (!values.isEmpty())
            values += QLatin1Char(',');
        AppendValues(values, n, *info, DrawnOf(*info, set, legend, scale, maxZoom, mvmtOffset), legend);
    }
    if (values.isEmpty())
        return QString();
    return QLatin1String(" applyLcStates([") + values + QLatin1String("]); ");
}

// ---------------------------------------------------------------------------
// Record of what the page shows
// ---------------------------------------------------------------------------

struct TLcMarkerRecord::TImpl
{
    struct TShown
    {
        quint32 Listed = 0; // the drawLC message that listed it last
        QRgb Colour = 0;
        bool Blink = false;
        TArrowPart Arrows = apNone;
        int PlanInfo = 0, Phase[2] = {0, 0};
        TRingPart Ring[2] = {rpNothing, rpNothing};
        TMovement Movement[2];
        QRgb Green = 0;
        bool Label = false;
    };
    QHash<int, TShown> Shown;
    quint32 Message = 0;
    int Scale = std::numeric_limits<int>::min();

    static TRingPart RingPartOf(const TLcDrawn &d, int ring)
    {
        if (!d.Ring[ring])
            return rpNothing;
        return d.Ring[ring]->mvmt_no < 1 ? rpRemove : rpArrow;
    }

    static bool Same(const TShown &s, const TLcDrawn &d)
    {
        if (s.Colour != d.Colour || s.Blink != d.Blink || s.Arrows != d.Arrows)
            return false;
        if (d.Arrows != apRings)
            return true;
        if (s.PlanInfo != d.PlanInfo || s.Green != d.Green || s.Label != d.Label)
            return false;
        for (int r = 0; r < 2; ++r) {
            if (s.Phase[r] != d.Phase[r] || s.Ring[r] != RingPartOf(d, r))
                return false;
            if (s.Ring[r] == rpArrow && !SameMovement(s.Movement[r], *d.Ring[r]))
                return false;
        }
        return true;
    }

    static void Keep(TShown &s, const TLcDrawn &d)
    {
        s.Colour = d.Colour;
        s.Blink = d.Blink;
        s.Arrows = d.Arrows;
        s.PlanInfo = d.PlanInfo;
        s.Green = d.Green;
        s.Label = d.Label;
        for (int r = 0; r < 2; ++r) {
            s.Phase[r] = d.Phase[r];
            s.Ring[r] = d.Arrows == apRings ? RingPartOf(d, r) : rpNothing;
            s.Movement[r] = s.Ring[r] == rpArrow ? *d.Ring[r] : TMovement();
        }
    }
};

TLcMarkerRecord::TLcMarkerRecord() : d(std::make_unique<TImpl>()) {}

TLcMarkerRecord::~TLcMarkerRecord() = default;

void TLcMarkerRecord::Clear()
{
    d->Shown.clear();
    d->Scale = std::numeric_limits<int>::min();
}

int TLcMarkerRecord::Count() const { return int(d->Shown.size()); }

bool TLcMarkerRecord::Contains(int lcNo) const { return d->Shown.contains(lcNo); }

QString TLcMarkerRecord::DrawLCScript(const QList<int> &list, const TLC_INFO_SET &set, const TMapLegend &legend,
                                      int scale, int maxZoom, int mvmtOffset)
{
    if (list.isEmpty()) {
        // The page lists no marker when it stopped every blink: nothing it shows is known.
        Clear();
        return QString();
    }
    if (scale != d->Scale) {
        // Another zoom shows other markers and arrows: everything listed goes again.
        d->Shown.clear();
        d->Scale = scale;
    }
    const quint32 message = ++d->Message;
    QString values;
    for (int n : list) {
        const PSTT_LC_INFO info = set.GetLcInfo(n);
        if (!info)
            continue;
        const TLcDrawn drawn = DrawnOf(*info, set, legend, scale, maxZoom, mvmtOffset);
        auto it = d->Shown.find(n);
        if (it != d->Shown.end() && it->Listed + 1 == message && TImpl::Same(*it, drawn)) {
            it->Listed = message;
            continue;
        }
        if (it == d->Shown.end())
            it = d->Shown.insert(n, TImpl::TShown());
        it->Listed = message;
        TImpl::Keep(*it, drawn);
        if (!values.isEmpty())
            values += QLatin1Char(',');
        AppendValues(values, n, *info, drawn, legend);
    }
    // Markers the page no longer lists leave the record.
    for (auto it = d->Shown.begin(); it != d->Shown.end();) {
        if (it->Listed != message)
            it = d->Shown.erase(it);
        else
            ++it;
    }
    if (values.isEmpty())
        return QString();
    return QLatin1String(" applyLcStates([") + values + QLatin1String("]); ");
}

// ---------------------------------------------------------------------------
// Traffic-information panel
// ---------------------------------------------------------------------------

QStringList TrafficInfoShowScripts()
{
    const QString first = QStringLiteral(R"JS( showTiPanel = true;
 function onTrafficInfoMarkerClick(e) {
   L.DomEvent.stop(e);
   var m = e.target;
   var lcId = m.options.lcId;
   var entry = trafficInfoObj[lcId];
   var selected = !(entry && entry.selected);
   m.setIcon(L.AwesomeMarkers.icon({ icon: selected ? "check-square-o" : "square-o", prefix: "fa",
                                     markerColor: selected ? "green" : "red" }));
   if (entry) { entry.selected = selected; }
   console.log((selected ? "TrafficInfoSelected:" : "TrafficInfoUnselected:") + lcId);
 }
)JS");
    const QString second = QStringLiteral(R"JS( if (typeof TrafficInfoLayerGroup === "undefined") { var TrafficInfoLayerGroup = L.featureGroup(); }
 TrafficInfoLayerGroup.clearLayers();
 for (var o in trafficInfoObj) { delete trafficInfoObj[o]; }
 for (var key in lcObj) {
   var lc = lcObj[key];
   if (!lc.options.imporFlag) { continue; }
   var tm = L.marker(lc.getLatLng(), { lcId: lc.options.lcId, pane: "paneTfdt",
     icon: L.AwesomeMarkers.icon({ icon: "square-o", prefix: "fa", markerColor: "red" }) });
   tm.selected = false;
   tm.on("click", onTrafficInfoMarkerClick);
   trafficInfoObj[lc.options.lcId] = tm;
   TrafficInfoLayerGroup.addLayer(tm);
 }
 TrafficInfoLayerGroup.addTo(map);
)JS");
    return {first, second};
}

QString TrafficInfoHideScript()
{
    return QStringLiteral(" showTiPanel = false;  map.removeLayer(TrafficInfoLayerGroup);"
                          "  TrafficInfoLayerGroup.clearLayers();  for (var o in trafficInfoObj) { delete trafficInfoObj[o]; } ");
}

QString TrafficInfoSql(bool oraFunc)
{
    const QString limit = oraFunc ? QStringLiteral(" SYSDATE - interval '300' second ")
                                  : QStringLiteral(" DATE_ADD(NOW(), INTERVAL -300 SECOND) ");
    return QStringLiteral(
               " SELECT T.INT_LCNO, T.INT_DIR1 AS DIR1, T.INT_DIR2 AS DIR2, T.INT_SUMVOL AS VOLUME,"
               " T.INT_AVGSPD AS AVERAGE_SPEED, T.INT_DS AS DS, T.INT_QL AS QUEUE_LENGTH, T.INT_SUMSMT AS SUMSMT"
               " FROM (SELECT INT_LCNO, INT_DIR1, INT_DIR2, MAX(INT_CREDATE) AS INT_CREDATE"
               " FROM SCS_L_INTTRAFFIC WHERE INT_LCNO = :LC_NO AND INT_CREDATE >= ")
           + limit
           + QStringLiteral(" GROUP BY INT_LCNO, INT_DIR1, INT_DIR2) M"
                            " INNER JOIN SCS_L_INTTRAFFIC T ON T.INT_CREDATE = M.INT_CREDATE AND T.INT_LCNO = M.INT_LCNO"
                            " AND T.INT_DIR1 = M.INT_DIR1 AND T.INT_DIR2 = M.INT_DIR2"
                            " ORDER BY T.INT_DIR1, T.INT_DIR2 ");
}

bool LoadTrafficInfo(const QSqlDatabase &db, bool oraFunc, int lcNo, QList<TTrafficInfoRow> *rows, QSqlError *error)
{
    QSqlQuery q(db);
    if (!q.prepare(TrafficInfoSql(oraFunc))) {
        if (error)
            *error = q.lastError();
        return false;
    }
    q.bindValue(QStringLiteral(":LC_NO"), lcNo);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    while (q.next()) {
        TTrafficInfoRow r;
        r.LcNo = q.value(0).toInt();
        r.Dir1 = q.value(1).toString();
        r.Dir2 = q.value(2).toString();
        r.Volume = q.value(3).toInt();
        r.AverageSpeed = q.value(4).toString();
        r.DS = q.value(5).toString();
        r.QueueLength = q.value(6).toString();
        r.SumSmt = q.value(7).toString();
        if (rows)
            rows->append(r);
    }
    return true;
}

} // namespace MainMapPage
