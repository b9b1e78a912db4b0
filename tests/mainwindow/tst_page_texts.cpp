// Hostile names on the main map page: every tooltip, popup, label and name the
// page shows is given a name made to break out (markup with an event handler, a
// closing script tag, quotes, line and paragraph separators), and the page must
// show it as text: the element's text equals the name and no element or script
// was made of it.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWebEnginePage>

#include "core/Quorval.h"
#include "foundation/JsEscape.h"
#include "mainwindow/BookmarkUnit.h"
#include "mainwindow/MainMapPageUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/PanelTextUnit.h"
#include "mainwindow/VehiclePollerUnit.h"
#include "mainwindow/untEmergencyPanel.h"

namespace {

// Each runs script when it becomes markup: the page counts in window.ovikPwned.
const QStringList &HostileNames()
{
    static const QStringList names = {
        QStringLiteral("<img src=x onerror=\"window.ovikPwned=(window.ovikPwned||0)+1\">"),
        QStringLiteral("</script><script>window.ovikPwned=(window.ovikPwned||0)+1</script>"),
        QStringLiteral("<svg onload=window.ovikPwned=1><b>굵게</b>"),
        QStringLiteral("\"'; window.ovikPwned=1; '\" & &amp; `${1}`"),
        QStringLiteral("줄\u2028바꿈\u2029문단 \\ \\u003c"),
        QStringLiteral("<iframe src=\"javascript:window.parent.ovikPwned=1\"></iframe>"),
    };
    return names;
}

} // namespace

class TstPageTexts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void intersectionLabels();
    void emergencyServices();
    void vehicles();
    void networkPopupsAndDetectors();
    void layerControlNames();
    void bookmarkFlagAndMovementLabels();
    void leafletStringContentIsText();
    void nothingRanAndNoMarkupWasMade();

private:
    QVariant Js(const QString &script) { return FCtl->EvaluateJavaScript(script, 20000); }
    QString Run(const QString &script)
    {
        return Js(QStringLiteral("(function () { try { (0, eval)(") + JsStr(script)
                  + QStringLiteral("); return 'ok'; } catch (e) { return String(e); } })()"))
            .toString();
    }
    // The text of what `expr` (an element of the page) shows.
    QString TextOf(const QString &expr)
    {
        return Js(QStringLiteral("(function () { var e = ") + expr
                  + QStringLiteral("; return e ? e.textContent : '(no element)'; })()"))
            .toString();
    }
    // Elements below `expr` other than the span and text of a plain text, and the
    // markup tags that a hostile name holds.
    int MarkupIn(const QString &expr)
    {
        return Js(QStringLiteral("(function () { var e = ") + expr
                  + QStringLiteral("; if (!e) { return -1; }"
                                   " return e.querySelectorAll('img, script, svg, b, iframe').length; })()"))
            .toInt();
    }
    bool WaitReady();

    QWidget *FWindow = nullptr;
    TMapViewController *FCtl = nullptr;
    TMainMapPageConfig FConfig;
    TMapLegend FLegend = TMapLegend::Defaults();
    QList<TLcMarkerSpec> FMarkers;
    QStringList FErrors;
};

bool TstPageTexts::WaitReady()
{
    QElapsedTimer t;
    t.start();
    while (FCtl->IsLoading() && t.elapsed() < 60000)
        QTest::qWait(20);
    return !FCtl->IsLoading();
}

