# libFuzzer targets over the portable core, under ASan and UBSan; scripts/fuzz.sh runs them.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "TARNWICK_FUZZ needs clang for libFuzzer: use the fuzz preset")
endif()

set(_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
target_compile_options(tarnwick_core PUBLIC ${_san} -fsanitize=fuzzer-no-link)
target_link_options(tarnwick_core PUBLIC ${_san})

# The platform seams are served by the same stand-ins as in the unit tests.
file(GLOB TW_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_library(tarnwick_fuzz_support OBJECT ${TW_TEST_SUPPORT_SOURCES})
target_include_directories(tarnwick_fuzz_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tarnwick_fuzz_support PUBLIC tarnwick_core)
tw_warnings(tarnwick_fuzz_support)

# tests/fuzz/<name>_fuzz.cpp builds fuzz_<name>.
file(GLOB TW_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/*_fuzz.cpp)
foreach(source IN LISTS TW_FUZZ_SOURCES)
  get_filename_component(_name ${source} NAME_WE)
  string(REGEX REPLACE "_fuzz$" "" _name ${_name})
  add_executable(fuzz_${_name} ${source})
  target_link_libraries(fuzz_${_name} PRIVATE tarnwick_fuzz_support)
  target_link_options(fuzz_${_name} PRIVATE -fsanitize=fuzzer)
  tw_warnings(fuzz_${_name})
endforeach()
