// All kernel services at once.
#pragma once

#include "win_clock.h"
#include "win_file.h"
#include "win_module.h"
#include "win_registry.h"
#include "win_sysinfo.h"
#include "win_types.h"
