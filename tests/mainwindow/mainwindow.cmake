# Main window: lifecycle, monitoring cycle, trees and selection, legend and counters.
set(MAINWINDOW_TEST_LIBS mainwindow centrelink core)
console_test(tst_main_units LABEL mainwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_units.cpp
             ${CMAKE_CURRENT_LIST_DIR}/MainWindowTestEnv.h LIBS ${MAINWINDOW_TEST_LIBS})
console_test(tst_main_lists LABEL mainwindow DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_lists.cpp
             LIBS ${MAINWINDOW_TEST_LIBS})
if(TARGET rcsimlib)
  console_test(tst_main_monitor LABEL mainwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_monitor.cpp
               LIBS ${MAINWINDOW_TEST_LIBS} rcsimlib)
  console_test(tst_main_window LABEL mainwindow DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_window.cpp
               LIBS ${MAINWINDOW_TEST_LIBS} rcsimlib)
endif()
# The parts of the main window without the browser (label base; also run in the
# AddressSanitizer build).
console_test(tst_base_live LABEL base SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_base_live.cpp
             LIBS mainparts centrelink core)
