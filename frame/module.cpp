// The library entry: the loader calls it once when the module is attached
// to the process and once when it is detached.  The instance handle is the
// module's only state; it names the module's resources for the string
// loads of every handler.
#include "frame/handlers.h"

HINSTANCE g_hInstance = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      g_hInstance = instance;
      return TRUE;
    case DLL_PROCESS_DETACH:
      return TRUE;
    default:  // thread attach and detach
      return FALSE;
  }
}
