# Writes the service worker with its cache named after the bytes of every file it keeps,
# so that a new build of any of them replaces what an installed page keeps.
#   cmake -DSITE= -DIN= -DOUT= -P stamp-sw.cmake
set(hashes "")
foreach(name index.html vellum-page.js vellum.js vellum.wasm manifest.webmanifest icon-192.png icon-512.png)
  file(MD5 ${SITE}/${name} hash)
  string(APPEND hashes "${name} ${hash}\n")
endforeach()
string(MD5 VELLUM_SITE_VERSION "${hashes}")
configure_file(${IN} ${OUT} @ONLY)
