#include "host/loader/resources.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vx70::res {
namespace {

// Bounds-checked little-endian reading of one resource.  Every failure
// names the resource, so that a damaged module says what is damaged.
class Reader {
 public:
  Reader(Bytes data, std::string what) : data_(data), what_(std::move(what)) {}

  std::size_t pos() const { return pos_; }
  std::size_t left() const { return data_.size() - pos_; }
  bool atEnd() const { return pos_ == data_.size(); }

  [[noreturn]] void fail(const std::string& why) const {
    std::ostringstream s;
    s << what_ << ": " << why << " (at byte " << pos_ << " of " << data_.size() << ")";
    throw ResourceError(s.str());
  }

  void need(std::size_t n, const char* field) const {
    if (left() < n)
      fail(std::string("truncated: ") + field + " needs " + std::to_string(n) + " byte" +
           (n == 1 ? "" : "s"));
  }

  std::uint8_t u8(const char* field) {
    need(1, field);
    return data_[pos_++];
  }
  std::uint16_t u16(const char* field) {
    need(2, field);
    auto v = static_cast<std::uint16_t>(data_[pos_] | data_[pos_ + 1] << 8);
    pos_ += 2;
    return v;
  }
  std::uint32_t u32(const char* field) {
    need(4, field);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | data_[pos_ + static_cast<std::size_t>(i)];
    pos_ += 4;
    return v;
  }
  std::int16_t i16(const char* field) { return static_cast<std::int16_t>(u16(field)); }

  // A zero-terminated single-byte string.
  std::string narrow(const char* field) {
    std::string s;
    for (;;) {
      std::uint8_t c = u8(field);
      if (c == 0) return s;
      s.push_back(static_cast<char>(c));
    }
  }

  // A zero-terminated UTF-16 string, converted to the single-byte code page.
  std::string wide(const char* field);

  // sz_Or_Ord: 0 = empty, 0xFFFF = an ordinal follows, else a UTF-16 string.
  ResId nameOrOrdinal(const char* field) {
    std::uint16_t first = u16(field);
    if (first == 0) return {};
    if (first == 0xFFFF) return ResId{u16(field), {}};
    pos_ -= 2;
    ResId id;
    id.name = wide(field);
    return id;
  }

  // Skips to the next multiple of four from the start of the data.
  void alignDword() {
    std::size_t aligned = (pos_ + 3) & ~std::size_t{3};
    pos_ = std::min(aligned, data_.size());
  }

  void skip(std::size_t n, const char* field) {
    need(n, field);
    pos_ += n;
  }
  Bytes take(std::size_t n, const char* field) {
    need(n, field);
    Bytes b = data_.subspan(pos_, n);
    pos_ += n;
    return b;
  }

  // The rest must be zero bytes (terminator tails).  Returns their count.
  std::size_t zeroTail(const char* field) {
    std::size_t n = left();
    for (std::size_t i = pos_; i < data_.size(); ++i)
      if (data_[i] != 0) {
        pos_ = i;
        fail(std::string("unexpected data after ") + field);
      }
    pos_ = data_.size();
    return n;
  }

