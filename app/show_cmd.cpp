// vx70 show: prints the records of one data file of a company, decoded
// field by field, one JSON object per line, so that a person or a test can
// see what the dialogs stored.
#include <charconv>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "app/commands.h"
#include "host/data/backend.h"
#include "host/data/company.h"
#include "host/data/record_fields.h"

namespace vx70::app {
namespace {

struct ShowOptions {
  std::string dataDir;
  std::string what;
  std::optional<std::uint32_t> record;
};

struct Selection {
  std::uint16_t file = 0;
  std::optional<std::uint32_t> record;
};

std::optional<std::uint32_t> parseNumber(const std::string& text) {
  std::uint32_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::string knownFiles() {
  std::string list;
  for (const auto& f : data::companyFiles())
    list +=
        (list.empty() ? "" : ", ") + std::string(f.name) + " (" + std::to_string(f.number) + ")";
  return list;
}

// A file by its name or number; the three records that the module names
// most have short names of their own.
std::optional<std::uint16_t> fileNumberOf(const std::string& name) {
  if (name == "setup") return DF_SETUP;
  if (name == "control") return DF_CONTROL;
  if (name == "users") return DF_USERS;
  if (auto number = parseNumber(name); number && *number <= 0xFFFF) {
    auto n = static_cast<std::uint16_t>(*number);
    if (data::fileInfo(n) && records::fieldTable(n)) return n;
    return std::nullopt;
  }
  const data::FileInfo* info = data::fileInfo(name);
  if (info && records::fieldTable(info->number)) return info->number;
  return std::nullopt;
}

// WHAT is FILE or FILE:RECORD; --record names the record too.
Selection select(const ShowOptions& o) {
  const auto colon = o.what.find(':');
  const std::string name = o.what.substr(0, colon);
  auto file = fileNumberOf(name);
  if (!file)
    throw std::runtime_error("show: no data file \"" + name + "\"; the files are " + knownFiles());
  Selection s{*file, o.record};
  if (colon != std::string::npos) {
    auto record = parseNumber(o.what.substr(colon + 1));
    if (!record) throw std::runtime_error("show: \"" + o.what + "\" names no record number");
    if (o.record && *o.record != *record)
      throw std::runtime_error("show: " + o.what + " and --record name different records");
    s.record = record;
  }
  if (s.record && *s.record == 0) throw std::runtime_error("show: records are numbered from 1");
  return s;
}

nlohmann::ordered_json recordJson(std::uint16_t file, std::uint32_t record,
                                  const std::vector<std::uint8_t>& bytes) {
  nlohmann::ordered_json out = {{"record", record}};
  const nlohmann::ordered_json fields = records::decodeRecord(file, bytes);
  for (const auto& [key, value] : fields.items()) out[key] = value;
  return out;
}

void printRecords(data::Store& store, const Selection& s) {
  const data::FileInfo& info = *data::fileInfo(s.file);
  const std::uint32_t count = store.recordCount(s.file);
  if (s.record && *s.record > count)
    throw std::runtime_error("show: the " + std::string(info.name) + " file has no record " +
                             std::to_string(*s.record) + " (it holds " + std::to_string(count) +
                             ")");
  const std::uint32_t first = s.record.value_or(1);
  const std::uint32_t last = s.record.value_or(count);
  std::vector<std::uint8_t> bytes(records::fieldTable(s.file)->size);
  for (std::uint32_t n = first; n <= last; ++n) {
    if (!store.read(s.file, n, bytes.data()))
      throw std::runtime_error("show: cannot read record " + std::to_string(n) + " of the " +
                               info.name + " file");
    std::cout << recordJson(s.file, n, bytes).dump() << '\n';
  }
}

// Show only reads: it opens the company read-only, so that a company that
// cannot be written (a read-only mount, another user's files) can be read,
// and a running station is never disturbed.
void runShow(const ShowOptions& o) {
  const Selection s = select(o);
  if (!data::companyExists(o.dataDir))
    throw std::runtime_error("show: " + data::shownLocation(o.dataDir) + " holds no company");
  auto opened = data::openStore(o.dataDir, data::Store::Access::readOnly);
  data::Store& store = *opened;
  if (!store.fileExists(s.file))
    throw std::runtime_error("show: the company has no " +
                             std::string(data::fileInfo(s.file)->name) + " file");
  printRecords(store, s);
}

}  // namespace

void addShowCommand(CLI::App& app) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* cmd = app.add_subcommand("show", "Print a data file's records field by field as JSON");
  cmd->add_option("--data", options->dataDir,
                  "Directory, or PostgreSQL URI with ?company=NAME, of the company")
      ->required();
  cmd->add_option("WHAT", options->what,
                  "setup, control, users, or a data file's name or number; FILE:N for record N")
      ->required();
  cmd->add_option("--record", options->record, "Show only this record (numbered from 1)");
  cmd->callback([options] { runShow(*options); });
}

}  // namespace vx70::app
