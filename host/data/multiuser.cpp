// The multi-user services (VX70GLOB, VX70ND32): station log-on, actions
// granted to one station at a time, the user count, and the updates that
// stations broadcast to each other.
//
// The action file (data file 32) holds one record per logged-in station
// (kind 7) and one per action held.  Each record carries, in two bytes the
// module never reads, the slot of the station that owns it; a record whose
// station's slot lock has lapsed belongs to a dead station and is freed.
// A freed record has state 1 and is reused; freed records at the end of
// the file are dropped, so an idle company has an empty action file.
#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "api/host_api.h"
#include "host/codepage.h"
#include "host/data/session.h"
#include "host/events.h"
#include "host/station_options.h"

namespace vx70::data {
namespace {

constexpr WORD kLoggedIn = 7;
constexpr WORD kFreeState = 1;
constexpr std::size_t kOwnerOffset = 70;
constexpr std::size_t kNameLength = 33;  // user and machine fields, terminated
constexpr UINT kMaxAction = 0xFFFF;      // the record's kind is 16 bits
static_assert(sizeof(actionmap) == 84 && offsetof(actionmap, kind) + 2 == kOwnerOffset);

struct ActionRecord {
  std::uint32_t number;
  actionmap fields;
};

WORD ownerOf(const actionmap& record) {
  WORD owner;
  std::memcpy(&owner, reinterpret_cast<const std::uint8_t*>(&record) + kOwnerOffset, sizeof owner);
  return owner;
}

void setOwner(actionmap& record, WORD owner) {
  std::memcpy(reinterpret_cast<std::uint8_t*>(&record) + kOwnerOffset, &owner, sizeof owner);
}

std::string_view trimmed(const char* text, std::size_t size) {
  std::string_view field(text, strnlen(text, size));
  while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
  return field;
}

void copyName(char (&field)[kNameLength], std::string_view name) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, name.data(), std::min(name.size(), sizeof field - 1));
}

std::vector<ActionRecord> loadActions(Store& store) {
  std::vector<ActionRecord> records;
  if (!store.fileExists(DF_ACTIONS)) return records;
  store.forEach(DF_ACTIONS, [&](std::uint32_t number, std::span<const std::uint8_t> data) {
    ActionRecord record{number, {}};
    std::memcpy(&record.fields, data.data(), sizeof record.fields);
    records.push_back(record);
    return true;
  });
  return records;
}

bool stationAlive(Session& s, WORD slot) {
  return slot == s.slot || s.locks.heldByOther(LockMap::slot(slot));
}

bool ownedByDeadStation(Session& s, const actionmap& record) {
  WORD owner = ownerOf(record);
  return record.state == 0 && owner != 0 && !stationAlive(s, owner);
}

// Frees every current record that matches, then drops the free tail; one
// transaction.
template <typename Match>
void freeActions(Session& s, Match&& matches) {
  if (!s.store.fileExists(DF_ACTIONS)) return;
  Store::Transaction transaction(s.store);
  std::uint32_t lastInUse = 0;
  for (ActionRecord& record : loadActions(s.store)) {
    if (record.fields.state == 0 && matches(record.fields)) {
      actionmap freed{};
      freed.state = kFreeState;
      s.store.write(DF_ACTIONS, record.number, reinterpret_cast<const std::uint8_t*>(&freed));
      continue;
    }
    if (record.fields.state == 0) lastInUse = record.number;
  }
  s.store.truncate(DF_ACTIONS, lastInUse);
  transaction.commit();
}

// Writes the record into the first free place of the action file.
void addAction(Session& s, WORD kind, std::string_view user) {
  actionmap record{};
  record.state = 0;
  copyName(record.user, user);
  copyName(record.machine, s.station);
  record.kind = kind;
  setOwner(record, static_cast<WORD>(s.slot));
  Store::Transaction transaction(s.store);
  s.store.ensureFile(DF_ACTIONS);
  auto records = loadActions(s.store);
  auto free = std::find_if(records.begin(), records.end(),
                           [](const ActionRecord& r) { return r.fields.state != 0; });
  std::uint32_t number = free != records.end() ? free->number : s.store.recordCount(DF_ACTIONS) + 1;
  s.store.write(DF_ACTIONS, number, reinterpret_cast<const std::uint8_t*>(&record));
  transaction.commit();
}

// The names of the other stations logged on to the company.
std::string otherStations(Session& s) {
  std::string names;
  for (const ActionRecord& r : loadActions(s.store)) {
    if (r.fields.state != 0 || r.fields.kind != kLoggedIn || ownerOf(r.fields) == s.slot) continue;
    if (!stationAlive(s, ownerOf(r.fields))) continue;
    names += (names.empty() ? "" : ", ") + std::string(trimmed(r.fields.machine, kNameLength));
  }
  return names.empty() ? "another station" : "station " + names;
}

