# Cross toolchain for the 32-bit Windows product and its Wine-run tests.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TW_MINGW_TRIPLE i686-w64-mingw32)
set(TW_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
