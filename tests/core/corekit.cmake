# The core window kit: grid model and controller, export, registry, base windows,
# pickers, lookup and code-table dialogs, operator accounts, small windows.
console_test(tst_corekit_grid LABEL corekit SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_corekit_grid.cpp LIBS core)
console_test(tst_corekit_save LABEL corekit DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_corekit_save.cpp LIBS core)
console_test(tst_corekit_pickers LABEL corekit DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_corekit_pickers.cpp LIBS core)
