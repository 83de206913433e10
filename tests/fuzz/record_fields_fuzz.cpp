// libFuzzer target for the record decoder and encoder.  The first byte
// picks a record layout and a direction:
//  - bytes to JSON: the rest is a record, or (so that each field gets its
//    share of the runs) one field of an otherwise empty record, the second
//    byte choosing the field.  It is made one the package can hold (texts
//    terminated and zero-padded, doubles finite or NaN, dates in the
//    package's range), then decoded, printed, read back and encoded over a
//    record of filler: it must come back byte for byte, reserved bytes that
//    were zero (and so not shown) keeping the filler;
//  - JSON to bytes: the rest is JSON, encoded into a record; it is either
//    refused with a RecordError or taken, and a taken record decodes to
//    the same texts and numbers and encodes back to the same bytes.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "host/data/record_fields.h"

namespace {

using namespace vx70::records;
using Json = nlohmann::ordered_json;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kLastDate = 43830;  // 31/12/2099
constexpr std::uint8_t kFiller = 0xA5;

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

// Calls fn(field, element's offset) for every element of every field.
template <class Fn>
void eachElement(const FieldTable& table, std::size_t base, Fn&& fn) {
  for (const Field& f : table.fields)
    for (std::size_t i = 0; i < f.count; ++i) fn(f, base + f.offset + i * f.size);
}

void makeHoldable(const FieldTable& table, std::uint8_t* record, std::size_t base) {
  eachElement(table, base, [&](const Field& f, std::size_t at) {
    std::uint8_t* p = record + at;
    switch (f.kind) {
      case FieldKind::Text: {
        const std::size_t length = strnlen(reinterpret_cast<const char*>(p), f.size - 1);
        std::memset(p + length, 0, f.size - length);
        break;
      }
      case FieldKind::F64: {
        double value;
        std::memcpy(&value, p, sizeof value);
        if (!std::isfinite(value)) value = std::numeric_limits<double>::quiet_NaN();
        std::memcpy(p, &value, sizeof value);
        break;
      }
      case FieldKind::Date: {
        std::uint16_t date;
        std::memcpy(&date, p, sizeof date);
        date = static_cast<std::uint16_t>(date % (kLastDate + 1));
        std::memcpy(p, &date, sizeof date);
        break;
      }
      case FieldKind::Record:
        makeHoldable(*f.element, record, at);
        break;
      default:
        break;
    }
  });
}

// Reserved bytes that are all zero are not shown, so an encode leaves
// what was there.
void fillHidden(const FieldTable& table, const std::uint8_t* record, std::uint8_t* expected,
                std::size_t base) {
  eachElement(table, base, [&](const Field& f, std::size_t at) {
    if (f.kind == FieldKind::Record) fillHidden(*f.element, record, expected, at);
    if (f.reserved() && std::all_of(record + at, record + at + f.size, [](auto b) { return !b; }))
      std::memset(expected + at, kFiller, f.size);
  });
}

void roundTrip(const FieldTable& table, Bytes record) {
  makeHoldable(table, record.data(), 0);
  Bytes expected = record;
  fillHidden(table, record.data(), expected.data(), 0);

  const std::string printed = decodeRecord(table, record).dump();
  Bytes encoded(table.size, kFiller);
  encodeRecord(table, Json::parse(printed), encoded);
  require(encoded == expected, "a decoded record does not encode back byte for byte");
}

void bytesToJsonAndBack(const FieldTable& table, const std::uint8_t* data, std::size_t size) {
  Bytes record(table.size, 0);
  std::memcpy(record.data(), data, std::min(size, record.size()));
  roundTrip(table, std::move(record));
}

void fieldToJsonAndBack(const FieldTable& table, const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const Field& f = table.fields[data[0] % table.fields.size()];
  Bytes record(table.size, 0);
  std::memcpy(record.data() + f.offset, data + 1, std::min(size - 1, f.end() - f.offset));
  roundTrip(table, std::move(record));
}

bool sameNumber(const Json& given, const Json& shown) {
  if (given.is_number_float() && std::isnan(given.get<double>())) return shown.is_null();
  return given == shown;
}

// Each text or number that the object names is shown as it was given.
void checkShown(const FieldTable& table, const Json& given, const Json& shown) {
  for (const auto& [name, value] : given.items()) {
    const Field* f = table.find(name);
    if (f->kind == FieldKind::Record && !f->array) checkShown(*f->element, value, shown[name]);
    if (f->kind == FieldKind::Text || (value.is_number() && f->kind != FieldKind::Date))
      require(sameNumber(value, shown[name]), "an encoded value decodes to another");
  }
}

void jsonToBytesAndBack(const FieldTable& table, const std::uint8_t* data, std::size_t size) {
  const Json given = Json::parse(data, data + size, nullptr, false);
  if (given.is_discarded()) return;
  Bytes record(table.size, 0);
  try {
    encodeRecord(table, given, record);
  } catch (const RecordError&) {
    return;
  }
  const Json shown = decodeRecord(table, record);
  checkShown(table, given, shown);
  Bytes again(table.size, 0);
  encodeRecord(table, Json::parse(shown.dump()), again);
  require(again == record, "an encoded record does not encode again to the same bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto tables = allFieldTables();
  const FieldTable& table = *tables[(data[0] >> 2) % tables.size()];
  switch (data[0] & 3) {
    case 1:
      jsonToBytesAndBack(table, data + 1, size - 1);
      break;
    case 2:
      fieldToJsonAndBack(table, data + 1, size - 1);
      break;
    default:
      bytesToJsonAndBack(table, data + 1, size - 1);
  }
  return 0;
}
