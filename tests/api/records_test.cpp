// The record layouts: every field where the dialogs expect it, the field
// tables that name them, the setup fields that the compiled resources bind
// controls to, the JSON form of a record, and the questions answered from a
// record (control account, financial year, manager).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "frame/res/ids_ledgers.h"
#include "host/data/company.h"
#include "host/data/record_fields.h"
#include "tests/support/res_fixture.h"

namespace {

using vx70::records::decodeRecord;
using vx70::records::encodeRecord;
using vx70::records::Field;
using vx70::records::FieldKind;
using vx70::records::FieldTable;
using vx70::records::fieldTable;
using vx70::records::RecordError;
using Json = nlohmann::ordered_json;

template <class Record>
std::span<const std::uint8_t> bytesOf(const Record& r) {
  return {reinterpret_cast<const std::uint8_t*>(&r), sizeof r};
}

template <class Record>
std::span<std::uint8_t> bytesOf(Record& r) {
  return {reinterpret_cast<std::uint8_t*>(&r), sizeof r};
}

WORD dateOf(WORD day, WORD month, WORD year) {
  const WORD parts[3] = {day, month, year};
  return DateNumberFromComponents(parts);
}

// ---- Field tables ----------------------------------------------------------

TEST(FieldTables, TileEveryRecordWithUniqueNames) {
  for (const FieldTable* t : vx70::records::allFieldTables()) {
    SCOPED_TRACE(t->record);
    std::size_t next = 0;
    std::set<std::string> names;
    for (const Field& f : t->fields) {
      EXPECT_EQ(f.offset, next) << f.name;
      EXPECT_TRUE(names.insert(f.name).second) << "twice: " << f.name;
      if (f.reserved()) {
        EXPECT_EQ(std::string(f.name), "reserved" + std::to_string(f.offset));
      }
      next = f.end();
    }
    EXPECT_EQ(next, t->size);
  }
}

TEST(FieldTables, EachDataFileHasItsLibraryRecordLength) {
  for (const auto& file : vx70::data::companyFiles()) {
    SCOPED_TRACE(file.name);
    const FieldTable* t = fieldTable(file.number);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->size, file.recordLength);
  }
  EXPECT_EQ(fieldTable(1), nullptr);
  EXPECT_EQ(fieldTable(63), nullptr);
}

struct Expected {
  std::uint16_t file;
  const char* name;
  std::size_t offset, size;
  FieldKind kind;
  std::size_t count;
};

using enum FieldKind;

