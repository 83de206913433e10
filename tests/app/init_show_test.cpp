// vx70 init and vx70 show, run as a user runs them: a new company and a
// demonstration company are made once and their records checked where the
// dialog tests do not reach (they read the code tables, the chart and the
// tax codes), and the commands refuse what they must refuse without
// touching the company.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/data/company.h"
#include "tests/support/backend_support.h"
#include "tests/support/drive_support.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
const auto& quoted = vx70::test::shellQuote;

using vx70::test::ProgramRun;

class Workspace : public vx70::test::ScratchFolder {
 public:
  const std::filesystem::path& root() const { return path(); }
  ProgramRun vx70(const std::vector<std::string>& args) const {
    return vx70::test::RunVx70(args, root());
  }
};

const Workspace& workspace() {
  static Workspace w;
  return w;
}

std::string makeCompany(const char* name, std::vector<std::string> options) {
  std::string dir = (workspace().root() / name).string();
  options.insert(options.begin(), {"init", dir});
  ProgramRun r = workspace().vx70(options);
  EXPECT_EQ(r.status, 0) << r.err;
  return dir;
}

// One company of each kind, made on first use (each test runs in a
// process of its own).
std::string company(bool demo) {
  if (demo) {
    static const std::string dir = makeCompany("demo", {"--demo"});
    return dir;
  }
  static const std::string dir = makeCompany("plain", {});
  return dir;
}

// The records that vx70 show prints, one JSON object per line.
std::vector<Json> show(const std::string& dir, const std::string& what) {
  ProgramRun r = workspace().vx70({"show", "--data", dir, what});
  EXPECT_EQ(r.status, 0) << what << ": " << r.err;
  std::vector<Json> records;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) records.push_back(Json::parse(line));
  if (what.find(':') == std::string::npos)  // a whole file, in record order
    for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i]["record"], i + 1) << what;
  return records;
}

int thisYear() {
  const std::time_t now = std::time(nullptr);
  return std::localtime(&now)->tm_year + 1900;
}

// ---- A new company -------------------------------------------------------------

TEST(InitShow, NewCompanySetup) {
  const auto setup = show(company(false), "setup");
  ASSERT_EQ(setup.size(), 1u);
  const Json& s = setup[0];
  EXPECT_EQ(s["companyName"], "My Company");
  EXPECT_EQ(s["password"], std::string(10, ' '));  // blank, stored form
  EXPECT_EQ(s["fyStartMonth"], 0);
  EXPECT_EQ(s["fyStartYear"], thisYear());
  EXPECT_EQ(s["custAgeingPeriods"], Json({30, 60, 90, 120}));
  EXPECT_EQ(s["suppAgeingPeriods"], Json({30, 60, 90, 120}));
  EXPECT_EQ(s["custNominalCode"], "4000");
  EXPECT_EQ(s["custTaxCode"], 1);
  EXPECT_EQ(s["prodCategory"], 1);
  EXPECT_EQ(s["nonVatableTaxCode"], 9);
  EXPECT_EQ(s["baseCurrency"], 0);
  EXPECT_EQ(s["baseEuroRate"], 0.86);
  EXPECT_EQ(s["listUpdate"], Json(std::vector<int>(11, 1)));
  EXPECT_EQ(s["addressLabel"][4], "Post Code");
  EXPECT_EQ(s["lastBackupDate"], "");
  for (auto it = s.begin(); it != s.end(); ++it)
    EXPECT_EQ(it.key().rfind("reserved", 0), std::string::npos) << it.key() << " is set";
}

// What the dialog tests on the demonstration company cannot see: a new
// company has no transactions, finance rates or actions yet, and its texts
// are stored padded.  `show` takes a file by name or number, and one record.
TEST(InitShow, ANewCompanyHasNoTransactionsAndStoresItsTextsPadded) {
  const std::string dir = company(false);
  EXPECT_EQ(show(dir, "control").at(0)["splitCount"], 0);
  EXPECT_TRUE(show(dir, "financeRates").empty());
  EXPECT_TRUE(show(dir, "actions").empty());
  EXPECT_EQ(show(dir, "accountStatus").at(2)["description"], "Closed" + std::string(54, ' '));
  EXPECT_EQ(show(dir, "35").at(0)["name"], "Land and Buildings" + std::string(42, ' '));
  const auto users = show(dir, "users");
  ASSERT_EQ(users.size(), 1u);
  EXPECT_EQ(users[0]["logonName"], "MANAGER");
  EXPECT_EQ(users[0]["password"], std::string(10, ' '));
  const auto euro = show(dir, "20:3");
  ASSERT_EQ(euro.size(), 1u);
  EXPECT_EQ(euro[0]["record"], 3);
  EXPECT_EQ(euro[0]["flags"], CURRENCY_EURO_MEMBER);
}

// ---- The demonstration company -----------------------------------------------------

