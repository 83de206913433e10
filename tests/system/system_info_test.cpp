// About (3630) and System Info (3629) driven as a person uses them: the
// rows per edition and machine, the printed temporary file byte for byte
// whichever way System Info was opened, the PDF that the report printer
// makes of it, the temporary-file failure, help and the system editor.
#include <filesystem>
#include <sstream>

#include "frame/res/ids_system.h"
#include "tests/support/drive_support.h"

namespace vx70::test {
namespace {

namespace fs = std::filesystem;

const std::string kShowInfo = "open 3629\nshow 3629\nclick 3629 1\n";

json infoGrid(const DriveRun& run) {
  return shownControl(run, 0, IDD_SYSTEM_INFO, IDC_SYSTEM_INFO_GRID);
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string output(const std::string& command) {
  std::string text;
  FILE* in = popen(command.c_str(), "r");
  char chunk[4096];
  std::size_t got;
  while (in && (got = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, got);
  if (in) pclose(in);
  return text;
}

// The company's name as About and the report show it.
std::string companyName(const TestCompany& co) {
  std::string name = co.stored<setupmap>(DF_SETUP, 1).companyName;
  return name.substr(0, name.find_last_not_of(' ') + 1);
}

TEST(SystemInfo, RowsFollowTheEditionTheMachineAndTheCompany) {
  struct Case {
    std::string options;
    WORD auditCleared;
    std::vector<std::string> missing;  // of the thirty rows
    std::string dosVersion;
    std::string systemFolder;
  };
  // The thirty rows in their order.
  std::vector<std::string> all;
  std::istringstream rowNames(
      "Directories|Program directory|Data directory|Windows directory|Windows system|"
      "System information|Free global heap|Screen Resolution|Temp drive|Dos version|"
      "Windows version|Data information|Headers|Splits|Usages|Customer Accounts|"
      "Supplier Accounts|Nominal Accounts|Bank Accounts|Stock Records|Invoices|"
      "Sales Orders|Purchase Orders|Fixed Asset Records|Last Invoice|Last Credit Note|"
      "Last Sales Order|Last Purchase Order|Clear Audit Trail ran|Last backup");
  for (std::string name; std::getline(rowNames, name, '|');) all.push_back(name);
  const std::vector<std::string> entryMissing{"Sales Orders", "Purchase Orders",
                                              "Fixed Asset Records", "Last Sales Order",
                                              "Last Purchase Order"};
  auto without = [](std::vector<std::string> names, const std::string& name) {
    names.push_back(name);
    return names;
  };
  const std::vector<Case> cases{
      {"", 0, {"Clear Audit Trail ran"}, "195.182", "system"},
      {"--edition 16", 0, without(entryMissing, "Clear Audit Trail ran"), "195.182", "system"},
      {"--edition 16 --windows-nt", 16000, entryMissing, "5.101", "system32"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    TestCompany co;
    setupmap setup = co.stored<setupmap>(DF_SETUP, 1);
    setup.auditClearedDate = c.auditCleared;
    setup.lastBackupDate = 16001;
    co.store(DF_SETUP, 1, &setup);
    DriveRun run = co.use(kShowInfo, c.options);

    json grid = infoGrid(run);
    std::vector<std::string> expected;
    for (const auto& name : all)
      if (std::find(c.missing.begin(), c.missing.end(), name) == c.missing.end())
        expected.push_back(name);
    std::map<std::string, std::string> settings;
    std::vector<std::string> properties;
    for (std::size_t r = 0; r < grid["rows"].size(); ++r) {
      const std::string property = grid["rows"][r][0];
      properties.push_back(property);
      settings[property] = grid["rows"][r][1];
      EXPECT_EQ(grid["levels"][r],
                property == "Directories" || property.ends_with(" information") ? 0 : 1)
          << property;
    }
    EXPECT_EQ(properties, expected);

    const fs::path stationDir = fs::path(co.dir()) / "stations" / "STATION1";
    EXPECT_EQ(settings["Program directory"], fs::path(VX70_PROGRAM_PATH).parent_path().string());
    EXPECT_EQ(settings["Data directory"], upper(co.dir()));
    EXPECT_EQ(settings["Windows directory"], stationDir.string());
    EXPECT_EQ(settings["Windows system"], (stationDir / c.systemFolder).string());
    EXPECT_EQ(settings["Dos version"], c.dosVersion);
    const contmap control = co.stored<contmap>(DF_CONTROL, 1);
    EXPECT_EQ(settings["Splits"], std::to_string(control.splitCount));
    EXPECT_EQ(settings["Usages"], std::to_string(control.usageCount));
    EXPECT_EQ(settings["Nominal Accounts"], "26");
    EXPECT_EQ(settings["Bank Accounts"], "3");
    EXPECT_EQ(settings["Customer Accounts"], "0");
    EXPECT_EQ(settings["Last backup"], "22/10/2023");
    if (c.auditCleared) EXPECT_EQ(settings["Clear Audit Trail ran"], "21/10/2023");
  }
}

TEST(SystemInfo, AboutNamesTheProgramVersionAndCompany) {
  TestCompany co;
  for (const auto& [options, title] : std::vector<std::pair<std::string, std::string>>{
           {"", "Varnel Accounting"}, {"--edition 16", "Varnel 2000"}}) {
    DriveRun run = co.use("open 3630\nshow 3630\nclick 3630 101\nclick 3630 1\n", options);
    json about = run.shown(0, IDD_ABOUT);
    EXPECT_EQ(shownControl(about, IDC_ABOUT_TITLE)["text"], title);
    EXPECT_EQ(shownControl(about, IDC_ABOUT_VERSION)["text"], "7.00");
    EXPECT_EQ(shownControl(about, IDC_ABOUT_COMPANY_NAME)["text"], companyName(co));
    auto help = run.all("help");
    ASSERT_EQ(help.size(), 1u);
    EXPECT_EQ(help[0]["data"], 10010);
  }
}

// Print writes "Property: Settings" CR LF a row, headings included, the
// same however System Info was opened, and the report printer makes a PDF
// of it headed by the title, the company and the date (its lines are the
// report printer test's).
TEST(SystemInfo, PrintWritesEveryRowAndTheReportIsAPdfOfThem) {
  TestCompany co;
  const std::string options = "--program-date 01/04/2024";
  DriveRun shown = co.use(kShowInfo, options);
  const json rows = infoGrid(shown)["rows"];
  ASSERT_EQ(rows.size(), 29u);
  std::string expected;
  for (const auto& row : rows)
    expected += row[0].get<std::string>() + ": " + row[1].get<std::string>() + "\r\n";

  const std::vector<std::string> ways{
      "open 3629\nclick 3629 1833\nclick 3629 1\n",
      "open 3630\npage 3630 1\nclick 3629 1833\nclick 3630 1\n",
      "open 3630\nclick 3630 2042\nclick 3629 1833\nclick 3629 1\nclick 3630 1\n",
  };
  for (const std::string& script : ways) {
    SCOPED_TRACE(script);
    DriveRun run = co.use(script, options);
    auto reports = run.all("report");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0]["layout"], "SYSINFO.SRT");
    EXPECT_EQ(readText(reports[0]["data"].get<std::string>()), expected);

    const std::string pdf = reports[0]["pdf"];
    EXPECT_EQ(readText(pdf).substr(0, 5), "%PDF-");
    const std::string text = output("pdftotext -layout " + shellQuote(pdf) + " -");
    for (const std::string& line : {std::string("System Information"), companyName(co),
                                    std::string("Date: 01/04/2024"), std::string("Page 1 of 1")})
      EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    fs::remove(pdf);
    fs::remove(reports[0]["data"].get<std::string>());
  }
}

TEST(SystemInfo, TemporaryFileFailureIsShownAndNothingIsPrinted) {
  TestCompany co;
  setenv("TMPDIR", co.scratch("no-such-folder").c_str(), 1);
  DriveRun run = co.use("open 3629\nclick 3629 1833\nanswer ok\nclick 3629 1413\nclick 3629 1\n");
  unsetenv("TMPDIR");
  EXPECT_EQ(run.messages(), std::vector<std::string>{
                                "Unable to create temporary file. Check TEMP directory and disk "
                                "space"});
  EXPECT_EQ(run.all("message")[0]["kind"], 1);
  EXPECT_TRUE(run.all("report").empty());
  auto execute = run.all("execute");
  ASSERT_EQ(execute.size(), 1u);
  EXPECT_EQ(execute[0]["command"], "SYSEDIT.EXE");
}

}  // namespace
}  // namespace vx70::test
