# Run by cpack on the staged files before it archives them: directories made
# under a strict umask (077, say) would otherwise reach the packages as 700,
# and two builds of one commit would differ. Files get their modes from
# install(). Only directories are touched, never through a link: the -dev
# package's link to the shared library points into another package.
file(GLOB_RECURSE entries LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
set(directories ${CPACK_TEMPORARY_DIRECTORY})
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY "${entry}" AND NOT IS_SYMLINK "${entry}")
    list(APPEND directories "${entry}")
  endif()
endforeach()
file(CHMOD ${directories} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
