// The calculator edit "#VX32CALCEDIT": an edit that holds an f64 and shows
// it with a fixed number of decimals (2 until the engine sets others).
// Typed text must be a number within the edit's limit; anything else is
// refused and changes nothing.  A typed value keeps the places it shows,
// rounded, so that what it shows is what it holds.  See docs/grid.md.
#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>

#include "api/host_api.h"
#include "host/engine/grid_model.h"
#include "host/win32/controls.h"

namespace vx70::engine {

namespace {

using nlohmann::json;

// Message 1125's mode for whole numbers: no decimals shown or typed.
inline constexpr WPARAM kWholeNumberMode = 2;

struct CalcState : win::WindowData {
  double value = 0;
  int decimals = 2;
  WPARAM mode = 0;
  bool modified = false;
  std::size_t limit = win::kDefaultEditLimit;

  int shownDecimals() const { return mode == kWholeNumberMode ? 0 : decimals; }
};

CalcState* stateOf(HWND edit) {
  win::Window* w = win::find(edit);
  return w ? win::stateAs<CalcState>(w->data.get()) : nullptr;
}

void show(HWND edit, const CalcState& s) {
  win::get(edit).text = formatDecimal(s.value, s.shownDecimals());
}

// A typed or set text as a value; an empty text is 0.
std::optional<double> valueOf(const CalcState& s, const char* text) {
  std::string_view given = text ? text : "";
  if (given.find_first_not_of(' ') == std::string_view::npos) return 0.0;
  if (s.mode == kWholeNumberMode) {
    auto whole = parseWhole(given);
    return whole ? std::optional<double>(static_cast<double>(*whole)) : std::nullopt;
  }
  return parseDecimal(given);
}

bool readOnly(HWND edit) { return (win::get(edit).style & ES_READONLY) != 0; }

LRESULT setValue(HWND edit, CalcState& s, double value) {
  s.value = value;
  s.modified = false;
  show(edit, s);
  return 0;
}

LRESULT setText(HWND edit, CalcState& s, const char* text) {
  auto value = valueOf(s, text);
  if (!value) return FALSE;
  setValue(edit, s, *value);
  return TRUE;
}

LRESULT typeText(HWND edit, CalcState& s, const char* text) {
  if (!text || !win::takesUserInput(edit) || readOnly(edit)) return -1;
  if (std::strlen(text) > s.limit) return -1;  // a number is never cut
  auto value = valueOf(s, text);
  if (!value) return -1;
  s.value = Round(*value, s.shownDecimals());
  s.modified = true;
  show(edit, s);
  win::notifyParent(edit, EN_CHANGE);
  return 0;
}

LRESULT copyText(HWND edit, WPARAM size, LPARAM buffer) {
  const std::string& text = win::get(edit).text;
  if (!buffer || size == 0) return 0;
  std::size_t n = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(reinterpret_cast<char*>(buffer), text.data(), n);
  reinterpret_cast<char*>(buffer)[n] = '\0';
  return static_cast<LRESULT>(n);
}

void describeCalc(HWND edit, const CalcState& s, json& out) {
  out["value"] = s.value;
  out["decimals"] = s.shownDecimals();
  out["modified"] = s.modified;
  out["readOnly"] = readOnly(edit);
}

LRESULT handleCalcMessage(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto state = std::make_unique<CalcState>();
    show(edit, *state);
    win::get(edit).data = std::move(state);
    return 0;
  }
  CalcState* s = stateOf(edit);
  if (!s) return win::defWindowProc(edit, message, wParam, lParam);
  switch (message) {
    case win::VXM_SETDOUBLE:
      return lParam ? setValue(edit, *s, *reinterpret_cast<const double*>(lParam)) : -1;
    case win::VXM_GETDOUBLE:
      if (!lParam) return -1;
      *reinterpret_cast<double*>(lParam) = s->value;
      return 0;
    case win::VXM_SETDECIMALS:
      s->decimals = static_cast<int>(std::min<WPARAM>(wParam, 15));
      show(edit, *s);
      return 0;
    case GM_SETNUMBERMODE: {
      WPARAM previous = s->mode;
      s->mode = wParam;
      show(edit, *s);
      return static_cast<LRESULT>(previous);
    }
    case WM_SETTEXT:
      return setText(edit, *s, reinterpret_cast<const char*>(lParam));
    case WM_GETTEXT:
      return copyText(edit, wParam, lParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(win::get(edit).text.size());
    case win::VXM_TYPE:
      return typeText(edit, *s, reinterpret_cast<const char*>(lParam));
    case EM_GETMODIFY:
      return s->modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      s->modified = wParam != 0;
      return 0;
    case EM_SETREADONLY: {
      DWORD& style = win::get(edit).style;
      style = wParam ? (style | ES_READONLY) : (style & ~ES_READONLY);
      return TRUE;
    }
    case EM_LIMITTEXT:
      s->limit = wParam ? wParam : win::kMaxEditLimit;
      return 0;
    case EM_GETLIMITTEXT:
      return static_cast<LRESULT>(s->limit);
    case WM_SETFOCUS:
      win::notifyParent(edit, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      win::notifyParent(edit, EN_KILLFOCUS);
      return 0;
    case win::VXM_DESCRIBE:
      if (lParam) describeCalc(edit, *s, *reinterpret_cast<json*>(lParam));
      return 0;
    default:
      return win::defWindowProc(edit, message, wParam, lParam);
  }
}

}  // namespace

LRESULT calcEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == VXM_PACKED) {
      const auto* m = reinterpret_cast<const PackedGridMessage*>(lParam);
      return m ? handleCalcMessage(edit, m->message, m->wParam, m->lParam) : -1;
    }
    return handleCalcMessage(edit, message, wParam, lParam);
  } catch (...) {
    return -1;  // the module's calls end here, never in an exception
  }
}

}  // namespace vx70::engine
