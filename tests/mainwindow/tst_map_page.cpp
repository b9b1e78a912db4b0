// The main map page in a real browser view: initialisation, markers, outlines,
// colours, the page's messages back to the console, the application server's
// intersection list and the layer threads' scripts.
#include <QJsonObject>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <QWebEngineView>

#include "AppSvrUnit.h"
#include "mainwindow/BookmarkUnit.h"
#include "foundation/JsEscape.h"
#include "mainwindow/MainMapPageUnit.h"
#include "mainwindow/MapViewControllerUnit.h"
#include "mainwindow/NodeThreadUnit.h"
#include "core/Quorval.h"
#include "centrelink/RC2MMIUnit.h"
#include "TestDb.h"
#include "mainwindow/VehiclePollerUnit.h"
#include "mainwindow/untEmergencyPanel.h"
#include "mainwindow/untVipPanel.h"

static const char *kDb = "map_page";
static ScriptedMsgDlg *gBoxes = nullptr;

class TstMapPage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void initialisationBuildsMarkersAndOutlines();
    void pageShowsLayersWithoutTileServer();
    void listedIntersectionsComeBackAsDrawLC();
    void intersectionLayerFollowsZoomAndList();
    void markerColours_data();
    void markerColours();
    void flashingMarkerBlinks();
    void movementArrows();
    void hiddenArrowShownAgainAtItsPoints();
    void changedMarkersOnlyKeepThePageRight();
    void typedNativeCalls();
    void consoleMessagesFromMarkers();
    void copyToClipboard();
    void viewTakesFocusUnderMouse();
    void scriptFromWorkerThread();
    void namesWithQuotesAndLineBreaks();
    void trafficInfoPanel();
    void pageDefinesWhatTheConsoleCalls();
    void panelScriptsRunInThePage();
    void layerThreadDrawsNodes();
    void reloadRunsInitialisationAgain();
    void otherAddressRunsNoInitialisation();
    void missingPageFileIsReported();

private:
    QVariant Js(const QString &script) { return FCtl->EvaluateJavaScript(script, 20000); }
    // Runs a console script at the page's top level: "ok", or the error it raised.
    QString Run(const QString &script)
    {
        return Js(QStringLiteral("(function () { try { (0, eval)(") + JsStr(script)
                  + QStringLiteral("); return 'ok'; } catch (e) { return String(e); } })()"))
            .toString();
    }
    // Arrows of plan 0, phase 0 of both rings near the intersection, as the movement
    // editor stores them (movement numbers 2 and 6).
    void SetTestMovements(int lc);
    // The test arrows on `lc`, which runs steadily in plan 0, phase 0 of both rings.
    PSTT_LC_INFO SteadyWithArrows(int lc);
    // The arrows of the movement layer the map shows (their line is displayed).
    int ShownArrows()
    {
        return Js(QStringLiteral("MvmtLayer.getLayers().filter(function (m) {"
                                 " return m._line && m._line._path && m._line._path.isConnected"
                                 " && getComputedStyle(m._line._path).display !== 'none'; }).length"))
            .toInt();
    }
    // The number of the i-th demo marker, put on the intersection layer.
    int OnMap(int i)
    {
        const int lc = FMarkers.at(i).LcNo;
        Js(QStringLiteral("LCLayer.addLayer(LC%1); 0").arg(lc));
        return lc;
    }
    void RunInit();
    bool WaitReady();

    QSqlDatabase FDb;
    TLC_INFO_SET FSet;
    QList<TLcMarkerSpec> FMarkers;
    QList<QPair<int, QString>> FOutlines;
    TMapLegend FLegend = TMapLegend::Defaults();
    TLcMarkerLists FLists;
    TMainMapPageConfig FConfig;
    TOvikAppServer *FServer = nullptr;
    QWidget *FWindow = nullptr;
    TMapViewController *FCtl = nullptr;
    int FInitRuns = 0;
    QStringList FErrors;
};

static TDBConnectionFactory Factory()
{
    TDBInfo info;
    info.DBType = dtMariaDB;
    info.Server = QStringLiteral("127.0.0.1");
    info.Port = QString::number(TestDb::port());
    info.DBName = QString::fromLatin1(kDb);
    info.UserID = TestDb::user();
    info.UserPW = TestDb::password();
    return TDBConnectionFactory(info, 3);
}

void TstMapPage::RunInit()
{
    ++FInitRuns;
    const TInitMapPageScript s = MainMapPage::InitMapPage(FConfig, FLegend, FMarkers, FOutlines, &FLists);
    if (!s.PreScript.isEmpty())
        FCtl->ExecuteJavaScript(s.PreScript);
    FCtl->ExecuteJavaScript(s.Script);
}

bool TstMapPage::WaitReady()
{
    QElapsedTimer t;
    t.start();
    while (FCtl->IsLoading() && t.elapsed() < 60000)
        QTest::qWait(20);
    return !FCtl->IsLoading();
}

void TstMapPage::initTestCase()
{
    QVERIFY(TestDb::create(QString::fromLatin1(kDb), true));
    FDb = TestDb::open(QString::fromLatin1(kDb));
    QVERIFY(FDb.isOpen());
    QString error;
    QVERIFY2(FSet.LoadFromDb(FDb, &error), qPrintable(error));
    QVERIFY2(FSet.LoadMovementsFromDb(FDb, 0, &error), qPrintable(error));
    QList<int> all;
    QSet<int> withDet;
    QSqlError markerError;
    QVERIFY2(LoadLcMarkerSources(FDb, &all, &withDet, &markerError), qPrintable(markerError.text()));
    FMarkers = CollectLcMarkers(all, withDet, FSet);
    QVERIFY(FMarkers.size() >= 10);
    QSqlQuery q(FDb);
    QVERIFY(q.exec(QStringLiteral("SELECT SA_NO, SA_LATLNGS FROM SCS_M_SAOPERATE ORDER BY SA_NO")));
    while (q.next())
        if (!q.value(1).isNull())
            FOutlines << qMakePair(q.value(0).toInt(), QString::fromUtf8(q.value(1).toByteArray()));
    QVERIFY(!FOutlines.isEmpty());

    // The local application server of the page, in this process.
    FServer = new TOvikAppServer(Factory(), this);
    const QString pipe = QStringLiteral("OvikAppSvr_page_%1").arg(QCoreApplication::applicationPid());
    QVERIFY2(FServer->Start(0, pipe, &error), qPrintable(error));

    FConfig.Lat = QStringLiteral("37.5140");
    FConfig.Lng = QStringLiteral("127.0350");
    FConfig.Zoom = QStringLiteral("16");
    FConfig.TileUrl = QStringLiteral("../tiles/{z}/{x}/{y}.png"); // no tile server
    FConfig.Bounds.FSouth = QStringLiteral("37.40");
    FConfig.Bounds.FWest = QStringLiteral("126.90");
    FConfig.Bounds.FNorth = QStringLiteral("37.65");
    FConfig.Bounds.FEast = QStringLiteral("127.20");
    FConfig.AppServer = true;
    FConfig.AppPort = FServer->Port();
    FConfig.LoadTexts();

    FWindow = new QWidget;
    FWindow->resize(1000, 700);
    auto *panel = new QWidget(FWindow);
    panel->setGeometry(0, 0, 1000, 700);
    const QUrl url = QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("html/main.html")));
    QVERIFY(QFileInfo::exists(url.toLocalFile()));
    FCtl = new TMapViewController(FWindow, panel, url, [this] { RunInit(); });
    FCtl->SetWebSecurity(false);
    connect(FCtl, &TMapViewController::consoleMessage, this,
            [this](int level, const QString &message, int line, const QString &source) {
                if (level == QWebEnginePage::ErrorMessageLevel)
                    FErrors << QStringLiteral("%1 (%2:%3)").arg(message, source).arg(line);
            });
    FWindow->show();
    QVERIFY(!FCtl->IsLoading());
    FCtl->Load(FCtl->MapURL());
    QVERIFY(FCtl->IsLoading());
    QVERIFY(FCtl->ShowLoadingPanel());
    QVERIFY(WaitReady());
    QVERIFY(!FCtl->ShowLoadingPanel());
    QCOMPARE(FInitRuns, 1);
}

