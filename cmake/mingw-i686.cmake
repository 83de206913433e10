# Cross-building the module as a 32-bit Windows DLL with Debian's mingw-w64
# (packages g++-mingw-w64-i686 and binutils-mingw-w64-i686):
#
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
#   cmake --build build-win        # -> build-win/bin/VX70DEF.DLL
#
# With this toolchain the top CMakeLists builds the module alone.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(VX70_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${VX70_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${VX70_MINGW_PREFIX}-g++)
set(CMAKE_ASM_COMPILER ${VX70_MINGW_PREFIX}-gcc)
set(CMAKE_DLLTOOL ${VX70_MINGW_PREFIX}-dlltool)

# Libraries and headers come from the cross environment only; programs
# (llvm-rc, llvm-cvtres) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VX70_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
