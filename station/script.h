// The command language of a scripted station: one command a line, tokens
// separated by blanks, `#` starting a comment, double-quoted strings with
// C escapes (\n, \t, \", \\, \xHH, octal).  A script is UTF-8 text; an
// escape gives one byte of it.
#pragma once

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

namespace vx70::script {

struct Token {
  std::string text;
  bool quoted = false;  // "cancel" in quotes is a text, not the word cancel
};

struct Command {
  int line = 0;
  std::vector<Token> tokens;  // tokens[0] is the command word
  bool empty() const { return tokens.empty(); }
  const std::string& word() const { return tokens.front().text; }
};

class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// Splits one line; throws ScriptError on an unterminated string, a bad
// escape, or a line (or a quoted text with its escapes read) that is not
// UTF-8.  Tokens stay UTF-8: the commands that hand text to the module
// convert it to the Windows code page (textArg).
Command parseCommand(const std::string& text, int line);

// The largest dialog, control or column identifier (a 16-bit word) and
// the largest row or index (a grid counts rows in an int).
inline constexpr unsigned long kMaxIdentifier = 0xFFFF;
inline constexpr unsigned long kMaxRow = INT_MAX;

// A command's arguments, each checked with a ScriptError that names the
// command: between min and max of them; argument i as a number (decimal,
// 0x hexadecimal or 0 octal, no sign) of at most `max`, `what` naming it;
// argument i as the bare (unquoted) word.
void expectArgs(const Command& c, std::size_t min, std::size_t max);
unsigned long parseNumber(const Command& c, std::size_t i, const char* what,
                          unsigned long max = UINT_MAX);
bool isWord(const Command& c, std::size_t i, const char* word);
// Argument i as text in the Windows code page, refused with a ScriptError
// that names a character the code page cannot hold.
std::string textArg(const Command& c, std::size_t i);

}  // namespace vx70::script
