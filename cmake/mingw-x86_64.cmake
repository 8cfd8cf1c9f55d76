# Cross toolchain for the x86-64 test twin: the same sources, run under 64-bit Wine
# on machines that cannot execute 32-bit code. The product stays the i686 build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TW_MINGW_TRIPLE x86_64-w64-mingw32)
# The plain `wine` wrapper picks the 32-bit loader whenever wine32 is installed.
set(TW_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
