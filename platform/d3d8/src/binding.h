// A device-held reference to one of its objects (see DeviceObject): keeps the
// object alive without keeping the device alive.
#pragma once

#include <utility>

#include "device_object.h"

template <class T>
class Binding {
 public:
  Binding() = default;
  explicit Binding(T* object) : object_(object) { Bind(); }
  Binding(const Binding& other) : object_(other.object_) { Bind(); }
  Binding(Binding&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Binding& operator=(Binding other) noexcept {
    std::swap(object_, other.object_);
    return *this;
  }
  ~Binding() { Reset(); }

  void Reset() {
    if (T* object = std::exchange(object_, nullptr)) ObjectOf(object).Unbind();
  }
  T* Get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  static DeviceObject& ObjectOf(T* object) {
    if constexpr (requires { object->Object(); }) {
      return object->Object();
    } else {
      return *object;
    }
  }
  void Bind() {
    if (object_ != nullptr) ObjectOf(object_).Bind();
  }
  T* object_ = nullptr;
};
