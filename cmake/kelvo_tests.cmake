# kelvo_add_test_binary(NAME SOURCES ... LIBS ... [PROPERTIES name value ...])
# One GoogleTest binary per subsystem. Under the Windows builds each test runs
# through the emulator (scripts/wine-env exec), which keeps a private Xvfb
# display and Wine prefix under the build folder: wine64 on the machine for
# win64, the 32-bit Wine of the i386 tree (build/wine32, made by scripts/setup)
# for win32. When that Wine is missing the test fails and says so.
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_NAME STREQUAL "Windows")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(KELVO_WINE_ARCH win64)
  else()
    set(KELVO_WINE_ARCH win32)
  endif()
  set(KELVO_WINE_DIR "${CMAKE_BINARY_DIR}/wine" CACHE PATH "private Wine environment of the tests")
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${PROJECT_SOURCE_DIR}/scripts/wine-env;exec;--${KELVO_WINE_ARCH};${KELVO_WINE_DIR}")
endif()

# Whether tests built here can run on this machine.
if(NOT CMAKE_CROSSCOMPILING OR CMAKE_CROSSCOMPILING_EMULATOR)
  set(KELVO_CAN_RUN_TESTS ON)
else()
  set(KELVO_CAN_RUN_TESTS OFF)
endif()

function(kelvo_add_test_binary name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  # kelvo_test_main replaces GoogleTest's main (see tests/support/test_main.cpp why).
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} kelvo_test_main kelvo_test_support GTest::gmock GTest::gtest
                        project_warnings)
  if(KELVO_CAN_RUN_TESTS)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
  endif()
endfunction()
