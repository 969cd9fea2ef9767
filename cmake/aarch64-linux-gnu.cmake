# Cross-compiles the static Linux executable for 64-bit ARM (Debian's arm64).
set(QUORVEL_LINUX_TRIPLET aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
