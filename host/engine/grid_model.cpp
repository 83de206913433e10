// Rows of a GRID layout, their outline levels and on-demand filling, and
// the row messages that the grid and the grid-combo share.
#include "host/engine/grid_model.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <utility>

namespace vx70::engine {

// ---- Number texts -------------------------------------------------------

namespace {

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The number part after an optional sign; nullopt when there is none.
std::optional<std::string_view> afterSign(std::string_view text, bool& negative) {
  text = trimSpaces(text);
  negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  return text;
}

int rowParam(LPARAM value) { return static_cast<int>(static_cast<std::int32_t>(value)); }

}  // namespace

std::optional<double> parseDecimal(std::string_view text) {
  bool negative;
  auto digits = afterSign(text, negative);
  if (!digits) return std::nullopt;
  std::size_t points = std::count(digits->begin(), digits->end(), '.');
  bool onlyDigits = std::all_of(digits->begin(), digits->end(), [](char c) {
    return c == '.' || std::isdigit(static_cast<unsigned char>(c));
  });
  if (!onlyDigits || points > 1 || digits->size() == points) return std::nullopt;
  double value = 0;
  auto [end, error] = std::from_chars(digits->data(), digits->data() + digits->size(), value,
                                      std::chars_format::fixed);
  if (error != std::errc() || end != digits->data() + digits->size()) return std::nullopt;
  return negative ? -value : value;
}

std::optional<std::int64_t> parseWhole(std::string_view text) {
  bool negative;
  auto digits = afterSign(text, negative);
  if (!digits || digits->size() > 18) return std::nullopt;
  std::int64_t value = 0;
  auto [end, error] = std::from_chars(digits->data(), digits->data() + digits->size(), value);
  if (error != std::errc() || end != digits->data() + digits->size()) return std::nullopt;
  return negative ? -value : value;
}

std::string formatDecimal(double value, int places) {
  places = std::clamp(places, 0, 15);
  if (value == 0) value = 0;  // no "-0.00"
  char text[400];
  auto [end, error] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, places);
  if (error != std::errc()) return "0";
  return std::string(text, end);
}

bool iequals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// ---- GridModel ------------------------------------------------------------

GridModel::GridModel(const res::Grid* layout) {
  if (layout) columns_ = layout->columns;
  for (const auto& c : columns_) {
    offsets_.push_back(rowBytes_);
    rowBytes_ += c.rowBytes();
  }
}

std::optional<std::size_t> GridModel::columnIndex(UINT columnId) const {
  if (columnId == 0) return std::nullopt;  // the columns that handlers never address
  for (std::size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].id == columnId) return i;
  return std::nullopt;
}

bool GridModel::visible(std::size_t storage) const {
  if (rows_[storage].level == 0) return true;
  for (std::size_t i = storage; i-- > 0;)
    if (rows_[i].level == 0) return rows_[i].open;
  return true;
}

int GridModel::rowCount() const {
  if (!hasLevels_) return static_cast<int>(rows_.size());
  int count = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) count += visible(i) ? 1 : 0;
  return count;
}

std::size_t GridModel::storageIndex(int row) const {
  if (!hasLevels_) return static_cast<std::size_t>(row);
  int seen = -1;
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (visible(i) && ++seen == row) return i;
  return rows_.size();
}

int GridModel::visibleIndex(std::size_t storage) const {
  if (storage >= rows_.size()) return -1;
  if (!hasLevels_) return static_cast<int>(storage);
  if (!visible(storage)) return -1;
  int index = 0;
  for (std::size_t i = 0; i < storage; ++i) index += visible(i) ? 1 : 0;
  return index;
}

std::uint8_t* GridModel::rowData(int row) {
  return const_cast<std::uint8_t*>(std::as_const(*this).rowData(row));
}

const std::uint8_t* GridModel::rowData(int row) const {
  const Row& kept = rows_[storageIndex(row)];
  if (kept.bytes.size() != rowBytes_) kept.bytes.assign(rowBytes_, 0);
  return kept.bytes.data();
}

void GridModel::store(Row& row, const void* record) const {
  const auto* bytes = static_cast<const std::uint8_t*>(record);
  row.bytes.assign(bytes, bytes + rowBytes_);
  row.supplied = true;
}