 private:
  Bytes data_;
  std::string what_;
  std::size_t pos_ = 0;
};

// Windows-1252 for the characters 0x80-0x9F; Latin-1 elsewhere.
char toCodePage(std::uint16_t c) {
  static constexpr std::uint16_t k1252[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i)
    if (k1252[i] == c && c != 0) return static_cast<char>(0x80 + i);
  return '?';
}

std::string Reader::wide(const char* field) {
  std::string s;
  for (;;) {
    std::uint16_t c = u16(field);
    if (c == 0) return s;
    s.push_back(toCodePage(c));
  }
}

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

std::string typeKey(const ResId& type) {
  return type.isName() ? upper(type.name) : "#" + std::to_string(type.ordinal);
}

std::string describe(const char* type, std::uint16_t id) {
  return std::string(type) + " " + std::to_string(id);
}

std::string predefinedClass(std::uint16_t ordinal) {
  switch (ordinal) {
    case 0x80:
      return "BUTTON";
    case 0x81:
      return "EDIT";
    case 0x82:
      return "STATIC";
    case 0x83:
      return "LISTBOX";
    case 0x84:
      return "SCROLLBAR";
    case 0x85:
      return "COMBOBOX";
    default:
      return "#" + std::to_string(ordinal);
  }
}

constexpr std::uint32_t DS_SETFONT = 0x40;

void readItem(Reader& r, DialogItem& item, bool extended) {
  r.alignDword();
  if (extended) {
    item.helpId = r.u32("item help id");
    item.exStyle = r.u32("item extended style");
    item.style = r.u32("item style");
  } else {
    item.style = r.u32("item style");
    item.exStyle = r.u32("item extended style");
  }
  item.x = r.i16("item x");
  item.y = r.i16("item y");
  item.cx = r.i16("item width");
  item.cy = r.i16("item height");
  item.id = extended ? r.u32("item id") : r.u16("item id");
  ResId cls = r.nameOrOrdinal("item class");
  item.className = cls.isName() ? cls.name : predefinedClass(cls.ordinal);
  ResId text = r.nameOrOrdinal("item text");
  if (text.isName())
    item.text = text.name;
  else if (text.ordinal != 0)
    item.textOrdinal = text.ordinal;
  std::uint16_t extra = r.u16("item creation data size");
  Bytes data = r.take(extra, "item creation data");
  item.creationData.assign(data.begin(), data.end());
}

}  // namespace

std::string ResId::str() const { return isName() ? name : std::to_string(ordinal); }

// ---- The .res container ---------------------------------------------------

ResourceFile ResourceFile::parse(Bytes image) {
  ResourceFile file;
  std::size_t offset = 0;
  while (offset < image.size()) {
    Reader header(image.subspan(offset),
                  "resource file header at offset " + std::to_string(offset));
    std::uint32_t dataSize = header.u32("data size");
    std::uint32_t headerSize = header.u32("header size");
    Resource res;
    res.type = header.nameOrOrdinal("type");
    res.name = header.nameOrOrdinal("name");
    header.alignDword();
    header.u32("data version");
    res.memoryFlags = header.u16("memory flags");
    res.language = header.u16("language");
    header.u32("version");
    header.u32("characteristics");
    std::string what = "resource " + res.type.str() + " " + res.name.str();
    if (headerSize < header.pos()) throw ResourceError(what + ": header size too small");
    Reader body(image.subspan(offset), what);
    body.skip(headerSize, "header");
    res.data = body.take(dataSize, "data");
    body.alignDword();
    offset += body.pos();

    bool placeholder = res.type.ordinal == 0 && !res.type.isName() && dataSize == 0;
    if (placeholder) continue;
    if (!res.name.isName())
      file.index_.emplace(std::make_pair(typeKey(res.type), res.name.ordinal),
                          file.resources_.size());
    file.resources_.push_back(std::move(res));
  }
  return file;
}

const Resource* ResourceFile::find(const ResId& type, std::uint16_t id) const {
  auto it = index_.find({typeKey(type), id});
  return it == index_.end() ? nullptr : &resources_[it->second];
}

const Resource* ResourceFile::find(std::uint16_t type, std::uint16_t id) const {
  return find(ResId{type, {}}, id);
}

const Resource* ResourceFile::find(const char* type, std::uint16_t id) const {
  return find(ResId{0, type}, id);
}

std::vector<std::uint16_t> ResourceFile::ids(const ResId& type) const {
  std::vector<std::uint16_t> out;
  std::string key = typeKey(type);
  for (const auto& [k, index] : index_)
    if (k.first == key) out.push_back(k.second);
  return out;  // the map keeps them ascending
}

// String tables hold sixteen strings a block: block n + 1 holds the strings
// 16n to 16n + 15, each a length-prefixed UTF-16 text.  The module is
// compiled with terminators in the table, so that an empty string (length
// 1: the terminator alone) differs from a missing one (length 0).
std::optional<std::string> ResourceFile::string(std::uint16_t id) const {
  auto block = static_cast<std::uint16_t>((id >> 4) + 1);
  const Resource* res = find(RT_STRING, block);
  if (!res) return std::nullopt;
  Reader r(res->data, describe("STRINGTABLE block", block));
  for (unsigned i = 0; i < 16; ++i) {
    std::uint16_t length = r.u16("string length");
    if (i != (id & 15u)) {
      r.skip(std::size_t{length} * 2, "string text");
      continue;
    }
    if (length == 0) return std::nullopt;
    std::string s;
    for (std::uint16_t k = 0; k < length; ++k) s.push_back(toCodePage(r.u16("string text")));
    if (s.back() == '\0') s.pop_back();
    return s;
  }
  return std::nullopt;
}

