// Resources: menus, dialog templates, accelerator tables, icons and help texts
// that the program registers by id at start-up, written so that they read like
// the resource script they stand for.
//
//   RegisterResource(MENU(101, {
//       POPUP("ファイル", {
//           MENUITEM("開く(F2)", 40003),
//           MENUITEM(SEPARATOR),
//           MENUITEM("閉じる(ESC)", 40001),
//       }),
//       POPUP("表示", {
//           MENUITEM("グリッド 'g'", 40011, MF_CHECKED),
//       }),
//   }));
//
//   RegisterResource(ACCELERATORS(109, {
//       {'G', 40011, FVIRTKEY | FNOINVERT},
//       {VK_F2, 40003, FVIRTKEY | FNOINVERT},
//   }));
//
//   RegisterResource(DIALOGEX(103, 0, 0, 110, 155,
//       STYLE(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION),
//       CAPTION("軌道のセット"),
//       FONT(9, "Ｐゴシック"), {
//       DEFPUSHBUTTON("発射", IDOK, 22, 103, 50, 14),
//       PUSHBUTTON("閉じる", IDCANCEL, 23, 125, 50, 14),
//       LTEXT("発射位置(緯度)", IDC_STATIC, 7, 20, 47, 8),
//       EDITTEXT(1011, 63, 17, 40, 14, ES_RIGHT | ES_AUTOHSCROLL),
//       ICON(107, IDC_STATIC, 7, 7, 20, 20, SS_CENTERIMAGE),
//   }));
//
//   RegisterResource(ICON_IMAGE(107, 32, 32, pixels));       // pixels: 32×32 A8R8G8B8 values
//   RegisterResource(HELPFILE("Kelvane.HLP", "Kelvaneのヘルプ", text));
//
// Texts are UTF-8. Ids are what MAKEINTRESOURCEA(id) names in LoadAcceleratorsA,
// LoadIconA, DialogBoxParamA and WNDCLASSA::lpszMenuName; resources belong to
// the program, whatever instance handle a call passes. Registering an id again
// replaces the earlier resource. RegisterResource returns FALSE for a resource
// it cannot use (an empty menu or table, a dialog of no size, an icon whose
// pixel count does not match, a help file without a name), and keeps nothing.
#pragma once

#include <string>
#include <vector>

#include "win_dialog.h"
#include "win_menu.h"

// ---- menus ------------------------------------------------------------------
struct MenuTemplateItem {
  std::string text;
  UINT id = 0;
  UINT flags = 0;  // MF_CHECKED, MF_GRAYED, MF_DISABLED; MF_POPUP and MF_SEPARATOR are set by POPUP and SEPARATOR
  std::vector<MenuTemplateItem> items;  // the popup's items
};
struct MenuResource {
  WORD id = 0;
  std::vector<MenuTemplateItem> items;
};
struct MenuSeparatorKeyword {};
inline constexpr MenuSeparatorKeyword SEPARATOR{};

inline MenuTemplateItem MENUITEM(std::string text, UINT id, UINT flags = 0) { return {std::move(text), id, flags, {}}; }
inline MenuTemplateItem MENUITEM(MenuSeparatorKeyword) { return {{}, 0, MF_SEPARATOR, {}}; }
inline MenuTemplateItem POPUP(std::string text, std::vector<MenuTemplateItem> items, UINT flags = 0) {
  return {std::move(text), 0, flags | MF_POPUP, std::move(items)};
}
inline MenuResource MENU(WORD id, std::vector<MenuTemplateItem> items) { return {id, std::move(items)}; }

// ---- accelerator tables -------------------------------------------------------
struct AcceleratorEntry {  // in the script's order: key, command, flags
  WORD key;                // a virtual-key code with FVIRTKEY, else a character
  WORD cmd;
  BYTE flags;
};
struct AcceleratorResource {
  WORD id = 0;
  std::vector<AcceleratorEntry> entries;
};
inline AcceleratorResource ACCELERATORS(WORD id, std::vector<AcceleratorEntry> entries) {
  return {id, std::move(entries)};
}

// ---- dialog templates ---------------------------------------------------------
enum class DialogControlKind { PushButton, DefPushButton, LeftText, CenterText, RightText, Edit, Icon, GroupBox };

