// The records as the host reads them: the JSON form of a record, and the
// questions answered from a record (control account, financial year,
// manager).  Offsets and sizes are pinned where the records are declared.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/data/record_fields.h"

namespace {

using vx70::records::decodeRecord;
using vx70::records::encodeRecord;
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
