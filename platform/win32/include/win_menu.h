// Menus and accelerator tables.
#pragma once

#include "win_messages.h"

constexpr UINT MF_BYCOMMAND = 0x00000000;
constexpr UINT MF_BYPOSITION = 0x00000400;
constexpr UINT MF_UNCHECKED = 0x00000000;
constexpr UINT MF_CHECKED = 0x00000008;
constexpr UINT MF_ENABLED = 0x00000000;
constexpr UINT MF_GRAYED = 0x00000001;
constexpr UINT MF_DISABLED = 0x00000002;
constexpr UINT MF_STRING = 0x00000000;
constexpr UINT MF_POPUP = 0x00000010;
constexpr UINT MF_SEPARATOR = 0x00000800;

HMENU GetMenu(HWND window);
// The previous state (MF_CHECKED or MF_UNCHECKED), or (DWORD)-1 when there is no such item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
// The previous state (MF_ENABLED, MF_GRAYED, MF_DISABLED), or -1.
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
// MF_CHECKED / MF_GRAYED / MF_POPUP / MF_SEPARATOR bits of an item, or (UINT)-1.
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
int GetMenuItemCount(HMENU menu);
HMENU GetSubMenu(HMENU menu, int position);
UINT GetMenuItemID(HMENU menu, int position);  // (UINT)-1 for a popup or a bad position

// Accelerator flags.
constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FNOINVERT = 0x02;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

struct ACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
};

HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR tableName);  // a registered accelerator table
HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
// A key message that matches an entry sends WM_COMMAND (command id, 1) to `window`
// and returns non-zero; the key message itself is left for the caller.
// Virtual-key entries match WM_KEYDOWN/WM_SYSKEYDOWN with exactly the held
// Shift/Ctrl/Alt; character entries match WM_CHAR. No command goes to a disabled window.
int TranslateAcceleratorA(HWND window, HACCEL table, MSG* msg);