void TstMapPage::cleanupTestCase()
{
    delete FWindow; // the controller and the view with it
    FWindow = nullptr;
}

void TstMapPage::initialisationBuildsMarkersAndOutlines()
{
    // One marker per intersection with a position, in the page's registry.
    QCOMPARE(Js(QStringLiteral("Object.keys(lcObj).length")).toInt(), FMarkers.size());
    QCOMPARE(FLists.LC.size(), FMarkers.size());
    for (const TLcMarkerSpec &m : FMarkers) {
        const QString var = QStringLiteral("LC%1").arg(m.LcNo);
        QVERIFY2(Js(QStringLiteral("lcObj['%1'] === %1").arg(var)).toBool(), qPrintable(var));
        QCOMPARE(Js(var + QStringLiteral(".options.lcId")).toInt(), m.LcNo);
        QCOMPARE(Js(var + QStringLiteral(".getLabelText()")).toString(),
                 LcMarkerLabel(m.LcNo, m.Name, m.Class == lmcVirtual));
        QCOMPARE(Js(var + QStringLiteral(".options.imporFlag")).toBool(), m.ImporFlag);
        // Every marker starts in the communication-failure colour.
        QCOMPARE(Js(var + QStringLiteral(".options.color")).toString(),
                 QLatin1Char('#') + TColorToHex(FLegend.Status.State[0]));
    }
    // One outline per stored group outline, in the group layer.
    QCOMPARE(Js(QStringLiteral("Object.keys(saObj).sort().join(',')")).toString(),
             [this] {
                 QStringList k;
                 for (const auto &o : FOutlines)
                     k << QStringLiteral("SA%1").arg(o.first);
                 k.sort();
                 return k.join(QLatin1Char(','));
             }());
    QVERIFY(Js(QStringLiteral("SALayer.getLayers().length > 0")).toBool());
    // Panes, layer control and the network registries from the stored layers.
    QCOMPARE(Js(QStringLiteral("map.getPane('paneLC').style.zIndex")).toString(), QStringLiteral("440"));
    QVERIFY(Js(QStringLiteral("typeof getAxLCLayer === 'function' && typeof ClearInvisibleLayer === 'function'")).toBool());
    QCOMPARE(Js(QStringLiteral("baseUrl")).toString(),
             QStringLiteral("http://127.0.0.1:%1/datasnap/rest/TServerMethods/").arg(FServer->Port()));
}

void TstMapPage::pageShowsLayersWithoutTileServer()
{
    // No tile loaded, yet every layer is on the map and no script failed.
    QCOMPARE(Js(QStringLiteral("document.querySelectorAll('.leaflet-tile-loaded').length")).toInt(), 0);
    QVERIFY(Js(QStringLiteral("map.hasLayer(LCLayer) && map.hasLayer(SALayer) && map.hasLayer(MvmtLayer)"
                              " && map.hasLayer(nodeLayer) && map.hasLayer(linkLayer) && map.hasLayer(tfdtLayer)"))
                .toBool());
    QVERIFY2(FErrors.filter(QStringLiteral("Uncaught")).isEmpty(), qPrintable(FErrors.join(QLatin1Char('\n'))));
}

void TstMapPage::listedIntersectionsComeBackAsDrawLC()
{
    QStringList received;
    FCtl->RegisterNative(QStringLiteral("drawLC"),
                         [&received](const QVariantList &a) { received << NativeArgStr(a, 0); });
    FCtl->ExecuteJavaScript(QStringLiteral("getAxLCLayer()"));
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), 1, 20000);
    FCtl->UnregisterNative(QStringLiteral("drawLC"));

    const QString box = Js(QStringLiteral("map.getBounds().toBBoxString()")).toString();
    QString inner;
    QVERIFY(AppSvrServices::ServiceResult(FDb, dtMariaDB, QStringLiteral("LCList"), box, &inner));
    QStringList expected;
    for (const QJsonValue &v : QJsonDocument::fromJson(inner.toUtf8()).object().value(QStringLiteral("list")).toArray())
        expected << QString::number(v.toInt());
    QVERIFY(!expected.isEmpty());
    QCOMPARE(received.first(), expected.join(QLatin1Char(',')));
    // Exactly the listed markers are on the intersection layer.
    int withMarker = 0;
    for (const QString &n : expected)
        if (FLists.LC.contains(n.toInt()))
            ++withMarker;
    QCOMPARE(Js(QStringLiteral("LCLayer.getLayers().length")).toInt(), withMarker);
}

void TstMapPage::intersectionLayerFollowsZoomAndList()
{
    const QString home = QStringLiteral("map.setView([%1, %2], %3, { animate: false }); 0")
                             .arg(FConfig.Lat, FConfig.Lng, FConfig.Zoom);
    const int lc = OnMap(5);
    FCtl->ExecuteJavaScript(QStringLiteral("LC%1.startBlink('#ff0000');").arg(lc));
    QVERIFY(Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    // Over a part of the map without intersections the server lists none: the layer
    // empties and every marker stops blinking.
    Js(QStringLiteral("map.setView([37.62, 127.15], 16, { animate: false }); getAxLCLayer(); 0"));
    QTRY_VERIFY_WITH_TIMEOUT(!Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool(), 20000);
    QCOMPARE(Js(QStringLiteral("LCLayer.getLayers().length")).toInt(), 0);
    // At the threshold zoom (maximum minus the intersection offset) both layers are
    // cleared without asking the server.
    Js(home);
    Js(QStringLiteral("map.setZoom(map.getMaxZoom() - %1, { animate: false }); LCLayer.addLayer(LC%2);"
                      " MvmtLayer.addLayer(L.featureGroup()); if (lcXhr) { lcXhr.abort(); } lcXhr = undefined;"
                      " getAxLCLayer(); 0")
           .arg(FConfig.LcMaxZoomOffset)
           .arg(lc));
    QCOMPARE(Js(QStringLiteral("lcXhr === undefined")).toBool(), true);
    QCOMPARE(Js(QStringLiteral("LCLayer.getLayers().length + MvmtLayer.getLayers().length")).toInt(), 0);
    Js(home);
}

void TstMapPage::markerColours_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<int>("tag"); // expected legend shape; -1 black
    QTest::newRow("centre") << 1 << 4 << true << 1;
    QTest::newRow("local") << 2 << 1 << true << 2;
    QTest::newRow("transition") << 4 << 4 << true << 4;
    QTest::newRow("manual lights off as lights off") << 9 << 4 << true << 6;
    QTest::newRow("semi-actuated as PPC") << 1 << 3 << true << 12;
    QTest::newRow("communication failure") << 0 << 6 << true << 0;
    QTest::newRow("undefined state black") << 13 << 4 << true << -1;
    QTest::newRow("not in use") << 1 << 4 << false << 255;
}

