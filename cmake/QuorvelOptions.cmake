# Compiler settings shared by every target of the project.

option(QUORVEL_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

function(quorvel_apply_options target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    # Inputs and images over 2 GiB on 32-bit C libraries that honour it.
    target_compile_definitions(${target} PRIVATE _FILE_OFFSET_BITS=64)
  endif()
  if(QUORVEL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A release executable carries its own C++ runtime: it starts without loading
# shared libraries and runs on machines that lack them.
function(quorvel_link_runtime_statically target)
  if(QUORVEL_SANITIZE OR MSVC OR APPLE OR NOT CMAKE_BUILD_TYPE STREQUAL "Release")
    return()
  endif()
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux" OR WIN32)
    target_link_options(${target} PRIVATE -static)
  else()
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()