// A multi-user station shares the company with others of its kind; a
// single-user one holds it alone.  Either is refused while the other kind
// holds it.
void takeCompanyUse(Session& s, bool multiUser) {
  bool taken = multiUser ? s.locks.tryShared(LockMap::kCompanyUse)
                         : s.locks.tryExclusive(LockMap::kCompanyUse);
  if (taken) return;
  sweepDeadStations(s);
  throw DataError(s.store.path() + ": the company is in use by " + otherStations(s) +
                  (multiUser ? ", which holds it in single-user mode"
                             : "; start every station with --multi-user to share it"));
}

std::uint32_t takeSlot(Session& s) {
  for (std::uint32_t slot = 1; slot <= LockMap::kMaxSlots; ++slot)
    if (s.locks.tryExclusive(LockMap::slot(slot))) return slot;
  throw DataError(s.store.path() + ": all " + std::to_string(LockMap::kMaxSlots) +
                  " station slots are taken");
}

Session& loggedOnSession() {
  Session& s = session();
  if (s.slot == 0) throw DataError(s.store.path() + ": this station has not logged on");
  return s;
}

std::string logonName(Session& s, const accessmap* access) {
  if (!access) return s.user;
  return std::string(trimmed(reinterpret_cast<const char*>(access), kNameLength));
}

BOOL requestAction(UINT action, const accessmap* access) {
  Session& s = loggedOnSession();
  if (action > kMaxAction) throw DataError("there is no action " + std::to_string(action));
  if (s.heldActions.count(action)) return TRUE;
  sweepDeadStations(s);
  if (!s.locks.tryExclusive(LockMap::action(action))) return FALSE;
  try {
    addAction(s, static_cast<WORD>(action), logonName(s, access));
  } catch (...) {
    s.locks.release(LockMap::action(action));
    throw;
  }
  s.heldActions.insert(action);
  return TRUE;
}

// The record goes before the lock, so that the next holder never sees
// this station's record beside its own.
BOOL endAction(UINT action) {
  Session& s = loggedOnSession();
  if (!s.heldActions.count(action)) return FALSE;
  freeActions(s, [&](const actionmap& r) { return ownerOf(r) == s.slot && r.kind == action; });
  s.locks.release(LockMap::action(action));
  s.heldActions.erase(action);
  return TRUE;
}

// The station and user that hold an action this station was refused, as
// their record in the action file names them; null when no live station's
// record says (the holder ended it meanwhile).
nlohmann::json holderOf(UINT action) {
  Session& s = loggedOnSession();
  for (const ActionRecord& r : loadActions(s.store)) {
    const actionmap& f = r.fields;
    if (f.state != 0 || f.kind != action || ownerOf(f) == s.slot) continue;
    if (!stationAlive(s, ownerOf(f))) continue;
    return nlohmann::json{{"station", vx70::codepage::toUtf8(trimmed(f.machine, kNameLength))},
                          {"user", vx70::codepage::toUtf8(trimmed(f.user, kNameLength))}};
  }
  return nullptr;
}

WORD userCount() {
  Session& s = session();
  sweepDeadStations(s);
  auto records = loadActions(s.store);
  return static_cast<WORD>(std::count_if(records.begin(), records.end(), [](const ActionRecord& r) {
    return r.fields.state == 0 && r.fields.kind == kLoggedIn;
  }));
}

}  // namespace

void sweepDeadStations(Session& s) {
  auto records = loadActions(s.store);
  bool anyDead = std::any_of(records.begin(), records.end(), [&](const ActionRecord& r) {
    return ownedByDeadStation(s, r.fields);
  });
  if (anyDead) freeActions(s, [&](const actionmap& r) { return ownedByDeadStation(s, r); });
}

void logon(const std::string& station, const std::string& user) {
  std::lock_guard lock(sessionMutex());
  logoff();
  Session& s = session();
  takeCompanyUse(s, stationOptions().multiUser);
  std::uint32_t slot;
  try {
    slot = takeSlot(s);
  } catch (...) {
    s.locks.release(LockMap::kCompanyUse);
    throw;
  }
  s.slot = slot;
  s.station = station.substr(0, kNameLength - 1);
  s.user = user.substr(0, kNameLength - 1);
  try {
    Store::Transaction transaction(s.store);
    // A slot is free only when its last holder died; what it left is stale.
    freeActions(s, [&](const actionmap& r) { return ownerOf(r) == slot; });
    sweepDeadStations(s);
    addAction(s, kLoggedIn, s.user);
    transaction.commit();
  } catch (...) {
    s.locks.release(LockMap::slot(slot));
    s.locks.release(LockMap::kCompanyUse);
    s.slot = 0;
    throw;
  }
  s.lastUpdateSeen = s.store.lastBroadcast();
  g_lpGlobVar->station = slot;
}