void TstMapPage::markerColours()
{
    QFETCH(int, state);
    QFETCH(int, mode);
    QFETCH(bool, inUse);
    QFETCH(int, tag);
    // Distinct colours per shape, so a wrong choice shows.
    for (int t = 0; t <= 12; ++t)
        FLegend.Status.State[t] = QColor::fromRgb(20 * t, 200 - 10 * t, 7 * t + 1);
    FLegend.Status.Unused = QColor(0x12, 0x34, 0x56);
    const int lc = OnMap(2);
    PSTT_LC_INFO info = FSet.GetLcInfo(lc);
    QVERIFY(info);
    const bool savedUse = info->is_use;
    info->is_use = inUse;
    info->opr_stat = state;
    info->oprMode = mode;
    info->flash = 0;
    FCtl->ExecuteJavaScript(MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 16, 19, 4));
    const QColor expected = tag < 0 ? QColor(Qt::black) : FLegend.Status.ByTag(tag);
    QCOMPARE(Js(QStringLiteral("LC%1.options.color").arg(lc)).toString(), QLatin1Char('#') + TColorToHex(expected));
    QCOMPARE(Js(QStringLiteral("LC%1._path.getAttribute('fill').toUpperCase()").arg(lc)).toString(),
             QLatin1Char('#') + TColorToHex(expected));
    QVERIFY(!Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    info->is_use = savedUse;
}

void TstMapPage::flashingMarkerBlinks()
{
    const int lc = OnMap(3);
    PSTT_LC_INFO info = FSet.GetLcInfo(lc);
    info->is_use = true;
    info->opr_stat = 8; // manual flash: arrows go, marker blinks
    info->oprMode = 4;
    info->flash = 1;
    FCtl->ExecuteJavaScript(MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 16, 19, 4));
    const QString c = QLatin1Char('#') + TColorToHex(FLegend.Status.State[8]);
    QVERIFY(Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    QCOMPARE(Js(QStringLiteral("LC%1._tmpColor").arg(lc)).toString(), c);
    QVERIFY(Js(QStringLiteral("typeof LC%1.PhaseA === 'undefined'").arg(lc)).toBool());
    // The blink alternates with the marker's blink colour (the legend's off-line colour).
    const QString off = Js(QStringLiteral("LC%1.options.blinkColor").arg(lc)).toString();
    QCOMPARE(off.toUpper(), QLatin1Char('#') + TColorToHex(TMapLegend::Defaults().Status.State[2]));
    QTRY_COMPARE_WITH_TIMEOUT(Js(QStringLiteral("LC%1._path.getAttribute('fill').toUpperCase()").arg(lc)).toString(),
                              off.toUpper(), 5000);
    // Back to steady: the blinking stops and the state colour stays.
    info->flash = 0;
    info->opr_stat = 1;
    FCtl->ExecuteJavaScript(MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 16, 19, 4));
    QVERIFY(!Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    QCOMPARE(Js(QStringLiteral("LC%1.options.color").arg(lc)).toString(),
             QLatin1Char('#') + TColorToHex(FLegend.Status.State[1]));
}

PSTT_LC_INFO TstMapPage::SteadyWithArrows(int lc)
{
    SetTestMovements(lc);
    PSTT_LC_INFO info = FSet.GetLcInfo(lc);
    info->is_use = true;
    info->flash = 0;
    info->opr_stat = 1;
    info->oprMode = 4;
    info->planInfo = 0;
    info->phaseA = 0;
    info->phaseB = 0;
    return info;
}

void TstMapPage::SetTestMovements(int lc)
{
    PSTT_LC_INFO rec = FSet.GetLcInfo(lc);
    const double lat = rec->cx.str().toDouble(), lng = rec->cy.str().toDouble();
    for (int ring = 0; ring < 2; ++ring) {
        TMovement &m = rec->Movements[0][0][ring];
        const double side = ring ? 0.0002 : -0.0002;
        m.mvmt_no = ring ? 6 : 2;
        m.head_lat = QString::number(lat + 0.0002, 'f', 7);
        m.head_lng = QString::number(lng + side, 'f', 7);
        m.mid_lat = QString::number(lat + 0.0001, 'f', 7);
        m.mid_lng = QString::number(lng + side / 2, 'f', 7);
        m.end_lat = QString::number(lat, 'f', 7);
        m.end_lng = QString::number(lng, 'f', 7);
        m.label_lat = QString::number(lat + 0.00015, 'f', 7);
        m.label_lng = QString::number(lng + side, 'f', 7);
        m.head_angle = QStringLiteral("45");
        m.end_angle = QStringLiteral("-10.5");
    }
}

