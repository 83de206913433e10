// The rules that bind the module's resources to each other and to the
// engine that reads them: every dialog's lists exist, every message map
// names a handler the module exports, controls lie inside their dialog and
// apart, every value entry has a window of a class its type can drive,
// fields lie inside their record slot, and tab pages link every value of
// their container that they show.  The pins hold each value; these rules
// say what a resource changed on purpose must still keep.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "frame/res/ids_company.h"
#include "frame/res/ids_ledgers.h"
#include "host/loader/module.h"
#include "tests/support/res_fixture.h"

namespace vx70::test {
namespace {

using res::CEntry;

// A dialog of the module as its DENTRY describes it.
struct Dialog {
  std::uint16_t id;
  res::DEntry entry;
  std::uint16_t init;  // its Init handler's ordinal: a family shares it

  bool tabbed() const { return entry.flags == res::DENTRY_TABBED; }
  bool page() const { return entry.flags == res::DENTRY_PAGE; }
};

const std::vector<Dialog>& Dialogs() {
  static const std::vector<Dialog> dialogs = [] {
    std::vector<Dialog> out;
    for (std::uint16_t id : Resources().dialogIds()) {
      Dialog d{id, *Resources().dentry(id), 0};
      if (auto map = Resources().mentry(d.entry.mentry))
        for (const auto& m : *map)
          if (m.message == 0x0110) d.init = m.ordinal;
      out.push_back(d);
    }
    return out;
  }();
  return dialogs;
}

std::vector<std::uint16_t> tabPages(const Dialog& d) {
  std::vector<std::uint16_t> pages;
  if (auto list = Resources().tentry(d.entry.tentry))
    for (const auto& p : *list) pages.push_back(p.dialog);
  return pages;
}

// A page of a tabbed dialog: named by its tab list, or a page of the same
// family that the list leaves out (the company's Environment page).
bool isPageOf(const Dialog& page, const Dialog& tabbed) {
  if (!tabbed.tabbed() || !page.page()) return false;
  const auto pages = tabPages(tabbed);
  return std::count(pages.begin(), pages.end(), page.id) > 0 ||
         (page.init != 0 && page.init == tabbed.init);
}

TEST(DialogLists, EveryDialogNamesListsThatExist) {
  for (const Dialog& d : Dialogs()) {
    SCOPED_TRACE("dialog " + std::to_string(d.id));
    EXPECT_TRUE(d.tabbed() || d.page() || d.entry.flags == res::DENTRY_ALONE);
    EXPECT_EQ(d.entry.reserved, 0);
    EXPECT_TRUE(Resources().mentry(d.entry.mentry));
    // Only a page without a template of its own may name no value list.
    EXPECT_TRUE(Resources().centry(d.entry.centry) || !Resources().dialog(d.id));
    if (d.tabbed()) EXPECT_NE(d.entry.tentry, 0);
    if (!d.entry.tentry) continue;
    // About shows its pages in tabs of its own; a tabbed dialog's pages
    // are made for it.
    auto pages = Resources().tentry(d.entry.tentry);
    ASSERT_TRUE(pages);
    for (const auto& p : *pages) {
      EXPECT_EQ(p.module, 15);
      auto page = Resources().dentry(p.dialog);
      ASSERT_TRUE(page) << "page " << p.dialog;
      if (d.tabbed()) EXPECT_EQ(page->flags, res::DENTRY_PAGE);
    }
  }
}

// Each map answers the dialog's creation and its commands with handlers
// that the module exports, in that order; a page may answer its commands only.
TEST(DialogLists, MessageMapsNameExportedHandlers) {
  const auto module = Module::load(VX70_MODULE_PATH, 15);
  for (const Dialog& d : Dialogs()) {
    SCOPED_TRACE("dialog " + std::to_string(d.id));
    std::vector<std::uint16_t> messages;
    const auto map = Resources().mentry(d.entry.mentry);
    ASSERT_TRUE(map);
    for (const auto& m : *map) {
      messages.push_back(m.message);
      EXPECT_EQ(m.reserved, 0);
      EXPECT_NE(module->procAddress(m.ordinal), nullptr) << "ordinal " << m.ordinal;
    }
    EXPECT_TRUE(messages == (std::vector<std::uint16_t>{0x0110, 0x0111}) ||
                messages == std::vector<std::uint16_t>{0x0111});
  }
}

// Windows overlap only where one holds the other: a group box around its
// controls, and the frame of the Address page around the address lines.
bool holds(std::uint16_t dialog, const res::DialogItem& outer, const res::DialogItem& inner) {
  if (SameClass(outer.className, "BUTTON") && (outer.style & 0xF) == 0x7) return true;
  return dialog == IDD_PREFS_ADDRESS && outer.id == IDC_PREFS_ADDRESS_FRAME &&
         inner.id >= IDC_PREFS_ADDRESS_LINE1 && inner.id <= IDC_PREFS_ADDRESS_LINE5;
}

// The part of a window that is drawn: a drop-down list's template height
// takes in its list, of which the field shows 12 units at most.
struct Box {
  int x, y, cx, cy;
};

Box drawn(const res::DialogItem& i) {
  bool dropDown = (SameClass(i.className, "COMBOBOX") && (i.style & 0x3) >= 0x2) ||
                  SameClass(i.className, "__03Combo__");
  return {i.x, i.y, i.cx, dropDown ? std::min<int>(i.cy, 12) : i.cy};
}

bool inside(const Box& in, const Box& out) {
  return in.x >= out.x && in.y >= out.y && in.x + in.cx <= out.x + out.cx &&
         in.y + in.cy <= out.y + out.cy;
}

bool overlap(const Box& a, const Box& b) {
  return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

TEST(TemplateFrames, ControlsLieInsideTheirDialogAndApart) {
  // The Parameters page keeps its "&Help" group above the visible area.
  const std::set<std::pair<std::uint16_t, std::uint32_t>> aboveTheTop = {
      {IDD_PREFS_PARAMETERS, IDC_PREFS_HELP_GROUP},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_TOOL_TIPS},
      {IDD_PREFS_PARAMETERS, IDC_PREFS_BUBBLE_HELP}};
  for (const Dialog& d : Dialogs()) {
    auto t = Resources().dialog(d.id);
    if (!t) continue;
    for (const auto& i : t->items) {
      SCOPED_TRACE("dialog " + std::to_string(d.id) + " control " + std::to_string(i.id));
      if (aboveTheTop.count({d.id, i.id})) {
        EXPECT_LT(i.y + i.cy, 0);
      } else {
        EXPECT_TRUE(inside({i.x, i.y, i.cx, i.cy}, {0, 0, t->cx, t->cy}));
      }
      for (const auto& j : t->items) {
        if (&j <= &i) continue;
        const Box a = drawn(i), b = drawn(j);
        if (!overlap(a, b)) continue;
        EXPECT_TRUE((holds(d.id, i, j) && inside(b, a)) || (holds(d.id, j, i) && inside(a, b)))
            << "overlaps control " << j.id << " \"" << j.text << "\"";
      }
    }
  }
}

// ---- Value entries --------------------------------------------------------

// The template windows that a dialog's entries may stand for: its own,
// and for a tabbed dialog every page of its family.
std::vector<res::DialogTemplate> familyTemplates(const Dialog& d) {
  std::vector<res::DialogTemplate> out;
  if (auto t = Resources().dialog(d.id)) out.push_back(*t);
  for (const Dialog& other : Dialogs())
    if (isPageOf(other, d))
      if (auto t = Resources().dialog(other.id)) out.push_back(*t);
  return out;
}

const res::DialogItem* findWindow(const std::vector<res::DialogTemplate>& ts, std::uint16_t id) {
  for (const auto& t : ts)
    if (auto i = t.item(id)) return i;
  return nullptr;
}

bool hasWindow(const CEntry& e) {
  return e.storage == res::CS_WINDOW || e.storage == res::CS_OWN || e.storage == res::CS_FRAME ||
         e.storage == res::CS_FIELD;
}

const std::map<std::uint16_t, std::vector<std::string>> kClassesOfType = {
    {res::CT_DECIMAL, {"EDIT", "#VX32CALCEDIT", "COMBOBOX", "__03Combo__"}},
    {res::CT_TEXT, {"EDIT", "__03Combo__"}},
    {res::CT_WORD, {"EDIT", "COMBOBOX"}},
    {res::CT_DATE, {"__03Combo__"}},
    {res::CT_GRID15, {"__03Grid__"}},
    {res::CT_GRID16, {"__03Grid__"}},
    {res::CT_STATIC, {"STATIC", "BUTTON", "__03Box__"}},
    {res::CT_BUTTON, {"BUTTON", "__03Button__"}},
    {res::CT_GRIDCOMBO, {"__03Combo__"}},
};

TEST(ControlEntries, WindowsExistWithAClassOfTheirType) {
  for (const Dialog& d : Dialogs()) {
    auto c = Resources().centry(d.entry.centry);
    if (!c) continue;
    auto templates = familyTemplates(d);
    std::set<std::uint16_t> seen;
    for (const auto& e : c->entries) {
      SCOPED_TRACE("CENTRY " + std::to_string(d.entry.centry) + " entry " + std::to_string(e.id));
      EXPECT_TRUE(seen.insert(e.id).second) << "twice";
      EXPECT_EQ(e.reserved, 0);
      if (e.storage == res::CS_FRAME) EXPECT_TRUE(d.tabbed());
      if (!hasWindow(e)) continue;
      const res::DialogItem* w = findWindow(templates, e.id);
      ASSERT_TRUE(w) << "no template window";
      auto allowed = kClassesOfType.find(e.type);
      ASSERT_NE(allowed, kClassesOfType.end()) << "type " << e.type << " has no window";
      EXPECT_TRUE(std::any_of(allowed->second.begin(), allowed->second.end(),
                              [&](const std::string& cls) { return SameClass(cls, w->className); }))
          << "class " << w->className;
      if (e.isGrid() || (e.isGridCombo() && e.link1)) {
        EXPECT_TRUE(Resources().grid(e.link1)) << "GRID " << e.link1;
        EXPECT_EQ(e.link2, 15);
      }
    }
  }
}

TEST(ControlEntries, FieldsLieInsideWholeRecordSlots) {
  const std::set<std::uint16_t> recordSizes = {651, 1146, 4783};
  for (const Dialog& d : Dialogs()) {
    auto c = Resources().centry(d.entry.centry);
    if (!c) continue;
    for (const auto& e : c->entries) {
      SCOPED_TRACE("CENTRY " + std::to_string(d.entry.centry) + " entry " + std::to_string(e.id));
      if (e.type == res::CT_RECORD) {
        EXPECT_EQ(e.storage, res::CS_NONE);
        EXPECT_TRUE(recordSizes.count(e.length));
      }
      if (e.storage != res::CS_FIELD) continue;
      const CEntry* slot = c->find(e.link1);
      ASSERT_TRUE(slot) << "no slot " << e.link1;
      EXPECT_EQ(slot->type, res::CT_RECORD);
      std::size_t size = e.type == res::CT_DECIMAL ? 8 : e.type == res::CT_WORD ? 2 : e.length;
      EXPECT_LE(e.link2 + size, slot->length);
    }
  }
}

// An entry that holds a value: a buffer of its own or in a record slot, a
// grid or a grid-combo.
bool holdsValue(const CEntry& e) {
  return e.storage == res::CS_OWN || e.storage == res::CS_FIELD || e.storage == res::CS_HIDDEN ||
         e.isGrid() || e.isGridCombo();
}

// A page keeps no value of its own: each value of its container that it
// shows is reached by a link, and only pages link.
void expectLinks(const Dialog& page, const res::CEntryList& parent) {
  auto c = Resources().centry(page.entry.centry);
  auto pageTemplate = Resources().dialog(page.id);
  if (!c || !pageTemplate) return;
  std::set<std::uint16_t> linked;
  for (const auto& e : c->entries) {
    SCOPED_TRACE("page " + std::to_string(page.id) + " entry " + std::to_string(e.id));
    EXPECT_EQ(e.length, 0) << "a page keeps no buffer of its own";
    if (e.type != res::CT_LINK) {
      EXPECT_EQ(e.storage, res::CS_WINDOW);
      continue;
    }
    linked.insert(e.id);
    EXPECT_EQ(e.storage, res::CS_NONE);
    EXPECT_EQ(e.link1 | e.link2, 0);
    const CEntry* target = parent.find(e.id);
    ASSERT_TRUE(target);
    EXPECT_NE(target->type, res::CT_LINK);
  }
  for (const auto& e : parent.entries)
    if (holdsValue(e) && pageTemplate->item(e.id))
      EXPECT_TRUE(linked.count(e.id)) << "page " << page.id << " shows " << e.id << " unlinked";
}

TEST(ControlEntries, PagesLinkEveryValueOfTheContainerTheyShow) {
  std::set<std::uint16_t> pages;
  for (const Dialog& d : Dialogs()) {
    if (!d.tabbed()) continue;
    auto parent = Resources().centry(d.entry.centry);
    ASSERT_TRUE(parent);
    for (const Dialog& page : Dialogs())
      if (isPageOf(page, d)) {
        pages.insert(page.id);
        expectLinks(page, *parent);
      }
  }
  for (const Dialog& d : Dialogs())
    if (auto c = Resources().centry(d.entry.centry); c && !pages.count(d.id))
      for (const auto& e : c->entries)
        EXPECT_NE(e.type, res::CT_LINK) << "dialog " << d.id << " entry " << e.id;
}

}  // namespace
}  // namespace vx70::test