// Its name, chart, postings and control record the dialog tests read.
TEST(InitShow, DemonstrationCompany) {
  const std::string dir = company(true);
  const Json s = show(dir, "setup").at(0);
  EXPECT_EQ(s["addressLine"][2], "Bristol");
  EXPECT_EQ(s["custDiscountType"], 1);
  EXPECT_EQ(s["custDiscountValues"][1], 5000.0);
  EXPECT_NE(s["lastBackupDate"], "");
  const auto rates = show(dir, "financeRates");
  ASSERT_EQ(rates.size(), 2u);
  EXPECT_EQ(rates[0]["dateFrom"], "01/11/1998");
  EXPECT_EQ(rates[0]["deleted"], 0);
}

TEST(InitShow, EntryEditionHasNoDiscountScheme) {
  const std::string dir = makeCompany("entry", {"--demo", "--edition", "16"});
  const Json s = show(dir, "setup").at(0);
  EXPECT_EQ(s["custDiscountType"], 0);
  EXPECT_EQ(s["callChargeRate"], 0.0);
}

// ---- Refusals ---------------------------------------------------------------------

TEST(InitShow, InitRefusesAnExistingCompanyAndLeavesIt) {
  const std::string dir = company(true);
  const ProgramRun before = workspace().vx70({"show", "--data", dir, "setup"});
  const ProgramRun again = workspace().vx70({"init", dir});
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("already holds a company"), std::string::npos) << again.err;
  const ProgramRun after = workspace().vx70({"show", "--data", dir, "setup"});
  EXPECT_EQ(after.out, before.out);
  EXPECT_NE(after.out.find("Wintergreen"), std::string::npos);
}

// The records hold the users' passwords: whatever the umask, only the
// company's owner may read them.  A sound company checks clean.
TEST(InitShow, ACompanyIsPrivateToItsOwnerAndChecksSound) {
  const std::string dir = company(false);
  EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all);
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    EXPECT_EQ(entry.status().permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write)
        << entry.path();
  }
  const ProgramRun check = workspace().vx70({"check", "--data", dir});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  EXPECT_NE(check.out.find("sound"), std::string::npos) << check.out;
}

// Makes a company read-only for as long as it lives: by its permission
// bits, or for root, whom they do not stop, by the immutable attribute.
class ReadOnly {
 public:
  explicit ReadOnly(const std::string& dir) : dir_(dir) {
    fs::copy(company(true), dir_);
    paths_ = {dir_ + "/company.vx70", dir_};
    for (const auto& p : paths_) {
      if (geteuid() == 0)
        works_ = std::system(("chattr +i " + quoted(p) + " 2>/dev/null").c_str()) == 0 && works_;
      else
        fs::permissions(p, fs::perms::owner_write, fs::perm_options::remove);
    }
  }
  ~ReadOnly() {
    for (const auto& p : paths_) {
      if (geteuid() == 0)
        (void)std::system(("chattr -i " + quoted(p) + " 2>/dev/null").c_str());
      else
        fs::permissions(p, fs::perms::owner_write, fs::perm_options::add);
    }
  }
  bool works() const { return works_; }

 private:
  std::string dir_;
  std::vector<std::string> paths_;
  bool works_ = true;
};

// A company that cannot be written is still shown, and a station refuses it
// at start, saying so, instead of calling it unusable.
TEST(InitShow, AReadOnlyCompanyIsShownAndAStationSaysItIsReadOnly) {
  const std::string dir = (workspace().root() / "read-only").string();
  ReadOnly readOnly(dir);
  if (!readOnly.works()) GTEST_SKIP() << "this file system cannot make a file immutable";
  const ProgramRun shown = workspace().vx70({"show", "--data", dir, "setup"});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("Wintergreen"), std::string::npos);
  const std::string script = (workspace().root() / "empty.vx70").string();
  std::ofstream{script};
  const ProgramRun station = workspace().vx70({"drive", script, "--data", dir});
  EXPECT_EQ(station.status, 1);
  EXPECT_NE(station.out.find("the company is read-only"), std::string::npos) << station.out;
  EXPECT_EQ(station.out.find("SQL"), std::string::npos) << station.out;
}

TEST(InitShow, InitRefusesAnEditionThatDoesNotExist) {
  const std::string dir = (workspace().root() / "edition3").string();
  EXPECT_NE(workspace().vx70({"init", dir, "--edition", "3"}).status, 0);
  EXPECT_FALSE(vx70::data::companyExists(dir));
}

TEST(InitShow, ShowFailsCleanlyOnBadArguments) {
  const std::string dir = company(false);
  const std::string missing = (workspace().root() / "nothing-here").string();
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"show", "--data", dir, "bogus"}, "no data file"},
      {{"show", "--data", dir, "5"}, "no data file"},
      {{"show", "--data", missing, "setup"}, "holds no company"},
      {{"show", "--data", dir, "20:100"}, "has no record 100"},
      {{"show", "--data", dir, "20:0"}, "numbered from 1"},
      {{"show", "--data", dir, "20:x"}, "names no record"},
      {{"show", "--data", dir, "setup", "--record", "2"}, "has no record 2"},
      {{"show", "--data", dir, "20:2", "--record", "3"}, "different records"},
  };
  for (const Case& c : cases) {
    ProgramRun r = workspace().vx70(c.args);
    EXPECT_EQ(r.status, 1) << c.args.back();
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  EXPECT_NE(workspace().vx70({"show", "--data", dir}).status, 0);
  EXPECT_FALSE(fs::exists(missing));
}

}  // namespace
