// The resource reader on damaged input: every truncation and corruption of
// the real resources gives a ResourceError naming the resource, never a
// crash or a read past the data (the sanitizer build checks the latter;
// tests/fuzz/resource_reader_fuzz corrupts them at random).
#include <gtest/gtest.h>

#include <initializer_list>

#include "frame/res/ids_codes.h"
#include "frame/res/ids_company.h"
#include "tests/support/res_fixture.h"

namespace vx70::test {
namespace {

using res::Bytes;
using res::ResourceError;

// Parses one resource by its type, as the engine would.
void parseAny(const res::Resource& r, Bytes data) {
  std::uint16_t id = r.name.ordinal;
  std::string type = r.type.str();
  if (type == "5") res::parseDialog(data, id);
  if (type == "DENTRY") res::parseDEntry(data, id);
  if (type == "CENTRY") res::parseCEntry(data, id);
  if (type == "MENTRY") res::parseMEntry(data, id);
  if (type == "TENTRY") res::parseTEntry(data, id);
  if (type == "GRID") res::parseGrid(data, id);
  if (type == "GRIDBITMAP") res::parseGridBitmap(data, id);
}

bool isDescription(const res::Resource& r) {
  static const std::set<std::string> types = {"5",      "DENTRY", "CENTRY",    "MENTRY",
                                              "TENTRY", "GRID",   "GRIDBITMAP"};
  return types.count(r.type.str()) > 0;
}

std::string expectedName(const res::Resource& r) {
  return (r.type.str() == "5" ? std::string("DIALOG") : r.type.str()) + " " +
         std::to_string(r.name.ordinal);
}

TEST(ResourceReader, EveryTruncationIsRefusedByName) {
  for (const auto& r : Resources().file().all()) {
    if (!isDescription(r)) continue;
    for (std::size_t cut = 0; cut < r.data.size(); ++cut) {
      Bytes prefix = r.data.first(cut);
      try {
        parseAny(r, prefix);
        // A cut inside the zero tail after a terminator still holds the
        // whole list; any other cut must be refused.
        bool tailOnly = std::all_of(r.data.begin() + static_cast<std::ptrdiff_t>(cut), r.data.end(),
                                    [](std::uint8_t b) { return b == 0; });
        EXPECT_TRUE(tailOnly && cut > 0) << expectedName(r) << " cut at " << cut;
      } catch (const ResourceError& e) {
        EXPECT_NE(std::string(e.what()).find(expectedName(r)), std::string::npos) << e.what();
      }
    }
  }
}

TEST(ResourceReader, TruncatedImageIsRefused) {
  std::vector<std::uint8_t> image = res::readFile(VX70_RES_PATH);
  ASSERT_GT(image.size(), 64u);
  std::size_t refused = 0;
  for (std::size_t cut = 1; cut < image.size(); cut += 7) {
    try {
      res::ResourceFile::parse(Bytes(image.data(), cut));
    } catch (const ResourceError& e) {
      ++refused;
      EXPECT_NE(std::string(e.what()).find("resource"), std::string::npos);
    }
  }
  EXPECT_GT(refused, 0u);
}

TEST(ResourceReader, ForeignBytesAreNoResourceFile) {
  const std::uint8_t elf[] = {0x7F, 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_THROW(res::ResourceFile::parse(elf), ResourceError);
  std::vector<std::uint8_t> huge(32, 0);
  huge[0] = 0xFF;  // a data size far beyond the image
  huge[1] = 0xFF;
  huge[4] = 32;
  EXPECT_THROW(res::ResourceFile::parse(huge), ResourceError);
}

TEST(ResourceReader, DataAfterATerminatorIsDamage) {
  const std::uint8_t centry[] = {0, 0, 0, 0, 7, 0};
  try {
    res::parseCEntry(centry, 42);
    FAIL();
  } catch (const ResourceError& e) {
    EXPECT_NE(std::string(e.what()).find("CENTRY 42"), std::string::npos);
  }
  const std::uint8_t dentry[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_THROW(res::parseDEntry(dentry, 42), ResourceError);
}

TEST(ResourceReader, HiddenLastColumnWithOrWithoutTheSpareByte) {
  for (std::uint16_t id : {IDR_TAX_CODES_GRID, IDR_FINANCE_RATES_GRID, IDR_ACCOUNT_STATUS_GRID}) {
    const res::Resource* r = Resources().file().find("GRID", id);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->data.back(), 0);
    res::Grid with = res::parseGrid(r->data, id);
    res::Grid without = res::parseGrid(r->data.first(r->data.size() - 1), id);
    EXPECT_TRUE(with.spareByte);
    EXPECT_FALSE(without.spareByte);
    ASSERT_EQ(with.columns.size(), without.columns.size());
    for (std::size_t i = 0; i < with.columns.size(); ++i) {
      EXPECT_EQ(with.columns[i].heading, without.columns[i].heading);
      EXPECT_EQ(with.columns[i].length, without.columns[i].length);
    }
  }
}

// A DIALOGEX template, laid out by hand: header, menu, class, title, font,
// then one item on a DWORD boundary.
TEST(ResourceReader, ExtendedDialogTemplate) {
  std::vector<std::uint8_t> t;
  auto words = [&](std::initializer_list<std::uint16_t> values) {
    for (std::uint16_t v : values) t.insert(t.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
  };
  auto text = [&](const char* s) {
    while (*s) words({static_cast<unsigned char>(*s++)});
    words({0});
  };
  // Version 1, signature, help id, extended style, style with DS_SETFONT,
  // one item at 10,20 sized 200x100, no menu, the default class.
  words({1, 0xFFFF, 0, 0, 0, 0, 0x00C0, 0x90C8, 1, 10, 20, 200, 100, 0, 0});
  text("Extended");
  words({8, 400, 0x0100});  // point size, weight, not italic, charset 1
  text("MS Sans Serif");
  while (t.size() % 4) t.push_back(0);
  // Help id, extended style, an automatic check box at 5,6 sized 70x10,
  // id 1998, class BUTTON by ordinal.
  words({0, 0, 0, 0, 0x0003, 0x5001, 5, 6, 70, 10, 1998, 0, 0xFFFF, 0x0080});
  text("&Print");
  words({0});  // no creation data

  res::DialogTemplate d = res::parseDialog(t, 42);
  EXPECT_TRUE(d.extended);
  EXPECT_EQ(d.title, "Extended");
  EXPECT_EQ(d.font, "MS Sans Serif");
  EXPECT_EQ(d.pointSize, 8);
  EXPECT_EQ(d.weight, 400);
  ASSERT_EQ(d.items.size(), 1u);
  EXPECT_EQ(d.items[0].id, 1998u);
  EXPECT_EQ(d.items[0].className, "BUTTON");
  EXPECT_EQ(d.items[0].text, "&Print");
  EXPECT_EQ(d.items[0].cx, 70);

  for (std::size_t cut = 0; cut < t.size(); ++cut)
    EXPECT_THROW(res::parseDialog(Bytes(t.data(), cut), 42), ResourceError) << cut;
}

TEST(ResourceReader, FindsWhateverTheLanguage) {
  // Financial Year is stored in English (United States), Company
  // Preferences in English (United Kingdom); the engine asks for neither.
  EXPECT_TRUE(Resources().dialog(IDD_FINANCIAL_YEAR));
  EXPECT_TRUE(Resources().dialog(IDD_COMPANY_PREFS));
  EXPECT_TRUE(Resources().file().find("dentry", IDD_FINANCIAL_YEAR)) << "type names ignore case";
  EXPECT_FALSE(Resources().dialog(3631)) << "no dialog has this number";
}

}  // namespace
}  // namespace vx70::test
