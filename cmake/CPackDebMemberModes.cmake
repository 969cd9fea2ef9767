# Run by cpack after it has made the packages, before it copies them out and
# writes their checksums. CPack gives each member of a .deb (debian-binary,
# control.tar.gz, data.tar.gz) the mode of the file that it wrote for it,
# which follows the umask of whoever runs cpack; dpkg-deb always writes 0644.
# In the ar archive each member has a 60-byte header with its mode at byte 40
# and its size at byte 48; its data follows, padded to an even length.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(mode ${CPACK_TOPLEVEL_DIRECTORY}/deb-member-mode)
  file(WRITE ${mode} "100644  ")
  file(SIZE ${package} size)
  set(offset 8)  # past the "!<arch>\n" signature
  while(offset LESS size)
    file(READ ${package} header OFFSET ${offset} LIMIT 60)
    string(SUBSTRING "${header}" 48 10 memberSize)
    string(STRIP "${memberSize}" memberSize)
    if(NOT memberSize MATCHES "^[0-9]+$")
      message(FATAL_ERROR "${package}: no ar member header at byte ${offset}")
    endif()
    math(EXPR modeOffset "${offset} + 40")
    execute_process(COMMAND dd if=${mode} of=${package} bs=1 seek=${modeOffset} count=8
                            conv=notrunc status=none
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "${package}: cannot set the mode of the member at byte ${offset}")
    endif()
    math(EXPR offset "${offset} + 60 + ${memberSize} + ${memberSize} % 2")
  endwhile()
endforeach()
