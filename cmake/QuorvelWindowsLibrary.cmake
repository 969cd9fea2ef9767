# The library for Windows programs, the -dev zip (component "dev"):
# quorvel-v2gen.dll, exporting the qv2gen_ functions of
# romimage/api-symbols.txt and nothing else, with the GCC and C++ runtimes
# linked in so that it needs no DLL that Windows lacks; its import library for
# MinGW (libquorvel-v2gen.dll.a) and for Visual C++'s linker
# (quorvel-v2gen.lib, in the short import form that link and lld-link read);
# the static library for MinGW; the header, the examples and the READMEs.

# One list of the exported names, for the .def of the DLL and of the import libraries.
set(def ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.def)
# qv2gen_generate_at takes a POSIX folder descriptor: Windows has none.
file(STRINGS ${PROJECT_SOURCE_DIR}/romimage/api-symbols.txt quorvel_exports)
list(REMOVE_ITEM quorvel_exports qv2gen_generate_at)
list(JOIN quorvel_exports "\n  " quorvel_exports)
file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY quorvel-v2gen.dll\nEXPORTS\n  ${quorvel_exports}\n")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/romimage/api-symbols.txt)

add_library(quorvel-v2gen-shared SHARED $<TARGET_OBJECTS:quorvel_v2gen> ${def})
set_target_properties(quorvel-v2gen-shared PROPERTIES OUTPUT_NAME quorvel-v2gen PREFIX "" IMPORT_PREFIX lib
                      IMPORT_SUFFIX .dll.a LINKER_LANGUAGE CXX)
quorvel_version_resource(quorvel-v2gen-shared VFT_DLL quorvel-v2gen.dll
                         "Library that derives the Quorvel V2 ROM images from the V1 files")
# No link time in the PE header, so that two builds give the same bytes.
target_link_options(quorvel-v2gen-shared PRIVATE -static -s -Wl,--no-insert-timestamp -Wl,--no-undefined)

# Visual C++'s import library, made from the same .def by LLVM's dlltool.
find_program(QUORVEL_DLLTOOL llvm-dlltool REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(machine i386:x86-64)
else()
  set(machine i386)
endif()
set(msvc_lib ${CMAKE_CURRENT_BINARY_DIR}/quorvel-v2gen.lib)
add_custom_command(OUTPUT ${msvc_lib}
  COMMAND ${QUORVEL_DLLTOOL} -m ${machine} -d ${def} -D quorvel-v2gen.dll -l ${msvc_lib}
  DEPENDS ${def} VERBATIM)
add_custom_target(quorvel-msvc-import-library ALL DEPENDS ${msvc_lib})

set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME dev)
install(TARGETS quorvel-v2gen-shared RUNTIME DESTINATION ${quorvel_dev_zip}/bin
        ARCHIVE DESTINATION ${quorvel_dev_zip}/lib)
install(FILES ${msvc_lib} ${def} DESTINATION ${quorvel_dev_zip}/lib)
install(FILES $<TARGET_FILE:quorvel_v2gen> DESTINATION ${quorvel_dev_zip}/lib RENAME libquorvel-v2gen.a)
install(FILES romimage/include/quorvel/v2gen.h DESTINATION ${quorvel_dev_zip}/include/quorvel)
install(FILES doc/library-example.c doc/library-load-dll.c DESTINATION ${quorvel_dev_zip}/example)
quorvel_windows_text(windows/README-library.txt dev/README.txt)
quorvel_windows_text(windows/README-library.ja.txt dev/README.ja.txt JAPANESE)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dev/README.txt ${CMAKE_CURRENT_BINARY_DIR}/dev/README.ja.txt
        ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION ${quorvel_dev_zip})
