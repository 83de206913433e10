// One station of a company: the host program as a person uses it.  The
// station runs the module's dialogs on its own user-interface thread;
// a front end hands it one command at a time (the `vx70 drive` language,
// station/script.h) and gets back, through the event sink, everything a
// person would see or the host would receive.
//
// execute() returns once the station waits for input again: after a click
// that opens a message box, it returns with the box waiting for its
// answer.  A command that does not fit the station's state (no such dialog
// or control, nothing waiting for an answer, a question waiting for one)
// throws ScriptError and changes nothing.
#pragma once

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "host/station_options.h"
#include "station/script.h"

namespace vx70 {

class Station {
 public:
  using EventSink = std::function<void(const nlohmann::json&)>;

  // Starts the station: loads the module, opens the company (when the
  // options name one), logs the user on and fills the global block.
  // Throws std::runtime_error with a clear message when it cannot.
  Station(const StationOptions& options, EventSink sink);
  // Closes every dialog as a shutting-down program does and logs off.
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Runs one command line (blank lines and comments do nothing).
  void execute(const std::string& line, int lineNumber = 0);
  // A question (message box, edit box, chooser, finder) waits for its answer.
  bool questionPending() const;
  // The kind of the waiting question ("message", "editbox", ...), or "".
  std::string pendingQuestion() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Whether an event of this kind ("message", "finder"...) asks a question
// that waits for the person's answer.
bool isQuestionEvent(const std::string& kind);

// The station options that `vx70 drive` and `vx70 serve` take, with their
// help texts, for the command-line parser.
struct StationOptionHelp {
  const char* name;
  const char* help;
};

}  // namespace vx70
