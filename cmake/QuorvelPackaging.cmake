# Installation and the packages users download: a .tar.gz and a .deb from a
# Linux build, a .zip from the Windows build. Every version comes from project();
# the time of every archived file from SOURCE_DATE_EPOCH (QuorvelRelease.cmake).

include(GNUInstallDirs)
include(${CMAKE_CURRENT_LIST_DIR}/QuorvelRelease.cmake)

set(CPACK_PACKAGE_NAME quorvel-v2gen)
set(CPACK_PACKAGE_VENDOR "quorvel-v2gen developers")
set(CPACK_PACKAGE_CONTACT "quorvel-v2gen developers <quorvel-v2gen@example.org>")

# Directories follow the umask unless told otherwise, and the packages must
# not. The mode asked for here is still masked by the umask when a directory
# is made, so cpack also sets it on the staged tree before archiving it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/CPackDirectoryPermissions.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/CPackDebMemberModes.cmake)

# A text of the Windows zips as Notepad shows it, configured from SOURCE into
# the build tree: CR LF line ends, and a Japanese one (JAPANESE) starting with
# the byte-order mark without which older Notepads read it as code page 932.
function(quorvel_windows_text source output)
  get_filename_component(input ${source} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  if(ARGV2 STREQUAL "JAPANESE")
    string(ASCII 239 187 191 bom)
    file(READ ${input} text)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
    set(input ${CMAKE_CURRENT_BINARY_DIR}/${output}.in)
    file(WRITE ${input} "${bom}${text}")
  endif()
  configure_file(${input} ${CMAKE_CURRENT_BINARY_DIR}/${output} @ONLY NEWLINE_STYLE CRLF)
endfunction()

if(EMSCRIPTEN)
  # The site, one folder of files that any static host serves, or that a
  # browser opens from disk once unpacked.
  install(DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/site/ DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-web)
elseif(WIN32)
  # Windows users get the executable, the two launchers that a user
  # double-clicks or drops a folder on, and the READMEs and the licence with
  # the line breaks that Notepad shows: the zip of the component "tool",
  # from the 32-bit build, which runs on every Windows. Programs get the
  # library: the -dev zip, from the 32- and the 64-bit build.
  # Each zip holds one folder named as the zip, so that both unpack side by side.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
    set(CPACK_COMPONENTS_ALL dev)
  else()
    set(CPACK_SYSTEM_NAME win32)
    set(CPACK_COMPONENTS_ALL tool dev)
  endif()
  set(quorvel_tool_zip ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
  set(quorvel_dev_zip ${quorvel_tool_zip}-dev)
  set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME tool)
  install(TARGETS quorvel-v2gen RUNTIME DESTINATION ${quorvel_tool_zip})
  # The READMEs: the parts of README.md and README.ja.md about the zip, as plain text.
  include(${CMAKE_CURRENT_LIST_DIR}/QuorvelZipReadme.cmake)
  quorvel_zip_readme(${PROJECT_SOURCE_DIR}/README.md ${CMAKE_CURRENT_BINARY_DIR}/zip/README.txt)
  quorvel_zip_readme(${PROJECT_SOURCE_DIR}/README.ja.md ${CMAKE_CURRENT_BINARY_DIR}/zip/README.ja.txt JAPANESE)
  quorvel_windows_text(${CMAKE_CURRENT_BINARY_DIR}/zip/README.txt README.txt)
  quorvel_windows_text(${CMAKE_CURRENT_BINARY_DIR}/zip/README.ja.txt README.ja.txt JAPANESE)
  quorvel_windows_text(LICENSE LICENSE.txt)
  # The launchers, kept in UTF-8, shipped in code page 932: cmd reads a batch
  # file in the console's code page, and their Japanese lines run only where
  # that is 932.
  find_program(QUORVEL_ICONV iconv REQUIRED)
  foreach(launcher make-v2-images.bat make-compatible-images.bat)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/windows/${launcher})
    execute_process(COMMAND ${QUORVEL_ICONV} -f UTF-8 -t CP932 ${PROJECT_SOURCE_DIR}/windows/${launcher}
                    OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/${launcher} RESULT_VARIABLE converted)
    if(NOT converted EQUAL 0)
      message(FATAL_ERROR "windows/${launcher}: not convertible to code page 932")
    endif()
  endforeach()
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/README.ja.txt
          ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt ${CMAKE_CURRENT_BINARY_DIR}/make-v2-images.bat
          ${CMAKE_CURRENT_BINARY_DIR}/make-compatible-images.bat DESTINATION ${quorvel_tool_zip})
  include(${CMAKE_CURRENT_LIST_DIR}/QuorvelWindowsLibrary.cmake)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_ARCHIVE_TOOL_FILE_NAME ${quorvel_tool_zip})
  set(CPACK_ARCHIVE_DEV_FILE_NAME ${quorvel_dev_zip})
