// Counts the runtime's live objects, so that tests can prove every object went
// at its last release.
#pragma once

#include <cstddef>

class LiveObject {
 protected:
  LiveObject();
  LiveObject(const LiveObject&);
  ~LiveObject();
};

size_t LiveObjectCount();
