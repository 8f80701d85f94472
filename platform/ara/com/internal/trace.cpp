#include "ara/com/internal/trace.h"

#include "ara/com/internal/runtime_core.h"
#include "ara/log/logging.h"

namespace ara::com::internal {

ara::log::Logger& Trace() {
  static ara::log::Logger& logger = ara::log::CreateLogger("ACOM", "ara::com middleware");
  return logger;
}

void TraceReceiveHandlerException(std::string_view fieldName, const std::exception* error) {
  if (error != nullptr) {
    Trace().LogError() << "Exception in receive handler of " << fieldName << ": " << error->what();
  } else {
    Trace().LogError() << "Unknown exception in receive handler of " << fieldName;
  }
}

void TraceEventDecodeFailure(const std::exception& error) {
  Trace().LogError() << "Event_deserialize_exception: " << error.what();
}

void TraceReplyDecodeFailure(const std::exception& error) {
  Trace().LogError() << "Method_call_deserializer_exception: " << error.what();
}

void TraceCall(std::string_view fieldName, std::uint16_t methodIndex, const ServiceInstanceInfo& instance) {
  Trace().LogDebug() << "Call of " << fieldName << " (method " << methodIndex << ") on instance "
                     << instance.instance.ToString();
}

}  // namespace ara::com::internal
