#include "ara/rest/allocator.h"

namespace ara::rest {
namespace {

class NewDeleteAllocator final : public Allocator {
 public:
  void* Allocate(std::size_t bytes, std::size_t alignment) override {
    return ::operator new (bytes, std::align_val_t{alignment});
  }
  void Deallocate(void* pointer, std::size_t /*bytes*/, std::size_t alignment) noexcept override {
    ::operator delete (pointer, std::align_val_t{alignment});
  }
};

}  // namespace

Allocator* GetDefaultAllocator() noexcept {
  static NewDeleteAllocator allocator;
  return &allocator;
}

}  // namespace ara::rest
