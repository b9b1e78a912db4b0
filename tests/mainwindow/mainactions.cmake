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
