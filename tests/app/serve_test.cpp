// `vx70 serve` as a browser meets it: a child process on a free port, its
// page files and nothing else, commands and refusals, the checks that keep
// other sites out, the stream and the long poll that bring what changed,
// help pages, reports and the system editor's files, and a clean log-off
// on SIGTERM.  What the page draws of the state the browser tests check.
#include <future>

#include "app/serve_events.h"
#include "tests/app/serve_process.h"

namespace vx70::test {
namespace {

// The stored action records of the company (data file 32) still current.
std::vector<actionmap> currentActions(const TestCompany& company) {
  std::vector<actionmap> out;
  for (unsigned n = 1;; ++n) {
    auto bytes = company.record(DF_ACTIONS, n);
    if (bytes.size() != sizeof(actionmap)) break;
    actionmap a;
    std::memcpy(&a, bytes.data(), sizeof a);
    if (a.state == 0) out.push_back(a);
  }
  return out;
}

class Serve : public ::testing::Test {
 protected:
  TestCompany company_;
};

TEST_F(Serve, ServesThePageFilesAndNothingElse) {
  ServeProcess serve(company_);
  auto c = serve.client();
  struct Case {
    const char* path;
    const char* body;
    const char* type;
  };
  for (const Case& k :
       {Case{"/", "<!doctype html><title>page</title>", "text/html"},
        Case{"/app.js", "// app", "text/javascript"},
        Case{"/dialog/surface.js", "// surface", "text/javascript"},
        Case{"/style.css", "/* style */", "text/css"}, Case{"/98.css", "/* 98 */", "text/css"},
        Case{"/ms_sans_serif.woff2", "font", "font/woff2"}}) {
    auto res = c.Get(k.path);
    ASSERT_TRUE(res) << k.path;
    EXPECT_EQ(res->status, 200) << k.path;
    EXPECT_EQ(res->body, k.body) << k.path;
    EXPECT_EQ(res->get_header_value("Content-Type").rfind(k.type, 0), 0u) << k.path;
  }
  for (const char* path :
       {"/secret.txt", "/../secret.txt", "/%2e%2e/secret.txt", "/app.js/../../secret.txt",
        "/notes.txt", "/index.html", "/appXjs", "/web/app.js", "/a/b/c.js", "/ms_sans_serif.woff",
        "/api/nothing", "//etc/passwd"}) {
    auto res = c.Get(path);
    ASSERT_TRUE(res) << path;
    EXPECT_EQ(res->status, 404) << path;
    EXPECT_EQ(res->body.find("secret"), std::string::npos) << path;
  }
}

// Help pages by their own names, reports by number, and of the file system
// the system editor's INI files only, each rewritten whole.
TEST_F(Serve, HelpReportsAndTheSystemEditorReachOnlyTheirOwnFiles) {
  ServeProcess serve(company_);
  std::filesystem::create_directories(serve.webRoot() / "help");
  std::ofstream(serve.webRoot() / "help" / "10010.html") << "support";
  const auto stationDir = std::filesystem::path(company_.dir()) / "stations" / "STATION1";
  std::filesystem::create_directories(stationDir);
  std::ofstream(stationDir / "VX70.INI", std::ios::binary) << "[A]\r\nx=1\r\n";
  auto c = serve.client();

  for (const auto& [context, target] : std::vector<std::pair<std::string, std::string>>{
           {"10010", "/help/10010.html"}, {"5", "/help/index.html"}}) {
    auto res = c.Get("/help/context/" + context);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 302);
    EXPECT_EQ(res->get_header_value("Location"), target);
  }
  for (const char* path : {"/help/../secret.txt", "/help/%2e%2e/secret.txt", "/help/NOTES.html",
                           "/help/notes.txt", "/api/report/0", "/api/report/-1"}) {
    auto res = c.Get(path);
    ASSERT_TRUE(res) << path;
    EXPECT_EQ(res->status, 404) << path;
  }

