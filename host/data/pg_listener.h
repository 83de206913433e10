// Listens on a company's broadcast channel over a connection of its own,
// in a thread of its own, so that a station hears of another's broadcast
// at once instead of asking the server over and over.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "host/data/backend.h"

namespace vx70::data {

class PgListener {
 public:
  PgListener(const CompanyAddress& address, std::string channel, std::function<void()> wake);
  // Stops the thread and closes its connection.
  ~PgListener();
  PgListener(const PgListener&) = delete;
  PgListener& operator=(const PgListener&) = delete;

  // False while the listener cannot vouch for every notice: before it
  // listens, and for good once its connection failed.
  bool healthy() const { return healthy_.load(); }
  // True when a notice may have arrived since the previous call (always
  // while not healthy); clears the mark.
  bool takeNotified() { return notified_.exchange(false) || !healthy(); }
  // The same, without clearing it.
  bool notified() const { return notified_.load() || !healthy(); }

 private:
  void run();
  // Waits until the connection's socket is ready for what libpq wants, or
  // the store is closing; false when closing.
  bool await(bool forWriting);

  CompanyAddress address_;
  std::string channel_;
  std::function<void()> wake_;
  std::atomic<bool> healthy_{false};
  std::atomic<bool> notified_{true};
  int stopPipe_[2] = {-1, -1};
  void* conn_ = nullptr;
  std::thread thread_;
};

}  // namespace vx70::data
