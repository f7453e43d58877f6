# Fails when a lower layer reaches a higher one. Reads every #include line
# under SRC and the link libraries of every target (LINKS, written at
# generation time by ecr_write_link_lines), and reports:
#   L->H         a file of layer L includes a header of the higher layer H
#   sibling:A->B forms folders of the same level include each other
#   loop:A<->B   two folders include each other
#   only:A->B    a folder reaches a layer outside its allowed set
#   widgets:T    target T reaches Qt Widgets through its link libraries
#   gui:T        target T reaches Qt Gui (or Widgets)
#   db:T         target T reaches the database (ecr_db or SQLite)
#   unplaced:F   a folder that the layer table does not place
#
#   cmake -DSRC=<src> -DLINKS=<file> -DNO_WIDGETS=<targets> -DNO_GUI=<targets>
#         -DNO_DB=<targets> [-DEXPECT=<keys>] [-DPENDING=<keys>]
#         -P CheckLayers.cmake                          (lists comma-separated)
# EXPECT: the check passes only when exactly these keys are found (used to
# prove on a planted tree that it catches what it should).
# PENDING: keys known and tolerated until the work that removes them lands;
# a pending key that no longer occurs is reported as stale.

cmake_minimum_required(VERSION 3.25)

# Layer table, lowest first: path prefix under src, layer, rank. Longer
# prefixes are listed before the folders that hold them.
set(ECR_LAYERS
  "app/GlobalFunc|conv|0"
  "app/CodePage|conv|0"
  "records/rows|rows|5"
  "records|records|1"
  "db|db|2"
  "app|app|3"
  "link|link|4"
  "sim|sim|6"
  "import/forms|forms|10"
  "reports/forms|forms|10"
  "import|import|7"
  "reports|reports|8"
  "ui|ui|9"
  "editors|forms|10"
  "views|forms|10"
  "keyboard|forms|10"
  "maintenance|forms|10"
  "gui|gui|11"
  "cli|cli|12")
# Layers a folder may reach besides its own, where the order alone allows
# more, and single headers it may reach besides those: the simulator speaks
# the protocol itself with the codecs and the frame format.
set(ECR_ONLY_sim "conv;records;sim")
set(ECR_ALSO_sim "link/Frames.h")
set(ECR_WIDGET_LIBS "Qt6::Widgets;Qt6::PrintSupport;Qt::Widgets;Qt::PrintSupport")
set(ECR_GUI_LIBS "Qt6::Gui;Qt::Gui;${ECR_WIDGET_LIBS}")
set(ECR_DB_LIBS "ecr_db;PkgConfig::SQLITE3;SQLite::SQLite3")

# Lists may come with commas (add_test passes them more safely that way).
foreach(var NO_WIDGETS NO_GUI NO_DB EXPECT PENDING)
  if(DEFINED ${var})
    string(REPLACE "," ";" ${var} "${${var}}")
  endif()
endforeach()

if(NOT SRC OR NOT IS_DIRECTORY "${SRC}")
  message(FATAL_ERROR "CheckLayers: SRC must name the source folder")
endif()
file(REAL_PATH "${SRC}" SRC)

# Sets <out_layer>, <out_rank> and <out_folder> for a path relative to SRC.
function(ecr_place rel out_layer out_rank out_folder)
  set(${out_layer} "" PARENT_SCOPE)
  foreach(entry IN LISTS ECR_LAYERS)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 prefix)
    list(GET parts 1 layer)
    list(GET parts 2 rank)
    string(LENGTH "${prefix}" n)
    string(SUBSTRING "${rel}" 0 ${n} head)
    if(head STREQUAL prefix)
      string(SUBSTRING "${rel}" ${n} 1 next)
      if(next STREQUAL "/" OR next STREQUAL "." OR next STREQUAL "")
        get_filename_component(folder "${rel}" DIRECTORY)
        set(${out_layer} "${layer}" PARENT_SCOPE)
        set(${out_rank} "${rank}" PARENT_SCOPE)
        set(${out_folder} "${folder}" PARENT_SCOPE)
        return()
      endif()
    endif()
  endforeach()
endfunction()

set(found "")
set(details "")
macro(ecr_report key text)
  list(APPEND found "${key}")
  string(APPEND details "  ${key}: ${text}\n")
endmacro()

