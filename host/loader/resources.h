// Reading a module's resources: the standard .res container that the
// resource compiler writes, string tables, dialog templates (DIALOG and
// DIALOGEX) and the six description types of the dialog engine.
//
// Everything here reads untrusted bytes: each read is bounds-checked and
// little-endian, and a truncated or damaged resource throws ResourceError
// naming the resource type and identifier.  Nothing here crashes or reads
// past the data it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace vx70::res {

using Bytes = std::span<const std::uint8_t>;

class ResourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A resource type or name: a 16-bit ordinal or a string ("DENTRY").
struct ResId {
  std::uint16_t ordinal = 0;
  std::string name;  // empty for an ordinal
  bool isName() const { return !name.empty(); }
  std::string str() const;  // "DENTRY", "5", ...
  friend bool operator==(const ResId&, const ResId&) = default;
};

// Standard resource types that the module uses.
inline constexpr std::uint16_t RT_BITMAP = 2;
inline constexpr std::uint16_t RT_DIALOG = 5;
inline constexpr std::uint16_t RT_STRING = 6;

// Languages in which the module stores its resources.
inline constexpr std::uint16_t LANG_EN_GB = 2057;
inline constexpr std::uint16_t LANG_EN_US = 1033;

struct Resource {
  ResId type;
  ResId name;
  std::uint16_t language = 0;
  std::uint16_t memoryFlags = 0;
  Bytes data;
};

// The resources of one compiled .res image.  The image must outlive it.
class ResourceFile {
 public:
  static ResourceFile parse(Bytes image);

  const std::vector<Resource>& all() const { return resources_; }
  // The resource of that type and identifier, whatever its language.
  const Resource* find(const ResId& type, std::uint16_t id) const;
  const Resource* find(std::uint16_t type, std::uint16_t id) const;
  const Resource* find(const char* type, std::uint16_t id) const;
  // The identifiers of every resource of one type, ascending.
  std::vector<std::uint16_t> ids(const ResId& type) const;
  // A string of the string table, converted to the single-byte code page;
  // nullopt when the table has no such string.
  std::optional<std::string> string(std::uint16_t id) const;

 private:
  std::vector<Resource> resources_;
  std::map<std::pair<std::string, std::uint16_t>, std::size_t> index_;
};

// ---- Dialog templates --------------------------------------------------

struct DialogItem {
  std::uint32_t helpId = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::uint32_t id = 0;
  std::string className;  // predefined ordinals become "BUTTON", "EDIT", ...
  std::string text;
  std::optional<std::uint16_t> textOrdinal;  // a text given as an ordinal
  std::vector<std::uint8_t> creationData;
};

struct DialogTemplate {
  bool extended = false;  // DIALOGEX
  std::uint32_t helpId = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  ResId menu;
  ResId windowClass;
  std::string title;
  // Present when the style carries DS_SETFONT (0x40).
  std::uint16_t pointSize = 0;
  std::uint16_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t charset = 0;
  std::string font;
  std::vector<DialogItem> items;

  const DialogItem* item(std::uint32_t id) const;
};

// ---- Description resources of the dialog engine ------------------------

// Display word values and flags of DENTRY.
inline constexpr std::uint16_t DENTRY_ALONE = 0x0001;
inline constexpr std::uint16_t DENTRY_TABBED = 0x8001;
inline constexpr std::uint16_t DENTRY_PAGE = 0x4000;

struct DEntry {
  std::uint16_t centry = 0;
  std::uint16_t mentry = 0;
  std::uint16_t tentry = 0;
  std::uint16_t displayWord = 0;
  std::uint16_t flags = 0;
  std::uint16_t reserved = 0;
};

// CENTRY entry types.
enum CEntryType : std::uint16_t {
  CT_DECIMAL = 0x01,
  CT_TEXT = 0x03,
  CT_WORD = 0x04,
  CT_RECNO = 0x05,
  CT_DATE = 0x06,
  CT_RECORD = 0x0A,
  CT_GRID15 = 0x15,
  CT_GRID16 = 0x16,
  CT_STATIC = 0x17,
  CT_BUTTON = 0x18,
  CT_GRIDCOMBO = 0x1A,
  CT_LINK = 0x1F,
  CT_SLOT = 0x20,
};

