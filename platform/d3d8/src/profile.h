// The capability profile the runtime serves everything from (see d3d8_test.h).
#pragma once

#include "d3d8_test.h"

const D3D8TestProfile& CurrentProfile();

// Whether the profile accepts `format` for the resource type and the
// format-bound usage bits (D3DUSAGE_RENDERTARGET, D3DUSAGE_DEPTHSTENCIL).
bool ProfileAcceptsFormat(D3DRESOURCETYPE type, DWORD usage, D3DFORMAT format);

// Counts one Present; true when the profile says this one must fail.
bool ProfileTakeFailingPresent();

// The capabilities as a device of `type` reports them.
D3DCAPS8 ProfileCaps(D3DDEVTYPE type);
