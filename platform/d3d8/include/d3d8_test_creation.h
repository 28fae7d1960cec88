// Test hook of the software Direct3D 8 runtime: makes Direct3DCreate8 fail,
// as it does on a machine without a usable runtime. The program never calls it.
#pragma once

#include "win_types.h"

// With TRUE every following Direct3DCreate8 returns null; FALSE restores it.
void D3D8TestFailDirect3DCreate(BOOL fail);
// Whether Direct3DCreate8 is set to fail.
bool D3D8TestDirect3DCreateFails();
