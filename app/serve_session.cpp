#include "app/serve_session.h"

#include <algorithm>
#include <filesystem>

#include "station/script.h"

namespace vx70::app {

using nlohmann::json;

namespace {

// The events that wait for the person's answer.
bool isQuestion(const std::string& kind) { return isQuestionEvent(kind); }

json menuGroup(const char* group, std::initializer_list<std::pair<int, const char*>> items) {
  json list = json::array();
  for (const auto& [dialog, title] : items) list.push_back({{"dialog", dialog}, {"title", title}});
  return {{"group", group}, {"items", std::move(list)}};
}

// The command word of a line, "" for a blank line or a comment.
std::string commandWord(const std::string& line) {
  script::Command c = script::parseCommand(line, 0);
  return c.empty() ? "" : c.word();
}

}  // namespace

ServeSession::ServeSession(const StationOptions& options, EventLog& log)
    : options_(options), log_(log) {
  station_ = std::make_unique<Station>(options, [this](const json& e) { onEvent(e); });
}

ServeSession::~ServeSession() {
  std::lock_guard lock(commandMutex_);
  station_.reset();
}

const json& ServeSession::menu() {
  static const json groups = json::array({
      menuGroup("Company settings", {{3600, "Company Preferences"},
                                     {3605, "Financial Year"},
                                     {3606, "Change Program Date"},
                                     {3633, "Update Defaults"},
                                     {3632, "Change Password"},
                                     {3622, "Wallpaper Defaults"}}),
      menuGroup("Ledger defaults", {{3607, "Customer Defaults"},
                                    {3623, "Supplier Defaults"},
                                    {3612, "Product Defaults"},
                                    {3627, "Invoice Defaults"},
                                    {3218, "Program Options"}}),
      menuGroup("Code tables", {{3615, "Departments"},
                                {3614, "Product Categories"},
                                {3617, "Fixed Asset Categories"},
                                {3616, "Currencies"},
                                {3619, "Tax Codes"},
                                {901, "Account Status"},
                                {3223, "Finance Charge Rates"},
                                {3621, "Control Accounts"}}),
      menuGroup("System and users", {{3634, "User List"}, {3629, "System Info"}, {3630, "About"}}),
  });
  return groups;
}

// Called on the station's own thread.  The answers to the state's `show`
// are kept apart: they are the server's questions, not the person's events.
void ServeSession::onEvent(const json& event) {
  const std::string kind = event.value("event", "");
  std::lock_guard lock(eventMutex_);
  if (kind == "show") {
    lastShow_ = event;
    return;
  }
  json numbered = log_.add(event);
  if (isQuestion(kind)) question_ = event;
  if (collecting_) collecting_->push_back(std::move(numbered));
}

json ServeSession::run(const std::string& command) {
  if (command.find_first_of("\r\n") != std::string::npos)
    return refusal("one command at a time: the command holds a line break");
  std::string word;
  try {
    word = commandWord(command);
  } catch (const script::ScriptError& e) {
    return refusal(e.what());
  }
  if (word == "show" || word == "wait")
    return refusal("\"" + word + "\" is not taken here: the state already shows everything");

  std::lock_guard lock(commandMutex_);
  json events = json::array();
  {
    std::lock_guard events_lock(eventMutex_);
    collecting_ = &events;
  }
  std::string error;
  try {
    station_->execute(command);
  } catch (const std::exception& e) {
    error = e.what();
    if (error.empty()) error = "the command failed";
  }
  {
    std::lock_guard events_lock(eventMutex_);
    collecting_ = nullptr;
  }
  json answer{{"ok", error.empty()}};
  if (!error.empty()) answer["error"] = error;
  answer["events"] = std::move(events);
  answer["state"] = currentState();
  return answer;
}

json ServeSession::refusal(const std::string& error) {
  std::lock_guard lock(commandMutex_);
  return {{"ok", false}, {"error", error}, {"events", json::array()}, {"state", currentState()}};
}

json ServeSession::state() {
  std::lock_guard lock(commandMutex_);
  return currentState();
}

// Asks the station to describe itself; `show` may run even while a
// question waits.  Called with the command lock held.
json ServeSession::currentState() {
  station_->execute("show");
  json show;
  json question;
  {
    std::lock_guard lock(eventMutex_);
    show = std::move(lastShow_);
    lastShow_ = nullptr;
    question = question_;
  }
  return {{"seq", log_.lastSeq()},
          {"station", {{"station", options_.station}, {"user", options_.user}}},
          {"main", show.value("main", json::object())},
          {"menu", menu()},
          {"dialogs", show.value("dialogs", json::array())},
          {"question", station_->questionPending() ? question : json(nullptr)}};
}

json ServeSession::files() const {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path folder = fs::absolute(stationIniDir(), error).lexically_normal();
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder, error))
    if (entry.is_regular_file(error)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string text = folder.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return {{"folder", text}, {"files", names}};
}

}  // namespace vx70::app
