// The open company of this process: its store, its locks, and what
// this station holds (open files and their sharing, record locks, actions,
// its station slot).  One mutex guards it, since the host may poll for
// updates from a thread of its own.
#pragma once

#include <cstdint>
#include <exception>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "host/data/backend.h"
#include "host/data/company.h"
#include "host/data/lock_file.h"
#include "host/data/store.h"

namespace vx70::data {

// What a station's opens of one data file ask of the others (OpenFile's
// access and sharing), as the sharing bytes 1 to 4 of the file it holds.
enum ShareBit : unsigned {
  kReadAccess = 1,
  kWriteAccess = 2,
  kDenyRead = 4,
  kDenyWrite = 8,
};

struct OpenFileState {
  unsigned openCount = 0;
  unsigned readScopes = 0;  // opens for reading alone, each holding the store's read scope
  bool writable = false;
  unsigned shareBits = 0;
};

struct Session {
  explicit Session(const CompanyAddress& company);

  CompanyAddress address;
  Backend::Station backend;
  Store& store;
  StationLocks& locks;
  OpenFileState files[kDataFileCount];
  std::uint32_t slot = 0;  // 0 until logged on
  std::string station;
  std::string user;
  std::set<std::pair<std::uint16_t, std::uint32_t>> lockedRecords;
  std::set<std::uint32_t> heldActions;
  std::int64_t lastUpdateSeen = 0;
};

std::recursive_mutex& sessionMutex();
// The open company; throws DataError when there is none.
Session& session();
// How long a station waits for another one's lock.
StationLocks::Clock::time_point lockDeadline();
// "data file 20 (currencies)".
std::string fileLabel(std::uint16_t file);

// Frees the action-file records of stations whose slot lock has lapsed.
void sweepDeadStations(Session& session);

// What a data call was doing, for the person's message when it fails:
// "Record 3 of data file 20 (currencies) could not be stored."
struct Operation {
  const char* outcome;            // "could not be stored"
  int file = -1;                  // the data file it worked on, if any
  std::uint32_t record = 0;       // the record, if any
  bool changes = false;           // it stores a change
  const char* subject = nullptr;  // what failed, when it is no file
};

// The number of a data file entry, or -1 when it names no file.
int numberOf(const datafilemap* file) noexcept;

// A failed call: reported, and shown to the person when it is the first
// failure of their input (failures.cpp).
void failed(const Operation& op, const char* message) noexcept;

// Runs the body of an extern "C" function: under the session mutex, with
// every exception turned into the failure value and told as failed() says.
template <typename Result, typename Body>
Result guarded(const Operation& op, Result failure, Body&& body) noexcept {
  try {
    std::lock_guard lock(sessionMutex());
    return body();
  } catch (const std::exception& e) {
    failed(op, e.what());
  } catch (...) {
    failed(op, "unexpected failure in the data file library");
  }
  return failure;
}

}  // namespace vx70::data
