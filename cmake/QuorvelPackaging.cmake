# Installation and the packages users download: a .tar.gz and a .deb from a
# Linux build, a .zip from the Windows build. Every version comes from project().

include(GNUInstallDirs)

if(WIN32)
  # Windows users get the executable and a README that Notepad shows with its line breaks.
  install(TARGETS quorvel-v2gen RUNTIME DESTINATION .)
  configure_file(README.md ${CMAKE_CURRENT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  install(TARGETS quorvel-v2gen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  configure_file(doc/quorvel-v2gen.1.in ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.1 @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
endif()

set(CPACK_PACKAGE_NAME quorvel-v2gen)
set(CPACK_PACKAGE_VENDOR "quorvel-v2gen developers")
set(CPACK_PACKAGE_CONTACT "quorvel-v2gen developers <quorvel-v2gen@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "derives the Quorvel V2 ROM images from the V1 files")
set(CPACK_PACKAGE_DESCRIPTION
    "quorvel-v2gen reads the ROM image files made for Quorvel V1 (BOOT_BAS.ROM,
BOOT_DOS.ROM, SUBSYS_C.ROM and INITIATE.BIN) from the current directory and
writes, byte for byte, the images that Quorvel V2 needs: SUBSYSCG.ROM,
SUBSYS_A.ROM, SUBSYS_B.ROM and INITIATE.ROM. It is for people who run Quorvel
machines in emulators.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# A release executable is linked statically and depends on no other package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)

include(CPack)
