# Cross build: Tarnwick.dll, the host stand-in, the fake WMI provider and the Wine tests.
enable_testing()
include(GoogleTest)

set(TW_WIN32_DEFINES WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_definitions(tarnwick_core PUBLIC ${TW_WIN32_DEFINES})

# The version of both binaries' resources, from the project's VERSION.
configure_file(${CMAKE_SOURCE_DIR}/resources/version.h.in ${CMAKE_BINARY_DIR}/generated/version.h @ONLY)

set(TW_SYSTEM_LIBS ole32 oleaut32 wbemuuid ws2_32 comctl32 comdlg32 shell32 user32 gdi32 version uuid advapi32)

# The shell as objects, so the DLL and the shell test program are built from the same code.
add_library(tarnwick_shell OBJECT ${TW_WIN32_SOURCES})
target_link_libraries(tarnwick_shell PUBLIC tarnwick_core)
target_include_directories(tarnwick_shell PUBLIC ${CMAKE_SOURCE_DIR}/resources)
tw_warnings(tarnwick_shell)

# The message table of the Windows Event Log, made by windmc into an .rc and the
# .bin it names, which tarnwick.rc includes from the generated folder.
find_program(TW_WINDMC NAMES ${TW_MINGW_TRIPLE}-windmc REQUIRED)
set(TW_MESSAGES_RC ${CMAKE_BINARY_DIR}/generated/tarnwick_messages.rc)
add_custom_command(OUTPUT ${TW_MESSAGES_RC} ${CMAKE_BINARY_DIR}/generated/tarnwick_messages_MSG00409.bin
  COMMAND ${TW_WINDMC} -b -h ${CMAKE_BINARY_DIR}/generated -r ${CMAKE_BINARY_DIR}/generated
    ${CMAKE_SOURCE_DIR}/resources/tarnwick_messages.mc
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/tarnwick_messages.mc VERBATIM)
add_custom_target(tarnwick_messages DEPENDS ${TW_MESSAGES_RC})

add_library(Tarnwick SHARED
  $<TARGET_OBJECTS:tarnwick_shell>
  ${CMAKE_SOURCE_DIR}/src/plugin/win32/Tarnwick.def
  ${CMAKE_SOURCE_DIR}/resources/tarnwick.rc)
set_target_properties(Tarnwick PROPERTIES PREFIX "" OUTPUT_NAME Tarnwick
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR} LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(Tarnwick PRIVATE tarnwick_core ${TW_SYSTEM_LIBS})
add_dependencies(Tarnwick tarnwick_messages)
target_link_options(Tarnwick PRIVATE -Wl,--kill-at -static-libgcc -static-libstdc++)
target_include_directories(Tarnwick PRIVATE ${CMAKE_SOURCE_DIR}/resources ${CMAKE_BINARY_DIR}/generated)
set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/tarnwick.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/resource_ids.h;${CMAKE_BINARY_DIR}/generated/version.h;${CMAKE_SOURCE_DIR}/resources/help.rtf;${CMAKE_SOURCE_DIR}/resources/release_notes.rtf;${TW_MESSAGES_RC}")

# TarnwickTray.exe: the plug-in hosted in the notification area. Its shell is a
# library too, since the host stand-in uses the same preferences window.
target_compile_definitions(tarnwick_tray_core PUBLIC ${TW_WIN32_DEFINES})
file(GLOB TW_TRAY_SHELL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/tray/win32/*.cpp)
list(REMOVE_ITEM TW_TRAY_SHELL_SOURCES ${CMAKE_SOURCE_DIR}/src/tray/win32/tray_main_win32.cpp)
add_library(tarnwick_tray_shell STATIC ${TW_TRAY_SHELL_SOURCES})
target_link_libraries(tarnwick_tray_shell PUBLIC tarnwick_tray_core comctl32 shell32 ole32 oleaut32 taskschd
  advapi32 user32 gdi32 uuid)
tw_warnings(tarnwick_tray_shell)
add_executable(TarnwickTray WIN32
  ${CMAKE_SOURCE_DIR}/src/tray/win32/tray_main_win32.cpp
  ${CMAKE_SOURCE_DIR}/src/tray/win32/TarnwickTray.rc)
set_target_properties(TarnwickTray PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(TarnwickTray PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(TarnwickTray PRIVATE tarnwick_tray_shell)
target_link_options(TarnwickTray PRIVATE -static-libgcc -static-libstdc++ -static)
tw_warnings(TarnwickTray)
set_source_files_properties(${CMAKE_SOURCE_DIR}/src/tray/win32/TarnwickTray.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/tray/win32/TarnwickTray.manifest;${CMAKE_SOURCE_DIR}/resources/icons/tray.ico;${CMAKE_BINARY_DIR}/generated/version.h")

# GoogleTest for MinGW, from the distribution's sources.
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Host stand-in: a library the Wine tests link, and the scriptable program.
file(GLOB TW_HOST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/host/*.cpp)
list(REMOVE_ITEM TW_HOST_SOURCES ${CMAKE_SOURCE_DIR}/tools/host/main.cpp)
add_library(tarnwick_host STATIC ${TW_HOST_SOURCES})
target_include_directories(tarnwick_host PUBLIC ${CMAKE_SOURCE_DIR}/tools/host ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_SOURCE_DIR}/tools)
target_compile_definitions(tarnwick_host PUBLIC ${TW_WIN32_DEFINES})
target_link_libraries(tarnwick_host PUBLIC tarnwick_tray_shell comctl32 user32 gdi32 kernel32)
tw_warnings(tarnwick_host)

add_executable(tarnwick-host ${CMAKE_SOURCE_DIR}/tools/host/main.cpp)
set_target_properties(tarnwick-host PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_libraries(tarnwick-host PRIVATE tarnwick_host)
tw_warnings(tarnwick-host)

if(EXISTS ${CMAKE_SOURCE_DIR}/tools/fakewmi/CMakeLists.txt)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tools/fakewmi ${CMAKE_BINARY_DIR}/fakewmi)
endif()

# Wine tests through the real DLL and the host stand-in.
file(GLOB TW_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.cpp)
add_executable(tarnwick_wine_tests ${TW_WINE_TEST_SOURCES})
set_target_properties(tarnwick_wine_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(tarnwick_wine_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tarnwick_wine_tests PRIVATE tarnwick_host tarnwick_core gtest gmock gtest_main ws2_32)
tw_warnings(tarnwick_wine_tests)
add_dependencies(tarnwick_wine_tests Tarnwick)
if(TARGET fakewmi)
  add_dependencies(tarnwick_wine_tests fakewmi)
endif()
# The keyboard focus belongs to the active window of the whole desktop: a test
# that presses keys or answers a message box runs alone, or another test's
# window can take the focus.
set(TW_FOCUS_TESTS "PrefsWindow.TabFromTheHost*:PrefsWindow.TabReaches*:VisitorsPage.*:OpenFilesTest.*")
gtest_discover_tests(tarnwick_wine_tests DISCOVERY_MODE PRE_TEST TEST_FILTER -${TW_FOCUS_TESTS}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR} PROPERTIES LABELS wine)
gtest_discover_tests(tarnwick_wine_tests DISCOVERY_MODE PRE_TEST TEST_FILTER ${TW_FOCUS_TESTS}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR} PROPERTIES LABELS wine RUN_SERIAL TRUE)

# Tests of shell pieces whose behaviour is not visible through the exports:
# they link the shell objects directly.
file(GLOB TW_SHELL_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/shell/*.cpp)
if(TW_SHELL_TEST_SOURCES)
  add_executable(tarnwick_shell_tests ${TW_SHELL_TEST_SOURCES} $<TARGET_OBJECTS:tarnwick_shell>)
  set_target_properties(tarnwick_shell_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_include_directories(tarnwick_shell_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine ${CMAKE_SOURCE_DIR}/resources)
  target_link_libraries(tarnwick_shell_tests PRIVATE tarnwick_host tarnwick_core gtest gmock gtest_main ${TW_SYSTEM_LIBS})
  tw_warnings(tarnwick_shell_tests)
  if(TARGET fakewmi)
    add_dependencies(tarnwick_shell_tests fakewmi)
  endif()
  # Ipv6Names needs a name for ::1, which only a hosts file gives: it runs in a
  # mount namespace of its own whose /etc/hosts has one.
  gtest_discover_tests(tarnwick_shell_tests DISCOVERY_MODE PRE_TEST TEST_FILTER -Ipv6Names.*
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR} PROPERTIES LABELS wine)
  add_test(NAME Ipv6Names COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/hosts-namespace.sh
    "::1 v6loopback.tarnwick.test" -- ${CMAKE_CROSSCOMPILING_EMULATOR}
    $<TARGET_FILE:tarnwick_shell_tests> --gtest_filter=Ipv6Names.*
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(Ipv6Names PROPERTIES LABELS wine)
endif()

# Tests of TarnwickTray.exe, run as a separate program: one instance per session
# means one of these tests at a time.
file(GLOB TW_TRAY_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/tray/*.cpp)
add_executable(tarnwick_tray_tests ${TW_TRAY_TEST_SOURCES})
set_target_properties(tarnwick_tray_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(tarnwick_tray_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/wine ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_SOURCE_DIR}/tools)
target_compile_definitions(tarnwick_tray_tests PRIVATE ${TW_WIN32_DEFINES})
target_link_libraries(tarnwick_tray_tests PRIVATE gtest gtest_main advapi32 user32 shell32)
tw_warnings(tarnwick_tray_tests)
add_dependencies(tarnwick_tray_tests TarnwickTray Tarnwick fakewmi)
gtest_discover_tests(tarnwick_tray_tests DISCOVERY_MODE PRE_TEST
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR} PROPERTIES LABELS wine RESOURCE_LOCK tarnwick_tray)
