// The Win32 calls that ask a person: MessageBoxA, the file and colour
// choosers of comdlg32, and WinHelpA.  Each describes its question as an
// event and waits for the front end's answer through the host's question
// port (host/events.h).
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "api/host_api.h"
#include "host/codepage.h"
#include "host/events.h"

namespace {

namespace ev = vx70::events;
using nlohmann::json;
using vx70::codepage::toUtf8;

const char* iconName(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
      return "error";
    case MB_ICONWARNING:
      return "warning";
    case MB_ICONINFORMATION:
      return "information";
    case MB_ICONQUESTION:
      return "question";
    default:
      return "none";
  }
}

json buttonsOf(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {"ok", "cancel"};
    case MB_YESNOCANCEL:
      return {"yes", "no", "cancel"};
    case MB_YESNO:
      return {"yes", "no"};
    case MB_RETRYCANCEL:
      return {"retry", "cancel"};
    default:
      return {"ok"};
  }
}

// A filter of "name\0pattern\0...\0\0" as name/pattern pairs.
json filterPairs(const char* filter) {
  json pairs = json::array();
  if (!filter) return pairs;
  while (*filter) {
    std::string name = filter;
    filter += name.size() + 1;
    std::string pattern = filter;
    filter += pattern.size() + (*filter ? 1 : 0);
    pairs.push_back({toUtf8(name), toUtf8(pattern)});
    if (pattern.empty()) break;
  }
  return pairs;
}

std::string hexColour(COLORREF c) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06x", c & 0xFFFFFFu);
  return text;
}

}  // namespace

extern "C" {

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  json buttons = buttonsOf(type);
  json event{{"event", "message"},     {"caption", toUtf8(caption ? caption : "Error")},
             {"icon", iconName(type)}, {"text", toUtf8(text ? text : "")},
             {"buttons", buttons},     {"owner", ev::ownerOf(owner)}};
  ev::Answer a = ev::ask(ev::Question::Message, event);
  if (a.cancelled && a.button == 0) return buttons.size() > 1 ? IDCANCEL : IDOK;
  return a.button;
}

BOOL GetOpenFileNameA(OPENFILENAMEA* request) {
  if (!request || !request->lpstrFile || request->nMaxFile == 0) return FALSE;
  json event{{"event", "file"},
             {"filter", filterPairs(request->lpstrFilter)},
             {"owner", ev::ownerOf(request->hwndOwner)}};
  ev::Answer a = ev::ask(ev::Question::File, event);
  if (a.cancelled) return FALSE;
  ev::copyAnswerText(request->lpstrFile, request->nMaxFile, a.text);
  std::string path = request->lpstrFile;
  std::size_t slash = path.find_last_of("/\\");
  std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = path.find('.', name);
  request->nFileOffset = static_cast<WORD>(name);
  request->nFileExtension = static_cast<WORD>(dot == std::string::npos ? path.size() : dot + 1);
  return TRUE;
}

BOOL ChooseColorA(CHOOSECOLORA* request) {
  if (!request) return FALSE;
  json event{{"event", "colour"},
             {"initial", hexColour(request->rgbResult)},
             {"owner", ev::ownerOf(request->hwndOwner)}};
  ev::Answer a = ev::ask(ev::Question::Colour, event);
  if (a.cancelled) return FALSE;
  request->rgbResult = a.colour & 0xFFFFFFu;
  return TRUE;
}

BOOL WinHelpA(HWND window, const char* file, UINT command, std::uintptr_t data) {
  ev::tell(json{{"event", "help"},
                {"file", file ? file : ""},
                {"command", command},
                {"data", data},
                {"owner", ev::ownerOf(window)}});
  return TRUE;
}

}  // extern "C"