  auto save = [&](const std::string& file, const std::string& text) {
    auto res = c.Post("/api/sysedit", {{"Origin", serve.origin()}},
                      json{{"file", file}, {"text", text}}.dump(), "application/json");
    return res ? json::parse(res->body) : json();
  };
  EXPECT_EQ(save("VX70.INI", "[A]\nx=2\n"), json({{"ok", true}}));
  EXPECT_EQ(readText(stationDir / "VX70.INI"), "[A]\r\nx=2\r\n") << "its own line ends kept";
  EXPECT_EQ(save("WIN.INI", "[MR]\nDebug=1\n"), json({{"ok", true}}));
  for (const char* other : {"../secret.txt", "company.vx70", "../../company.vx70", ""})
    EXPECT_EQ(save(other, "x")["ok"], false) << other;
  EXPECT_EQ(save("WIN.INI", "中")["ok"], false) << "no place in the code page";
  EXPECT_EQ(readText(company_.scratch("secret.txt")), "secret");

  auto files = json::parse(c.Get("/api/sysedit")->body)["files"];
  ASSERT_EQ(files.size(), 2u) << "VEXA.INI is the package INI, shown once";
  EXPECT_EQ(files[0]["name"], "VX70.INI");
  EXPECT_EQ(files[0]["text"], "[A]\nx=2\n");
  EXPECT_EQ(files[1]["name"], "WIN.INI");
  EXPECT_EQ(files[1]["text"], "[MR]\nDebug=1\n");
}

// The wallpaper endpoint hands out the one bitmap that the main window
// shows, and nothing else that the station could be made to name.
TEST_F(Serve, WallpaperServesOnlyTheBitmapShown) {
  ServeProcess serve(company_, {}, false);
  const auto pictures = company_.scratch("pictures");
  std::filesystem::create_directories(pictures / "folder.bmp");
  const std::string bitmap("BM\x3a\0\0\0picture", 12);
  std::ofstream(pictures / "wall.bmp", std::ios::binary) << bitmap;
  std::ofstream(pictures / "fake.bmp") << "secret";
  std::ofstream(pictures / "notes.txt") << "BMsecret";
  struct Case {
    const char* file;
    bool shown;
    int status;
  };
  bool shown = false;
  for (const Case& c :
       {Case{"wall.bmp", true, 200}, Case{"wall.bmp", false, 404}, Case{"fake.bmp", true, 404},
        Case{"notes.txt", true, 404}, Case{"folder.bmp", true, 404}, Case{"", true, 404}}) {
    SCOPED_TRACE(std::string(c.file) + (c.shown ? " shown" : " hidden"));
    const std::string path = *c.file ? (pictures / c.file).string() : "";
    std::vector<std::string> lines{"open 3218", "page 3218 3", "type 3217 1786 \"" + path + "\""};
    if (c.shown != shown) lines.push_back("click 3217 2053");
    lines.push_back("click 3218 1942");
    for (const auto& line : lines) ASSERT_TRUE(serve.command(line)["ok"].get<bool>()) << line;
    shown = c.shown;
    // The query names no file: the station's wallpaper is what is served.
    auto res = serve.client().Get("/api/wallpaper?file=" + (pictures / "notes.txt").string());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, c.status);
    if (c.status != 200) continue;
    EXPECT_EQ(res->body, bitmap);
    EXPECT_EQ(res->get_header_value("Content-Type"), "image/bmp");
    EXPECT_EQ(res->get_header_value("Cache-Control"), "no-store");
  }
}

TEST_F(Serve, CommandsThatDoNotFitAreRefusedWithTheirReason) {
  ServeProcess serve(company_);
  struct Case {
    const char* command;
    const char* error;
  };
  // What the script language refuses the drive tests show; these are the
  // server's own refusals.
  for (const Case& k :
       {Case{"show", "\"show\" is not taken"}, Case{"wait update 1", "\"wait\" is not taken"},
        Case{"open 3619\nopen 3620", "line break"}}) {
    json answer = serve.command(k.command);
    EXPECT_FALSE(answer["ok"].get<bool>()) << k.command;
    EXPECT_NE(answer["error"].get<std::string>().find(k.error), std::string::npos)
        << k.command << ": " << answer["error"];
    EXPECT_EQ(answer["state"]["dialogs"], json::array()) << k.command;
  }
  EXPECT_TRUE(serve.command("# a comment does nothing")["ok"].get<bool>());

  auto c = serve.client();
  for (const char* body : {"not json", "[]", "{\"command\": 5}", "{}"}) {
    auto res = c.Post("/api/command", {{"Origin", serve.origin()}}, body, "application/json");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 400) << body;
    EXPECT_FALSE(json::parse(res->body)["ok"].get<bool>()) << body;
  }
}