void TstMapPage::movementArrows()
{
    // Arrows of plan 0, phase 0 of both rings as the movement editor stores them.
    const int lc = OnMap(4);
    PSTT_LC_INFO info = SteadyWithArrows(lc);
    // "mvmt", the number in four digits, plan, phase and ring.
    const QString name = QStringLiteral("mvmt") + QString::number(lc).rightJustified(4, QLatin1Char('0')) + QStringLiteral("000");
    // The demo city's own arrows drawn by the earlier cases leave the layer: the counts
    // below are this intersection's.
    QCOMPARE(Js(QStringLiteral("MvmtLayer.clearLayers(); MvmtLayer.getLayers().length")).toInt(), 0);
    // At a low zoom no arrow is sent.
    QVERIFY(!MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 14, 19, 4).contains(name));
    QVERIFY(MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 18, 19, 4).contains(name));
    FCtl->ExecuteJavaScript(MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 18, 19, 4));
    QVERIFY(Js(QStringLiteral("LC%1.PhaseA === mvmtObj['%2']").arg(lc).arg(name)).toBool());
    QVERIFY(Js(QStringLiteral("MvmtLayer.hasLayer(LC%1.PhaseA) && MvmtLayer.hasLayer(LC%1.PhaseB)").arg(lc)).toBool());
    QCOMPARE(Js(QStringLiteral("LC%1.PhaseA.getMovementText()").arg(lc)).toString(),
             QString(QChar(0x2460 + info->Movements[0][0][0].mvmt_no - 1)));
    QCOMPARE(Js(QStringLiteral("LC%1.PhaseA.getLatLngs().length").arg(lc)).toInt(), 4);
    // The same state again changes nothing; a flash state removes both arrows.
    FCtl->ExecuteJavaScript(MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 18, 19, 4));
    QCOMPARE(Js(QStringLiteral("MvmtLayer.getLayers().length")).toInt(), 2);
    QCOMPARE(ShownArrows(), 2);
    info->opr_stat = 5;
    FCtl->ExecuteJavaScript(MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 18, 19, 4));
    QVERIFY(Js(QStringLiteral("typeof LC%1.PhaseA === 'undefined' && typeof LC%1.PhaseB === 'undefined'").arg(lc)).toBool());
    QCOMPARE(ShownArrows(), 0);
    // Movement numbers on and off.
    QVERIFY(Js(QStringLiteral("mvmtObj['%1'].setLabelVisible(false); !mvmtObj['%1'].hasLayer(mvmtObj['%1']._labelMarker)").arg(name)).toBool());
    info->opr_stat = 1;
}

// An arrow taken away and sent again is drawn where its points are, also when the
// map moved and zoomed while it was away; taking it away hides every drawn part.
void TstMapPage::hiddenArrowShownAgainAtItsPoints()
{
    const int lc = OnMap(8);
    PSTT_LC_INFO info = SteadyWithArrows(lc);
    const TMovement &ringA = info->Movements[0][0][0];
    const QString name = QStringLiteral("mvmt") + QString::number(lc).rightJustified(4, QLatin1Char('0')) + QStringLiteral("000");
    QCOMPARE(Js(QStringLiteral("MvmtLayer.clearLayers(); MvmtLayer.getLayers().length")).toInt(), 0);
    auto draw = [&] {
        QCOMPARE(Run(MainMapPage::DrawLCScript(QString::number(lc), FSet, FLegend, 18, 19, 4)), QStringLiteral("ok"));
    };
    // The largest distance in pixels between a drawn part of arrow A and the point it
    // stands for: the curve runs from the end point to the head, the arrow head's
    // tip is the head point and the number sits on the label point, both where the
    // map keeps it and where its box is seen on the screen.
    const QString distance = QStringLiteral(
        "(function () { var m = mvmtObj['%1'];"
        " function pt(lat, lng) { return map.latLngToLayerPoint(L.latLng(lat, lng)); }"
        " function nums(el) { return (el.getAttribute('d') || '').match(/-?[0-9.]+/g).map(Number); }"
        " var line = nums(m._line._path), head = nums(m._head._path);"
        " var end = pt(%2, %3), tip = pt(%4, %5), label = pt(%6, %7);"
        " var pos = L.DomUtil.getPosition(m._labelMarker._icon);"
        " var box = m._labelMarker._icon.getBoundingClientRect(), frame = map.getContainer().getBoundingClientRect();"
        " var seen = map.latLngToContainerPoint(L.latLng(%6, %7));"
        " return Math.max(Math.abs(line[0] - end.x), Math.abs(line[1] - end.y),"
        "   Math.abs(line[line.length - 2] - tip.x), Math.abs(line[line.length - 1] - tip.y),"
        "   Math.abs(head[0] - tip.x), Math.abs(head[1] - tip.y),"
        "   Math.abs(pos.x - label.x), Math.abs(pos.y - label.y),"
        "   Math.abs(box.left + box.width / 2 - frame.left - seen.x),"
        "   Math.abs(box.top + box.height / 2 - frame.top - seen.y)); })()")
        .arg(name, ringA.end_lat.str(), ringA.end_lng.str(), ringA.head_lat.str(), ringA.head_lng.str(),
             ringA.label_lat.str(), ringA.label_lng.str());
    // Every drawn part of arrow A (line, head, number) is displayed.
    const QString partsShown = QStringLiteral(
        "(function () { var m = mvmtObj['%1'];"
        " return [m._line._path, m._head._path, m._labelMarker._icon].map(function (el) {"
        " return el && el.isConnected && getComputedStyle(el).display !== 'none' ? 1 : 0; }).join(''); })()")
        .arg(name);
    const QString centre = QStringLiteral("map.setView(L.latLng(%1, %2), %3, { animate: false }); 0")
                               .arg(info->cx.str(), info->cy.str());

    Js(centre.arg(17));
    draw();
    QCOMPARE(ShownArrows(), 2);
    QCOMPARE(Js(partsShown).toString(), QStringLiteral("111"));
    QVERIFY2(Js(distance).toDouble() <= 1.0, qPrintable(Js(distance).toString()));

    // Flash: both arrows are taken away, no part of them is seen.
    info->opr_stat = 5;
    draw();
    QVERIFY(Js(QStringLiteral("typeof LC%1.PhaseA === 'undefined' && typeof LC%1.PhaseB === 'undefined'").arg(lc)).toBool());
    QCOMPARE(ShownArrows(), 0);
    QCOMPARE(Js(partsShown).toString(), QStringLiteral("000"));

    // The map moves and zooms in while they are away; back to normal they are drawn
    // at their points at the new view.
    Js(centre.arg(18));
    Js(QStringLiteral("map.panBy([40, 25], { animate: false }); 0"));
    info->opr_stat = 1;
    draw();
    QVERIFY(Js(QStringLiteral("LC%1.PhaseA === mvmtObj['%2'] && MvmtLayer.hasLayer(LC%1.PhaseA)").arg(lc).arg(name)).toBool());
    QCOMPARE(ShownArrows(), 2);
    QCOMPARE(Js(partsShown).toString(), QStringLiteral("111"));
    QVERIFY2(Js(distance).toDouble() <= 1.0, qPrintable(Js(distance).toString()));

    // Away again, then the whole layer is cleared and filled as the zoom handling
    // does: the arrow comes back drawn, not hidden.
    info->opr_stat = 5;
    draw();
    Js(QStringLiteral("MvmtLayer.clearLayers(); 0"));
    info->opr_stat = 1;
    draw();
    QCOMPARE(ShownArrows(), 2);
    QCOMPARE(Js(partsShown).toString(), QStringLiteral("111"));
    QVERIFY2(Js(distance).toDouble() <= 1.0, qPrintable(Js(distance).toString()));

    // The movement numbers are switched off while the arrow is away: switched on
    // again, the number stays hidden with its arrow until the arrow comes back.
    info->opr_stat = 5;
    draw();
    Js(QStringLiteral("mvmtObj['%1'].setLabelVisible(false); mvmtObj['%1'].setLabelVisible(true); 0").arg(name));
    QCOMPARE(Js(partsShown).toString(), QStringLiteral("000"));
    info->opr_stat = 1;
    draw();
    QCOMPARE(Js(partsShown).toString(), QStringLiteral("111"));
    Js(QStringLiteral("MvmtLayer.clearLayers(); 0"));
}

