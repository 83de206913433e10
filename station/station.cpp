// The station's public face: one station a process (the module, the
// engine and the global block exist once), started and stopped with the
// object, taking one command at a time from the front end's thread and
// giving it every event through its sink.
#include "station/station.h"

#include <atomic>
#include <stdexcept>

#include "host/codepage.h"
#include "station/station_impl.h"

namespace vx70 {

namespace {

std::atomic<bool> g_stationRunning{false};

}  // namespace

// Every text of an event was converted where the event was built; what
// is still not UTF-8 (a file name of another code page) must not make the
// front end's JSON invalid.
void Station::Impl::emit(const nlohmann::json& event) {
  if (!sink) return;
  nlohmann::json valid = event;
  codepage::jsonValidUtf8(valid);
  sink(valid);
}

void Station::Impl::tell(const nlohmann::json& event) { emit(event); }

Station::Station(const StationOptions& options, EventSink sink) : impl_(new Impl) {
  if (g_stationRunning.exchange(true))
    throw std::runtime_error("a station already runs in this process");
  impl_->options = options;
  impl_->sink = std::move(sink);
  try {
    impl_->start();
  } catch (...) {
    g_stationRunning = false;
    throw;
  }
}

Station::~Station() {
  impl_->stop();
  g_stationRunning = false;
}

void Station::execute(const std::string& line, int lineNumber) {
  Impl::Job job;
  job.command = script::parseCommand(line, lineNumber);
  if (job.command.empty()) return;
  impl_->submit(job);
  if (!job.error.empty()) throw script::ScriptError(lineNumber, codepage::validUtf8(job.error));
}

bool Station::questionPending() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->pending.has_value();
}

std::string Station::pendingQuestion() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->pending ? questionName(*impl_->pending) : "";
}

}  // namespace vx70
