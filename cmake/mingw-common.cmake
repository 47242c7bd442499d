# The Windows cross build shared by both toolchain files, for the triplet
# ZX_MINGW_TRIPLET: the posix thread model (std::mutex, which GoogleTest
# needs) and a static runtime, so no MinGW DLL is needed at run time.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${ZX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZX_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
