// vx70 serve: one station served to a browser.  The page sends commands of
// the `vx70 drive` language and draws the state it gets back; another
// station's change notices reach it through a long poll.  SIGINT and
// SIGTERM close the station's dialogs, log off and end the program.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <iostream>
#include <memory>
#include <thread>

#include "app/commands.h"
#include "app/serve_events.h"
#include "app/serve_http.h"
#include "app/serve_session.h"
#include "app/station_cli.h"

namespace vx70::app {
namespace {

struct ServeArgs {
  StationOptions options;
  int port = 8070;
  std::string listen = "127.0.0.1";
  std::string webRoot;  // empty: web/ beside the program's bin/
};

std::filesystem::path defaultWebRoot() {
  char exe[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "web";
  std::filesystem::path program(std::string(exe, static_cast<std::size_t>(n)));
  return program.parent_path().parent_path() / "web";
}

int fail(const std::string& message) {
  std::cerr << "vx70 serve: " << message << '\n';
  return 1;
}

// The stop signals, blocked in every thread (the station's included, as
// threads inherit the mask) and taken by one waiting thread instead.
sigset_t stopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

class StopSignalWaiter {
 public:
  StopSignalWaiter(EventLog& log, ServeHttp& http)
      : thread_([&log, &http] {
          sigset_t set = stopSignals();
          int received = 0;
          sigwait(&set, &received);
          log.close();
          http.stop();
        }) {}
  // Wakes the thread when the server ended without a signal.
  ~StopSignalWaiter() {
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
  }
  StopSignalWaiter(const StopSignalWaiter&) = delete;
  StopSignalWaiter& operator=(const StopSignalWaiter&) = delete;

 private:
  std::thread thread_;
};

int serve(const ServeArgs& args) {
  std::filesystem::path webRoot =
      args.webRoot.empty() ? defaultWebRoot() : std::filesystem::path(args.webRoot);
  if (!std::filesystem::is_regular_file(webRoot / "index.html"))
    return fail("no page in " + webRoot.string() +
                " (build the vx70web target, or pass --web-root DIR)");
  sigset_t set = stopSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  signal(SIGPIPE, SIG_IGN);

  EventLog log;
  std::unique_ptr<ServeSession> session;
  try {
    session = std::make_unique<ServeSession>(args.options, log);
  } catch (const std::exception& e) {
    return fail(e.what());
  }
  ServeHttp http(*session, log, webRoot);
  int port = http.bind(args.listen, args.port);
  if (port < 0)
    return fail("cannot listen on " + args.listen + " port " + std::to_string(args.port));
  std::cout << "vx70 serve: open " << ServeHttp::originOf(args.listen, port) << "/ in a browser"
            << std::endl;
  bool served = false;
  {
    StopSignalWaiter waiter(log, http);
    served = http.run();
  }
  log.close();
  std::string stationError;
  bool closed = session->close(stationError);
  session.reset();
  if (!served) return fail("the server stopped unexpectedly");
  return closed ? 0 : fail("the station did not close cleanly: " + stationError);
}

}  // namespace

void addServeCommand(CLI::App& app) {
  auto args = std::make_shared<ServeArgs>();
  CLI::App* cmd =
      app.add_subcommand("serve", "Serve one station to a web browser; see docs/serve.md");
  cmd->add_option("--port", args->port, "The port to listen on (0: any free port)")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  cmd->add_option("--listen", args->listen, "The address to listen on")->capture_default_str();
  cmd->add_option("--web-root", args->webRoot,
                  "The folder of the page's files (default: web/ beside bin/)");
  addStationOptions(*cmd, args->options);
  cmd->callback([args] {
    int status = serve(*args);
    if (status) throw CLI::RuntimeError(status);
  });
}

}  // namespace vx70::app
