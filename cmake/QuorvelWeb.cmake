# The build for the browser, under Emscripten. quorvel-v2gen.js is the
# library's module for the page: its C interface with v2gen-api.js around it,
# one plain script with its WebAssembly inside, so that the page also works
# opened from disk. quorvel-v2gen.mjs is the same module as an ES module, for
# another page or Node (doc/library.md). quorvel-v2gen-node.js is the command,
# main() on the real current folder under Node: the end-to-end tests run it,
# and it is never shipped. The site is assembled in site/ of the build tree.

# Debian's em++ runs the machine's Node, which finds Debian's acorn only here.
set(QUORVEL_NODE_PATH /usr/share/nodejs)

set(common -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sDYNAMIC_EXECUTION=0)
# The command, unused under Emscripten but for the Node link below.
target_link_options(quorvel-v2gen PRIVATE ${common} -sENVIRONMENT=node)

set(exports _qv2gen_version _qv2gen_generate _qv2gen_free _qv2gen_succeeded _qv2gen_image_count
    _qv2gen_image_name _qv2gen_image_bytes _qv2gen_diagnostic_count _qv2gen_diagnostic_at _qv2gen_render
    _qv2gen_error_name
    _malloc _free)
list(JOIN exports "," exports)
foreach(form script module)
  set(target quorvel-v2gen-${form})
  add_executable(${target} web/module.cpp)
  target_link_libraries(${target} PRIVATE quorvel_v2gen)
  quorvel_apply_options(${target})
  target_link_options(${target} PRIVATE ${common} --no-entry -sMODULARIZE=1 -sEXPORT_NAME=QuorvelV2Gen
    -sEXPORTED_FUNCTIONS=${exports} -sEXPORTED_RUNTIME_METHODS=UTF8ToString -sENVIRONMENT=web
    --post-js ${PROJECT_SOURCE_DIR}/web/v2gen-api.js)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/web/v2gen-api.js)
endforeach()
set_target_properties(quorvel-v2gen-script PROPERTIES OUTPUT_NAME quorvel-v2gen-page)
set_target_properties(quorvel-v2gen-module PROPERTIES OUTPUT_NAME quorvel-v2gen SUFFIX .mjs)
target_link_options(quorvel-v2gen-module PRIVATE -sEXPORT_ES6=1)

add_executable(quorvel-v2gen-node frontend/main.cpp)
target_link_libraries(quorvel-v2gen-node PRIVATE quorvel_frontend)
quorvel_apply_options(quorvel-v2gen-node)
target_link_options(quorvel-v2gen-node PRIVATE ${common} -sEXIT_RUNTIME=1 -sENVIRONMENT=node -sNODERAWFS=1
  --pre-js ${PROJECT_SOURCE_DIR}/web/environment.js)
set_property(TARGET quorvel-v2gen-node APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/web/environment.js)

foreach(target quorvel-v2gen quorvel-v2gen-node quorvel-v2gen-script quorvel-v2gen-module)
  set_property(TARGET ${target} PROPERTY RULE_LAUNCH_LINK
               "${CMAKE_COMMAND} -E env NODE_PATH=${QUORVEL_NODE_PATH}")
endforeach()

# The zip library comes from npm, pinned by web/package-lock.json; the same
# install brings the browser driver of the tests. Its core build is one plain
# script that sets the global `zip`, so the page needs no module loading.
find_program(NPM npm REQUIRED)
set(npm ${CMAKE_CURRENT_BINARY_DIR}/npm)
set(zipjs ${npm}/node_modules/@zip.js/zip.js)
set(hashwasm ${npm}/node_modules/hash-wasm)
add_custom_command(OUTPUT ${zipjs}/dist/zip-core.min.js ${hashwasm}/dist/md5.umd.min.js
  COMMAND ${CMAKE_COMMAND} -E make_directory ${npm}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/web/package.json
          ${PROJECT_SOURCE_DIR}/web/package-lock.json ${npm}
  COMMAND ${NPM} ci --no-audit --no-fund --prefix ${npm}
  DEPENDS ${PROJECT_SOURCE_DIR}/web/package.json ${PROJECT_SOURCE_DIR}/web/package-lock.json
  VERBATIM)

