# Writes one module-definition (.def) file per package library from the
# module's contract (api/host_api.h), for dlltool to make the import
# libraries that the Windows build links against.  Each operation there is
# tagged with the library that exports it, VX70_FROM(VX70DE32); an
# operation marked WINAPI is stdcall and is listed with its argument bytes
# (GetControlPtr@12: every argument takes 4 bytes, a double 8), the one
# without (MsgBox) by its plain name, and imported data (extern) as DATA.
#
# Run as: cmake -DHEADER=<host_api.h> -DOUTPUT_DIR=<dir>
#               -DLIBRARIES=VX70DE32,VX70COM,... -P import_libraries.cmake
cmake_minimum_required(VERSION 3.25)

# The bytes that a stdcall callee pops for a parameter list.
function(argument_bytes params out)
  string(STRIP "${params}" params)
  set(total 0)
  if(NOT params STREQUAL "" AND NOT params STREQUAL "void")
    string(REPLACE "," ";" params "${params}")
    foreach(param IN LISTS params)
      string(STRIP "${param}" param)
      if(param MATCHES "^(const )?double( [A-Za-z_0-9]+)?$")
        math(EXPR total "${total} + 8")
      else()
        math(EXPR total "${total} + 4")
      endif()
    endforeach()
  endif()
  set(${out} ${total} PARENT_SCOPE)
endfunction()

# The .def line of one tagged declaration (whitespace already collapsed).
function(export_line declaration out)
  if(declaration MATCHES "^extern .*[ *]([A-Za-z_][A-Za-z_0-9]*)$")
    set(line "${CMAKE_MATCH_1} DATA")
  elseif(declaration MATCHES "WINAPI \\*?([A-Za-z_][A-Za-z_0-9]*)\\((.*)\\)$")
    set(name ${CMAKE_MATCH_1})
    argument_bytes("${CMAKE_MATCH_2}" bytes)
    set(line "${name}@${bytes}")
  elseif(declaration MATCHES "[ *]([A-Za-z_][A-Za-z_0-9]*)\\(.*\\.\\.\\.\\)$")
    set(line "${CMAKE_MATCH_1}")
  else()
    message(FATAL_ERROR "${HEADER}: a tagged declaration that is neither WINAPI, "
                        "variadic nor extern data: ${declaration}")
  endif()
  set(${out} "${line}" PARENT_SCOPE)
endfunction()

file(READ ${HEADER} text)
string(REGEX REPLACE "//[^\n]*" "" text "${text}")
string(REGEX MATCHALL "VX70_FROM\\([A-Z0-9]+\\)[^;]*" declarations "${text}")

string(REPLACE "," ";" LIBRARIES "${LIBRARIES}")
foreach(library IN LISTS LIBRARIES)
  set(exports_${library} "")
endforeach()
foreach(declaration IN LISTS declarations)
  string(REGEX REPLACE "[ \t\n]+" " " declaration "${declaration}")
  string(REGEX MATCH "^VX70_FROM\\(([A-Z0-9]+)\\) (.*)$" tagged "${declaration}")
  set(library ${CMAKE_MATCH_1})
  if(NOT library IN_LIST LIBRARIES)
    message(FATAL_ERROR "${HEADER}: ${library} is not one of the package's libraries")
  endif()
  export_line("${CMAKE_MATCH_2}" line)
  string(APPEND exports_${library} "${line}\n")
endforeach()

foreach(library IN LISTS LIBRARIES)
  if(exports_${library} STREQUAL "")
    message(FATAL_ERROR "${HEADER}: no operation is tagged VX70_FROM(${library})")
  endif()
  file(WRITE ${OUTPUT_DIR}/${library}.def
       "; Written by cmake/import_libraries.cmake from api/host_api.h.\n"
       "LIBRARY \"${library}.DLL\"\nEXPORTS\n${exports_${library}}")
endforeach()
