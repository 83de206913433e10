// The data file functions in one station: OpenFile's flags, record reads
// and writes at the edges of a file, record locks, the account search and
// the global block's setup and control records.
#include <array>
#include <cstring>
#include <numeric>

#include "tests/support/data_support.h"

namespace vx70::test {
namespace {

using data::lastError;

constexpr UINT kRead = 0, kWrite = 1, kReadWrite = 2, kCreate = 4096, kExist = 16384;
constexpr UINT kExclusive = 16, kDenyWrite = 32, kDenyNone = 64;

class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    stationOptions().lockTimeoutSeconds = 0.2;
    g_lpGlobVar->lockRecords = 0;
    data::openCompany(company_.dir());
  }

  // Creates the file (empty) and leaves it open for writing.
  void Create(unsigned number) { ASSERT_TRUE(FileOpen(Entry(number), kCreate, kDenyNone, 1)); }

  template <std::size_t N>
  static std::array<std::uint8_t, N> Filled(std::uint8_t first) {
    std::array<std::uint8_t, N> bytes;
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
  }

  ScratchCompany company_;
};

TEST_F(DataFiles, AFileNeverCreatedDoesNotExist) {
  EXPECT_FALSE(FileOpen(Entry(DF_CURRENCIES), kExist, kDenyNone, 1));
  EXPECT_FALSE(FileOpen(Entry(DF_CURRENCIES), kRead, kDenyNone, 1));
  EXPECT_NE(lastError().find(company_.database()), std::string::npos) << lastError();
  EXPECT_NE(lastError().find("currencies"), std::string::npos) << lastError();
  EXPECT_EQ(RecCount(Entry(DF_CURRENCIES)), 0u);
  std::uint8_t buffer[84] = {7};
  EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 1, buffer), 0u);
  EXPECT_EQ(buffer[0], 7);
  EXPECT_EQ(Entry(DF_CURRENCIES)->openCount, 0u);
}

TEST_F(DataFiles, CreateTruncatesAnExistingFile) {
  Create(DF_DEPARTMENTS);
  auto record = Filled<31>(1);
  for (DWORD n = 1; n <= 3; ++n) ASSERT_EQ(WriteRec(Entry(DF_DEPARTMENTS), n, record.data()), 31u);
  ASSERT_TRUE(FileClose(Entry(DF_DEPARTMENTS)));
  Create(DF_DEPARTMENTS);
  EXPECT_EQ(RecCount(Entry(DF_DEPARTMENTS)), 0u);
  EXPECT_EQ(ReadRec(Entry(DF_DEPARTMENTS), 1, record.data()), 0u);
}

TEST_F(DataFiles, EachAccessModeOpensAndOnlyWritersWrite) {
  Create(DF_CURRENCIES);
  FileClose(Entry(DF_CURRENCIES));
  auto record = Filled<84>(3);
  for (UINT access : {kRead, kWrite, kReadWrite}) {
    SCOPED_TRACE(access);
    ASSERT_TRUE(FileOpen(Entry(DF_CURRENCIES), access, kDenyNone, 1));
    EXPECT_EQ(WriteRec(Entry(DF_CURRENCIES), 1, record.data()), access == kRead ? 0u : 84u);
    EXPECT_TRUE(FileClose(Entry(DF_CURRENCIES)));
  }
  EXPECT_FALSE(FileClose(Entry(DF_CURRENCIES))) << "closed twice";
  EXPECT_EQ(WriteRec(Entry(DF_CURRENCIES), 1, record.data()), 0u) << "closed";
  EXPECT_NE(lastError().find("not open for writing"), std::string::npos) << lastError();
}

TEST_F(DataFiles, ANumberThatNamesNoFileIsRefused) {
  EXPECT_FALSE(FileOpen(Entry(5), kCreate, kDenyNone, 1));
  EXPECT_FALSE(FileOpen(nullptr, kRead, kDenyNone, 1));
  EXPECT_EQ(ReadRec(nullptr, 1, nullptr), 0u);
}

