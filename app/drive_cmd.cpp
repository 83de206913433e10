// vx70 drive: one station run against a company from a script, one
// command a line, from a file or standard input.  Every event is printed
// as one JSON object a line and flushed at once, so that another program
// can drive a station through a pipe.
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "app/commands.h"
#include "app/station_cli.h"
#include "station/station.h"

namespace vx70::app {
namespace {

struct DriveArgs {
  StationOptions options;
  std::string script;  // empty or "-": standard input
};

void printEvent(const nlohmann::json& event) { std::cout << event.dump() << '\n' << std::flush; }

int printError(int line, const std::string& message) {
  printEvent(nlohmann::json{{"event", "error"}, {"line", line}, {"message", message}});
  return 1;
}

int drive(const DriveArgs& args) {
  std::ifstream file;
  std::istream* in = &std::cin;
  if (!args.script.empty() && args.script != "-") {
    file.open(args.script);
    if (!file) return printError(0, "cannot read the script " + args.script);
    in = &file;
  }
  // An error the station reports on its own (one that stops it, such as a
  // log-off that could not be written) ends the run with status 1 too, and
  // so does a data error box: something the script did was not stored.
  bool stationFailed = false;
  auto sink = [&stationFailed](const nlohmann::json& event) {
    printEvent(event);
    const std::string kind = event.value("event", "");
    if (kind == "error" || (kind == "message" && event.contains("error"))) stationFailed = true;
  };
  std::unique_ptr<Station> station;
  try {
    station = std::make_unique<Station>(args.options, sink);
  } catch (const std::exception& e) {
    return printError(0, e.what());
  }
  std::string text;
  int line = 0;
  while (std::getline(*in, text)) {
    ++line;
    try {
      station->execute(text, line);
    } catch (const script::ScriptError& e) {
      station.reset();  // the dialogs it closes are told before the error
      return printError(e.line(), e.what());
    }
  }
  if (station->questionPending()) {
    std::string what = station->pendingQuestion();
    station.reset();
    return printError(line, "the script ended with a " + what + " waiting for its answer");
  }
  station.reset();
  return stationFailed ? 1 : 0;
}

}  // namespace

void addDriveCommand(CLI::App& app) {
  auto args = std::make_shared<DriveArgs>();
  CLI::App* cmd = app.add_subcommand(
      "drive", "Run one station from a script (a file, or standard input); see docs/drive.md");
  cmd->add_option("script", args->script, "The script file; standard input when absent or -");
  addStationOptions(*cmd, args->options);
  cmd->callback([args] {
    int status = drive(*args);
    if (status) throw CLI::RuntimeError(status);
  });
}

}  // namespace vx70::app
