# GoogleTest built from source for the Windows target, and one ctest entry per
# test program: starting a Windows process under Wine costs far more than any
# single test, so each program runs all of its cases in one process.

set(ZYK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
# GoogleTest looks for a port header of the project's own before its own threading helpers;
# ours stands in for the one that needs std::mutex, which the win32 thread model lacks.
include_directories(BEFORE ${CMAKE_SOURCE_DIR}/tests/gtest_win32)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${ZYK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# zyk_add_test(<name> SOURCES <files...> LIBS <libraries...> [TIMEOUT <s>])
# Every test program gets the shared test support and its main, which fails
# a test on any exception that nothing took on purpose.
function(zyk_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} zyk_test_support GTest::gmock GTest::gtest)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