TEST_F(Serve, OnlyTheServersOwnPageMayChangeAnything) {
  ServeProcess serve(company_);
  auto c = serve.client();
  const std::string open = json{{"command", "open 3619"}}.dump();
  struct Case {
    httplib::Headers headers;
    const char* type;
  };
  std::string port = std::to_string(serve.port());
  // A request without the page's Origin or JSON, or naming another host,
  // the HTTP fuzz target sends; these are origins that look near enough.
  for (const Case& k : {Case{{{"Origin", "http://evil.example"}}, "application/json"},
                        Case{{{"Origin", "http://127.0.0.1:" + std::to_string(serve.port() + 1)}},
                             "application/json"},
                        Case{{{"Origin", "null"}}, "application/json"},
                        Case{{{"Origin", serve.origin()}}, "application/x-www-form-urlencoded"}}) {
    auto res = c.Post("/api/command", k.headers, open, k.type);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 403) << k.type;
    json answer = json::parse(res->body);
    EXPECT_FALSE(answer["ok"].get<bool>());
    EXPECT_FALSE(answer["error"].get<std::string>().empty());
  }
  EXPECT_EQ(serve.state()["dialogs"], json::array()) << "nothing ran";

  auto local = c.Post("/api/command", {{"Origin", "http://localhost:" + port}}, open,
                      "application/json; charset=utf-8");
  ASSERT_TRUE(local);
  EXPECT_EQ(local->status, 200);
  EXPECT_EQ(serve.state()["dialogs"].size(), 1u);
}

// A page's stream: the whole state at once, then after each change a patch
// from the state it last sent with the events since; a command that
// changes nothing sends nothing, and text typed (no event) still a patch.
TEST_F(Serve, AStreamFollowsTheStationWithPatches) {
  ServeProcess serve(company_, {}, false);
  RawConnection stream(serve.port(), std::chrono::seconds(5));  // well within a keep-alive
  stream.get("/api/stream", serve.host());
  const std::string head = stream.readThrough("\r\n\r\n");
  EXPECT_NE(head.find("Content-Type: text/event-stream"), std::string::npos) << head;
  EXPECT_NE(head.find("Cache-Control: no-store"), std::string::npos) << head;
  json first = stream.nextMessage();
  ASSERT_EQ(first["event"], "state");
  json shown = first["data"];
  EXPECT_EQ(shown, serve.state());
  EXPECT_EQ(first["id"], std::to_string(shown["seq"].get<int>()));

  struct Case {
    const char* command;
    bool changes;
  };
  for (const Case& k : {Case{"open 3600", true}, Case{"close 3619", false},
                        Case{"type 3601 1673 \"Acme Web\"", true}, Case{"click 3600 2", true}}) {
    json answer = serve.command(k.command, false);
    EXPECT_FALSE(answer.contains("state")) << k.command;
    if (!k.changes) continue;
    json message = stream.nextMessage();
    ASSERT_EQ(message["event"], "patch") << k.command;
    EXPECT_EQ(message["data"]["events"], answer["events"]) << k.command;
    EXPECT_EQ(message["data"]["seq"], answer["seq"]) << k.command;
    EXPECT_EQ(message["id"], std::to_string(answer["seq"].get<int>())) << k.command;
    shown = shown.patch(message["data"]["patch"]);
    EXPECT_EQ(shown, serve.state()) << k.command;
  }
}

