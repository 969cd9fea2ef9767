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

# The executable carries its own C++ runtime: it starts without loading shared
# libraries and runs on machines that lack them. A Windows build always does,
# so that it needs no DLL that Windows does not have; elsewhere release builds
# do. Release executables are stripped: users ship them, nobody debugs them.
function(quorvel_link_executable target)
  if(QUORVEL_SANITIZE OR MSVC OR APPLE OR EMSCRIPTEN)
    return()
  endif()
  set(release "$<CONFIG:Release>")
  if(MINGW)
    # No link time in the PE header, so that two builds give the same bytes.
    target_link_options(${target} PRIVATE -static $<${release}:-s> -Wl,--no-insert-timestamp)
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    target_link_options(${target} PRIVATE $<${release}:-static> $<${release}:-s>)
  else()
    target_link_options(${target} PRIVATE $<${release}:-static-libstdc++> $<${release}:-static-libgcc>)
  endif()
endfunction()

# A Windows target's version resource (cmake/version.rc.in), which Explorer
# shows in the file's Properties: its type (VFT_APP, VFT_DLL), the file's
# name and what it is.
function(quorvel_version_resource target type file description)
  set(QUORVEL_RC_TYPE ${type})
  set(QUORVEL_RC_FILE ${file})
  get_filename_component(QUORVEL_RC_NAME ${file} NAME_WE)
  set(QUORVEL_RC_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