// Offsets, widths and repeats as the dialogs' record tables give them.
const Expected kExpected[] = {
    // Setup, general part and parameters.
    {0, "companyName", 3, 61, Text, 1},
    {0, "addressLine", 64, 61, Text, 5},
    {0, "password", 369, 11, Text, 1},
    {0, "addressLabel", 380, 11, Text, 5},
    {0, "callChargeRate", 713, 8, F64, 1},
    {0, "printEndBanner", 890, 2, U16, 1},
    {0, "accessRights", 894, 2, U16, 1},
    {0, "listUpdate", 896, 2, U16, 11},
    {0, "fyStartMonth", 3334, 1, U8, 1},
    {0, "fyStartYear", 3335, 2, U16, 1},
    {0, "vatCashAccounting", 3341, 1, U8, 1},
    {0, "nonVatableTaxCode", 3678, 2, U16, 1},
    {0, "printNameOnStationery", 3687, 1, U8, 1},
    {0, "lastBackupDate", 3708, 2, Date, 1},
    {0, "creditRefNo", 3803, 61, Text, 1},
    {0, "auditClearedDate", 3866, 2, Date, 1},
    {0, "email", 3968, 256, Text, 1},
    {0, "www", 4224, 256, Text, 1},
    {0, "chequeLinesPerPage", 4540, 2, U16, 1},
    {0, "allowNegativeStock", 4548, 2, U16, 1},
    // Customer block and the customer fields beyond it.
    {0, "customerAnalysisLabel", 435, 11, Text, 3},
    {0, "custNominalCode", 468, 9, Text, 1},
    {0, "custDiscountType", 509, 1, U8, 1},
    {0, "custCreditLimit", 511, 8, F64, 1},
    {0, "custDiscountValues", 535, 8, F64, 10},
    {0, "custDiscountRates", 615, 8, F64, 10},
    {0, "custAgeingPeriods", 695, 2, U16, 4},
    {0, "custTaxCode", 709, 2, U16, 1},
    {0, "custFutureTotals", 3683, 2, U16, 1},
    {0, "custAccountStatus", 3870, 2, U16, 1},
    // Supplier and product blocks, invoicing, base currency.
    {0, "supplierAnalysisLabel", 737, 11, Text, 3},
    {0, "suppCurrency", 810, 1, U8, 1},
    {0, "suppCalendarAgeing", 812, 1, U8, 1},
    {0, "suppAgeingPeriods", 837, 2, U16, 4},
    {0, "suppTaxCode", 851, 2, U16, 1},
    {0, "suppAccountStatus", 3872, 2, U16, 1},
    {0, "prodNominalCode", 861, 9, Text, 1},
    {0, "prodCategory", 883, 2, U16, 1},
    {0, "prodUnitDecimals", 932, 2, I16, 1},
    {0, "prodQuantityDecimals", 934, 2, I16, 1},
    {0, "invAccountRefDefault", 3613, 1, U8, 1},
    {0, "invServiceText", 3617, 61, Text, 1},
    {0, "invUseServiceText", 3865, 1, U8, 1},
    {0, "baseEuroRate", 3956, 8, F64, 1},
    {0, "baseCurrency", 4546, 2, U16, 1},
    // Control record.
    {18, "controlRec", 0, 4, U32, 15},
    {18, "headerCount", 60, 4, U32, 1},
    {18, "usageCount", 64, 4, U32, 1},
    {18, "splitCount", 68, 4, U32, 1},
    {18, "taxCode", 80, 12, Record, 100},
    // Users, nominal accounts, actions.
    {31, "logonName", 0, 33, Text, 1},
    {31, "password", 33, 11, Text, 1},
    {31, "callChargeRate", 44, 8, F64, 1},
    {31, "listUpdate", 464, 2, U16, 11},
    {10, "code", 0, 9, Text, 1},
    {10, "typeFlags", 91, 1, U8, 1},
    {10, "balance", 291, 8, F64, 1},
    {10, "tranLink1", 635, 4, U32, 1},
    {10, "tranLink2", 639, 4, U32, 1},
    {32, "user", 2, 33, Text, 1},
    {32, "machine", 35, 33, Text, 1},
    {32, "kind", 68, 2, U16, 1},
    {32, "details", 72, 9, Text, 1},
    // Code tables.
    {20, "name", 0, 31, Text, 1},
    {20, "ecMember", 62, 4, Text, 1},
    {20, "exchangeRate", 66, 8, F64, 1},
    {20, "flags", 74, 2, U16, 1},
    {20, "euroRate", 76, 8, F64, 1},
    {48, "deleted", 0, 2, U16, 1},
    {48, "dateFrom", 2, 2, Date, 1},
    {48, "baseRate", 4, 8, F64, 1},
    {48, "additionalRate", 12, 8, F64, 1},
    {49, "description", 0, 61, Text, 1},
    {49, "onHold", 61, 1, U8, 1},
    {7, "name", 0, 31, Text, 1},
    {19, "name", 0, 31, Text, 1},
    {35, "name", 0, 61, Text, 1},
};

TEST(FieldTables, NamedFieldsLieWhereTheDialogsExpectThem) {
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(testing::Message() << "file " << e.file << " " << e.name);
    const Field* f = fieldTable(e.file)->find(e.name);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->offset, e.offset);
    EXPECT_EQ(f->size, e.size);
    EXPECT_EQ(f->kind, e.kind);
    EXPECT_EQ(f->count, e.count);
  }
}

TEST(FieldTables, TaxCodeEntryLayout) {
  const FieldTable* t = fieldTable(18)->find("taxCode")->element;
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->size, 12u);
  EXPECT_EQ(t->find("rate")->offset, 0u);
  EXPECT_EQ(t->find("inUse")->offset, 8u);
  EXPECT_EQ(t->find("ecSales")->offset, 9u);
  EXPECT_EQ(t->find("ecPurchases")->offset, 10u);
  EXPECT_EQ(t->find("link")->kind, I8);
  EXPECT_EQ(t->find("link")->offset, 11u);
}