# ---- includes ----------------------------------------------------------------
file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.hpp" "${SRC}/*.cpp" "${SRC}/*.cc")
list(SORT sources)
set(folder_edges "")
foreach(rel IN LISTS sources)
  ecr_place("${rel}" layer rank folder)
  if(layer STREQUAL "")
    get_filename_component(dir "${rel}" DIRECTORY)
    ecr_report("unplaced:${dir}" "${rel} lies in a folder the layer table does not place")
    continue()
  endif()
  get_filename_component(dir "${SRC}/${rel}" DIRECTORY)
  file(STRINGS "${SRC}/${rel}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]+[\">]")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]+)[\">].*$" "\\1;\\2" parsed "${line}")
    list(GET parsed 0 quote)
    list(GET parsed 1 name)
    set(target "")
    if(quote STREQUAL "\"")
      set(candidates "${dir}/${name}" "${SRC}/${name}" "${SRC}/app/${name}")
    else()
      set(candidates "${SRC}/${name}")
    endif()
    foreach(c IN LISTS candidates)
      if(EXISTS "${c}" AND NOT IS_DIRECTORY "${c}")
        set(target "${c}")
        break()
      endif()
    endforeach()
    if(target STREQUAL "")
      continue() # the standard library, Qt, SQLite, ...
    endif()
    file(REAL_PATH "${target}" target)
    file(RELATIVE_PATH trel "${SRC}" "${target}")
    ecr_place("${trel}" tlayer trank tfolder)
    if(tlayer STREQUAL "")
      continue() # reported once for its own folder
    endif()
    if(NOT tfolder STREQUAL folder)
      list(APPEND folder_edges "${folder}>${tfolder}")
    endif()
    if(trank GREATER rank)
      ecr_report("${layer}->${tlayer}" "${rel} includes ${trel}")
    elseif(trank EQUAL rank AND layer STREQUAL "forms" AND NOT tfolder STREQUAL folder)
      ecr_report("sibling:${folder}->${tfolder}" "${rel} includes ${trel}")
    endif()
    if(DEFINED ECR_ONLY_${layer})
      list(FIND ECR_ONLY_${layer} "${tlayer}" allowed)
      list(FIND ECR_ALSO_${layer} "${trel}" also)
      if(allowed EQUAL -1 AND also EQUAL -1)
        ecr_report("only:${layer}->${tlayer}" "${rel} includes ${trel}")
      endif()
    endif()
  endforeach()
endforeach()

list(REMOVE_DUPLICATES folder_edges)
foreach(edge IN LISTS folder_edges)
  string(REPLACE ">" ";" ab "${edge}")
  list(GET ab 0 a)
  list(GET ab 1 b)
  list(FIND folder_edges "${b}>${a}" back)
  if(NOT back EQUAL -1 AND a STRLESS b)
    ecr_report("loop:${a}<->${b}" "${a} and ${b} include each other")
  endif()
endforeach()

# ---- link lines --------------------------------------------------------------
if(LINKS)
  if(NOT EXISTS "${LINKS}")
    message(FATAL_ERROR "CheckLayers: ${LINKS} is missing")
  endif()
  file(STRINGS "${LINKS}" link_lines)
  set(targets "")
  foreach(line IN LISTS link_lines)
    string(FIND "${line}" "=" eq)
    string(SUBSTRING "${line}" 0 ${eq} t)
    math(EXPR from "${eq} + 1")
    string(SUBSTRING "${line}" ${from} -1 libs)
    # $<LINK_ONLY:x> of a static library's private use still links x.
    string(REGEX REPLACE "\\$<LINK_ONLY:([^>]*)>" "\\1" libs "${libs}")
    set(deps_${t} "${libs}")
    list(APPEND targets "${t}")
  endforeach()
  # Everything a target links, directly or through its libraries; reports
  # the first forbidden library found with the path that reaches it.
  function(ecr_check_closure t forbidden key)
    list(FIND targets "${t}" known)
    if(known EQUAL -1)
      set(found "${found};unknown:${t}" PARENT_SCOPE)
      set(details "${details}  unknown:${t}: no target ${t} to check (renamed? update the lists)\n" PARENT_SCOPE)
      return()
    endif()
    set(seen "")
    set(todo "${t}")
    set(path_${t} "${t}")
    while(todo)
      list(POP_FRONT todo cur)
      foreach(d IN LISTS deps_${cur})
        if(d IN_LIST seen)
          continue()
        endif()
        list(APPEND seen "${d}")
        set(path_${d} "${path_${cur}} -> ${d}")
        if(d IN_LIST forbidden)
          set(found "${found};${key}:${t}" PARENT_SCOPE)
          set(details "${details}  ${key}:${t}: ${path_${d}}\n" PARENT_SCOPE)
          return()
        endif()
        if(DEFINED deps_${d})
          list(APPEND todo "${d}")
        endif()
      endforeach()
    endwhile()
  endfunction()
  foreach(t IN LISTS NO_WIDGETS)
    ecr_check_closure("${t}" "${ECR_WIDGET_LIBS}" widgets)
  endforeach()
  foreach(t IN LISTS NO_GUI)
    ecr_check_closure("${t}" "${ECR_GUI_LIBS}" gui)
  endforeach()
  foreach(t IN LISTS NO_DB)
    ecr_check_closure("${t}" "${ECR_DB_LIBS}" db)
  endforeach()
  list(REMOVE_ITEM found "")
endif()

# ---- verdict -------------------------------------------------------------------
list(REMOVE_DUPLICATES found)
list(SORT found)
if(DEFINED EXPECT)
  set(expected ${EXPECT})
  list(SORT expected)
  if(found STREQUAL expected)
    message(STATUS "CheckLayers: found exactly what was planted: ${found}")
    return()
  endif()
  message(FATAL_ERROR "CheckLayers: planted ${expected}\nfound ${found}\n${details}")
endif()

set(failing "")
set(stale "")
foreach(key IN LISTS found)
  list(FIND PENDING "${key}" p)
  if(p EQUAL -1)
    list(APPEND failing "${key}")
  endif()
endforeach()
foreach(key IN LISTS PENDING)
  list(FIND found "${key}" f)
  if(f EQUAL -1)
    list(APPEND stale "${key}")
  endif()
endforeach()
if(failing OR stale)
  set(text "")
  if(failing)
    string(APPEND text "layer violations: ${failing}\n")
  endif()
  if(stale)
    string(APPEND text "pending keys no longer found (remove them from PENDING): ${stale}\n")
  endif()
  message(FATAL_ERROR "CheckLayers:\n${text}${details}")
endif()
if(found)
  message(STATUS "CheckLayers: only pending keys remain: ${found}\n${details}")
else()
  message(STATUS "CheckLayers: every layer stays below the ones above it")
endif()
