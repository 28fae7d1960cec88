#include "d3d8_test_creation.h"

namespace {
bool createFails = false;
}  // namespace

void D3D8TestFailDirect3DCreate(BOOL fail) { createFails = fail != FALSE; }

bool D3D8TestDirect3DCreateFails() { return createFails; }
