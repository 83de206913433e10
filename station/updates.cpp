// What other stations do, as this one learns it: their change notices,
// looked for whenever the station waits for input and awaited by
// `wait update`, and the multi-user actions, shown with their names.
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
// once, before the front end hears of it.
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
  }
}

void Station::Impl::waitUpdate(const script::Command& c) {
  script::expectArgs(c, 1, 2);
  if (!script::isWord(c, 1, "update"))
    throw ScriptError(c.line, "wait: only \"wait update\" is known");
  double seconds = 10;
  if (c.tokens.size() > 2) {
    char* end = nullptr;
    seconds = std::strtod(c.tokens[2].text.c_str(), &end);
    if (*end || seconds < 0) throw ScriptError(c.line, "wait: bad number of seconds");
  }
  int before = updatesReceived;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    pollUpdates();
    if (updatesReceived > before) return;
    if (std::chrono::steady_clock::now() >= deadline || isQuitting())
      throw ScriptError(c.line, "wait: no update arrived within " + c.tokens.back().text + " s");
    std::this_thread::sleep_for(kPollInterval / 2);
  }
}

}  // namespace vx70
