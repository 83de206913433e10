// The station that `vx70 serve` runs, as the browser sees it: commands of
// the `vx70 drive` language run one at a time, and the whole state (main
// window, menu, open dialogs, the waiting question) as one JSON object.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/serve_events.h"
#include "host/station_options.h"
#include "station/station.h"

namespace vx70::app {

class ServeSession {
 public:
  // Starts the station; throws std::runtime_error when it cannot.
  ServeSession(const StationOptions& options, EventLog& log);
  // Closes the station's dialogs and logs off.
  ~ServeSession();
  ServeSession(const ServeSession&) = delete;
  ServeSession& operator=(const ServeSession&) = delete;

  // Runs one command line: {"ok": true, "events", "state"}, or with "ok"
  // false and "error" when it does not fit (then nothing has changed).
  // Without `withState` the answer carries "seq" (the latest event's
  // number) in place of "state".
  nlohmann::json run(const std::string& command, bool withState = true);
  // {"seq", "station", "main", "menu", "dialogs", "question"}.
  nlohmann::json state();
  // The state as the pages' streams share it: computed again only after
  // an event or a command, however many streams ask.
  std::shared_ptr<const nlohmann::json> sharedState();
  // {"folder", "files"}: the station's own folder, for the file chooser.
  nlohmann::json files() const;
  // The bitmap that the main window's wallpaper shows, as the station names
  // it; "" when no wallpaper is shown.
  std::string wallpaperFile();

  // The path of the n-th report (from 0) that the station printed, whose
  // `report` event carried "url": "/api/report/N"; none for any other n.
  std::optional<std::string> reportPath(std::size_t n) const;

  // The system editor's files: {"files": [{"name", "text", "exists"}]}.
  nlohmann::json systemFiles();
  // Saves one of them whole: {"ok": true}, or "ok" false with "error".
  nlohmann::json saveSystemFile(const std::string& name, const std::string& text);

  // Closes the station's dialogs and logs off; false when the station
  // reported an error of its own on the way (a log-off it could not write),
  // with its message.
  bool close(std::string& error);

  // The dialogs the host's menu opens, in groups, as the state gives them.
  const nlohmann::json& menu() const { return menu_; }

 private:
  void onEvent(const nlohmann::json& event);
  nlohmann::json withReportUrl(nlohmann::json event);
  nlohmann::json currentState();
  nlohmann::json refusal(const std::string& error, bool withState);
  nlohmann::json answered(nlohmann::json answer, bool withState);

  StationOptions options_;
  EventLog& log_;
  std::mutex commandMutex_;  // one command (or state) at a time
  mutable std::mutex eventMutex_;
  nlohmann::json lastShow_;
  nlohmann::json question_;
  nlohmann::json menu_;                   // built once the station has loaded the module
  nlohmann::json* collecting_ = nullptr;  // the running command's events
  std::string stationError_;              // the station's own error, if any
  std::vector<std::string> reports_;      // the PDFs the station printed, in order
  std::unique_ptr<Station> station_;
  std::atomic<bool> changed_{true};  // the shared state is out of date
  std::shared_ptr<const nlohmann::json> shared_;
};

}  // namespace vx70::app
