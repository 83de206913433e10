// What the host shows of the module's changes, as `vx70 drive` prints it:
// the main window's title, the info window's financial year, the program
// date and the access menu, and the chart-of-accounts file that the
// time-recording link reads.  The probe module's Init handlers make the
// calls (tests/probe/probe_module.cpp, chosen by the creation parameter).
#include <cstring>
#include <filesystem>

#include "api/records.h"
#include "host/events.h"
#include "tests/support/drive_support.h"

namespace vx70::test {
namespace {

namespace fs = std::filesystem;

// The demo company's chart as the link reads it: every account in code
// order, whatever order the nominal file holds them in.
const std::string kDemoChart =
    "\"0030\",\"Office Equipment\"\r\n\"1001\",\"Stock\"\r\n"
    "\"1100\",\"Debtors Control Account\"\r\n\"1103\",\"Prepayments\"\r\n"
    "\"1200\",\"Bank Current Account\"\r\n\"1210\",\"Bank Deposit Account\"\r\n"
    "\"1230\",\"Petty Cash\"\r\n\"2100\",\"Creditors Control Account\"\r\n"
    "\"2109\",\"Accruals\"\r\n\"2200\",\"Sales Tax Control Account\"\r\n"
    "\"2201\",\"Purchase Tax Control Account\"\r\n\"3000\",\"Capital\"\r\n"
    "\"3200\",\"Profit and Loss Account\"\r\n\"4000\",\"Sales Type A\"\r\n"
    "\"4009\",\"Discounts Allowed\"\r\n\"4010\",\"Sales Type B\"\r\n"
    "\"4400\",\"Credit Charges (Late Payments)\"\r\n\"4900\",\"Miscellaneous Income\"\r\n"
    "\"5000\",\"Materials Purchased\"\r\n\"5009\",\"Discounts Taken\"\r\n"
    "\"7000\",\"Gross Wages\"\r\n\"7100\",\"Rent\"\r\n\"7500\",\"Office Stationery\"\r\n"
    "\"8100\",\"Bad Debt Write Off\"\r\n\"9998\",\"Mispostings Account\"\r\n"
    "\"9999\",\"Suspense Account\"\r\n";
constexpr int kDemoAccounts = 26;

class HostDisplay : public ::testing::Test {
 protected:
  void SetUp() override { setenv("VX70_MODULE", VX70_PROBE_MODULE_PATH, 1); }
  void TearDown() override { unsetenv("VX70_MODULE"); }
};

// Opens a dialog whose probe Init makes the calls, and closes it again.
std::string probe(int param) { return "open 3605 " + std::to_string(param) + "\nclick 3605 2\n"; }

std::vector<std::string> kinds(const DriveRun& run) {
  std::vector<std::string> out;
  for (const auto& e : run.events) out.push_back(e.value("event", ""));
  return out;
}

json shownMain(const DriveRun& run, std::size_t n) { return run.all("show").at(n)["main"]; }

std::string readBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Files that a chart write left behind beside the chart itself.
std::vector<std::string> strayChartFiles(const fs::path& dir) {
  std::vector<std::string> out;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("GLCOAT.CSV.", 0) == 0) out.push_back(name);
  }
  return out;
}

// Start-up retitles, fills the year, the date and the access menu without
// events; each later call is reported, and the next show follows it.
TEST_F(HostDisplay, TitleInfoDateAndAccessMenuChangesAreReported) {
  TestCompany co;
  auto run = co.drive(
      "show\n" + probe(11) + probe(15) + probe(14) + probe(13) + "show\n" + probe(12) + "show\n",
      "--program-date 15/04/2027");
  ASSERT_EQ(run.status, 0) << run.error();
  auto k = kinds(run);
  ASSERT_FALSE(k.empty());
  EXPECT_EQ(k.front(), "station");
  const std::pair<const char*, std::vector<json>> kEvents[] = {
      {"title", {{{"text", "VX70 - Probe Ltd"}}, {{"text", "VX70"}}}},
      // Both SetDlgItemTextA and SetWindowTextA reach the field.
      {"info",
       {{{"control", 102}, {"text", "April 2027"}}, {{"control", 102}, {"text", "May 2027"}}}},
      {"program-date", {{{"date", "29/02/2028"}}}},
      {"access-menu", {{{"enabled", true}}, {{"enabled", false}}}},
  };
  for (auto [event, expected] : kEvents) {
    for (json& e : expected) e["event"] = event;
    EXPECT_EQ(run.all(event), expected) << event;
  }
  // Each show in turn; the demo company has no access rights.
  const json kShown[] = {json{{"title", "VX70 - Wintergreen Trading Ltd"},
                              {"programDate", "15/04/2027"},
                              {"accessMenu", false}},
                         json{{"title", "VX70"},
                              {"info", "May 2027"},
                              {"programDate", "29/02/2028"},
                              {"accessMenu", true}},
                         json{{"accessMenu", false}}};
  for (std::size_t show = 0; show < std::size(kShown); ++show)
    for (const auto& [key, value] : kShown[show].items())
      EXPECT_EQ(shownMain(run, show)[key], value) << "show " << show << " " << key;
  EXPECT_TRUE(shownMain(run, 0).contains("cursor"));
  EXPECT_EQ(shownMain(run, 0)["info"].get<std::string>().rfind("January ", 0), 0u)
      << "the demo company's year, shown at start-up";

  auto setup = co.stored<setupmap>(DF_SETUP, 1);
  setup.accessRights = 1;
  co.store(DF_SETUP, 1, &setup);
  auto withRights = co.drive("show\n");
  ASSERT_EQ(withRights.status, 0) << withRights.error();
  EXPECT_EQ(shownMain(withRights, 0)["accessMenu"], true);
  EXPECT_TRUE(withRights.all("access-menu").empty()) << "start-up sets the menu silently";
}

