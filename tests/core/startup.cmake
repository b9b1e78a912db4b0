# Start-up road: settings, language texts, database connection and schema check,
# operator event log, login, single instance.
console_test(tst_startup_config LABEL startup SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_startup_config.cpp LIBS coreapp)
console_test(tst_startup_db LABEL startup DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_startup_db.cpp LIBS coreapp)
console_test(tst_startup_process LABEL startup DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_startup_process.cpp LIBS coreapp)
add_dependencies(tst_startup_process signal-console)
