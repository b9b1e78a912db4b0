# The one editor path of the grid kit: the example editor, the account editor and
# the code-table dialog through the same save, closing with unsaved edits, the
# number boxes, and the grid models under the item-model checker.
console_test(tst_base_editors LABEL base DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_base_editors.cpp LIBS core)
console_test(tst_base_model LABEL base SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_base_model.cpp LIBS core)
