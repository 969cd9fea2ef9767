# The library that other programs link: libquorvel-v2gen.a with the header
# quorvel/v2gen.h, a pkg-config file and a CMake package, installed as the
# component "dev" (the quorvel-v2gen-dev package). Its one object is the
# library's objects linked together, with every symbol but the qv2gen_ ones
# of romimage/api-symbols.txt made local, so that a program that links it
# meets no clash with a name of its own: group sections are dissolved first,
# for a local symbol must not sign a group that the linker merges.

set(library ${CMAKE_CURRENT_BINARY_DIR}/libquorvel-v2gen.a)
set(object ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.o)
set(symbols ${PROJECT_SOURCE_DIR}/romimage/api-symbols.txt)
add_custom_command(OUTPUT ${library}
  COMMAND ${CMAKE_CXX_COMPILER} -r -nostdlib -Wl,--force-group-allocation -o ${object}
          "$<TARGET_OBJECTS:quorvel_v2gen>"
  COMMAND ${CMAKE_OBJCOPY} --keep-global-symbols=${symbols} ${object}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${library}
  COMMAND ${CMAKE_AR} qcD ${library} ${object}
  DEPENDS quorvel_v2gen ${symbols}
  COMMAND_EXPAND_LISTS VERBATIM)
add_custom_target(quorvel-library ALL DEPENDS ${library})

# The shared library, libquorvel-v2gen.so.0: the major version of its ABI in
# the SONAME, only the qv2gen_ functions exported (cmake/quorvel-v2gen.map),
# and the C++ runtime linked in, so that a program that loads it needs the
# C library alone, whichever C++ runtime the program itself has. Not in the
# sanitizer build, whose objects need the sanitizers' runtime.
set(quorvel_shared OFF)
if(NOT QUORVEL_SANITIZE)
  set(quorvel_shared ON)
  set_target_properties(quorvel_v2gen PROPERTIES POSITION_INDEPENDENT_CODE ON)
  add_library(quorvel-v2gen-shared SHARED $<TARGET_OBJECTS:quorvel_v2gen>)
  set_target_properties(quorvel-v2gen-shared PROPERTIES OUTPUT_NAME quorvel-v2gen LINKER_LANGUAGE CXX
                        VERSION ${PROJECT_VERSION} SOVERSION 0)
  target_link_options(quorvel-v2gen-shared PRIVATE
    -Wl,--version-script=${CMAKE_CURRENT_LIST_DIR}/quorvel-v2gen.map -Wl,--no-undefined
    -static-libstdc++ -static-libgcc)
  set_property(TARGET quorvel-v2gen-shared APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/quorvel-v2gen.map)
endif()

# Debian keeps an architecture's libraries, and their pkg-config files, in
# lib/<triplet>, where a cross build's pkg-config finds them. Both files
# find the prefix relative to themselves, so that any prefix works.
set(libdir ${CMAKE_INSTALL_LIBDIR})
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(libdir lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
set(cmakedir ${libdir}/cmake/quorvel-v2gen)
file(RELATIVE_PATH pcprefix /prefix/${libdir}/pkgconfig /prefix)
file(RELATIVE_PATH cmakeprefix /prefix/${cmakedir} /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quorvel-v2gen.pc.in ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.pc @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/quorvel-v2genConfig.cmake.in
               ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2genConfig.cmake @ONLY)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2genConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)

install(FILES ${library} DESTINATION ${libdir} COMPONENT dev)
if(quorvel_shared)
  install(TARGETS quorvel-v2gen-shared LIBRARY DESTINATION ${libdir} COMPONENT lib NAMELINK_COMPONENT dev)
  # The runtime package's own copyright and changelog, as Debian wants them.
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${CMAKE_CURRENT_BINARY_DIR}/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/libquorvel-v2gen0 COMPONENT lib)
endif()
install(FILES romimage/include/quorvel/v2gen.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quorvel COMPONENT dev)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.pc DESTINATION ${libdir}/pkgconfig COMPONENT dev)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2genConfig.cmake
        ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2genConfigVersion.cmake DESTINATION ${cmakedir} COMPONENT dev)
# Debian wants each package's own copyright and changelog: those of the
# source package, which both share.
set(devdocdir ${CMAKE_INSTALL_DATADIR}/doc/quorvel-v2gen-dev)
install(FILES doc/library.md DESTINATION ${devdocdir} COMPONENT dev)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${CMAKE_CURRENT_BINARY_DIR}/copyright
        DESTINATION ${devdocdir} COMPONENT dev)
