#include "app/serve_events.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <stdexcept>

namespace vx70::app {

using nlohmann::json;

Wakeup::Wakeup() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (fd_ < 0) throw std::runtime_error("no eventfd for a wake-up");
}

Wakeup::~Wakeup() { ::close(fd_); }

void Wakeup::signal() { eventfd_write(fd_, 1); }

void Wakeup::clear() {
  eventfd_t count = 0;
  eventfd_read(fd_, &count);
}

json EventLog::add(json event) {
  {
    std::lock_guard lock(mutex_);
    event["seq"] = ++lastSeq_;
    events_.push_back(event);
    while (events_.size() > capacity_) events_.pop_front();
  }
  added_.notify_all();
  signalWatchers();
  return event;
}

std::uint64_t EventLog::lastSeq() const {
  std::lock_guard lock(mutex_);
  return lastSeq_;
}

json EventLog::after(std::uint64_t since, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  added_.wait_for(lock, timeout, [&] { return closed_ || lastSeq_ != since; });
  return keptAfter(since);
}

json EventLog::keptAfter(std::uint64_t since) const {
  json out = json::array();
  for (const json& e : events_)
    if (e["seq"].get<std::uint64_t>() > since) out.push_back(e);
  return out;
}

bool EventLog::waiting(std::uint64_t since) const {
  std::lock_guard lock(mutex_);
  return !closed_ && lastSeq_ == since;
}

void EventLog::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  added_.notify_all();
  signalWatchers();
}

bool EventLog::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

void EventLog::watch(Wakeup& wakeup) {
  std::lock_guard lock(watchMutex_);
  watchers_.insert(&wakeup);
}

void EventLog::unwatch(Wakeup& wakeup) {
  std::lock_guard lock(watchMutex_);
  watchers_.erase(&wakeup);
}

void EventLog::changed() { signalWatchers(); }

void EventLog::signalWatchers() {
  std::lock_guard lock(watchMutex_);
  for (Wakeup* wakeup : watchers_) wakeup->signal();
}

}  // namespace vx70::app
