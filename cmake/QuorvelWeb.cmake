# The build for the browser, under Emscripten: the same main() linked twice.
# quorvel-v2gen.js is the page's module, on an in-memory folder, one file with
# its WebAssembly inside, so that the page also works opened from disk. The
# Node link reaches the real current folder; the end-to-end tests run it, and
# it is never shipped. The site is assembled in site/ of the build tree.

# Debian's em++ runs the machine's Node, which finds Debian's acorn only here.
set(QUORVEL_NODE_PATH /usr/share/nodejs)

set(common -sEXIT_RUNTIME=1 -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1 -sDYNAMIC_EXECUTION=0
    --pre-js ${PROJECT_SOURCE_DIR}/web/environment.js)
# A fresh instance for each run: with EXIT_RUNTIME a second callMain fails.
target_link_options(quorvel-v2gen PRIVATE ${common} -sENVIRONMENT=web
  -sMODULARIZE=1 -sEXPORT_NAME=QuorvelV2Gen -sINVOKE_RUN=0 -sFORCE_FILESYSTEM=1
  -sEXPORTED_RUNTIME_METHODS=FS,callMain)

add_executable(quorvel-v2gen-node frontend/main.cpp)
target_link_libraries(quorvel-v2gen-node PRIVATE frontend)
quorvel_apply_options(quorvel-v2gen-node)
target_link_options(quorvel-v2gen-node PRIVATE ${common} -sENVIRONMENT=node -sNODERAWFS=1)

foreach(target quorvel-v2gen quorvel-v2gen-node)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${PROJECT_SOURCE_DIR}/web/environment.js)
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
set(page index.html app.js texts.js inputs.js checksums.js style.css icon.svg icon-192.png icon-512.png
    manifest.en.webmanifest manifest.ja.webmanifest)
list(TRANSFORM page PREPEND ${PROJECT_SOURCE_DIR}/web/ OUTPUT_VARIABLE page_sources)
# Made afresh each time, so that no file of an earlier build stays in it.
add_custom_command(OUTPUT ${site}/index.html
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${site}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${site}/licenses
  COMMAND ${CMAKE_COMMAND} -E copy ${page_sources} $<TARGET_FILE:quorvel-v2gen> ${site}
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
  DEPENDS ${page_sources} ${PROJECT_SOURCE_DIR}/web/service-worker.js.in
          ${PROJECT_SOURCE_DIR}/cmake/QuorvelServiceWorker.cmake quorvel-v2gen ${zipjs}/dist/zip-core.min.js ${hashwasm}/dist/md5.umd.min.js
  VERBATIM)
add_custom_target(site ALL DEPENDS ${site}/index.html quorvel-v2gen-node)
