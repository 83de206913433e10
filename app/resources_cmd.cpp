// vx70 resources: lists the dialogs of the module from its description
// resources, so that a person (or a program, with --json) can see what the
// module holds: each dialog's title, kind, pages, handler ordinals and the
// size of its control list.
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "app/commands.h"
#include "host/module.h"

namespace vx70::app {
namespace {

struct DialogSummary {
  std::uint16_t id = 0;
  std::string title;
  std::string kind;
  res::DEntry dentry;
  std::size_t entries = 0;
  bool hasTemplate = false;
  std::vector<std::uint16_t> pages;
  std::uint16_t initOrdinal = 0;
  std::uint16_t commandOrdinal = 0;
};

std::string kindOf(std::uint16_t flags) {
  switch (flags) {
    case res::DENTRY_TABBED:
      return "tabbed";
    case res::DENTRY_PAGE:
      return "page";
    case res::DENTRY_ALONE:
      return "dialog";
    default:
      return "flags " + std::to_string(flags);
  }
}

DialogSummary summarise(const res::ModuleResources& r, std::uint16_t id) {
  DialogSummary s;
  s.id = id;
  s.dentry = *r.dentry(id);
  s.kind = kindOf(s.dentry.flags);
  if (auto t = r.dialog(id)) {
    s.hasTemplate = true;
    s.title = t->title;
  }
  if (auto c = r.centry(s.dentry.centry)) s.entries = c->entries.size();
  if (s.dentry.tentry)
    if (auto pages = r.tentry(s.dentry.tentry))
      for (const auto& p : *pages) s.pages.push_back(p.dialog);
  if (auto m = r.mentry(s.dentry.mentry))
    for (const auto& e : *m) {
      if (e.message == WM_INITDIALOG) s.initOrdinal = e.ordinal;
      if (e.message == WM_COMMAND) s.commandOrdinal = e.ordinal;
    }
  return s;
}

std::string joined(const std::vector<std::uint16_t>& ids) {
  std::ostringstream out;
  for (std::size_t i = 0; i < ids.size(); ++i) out << (i ? "," : "") << ids[i];
  return ids.empty() ? "-" : out.str();
}

std::string ordinal(std::uint16_t o) { return o ? std::to_string(o) : "-"; }

void printTable(const std::vector<DialogSummary>& dialogs) {
  std::cout << std::left << std::setw(6) << "Dialog" << std::setw(26) << "Title" << std::setw(8)
            << "Kind" << std::setw(26) << "Pages" << std::setw(6) << "Init" << std::setw(9)
            << "Command" << "Entries\n";
  for (const auto& d : dialogs) {
    std::string title = d.hasTemplate ? "\"" + d.title + "\"" : "(no template)";
    std::cout << std::left << std::setw(6) << d.id << std::setw(26) << title << std::setw(8)
              << d.kind << std::setw(26) << joined(d.pages) << std::setw(6)
              << ordinal(d.initOrdinal) << std::setw(9) << ordinal(d.commandOrdinal) << d.entries
              << " (CENTRY " << d.dentry.centry << ")\n";
  }
  std::cout << dialogs.size() << " dialogs\n";
}

void printJson(const std::vector<DialogSummary>& dialogs) {
  nlohmann::json out = nlohmann::json::array();
  for (const auto& d : dialogs)
    out.push_back({{"dialog", d.id},
                   {"title", d.hasTemplate ? nlohmann::json(d.title) : nlohmann::json()},
                   {"kind", d.kind},
                   {"pages", d.pages},
                   {"init", d.initOrdinal},
                   {"command", d.commandOrdinal},
                   {"centry", d.dentry.centry},
                   {"mentry", d.dentry.mentry},
                   {"tentry", d.dentry.tentry},
                   {"entries", d.entries}});
  std::cout << out.dump() << '\n';
}

}  // namespace

void addResourcesCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("resources", "List the module's dialogs from its resources");
  auto module = std::make_shared<std::string>(defaultModulePath());
  auto json = std::make_shared<bool>(false);
  cmd->add_option("--module", *module, "Path of the vx70def module library")->capture_default_str();
  cmd->add_flag("--json", *json, "Print one JSON array instead of a table");
  cmd->callback([module, json] {
    auto mod = Module::load(*module, kDefaultsModuleNumber);
    std::vector<DialogSummary> dialogs;
    for (std::uint16_t id : mod->resources().dialogIds())
      dialogs.push_back(summarise(mod->resources(), id));
    if (*json)
      printJson(dialogs);
    else
      printTable(dialogs);
  });
}

}  // namespace vx70::app
