# Cross-compiles a 64-bit Windows console executable from the same source: the
# one that the end-to-end tests run under wine64 on hosts that run no 32-bit programs.
set(QUORVEL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