void TstPageTexts::initTestCase()
{
    // One intersection per hostile name (and a virtual one), a node and a link
    // whose properties carry hostile names.
    int lc = 1;
    for (const QString &name : HostileNames()) {
        TLcMarkerSpec m;
        m.LcNo = lc;
        m.Lat = QString::number(37.51 + lc * 0.001, 'f', 4);
        m.Lng = QStringLiteral("127.0350");
        m.Name = name;
        FMarkers << m;
        ++lc;
    }
    TLcMarkerSpec virt = FMarkers.first();
    virt.LcNo = 99;
    virt.Class = lmcVirtual;
    FMarkers << virt;

    QJsonArray nodes, links;
    for (int i = 0; i < HostileNames().size(); ++i) {
        const double lat = 37.512 + i * 0.0005;
        nodes.append(QJsonObject{
            {"type", "Feature"},
            {"properties", QJsonObject{{"NODE_ID", HostileNames().at(i)}, {"NODE_NAME", HostileNames().at(i)}}},
            {"geometry", QJsonObject{{"type", "Point"}, {"coordinates", QJsonArray{127.036, lat}}}}});
        links.append(QJsonObject{
            {"type", "Feature"},
            {"properties", QJsonObject{{"LINK_ID", HostileNames().at(i)}}},
            {"geometry", QJsonObject{{"type", "LineString"},
                                     {"coordinates", QJsonArray{QJsonArray{127.037, lat}, QJsonArray{127.038, lat}}}}}});
    }
    FConfig.NodeGeoJson = QString::fromUtf8(
        QJsonDocument(QJsonObject{{"type", "FeatureCollection"}, {"features", nodes}}).toJson(QJsonDocument::Compact));
    FConfig.LinkGeoJson = QString::fromUtf8(
        QJsonDocument(QJsonObject{{"type", "FeatureCollection"}, {"features", links}}).toJson(QJsonDocument::Compact));
    FConfig.Lat = QStringLiteral("37.5140");
    FConfig.Lng = QStringLiteral("127.0350");
    FConfig.Zoom = QStringLiteral("16");
    FConfig.TileUrl = QStringLiteral("../tiles/{z}/{x}/{y}.png");
    FConfig.Bounds.FSouth = QStringLiteral("37.40");
    FConfig.Bounds.FWest = QStringLiteral("126.90");
    FConfig.Bounds.FNorth = QStringLiteral("37.65");
    FConfig.Bounds.FEast = QStringLiteral("127.20");
    FConfig.AppServer = true; // its answers are given by the test (below)
    FConfig.AppPort = 9;
    FConfig.LoadTexts();

    FWindow = new QWidget;
    FWindow->resize(1000, 700);
    auto *panel = new QWidget(FWindow);
    panel->setGeometry(0, 0, 1000, 700);
    const QUrl url = QUrl::fromLocalFile(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("html/main.html")));
    QVERIFY(QFileInfo::exists(url.toLocalFile()));
    FCtl = new TMapViewController(FWindow, panel, url, [this] {
        // The page watches itself: every element added anywhere that is a script or
        // a frame, or that carries an event-handler attribute (the page's own code
        // never sets one), is recorded.
        FCtl->ExecuteJavaScript(QStringLiteral(
            " window.ovikAdded = [];"
            " new MutationObserver(function (ms) { ms.forEach(function (m) {"
            "   m.addedNodes.forEach(function (n) { if (n.nodeType === 1) {"
            "     var all = [n].concat(Array.prototype.slice.call(n.querySelectorAll('*')));"
            "     all.forEach(function (e) { var t = e.tagName.toLowerCase();"
            "       var handler = Array.prototype.some.call(e.attributes, function (a) { return /^on/i.test(a.name); });"
            "       if (handler || ['script', 'iframe'].indexOf(t) >= 0)"
            "         { window.ovikAdded.push(t + ':' + (e.outerHTML || '').slice(0, 80)); } }); } }); }); })"
            " .observe(document.documentElement, { childList: true, subtree: true });"));
        const TInitMapPageScript s = MainMapPage::InitMapPage(FConfig, FLegend, FMarkers, {}, nullptr);
        if (!s.PreScript.isEmpty())
            FCtl->ExecuteJavaScript(s.PreScript);
        FCtl->ExecuteJavaScript(s.Script);
    });
    FCtl->SetWebSecurity(false);
    connect(FCtl, &TMapViewController::consoleMessage, this,
            [this](int level, const QString &message, int line, const QString &source) {
                if (level == QWebEnginePage::ErrorMessageLevel)
                    FErrors << QStringLiteral("%1 (%2:%3)").arg(message, source).arg(line);
            });
    FWindow->show();
    FCtl->Load(FCtl->MapURL());
    QVERIFY(WaitReady());
    QVERIFY(Js(QStringLiteral("typeof ovikRich === 'function' && typeof ovikTextNode === 'function'")).toBool());
    // The local application server answers from here on with what the test gives.
    QCOMPARE(Run(QStringLiteral(
                 " window.ovikAnswers = {};"
                 " $.ajax = function (o) { var key = Object.keys(window.ovikAnswers).filter(function (k) {"
                 "   return String(o.url).indexOf(k) >= 0; })[0];"
                 "   if (key && o.success) { o.success(window.ovikAnswers[key]); }"
                 "   return { readyState: 4, abort: function () {} }; };")),
             QStringLiteral("ok"));
}

