// Kernel objects behind HANDLE values, and the table that validates handles.
#pragma once

#include <memory>

#include "win_types.h"

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// Registers an object and returns its handle.
HANDLE AddKernelObject(std::unique_ptr<KernelObject> object);
// The object behind a live handle if it has type T, else null.
KernelObject* FindKernelObject(HANDLE handle);
template <typename T>
T* FindKernelObjectAs(HANDLE handle) {
  return dynamic_cast<T*>(FindKernelObject(handle));
}
// Destroys the object; false when the handle is not live.
bool RemoveKernelObject(HANDLE handle);
