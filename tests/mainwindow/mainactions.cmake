# Host requests, bookmarks, the VIP phase-hold panel, the emergency-vehicle panel and
# the vehicle-position pollers (label mainactions).
if(TARGET rcsimlib)
  console_test(tst_main_actions LABEL mainactions DB TIMEOUT 600
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_actions.cpp
    LIBS mainwindow centrelink core rcsimlib Qt6::Widgets)
endif()
if(TARGET vehsimlib)
  console_test(tst_main_pollers LABEL mainactions
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_pollers.cpp
    LIBS mainwindow centrelink core vehsimlib)
endif()
# Menus, tool bar and pop-up by grade and admin mode; window openers; side panels.
console_test(tst_main_menus LABEL mainactions DB TIMEOUT 600
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main_menus.cpp ${CMAKE_CURRENT_LIST_DIR}/MainWindowTestEnv.h
  LIBS mainwindow centrelink control core)
