# Writes the service worker with its cache named after the bytes of every other file of
# the site, so that a new build of any of them replaces what an installed page keeps.
#   cmake -DSITE= -DIN= -DOUT= -P stamp-sw.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(hashes "")
foreach(name ${files})
  if(NOT IS_DIRECTORY ${SITE}/${name})
    file(MD5 ${SITE}/${name} hash)
    string(APPEND hashes "${name} ${hash}\n")
  endif()
endforeach()
string(MD5 VELLUM_SITE_VERSION "${hashes}")
# The page's modules, for the list of files the worker keeps.
file(GLOB modules RELATIVE ${SITE} ${SITE}/page/*.js)
list(SORT modules)
list(TRANSFORM modules PREPEND "\"")
list(TRANSFORM modules APPEND "\"")
list(JOIN modules ", " VELLUM_PAGE_MODULES)
configure_file(${IN} ${OUT} @ONLY)
