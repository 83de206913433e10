# Which layer may include which, checked on every build:
#
#   app -> station -> package -> engine, data -> loader, win32 -> host/ base -> api
#   the module (frame/ and the dialog families) -> api/ and frame/ only
#   frame/res/ (the module's published identifiers: dialog and control
#     names, the menu) -> nothing else; seen by the module, and by the host's
#     top layers that open or keep the module's dialogs by name (package,
#     station, app), as a Windows program includes a library's resource
#     header
#
# A layer may include its own headers and those of the layers below it.
# Every quoted #include of the module, the host, the station and the
# program is resolved (from the repository root, or beside the including
# file) and its layer looked up; one that reaches up or sideways fails the
# build with the file, the line and the rule it breaks.
#
# Run as: cmake -DSOURCE_DIR=<repository> -P check_layers.cmake
cmake_minimum_required(VERSION 3.25)

# The layer of a repository path ("" for paths outside the checked tree).
function(layer_of path out)
  set(layer "")
  if(path MATCHES "^api/")
    set(layer api)
  elseif(path MATCHES "^frame/res/")
    set(layer res)
  elseif(path MATCHES "^(frame|company|ledgers|codes|system)/")
    set(layer ${CMAKE_MATCH_1})
  elseif(path MATCHES "^host/(win32|loader|engine|data|package)/")
    set(layer ${CMAKE_MATCH_1})
  elseif(path MATCHES "^host/[^/]+$")
    set(layer base)
  elseif(path MATCHES "^(station|app)/")
    set(layer ${CMAKE_MATCH_1})
  endif()
  set(${out} ${layer} PARENT_SCOPE)
endfunction()

# What each layer may include besides itself.
set(allowed_api "")
set(allowed_res "")
set(allowed_frame api res)
set(allowed_company api frame res)
set(allowed_ledgers api frame res)
set(allowed_codes api frame res)
set(allowed_system api frame res)
set(allowed_base api)
set(allowed_win32 api base)
set(allowed_loader api base)
set(allowed_engine api base win32 loader)
set(allowed_data api base)
set(allowed_package api base win32 loader engine data res)
set(allowed_station api base win32 loader engine data package res)
set(allowed_app api base win32 loader engine data package station res)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/api/*.h
  ${SOURCE_DIR}/frame/*.h ${SOURCE_DIR}/frame/*.cpp
  ${SOURCE_DIR}/company/*.h ${SOURCE_DIR}/company/*.cpp
  ${SOURCE_DIR}/ledgers/*.h ${SOURCE_DIR}/ledgers/*.cpp
  ${SOURCE_DIR}/codes/*.h ${SOURCE_DIR}/codes/*.cpp
  ${SOURCE_DIR}/system/*.h ${SOURCE_DIR}/system/*.cpp
  ${SOURCE_DIR}/host/*.h ${SOURCE_DIR}/host/*.cpp
  ${SOURCE_DIR}/station/*.h ${SOURCE_DIR}/station/*.cpp
  ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp)

set(failures "")
foreach(source ${sources})
  layer_of(${source} from)
  if(from STREQUAL "")
    continue()
  endif()
  get_filename_component(dir ${source} DIRECTORY)
  file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
    if(EXISTS ${SOURCE_DIR}/${dir}/${header})
      set(target ${dir}/${header})
    else()
      set(target ${header})
    endif()
    cmake_path(NORMAL_PATH target)
    layer_of(${target} to)
    if(to STREQUAL "" OR to STREQUAL from)
      continue()
    endif()
    if(NOT to IN_LIST allowed_${from})
      list(JOIN allowed_${from} ", " may)
      list(APPEND failures "${source}: includes \"${header}\": the ${from} layer may not include ${to} (it may include: ${may})")
    endif()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Layer rule broken:\n${text}\nSee docs/architecture.md for the layers.")
endif()