struct DialogControl {
  DialogControlKind kind;
  std::string text;
  int id;
  short x, y, cx, cy;  // dialog units
  DWORD style;         // the control's own style bits, as the script adds them
  WORD iconId = 0;     // ICON: the icon resource shown
};
struct DialogStyle {
  DWORD value;
};
struct DialogCaption {
  std::string text;
};
struct DialogFont {
  WORD pointSize;
  std::string face;
};
struct DialogResource {
  WORD id = 0;
  bool extended = false;  // DIALOGEX or DIALOG
  short x = 0, y = 0, cx = 0, cy = 0;
  DWORD style = 0;
  std::string caption;
  DialogFont font{9, {}};
  std::vector<DialogControl> controls;
};

inline DialogStyle STYLE(DWORD value) { return {value}; }
inline DialogCaption CAPTION(std::string text) { return {std::move(text)}; }
inline DialogFont FONT(WORD pointSize, std::string face) { return {pointSize, std::move(face)}; }
inline DialogResource DIALOGEX(WORD id, short x, short y, short cx, short cy, DialogStyle style, DialogCaption caption,
                               DialogFont font, std::vector<DialogControl> controls) {
  return {id, true, x, y, cx, cy, style.value, std::move(caption.text), std::move(font), std::move(controls)};
}
inline DialogResource DIALOG(WORD id, short x, short y, short cx, short cy, DialogStyle style, DialogCaption caption,
                             DialogFont font, std::vector<DialogControl> controls) {
  DialogResource r = DIALOGEX(id, x, y, cx, cy, style, std::move(caption), std::move(font), std::move(controls));
  r.extended = false;
  return r;
}

inline DialogControl DEFPUSHBUTTON(std::string text, int id, short x, short y, short cx, short cy, DWORD style = 0) {
  return {DialogControlKind::DefPushButton, std::move(text), id, x, y, cx, cy, style | BS_DEFPUSHBUTTON | WS_TABSTOP};
}
inline DialogControl PUSHBUTTON(std::string text, int id, short x, short y, short cx, short cy, DWORD style = 0) {
  return {DialogControlKind::PushButton, std::move(text), id, x, y, cx, cy, style | WS_TABSTOP};
}
inline DialogControl LTEXT(std::string text, int id, short x, short y, short cx, short cy, DWORD style = 0) {
  return {DialogControlKind::LeftText, std::move(text), id, x, y, cx, cy, style | SS_LEFT};
}
inline DialogControl CTEXT(std::string text, int id, short x, short y, short cx, short cy, DWORD style = 0) {
  return {DialogControlKind::CenterText, std::move(text), id, x, y, cx, cy, style | SS_CENTER};
}
inline DialogControl RTEXT(std::string text, int id, short x, short y, short cx, short cy, DWORD style = 0) {
  return {DialogControlKind::RightText, std::move(text), id, x, y, cx, cy, style | SS_RIGHT};
}
inline DialogControl EDITTEXT(int id, short x, short y, short cx, short cy, DWORD style = 0) {
  return {DialogControlKind::Edit, {}, id, x, y, cx, cy, style | WS_BORDER | WS_TABSTOP};
}
inline DialogControl GROUPBOX(std::string text, int id, short x, short y, short cx, short cy, DWORD style = 0) {
  return {DialogControlKind::GroupBox, std::move(text), id, x, y, cx, cy, style | BS_GROUPBOX};
}
inline DialogControl ICON(WORD iconId, int id, short x, short y, short cx, short cy, DWORD style = 0) {
  return {DialogControlKind::Icon, {}, id, x, y, cx, cy, style | SS_ICON, iconId};
}

// ---- icons and help -------------------------------------------------------------
struct IconResource {
  WORD id = 0;
  UINT width = 0, height = 0;
  std::vector<DWORD> pixels;  // rows top to bottom, A8R8G8B8
};
inline IconResource ICON_IMAGE(WORD id, UINT width, UINT height, std::vector<DWORD> pixels) {
  return {id, width, height, std::move(pixels)};
}

struct HelpResource {
  std::string fileName;  // the name WinHelpA is called with, e.g. "Kelvane.HLP"
  std::string title;     // the help window's title
  std::string text;      // paragraphs separated by blank lines
};
inline HelpResource HELPFILE(std::string fileName, std::string title, std::string text) {
  return {std::move(fileName), std::move(title), std::move(text)};
}

BOOL RegisterResource(const MenuResource& menu);
BOOL RegisterResource(const AcceleratorResource& table);
BOOL RegisterResource(const DialogResource& dialog);
BOOL RegisterResource(const IconResource& icon);
BOOL RegisterResource(const HelpResource& help);