// ---- Controls bound to the setup record image --------------------------------

// The record images that dialogs bind their controls to: the setup record's
// (the ledger defaults') and a nominal record's (the same entry number in
// every dialog that holds one).
constexpr std::uint16_t kSetupImage = IDC_LEDGER_SETUP_IMAGE;
constexpr std::uint16_t kNominalImage = IDC_CUSTOMER_NOMINAL_IMAGE;

// The bytes that a bound entry's value takes, and the kinds that hold it.
bool boundWidth(const vx70::res::CEntry& e, std::size_t& width, std::set<FieldKind>& kinds) {
  switch (e.type) {
    case vx70::res::CT_DECIMAL:
      width = 8, kinds = {F64};
      return true;
    case vx70::res::CT_WORD:
      width = 2, kinds = {U16, I16};
      return true;
    case vx70::res::CT_RECNO:
      width = 4, kinds = {U32, I32};
      return true;
    case vx70::res::CT_TEXT:
      width = e.length, kinds = {Text};
      return true;
    default:
      return false;
  }
}

// The field (or array element) of setupmap that starts at offset.
const Field* setupFieldAt(std::size_t offset) {
  for (const Field& f : fieldTable(0)->fields)
    if (offset >= f.offset && offset < f.end() && (offset - f.offset) % f.size == 0) return &f;
  return nullptr;
}

TEST(SetupImage, EveryBoundControlLiesOnASetupFieldOfItsSize) {
  const auto& res = vx70::test::Resources();
  int bound = 0;
  for (std::uint16_t id : res.file().ids(vx70::res::ResId{0, "CENTRY"})) {
    const auto list = res.centry(id);
    ASSERT_TRUE(list);
    for (const auto& e : list->entries) {
      if (e.type == vx70::res::CT_RECORD && e.id == kSetupImage) {
        EXPECT_EQ(e.length, sizeof(setupmap)) << "CENTRY " << id;
      }
      if (e.type == vx70::res::CT_RECORD && e.id == kNominalImage) {
        EXPECT_EQ(e.length, sizeof(nommap)) << "CENTRY " << id;
      }
      if (e.storage != vx70::res::CS_FIELD || e.link1 != kSetupImage) continue;
      SCOPED_TRACE(testing::Message() << "CENTRY " << id << " entry " << e.id << " at " << e.link2);
      ++bound;
      std::size_t width = 0;
      std::set<FieldKind> kinds;
      ASSERT_TRUE(boundWidth(e, width, kinds)) << "entry type " << e.type;
      const Field* f = setupFieldAt(e.link2);
      ASSERT_NE(f, nullptr);
      EXPECT_FALSE(f->reserved()) << f->name;
      EXPECT_EQ(f->size, width) << f->name;
      EXPECT_TRUE(kinds.count(f->kind)) << f->name;
    }
  }
  // Customer (6), supplier (5) and product (1) defaults bind their fields.
  EXPECT_GE(bound, 12);
}

// ---- JSON form ----------------------------------------------------------------

TEST(DecodeRecord, SetupFieldsByName) {
  setupmap s{};
  std::strcpy(s.companyName, "Acme \xA3 Co \x80");  // pound and euro signs
  std::strcpy(s.addressLine[1], "High Street");
  s.custCreditLimit = 2500.5;
  s.custAgeingPeriods[3] = 120;
  s.prodUnitDecimals = -1;
  s.fyStartYear = 2024;
  s.lastBackupDate = dateOf(29, 2, 2000);
  s.reserved711[1] = 0xAB;
  const Json j = decodeRecord(0, bytesOf(s));
  EXPECT_EQ(j["companyName"], "Acme \u00a3 Co \u20ac");
  EXPECT_EQ(j["addressLine"], Json({"", "High Street", "", "", ""}));
  EXPECT_EQ(j["custCreditLimit"], 2500.5);
  EXPECT_EQ(j["custAgeingPeriods"], Json({0, 0, 0, 120}));
  EXPECT_EQ(j["prodUnitDecimals"], -1);
  EXPECT_EQ(j["fyStartYear"], 2024);
  EXPECT_EQ(j["lastBackupDate"], "29/02/2000");
  EXPECT_EQ(j["auditClearedDate"], "");
  EXPECT_EQ(j["reserved711"], "00ab");
  EXPECT_FALSE(j.contains("reserved0"));
  EXPECT_EQ(j.begin().key(), "companyName");  // offset order
}

