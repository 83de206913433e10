// The Windows code page at the boundary: every byte survives the way out
// and back, and what the code page cannot hold is refused, never mangled.
#include "host/codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

namespace cp = vx70::codepage;

TEST(CodePage, EveryByteHasItsWindowsCharacterAndComesBack) {
  const struct {
    const char* codePage;
    const char* utf8;
  } cases[] = {
      {"Caf\xE9 \xA3\x35", "Caf\u00e9 \u00a35"},
      {"\x80 \x9C \xFF", "\u20ac \u0153 \u00ff"},
      {"\x81\x8D\x8F\x90\x9D", "\u0081\u008d\u008f\u0090\u009d"},  // unassigned: C1 controls
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cp::toUtf8(c.codePage), c.utf8);
    EXPECT_EQ(cp::fromUtf8(c.utf8), c.codePage);
  }
  for (int byte = 1; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    EXPECT_EQ(cp::fromUtf8(cp::toUtf8(text)), text) << byte;
  }
}

TEST(CodePage, TextTheCodePageCannotHoldIsRefused) {
  const struct {
    const char* utf8;
    bool utf8Valid;
    const char* why;
  } cases[] = {
      {"a\u4e2db", true, "U+4E2D"},          // no place in the code page
      {"\u0080", true, "U+0080"},            // a C1 control that 0x80 (the euro) does not give
      {"Caf\xE9", false, "not UTF-8"},       // code-page bytes sent as they are
      {"ab\xC3", false, "not UTF-8"},        // a character cut in half
      {"\xED\xA0\x80", false, "not UTF-8"},  // a lone surrogate
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(cp::isUtf8(c.utf8), c.utf8Valid);
    try {
      cp::fromUtf8(c.utf8);
      ADD_FAILURE() << "taken";
    } catch (const cp::TextError& e) {
      EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(cp::validUtf8("a\xE9-\xC3"), "a\uFFFD-\uFFFD");
}

}  // namespace
