# Cross-compiles the static Linux executable for 32-bit ARM with hard float
# (Debian's armhf: ARMv7 and later).
set(QUORVEL_LINUX_TRIPLET arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
