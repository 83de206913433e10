// The events of the station that `vx70 serve` runs, numbered in the order
// they happened, the latest of them kept for the browsers that poll, and
// the wake-ups of the pages' streams and polls, which wait on a socket as
// well and so wait in poll().
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>

namespace vx70::app {

// A signal that poll() can wait for: an eventfd, readable once signalled
// until cleared.
class Wakeup {
 public:
  Wakeup();
  ~Wakeup();
  Wakeup(const Wakeup&) = delete;
  Wakeup& operator=(const Wakeup&) = delete;

  int fd() const { return fd_; }
  void signal();
  void clear();

 private:
  int fd_;
};

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
  // Whether a poll since `since` still waits: no event after it yet.
  bool waiting(std::uint64_t since) const;
  // Ends every wait now and later: the server is stopping.
  void close();
  bool closed() const;

  // Signals `wakeup` on every event and change until unwatched.
  void watch(Wakeup& wakeup);
  void unwatch(Wakeup& wakeup);
  // Signals the watchers without an event: a command may have changed the
  // state (typed text raises no event).
  void changed();

  // Watches for the life of a scope.
  class Watch {
   public:
    Watch(EventLog& log, Wakeup& wakeup) : log_(log), wakeup_(wakeup) { log_.watch(wakeup_); }
    ~Watch() { log_.unwatch(wakeup_); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

   private:
    EventLog& log_;
    Wakeup& wakeup_;
  };

 private:
  nlohmann::json keptAfter(std::uint64_t since) const;
  void signalWatchers();

  const std::size_t capacity_;
  mutable std::mutex mutex_;
  mutable std::condition_variable added_;
  std::deque<nlohmann::json> events_;
  std::uint64_t lastSeq_ = 0;
  bool closed_ = false;
  std::mutex watchMutex_;
  std::set<Wakeup*> watchers_;
};

}  // namespace vx70::app
