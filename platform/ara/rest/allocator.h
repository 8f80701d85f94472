#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <vector>

namespace ara::rest {

// Memory source of the REST layer. The default one is plain operator new/delete.
class Allocator {
 public:
  virtual ~Allocator() = default;
  virtual void* Allocate(std::size_t bytes, std::size_t alignment) = 0;
  virtual void Deallocate(void* pointer, std::size_t bytes, std::size_t alignment) noexcept = 0;
};

// Never null in this process; callers still treat null as "no allocator" (see StdAllocator).
Allocator* GetDefaultAllocator() noexcept;

// Standard-library allocator over an Allocator; a default-constructed one uses the default
// allocator, so containers of it need no explicit argument.
template <typename T>
class StdAllocator {
 public:
  using value_type = T;
  using propagate_on_container_copy_assignment = std::true_type;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;

  StdAllocator() noexcept : allocator_(GetDefaultAllocator()) {}
  StdAllocator(Allocator* allocator) noexcept : allocator_(allocator) {}  // NOLINT: implicit on purpose
  template <typename U>
  StdAllocator(const StdAllocator<U>& other) noexcept : allocator_(other.GetAllocator()) {}  // NOLINT

  T* allocate(std::size_t n) {
    if (allocator_ == nullptr) {
      throw std::invalid_argument("ptr is null");
    }
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) {
      throw std::bad_array_new_length();
    }
    return static_cast<T*>(allocator_->Allocate(n * sizeof(T), alignof(T)));
  }
  void deallocate(T* pointer, std::size_t n) noexcept { allocator_->Deallocate(pointer, n * sizeof(T), alignof(T)); }

  Allocator* GetAllocator() const noexcept { return allocator_; }

  template <typename U>
  bool operator==(const StdAllocator<U>& other) const noexcept {
    return allocator_ == other.GetAllocator();
  }

 private:
  Allocator* allocator_;
};

template <typename T>
using Vector = std::vector<T, StdAllocator<T>>;

// Owned pointer of the REST layer (object graphs, specifications, renderings).
template <typename T>
using Pointer = std::unique_ptr<T>;

// Shared object allocated through the default allocator. T's constructor must be public.
template <typename T, typename... Args>
std::shared_ptr<T> MakeSharedPointer(Args&&... args) {
  return std::allocate_shared<T>(StdAllocator<T>(), std::forward<Args>(args)...);
}

}  // namespace ara::rest
