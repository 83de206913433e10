// The resources of the ledger defaults dialogs: Customer Defaults (3607 with
// the pages 3608-3611), Supplier Defaults (3623 with 3624, 3625), Product
// Defaults (3612 with 3613) and the customer discount table, GRID 1010.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "tests/support/res_fixture.h"

namespace {

using namespace vx70::res;
using vx70::test::ControlSpec;
using vx70::test::ExpectControls;
using vx70::test::Resources;
using enum vx70::test::ControlKind;

using Ids = std::vector<std::uint16_t>;

// The three tabbed dialogs: container, its CENTRY, and its pages.
struct Tabbed {
  std::uint16_t dialog, centry;
  Ids pages;
};
const Tabbed kTabbed[] = {
    {3607, 1007, {3608, 3609, 3610, 3611}},
    {3623, 1012, {3624, 3625}},
    {3612, 1016, {3613}},
};

// Controls the dialogs name, with their class, caption and kind.
TEST(LedgerResources, NamedControls) {
  std::vector<ControlSpec> controls = {
      // Customer Record: calculator edits, edits, engine combos, the two lists
      // in their groups and their labels.
      {3608, 1211, "#VX32CALCEDIT", nullptr, 0},
      {3608, 1964, "#VX32CALCEDIT", nullptr, 0},
      {3608, 1395, "#VX32CALCEDIT", nullptr, 0},
      {3608, 1397, "COMBOBOX", nullptr, kDropDownList},
      {3608, 1999, "COMBOBOX", nullptr, kDropDownList},
      {3608, 200, "BUTTON", "&Discounts", kGroup},
      {3608, 2474, "BUTTON", "&Account status", kGroup},
      {3608, 122, "STATIC", "Type", 0},
      {3608, 109, "STATIC", "Disc. %", 0},
      {3608, 2475, "STATIC", "Default status", 0},
      // Supplier Record: credit limit and settlement discount are plain edits.
      {3624, 1211, "EDIT", nullptr, 0},
      {3624, 1964, "EDIT", nullptr, 0},
      {3624, 1999, "COMBOBOX", nullptr, kDropDownList},
      {3624, 2474, "BUTTON", "&Account status", kGroup},
      {3624, 2475, "STATIC", "Default status", 0},
      // Statements.
      {3609, 1431, "EDIT", nullptr, 0},
      {3609, 1432, "EDIT", nullptr, 0},
      {3609, 1433, "EDIT", nullptr, 0},
      {3609, 1434, "EDIT", nullptr, 0},
      // Discount.
      {3611, 1396, "__03Grid__", nullptr, 0},
      // Product Details.
      {3613, 1714, "__03Combo__", nullptr, 0},
      {3613, 2061, "__03Combo__", nullptr, 0},
      {3613, 2011, "EDIT", nullptr, 0},
      {3613, 2000, "__03Combo__", nullptr, 0},
      {3613, 1373, "__03Combo__", nullptr, 0},
      {3613, 1866, "COMBOBOX", nullptr, kDropDownList},
      {3613, 2146, "COMBOBOX", nullptr, kDropDownList},
  };
  for (std::uint16_t page : Ids{3608, 3624}) {
    for (std::uint16_t id : Ids{1407, 1405, 2075})
      controls.push_back({page, id, "EDIT", nullptr, 0});
    for (std::uint16_t id : Ids{1373, 2061, 1714, 1317})
      controls.push_back({page, id, "__03Combo__", nullptr, 0});
  }
  for (std::uint16_t page : Ids{3610, 3625}) {
    controls.push_back({page, 1219, "BUTTON", "Include future totals in balance", kCheckBox});
    controls.push_back({page, 1218, "BUTTON", "Use calendar monthly ageing", kCheckBox});
    for (std::uint16_t id : Ids{1619, 1620, 1621, 1622})
      controls.push_back({page, id, "EDIT", nullptr, 0});
    for (std::uint16_t id : Ids{1528, 1529, 1530})
      controls.push_back({page, id, "EDIT", nullptr, kDisabled});
  }
  for (std::uint16_t frame : Ids{3607, 3623, 3612}) {
    controls.push_back({frame, 1942, "BUTTON", "OK", 0});
    controls.push_back({frame, 2, "BUTTON", "Cancel", 0});
  }
  ExpectControls(controls);

  // Labels and group boxes that the dialogs name only by their text.
  struct Texts {
    std::uint16_t dialog;
    std::vector<const char*> texts;
  };
  const std::vector<const char*> record = {
      "Credit Limit", "Payment Due Days", "Sett.Discount", "Sett. Due Days", "Terms",
      "Department",   "Std Tax Code",     "Default N/C",   "Currency"};
  const std::vector<const char*> ageing = {
      "From",           "To",       "Aged Period 1", "Aged Period 2", "Aged Period 3",
      "Aged Period 4 ", "Days plus"};
  const Texts texts[] = {
      {3608, record},
      {3624, record},
      {3609, {"Invoices", "Credits", "Discounts", "Payments"}},
      {3610, ageing},
      {3625, ageing},
      {3611, {"Invoice Discounts"}},
      {3613,
       {"Defaults", "Decimal Precison", "Nominal Code", "Tax Code", "Unit of Sale", "Category",
        "Department", "Quantity D.P.", "Unit D.P."}},
  };
  for (const Texts& t : texts) {
    const auto dlg = Resources().dialog(t.dialog);
    ASSERT_TRUE(dlg);
    for (const char* text : t.texts) {
      EXPECT_TRUE(std::any_of(dlg->items.begin(), dlg->items.end(),
                              [&](const DialogItem& i) { return i.text == text; }))
          << t.dialog << " \"" << text << "\"";
    }
  }
}

// The value entries of the containers, as the dialogs describe them; their
// grids and grid-combos are those of the table of grid entries.
TEST(LedgerResources, ContainerValueEntries) {
  constexpr int kAny = -1;  // a displayed width that the dialogs leave open
  struct Value {
    std::uint16_t id, type, storage;
    int length;
    std::uint16_t link1, link2;  // record slot and offset of a field
  };
  auto field = [](std::uint16_t id, std::uint16_t type, int length, std::uint16_t offset) {
    return Value{id, type, CS_FIELD, length, 1967, offset};
  };
  auto own = [](std::uint16_t id, std::uint16_t type, int length) {
    return Value{id, type, CS_OWN, length, 0, 0};
  };
  const Value setup{1967, CT_RECORD, CS_NONE, 4783, 0, 0};
  const Value ok{1942, CT_BUTTON, CS_FRAME, 0, 0, 0};
  const Value cancel{2, CT_BUTTON, CS_FRAME, 0, 0, 0};
  std::vector<Value> ageing;
  for (std::uint16_t id : Ids{1619, 1620, 1621, 1622, 1528, 1529, 1530})
    ageing.push_back(own(id, CT_WORD, kAny));

  struct List {
    std::uint16_t centry;
    std::vector<Value> values;
  };
  List lists[] = {
      {1007,
       {setup,
        {1719, CT_RECORD, CS_NONE, 651, 0, 0},
        field(1211, CT_DECIMAL, kAny, 511),
        field(1407, CT_WORD, kAny, 707),
        field(1964, CT_DECIMAL, kAny, 519),
        field(1405, CT_WORD, kAny, 705),
        field(2075, CT_TEXT, 31, 477),
        field(1395, CT_DECIMAL, kAny, 527),
        own(1431, CT_TEXT, 61),
        own(1432, CT_TEXT, 61),
        own(1433, CT_TEXT, 61),
        own(1434, CT_TEXT, 61),
        ok,
        cancel}},
      {1012,
       {setup, field(1211, CT_DECIMAL, kAny, 813), field(1407, CT_WORD, kAny, 849),
        field(1964, CT_DECIMAL, kAny, 821), field(1405, CT_WORD, kAny, 847),
        field(2075, CT_TEXT, 31, 779), ok, cancel}},
      {1016, {setup, field(2011, CT_TEXT, 9, 870), ok, cancel}},
  };
  lists[0].values.insert(lists[0].values.end(), ageing.begin(), ageing.end());
  lists[1].values.insert(lists[1].values.end(), ageing.begin(), ageing.end());

  for (const List& l : lists) {
    SCOPED_TRACE(l.centry);
    const auto ce = Resources().centry(l.centry);
    ASSERT_TRUE(ce);
    std::set<std::uint16_t> described;
    for (const Value& v : l.values) {
      SCOPED_TRACE(v.id);
      described.insert(v.id);
      const CEntry* e = ce->find(v.id);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->type, v.type);
      EXPECT_EQ(e->storage, v.storage);
      if (v.length != kAny) EXPECT_EQ(e->length, v.length);
      if (v.type == CT_DECIMAL || v.type == CT_WORD) EXPECT_GT(e->length, 0);
      EXPECT_EQ(e->link1, v.link1);
      EXPECT_EQ(e->link2, v.link2);
      EXPECT_EQ(e->rowsNeeded, 0);
      EXPECT_EQ(e->startUp, 0);
    }
    // No value buffer beyond those described: the rest are windows only.
    for (const CEntry& e : ce->entries) {
      if (described.count(e.id) || e.isGrid() || e.isGridCombo()) continue;
      SCOPED_TRACE(e.id);
      EXPECT_EQ(e.storage, CS_WINDOW);
      EXPECT_TRUE(e.type == CT_STATIC || e.type == CT_BUTTON);
      EXPECT_EQ(e.length, 0);
    }
  }
}

