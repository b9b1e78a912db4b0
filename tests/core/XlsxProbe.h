#pragma once
// Reads a written workbook back with independent readers: openpyxl for the
// first sheet's title, defined names, merges and cells (value, fill, font colour,
// borders), and Python's zipfile and ElementTree for the pictures of the first
// sheet's drawing (openpyxl drops pictures without an imaging library).
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace XlsxProbe {

// {"title", "names": {name: reference}, "merges": [...], "cells": {ref: {...}},
//  "pictures": [{"name", "from": [col, colOff, row, rowOff], "to": [...], "png": bool}]}
// Cells listed in `cells` ("E112", ...) are reported; an empty object on failure.
inline QJsonObject Read(const QString &file, const QStringList &cells)
{
    static const char *script = R"PY(
import json, sys, zipfile, posixpath, openpyxl
import xml.etree.ElementTree as ET
path, cells = sys.argv[1], sys.argv[2:]
wb = openpyxl.load_workbook(path)
ws = wb.worksheets[0]
out = {'title': ws.title, 'sheets': len(wb.worksheets),
       'names': {d.name: d.attr_text for d in wb.defined_names.definedName},
       'merges': sorted(str(r) for r in ws.merged_cells.ranges), 'cells': {}, 'pictures': []}
def rgb(c):
    if c is None or c.type != 'rgb' or c.rgb is None: return ''
    return str(c.rgb)[-6:].upper()
for ref in cells:
    c = ws[ref]
    v = c.value
    if isinstance(v, float) and v.is_integer(): v = int(v)
    out['cells'][ref] = {'value': '' if v is None else str(v),
                         'type': type(v).__name__,
                         'fill': rgb(c.fill.fgColor) if c.fill and c.fill.fill_type == 'solid' else '',
                         'font': rgb(c.font.color) if c.font and c.font.color is not None else '',
                         'border': c.border.top.style or '', 'left': c.border.left.style or ''}
ns = {'r': 'http://schemas.openxmlformats.org/officeDocument/2006/relationships',
      'pr': 'http://schemas.openxmlformats.org/package/2006/relationships',
      'm': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main',
      'xdr': 'http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing',
      'a': 'http://schemas.openxmlformats.org/drawingml/2006/main'}
z = zipfile.ZipFile(path)
def rels(part):
    d, f = posixpath.split(part)
    p = posixpath.join(d, '_rels', f + '.rels')
    if p not in z.namelist(): return {}
    return {r.get('Id'): posixpath.normpath(posixpath.join(d, r.get('Target')))
            for r in ET.fromstring(z.read(p)).findall('pr:Relationship', ns)}
wbx = ET.fromstring(z.read('xl/workbook.xml'))
first = wbx.find('m:sheets/m:sheet', ns).get('{%s}id' % ns['r'])
sheet = rels('xl/workbook.xml')[first]
dr = ET.fromstring(z.read(sheet)).find('m:drawing', ns)
if dr is not None:
    dpart = rels(sheet)[dr.get('{%s}id' % ns['r'])]
    drels = rels(dpart)
    for a in ET.fromstring(z.read(dpart)).findall('xdr:twoCellAnchor', ns):
        def corner(tag):
            e = a.find('xdr:' + tag, ns)
            return [int(e.find('xdr:' + k, ns).text) for k in ('col', 'colOff', 'row', 'rowOff')]
        pic = a.find('xdr:pic', ns)
        blip = pic.find('xdr:blipFill/a:blip', ns).get('{%s}embed' % ns['r'])
        data = z.read(drels[blip])
        out['pictures'].append({'name': pic.find('xdr:nvPicPr/xdr:cNvPr', ns).get('name'),
                                'from': corner('from'), 'to': corner('to'),
                                'png': data.startswith(b'\x89PNG\r\n\x1a\n')})
print(json.dumps(out, ensure_ascii=False))
)PY";
    QProcess p;
    p.start(QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3"),
            QStringList{"-c", script, file} + cells);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning("workbook probe: %s", p.readAllStandardError().constData());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// One cell's report of Read.
inline QJsonObject Cell(const QJsonObject &probe, const QString &ref)
{
    return probe.value("cells").toObject().value(ref).toObject();
}

} // namespace XlsxProbe
