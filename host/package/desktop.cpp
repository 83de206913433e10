// The access library's (VX70ACC) part in the main window: the ledger
// buttons' colours and which ledgers the user may open, the fields a
// dialog takes away, and the toolbar's look that the notify window takes
// up.  Everything here runs on the user-interface thread.
#include "host/package/desktop.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "api/host_api.h"
#include "host/events.h"

namespace vx70::package {

using nlohmann::json;

namespace {

constexpr const char* kSection = "VX70";
constexpr const char* kWhite = "0xffffff";
constexpr DWORD kEntryEdition = 16;
constexpr DWORD kEditionsWithoutOrders = 2 | 4;

// The ledgers of the toolbar, in the order of the colour keys.
struct Ledger {
  const char* name;
  const char* colourKey;
  bool order;  // sales or purchase order processing
  bool assets;
};
constexpr std::array<Ledger, 10> kLedgers{{
    {"Customers", "SalColor", false, false},
    {"Suppliers", "PurColor", false, false},
    {"Nominal", "NomColor", false, false},
    {"Bank", "BankColor", false, false},
    {"Stock", "StkColor", false, false},
    {"Invoicing", "InvColor", false, false},
    {"SOP", "SopColor", true, false},
    {"POP", "PopColor", true, false},
    {"Financials", "FinColor", false, false},
    {"Assets", "FixColor", false, true},
}};

struct Desktop {
  std::array<COLORREF, kLedgers.size()> colours{};
  std::array<bool, kLedgers.size()> enabled{};
  bool ignoreColours = false;
  bool frames = false;
  bool labels = true;
  bool background = true;
  std::string bitmap;
};

Desktop& desktop() {
  static Desktop instance;
  return instance;
}

std::string colourText(COLORREF colour) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06lx", static_cast<unsigned long>(colour & 0xFFFFFFu));
  return text;
}

// Stored as "80ff80", by default "0xffffff": base 16 reads both.
COLORREF storedColour(const char* key) {
  char text[MAX_PATH] = {};
  GetPrivateProfileStringA(kSection, key, kWhite, text, sizeof text, GetINI());
  return static_cast<COLORREF>(std::strtoul(text, nullptr, 16) & 0xFFFFFFu);
}

// The entry edition has neither order processing nor fixed assets, the two
// small ones no order processing.
bool inEdition(const Ledger& ledger, DWORD edition) {
  if (edition == kEntryEdition) return !ledger.order && !ledger.assets;
  if (edition & kEditionsWithoutOrders) return !ledger.order;
  return true;
}

json toolbarJson(const Desktop& d) {
  return json{{"frames", d.frames},
              {"labels", d.labels},
              {"background", d.background},
              {"bitmap", d.bitmap}};
}

// The front end's failure to take an event must not cross the C boundary.
void report(const json& event) {
  try {
    events::emit(event);
  } catch (...) {
  }
}

}  // namespace

void reloadToolbar() {
  Desktop& d = desktop();
  d.frames = ReadINIInt("ToolbarStandard", 0) != 0;
  d.labels = ReadINIInt("ToolbarLabels", 1) != 0;
  d.background = ReadINIInt("DisplayBack", 1) != 0;
  char bitmap[MAX_PATH] = {};
  d.bitmap = ReadINIString("BackgroundBitmap", bitmap, "");
  json event = toolbarJson(d);
  event["event"] = "toolbar";
  report(event);
}

json describeDesktop(HWND wallpaperWindow) {
  const Desktop& d = desktop();
  json ledgers = json::array();
  for (std::size_t i = 0; i < kLedgers.size(); ++i)
    ledgers.push_back({{"ledger", kLedgers[i].name},
                       {"colour", colourText(d.colours[i])},
                       {"enabled", d.enabled[i]}});
  return json{{"wallpaper", bitmapOn(wallpaperWindow)},
              {"toolbar", toolbarJson(d)},
              {"ignoreColours", d.ignoreColours},
              {"ledgers", std::move(ledgers)}};
}

}  // namespace vx70::package

extern "C" {

void DisableFields(HWND dialog, const UINT* ids) {
  if (!ids) return;
  for (; *ids; ++ids) EnableWindow(GetDlgItem(dialog, static_cast<int>(*ids)), FALSE);
}

// The ledgers that the edition offers.
void SetMainModuleAccess(void) {
  using namespace vx70::package;
  const DWORD edition = g_lpGlobVar ? g_lpGlobVar->edition : 0;
  json ledgers = json::array();
  for (std::size_t i = 0; i < kLedgers.size(); ++i) {
    desktop().enabled[i] = inEdition(kLedgers[i], edition);
    ledgers.push_back({{"ledger", kLedgers[i].name}, {"enabled", desktop().enabled[i]}});
  }
  report(json{{"event", "module-access"}, {"ledgers", std::move(ledgers)}});
}

// The colours as the package INI file holds them now.
void LoadLedgerColors(void) {
  using namespace vx70::package;
  Desktop& d = desktop();
  d.ignoreColours = GetPrivateProfileIntA(kSection, "IgnoreColorBars", 0, GetINI()) != 0;
  json ledgers = json::array();
  for (std::size_t i = 0; i < kLedgers.size(); ++i) {
    d.colours[i] = storedColour(kLedgers[i].colourKey);
    ledgers.push_back({{"ledger", kLedgers[i].name}, {"colour", colourText(d.colours[i])}});
  }
  report(json{{"event", "ledger-colours"},
              {"ignoreColours", d.ignoreColours},
              {"ledgers", std::move(ledgers)}});
}

}  // extern "C"
