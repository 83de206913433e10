// The one port through which everything that asks a person goes: message
// boxes, the edit box, the file and colour choosers and the account
// finder.  Each front end answers it its own way (the driver from its
// script, the browser from the person, tests from the test); the host's
// functions of frame/host_api.h only describe the question and wait.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "host/win32.h"

namespace vx70::engine {

enum class Question { Message, EditBox, File, Colour, Popup };

struct Answer {
  bool cancelled = false;
  int button = 0;    // messages: IDOK, IDYES, IDNO, IDCANCEL
  std::string text;  // edit box, file path, account code
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

// The name of a message box kind as the output shows it.
const char* messageKindName(int kind);

}  // namespace vx70::engine