TEST(DecodeRecord, EmbeddedTaxCodesAndUnterminatedTexts) {
  contmap c{};
  c.controlRec[2] = 7;
  c.splitCount = 3;
  c.taxCode[8] = {17.5, 1, 0, 2, -1};
  Json j = decodeRecord(18, bytesOf(c));
  EXPECT_EQ(j["controlRec"][2], 7);
  EXPECT_EQ(j["splitCount"], 3);
  ASSERT_EQ(j["taxCode"].size(), 100u);
  EXPECT_EQ(j["taxCode"][8],
            Json({{"rate", 17.5}, {"inUse", 1}, {"ecSales", 0}, {"ecPurchases", 2}, {"link", -1}}));

  accessmap a{};
  std::memset(a.logonName, 'X', sizeof a.logonName);  // fills the field, no terminator
  j = decodeRecord(31, bytesOf(a));
  EXPECT_EQ(j["logonName"], std::string(33, 'X'));
  EXPECT_EQ(j["password"], "");
}

TEST(DecodeRecord, RefusesWrongLengthsAndUnknownFiles) {
  std::vector<std::uint8_t> bytes(83);
  EXPECT_THROW(decodeRecord(20, bytes), RecordError);
  bytes.resize(84);
  EXPECT_NO_THROW(decodeRecord(20, bytes));
  EXPECT_THROW(decodeRecord(5, bytes), RecordError);
}

// Random but valid contents for every field of a record: texts end with
// zero bytes, dates lie in the package's range.
void fillRandom(const FieldTable& t, std::uint8_t* p, std::mt19937& rng) {
  auto byte = [&](int lo, int hi) {
    return static_cast<std::uint8_t>(std::uniform_int_distribution<int>(lo, hi)(rng));
  };
  for (const Field& f : t.fields)
    for (std::size_t i = 0; i < f.count; ++i) {
      std::uint8_t* q = p + f.offset + i * f.size;
      if (f.kind == Record) {
        fillRandom(*f.element, q, rng);
      } else if (f.kind == Text) {
        std::size_t length = std::uniform_int_distribution<std::size_t>(0, f.size - 1)(rng);
        for (std::size_t k = 0; k < length; ++k) q[k] = byte(0x20, 0xFF);
      } else if (f.kind == Date) {
        WORD d = static_cast<WORD>(std::uniform_int_distribution<int>(0, 43830)(rng));
        std::memcpy(q, &d, 2);
      } else if (f.kind == F64) {
        double v = std::uniform_real_distribution<double>(-1e6, 1e6)(rng);
        std::memcpy(q, &v, 8);
      } else if (!f.reserved() || byte(0, 3) == 0) {
        for (std::size_t k = 0; k < f.size; ++k) q[k] = byte(0, 255);
      }
    }
}

TEST(RecordJson, RoundTripsEveryRecordOfEveryFile) {
  std::mt19937 rng(7);
  for (const auto& file : vx70::data::companyFiles()) {
    const FieldTable& t = *fieldTable(file.number);
    SCOPED_TRACE(t.record);
    for (int round = 0; round < 20; ++round) {
      std::vector<std::uint8_t> original(t.size, 0);
      fillRandom(t, original.data(), rng);
      const Json j = decodeRecord(t, original);
      std::vector<std::uint8_t> rebuilt(t.size, 0);
      encodeRecord(t, j, rebuilt);
      ASSERT_EQ(rebuilt, original);
      EXPECT_EQ(decodeRecord(t, rebuilt), j);
    }
  }
}

TEST(RecordJson, EncodeSetsNamedFieldsOnly) {
  currmap c{};
  c.exchangeRate = 1.5;
  encodeRecord(*fieldTable(20), Json{{"name", "Euro"}, {"flags", 3}}, bytesOf(c));
  EXPECT_STREQ(c.name, "Euro");
  const WORD flags = c.flags;  // packed members: compare copies
  const double rate = c.exchangeRate;
  EXPECT_EQ(flags, 3);
  EXPECT_EQ(rate, 1.5);
}

