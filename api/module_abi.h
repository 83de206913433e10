// What the host's loader expects of a module library: the counterpart of
// a Windows DLL's export directory and resource section.  A module exports
// one C function, VX70GetModuleImage, that describes both.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win32.h"

extern "C" {

// One name of an exported function.  An ordinal may carry several names
// (an undecorated and a decorated one), and two ordinals may share one
// address, as in a DLL's export directory.
struct VX70Export {
  std::uint16_t ordinal;
  const char* name;
  void* address;
};

struct VX70ModuleImage {
  const VX70Export* exports;
  std::size_t exportCount;
  const std::uint8_t* resources;  // a standard .res image
  std::size_t resourceSize;
};

using VX70GetModuleImageFn = const VX70ModuleImage* (*)();

// The six 32-bit arguments of every dialog handler: dialog window, message,
// command or control identifier, control window, notification code, and the
// creation parameter of the dialog.
using DialogHandler = std::uint32_t(WINAPI*)(HWND, UINT, UINT, HWND, UINT, UINT);

using DllEntry = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
}

inline constexpr const char* kModuleImageSymbol = "VX70GetModuleImage";
