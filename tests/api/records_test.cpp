// The record layouts: every field where the dialogs expect it, the field
// tables that name them, the setup fields that the compiled resources bind
// controls to, the JSON form of a record, and the questions answered from a
// record (control account, financial year, manager).
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>
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
  FieldKind kind;
  std::size_t size, count;
  const char* names;  // separated by spaces
};

using enum FieldKind;

// Widths, kinds and repeats as the dialogs' record tables give them (the
// offsets are held where the records are declared).
const Expected kExpected[] = {
    {0, Text, 61, 1, "companyName creditRefNo invServiceText"},
    {0, Text, 61, 5, "addressLine"},
    {0, Text, 11, 1, "password"},
    {0, Text, 11, 5, "addressLabel"},
    {0, F64, 8, 1, "callChargeRate custCreditLimit baseEuroRate"},
    {0, U16, 2, 1,
     "printEndBanner accessRights fyStartYear nonVatableTaxCode chequeLinesPerPage "
     "allowNegativeStock custTaxCode custFutureTotals custAccountStatus suppTaxCode "
     "suppAccountStatus prodCategory baseCurrency"},
    {0, U16, 2, 11, "listUpdate"},
    {0, U8, 1, 1,
     "fyStartMonth vatCashAccounting printNameOnStationery custDiscountType suppCurrency "
     "suppCalendarAgeing invAccountRefDefault invUseServiceText"},
    {0, Date, 2, 1, "lastBackupDate auditClearedDate"},
    {0, Text, 256, 1, "email www"},
    {0, Text, 11, 3, "customerAnalysisLabel supplierAnalysisLabel"},
    {0, Text, 9, 1, "custNominalCode prodNominalCode"},
    {0, F64, 8, 10, "custDiscountValues custDiscountRates"},
    {0, U16, 2, 4, "custAgeingPeriods suppAgeingPeriods"},
    {0, I16, 2, 1, "prodUnitDecimals prodQuantityDecimals"},
    {18, U32, 4, 15, "controlRec"},
    {18, U32, 4, 1, "headerCount usageCount splitCount"},
    {18, Record, 12, 100, "taxCode"},
    {31, Text, 33, 1, "logonName"},
    {31, Text, 11, 1, "password"},
    {31, F64, 8, 1, "callChargeRate"},
    {31, U16, 2, 11, "listUpdate"},
    {10, Text, 9, 1, "code"},
    {10, U8, 1, 1, "typeFlags"},
    {10, F64, 8, 1, "balance"},
    {10, U32, 4, 1, "tranLink1 tranLink2"},
    {32, Text, 33, 1, "user machine"},
    {32, U16, 2, 1, "kind"},
    {32, Text, 9, 1, "details"},
    {20, Text, 31, 1, "name"},
    {20, Text, 4, 1, "ecMember"},
    {20, F64, 8, 1, "exchangeRate euroRate"},
    {20, U16, 2, 1, "flags"},
    {48, U16, 2, 1, "deleted"},
    {48, Date, 2, 1, "dateFrom"},
    {48, F64, 8, 1, "baseRate additionalRate"},
    {49, Text, 61, 1, "description"},
    {49, U8, 1, 1, "onHold"},
    {7, Text, 31, 1, "name"},
    {19, Text, 31, 1, "name"},
    {35, Text, 61, 1, "name"},
};

TEST(FieldTables, NamedFieldsHaveTheWidthsTheDialogsExpect) {
  for (const Expected& e : kExpected) {
    std::istringstream names(e.names);
    for (std::string name; names >> name;) {
      SCOPED_TRACE(testing::Message() << "file " << e.file << " " << name);
      const Field* f = fieldTable(e.file)->find(name);
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->size, e.size);
      EXPECT_EQ(f->kind, e.kind);
      EXPECT_EQ(f->count, e.count);
    }
  }
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
