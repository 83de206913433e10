// Text in the Windows code page.  The module, the engine's value buffers,
// the window texts and the records hold Windows-1252 bytes, as the
// package does on Windows; the front ends speak UTF-8.  Every text that
// crosses between the two goes through these functions (the C library's
// iconv), at the boundary and nowhere else: script and HTTP text going in,
// event JSON and printed records going out.  File paths are the file
// system's bytes and are never converted.  See docs/architecture.md.
//
// May use: nothing of the project.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vx70::codepage {

// A UTF-8 text that the code page cannot take; the message says why.
class TextError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Code-page text as UTF-8.  Every byte has a character: the five bytes
// that Windows-1252 leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) give
// their C1 control characters, as Windows' own conversion does.
std::string toUtf8(std::string_view text);

// UTF-8 text in the code page, one byte a character (the C1 controls of
// the five unassigned bytes included).  Throws TextError for text that is
// not UTF-8 or that holds a character the code page has no place for,
// naming that character.
std::string fromUtf8(std::string_view text);

bool isUtf8(std::string_view text);
// The text with every byte that is not part of valid UTF-8 replaced by
// U+FFFD: for texts of no known code page (a file name).
std::string validUtf8(std::string_view text);

// Every string of the value (not the keys) converted by toUtf8: for JSON
// whose texts all come from windows or records.
void jsonToUtf8(nlohmann::json& value);
// Every string of the value made valid UTF-8 by validUtf8.
void jsonValidUtf8(nlohmann::json& value);

}  // namespace vx70::codepage
