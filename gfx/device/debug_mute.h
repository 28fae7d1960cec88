// The switch for the Direct3D runtime's debug output, used around calls that
// are expected to fail (format probes, container queries, the vertex-cache query).
#pragma once

#include "win_types.h"

// 1 silences the runtime's debug messages, 0 lets them through again. Only a
// runtime already loaded in the process is reached; none is ever loaded here.
void MuteDebugRuntime(BOOL mute);
