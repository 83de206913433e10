// What the main window shows of the station's program options: the ledger
// buttons of its toolbar with their colours and whether the user may open
// them, the toolbar's look, and the wallpaper.  The access library
// (LoadLedgerColors, SetMainModuleAccess), the notify window (the options
// changed) and the logo library (SLSetBitmap) change it, each with an event
// of its own; the station reads it for `show`.
#pragma once

#include <nlohmann/json.hpp>

#include "api/win32.h"

namespace vx70::package {

// Sent to the notify window when the program options were stored
// (wParam 0, lParam 1): the main window takes up the toolbar options.
inline constexpr UINT kOptionsChangedMessage = 5143;

// Reads the toolbar options from the package INI file and reports them
// (`toolbar`).
void reloadToolbar();

// {"wallpaper": {"file", "position", "shown"}, "toolbar": {"frames",
// "labels", "background", "bitmap"}, "ignoreColours", "ledgers": [{"ledger",
// "colour", "enabled"}]}: what the main window shows, for `show`.
nlohmann::json describeDesktop(HWND wallpaperWindow);

// What SLSetBitmap last put on the window: {"file", "position", "shown"}
// ("shown" false and an empty file when nothing).
nlohmann::json bitmapOn(HWND window);

}  // namespace vx70::package
