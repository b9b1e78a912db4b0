# Passwords and the console's start against a careless installation (label hardening).
console_test(tst_hardening_core LABEL hardening DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_hardening_core.cpp LIBS coreapp)
add_dependencies(tst_hardening_core signal-console pwtool)
