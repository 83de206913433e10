// The HTTP side of `vx70 serve`: the page's own files, and the station's
// state, commands and events as JSON.  Requests that change anything must
// come from the server's own page (Origin) as JSON (Content-Type), so that
// another site open in the same browser cannot drive the station.  Pages
// follow the station over a stream (serve_push.h); every connection is
// bounded in time and size (serve_connection.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace vx70::app {

class ConnectionServer;
class EventLog;
class ServeSession;
class StreamHub;

class ServeHttp {
 public:
  ServeHttp(ServeSession& session, EventLog& log, std::filesystem::path webRoot);
  ~ServeHttp();
  ServeHttp(const ServeHttp&) = delete;
  ServeHttp& operator=(const ServeHttp&) = delete;

  // Binds to host:port (port 0: any free one); returns the port, or -1.
  int bind(const std::string& host, int port);
  // Serves until stop(); returns false when serving failed.
  bool run();
  void stop();

  // The origin a browser gives for a page of host:port.
  static std::string originOf(const std::string& host, int port);

 private:
  void routes();
  void refuseEarly();
  void streamRoutes();
  void commandRoutes();
  // A POST route whose JSON body is read up to the route's limit (413
  // beyond it, nothing kept in memory past it).
  void postJson(const std::string& path,
                std::function<void(const nlohmann::json&, httplib::Response&)> handle);
  nlohmann::json eventsAfter(std::uint64_t since);
  bool permitted(const std::string& method, const std::string& host, const std::string& origin,
                 const std::string& contentType, std::string& why) const;

  ServeSession& session_;
  EventLog& log_;
  std::filesystem::path webRoot_;
  std::set<std::string> hosts_;    // Host headers of this server
  std::set<std::string> origins_;  // origins of its own page
  std::unique_ptr<ConnectionServer> server_;
  std::unique_ptr<StreamHub> hub_;
  std::atomic<bool> finished_{false};
};

}  // namespace vx70::app
