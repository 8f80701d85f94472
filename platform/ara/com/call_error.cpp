#include "ara/com/exceptions.h"
#include "ara/com/types.h"

namespace ara::com::internal {

void ThrowCallError(CallError error, const std::exception_ptr& applicationError) {
  switch (error) {
    case CallError::kServiceNotAvailable:
      throw ServiceNotAvailableException();
    case CallError::kApplication:
      if (applicationError) {
        std::rethrow_exception(applicationError);
      }
      break;
    case CallError::kNone:
    case CallError::kTransport:
      break;
  }
  throw TransportException();
}

}  // namespace ara::com::internal
