# Copies the hand-written data tree into the game directory, rewriting only files whose
# contents changed: SRC/root/* lands at the top of DST, everything else below DST/data/.
# Files the game itself rewrites (settings, version answer, preload list) are copied only
# when absent, so rebuilding never throws away what a player saved.
cmake_policy(SET CMP0057 NEW)  # if(... IN_LIST ...) in script mode
set(player_owned configVars.dat ver.dat models.dat)
file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*)
foreach(f ${files})
  if(f MATCHES "^root/")
    string(REGEX REPLACE "^root/" "" rel ${f})
    set(out ${DST}/${rel})
  else()
    set(rel data/${f})
    set(out ${DST}/data/${f})
  endif()
  if(rel IN_LIST player_owned AND EXISTS ${out})
    continue()
  endif()
  get_filename_component(dir ${out} DIRECTORY)
  file(MAKE_DIRECTORY ${dir})
  file(COPY_FILE ${SRC}/${f} ${out} ONLY_IF_DIFFERENT)
endforeach()
