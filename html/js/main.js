/*
 * Main map page of the console. The page supplies the map, its base layer, the
 * plug-ins and a few globals; everything specific to the traffic system is put
 * into the page by the console as script text after the page has loaded
 * (panes, layers, markers, outlines, the layer services of the local
 * application server).
 *
 * Native functions of the console (window.mouseMove, window.loadEnd, ...) are
 * installed by the console's bridge before this file runs.
 */

/* Registries and flags the console's scripts rely on. */
var map;
var lcObj = {};
var saObj = {};
var nodeObj = {};
var linkObj = {};
var mvmtObj = {};
var vipObj = {};
var trafficInfoObj = {};
var showVipPanel = false;
var showTiPanel = false;
var imhereMarker;
var selectedLC;
var measureControl;
var miniMap;
var baseLayer;

/* Layers of the emergency-vehicle panel and of the vehicle-position poller; made
   with the map by initialize(). */
var appEmergencyLayer;
var routeLayer;
var routeLineLayer;
var carLayer;
var emergencyIcon;
var bookmarkFlag;
var bookmarkFlagTimer;

/* Largest zoom of a map name: 13 for the map services that count their levels
   the other way round, 19 for every other name. */
function mapMaxZoom(mapName) {
  var n = String(mapName || '').toUpperCase();
  return ['DAUM', 'NAVER', 'BAROEMAP', 'DAWULMAP', 'GBMAP'].indexOf(n) >= 0 ? 13 : 19;
}

function makeTileLayer(tileUrl, maxZoom) {
  /* Without a tile server every tile fails: the tiles stay hidden and the map
     shows its plain background with every layer on it. */
  var layer = L.tileLayer(tileUrl || '', { maxZoom: maxZoom, maxNativeZoom: maxZoom, attribution: '' });
  layer.on('tileerror', function (e) {
    if (e && e.tile) { e.tile.style.visibility = 'hidden'; }
  });
  return layer;
}

/* A text shown as text in a tooltip (names never become markup; libs/ovik-text.js). */
function textElement(text) {
  return ovikTextNode(text);
}

function nativeCall(name) {
  var fn = window[name];
  if (typeof fn === 'function') {
    fn.apply(window, Array.prototype.slice.call(arguments, 1));
  }
}

/* initialize(lat, lng, zoom, tileUrl, mapName, miniMap)
   miniMap: { width, height, zoomLevel } (zoomLevel = levels below the main map). */
function initialize(lat, lng, zoom, tileUrl, mapName, miniMapOptions) {
  var maxZoom = mapMaxZoom(mapName);
  if (map) { map.remove(); map = undefined; }
  map = L.map('map', {
    center: [Number(lat) || 0, Number(lng) || 0],
    zoom: Math.min(Number(zoom) || maxZoom, maxZoom),
    maxZoom: maxZoom,
    minZoom: 1,
    zoomControl: true,
    attributionControl: false,
    doubleClickZoom: true
  });
  baseLayer = makeTileLayer(tileUrl, maxZoom).addTo(map);

  if (miniMapOptions && L.Control.MiniMap) {
    var mm = miniMapOptions;
    miniMap = new L.Control.MiniMap(makeTileLayer(tileUrl, maxZoom), {
      width: Number(mm.width) || 250,
      height: Number(mm.height) || 250,
      zoomLevelOffset: -(Number(mm.zoomLevel) || 5),
      toggleDisplay: true,
      position: 'bottomright'
    }).addTo(map);
    if (miniMap._miniMap) {
      miniMap._miniMap.on('moveend', function () { nativeCall('miniMapSync'); });
    }
  }

  measureControl = L.control.measure().addTo(map);

  /* Emergency-vehicle services and their routes, vehicle positions. */
  map.createPane('paneEmerg').style.zIndex = 435;
  appEmergencyLayer = L.featureGroup().addTo(map);
  routeLayer = L.featureGroup().addTo(map);
  routeLineLayer = L.featureGroup().addTo(map);
  carLayer = L.featureGroup().addTo(map);
  emergencyIcon = L.AwesomeMarkers.icon({ icon: 'ambulance', prefix: 'fa', markerColor: 'red' });
  nextCarColour = 0;
  if (bookmarkFlagTimer) { clearTimeout(bookmarkFlagTimer); bookmarkFlagTimer = undefined; }
  bookmarkFlag = undefined;

  map.on('mousemove', function (e) {
    var ll = (e && e.latlng) ? e.latlng : map.getCenter();
    nativeCall('mouseMove', ll.lat, ll.lng);
  });
  map.on('zoomend', function () {
    nativeCall('zoomEnd', map.getZoom());
  });
  map.on('click', function () {
    nativeCall('clearSelection');
  });
  return map;
}