// CENTRY storage words.
enum CEntryStorage : std::uint16_t {
  CS_NONE = 0,
  CS_WINDOW = 1,
  CS_FIELD = 2,
  CS_OWN = 4,
  CS_HIDDEN = 8,
  CS_FRAME = 17,
};

struct CEntry {
  std::uint16_t id = 0;
  std::uint16_t type = 0;
  std::uint16_t storage = 0;
  std::uint16_t length = 0;
  std::uint16_t link1 = 0;  // GRID identifier, or record slot (storage 2)
  std::uint16_t link2 = 0;  // module number, or field offset (storage 2)
  std::uint16_t rowsNeeded = 0;
  std::uint16_t startUp = 0;
  std::uint16_t reserved = 0;
  std::uint16_t layout = 0;

  bool isGrid() const { return type == CT_GRID15 || type == CT_GRID16; }
  bool isGridCombo() const { return type == CT_GRIDCOMBO; }
};

struct CEntryList {
  std::vector<CEntry> entries;
  std::size_t trailingZeroBytes = 0;  // after the last entry, terminator included
  const CEntry* find(std::uint16_t id) const;
};

struct MEntry {
  std::uint16_t message = 0;
  std::uint16_t reserved = 0;
  std::uint16_t ordinal = 0;
};

struct TEntry {
  std::uint16_t dialog = 0;
  std::uint16_t module = 0;
};

struct GridColumn {
  std::uint16_t valueType = 0;  // 2 text, 6 and 9 whole number, 12 decimals
  std::uint16_t id = 0;
  std::uint16_t reserved = 0;
  std::uint16_t displayWidth = 0;
  std::uint16_t length = 0;
  std::uint16_t decimals = 0;
  std::uint16_t columnFlags = 0;
  std::uint16_t gridFlags = 0;
  std::uint8_t style = 0;
  std::string editorClass;
  std::string reservedText;
  std::string heading;

  bool hidden() const { return style == 0; }
  // Bytes that the column takes in a packed grid row record.
  std::size_t rowBytes() const;
};

struct Grid {
  std::vector<GridColumn> columns;
  bool spareByte = false;  // the zero byte after the terminator
  std::size_t rowBytes() const;
  const GridColumn* column(std::uint16_t id) const;
};

// Each parser takes the resource's bytes and its identifier (for the error).
DialogTemplate parseDialog(Bytes data, std::uint16_t id);
DEntry parseDEntry(Bytes data, std::uint16_t id);
CEntryList parseCEntry(Bytes data, std::uint16_t id);
std::vector<MEntry> parseMEntry(Bytes data, std::uint16_t id);
std::vector<TEntry> parseTEntry(Bytes data, std::uint16_t id);
Grid parseGrid(Bytes data, std::uint16_t id);
std::vector<std::uint16_t> parseGridBitmap(Bytes data, std::uint16_t id);

// The dialog engine's view of a module's resources: every lookup by
// identifier, parsed.  Lookups of a missing resource return nullopt; a
// damaged one throws ResourceError.
class ModuleResources {
 public:
  explicit ModuleResources(Bytes image)
      : file_(ResourceFile::parse(image)), strings_(std::make_unique<StringsRead>()) {}

  const ResourceFile& file() const { return file_; }
  std::optional<DialogTemplate> dialog(std::uint16_t id) const;
  std::optional<DEntry> dentry(std::uint16_t id) const;
  std::optional<CEntryList> centry(std::uint16_t id) const;
  std::optional<std::vector<MEntry>> mentry(std::uint16_t id) const;
  std::optional<std::vector<TEntry>> tentry(std::uint16_t id) const;
  std::optional<Grid> grid(std::uint16_t id) const;
  std::optional<std::vector<std::uint16_t>> gridBitmap(std::uint16_t id) const;
  // Kept once read: handlers ask for their messages at every opening.
  std::optional<std::string> string(std::uint16_t id) const;
  // The identifiers of every DENTRY: the dialogs of the module.
  std::vector<std::uint16_t> dialogIds() const;

 private:
  struct StringsRead {
    std::mutex mutex;
    std::unordered_map<std::uint16_t, std::optional<std::string>> strings;
  };
  ResourceFile file_;
  std::unique_ptr<StringsRead> strings_;
};

// Reads a whole file (for the .res file beside the build).
std::vector<std::uint8_t> readFile(const std::string& path);

}  // namespace vx70::res