void TstPageTexts::cleanupTestCase()
{
    delete FWindow;
    FWindow = nullptr;
}

void TstPageTexts::intersectionLabels()
{
    QCOMPARE(Run(QStringLiteral("for (var k in lcObj) { LCLayer.addLayer(lcObj[k]); }")), QStringLiteral("ok"));
    for (const TLcMarkerSpec &m : std::as_const(FMarkers)) {
        const QString var = QStringLiteral("LC%1").arg(m.LcNo);
        const QString label = LcMarkerLabel(m.LcNo, m.Name, m.Class == lmcVirtual);
        QVERIFY(label.contains(m.Name));
        QCOMPARE(TextOf(var + QStringLiteral("._label")), label);
        QCOMPARE(MarkupIn(var + QStringLiteral("._label")), 0);
    }
}

void TstPageTexts::emergencyServices()
{
    int i = 0;
    for (const QString &name : HostileNames()) {
        // A service of another operator, shown on every console: its name in the tooltip.
        TAppService svc;
        svc.ServiceId = QStringLiteral("S%1").arg(++i) + name.left(3);
        svc.ServiceName = name;
        svc.Lat = QStringLiteral("37.515");
        svc.Lng = QStringLiteral("127.035");
        QCOMPARE(Run(AppEmergencyScript::Marker(svc)), QStringLiteral("ok"));
        const QString var = AppEmergencyScript::MarkerVar(svc.ServiceId);
        QCOMPARE(Run(var + QStringLiteral(".openTooltip();")), QStringLiteral("ok"));
        QCOMPARE(TextOf(var + QStringLiteral(".getTooltip().getElement()")), name);
        QCOMPARE(MarkupIn(var + QStringLiteral(".getTooltip().getElement()")), 0);
        // Renamed.
        const QString renamed = name + QStringLiteral(" 2");
        QCOMPARE(Run(AppEmergencyScript::Tooltip(svc.ServiceId, renamed)), QStringLiteral("ok"));
        QCOMPARE(Run(var + QStringLiteral(".openTooltip();")), QStringLiteral("ok"));
        QCOMPARE(TextOf(var + QStringLiteral(".getTooltip().getElement()")), renamed);
        QCOMPARE(MarkupIn(var + QStringLiteral(".getTooltip().getElement()")), 0);
    }
    // The popup of a new service's marker.
    const QString id = QStringLiteral("S261211070100");
    QCOMPARE(Run(QStringLiteral("window.dragEnd = function () {};")), QStringLiteral("ok"));
    QCOMPARE(Run(AppEmergencyScript::NewMarker(id, HostileNames().first())), QStringLiteral("ok"));
    const QString var = AppEmergencyScript::MarkerVar(id);
    QCOMPARE(TextOf(var + QStringLiteral(".getPopup().getElement().querySelector('.leaflet-popup-content')")),
             HostileNames().first());
    QCOMPARE(MarkupIn(var + QStringLiteral(".getPopup().getElement()")), 0);
    QCOMPARE(Run(AppEmergencyScript::ClearAll()), QStringLiteral("ok"));
}

