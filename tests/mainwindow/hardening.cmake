# Hostile names on the main map page: every text reaches the page as text.
console_test(tst_page_texts LABEL hardening SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_page_texts.cpp
             LIBS mainwindow TIMEOUT 600)
