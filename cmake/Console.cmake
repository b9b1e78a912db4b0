# Shared helpers of the console's build.

set(CONSOLE_PCH ${CMAKE_SOURCE_DIR}/cmake/pch.h)

# One precompiled header for every subsystem library: building it once per
# target costs hundreds of megabytes each and most of the build's time.
if(NOT TARGET console_pch)
  file(WRITE ${CMAKE_BINARY_DIR}/console_pch.cpp "// host of the shared precompiled header\n")
  add_library(console_pch STATIC ${CMAKE_BINARY_DIR}/console_pch.cpp)
  target_link_libraries(console_pch PUBLIC Qt6::Widgets Qt6::Sql Qt6::Network Qt6::Concurrent)
  target_precompile_headers(console_pch PRIVATE ${CONSOLE_PCH})
  target_compile_options(console_pch PRIVATE -Winvalid-pch)
endif()

# console_library(name SOURCES ... LIBS ...): one library per subsystem folder.
function(console_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  target_precompile_headers(${name} REUSE_FROM console_pch)
  target_compile_options(${name} PRIVATE -Winvalid-pch)
endfunction()

# label_tests: the test programs whose label matches CONSOLE_TEST_LABELS, a regular
# expression (scripts/test builds only these in its AddressSanitizer build).
set(CONSOLE_TEST_LABELS "" CACHE STRING "Labels (regular expression) of the test programs of label_tests")
if(NOT TARGET label_tests)
  add_custom_target(label_tests)
endif()

# console_test(name LABEL label SOURCES ... LIBS ... [DB]): a Qt Test program
# registered with CTest. DB tests get the private MariaDB of the test fixture.
function(console_test name)
  cmake_parse_arguments(ARG "DB" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CONSOLE_BIN_DIR})
  target_link_libraries(${name} PRIVATE testsupport Qt6::Test ${ARG_LIBS})
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
  if(NOT CONSOLE_TEST_LABELS STREQUAL "" AND ARG_LABEL MATCHES "^(${CONSOLE_TEST_LABELS})$")
    add_dependencies(label_tests ${name})
  endif()
endfunction()