void logoff() {
  std::lock_guard lock(sessionMutex());
  Session& s = session();
  if (s.slot == 0) return;
  if (s.store.connectionLost()) {
    // The server dropped every lock with the connection; the next
    // station's sweep frees this one's records.
    s.heldActions.clear();
    s.lockedRecords.clear();
    s.slot = 0;
    g_lpGlobVar->station = 0;
    return;
  }
  for (std::uint32_t action : s.heldActions) s.locks.release(LockMap::action(action));
  s.heldActions.clear();
  for (auto [file, record] : s.lockedRecords) s.locks.release(LockMap::record(file, record));
  s.lockedRecords.clear();
  std::uint32_t slot = s.slot;
  try {
    freeActions(s, [&](const actionmap& r) { return ownerOf(r) == slot; });
  } catch (...) {
    // The records lapse with the slot; the next sweep frees them.
    s.locks.release(LockMap::slot(slot));
    s.locks.release(LockMap::kCompanyUse);
    s.slot = 0;
    throw;
  }
  s.locks.release(LockMap::slot(slot));
  s.locks.release(LockMap::kCompanyUse);
  s.slot = 0;
  g_lpGlobVar->station = 0;
}

std::vector<Update> takeUpdates() {
  std::lock_guard lock(sessionMutex());
  Session& s = session();
  std::vector<Update> updates;
  for (const Broadcast& b : s.store.broadcastsAfter(s.lastUpdateSeen)) {
    s.lastUpdateSeen = b.sequence;
    if (b.fromStation != s.slot) updates.push_back({b.fromStation, b.code, b.flag});
  }
  return updates;
}

}  // namespace vx70::data

using namespace vx70::data;

namespace {

// What the front end shows of a multi-user action.  Its name is the
// module's string of the same number, which the station adds: this
// library does not read the module.
void reportAction(const char* what, UINT action) {
  vx70::events::emit(nlohmann::json{{"event", "action"}, {"action", what}, {"id", action}});
}

// A refusal also names who holds the action, so that the person can be
// told which station is using the dialog.  Not knowing it is no failure.
void reportRefusal(UINT action) {
  nlohmann::json holder;
  try {
    std::lock_guard lock(sessionMutex());
    holder = holderOf(action);
  } catch (const std::exception&) {
    holder = nullptr;
  }
  vx70::events::emit(nlohmann::json{
      {"event", "action"}, {"action", "refused"}, {"id", action}, {"holder", holder}});
}

}  // namespace

extern "C" {

BOOL RequestAction(UINT action, UINT, const accessmap* access, datafilemap*, UINT) {
  reportAction("requested", action);
  BOOL granted = guarded<BOOL>({"could not be requested", -1, 0, false, "The multi-user action"},
                               FALSE, [&] { return requestAction(action, access); });
  if (granted)
    reportAction("granted", action);
  else
    reportRefusal(action);
  return granted;
}

BOOL RequestActionEnd(UINT action, UINT, const accessmap*, datafilemap*) {
  BOOL ended = guarded<BOOL>({"could not be ended", -1, 0, false, "The multi-user action"}, FALSE,
                             [&] { return endAction(action); });
  if (ended) reportAction("ended", action);
  return ended;
}

// A save that failed is announced to nobody: the person was told, and the
// other stations are not sent to read a record that was not stored.
BOOL GlobalUpdate(DWORD station, UINT, UINT code, UINT flag, UINT, UINT, UINT, UINT) {
  if (saveFailedDuringInput()) {
    reportError("no change notice " + std::to_string(code) +
                " was sent: the change was not stored");
    return FALSE;
  }
  BOOL sent = guarded<BOOL>({"could not be sent", -1, 0, false, "The change notice"}, FALSE, [&] {
    Session& s = session();
    s.store.addBroadcast(s.slot ? s.slot : station, code, flag);
    return TRUE;
  });
  if (sent)
    vx70::events::emit(nlohmann::json{{"event", "update-sent"}, {"code", code}, {"flag", flag}});
  return sent;
}

WORD GetUserCount(void) {
  return guarded<WORD>({"could not be counted", -1, 0, false, "The stations logged on"}, 0,
                       [] { return userCount(); });
}

char* GetStationName(char* buffer) {
  if (!buffer) return buffer;
  return guarded<char*>({"could not be read", -1, 0, false, "The station's name"}, buffer, [&] {
    auto current = companyOpen() ? session().station : std::string();
    const std::string& name = current.empty() ? vx70::stationOptions().station : current;
    std::size_t length = std::min(name.size(), kNameLength - 1);
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
    return buffer;
  });
}

BOOL RemoveUserQueueMessagesIndirect(datafilemap*, const char* user, UINT) {
  return guarded<BOOL>({"could not be removed", DF_ACTIONS, 0, true, nullptr}, FALSE, [&] {
    if (!user) throw DataError("no user name to remove");
    std::string name(trimmed(user, kNameLength));
    freeActions(session(),
                [&](const actionmap& r) { return trimmed(r.user, kNameLength) == name; });
    return TRUE;
  });
}

BOOL IsServer(DWORD) { return vx70::stationOptions().server ? TRUE : FALSE; }
}