void GridModel::clear() {
  rows_.clear();
  hasLevels_ = false;
  current_ = -1;
}

bool GridModel::holdOnDemand(int count) {
  if (count < 0 || static_cast<std::size_t>(count) > kMaxRows) return false;
  clear();
  Row blank;
  blank.supplied = false;
  rows_.assign(static_cast<std::size_t>(count), blank);
  return true;
}

int GridModel::append(const void* record, bool child) {
  if (!record) return -1;
  if (fill_ && validRow(fill_->cursor)) {
    // A rows-needed callback answers with appends: they fill the slots
    // that were asked for, in order.
    std::size_t slot = storageIndex(fill_->cursor++);
    store(rows_[slot], record);
    return static_cast<int>(slot);
  }
  if (rows_.size() >= kMaxRows) return -1;
  Row row;
  store(row, record);
  // Only a child looks for a parent: a list filled row by row stays linear.
  if (child && std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.level == 0; })) {
    row.level = 1;
    hasLevels_ = true;
  }
  rows_.push_back(std::move(row));
  return static_cast<int>(rows_.size() - 1);
}

bool GridModel::remove(int row) {
  if (!validRow(row)) return false;
  std::size_t slot = storageIndex(row);
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(slot));
  auto removed = static_cast<std::ptrdiff_t>(slot);
  // The cursor keeps its place: on the row that moved up into the
  // removed one's, or on the new last row.
  if (current_ > removed) --current_;
  if (current_ >= static_cast<std::ptrdiff_t>(rows_.size()))
    current_ = static_cast<std::ptrdiff_t>(rows_.size()) - 1;
  return true;
}

bool GridModel::replace(int row, const void* record) {
  if (!validRow(row) || !record) return false;
  store(rows_[storageIndex(row)], record);
  return true;
}

bool GridModel::markSupplied(int row, std::uint32_t record) {
  if (!validRow(row)) return false;
  Row& r = rows_[storageIndex(row)];
  r.supplied = true;
  r.record = record;
  return true;
}

bool GridModel::openLevel(int row) {
  if (!validRow(row)) return false;
  Row& r = rows_[storageIndex(row)];
  if (r.level != 0) return false;
  r.open = true;
  return true;
}

bool GridModel::setMarked(int row, bool marked) {
  if (!validRow(row)) return false;
  rows_[storageIndex(row)].marked = marked;
  return true;
}

int GridModel::setColumnWidth(std::size_t column, int width) {
  if (column >= columns_.size() || width < 0 || width > 0xFFFF) return -1;
  int previous = columns_[column].displayWidth;
  columns_[column].displayWidth = static_cast<std::uint16_t>(width);
  return previous;
}

int GridModel::currentRow() const {
  return current_ < 0 ? -1 : visibleIndex(static_cast<std::size_t>(current_));
}

bool GridModel::setCurrentRow(int row) {
  if (row == -1) {
    current_ = -1;
    return true;
  }
  if (!validRow(row)) return false;
  current_ = static_cast<std::ptrdiff_t>(storageIndex(row));
  return true;
}

bool GridModel::setCurrentColumn(std::size_t column) {
  if (column >= columns_.size()) return false;
  currentColumn_ = column;
  return true;
}

// ---- Cells ---------------------------------------------------------------

namespace {

std::uint32_t readUnsigned(const std::uint8_t* p, std::size_t bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = std::min<std::size_t>(bytes, 4); i-- > 0;) value = (value << 8) | p[i];
  return value;
}

void writeUnsigned(std::uint8_t* p, std::size_t bytes, std::uint32_t value) {
  for (std::size_t i = 0; i < bytes; ++i)
    p[i] = static_cast<std::uint8_t>(i < 4 ? value >> (8 * i) : 0u);
}

// A whole-number cell widened to 32 bits: 4-byte cells are signed,
// narrower ones unsigned.
std::int32_t readWhole(const std::uint8_t* p, std::size_t bytes) {
  return static_cast<std::int32_t>(readUnsigned(p, bytes));
}

bool wholeFits(std::int64_t value, std::size_t bytes) {
  if (bytes >= 4) return value >= INT32_MIN && value <= UINT32_MAX;
  return value >= 0 && value < (std::int64_t{1} << (8 * bytes));
}

}  // namespace

