// What the person hears of a data call that could not do its work.  The
// call returns its failure value, as the module expects; in addition the
// first failure of the person's input is shown at once as a message box,
// the way Windows reports a write that did not reach the disk, naming the
// company file, the data file, the record and the cause.  A save of which
// any change failed is a failed save: the callers that would announce it
// (the change notice, the main window's title) ask saveFailedDuringInput().
#include <nlohmann/json.hpp>
#include <string>

#include "host/data/session.h"
#include "host/events.h"

namespace vx70::data {
namespace {

// The person's input being handled; inputs nest when a modal dialog runs
// inside a command, and the innermost one counts.
struct InputState {
  int depth = 0;
  bool told = false;
  bool changeFailed = false;
};

InputState& input() {
  static InputState state;
  return state;
}

std::string headline(const Operation& op) {
  std::string text;
  const FileInfo* info = op.file >= 0 ? fileInfo(static_cast<std::uint16_t>(op.file)) : nullptr;
  if (info && op.record)
    text = "Record " + std::to_string(op.record) + " of " + fileLabel(info->number);
  else if (info)
    text = "Data file " + std::to_string(info->number) + " (" + info->name + ")";
  else
    text = op.subject ? op.subject : "The company";
  return text + " " + op.outcome + ".";
}

nlohmann::json errorBox(const Operation& op, const std::string& message) {
  nlohmann::json error{{"message", message}};
  if (op.file >= 0) {
    const FileInfo* info = fileInfo(static_cast<std::uint16_t>(op.file));
    error["file"] = op.file;
    if (info) error["name"] = info->name;
  }
  if (op.record) error["record"] = op.record;
  if (companyOpen()) error["company"] = session().store.path();
  return {{"event", "message"},       {"caption", "Data Error"},
          {"icon", "error"},          {"text", headline(op) + "\n\n" + message},
          {"buttons", {"ok"}},        {"owner", nullptr},
          {"error", std::move(error)}};
}

// Whether this failure is the one the person is shown.
bool firstOfInput(const Operation& op) {
  std::lock_guard lock(sessionMutex());
  InputState& state = input();
  if (op.changes) state.changeFailed = true;
  // A station started without a company (to look at the dialogs) is known
  // to fail every file call; nobody needs telling.
  if (state.depth == 0 || state.told || !companyOpen()) return false;
  state.told = true;
  return true;
}

}  // namespace

int numberOf(const datafilemap* file) noexcept {
  return file && fileInfo(file->number) ? file->number : -1;
}

void failed(const Operation& op, const char* message) noexcept {
  reportError(message);
  try {
    if (!firstOfInput(op)) return;
    // Asked without the session's lock: the station goes on taking the
    // person's commands (show, the answer) while the box waits.
    events::ask(events::Question::Message, errorBox(op, message));
  } catch (...) {
    // The box could not be built: the failure value and the report still tell.
  }
}

PersonInput::PersonInput() {
  std::lock_guard lock(sessionMutex());
  InputState& state = input();
  ++state.depth;
  state.told = false;
  state.changeFailed = false;
}

PersonInput::~PersonInput() {
  std::lock_guard lock(sessionMutex());
  --input().depth;
}

bool saveFailedDuringInput() {
  std::lock_guard lock(sessionMutex());
  return input().changeFailed;
}

}  // namespace vx70::data
