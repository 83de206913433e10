// Opening a company folder: a missing, foreign, damaged or truncated
// database, or one holding a record of the wrong length, is refused with an
// error that names the file, never read as zeroes.  (A server's company:
// data_pg_test.)
#include <fstream>
#include <iterator>

#include "host/data/sqlite.h"
#include "host/data/sqlite_store.h"
#include "tests/support/data_support.h"

namespace vx70::test {
namespace {

namespace fs = std::filesystem;

class SqliteCompanyFile : public ::testing::Test {
 protected:
  // A company with enough records to span many database pages.
  void Populate() {
    data::openCompany(company_.dir());
    ASSERT_TRUE(FileOpen(Entry(DF_SETUP), 4096, 64, 1));
    ASSERT_TRUE(FileOpen(Entry(DF_CURRENCIES), 4096, 64, 1));
    std::vector<std::uint8_t> setup(4783, 0x5A), currency(84, 0x21);
    for (DWORD n = 1; n <= 40; ++n) ASSERT_TRUE(WriteRec(Entry(DF_SETUP), n, setup.data()));
    for (DWORD n = 1; n <= 10; ++n) ASSERT_TRUE(WriteRec(Entry(DF_CURRENCIES), n, currency.data()));
    data::closeCompany();
  }

  // A new company directory whose database file holds bytes.
  std::string Other(const std::string& bytes) {
    std::string dir = company_.dir() + "/other" + std::to_string(++others_);
    fs::create_directories(dir);
    std::ofstream(data::databasePath(dir), std::ios::binary) << bytes;
    return dir;
  }

  std::string DatabaseBytes() {
    std::ifstream in(company_.database(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  // Expects openCompany to refuse dir with a message naming its database.
  void ExpectRefused(const std::string& dir) {
    try {
      data::openCompany(dir);
      ADD_FAILURE() << dir << " was opened";
    } catch (const data::DataError& e) {
      EXPECT_NE(std::string(e.what()).find(data::databasePath(dir)), std::string::npos) << e.what();
    }
    EXPECT_FALSE(data::companyOpen());
  }

  ScratchCompany company_;
  int others_ = 0;
};

// A missing, foreign, damaged or truncated database is refused.  SQLite
// keeps the application id at offset 68 of its header and the schema
// version at offset 60, both big-endian.
TEST_F(SqliteCompanyFile, ForeignDamagedAndTruncatedDatabasesAreRefused) {
  Populate();
  const std::string bytes = DatabaseBytes();
  ASSERT_GT(bytes.size(), 8u * 4096) << "the company spans many pages";
  auto changed = [&](std::size_t from, std::size_t to, auto byteAt) {
    std::string copy = bytes;
    for (std::size_t i = from; i < to; ++i) copy[i] = static_cast<char>(byteAt(i));
    return copy;
  };
  const std::pair<const char*, std::string> kFiles[] = {
      {"a letter", "This is a letter, not a company.\n" + std::string(2000, 'x')},
      {"short", "short"},
      {"empty", ""},
      {"half", bytes.substr(0, bytes.size() / 2)},
      {"one page", bytes.substr(0, 4096)},
      {"50 bytes", bytes.substr(0, 50)},
      {"damaged pages", changed(4096, 3 * 4096, [](std::size_t i) { return i * 7; })},
      {"foreign", changed(68, 69, [](std::size_t) { return 0x12; })},
      {"newer", changed(63, 64, [](std::size_t) { return 9; })},
  };
  for (const auto& [what, content] : kFiles) {
    SCOPED_TRACE(what);
    ExpectRefused(Other(content));
  }
  const std::string missing = company_.dir() + "/nothing";
  EXPECT_FALSE(data::companyExists(missing));
  ExpectRefused(missing);
  const std::string plain = company_.dir() + "/plain";
  fs::create_directories(plain);
  data::Database(data::databasePath(plain), data::Database::Mode::createNew)
      .exec("CREATE TABLE notes(text TEXT); INSERT INTO notes VALUES('hello')");
  ExpectRefused(plain);
}

// A record of the wrong length is refused when read, the others still read;
// and when the company is next opened, it is refused by name.
TEST_F(SqliteCompanyFile, AWrongLengthRecordIsRefusedAtReadAndAtOpen) {
  Populate();
  data::openCompany(company_.dir());
  {
    data::Database raw(company_.database(), data::Database::Mode::openExisting);
    raw.exec("PRAGMA busy_timeout = 5000");
    raw.exec("UPDATE records SET data = zeroblob(90) WHERE file = 20 AND recno = 3");
  }
  std::vector<std::uint8_t> buffer(90, 0x77);
  EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 3, buffer.data()), 0u);
  EXPECT_EQ(buffer[0], 0x77) << "nothing copied";
  for (const std::string& part : {company_.database(), std::string("currencies")})
    EXPECT_NE(data::lastError().find(part), std::string::npos) << data::lastError();
  EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 2, buffer.data()), 84u) << "the others still read";
  data::closeCompany();
  try {
    data::openCompany(company_.dir());
    ADD_FAILURE() << "opened";
  } catch (const data::DataError& e) {
    for (const std::string& part :
         {company_.database(), std::string("currencies"), std::string("record 3")})
      EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
  }
}

// Damage inside a record that SQLite's own checks cannot see: the record is
// refused at every read, with the file and the record named, and `check`
// finds it; the other records still read.
TEST_F(SqliteCompanyFile, ARecordThatDoesNotMatchItsChecksumIsNeverShown) {
  const struct {
    const char* what;
    const char* sql;
  } kDamage[] = {
      {"one byte changed",
       "UPDATE records SET data = CAST(substr(data, 1, 10) || x'FF' || substr(data, 12) AS BLOB) "
       "WHERE file = 20 AND recno = 3"},
      {"another record's checksum",
       "UPDATE records SET sum = (SELECT sum FROM records WHERE file = 20 AND recno = 2) "
       "WHERE file = 20 AND recno = 3"},
      {"the checksum changed", "UPDATE records SET sum = sum + 1 WHERE file = 20 AND recno = 3"},
  };
  for (const auto& damage : kDamage) {
    SCOPED_TRACE(damage.what);
    Populate();
    {
      data::Database raw(company_.database(), data::Database::Mode::openExisting);
      raw.exec(damage.sql);
    }
    data::openCompany(company_.dir());
    std::vector<std::uint8_t> buffer(84, 0x77);
    EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 3, buffer.data()), 0u);
    EXPECT_EQ(buffer[0], 0x77) << "nothing copied";
    for (const std::string& part : {company_.database(), std::string("currencies"),
                                    std::string("record 3"), std::string("damaged")})
      EXPECT_NE(data::lastError().find(part), std::string::npos) << data::lastError();
    EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 2, buffer.data()), 84u) << "the others still read";
    // Open for reading, record 2 fetches its neighbours ahead: still only
    // record 3 itself is refused.
    ASSERT_TRUE(FileOpen(Entry(DF_CURRENCIES), 0, 64, 1));
    EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 2, buffer.data()), 84u);
    EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 3, buffer.data()), 0u) << "read ahead, refused";
    EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 4, buffer.data()), 84u);
    FileClose(Entry(DF_CURRENCIES));
    data::closeCompany();
    data::SqliteStore store(company_.database(), data::Store::Access::readOnly);
    auto found = store.check();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NE(found[0].find("record 3"), std::string::npos) << found[0];
    data::Database raw(company_.database(), data::Database::Mode::openExisting);
    raw.exec("DELETE FROM records");
  }
}

}  // namespace
}  // namespace vx70::test
