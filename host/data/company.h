// A company as the host opens it: a store that holds every data file's
// records, and locks through which stations exclude each other (record
// locks, multi-user actions) and see which stations are alive.  A company
// is a folder (one SQLite database and a lock file beside it) or a company
// on a PostgreSQL server (backend.h); `location` below is either, as
// `--data` gives it.
//
// One process runs one station.  openCompany binds the global block's data
// file map to the company; the VX70FL32 and VX70GLOB functions of
// api/host_api.h then work on it.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "api/globvar.h"

namespace vx70::data {

// A company that cannot be used: missing, damaged, truncated, foreign, or
// holding a record of the wrong length.  The message names the file.
class DataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What each data file number of the company holds.
struct FileInfo {
  std::uint16_t number;
  std::uint16_t recordLength;
  const char* name;  // "setup", "currencies", ...
};
const std::vector<FileInfo>& companyFiles();
const FileInfo* fileInfo(std::uint16_t number);
const FileInfo* fileInfo(const std::string& name);

// The database file of the company in dir.
std::string databasePath(const std::string& dir);
bool companyExists(const std::string& location);
// Creates an empty company (the data files are not created: a file exists
// once FileOpen with OF_CREATE made it).  Throws DataError when location
// already holds a company.
void createCompany(const std::string& location);
// The company as messages name it (its database file, or its address on
// the server without a password).
std::string companyName(const std::string& location);
// The folder on this machine for the station's own files: the company
// folder itself, or for a company on a server a folder of this user's.
std::string companyFolder(const std::string& location);

// Opens the company for this process and fills g_lpGlobVar->dataFiles.
void openCompany(const std::string& location);
void closeCompany();
bool companyOpen();

// Logs this station on: takes a station slot (held while the process
// lives), sweeps the records of dead stations from the action file and
// writes this user's kind-7 record.  logoff removes it and frees the slot.
void logon(const std::string& station, const std::string& user);
void logoff();

// GlobalUpdate calls of other stations not yet taken, oldest first.
struct Update {
  std::uint32_t fromStation;
  std::uint32_t code;
  std::uint32_t flag;
};
std::vector<Update> takeUpdates();
// Calls wake (from another thread) when another station's notice may have
// arrived, for a company whose server pushes them; takeUpdates then has
// them.  Without such a server the station looks on its own turn.
void watchUpdates(std::function<void()> wake);

// Empty while the company can be reached; once the connection to the
// company's server is lost, what to tell the person.  The station's locks
// went with the connection, so it must stop: it cannot know what other
// stations did meanwhile.
std::string companyLost();

// Records first to first + count - 1 of a data file in one read, one after
// the other (a record the file does not hold is zeros), for a list that
// shows a whole table: the same as ReadRec record by record, in a single
// pass.  A failure is told as ReadRec's is, and the records are zeros.
std::vector<std::uint8_t> ReadRecords(const datafilemap* file, std::uint32_t first,
                                      std::uint32_t count);

// ---- What the person hears of a failure -------------------------------------
// While the station handles a person's input (a click, a key, typing), the
// first data call of that input that cannot do its work is shown to the
// person at once as a message box naming the company file, the data file,
// the record and the cause; the calls still return their failure value.
// Later failures of the same input are only reported, so that one failed
// save is one box.  Outside a person's input (start-up, looking for other
// stations' notices, closing) failures are only reported.
class PersonInput {
 public:
  PersonInput();
  ~PersonInput();
  PersonInput(const PersonInput&) = delete;
  PersonInput& operator=(const PersonInput&) = delete;
};

// True when a change failed during the current input: the save failed, so
// no change notice goes out and the main window keeps its title.
bool saveFailedDuringInput();

// The message of the latest failure of a data file or multi-user function
// (they return 0 and never throw); it names the file concerned.
std::string lastError();
// Keeps the message for lastError() and prints it on stderr, once per text.
void reportError(const std::string& message);

}  // namespace vx70::data