void TstMapPage::changedMarkersOnlyKeepThePageRight()
{
    const int lc = OnMap(5);
    const int other = OnMap(6);
    const QString list = QStringLiteral("%1,%2").arg(lc).arg(other);
    for (int n : {lc, other}) {
        PSTT_LC_INFO info = FSet.GetLcInfo(n);
        info->is_use = true;
        info->flash = 0;
        info->opr_stat = 1;
        info->oprMode = 4;
    }
    PSTT_LC_INFO info = FSet.GetLcInfo(lc);
    auto colour = [&](int n) { return Js(QStringLiteral("LC%1.options.color").arg(n)).toString(); };
    auto hex = [](const QColor &c) { return QLatin1Char('#') + TColorToHex(c); };
    MainMapPage::TLcMarkerRecord record;
    QStringList failures; // scripts the page refused
    auto cycle = [&]() -> QString {
        const QString script = record.DrawLCScript(list, FSet, FLegend, 16, 19, 4);
        if (!script.isEmpty()) {
            const QString result = Run(script);
            if (result != QLatin1String("ok"))
                failures << result;
        }
        return script;
    };
    QVERIFY(!cycle().isEmpty());
    QCOMPARE(colour(lc), hex(FLegend.Status.State[1]));
    QCOMPARE(colour(other), hex(FLegend.Status.State[1]));
    // Unchanged: nothing is sent and the page keeps its colours.
    QCOMPARE(cycle(), QString());
    QCOMPARE(colour(lc), hex(FLegend.Status.State[1]));
    // A state change reaches the page.
    info->opr_stat = 4;
    QVERIFY(!cycle().isEmpty());
    QCOMPARE(colour(lc), hex(FLegend.Status.State[4]));
    QCOMPARE(colour(other), hex(FLegend.Status.State[1]));

    // Manual flash: the marker blinks, and goes on blinking while nothing is sent.
    info->opr_stat = 8;
    info->flash = 1;
    QVERIFY(!cycle().isEmpty());
    QVERIFY(Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    const QString off = Js(QStringLiteral("LC%1.options.blinkColor").arg(lc)).toString().toUpper();
    const QString on = hex(FLegend.Status.State[8]);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(cycle(), QString());
    QVERIFY(Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    auto fill = [&] { return Js(QStringLiteral("LC%1._path.getAttribute('fill').toUpperCase()").arg(lc)).toString(); };
    QTRY_COMPARE_WITH_TIMEOUT(fill(), off, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(fill(), on, 5000);

    // The markers are rebuilt (they start in the communication-error colour): once the
    // record is cleared as the console clears it, the next cycle colours them again.
    QString rebuild;
    MainMapPage::DrawLCMarkers(rebuild, FLegend, FMarkers, nullptr);
    QCOMPARE(Run(rebuild), QStringLiteral("ok"));
    Js(QStringLiteral("LCLayer.addLayer(LC%1); LCLayer.addLayer(LC%2); 0").arg(lc).arg(other));
    QVERIFY(!Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    record.Clear();
    QVERIFY(!cycle().isEmpty());
    QVERIFY(Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    QCOMPARE(colour(other), hex(FLegend.Status.State[1]));
    info->flash = 0;
    info->opr_stat = 1;
    QVERIFY(!cycle().isEmpty());
    QVERIFY(!Js(QStringLiteral("LC%1.blinking()").arg(lc)).toBool());
    QCOMPARE(colour(lc), hex(FLegend.Status.State[1]));
    QCOMPARE(failures, QStringList());
}

void TstMapPage::typedNativeCalls()
{
    QString lat, lng, visibleState, visibleLabel;
    int zoom = -1, bookmark = -1;
    bool moving = true;
    FCtl->RegisterNative(QStringLiteral("mouseMove"), [&](const QVariantList &a) {
        lat = NativeArgNumText(a, 0);
        lng = NativeArgNumText(a, 1);
    });
    FCtl->RegisterNative(QStringLiteral("zoomEnd"), [&](const QVariantList &a) { zoom = NativeArgInt(a, 0); });
    FCtl->RegisterNative(QStringLiteral("bookmark"), [&](const QVariantList &a) { bookmark = NativeArgInt(a, 0); });
    FCtl->RegisterNative(QStringLiteral("moving"), [&](const QVariantList &a) { moving = NativeArgBool(a, 0, true); });
    FCtl->RegisterNative(QStringLiteral("changeVisible"), [&](const QVariantList &a) {
        visibleState = NativeArgStr(a, 0);
        visibleLabel = NativeArgStr(a, 1);
    });
    QSignalSpy calls(FCtl, &TMapViewController::nativeCall);
    // Numbers as numbers and as text, a Boolean, two texts, and a name nobody handles.
    FCtl->ExecuteJavaScript(QStringLiteral("window.mouseMove(37.25, '127.5'); window.zoomEnd('17');"
                                           " window.bookmark(3); window.moving(false); window.selectTcdv();"));
    QTRY_COMPARE_WITH_TIMEOUT(calls.count(), 5, 20000);
    QCOMPARE(lat, QStringLiteral("37.25"));
    QCOMPARE(lng, QStringLiteral("127.5"));
    QCOMPARE(zoom, 17);
    QCOMPARE(bookmark, 3);
    QCOMPARE(moving, false);
    const QList<QVariant> last = calls.at(4);
    QCOMPARE(last.at(0).toString(), QStringLiteral("selectTcdv"));
    QCOMPARE(last.at(2).toBool(), false); // not handled, no error
    QCOMPARE(calls.at(0).at(2).toBool(), true);

    // The layer control reports a switched-off layer with its label.
    FCtl->ExecuteJavaScript(QStringLiteral(
        "$('input.leaflet-control-layers-selector').filter(function () {"
        " return $(this).parent().text().trim() === 'Node'; }).click();"));
    QTRY_COMPARE_WITH_TIMEOUT(visibleState, QStringLiteral("Invisible"), 20000);
    QCOMPARE(MainMapPage::ChangeVisibleTarget(visibleLabel, FConfig.TextDetector, FConfig.TextMvmt), MainMapPage::vtNode);
    FCtl->ExecuteJavaScript(QStringLiteral(
        "$('input.leaflet-control-layers-selector').filter(function () {"
        " return $(this).parent().text().trim() === 'Node'; }).click();"));
    QTRY_COMPARE_WITH_TIMEOUT(visibleState, QStringLiteral("Visible"), 20000);
    for (const char *n : {"mouseMove", "zoomEnd", "bookmark", "moving", "changeVisible"})
        FCtl->UnregisterNative(QLatin1String(n));
}

void TstMapPage::consoleMessagesFromMarkers()
{
    QStringList got;
    FCtl->RegisterConsole(QStringLiteral("SelectedLC"), [&got](const QString &v) { got << QStringLiteral("SelectedLC=") + v; });
    FCtl->RegisterConsole(QStringLiteral("DoubleClicked"), [&got](const QString &v) { got << QStringLiteral("DoubleClicked=") + v; });
    FCtl->RegisterConsole(QStringLiteral("PopupMenu"), [&got](const QString &v) { got << QStringLiteral("PopupMenu=") + v; });
    FCtl->RegisterConsole(QStringLiteral("SelectedSA"), [&got](const QString &v) { got << QStringLiteral("SelectedSA=") + v; });
    const int lc = FMarkers.first().LcNo;
    const int sa = FOutlines.first().first;
    FCtl->ExecuteJavaScript(QStringLiteral("console.log('no key here'); console.log('Unknown:1');"
                                           " LC%1.fire('dblclick'); LC%1.fire('contextmenu'); SA%2.fire('click');")
                                .arg(lc)
                                .arg(sa));
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), 5, 20000);
    QCOMPARE(got, (QStringList{QStringLiteral("SelectedLC=LC%1").arg(lc), QStringLiteral("DoubleClicked=0"),
                               QStringLiteral("SelectedLC=LC%1").arg(lc), QStringLiteral("PopupMenu=0"),
                               QStringLiteral("SelectedSA=SA%1").arg(sa)}));
    QCOMPARE(Js(QStringLiteral("selectedLC")).toString(), QStringLiteral("LC%1").arg(lc));
    for (const char *k : {"SelectedLC", "DoubleClicked", "PopupMenu", "SelectedSA"})
        FCtl->UnregisterConsole(QLatin1String(k));
}

void TstMapPage::copyToClipboard()
{
    QApplication::clipboard()->clear();
    FCtl->ExecuteJavaScript(QStringLiteral("app.CopyToClipboard('1220-000-001');"));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::clipboard()->text(), QStringLiteral("1220000001"), 20000);
    FCtl->ExecuteJavaScript(QStringLiteral("app.CopyToClipboard('plain');"));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::clipboard()->text(), QStringLiteral("plain"), 20000);
}

void TstMapPage::viewTakesFocusUnderMouse()
{
    FWindow->activateWindow();
    if (!QTest::qWaitForWindowActive(FWindow))
        QSKIP("no active window on this platform");
    auto *edit = new QLineEdit(FWindow);
    edit->setGeometry(0, 0, 80, 24);
    edit->show();
    edit->raise();
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    FCtl->SetFocusUnderMouse(true);
    QWidget *view = FCtl->MapView()->focusProxy() ? FCtl->MapView()->focusProxy() : FCtl->MapView();
    // Pointer elsewhere: the focus stays where it is.
    QCursor::setPos(FWindow->mapToGlobal(QPoint(-50, -50)));
    if (QCursor::pos() != FWindow->mapToGlobal(QPoint(-50, -50)))
        QSKIP("the pointer cannot be moved on this platform");
    QTest::qWait(700);
    QVERIFY(edit->hasFocus());
    // Pointer over the map: the map takes the focus; switched off, it no longer does.
    QCursor::setPos(FCtl->MapView()->mapToGlobal(FCtl->MapView()->rect().center()));
    QTRY_VERIFY_WITH_TIMEOUT(view->hasFocus(), 5000);
    FCtl->SetFocusUnderMouse(false);
    edit->setFocus();
    QTest::qWait(700);
    QVERIFY(edit->hasFocus());
    delete edit;
}

void TstMapPage::scriptFromWorkerThread()
{
    // A worker thread hands a script to the view; it runs on the user-interface thread.
    QThread *worker = QThread::create([this] {
        for (int i = 1; i <= 3; ++i)
            FCtl->ExecuteJavaScript(QStringLiteral("window.ovikFromWorker = (window.ovikFromWorker || 0) + %1;").arg(i));
    });
    worker->start();
    QVERIFY(worker->wait(10000));
    delete worker;
    QTRY_COMPARE_WITH_TIMEOUT(Js(QStringLiteral("window.ovikFromWorker || 0")).toInt(), 6, 20000);
}

void TstMapPage::namesWithQuotesAndLineBreaks()
{
    QList<TLcMarkerSpec> markers = FMarkers;
    TLcMarkerSpec odd;
    odd.LcNo = 901;
    odd.Lat = QStringLiteral("37.5150");
    odd.Lng = QStringLiteral("127.0340");
    odd.Name = QStringLiteral("A \"B\" 'C'\nD\\E </script><b>x</b>\u2028");
    markers << odd;
    TLcMarkerSpec virt = odd;
    virt.LcNo = 902;
    virt.Class = lmcVirtual;
    virt.Name = QStringLiteral("가상\r\n\"교차로\"");
    markers << virt;
    QString script;
    TLcMarkerLists lists;
    MainMapPage::DrawLCMarkers(script, FLegend, markers, &lists);
    FCtl->ExecuteJavaScript(script);
    QCOMPARE(Js(QStringLiteral("Object.keys(lcObj).length")).toInt(), markers.size());
    QCOMPARE(Js(QStringLiteral("LC901.getLabelText()")).toString(), LcMarkerLabel(901, odd.Name, false));
    QCOMPARE(Js(QStringLiteral("LC902.getLabelText()")).toString(), virt.Name);
    QCOMPARE(lists.ByClass[lmcVirtual].count(902), 1);
    QCOMPARE(lists.ByClass[lmcMI].count(901), 1);
    // Drawn, the label element holds the text as text (no markup made of it).
    FCtl->ExecuteJavaScript(QStringLiteral("LCLayer.addLayer(LC901);"));
    QCOMPARE(Js(QStringLiteral("LC901._label.textContent")).toString(), LcMarkerLabel(901, odd.Name, false));
    QCOMPARE(Js(QStringLiteral("LC901._label.getElementsByTagName('b').length")).toInt(), 0);
    // Back to the demo markers.
    script.clear();
    MainMapPage::DrawLCMarkers(script, FLegend, FMarkers, &FLists);
    FCtl->ExecuteJavaScript(script);
    QCOMPARE(Js(QStringLiteral("Object.keys(lcObj).length")).toInt(), FMarkers.size());
}

void TstMapPage::trafficInfoPanel()
{
    QStringList got;
    FCtl->RegisterConsole(QStringLiteral("TrafficInfoSelected"), [&got](const QString &v) { got << QLatin1Char('+') + v; });
    FCtl->RegisterConsole(QStringLiteral("TrafficInfoUnselected"), [&got](const QString &v) { got << QLatin1Char('-') + v; });
    for (const QString &s : MainMapPage::TrafficInfoShowScripts())
        FCtl->ExecuteJavaScript(s);
    int withDetectors = 0;
    int first = 0;
    for (const TLcMarkerSpec &m : FMarkers)
        if (m.ImporFlag) {
            ++withDetectors;
            if (!first)
                first = m.LcNo;
        }
    QVERIFY(withDetectors > 0);
    QVERIFY(Js(QStringLiteral("showTiPanel")).toBool());
    QCOMPARE(Js(QStringLiteral("TrafficInfoLayerGroup.getLayers().length")).toInt(), withDetectors);
    FCtl->ExecuteJavaScript(QStringLiteral("trafficInfoObj[%1].fire('click'); trafficInfoObj[%1].fire('click');").arg(first));
    QTRY_COMPARE_WITH_TIMEOUT(got.size(), 2, 20000);
    QCOMPARE(got, (QStringList{QStringLiteral("+%1").arg(first), QStringLiteral("-%1").arg(first)}));
    FCtl->ExecuteJavaScript(MainMapPage::TrafficInfoHideScript());
    QVERIFY(!Js(QStringLiteral("showTiPanel")).toBool());
    QCOMPARE(Js(QStringLiteral("Object.keys(trafficInfoObj).length")).toInt(), 0);
    QVERIFY(!Js(QStringLiteral("map.hasLayer(TrafficInfoLayerGroup)")).toBool());
    FCtl->UnregisterConsole(QStringLiteral("TrafficInfoSelected"));
    FCtl->UnregisterConsole(QStringLiteral("TrafficInfoUnselected"));

    // The panel's data: rows of the last 300 seconds, newest per approach.
    QVERIFY(TestDb::runScript(QString::fromLatin1(kDb),
                              QStringLiteral("INSERT INTO SCS_L_INTTRAFFIC (INT_LCNO, INT_CREDATE, INT_DIR1, INT_DIR2, INT_SUMVOL, INT_DS) VALUES"
                                             " (%1, DATE_ADD(NOW(), INTERVAL -30 SECOND), 1, 2, 10, 50),"
                                             " (%1, DATE_ADD(NOW(), INTERVAL -10 SECOND), 1, 2, 12, 55),"
                                             " (%1, DATE_ADD(NOW(), INTERVAL -900 SECOND), 3, 4, 99, 99);")
                                  .arg(first)));
    QList<MainMapPage::TTrafficInfoRow> rows;
    QSqlError trafficError;
    QVERIFY2(MainMapPage::LoadTrafficInfo(FDb, false, first, &rows, &trafficError), qPrintable(trafficError.text()));
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().Volume, 12);
    QCOMPARE(rows.first().Dir1, QStringLiteral("1"));
}

