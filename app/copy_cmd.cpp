// vx70 copy: copies a company from one place to another (a folder or a
// company on a PostgreSQL server, either way), record for record.  Every
// record read is checked against its checksum, and every record written is
// read back and compared, so that a copy is either whole and sound or not
// made: a damaged record stops the copy, naming it, and what was begun is
// removed again.
#include <cstring>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/new_company.h"
#include "host/data/backend.h"
#include "host/data/company.h"

namespace vx70::app {
namespace {

struct CopyOptions {
  std::string from;
  std::string to;
};

struct Copied {
  unsigned files = 0;
  unsigned long records = 0;
};

// Copies one data file's records in one pass over the source's snapshot.
void copyFile(data::Store& from, data::Store& to, std::uint16_t file, Copied& copied) {
  to.ensureFile(file);
  from.forEach(file, [&](std::uint32_t record, std::span<const std::uint8_t> bytes) {
    to.write(file, record, bytes.data());
    ++copied.records;
    return true;
  });
  ++copied.files;
}

// Reads the copy back: every record must pass its own checksum and hold
// the source's bytes, and no file may hold more records than the source.
void verifyFile(data::Store& from, data::Store& to, std::uint16_t file) {
  const data::FileInfo& info = *data::fileInfo(file);
  std::vector<std::uint8_t> copy(info.recordLength);
  from.forEach(file, [&](std::uint32_t record, std::span<const std::uint8_t> bytes) {
    if (!to.read(file, record, copy.data()) ||
        std::memcmp(copy.data(), bytes.data(), bytes.size()) != 0)
      throw std::runtime_error(to.path() + ": data file " + std::to_string(file) + " (" +
                               info.name + "): record " + std::to_string(record) +
                               " did not arrive as it was sent");
    return true;
  });
  if (to.recordCount(file) != from.recordCount(file))
    throw std::runtime_error(to.path() + ": data file " + std::to_string(file) + " (" + info.name +
                             ") holds records that the source does not");
}

void runCopy(const CopyOptions& o) {
  if (!data::companyExists(o.from))
    throw std::runtime_error("copy: " + data::shownLocation(o.from) + " holds no company");
  auto from = data::openStore(o.from, data::Store::Access::readOnly);
  NewCompany target("copy", o.to);
  Copied copied;
  try {
    auto to = data::openStore(o.to, data::Store::Access::readWrite);
    // One snapshot of the source: stations may go on working on it, and
    // the copy is still the company as it was at one moment.
    from->beginReadScope();
    {
      data::Store::Transaction transaction(*to);
      for (const data::FileInfo& info : data::companyFiles())
        if (from->fileExists(info.number)) copyFile(*from, *to, info.number, copied);
      transaction.commit();
    }
    for (const data::FileInfo& info : data::companyFiles())
      if (from->fileExists(info.number)) verifyFile(*from, *to, info.number);
    from->endReadScope();
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("copy: ") + e.what() + "; nothing was copied");
  }
  target.keep();
  std::cout << "Copied " << copied.records << " records of " << copied.files << " data files from "
            << data::shownLocation(o.from) << " to " << target.shownName() << "\n";
}

}  // namespace

void addCopyCommand(CLI::App& app) {
  auto options = std::make_shared<CopyOptions>();
  CLI::App* cmd = app.add_subcommand(
      "copy", "Copy a company between folders and PostgreSQL servers, checking every record");
  cmd->add_option("FROM", options->from, "The company to copy: a directory or PostgreSQL URI")
      ->required();
  cmd->add_option("TO", options->to, "Where the copy goes (must hold no company)")->required();
  cmd->callback([options] { runCopy(*options); });
}

}  // namespace vx70::app
