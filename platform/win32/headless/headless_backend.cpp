// The headless desktop: no screen; dialogs and message boxes answered by script.
#include <deque>

#include "user_state.h"
#include "win32_backend.h"
#include "win32_headless.h"

namespace win32 {
namespace {

class HeadlessBackend final : public Backend {
 public:
  std::deque<std::vector<DialogStep>> scripts;
  std::deque<int> boxAnswers;
  std::vector<DialogRecord> dialogs;
  std::vector<MessageBoxRecord> boxes;
  std::vector<HelpRecord> helps;
  bool helpOpen = false;

  void DialogOpened(HWND dialog) override {
    Window* window = FindWindow(dialog);
    DialogRecord record;
    record.templateId = window->dialog->layout.id;
    record.caption = window->text;
    record.owner = window->dialog->owner;
    record.clientSize = window->client;
    dialogs.push_back(std::move(record));
    running_.push_back({dialog, dialogs.size() - 1, {}});
    if (!scripts.empty()) {
      running_.back().steps = std::deque<DialogStep>(scripts.front().begin(), scripts.front().end());
      scripts.pop_front();
    }
    CaptureTexts(running_.back());
  }

  void WindowDestroyed(HWND window) override {
    std::erase_if(running_, [window](const Running& r) { return r.dialog == window; });
  }

  void MessageBoxOpened(const MessageBoxRequest& request) override {
    int result = MessageBoxDefaultButton(request.type);
    if (!boxAnswers.empty()) {
      result = boxAnswers.front();
      boxAnswers.pop_front();
    }
    boxes.push_back({request.owner, request.text, request.caption, request.type, result});
    desktop::MessageBoxAnswered(result);
  }

  bool ShowHelp(HWND owner, const HelpResource& help) override {
    helps.push_back({owner, help.fileName, help.title, help.text});
    helpOpen = true;
    return true;
  }
  void CloseHelp() override { helpOpen = false; }

  bool Pump(bool wait) override {
    if (!wait) return true;
    // Only an open dialog's script can make anything happen.
    if (running_.empty()) return false;
    Running& top = running_.back();
    if (top.steps.empty()) {
      dialogs[top.record].unanswered = true;
      return false;
    }
    DialogStep step = std::move(top.steps.front());
    top.steps.pop_front();
    HWND dialog = top.dialog;
    size_t record = top.record;
    bool ok = Run(step, dialog);
    for (Running& r : running_)
      if (r.dialog == dialog) CaptureTexts(r);
    if (!ok) dialogs[record].unanswered = true;
    return ok;
  }

  void Reset() {
    scripts.clear();
    boxAnswers.clear();
    dialogs.clear();
    boxes.clear();
    helps.clear();
    helpOpen = false;
    running_.clear();
  }

 private:
  struct Running {
    HWND dialog;
    size_t record;
    std::deque<DialogStep> steps;
  };
  std::vector<Running> running_;

  void CaptureTexts(const Running& r) {
    Window* window = FindWindow(r.dialog);
    if (!window || !window->dialog) return;
    auto& texts = dialogs[r.record].controlTexts;
    texts.clear();
    for (HWND control : window->dialog->controls)
      if (Window* c = FindWindow(control)) texts.emplace_back(c->controlId, c->text);
  }

  static bool Run(const DialogStep& step, HWND dialog) {
    switch (step.kind) {
      case DialogStep::Kind::Type: {
        HWND control = GetDlgItem(dialog, step.id);
        if (!control) return false;
        desktop::ControlTextEdited(control, step.text);
        return true;
      }
      case DialogStep::Kind::Press: {
        HWND control = GetDlgItem(dialog, step.id);
        if (!control) return false;
        desktop::ButtonClicked(control);
        return true;
      }
      case DialogStep::Kind::Key:
        desktop::Key(dialog, step.virtualKey, true);
        desktop::Key(dialog, step.virtualKey, false);
        return true;
      case DialogStep::Kind::Close: desktop::CloseRequest(dialog); return true;
      case DialogStep::Kind::Repaint: desktop::Invalidate(step.window); return true;
      case DialogStep::Kind::Call:
        if (step.call) step.call(dialog);
        return true;
    }
    return false;
  }
};

HeadlessBackend& Headless() {
  static HeadlessBackend backend;
  return backend;
}

}  // namespace
}  // namespace win32

extern "C" win32::Backend* KelvaneWin32Backend() { return &win32::Headless(); }

using namespace win32;

void Win32TestKey(HWND window, UINT virtualKey, bool down) { desktop::Key(window, virtualKey, down); }

void Win32TestKeyPress(HWND window, UINT virtualKey) {
  desktop::Key(window, virtualKey, true);
  desktop::Key(window, virtualKey, false);
}

void Win32TestMouseMove(HWND handle, int dx, int dy) {
  Window* window = FindWindow(handle);
  if (!window) return;
  if (!window->pointerKnown) desktop::MouseMove(handle, window->client.cx / 2, window->client.cy / 2);
  desktop::MouseMove(handle, window->pointer.x + dx, window->pointer.y + dy);
}

void Win32TestMouseButton(HWND handle, int button, bool down) {
  Window* window = FindWindow(handle);
  if (!window) return;
  desktop::MouseButton(handle, button, down, window->pointer.x, window->pointer.y);
}

void Win32TestWheel(HWND handle, int notches) {
  Window* window = FindWindow(handle);
  if (!window) return;
  desktop::Wheel(handle, notches * WHEEL_DELTA, window->pointer.x, window->pointer.y);
}

void Win32TestMenuCommand(HWND window, UINT commandId) { desktop::MenuCommand(window, commandId); }
void Win32TestClose(HWND window) { desktop::CloseRequest(window); }
void Win32TestActivate(HWND window, bool active, bool minimized) { desktop::Activate(window, active, minimized); }
void Win32TestResize(HWND window, int width, int height) { desktop::ClientResized(window, width, height); }
void Win32TestInvalidate(HWND window) { desktop::Invalidate(window); }

void Win32TestAnswerNextDialog(std::vector<DialogStep> steps) { Headless().scripts.push_back(std::move(steps)); }
const std::vector<DialogRecord>& Win32TestDialogs() { return Headless().dialogs; }
void Win32TestAnswerNextMessageBox(int result) { Headless().boxAnswers.push_back(result); }
const std::vector<MessageBoxRecord>& Win32TestMessageBoxes() { return Headless().boxes; }
const std::vector<HelpRecord>& Win32TestHelpShown() { return Headless().helps; }
bool Win32TestHelpOpen() { return Headless().helpOpen; }

bool Win32TestGetFrame(HWND handle, UINT* width, UINT* height, std::vector<uint32_t>* pixels, uint64_t* serial) {
  Window* window = FindWindow(handle);
  if (!window || window->frame.serial == 0) return false;
  if (width) *width = window->frame.width;
  if (height) *height = window->frame.height;
  if (pixels) *pixels = window->frame.pixels;
  if (serial) *serial = window->frame.serial;
  return true;
}

void Win32TestReset() {
  Headless().Reset();
  UserState& state = State();
  std::vector<RawInputListener*> listeners = state.listeners;
  uintptr_t nextHandle = state.nextHandle;  // handles of old windows stay unknown
  state = UserState{};
  state.listeners = std::move(listeners);
  state.nextHandle = nextHandle;
  for (RawInputListener* listener : state.listeners) listener->OnForegroundChanged(nullptr);
}
