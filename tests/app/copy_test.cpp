// vx70 copy, run as a user runs it: a company copied to the other kind of
// place and back arrives byte for byte, and a damaged record stops a copy
// with nothing left behind.  Under the pg.* run the copies cross between a
// folder and the server; otherwise they go from folder to folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/data/backend.h"
#include "host/data/sqlite.h"
#include "tests/support/backend_support.h"

namespace vx70::test {
namespace {

namespace fs = std::filesystem;

class Copy : public ::testing::Test {
 protected:
  ~Copy() override {
    for (const auto& folder : folders_) RemoveCompanyFiles(folder);
  }
  // A place for a company: on the server under the pg.* run, else a folder.
  std::string place(const char* name) {
    if (!OnPostgres()) return (scratch_.path() / name).string();
    folders_.emplace_back();
    return FreshCompanyLocation(folders_.back());
  }
  std::string folder(const char* name) { return (scratch_.path() / name).string(); }
  ProgramRun run(const std::vector<std::string>& args) { return RunVx70(args, scratch_.path()); }
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
  ScratchFolder scratch_;
  std::vector<std::string> folders_;
};

TEST_F(Copy, ThereAndBackArrivesByteForByte) {
  const std::string origin = folder("origin"), there = place("there"), back = folder("back");
  ASSERT_EQ(run({"init", origin, "--demo"}).status, 0);
  for (auto [from, to] : {std::pair{origin, there}, std::pair{there, back}}) {
    const ProgramRun copied = run({"copy", from, to});
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
    const ProgramRun refused = run({"copy", from, to});
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
