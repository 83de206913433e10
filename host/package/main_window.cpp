// The main window as the module changes it: the title (the program's name
// and the company it runs), the program date in the status line and the
// access menu.  Each change is reported to the front end as an event.
#include "host/package/main_window.h"

#include <atomic>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

#include "api/host_api.h"
#include "host/codepage.h"
#include "host/data/company.h"
#include "host/events.h"

namespace vx70 {

namespace {

std::atomic<bool> g_accessMenuEnabled{false};

// The front end's failure to take an event (a text it cannot print) must
// not undo what the module asked for, nor cross the C boundary.
template <class MakeEvent>
void report(MakeEvent makeEvent) {
  try {
    events::emit(makeEvent());
  } catch (...) {
  }
}

}  // namespace

bool accessMenuEnabled() { return g_accessMenuEnabled; }

void setAccessMenuEnabled(bool enabled) { g_accessMenuEnabled = enabled; }

}  // namespace vx70

extern "C" {

// The company name is a fixed field that may be padded with spaces; the
// title shows it trimmed, and the program's name alone when it is empty.
void SetMainWindowText(HWND mainWindow, const setupmap* setup) {
  // After a save that stored nothing the title keeps the stored name.
  if (vx70::data::saveFailedDuringInput()) return;
  try {
    std::string name;
    if (setup)
      name.assign(setup->companyName, strnlen(setup->companyName, sizeof setup->companyName));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    const std::string title = name.empty() ? "VX70" : "VX70 - " + name;
    SetWindowTextA(mainWindow, title.c_str());
    vx70::report([&] {
      return nlohmann::json{{"event", "title"}, {"text", vx70::codepage::toUtf8(title)}};
    });
  } catch (...) {
    // A title that could not be built leaves the old one standing.
  }
}

void EnableAccessMenu(DWORD accessRights) {
  const bool enabled = accessRights != 0;
  vx70::setAccessMenuEnabled(enabled);
  vx70::report([&] { return nlohmann::json{{"event", "access-menu"}, {"enabled", enabled}}; });
}

void ShowSystemDate(void) {
  vx70::report([] {
    char date[16] = {};
    DateNumberToFullString(date, g_lpGlobVar->programDate);
    return nlohmann::json{{"event", "program-date"}, {"date", date}};
  });
}

}  // extern "C"