void TstPageTexts::vehicles()
{
    // Vehicle identifiers from the pollers: names beside the cars, bus popups.
    QStringList ids;
    QString answer = QStringLiteral("[");
    int i = 0;
    for (const QString &name : HostileNames()) {
        QString id = name;
        id.remove(QLatin1Char(',')).remove(QLatin1Char(';')).remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        ids << id;
        if (i)
            answer += QLatin1Char(',');
        answer += id + QStringLiteral(";37.51%1;127.031").arg(++i);
    }
    answer += QLatin1Char(']');
    for (const QString &script : WasScripts(answer))
        QCOMPARE(Run(script), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("carLayer.getLayers().length")).toInt(), ids.size());
    for (const QString &id : std::as_const(ids)) {
        const QString var = PanelJsVar(QStringLiteral("car_"), id);
        QCOMPARE(TextOf(var + QStringLiteral(".getTooltip().getElement()")), id);
        QCOMPARE(MarkupIn(var + QStringLiteral(".getTooltip().getElement()")), 0);
    }
    QCOMPARE(Run(WasScripts(QStringLiteral("[]")).join(QLatin1Char(' '))), QStringLiteral("ok"));

    for (const QString &name : HostileNames()) {
        TBusRecord bus;
        bus.ObeId = name;
        bus.LatE7 = 375140000;
        bus.LngE7 = 1270350000;
        QCOMPARE(Run(BusMarkerScript(bus)), QStringLiteral("ok"));
        const QString var = PanelJsVar(QStringLiteral("bus_"), bus.ObeId);
        QCOMPARE(Run(var + QStringLiteral(".openPopup();")), QStringLiteral("ok"));
        QCOMPARE(TextOf(var + QStringLiteral(".getPopup().getElement().querySelector('.leaflet-popup-content')")),
                 QStringLiteral("OBE ID : ") + name);
        QCOMPARE(MarkupIn(var + QStringLiteral(".getPopup().getElement()")), 0);
        QCOMPARE(Run(BusRemoveScript(bus.ObeId)), QStringLiteral("ok"));
    }
}

