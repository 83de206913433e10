// Every field of every record of api/records.h by name, offset and kind,
// so that a record can be shown (and built) field by field: `vx70 show`
// prints records with these names, tests check offsets through them.
//
// The tables are generated from the structs themselves (offsetof, sizeof
// and the member's type), so they cannot drift from the layouts; each
// table tiles its record, reserved bytes included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>
#include <string_view>

namespace vx70::records {

enum class FieldKind {
  Text,  // char[n]: up to the first zero byte
  U8,
  I8,
  U16,
  I16,
  U32,
  I32,
  F64,
  Date,    // WORD date number
  Bytes,   // reserved bytes
  Record,  // an embedded record (FieldTable element)
};

struct FieldTable;

struct Field {
  const char* name;
  std::size_t offset;
  std::size_t size;  // of one element
  FieldKind kind;
  std::size_t count;          // 1 for a single value, n for an array of n elements
  bool array;                 // shown as an array (even of one element)
  const FieldTable* element;  // the layout of each element when kind is Record

  constexpr std::size_t end() const { return offset + size * count; }
  constexpr bool reserved() const { return kind == FieldKind::Bytes; }
};

struct FieldTable {
  const char* record;  // "setupmap", "currmap" ...
  std::size_t size;
  std::span<const Field> fields;

  const Field* find(std::string_view name) const;
};

// A record that does not have its file's length, or a value that does not
// fit its field.
class RecordError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The layout of the records of a data file; nullptr for a number that
// names no file of the company.
const FieldTable* fieldTable(std::uint16_t fileNumber);
// Every record layout, the embedded ones included.
std::span<const FieldTable* const> allFieldTables();

// {"field": value, ...} in offset order.  Texts up to their terminator
// (single-byte code page, shown as UTF-8), dates as "DD/MM/YYYY" ("" for no
// date), arrays as JSON arrays, reserved bytes only when one of them is
// nonzero (then as a hex string).  Throws RecordError when the record's
// length is not the table's.
nlohmann::ordered_json decodeRecord(const FieldTable& table, std::span<const std::uint8_t> bytes);
nlohmann::ordered_json decodeRecord(std::uint16_t fileNumber, std::span<const std::uint8_t> bytes);

// The inverse: writes each field that the object names into the record,
// leaving the others as they are; a missing reserved field stays, a
// present one is set from its hex text.  Texts are padded with zero bytes.
// Throws RecordError for an unknown field, a value of the wrong type or one
// that does not fit (text too long, number out of range, invalid date).
void encodeRecord(const FieldTable& table, const nlohmann::ordered_json& values,
                  std::span<std::uint8_t> bytes);

}  // namespace vx70::records
