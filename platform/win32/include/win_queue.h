// The thread's message queue and the message loop.
//
// Order of retrieval, as on the platform: messages sent from outside the loop
// (activation, close requests from the title bar) are delivered to their window
// procedure first; then posted messages and input in the order they arrived;
// then WM_QUIT once PostQuitMessage was called; then WM_PAINT for a window
// that needs painting (it stays until the window is validated, which
// DefWindowProcA does for WM_PAINT). Waiting and peeking also let the desktop
// deliver its events.
#pragma once

#include "win_messages.h"

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// Non-zero when a message is available; with PM_NOREMOVE it stays in the queue.
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Blocks until a message arrives. 0 for WM_QUIT, -1 on a bad argument or when no
// message can ever arrive (a desktop without events, as in tests), else non-zero.
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
// WM_KEYDOWN of a key that types a character also queues WM_CHAR (WM_SYSKEYDOWN: WM_SYSCHAR).
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);  // 0 for a message to a window that no longer exists
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
DWORD GetMessageTime();
BOOL WaitMessage();

// Key state as the queue has seen it: bit 15 set while held, bit 0 toggles per press.
SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);
