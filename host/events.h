// The host's one way up to the front end.  Every layer below the station
// reports what a person would see through this interface and asks its
// questions through it (message boxes, the edit box, the file and colour
// choosers, the account finder); the station plugs itself in.  Nothing
// below the station needs the engine or the station to be heard.
//
// May use: api/ only.
#pragma once

#include <cstddef>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "api/win32.h"

namespace vx70::events {

// ---- Events: things a person sees that need no answer ----------------------
// Events are UTF-8 JSON: whoever builds one converts the texts of windows,
// records and resources with codepage::toUtf8 (host/codepage.h); paths go
// as the file system names them.

using Sink = std::function<void(const nlohmann::json&)>;
// The station's event sink; without one, events go nowhere.
void setSink(Sink sink);
void emit(const nlohmann::json& event);

// ---- Questions: things a person answers ------------------------------------

enum class Question { Message, EditBox, File, Colour, Popup };

struct Answer {
  bool cancelled = false;
  int button = 0;  // messages: IDOK, IDYES, IDNO, IDCANCEL
  // Edit box text and account code in the Windows code page; a file path
  // as the file system names it (host/codepage.h).
  std::string text;
  COLORREF colour = 0;
};

class UiPort {
 public:
  virtual ~UiPort() = default;
  // Shows the question (an event object) and waits for the person's answer.
  virtual Answer ask(Question kind, const nlohmann::json& question) = 0;
  // Tells the front end something that needs no answer (help, reports...).
  virtual void tell(const nlohmann::json& event) = 0;
};

// The port of the running station; nullptr when none (questions then take
// their safe answer: OK, No, cancelled).
void setUiPort(UiPort* port);
UiPort* uiPort();

// Asks through the port, or gives the safe answer when there is none.
Answer ask(Question kind, const nlohmann::json& question);
// Tells through the port, if there is one.
void tell(const nlohmann::json& event);

// The dialog identifier of a question's owner window, for the output
// (null when the owner is no dialog).
nlohmann::json ownerOf(HWND owner);
// An answer's text into the caller's buffer of `size` bytes, cut to fit.
void copyAnswerText(char* to, std::size_t size, const std::string& text);
// The name of a message box kind as the output shows it.
const char* messageKindName(int kind);

}  // namespace vx70::events
