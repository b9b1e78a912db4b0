/*
 * Map drawing of the signal-control console, shared by its map pages.
 *
 *   L.lcMarker(latlng, options)      intersection marker: a regular polygon of
 *                                    `numberOfSides` corners (35 = circle) and
 *                                    `radius` pixels with a text label; blinks.
 *   L.simpleMovement(points, opts)   movement arrow through four points
 *                                    (head, middle, end, label) with a circled
 *                                    movement number.
 *   L.Mvmt.circleNum                 the circled numbers 1 to 18.
 *   L.Marker#bounce(n)               lets a marker jump n times.
 *   L.Map#fitBoundsEx(latlngs, opt)  fitBounds that also takes a single point.
 *   L.control.measure()              distance measuring tool (texts in
 *                                    L.Control.Measure.texts, Korean by default).
 */
(function () {
  'use strict';

  /* ------------------------------------------------------------------ */
  /* Intersection marker                                                 */
  /* ------------------------------------------------------------------ */

  var SVG_NS = 'http://www.w3.org/2000/svg';

  /* Blinking markers share one clock per interval: all of them change colour in
     the same tick, so the page is painted once per tick however many blink. */
  var blinkClocks = {};

  function blinkJoin(marker, interval) {
    var clock = blinkClocks[interval];
    if (!clock) {
      clock = blinkClocks[interval] = { on: false, members: [], timer: null };
      clock.timer = setInterval(function () {
        clock.on = !clock.on;
        var members = clock.members.slice();
        for (var i = 0; i < members.length; i++) {
          members[i]._blinkOn = clock.on;
          members[i]._paint(clock.on ? members[i].options.blinkColor : members[i]._tmpColor);
        }
      }, interval);
    }
    clock.members.push(marker);
    return clock;
  }

  function blinkLeave(marker, clock) {
    var i = clock.members.indexOf(marker);
    if (i >= 0) { clock.members.splice(i, 1); }
    if (clock.members.length === 0) {
      clearInterval(clock.timer);
      for (var k in blinkClocks) {
        if (blinkClocks[k] === clock) { delete blinkClocks[k]; }
      }
    }
  }

  L.LcMarker = L.CircleMarker.extend({
    options: {
      radius: 15,
      numberOfSides: 35,
      color: '#ff0000',
      blinkColor: '#7d7d7d',
      weight: 1,
      opacity: 1,
      fillOpacity: 0.75,
      lcId: 0,
      imporFlag: false,
      blinkInterval: 500,
      text: null          /* { text: "...", attr: {dx:0, dy:0, "class": "LC-Marker-Label"}, style: {fill: "black"} } */
    },

    initialize: function (latlng, options) {
      /* The options object is shared by the console's scripts (LCoptions is
         reused for every marker): take a copy of everything, text included. */
      var copy = L.extend({}, options || {});
      if (copy.text && typeof copy.text === 'object') {
        copy.text = {
          text: copy.text.text,
          attr: L.extend({}, copy.text.attr || {}),
          style: L.extend({}, copy.text.style || {})
        };
      }
      L.CircleMarker.prototype.initialize.call(this, latlng, copy);
      this.options.fillColor = this.options.color;
      this._blinkTimer = null;
      this._blinkOn = false;
      this._tmpColor = this.options.color;
      this.PhaseA = undefined;
      this.PhaseB = undefined;
    },

    onAdd: function (map) {
      L.CircleMarker.prototype.onAdd.call(this, map);
      this._addLabel();
    },

    onRemove: function (map) {
      this._removeLabel();
      L.CircleMarker.prototype.onRemove.call(this, map);
    },

    /* --- label ---------------------------------------------------------- */
    _addLabel: function () {
      var t = this.options.text;
      if (!t || t.text === undefined || t.text === null) { return; }
      var root = this._renderer && this._renderer._rootGroup;
      if (!root) { return; }
      var el = document.createElementNS(SVG_NS, 'text');
      var attr = t.attr || {};
      for (var k in attr) {
        if (Object.prototype.hasOwnProperty.call(attr, k) && k !== 'dx' && k !== 'dy') {
          el.setAttribute(k, attr[k]);
        }
      }
      if (!el.getAttribute('class')) { el.setAttribute('class', 'LC-Marker-Label'); }
      var style = t.style || {};
      for (var s in style) {
        if (Object.prototype.hasOwnProperty.call(style, s)) { el.style[s] = style[s]; }
      }
      el.setAttribute('text-anchor', 'middle');
      el.textContent = String(t.text);
      root.appendChild(el);
      this._label = el;
      this._updateLabel();
    },

    _removeLabel: function () {
      if (this._label && this._label.parentNode) { this._label.parentNode.removeChild(this._label); }
      this._label = null;
    },

    _updateLabel: function () {
      if (!this._label || !this._point) { return; }
      var attr = (this.options.text && this.options.text.attr) || {};
      var dx = Number(attr.dx) || 0, dy = Number(attr.dy) || 0;
      this._label.setAttribute('x', this._point.x + dx);
      this._label.setAttribute('y', this._point.y + dy + this._radius + 12);
    },

    getLabelText: function () {
      return this.options.text ? String(this.options.text.text) : '';
    },

    /* --- shape ---------------------------------------------------------- */
    _updatePath: function () {
      if (!this._renderer || !this._path || !this._point) { return; }
      var n = Math.round(this.options.numberOfSides);
      var p = this._point, r = Math.max(this._radius, 1);
      var d;
      if (!(n >= 3) || n >= 35) {
        d = 'M' + (p.x - r) + ',' + p.y +
            'a' + r + ',' + r + ' 0 1,0 ' + (r * 2) + ',0 ' +
            'a' + r + ',' + r + ' 0 1,0 ' + (-r * 2) + ',0 ';
      } else {
        d = '';
        for (var i = 0; i < n; i++) {
          /* first corner straight up, then clockwise */
          var a = -Math.PI / 2 + (2 * Math.PI * i) / n;
          d += (i === 0 ? 'M' : 'L') + (p.x + r * Math.cos(a)).toFixed(2) + ',' + (p.y + r * Math.sin(a)).toFixed(2);
        }
        d += 'z';
      }
      this._renderer._setPath(this, d);
      this._updateLabel();
    },

    setNumberOfSides: function (n) {
      this.options.numberOfSides = n;
      return this.redraw();
    },

    setRadius: function (r) {
      return L.CircleMarker.prototype.setRadius.call(this, r);
    },

    /* --- colour --------------------------------------------------------- */
    setStyle: function (style) {
      style = L.extend({}, style || {});
      if (style.color !== undefined && style.fillColor === undefined) { style.fillColor = style.color; }
      if (this._blinkTimer !== null && style.color !== undefined) {
        /* while blinking the colour is taken when the blinking stops */
        this._tmpColor = style.color;
      }
      this._restyle(style);
      if (this._blinkTimer !== null) { this._paint(this._blinkOn ? this.options.blinkColor : this._tmpColor); }
      return this;
    },

    /* A new style without drawing the shape anew: only a new radius moves the
       outline and the label. A change of colour alone touches nothing but the
       outline's and the fill's colour, so that a page that recolours every marker
       at once lays out and paints its markers once, not every shape and label. */
    _restyle: function (style) {
      if (style.radius !== undefined) {
        L.CircleMarker.prototype.setStyle.call(this, style);
        return;
      }
      var colourOnly = true;
      for (var k in style) {
        if (Object.prototype.hasOwnProperty.call(style, k) && k !== 'color' && k !== 'fillColor') {
          colourOnly = false;
          break;
        }
      }
      if (!colourOnly) {
        L.Path.prototype.setStyle.call(this, style);
        return;
      }
      L.setOptions(this, style);
      if (this._path) {
        var o = this.options;
        if (o.stroke && this._path.getAttribute('stroke') !== o.color) { this._path.setAttribute('stroke', o.color); }
        var fill = o.fillColor || o.color;
        if (o.fill && this._path.getAttribute('fill') !== fill) { this._path.setAttribute('fill', fill); }
      }
    },

    _paint: function (colour) {
      if (!this._path) { return; }
      this._path.setAttribute('stroke', colour);
      this._path.setAttribute('fill', colour);
    },

    blinking: function () {
      return this._blinkTimer !== null;
    },

    startBlink: function (colour) {
      if (colour !== undefined) {
        this._tmpColor = colour;
        this.options.color = colour;
        this.options.fillColor = colour;
        if (this._renderer) { this._renderer._updateStyle(this); }
      }
      if (this._blinkTimer !== null) { return this; }
      this._blinkOn = false;
      this._blinkTimer = blinkJoin(this, this.options.blinkInterval);
      return this;
    },

    stopBlink: function () {
      if (this._blinkTimer !== null) {
        blinkLeave(this, this._blinkTimer);
        this._blinkTimer = null;
      }
      this._blinkOn = false;
      this._restyle({ color: this._tmpColor, fillColor: this._tmpColor });
      this._paint(this._tmpColor);
      return this;
    }
  });

  L.lcMarker = function (latlng, options) { return new L.LcMarker(latlng, options); };

  /* ------------------------------------------------------------------ */
  /* Movement arrows                                                      */
  /* ------------------------------------------------------------------ */

  L.Mvmt = L.Mvmt || {};
  L.Mvmt.circleNum = ['\u2460', '\u2461', '\u2462', '\u2463', '\u2464', '\u2465', '\u2466', '\u2467', '\u2468',
                      '\u2469', '\u246A', '\u246B', '\u246C', '\u246D', '\u246E', '\u246F', '\u2470', '\u2471'];

  function bezier(p0, p1, p2, steps) {
    /* quadratic curve from p0 over p1 to p2, in degrees (short distances) */
    var pts = [];
    for (var i = 0; i <= steps; i++) {
      var t = i / steps, u = 1 - t;
      pts.push(L.latLng(u * u * p0.lat + 2 * u * t * p1.lat + t * t * p2.lat,
                        u * u * p0.lng + 2 * u * t * p1.lng + t * t * p2.lng));
    }
    return pts;
  }

  /* The movement number's marker. It is placed by its left and top offsets, not by
     a 3D translation as other markers are: a 3D translation gives every number a
     layer of its own, and a map with thousands of arrows then spends most of each
     refresh putting those layers together. */
  var MvmtLabelMarker = L.Marker.extend({
    _setPos: function (pos) {
      if (this._icon) {
        var el = this._icon;
        if (el.style.transform) { el.style.transform = ''; }
        el.style.left = pos.x + 'px';
        el.style.top = pos.y + 'px';
        el._leaflet_pos = pos;
      }
      this._zIndex = pos.y + this.options.zIndexOffset;
      this._resetZIndex();
    }
  });

  L.SimpleMovement = L.FeatureGroup.extend({
    options: {
      color: '#30ca5d',
      weight: 4,
      opacity: 0.9,
      label: true,
      headAngle: 0,
      endAngle: 0,
      pane: 'overlayPane',
      text: null
    },

    initialize: function (latlngs, options) {
      L.FeatureGroup.prototype.initialize.call(this, []);
      L.setOptions(this, options);
      this.refresh = false;
      this._shown = true;
      this._latlngs = (latlngs || []).map(function (p) { return L.latLng(p); });
      this._build();
    },

    onAdd: function (map) {
      L.FeatureGroup.prototype.onAdd.call(this, map);
      this._applyShown();
    },

    /* A hidden arrow keeps its drawn parts on the map, out of sight: showing it
       again only makes them visible (the map keeps their positions up to date
       while they are hidden), which costs far less than drawing them anew. */
    isShown: function () { return this._shown; },

    setShown: function (shown) {
      shown = !!shown;
      if (this._shown === shown) { return this; }
      this._shown = shown;
      this._applyShown();
      return this;
    },

    _applyShown: function () {
      var display = this._shown ? '' : 'none';
      var parts = [this._line && this._line._path, this._head && this._head._path,
                   this._labelMarker && this._labelMarker._icon];
      for (var i = 0; i < parts.length; i++) {
        if (parts[i] && parts[i].style.display !== display) { parts[i].style.display = display; }
      }
    },

    _textOf: function () {
      var t = this.options.text;
      return (t && t.text !== undefined && t.text !== null) ? String(t.text) : '';
    },

    _build: function () {
      this.clearLayers();
      var pts = this._latlngs;
      if (pts.length < 3) { return; }
      var head = pts[0], middle = pts[1], end = pts[2];
      var label = pts[3] || middle;
      var style = { color: this.options.color, weight: this.options.weight, opacity: this.options.opacity,
                    pane: this.options.pane, interactive: false };
      var curve = bezier(end, middle, head, 12);
      this._line = L.polyline(curve, style);
      /* arrow head: a triangle at `head` along the last piece of the curve */
      var prev = curve[curve.length - 2];
      var dLat = head.lat - prev.lat, dLng = head.lng - prev.lng;
      var len = Math.sqrt(dLat * dLat + dLng * dLng) || 1e-9;
      var total = 0;
      for (var i = 1; i < curve.length; i++) {
        var a = curve[i - 1], b = curve[i];
        total += Math.sqrt((b.lat - a.lat) * (b.lat - a.lat) + (b.lng - a.lng) * (b.lng - a.lng));
      }
      var size = Math.max(total * 0.25, 1e-6);
      var uLat = dLat / len, uLng = dLng / len;
      var baseLat = head.lat - uLat * size, baseLng = head.lng - uLng * size;
      var w = size * 0.6;
      this._head = L.polygon([
        head,
        L.latLng(baseLat + uLng * w, baseLng - uLat * w),
        L.latLng(baseLat - uLng * w, baseLng + uLat * w)
      ], L.extend({}, style, { fill: true, fillColor: this.options.color, fillOpacity: 1, weight: 1 }));
      this.addLayer(this._line);
      this.addLayer(this._head);
      var txt = this._textOf();
      this._labelMarker = new MvmtLabelMarker(label, {
        pane: this.options.pane,
        interactive: false,
        keyboard: false,
        icon: L.divIcon({ className: 'Mvmt-Label', html: ovikTextNode(txt), iconSize: [18, 18], iconAnchor: [9, 9] })
      });
      if (this.options.label) { this.addLayer(this._labelMarker); }
      this._applyShown();
    },

    getLatLngs: function () { return this._latlngs.slice(); },

    getMovementText: function () { return this._textOf(); },

    /* setLatlngs(points, movementIndex, colour, headAngle, endAngle) */
    setLatlngs: function (latlngs, index, colour, headAngle, endAngle) {
      this._latlngs = (latlngs || []).map(function (p) { return L.latLng(p); });
      if (index !== undefined && index !== null && L.Mvmt.circleNum[index] !== undefined) {
        this.options.text = L.extend({}, this.options.text || {}, { text: L.Mvmt.circleNum[index] });
      }
      if (colour !== undefined) { this.options.color = colour; }
      if (headAngle !== undefined) { this.options.headAngle = headAngle; }
      if (endAngle !== undefined) { this.options.endAngle = endAngle; }
      this._build();
      return this;
    },

    setStyle: function (style) {
      if (style && style.color !== undefined) { this.options.color = style.color; }
      if (this._line) { this._line.setStyle({ color: this.options.color }); }
      if (this._head) { this._head.setStyle({ color: this.options.color, fillColor: this.options.color }); }
      return this;
    },

    setLabelVisible: function (visible) {
      this.options.label = !!visible;
      if (!this._labelMarker) { return this; }
      if (visible && !this.hasLayer(this._labelMarker)) { this.addLayer(this._labelMarker); }
      if (!visible && this.hasLayer(this._labelMarker)) { this.removeLayer(this._labelMarker); }
      this._applyShown();
      return this;
    }
  });

  L.simpleMovement = function (latlngs, options) { return new L.SimpleMovement(latlngs, options); };

  /* ------------------------------------------------------------------ */
  /* Bouncing marker and fitBoundsEx                                     */
  /* ------------------------------------------------------------------ */

  L.Marker.include({
    /* Lets the marker jump `times` times (0.4 s each). */
    bounce: function (times) {
      var n = Math.max(1, parseInt(times, 10) || 1);
      var self = this;
      var el = this._icon;
      this.stopBouncing();
      if (!el) { return this; }
      var base = parseFloat(el.style.marginTop) || 0;
      var started = Date.now(), period = 400, height = 18;
      this._bouncing = true;
      this._bounceBase = base;
      this._bounceTimer = setInterval(function () {
        var t = (Date.now() - started) / period;
        if (!self._icon || t >= n) { self.stopBouncing(); return; }
        var f = t - Math.floor(t);
        self._icon.style.marginTop = (base - height * Math.sin(Math.PI * f)) + 'px';
      }, 20);
      return this;
    },
    isBouncing: function () { return !!this._bouncing; },
    stopBouncing: function () {
      if (this._bounceTimer) { clearInterval(this._bounceTimer); }
      this._bounceTimer = null;
      if (this._bouncing && this._icon) { this._icon.style.marginTop = this._bounceBase + 'px'; }
      this._bouncing = false;
      return this;
    }
  });

  L.Map.include({
    fitBoundsEx: function (latlngs, options) {
      var b = L.latLngBounds(latlngs || []);
      if (!b.isValid()) { return this; }
      options = options || {};
      if (b.getNorthEast().equals(b.getSouthWest())) {
        var z = this.getZoom();
        if (options.maxZoom !== undefined) { z = Math.min(z, options.maxZoom); }
        return this.setView(b.getCenter(), z);
      }
      return this.fitBounds(b, options);
    }
  });

  /* ------------------------------------------------------------------ */
  /* Distance measuring tool                                             */
  /* ------------------------------------------------------------------ */

  L.Control.Measure = L.Control.extend({
    options: { position: 'topleft' },

    onAdd: function (map) {
      this._map = map;
      var box = L.DomUtil.create('div', 'leaflet-bar leaflet-control ovik-measure');
      var a = L.DomUtil.create('a', 'ovik-measure-toggle', box);
      a.href = '#';
      a.innerHTML = '&#x21A6;';
      this._button = a;
      this.refreshTexts();
      L.DomEvent.disableClickPropagation(box);
      L.DomEvent.on(a, 'click', function (e) { L.DomEvent.preventDefault(e); this.toggle(); }, this);
      return box;
    },

    refreshTexts: function () {
      if (this._button) { this._button.title = L.Control.Measure.texts.title; }
    },

    toggle: function () { return this._active ? this.stop() : this.start(); },

    start: function () {
      if (this._active) { return this; }
      this._active = true;
      this._points = [];
      this._layer = L.layerGroup().addTo(this._map);
      this._map.getContainer().style.cursor = 'crosshair';
      this._map.doubleClickZoom.disable();
      this._map.on('click', this._onClick, this);
      this._map.on('dblclick', this.stop, this);
      L.DomUtil.addClass(this._button, 'ovik-measure-active');
      return this;
    },

    stop: function () {
      if (!this._active) { return this; }
      this._active = false;
      this._map.off('click', this._onClick, this);
      this._map.off('dblclick', this.stop, this);
      this._map.doubleClickZoom.enable();
      this._map.getContainer().style.cursor = '';
      if (this._layer) { this._map.removeLayer(this._layer); }
      this._layer = null;
      L.DomUtil.removeClass(this._button, 'ovik-measure-active');
      return this;
    },

    _onClick: function (e) {
      this._points.push(e.latlng);
      this._layer.clearLayers();
      var line = L.polyline(this._points, { color: '#333', weight: 2, dashArray: '4,4', interactive: false });
      this._layer.addLayer(line);
      var total = 0;
      for (var i = 1; i < this._points.length; i++) { total += this._points[i - 1].distanceTo(this._points[i]); }
      var t = L.Control.Measure.texts;
      var text = total >= 1000 ? (total / 1000).toFixed(2) + ' ' + t.kilometres : Math.round(total) + ' ' + t.metres;
      L.circleMarker(e.latlng, { radius: 3, color: '#333', interactive: false })
        .bindTooltip(t.distance + ': ' + text, { permanent: true, direction: 'right' })
        .addTo(this._layer);
    }
  });

  L.Control.Measure.texts = {
    title: '거리 측정 (두 번 클릭하면 끝)',
    distance: '거리',
    metres: 'm',
    kilometres: 'km'
  };

  L.control.measure = function (options) { return new L.Control.Measure(options); };
}());