void TstMapPage::pageDefinesWhatTheConsoleCalls()
{
    // Every page function, layer, icon and pane that the console's scripts use
    // (main window, VIP and emergency panels, vehicle pollers, bookmarks, legend).
    const QStringList functions = {
        "initialize", "getAxLCLayer", "ClearInvisibleLayer", "applyLcStates", "getAxNodeLinkLayer", "getAxSpecialLayer",
        "showBookmarkFlag", "_assignColor", "window.updateCarName", "L.lcMarker", "L.simpleMovement",
        "L.easyButton", "L.AwesomeMarkers.icon", "turf.buffer", "turf.multiLineString", "$.ajax", "$.getScript",
        "map.fitBoundsEx", "selMarker.bounce", "app.CopyToClipboard",
        // native functions of the console
        "window.loadEnd", "window.drawLC", "window.changeVisible", "window.bookmark", "window.moving",
        "window.mouseMove", "window.zoomEnd", "window.clearSelection", "window.keyPress", "window.dragEnd",
        "window.selectServiceID"};
    for (const QString &f : functions)
        QVERIFY2(Js(QStringLiteral("typeof ") + f + QStringLiteral(" === 'function'")).toBool(), qPrintable(f));
    const QStringList groups = {"LCLayer", "SALayer", "MvmtLayer", "nodeLayer", "linkLayer", "tfdtLayer",
                                "appEmergencyLayer", "routeLayer", "routeLineLayer", "carLayer"};
    for (const QString &g : groups)
        QVERIFY2(Js(QStringLiteral("%1 instanceof L.LayerGroup && map.hasLayer(%1)").arg(g)).toBool(), qPrintable(g));
    QVERIFY(Js(QStringLiteral("emergencyIcon instanceof L.Icon")).toBool());
    for (const char *pane : {"paneSA", "paneLink", "paneNode", "paneLC", "paneMvmt", "paneTfdt", "paneEmerg"})
        QVERIFY2(Js(QStringLiteral("!!map.getPane('%1')").arg(QLatin1String(pane))).toBool(), pane);
    const QStringList registries = {"lcObj", "saObj", "nodeObj", "linkObj", "mvmtObj", "vipObj", "trafficInfoObj"};
    for (const QString &r : registries)
        QVERIFY2(Js(QStringLiteral("typeof %1 === 'object' && %1 !== null").arg(r)).toBool(), qPrintable(r));
    QVERIFY(Js(QStringLiteral("showVipPanel === false && showTiPanel === false && 'imhereMarker' in window"
                              " && 'selectedLC' in window && 'selGroup' in window"))
                .toBool());
    // The vehicle colours go round the icon plug-in's colours.
    QCOMPARE(Js(QStringLiteral("var a = _assignColor(), b = _assignColor(); typeof a === 'string' && a !== b")).toBool(),
             true);
}

