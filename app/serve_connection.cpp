#include "app/serve_connection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace vx70::app {

namespace {

using Clock = std::chrono::steady_clock;

thread_local Connection* currentConnection = nullptr;
thread_local bool refusingHere = false;

int millisUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::clamp<long long>(left.count(), 0, 24 * 3600 * 1000));
}

bool signalled(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) > 0;
}

// Waits for `events` on `sock` until the deadline, giving up at once when
// the server stops.  Returns the events that came, 0 on time-out or stop.
short awaitSocket(int sock, short events, int stopFd, Clock::time_point deadline) {
  for (;;) {
    std::array<pollfd, 2> fds{pollfd{sock, events, 0}, pollfd{stopFd, POLLIN, 0}};
    const int n = poll(fds.data(), fds.size(), millisUntil(deadline));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || fds[1].revents) return 0;
    return fds[0].revents;
  }
}

std::string addressText(const sockaddr_storage& address, int& port) {
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET) {
    const auto& in = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &in.sin_addr, text, sizeof text);
    port = ntohs(in.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& in6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &in6.sin6_addr, text, sizeof text);
    port = ntohs(in6.sin6_port);
  }
  return text;
}

// A connection's socket as httplib reads and writes it: reads buffered
// (httplib reads a request's head a byte at a time), each request bounded
// in time and size, writes bounded in time.
class ConnectionStream final : public httplib::Stream {
 public:
  ConnectionStream(int sock, int stopFd, const ConnectionLimits& limits)
      : sock_(sock), stopFd_(stopFd), limits_(limits) {}

  // Waits for the next request's first byte, at most the idle time; false
  // when the peer closed, stayed silent or the server stops.
  bool awaitRequest() {
    if (begin_ < end_) return true;
    const short came = awaitSocket(sock_, POLLIN, stopFd_, Clock::now() + limits_.idle);
    return (came & POLLIN) != 0;
  }
  // A request starts: its head and body get their time and size.
  void beginRequest() {
    deadline_ = Clock::now() + limits_.request;
    budget_ = limits_.headBytes;
  }
  // The head has been read; the body may follow.
  void headRead() { budget_ += limits_.bodyBytes; }
  // A read failed (too late, too long, the peer gone): whatever follows on
  // the connection is no request.
  bool broken() const { return broken_; }

  bool is_readable() const override {
    return begin_ < end_ || (awaitSocket(sock_, POLLIN, stopFd_, deadline_) & POLLIN) != 0;
  }
  bool is_writable() const override {
    const short came = awaitSocket(sock_, POLLOUT, stopFd_, Clock::now() + limits_.write);
    return (came & POLLOUT) && !(came & (POLLERR | POLLHUP));
  }

  ssize_t read(char* ptr, std::size_t size) override {
    if (begin_ == end_ && !fill()) return -1;
    const std::size_t n = std::min(size, end_ - begin_);
    std::memcpy(ptr, buffer_.data() + begin_, n);
    begin_ += n;
    return static_cast<ssize_t>(n);
  }

