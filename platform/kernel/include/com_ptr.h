// ComPtr: owns one reference to a COM-style object and releases it when it goes.
#pragma once

#include <utility>

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Takes over a reference the caller already owns (no AddRef).
  explicit ComPtr(T* owned) : ptr_(owned) {}
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }

  // Shares an object: adds a reference of our own.
  static ComPtr Share(T* object) {
    if (object) object->AddRef();
    return ComPtr(object);
  }

  void Reset() {
    if (T* p = std::exchange(ptr_, nullptr)) p->Release();
  }
  // Gives the reference away to the caller.
  [[nodiscard]] T* Detach() { return std::exchange(ptr_, nullptr); }
  // Releases what is held and hands out the slot for a function that writes an owned reference.
  T** ReleaseAndGetAddressOf() {
    Reset();
    return &ptr_;
  }

  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  T& operator*() const { return *ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

 private:
  T* ptr_ = nullptr;
};
