# Native build: the portable core, its unit tests and the benchmarks.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

if(TARNWICK_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_compile_options(tarnwick_core PUBLIC ${_san})
  target_link_options(tarnwick_core PUBLIC ${_san})
endif()
if(TARNWICK_TSAN)
  set(_tsan -fsanitize=thread -fno-omit-frame-pointer)
  target_compile_options(tarnwick_core PUBLIC ${_tsan})
  target_link_options(tarnwick_core PUBLIC ${_tsan})
endif()

# The stand-ins for the platform seams, with the hooks the tests use. Objects, not
# an archive: the core calls into them, so they must not come before it on the link line.
file(GLOB TW_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(tarnwick_test_support OBJECT ${TW_TEST_SUPPORT_SOURCES})
target_include_directories(tarnwick_test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tarnwick_test_support PUBLIC tarnwick_core)
tw_warnings(tarnwick_test_support)

file(GLOB TW_NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(tarnwick_tests ${TW_NATIVE_TEST_SOURCES})
target_include_directories(tarnwick_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
target_link_libraries(tarnwick_tests PRIVATE tarnwick_test_support tarnwick_tray_core GTest::gtest GTest::gmock GTest::gtest_main)
tw_warnings(tarnwick_tests)
if(TARNWICK_TSAN)
  # Any report fails the test, at the first race.
  gtest_discover_tests(tarnwick_tests DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
else()
  gtest_discover_tests(tarnwick_tests DISCOVERY_MODE PRE_TEST)
endif()

find_package(benchmark QUIET)
file(GLOB TW_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/bench/*.cpp)
if(benchmark_FOUND AND TW_BENCH_SOURCES AND NOT TARNWICK_SANITIZE AND NOT TARNWICK_TSAN)
  add_executable(tarnwick_bench ${TW_BENCH_SOURCES})
  target_include_directories(tarnwick_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
  target_link_libraries(tarnwick_bench PRIVATE tarnwick_test_support benchmark::benchmark)
  tw_warnings(tarnwick_bench)
endif()
