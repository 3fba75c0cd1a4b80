# Writes the service worker with its cache named after the program's bytes, so that a new
# build replaces what an installed page keeps.  cmake -DWASM= -DIN= -DOUT= -P stamp-sw.cmake
file(MD5 ${WASM} VELLUM_SITE_VERSION)
configure_file(${IN} ${OUT} @ONLY)
