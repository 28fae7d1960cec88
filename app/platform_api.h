// The platform interfaces the application calls: kernel, Win32 user interface,
// Direct3D 8 and DirectInput 8.
#pragma once

#include "d3d8.h"
#include "win_kernel.h"
#include "win_user.h"
#include "dinput8.h"