/* Keys pressed on the map go to the console (the space bar switches the
   window's menus and borders). */
document.addEventListener('keydown', function (e) {
  var t = e.target && e.target.tagName;
  if (t === 'INPUT' || t === 'TEXTAREA') { return; }
  nativeCall('keyPress', e.keyCode);
});


/* ------------------------------------------------------------------ */
/* Vehicle positions                                                   */
/* ------------------------------------------------------------------ */

var carColours = ['red', 'blue', 'green', 'purple', 'orange', 'darkred', 'darkblue', 'darkgreen',
                  'cadetblue', 'darkpurple'];
var nextCarColour = 0;

/* Marker colour of the next vehicle: the colours of the icon plug-in in turn. */
function _assignColor() {
  var c = carColours[nextCarColour % carColours.length];
  nextCarColour += 1;
  return c;
}

/* Shows a vehicle's identifier beside its marker. */
window.updateCarName = function (id) {
  if (!carLayer) { return; }
  var text = String(id === undefined || id === null ? '' : id);
  carLayer.eachLayer(function (layer) {
    if (layer.options && String(layer.options.IMEI_NO) === text) {
      layer.unbindTooltip();
      layer.bindTooltip(textElement(text), { permanent: true, direction: 'right', offset: [12, -20],
                                                         className: 'Car-Name-Label' });
    }
  });
};

/* ------------------------------------------------------------------ */
/* Bookmarks                                                           */
/* ------------------------------------------------------------------ */

var bookmarkTexts = {
  KO: { altKey: '북마크 #%d 등록', ctrlKey: '북마크 #%d' },
  EN: { altKey: 'Bookmark #%d registered', ctrlKey: 'Bookmark #%d' }
};

/* A flag in the map's centre for two seconds: "altKey" a bookmark was registered,
   "ctrlKey" the map went to one. */
function showBookmarkFlag(key, n, lang) {
  if (!map) { return; }
  var texts = bookmarkTexts[String(lang).toUpperCase()] || bookmarkTexts.KO;
  var text = (texts[key] || texts.ctrlKey).replace('%d', String(parseInt(n, 10) || 0));
  if (bookmarkFlagTimer) { clearTimeout(bookmarkFlagTimer); bookmarkFlagTimer = undefined; }
  if (bookmarkFlag) { map.removeLayer(bookmarkFlag); }
  bookmarkFlag = L.marker(map.getCenter(), {
    interactive: false,
    keyboard: false,
    icon: L.AwesomeMarkers.icon({ icon: 'flag', prefix: 'fa', markerColor: key === 'altKey' ? 'orange' : 'blue' })
  }).addTo(map);
  bookmarkFlag.bindTooltip(textElement(text), { permanent: true, direction: 'top', offset: [0, -36] });
  bookmarkFlagTimer = setTimeout(function () {
    if (bookmarkFlag && map) { map.removeLayer(bookmarkFlag); }
    bookmarkFlag = undefined;
    bookmarkFlagTimer = undefined;
  }, 2000);
  return text;
}

