// The resources of the ledger defaults dialogs: Customer Defaults with its
// four pages, Supplier Defaults with two, Product Defaults with one, and the
// customer discount table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "api/win32.h"  // IDOK, IDCANCEL
#include "frame/res/ids_ledgers.h"
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
    {IDD_CUSTOMER_DEFAULTS,
     IDR_CUSTOMER_DEFAULTS_CENTRY,
     {IDD_CUSTOMER_RECORD, IDD_CUSTOMER_STATEMENTS, IDD_CUSTOMER_AGEING, IDD_CUSTOMER_DISCOUNT}},
    {IDD_SUPPLIER_DEFAULTS,
     IDR_SUPPLIER_DEFAULTS_CENTRY,
     {IDD_SUPPLIER_RECORD, IDD_SUPPLIER_AGEING}},
    {IDD_PRODUCT_DEFAULTS, IDR_PRODUCT_DEFAULTS_CENTRY, {IDD_PRODUCT_DETAILS}},
};

// The "From" and "To" boxes of the ageing periods, alike on both Ageing pages.
const Ids kAgeingFrom = {IDC_AGEING_PERIOD1_FROM, IDC_AGEING_PERIOD2_FROM, IDC_AGEING_PERIOD3_FROM,
                         IDC_AGEING_PERIOD4_FROM};
const Ids kAgeingTo = {IDC_AGEING_PERIOD1_TO, IDC_AGEING_PERIOD2_TO, IDC_AGEING_PERIOD3_TO};
const Ids kAgeingBoxes = [] {
  Ids ids = kAgeingFrom;
  ids.insert(ids.end(), kAgeingTo.begin(), kAgeingTo.end());
  return ids;
}();

// The value controls of the Customer and Supplier record pages, and the
// customer's extra ones.
Ids RecordValues(std::uint16_t extra = 0) {
  Ids ids = {IDC_LEDGER_CREDIT_LIMIT,    IDC_LEDGER_PAYMENT_DAYS, IDC_LEDGER_SETTLEMENT_DISCOUNT,
             IDC_LEDGER_SETTLEMENT_DAYS, IDC_LEDGER_TERMS,        IDC_LEDGER_DEPARTMENT,
             IDC_LEDGER_TAX_CODE,        IDC_LEDGER_NOMINAL_CODE, IDC_LEDGER_CURRENCY};
  if (extra) ids.push_back(extra);
  return ids;
}

