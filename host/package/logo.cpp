// The logo library (VXLOGO32): a bitmap shown on a window at one of nine
// positions (0-8: top left, top centre, top right, bottom left, bottom
// centre, bottom right, tiled, full screen, centred).  The front end draws
// it; here each window remembers its bitmap, and a change on the main
// window's wallpaper window is reported (`wallpaper`).
#include <map>
#include <string>

#include "api/host_api.h"
#include "host/events.h"
#include "host/package/desktop.h"
#include "host/win32/window.h"

namespace vx70::package {

namespace {

struct Bitmap {
  std::string file;
  UINT position = 0;
};

// By window; an entry of a window that no longer exists is dropped at the
// next change (a handle never names a later window).
std::map<HWND, Bitmap>& bitmaps() {
  static std::map<HWND, Bitmap> table;
  return table;
}

void forgetDestroyedWindows() {
  auto& table = bitmaps();
  for (auto it = table.begin(); it != table.end();)
    it = win::find(it->first) ? std::next(it) : table.erase(it);
}

}  // namespace

nlohmann::json bitmapOn(HWND window) {
  const auto& table = bitmaps();
  const auto it = win::find(window) ? table.find(window) : table.end();
  if (it == table.end()) return {{"file", ""}, {"position", 0}, {"shown", false}};
  return {{"file", it->second.file}, {"position", it->second.position}, {"shown", true}};
}

}  // namespace vx70::package

extern "C" BOOL SLSetBitmap(HWND window, const char* file, UINT position) {
  namespace pkg = vx70::package;
  try {
    pkg::forgetDestroyedWindows();
    if (!vx70::win::find(window)) return FALSE;
    if (file && *file)
      pkg::bitmaps()[window] = pkg::Bitmap{file, position};
    else
      pkg::bitmaps().erase(window);
    if (g_lpGlobVar && window == g_lpGlobVar->wallpaperWindow) {
      nlohmann::json event = pkg::bitmapOn(window);
      event["event"] = "wallpaper";
      vx70::events::emit(event);
    }
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}