// Each page links to the container's buffer of every value control it
// shows; its other entries, and the container's window-only entries, name
// windows of the dialog.
TEST(LedgerResources, PagesLinkToTheContainer) {
  const std::pair<std::uint16_t, Ids> links[] = {
      {3608, {1211, 1407, 1964, 1405, 2075, 1373, 2061, 1714, 1317, 1395}},
      {3609, {1431, 1432, 1433, 1434}},
      {3610, {1619, 1620, 1621, 1622, 1528, 1529, 1530}},
      {3611, {1396}},
      {3624, {1211, 1407, 1964, 1405, 2075, 1373, 2061, 1714, 1317}},
      {3625, {1619, 1620, 1621, 1622, 1528, 1529, 1530}},
      {3613, {1714, 2061, 2011, 2000, 1373}},
  };
  for (const Tabbed& t : kTabbed) {
    SCOPED_TRACE(t.dialog);
    const auto container = Resources().centry(t.centry);
    const auto frame = Resources().dialog(t.dialog);
    ASSERT_TRUE(container && frame);
    std::vector<DialogTemplate> pages;
    for (std::uint16_t page : t.pages) {
      SCOPED_TRACE(page);
      const auto de = Resources().dentry(page);
      const auto tmpl = Resources().dialog(page);
      ASSERT_TRUE(de && tmpl);
      pages.push_back(*tmpl);
      const auto list = Resources().centry(de->centry);
      ASSERT_TRUE(list);
      const auto expected = std::find_if(std::begin(links), std::end(links),
                                         [&](const auto& l) { return l.first == page; });
      ASSERT_NE(expected, std::end(links));
      Ids linked;
      for (const CEntry& e : list->entries) {
        SCOPED_TRACE(e.id);
        EXPECT_NE(tmpl->item(e.id), nullptr);  // the window is on this page
        if (e.type != CT_LINK) {
          EXPECT_EQ(e.storage, CS_WINDOW);
          continue;
        }
        linked.push_back(e.id);
        EXPECT_EQ(e.length, 0);
        EXPECT_EQ(e.link1, 0);
        EXPECT_EQ(e.link2, 0);
        // The container's entry holds the value: a buffer, a grid or a grid-combo.
        const CEntry* target = container->find(e.id);
        ASSERT_NE(target, nullptr);
        EXPECT_TRUE(target->storage != CS_WINDOW || target->isGrid() || target->isGridCombo());
      }
      std::sort(linked.begin(), linked.end());
      Ids want = expected->second;
      std::sort(want.begin(), want.end());
      EXPECT_EQ(linked, want);
    }
    // Container entries: OK and Cancel in its own template, every other
    // window on one of its pages and not in its own template.
    for (const CEntry& e : container->entries) {
      if (e.type == CT_RECORD) continue;
      SCOPED_TRACE(e.id);
      if (e.storage == CS_FRAME) {
        EXPECT_NE(frame->item(e.id), nullptr);
        continue;
      }
      EXPECT_EQ(frame->item(e.id), nullptr);
      EXPECT_TRUE(std::any_of(pages.begin(), pages.end(),
                              [&](const DialogTemplate& p) { return p.item(e.id) != nullptr; }));
    }
  }
}

// The discount table: the columns' values beyond the GRID column summary.
TEST(LedgerResources, DiscountTableGrid) {
  const auto grid = Resources().grid(1010);
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->columns.size(), 3u);
  for (const GridColumn& c : grid->columns) EXPECT_EQ(c.style, 0x80) << c.heading;
  EXPECT_EQ(grid->columns[0].id, 0);
  EXPECT_EQ(grid->columns[0].editorClass, "@EDIT");
}

}  // namespace
