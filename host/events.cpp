#include "host/events.h"

#include <algorithm>
#include <cstring>

#include "api/host_api.h"

namespace vx70::events {

namespace {

Sink& sink() {
  static Sink s;
  return s;
}

UiPort*& port() {
  static UiPort* p = nullptr;
  return p;
}

}  // namespace

void setSink(Sink s) { sink() = std::move(s); }

void emit(const nlohmann::json& event) {
  if (sink()) sink()(event);
}

void setUiPort(UiPort* p) { port() = p; }
UiPort* uiPort() { return port(); }

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

nlohmann::json ownerOf(HWND owner) {
  UINT id = GetDEDialogID(owner);
  return id ? nlohmann::json(id) : nlohmann::json(nullptr);
}

void copyAnswerText(char* to, std::size_t size, const std::string& text) {
  if (!to || size == 0) return;
  std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(to, text.data(), n);
  to[n] = '\0';
}

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

}  // namespace vx70::events
