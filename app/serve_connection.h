// The connections of `vx70 serve`, each served by a worker of its own from
// a bounded pool, so that slow or idle peers (a page's held stream, a
// keep-alive socket, a client that sends its headers a byte at a time) never
// hold up another request: every wait is bounded, the pool refuses what it
// cannot take at once, and a handler that waits long watches its peer and
// ends as soon as the peer goes away.
#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vx70::app {

struct ConnectionLimits {
  // Connections served at once; the next one is answered 503 and closed.
  std::size_t connections = 256;
  // A kept-alive connection waits this long for its next request.
  std::chrono::milliseconds idle{5000};
  // A request's head and body must arrive within this from its first byte.
  std::chrono::milliseconds request{10000};
  // One write to a peer that does not read gives up after this.
  std::chrono::milliseconds write{5000};
  // The most a request's head (request line and headers) may hold.
  std::size_t headBytes = 64 * 1024;
  // The most a request's body may hold on the wire (the routes answer 413
  // below this; this bounds what a connection reads whatever the route).
  std::size_t bodyBytes = (1u << 20) + 64 * 1024;
  // Requests on one kept-alive connection.
  std::size_t requestsPerConnection = 100;
};

// The connection that the calling worker serves, for handlers that wait
// long (a stream, a long poll) or leave a body unread.
class Connection {
 public:
  enum class Wake { Signalled, PeerGone, Stopping, TimedOut };

  // The connection this thread serves, or null outside a request.
  static Connection* current();

  // Waits until `fd` becomes readable (Signalled), the peer closes or
  // resets the connection (PeerGone), the server stops (Stopping), or the
  // timeout passes (TimedOut).
  Wake wait(int fd, std::chrono::milliseconds timeout) const;
  // Closes the connection after this answer: its request's body was not
  // read, so the next bytes are not a request.
  void closeAfterAnswer() { closeAfterAnswer_ = true; }

 private:
  friend class ConnectionServer;
  Connection(int socket, int stopFd) : socket_(socket), stopFd_(stopFd) {}

  int socket_;
  int stopFd_;
  bool closeAfterAnswer_ = false;
};

// A worker per connection, started as needed up to a bound and kept for
// the next one.  Past the bound the connection is handed back at once, on
// the accepting thread, to be refused.
class ConnectionPool final : public httplib::TaskQueue {
 public:
  explicit ConnectionPool(std::size_t workers) : workers_(workers) {}
  ~ConnectionPool() override;

  void enqueue(std::function<void()> serve) override;
  void shutdown() override;

  // Whether the connection served on this thread is one to refuse.
  static bool refusing();

 private:
  void work();

  const std::size_t workers_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::function<void()>> queue_;
  std::vector<std::thread> threads_;
  std::size_t busy_ = 0;  // connections queued or being served
  bool shutdown_ = false;
};

// httplib's server with connections served as above.
class ConnectionServer : public httplib::Server {
 public:
  explicit ConnectionServer(ConnectionLimits limits = {});
  ~ConnectionServer() override;

  // After binding: a backlog deep enough for a burst of connections.
  void deepenBacklog();
  // Ends every connection's waits now and later: the server is stopping.
  void stopConnections();
  const ConnectionLimits& limits() const { return limits_; }

 private:
  bool process_and_close_socket(socket_t sock) override;
  void serveRequests(int sock);

  const ConnectionLimits limits_;
  int stopFd_;  // an eventfd, readable once the server stops
};

}  // namespace vx70::app
