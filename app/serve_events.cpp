#include "app/serve_events.h"

namespace vx70::app {

using nlohmann::json;

json EventLog::add(json event) {
  {
    std::lock_guard lock(mutex_);
    event["seq"] = ++lastSeq_;
    events_.push_back(event);
    while (events_.size() > capacity_) events_.pop_front();
  }
  added_.notify_all();
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

void EventLog::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  added_.notify_all();
}

}  // namespace vx70::app
