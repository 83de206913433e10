// The Win32 types that the module and the host share.  Windows are 32-bit
// handle numbers, as in the six 32-bit arguments that the dialog engine
// passes to the module's handlers; an instance handle is the host's own
// record of a loaded module.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using BOOL = std::int32_t;
using LPVOID = void*;
using LPSTR = char*;
using LPCSTR = const char*;
using HWND = std::uint32_t;

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr DWORD MAX_PATH = 260;

// DllMain reasons.
inline constexpr DWORD DLL_PROCESS_DETACH = 0;
inline constexpr DWORD DLL_PROCESS_ATTACH = 1;
inline constexpr DWORD DLL_THREAD_ATTACH = 2;
inline constexpr DWORD DLL_THREAD_DETACH = 3;

// Window messages that the description resources name.
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