// Records count from 1; a read past the end leaves the buffer alone, a
// write past it fills the gap with zero records; reads need no open.
TEST_F(DataFiles, RecordsAreNumberedFromOneAndAWritePastTheEndFillsTheGap) {
  Create(DF_CURRENCIES);
  auto record = Filled<84>(0);  // zero bytes inside are data like any other
  auto buffer = Filled<84>(100);
  EXPECT_EQ(WriteRec(Entry(DF_CURRENCIES), 0, record.data()), 0u);
  EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 0, buffer.data()), 0u);
  ASSERT_EQ(WriteRec(Entry(DF_CURRENCIES), 5, record.data()), 84u);
  EXPECT_EQ(RecCount(Entry(DF_CURRENCIES)), 5u);
  EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 6, buffer.data()), 0u);
  EXPECT_EQ(buffer, Filled<84>(100)) << "a read past the end leaves the buffer alone";
  auto other = Filled<84>(9);
  ASSERT_EQ(WriteRec(Entry(DF_CURRENCIES), 2, other.data()), 84u);
  ASSERT_TRUE(FileClose(Entry(DF_CURRENCIES)));
  const std::array<std::uint8_t, 84> zero{};
  for (DWORD n = 1; n <= 5; ++n) {
    buffer.fill(0xEE);
    ASSERT_EQ(ReadRec(Entry(DF_CURRENCIES), n, buffer.data()), 84u) << "record " << n;
    EXPECT_EQ(buffer, n == 5 ? record : n == 2 ? other : zero) << "record " << n;
  }
  EXPECT_EQ(RecCount(Entry(DF_CURRENCIES)), 5u);
}

TEST_F(DataFiles, EveryFileStoresItsWholeRecord) {
  for (const auto& info : data::companyFiles()) {
    SCOPED_TRACE(info.name);
    EXPECT_EQ(Entry(info.number)->recordLength, info.recordLength) << "as the map tells it";
    EXPECT_STREQ(Entry(info.number)->name, info.name);
    Create(info.number);
    std::vector<std::uint8_t> record(info.recordLength), back(info.recordLength + 1, 0xAB);
    std::iota(record.begin(), record.end(), static_cast<std::uint8_t>(info.number));
    EXPECT_EQ(WriteRec(Entry(info.number), 2, record.data()), info.recordLength);
    EXPECT_EQ(ReadRec(Entry(info.number), 2, back.data()), info.recordLength);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), back.begin()));
    EXPECT_EQ(back.back(), 0xAB) << "no byte past the record";
    FileClose(Entry(info.number));
  }
}

TEST_F(DataFiles, RecordLocksAreHeldUntilReleased) {
  EXPECT_TRUE(LockRec(Entry(DF_SETUP), 1));
  EXPECT_TRUE(LockRec(Entry(DF_SETUP), 1)) << "relocking one's own record";
  EXPECT_TRUE(UnLockRec(Entry(DF_SETUP), 1));
  EXPECT_FALSE(UnLockRec(Entry(DF_SETUP), 1)) << "no longer held";
  EXPECT_FALSE(LockRec(Entry(DF_SETUP), 0));
}

// Nominal records: the code at offset 0 (9 bytes), the kind bits at 91.
class AccountSearch : public DataFiles {
 protected:
  void SetUp() override {
    DataFiles::SetUp();
    Create(DF_NOMINAL);
    Add(1, "4000", 1);
    Add(2, "1200", 2);
    Add(3, "1210    ", 2 | 8);  // stored padded, kind bits beyond bank kept
    FileClose(Entry(DF_NOMINAL));
  }
  void Add(DWORD number, const char* code, std::uint8_t kind) {
    nommap record{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&record);
    std::memcpy(bytes, code, std::strlen(code));
    bytes[91] = kind;
    bytes[600] = static_cast<std::uint8_t>(number);
    ASSERT_EQ(WriteRec(Entry(DF_NOMINAL), number, &record), 651u);
  }
  static std::uint8_t Tag(const nommap& record) {
    return reinterpret_cast<const std::uint8_t*>(&record)[600];
  }
};

