// What a station remembers of the company between calls (the read-ahead
// that lists read through, the files it found) it forgets as soon as it
// may be wrong: whatever happens between two read scopes of one station,
// its next read shows the company as stored.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "host/data/backend.h"
#include "host/data/company.h"
#include "tests/support/backend_support.h"

namespace vx70::test {
namespace {

using data::Store;

constexpr std::uint16_t kFile = 20;  // currencies: 84-byte records
constexpr std::uint32_t kRecord = 5;
using Record = std::array<std::uint8_t, 84>;

Record filled(std::uint8_t value) {
  Record record{};
  record.fill(value);
  return record;
}

class ReadAhead : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto address = data::CompanyAddress::parse(FreshCompanyLocation(folder_));
    data::backendFor(address).create(address);
    reader_ = data::backendFor(address).openStore(address, Store::Access::readWrite);
    other_ = data::backendFor(address).openStore(address, Store::Access::readWrite);
    reader_->createEmptyFile(kFile);
    for (std::uint32_t r = 1; r <= 8; ++r) reader_->write(kFile, r, filled(1).data());
  }
  void TearDown() override {
    reader_.reset();
    other_.reset();
    RemoveCompanyFiles(folder_);
  }

  // Record kRecord as the reader sees it inside a read scope, by a read and
  // by a walk; 0 when there is no such record.
  std::uint8_t readInScope() {
    Store::ReadScope scope(*reader_);
    Record read{};
    const std::uint8_t byRead = reader_->read(kFile, kRecord, read.data()) ? read[0] : 0;
    std::uint8_t byWalk = 0;
    reader_->forEach(kFile, [&](std::uint32_t record, std::span<const std::uint8_t> data) {
      if (record == kRecord) byWalk = data[0];
      return true;
    });
    EXPECT_EQ(byRead, byWalk) << "a read and a walk of one snapshot disagree";
    return byRead;
  }

  std::string folder_;
  std::unique_ptr<Store> reader_, other_;
};

TEST_F(ReadAhead, TheNextScopeSeesWhatHappenedMeanwhile) {
  struct Case {
    const char* what;
    std::function<void(Store& reader, Store& other)> meanwhile;
    std::uint8_t seen;
  };
  const Case cases[] = {
      {"nothing", [](Store&, Store&) {}, 1},
      {"another station stores it",
       [](Store&, Store& other) { other.write(kFile, kRecord, filled(2).data()); }, 2},
      {"the station stores it",
       [](Store& reader, Store&) { reader.write(kFile, kRecord, filled(3).data()); }, 3},
      {"the station stores it and rolls back",
       [](Store& reader, Store&) {
         Store::Transaction undone(reader);
         reader.write(kFile, kRecord, filled(4).data());
       },
       1},
      {"another station cuts the file", [](Store&, Store& other) { other.truncate(kFile, 3); }, 0},
      {"the station cuts the file", [](Store& reader, Store&) { reader.truncate(kFile, 3); }, 0},
      {"another station empties and refills it",
       [](Store&, Store& other) {
         other.createEmptyFile(kFile);
         for (std::uint32_t r = 1; r <= kRecord; ++r) other.write(kFile, r, filled(6).data());
       },
       6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (std::uint32_t r = 1; r <= 8; ++r) other_->write(kFile, r, filled(1).data());
    EXPECT_EQ(readInScope(), 1);
    c.meanwhile(*reader_, *other_);
    EXPECT_EQ(readInScope(), c.seen);
  }
}

// A file found is remembered, but not one made by a write that is then
// rolled back.
TEST_F(ReadAhead, AFileMadeAndRolledBackDoesNotExist) {
  constexpr std::uint16_t kOtherFile = 19;  // departments
  {
    Store::Transaction undone(*reader_);
    reader_->createEmptyFile(kOtherFile);
    EXPECT_TRUE(reader_->fileExists(kOtherFile));
  }
  EXPECT_FALSE(reader_->fileExists(kOtherFile));
  EXPECT_FALSE(other_->fileExists(kOtherFile));
}

}  // namespace
}  // namespace vx70::test
