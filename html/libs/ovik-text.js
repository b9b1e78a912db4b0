/*
 * Texts on the console's map pages.
 *
 * Names and identifiers shown on a map come from the database, from operators and
 * from the network (intersection and group names, emergency services, vehicle
 * identifiers, detector names ...). They reach the page as text, never as markup:
 * this file is the one place that puts a text into the page.
 *
 *   ovikText(value)        the value as a string ('' for undefined and null)
 *   ovikTextNode(value)    a <span> holding the value as text
 *   ovikRich(parts)        a <span> built from parts, each a text (as text),
 *                          { b: text } (bold text) or { br: true } (line break)
 *
 * Leaflet writes a string given as the content of a tooltip or a popup, and the
 * name of a layer in the layer control, into innerHTML. On our pages a string
 * there is text: the content is put in as a text node, the layer name as the text
 * of its label. Markup that a page needs is built with ovikRich or DOM nodes.
 *
 * Loaded right after Leaflet, before every other script of the page.
 */
(function () {
  'use strict';

  function ovikText(value) {
    return (value === undefined || value === null) ? '' : String(value);
  }

  function ovikTextNode(value) {
    var el = document.createElement('span');
    el.textContent = ovikText(value);
    return el;
  }

  function ovikRich(parts) {
    var el = document.createElement('span');
    var list = Array.isArray(parts) ? parts : [parts];
    for (var i = 0; i < list.length; i++) {
      var p = list[i];
      if (p !== null && typeof p === 'object' && !(p instanceof Node)) {
        if (p.br) {
          el.appendChild(document.createElement('br'));
        } else if ('b' in p) {
          var b = document.createElement('strong');
          b.textContent = ovikText(p.b);
          el.appendChild(b);
        }
      } else if (p instanceof Node) {
        el.appendChild(p);
      } else {
        el.appendChild(document.createTextNode(ovikText(p)));
      }
    }
    return el;
  }

  /* A node for any content: nodes stay, everything else becomes text. */
  function contentNode(content) {
    if (content instanceof Node) { return content; }
    return document.createTextNode(ovikText(content));
  }

  window.ovikText = ovikText;
  window.ovikTextNode = ovikTextNode;
  window.ovikRich = ovikRich;

  if (typeof L === 'undefined') { return; }

  /* Tooltips and popups: their content is put in as text (Leaflet's own version
     assigns a string to innerHTML). */
  if (L.DivOverlay && L.DivOverlay.prototype._updateContent) {
    L.DivOverlay.prototype._updateContent = function () {
      if (this._content === undefined || this._content === null || this._content === '') { return; }
      var node = this._contentNode;
      if (!node) { return; }
      var content = (typeof this._content === 'function') ? this._content(this._source || this) : this._content;
      while (node.firstChild) { node.removeChild(node.firstChild); }
      node.appendChild(contentNode(content));
      this.fire('contentupdate');
    };
  }

  /* Layer control: the name of a layer is the text of its label. */
  if (L.Control && L.Control.Layers && L.Control.Layers.prototype._addItem) {
    var addItem = L.Control.Layers.prototype._addItem;
    L.Control.Layers.prototype._addItem = function (obj) {
      var label = addItem.call(this, L.extend({}, obj, { name: '' }));
      var holder = label && label.firstChild;
      var name = holder && holder.lastChild;
      if (name && name.nodeType === 1) { name.textContent = ' ' + ovikText(obj.name); }
      return label;
    };
  }

  /* Div icons: html given as a string is text; markup comes as a node. */
  if (L.DivIcon && L.DivIcon.prototype.createIcon) {
    var createIcon = L.DivIcon.prototype.createIcon;
    L.DivIcon.prototype.createIcon = function (oldIcon) {
      var html = this.options.html;
      if (typeof html === 'string' || typeof html === 'number') {
        var opts = this.options;
        this.options = L.extend({}, opts, { html: ovikTextNode(html) });
        try {
          return createIcon.call(this, oldIcon);
        } finally {
          this.options = opts;
        }
      }
      return createIcon.call(this, oldIcon);
    };
  }
}());
