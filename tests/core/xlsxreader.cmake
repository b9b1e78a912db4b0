# The workbook reader of the core (label groupeditors: the outline tool reads through it).
console_test(tst_xlsx_reader LABEL groupeditors SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_xlsx_reader.cpp LIBS core QuaZip::QuaZip)
