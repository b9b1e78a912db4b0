#pragma once
// libxlsxwriter, loaded into a link namespace of its own.
//
// Why: libxlsxwriter packs workbooks with the system's minizip (zipOpen,
// zipOpenNewFileInZip4_64 ...). QuaZip, which the program also links, exports
// functions of the same names (its own modified minizip). In one flat symbol
// namespace libxlsxwriter's calls bind to QuaZip's versions and the process
// crashes in workbook_close. Loading libxlsxwriter with dlmopen gives it its own
// minizip, so both libraries work side by side.
//
// Use the function table instead of calling libxlsxwriter directly:
//     const TXlsxWriterApi *x = XlsxWriterApi();     // nullptr: not loadable (error text)
//     lxw_workbook *wb = x->workbook_new(path);
//     lxw_worksheet *ws = x->workbook_add_worksheet(wb, "Sheet1");
//     x->worksheet_write_string(ws, 0, 0, "text", nullptr);
//     lxw_error rc = x->workbook_close(wb);
#include <QString>
#include <xlsxwriter.h>

#define SC_XLSX_FUNCTIONS(X)                                                                   \
    X(workbook_new) X(workbook_new_opt) X(workbook_add_worksheet) X(workbook_add_format)       \
    X(workbook_close) X(workbook_get_worksheet_by_name) X(workbook_define_name)                \
    X(format_set_bold) X(format_set_italic) X(format_set_underline) X(format_set_font_name)    \
    X(format_set_font_size) X(format_set_font_color) X(format_set_align)                       \
    X(format_set_text_wrap) X(format_set_border) X(format_set_border_color)                    \
    X(format_set_bg_color) X(format_set_fg_color) X(format_set_pattern)                        \
    X(format_set_num_format) X(format_set_shrink)                                              \
    X(worksheet_write_string) X(worksheet_write_number) X(worksheet_write_blank)               \
    X(worksheet_write_formula) X(worksheet_write_datetime) X(worksheet_write_boolean)          \
    X(worksheet_merge_range) X(worksheet_set_column) X(worksheet_set_row)                      \
    X(worksheet_freeze_panes) X(worksheet_autofilter) X(worksheet_set_landscape)               \
    X(worksheet_set_paper) X(worksheet_fit_to_pages) X(worksheet_insert_image)                 \
    X(lxw_strerror)

struct TXlsxWriterApi
{
#define SC_XLSX_MEMBER(name) decltype(&::name) name = nullptr;
    SC_XLSX_FUNCTIONS(SC_XLSX_MEMBER)
#undef SC_XLSX_MEMBER
};

// The loaded library (once per process); nullptr with the reason in *error when it
// cannot be loaded.
const TXlsxWriterApi *XlsxWriterApi(QString *error = nullptr);
