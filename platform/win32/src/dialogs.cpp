// Modal dialog boxes built from registered templates.
#include <algorithm>

#include "user_state.h"
#include "win32_backend.h"

using namespace win32;

namespace {

LONG Scale(LONG value, LONG numerator, LONG denominator) {
  // Rounded like MulDiv.
  long long product = static_cast<long long>(value) * numerator;
  return static_cast<LONG>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) / denominator);
}

RECT DialogUnitsToPixels(RECT rect, SIZE base) {
  return {Scale(rect.left, base.cx, 4), Scale(rect.top, base.cy, 8), Scale(rect.right, base.cx, 4),
          Scale(rect.bottom, base.cy, 8)};
}

DialogState* DialogOf(HWND handle) {
  Window* window = FindWindow(handle);
  return window ? window->dialog.get() : nullptr;
}

HWND ControlOf(HWND dialog, int id) {
  DialogState* state = DialogOf(dialog);
  if (!state) return nullptr;
  for (HWND control : state->controls) {
    Window* w = FindWindow(control);
    if (w && w->controlId == id) return control;
  }
  return nullptr;
}

int DefaultButtonId(const DialogState& state) {
  for (const DialogControl& control : state.layout.controls)
    if (control.kind == DialogControlKind::DefPushButton) return control.id;
  return IDOK;
}

LRESULT DialogWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogState* state = DialogOf(handle);
  if (!state || !state->procedure) return DefWindowProcA(handle, message, wParam, lParam);
  INT_PTR handled = state->procedure(handle, message, wParam, lParam);
  if (handled) return handled;
  switch (message) {
    case WM_CLOSE: {
      HWND cancel = ControlOf(handle, IDCANCEL);
      if (!cancel || IsWindowEnabled(cancel))
        PostMessageA(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case WM_INITDIALOG: return 0;
    default: return DefWindowProcA(handle, message, wParam, lParam);
  }
}

void TypeIntoEdit(Window& edit, UINT character) {
  if (character == 0x08) {
    while (!edit.text.empty() && (static_cast<unsigned char>(edit.text.back()) & 0xC0) == 0x80) edit.text.pop_back();
    if (!edit.text.empty()) edit.text.pop_back();
  } else if (character >= 0x20 && character != 0x7F && character <= 0xFF) {
    edit.text.push_back(static_cast<char>(character));
  } else {
    return;
  }
  ActiveBackend().ControlTextChanged(edit.handle);
}

LRESULT ControlWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = FindWindow(handle);
  if (window && window->control && window->control->kind == DialogControlKind::Edit && message == WM_CHAR &&
      !(window->control->style & ES_READONLY)) {
    TypeIntoEdit(*window, static_cast<UINT>(wParam));
    return 0;
  }
  return DefWindowProcA(handle, message, wParam, lParam);
}

HWND AddWindow(std::unique_ptr<Window> window) {
  HWND handle = reinterpret_cast<HWND>(NewHandleValue());
  window->handle = handle;
  State().windows[reinterpret_cast<uintptr_t>(handle)] = std::move(window);
  return handle;
}

HWND CreateDialogWindow(const DialogResource& layout, HWND owner, DLGPROC procedure) {
  auto window = std::make_unique<Window>();
  window->className = "#32770";
  window->procedure = DialogWindowProc;
  window->text = layout.caption;
  window->style = layout.style & ~(WS_VISIBLE | WS_CHILD);
  window->parent = owner;
  auto dialog = std::make_unique<DialogState>();
  dialog->layout = layout;
  dialog->procedure = procedure;
  dialog->owner = owner;
  dialog->baseUnits = ActiveBackend().DialogBaseUnits(layout.font);
  RECT size = DialogUnitsToPixels({0, 0, layout.cx, layout.cy}, dialog->baseUnits);
  window->client = {size.right, size.bottom};
  RECT ownerRect{0, 0, 0, 0};
  if (!GetWindowRect(owner, &ownerRect)) ownerRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  LONG x = (ownerRect.left + ownerRect.right - size.right) / 2, y = (ownerRect.top + ownerRect.bottom - size.bottom) / 2;
  window->outer = {x, y, x + size.right, y + size.bottom};
  window->dialog = std::move(dialog);
  HWND handle = AddWindow(std::move(window));

  DialogState* state = DialogOf(handle);
  for (const DialogControl& control : state->layout.controls) {
    auto child = std::make_unique<Window>();
    child->className = control.kind == DialogControlKind::Edit                                                ? "Edit"
                       : (control.kind == DialogControlKind::PushButton || control.kind == DialogControlKind::DefPushButton ||
                          control.kind == DialogControlKind::GroupBox)
                           ? "Button"
                           : "Static";
    child->procedure = ControlWindowProc;
    child->text = control.text;
    child->style = WS_CHILD | WS_VISIBLE | control.style;
    child->parent = handle;
    child->visible = true;
    child->controlId = control.id;
    child->control = &control;
    RECT r = DialogUnitsToPixels({control.x, control.y, control.x + control.cx, control.y + control.cy}, state->baseUnits);
    child->outer = r;
    child->client = {r.right - r.left, r.bottom - r.top};
    state->controls.push_back(AddWindow(std::move(child)));
  }
  return handle;
}