  ssize_t write(const char* ptr, std::size_t size) override {
    if (!is_writable()) return -1;
    return send(sock_, ptr, size, MSG_NOSIGNAL);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      ip = addressText(address, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
      ip = addressText(address, port);
  }
  socket_t socket() const override { return sock_; }

 private:
  // Reads what the peer sent into the empty buffer, within the request's
  // time and size.
  bool fill() {
    const bool ready = budget_ > 0 && (awaitSocket(sock_, POLLIN, stopFd_, deadline_) &
                                       (POLLIN | POLLHUP | POLLERR));
    const ssize_t n = ready ? recv(sock_, buffer_.data(), std::min(buffer_.size(), budget_), 0) : 0;
    broken_ = n <= 0;
    if (broken_) return false;
    begin_ = 0;
    end_ = static_cast<std::size_t>(n);
    budget_ -= end_;
    return true;
  }

  int sock_;
  int stopFd_;
  const ConnectionLimits& limits_;
  Clock::time_point deadline_ = Clock::now();
  std::size_t budget_ = 0;
  bool broken_ = false;
  std::array<char, 4096> buffer_{};
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
};

// The answer to a connection past the bound, written before its request
// is read.
void sendBusy(int sock) {
  static const std::string body = R"({"ok": false, "error": "the server is busy"})";
  const std::string answer =
      "HTTP/1.1 503 Service Unavailable\r\nContent-Type: application/json\r\n"
      "Cache-Control: no-store\r\nConnection: close\r\nContent-Length: " +
      std::to_string(body.size()) + "\r\n\r\n" + body;
  [[maybe_unused]] const ssize_t sent =
      send(sock, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

// Refuses a connection on the accepting thread, which must not wait: the
// answer goes out, what the peer has already sent is dropped (so that the
// close does not reset the connection under the answer), and it is closed.
void refuse(int sock) {
  sendBusy(sock);
  shutdown(sock, SHUT_WR);
  std::array<char, 4096> sink{};
  while (recv(sock, sink.data(), sink.size(), MSG_DONTWAIT) > 0) {
  }
  close(sock);
}

// Closes after the answer without losing it: a socket closed with unread
// input resets the connection, and the peer may then drop the answer it
// has not read yet.  So the peer is told that nothing more comes, and what
// it still sends is read and dropped, for a short while.
void closeGently(int sock, int stopFd) {
  shutdown(sock, SHUT_WR);
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  std::array<char, 16384> sink{};
  std::size_t dropped = 0;
  while (dropped < (4u << 20)) {
    if (!(awaitSocket(sock, POLLIN, stopFd, deadline) & (POLLIN | POLLHUP | POLLERR))) break;
    const ssize_t n = recv(sock, sink.data(), sink.size(), 0);
    if (n <= 0) break;
    dropped += static_cast<std::size_t>(n);
  }
  close(sock);
}

}  // namespace

Connection* Connection::current() { return currentConnection; }

Connection::Wake Connection::wait(int fd, std::chrono::milliseconds timeout) const {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    // POLLRDHUP: the peer closed its side (a tab closed); POLLIN is not
    // asked for, so a peer that sends more does not end the wait.
    std::array<pollfd, 3> fds{pollfd{fd, POLLIN, 0}, pollfd{socket_, POLLRDHUP, 0},
                              pollfd{stopFd_, POLLIN, 0}};
    const int n = poll(fds.data(), fds.size(), millisUntil(deadline));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Wake::PeerGone;
    if (fds[2].revents) return Wake::Stopping;
    if (fds[1].revents) return Wake::PeerGone;
    if (fds[0].revents) return Wake::Signalled;
    return Wake::TimedOut;
  }
}

ConnectionPool::~ConnectionPool() { shutdown(); }

bool ConnectionPool::refusing() { return refusingHere; }

void ConnectionPool::enqueue(std::function<void()> serve) {
  std::unique_lock lock(mutex_);
  if (busy_ >= workers_ || shutdown_) {
    lock.unlock();
    refusingHere = true;
    serve();
    refusingHere = false;
    return;
  }
  ++busy_;
  queue_.push_back(std::move(serve));
  if (threads_.size() < busy_) threads_.emplace_back([this] { work(); });
  queued_.notify_one();
}

void ConnectionPool::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    queued_.wait(lock, [&] { return shutdown_ || !queue_.empty(); });
    if (queue_.empty()) return;
    std::function<void()> serve = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    serve();
    lock.lock();
    --busy_;
  }
}

void ConnectionPool::shutdown() {
  {
    std::lock_guard lock(mutex_);
    if (shutdown_ && threads_.empty()) return;
    shutdown_ = true;
  }
  queued_.notify_all();
  for (auto& thread : threads_) thread.join();
  threads_.clear();
}

ConnectionServer::ConnectionServer(ConnectionLimits limits)
    : limits_(limits), stopFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (stopFd_ < 0) throw std::runtime_error("no eventfd for the server");
  new_task_queue = [this] { return new ConnectionPool(limits_.connections); };
  set_keep_alive_max_count(limits_.requestsPerConnection);
  // The Keep-Alive header that answers carry tells the idle time.
  set_keep_alive_timeout(std::chrono::duration_cast<std::chrono::seconds>(limits_.idle).count());
}

ConnectionServer::~ConnectionServer() { close(stopFd_); }

void ConnectionServer::deepenBacklog() { ::listen(svr_sock_, SOMAXCONN); }

void ConnectionServer::stopConnections() {
  const eventfd_t one = 1;
  eventfd_write(stopFd_, one);
}

bool ConnectionServer::process_and_close_socket(socket_t sock) {
  if (ConnectionPool::refusing()) {
    refuse(sock);
    return true;
  }
  serveRequests(sock);
  return true;
}

void ConnectionServer::serveRequests(int sock) {
  // An answer goes out as its head and then its body; without this the
  // body waits for the peer's delayed acknowledgement of the head (40 ms).
  const int noDelay = 1;
  setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
  ConnectionStream stream(sock, stopFd_, limits_);
  Connection connection(sock, stopFd_);
  currentConnection = &connection;
  for (std::size_t served = 0; served < keep_alive_max_count_; ++served) {
    if (signalled(stopFd_) || !stream.awaitRequest()) break;
    stream.beginRequest();
    bool peerClosing = false;
    const bool last = served + 1 == keep_alive_max_count_;
    // Answers go out uncompressed: compressing one (brotli, which browsers
    // ask for first) takes longer than sending it whole, 10 ms for a state.
    bool answered = false;
    bool headRead = false;
    try {
      answered = process_request(stream, last, peerClosing, [&](httplib::Request& req) {
        stream.headRead();
        headRead = true;
        req.headers.erase("Accept-Encoding");
      });
    } catch (...) {
      // An answer that failed half-written (a stream's provider): the
      // connection ends, the worker serves on.
    }
    // A head that could not be read (answered 400 or 414) leaves the rest
    // of its request unread, and that is no request of its own.
    if (answered && !headRead) connection.closeAfterAnswer_ = true;
    if (!answered || peerClosing || stream.broken() || connection.closeAfterAnswer_) break;
  }
  currentConnection = nullptr;
  if (connection.closeAfterAnswer_) return closeGently(sock, stopFd_);
  shutdown(sock, SHUT_RDWR);
  close(sock);
}

}  // namespace vx70::app
