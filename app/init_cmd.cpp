// vx70 init: makes a new company with every data file that the module
// uses and the starting records that a company needs before its first
// dialog opens: the setup and control records, the code tables, a small
// chart of nominal accounts with every control slot assigned, and the
// manager's user record.  --demo fills a company to try things on.
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "api/host_api.h"
#include "app/commands.h"
#include "app/new_company.h"
#include "host/data/company.h"

namespace vx70::app {
namespace {

struct InitOptions {
  std::string dir;
  DWORD edition = 1;
  bool demo = false;
};

// The editions that have the additional discount scheme and call charges.
bool hasDiscounts(DWORD edition) { return (edition & (4 | 8 | 16)) == 0; }

template <std::size_t N>
void setText(char (&field)[N], std::string_view text) {
  if (text.size() >= N) throw std::logic_error("starting text too long: " + std::string(text));
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), text.size());
}

// Texts that the module keeps padded with spaces: passwords, account
// status and asset category names.
template <std::size_t N>
void setPadded(char (&field)[N], std::string_view text) {
  setText(field, text);
  FillUp(field, N);
}

// Every list refreshes on every change; copied in, since the records are
// packed and no reference may bind to their arrays.
constexpr WORD kAllListUpdates[11] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
static_assert(sizeof kAllListUpdates == sizeof setupmap::listUpdate &&
              sizeof kAllListUpdates == sizeof accessmap::listUpdate);

// ---- The chart of nominal accounts -------------------------------------------

struct Account {
  const char* code;
  const char* name;
  BYTE type;
  int slot;  // control slot, -1 for none
  double balance = 0.0;
};

constexpr int kNoSlot = -1;

// One account per control slot, in slot order: debtors, creditors, bank,
// VAT on sales and purchases, discounts, retained earnings, default sales,
// accruals, prepayments, bad debts, mispostings, suspense, credit charges.
std::vector<Account> chartOfAccounts(bool demo) {
  std::vector<Account> chart = {
      {"1100", "Debtors Control Account", NOMINAL_CONTROL, 0},
      {"2100", "Creditors Control Account", NOMINAL_CONTROL, 1},
      {"1200", "Bank Current Account", NOMINAL_BANK, 2},
      {"2200", "Sales Tax Control Account", NOMINAL_CONTROL, 3},
      {"2201", "Purchase Tax Control Account", NOMINAL_CONTROL, 4},
      {"4009", "Discounts Allowed", NOMINAL_CONTROL, 5},
      {"5009", "Discounts Taken", NOMINAL_CONTROL, 6},
      {"3200", "Profit and Loss Account", NOMINAL_CONTROL, 7},
      {"4900", "Miscellaneous Income", NOMINAL_CONTROL, 8},
      {"2109", "Accruals", NOMINAL_CONTROL, 9},
      {"1103", "Prepayments", NOMINAL_CONTROL, 10},
      {"8100", "Bad Debt Write Off", NOMINAL_CONTROL, 11},
      {"9998", "Mispostings Account", NOMINAL_CONTROL, 12},
      {"9999", "Suspense Account", NOMINAL_CONTROL, 13},
      {"4400", "Credit Charges (Late Payments)", NOMINAL_CONTROL, 14},
      {"3000", "Capital", NOMINAL_ORDINARY, kNoSlot},
      {"4000", "Sales Type A", NOMINAL_ORDINARY, kNoSlot},
      {"5000", "Materials Purchased", NOMINAL_ORDINARY, kNoSlot},
  };
  if (demo) {
    chart[0].balance = 1250.0;  // debtors carry postings: their slot is locked
    chart[2].balance = 5000.0;
    const Account more[] = {
        {"0030", "Office Equipment", NOMINAL_ORDINARY, kNoSlot},
        {"1001", "Stock", NOMINAL_ORDINARY, kNoSlot},
        {"1210", "Bank Deposit Account", NOMINAL_BANK, kNoSlot},
        {"1230", "Petty Cash", NOMINAL_BANK, kNoSlot},
        {"4010", "Sales Type B", NOMINAL_ORDINARY, kNoSlot},
        {"7000", "Gross Wages", NOMINAL_ORDINARY, kNoSlot},
        {"7100", "Rent", NOMINAL_ORDINARY, kNoSlot},
        {"7500", "Office Stationery", NOMINAL_ORDINARY, kNoSlot},
    };
    chart.insert(chart.end(), std::begin(more), std::end(more));
  }
  return chart;
}

