// The station's user-interface thread and the commands handed to it.  The
// front end's thread queues one command and blocks until it has run; the
// station takes the next command whenever it waits for input: at the top
// level, inside a modal dialog's loop, or while a question waits for its
// answer.  While nothing comes it looks for other stations' notices.
#include <future>

#include "host/data/company.h"
#include "host/engine/dialog.h"
#include "station/station_impl.h"

namespace vx70 {

using script::ScriptError;

void Station::Impl::start() {
  std::promise<void> started;
  auto ready = started.get_future();
  ui = std::thread([this, &started] {
    try {
      startUp();
    } catch (...) {
      shutDown();
      started.set_exception(std::current_exception());
      return;
    }
    started.set_value();
    while (!isQuitting()) topLevelWait();
    shutDown();
  });
  try {
    ready.get();
  } catch (...) {
    ui.join();
    throw;
  }
}

void Station::Impl::stop() {
  {
    std::lock_guard lock(mutex);
    quitting = true;
  }
  wake.notify_all();
  if (ui.joinable()) ui.join();
}

void Station::Impl::submit(Job& job) {
  std::unique_lock lock(mutex);
  if (quitting) throw ScriptError(job.command.line, "the station has stopped");
  queue.push_back(&job);
  wake.notify_all();
  wake.wait(lock, [&] { return job.done || quitting; });
  if (!job.done) throw ScriptError(job.command.line, "the station stopped while running");
}

bool Station::Impl::isQuitting() {
  std::lock_guard lock(mutex);
  return quitting;
}

// The station waits for input: the command in hand is complete.  Returns
// the next command, or nullptr when the station is closing.
Station::Impl::Job* Station::Impl::nextJob() {
  stopIfCompanyLost();
  std::unique_lock lock(mutex);
  finishCurrent();
  while (queue.empty() && !quitting) {
    wake.wait_for(lock, kPollInterval);
    lock.unlock();
    pollUpdates();
    stopIfCompanyLost();
    lock.lock();
  }
  if (quitting) return nullptr;
  current = queue.front();
  queue.pop_front();
  return current;
}

// A station that lost its company's server lost its locks with it, so it
// cannot go on as if nothing happened: it says so and stops, its dialogs
// closing unsaved (what the person saw fail was never stored).
void Station::Impl::stopIfCompanyLost() {
  if (stopping) return;
  const std::string lost = data::companyLost();
  if (lost.empty()) return;
  stopping = true;
  emit(nlohmann::json{{"event", "error"}, {"line", 0}, {"message", lost + "; the station stops"}});
  std::lock_guard lock(mutex);
  quitting = true;
  wake.notify_all();
}

void Station::Impl::finishCurrent() {
  if (!current) return;
  ++commandsFinished;
  updatesAtLastCommandEnd = updatesReceived;
  current->done = true;
  current = nullptr;
  wake.notify_all();
}

void Station::Impl::fail(Job& job, const std::string& message) {
  std::lock_guard lock(mutex);
  job.error = message;
}

void Station::Impl::topLevelWait() {
  if (Job* job = nextJob()) runGuarded(*job);
}

// A modal dialog's loop waits here; a closing station closes the dialogs.
void Station::Impl::dialogWait() {
  if (Job* job = nextJob())
    runGuarded(*job);
  else
    engine::closeAllDialogs();
}

// Each command is one input of the person: the first data failure it
// meets is shown to them (host/data/company.h).
void Station::Impl::runGuarded(Job& job) {
  try {
    data::PersonInput input;
    run(job.command);
  } catch (const std::exception& e) {  // a ScriptError or a failure of the host
    fail(job, e.what());
  }
}

}  // namespace vx70
