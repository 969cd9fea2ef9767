# Run by cpack on the staged files before it archives them: directories made
# under a strict umask (077, say) would otherwise reach the packages as 700,
# and two builds of one commit would differ. Files get their modes from install().
file(CHMOD_RECURSE ${CPACK_TEMPORARY_DIRECTORY}
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                           WORLD_READ WORLD_EXECUTE)
