# Writes the site's service worker from its template: the list of every file
# of the site, and a cache name made of the version and a digest of the
# files' names and content, so that any change makes a new worker. The
# names, which hold no spaces, go in as one string, so that the template
# stays JavaScript that a linter reads.
# usage: cmake -DSITE=folder -DVERSION=x.y.z -DTEMPLATE=service-worker.js.in -P QuorvelServiceWorker.cmake
set(worker service-worker.js)
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
# The library's ES module is for other pages: this one never loads it. The
# licences are read when opened, not kept beforehand.
list(REMOVE_ITEM files ${worker} quorvel-v2gen.mjs)
list(FILTER files EXCLUDE REGEX "^licenses/")
list(SORT files)
set(content "")
set(names "./")
foreach(file IN LISTS files)
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND content "${file} ${digest}\n")
  string(APPEND names " ${file}")
endforeach()
string(SHA256 digest "${content}")
string(SUBSTRING ${digest} 0 16 digest)
set(QUORVEL_CACHE ${VERSION}-${digest})
set(QUORVEL_FILES ${names})
configure_file(${TEMPLATE} ${SITE}/${worker} @ONLY)
