# GoogleTest: Debian's libgtest-dev on the host, its sources built with
# mingw for the Windows side.
include(GoogleTest)
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # googletest defines the GTest:: aliases itself.
else()
  find_package(GTest REQUIRED)
endif()

# add_install_test(name SOURCES... LIBS...): one GoogleTest program whose cases
# become ctest entries; discovery happens when ctest runs, so Wine never runs
# at build time.
function(add_install_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 120)
endfunction()
