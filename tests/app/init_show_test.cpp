// vx70 init and vx70 show, run as a user runs them: a new company and a
// demonstration company are made once, every data file is shown and its
// key records checked, and the commands refuse what they must refuse
// without touching the company.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
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

std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
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

TEST(InitShow, ControlAccountsAndTaxCodes) {
  const Json control = show(company(false), "control").at(0);
  const auto nominal = show(company(false), "nominal");
  std::set<int> slots;
  for (int slot = 0; slot < 15; ++slot) {
    SCOPED_TRACE(slot);
    int record = control["controlRec"][slot];
    ASSERT_GE(record, 1);
    ASSERT_LE(record, static_cast<int>(nominal.size()));
    slots.insert(record);
    const int expectedType = slot == 2 ? NOMINAL_BANK : NOMINAL_CONTROL;
    EXPECT_EQ(nominal[record - 1]["typeFlags"], expectedType);
  }
  EXPECT_EQ(slots.size(), 15u);  // no account fills two slots
  EXPECT_EQ(control["splitCount"], 0);

  const Json& tax = control["taxCode"];
  ASSERT_EQ(tax.size(), 100u);
  EXPECT_EQ(tax[0]["rate"], 0.0);
  EXPECT_EQ(tax[1]["rate"], 17.5);
  EXPECT_EQ(tax[1]["inUse"], 1);
  EXPECT_EQ(tax[9]["inUse"], 0);
  EXPECT_EQ(tax[8]["ecPurchases"], 1);
  EXPECT_EQ(tax[8]["link"], 1);

  // The default nominal codes name ordinary accounts.
  for (const char* code : {"4000", "5000"}) {
    int found = 0;
    for (const auto& n : nominal)
      if (trimmed(n["code"]) == code) found = n["record"];
    ASSERT_NE(found, 0) << code;
    EXPECT_EQ(nominal[found - 1]["typeFlags"], NOMINAL_ORDINARY) << code;
  }
}

TEST(InitShow, CodeTables) {
  const std::string dir = company(false);
  const auto currencies = show(dir, "currencies");
  ASSERT_EQ(currencies.size(), 99u);
  EXPECT_EQ(currencies[0]["name"], "Pound Sterling");
  EXPECT_EQ(currencies[0]["flags"], CURRENCY_BASE);
  EXPECT_EQ(currencies[98]["name"], "");

  const auto euro = show(dir, "20:3");
  ASSERT_EQ(euro.size(), 1u);
  EXPECT_EQ(euro[0]["record"], 3);
  EXPECT_EQ(euro[0]["flags"], CURRENCY_EURO_MEMBER);

  const auto statuses = show(dir, "accountStatus");
  ASSERT_EQ(statuses.size(), 100u);
  EXPECT_EQ(trimmed(statuses[0]["description"]), "Open");
  EXPECT_EQ(statuses[0]["onHold"], 0);
  EXPECT_EQ(statuses[0]["description"].get<std::string>().size(), 60u);  // padded
  EXPECT_EQ(trimmed(statuses[2]["description"]), "Closed");
  EXPECT_EQ(statuses[2]["onHold"], 1);

  const auto departments = show(dir, "departments");
  ASSERT_EQ(departments.size(), 101u);
  EXPECT_EQ(departments[0]["name"], "");  // record 1 holds no department
  EXPECT_EQ(departments[1]["name"], "General");
  EXPECT_EQ(show(dir, "productCategories").size(), 999u);
  const auto assets = show(dir, "35");
  ASSERT_EQ(assets.size(), 99u);
  EXPECT_EQ(trimmed(assets[0]["name"]), "Land and Buildings");

  const auto users = show(dir, "users");
  ASSERT_EQ(users.size(), 1u);
  EXPECT_EQ(users[0]["logonName"], "MANAGER");
  EXPECT_EQ(users[0]["password"], std::string(10, ' '));
  EXPECT_TRUE(show(dir, "actions").empty());
  EXPECT_TRUE(show(dir, "financeRates").empty());
}

// ---- The demonstration company -----------------------------------------------------

TEST(InitShow, DemonstrationCompany) {
  const std::string dir = company(true);
  const Json s = show(dir, "setup").at(0);
  EXPECT_EQ(s["companyName"], "Wintergreen Trading Ltd");
  EXPECT_EQ(s["addressLine"][2], "Bristol");
  EXPECT_EQ(s["custDiscountType"], 1);
  EXPECT_EQ(s["custDiscountValues"][1], 5000.0);
  EXPECT_NE(s["lastBackupDate"], "");

  const Json control = show(dir, "control").at(0);
  EXPECT_GT(control["splitCount"], 0);  // transactions exist: the year is set
  const auto nominal = show(dir, "nominal");
  EXPECT_GT(nominal.size(), 18u);
  const Json& debtors = nominal.at(control["controlRec"][0].get<int>() - 1);
  EXPECT_EQ(debtors["balance"], 1250.0);
  EXPECT_NE(debtors["tranLink1"], 0);

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