/* Colours, blinking and movement arrows of the intersection markers, as the
   console's monitoring cycle sends them: one entry per intersection,
     [number, "#colour", blink, arrows]
   blink 1: the marker blinks (started with the colour unless it blinks already);
   0: it stops blinking and takes the colour. arrows: left out (nothing is done),
   0 (both arrows taken away) or [ringA, ringB], each ring null (nothing is done),
   0 (its arrow taken away: hidden and parked on the marker) or the arrow:
     ["mvmt...", headLat, headLng, midLat, midLng, endLat, endLng, labelLat,
      labelLng, "#colour", showNumber, numberIndex, headAngle, endAngle].
   An entry that fails (a marker the page does not hold) does not stop the others. */
function applyLcArrow(lc, ring, a) {
  var key = 'Phase' + ring, parkedKey = 'Parked' + ring;
  if (a === 0) {
    /* The arrow goes out of sight but stays on the layer, parked on its marker:
       when the same arrow comes back it is only shown again. */
    var shown = lc[key];
    if (typeof shown !== 'undefined') {
      if (lc[parkedKey] && lc[parkedKey] !== shown) { MvmtLayer.removeLayer(lc[parkedKey]); }
      if (shown.setShown && MvmtLayer.hasLayer(shown)) {
        shown.setShown(false);
        lc[parkedKey] = shown;
      } else {
        MvmtLayer.removeLayer(shown);
      }
      lc[key] = undefined;
    }
    return;
  }
  if (!a) { return; }
  var name = a[0];
  var m = window[name];
  if (typeof lc[key] !== 'undefined' && lc[key] === m && !m.refresh) { return; }
  if (lc[key] && lc[key] !== m) { MvmtLayer.removeLayer(lc[key]); }
  if (lc[parkedKey]) {
    if (lc[parkedKey] !== m) { MvmtLayer.removeLayer(lc[parkedKey]); }
    lc[parkedKey] = undefined;
  }
  if (typeof m === 'undefined') {
    var points = [L.latLng(a[1], a[2]), L.latLng(a[3], a[4]), L.latLng(a[5], a[6]), L.latLng(a[7], a[8])];
    m = L.simpleMovement(points, {
      color: a[9], label: a[10],
      text: { text: L.Mvmt.circleNum[a[11]], attr: { visibility: 'visible' } },
      headAngle: a[12], endAngle: a[13], pane: 'paneMvmt'
    });
    window[name] = m;
    mvmtObj[name] = m;
  } else if (m.refresh) {
    m.setLatlngs([L.latLng(a[1], a[2]), L.latLng(a[3], a[4]), L.latLng(a[5], a[6]), L.latLng(a[7], a[8])],
                 a[11], a[9], a[12], a[13]);
  }
  if (!MvmtLayer.hasLayer(m)) { MvmtLayer.addLayer(m); }
  if (m.setShown) { m.setShown(true); }
  if (lc[key] !== m) { lc[key] = m; }
  if (m.refresh) { m.refresh = false; }
}

function applyLcState(v) {
  var lc = window['LC' + v[0]];
  var colour = v[1];
  if (v[2]) {
    if (typeof lc !== 'undefined' && !lc.blinking()) { lc.startBlink(colour); }
  } else if (typeof lc !== 'undefined') {
    if (lc.blinking()) { lc.stopBlink(); }
    if (lc.options.color != colour) { lc.setStyle({ color: colour }); }
  }
  var arrows = v[3];
  if (arrows === undefined) { return; }
  if (arrows === 0) {
    applyLcArrow(lc, 'A', 0);
    applyLcArrow(lc, 'B', 0);
    return;
  }
  applyLcArrow(lc, 'A', arrows[0]);
  applyLcArrow(lc, 'B', arrows[1]);
}

function applyLcStates(list) {
  for (var i = 0; i < list.length; i++) {
    try { applyLcState(list[i]); } catch (e) { }
  }
  return list.length;
}
