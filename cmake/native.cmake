# Native build: the portable core, its unit tests and the benchmarks.
enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

if(TARNWICK_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_compile_options(tarnwick_core PUBLIC ${_san})
  target_link_options(tarnwick_core PUBLIC ${_san})
endif()

# Kept as the name tests and tools link; the stand-ins are part of the core natively.
add_library(tarnwick_native_platform INTERFACE)
target_link_libraries(tarnwick_native_platform INTERFACE tarnwick_core)

file(GLOB TW_NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(tarnwick_tests ${TW_NATIVE_TEST_SOURCES})
target_include_directories(tarnwick_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
target_link_libraries(tarnwick_tests PRIVATE tarnwick_native_platform GTest::gtest GTest::gmock GTest::gtest_main)
tw_warnings(tarnwick_tests)
gtest_discover_tests(tarnwick_tests DISCOVERY_MODE PRE_TEST)

find_package(benchmark QUIET)
file(GLOB TW_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/bench/*.cpp)
if(benchmark_FOUND AND TW_BENCH_SOURCES AND NOT TARNWICK_SANITIZE)
  add_executable(tarnwick_bench ${TW_BENCH_SOURCES})
  target_include_directories(tarnwick_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/native)
  target_link_libraries(tarnwick_bench PRIVATE tarnwick_native_platform benchmark::benchmark)
  tw_warnings(tarnwick_bench)
endif()
