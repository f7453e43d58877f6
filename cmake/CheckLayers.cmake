# Fails when a source reaches a header of a layer above its own, or when two
# folders include each other. Run as a test: cmake -DSRC=<src folder> -P CheckLayers.cmake
#
# Layers, lowest first. A file may include headers of its own layer and of
# the layers below it.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED SRC)
  message(FATAL_ERROR "CheckLayers.cmake needs -DSRC=<the src folder>")
endif()

# Layer of a path relative to src/, or "" for a folder no layer names.
function(layer_of path out)
  set(l "")
  if(path MATCHES "^app/(GlobalFunc|CodePage)\\.")
    set(l 0) # conversions
  elseif(path MATCHES "^records/rows/")
    set(l 5)
  elseif(path MATCHES "^records/")
    set(l 1) # pure codecs
  elseif(path MATCHES "^db/")
    set(l 2)
  elseif(path MATCHES "^app/")
    set(l 3)
  elseif(path MATCHES "^link/")
    set(l 4)
  elseif(path MATCHES "^sim/")
    set(l 6)
  elseif(path MATCHES "^(import|reports)/forms/")
    set(l 10) # the import's and the reports' forms
  elseif(path MATCHES "^import/")
    set(l 7)
  elseif(path MATCHES "^reports/")
    set(l 8)
  elseif(path MATCHES "^ui/")
    set(l 9)
  elseif(path MATCHES "^(editors|views|keyboard|maintenance)/")
    set(l 10)
  elseif(path MATCHES "^gui/")
    set(l 11)
  elseif(path MATCHES "^cli/")
    set(l 12)
  endif()
  set(${out} "${l}" PARENT_SCOPE)
endfunction()

# Folder of a path: records/rows counts as its own, and so do the
# conversions that live in app/.
function(folder_of path out)
  if(path MATCHES "^app/(GlobalFunc|CodePage)\\.")
    set(${out} "conv" PARENT_SCOPE)
  elseif(path MATCHES "^records/rows/")
    set(${out} "records/rows" PARENT_SCOPE)
  else()
    string(REGEX REPLACE "/.*" "" f "${path}")
    set(${out} "${f}" PARENT_SCOPE)
  endif()
endfunction()

# The folders whose includes are checked. The forms' folders join once the
# UI kit has removed their loop with the shell.
set(CHECKED "^(app|db|records|link|sim|import|reports|ui|cli)/")
set(FORMS "^(import|reports)/forms/")

file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(problems "")
set(edges "")
foreach(file IN LISTS sources)
  if(NOT file MATCHES "${CHECKED}" OR file MATCHES "${FORMS}")
    continue()
  endif()
  layer_of("${file}" mine)
  folder_of("${file}" myFolder)
  get_filename_component(dir "${file}" DIRECTORY)
  file(STRINGS "${SRC}/${file}" lines REGEX "^#include \"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" inc "${line}")
    if(EXISTS "${SRC}/${dir}/${inc}")
      set(target "${dir}/${inc}") # beside the file
    elseif(EXISTS "${SRC}/${inc}")
      set(target "${inc}")
    else()
      continue() # a generated or outside header
    endif()
    layer_of("${target}" theirs)
    if(theirs STREQUAL "")
      continue()
    endif()
    folder_of("${target}" theirFolder)
    if(theirs GREATER mine)
      list(APPEND problems "${file} includes ${inc}, a layer above its own")
    endif()
    # The simulator speaks the protocol itself: codecs and frames only.
    if(myFolder STREQUAL "sim" AND NOT theirFolder STREQUAL "sim" AND NOT theirs LESS 2
       AND NOT target STREQUAL "link/Frames.h")
      list(APPEND problems "${file} includes ${inc}; the simulator uses the codecs and link/Frames.h only")
    endif()
    if(NOT myFolder STREQUAL theirFolder)
      list(APPEND edges "${myFolder}>${theirFolder}")
    endif()
  endforeach()
endforeach()

list(REMOVE_DUPLICATES edges)
foreach(edge IN LISTS edges)
  string(REPLACE ">" ";" pair "${edge}")
  list(GET pair 0 a)
  list(GET pair 1 b)
  if("${b}>${a}" IN_LIST edges AND a STRLESS b)
    list(APPEND problems "${a} and ${b} include each other")
  endif()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "layer check failed:\n  ${text}")
endif()
list(LENGTH sources n)
message(STATUS "layers hold: ${n} sources checked")
