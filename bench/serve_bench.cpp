// What a page waits for from `vx70 serve` on loopback: a GET /api/state
// while N other connections hold on (sending their headers slowly), and a
// command's change arriving on the page's stream (from sending the command
// to the patch read).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "bench/demo_company.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// `vx70 serve` on a demonstration company, on a free port.
class Server {
 public:
  Server() {
    fs::create_directories(company_.root() + "/web");
    std::ofstream(company_.root() + "/web/index.html") << "<!doctype html>";
    start(company_.dir());
  }
  ~Server() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }

 private:
  void start(const std::string& dir) {
    int out[2];
    if (pipe(out) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      setenv("VX70_MODULE", VX70_MODULE_PATH, 1);
      const std::string web = company_.root() + "/web";
      execl(VX70_PROGRAM_PATH, "vx70", "serve", "--port", "0", "--data", dir.c_str(), "--web-root",
            web.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    port_ = std::atoi(line.c_str() + line.find("127.0.0.1:") + 10);
  }

  vx70::bench::DemoCompany company_;
  pid_t pid_ = -1;
  int port_ = 0;
};

Server& server() {
  static Server instance;
  return instance;
}

int connectTo(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) std::abort();
  return fd;
}

void sendAll(int fd, const std::string& bytes) {
  if (send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
    std::abort();
}

// Reads from `fd` into `buffer` until it holds `marker`.
void readThrough(int fd, std::string& buffer, const std::string& marker) {
  char chunk[16384];
  while (buffer.find(marker) == std::string::npos) {
    const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) std::abort();
    buffer.append(chunk, static_cast<std::size_t>(n));
  }
}

// Reads one whole answer (it has a Content-Length) off a kept-alive
// connection; false when the server closes the connection after it.
bool readAnswer(int fd) {
  std::string buffer;
  readThrough(fd, buffer, "\r\n\r\n");
  const std::size_t at = buffer.find("Content-Length: ");
  const std::size_t length = std::strtoul(buffer.c_str() + at + 16, nullptr, 10);
  const std::size_t whole = buffer.find("\r\n\r\n") + 4 + length;
  char chunk[16384];
  while (buffer.size() < whole) {
    const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) std::abort();
    buffer.append(chunk, static_cast<std::size_t>(n));
  }
  return buffer.find("Connection: close") == std::string::npos;
}

void BM_StateWhileConnectionsHoldOn(benchmark::State& state) {
  const Server& s = server();
  std::vector<int> slow;
  for (int i = 0; i < state.range(0); ++i) {
    slow.push_back(connectTo(s.port()));
    sendAll(slow.back(), "GET /api/state HTTP/1.1\r\nHost: " + s.host());
  }
  const std::string request = "GET /api/state HTTP/1.1\r\nHost: " + s.host() + "\r\n\r\n";
  for (auto _ : state) {
    const int fd = connectTo(s.port());
    sendAll(fd, request);
    readAnswer(fd);
    close(fd);
  }
  for (int fd : slow) close(fd);
}
BENCHMARK(BM_StateWhileConnectionsHoldOn)->Arg(0)->Arg(200)->Unit(benchmark::kMicrosecond);

// Types into a field of an open dialog, text that differs each time, and
// times it until the stream's patch has arrived.
void BM_CommandToPush(benchmark::State& state) {
  const Server& s = server();
  const int stream = connectTo(s.port());
  std::string pushed;
  sendAll(stream, "GET /api/stream HTTP/1.1\r\nHost: " + s.host() + "\r\n\r\n");
  readThrough(stream, pushed, "event: state");
  int commands = connectTo(s.port());
  auto post = [&](const std::string& line) {
    const std::string body = nlohmann::json{{"command", line}, {"state", false}}.dump();
    sendAll(commands, "POST /api/command HTTP/1.1\r\nHost: " + s.host() + "\r\nOrigin: http://" +
                          s.host() + "\r\nContent-Type: application/json\r\nContent-Length: " +
                          std::to_string(body.size()) + "\r\n\r\n" + body);
  };
  post("open 3600");
  readAnswer(commands);
  int n = 0;
  for (auto _ : state) {
    pushed.clear();
    const auto start = Clock::now();
    post("type 3601 1673 \"Bench " + std::to_string(++n) + "\"");
    readThrough(stream, pushed, "Bench " + std::to_string(n));
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    if (readAnswer(commands)) continue;
    close(commands);
    commands = connectTo(s.port());
  }
  post("click 3600 2");
  readAnswer(commands);
  close(commands);
  close(stream);
}
BENCHMARK(BM_CommandToPush)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