TEST(RecordJson, EncodeRefusesValuesThatDoNotFit) {
  const Json bad[] = {
      {{"nosuch", 1}},
      {{"companyName", std::string(61, 'a')}},
      {{"companyName", 5}},
      {{"companyName", "\u4e2d"}},  // no place in the single-byte code page
      {{"fyStartMonth", 256}},
      {{"fyStartMonth", -1}},
      {{"prodUnitDecimals", 40000}},
      {{"custAgeingPeriods", {1, 2, 3}}},
      {{"lastBackupDate", "31/02/2001"}},
      {{"reserved0", "0g0000"}},
      {{"reserved0", "00"}},
      {{"custCreditLimit", "1.5"}},
  };
  for (const Json& j : bad) {
    setupmap s{};
    EXPECT_THROW(encodeRecord(*fieldTable(0), j, bytesOf(s)), RecordError) << j.dump();
  }
  contmap c{};
  Json entry = decodeRecord(18, bytesOf(c))["taxCode"];
  entry[5]["link"] = 128;
  EXPECT_THROW(encodeRecord(*fieldTable(18), Json{{"taxCode", entry}}, bytesOf(c)), RecordError);
}

// ---- Questions answered from records ---------------------------------------------

TEST(IsMajorControlAccount, OnlyAccountsInAControlSlot) {
  contmap c{};
  nommap n{};
  c.controlRec[0] = 5;
  c.controlRec[14] = 9;
  EXPECT_TRUE(IsMajorControlAccount(5, &n, 1, &c));
  EXPECT_TRUE(IsMajorControlAccount(9, &n, 1, &c));
  EXPECT_FALSE(IsMajorControlAccount(6, &n, 1, &c));
  EXPECT_FALSE(IsMajorControlAccount(0, &n, 1, &c));  // empty slots name no account
  EXPECT_FALSE(IsMajorControlAccount(5, &n, 1, nullptr));
}

TEST(IsDateOutsideFYear, TwelveMonthsFromTheStartMonth) {
  setupmap s{};
  s.fyStartMonth = 3;  // April
  s.fyStartYear = 2024;
  EXPECT_TRUE(IsDateOutsideFYear(&s, dateOf(31, 3, 2024)));
  EXPECT_FALSE(IsDateOutsideFYear(&s, dateOf(1, 4, 2024)));
  EXPECT_TRUE(IsDateOutsideFYear(&s, dateOf(29, 2, 2024)));
  EXPECT_FALSE(IsDateOutsideFYear(&s, dateOf(31, 12, 2024)));
  EXPECT_FALSE(IsDateOutsideFYear(&s, dateOf(31, 3, 2025)));
  EXPECT_TRUE(IsDateOutsideFYear(&s, dateOf(1, 4, 2025)));
  s.fyStartMonth = 0;
  EXPECT_FALSE(IsDateOutsideFYear(&s, dateOf(1, 1, 2024)));
  EXPECT_FALSE(IsDateOutsideFYear(&s, dateOf(31, 12, 2024)));
  EXPECT_TRUE(IsDateOutsideFYear(&s, dateOf(31, 12, 2023)));
  EXPECT_TRUE(IsDateOutsideFYear(&s, dateOf(1, 1, 2025)));
  EXPECT_TRUE(IsDateOutsideFYear(&s, 0));
  EXPECT_FALSE(IsDateOutsideFYear(nullptr, dateOf(1, 1, 2024)));
}

accessmap userNamed(const char* name) {
  accessmap a{};
  std::strncpy(a.logonName, name, sizeof a.logonName - 1);
  return a;
}

TEST(IsUserManager, TheManagerInAnyCaseAndPadding) {
  for (const char* name : {"MANAGER", "manager", "Manager", "MANAGER   ", "  mAnAgEr"}) {
    accessmap a = userNamed(name);
    EXPECT_TRUE(IsUserManager(&a)) << name;
  }
  for (const char* name : {"", "MANAGERS", "MANAGE", "SUPERVISOR", "MAN AGER"}) {
    accessmap a = userNamed(name);
    EXPECT_FALSE(IsUserManager(&a)) << name;
  }
  accessmap full{};
  std::memset(full.logonName, 'M', sizeof full.logonName);  // unterminated
  EXPECT_FALSE(IsUserManager(&full));
  EXPECT_FALSE(IsUserManager(nullptr));
}

}  // namespace
