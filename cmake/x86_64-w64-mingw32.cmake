# Cross-compiles for 64-bit Windows: the DLL of the 64-bit -dev zip.
set(QUORVEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
