#include "host/data/store.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "host/data/company.h"

namespace vx70::data {

namespace {

// Far beyond any real file; it keeps a stray record number from filling
// the disk with zero records.
constexpr std::uint32_t kMaxRecordNumber = 1u << 24;
// Lists read a code table front to back; 128 records of the largest table
// are a few hundred KiB at most.
constexpr std::uint32_t kWindow = 128;
// The files whose windows are kept: more than any dialog's lists read.
constexpr std::size_t kWindowsKept = 16;

std::string fileLabel(const FileInfo& info) {
  return "data file " + std::to_string(info.number) + " (" + info.name + ")";
}

}  // namespace

std::int64_t recordChecksum(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                            std::size_t size) {
  const std::uint8_t place[6] = {
      static_cast<std::uint8_t>(file),         static_cast<std::uint8_t>(file >> 8),
      static_cast<std::uint8_t>(record),       static_cast<std::uint8_t>(record >> 8),
      static_cast<std::uint8_t>(record >> 16), static_cast<std::uint8_t>(record >> 24)};
  uLong crc = crc32(0L, place, sizeof place);
  crc = crc32(crc, data, static_cast<uInt>(size));
  return static_cast<std::int64_t>(crc);
}

Store::~Store() = default;

void Store::watchBroadcasts(std::function<void()>) {}

std::optional<std::uint64_t> Store::snapshotVersion() noexcept { return std::nullopt; }

bool Store::putInPlace(std::uint16_t, std::uint32_t, const std::uint8_t*, std::size_t,
                       std::int64_t) {
  return false;
}

void Store::beginReadScope() {
  if (readScopes_++ > 0 || transactionDepth_ > 0) return;
  try {
    beginSnapshot();
  } catch (...) {
    --readScopes_;
    throw;
  }
  snapshotHeld_ = true;
  const std::optional<std::uint64_t> version = snapshotVersion();
  if (!version || version != readAheadVersion_) forgetReadAhead();
  readAheadVersion_ = version;
}

void Store::endReadScope() {
  if (readScopes_ > 0 && --readScopes_ == 0) releaseSnapshot();
}

void Store::releaseSnapshot() noexcept {
  if (!snapshotHeld_) return;
  snapshotHeld_ = false;
  if (!readAheadVersion_) windows_.clear();
  endSnapshot();
}

void Store::dropReadAhead(std::uint16_t file) noexcept {
  std::erase_if(windows_, [file](const Window& w) { return w.file == file; });
}

void Store::forgetReadAhead() noexcept {
  windows_.clear();
  readAheadVersion_.reset();
}

bool Store::fileExists(std::uint16_t file) {
  if (file < filesFound_.size() && filesFound_[file]) return true;
  if (!listsFile(file)) return false;
  if (inTransaction()) return true;
  if (file >= filesFound_.size()) filesFound_.resize(file + 1u);
  filesFound_[file] = true;
  return true;
}

const FileInfo& Store::info(std::uint16_t file) const {
  const FileInfo* known = fileInfo(file);
  if (!known) throw DataError(path() + ": there is no data file " + std::to_string(file));
  return *known;
}

void Store::checkLength(std::uint16_t file, std::uint32_t record, std::size_t length) const {
  const FileInfo& known = info(file);
  if (length == known.recordLength) return;
  throw DataError(path() + ": " + fileLabel(known) + ": record " + std::to_string(record) +
                  " holds " + std::to_string(length) + " bytes, not " +
                  std::to_string(known.recordLength));
}

void Store::checkRecord(std::uint16_t file, std::uint32_t record,
                        std::span<const std::uint8_t> data, std::int64_t sum) const {
  checkLength(file, record, data.size());
  if (recordChecksum(file, record, data.data(), data.size()) == sum) return;
  throw DataError(path() + ": " + fileLabel(info(file)) + ": record " + std::to_string(record) +
                  " is damaged (its bytes do not match their checksum)");
}

void Store::put(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                std::size_t size) {
  putRow(file, record, data, size, recordChecksum(file, record, data, size));
  keepInReadAhead(file, record, data, size);
}

void Store::keepInReadAhead(std::uint16_t file, std::uint32_t record, const std::uint8_t* data,
                            std::size_t size) {
  for (Window& window : windows_) {
    if (window.file != file || record < window.first || record >= window.end) continue;
    WindowRecord& kept = window.records[record - window.first];
    kept.data.assign(data, data + size);
    kept.damage.clear();
  }
}

void Store::requireFile(std::uint16_t file) {
  if (!fileExists(file)) throw DataError(path() + ": " + fileLabel(info(file)) + " does not exist");
}

void Store::ensureFile(std::uint16_t file) {
  if (!inTransaction()) releaseSnapshot();
  dropReadAhead(file);
  insertFile(info(file));
}

void Store::createEmptyFile(std::uint16_t file) {
  Transaction transaction(*this);
  ensureFile(file);
  truncate(file, 0);
  transaction.commit();
}

bool Store::read(std::uint16_t file, std::uint32_t record, std::uint8_t* out) {
  if (snapshotHeld_) return readFromWindow(file, record, out);
  bool found = false;
  selectRows(file, record, record + 1, [&](std::uint32_t, auto data, std::int64_t sum) {
    checkRecord(file, record, data, sum);
    std::memcpy(out, data.data(), data.size());
    found = true;
    return false;
  });
  return found;
}

bool Store::readFromWindow(std::uint16_t file, std::uint32_t record, std::uint8_t* out) {
  auto window = std::find_if(windows_.begin(), windows_.end(),
                             [file](const Window& w) { return w.file == file; });
  if (window == windows_.end() || record < window->first || record >= window->end) {
    Window fetched{file, record, record + kWindow, {}};
    fetched.records.resize(kWindow);
    selectRows(file, record, fetched.end, [&](std::uint32_t number, auto data, std::int64_t sum) {
      WindowRecord& kept = fetched.records[number - record];
      try {
        checkRecord(file, number, data, sum);
        kept.data.assign(data.begin(), data.end());
      } catch (const DataError& damaged) {
        kept.damage = damaged.what();
      }
      return true;
    });
    if (window != windows_.end()) {
      *window = std::move(fetched);
    } else {
      if (windows_.size() == kWindowsKept) windows_.erase(windows_.begin());
      window = windows_.insert(windows_.end(), std::move(fetched));
    }
  }
  const WindowRecord& kept = window->records[record - window->first];
  if (!kept.damage.empty()) throw DataError(kept.damage);
  if (kept.data.empty()) return false;
  std::memcpy(out, kept.data.data(), kept.data.size());
  return true;
}

void Store::write(std::uint16_t file, std::uint32_t record, const std::uint8_t* data) {
  const FileInfo& known = info(file);
  if (record == 0 || record > kMaxRecordNumber)
    throw DataError(path() + ": " + fileLabel(known) + ": no record " + std::to_string(record));
  if (!inTransaction()) {
    releaseSnapshot();
    bool stored = false;
    try {
      stored = putInPlace(file, record, data, known.recordLength,
                          recordChecksum(file, record, data, known.recordLength));
    } catch (...) {
      forgetReadAhead();
      throw;
    }
    if (stored) return keepInReadAhead(file, record, data, known.recordLength);
  }
  Transaction transaction(*this);
  requireFile(file);
  // Counting inside the transaction: another station's truncation cannot
  // slip in between, so the file never gets a gap.
  const std::vector<std::uint8_t> zeroes(known.recordLength);
  for (std::uint32_t fill = recordCount(file) + 1; fill < record; ++fill)
    put(file, fill, zeroes.data(), zeroes.size());
  put(file, record, data, known.recordLength);
  transaction.commit();
}

void Store::truncate(std::uint16_t file, std::uint32_t count) {
  if (!inTransaction()) releaseSnapshot();
  dropReadAhead(file);
  deleteRowsAfter(file, count);
}

void Store::forEach(
    std::uint16_t file,
    const std::function<bool(std::uint32_t, std::span<const std::uint8_t>)>& visit) {
  if (snapshotHeld_) {
    std::vector<std::uint8_t> data(info(file).recordLength);
    for (std::uint32_t record = 1; readFromWindow(file, record, data.data()); ++record)
      if (!visit(record, data)) return;
    return;
  }
  selectRows(file, 1, 0, [&](std::uint32_t record, auto data, std::int64_t sum) {
    checkRecord(file, record, data, sum);
    return visit(record, data);
  });
}

std::vector<std::string> Store::check() {
  std::vector<std::string> damage = checkStructure();
  selectAllRows([&](std::uint16_t file, std::uint32_t record, auto data, std::int64_t sum) {
    try {
      checkRecord(file, record, data, sum);
    } catch (const DataError& e) {
      damage.push_back(e.what());
    }
  });
  return damage;
}

Store::Transaction::Transaction(Store& store)
    : store_(store), outermost_(store.transactionDepth_ == 0) {
  if (outermost_) {
    store_.releaseSnapshot();
    store_.beginWrite();
  }
  ++store_.transactionDepth_;
}

Store::Transaction::~Transaction() {
  --store_.transactionDepth_;
  if (outermost_ && !done_) {
    // The read-ahead took this transaction's writes as they went.
    store_.forgetReadAhead();
    store_.rollbackWrite();
  }
}

void Store::Transaction::commit() {
  if (outermost_) store_.commitWrite();
  done_ = true;
}

}  // namespace vx70::data
