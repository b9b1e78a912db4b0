# Shared records, the utility library and CP949 texts.
console_test(tst_records LABEL foundation SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_records.cpp LIBS core)
console_test(tst_quorval LABEL foundation SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quorval.cpp LIBS core)
console_test(tst_quorval_net LABEL foundation SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quorval_net.cpp LIBS core)
console_test(tst_quorval_db LABEL foundation DB SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_quorval_db.cpp LIBS core)
