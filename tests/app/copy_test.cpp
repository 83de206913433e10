// vx70 copy, run as a user runs it: a company copied to the other kind of
// place and back arrives byte for byte, and a damaged record stops a copy
// with nothing left behind.  Under the pg.* run the copies cross between a
// folder and the server; otherwise they go from folder to folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/data/backend.h"
#include "host/data/sqlite.h"
#include "tests/support/backend_support.h"

namespace vx70::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome vx70(const std::vector<std::string>& args, const fs::path& scratch) {
  std::string command = VX70_PROGRAM_PATH;
  for (const auto& arg : args) command += " '" + arg + "'";
  command += " >" + (scratch / "out").string() + " 2>" + (scratch / "err").string();
  const int raw = std::system(command.c_str());
  auto slurp = [&](const char* name) {
    std::ostringstream text;
    text << std::ifstream(scratch / name).rdbuf();
    return text.str();
  };
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp("out"), slurp("err")};
}

class Copy : public ::testing::Test {
 protected:
  Copy() {
    char pattern[] = "/tmp/vx70-copy-XXXXXX";
    scratch_ = mkdtemp(pattern);
  }
  ~Copy() override {
    for (const auto& folder : folders_) RemoveCompanyFiles(folder);
    fs::remove_all(scratch_);
  }
  // A place for a company: on the server under the pg.* run, else a folder.
  std::string place(const char* name) {
    if (!OnPostgres()) return (scratch_ / name).string();
    folders_.emplace_back();
    return FreshCompanyLocation(folders_.back());
  }
  std::string folder(const char* name) { return (scratch_ / name).string(); }
  Outcome run(const std::vector<std::string>& args) { return vx70(args, scratch_); }
  std::string shown(const std::string& company) {
    return run({"show", "--data", company, "20"}).out;
  }

  // Changes one byte's checksum of currency 3, as a failing disk would.
  void damageCurrency3(const std::string& company) {
    const auto address = data::CompanyAddress::parse(company);
    const bool onServer = address.kind == data::CompanyAddress::Kind::postgres;
    const std::string sql = "UPDATE " + (onServer ? address.company + "." : std::string()) +
                            "records SET sum = sum + 1 WHERE file = 20 AND recno = 3";
    if (onServer)
      ServerQuery(sql);
    else
      data::Database(data::databasePath(company), data::Database::Mode::openExisting)
          .exec(sql.c_str());
  }

 private:
  fs::path scratch_;
  std::vector<std::string> folders_;
};

TEST_F(Copy, ThereAndBackArrivesByteForByte) {
  const std::string origin = folder("origin"), there = place("there"), back = folder("back");
  ASSERT_EQ(run({"init", origin, "--demo"}).status, 0);
  for (auto [from, to] : {std::pair{origin, there}, std::pair{there, back}}) {
    const Outcome copied = run({"copy", from, to});
    ASSERT_EQ(copied.status, 0) << copied.err;
    EXPECT_NE(copied.out.find("Copied 1429 records of 11 data files"), std::string::npos)
        << copied.out;
    EXPECT_EQ(run({"check", "--data", to}).status, 0);
    EXPECT_EQ(shown(to), shown(origin));
  }
  EXPECT_EQ(run({"copy", origin, back}).status, 1) << "a company is never copied over another";
}

TEST_F(Copy, ADamagedRecordStopsTheCopyAndLeavesNothing) {
  const std::string folderCompany = folder("damaged"), serverCompany = place("damaged-there");
  ASSERT_EQ(run({"init", folderCompany, "--demo"}).status, 0);
  ASSERT_EQ(run({"copy", folderCompany, serverCompany}).status, 0);
  damageCurrency3(folderCompany);
  damageCurrency3(serverCompany);
  for (auto [from, to] : {std::pair{folderCompany, place("refused-there")},
                          std::pair{serverCompany, folder("refused-back")}}) {
    const Outcome refused = run({"copy", from, to});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("data file 20 (currencies): record 3 is damaged"), std::string::npos)
        << refused.err;
    EXPECT_FALSE(data::companyExists(to)) << to;
    if (data::CompanyAddress::parse(to).kind == data::CompanyAddress::Kind::folder)
      EXPECT_FALSE(fs::exists(to)) << "the folder the copy made is removed again";
  }
}

}  // namespace
}  // namespace vx70::test
