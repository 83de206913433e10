// RunReport: the report printer.  A layout names the report and how its
// data file's lines are laid out; the printer draws them with cairo onto
// A4 pages of a PDF document, a header (title, company, program date,
// column headings) and a footer ("Page n of N") on every page, long
// settings wrapped within their column.
#include "host/package/report_printer.h"

#include <cairo/cairo-pdf.h>
#include <cairo/cairo.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "api/host_api.h"
#include "host/codepage.h"
#include "host/events.h"

namespace vx70::package {
namespace {

// A4 in points, and where things stand on it.
constexpr double kPageWidth = 595.28;
constexpr double kPageHeight = 841.89;
constexpr double kMargin = 50;
constexpr double kSettingsX = kMargin + 170;
constexpr double kHeaderRuleY = kMargin + 46;
constexpr double kColumnHeadingsY = kMargin + 64;
constexpr double kBodyTopY = kMargin + 84;
constexpr double kFooterY = kPageHeight - kMargin + 10;
constexpr double kBodyBottomY = kFooterY - 24;
constexpr double kLineHeight = 13;
constexpr double kTitleSize = 16;
constexpr double kTextSize = 10;
constexpr const char* kFont = "sans-serif";

struct Layout {
  const char* name;
  const char* title;
  const char* propertyHeading;
  const char* settingsHeading;
};

// The layouts this printer knows: each data line is "Property: Settings".
constexpr Layout kLayouts[] = {
    {"SYSINFO.SRT", "System Information", "Property", "Settings"},
};

const Layout& layoutNamed(const std::string& name) {
  for (const Layout& layout : kLayouts)
    if (strcasecmp(layout.name, name.c_str()) == 0) return layout;
  throw ReportError("the report layout \"" + codepage::validUtf8(name) + "\" is not known");
}

// One line of the data file, in UTF-8.
struct Line {
  std::string property;
  std::string settings;
};

std::vector<Line> readLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ReportError("the report's data file " + path + " cannot be read");
  const std::string content{std::istreambuf_iterator<char>(in), {}};
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string_view text(content.data() + start, end - start);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    const std::size_t colon = text.find(": ");
    if (colon == std::string_view::npos)
      lines.push_back({codepage::toUtf8(text), ""});
    else
      lines.push_back(
          {codepage::toUtf8(text.substr(0, colon)), codepage::toUtf8(text.substr(colon + 2))});
    start = end + 1;
  }
  return lines;
}

// The company and the date that head every page.
std::string companyName() {
  const setupmap& setup = g_lpGlobVar->setup;
  std::string name(setup.companyName, strnlen(setup.companyName, sizeof setup.companyName));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return codepage::toUtf8(name);
}

std::string programDate() {
  char date[16] = {};
  DateNumberToFullString(date, GetProgramDate());
  return date;
}

// A new, empty PDF file of the temporary directory named after the layout.
std::string newReportPath(const Layout& layout) {
  char directory[MAX_PATH] = {};
  if (GetTempPathA(MAX_PATH, directory) == 0 || directory[0] == '\0')
    std::strcpy(directory, "/tmp/");
  std::string stem(layout.name, std::strcspn(layout.name, "."));
  std::string path = std::string(directory) + stem + "-XXXXXX.pdf";
  const int fd = ::mkstemps(path.data(), 4);
  if (fd < 0) throw ReportError("no report file can be made in " + std::string(directory));
  ::close(fd);
  return path;
}

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

double widthOf(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

// Greedy wrapping by characters (a path has no spaces to break at).
std::vector<std::string> wrapped(cairo_t* cr, const std::string& text, double width) {
  std::vector<std::string> parts{""};
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    while (i + length < text.size() && (text[i + length] & 0xC0) == 0x80) ++length;
    std::string next = parts.back() + text.substr(i, length);
    if (!parts.back().empty() && widthOf(cr, next) > width)
      parts.push_back(text.substr(i, length));
    else
      parts.back() = std::move(next);
    i += length;
  }
  return parts;
}

// A data line as drawn: the property and its settings' wrapped parts.
struct Block {
  std::string property;
  std::vector<std::string> settings;
};

// Blocks a page, a block never split unless it is longer than a page.
std::vector<std::vector<Block>> paginate(cairo_t* cr, const std::vector<Line>& lines) {
  const auto perPage = static_cast<std::size_t>((kBodyBottomY - kBodyTopY) / kLineHeight) + 1;
  std::vector<std::vector<Block>> pages(1);
  std::size_t used = 0;
  for (const Line& line : lines) {
    Block block{line.property, wrapped(cr, line.settings, kPageWidth - kMargin - kSettingsX)};
    if (block.settings.size() > perPage) block.settings.resize(perPage);
    if (used + block.settings.size() > perPage && used > 0) {
      pages.emplace_back();
      used = 0;
    }
    used += block.settings.size();
    pages.back().push_back(std::move(block));
  }
  return pages;
}