void TstPageTexts::networkPopupsAndDetectors()
{
    // Node and link popups (Ctrl+click copies the identifier and shows it).
    QCOMPARE(Run(QStringLiteral("window.ovikClick = function (layer) { layer.fire('click', { originalEvent:"
                                " { ctrlKey: true }, latlng: layer.getLatLng ? layer.getLatLng() : layer.getCenter() }); };")),
             QStringLiteral("ok"));
    for (const QString &name : HostileNames()) {
        const QString node = QStringLiteral("nodeObj[") + JsStr(name) + QLatin1Char(']');
        QCOMPARE(Run(QStringLiteral("nodeLayer.addLayer(") + node + QStringLiteral("); ovikClick(") + node
                     + QStringLiteral(");")),
                 QStringLiteral("ok"));
        const QString content = node + QStringLiteral(".getPopup().getElement().querySelector('.leaflet-popup-content')");
        QCOMPARE(TextOf(content), FConfig.TextNodeInfo + FConfig.TextCopied + QStringLiteral("(") + name
                                      + QStringLiteral(" : ") + name + QStringLiteral(")"));
        QCOMPARE(MarkupIn(content), 0);
        // The caption is bold, the line break a line break: markup of the page's own.
        QCOMPARE(Js(content + QStringLiteral(".querySelectorAll('strong').length")).toInt(), 1);
        QCOMPARE(Js(content + QStringLiteral(".querySelectorAll('br').length")).toInt(), 1);

        const QString link = QStringLiteral("linkObj[") + JsStr(name) + QLatin1Char(']');
        QCOMPARE(Run(QStringLiteral("linkLayer.addLayer(") + link + QStringLiteral("); ovikClick(") + link
                     + QStringLiteral(");")),
                 QStringLiteral("ok"));
        const QString linkContent = link + QStringLiteral(".getPopup().getElement().querySelector('.leaflet-popup-content')");
        QCOMPARE(TextOf(linkContent), FConfig.TextLinkInfo + FConfig.TextCopied + QStringLiteral("(") + name
                                          + QStringLiteral(")"));
        QCOMPARE(MarkupIn(linkContent), 0);
    }

    // Detectors from the local application server: names in tooltips and popups.
    QJsonArray features;
    for (const QString &name : HostileNames())
        features.append(QJsonObject{
            {"type", "Feature"},
            {"properties", QJsonObject{{"TFDT_ID", name}, {"TFDT_NAME", name}, {"BORDER", "#000"}, {"DS", "#0f0"}}},
            {"geometry", QJsonObject{{"type", "Point"}, {"coordinates", QJsonArray{127.035, 37.514}}}}});
    const QString collection = QString::fromUtf8(
        QJsonDocument(QJsonObject{{"type", "FeatureCollection"}, {"features", features}}).toJson(QJsonDocument::Compact));
    QCOMPARE(Run(QStringLiteral("window.ovikAnswers['Tfdt/'] = { result: [") + JsStr(collection)
                 + QStringLiteral("] }; getAxSpecialLayer();")),
             QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("tfdtLayer.getLayers()[0].getLayers().length")).toInt(), HostileNames().size());
    for (int i = 0; i < HostileNames().size(); ++i) {
        const QString name = HostileNames().at(i);
        const QString layer = QStringLiteral("tfdtLayer.getLayers()[0].getLayers()[%1]").arg(i);
        QCOMPARE(Run(layer + QStringLiteral(".openTooltip();")), QStringLiteral("ok"));
        const QString tip = layer + QStringLiteral(".getTooltip().getElement()");
        QCOMPARE(TextOf(tip), name + QStringLiteral("(") + name + QStringLiteral(")"));
        QCOMPARE(MarkupIn(tip), 0);
        QCOMPARE(Js(tip + QStringLiteral(".querySelectorAll('br').length")).toInt(), 1);
        QCOMPARE(Run(QStringLiteral("ovikClick(") + layer + QStringLiteral(");")), QStringLiteral("ok"));
        const QString content = layer + QStringLiteral(".getPopup().getElement().querySelector('.leaflet-popup-content')");
        QCOMPARE(TextOf(content), FConfig.TextTfdtInfo + FConfig.TextCopied + QStringLiteral("(") + name
                                      + QStringLiteral(")"));
        QCOMPARE(MarkupIn(content), 0);
    }
}

void TstPageTexts::layerControlNames()
{
    for (const QString &name : HostileNames())
        QCOMPARE(Run(QStringLiteral("layerControl.addOverlay(L.featureGroup(), ") + JsStr(name) + QStringLiteral(");")),
                 QStringLiteral("ok"));
    const QStringList shown =
        Js(QStringLiteral("Array.prototype.map.call(document.querySelectorAll('.leaflet-control-layers-overlays label'),"
                          " function (l) { return l.textContent; })"))
            .toStringList();
    for (const QString &name : HostileNames())
        QVERIFY2(shown.contains(QLatin1Char(' ') + name), qPrintable(name));
    QCOMPARE(MarkupIn(QStringLiteral("document.querySelector('.leaflet-control-layers')")), 0);
}