std::vector<nommap> nominalRecords(const std::vector<Account>& chart) {
  std::vector<nommap> records(chart.size());
  for (std::size_t i = 0; i < chart.size(); ++i) {
    nommap& r = records[i];
    setText(r.code, chart[i].code);
    setText(r.name, chart[i].name);
    r.typeFlags = chart[i].type;
    r.balance = chart[i].balance;
    DWORD posted = chart[i].balance != 0.0 ? 1 : 0;
    r.tranLink1 = posted;
    r.tranLink2 = posted;
  }
  return records;
}

// ---- The setup record ----------------------------------------------------------

void setCompanyDetails(setupmap& s, bool demo) {
  const char* labels[] = {"Street 1", "Street 2", "Town", "County", "Post Code"};
  for (int i = 0; i < 5; ++i) setText(s.addressLabel[i], labels[i]);
  for (int i = 0; i < 3; ++i) {
    std::string label = "Analysis " + std::to_string(i + 1);
    setText(s.customerAnalysisLabel[i], label);
    setText(s.supplierAnalysisLabel[i], label);
  }
  if (!demo) {
    setText(s.companyName, "My Company");
    return;
  }
  setText(s.companyName, "Wintergreen Trading Ltd");
  const char* lines[] = {"Unit 4, Harbour Court", "Quay Street", "Bristol", "Avon", "BS1 4QA"};
  for (int i = 0; i < 5; ++i) setText(s.addressLine[i], lines[i]);
  setText(s.telephone, "0117 496 0123");
  setText(s.fax, "0117 496 0124");
  setText(s.email, "accounts@wintergreen.example");
  setText(s.www, "www.wintergreen.example");
  setText(s.vatRegNo, "GB 123 4567 89");
  setText(s.creditRefNo, "WGT/0042");
}

void setCustomerDefaults(setupmap& s, const InitOptions& o) {
  setText(s.custNominalCode, "4000");
  setText(s.custTerms, "30 Days Net");
  s.custCreditLimit = 1000.0;
  s.custPaymentDays = 30;
  s.custTaxCode = 1;
  const WORD periods[] = {30, 60, 90, 120};
  std::memcpy(s.custAgeingPeriods, periods, sizeof periods);
  if (o.demo && hasDiscounts(o.edition)) {
    s.custDiscountType = 1;  // by invoice value
    const double values[] = {1000.0, 5000.0, 10000.0};
    const double rates[] = {2.5, 5.0, 7.5};
    for (int i = 0; i < 3; ++i) {
      s.custDiscountValues[i] = values[i];
      s.custDiscountRates[i] = rates[i];
    }
  }
}

void setSupplierDefaults(setupmap& s) {
  setText(s.suppNominalCode, "5000");
  setText(s.suppTerms, "30 Days Net");
  s.suppCreditLimit = 1000.0;
  s.suppPaymentDays = 30;
  s.suppTaxCode = 1;
  const WORD periods[] = {30, 60, 90, 120};
  std::memcpy(s.suppAgeingPeriods, periods, sizeof periods);
}

void setProductAndInvoiceDefaults(setupmap& s) {
  setText(s.prodNominalCode, "4000");
  setText(s.prodUnitOfSale, "Each");
  s.prodTaxCode = 1;
  s.prodCategory = 1;
  s.prodUnitDecimals = 2;
  s.prodQuantityDecimals = 2;
  s.invAccountRefDefault = 1;
  s.invItemsQuantity = 1;
  setText(s.invServiceText, "Services");
}

void setParameters(setupmap& s, const InitOptions& o, WORD today) {
  std::memcpy(s.listUpdate, kAllListUpdates, sizeof kAllListUpdates);
  s.printEndBanner = 1;
  s.itemVatAmendable = 1;
  s.chequeLinesPerPage = 10;
  s.nonVatableTaxCode = 9;
  s.displayAccountStatus = 1;
  if (o.demo && hasDiscounts(o.edition)) s.callChargeRate = 45.0;
  if (o.demo) s.lastBackupDate = today;
  // The financial year that holds today: this year's, from January.
  WORD parts[3] = {};
  DateNumberToComponents(today, parts);
  s.fyStartMonth = 0;
  s.fyStartYear = parts[2];
}

setupmap startingSetup(const InitOptions& o, double baseEuroRate, WORD today) {
  setupmap s{};
  setCompanyDetails(s, o.demo);
  setPadded(s.password, "");  // blank, in stored form
  convert(s.password);
  setCustomerDefaults(s, o);
  setSupplierDefaults(s);
  setProductAndInvoiceDefaults(s);
  setParameters(s, o, today);
  s.baseCurrency = 0;
  s.baseEuroRate = baseEuroRate;
  return s;
}

