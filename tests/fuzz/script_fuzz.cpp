// libFuzzer target for the drive-script parser: every line of the input is
// parsed as a command.  A line either parses or is refused with a
// ScriptError for its own line number; a parsed command, written back with
// every quoted token escaped, parses to the same tokens; a number argument
// that is taken is plain digits (no sign, no blanks) within its bound.
#include <cctype>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "station/script.h"

namespace {

using namespace vx70::script;

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The token as a script would spell it: bare words as they are, quoted
// texts with every byte outside printable ASCII (and '"', '\\') escaped,
// alternately in octal and hexadecimal so that both escapes are read.
std::string spelled(const Token& token) {
  if (!token.quoted) return token.text;
  std::string out = "\"";
  bool octal = false;
  for (const char c : token.text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      out += c;
      continue;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, octal ? "\\%03o" : "\\x%02x", byte);
    out += escape;
    octal = !octal;
  }
  return out + "\"";
}

void checkTokens(const Command& command) {
  for (const Token& token : command.tokens) {
    if (token.quoted) continue;
    require(!token.text.empty(), "a bare token is empty");
    require(token.text[0] != '#' && token.text[0] != '"', "a bare token starts a comment or text");
    for (const char c : token.text) require(!isBlank(c), "a bare token holds a blank");
  }
}

void checkRespelled(const Command& command) {
  std::string line;
  for (const Token& token : command.tokens) line += spelled(token) + " ";
  Command again;
  try {
    again = parseCommand(line, command.line);
  } catch (const ScriptError&) {
    require(false, "a respelled line is refused");
  }
  require(again.tokens.size() == command.tokens.size(), "respelled: token count differs");
  for (std::size_t i = 0; i < again.tokens.size(); ++i) {
    require(again.tokens[i].text == command.tokens[i].text, "respelled: text differs");
    require(again.tokens[i].quoted == command.tokens[i].quoted, "respelled: quoting differs");
  }
}

// Decimal, octal (leading 0) or 0x hexadecimal digits and nothing else.
bool plainNumber(const std::string& text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  if (digits.empty()) return false;
  for (const char c : digits) {
    const auto byte = static_cast<unsigned char>(c);
    if (hex ? !std::isxdigit(byte) : !std::isdigit(byte)) return false;
  }
  return true;
}

void checkArguments(const Command& command, unsigned long bound) {
  for (std::size_t i = 1; i < command.tokens.size(); ++i) {
    try {
      const unsigned long value = parseNumber(command, i, "argument", bound);
      require(value <= bound, "a number past its bound is taken");
      require(plainNumber(command.tokens[i].text), "a number with a sign or blank is taken");
    } catch (const ScriptError& e) {
      require(e.line() == command.line, "a refused number names another line");
    }
    try {
      (void)textArg(command, i);
    } catch (const ScriptError& e) {
      require(e.line() == command.line, "a refused text names another line");
    }
  }
}

void checkLine(const std::string& text, int line, unsigned long bound) {
  Command command;
  try {
    command = parseCommand(text, line);
  } catch (const ScriptError& e) {
    require(e.line() == line, "a refused line names another line");
    return;
  }
  require(command.line == line, "a command carries another line");
  checkTokens(command);
  checkRespelled(command);
  checkArguments(command, bound);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string script(reinterpret_cast<const char*>(data), size);
  static const unsigned long kBounds[] = {kMaxIdentifier, kMaxRow, 9, UINT_MAX};
  int line = 1;
  for (std::size_t start = 0; start <= script.size(); ++line) {
    std::size_t end = script.find('\n', start);
    if (end == std::string::npos) end = script.size();
    checkLine(script.substr(start, end - start), line, kBounds[line % std::size(kBounds)]);
    start = end + 1;
  }
  return 0;
}
