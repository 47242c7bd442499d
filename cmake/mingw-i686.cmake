# 32-bit Windows cross build: the main artifact.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZX_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