void TstPageTexts::bookmarkFlagAndMovementLabels()
{
    for (const QString &name : HostileNames()) {
        // A flag whose language and number came from elsewhere than the console.
        QCOMPARE(Run(QStringLiteral("showBookmarkFlag(") + JsStr(name) + QStringLiteral(", ") + JsStr(name)
                     + QStringLiteral(", ") + JsStr(name) + QStringLiteral(");")),
                 QStringLiteral("ok"));
        QCOMPARE(TextOf(QStringLiteral("bookmarkFlag.getTooltip().getElement()")), QStringLiteral("북마크 #0"));
        // A movement arrow's label.
        QCOMPARE(Run(QStringLiteral("window.ovikMv = L.simpleMovement([[37.514, 127.035], [37.5145, 127.0355],"
                                    " [37.515, 127.036]], { color: '#f00', label: true, text: { text: ")
                     + JsStr(name) + QStringLiteral(" } }).addTo(map);")),
                 QStringLiteral("ok"));
        QCOMPARE(TextOf(QStringLiteral("ovikMv._labelMarker.getElement()")), name);
        QCOMPARE(MarkupIn(QStringLiteral("ovikMv._labelMarker.getElement()")), 0);
        QCOMPARE(Run(QStringLiteral("map.removeLayer(ovikMv);")), QStringLiteral("ok"));
    }
}

void TstPageTexts::leafletStringContentIsText()
{
    // Whatever script of ours hands Leaflet a string, it is shown as text: tooltips
    // and popups bound, set and made with their content as an option, div icons.
    for (const QString &name : HostileNames()) {
        const QString n = JsStr(name);
        QCOMPARE(Run(QStringLiteral(
                     " window.ovikM = L.marker([37.514, 127.035]).addTo(map);"
                     " ovikM.bindTooltip(") + n + QStringLiteral(", { permanent: true }).openTooltip();"
                     " ovikM.bindPopup(") + n + QStringLiteral(").openPopup();"
                     " window.ovikT = L.tooltip({ content: ") + n + QStringLiteral(" }).setLatLng([37.514, 127.036]).addTo(map);"
                     " window.ovikP = L.popup().setLatLng([37.513, 127.035]).setContent(function () { return ") + n
                     + QStringLiteral("; }).openOn(map);"
                     " window.ovikD = L.marker([37.514, 127.037], { icon: L.divIcon({ html: ") + n
                     + QStringLiteral(" }) }).addTo(map);")),
                 QStringLiteral("ok"));
        for (const char *e : {"ovikM.getTooltip().getElement()",
                              "ovikM.getPopup().getElement().querySelector('.leaflet-popup-content')",
                              "ovikT.getElement()",
                              "ovikP.getElement().querySelector('.leaflet-popup-content')",
                              "ovikD.getElement()"}) {
            QCOMPARE(TextOf(QLatin1String(e)), name);
            QCOMPARE(MarkupIn(QLatin1String(e)), 0);
        }
        QCOMPARE(Run(QStringLiteral("ovikM.setTooltipContent(") + n + QStringLiteral(");")), QStringLiteral("ok"));
        QCOMPARE(TextOf(QStringLiteral("ovikM.getTooltip().getElement()")), name);
        QCOMPARE(Run(QStringLiteral("[ovikM, ovikT, ovikD].forEach(function (l) { map.removeLayer(l); }); map.closePopup();")),
                 QStringLiteral("ok"));
    }
}

void TstPageTexts::nothingRanAndNoMarkupWasMade()
{
    // Give a made-up image time to fail and its handler time to run.
    QTest::qWait(500);
    QCOMPARE(Js(QStringLiteral("String(window.ovikPwned)")).toString(), QStringLiteral("undefined"));
    QCOMPARE(Js(QStringLiteral("window.ovikAdded.join('\\n')")).toString(), QString());
    QVERIFY2(FErrors.filter(QStringLiteral("Uncaught")).isEmpty(), qPrintable(FErrors.join(QLatin1Char('\n'))));
}

int main(int argc, char *argv[])
{
    InitMapViewRuntime();
    QApplication app(argc, argv);
    ScriptedMsgDlg boxes;
    TstPageTexts t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_page_texts.moc"