// The chart lists every account in code order, trimmed and quoted, and
// replaces an old file whole.
TEST_F(HostDisplay, TheChartIsWrittenInCodeOrderTrimmedAndQuotedOverTheOldFile) {
  TestCompany co;
  // Record 3 is the bank current account 1200; record 27 a free slot.
  auto bank = co.stored<nommap>(DF_NOMINAL, 3);
  ASSERT_EQ(std::string(bank.code), "1200");
  std::strcpy(bank.code, "1200    ");
  std::strcpy(bank.name, "Bank \"Main\" Account   ");
  co.store(DF_NOMINAL, 3, &bank);
  nommap freeSlot{};
  co.store(DF_NOMINAL, 27, &freeSlot);
  const fs::path chart = fs::path(co.dir()) / "GLCOAT.CSV";
  std::ofstream(chart, std::ios::binary) << std::string(8000, 'x');

  auto run = co.drive("open 3605 16\nanswer ok\nclick 3605 2\n");
  ASSERT_EQ(run.status, 0) << run.error();
  ASSERT_EQ(run.messages(), std::vector<std::string>{"chart 1"});
  std::string expected = kDemoChart;
  const std::string oldLine = "\"1200\",\"Bank Current Account\"\r\n";
  expected.replace(expected.find(oldLine), oldLine.size(),
                   "\"1200\",\"Bank \"\"Main\"\" Account\"\r\n");
  EXPECT_EQ(readBytes(chart), expected);
  const json written{
      {"event", "chart-written"}, {"file", chart.string()}, {"accounts", kDemoAccounts}};
  EXPECT_EQ(run.all("chart-written"), std::vector<json>{written});
  EXPECT_TRUE(strayChartFiles(co.dir()).empty());
}

TEST_F(HostDisplay, AChartThatCannotBeWrittenGivesFalseAndNoEvent) {
  TestCompany co;
  // A folder where the chart file should be: the rename over it fails.
  const fs::path chart = fs::path(co.dir()) / "GLCOAT.CSV";
  fs::create_directory(chart);
  auto run = co.drive("open 3605 16\nanswer ok\nclick 3605 2\n");
  ASSERT_EQ(run.status, 0) << run.error();
  EXPECT_EQ(run.messages(), std::vector<std::string>{"chart 0"});
  EXPECT_TRUE(run.all("chart-written").empty());
  EXPECT_TRUE(fs::is_directory(chart));
  EXPECT_TRUE(strayChartFiles(co.dir()).empty()) << "the temporary file is removed";
}

// In this process, with the data path pointing elsewhere: the chart goes
// there, and a folder that takes no new file (/proc, whoever asks) gives
// false and no event.
TEST(HostChart, TheChartGoesWhereTheDataPathPointsOrNowhere) {
  TestCompany co;
  for (const auto& [dir, written] :
       {std::pair{std::string("/proc"), false}, std::pair{co.scratch("").string(), true}}) {
    data::openCompany(co.dir());
    std::strncpy(g_lpGlobVar->dataPath, dir.c_str(), sizeof g_lpGlobVar->dataPath - 1);
    std::vector<json> events;
    events::setSink([&](const json& e) { events.push_back(e); });
    EXPECT_EQ(CreateGLCOATfile(0), written ? TRUE : FALSE) << dir;
    events::setSink(nullptr);
    EXPECT_EQ(events.size(), written ? 1u : 0u) << dir;
    std::memset(g_lpGlobVar->dataPath, 0, sizeof g_lpGlobVar->dataPath);
    data::closeCompany();
  }
  EXPECT_EQ(readBytes(co.scratch("GLCOAT.CSV")), kDemoChart);
}

}  // namespace
}  // namespace vx70::test