// Controls the dialogs name, with their class, caption and kind.
TEST(LedgerResources, NamedControls) {
  std::vector<ControlSpec> controls = {
      // Customer Record: calculator edits, edits, engine combos, the two lists
      // in their groups and their labels.
      {IDD_CUSTOMER_RECORD, IDC_LEDGER_CREDIT_LIMIT, "#VX32CALCEDIT", nullptr, 0},
      {IDD_CUSTOMER_RECORD, IDC_LEDGER_SETTLEMENT_DISCOUNT, "#VX32CALCEDIT", nullptr, 0},
      {IDD_CUSTOMER_RECORD, IDC_CUSTOMER_DISCOUNT_RATE, "#VX32CALCEDIT", nullptr, 0},
      {IDD_CUSTOMER_RECORD, IDC_CUSTOMER_DISCOUNT_TYPE, "COMBOBOX", nullptr, kDropDownList},
      {IDD_CUSTOMER_RECORD, IDC_LEDGER_ACCOUNT_STATUS, "COMBOBOX", nullptr, kDropDownList},
      {IDD_CUSTOMER_RECORD, IDC_CUSTOMER_DISCOUNT_GROUP, "BUTTON", "&Discounts", kGroup},
      {IDD_CUSTOMER_RECORD, IDC_LEDGER_ACCOUNT_STATUS_GROUP, "BUTTON", "&Account status", kGroup},
      {IDD_CUSTOMER_RECORD, IDC_CUSTOMER_DISCOUNT_TYPE_LABEL, "STATIC", "Type", 0},
      {IDD_CUSTOMER_RECORD, IDC_CUSTOMER_DISCOUNT_RATE_LABEL, "STATIC", "Disc. %", 0},
      {IDD_CUSTOMER_RECORD, IDC_LEDGER_ACCOUNT_STATUS_LABEL, "STATIC", "Default status", 0},
      // Supplier Record: credit limit and settlement discount are plain edits.
      {IDD_SUPPLIER_RECORD, IDC_LEDGER_CREDIT_LIMIT, "EDIT", nullptr, 0},
      {IDD_SUPPLIER_RECORD, IDC_LEDGER_SETTLEMENT_DISCOUNT, "EDIT", nullptr, 0},
      {IDD_SUPPLIER_RECORD, IDC_LEDGER_ACCOUNT_STATUS, "COMBOBOX", nullptr, kDropDownList},
      {IDD_SUPPLIER_RECORD, IDC_LEDGER_ACCOUNT_STATUS_GROUP, "BUTTON", "&Account status", kGroup},
      {IDD_SUPPLIER_RECORD, IDC_LEDGER_ACCOUNT_STATUS_LABEL, "STATIC", "Default status", 0},
      // Statements.
      {IDD_CUSTOMER_STATEMENTS, IDC_STATEMENT_INVOICE_TEXT, "EDIT", nullptr, 0},
      {IDD_CUSTOMER_STATEMENTS, IDC_STATEMENT_CREDIT_TEXT, "EDIT", nullptr, 0},
      {IDD_CUSTOMER_STATEMENTS, IDC_STATEMENT_DISCOUNT_TEXT, "EDIT", nullptr, 0},
      {IDD_CUSTOMER_STATEMENTS, IDC_STATEMENT_PAYMENT_TEXT, "EDIT", nullptr, 0},
      // Discount.
      {IDD_CUSTOMER_DISCOUNT, IDC_CUSTOMER_DISCOUNT_TABLE, "__03Grid__", nullptr, 0},
      // Product Details.
      {IDD_PRODUCT_DETAILS, IDC_LEDGER_NOMINAL_CODE, "__03Combo__", nullptr, 0},
      {IDD_PRODUCT_DETAILS, IDC_LEDGER_TAX_CODE, "__03Combo__", nullptr, 0},
      {IDD_PRODUCT_DETAILS, IDC_PRODUCT_UNIT_OF_SALE, "EDIT", nullptr, 0},
      {IDD_PRODUCT_DETAILS, IDC_PRODUCT_CATEGORY, "__03Combo__", nullptr, 0},
      {IDD_PRODUCT_DETAILS, IDC_LEDGER_DEPARTMENT, "__03Combo__", nullptr, 0},
      {IDD_PRODUCT_DETAILS, IDC_PRODUCT_QUANTITY_DECIMALS, "COMBOBOX", nullptr, kDropDownList},
      {IDD_PRODUCT_DETAILS, IDC_PRODUCT_UNIT_DECIMALS, "COMBOBOX", nullptr, kDropDownList},
  };
  for (std::uint16_t page : Ids{IDD_CUSTOMER_RECORD, IDD_SUPPLIER_RECORD}) {
    for (std::uint16_t id :
         Ids{IDC_LEDGER_PAYMENT_DAYS, IDC_LEDGER_SETTLEMENT_DAYS, IDC_LEDGER_TERMS})
      controls.push_back({page, id, "EDIT", nullptr, 0});
    for (std::uint16_t id : Ids{IDC_LEDGER_DEPARTMENT, IDC_LEDGER_TAX_CODE, IDC_LEDGER_NOMINAL_CODE,
                                IDC_LEDGER_CURRENCY})
      controls.push_back({page, id, "__03Combo__", nullptr, 0});
  }
  for (std::uint16_t page : Ids{IDD_CUSTOMER_AGEING, IDD_SUPPLIER_AGEING}) {
    controls.push_back(
        {page, IDC_AGEING_FUTURE_TOTALS, "BUTTON", "Include future totals in balance", kCheckBox});
    controls.push_back(
        {page, IDC_AGEING_CALENDAR_MONTHS, "BUTTON", "Use calendar monthly ageing", kCheckBox});
    for (std::uint16_t id : kAgeingFrom) controls.push_back({page, id, "EDIT", nullptr, 0});
    for (std::uint16_t id : kAgeingTo) controls.push_back({page, id, "EDIT", nullptr, kDisabled});
  }
  for (const Tabbed& t : kTabbed) {
    controls.push_back({t.dialog, IDC_OK, "BUTTON", "OK", 0});
    controls.push_back({t.dialog, IDCANCEL, "BUTTON", "Cancel", 0});
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
      {IDD_CUSTOMER_RECORD, record},
      {IDD_SUPPLIER_RECORD, record},
      {IDD_CUSTOMER_STATEMENTS, {"Invoices", "Credits", "Discounts", "Payments"}},
      {IDD_CUSTOMER_AGEING, ageing},
      {IDD_SUPPLIER_AGEING, ageing},
      {IDD_CUSTOMER_DISCOUNT, {"Invoice Discounts"}},
      {IDD_PRODUCT_DETAILS,
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
    return Value{id, type, CS_FIELD, length, IDC_LEDGER_SETUP_IMAGE, offset};
  };
  auto own = [](std::uint16_t id, std::uint16_t type, int length) {
    return Value{id, type, CS_OWN, length, 0, 0};
  };
  const Value setup{IDC_LEDGER_SETUP_IMAGE, CT_RECORD, CS_NONE, 4783, 0, 0};
  const Value ok{IDC_OK, CT_BUTTON, CS_FRAME, 0, 0, 0};
  const Value cancel{IDCANCEL, CT_BUTTON, CS_FRAME, 0, 0, 0};
  std::vector<Value> ageing;
  for (std::uint16_t id : kAgeingBoxes) ageing.push_back(own(id, CT_WORD, kAny));

  struct List {
    std::uint16_t centry;
    std::vector<Value> values;
  };
  List lists[] = {
      {IDR_CUSTOMER_DEFAULTS_CENTRY,
       {setup,
        {IDC_CUSTOMER_NOMINAL_IMAGE, CT_RECORD, CS_NONE, 651, 0, 0},
        field(IDC_LEDGER_CREDIT_LIMIT, CT_DECIMAL, kAny, 511),
        field(IDC_LEDGER_PAYMENT_DAYS, CT_WORD, kAny, 707),
        field(IDC_LEDGER_SETTLEMENT_DISCOUNT, CT_DECIMAL, kAny, 519),
        field(IDC_LEDGER_SETTLEMENT_DAYS, CT_WORD, kAny, 705),
        field(IDC_LEDGER_TERMS, CT_TEXT, 31, 477),
        field(IDC_CUSTOMER_DISCOUNT_RATE, CT_DECIMAL, kAny, 527),
        own(IDC_STATEMENT_INVOICE_TEXT, CT_TEXT, 61),
        own(IDC_STATEMENT_CREDIT_TEXT, CT_TEXT, 61),
        own(IDC_STATEMENT_DISCOUNT_TEXT, CT_TEXT, 61),
        own(IDC_STATEMENT_PAYMENT_TEXT, CT_TEXT, 61),
        ok,
        cancel}},
      {IDR_SUPPLIER_DEFAULTS_CENTRY,
       {setup, field(IDC_LEDGER_CREDIT_LIMIT, CT_DECIMAL, kAny, 813),
        field(IDC_LEDGER_PAYMENT_DAYS, CT_WORD, kAny, 849),
        field(IDC_LEDGER_SETTLEMENT_DISCOUNT, CT_DECIMAL, kAny, 821),
        field(IDC_LEDGER_SETTLEMENT_DAYS, CT_WORD, kAny, 847),
        field(IDC_LEDGER_TERMS, CT_TEXT, 31, 779), ok, cancel}},
      {IDR_PRODUCT_DEFAULTS_CENTRY,
       {setup, field(IDC_PRODUCT_UNIT_OF_SALE, CT_TEXT, 9, 870), ok, cancel}},
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
      {IDD_CUSTOMER_RECORD, RecordValues(IDC_CUSTOMER_DISCOUNT_RATE)},
      {IDD_CUSTOMER_STATEMENTS,
       {IDC_STATEMENT_INVOICE_TEXT, IDC_STATEMENT_CREDIT_TEXT, IDC_STATEMENT_DISCOUNT_TEXT,
        IDC_STATEMENT_PAYMENT_TEXT}},
      {IDD_CUSTOMER_AGEING, kAgeingBoxes},
      {IDD_CUSTOMER_DISCOUNT, {IDC_CUSTOMER_DISCOUNT_TABLE}},
      {IDD_SUPPLIER_RECORD, RecordValues()},
      {IDD_SUPPLIER_AGEING, kAgeingBoxes},
      {IDD_PRODUCT_DETAILS,
       {IDC_LEDGER_NOMINAL_CODE, IDC_LEDGER_TAX_CODE, IDC_PRODUCT_UNIT_OF_SALE,
        IDC_PRODUCT_CATEGORY, IDC_LEDGER_DEPARTMENT}},
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
  const auto grid = Resources().grid(IDR_CUSTOMER_DISCOUNT_GRID);
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->columns.size(), 3u);
  for (const GridColumn& c : grid->columns) EXPECT_EQ(c.style, 0x80) << c.heading;
  EXPECT_EQ(grid->columns[0].id, 0);
  EXPECT_EQ(grid->columns[0].editorClass, "@EDIT");
}

}  // namespace
