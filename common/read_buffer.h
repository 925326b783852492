#pragma once
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace pelk {

// Gives the elements a vector grows by no initial value: a buffer that a file read fills at once
// need not be zero-filled first (the map script reads two 2 MB maps per command).
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <class U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}

  template <class U>
  void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// The bytes of a file as read.
using ReadBuffer = std::vector<char, UninitialisedAllocator<char>>;

}  // namespace pelk
