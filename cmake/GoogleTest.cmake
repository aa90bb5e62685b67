# GoogleTest comes from Debian: the installed library for the host build, its sources
# (/usr/src/googletest) built inside each Windows build.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  target_link_options(gtest PUBLIC -static)
else()
  find_package(GTest REQUIRED)
endif()

# pelora_test(NAME [LOCK RESOURCE] [TIMEOUT SECONDS] SOURCES...): every test of the program becomes one ctest
# test, labelled NAME; tests that share a resource (such as the settings file) take its LOCK
# in turn; each test may run TIMEOUT seconds (120 unless given).
function(pelora_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "LOCK;TIMEOUT" "")
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  pelora_target_settings(${name})
  target_link_libraries(${name} PRIVATE GTest::gtest_main)
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 120)
  endif()
  set(properties TIMEOUT ${arg_TIMEOUT} LABELS ${name})
  if(arg_LOCK)
    list(APPEND properties RESOURCE_LOCK ${arg_LOCK})
  endif()
  # Discovery at test time: under Wine it needs the prefix that the test run prepares.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ${properties})
endfunction()
