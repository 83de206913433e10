// The pages' streams of `vx70 serve` (GET /api/stream, Server-Sent
// Events): the whole state once, then after every change a patch from the
// state the stream last sent, with the events numbered since.  The session
// computes a changed state once; each stream diffs against its own last.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "app/serve_events.h"

namespace httplib {
class DataSink;
}

namespace vx70::app {

class ServeSession;

// Bounds the open streams, and lets a command's answer wait until every
// stream has looked at the change the command made.
class StreamHub {
 public:
  explicit StreamHub(EventLog& log, std::size_t capacity = 32) : log_(log), capacity_(capacity) {}

  // One open stream's place among them.
  class Place {
   public:
    Place(StreamHub& hub) : hub_(hub) {}
    ~Place() { hub_.leave(this); }
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;

    // A look at the station starts: the change round it will see.
    std::uint64_t beginLook() const { return hub_.round(); }
    // The look is over (its message, if any, written).
    void endLook(std::uint64_t round) { hub_.looked(this, round); }

   private:
    friend class StreamHub;
    StreamHub& hub_;
    std::uint64_t looked_ = 0;
  };

  // A place for a new stream, or null when `capacity` streams are open.
  std::unique_ptr<Place> join();
  // The station changed: wakes the streams (and the polls) and waits, at
  // most `bound`, until every stream has looked at the change.
  void changed(std::chrono::milliseconds bound);

 private:
  std::uint64_t round() const;
  void looked(Place* place, std::uint64_t round);
  void leave(Place* place);
  bool allLooked(std::uint64_t round) const;

  EventLog& log_;
  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable looked_;
  std::set<Place*> places_;
  std::uint64_t round_ = 0;
};

// One page's stream: its messages and its waits.
class StateStream {
 public:
  // How long a silent stream waits before a comment keeps it open.
  static constexpr std::chrono::seconds kKeepAlive{15};

  StateStream(ServeSession& session, EventLog& log, std::unique_ptr<StreamHub::Place> place);

  // httplib's chunked content provider: writes the next message once
  // there is one (the whole state first), a comment after a silent while;
  // false once the peer has gone (the connection is then closed).
  bool provide(httplib::DataSink& sink);

  // The first message: the whole state.
  std::string first();
  // The next message: the events since the last one and the patch from
  // the state last sent; "" when there is neither.
  std::string next();

 private:
  bool await(httplib::DataSink& sink);

  ServeSession& session_;
  EventLog& log_;
  std::unique_ptr<StreamHub::Place> place_;
  Wakeup wakeup_;
  EventLog::Watch watch_;
  std::shared_ptr<const nlohmann::json> sent_;  // the state last sent
  std::uint64_t seq_ = 0;                       // the last event sent
  bool started_ = false;
};

}  // namespace vx70::app
