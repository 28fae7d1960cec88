// MessageBoxA: a modal box with an icon, a text and buttons.
#include "user_state.h"
#include "win32_backend.h"

namespace win32 {

std::vector<MessageBoxButton> MessageBoxButtons(UINT type) {
  static constexpr MessageBoxButton kOk{IDOK, "OK"}, kCancel{IDCANCEL, "キャンセル"}, kYes{IDYES, "はい(Y)"},
      kNo{IDNO, "いいえ(N)"}, kAbort{IDABORT, "中止(A)"}, kRetry{IDRETRY, "再試行(R)"}, kIgnore{IDIGNORE, "無視(I)"};
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {kOk, kCancel};
    case MB_ABORTRETRYIGNORE: return {kAbort, kRetry, kIgnore};
    case MB_YESNOCANCEL: return {kYes, kNo, kCancel};
    case MB_YESNO: return {kYes, kNo};
    case MB_RETRYCANCEL: return {kRetry, kCancel};
    default: return {kOk};
  }
}

int MessageBoxDefaultButton(UINT type) {
  std::vector<MessageBoxButton> buttons = MessageBoxButtons(type);
  size_t index = (type & MB_DEFMASK) >> 8;
  return buttons[index < buttons.size() ? index : 0].id;
}

// What closing the box without a button means: Cancel where there is one, else
// OK for a lone OK button; boxes without either cannot be closed so.
int MessageBoxCloseResult(UINT type) {
  for (const MessageBoxButton& button : MessageBoxButtons(type))
    if (button.id == IDCANCEL) return IDCANCEL;
  return (type & MB_TYPEMASK) == MB_OK ? IDOK : 0;
}

}  // namespace win32

using namespace win32;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (!text || (owner && !IsWindow(owner)) || (type & MB_TYPEMASK) > MB_RETRYCANCEL) return 0;
  owner = TopLevelOf(owner);
  MessageBoxRequest request{owner, text, caption ? caption : kDefaultMessageBoxCaption, type};
  UserState& state = State();
  bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  HWND previousActive = state.active;
  SetActiveWindow(nullptr, false);  // the box has the foreground now

  state.messageBoxResults.emplace_back();
  size_t depth = state.messageBoxResults.size();
  ActiveBackend().MessageBoxOpened(request);
  RunModalLoop(nullptr, [&] { return state.messageBoxResults.size() < depth || state.messageBoxResults[depth - 1]; });
  int result = MessageBoxDefaultButton(type);
  if (state.messageBoxResults.size() >= depth) {
    if (state.messageBoxResults[depth - 1]) result = *state.messageBoxResults[depth - 1];
    state.messageBoxResults.resize(depth - 1);
  }
  ActiveBackend().MessageBoxClosed();

  if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(previousActive)) SetActiveWindow(previousActive, false);
  return result;
}