HWND FirstTabStop(const DialogState& state) {
  for (HWND control : state.controls) {
    Window* w = FindWindow(control);
    if (w && (w->style & WS_TABSTOP)) return control;
  }
  return nullptr;
}

}  // namespace

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM initParam) {
  if (!templateName || !IS_INTRESOURCE(templateName) || !procedure) return -1;
  if (owner && !FindWindow(owner)) return -1;
  UserState& state = State();
  auto resource = state.dialogResources.find(static_cast<WORD>(reinterpret_cast<uintptr_t>(templateName)));
  if (resource == state.dialogResources.end()) return -1;
  owner = TopLevelOf(owner);

  HWND dialog = CreateDialogWindow(resource->second, owner, procedure);
  state.modalDialogs.push_back(dialog);
  bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  HWND previousActive = state.active;

  HWND focus = FirstTabStop(*DialogOf(dialog));
  if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam) && focus) SetFocus(focus);
  if (DialogState* d = DialogOf(dialog); d && !d->ended) {
    FindWindow(dialog)->visible = true;
    FindWindow(dialog)->needsPaint = true;
    ActiveBackend().WindowCreated(dialog);
    ActiveBackend().DialogOpened(dialog);
    SetActiveWindow(dialog, false);
  }
  bool completed = RunModalLoop(dialog, [dialog] {
    DialogState* d = DialogOf(dialog);
    return !d || d->ended;
  });

  INT_PTR result = -1;
  if (DialogState* d = DialogOf(dialog); d && d->ended && completed) result = d->result;
  // The owner comes back before the dialog goes, so activation returns to it.
  if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(previousActive) && previousActive != dialog) SetActiveWindow(previousActive, false);
  else if (IsWindow(owner)) SetActiveWindow(owner, false);
  DestroyWindow(dialog);
  auto& modal = state.modalDialogs;
  modal.erase(std::remove(modal.begin(), modal.end(), dialog), modal.end());
  return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogState* state = DialogOf(dialog);
  if (!state) return FALSE;
  if (!state->ended) {
    state->ended = true;
    state->result = result;
  }
  return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) { return ControlOf(dialog, id); }

int GetDlgCtrlID(HWND control) {
  Window* window = FindWindow(control);
  return window ? window->controlId : 0;
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated) *translated = FALSE;
  Window* control = FindWindow(ControlOf(dialog, id));
  if (!control) return 0;
  const std::string& text = control->text;
  size_t i = 0, end = text.size();
  while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  bool negative = false;
  if (i < end && text[i] == '-' && isSigned) {
    negative = true;
    ++i;
  }
  if (i == end) return 0;
  unsigned long long value = 0;
  for (; i < end; ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
    if (value > 0xFFFFFFFFull) return 0;
  }
  if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
  if (translated) *translated = TRUE;
  return negative ? static_cast<UINT>(0u - static_cast<UINT>(value)) : static_cast<UINT>(value);
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  std::string text = isSigned ? std::to_string(static_cast<INT>(value)) : std::to_string(value);
  return SetDlgItemTextA(dialog, id, text.c_str());
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  HWND control = ControlOf(dialog, id);
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (!control) return 0;
  return static_cast<UINT>(GetWindowTextA(control, buffer, size));
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND control = ControlOf(dialog, id);
  return control ? SetWindowTextA(control, text) : FALSE;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND control = ControlOf(dialog, id);
  return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
  DialogState* state = DialogOf(dialog);
  if (!state || !msg) return FALSE;
  if (msg->hwnd != dialog && GetParent(msg->hwnd) != dialog) return FALSE;
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
    int id = msg->wParam == VK_RETURN ? DefaultButtonId(*state) : IDCANCEL;
    HWND button = ControlOf(dialog, id);
    if (!button || IsWindowEnabled(button))
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return TRUE;
  }
  if (msg->message == WM_CHAR && (msg->wParam == '\r' || msg->wParam == 0x1B)) return TRUE;
  TranslateMessage(msg);
  DispatchMessageA(msg);
  return TRUE;
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  DialogState* state = DialogOf(dialog);
  if (!state || !rect) return FALSE;
  *rect = DialogUnitsToPixels(*rect, state->baseUnits);
  return TRUE;
}

LONG GetDialogBaseUnits() {
  SIZE base = ActiveBackend().DialogBaseUnits({9, {}});
  return MAKELONG(base.cx, base.cy);
}
