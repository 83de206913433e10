#include "host/engine/ui_port.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "frame/host_api.h"
#include "host/module.h"

namespace vx70::engine {

namespace {

UiPort*& port() {
  static UiPort* p = nullptr;
  return p;
}

// The dialog identifier of an owner window, for the output.
nlohmann::json ownerOf(HWND owner) {
  UINT id = GetDEDialogID(owner);
  return id ? nlohmann::json(id) : nlohmann::json(nullptr);
}

Answer ask(Question kind, const nlohmann::json& question) {
  if (UiPort* p = port()) return p->ask(kind, question);
  Answer a;
  a.cancelled = true;
  a.button = question.value("buttons", nlohmann::json::array()).size() > 1 ? IDNO : IDOK;
  return a;
}

void tell(const nlohmann::json& event) {
  if (UiPort* p = port()) p->tell(event);
}

void copyCut(char* to, std::size_t size, const std::string& text) {
  if (!to || size == 0) return;
  std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

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

nlohmann::json buttonsOf(UINT type) {
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
nlohmann::json filterPairs(const char* filter) {
  nlohmann::json pairs = nlohmann::json::array();
  if (!filter) return pairs;
  while (*filter) {
    std::string name = filter;
    filter += name.size() + 1;
    std::string pattern = filter;
    filter += pattern.size() + (*filter ? 1 : 0);
    pairs.push_back({name, pattern});
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

void setUiPort(UiPort* p) { port() = p; }
UiPort* uiPort() { return port(); }

const char* messageKindName(int kind) {
  switch (kind) {
    case 1:
      return "error";
    case 2:
      return "warning";
    case 3:
      return "notice";
    case 5:
      return "question";
    default:
      return "message";
  }
}

}  // namespace vx70::engine

namespace eng = vx70::engine;
using nlohmann::json;

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
             {"icon", eng::messageKindName(kind)},
             {"text", text.data()},
             {"buttons", question ? json{"yes", "no"} : json{"ok"}},
             {"owner", eng::ownerOf(owner)}};
  eng::Answer a = eng::ask(eng::Question::Message, event);
  if (question) return a.button == IDYES ? IDYES : IDNO;
  return IDOK;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  json buttons = eng::buttonsOf(type);
  json event{{"event", "message"},          {"caption", caption ? caption : "Error"},
             {"icon", eng::iconName(type)}, {"text", text ? text : ""},
             {"buttons", buttons},          {"owner", eng::ownerOf(owner)}};
  eng::Answer a = eng::ask(eng::Question::Message, event);
  if (a.cancelled && a.button == 0) return buttons.size() > 1 ? IDCANCEL : IDOK;
  return a.button;
}

BOOL EditBox(EditBoxRequest* request) {
  if (!request) return FALSE;
  std::string current(request->text, strnlen(request->text, sizeof request->text));
  DWORD max =
      std::min<DWORD>(request->maxLength ? request->maxLength : 70, sizeof request->text - 1);
  json event{{"event", "editbox"},
             {"text", current},
             {"max", max},
             {"owner", eng::ownerOf(request->owner)}};
  eng::Answer a = eng::ask(eng::Question::EditBox, event);
  if (a.cancelled) return FALSE;
  eng::copyCut(request->text, std::size_t{max} + 1, a.text);
  return TRUE;
}

BOOL GetOpenFileNameA(OPENFILENAMEA* request) {
  if (!request || !request->lpstrFile || request->nMaxFile == 0) return FALSE;
  json event{{"event", "file"},
             {"filter", eng::filterPairs(request->lpstrFilter)},
             {"owner", eng::ownerOf(request->hwndOwner)}};
  eng::Answer a = eng::ask(eng::Question::File, event);
  if (a.cancelled) return FALSE;
  eng::copyCut(request->lpstrFile, request->nMaxFile, a.text);
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
             {"initial", eng::hexColour(request->rgbResult)},
             {"owner", eng::ownerOf(request->hwndOwner)}};
  eng::Answer a = eng::ask(eng::Question::Colour, event);
  if (a.cancelled) return FALSE;
  request->rgbResult = a.colour & 0xFFFFFFu;
  return TRUE;
}

// DoPopup, the account finder, is in finder.cpp.

BOOL WinHelpA(HWND window, const char* file, UINT command, std::uintptr_t data) {
  eng::tell(json{{"event", "help"},
                 {"file", file ? file : ""},
                 {"command", command},
                 {"data", data},
                 {"owner", eng::ownerOf(window)}});
  return TRUE;
}

BOOL Execute(const char* command) {
  eng::tell(json{{"event", "execute"}, {"command", command ? command : ""}});
  return TRUE;
}

BOOL RunReport(HWND owner, const char* layout, const char* dataPath, UINT, UINT, UINT) {
  eng::tell(json{{"event", "report"},
                 {"layout", layout ? layout : ""},
                 {"data", dataPath ? dataPath : ""},
                 {"owner", eng::ownerOf(owner)}});
  return TRUE;
}

namespace {
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

const char* GetResourceString(UINT id, HINSTANCE instance) {
  static std::string buffer;
  return resourceString(id, instance, buffer);
}

const char* GetResourceString2(UINT id, HINSTANCE instance) {
  static std::string buffer;
  return resourceString(id, instance, buffer);
}

}  // extern "C"
