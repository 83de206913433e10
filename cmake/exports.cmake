# Writes the module's export table, kept in one place (frame/exports.tsv:
# ordinal, name, function, argument bytes), in the form that a build needs:
#
#   FORMAT=cpp    the rows of the Linux loader's table (frame/exports.cpp)
#   FORMAT=edata  the Windows export directory itself, as an assembly file
#                 with an .edata section: the linker takes it as it is, so
#                 one ordinal may carry two names (DllMain, _DllMain@12),
#                 which a .def file cannot say
#
# Run as: cmake -DTABLE=<tsv> -DOUTPUT=<file> -DFORMAT=cpp|edata
#               [-DDLL_NAME=VX70DEF.DLL] -P exports.cmake
cmake_minimum_required(VERSION 3.25)

# Reads the table into ordinals, names, functions and bytes (parallel lists).
function(read_table table)
  file(STRINGS ${table} lines REGEX "^[0-9]")
  set(ordinals "")
  set(names "")
  set(functions "")
  set(bytes "")
  foreach(line IN LISTS lines)
    if(NOT line MATCHES "^([0-9]+)\t([A-Za-z_@0-9]+)\t([A-Za-z_0-9]+)\t([0-9]+)$")
      message(FATAL_ERROR "${table}: a row is not \"ordinal, name, function, bytes\": ${line}")
    endif()
    list(APPEND ordinals ${CMAKE_MATCH_1})
    list(APPEND names ${CMAKE_MATCH_2})
    list(APPEND functions ${CMAKE_MATCH_3})
    list(APPEND bytes ${CMAKE_MATCH_4})
  endforeach()
  foreach(list ordinals names functions bytes)
    set(${list} ${${list}} PARENT_SCOPE)
  endforeach()
endfunction()

function(write_cpp)
  set(text "// Written by cmake/exports.cmake from frame/exports.tsv.\n")
  foreach(ordinal name function IN ZIP_LISTS ordinals names functions)
    string(APPEND text "{${ordinal}, \"${name}\", fn(${function})},\n")
  endforeach()
  file(WRITE ${OUTPUT} "${text}")
endfunction()

# The directory: the header, the address table (one entry per ordinal from
# the first to the last, 0 for an unused one), the name pointers sorted by
# name (the loader's binary search needs the order), the ordinal of each
# name, then the texts.  A function's symbol carries its stdcall decoration.
function(write_edata)
  list(GET ordinals 0 base)
  set(last ${base})
  foreach(ordinal IN LISTS ordinals)
    if(ordinal GREATER last)
      set(last ${ordinal})
    endif()
  endforeach()
  math(EXPR slots "${last} - ${base} + 1")
  list(LENGTH names nameCount)

  set(text "/* Written by cmake/exports.cmake from frame/exports.tsv. */\n")
  string(APPEND text "        .section .edata,\"dr\"\n        .p2align 2\n")
  string(APPEND text "vx70_exports:\n")
  string(APPEND text "        .long 0, 0\n        .short 0, 0\n        .rva vx70_dll_name\n")
  string(APPEND text "        .long ${base}, ${slots}, ${nameCount}\n")
  string(APPEND text "        .rva vx70_addresses, vx70_name_pointers, vx70_name_ordinals\n")

  string(APPEND text "vx70_addresses:\n")
  foreach(ordinal RANGE ${base} ${last})
    list(FIND ordinals ${ordinal} row)
    if(row EQUAL -1)
      string(APPEND text "        .long 0  /* ${ordinal}: unused */\n")
    else()
      list(GET functions ${row} function)
      list(GET bytes ${row} argumentBytes)
      string(APPEND text "        .rva \"_${function}@${argumentBytes}\"  /* ${ordinal} */\n")
    endif()
  endforeach()

  set(sorted ${names})
  list(SORT sorted COMPARE STRING CASE SENSITIVE)
  set(pointers "")
  set(indexes "")
  set(strings "")
  set(i 0)
  foreach(name IN LISTS sorted)
    list(FIND names ${name} row)
    list(GET ordinals ${row} ordinal)
    math(EXPR index "${ordinal} - ${base}")
    string(APPEND pointers "        .rva vx70_name_${i}\n")
    string(APPEND indexes "        .short ${index}  /* ${name} */\n")
    string(APPEND strings "vx70_name_${i}:\n        .asciz \"${name}\"\n")
    math(EXPR i "${i} + 1")
  endforeach()
  string(APPEND text "vx70_name_pointers:\n${pointers}")
  string(APPEND text "vx70_name_ordinals:\n${indexes}")
  string(APPEND text "vx70_dll_name:\n        .asciz \"${DLL_NAME}\"\n${strings}")
  file(WRITE ${OUTPUT} "${text}")
endfunction()

read_table(${TABLE})
if(FORMAT STREQUAL "cpp")
  write_cpp()
elseif(FORMAT STREQUAL "edata")
  write_edata()
else()
  message(FATAL_ERROR "FORMAT must be cpp or edata")
endif()
