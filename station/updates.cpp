// What other stations do, as this one learns it: their change notices,
// looked for whenever the station waits for input and awaited by
// `wait update`, and the multi-user actions, shown with their names.
#include <cmath>
#include <cstdlib>
#include <thread>

#include "api/notices.h"
#include "host/codepage.h"
#include "host/data/company.h"
#include "station/station_impl.h"

namespace vx70 {

using nlohmann::json;
using script::ScriptError;

// A multi-user action is shown with its name: the module's string of
// the same number.
json Station::Impl::withActionName(json event) const {
  if (event.value("event", "") != "action") return event;
  std::string name;
  try {
    if (module)
      name = module->resources()
                 .string(static_cast<std::uint16_t>(event.value("id", 0u)))
                 .value_or("");
  } catch (const std::exception&) {
    name.clear();
  }
  event["name"] = codepage::toUtf8(name);
  return event;
}

// A notice that the shared setup or control record changed is read at
// once, before the front end hears of it; a new setup record also shows in
// the main window, as this station's own save would show it.
void Station::Impl::pollUpdates() {
  if (!data::companyOpen()) return;
  std::vector<data::Update> updates;
  try {
    updates = data::takeUpdates();
  } catch (const std::exception& e) {
    // The station waits on; the failure is told once, and the next look
    // may succeed.
    data::reportError(e.what());
    return;
  }
  for (const auto& u : updates) {
    if (u.code == NOTICE_SETUP_CHANGED) ReadSetup();
    if (u.code == NOTICE_CONTROL_CHANGED) ReadControl();
    ++updatesReceived;
    emit(json{{"event", "update"}, {"code", u.code}, {"flag", u.flag}, {"from", u.fromStation}});
    if (u.code == NOTICE_SETUP_CHANGED) followSetupInMainWindow();
  }
}

namespace {

// How long `wait update` waits: 10 s, or the finite, non-negative number
// of seconds that the command gives.
double secondsToWait(const script::Command& c) {
  if (c.tokens.size() < 3) return 10;
  const std::string& text = c.tokens[2].text;
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end || !std::isfinite(seconds) || seconds < 0)
    throw ScriptError(c.line, "wait: seconds \"" + text + "\" is not a number of at least 0");
  return seconds;
}

}  // namespace

// A notice that arrived since the previous command ended (the station
// took it while idle) counts: a script cannot tell when it came.
void Station::Impl::waitUpdate(const script::Command& c) {
  script::expectArgs(c, 1, 2);
  if (!script::isWord(c, 1, "update"))
    throw ScriptError(c.line, "wait: only \"wait update\" is known");
  const double seconds = secondsToWait(c);
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    pollUpdates();
    stopIfCompanyLost();
    if (updatesReceived > updatesAtLastCommandEnd) return;
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
    if (waited.count() >= seconds || isQuitting())
      throw ScriptError(c.line, "wait: no update arrived within " +
                                    (c.tokens.size() < 3 ? "10" : c.tokens[2].text) + " s");
    std::this_thread::sleep_for(kPollInterval / 2);
  }
}

}  // namespace vx70
