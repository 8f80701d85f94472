#include "ara/com/transport/throttle.h"

#include "ara/com/internal/trace.h"
#include "ara/log/logging.h"

namespace ara::com::transport {

void TraceDropped(Throttle& throttle, std::string_view input, const std::exception* error) {
  if (throttle.Allow(std::chrono::steady_clock::now())) {
    internal::Trace().LogWarn() << input << " dropped: " << (error != nullptr ? error->what() : "unknown error");
  }
}

}  // namespace ara::com::transport
