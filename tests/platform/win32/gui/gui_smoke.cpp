// A small program on the GTK backend: the Japanese menu, accelerators, a
// dialog, a message box and the help window, with a picture presented every
// pass. It prints what its procedures receive, for the driving script.
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "win32_present.h"
#include "win_clock.h"
#include "win_user.h"

namespace {

HWND gWindow = nullptr;
bool gRunning = true;
unsigned gPaints = 0;
unsigned gPresents = 0;

void RegisterSmokeResources() {
  RegisterResource(MENU(101, {
      POPUP("ファイル", {MENUITEM("軌道のセット(F2)", 40003), MENUITEM("視点リセット(F3)", 40012),
                         MENUITEM("Go/Stop(F4)", 40004), MENUITEM("スピード(F5)", 40005), MENUITEM(SEPARATOR),
                         MENUITEM("閉じる(ESC)", 40001)}),
      POPUP("表示", {MENUITEM("カメラ視点 'c'", 40009, MF_CHECKED), MENUITEM("人工衛星視点 'o'", 40010),
                     MENUITEM(SEPARATOR), MENUITEM("ソリッド 's'", 40006, MF_CHECKED),
                     MENUITEM("ワイヤーフレーム 'w'", 40007), MENUITEM("ポイント 'p'", 40008), MENUITEM(SEPARATOR),
                     MENUITEM("グリッド 'g'", 40011, MF_CHECKED)}),
      POPUP("ヘルプ", {MENUITEM("Kelvaneのヘルプ(F1)", 40013), MENUITEM("Kelvane について", 40002)}),
  }));
  RegisterResource(ACCELERATORS(109, {{'S', 40006, FVIRTKEY | FNOINVERT}, {'W', 40007, FVIRTKEY | FNOINVERT},
                                      {'P', 40008, FVIRTKEY | FNOINVERT}, {VK_F1, 40013, FVIRTKEY | FNOINVERT},
                                      {VK_F2, 40003, FVIRTKEY | FNOINVERT}, {VK_F5, 40005, FVIRTKEY | FNOINVERT}}));
  RegisterResource(DIALOG(108, 0, 0, 135, 49, STYLE(WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT),
                          CAPTION("画面描画時間の変更"), FONT(9, "Ｐゴシック"),
                          {DEFPUSHBUTTON("OK", IDOK, 77, 7, 50, 14), PUSHBUTTON("ｷｬﾝｾﾙ", IDCANCEL, 78, 28, 50, 14),
                           EDITTEXT(1015, 7, 7, 46, 14, ES_RIGHT | ES_AUTOHSCROLL), LTEXT("ミリ秒", IDC_STATIC, 58, 13, 18, 8)}));
  RegisterResource(DIALOGEX(106, 0, 0, 167, 55,
                            STYLE(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
                            CAPTION("Kelvaneのバージョン情報"), FONT(9, "Ｐゴシック"),
                            {DEFPUSHBUTTON("OK", IDOK, 123, 34, 37, 14), LTEXT("Kelvane ver 1.11", IDC_STATIC, 65, 7, 60, 8),
                             LTEXT("地球周回軌道シミュレータ", IDC_STATIC, 39, 21, 112, 8),
                             ICON(107, IDC_STATIC, 7, 7, 20, 20, SS_CENTERIMAGE)}));
  std::vector<DWORD> icon(32 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      int dx = x - 16, dy = y - 16;
      icon[static_cast<size_t>(y * 32 + x)] = dx * dx + dy * dy < 196 ? 0xFF2060E0u : 0u;
    }
  RegisterResource(ICON_IMAGE(107, 32, 32, icon));
  RegisterResource(HELPFILE("Kelvane.HLP", "Kelvaneのヘルプ", "軌道のセット(F2)で人工衛星を発射します。\n\nESCで終了します。"));
}

INT_PTR AboutDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDOK)) {
    std::printf("about closed\n");
    EndDialog(dialog, 0);
    return message == WM_COMMAND;
  }
  return FALSE;
}

