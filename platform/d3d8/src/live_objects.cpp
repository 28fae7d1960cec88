#include "live_objects.h"

#include "d3d8_test.h"

namespace {
size_t g_live = 0;  // the runtime is used from one thread
}

LiveObject::LiveObject() { ++g_live; }
LiveObject::LiveObject(const LiveObject&) { ++g_live; }
LiveObject::~LiveObject() { --g_live; }

size_t LiveObjectCount() { return g_live; }
size_t D3D8TestLiveObjectCount() { return g_live; }