// A string whose table block cannot be read is not kept, so that every
// ask fails as the first did.
std::optional<std::string> ModuleResources::string(std::uint16_t id) const {
  std::lock_guard<std::mutex> lock(strings_->mutex);
  if (auto kept = strings_->strings.find(id); kept != strings_->strings.end()) return kept->second;
  std::optional<std::string> read = file_.string(id);
  strings_->strings.emplace(id, read);
  return read;
}

// ---- Dialog templates -----------------------------------------------------

const DialogItem* DialogTemplate::item(std::uint32_t id) const {
  for (const auto& i : items)
    if (i.id == id) return &i;
  return nullptr;
}

DialogTemplate parseDialog(Bytes data, std::uint16_t id) {
  Reader r(data, describe("DIALOG", id));
  DialogTemplate t;
  std::uint16_t count = 0;
  if (data.size() >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
    t.extended = true;
    r.skip(4, "DIALOGEX signature");
    t.helpId = r.u32("help id");
    t.exStyle = r.u32("extended style");
    t.style = r.u32("style");
  } else {
    t.style = r.u32("style");
    t.exStyle = r.u32("extended style");
  }
  count = r.u16("item count");
  t.x = r.i16("x");
  t.y = r.i16("y");
  t.cx = r.i16("width");
  t.cy = r.i16("height");
  t.menu = r.nameOrOrdinal("menu");
  t.windowClass = r.nameOrOrdinal("class");
  t.title = r.wide("title");
  if (t.style & DS_SETFONT) {
    t.pointSize = r.u16("point size");
    if (t.extended) {
      t.weight = r.u16("font weight");
      t.italic = r.u8("italic");
      t.charset = r.u8("charset");
    }
    t.font = r.wide("font name");
  }
  t.items.reserve(std::min<std::size_t>(count, r.left() / 18 + 1));
  for (std::uint16_t i = 0; i < count; ++i) readItem(r, t.items.emplace_back(), t.extended);
  return t;
}

// ---- Description resources --------------------------------------------------

DEntry parseDEntry(Bytes data, std::uint16_t id) {
  Reader r(data, describe("DENTRY", id));
  if (data.size() != 12) r.fail("a DENTRY is 12 bytes");
  DEntry d;
  d.centry = r.u16("CENTRY identifier");
  d.mentry = r.u16("MENTRY identifier");
  d.tentry = r.u16("TENTRY identifier");
  d.displayWord = r.u16("display word");
  d.flags = r.u16("flags");
  d.reserved = r.u16("reserved");
  return d;
}

const CEntry* CEntryList::find(std::uint16_t id) const {
  for (const auto& e : entries)
    if (e.id == id) return &e;
  return nullptr;
}

CEntryList parseCEntry(Bytes data, std::uint16_t id) {
  Reader r(data, describe("CENTRY", id));
  CEntryList list;
  for (;;) {
    std::uint16_t entryId = r.u16("entry identifier");
    if (entryId == 0) {
      list.trailingZeroBytes = 2 + r.zeroTail("the terminator");
      return list;
    }
    r.need(18, "entry");
    CEntry& e = list.entries.emplace_back();
    e.id = entryId;
    e.type = r.u16("type");
    e.storage = r.u16("storage");
    e.length = r.u16("length");
    e.link1 = r.u16("link 1");
    e.link2 = r.u16("link 2");
    e.rowsNeeded = r.u16("rows-needed ordinal");
    e.startUp = r.u16("start-up ordinal");
    e.reserved = r.u16("reserved");
    e.layout = r.u16("layout word");
  }
}

std::vector<MEntry> parseMEntry(Bytes data, std::uint16_t id) {
  Reader r(data, describe("MENTRY", id));
  std::vector<MEntry> list;
  for (;;) {
    std::uint16_t message = r.u16("message");
    if (message == 0) {
      r.zeroTail("the terminator");
      return list;
    }
    MEntry& m = list.emplace_back();
    m.message = message;
    m.reserved = r.u16("reserved");
    m.ordinal = r.u16("ordinal");
  }
}

