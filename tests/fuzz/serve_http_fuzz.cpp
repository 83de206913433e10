// libFuzzer target for the HTTP side of `vx70 serve`: one server with a
// real station on a fresh company answers every input, sent over a
// loopback connection as one request.  The first byte picks the method and
// what the request leaves out or gets wrong (Origin, Host, Content-Type);
// the first line is the target, the rest the body.  Every request is
// answered; never with 500 (an exception the routes let through) or with a
// body that is not JSON where JSON is promised; a request that names
// another host, or changes something without the page's Origin and JSON,
// is refused.  Requests that wait by design (the event stream, the long
// poll, `wait`) are not sent.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "app/serve_events.h"
#include "app/serve_http.h"
#include "app/serve_session.h"
#include "station/script.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

int port = -1;
std::string folder;  // the company's, removed at the end
// Kept for the whole run.
vx70::app::EventLog* events = nullptr;
vx70::app::ServeSession* session = nullptr;
vx70::app::ServeHttp* server = nullptr;

void require(bool holds, const char* what, const std::string& detail = "") {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n%s\n", what, detail.c_str());
  std::abort();
}

// The station's thread runs until the process ends, so the statics of the
// data library and the engine must not be destroyed under it: a normal end
// (libFuzzer leaves by exit(0) only when it found nothing) removes the
// company and ends at once.
// Handlers run last-registered first, so one is registered again now and
// then, after the statics that the inputs so far have brought about.
void endBeforeStatics() {
  static std::uint64_t inputs = 0;
  ++inputs;
  if ((inputs & (inputs - 1)) == 0)
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
      std::_Exit(0);
    });
}

// The server and its station live for the whole run.
void startServer() {
  folder = (fs::temp_directory_path() / "vx70-serve-fuzz-XXXXXX").string();
  require(mkdtemp(folder.data()) != nullptr, "no folder for the company");
  const std::string& dir = folder;
  const std::string init = std::string(VX70_PROGRAM) + " init '" + dir + "/co' >/dev/null";
  require(std::system(init.c_str()) == 0, "the company cannot be made");
  vx70::StationOptions options;
  options.dataDir = dir + "/co";
  events = new vx70::app::EventLog;
  session = new vx70::app::ServeSession(options, *events);
  server = new vx70::app::ServeHttp(*session, *events, VX70_WEB_ROOT);
  port = server->bind("127.0.0.1", 0);
  require(port > 0, "the server cannot bind");
  std::thread([] { server->run(); }).detach();
}

enum Flags : std::uint8_t {
  kNoOrigin = 4,
  kOtherHost = 8,
  kNoJson = 16,
};

struct Request {
  std::string method;
  std::string target;
  std::string body;
  std::uint8_t flags;
};

std::string clean(const std::string& target) {
  std::string out = target.empty() || target[0] != '/' ? "/" : "";
  for (const char c : target)
    if (static_cast<unsigned char>(c) > ' ' && c != 0x7F) out += c;
  return out;
}

// Waits by design: the stream, the long poll, and the `wait` command.
bool waits(const Request& r) {
  if (r.target.rfind("/api/stream", 0) == 0 || r.target.rfind("/api/events", 0) == 0) return true;
  const json body = json::parse(r.body, nullptr, false);
  if (!body.is_object() || !body.contains("command") || !body["command"].is_string()) return false;
  try {
    const auto command = vx70::script::parseCommand(body["command"].get<std::string>(), 0);
    return !command.empty() && command.word() == "wait";
  } catch (const vx70::script::ScriptError&) {
    return false;
  }
}

std::string wire(const Request& r) {
  const std::string self = "127.0.0.1:" + std::to_string(port);
  std::string text = r.method + " " + r.target + " HTTP/1.1\r\n";
  text += "Host: " + std::string(r.flags & kOtherHost ? "elsewhere.example:80" : self) + "\r\n";
  if (!(r.flags & kNoOrigin)) text += "Origin: http://" + self + "\r\n";
  text += std::string("Content-Type: ") + (r.flags & kNoJson ? "text/plain" : "application/json");
  text += "\r\nContent-Length: " + std::to_string(r.body.size()) + "\r\nConnection: close\r\n\r\n";
  return text + r.body;
}

// A connect that libFuzzer's timer signal interrupts goes on in the
// background: wait for it to finish instead of calling it refused.
bool connectTo(int sock, const sockaddr_in& address) {
  if (::connect(sock, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    return true;
  if (errno != EINTR) return false;
  pollfd writable{sock, POLLOUT, 0};
  while (::poll(&writable, 1, -1) < 0 && errno == EINTR) {
  }
  int error = 0;
  socklen_t length = sizeof error;
  ::getsockopt(sock, SOL_SOCKET, SO_ERROR, &error, &length);
  errno = error;
  return error == 0;
}

std::string exchange(const std::string& request) {
  const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  require(connectTo(sock, address), "the server takes no connection", std::strerror(errno));
  for (std::size_t sent = 0; sent < request.size();) {
    const ssize_t n = ::send(sock, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;  // libFuzzer's own timer signal
    if (n <= 0) break;                      // the server may answer and close before the body
    sent += static_cast<std::size_t>(n);
  }
  std::string answer;
  char chunk[4096];
  ssize_t n;
  while ((n = ::recv(sock, chunk, sizeof chunk, 0)) > 0 || (n < 0 && errno == EINTR))
    if (n > 0) answer.append(chunk, n);
  if (n < 0) answer += std::string("\n(recv: ") + std::strerror(errno) + ")";
  ::close(sock);
  return answer;
}

void checkAnswer(const Request& r, const std::string& answer) {
  require(answer.rfind("HTTP/1.1 ", 0) == 0 && answer.size() >= 12, "no answer",
          wire(r) + "\n--\n" + answer);
  const int status = std::atoi(answer.c_str() + 9);
  require(status != 500, "an exception escaped a route", wire(r) + "\n--\n" + answer);
  const bool changes = r.method != "GET" && r.method != "HEAD";
  // httplib itself refuses a request it cannot read (400, 414) first.
  const bool refused = status == 403 || status == 400 || status == 414;
  if (r.flags & kOtherHost) require(refused, "another host's request is served", wire(r));
  if (changes && (r.flags & (kNoOrigin | kNoJson)))
    require(refused, "a change without the page's JSON is let in", wire(r));
  const std::size_t head = answer.find("\r\n\r\n");
  require(head != std::string::npos, "an answer without an end of head", answer);
  // One request, one answer: nothing after it is read as another request.
  const std::size_t length = answer.find("\r\nContent-Length: ");
  if (length < head)
    require(answer.size() == head + 4 + std::strtoul(answer.c_str() + length + 18, nullptr, 10) ||
                r.method == "HEAD",
            "one request is answered more than once", wire(r) + "\n--\n" + answer);
  if (answer.find("Content-Type: application/json") < head && r.method != "HEAD")
    require(json::accept(answer.substr(head + 4)), "a JSON answer is not JSON", answer);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  startServer();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  endBeforeStatics();
  if (size == 0) return 0;
  static const char* const kMethods[] = {"GET", "POST", "HEAD", "PUT"};
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t line = std::min(text.find('\n'), text.size());
  Request r{kMethods[data[0] % 4], clean(text.substr(0, line)),
            line < text.size() ? text.substr(line + 1) : "", data[0]};
  if (waits(r)) return 0;
  checkAnswer(r, exchange(wire(r)));
  return 0;
}