INT_PTR FrameTimeDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    std::printf("initdialog\n");
    SetFocus(GetDlgItem(dialog, 1015));
    return FALSE;
  }
  if (message == WM_CLOSE) {
    EndDialog(dialog, 0);
    return FALSE;
  }
  if (message != WM_COMMAND) return FALSE;
  if (LOWORD(wParam) == IDOK) {
    BOOL translated = FALSE;
    int value = static_cast<int>(GetDlgItemInt(dialog, 1015, &translated, TRUE));
    std::printf("dialog ok %d %d\n", value, translated);
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  if (LOWORD(wParam) == IDCANCEL) {
    std::printf("dialog cancel\n");
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

void CheckOnly(HMENU menu, UINT chosen, std::initializer_list<UINT> group) {
  for (UINT id : group) CheckMenuItem(menu, id, MF_BYCOMMAND | (id == chosen ? MF_CHECKED : MF_UNCHECKED));
}

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HMENU menu = GetMenu(window);
  switch (message) {
    case WM_PAINT: ++gPaints; break;
    case WM_KEYDOWN:
      std::printf("key %u\n", static_cast<unsigned>(wParam));
      if (wParam == VK_ESCAPE) {
        gRunning = false;
        PostQuitMessage(0);
      }
      break;
    case WM_CHAR: std::printf("char %u\n", static_cast<unsigned>(wParam)); break;
    case WM_DESTROY:
      gRunning = false;
      PostQuitMessage(0);
      break;
    case WM_COMMAND: {
      UINT id = LOWORD(wParam);
      std::printf("command %u\n", id);
      if (id >= 40006 && id <= 40008) CheckOnly(menu, id, {40006, 40007, 40008});
      if (id == 40005) std::printf("dialog result %d\n", static_cast<int>(DialogBoxParamA(nullptr, MAKEINTRESOURCEA(108), window, FrameTimeDialog, 0)));
      if (id == 40003) std::printf("messagebox %d\n", MessageBoxA(window, "Direct3D の初期化に失敗しました。", nullptr, MB_ICONERROR));
      if (id == 40002) DialogBoxParamA(nullptr, MAKEINTRESOURCEA(106), window, AboutDialog, 0);
      if (id == 40013) std::printf("help %d\n", WinHelpA(window, "Kelvane.HLP", HELP_FINDER, 0));
      if (id == 40001) {
        gRunning = false;
        PostQuitMessage(0);
        DestroyWindow(window);
      }
      break;
    }
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void PresentPicture(DWORD time) {
  // 320×240 gradient with a bar that moves with time: proof that presents are shown.
  static std::vector<uint32_t> pixels(320 * 240);
  unsigned bar = (time / 10) % 320;
  for (unsigned y = 0; y < 240; ++y)
    for (unsigned x = 0; x < 320; ++x)
      pixels[y * 320 + x] = (x >= bar && x < bar + 8) ? 0x00FFFF00u : (((x * 255 / 320) << 16) | ((y * 255 / 240) << 8) | 0x60u);
  if (PresentFrameToWindow(gWindow, pixels.data(), 320, 240, 320 * 4)) ++gPresents;
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  RegisterSmokeResources();
  HINSTANCE instance = nullptr;
  WNDCLASSA cls{};
  cls.style = CS_VREDRAW;
  cls.lpfnWndProc = Procedure;
  cls.hInstance = instance;
  cls.hIcon = LoadIconA(reinterpret_cast<HINSTANCE>(1), MAKEINTRESOURCEA(107));
  cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  cls.lpszMenuName = MAKEINTRESOURCEA(101);
  cls.lpszClassName = "KelvaneSmoke";
  if (!RegisterClassA(&cls)) return 1;
  int width = 640 + 2 * GetSystemMetrics(SM_CXDLGFRAME);
  int height = 480 + GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYDLGFRAME);
  gWindow = CreateWindowExA(0, "KelvaneSmoke", "KelvaneSmoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                            CW_USEDEFAULT, width, height, nullptr, nullptr, instance, nullptr);
  HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(109));
  ShowWindow(gWindow, SW_SHOW);
  UpdateWindow(gWindow);
  std::printf("window %d\n", gWindow != nullptr);

  MSG msg{};
  DWORD start = timeGetTime();
  while (gRunning && timeGetTime() - start < 90000) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
      GetMessageA(&msg, nullptr, 0, 0);
      TranslateAcceleratorA(gWindow, accelerators, &msg);
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (msg.message == WM_QUIT) break;
    if (IsWindow(gWindow)) PresentPicture(timeGetTime());
    usleep(10000);
  }
  RECT client{};
  GetClientRect(gWindow, &client);
  std::printf("client %ld %ld\n", static_cast<long>(client.right), static_cast<long>(client.bottom));
  std::printf("paints %u presents %u\n", gPaints, gPresents);
  std::printf("exit %d\n", static_cast<int>(msg.wParam));
  return 0;
}
