# The intersection monitor opened from the main window against the simulator, with its
# real page (label lcmonitor).
if(TARGET rcsimlib)
  console_test(tst_lcmonitor_live LABEL lcmonitor DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_lcmonitor_live.cpp
               ${CMAKE_CURRENT_LIST_DIR}/MainWindowTestEnv.h LIBS mainwindow control centrelink core rcsimlib
               TIMEOUT 600)
endif()
# An open monitor redraws both arrows after the movement editor's save, both opened
# from the main window against the simulator (pages that record their scripts).
if(TARGET rcsimlib)
  console_test(tst_lcmonitor_mvmt LABEL lcmonitor DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_lcmonitor_mvmt.cpp
               ${CMAKE_CURRENT_LIST_DIR}/MainWindowTestEnv.h
               LIBS mainwindow intersection control centrelink core rcsimlib TIMEOUT 300)
endif()
