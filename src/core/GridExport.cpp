#include "core/GridExport.h"

#include <QFile>
#include <QRegularExpression>

#include "core/GridView.h"
#include "foundation/XlsxWriterLib.h"

TXlsxTable GridToTable(const TGridView *view)
{
    TXlsxTable t;
    if (!view || !view->GridModel())
        return t;
    const TGridModel *m = view->GridModel();
    const QHeaderView *h = view->horizontalHeader();
    QList<int> cols;
    for (int v = 0; v < h->count(); ++v) {
        const int c = h->logicalIndex(v);
        if (c < 0 || view->isColumnHidden(c))
            continue;
        cols.append(c);
    }
    const TGridHeaderView *gh = view->Header();
    if (gh && gh->HasBands()) {
        for (int i = 0; i < cols.size();) {
            const int b = gh->BandOf(cols[i]);
            int span = 1;
            while (i + span < cols.size() && b >= 0 && gh->BandOf(cols[i + span]) == b)
                ++span;
            t.Bands.append({b >= 0 ? gh->Bands().at(b).Caption : QString(), span});
            i += span;
        }
    }
    for (int c : cols) {
        t.Header.append(m->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        t.Widths.append(view->columnWidth(c));
    }
    // Every row of the grid, not only those the filter lets through, in the
    // order the grid's sort gives them.
    const QList<int> records = view->Proxy()->AllSourceRowsSorted();
    for (int rec : records) {
        QStringList row;
        row.reserve(cols.size());
        for (int c : cols)
            row.append(view->DisplayText(rec, c));
        t.Rows.append(row);
    }
    return t;
}

static bool AsNumber(const QString &text, double *value)
{
    static const QRegularExpression re(QStringLiteral("^-?(0|[1-9][0-9]{0,14})(\\.[0-9]*[1-9])?$"));
    if (!re.match(text).hasMatch())
        return false;
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

bool WriteXlsxTable(const QString &fileName, const TXlsxTable &table, QString *error,
                    const QString &sheetName)
{
    return WriteXlsxSheets(fileName, {{sheetName, table}}, error);
}

bool WriteXlsxSheets(const QString &fileName, const QList<QPair<QString, TXlsxTable>> &sheets, QString *error)
{
    const TXlsxWriterApi *x = XlsxWriterApi(error);
    if (!x)
        return false;
    const QByteArray path = QFile::encodeName(fileName);
    lxw_workbook *wb = x->workbook_new(path.constData());
    if (!wb) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(fileName);
        return false;
    }
    lxw_format *head = x->workbook_add_format(wb);
    x->format_set_bold(head);
    x->format_set_align(head, LXW_ALIGN_CENTER);
    x->format_set_align(head, LXW_ALIGN_VERTICAL_CENTER);
    x->format_set_border(head, LXW_BORDER_THIN);
    x->format_set_bg_color(head, 0xEDEDED);
    lxw_format *cell = x->workbook_add_format(wb);
    x->format_set_border(cell, LXW_BORDER_THIN);

    for (int sheet = 0; sheet < sheets.size(); ++sheet) {
    const TXlsxTable &table = sheets[sheet].second;
    const QString &sheetName = sheets[sheet].first;
    const QByteArray name =
        (sheetName.isEmpty() ? QStringLiteral("Sheet%1").arg(sheet + 1) : sheetName.left(31)).toUtf8();
    lxw_worksheet *ws = x->workbook_add_worksheet(wb, name.constData());
    lxw_row_t row = 0;
    if (!table.Bands.isEmpty()) {
        lxw_col_t col = 0;
        for (const auto &band : table.Bands) {
            const QByteArray text = band.first.toUtf8();
            if (band.second > 1)
                x->worksheet_merge_range(ws, row, col, row, lxw_col_t(col + band.second - 1),
                                      text.constData(), head);
            else
                x->worksheet_write_string(ws, row, col, text.constData(), head);
            col = lxw_col_t(col + band.second);
        }
        ++row;
    }
    for (int c = 0; c < table.Header.size(); ++c) {
        const QByteArray text = table.Header[c].toUtf8();
        x->worksheet_write_string(ws, row, lxw_col_t(c), text.constData(), head);
        const int px = c < table.Widths.size() ? table.Widths[c] : 80;
        x->worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), qMax(4.0, px / 7.0), nullptr);
    }
    ++row;
    for (const QStringList &r : table.Rows) {
        for (int c = 0; c < r.size(); ++c) {
            const QString &s = r[c];
            double d = 0;
            if (s.isEmpty())
                x->worksheet_write_blank(ws, row, lxw_col_t(c), cell);
            else if (AsNumber(s, &d))
                x->worksheet_write_number(ws, row, lxw_col_t(c), d, cell);
            else {
                const QByteArray text = s.toUtf8();
                x->worksheet_write_string(ws, row, lxw_col_t(c), text.constData(), cell);
            }
        }
        ++row;
    }
    }
    const lxw_error rc = x->workbook_close(wb);
    if (rc != LXW_NO_ERROR) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(fileName, QString::fromUtf8(x->lxw_strerror(rc)));
        return false;
    }
    return true;
}

bool ExportGridToXlsx(const TGridView *view, const QString &fileName, QString *error)
{
    return WriteXlsxTable(fileName, GridToTable(view), error);
}
