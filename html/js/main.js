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
