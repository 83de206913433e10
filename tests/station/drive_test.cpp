// `vx70 drive` as another program runs it: a script in, one JSON object a
// line out.  A probe module (the real resources with handlers that ask
// questions) shows the questions, their answers and the refusal of scripts
// that do not fit.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "api/notices.h"
#include "host/data/company.h"
#include "host/data/sqlite.h"
#include "tests/support/drive_support.h"

namespace {

using nlohmann::json;
using vx70::test::DriveRun;
using vx70::test::jsonLines;
using vx70::test::TestCompany;
using vx70::test::waitForText;
namespace data = vx70::data;

std::string quote(const std::string& s) { return "'" + s + "'"; }

// Runs vx70 drive with the probe module on the script, on an empty company.
DriveRun drive(const std::string& script) {
  static const TestCompany company("");
  setenv("VX70_MODULE", VX70_PROBE_MODULE_PATH, 1);
  DriveRun run = company.drive(script);
  unsetenv("VX70_MODULE");
  return run;
}

// What the probe's handler heard: an edit box's answer that is the word
// "cancel" quoted (the answers themselves are the dialog tests'), and the
// notifications that typing, leaving and clicking send as a person's
// actions do (EN_SETFOCUS 256, EN_UPDATE 1024, EN_CHANGE 768, EN_KILLFOCUS
// 512, BN_CLICKED 0).
TEST(Drive, QuestionsAndActionsReachTheHandlerAsAPersonSendsThem) {
  const struct {
    std::string script;
    std::vector<std::string> messages;
  } cases[] = {
      {"open 3619 2\neditbox \"cancel\"\nanswer ok\n", {"edit 1 [cancel]"}},
      {"open 3620 7\nanswer ok\ntype 3620 1962 12.5\nanswer ok\nanswer ok\n"
       "leave 3620 1962\nanswer ok\nclick 3620 1961\nanswer ok\nclick 3620 2\nanswer ok\n",
       {"command 1962/256", "command 1962/1024", "command 1962/768", "command 1962/512",
        "command 1961/0", "command 2/0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    DriveRun run = drive(c.script);
    ASSERT_EQ(run.status, 0) << run.error().dump();
    EXPECT_EQ(run.messages(), c.messages);
  }
}

TEST(Drive, ScriptsThatDoNotFitAreRefusedWithTheirLine) {
  struct Case {
    const char* script;
    int line;
    const char* words;
  } cases[] = {
      {"open 3619\nfrobnicate\n", 2, "unknown command"},
      {"open \"3619\n", 1, "not closed"},
      {"answer yes\n", 1, "nothing waits"},
      {"open 3619 1\nclick 3619 2\n", 2, "waits for its answer"},
      {"open 3619 1\nanswer ok\n", 2, "no button"},
      {"type 3620 1962 x\n", 1, "no open dialog 3620"},
      {"open 3619\ntype 3619 9999 x\n", 2, "no control 9999"},
      {"open 3619\nopen 3620\n", 2, "is open"},
      {"open 77\n", 1, "no dialog 77"},
      {"open 3619\nselect 3619 1610 x\n", 2, "not a number"},
      {"# comment only\n\nopen 3619 1\n", 3, "waiting for its answer"},
      {"open 69136\n", 1, "out of range"},  // not dialog 3600, 69136 - 65536
      {"open 3619\nclick 3619 65538\n", 2, "out of range"},
      {"open 3619\nactivate 3619 1610 2147483648\n", 2, "out of range"},
      {"open 3619\nactivate 3619 1610 2147483647\n", 2, "no such row"},
      {"open 3619\nselect 3619 1610 2147483647\n", 2, "no such entry"},
      {"wait update nan\n", 1, "not a number"},
      {"wait update inf\n", 1, "not a number"},
      {"wait update -1\n", 1, "not a number"},
      {"wait update 0\n", 1, "within 0 s"},
      {"open 3619 17\nclose 3619\n", 2, "stays open"},
      {"open 3619\nfrob\xE9\n", 2, "not UTF-8"},  // a code-page byte, not UTF-8
      {"open 3619\ntype 3619 1610 \"\\xE9\"\n", 2, "not UTF-8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    DriveRun run = drive(c.script);
    EXPECT_EQ(run.status, 1);
    json error = run.error();
    ASSERT_FALSE(error.is_null());
    EXPECT_EQ(error["line"], c.line);
    EXPECT_NE(error["message"].get<std::string>().find(c.words), std::string::npos) << error.dump();
    EXPECT_EQ(run.events.back(), error) << "the error is the last line";
  }
}

// Text comes in as UTF-8 and lives in the records in the Windows code
// page, a byte a character, so that a 60-character field takes 60 accented
// letters; every event gives it back as UTF-8.
TEST(Drive, TextIsStoredInTheWindowsCodePageAndShownAsTyped) {
  std::string accented;
  for (int i = 0; i < 60; ++i) accented += "\u00e9";
  const struct {
    std::string typed;
    std::string stored;
  } cases[] = {
      {"Caf\u00e9 \u00a35", "Caf\xE9 \xA3\x35"},
      {"\u20ac \u0152uvre", "\x80 \x8Cuvre"},
      {accented, std::string(60, '\xE9')},
  };
  TestCompany co;
  for (const auto& c : cases) {
    DriveRun run = co.drive("open 3600\ntype 3601 1673 \"" + c.typed + "\"\nclick 3600 1942\n");
    ASSERT_EQ(run.status, 0) << run.error();
    EXPECT_EQ(std::string(co.stored<setupmap>(DF_SETUP, 1).companyName), c.stored);
    ASSERT_FALSE(run.all("title").empty());
    EXPECT_EQ(run.all("title").back()["text"], "VX70 - " + c.typed);
  }
}

// A typing that a field cannot hold is an error of the command: the field
// keeps its value, the script stops there, and the OK behind it never runs.
TEST(Drive, ARefusedTypingStopsTheScriptAndStoresNothing) {
  const struct {
    const char* script;
    int line;
    const char* words;
  } cases[] = {
      {"open 3600\ntype 3601 1673 \"\u4e2d\"\nclick 3600 1942\n", 2, "U+4E2D"},
      {"open 3600\npage 3600 2\ntype 3603 1769 \"70000\"\nclick 3600 1942\n", 3,
       "cannot hold"},  // a 16-bit field: 70000 would be 4464
      {"open 3605\ntype 3605 1336 \"67562\"\nclick 3605 1\nanswer yes\n", 2,
       "cannot hold"},  // would be 2026 and pass the year check
      {"open 3605\ntype 3605 1336 \"0000002026\"\nclick 3605 1\nanswer yes\n", 2,
       "cannot hold"},  // longer than the field's 5 characters
      {"open 3619\nselect 3619 1610 1\nclick 3619 1413\ntype 3620 1962 \"5abc\"\n"
       "click 3620 1942\n",
       4, "cannot hold"},
  };
  TestCompany co;
  auto control = co.stored<contmap>(DF_CONTROL, 1);
  control.splitCount = 0;  // no posted transactions: the year may change
  co.store(DF_CONTROL, 1, &control);
  const auto setup = co.record(DF_SETUP, 1);
  const auto controlBefore = co.record(DF_CONTROL, 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    DriveRun run = co.drive(c.script);
    EXPECT_EQ(run.status, 1);
    const json error = run.error();
    ASSERT_FALSE(error.is_null());
    EXPECT_EQ(error["line"], c.line);
    EXPECT_NE(error.value("message", "").find(c.words), std::string::npos) << error.dump();
    EXPECT_EQ(run.events.back(), error);
    EXPECT_EQ(co.record(DF_SETUP, 1), setup);
    EXPECT_EQ(co.record(DF_CONTROL, 1), controlBefore);
  }
}

// A number field takes the largest value its buffer holds, and one that
// shows a fixed number of places stores what it shows.
TEST(Drive, ANumberFieldStoresWhatItShows) {
  TestCompany co;
  DriveRun run = co.drive(
      "open 3600\npage 3600 2\ntype 3603 1769 \"65535\"\ntype 3603 1881 \"3.14159\"\n"
      "click 3600 1942\n");
  ASSERT_EQ(run.status, 0) << run.error();
  const setupmap stored = co.stored<setupmap>(DF_SETUP, 1);
  const WORD lines = stored.chequeLinesPerPage;  // copied out of the packed record
  const double rate = stored.callChargeRate;
  EXPECT_EQ(lines, 65535);
  EXPECT_EQ(rate, 3.14);
}

// A station fed its script one line at a time through a pipe, as a program
// driving it does: between the lines it idles, taking other stations'
// notices.  Its events go to a file.
class PipedStation {
 public:
  PipedStation(const TestCompany& co, const std::string& options) : out_(co.scratch("piped.out")) {
    const std::string command = quote(VX70_PROGRAM_PATH) + " drive --data " + quote(co.dir()) +
                                " " + options + " >" + quote(out_.string()) + " 2>&1";
    pipe_ = popen(command.c_str(), "w");
  }
  ~PipedStation() { finish(); }
  const std::filesystem::path& out() const { return out_; }
  void send(const std::string& line) {
    std::fputs((line + "\n").c_str(), pipe_);
    std::fflush(pipe_);
  }
  // Ends the script; the exit status.
  int finish() {
    if (!pipe_) return -1;
    int status = pclose(pipe_);
    pipe_ = nullptr;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  std::filesystem::path out_;
  FILE* pipe_ = nullptr;
};

// Another station stores the setup record while this one idles: it takes
// the notice at once, its main window shows the new title, financial year
// and access menu, each with its event, and a `wait update` after it counts
// the notice already taken, once.
TEST(Drive, WaitUpdateTakesANoticeThatCameWhileIdleAndTheMainWindowFollowsIt) {
  TestCompany co;
  PipedStation station(co, "--multi-user");
  ASSERT_TRUE(waitForText(station.out(), "\"started\""));
  setupmap setup = co.stored<setupmap>(DF_SETUP, 1);
  std::snprintf(setup.companyName, sizeof setup.companyName, "%-30s", "Harbour Ltd");
  setup.fyStartMonth = 3;
  setup.fyStartYear = 2027;
  setup.accessRights = 1;
  co.store(DF_SETUP, 1, &setup);
  co.broadcast(NOTICE_SETUP_CHANGED, NOTICE_SETUP_FLAG);
  ASSERT_TRUE(waitForText(station.out(), "\"access-menu\"")) << "taken while idle";
  station.send("wait update 0\nshow\nwait update 0");  // a notice counts once
  EXPECT_EQ(station.finish(), 1) << vx70::test::readText(station.out());

  const auto events = jsonLines(vx70::test::readText(station.out()));
  EXPECT_NE(events.back().value("message", "").find("within 0 s"), std::string::npos);
  const json main = events.at(events.size() - 2).at("main");
  const struct {
    const char* event;
    const char* key;
    json value;
    const char* shown;
  } kFollowed[] = {
      {"title", "text", "VX70 - Harbour Ltd", "title"},
      {"info", "text", "April 2027", "info"},
      {"access-menu", "enabled", true, "accessMenu"},
  };
  for (const auto& f : kFollowed) {
    SCOPED_TRACE(f.event);
    json last;
    for (const auto& e : events)
      if (e["event"] == f.event) last = e;
    ASSERT_FALSE(last.is_null());
    EXPECT_EQ(last[f.key], f.value);
    EXPECT_EQ(main[f.shown], f.value);
  }
}

// A company whose core records are missing or damaged stops the station at
// start, naming the file and the record, instead of running on zeroes.
TEST(Drive, MissingOrDamagedCoreRecordsStopTheStationAtStart) {
  const struct {
    const char* damage;
    const char* file;
    const char* what;
  } kCases[] = {
      {"DELETE FROM records WHERE file = 0", "(setup)", "no record 1"},
      {"DELETE FROM records WHERE file = 18", "(control)", "no record 1"},
      {"UPDATE records SET sum = sum + 1 WHERE file = 0 AND recno = 1", "(setup)", "damaged"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.damage);
    TestCompany co;
    data::Database(data::databasePath(co.dir()), data::Database::Mode::openExisting).exec(c.damage);
    DriveRun run = co.drive("show\n");
    EXPECT_EQ(run.status, 1);
    const std::string message = run.error().value("message", "");
    EXPECT_NE(message.find(c.file), std::string::npos) << message;
    EXPECT_NE(message.find(c.what), std::string::npos) << message;
    EXPECT_TRUE(run.all("show").empty()) << "nothing was shown";
  }
}

// The disk fills while a station works: what was stored stays as it was,
// the person is told at once, and the station ends saying why, with status
// 1, instead of aborting.
TEST(Drive, AFullDiskLosesNothingStoredAndTheStationEndsSayingWhy) {
  TestCompany co;
  const setupmap before = co.stored<setupmap>(DF_SETUP, 1);
  const auto marker = co.scratch("disk-full");
  setenv("VX70_FAULT_DISK_FULL", marker.c_str(), 1);
  vx70::test::StationProcess station(co, "--multi-user");
  unsetenv("VX70_FAULT_DISK_FULL");
  station.send("open 3600\ntype 3601 1673 \"Changed Ltd\"\n");
  std::ofstream(marker) << "full";
  station.send("click 3600 1942\nanswer ok\n");
  const DriveRun run = station.finish();
  const std::string text = json(run.events).dump();
  EXPECT_EQ(run.status, 1) << text;
  EXPECT_NE(text.find("the disk is full"), std::string::npos) << text;
  EXPECT_NE(text.find("\"caption\":\"Data Error\""), std::string::npos) << "the person is told";
  EXPECT_TRUE(run.all("update-sent").empty()) << text;
  EXPECT_EQ(text.find("terminate"), std::string::npos) << text;
  EXPECT_STREQ(co.stored<setupmap>(DF_SETUP, 1).companyName, before.companyName);
}

TEST(Drive, AStationThatCannotStartSaysWhy) {
  TestCompany co;
  std::filesystem::remove_all(co.dir());
  DriveRun run = co.drive("show\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.error()["line"], 0);
}

}  // namespace
