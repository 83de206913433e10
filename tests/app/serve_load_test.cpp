// `vx70 serve` under many connections that hold on (headers sent slowly,
// idle keep-alives, long polls, streams): a normal request is still
// answered at once, a page that goes away frees its worker, and requests
// too long or naming two hosts are refused before their body is read.
#include <chrono>

#include "tests/app/serve_process.h"

namespace vx70::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kHeld = 200;
constexpr auto kBound = std::chrono::milliseconds(100);

// The fastest of a few GET /api/state, answered in full.
std::chrono::milliseconds stateLatency(const ServeProcess& serve) {
  auto best = std::chrono::milliseconds::max();
  for (int i = 0; i < 3; ++i) {
    httplib::Client client("127.0.0.1", serve.port());
    client.set_read_timeout(5, 0);
    const auto start = Clock::now();
    auto res = client.Get("/api/state");
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    if (res && res->status == 200) best = std::min(best, took);
  }
  return best;
}

class ServeLoad : public ::testing::Test {
 protected:
  TestCompany company_;
};

TEST_F(ServeLoad, ANormalRequestIsAnsweredWhileManyConnectionsHoldOn) {
  struct Case {
    const char* what;
    std::string (*request)(const ServeProcess&);
  };
  const Case cases[] = {
      {"slow headers",
       [](const ServeProcess& s) { return "GET /api/state HTTP/1.1\r\nHost: " + s.host(); }},
      {"idle", [](const ServeProcess&) { return std::string(); }},
      {"long polls",
       [](const ServeProcess& s) {
         return "GET /api/events?since=" + std::to_string(s.state()["seq"].get<int>()) +
                " HTTP/1.1\r\nHost: " + s.host() + "\r\n\r\n";
       }},
      {"streams",
       [](const ServeProcess& s) {
         return "GET /api/stream HTTP/1.1\r\nHost: " + s.host() + "\r\n\r\n";
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ServeProcess serve(company_, {}, false);
    const std::string request = c.request(serve);
    std::vector<std::unique_ptr<RawConnection>> held;
    for (int i = 0; i < kHeld; ++i) {
      held.push_back(std::make_unique<RawConnection>(serve.port()));
      held.back()->send(request);
    }
    EXPECT_LT(stateLatency(serve), kBound);
  }
}

// A page closed: its stream or long poll ends at once (the server closes
// the connection), and a stream's place is free for the next page.
TEST_F(ServeLoad, AClosedPageFreesItsWorkerAtOnce) {
  ServeProcess serve(company_, {}, false);
  const std::string since = std::to_string(serve.state()["seq"].get<int>());
  std::vector<std::unique_ptr<RawConnection>> streams;
  for (int i = 0; i < 32; ++i) {
    streams.push_back(std::make_unique<RawConnection>(serve.port()));
    streams.back()->get("/api/stream", serve.host());
    ASSERT_EQ(streams.back()->status(), 200);
    ASSERT_EQ(streams.back()->nextMessage()["event"], "state");
  }
  RawConnection refused(serve.port());
  refused.get("/api/stream", serve.host());
  EXPECT_EQ(refused.status(), 503) << "the 33rd stream";

  RawConnection poll(serve.port(), std::chrono::seconds(10));  // well within the poll's 25 s
  poll.get("/api/events?since=" + since, serve.host());
  for (RawConnection* page : {streams.back().get(), &poll}) {
    page->finish();
    EXPECT_TRUE(page->closedByServer());
  }
  RawConnection next(serve.port());
  next.get("/api/stream", serve.host());
  EXPECT_EQ(next.status(), 200) << "the closed stream's place is free";
}

TEST_F(ServeLoad, RequestsTooLongOrNamingTwoHostsAreRefused) {
  ServeProcess serve(company_, {}, false);
  const std::string post = "POST /api/command HTTP/1.1\r\nHost: " + serve.host() +
                           "\r\nOrigin: " + serve.origin() +
                           "\r\nContent-Type: application/json\r\n";
  const std::string saved = json{{"file", "NONE.INI"}, {"text", std::string(200000, 'x')}}.dump();
  std::string sysedit = post + "Content-Length: " + std::to_string(saved.size()) + "\r\n\r\n";
  sysedit.replace(5, 12, "/api/sysedit");
  struct Case {
    const char* what;
    std::string request;
    int status;
  };
  const Case cases[] = {
      {"a gigabyte declared", post + "Content-Length: 1073741824\r\n\r\n{\"command\": \"", 413},
      {"chunks past 64 KiB",
       post + "Transfer-Encoding: chunked\r\n\r\n12000\r\n" + std::string(0x12000, ' ') + "\r\n",
       413},
      {"a system file of 200 KB", sysedit + saved, 200},
      {"two hosts",
       "GET /api/state HTTP/1.1\r\nHost: " + serve.host() + "\r\nHost: " + serve.host() +
           "\r\n\r\n",
       400},
  };
  for (const Case& c : cases) {
    RawConnection connection(serve.port());
    connection.send(c.request);
    EXPECT_EQ(connection.status(), c.status) << c.what;
  }
}

// Past the bound of connections served at once, the next is refused at
// once rather than queued behind the others.
TEST_F(ServeLoad, PastTheBoundAConnectionIsRefusedAtOnce) {
  ServeProcess serve(company_, {}, false);
  std::vector<std::unique_ptr<RawConnection>> idle;
  for (int i = 0; i < 256; ++i) idle.push_back(std::make_unique<RawConnection>(serve.port()));
  RawConnection late(serve.port(), std::chrono::seconds(2));  // the idle ones wait 5 s
  late.get("/api/state", serve.host());
  EXPECT_EQ(late.status(), 503);
}

}  // namespace
}  // namespace vx70::test
