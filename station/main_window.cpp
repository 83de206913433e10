// The host's main window as the module finds it: the title, the info
// window with its field of the financial year, the wallpaper and the
// notify window, their handles in the global block.  The title and the
// year name the company from the start, before any dialog changes them,
// and follow the setup record when another station stores it.  The
// toolbar's ledger buttons, its look and the wallpaper show the station's
// program options from the start too.
#include "host/package/main_window.h"

#include <cstring>
#include <iterator>

#include "host/codepage.h"
#include "host/package/desktop.h"
#include "host/win32/window.h"
#include "station/station_impl.h"

namespace vx70 {

using nlohmann::json;

namespace {

constexpr const char* kMainClass = "VX70Main";
constexpr const char* kInfoTextClass = "VX70InfoText";
constexpr const char* kNotifyClass = "VX70Notify";
constexpr UINT kWallpaperPosition = 39;
constexpr UINT kWallpaperShown = 40;

// The financial year shows as "<month> <year>" with the host's own month
// names: the module's string table is the module's, not the host's.
constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

LRESULT mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return win::defWindowProc(hwnd, message, wParam, lParam);
}

// The info window's field behaves as a static text, and every new text
// set on it is reported: it is how the person sees the financial year
// change.  The text it gets at start-up goes out before the engine has an
// event sink, so only the module's changes are reported.
LRESULT infoTextProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = win::defWindowProc(hwnd, message, wParam, lParam);
  if (message == WM_SETTEXT)
    events::emit(json{{"event", "info"},
                      {"control", kInfoControl},
                      {"text", codepage::toUtf8(win::get(hwnd).text)}});
  return result;
}

// The notify window hears that the program options were stored: the
// toolbar takes them up.
LRESULT notifyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == package::kOptionsChangedMessage) {
    package::reloadToolbar();
    return 0;
  }
  return win::defWindowProc(hwnd, message, wParam, lParam);
}

// setupmap.fyStartMonth counts from 0 for January.
std::string financialYear(const setupmap& setup) {
  const char* month =
      setup.fyStartMonth < std::size(kMonthNames) ? kMonthNames[setup.fyStartMonth] : "";
  return std::string(month) + " " + std::to_string(setup.fyStartYear);
}

// The title that SetMainWindowText gives the record: the program's name and
// the company's without its trailing spaces, or the program's alone.
std::string titleOf(const setupmap& setup) {
  std::string name(setup.companyName, strnlen(setup.companyName, sizeof setup.companyName));
  name.erase(name.find_last_not_of(' ') + 1);
  return name.empty() ? "VX70" : "VX70 - " + name;
}

// The info window shows the record's financial year; it changes (and says
// so) only when the year shown is another.
void showFinancialYear(const setupmap& setup) {
  HWND year = win::childById(g_lpGlobVar->infoWindow, kInfoControl);
  const std::string text = financialYear(setup);
  if (year && win::get(year).text != text) SetWindowTextA(year, text.c_str());
}

}  // namespace

void Station::Impl::registerWindowClasses() {
  win::registerClass(kMainClass, mainWindowProc);
  win::registerClass(kInfoTextClass, infoTextProc);
  win::registerClass(kNotifyClass, notifyProc);
}

void Station::Impl::createMainWindow() {
  globvar& g = *g_lpGlobVar;
  mainWindow = win::createWindow(kMainClass, "VX70", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                 RECT{0, 0, 1024, 768}, 0, 0);
  HWND info = win::createWindow("STATIC", "", WS_CHILD | WS_VISIBLE, RECT{0, 748, 1024, 768},
                                mainWindow, 1);
  win::createWindow(kInfoTextClass, "", WS_CHILD | WS_VISIBLE, RECT{600, 0, 1024, 20}, info,
                    kInfoControl);
  HWND wallpaper =
      win::createWindow("STATIC", "", WS_CHILD | WS_VISIBLE, RECT{0, 20, 1024, 748}, mainWindow, 2);
  HWND notify = win::createWindow(kNotifyClass, "", WS_CHILD, RECT{0, 0, 0, 0}, mainWindow, 3);
  g.mainWindow = mainWindow;
  g.infoWindow = info;
  g.wallpaperWindow = wallpaper;
  g.notifyWindow = notify;
}

// The access menu follows the company's access-rights setting.
void Station::Impl::showCompanyInMainWindow() {
  setAccessMenuEnabled(false);
  if (options.dataDir.empty()) return;
  const setupmap& setup = g_lpGlobVar->setup;
  setAccessMenuEnabled(setup.accessRights != 0);
  SetMainWindowText(mainWindow, &setup);
  showFinancialYear(setup);
}

// The ledger buttons, the toolbar and the user's wallpaper as the package
// INI file and the records keep them, through the calls that the module
// makes when they change.
void Station::Impl::showOptionsInMainWindow() {
  globvar& g = *g_lpGlobVar;
  LoadLedgerColors();
  SetMainModuleAccess();
  package::reloadToolbar();
  if (GetWallPaperState(kWallpaperShown, &g.setup, &g.access))
    SLSetBitmap(g.wallpaperWindow, GetWallPaperFileName(&g.setup, &g.access),
                GetWallPaperState(kWallpaperPosition, &g.setup, &g.access));
}

// Another station stored the setup record, now reloaded: the title, the
// financial year and the access menu follow it at once, through the calls
// the module makes and so with their events, where they show another value.
void Station::Impl::followSetupInMainWindow() {
  const setupmap& setup = g_lpGlobVar->setup;
  if (win::get(mainWindow).text != titleOf(setup)) SetMainWindowText(mainWindow, &setup);
  showFinancialYear(setup);
  if (accessMenuEnabled() != (setup.accessRights != 0)) EnableAccessMenu(setup.accessRights);
}

}  // namespace vx70
