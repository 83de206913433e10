// `vx70 serve` as its tests meet it: a child process on a free port, and
// raw connections to it for what an HTTP client library hides (a stream
// read message by message, a peer that goes away, a request cut short).
#pragma once

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "tests/support/drive_support.h"

namespace vx70::test {

// A `vx70 serve --port 0` child process with the probe module (whose Init
// handlers ask questions by creation parameter) and a page of our own.
class ServeProcess {
 public:
  ServeProcess(const TestCompany& company, std::vector<std::string> options = {}, bool probe = true)
      : webRoot_(company.scratch("web")), probe_(probe) {
    writePage();
    std::vector<std::string> args{"vx70",   "serve",       "--port",     "0",
                                  "--data", company.dir(), "--web-root", webRoot_.string()};
    args.insert(args.end(), options.begin(), options.end());
    start(args);
  }
  ~ServeProcess() {
    if (pid_ > 0) stop();
  }
  ServeProcess(const ServeProcess&) = delete;
  ServeProcess& operator=(const ServeProcess&) = delete;

  int port() const { return port_; }
  std::string origin() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  const std::filesystem::path& webRoot() const { return webRoot_; }

  httplib::Client client() const {
    httplib::Client c("127.0.0.1", port_);
    c.set_read_timeout(40, 0);
    return c;
  }

  json state() const {
    auto res = client().Get("/api/state");
    if (!res || res->status != 200) throw std::runtime_error("no state");
    return json::parse(res->body);
  }

  // Posts a command as the server's own page does.
  json command(const std::string& line, bool withState = true) const {
    json body{{"command", line}};
    if (!withState) body["state"] = false;
    auto res =
        client().Post("/api/command", {{"Origin", origin()}}, body.dump(), "application/json");
    if (!res || res->status != 200) throw std::runtime_error("command not taken: " + line);
    return json::parse(res->body);
  }

  // Sends the signal and returns the exit status (-1: no normal exit).
  int stop(int signal = SIGTERM) {
    kill(pid_, signal);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  void writePage() {
    std::filesystem::create_directories(webRoot_ / "dialog");
    for (const auto& [file, text] : std::initializer_list<std::pair<const char*, const char*>>{
             {"index.html", "<!doctype html><title>page</title>"},
             {"app.js", "// app"},
             {"dialog/surface.js", "// surface"},
             {"style.css", "/* style */"},
             {"98.css", "/* 98 */"},
             {"ms_sans_serif.woff2", "font"},
             {"notes.txt", "not served"},
             {"../secret.txt", "secret"}})
      std::ofstream(webRoot_ / file) << text;
  }

  void start(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("no pipe");
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      if (probe_) setenv("VX70_MODULE", VX70_PROBE_MODULE_PATH, 1);
      std::vector<char*> argv;
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(VX70_PROGRAM_PATH, argv.data());
      _exit(127);
    }
    close(out[1]);
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    const std::string prefix = "vx70 serve: open http://127.0.0.1:";
    if (line.rfind(prefix, 0) != 0) throw std::runtime_error("no address line: " + line);
    port_ = std::stoi(line.substr(prefix.size()));
    if (line.substr(prefix.size() + std::to_string(port_).size()) != "/ in a browser")
      throw std::runtime_error("odd address line: " + line);
  }

  std::filesystem::path webRoot_;
  bool probe_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// One TCP connection to the server, read and written by hand.  A read
// that gets nothing for `patience` fails the test rather than hang it.
class RawConnection {
 public:
  explicit RawConnection(int port, std::chrono::seconds patience = std::chrono::seconds(20))
      : fd_(socket(AF_INET, SOCK_STREAM, 0)), patience_(patience) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval wait{static_cast<time_t>(patience.count()), 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      throw std::runtime_error("cannot connect");
  }
  ~RawConnection() { close(fd_); }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  void send(const std::string& bytes) const {
    ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }
  // A GET as a browser sends it.
  void get(const std::string& path, const std::string& host) const {
    send("GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n");
  }
  // Tells the server that nothing more comes, as a closed page does.
  void finish() const { shutdown(fd_, SHUT_WR); }

  // Reads until `marker` has arrived; what came before it (with it) is
  // taken from the received text.  Empty when the connection ended first.
  std::string readThrough(const std::string& marker) {
    std::size_t at;
    while ((at = received_.find(marker)) == std::string::npos)
      if (!receive()) return "";
    std::string head = received_.substr(0, at + marker.size());
    received_.erase(0, at + marker.size());
    return head;
  }
  // Whether the server closes the connection within the patience,
  // whatever it sent before (a stream's keep-alive comments included).
  bool closedByServer() {
    const auto deadline = std::chrono::steady_clock::now() + patience_;
    while (std::chrono::steady_clock::now() < deadline && receive()) {
    }
    return ended_;
  }
  // The status of the answer that arrives.
  int status() {
    const std::string head = readThrough("\r\n\r\n");
    return head.size() > 12 ? std::stoi(head.substr(9, 3)) : 0;
  }

  // The next Server-Sent Events message of a chunked stream (after its
  // head), as {"event", "id", "data"}; comments skipped.
  json nextMessage() {
    for (;;) {
      std::size_t at;
      while ((at = events_.find("\n\n")) == std::string::npos)
        if (!nextChunk()) return json();
      std::string text = events_.substr(0, at + 1);
      events_.erase(0, at + 2);
      json message = json::object();
      for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
           start = end + 1) {
        const std::string line = text.substr(start, end - start);
        const std::size_t colon = line.find(": ");
        if (colon == std::string::npos || colon == 0) continue;
        message[line.substr(0, colon)] = line.substr(colon + 2);
      }
      if (message.empty()) continue;
      if (message.contains("data"))
        message["data"] = json::parse(message["data"].get<std::string>());
      return message;
    }
  }

 private:
  bool receive() {
    char buffer[4096];
    const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
    if (n == 0) ended_ = true;
    if (n <= 0) return false;
    received_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }
  bool nextChunk() {
    const std::string size = readThrough("\r\n");
    if (size.empty()) return false;
    const std::size_t length = std::stoul(size, nullptr, 16);
    while (received_.size() < length + 2)
      if (!receive()) return false;
    events_ += received_.substr(0, length);
    received_.erase(0, length + 2);
    return length > 0;
  }

  int fd_;
  std::chrono::seconds patience_;
  std::string received_;
  std::string events_;
  bool ended_ = false;
};

}  // namespace vx70::test
