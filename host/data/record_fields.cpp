// The field tables of the records, generated from the structs, and the
// conversion of a record to and from JSON by field name.
#include "host/data/record_fields.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>

#include "api/globvar.h"
#include "api/host_api.h"
#include "host/codepage.h"

namespace vx70::records {
namespace {

static_assert(std::endian::native == std::endian::little,
              "records are read in place as little-endian values");

// ---- Field tables ----------------------------------------------------------

template <class T>
struct ScalarKind;
template <>
struct ScalarKind<BYTE> {
  static constexpr FieldKind kind = FieldKind::U8;
};
template <>
struct ScalarKind<std::int8_t> {
  static constexpr FieldKind kind = FieldKind::I8;
};
template <>
struct ScalarKind<WORD> {
  static constexpr FieldKind kind = FieldKind::U16;
};
template <>
struct ScalarKind<std::int16_t> {
  static constexpr FieldKind kind = FieldKind::I16;
};
template <>
struct ScalarKind<DWORD> {
  static constexpr FieldKind kind = FieldKind::U32;
};
template <>
struct ScalarKind<std::int32_t> {
  [[maybe_unused]] static constexpr FieldKind kind = FieldKind::I32;  // no record has one yet
};
template <>
struct ScalarKind<double> {
  static constexpr FieldKind kind = FieldKind::F64;
};

// The table of a record embedded in another (specialised below).
template <class T>
struct Embedded;

// The kind, element size and count follow from the member's type: char[n]
// is a text, char[m][n] m texts, T[n] n values of T, a struct an embedded
// record.
template <class T>
constexpr Field makeField(const char* name, std::size_t offset) {
  if constexpr (std::is_array_v<T>) {
    using E = std::remove_extent_t<T>;
    constexpr std::size_t n = std::extent_v<T>;
    if constexpr (std::is_same_v<E, char>) {
      return {name, offset, n, FieldKind::Text, 1, false, nullptr};
    } else if constexpr (std::is_array_v<E>) {
      static_assert(std::is_same_v<std::remove_extent_t<E>, char>, "only texts nest");
      return {name, offset, sizeof(E), FieldKind::Text, n, true, nullptr};
    } else if constexpr (std::is_class_v<E>) {
      return {name, offset, sizeof(E), FieldKind::Record, n, true, Embedded<E>::table};
    } else {
      return {name, offset, sizeof(E), ScalarKind<E>::kind, n, true, nullptr};
    }
  } else {
    return {name, offset, sizeof(T), ScalarKind<T>::kind, 1, false, nullptr};
  }
}

template <class T>
constexpr Field makeDate(const char* name, std::size_t offset) {
  static_assert(std::is_same_v<T, WORD>, "a date is a WORD date number");
  return {name, offset, sizeof(T), FieldKind::Date, 1, false, nullptr};
}

template <class T>
constexpr Field makeReserved(const char* name, std::size_t offset) {
  static_assert(std::is_same_v<std::remove_extent_t<T>, BYTE> && std::rank_v<T> == 1,
                "reserved bytes are a BYTE array");
  return {name, offset, sizeof(T), FieldKind::Bytes, 1, false, nullptr};
}

#define VX70_FIELD(rec, member) makeField<decltype(rec::member)>(#member, offsetof(rec, member))
#define VX70_DATE(rec, member) makeDate<decltype(rec::member)>(#member, offsetof(rec, member))
#define VX70_RESERVED(rec, member) \
  makeReserved<decltype(rec::member)>(#member, offsetof(rec, member))

// A table must cover its record exactly, field after field, so that no
// member of the struct is missing from it.
constexpr bool tiles(const FieldTable& table) {
  std::size_t next = 0;
  for (const Field& f : table.fields) {
    if (f.offset != next) return false;
    next = f.end();
  }
  return next == table.size;
}

#define VX70_TABLE(rec, fields)                               \
  constexpr FieldTable rec##Table{#rec, sizeof(rec), fields}; \
  static_assert(tiles(rec##Table), #rec ": the field table must tile the record")

constexpr Field kSetupFields[] = {
    VX70_RESERVED(setupmap, reserved0),
    VX70_FIELD(setupmap, companyName),
    VX70_FIELD(setupmap, addressLine),
    VX70_FIELD(setupmap, password),
    VX70_FIELD(setupmap, addressLabel),
    VX70_FIELD(setupmap, customerAnalysisLabel),
    VX70_FIELD(setupmap, custNominalCode),
    VX70_FIELD(setupmap, custTerms),
    VX70_FIELD(setupmap, custCurrency),
    VX70_FIELD(setupmap, custDiscountType),
    VX70_FIELD(setupmap, custCalendarAgeing),
    VX70_FIELD(setupmap, custCreditLimit),
    VX70_FIELD(setupmap, custSettlementDiscount),
    VX70_FIELD(setupmap, custDiscountRate),
    VX70_FIELD(setupmap, custDiscountValues),
    VX70_FIELD(setupmap, custDiscountRates),
    VX70_FIELD(setupmap, custAgeingPeriods),
    VX70_FIELD(setupmap, custDepartment),
    VX70_FIELD(setupmap, custSettlementDays),
    VX70_FIELD(setupmap, custPaymentDays),
    VX70_FIELD(setupmap, custTaxCode),
    VX70_RESERVED(setupmap, reserved711),
    VX70_FIELD(setupmap, callChargeRate),
    VX70_RESERVED(setupmap, reserved721),
    VX70_FIELD(setupmap, supplierAnalysisLabel),
    VX70_FIELD(setupmap, suppNominalCode),
    VX70_FIELD(setupmap, suppTerms),
    VX70_FIELD(setupmap, suppCurrency),
    VX70_RESERVED(setupmap, reserved811),
    VX70_FIELD(setupmap, suppCalendarAgeing),
    VX70_FIELD(setupmap, suppCreditLimit),
    VX70_FIELD(setupmap, suppSettlementDiscount),
    VX70_RESERVED(setupmap, reserved829),
    VX70_FIELD(setupmap, suppAgeingPeriods),
    VX70_FIELD(setupmap, suppDepartment),
    VX70_FIELD(setupmap, suppSettlementDays),
    VX70_FIELD(setupmap, suppPaymentDays),
    VX70_FIELD(setupmap, suppTaxCode),
    VX70_RESERVED(setupmap, reserved853),
    VX70_FIELD(setupmap, prodNominalCode),
    VX70_FIELD(setupmap, prodUnitOfSale),
    VX70_FIELD(setupmap, prodDepartment),
    VX70_FIELD(setupmap, prodTaxCode),
    VX70_FIELD(setupmap, prodCategory),
    VX70_RESERVED(setupmap, reserved885),
    VX70_FIELD(setupmap, printEndBanner),
    VX70_RESERVED(setupmap, reserved892),
    VX70_FIELD(setupmap, accessRights),
    VX70_FIELD(setupmap, listUpdate),
    VX70_RESERVED(setupmap, reserved918),
    VX70_FIELD(setupmap, prodUnitDecimals),
    VX70_FIELD(setupmap, prodQuantityDecimals),
    VX70_FIELD(setupmap, itemVatAmendable),
    VX70_FIELD(setupmap, wallpaperFile),
    VX70_FIELD(setupmap, wallpaperPosition),
    VX70_FIELD(setupmap, wallpaperShown),
    VX70_RESERVED(setupmap, reserved1200),
    VX70_FIELD(setupmap, fyStartMonth),
    VX70_FIELD(setupmap, fyStartYear),
    VX70_RESERVED(setupmap, reserved3337),
    VX70_FIELD(setupmap, vatCashAccounting),
    VX70_RESERVED(setupmap, reserved3342),
    VX70_FIELD(setupmap, excludeDeleted),
    VX70_FIELD(setupmap, retiredParamFlag),
    VX70_FIELD(setupmap, copySkeletonValues),
    VX70_RESERVED(setupmap, reserved3351),
    VX70_FIELD(setupmap, invAccountRefDefault),
    VX70_FIELD(setupmap, invItemsQuantity),
    VX70_FIELD(setupmap, invUpdateOrderNo),
    VX70_FIELD(setupmap, invDiscountUnitPrice),
    VX70_FIELD(setupmap, invServiceText),
    VX70_FIELD(setupmap, nonVatableTaxCode),
    VX70_FIELD(setupmap, noVisaWarning),
    VX70_FIELD(setupmap, noRecurringAtStartup),
    VX70_RESERVED(setupmap, reserved3682),
    VX70_FIELD(setupmap, custFutureTotals),
    VX70_FIELD(setupmap, suppFutureTotals),
    VX70_FIELD(setupmap, printNameOnStationery),
    VX70_RESERVED(setupmap, reserved3688),
    VX70_FIELD(setupmap, workclockLink),
    VX70_DATE(setupmap, lastBackupDate),
    VX70_FIELD(setupmap, telephone),
    VX70_FIELD(setupmap, fax),
    VX70_FIELD(setupmap, vatRegNo),
    VX70_FIELD(setupmap, creditRefNo),
    VX70_FIELD(setupmap, invUpdateCustDept),
    VX70_FIELD(setupmap, invUseServiceText),
    VX70_DATE(setupmap, auditClearedDate),
    VX70_FIELD(setupmap, displayAccountStatus),
    VX70_FIELD(setupmap, custAccountStatus),
    VX70_FIELD(setupmap, suppAccountStatus),
    VX70_RESERVED(setupmap, reserved3874),
    VX70_FIELD(setupmap, baseEuroRate),
    VX70_RESERVED(setupmap, reserved3964),
    VX70_FIELD(setupmap, email),
    VX70_FIELD(setupmap, www),
    VX70_RESERVED(setupmap, reserved4480),
    VX70_FIELD(setupmap, groupBankRecItems),
    VX70_FIELD(setupmap, listPpSrBySplit),
    VX70_RESERVED(setupmap, reserved4519),
    VX70_FIELD(setupmap, ageDisputesAsCurrent),
    VX70_RESERVED(setupmap, reserved4536),
    VX70_FIELD(setupmap, chequeLinesPerPage),
    VX70_RESERVED(setupmap, reserved4542),
    VX70_FIELD(setupmap, baseCurrency),
    VX70_FIELD(setupmap, allowNegativeStock),
    VX70_RESERVED(setupmap, reserved4550),
};
VX70_TABLE(setupmap, kSetupFields);

constexpr Field kTaxCodeFields[] = {
    VX70_FIELD(taxcodemap, rate),    VX70_FIELD(taxcodemap, inUse),
    VX70_FIELD(taxcodemap, ecSales), VX70_FIELD(taxcodemap, ecPurchases),
    VX70_FIELD(taxcodemap, link),
};
VX70_TABLE(taxcodemap, kTaxCodeFields);

template <>
struct Embedded<taxcodemap> {
  static constexpr const FieldTable* table = &taxcodemapTable;
};

constexpr Field kControlFields[] = {
    VX70_FIELD(contmap, controlRec),    VX70_FIELD(contmap, headerCount),
    VX70_FIELD(contmap, usageCount),    VX70_FIELD(contmap, splitCount),
    VX70_RESERVED(contmap, reserved72), VX70_FIELD(contmap, taxCode),
};
VX70_TABLE(contmap, kControlFields);

constexpr Field kAccessFields[] = {
    VX70_FIELD(accessmap, logonName),         VX70_FIELD(accessmap, password),
    VX70_FIELD(accessmap, callChargeRate),    VX70_FIELD(accessmap, wallpaperFile),
    VX70_FIELD(accessmap, wallpaperPosition), VX70_FIELD(accessmap, wallpaperShown),
    VX70_FIELD(accessmap, ownWallpaper),      VX70_RESERVED(accessmap, reserved315),
    VX70_FIELD(accessmap, listUpdate),        VX70_RESERVED(accessmap, reserved486),
};
VX70_TABLE(accessmap, kAccessFields);

constexpr Field kNominalFields[] = {
    VX70_FIELD(nommap, code),           VX70_FIELD(nommap, name),
    VX70_RESERVED(nommap, reserved70),  VX70_FIELD(nommap, typeFlags),
    VX70_RESERVED(nommap, reserved92),  VX70_FIELD(nommap, balance),
    VX70_RESERVED(nommap, reserved299), VX70_FIELD(nommap, tranLink1),
    VX70_FIELD(nommap, tranLink2),      VX70_RESERVED(nommap, reserved643),
};
VX70_TABLE(nommap, kNominalFields);

constexpr Field kActionFields[] = {
    VX70_FIELD(actionmap, state),         VX70_FIELD(actionmap, user),
    VX70_FIELD(actionmap, machine),       VX70_FIELD(actionmap, kind),
    VX70_RESERVED(actionmap, reserved70), VX70_FIELD(actionmap, details),
    VX70_RESERVED(actionmap, reserved81),
};
VX70_TABLE(actionmap, kActionFields);

constexpr Field kCurrencyFields[] = {
    VX70_FIELD(currmap, name),         VX70_FIELD(currmap, country), VX70_FIELD(currmap, ecMember),
    VX70_FIELD(currmap, exchangeRate), VX70_FIELD(currmap, flags),   VX70_FIELD(currmap, euroRate),
};
VX70_TABLE(currmap, kCurrencyFields);

constexpr Field kFinanceRateFields[] = {
    VX70_FIELD(finratemap, deleted),
    VX70_DATE(finratemap, dateFrom),
    VX70_FIELD(finratemap, baseRate),
    VX70_FIELD(finratemap, additionalRate),
};
VX70_TABLE(finratemap, kFinanceRateFields);

constexpr Field kAccountStatusFields[] = {
    VX70_FIELD(accstatusmap, description),
    VX70_FIELD(accstatusmap, onHold),
};
VX70_TABLE(accstatusmap, kAccountStatusFields);

constexpr Field kProductCategoryFields[] = {VX70_FIELD(prodcatmap, name)};
VX70_TABLE(prodcatmap, kProductCategoryFields);

constexpr Field kDepartmentFields[] = {VX70_FIELD(deptmap, name)};
VX70_TABLE(deptmap, kDepartmentFields);

constexpr Field kAssetCategoryFields[] = {VX70_FIELD(assetcatmap, name)};
VX70_TABLE(assetcatmap, kAssetCategoryFields);

constexpr const FieldTable* kAllTables[] = {
    &setupmapTable,     &contmapTable,    &taxcodemapTable, &accessmapTable,
    &nommapTable,       &actionmapTable,  &currmapTable,    &finratemapTable,
    &accstatusmapTable, &prodcatmapTable, &deptmapTable,    &assetcatmapTable,
};

// ---- Texts: the records' single-byte code page and UTF-8 -------------------

std::string textToUtf8(const std::uint8_t* p, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(p);
  return codepage::toUtf8(std::string_view(text, strnlen(text, size)));
}

// ---- Values --------------------------------------------------------------

template <class T>
T load(const std::uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class T>
void store(std::uint8_t* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

std::string hex(const std::uint8_t* p, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += kDigits[p[i] >> 4];
    out += kDigits[p[i] & 15];
  }
  return out;
}

bool allZero(const std::uint8_t* p, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i)
    if (p[i]) return false;
  return true;
}

std::string dateText(WORD date) {
  if (date == 0) return "";
  char buffer[32] = {};
  DateNumberToFullString(buffer, date);
  return buffer;
}

nlohmann::ordered_json decodeElement(const Field& f, const std::uint8_t* p) {
  switch (f.kind) {
    case FieldKind::Text:
      return textToUtf8(p, f.size);
    case FieldKind::U8:
      return load<std::uint8_t>(p);
    case FieldKind::I8:
      return load<std::int8_t>(p);
    case FieldKind::U16:
      return load<std::uint16_t>(p);
    case FieldKind::I16:
      return load<std::int16_t>(p);
    case FieldKind::U32:
      return load<std::uint32_t>(p);
    case FieldKind::I32:
      return load<std::int32_t>(p);
    case FieldKind::F64:
      return load<double>(p);  // NaN and infinities show as null
    case FieldKind::Date:
      return dateText(load<WORD>(p));
    case FieldKind::Bytes:
      return hex(p, f.size);
    case FieldKind::Record:
      return decodeRecord(*f.element, std::span(p, f.size));
  }
  return nullptr;
}

[[noreturn]] void badValue(const Field& f, const char* why) {
  throw RecordError(std::string("field ") + f.name + ": " + why);
}

template <class T>
void storeInteger(const Field& f, const nlohmann::ordered_json& v, std::uint8_t* p) {
  if (!v.is_number_integer()) badValue(f, "a whole number is expected");
  bool fits = v.is_number_unsigned() ? v.get<std::uint64_t>() <=
                                           static_cast<std::uint64_t>(std::numeric_limits<T>::max())
                                     : v.get<std::int64_t>() >= std::numeric_limits<T>::min() &&
                                           v.get<std::int64_t>() <= std::numeric_limits<T>::max();
  if (!fits) badValue(f, "the number does not fit");
  store<T>(p, v.get<T>());
}

void storeText(const Field& f, const nlohmann::ordered_json& v, std::uint8_t* p) {
  if (!v.is_string()) badValue(f, "a text is expected");
  std::string text;
  try {
    text = codepage::fromUtf8(v.get<std::string>());
  } catch (const codepage::TextError& e) {
    badValue(f, e.what());
  }
  if (text.size() >= f.size || text.find('\0') != std::string::npos)
    badValue(f, "the text is too long");
  std::memset(p, 0, f.size);
  std::memcpy(p, text.data(), text.size());
}

void storeDate(const Field& f, const nlohmann::ordered_json& v, std::uint8_t* p) {
  if (!v.is_string()) badValue(f, "a date text is expected");
  const std::string text = v.get<std::string>();
  WORD date = text.empty() ? WORD{0} : DateStringToNumber(text.c_str());
  if (!text.empty() && (date == 0 || !IsDateValid(text.c_str()))) badValue(f, "not a valid date");
  store<WORD>(p, date);
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void storeBytes(const Field& f, const nlohmann::ordered_json& v, std::uint8_t* p) {
  if (!v.is_string()) badValue(f, "a hex text is expected");
  const std::string text = v.get<std::string>();
  if (text.size() != 2 * f.size) badValue(f, "the hex text has the wrong length");
  for (std::size_t i = 0; i < f.size; ++i) {
    int hi = hexDigit(text[2 * i]), lo = hexDigit(text[2 * i + 1]);
    if (hi < 0 || lo < 0) badValue(f, "not a hex text");
    p[i] = static_cast<std::uint8_t>(hi * 16 + lo);
  }
}

void encodeElement(const Field& f, const nlohmann::ordered_json& v, std::uint8_t* p) {
  switch (f.kind) {
    case FieldKind::Text:
      return storeText(f, v, p);
    case FieldKind::U8:
      return storeInteger<std::uint8_t>(f, v, p);
    case FieldKind::I8:
      return storeInteger<std::int8_t>(f, v, p);
    case FieldKind::U16:
      return storeInteger<std::uint16_t>(f, v, p);
    case FieldKind::I16:
      return storeInteger<std::int16_t>(f, v, p);
    case FieldKind::U32:
      return storeInteger<std::uint32_t>(f, v, p);
    case FieldKind::I32:
      return storeInteger<std::int32_t>(f, v, p);
    case FieldKind::F64:
      if (v.is_null()) return store<double>(p, std::numeric_limits<double>::quiet_NaN());
      if (!v.is_number()) badValue(f, "a number is expected");
      return store<double>(p, v.get<double>());
    case FieldKind::Date:
      return storeDate(f, v, p);
    case FieldKind::Bytes:
      return storeBytes(f, v, p);
    case FieldKind::Record:
      if (!v.is_object()) badValue(f, "an object is expected");
      return encodeRecord(*f.element, v, std::span(p, f.size));
  }
}

}  // namespace

const Field* FieldTable::find(std::string_view name) const {
  for (const Field& f : fields)
    if (name == f.name) return &f;
  return nullptr;
}

const FieldTable* fieldTable(std::uint16_t fileNumber) {
  switch (fileNumber) {
    case DF_SETUP:
      return &setupmapTable;
    case DF_PRODUCT_CATEGORIES:
      return &prodcatmapTable;
    case DF_NOMINAL:
      return &nommapTable;
    case DF_CONTROL:
      return &contmapTable;
    case DF_DEPARTMENTS:
      return &deptmapTable;
    case DF_CURRENCIES:
      return &currmapTable;
    case DF_USERS:
      return &accessmapTable;
    case DF_ACTIONS:
      return &actionmapTable;
    case DF_ASSET_CATEGORIES:
      return &assetcatmapTable;
    case DF_FINANCE_RATES:
      return &finratemapTable;
    case DF_ACCOUNT_STATUS:
      return &accstatusmapTable;
    default:
      return nullptr;
  }
}

std::span<const FieldTable* const> allFieldTables() { return kAllTables; }

nlohmann::ordered_json decodeRecord(const FieldTable& table, std::span<const std::uint8_t> bytes) {
  if (bytes.size() != table.size)
    throw RecordError(std::string(table.record) + " is " + std::to_string(table.size) +
                      " bytes long, not " + std::to_string(bytes.size()));
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  for (const Field& f : table.fields) {
    const std::uint8_t* p = bytes.data() + f.offset;
    if (f.reserved()) {
      if (!allZero(p, f.size)) out[f.name] = hex(p, f.size);
    } else if (!f.array) {
      out[f.name] = decodeElement(f, p);
    } else {
      nlohmann::ordered_json items = nlohmann::ordered_json::array();
      for (std::size_t i = 0; i < f.count; ++i) items.push_back(decodeElement(f, p + i * f.size));
      out[f.name] = std::move(items);
    }
  }
  return out;
}

nlohmann::ordered_json decodeRecord(std::uint16_t fileNumber, std::span<const std::uint8_t> bytes) {
  const FieldTable* table = fieldTable(fileNumber);
  if (!table) throw RecordError("data file " + std::to_string(fileNumber) + " has no layout");
  return decodeRecord(*table, bytes);
}

void encodeRecord(const FieldTable& table, const nlohmann::ordered_json& values,
                  std::span<std::uint8_t> bytes) {
  if (bytes.size() != table.size)
    throw RecordError(std::string(table.record) + " is " + std::to_string(table.size) +
                      " bytes long, not " + std::to_string(bytes.size()));
  if (!values.is_object()) throw RecordError(std::string(table.record) + ": an object is expected");
  for (const auto& [name, value] : values.items()) {
    const Field* f = table.find(name);
    if (!f) throw RecordError(std::string(table.record) + " has no field " + name);
    std::uint8_t* p = bytes.data() + f->offset;
    if (!f->array) {
      encodeElement(*f, value, p);
      continue;
    }
    if (!value.is_array() || value.size() != f->count)
      badValue(*f, ("an array of " + std::to_string(f->count) + " values is expected").c_str());
    for (std::size_t i = 0; i < f->count; ++i) encodeElement(*f, value[i], p + i * f->size);
  }
}

}  // namespace vx70::records
