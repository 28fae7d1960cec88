// The program's entry in the platform's shape; `main` calls it.
#pragma once

#include "app/platform_api.h"

// Only the instance handle is used; always returns 0.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