# The licence notice of everything the page bundles: this tool, zip.js, and
# Emscripten's runtime with the C and C++ libraries compiled into the module.
find_file(QUORVEL_MUSL_COPYRIGHT COPYRIGHT
          PATHS ${EMSCRIPTEN_ROOT_PATH}/system/lib/libc/musl /usr/share/emscripten/system/lib/libc/musl
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_file(QUORVEL_EMSCRIPTEN_COPYRIGHT copyright PATHS /usr/share/doc/emscripten
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(site ${CMAKE_CURRENT_BINARY_DIR}/site)
# Copied as they are; the pages and page.js are built from the rest.
set(page language.js style.css icon.svg icon-192.png icon-512.png manifest.en.webmanifest manifest.ja.webmanifest)
list(TRANSFORM page PREPEND ${PROJECT_SOURCE_DIR}/web/ OUTPUT_VARIABLE page_sources)
set(built index.html load.js texts.js checksums.js inputs.js folder.js app.js build-pages.mjs)
list(TRANSFORM built PREPEND ${PROJECT_SOURCE_DIR}/web/ OUTPUT_VARIABLE built_sources)
find_program(NODE node REQUIRED)
# Made afresh each time, so that no file of an earlier build stays in it.
add_custom_command(OUTPUT ${site}/index.html
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${site}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/licenses
  COMMAND ${CMAKE_COMMAND} -E copy ${page_sources} ${site}
  COMMAND ${NODE} ${PROJECT_SOURCE_DIR}/web/build-pages.mjs ${PROJECT_SOURCE_DIR}/web ${site}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quorvel-v2gen-script> ${site}/quorvel-v2gen.js
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quorvel-v2gen-module> ${site}/quorvel-v2gen.mjs
  COMMAND ${CMAKE_COMMAND} -E copy ${zipjs}/dist/zip-core.min.js ${site}/zip.js
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/hash-wasm
  COMMAND ${CMAKE_COMMAND} -E copy ${hashwasm}/dist/crc32.umd.min.js ${site}/hash-wasm/crc32.js
  COMMAND ${CMAKE_COMMAND} -E copy ${hashwasm}/dist/md5.umd.min.js ${site}/hash-wasm/md5.js
  COMMAND ${CMAKE_COMMAND} -E copy ${hashwasm}/dist/sha1.umd.min.js ${site}/hash-wasm/sha1.js
  COMMAND ${CMAKE_COMMAND} -E copy ${hashwasm}/LICENSE ${site}/licenses/hash-wasm.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${site}/licenses/quorvel-v2gen.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${zipjs}/LICENSE ${site}/licenses/zip.js.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${QUORVEL_MUSL_COPYRIGHT} ${site}/licenses/musl.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${QUORVEL_EMSCRIPTEN_COPYRIGHT} ${site}/licenses/emscripten.txt
  # Last, once every other file of the site is in place.
  COMMAND ${CMAKE_COMMAND} -DSITE=${site} -DVERSION=${PROJECT_VERSION}
          -DTEMPLATE=${PROJECT_SOURCE_DIR}/web/service-worker.js.in
          -P ${PROJECT_SOURCE_DIR}/cmake/QuorvelServiceWorker.cmake
  DEPENDS ${page_sources} ${built_sources} ${PROJECT_SOURCE_DIR}/web/service-worker.js.in
          ${PROJECT_SOURCE_DIR}/cmake/QuorvelServiceWorker.cmake quorvel-v2gen-script quorvel-v2gen-module
          ${zipjs}/dist/zip-core.min.js ${hashwasm}/dist/md5.umd.min.js
  VERBATIM)
add_custom_target(quorvel-site ALL DEPENDS ${site}/index.html quorvel-v2gen-node)