void TstMapPage::panelScriptsRunInThePage()
{
    FErrors.clear();
    // VIP panel: one panel marker per intersection marker, gone again on close.
    QCOMPARE(Run(VipOpenScript()), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("VIPCtrlLayerGroup.getLayers().length")).toInt(), FMarkers.size());
    QVERIFY(Js(QStringLiteral("showVipPanel && map.hasLayer(VIPCtrlLayerGroup)")).toBool());
    QCOMPARE(Run(VipCloseScript()), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("Object.keys(vipObj).length")).toInt(), 0);

    // Emergency panel: a service marker with a quoted name, its route twice, the
    // marker of a new service that reports its position, and the clearing.
    TAppService svc;
    svc.ServiceId = QStringLiteral("S2612110700'1");
    svc.ServiceName = QStringLiteral("구급 \"1\"\n호");
    svc.Lat = QStringLiteral("37.515");
    svc.Lng = QStringLiteral("127.035");
    QCOMPARE(Run(AppEmergencyScript::Marker(svc)), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("appEmergencyLayer.getLayers().length")).toInt(), 1);
    QCOMPARE(Js(QStringLiteral("appEmergencyLayer.getLayers()[0].options.serviceID")).toString(), svc.ServiceId);
    QCOMPARE(Run(AppEmergencyScript::Route(QStringLiteral("[[37.51,127.03],[37.515,127.035],[37.52,127.04]]"))),
             QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("routeLayer.getLayers().length + routeLineLayer.getLayers().length")).toInt(), 2);
    QCOMPARE(Js(QStringLiteral("routeLayer.getLayers()[0].options.pane")).toString(), QStringLiteral("paneEmerg"));
    QStringList dragged;
    FCtl->RegisterNative(QStringLiteral("dragEnd"), [&dragged](const QVariantList &a) {
        dragged << NativeArgStr(a, 0) << NativeArgNumText(a, 1) << NativeArgNumText(a, 2);
    });
    QCOMPARE(Run(AppEmergencyScript::NewMarker(QStringLiteral("S261211070100"), QStringLiteral("상황 위치로 옮겨주세요"))),
             QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(dragged.size(), 3, 20000);
    QCOMPARE(dragged.first(), QStringLiteral("S261211070100"));
    QCOMPARE(dragged.at(1), Js(QStringLiteral("String(map.getCenter().lat)")).toString());
    FCtl->UnregisterNative(QStringLiteral("dragEnd"));
    QCOMPARE(Run(AppEmergencyScript::ClearAll()), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("appEmergencyLayer.getLayers().length + routeLayer.getLayers().length"
                               " + routeLineLayer.getLayers().length")).toInt(),
             0);

    // Vehicle positions: two vehicles with their names, one placed at 0 leaves the
    // layer, an empty answer clears it.
    for (const QString &script : WasScripts(QStringLiteral("[V1;37.511;127.031,V<b>2;37.512;127.032]")))
        QCOMPARE(Run(script), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("carLayer.getLayers().length")).toInt(), 2);
    QCOMPARE(Js(QStringLiteral("carLayer.getLayers().map(function (l) { return l.getTooltip().getElement().textContent; })"
                               ".sort().join('|')")).toString(),
             QStringLiteral("V1|V<b>2"));
    for (const QString &script : WasScripts(QStringLiteral("[V1;0;0,V<b>2;37.513;127.033]")))
        QCOMPARE(Run(script), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("carLayer.getLayers().length")).toInt(), 1);
    QCOMPARE(Run(WasScripts(QStringLiteral("[]")).join(QLatin1Char(' '))), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("carLayer.getLayers().length")).toInt(), 0);
    TBusRecord bus;
    bus.ObeId = QStringLiteral("OBE1");
    bus.LatE7 = 375140000;
    bus.LngE7 = 1270350000;
    QCOMPARE(Run(BusMarkerScript(bus)), QStringLiteral("ok"));
    QCOMPARE(Run(BusRemoveScript(bus.ObeId)), QStringLiteral("ok"));

    // Bookmarks: registering shows the flag; recalling moves the map and shows it.
    std::optional<QJsonObject> bookmarks = QJsonObject();
    TLatLng pos;
    pos.Lat = QStringLiteral("37.52");
    pos.Lng = QStringLiteral("127.04");
    QCOMPARE(Run(RegisterBookmark(bookmarks, 4, pos, 16, QStringLiteral("EN"))), QStringLiteral("ok"));
    QCOMPARE(Js(QStringLiteral("bookmarkFlag.getTooltip().getElement().textContent")).toString(),
             QStringLiteral("Bookmark #4 registered"));
    QCOMPARE(Run(RecallBookmarkScript(bookmarks, 4, QStringLiteral("KO"))), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(Js(QStringLiteral("bookmarkFlag ? bookmarkFlag.getTooltip().getElement().textContent : ''"))
                                  .toString(),
                              QStringLiteral("북마크 #4"), 20000);
    QCOMPARE(Js(QStringLiteral("map.getCenter().lat.toFixed(2)")).toString(), QStringLiteral("37.52"));
    QTRY_VERIFY_WITH_TIMEOUT(Js(QStringLiteral("bookmarkFlag === undefined")).toBool(), 10000);
    QVERIFY2(FErrors.filter(QStringLiteral("Uncaught")).isEmpty(), qPrintable(FErrors.join(QLatin1Char('\n'))));
}