else()
  set(docdir ${CMAKE_INSTALL_DOCDIR})
  set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME tool)
  install(TARGETS quorvel-v2gen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES README.md README.ja.md DESTINATION ${docdir})
  install(FILES LICENSE DESTINATION ${docdir} RENAME LICENSE.txt)

  # Debian wants the manual page and the changelog compressed, without the
  # time stamp that gzip would otherwise store.
  configure_file(doc/quorvel-v2gen.1.in ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.1 @ONLY)
  configure_file(doc/quorvel-v2gen.ja.1.in ${CMAKE_CURRENT_BINARY_DIR}/ja/quorvel-v2gen.1 @ONLY)
  quorvel_write_debian_changelog(${CMAKE_CURRENT_BINARY_DIR}/changelog
                                 ${CPACK_PACKAGE_NAME} "${CPACK_PACKAGE_CONTACT}")
  quorvel_write_debian_copyright(${CMAKE_CURRENT_BINARY_DIR}/copyright
                                 ${CPACK_PACKAGE_NAME} "${CPACK_PACKAGE_CONTACT}")
  foreach(name quorvel-v2gen.1 ja/quorvel-v2gen.1 changelog)
    add_custom_command(OUTPUT ${name}.gz
                       COMMAND gzip -9nkf ${name}
                       DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/${name}
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} VERBATIM)
  endforeach()
  add_custom_target(quorvel-compressed-docs ALL DEPENDS quorvel-v2gen.1.gz ja/quorvel-v2gen.1.gz changelog.gz)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ja/quorvel-v2gen.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz ${CMAKE_CURRENT_BINARY_DIR}/copyright
          DESTINATION ${docdir})
  include(${CMAKE_CURRENT_LIST_DIR}/QuorvelLibrary.cmake)
  install(FILES cmake/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME ${CPACK_PACKAGE_NAME})

  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
endif()

# The first line of each .deb's description below is its synopsis: an empty
# summary keeps cpack from putting the project's before it.
set(summary "derives the Quorvel V2 ROM images from the V1 files")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_PACKAGE_DESCRIPTION
    "quorvel-v2gen reads the ROM image files made for Quorvel V1 (BOOT_BAS.ROM,
BOOT_DOS.ROM, SUBSYS_C.ROM and INITIATE.BIN) from the current directory and
writes, byte for byte, the images that Quorvel V2 needs: SUBSYSCG.ROM,
SUBSYS_A.ROM, SUBSYS_B.ROM and INITIATE.ROM. It is for people who run Quorvel
machines in emulators.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# A release executable is linked statically and depends on no other package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
if(NOT EMSCRIPTEN AND NOT WIN32)
  # Two .debs from one run: the tool, and the library for programs that use
  # it; the tarball holds both.
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL tool lib dev)
  set(CPACK_DEBIAN_TOOL_PACKAGE_NAME ${CPACK_PACKAGE_NAME})
  set(CPACK_DEBIAN_DEV_PACKAGE_NAME ${CPACK_PACKAGE_NAME}-dev)
  set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libquorvel-v2gen0 (= ${PROJECT_VERSION})")
  # The shared library's runtime package, named after its SONAME; it needs
  # the C library alone (the C++ runtime is linked in). Programs built against
  # it depend on this version or a later one (shlibs), and ldconfig runs once
  # it is installed (triggers).
  set(CPACK_DEBIAN_LIB_PACKAGE_NAME libquorvel-v2gen0)
  set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_LIB_PACKAGE_DEPENDS "libc6 (>= 2.34)")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/deb-lib/shlibs "libquorvel-v2gen 0 libquorvel-v2gen0 (>= ${PROJECT_VERSION})\n")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/deb-lib/triggers "activate-noawait ldconfig\n")
  set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA
      ${CMAKE_CURRENT_BINARY_DIR}/deb-lib/shlibs ${CMAKE_CURRENT_BINARY_DIR}/deb-lib/triggers)
  set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
  set(CPACK_DEBIAN_LIB_DESCRIPTION
      "library that derives the Quorvel V2 ROM images from the V1 files (runtime)
The generation of quorvel-v2gen as a shared library with a C interface, for
emulators and other programs: it makes SUBSYSCG.ROM, SUBSYS_A.ROM,
SUBSYS_B.ROM and INITIATE.ROM from the Quorvel V1 files in memory or in a
folder, and returns every failure and warning as data.")
  set(CPACK_DEBIAN_TOOL_DESCRIPTION "${summary}\n${CPACK_PACKAGE_DESCRIPTION}")
  set(CPACK_DEBIAN_DEV_DESCRIPTION
      "library that derives the Quorvel V2 ROM images from the V1 files
The generation of quorvel-v2gen as a library with a C interface, for
emulators and other programs: it makes SUBSYSCG.ROM, SUBSYS_A.ROM,
SUBSYS_B.ROM and INITIATE.ROM from the Quorvel V1 files in memory or in a
folder, and returns every failure and warning as data. With its header
quorvel/v2gen.h, the link to the shared library, the static library, a
pkg-config file and a CMake package.")
endif()

# A variable set while CMake configures never reaches cpack, which stamps
# every archived file with SOURCE_DATE_EPOCH when it finds it.
configure_file(cmake/CPackProjectConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/CPackProjectConfig.cmake)

include(CPack)
