// The module's compiled resources (build/frame/vx70def.res), parsed once
// for every resource test, and the checks of the controls and value
// entries that the dialogs name.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "host/loader/resources.h"

namespace vx70::test {

const res::ModuleResources& Resources();

// Window class names compare without regard to case, as Windows does.
bool SameClass(const std::string& a, const std::string& b);

// What a named control is, beyond its class and caption.  A control is
// expected visible unless kHidden and enabled unless kDisabled; a standard
// EDIT is expected to mask and to raise its input exactly when kPassword and
// kUpperCase say so, and a radio button to start its group exactly when
// kFirstRadio.  A BUTTON's or COMBOBOX's type is checked where a kind names
// it and left open otherwise.
enum ControlKind : unsigned {
  kCheckBox = 1u << 0,       // BUTTON, BS_AUTOCHECKBOX
  kRadio = 1u << 1,          // BUTTON, BS_AUTORADIOBUTTON, not WS_GROUP
  kFirstRadio = 1u << 2,     // BUTTON, BS_AUTORADIOBUTTON with WS_GROUP: a group's first
  kGroup = 1u << 3,          // a group box: BUTTON, BS_GROUPBOX
  kPushButton = 1u << 4,     // BUTTON, BS_PUSHBUTTON
  kDefaultButton = 1u << 5,  // BUTTON, BS_DEFPUSHBUTTON
  kDropDownList = 1u << 6,   // COMBOBOX, CBS_DROPDOWNLIST
  kDisabled = 1u << 7,       // WS_DISABLED
  kHidden = 1u << 8,         // no WS_VISIBLE
  kPassword = 1u << 9,       // EDIT, ES_PASSWORD
  kUpperCase = 1u << 10,     // EDIT, ES_UPPERCASE
};

// A control that a dialog names: the one item of that identifier in the
// template, of that class (compared as SameClass does) and caption.
struct ControlSpec {
  std::uint16_t dialog;
  std::uint16_t id;
  const char* cls;
  const char* caption;  // nullptr: not fixed (edits, combos, grids ...)
  unsigned kinds;       // ControlKind flags; 0 for a plain, visible, enabled control
};

// Checks a template item's style against its kinds (0: a plain, visible,
// enabled control; a BUTTON then a push button or an unnamed group box).
void ExpectStyle(const res::DialogItem& item, unsigned kinds);

// Checks every control against its dialog template; a failure names the
// dialog and the identifier.
void ExpectControls(std::span<const ControlSpec> controls);

// Controls of one class and kind on a dialog whose captions are not fixed.
struct ControlGroup {
  std::uint16_t dialog;
  const char* cls;
  unsigned kinds;
  std::vector<std::uint16_t> ids;
};
void ExpectControls(std::span<const ControlGroup> groups);

// Entries of one shape in a CENTRY: each of ids has this type, storage and
// length (kAnyLength: not fixed) and links to nothing.
inline constexpr int kAnyLength = -1;
struct EntryGroup {
  std::uint16_t centry, type, storage;
  int length;
  std::vector<std::uint16_t> ids;
};
void ExpectEntries(std::span<const EntryGroup> groups);

}  // namespace vx70::test
