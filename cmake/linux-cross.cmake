# Cross-compiling for Linux on another processor with Debian's cross compilers,
# for the target triplet that the including toolchain file sets in
# QUORVEL_LINUX_TRIPLET. cpack cannot tell the .deb's architecture from the
# compiler, so the including file names it too.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${QUORVEL_LINUX_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QUORVEL_LINUX_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVEL_LINUX_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
