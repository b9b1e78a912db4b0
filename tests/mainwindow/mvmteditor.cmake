# The movement arrow editor with its real page offscreen (label masterlist).
console_test(tst_mvmt_editor_page LABEL masterlist DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_mvmt_editor_page.cpp
             LIBS mainwindow intersection core TIMEOUT 600)
target_include_directories(tst_mvmt_editor_page PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../core)