TEST_F(Serve, ALongPollBringsAnotherStationsNotice) {
  ServeProcess serve(company_, {"--multi-user"});
  auto started = serve.client().Get("/api/events?since=0");
  ASSERT_TRUE(started);
  EXPECT_EQ(started->get_header_value("Content-Type"), "application/json");
  EXPECT_EQ(started->get_header_value("Cache-Control"), "no-store");
  json early = json::parse(started->body);
  ASSERT_FALSE(early["events"].empty());
  EXPECT_EQ(early["events"][0]["event"], "station");
  EXPECT_EQ(early["events"][0]["seq"], 1);

  const int since = serve.state()["seq"];
  auto poll = std::async(std::launch::async, [&] {
    return serve.client().Get("/api/events?since=" + std::to_string(since));
  });
  // The other station's Init tells every station that the setup changed.
  setenv("VX70_MODULE", VX70_PROBE_MODULE_PATH, 1);
  DriveRun other = company_.drive("open 3619 10\nclick 3619 2\n", "--multi-user --station OTHER");
  unsetenv("VX70_MODULE");
  ASSERT_EQ(other.status, 0) << other.error().dump();
  ASSERT_EQ(other.all("update-sent").size(), 1u);
  auto res = poll.get();
  ASSERT_TRUE(res);
  json answer = json::parse(res->body);
  ASSERT_EQ(answer["events"].size(), 1u) << answer.dump();
  json update = answer["events"][0];
  EXPECT_EQ(update["event"], "update");
  EXPECT_EQ(update["code"], 274);
  EXPECT_EQ(update["flag"], 8);
  EXPECT_EQ(update["seq"], since + 1);
  EXPECT_EQ(answer["seq"], since + 1);

  auto bad = serve.client().Get("/api/events?since=-3");
  ASSERT_TRUE(bad);
  EXPECT_EQ(bad->status, 400);
}

TEST_F(Serve, SigtermClosesTheDialogsAndLogsOff) {
  ServeProcess serve(company_, {"--multi-user", "--station", "WEB"});
  json opened = serve.command("open 3619 9");  // Init takes action 25
  ASSERT_EQ(opened["state"]["dialogs"].size(), 1u) << opened.dump();
  EXPECT_EQ(opened["state"]["station"], (json{{"station", "WEB"}, {"user", "MANAGER"}}));
  auto held = currentActions(company_);
  ASSERT_EQ(held.size(), 2u);
  EXPECT_EQ(held[0].kind, 7);
  EXPECT_STREQ(held[0].machine, "WEB");
  EXPECT_EQ(held[1].kind, 25);

  EXPECT_EQ(serve.stop(SIGTERM), 0);
  EXPECT_TRUE(currentActions(company_).empty());
}

// A station that cannot write its log-off (the disk filled meanwhile) ends
// with status 1, not 0 nor an abort.
TEST_F(Serve, AStationThatCannotCloseCleanlyExitsWithStatusOne) {
  const auto marker = company_.scratch("disk-full");
  setenv("VX70_FAULT_DISK_FULL", marker.c_str(), 1);
  ServeProcess serve(company_, {"--multi-user"});
  unsetenv("VX70_FAULT_DISK_FULL");
  std::ofstream(marker) << "full";
  EXPECT_EQ(serve.stop(SIGTERM), 1);
}

TEST_F(Serve, SigintEndsAWaitingQuestionAndExitsCleanly) {
  ServeProcess serve(company_);
  ASSERT_FALSE(serve.command("open 3619 2")["state"]["question"].is_null());
  EXPECT_EQ(serve.stop(SIGINT), 0);
}

TEST(ServeEventLog, NumbersEveryEventAndKeepsTheLatest) {
  app::EventLog log(3);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(log.add(json{{"event", "e"}, {"i", i}})["seq"], i + 1);
  EXPECT_EQ(log.lastSeq(), 5u);
  json kept = log.after(0, std::chrono::milliseconds(0));
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0]["seq"], 3);
  EXPECT_EQ(kept[0]["i"], 2);
  EXPECT_EQ(log.after(4, std::chrono::milliseconds(0)).size(), 1u);
  EXPECT_TRUE(log.after(5, std::chrono::milliseconds(0)).empty());
  EXPECT_TRUE(log.after(9, std::chrono::hours(1)).empty()) << "a later run's number: no wait";
}

TEST(ServeEventLog, AnEventOrClosingEndsAWait) {
  app::EventLog log;
  auto waiting =
      std::async(std::launch::async, [&] { return log.after(0, std::chrono::hours(1)); });
  log.add(json{{"event", "update"}});
  EXPECT_EQ(waiting.get().size(), 1u);
  auto closing =
      std::async(std::launch::async, [&] { return log.after(1, std::chrono::hours(1)); });
  log.close();
  EXPECT_TRUE(closing.get().empty());
}

}  // namespace
}  // namespace vx70::test
