// The Win32 user interface: windows, messages, menus, accelerators, dialogs,
// message boxes, help and the resource form, all in one include.
#pragma once

#include "win_dialog.h"
#include "win_menu.h"
#include "win_messages.h"
#include "win_queue.h"
#include "win_resource.h"
#include "win_window.h"
