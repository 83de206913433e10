# The import libraries of the package's DLLs for the module's Windows build,
# made from the contract: cmake/import_libraries.cmake writes a .def file
# per library from the VX70_FROM tags of api/host_api.h, and dlltool turns
# each into lib<NAME>.a.  The DLLs export their operations by plain name
# (--kill-at); the module's calls keep the stdcall decoration that tells
# the linker the argument bytes (GetControlPtr@12).
set(VX70_PACKAGE_DLLS VX70DE32 VX70COM VX70DLG VX70ACC VX70UT32 VX70FL32 VX70GLOB VX70GV
    VX70ND32 VXLOGO32)

# Sets `out` to the import libraries and adds the target that makes them,
# vx70_import_libraries.
function(vx70_package_import_libraries out)
  if(NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "dlltool not found: the Windows build needs binutils-mingw-w64-i686")
  endif()
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/imports)
  set(header ${CMAKE_SOURCE_DIR}/api/host_api.h)
  set(definitions "")
  set(libraries "")
  foreach(dll IN LISTS VX70_PACKAGE_DLLS)
    list(APPEND definitions ${dir}/${dll}.def)
    list(APPEND libraries ${dir}/lib${dll}.a)
  endforeach()
  list(JOIN VX70_PACKAGE_DLLS "," names)
  file(MAKE_DIRECTORY ${dir})
  add_custom_command(
    OUTPUT ${definitions}
    COMMAND ${CMAKE_COMMAND} -DHEADER=${header} -DOUTPUT_DIR=${dir} -DLIBRARIES=${names}
            -P ${CMAKE_SOURCE_DIR}/cmake/import_libraries.cmake
    DEPENDS ${header} ${CMAKE_SOURCE_DIR}/cmake/import_libraries.cmake
    COMMENT "Writing the package libraries' export definitions"
    VERBATIM)
  foreach(dll IN LISTS VX70_PACKAGE_DLLS)
    add_custom_command(
      OUTPUT ${dir}/lib${dll}.a
      COMMAND ${CMAKE_DLLTOOL} --kill-at -d ${dir}/${dll}.def -l ${dir}/lib${dll}.a
      DEPENDS ${dir}/${dll}.def
      VERBATIM)
  endforeach()
  add_custom_target(vx70_import_libraries DEPENDS ${libraries})
  set(${out} ${libraries} PARENT_SCOPE)
endfunction()