// ---- The control record ---------------------------------------------------------

struct TaxCode {
  int code;
  double rate;
  BYTE inUse, ecSales, ecPurchases;
  std::int8_t link;
};

// UK-like codes: T0 zero rated, T1 standard, T2 exempt, T4 sales to the
// EC, T5 reduced, T7 and T8 zero and standard rated purchases from the EC
// (T8 linked to T1), T9 outside the VAT return.  The others are unused.
constexpr TaxCode kTaxCodes[] = {
    {0, 0.0, 1, 0, 0, 0}, {1, 17.5, 1, 0, 0, 0}, {2, 0.0, 1, 0, 0, 0},  {4, 0.0, 1, 1, 0, 0},
    {5, 5.0, 1, 0, 0, 0}, {7, 0.0, 1, 0, 1, 0},  {8, 17.5, 1, 0, 1, 1}, {9, 0.0, 0, 0, 0, 0},
};

contmap startingControl(const std::vector<Account>& chart, bool demo) {
  contmap c{};
  for (std::size_t i = 0; i < chart.size(); ++i)
    if (chart[i].slot != kNoSlot) c.controlRec[chart[i].slot] = static_cast<DWORD>(i + 1);
  for (const TaxCode& t : kTaxCodes)
    c.taxCode[t.code] = {t.rate, t.inUse, t.ecSales, t.ecPurchases, t.link};
  if (demo) {
    c.headerCount = 12;
    c.splitCount = 24;
    c.usageCount = 6;
  }
  return c;
}

// ---- Code tables ------------------------------------------------------------------

struct Currency {
  const char* name;
  const char* country;
  const char* ecMember;
  double exchangeRate;
  WORD flags;
  double euroRate;
};

constexpr Currency kBaseCurrency = {
    "Pound Sterling", "United Kingdom", "Yes", 1.0, CURRENCY_BASE, 0.86};

std::vector<currmap> currencyRecords(bool demo) {
  std::vector<Currency> list = {kBaseCurrency,
                                {"US Dollar", "United States", "No", 1.27, 0, 1.08},
                                {"Euro", "European Union", "Yes", 1.16, CURRENCY_EURO_MEMBER, 1.0}};
  if (demo) {
    list.push_back({"Japanese Yen", "Japan", "No", 190.5, 0, 162.3});
    list.push_back({"Swiss Franc", "Switzerland", "No", 1.12, 0, 0.95});
    list.push_back({"Danish Krone", "Denmark", "Yes", 8.68, 0, 7.46});
  }
  std::vector<currmap> records(99);
  for (std::size_t i = 0; i < list.size(); ++i) {
    currmap& r = records[i];
    setText(r.name, list[i].name);
    setText(r.country, list[i].country);
    setText(r.ecMember, list[i].ecMember);
    r.exchangeRate = list[i].exchangeRate;
    r.flags = list[i].flags;
    r.euroRate = list[i].euroRate;
  }
  return records;
}

struct Status {
  const char* description;
  BYTE onHold;
};

// Status 0 is every new account's and is never on hold.
constexpr Status kStatuses[] = {
    {"Open", 0},
    {"See Notes", 0},
    {"Closed", 1},
    {"Liquidator", 1},
    {"Expired Credit Limit", 1},
    {"Cash Only", 0},
    {"Solicitors", 1},
    {"Bad Debt", 1},
};

std::vector<accstatusmap> accountStatusRecords() {
  std::vector<accstatusmap> records(100);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const bool named = i < std::size(kStatuses);
    setPadded(records[i].description, named ? kStatuses[i].description : "");
    records[i].onHold = named ? kStatuses[i].onHold : 0;
  }
  return records;
}

template <class Record>
std::vector<Record> namedRecords(std::size_t count, const std::vector<const char*>& names) {
  std::vector<Record> records(count);
  for (std::size_t i = 0; i < names.size(); ++i) setText(records[i].name, names[i]);
  return records;
}

std::vector<prodcatmap> productCategoryRecords(bool demo) {
  std::vector<const char*> names = {"General", "Hardware", "Software", "Services", "Consumables"};
  if (demo) names.insert(names.end(), {"Spares", "Packaging"});
  return namedRecords<prodcatmap>(999, names);
}

// Record 1 holds no department: the list's row r is record r + 2.
std::vector<deptmap> departmentRecords(bool demo) {
  std::vector<const char*> names = {"", "General", "Sales", "Purchasing", "Administration"};
  if (demo) names.insert(names.end(), {"Warehouse", "Workshop"});
  return namedRecords<deptmap>(101, names);
}

