// The resource reader on damaged input: every truncation and corruption of
// the real resources gives a ResourceError naming the resource, never a
// crash or a read past the data (the sanitizer build checks the latter).
#include <gtest/gtest.h>

#include <random>

#include "frame/res/ids_codes.h"
#include "frame/res/ids_company.h"
#include "frame/res/ids_strings.h"
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

TEST(ResourceReader, CorruptedBytesNeverCrash) {
  std::mt19937 rng(1967);
  std::size_t refused = 0;
  for (const auto& r : Resources().file().all()) {
    if (!isDescription(r) || r.data.empty()) continue;
    std::vector<std::uint8_t> copy(r.data.begin(), r.data.end());
    for (int round = 0; round < 50; ++round) {
      copy.assign(r.data.begin(), r.data.end());
      for (int k = 0; k < 3; ++k) copy[rng() % copy.size()] = static_cast<std::uint8_t>(rng());
      try {
        parseAny(r, copy);
      } catch (const ResourceError&) {
        ++refused;
      }
    }
  }
  EXPECT_GT(refused, 0u);
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
  auto w16 = [&](std::uint16_t v) {
    t.push_back(static_cast<std::uint8_t>(v));
    t.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  auto w32 = [&](std::uint32_t v) {
    w16(static_cast<std::uint16_t>(v));
    w16(static_cast<std::uint16_t>(v >> 16));
  };
  auto wstr = [&](const char* s) {
    while (*s) w16(static_cast<unsigned char>(*s++));
    w16(0);
  };
  w16(1);
  w16(0xFFFF);
  w32(0);           // help id
  w32(0);           // extended style
  w32(0x90C800C0);  // style, with DS_SETFONT
  w16(1);           // one item
  w16(10);
  w16(20);
  w16(200);
  w16(100);
  w16(0);  // no menu
  w16(0);  // default class
  wstr("Extended");
  w16(8);
  w16(400);
  t.push_back(0);  // italic
  t.push_back(1);  // charset
  wstr("MS Sans Serif");
  while (t.size() % 4) t.push_back(0);
  w32(0);           // help id
  w32(0);           // extended style
  w32(0x50010003);  // an automatic check box
  w16(5);
  w16(6);
  w16(70);
  w16(10);
  w32(1998);
  w16(0xFFFF);
  w16(0x0080);  // BUTTON
  wstr("&Print");
  w16(0);  // no creation data

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

TEST(ResourceReader, MissingAndEmptyStringsDiffer) {
  EXPECT_EQ(Resources().string(IDS_INI_SECTION), "VX70");
  EXPECT_EQ(Resources().string(IDS_EMPTY), "");
  EXPECT_FALSE(Resources().string(65000));
}

}  // namespace
}  // namespace vx70::test