std::vector<TEntry> parseTEntry(Bytes data, std::uint16_t id) {
  Reader r(data, describe("TENTRY", id));
  std::vector<TEntry> list;
  for (;;) {
    std::uint16_t dialog = r.u16("page dialog");
    if (dialog == 0) {
      r.zeroTail("the terminator");
      return list;
    }
    TEntry& t = list.emplace_back();
    t.dialog = dialog;
    t.module = r.u16("page module");
    r.skip(3, "reserved");
  }
}

std::size_t GridColumn::rowBytes() const { return valueType == 12 ? 8 : length; }

std::size_t Grid::rowBytes() const {
  std::size_t n = 0;
  for (const auto& c : columns) n += c.rowBytes();
  return n;
}

const GridColumn* Grid::column(std::uint16_t id) const {
  for (const auto& c : columns)
    if (c.id == id) return &c;
  return nullptr;
}

Grid parseGrid(Bytes data, std::uint16_t id) {
  Reader r(data, describe("GRID", id));
  Grid g;
  for (;;) {
    std::uint16_t type = r.u16("column value type");
    if (type == 0) {
      g.spareByte = r.zeroTail("the terminator") > 0;
      return g;
    }
    GridColumn& c = g.columns.emplace_back();
    c.valueType = type;
    c.id = r.u16("column identifier");
    c.reserved = r.u16("reserved");
    c.displayWidth = r.u16("display width");
    c.length = r.u16("length");
    c.decimals = r.u16("decimal places");
    c.columnFlags = r.u16("column flags");
    c.gridFlags = r.u16("grid flags");
    c.style = r.u8("style");
    c.editorClass = r.narrow("editor class");
    c.reservedText = r.narrow("reserved string");
    c.heading = r.narrow("heading");
  }
}

std::vector<std::uint16_t> parseGridBitmap(Bytes data, std::uint16_t id) {
  Reader r(data, describe("GRIDBITMAP", id));
  if (data.empty() || data.size() % 2) r.fail("a GRIDBITMAP is a non-empty list of words");
  std::vector<std::uint16_t> words;
  while (!r.atEnd()) words.push_back(r.u16("word"));
  return words;
}

// ---- The engine's view ----------------------------------------------------

namespace {
template <typename T, typename Parse>
std::optional<T> lookup(const ResourceFile& file, const char* type, std::uint16_t id, Parse parse) {
  const Resource* res = file.find(type, id);
  if (!res) return std::nullopt;
  return parse(res->data, id);
}
}  // namespace

std::optional<DialogTemplate> ModuleResources::dialog(std::uint16_t id) const {
  const Resource* res = file_.find(RT_DIALOG, id);
  if (!res) return std::nullopt;
  return parseDialog(res->data, id);
}
std::optional<DEntry> ModuleResources::dentry(std::uint16_t id) const {
  return lookup<DEntry>(file_, "DENTRY", id, parseDEntry);
}
std::optional<CEntryList> ModuleResources::centry(std::uint16_t id) const {
  return lookup<CEntryList>(file_, "CENTRY", id, parseCEntry);
}
std::optional<std::vector<MEntry>> ModuleResources::mentry(std::uint16_t id) const {
  return lookup<std::vector<MEntry>>(file_, "MENTRY", id, parseMEntry);
}
std::optional<std::vector<TEntry>> ModuleResources::tentry(std::uint16_t id) const {
  return lookup<std::vector<TEntry>>(file_, "TENTRY", id, parseTEntry);
}
std::optional<Grid> ModuleResources::grid(std::uint16_t id) const {
  return lookup<Grid>(file_, "GRID", id, parseGrid);
}
std::optional<std::vector<std::uint16_t>> ModuleResources::gridBitmap(std::uint16_t id) const {
  return lookup<std::vector<std::uint16_t>>(file_, "GRIDBITMAP", id, parseGridBitmap);
}
std::vector<std::uint16_t> ModuleResources::dialogIds() const {
  return file_.ids(ResId{0, "DENTRY"});
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace vx70::res