std::string GridModel::cellText(int row, std::size_t column) const {
  const res::GridColumn& c = columns_[column];
  const std::uint8_t* p = rowData(row) + offsets_[column];
  std::size_t bytes = c.rowBytes();
  if (c.valueType == kTextColumn) {
    const char* text = reinterpret_cast<const char*>(p);
    return std::string(text, strnlen(text, bytes));
  }
  if (c.valueType == kDecimalColumn) {
    double value;
    std::memcpy(&value, p, sizeof value);
    return formatDecimal(value, c.decimals);
  }
  return std::to_string(readWhole(p, bytes));
}

bool GridModel::setCellFromText(int row, std::size_t column, std::string_view text) {
  const res::GridColumn& c = columns_[column];
  std::uint8_t* p = rowData(row) + offsets_[column];
  std::size_t bytes = c.rowBytes();
  if (c.valueType == kTextColumn) {
    std::memset(p, 0, bytes);
    if (bytes) std::memcpy(p, text.data(), std::min(text.size(), bytes - 1));
    return true;
  }
  if (c.valueType == kDecimalColumn) {
    auto value = parseDecimal(text);
    if (!value) return false;
    std::memcpy(p, &*value, sizeof *value);
    return true;
  }
  auto value = parseWhole(text);
  if (!value || !wholeFits(*value, bytes)) return false;
  writeUnsigned(p, bytes, static_cast<std::uint32_t>(*value));
  return true;
}

void GridModel::setCellValue(int row, std::size_t column, const void* value) {
  const res::GridColumn& c = columns_[column];
  std::uint8_t* p = rowData(row) + offsets_[column];
  std::size_t bytes = c.rowBytes();
  if (c.valueType == kTextColumn) {
    const char* text = static_cast<const char*>(value);
    std::memset(p, 0, bytes);
    if (bytes) std::memcpy(p, text, strnlen(text, bytes - 1));
  } else if (c.valueType == kDecimalColumn) {
    std::memcpy(p, value, sizeof(double));
  } else {
    std::int32_t whole;
    std::memcpy(&whole, value, sizeof whole);
    writeUnsigned(p, bytes, static_cast<std::uint32_t>(whole));
  }
}

const void* GridModel::cellValue(int row, std::size_t column) {
  const res::GridColumn& c = columns_[column];
  const std::uint8_t* p = rowData(row) + offsets_[column];
  std::size_t bytes = c.rowBytes();
  std::vector<std::uint8_t>& out = scratch_[nextScratch_];
  nextScratch_ = (nextScratch_ + 1) % std::size(scratch_);
  if (c.valueType == kTextColumn) {
    out.assign(bytes + 1, 0);
    std::memcpy(out.data(), p, bytes);
  } else if (c.valueType == kDecimalColumn) {
    out.assign(p, p + sizeof(double));
  } else {
    std::int32_t whole = readWhole(p, bytes);
    out.assign(sizeof whole, 0);
    std::memcpy(out.data(), &whole, sizeof whole);
  }
  return out.data();
}

// ---- On-demand filling -------------------------------------------------------

std::optional<int> GridModel::fillStart(int row, int page) const {
  if (fill_ || !validRow(row) || supplied(row)) return std::nullopt;
  int first = row - row % page;
  while (first < row && supplied(first)) ++first;
  return first;
}

void GridModel::beginFill(HWND grid, UINT id, int first, int page) {
  int count = std::min(page, rowCount() - first);
  fill_ = Fill{first, count, first};
  request_ =
      GridFillRequest{grid,  id, static_cast<std::uint32_t>(rowCount()), GN_ROWSNEEDED, first,
                      first, 1,  static_cast<std::uint32_t>(count)};
}

void GridModel::endFill() {
  if (!fill_) return;
  // Rows that the callback left out stay blank rather than being asked
  // for again and again.
  for (int row = fill_->first; row < fill_->first + fill_->count && validRow(row); ++row)
    rows_[storageIndex(row)].supplied = true;
  fill_.reset();
}

// ---- Windows that hold a model --------------------------------------------

GridHolder::GridHolder(const GridCreateParams* params)
    : model(params ? params->layout : nullptr),
      dialog(params ? params->dialog : 0),
      id(params ? params->id : 0),
      rowsNeeded(params ? params->rowsNeeded : nullptr) {}

