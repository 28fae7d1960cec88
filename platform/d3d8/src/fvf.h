// Flexible vertex format codes: validity and vertex size.
#pragma once

#include "d3d8_types.h"

bool ValidFvf(DWORD fvf);
UINT FvfVertexSize(DWORD fvf);  // 0 for an invalid code