void TstMapPage::layerThreadDrawsNodes()
{
    const QString box = QStringLiteral("127.02,37.516,127.03,37.519");
    auto *t = new TNodeThread(box, Factory(), FCtl);
    QSignalSpy json(t, &TNodeThread::geoJsonReady);
    t->Start();
    QTRY_COMPARE_WITH_TIMEOUT(json.count(), 1, 20000);
    const int features = QJsonDocument::fromJson(json.at(0).at(0).toString().toUtf8())
                             .object()
                             .value(QStringLiteral("features"))
                             .toArray()
                             .size();
    QVERIFY(features > 0);
    QTRY_COMPARE_WITH_TIMEOUT(Js(QStringLiteral("nodeLayer.getLayers().length")).toInt(), features, 20000);
    QVERIFY(Js(QStringLiteral("map.hasLayer(nodeLayer)")).toBool());
}

void TstMapPage::reloadRunsInitialisationAgain()
{
    const int before = FInitRuns;
    FErrors.clear();
    FCtl->Reload();
    QVERIFY(FCtl->IsLoading());
    QVERIFY(FCtl->ShowLoadingPanel());
    QVERIFY(WaitReady());
    QCOMPARE(FInitRuns, before + 1);
    QCOMPARE(Js(QStringLiteral("Object.keys(lcObj).length")).toInt(), FMarkers.size());
    QVERIFY2(FErrors.filter(QStringLiteral("Uncaught")).isEmpty(), qPrintable(FErrors.join(QLatin1Char('\n'))));
}

void TstMapPage::otherAddressRunsNoInitialisation()
{
    // A pop-up opens in the same view; the page it shows is not the map page, so no
    // initialisation runs and no second window appears.
    const int before = FInitRuns;
    const int windows = QApplication::topLevelWidgets().size();
    QSignalSpy loaded(FCtl->MapView(), &QWebEngineView::loadFinished);
    const QUrl other = QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("html/libs/ovik-map.js")));
    FCtl->ExecuteJavaScript(QStringLiteral("window.open(%1, '_blank');").arg(QLatin1Char('"') + other.toString() + QLatin1Char('"')));
    QTRY_VERIFY_WITH_TIMEOUT(FCtl->MapView()->url() == other, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(loaded.count() >= 1, 20000);
    QCOMPARE(FInitRuns, before);
    QCOMPARE(QApplication::topLevelWidgets().size(), windows);
}

void TstMapPage::missingPageFileIsReported()
{
    // The page file is missing: the error box tells to check the map folder, and the
    // window's initialisation still runs (its scripts fail silently in the empty page).
    gBoxes->clear();
    QWidget window;
    auto *panel = new QWidget(&window);
    window.resize(400, 300);
    const QUrl url = QUrl::fromLocalFile(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("html/no-such-page.html")));
    int runs = 0;
    TMapViewController ctl(&window, panel, url, [&runs] { ++runs; });
    QSignalSpy failed(&ctl, &TMapViewController::pageLoadFailed);
    window.show();
    ctl.Load(url);
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 30000);
    QCOMPARE(runs, 1);
    QCOMPARE(gBoxes->count(), 1);
    QCOMPARE(gBoxes->last().kind, mkError);
    QVERIFY(ctl.IsLoading()); // nothing said the page is ready
}

int main(int argc, char *argv[])
{
    InitMapViewRuntime();
    QApplication app(argc, argv);
    ScriptedMsgDlg boxes; // a missing page file shows a box: never wait for a person
    gBoxes = &boxes;
    TstMapPage t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_map_page.moc"
