# Shared by the MinGW-w64 toolchain files, which set TW_MINGW_TRIPLE and TW_WINE_LOADER first.
set(CMAKE_SYSTEM_NAME Windows)
# The -posix variant: the -win32 one has no std::mutex/std::thread in GCC 12.
set(CMAKE_C_COMPILER ${TW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TW_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Wine cannot load binaries that depend on the MinGW runtime DLLs: link everything in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR ${TW_WINE_LOADER})
