#include "app/serve_session.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "frame/res/menu.h"
#include "host/codepage.h"
#include "host/engine/dialog.h"
#include "host/loader/module.h"
#include "host/package/system_editor.h"
#include "station/script.h"

namespace vx70::app {

using nlohmann::json;

namespace {

// The events that wait for the person's answer.
bool isQuestion(const std::string& kind) { return isQuestionEvent(kind); }

std::optional<res::DialogTemplate> templateOf(const Module* module, int dialog) {
  if (!module) return std::nullopt;
  try {
    return module->resources().dialog(static_cast<std::uint16_t>(dialog));
  } catch (const res::ResourceError&) {
    return std::nullopt;
  }
}

// A menu item's title: its dialog's caption.  A dialog whose resources
// give none (no template, an empty caption, one that cannot be read) is
// still offered, by its number, so that it stays reachable.
std::string captionOf(const Module* module, int dialog) {
  auto tmpl = templateOf(module, dialog);
  return tmpl && !tmpl->title.empty() ? codepage::toUtf8(tmpl->title)
                                      : "Dialog " + std::to_string(dialog);
}

// The host's menu as frame/res/menu.h lays it out: {"group", "items":
// [{"dialog", "title"}]}, and "accessNote": true on the group that also
// shows the access menu's state.
json menuOf(const Module* module) {
  json groups = json::array();
  auto group = [&](const char* title) {
    groups.push_back({{"group", title}, {"items", json::array()}});
  };
  auto item = [&](int dialog, const std::string& title) {
    json& last = groups.back();
    last["items"].push_back({{"dialog", dialog}, {"title", title}});
    if (dialog == VX70DEF_MENU_ACCESS_NOTE) last["accessNote"] = true;
  };
#define MENU_GROUP(title) group(title);
#define MENU_ITEM(dialog) item(dialog, captionOf(module, dialog));
#define MENU_ITEM_TITLED(dialog, title) item(dialog, title);
  VX70DEF_MENU(MENU_GROUP, MENU_ITEM, MENU_ITEM_TITLED)
#undef MENU_GROUP
#undef MENU_ITEM
#undef MENU_ITEM_TITLED
  return groups;
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
  // The station has loaded the module by now; its resources stay as they are.
  menu_ = menuOf(engine::moduleByNumber(kDefaultsModuleNumber));
}

ServeSession::~ServeSession() {
  std::string ignored;
  close(ignored);
}

bool ServeSession::close(std::string& error) {
  std::lock_guard lock(commandMutex_);
  station_.reset();
  std::lock_guard events_lock(eventMutex_);
  error = stationError_;
  return error.empty();
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
  changed_ = true;  // before the log wakes the streams
  if (kind == "error") stationError_ = event.value("message", "the station failed");
  json numbered = log_.add(kind == "report" ? withReportUrl(event) : event);
  if (isQuestion(kind)) question_ = event;
  if (collecting_) collecting_->push_back(std::move(numbered));
}

// A printed report is served by its number, never by its path.  Called
// with the event lock held.
json ServeSession::withReportUrl(json event) {
  auto pdf = event.find("pdf");
  if (pdf == event.end() || !pdf->is_string()) return event;
  reports_.push_back(pdf->get<std::string>());
  event["url"] = "/api/report/" + std::to_string(reports_.size() - 1);
  return event;
}

std::optional<std::string> ServeSession::reportPath(std::size_t n) const {
  std::lock_guard lock(eventMutex_);
  if (n >= reports_.size()) return std::nullopt;
  return reports_[n];
}

// The files are read and written between the station's commands, so that
// an edit never meets a dialog's own INI write halfway.
json ServeSession::systemFiles() {
  std::lock_guard lock(commandMutex_);
  json files = json::array();
  for (const auto& file : package::systemEditorFiles())
    files.push_back({{"name", file.name}, {"text", file.text}, {"exists", file.exists}});
  return {{"files", std::move(files)}};
}

json ServeSession::saveSystemFile(const std::string& name, const std::string& text) {
  std::lock_guard lock(commandMutex_);
  try {
    package::saveSystemEditorFile(name, text);
  } catch (const std::exception& e) {
    return {{"ok", false}, {"error", e.what()}};
  }
  return {{"ok", true}};
}

json ServeSession::run(const std::string& command, bool withState) {
  if (command.find_first_of("\r\n") != std::string::npos)
    return refusal("one command at a time: the command holds a line break", withState);
  std::string word;
  try {
    word = commandWord(command);
  } catch (const script::ScriptError& e) {
    return refusal(e.what(), withState);
  }
  if (word == "show" || word == "wait")
    return refusal("\"" + word + "\" is not taken here: the state already shows everything",
                   withState);

  std::lock_guard lock(commandMutex_);
  if (!station_)
    return {{"ok", false}, {"error", "the station has closed"}, {"events", json::array()}};
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
  changed_ = true;  // typed text changes the state without an event
  json answer{{"ok", error.empty()}};
  if (!error.empty()) answer["error"] = error;
  answer["events"] = std::move(events);
  return answered(std::move(answer), withState);
}

json ServeSession::refusal(const std::string& error, bool withState) {
  std::lock_guard lock(commandMutex_);
  if (!station_) return {{"ok", false}, {"error", error}, {"events", json::array()}};
  return answered({{"ok", false}, {"error", error}, {"events", json::array()}}, withState);
}

// Adds the state, which the streams then share, or only the latest event's
// number for a page that takes the state from its stream.  Called with the
// command lock held.
json ServeSession::answered(json answer, bool withState) {
  if (!withState) {
    answer["seq"] = log_.lastSeq();
    return answer;
  }
  changed_ = false;
  json state = currentState();
  shared_ = std::make_shared<const json>(state);
  answer["state"] = std::move(state);
  return answer;
}

std::shared_ptr<const json> ServeSession::sharedState() {
  std::lock_guard lock(commandMutex_);
  if (!station_) return std::make_shared<const json>(json{{"closed", true}});
  if (changed_.exchange(false) || !shared_) shared_ = std::make_shared<const json>(currentState());
  return shared_;
}

json ServeSession::state() {
  std::lock_guard lock(commandMutex_);
  if (!station_) return {{"closed", true}};
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

std::string ServeSession::wallpaperFile() {
  const json wallpaper = state().value("main", json::object()).value("wallpaper", json::object());
  return wallpaper.value("shown", false) ? wallpaper.value("file", "") : "";
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