GridHolder* holderOf(HWND window) {
  win::Window* w = win::find(window);
  return w ? win::stateAs<GridHolder>(w->data.get()) : nullptr;
}

bool supplyRows(HWND window, int first, int count, int page) {
  // In 64 bits: the last row a person can name plus one is no int.
  const std::int64_t end = std::int64_t{first} + count;
  for (int row = std::max(first, 0); row < end; ++row) {
    GridHolder* h = holderOf(window);
    if (!h) return false;
    if (!h->model.validRow(row)) break;
    auto start = h->model.fillStart(row, page);
    if (!start) continue;
    h->model.beginFill(window, h->id, *start, page);
    if (DialogHandler callback = h->rowsNeeded) {
      callback(h->dialog, WM_COMMAND, h->id, window, GN_ROWSNEEDED, 0);
      h = holderOf(window);
      if (!h) return false;
    }
    h->model.endFill();
  }
  return holderOf(window) != nullptr;
}

bool supplyRow(HWND window, int row) { return supplyRows(window, row, 1); }

bool supplyRowAlone(HWND window, int row) { return supplyRows(window, row, 1, 1); }

bool supplyAll(HWND window) {
  GridHolder* h = holderOf(window);
  return h && supplyRows(window, 0, h->model.rowCount());
}

namespace {

int resolveRow(const GridModel& model, int row) { return row == -1 ? model.currentRow() : row; }

LRESULT copyRow(HWND window, int row, LPARAM buffer) {
  if (!supplyRow(window, row)) return -1;
  GridHolder* h = holderOf(window);
  if (!h->model.validRow(row) || !buffer) return -1;
  std::memcpy(reinterpret_cast<void*>(buffer), h->model.rowData(row), h->model.rowBytes());
  return 0;
}

LRESULT copyCellText(HWND window, int column, int row, LPARAM buffer) {
  if (!supplyRow(window, row)) return -1;
  GridHolder* h = holderOf(window);
  if (!h->model.validRow(row) || column < 0 ||
      static_cast<std::size_t>(column) >= h->model.columns().size())
    return -1;
  std::string text = h->model.cellText(row, static_cast<std::size_t>(column));
  if (buffer) std::memcpy(reinterpret_cast<char*>(buffer), text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

}  // namespace

std::optional<LRESULT> handleRowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        LPARAM fifth) {
  GridHolder* h = holderOf(window);
  if (!h) return std::nullopt;
  GridModel& m = h->model;
  int row = rowParam(lParam);
  switch (message) {
    case GM_CLEAR:
      m.clear();
      return 0;
    case GM_ROWCOUNT:
      return m.rowCount();
    case GM_CURRENTROW:
      return m.currentRow();
    case GM_ADDROW:
      return m.append(reinterpret_cast<const void*>(lParam), wParam == 1);
    case GM_DELETEROW:
      return m.remove(resolveRow(m, row)) ? 0 : -1;
    case GM_SETROW:
      return m.replace(resolveRow(m, row), reinterpret_cast<const void*>(fifth)) ? 0 : -1;
    case GM_GETROW:
      return copyRow(window, resolveRow(m, row), fifth);
    case GM_GETCELLTEXT:
      return copyCellText(window, static_cast<int>(wParam), resolveRow(m, row), fifth);
    case GM_ROWSUPPLIED:
      return m.markSupplied(resolveRow(m, row), static_cast<std::uint32_t>(fifth)) ? 0 : -1;
    case GM_FILLREQUEST:
      return reinterpret_cast<LRESULT>(m.fillRequest());
    case GM_ROWSONDEMAND:
      return m.holdOnDemand(row) ? 0 : -1;
    case GM_OPENLEVEL:
      return m.openLevel(resolveRow(m, row)) ? 1 : 0;
    case GM_MARKROW:
      return m.setMarked(resolveRow(m, row), wParam != 0) ? 0 : -1;
    case GM_COLUMNWIDTH:
      return m.setColumnWidth(wParam, row);
    default:
      return std::nullopt;
  }
}

void notifyDialog(HWND control, HWND dialog, UINT id, WORD code) {
  HWND target = dialog;
  if (!target)
    if (win::Window* w = win::find(control)) target = w->parent;
  if (target)
    win::send(target, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), code),
              static_cast<LPARAM>(control));
}

}  // namespace vx70::engine
