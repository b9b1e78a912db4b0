# Shared helpers of the console's build.

set(CONSOLE_PCH ${CMAKE_SOURCE_DIR}/cmake/pch.h)

# console_library(name SOURCES ... LIBS ...): one library per subsystem folder.
function(console_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  target_precompile_headers(${name} PRIVATE ${CONSOLE_PCH})
endfunction()

# console_test(name LABEL label SOURCES ... LIBS ... [DB]): a Qt Test program
# registered with CTest. DB tests get the private MariaDB of the test fixture.
function(console_test name)
  cmake_parse_arguments(ARG "DB" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CONSOLE_BIN_DIR})
  target_link_libraries(${name} PRIVATE testsupport Qt6::Test ${ARG_LIBS})
  target_precompile_headers(${name} PRIVATE ${CONSOLE_PCH})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CONSOLE_BIN_DIR})
  set(env "QT_QPA_PLATFORM=offscreen;QTWEBENGINE_DISABLE_SANDBOX=1;LC_ALL=C.UTF-8;SC_TEST_DB_DIR=${CMAKE_BINARY_DIR}/testdb;SC_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABEL}" ENVIRONMENT "${env}")
  if(ARG_TIMEOUT)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endif()
  if(ARG_DB)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED mariadb)
  endif()
  add_dependencies(${name} console_runtime_files)
endfunction()
