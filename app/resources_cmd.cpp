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
#include "host/codepage.h"
#include "host/loader/module.h"

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
    s.title = codepage::toUtf8(t->title);
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
            << "Command"
            << "Entries\n";
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

// ---- One dialog in detail ---------------------------------------------------

std::string hex(std::uint32_t v) {
  std::ostringstream out;
  out << "0x" << std::hex << std::setw(8) << std::setfill('0') << v;
  return out.str();
}

nlohmann::json entryJson(const res::CEntry& e) {
  return {
      {"id", e.id},        {"type", e.type},   {"storage", e.storage},       {"length", e.length},
      {"link1", e.link1},  {"link2", e.link2}, {"rowsNeeded", e.rowsNeeded}, {"startUp", e.startUp},
      {"layout", e.layout}};
}

nlohmann::json dialogJson(const res::ModuleResources& r, std::uint16_t id) {
  auto d = r.dentry(id);
  if (!d) throw std::runtime_error("the module has no dialog " + std::to_string(id));
  nlohmann::json out = {
      {"dialog", id},        {"centry", d->centry},           {"mentry", d->mentry},
      {"tentry", d->tentry}, {"displayWord", d->displayWord}, {"flags", d->flags}};
  if (auto t = r.dialog(id)) {
    out["template"] = {{"title", t->title}, {"style", hex(t->style)},   {"x", t->x},
                       {"y", t->y},         {"width", t->cx},           {"height", t->cy},
                       {"font", t->font},   {"pointSize", t->pointSize}};
    auto& controls = out["template"]["controls"] = nlohmann::json::array();
    for (const auto& i : t->items)
      controls.push_back({{"id", static_cast<std::int16_t>(i.id)},
                          {"class", i.className},
                          {"text", i.text},
                          {"style", hex(i.style)},
                          {"x", i.x},
                          {"y", i.y},
                          {"width", i.cx},
                          {"height", i.cy}});
  }
  auto& entries = out["entries"] = nlohmann::json::array();
  if (auto c = r.centry(d->centry))
    for (const auto& e : c->entries) entries.push_back(entryJson(e));
  codepage::jsonToUtf8(out);  // the template's texts are in the Windows code page
  return out;
}

void printDialog(const nlohmann::json& d) {
  std::cout << "Dialog " << d["dialog"] << ": CENTRY " << d["centry"] << ", MENTRY " << d["mentry"]
            << ", TENTRY " << d["tentry"] << ", flags " << d["flags"] << '\n';
  if (d.contains("template")) {
    const auto& t = d["template"];
    std::cout << "  " << t["title"] << " " << t["style"].get<std::string>() << " at " << t["x"]
              << "," << t["y"] << " size " << t["width"] << "x" << t["height"] << ", "
              << t["font"].get<std::string>() << " " << t["pointSize"] << '\n';
    for (const auto& c : t["controls"])
      std::cout << "  " << std::left << std::setw(6) << c["id"].get<int>() << std::setw(15)
                << c["class"].get<std::string>() << std::setw(12) << c["style"].get<std::string>()
                << c["x"] << "," << c["y"] << " " << c["width"] << "x" << c["height"] << "  "
                << c["text"] << '\n';
  }
  std::cout << "  entries (id type storage length link1 link2 rows-needed start-up layout):\n";
  for (const auto& e : d["entries"])
    std::cout << "  " << e["id"] << " " << e["type"] << " " << e["storage"] << " " << e["length"]
              << " " << e["link1"] << " " << e["link2"] << " " << e["rowsNeeded"] << " "
              << e["startUp"] << " " << e["layout"] << '\n';
}

// ---- The string table -------------------------------------------------------

void printStrings(const res::ModuleResources& r, bool json) {
  nlohmann::json out = nlohmann::json::array();
  for (std::uint32_t id = 0; id <= 0xFFFF; ++id)
    if (auto text = r.string(static_cast<std::uint16_t>(id))) {
      const std::string utf8 = codepage::toUtf8(*text);
      if (json)
        out.push_back({{"id", id}, {"text", utf8}});
      else
        std::cout << std::left << std::setw(6) << id << nlohmann::json(utf8).dump() << '\n';
    }
  if (json) std::cout << out.dump() << '\n';
}

}  // namespace

void addResourcesCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("resources", "List the module's dialogs from its resources");
  auto module = std::make_shared<std::string>(defaultModulePath());
  auto json = std::make_shared<bool>(false);
  auto dialog = std::make_shared<std::uint16_t>(0);
  cmd->add_option("--module", *module, "Path of the vx70def module library")->capture_default_str();
  cmd->add_option("--dialog", *dialog,
                  "Show one dialog in detail: its template's controls and its control entries");
  auto strings = std::make_shared<bool>(false);
  cmd->add_flag("--strings", *strings, "List the string table instead of the dialogs");
  cmd->add_flag("--json", *json, "Print JSON instead of a table");
  cmd->callback([module, json, dialog, strings] {
    auto mod = Module::load(*module, kDefaultsModuleNumber);
    if (*strings) {
      printStrings(mod->resources(), *json);
      return;
    }
    if (*dialog) {
      auto d = dialogJson(mod->resources(), *dialog);
      if (*json)
        std::cout << d.dump() << '\n';
      else
        printDialog(d);
      return;
    }
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
