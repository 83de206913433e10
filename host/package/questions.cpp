// The common library's and shared dialogs' calls that reach the person:
// MsgBox with the package's message kinds, the edit box, running a
// program, and the module's strings that the messages quote.
// Questions go through the host's question port (host/events.h).
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "api/host_api.h"
#include "host/codepage.h"
#include "host/events.h"
#include "host/loader/module.h"

namespace {

namespace ev = vx70::events;
using nlohmann::json;

const char* resourceString(UINT id, HINSTANCE instance, std::string& buffer) {
  buffer.clear();
  if (vx70::Module* m = vx70::Module::fromInstance(instance)) {
    try {
      if (auto s = m->resources().string(static_cast<std::uint16_t>(id))) buffer = *s;
    } catch (const std::exception&) {
      buffer.clear();
    }
  }
  return buffer.c_str();
}

}  // namespace

extern "C" {

int MsgBox(HWND owner, int kind, const char* format, ...) {
  std::vector<char> text(1024);
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(text.data(), text.size(), format ? format : "", args);
  va_end(args);
  if (n >= static_cast<int>(text.size())) {
    text.resize(static_cast<std::size_t>(n) + 1);
    va_start(args, format);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
  }
  bool question = kind == 5;
  json event{{"event", "message"},
             {"kind", kind},
             {"icon", ev::messageKindName(kind)},
             {"text", vx70::codepage::toUtf8(text.data())},
             {"buttons", question ? json{"yes", "no"} : json{"ok"}},
             {"owner", ev::ownerOf(owner)}};
  ev::Answer a = ev::ask(ev::Question::Message, event);
  if (question) return a.button == IDYES ? IDYES : IDNO;
  return IDOK;
}

BOOL EditBox(EditBoxRequest* request) {
  if (!request) return FALSE;
  std::string current(request->text, strnlen(request->text, sizeof request->text));
  DWORD max =
      std::min<DWORD>(request->maxLength ? request->maxLength : 70, sizeof request->text - 1);
  json event{{"event", "editbox"},
             {"text", vx70::codepage::toUtf8(current)},
             {"max", max},
             {"owner", ev::ownerOf(request->owner)}};
  ev::Answer a = ev::ask(ev::Question::EditBox, event);
  if (a.cancelled) return FALSE;
  ev::copyAnswerText(request->text, std::size_t{max} + 1, a.text);
  return TRUE;
}

// DoPopup, the account finder, is in finder.cpp.

BOOL Execute(const char* command) {
  ev::tell(json{{"event", "execute"}, {"command", command ? command : ""}});
  return TRUE;
}

// RunReport, the report printer, is in report_printer.cpp.

const char* GetResourceString(UINT id, HINSTANCE instance) {
  static std::string buffer;
  return resourceString(id, instance, buffer);
}

const char* GetResourceString2(UINT id, HINSTANCE instance) {
  static std::string buffer;
  return resourceString(id, instance, buffer);
}

}  // extern "C"
