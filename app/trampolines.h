// Plain procedures with the platform's signatures that hand every message,
// unchanged, to the method of the same role on `theApp`.
#pragma once

#include "app/platform_api.h"

LRESULT CALLBACK MainWindowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProcedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LaunchDialogProcedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FrameTimeDialogProcedure(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
