#include "host/package/finder.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "api/host_api.h"
#include "host/codepage.h"
#include "host/engine/dialog.h"
#include "host/events.h"
#include "host/win32/window.h"

namespace vx70::package {

namespace {

using nlohmann::json;

constexpr WORD kSearchBank = 260;

struct Offer {
  std::string code;
  std::string name;
  bool bank;
};

// A fixed text field up to its terminator, without trailing spaces.
std::string fieldText(const char* field, std::size_t size) {
  std::string_view text(field, strnlen(field, size));
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

// Every account of the nominal file that the search takes, in code order.
// Without a company (or a nominal file) nothing is offered.
std::vector<Offer> accountsFor(WORD searchMode) {
  std::vector<Offer> offers;
  datafilemap* nominal = &g_lpGlobVar->dataFiles[DF_NOMINAL];
  if (!FileOpen(nominal, OF_READ, OF_SHARE_DENY_NONE, 1)) return offers;
  DWORD count = RecCount(nominal);
  for (DWORD r = 1; r <= count; ++r) {
    nommap n{};
    if (!ReadRec(nominal, r, &n)) continue;
    bool bank = (n.typeFlags & NOMINAL_BANK) != 0;
    std::string code = fieldText(n.code, sizeof n.code);
    if (code.empty() || (searchMode == kSearchBank && !bank)) continue;
    offers.push_back({std::move(code), fieldText(n.name, sizeof n.name), bank});
  }
  FileClose(nominal);
  std::stable_sort(offers.begin(), offers.end(),
                   [](const Offer& a, const Offer& b) { return a.code < b.code; });
  return offers;
}

json offersJson(const std::vector<Offer>& offers) {
  json list = json::array();
  for (const auto& o : offers)
    list.push_back(
        {{"code", codepage::toUtf8(o.code)}, {"name", codepage::toUtf8(o.name)}, {"bank", o.bank}});
  return list;
}

bool offered(const std::vector<Offer>& offers, const std::string& code) {
  return std::any_of(offers.begin(), offers.end(), [&](const Offer& o) { return o.code == code; });
}

// The chosen code goes into the field or cell editor that asked.
void putIntoRequester(HWND target, const std::string& code) {
  win::Window* w = win::find(target);
  if (!w) return;
  win::send(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(code.c_str()));
  // In a grid's cell editor the code is still to be stored when the cell
  // is left; a field takes it at once.
  if ((w = win::find(target)) && engine::isGridWindow(w->parent))
    win::send(target, EM_SETMODIFY, 1, 0);
  engine::noteUserInput(target);
}

// The code that the asking field or cell editor holds, for the finder to
// open on it.
std::string requesterText(HWND target) {
  const win::Window* w = win::find(target);
  if (!w) return "";
  return fieldText(w->text.c_str(), w->text.size());
}

}  // namespace

bool finderOffers(const json& finder, const std::string& code) {
  auto accounts = finder.find("accounts");
  if (accounts == finder.end() || !accounts->is_array()) return false;
  return std::any_of(accounts->begin(), accounts->end(),
                     [&](const json& a) { return a.value("code", "") == code; });
}

}  // namespace vx70::package

namespace pkg = vx70::package;

extern "C" BOOL DoPopup(PopupRequest* request) {
  if (!request) return FALSE;
  try {
    const auto offers = pkg::accountsFor(request->searchMode);
    nlohmann::json event{{"event", "finder"},
                         {"search", request->searchMode},
                         {"control", request->controlId},
                         {"notification", request->notification},
                         {"owner", vx70::events::ownerOf(request->dialog)},
                         {"code", vx70::codepage::toUtf8(pkg::requesterText(request->control))},
                         {"accounts", pkg::offersJson(offers)}};
    // The person's choice; without a front end the finder is cancelled.
    vx70::events::Answer a = vx70::events::ask(vx70::events::Question::Popup, event);
    // Only an offered code is taken, whatever the front end passed on.
    if (a.cancelled || !pkg::offered(offers, a.text)) return FALSE;
    pkg::putIntoRequester(request->control, a.text);
    return TRUE;
  } catch (const std::exception&) {
    return FALSE;  // nothing crosses back into the module
  }
}
