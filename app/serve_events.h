// The events of the station that `vx70 serve` runs, numbered in the order
// they happened, the latest of them kept for the browsers that poll.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <nlohmann/json.hpp>

namespace vx70::app {

class EventLog {
 public:
  explicit EventLog(std::size_t capacity = 1000) : capacity_(capacity) {}

  // Numbers the event ("seq", from 1), keeps it and wakes the waiters;
  // returns the numbered event.
  nlohmann::json add(nlohmann::json event);
  std::uint64_t lastSeq() const;
  // The kept events numbered after `since`, oldest first, waiting up to
  // `timeout` for one when there is none yet.  A `since` beyond the last
  // number (a page that saw an earlier run) answers at once with none.
  nlohmann::json after(std::uint64_t since, std::chrono::milliseconds timeout) const;
  // Ends every wait now and later: the server is stopping.
  void close();

 private:
  nlohmann::json keptAfter(std::uint64_t since) const;

  const std::size_t capacity_;
  mutable std::mutex mutex_;
  mutable std::condition_variable added_;
  std::deque<nlohmann::json> events_;
  std::uint64_t lastSeq_ = 0;
  bool closed_ = false;
};

}  // namespace vx70::app
