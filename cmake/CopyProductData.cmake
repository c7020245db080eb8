# Copies data/ into the product directory (cmake -DSRC=<data> -DDST=<product dir> -P this file).
# Torvel.ini is copied only when the product directory has none yet: the editor writes its settings
# there when it closes, and a rebuild must not throw the user's colours and options away.
file(GLOB_RECURSE _files RELATIVE "${SRC}" "${SRC}/*")
foreach(_f ${_files})
  if(_f STREQUAL "Torvel.ini")
    if(NOT EXISTS "${DST}/${_f}")
      configure_file("${SRC}/${_f}" "${DST}/${_f}" COPYONLY)
    endif()
  else()
    # Unchanged files keep their time stamps, so nothing downstream rebuilds for nothing.
    configure_file("${SRC}/${_f}" "${DST}/${_f}" COPYONLY)
  endif()
endforeach()
