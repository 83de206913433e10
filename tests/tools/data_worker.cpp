// One station in its own process, for the multi-user tests: it opens the
// company at DIR (a folder or a server's URI) and answers one line on
// stdout for every command line on stdin, so that a test can interleave
// stations step by step and kill one at any moment.
//
//   data_worker DIR [LOCK-TIMEOUT-SECONDS]
//
// Commands:   logon STATION USER [single] | request ACTION USER | end ACTION
//             users | open FILE ACCESS SHARE | close FILE | lock FILE RECORD
//             unlock FILE RECORD | write FILE RECORD | update CODE FLAG | take
//             rmw CYCLES
//             hammer | quit
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "api/host_api.h"
#include "host/data/company.h"
#include "host/station_options.h"

namespace {

using namespace vx70::data;

datafilemap* entry(unsigned number) { return &g_lpGlobVar->dataFiles[number]; }

std::string requestAction(unsigned action, const std::string& user) {
  accessmap access{};
  std::strncpy(reinterpret_cast<char*>(&access), user.c_str(), 32);
  return std::to_string(RequestAction(action, 0, &access, entry(DF_ACTIONS), 1));
}

// Writes a blank record; answers WriteRec's result.
std::string writeBlank(unsigned file, unsigned record) {
  std::string blank(entry(file)->recordLength, '\0');
  return std::to_string(WriteRec(entry(file), record, blank.data()));
}

std::string takeAll() {
  std::string line = "updates";
  for (const Update& u : takeUpdates())
    line += " " + std::to_string(u.fromStation) + ":" + std::to_string(u.code) + ":" +
            std::to_string(u.flag);
  return line;
}

// Adds one to the counter in the first four bytes of the setup record,
// under the record lock, as a handler saving the setup record does.
bool incrementSetupCounter() {
  datafilemap* setup = entry(DF_SETUP);
  if (!FileOpen(setup, 2, 64, 1)) return false;
  bool done = false;
  if (LockRec(setup, 1)) {
    setupmap record{};
    if (ReadRec(setup, 1, &record) == sizeof record) {
      std::uint32_t counter;
      std::memcpy(&counter, &record, sizeof counter);
      ++counter;
      std::memcpy(&record, &counter, sizeof counter);
      done = WriteRec(setup, 1, &record) == sizeof record;
    }
    UnLockRec(setup, 1);
  }
  FileClose(setup);
  return done;
}

std::string readModifyWrite(int cycles) {
  int failures = 0;
  for (int i = 0; i < cycles; ++i)
    if (!incrementSetupCounter()) ++failures;
  return "done " + std::to_string(failures);
}

// Write k fills one record wholly with the byte k % 250 + 1: the setup
// record (which spans several database pages) or nominal record 1 to 4 in
// turn.  "wrote k" follows each write that returned success, "failed k
// WHY" each other.  Never returns: the test kills the process.
[[noreturn]] void hammer() {
  FileOpen(entry(DF_SETUP), 2, 64, 1);
  FileOpen(entry(DF_NOMINAL), 2, 64, 1);
  static std::uint8_t buffer[sizeof(setupmap)];
  for (std::uint64_t k = 1;; ++k) {
    std::memset(buffer, static_cast<int>(k % 250 + 1), sizeof buffer);
    auto target = k % 5;
    DWORD written = target == 0 ? WriteRec(entry(DF_SETUP), 1, buffer)
                                : WriteRec(entry(DF_NOMINAL), static_cast<DWORD>(target), buffer);
    if (written == 0) {
      std::printf("failed %llu %s\n", static_cast<unsigned long long>(k), lastError().c_str());
    } else {
      std::printf("wrote %llu\n", static_cast<unsigned long long>(k));
    }
    std::fflush(stdout);
  }
}

std::string answer(const std::string& line) {
  std::istringstream in(line);
  std::string command;
  in >> command;
  unsigned a = 0, b = 0, c = 0;
  std::string text;
  if (command == "logon") {
    std::string station, user, mode;
    in >> station >> user >> mode;
    // The workers are multi-user stations unless told otherwise.
    vx70::stationOptions().multiUser = mode != "single";
    logon(station, user);
    return "ok " + std::to_string(g_lpGlobVar->station);
  }
  if (command == "request") return in >> a >> text, requestAction(a, text);
  if (command == "end") return in >> a, std::to_string(RequestActionEnd(a, 0, nullptr, entry(32)));
  if (command == "users") return std::to_string(GetUserCount());
  if (command == "open") return in >> a >> b >> c, std::to_string(FileOpen(entry(a), b, c, 1));
  if (command == "close") return in >> a, std::to_string(FileClose(entry(a)));
  if (command == "lock") return in >> a >> b, std::to_string(LockRec(entry(a), b));
  if (command == "unlock") return in >> a >> b, std::to_string(UnLockRec(entry(a), b));
  if (command == "write") return in >> a >> b, writeBlank(a, b);
  if (command == "update")
    return in >> a >> b, std::to_string(GlobalUpdate(0, 0, a, b, 0, 0, 0, 1));
  if (command == "take") return takeAll();
  if (command == "rmw") return in >> a, readModifyWrite(static_cast<int>(a));
  if (command == "hammer") hammer();
  return "unknown " + command;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: data_worker DIR [LOCK-TIMEOUT-SECONDS]\n");
    return 2;
  }
  if (argc > 2) vx70::stationOptions().lockTimeoutSeconds = std::stod(argv[2]);
  try {
    openCompany(argv[1]);
    std::string line;
    while (std::getline(std::cin, line) && line != "quit") {
      std::string reply = answer(line);
      std::printf("%s\n", reply.c_str());
      std::fflush(stdout);
    }
    closeCompany();
  } catch (const std::exception& e) {
    std::printf("error %s\n", e.what());
    return 1;
  }
  return 0;
}