// 258 searches every account, 260 bank accounts only; the record found is
// copied out, and nothing when none is.
TEST_F(AccountSearch, FindsAnAccountOfTheKindByItsCode) {
  const struct {
    UINT kind;
    const char* code;
    DWORD found;
  } cases[] = {{258, "1200    ", 2}, {258, "4000    ", 1}, {258, "1210    ", 3},
               {258, "1210", 3},     {260, "4000    ", 0}, {260, "1200    ", 2},
               {260, "1210    ", 3}, {258, "9999    ", 0}, {258, "        ", 0},
               {258, "120     ", 0}, {999, "1200    ", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.kind << " '" << c.code << "'");
    nommap found{};
    EXPECT_EQ(FlashFindAccount(Entry(0), c.kind, c.code, &found, 0), c.found);
    EXPECT_EQ(Tag(found), c.found);
  }
  EXPECT_EQ(FlashFindAccount(Entry(0), 258, "1210    ", nullptr, 0), 3u) << "no copy wanted";
}

class GlobalRecords : public DataFiles {
 protected:
  void SetUp() override {
    DataFiles::SetUp();
    std::memset(&g_lpGlobVar->setup, 0x11, sizeof(setupmap));
    std::memset(&g_lpGlobVar->control, 0x22, sizeof(contmap));
  }
};

TEST_F(GlobalRecords, AMissingRecordLeavesTheCopyAsItWas) {
  EXPECT_FALSE(ReadSetup());
  EXPECT_FALSE(ReadControl());
  EXPECT_FALSE(WriteSetup());
  Create(DF_SETUP);
  EXPECT_FALSE(ReadSetup());
  EXPECT_NE(lastError().find("setup"), std::string::npos) << lastError();
  EXPECT_EQ(reinterpret_cast<std::uint8_t*>(&g_lpGlobVar->setup)[4782], 0x11);
  EXPECT_EQ(reinterpret_cast<std::uint8_t*>(&g_lpGlobVar->control)[0], 0x22);
}

// A write of the global copy that fails puts what is stored back into it,
// so that the station shows what is stored, not the change that was lost.
TEST_F(GlobalRecords, AFailedWriteOfTheCopyReReadsTheStoredRecord) {
  Create(DF_CONTROL);
  contmap stored;
  std::memset(&stored, 0x44, sizeof stored);
  ASSERT_EQ(WriteRec(Entry(DF_CONTROL), 1, &stored), 1280u);
  ASSERT_TRUE(FileClose(Entry(DF_CONTROL)));
  EXPECT_EQ(WriteRec(Entry(DF_CONTROL), 1, &g_lpGlobVar->control), 0u) << "not open for writing";
  EXPECT_EQ(std::memcmp(&g_lpGlobVar->control, &stored, sizeof stored), 0);
}

TEST_F(GlobalRecords, WriteSetupLocksOnlyWhatTheCallerDoesNotHold) {
  Create(DF_SETUP);
  g_lpGlobVar->lockRecords = 1;
  EXPECT_TRUE(WriteSetup());
  EXPECT_FALSE(UnLockRec(Entry(DF_SETUP), 1)) << "its own lock was released";
  ASSERT_TRUE(LockRec(Entry(DF_SETUP), 1));
  EXPECT_TRUE(WriteSetup());
  EXPECT_TRUE(UnLockRec(Entry(DF_SETUP), 1)) << "the caller's lock was kept";
}

TEST_F(GlobalRecords, NetworkFileOpenIsFileOpen) {
  EXPECT_FALSE(NetworkFileOpen(Entry(DF_SETUP), kReadWrite, kDenyWrite));
  Create(DF_SETUP);
  FileClose(Entry(DF_SETUP));
  EXPECT_TRUE(NetworkFileOpen(Entry(DF_SETUP), kReadWrite, kDenyWrite));
  EXPECT_EQ(Entry(DF_SETUP)->openCount, 1u);
  EXPECT_EQ(Entry(DF_SETUP)->share, kDenyWrite);
}

TEST(DataFilesClosed, EveryCallFailsQuietlyWithoutACompany) {
  data::closeCompany();
  char buffer[84] = {};
  EXPECT_FALSE(FileOpen(Entry(DF_CURRENCIES), 0, 64, 1));
  EXPECT_EQ(ReadRec(Entry(DF_CURRENCIES), 1, buffer), 0u);
  EXPECT_EQ(RecCount(Entry(DF_CURRENCIES)), 0u);
  EXPECT_FALSE(LockRec(Entry(DF_CURRENCIES), 1));
  EXPECT_FALSE(ReadSetup());
  EXPECT_EQ(GetUserCount(), 0);
  EXPECT_NE(lastError().find("no company is open"), std::string::npos) << lastError();
}

}  // namespace
}  // namespace vx70::test
