# The template filler of the core and the operation plan sheet templates.
console_test(tst_xlsx_template LABEL plansheet SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_xlsx_template.cpp
             ${CMAKE_CURRENT_LIST_DIR}/XlsxProbe.h LIBS core)