std::vector<assetcatmap> assetCategoryRecords() {
  const char* names[] = {"Land and Buildings",     "Plant and Machinery", "Office Equipment",
                         "Furniture and Fixtures", "Motor Vehicles",      "Computer Equipment"};
  std::vector<assetcatmap> records(99);
  for (std::size_t i = 0; i < records.size(); ++i)
    setPadded(records[i].name, i < std::size(names) ? names[i] : "");
  return records;
}

std::vector<accessmap> userRecords() {
  accessmap manager{};
  setText(manager.logonName, "MANAGER");
  setPadded(manager.password, "");
  convert(manager.password);
  std::memcpy(manager.listUpdate, kAllListUpdates, sizeof kAllListUpdates);
  return {manager};
}

std::vector<finratemap> financeRateRecords(bool demo, WORD today) {
  if (!demo) return {};
  const WORD since[] = {1, 11, 1998};
  WORD parts[3] = {};
  DateNumberToComponents(today, parts);
  const WORD thisYear[] = {1, 1, parts[2]};
  return {{0, DateNumberFromComponents(since), 5.0, 3.0},
          {0, DateNumberFromComponents(thisYear), 4.0, 4.0}};
}

// ---- Writing the files ----------------------------------------------------------

// Writes the file with OF_CREATE.  A trailing run of all-zero records is
// left to the data library, which fills the records before one written
// past the end with zeros.
template <class Record>
void writeFile(std::uint16_t number, const std::vector<Record>& records) {
  datafilemap* entry = &g_lpGlobVar->dataFiles[number];
  const std::string name = entry->name;
  if (!FileOpen(entry, OF_CREATE | OF_READWRITE, OF_SHARE_EXCLUSIVE, 1))
    throw std::runtime_error("cannot create the " + name + " file: " + data::lastError());
  const Record zero{};
  std::size_t last = records.size();
  while (last > 1 && std::memcmp(&records[last - 1], &zero, sizeof zero) == 0) --last;
  bool ok = true;
  for (std::size_t i = 0; i < records.size() && ok; ++i)
    if (i < last || i + 1 == records.size())
      ok = WriteRec(entry, static_cast<DWORD>(i + 1), &records[i]) == sizeof(Record);
  FileClose(entry);
  if (!ok) throw std::runtime_error("cannot write the " + name + " file: " + data::lastError());
}

void writeCompany(const InitOptions& o) {
  const WORD today = GetSystemDate();
  const auto chart = chartOfAccounts(o.demo);
  writeFile<setupmap>(DF_SETUP, {startingSetup(o, kBaseCurrency.euroRate, today)});
  writeFile<contmap>(DF_CONTROL, {startingControl(chart, o.demo)});
  writeFile(DF_NOMINAL, nominalRecords(chart));
  writeFile(DF_CURRENCIES, currencyRecords(o.demo));
  writeFile(DF_PRODUCT_CATEGORIES, productCategoryRecords(o.demo));
  writeFile(DF_DEPARTMENTS, departmentRecords(o.demo));
  writeFile(DF_ASSET_CATEGORIES, assetCategoryRecords());
  writeFile(DF_ACCOUNT_STATUS, accountStatusRecords());
  writeFile(DF_USERS, userRecords());
  writeFile(DF_ACTIONS, std::vector<actionmap>{});
  writeFile(DF_FINANCE_RATES, financeRateRecords(o.demo, today));
}

void runInit(const InitOptions& o) {
  NewCompany company("init", o.dir);
  try {
    data::openCompany(o.dir);
    writeCompany(o);
    data::closeCompany();
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("init: ") + e.what());
  }
  company.keep();
  std::cout << "Created " << (o.demo ? "the demonstration company" : "a new company") << " in "
            << company.shownName() << " (edition " << o.edition << ")\n";
}

}  // namespace

void addInitCommand(CLI::App& app) {
  auto options = std::make_shared<InitOptions>();
  CLI::App* cmd = app.add_subcommand("init", "Create a new company with its starting records");
  cmd->add_option("DIR", options->dir,
                  "Directory, or PostgreSQL URI with ?company=NAME, of the new company")
      ->required();
  cmd->add_option("--edition", options->edition, "Edition whose defaults to use: 1, 2, 4, 8 or 16")
      ->check(CLI::IsMember({1, 2, 4, 8, 16}));
  cmd->add_flag("--demo", options->demo, "Fill the company with demonstration data");
  cmd->callback([options] { runInit(*options); });
}

}  // namespace vx70::app
