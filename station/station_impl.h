// The station's private state, shared by the files that do its jobs:
//   station.cpp          the public face: one station a process, its events
//   input_loop.cpp       the user-interface thread and the commands handed to it
//   start_up.cpp         start-up, log-on and the global block; shutting down
//   main_window.cpp      the host's main window and its info window
//   dialog_commands.cpp  the commands that act on dialogs, as a person would
//   context_menus.cpp    the controls' context menus and `menu`, which chooses an item
//   questions.cpp        the questions a person answers and the commands that answer them
//   show.cpp             `show`: the main window and the open dialogs described
//   updates.cpp          what other stations do: change notices, multi-user actions
// Everything runs on the user-interface thread except what says otherwise.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>

#include "api/host_api.h"
#include "host/events.h"
#include "host/loader/module.h"
#include "station/station.h"

namespace vx70 {

// The info window's field that shows the financial year.
constexpr UINT kInfoControl = 102;
// How often a waiting station looks for other stations' change notices.
constexpr auto kPollInterval = std::chrono::milliseconds(100);

struct Station::Impl : events::UiPort {
  // One command, handed from the front end's thread to the station's.
  struct Job {
    script::Command command;
    std::string error;
    bool done = false;
  };

  StationOptions options;
  EventSink sink;
  // To the front end (station.cpp).
  void emit(const nlohmann::json& event);
  void tell(const nlohmann::json& event) override;

  // The hand-over between the threads; `mutex` guards the queue, the
  // command in hand, `quitting` and the question waiting for its answer.
  std::thread ui;
  mutable std::mutex mutex;
  std::condition_variable wake;
  std::deque<Job*> queue;
  Job* current = nullptr;
  bool quitting = false;
  std::optional<events::Question> pending;

  std::unique_ptr<Module> module;
  HWND mainWindow = 0;
  bool loggedOn = false;
  int updatesReceived = 0;
  int questionsAsked = 0;
  // How many commands have ended (the station waited for input again),
  // and how many notices had arrived when the latest one ended: `close`
  // tells whether its command ended inside the handler, `wait update`
  // takes a notice that came in while the station was idle.
  int commandsFinished = 0;
  int updatesAtLastCommandEnd = 0;

  // ---- input_loop.cpp ----------------------------------------------------------
  // start(), stop() and submit() run on the front end's thread.
  void start();
  void stop();
  void submit(Job& job);
  bool isQuitting();
  Job* nextJob();
  void finishCurrent();
  void fail(Job& job, const std::string& message);
  void topLevelWait();
  void dialogWait();
  void runGuarded(Job& job);

  // ---- start_up.cpp ------------------------------------------------------------
  void startUp();
  void shutDown();
  void fillGlobalBlock();
  void loadAccessRecord();

  // ---- main_window.cpp ---------------------------------------------------------
  static void registerWindowClasses();
  void createMainWindow();
  void showCompanyInMainWindow();
  void showOptionsInMainWindow();
  void followSetupInMainWindow();

  // ---- dialog_commands.cpp -----------------------------------------------------
  void run(const script::Command& c);
  void open(const script::Command& c);
  void type(const script::Command& c);
  void leave(const script::Command& c);
  void click(const script::Command& c);
  void select(const script::Command& c);
  void cell(const script::Command& c);
  void activate(const script::Command& c);
  void key(const script::Command& c);
  void page(const script::Command& c);
  void close(const script::Command& c);
  bool focusFirst(HWND control);

  // ---- context_menus.cpp -------------------------------------------------------
  void menu(const script::Command& c);

  // ---- questions.cpp -----------------------------------------------------------
  events::Answer ask(events::Question kind, const nlohmann::json& question) override;
  void setPending(std::optional<events::Question> q);
  std::optional<events::Answer> answerOf(const script::Command& c, events::Question kind,
                                         const nlohmann::json& question);

  // ---- show.cpp ----------------------------------------------------------------
  void show(const script::Command& c);
  nlohmann::json describeMain();

  // ---- updates.cpp -------------------------------------------------------------
  nlohmann::json withActionName(nlohmann::json event) const;
  void pollUpdates();
  void stopIfCompanyLost();
  bool stopping = false;  // the company was lost; the station is stopping
  void waitUpdate(const script::Command& c);
};

// The open dialog that argument i names (dialog_commands.cpp).
HWND dialogArg(const script::Command& c, std::size_t i);
// The control that a user action names (DIALOG CONTROL ...), once the
// command has exactly `args` arguments and a person could reach the
// control (dialog_commands.cpp).
HWND usableControl(const script::Command& c, std::size_t args);

// Adds to a `show` dialog's controls the context menus they offer this
// station's user: "menu": [{"command", "text"}] (context_menus.cpp).
void addContextMenus(nlohmann::json& dialog);

// How the station names a kind of question ("message", "popup"...), and
// whether a command word is one that answers a question (questions.cpp).
const char* questionName(events::Question q);
bool isAnswerCommand(const std::string& word);

}  // namespace vx70
