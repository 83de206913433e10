#include "tests/support/res_fixture.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>

namespace vx70::test {

const res::ModuleResources& Resources() {
  static const std::vector<std::uint8_t> image = res::readFile(VX70_RES_PATH);
  static const res::ModuleResources resources{image};
  return resources;
}

bool SameClass(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

namespace {

// Win32 style bits, written out here so that the tests do not share the
// resource scripts' own definitions.
constexpr std::uint32_t kWsVisible = 0x10000000;
constexpr std::uint32_t kWsDisabled = 0x08000000;
constexpr std::uint32_t kWsGroup = 0x00020000;
constexpr std::uint32_t kButtonType = 0x000F;
constexpr std::uint32_t kBsPushButton = 0x0000;
constexpr std::uint32_t kBsDefPushButton = 0x0001;
constexpr std::uint32_t kBsAutoCheckBox = 0x0003;
constexpr std::uint32_t kBsGroupBox = 0x0007;
constexpr std::uint32_t kBsAutoRadioButton = 0x0009;
constexpr std::uint32_t kComboType = 0x0003;
constexpr std::uint32_t kCbsDropDownList = 0x0003;
constexpr std::uint32_t kEsUpperCase = 0x0008;
constexpr std::uint32_t kEsPassword = 0x0020;

constexpr unsigned kButtonKinds =
    kCheckBox | kRadio | kFirstRadio | kGroup | kPushButton | kDefaultButton;

void ExpectControl(const ControlSpec& c) {
  SCOPED_TRACE(testing::Message() << "control " << c.dialog << "/" << c.id);
  const auto dlg = Resources().dialog(c.dialog);
  ASSERT_TRUE(dlg) << "no template " << c.dialog;
  EXPECT_EQ(std::count_if(dlg->items.begin(), dlg->items.end(),
                          [&](const res::DialogItem& i) { return i.id == c.id; }),
            1);
  const res::DialogItem* item = dlg->item(c.id);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(SameClass(item->className, c.cls)) << item->className;
  if (c.caption) {
    EXPECT_EQ(item->text, c.caption);
  }
  ExpectStyle(*item, c.kinds);
}

}  // namespace

void ExpectStyle(const res::DialogItem& item, unsigned kinds) {
  const std::uint32_t style = item.style;
  EXPECT_EQ((style & kWsVisible) == 0, (kinds & kHidden) != 0) << "visibility";
  EXPECT_EQ((style & kWsDisabled) != 0, (kinds & kDisabled) != 0) << "disabled state";

  const bool button = SameClass(item.className, "BUTTON");
  const std::uint32_t type = style & kButtonType;
  if (kinds & kButtonKinds) {
    EXPECT_TRUE(button) << "a button kind for a " << item.className;
  }
  if (kinds & kDropDownList) {
    EXPECT_TRUE(SameClass(item.className, "COMBOBOX"))
        << "a combo box kind for a " << item.className;
    EXPECT_EQ(style & kComboType, kCbsDropDownList) << "drop-down list";
  }
  if (kinds & kCheckBox) {
    EXPECT_EQ(type, kBsAutoCheckBox) << "automatic check box";
  }
  if (kinds & (kRadio | kFirstRadio)) {
    EXPECT_EQ(type, kBsAutoRadioButton) << "automatic radio button";
    EXPECT_EQ((style & kWsGroup) != 0, (kinds & kFirstRadio) != 0) << "start of a radio group";
  }
  if (kinds & kGroup) {
    EXPECT_EQ(type, kBsGroupBox) << "group box";
  }
  if (kinds & kPushButton) {
    EXPECT_EQ(type, kBsPushButton) << "push button";
  }
  if (kinds & kDefaultButton) {
    EXPECT_EQ(type, kBsDefPushButton) << "default push button";
  }
  // A button of no listed kind is a push button, or a group box of no
  // identifier of its own.
  if (button && !(kinds & kButtonKinds)) {
    EXPECT_TRUE(type == kBsPushButton || type == kBsDefPushButton ||
                (type == kBsGroupBox && item.id >= 0xFFFF))
        << "button type " << type;
  }
  // A standard edit masks and raises its input exactly as its kinds say.
  const bool edit = SameClass(item.className, "EDIT");
  if (edit || (kinds & kPassword)) {
    EXPECT_EQ((style & kEsPassword) != 0, (kinds & kPassword) != 0) << "password";
  }
  if (edit || (kinds & kUpperCase)) {
    EXPECT_EQ((style & kEsUpperCase) != 0, (kinds & kUpperCase) != 0) << "upper case";
  }
}

void ExpectControls(std::span<const ControlSpec> controls) {
  for (const ControlSpec& c : controls) ExpectControl(c);
}

void ExpectControls(std::span<const ControlGroup> groups) {
  for (const ControlGroup& g : groups)
    for (std::uint16_t id : g.ids) ExpectControl({g.dialog, id, g.cls, nullptr, g.kinds});
}

void ExpectEntries(std::span<const EntryGroup> groups) {
  for (const EntryGroup& g : groups) {
    const auto list = Resources().centry(g.centry);
    ASSERT_TRUE(list) << "no CENTRY " << g.centry;
    for (std::uint16_t id : g.ids) {
      SCOPED_TRACE(testing::Message() << "CENTRY " << g.centry << " entry " << id);
      const res::CEntry* e = list->find(id);
      ASSERT_NE(e, nullptr);
      EXPECT_EQ(e->type, g.type);
      EXPECT_EQ(e->storage, g.storage);
      if (g.length != kAnyLength) EXPECT_EQ(e->length, g.length);
      EXPECT_EQ(e->link1, 0);
      EXPECT_EQ(e->link2, 0);
      EXPECT_EQ(e->rowsNeeded, 0);
      EXPECT_EQ(e->startUp, 0);
    }
  }
}

}  // namespace vx70::test
