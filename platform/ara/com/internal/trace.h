#pragma once

#include <cstdint>
#include <exception>
#include <string_view>

namespace ara::log {
class Logger;
}

namespace ara::com::internal {

struct ServiceInstanceInfo;

// The middleware's own context, kept apart from the application's contexts. Units that log
// through it include "ara/log/logging.h" themselves.
ara::log::Logger& Trace();

// What the proxy field templates report. Out of line so that the many units instantiating the
// templates do not compile the logging headers, and a change there rebuilds only what logs.
// A null error is an exception of no standard type.
void TraceReceiveHandlerException(std::string_view fieldName, const std::exception* error);
void TraceEventDecodeFailure(const std::exception& error);
void TraceReplyDecodeFailure(const std::exception& error);
void TraceCall(std::string_view fieldName, std::uint16_t methodIndex, const ServiceInstanceInfo& instance);

}  // namespace ara::com::internal