void text(cairo_t* cr, double x, double y, const std::string& s, bool bold = false,
          double size = kTextSize) {
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, s.c_str());
}

void rule(cairo_t* cr, double y) {
  cairo_set_line_width(cr, 0.5);
  cairo_move_to(cr, kMargin, y);
  cairo_line_to(cr, kPageWidth - kMargin, y);
  cairo_stroke(cr);
}

struct PageHeading {
  const Layout& layout;
  std::string company;
  std::string date;
};

void drawPage(cairo_t* cr, const PageHeading& heading, const std::vector<Block>& blocks, int page,
              int pages) {
  text(cr, kMargin, kMargin + kTitleSize, heading.layout.title, true, kTitleSize);
  text(cr, kMargin, kMargin + 36, heading.company);
  const std::string date = "Date: " + heading.date;
  text(cr, kPageWidth - kMargin - widthOf(cr, date), kMargin + 36, date);
  rule(cr, kHeaderRuleY);
  text(cr, kMargin, kColumnHeadingsY, heading.layout.propertyHeading, true);
  text(cr, kSettingsX, kColumnHeadingsY, heading.layout.settingsHeading, true);
  rule(cr, kColumnHeadingsY + 6);
  double y = kBodyTopY;
  for (const Block& block : blocks) {
    text(cr, kMargin, y, block.property);
    for (const std::string& part : block.settings) {
      text(cr, kSettingsX, y, part);
      y += kLineHeight;
    }
  }
  const std::string footer = "Page " + std::to_string(page) + " of " + std::to_string(pages);
  cairo_set_font_size(cr, kTextSize);
  text(cr, (kPageWidth - widthOf(cr, footer)) / 2, kFooterY, footer);
  cairo_show_page(cr);
}

void draw(const std::string& path, const Layout& layout, const std::vector<Line>& lines) {
  Surface surface(cairo_pdf_surface_create(path.c_str(), kPageWidth, kPageHeight),
                  &cairo_surface_destroy);
  cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, layout.title);
  cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, "vx70");
  Context cr(cairo_create(surface.get()), &cairo_destroy);
  cairo_set_source_rgb(cr.get(), 0, 0, 0);
  cairo_select_font_face(cr.get(), kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr.get(), kTextSize);
  const auto pages = paginate(cr.get(), lines);
  const PageHeading heading{layout, companyName(), programDate()};
  for (std::size_t p = 0; p < pages.size(); ++p)
    drawPage(cr.get(), heading, pages[p], static_cast<int>(p + 1), static_cast<int>(pages.size()));
  const cairo_status_t drawn = cairo_status(cr.get());
  cr.reset();
  cairo_surface_finish(surface.get());
  const cairo_status_t finished = cairo_surface_status(surface.get());
  const cairo_status_t status = drawn != CAIRO_STATUS_SUCCESS ? drawn : finished;
  if (status != CAIRO_STATUS_SUCCESS)
    throw ReportError("the report " + path +
                      " could not be written: " + cairo_status_to_string(status));
}

}  // namespace

std::string printReport(const std::string& layoutName, const std::string& dataPath) {
  const Layout& layout = layoutNamed(layoutName);
  const std::vector<Line> lines = readLines(dataPath);
  const std::string path = newReportPath(layout);
  try {
    draw(path, layout, lines);
  } catch (...) {
    ::unlink(path.c_str());
    throw;
  }
  return path;
}

}  // namespace vx70::package

// The printed document's path goes to the front end in the `report`
// event (`pdf`); a report that could not be made says why there
// (`error`) and answers FALSE.
extern "C" BOOL RunReport(HWND owner, const char* layout, const char* dataPath, UINT, UINT, UINT) {
  nlohmann::json event{{"event", "report"},
                       {"layout", layout ? layout : ""},
                       {"data", dataPath ? dataPath : ""},
                       {"owner", vx70::events::ownerOf(owner)}};
  BOOL printed = FALSE;
  try {
    event["pdf"] = vx70::package::printReport(layout ? layout : "", dataPath ? dataPath : "");
    printed = TRUE;
  } catch (const std::exception& e) {
    event["pdf"] = nullptr;
    event["error"] = e.what();
  }
  vx70::events::tell(event);
  return printed;
}
