// Modal dialog boxes, message boxes and the help window.
//
// DialogBoxParamA and MessageBoxA run their own message loop: the caller's
// loop stops until they return, the owner window is disabled for input, and
// every other message (WM_PAINT of the owner among them) is still dispatched.
#pragma once

#include "win_window.h"

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Command ids of the standard buttons and of MessageBoxA's results.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;
constexpr int IDC_STATIC = -1;

// Dialog template styles.
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_CENTER = 0x0800;
// Button, edit and static control styles.
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_NUMBER = 0x2000;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_CENTERIMAGE = 0x0200;

// Runs the dialog template `templateName` (MAKEINTRESOURCEA(id) of a registered
// dialog) modally: WM_INITDIALOG with `initParam`, then the dialog's own loop
// until EndDialog. Enter sends WM_COMMAND with the default push button's id
// (IDOK when there is none), Escape WM_COMMAND IDCANCEL, the title bar's close
// button WM_CLOSE (which, when the procedure returns FALSE, becomes WM_COMMAND
// IDCANCEL). Returns EndDialog's result, or -1 when the template is unknown, the
// procedure is null, or the dialog could not run.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC procedure, LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);
// Reads the control's text as a decimal number. Leading and trailing blanks are
// allowed; with `isSigned` a leading '-' is too. Empty, non-numeric or
// out-of-range text gives 0 with *translated = FALSE.
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
// Copies at most size-1 bytes and a terminating 0 (never splitting a UTF-8
// character); returns the number of bytes copied.
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
// Dialog units to pixels with the dialog font's metrics.
BOOL MapDialogRect(HWND dialog, RECT* rect);
LONG GetDialogBaseUnits();

// MessageBoxA types: buttons, icon, default button.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

// The caption shown when MessageBoxA gets a null caption.
inline constexpr const char* kDefaultMessageBoxCaption = "エラー";

// Shows `text` with `caption` (null: kDefaultMessageBoxCaption), the icon and
// buttons of `type`, modal to `owner` (may be null). Returns the id of the
// pressed button (IDOK …); closing the box counts as IDCANCEL where there is a
// Cancel button and as IDOK for MB_OK; 0 when `text` is null.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// WinHelpA commands.
constexpr UINT HELP_CONTEXT = 0x0001;
constexpr UINT HELP_QUIT = 0x0002;
constexpr UINT HELP_INDEX = 0x0003;
constexpr UINT HELP_CONTENTS = 0x0003;
constexpr UINT HELP_FINDER = 0x000B;

// Opens the help window for a registered help file (matched by file name, path
// and ASCII case ignored) with HELP_FINDER, HELP_CONTENTS or HELP_CONTEXT;
// HELP_QUIT closes it. FALSE for an unknown file or command.
BOOL WinHelpA(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data);
