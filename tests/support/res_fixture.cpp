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
  const std::uint32_t style = item->style;
  EXPECT_EQ((style & kWsVisible) == 0, (c.kinds & kHidden) != 0) << "visibility";
  EXPECT_EQ((style & kWsDisabled) != 0, (c.kinds & kDisabled) != 0) << "disabled state";

  // A kind that names a window type belongs to a control of that class.
  if (c.kinds & kButtonKinds) {
    EXPECT_TRUE(SameClass(c.cls, "BUTTON")) << "a button kind for a " << c.cls;
  }
  if (c.kinds & kDropDownList) {
    EXPECT_TRUE(SameClass(c.cls, "COMBOBOX")) << "a combo box kind for a " << c.cls;
  }
  if (c.kinds & (kPassword | kUpperCase)) {
    EXPECT_TRUE(SameClass(c.cls, "EDIT")) << "an edit kind for a " << c.cls;
  }

  const std::uint32_t button = style & kButtonType;
  if (c.kinds & kCheckBox) {
    EXPECT_EQ(button, kBsAutoCheckBox) << "automatic check box";
  }
  if (c.kinds & (kRadio | kFirstRadio)) {
    EXPECT_EQ(button, kBsAutoRadioButton) << "automatic radio button";
    EXPECT_EQ((style & kWsGroup) != 0, (c.kinds & kFirstRadio) != 0) << "start of a radio group";
  }
  if (c.kinds & kGroup) {
    EXPECT_EQ(button, kBsGroupBox) << "group box";
  }
  if (c.kinds & kPushButton) {
    EXPECT_EQ(button, kBsPushButton) << "push button";
  }
  if (c.kinds & kDefaultButton) {
    EXPECT_EQ(button, kBsDefPushButton) << "default push button";
  }
  if (c.kinds & kDropDownList) {
    EXPECT_EQ(style & kComboType, kCbsDropDownList) << "drop-down list";
  }
  // A standard edit masks and raises its input exactly as its kinds say.
  const bool edit = SameClass(item->className, "EDIT");
  if (edit || (c.kinds & kPassword)) {
    EXPECT_EQ((style & kEsPassword) != 0, (c.kinds & kPassword) != 0) << "password";
  }
  if (edit || (c.kinds & kUpperCase)) {
    EXPECT_EQ((style & kEsUpperCase) != 0, (c.kinds & kUpperCase) != 0) << "upper case";
  }
}

}  // namespace

void ExpectControls(std::span<const ControlSpec> controls) {
  for (const ControlSpec& c : controls) ExpectControl(c);
}

}  // namespace vx70::test
