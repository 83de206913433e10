#include "app/serve_http.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/serve_connection.h"
#include "app/serve_events.h"
#include "app/serve_push.h"
#include "app/serve_session.h"

namespace vx70::app {

using nlohmann::json;

namespace {

// The largest wallpaper bitmap served.
constexpr std::uintmax_t kBitmapLimit = 64u << 20;

// How long a poll for events waits when nothing happens.
constexpr std::chrono::seconds kPollWait{25};
// The streams open at once: a page opens one.
constexpr std::size_t kStreams = 32;
// How long a command's answer waits for the streams to take its change,
// so that a page normally sees the change no later than the answer.
constexpr std::chrono::milliseconds kStreamsTakeChange{100};
// A command is one line; a system file is saved whole, and its text may
// grow a few times over as escaped JSON.
constexpr std::size_t kCommandBody = 64u << 10;
constexpr std::size_t kSystemFileBody = 1u << 20;

std::size_t bodyLimit(const std::string& path) {
  return path == "/api/sysedit" ? kSystemFileBody : kCommandBody;
}

// The body length a request declares; 0 when it declares none.
std::uint64_t declaredLength(const httplib::Request& req) {
  const std::string text = req.get_header_value("Content-Length");
  return text.empty() ? 0 : std::strtoull(text.c_str(), nullptr, 10);
}

// The connection is closed after an answer given before the body was read,
// and the answer says so (a browser then sends its next request on
// another).
void closeAfterAnswer(httplib::Response& res) {
  res.set_header("Connection", "close");
  if (Connection* connection = Connection::current()) connection->closeAfterAnswer();
}

struct Asset {
  const char* file;
  const char* type;
};

// The only files served besides the page's modules: the page and the style
// sheet with its fonts.
const std::map<std::string, Asset>& assets() {
  static const std::map<std::string, Asset> table{
      {"/", {"index.html", "text/html; charset=utf-8"}},
      {"/style.css", {"style.css", "text/css; charset=utf-8"}},
      {"/98.css", {"98.css", "text/css; charset=utf-8"}},
      {"/ms_sans_serif.woff", {"ms_sans_serif.woff", "font/woff"}},
      {"/ms_sans_serif.woff2", {"ms_sans_serif.woff2", "font/woff2"}},
      {"/ms_sans_serif_bold.woff", {"ms_sans_serif_bold.woff", "font/woff"}},
      {"/ms_sans_serif_bold.woff2", {"ms_sans_serif_bold.woff2", "font/woff2"}},
  };
  return table;
}

// Texts of the module are single-byte; a byte that is not UTF-8 goes out
// as U+FFFD rather than failing the whole answer.
void sendJson(httplib::Response& res, const json& body, int status = 200) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(body.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
}

void sendError(httplib::Response& res, int status, const std::string& error) {
  sendJson(res, json{{"ok", false}, {"error", error}}, status);
}

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The media type of a Content-Type header, without its parameters.
std::string mediaType(const std::string& contentType) {
  std::string type = contentType.substr(0, contentType.find(';'));
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  type.erase(type.begin(), std::find_if_not(type.begin(), type.end(), blank));
  type.erase(std::find_if_not(type.rbegin(), type.rend(), blank).base(), type.end());
  return lowered(type);
}

// Routes are patterns; a file's path matches only itself.
std::string exactPattern(const std::string& path) {
  std::string pattern;
  for (char c : path) {
    if (c == '.') pattern += '\\';
    pattern += c;
  }
  return pattern;
}

bool readFile(const std::filesystem::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

// The wallpaper as the page may have it: a regular file named *.bmp that
// holds a Windows bitmap ("BM"), of a sane size.  Anything else the
// station names is not served, so the endpoint never reads out another file.
bool readBitmap(const std::string& file, std::string& content) {
  namespace fs = std::filesystem;
  if (file.empty()) return false;
  const fs::path path(file);
  if (lowered(path.extension().string()) != ".bmp") return false;
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return false;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error || size > kBitmapLimit) return false;
  return readFile(path, content) && content.rfind("BM", 0) == 0;
}

// The name a saved report offers: the layout's, without the random part.
std::string reportFileName(const std::string& path) {
  std::string name = std::filesystem::path(path).filename().string();
  const std::size_t dash = name.rfind('-');
  return dash == std::string::npos ? name : name.substr(0, dash) + ".pdf";
}

}  // namespace

ServeHttp::ServeHttp(ServeSession& session, EventLog& log, std::filesystem::path webRoot)
    : session_(session),
      log_(log),
      webRoot_(std::move(webRoot)),
      server_(std::make_unique<ConnectionServer>()),
      hub_(std::make_unique<StreamHub>(log, kStreams)) {
  routes();
}

ServeHttp::~ServeHttp() = default;

std::string ServeHttp::originOf(const std::string& host, int port) {
  const bool ipv6 = host.find(':') != std::string::npos;
  return "http://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

int ServeHttp::bind(const std::string& host, int port) {
  int bound = port == 0 ? server_->bind_to_any_port(host) : port;
  if (port != 0 && !server_->bind_to_port(host, port)) return -1;
  if (bound < 0) return -1;
  server_->deepenBacklog();
  hosts_.clear();
  origins_.clear();
  for (const std::string& name : {host, std::string("127.0.0.1"), std::string("localhost")}) {
    std::string origin = originOf(lowered(name), bound);
    origins_.insert(origin);
    hosts_.insert(origin.substr(std::string("http://").size()));
  }
  return bound;
}

bool ServeHttp::run() {
  bool served = server_->listen_after_bind();
  finished_ = true;
  return served;
}

// A stop that comes before the server has started listening (a signal at
// start-up) waits for it to start: stopping a server not yet running does
// nothing, and stopping one twice is an error.
void ServeHttp::stop() {
  while (!finished_) {
    if (server_->is_running()) {
      server_->stopConnections();
      server_->stop();
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Every request must name this server (a page of another site that a
// rebound host name leads here names its own), and every request that
// changes anything must come from this server's page, as JSON.
bool ServeHttp::permitted(const std::string& method, const std::string& host,
                          const std::string& origin, const std::string& contentType,
                          std::string& why) const {
  if (!hosts_.count(lowered(host))) {
    why = "the request names another host (\"" + host + "\")";
    return false;
  }
  if (method == "GET" || method == "HEAD") return true;
  if (!origins_.count(lowered(origin))) {
    why = origin.empty() ? "the request carries no Origin"
                         : "the request comes from another origin (\"" + origin + "\")";
    return false;
  }
  if (mediaType(contentType) != "application/json") {
    why = "the request's Content-Type is not application/json";
    return false;
  }
  return true;
}

// Refuses before the body is read: a request that names two hosts (the
// check would see only one of them), one that another site sent, and a
// body longer than its route takes.  The connection is then closed, as
// its next bytes are the unread body.
void ServeHttp::refuseEarly() {
  using httplib::Request;
  using httplib::Response;
  using Handled = httplib::Server::HandlerResponse;

  server_->set_pre_routing_handler([this](const Request& req, Response& res) {
    std::string why;
    if (req.headers.count("Host") > 1)
      sendError(res, 400, "the request names more than one Host");
    else if (!permitted(req.method, req.get_header_value("Host"), req.get_header_value("Origin"),
                        req.get_header_value("Content-Type"), why))
      sendError(res, 403, why);
    else if (declaredLength(req) > bodyLimit(req.path))
      sendError(res, 413,
                "the body is longer than " + std::to_string(bodyLimit(req.path)) + " bytes");
    else
      return Handled::Unhandled;
    closeAfterAnswer(res);
    return Handled::Handled;
  });
}

void ServeHttp::postJson(const std::string& path,
                         std::function<void(const json&, httplib::Response&)> handle) {
  const std::size_t limit = bodyLimit(path);
  server_->Post(
      path, [limit, handle = std::move(handle)](const httplib::Request&, httplib::Response& res,
                                                const httplib::ContentReader& read) {
        std::string body;
        bool tooLong = false;
        const bool whole = read([&](const char* data, std::size_t size) {
          tooLong = body.size() + size > limit;
          if (!tooLong) body.append(data, size);
          return !tooLong;
        });
        if (!whole) {
          closeAfterAnswer(res);
          return tooLong ? sendError(res, 413,
                                     "the body is longer than " + std::to_string(limit) + " bytes")
                         : sendError(res, 400, "the body did not arrive whole");
        }
        handle(json::parse(body, nullptr, false), res);
      });
}

// The events after `since`, once there are any, or none after a while; a
// client that goes away meanwhile frees its worker at once.
json ServeHttp::eventsAfter(std::uint64_t since) {
  Wakeup wakeup;
  EventLog::Watch watch(log_, wakeup);
  const auto deadline = std::chrono::steady_clock::now() + kPollWait;
  Connection* connection = Connection::current();
  while (connection) {
    wakeup.clear();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (!log_.waiting(since) || left.count() <= 0) break;
    const Connection::Wake wake = connection->wait(wakeup.fd(), left);
    if (wake == Connection::Wake::Signalled) continue;
    if (wake == Connection::Wake::PeerGone) connection->closeAfterAnswer();
    break;
  }
  return log_.after(since, std::chrono::milliseconds(0));
}

void ServeHttp::streamRoutes() {
  using httplib::Request;
  using httplib::Response;

  server_->Get("/api/stream", [this](const Request&, Response& res) {
    auto place = hub_->join();
    if (!place)
      return sendError(res, 503,
                       "too many streams are open (at most " + std::to_string(kStreams) + ")");
    auto stream = std::make_shared<StateStream>(session_, log_, std::move(place));
    res.set_header("Cache-Control", "no-store");
    res.set_chunked_content_provider(
        "text/event-stream",
        [stream](std::size_t, httplib::DataSink& sink) { return stream->provide(sink); });
  });

  server_->Get("/api/events", [this](const Request& req, Response& res) {
    std::uint64_t since = 0;
    if (req.has_param("since")) {
      const std::string text = req.get_param_value("since");
      char* end = nullptr;
      since = std::strtoull(text.c_str(), &end, 10);
      if (text.empty() || *end || text[0] == '-') return sendError(res, 400, "bad since");
    }
    json events = eventsAfter(since);
    sendJson(res, json{{"seq", log_.lastSeq()}, {"events", std::move(events)}});
  });
}

// The answer waits until the streams have taken the command's change.  A
// page that follows a stream asks for the answer without the state.
void ServeHttp::commandRoutes() {
  postJson("/api/command", [this](const json& body, httplib::Response& res) {
    if (!body.is_object() || !body.contains("command") || !body["command"].is_string() ||
        (body.contains("state") && !body["state"].is_boolean()))
      return sendError(res, 400, "the body must be {\"command\": \"...\"}");
    json answer = session_.run(body["command"].get<std::string>(), body.value("state", true));
    hub_->changed(kStreamsTakeChange);
    sendJson(res, answer);
  });

  postJson("/api/sysedit", [this](const json& body, httplib::Response& res) {
    if (!body.is_object() || !body.contains("file") || !body["file"].is_string() ||
        !body.contains("text") || !body["text"].is_string())
      return sendError(res, 400, "the body must be {\"file\": \"...\", \"text\": \"...\"}");
    sendJson(res, session_.saveSystemFile(body["file"].get<std::string>(),
                                          body["text"].get<std::string>()));
  });
}

void ServeHttp::routes() {
  using httplib::Request;
  using httplib::Response;

  refuseEarly();
  streamRoutes();
  commandRoutes();

  for (const auto& [path, asset] : assets()) {
    server_->Get(exactPattern(path),
                 [this, file = asset.file, type = asset.type](const Request&, Response& res) {
                   std::string content;
                   if (!readFile(webRoot_ / file, content)) {
                     res.status = 404;
                     return;
                   }
                   res.set_header("Cache-Control", "no-cache");
                   res.set_content(std::move(content), type);
                 });
  }

  // The page's scripts are ES modules, app.js with the modules it imports
  // from the page's folders, one level deep, by names that cannot leave them.
  server_->Get(R"(/((?:[a-z]{1,20}/)?[a-z0-9-]{1,40}\.js))",
               [this](const Request& req, Response& res) {
                 std::string content;
                 if (!readFile(webRoot_ / req.matches[1].str(), content)) {
                   res.status = 404;
                   return;
                 }
                 res.set_header("Cache-Control", "no-cache");
                 res.set_content(std::move(content), "text/javascript; charset=utf-8");
               });

  server_->Get("/api/state",
               [this](const Request&, Response& res) { sendJson(res, session_.state()); });

  server_->Get("/api/files",
               [this](const Request&, Response& res) { sendJson(res, session_.files()); });

  server_->Get("/api/wallpaper", [this](const Request&, Response& res) {
    std::string content;
    if (!readBitmap(session_.wallpaperFile(), content)) {
      res.status = 404;
      return;
    }
    res.set_header("Cache-Control", "no-store");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_content(std::move(content), "image/bmp");
  });

  server_->Get(R"(/api/report/(\d{1,9}))", [this](const Request& req, Response& res) {
    const auto path = session_.reportPath(std::stoul(req.matches[1].str()));
    std::string content;
    if (!path || !readFile(*path, content)) return sendError(res, 404, "no such report");
    res.set_header("Cache-Control", "no-store");
    res.set_header("Content-Disposition", "inline; filename=\"" + reportFileName(*path) + "\"");
    res.set_content(std::move(content), "application/pdf");
  });

  // Help topics are the pages of the help folder, by their own names only;
  // a context number leads to its topic, or to the contents without one.
  server_->Get(R"(/help/([a-z0-9-]{1,40}\.html))", [this](const Request& req, Response& res) {
    std::string content;
    if (!readFile(webRoot_ / "help" / req.matches[1].str(), content)) {
      res.status = 404;
      return;
    }
    res.set_header("Cache-Control", "no-cache");
    res.set_content(std::move(content), "text/html; charset=utf-8");
  });
  server_->Get(R"(/help/context/(\d{1,10}))", [this](const Request& req, Response& res) {
    const std::string topic = req.matches[1].str() + ".html";
    const bool shipped = std::filesystem::is_regular_file(webRoot_ / "help" / topic);
    res.set_redirect("/help/" + (shipped ? topic : std::string("index.html")));
  });

  server_->Get("/api/sysedit",
               [this](const Request&, Response& res) { sendJson(res, session_.systemFiles()); });
  server_->set_exception_handler([](const Request&, Response& res, std::exception_ptr error) {
    std::string what = "the station cannot answer";
    try {
      if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
      what = e.what();
    } catch (...) {
    }
    sendError(res, 503, what);
  });
}

}  // namespace vx70::app
