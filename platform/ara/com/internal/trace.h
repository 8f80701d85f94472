#pragma once

#include "ara/log/logging.h"

namespace ara::com::internal {

// The middleware's own context, kept apart from the application's contexts.
inline ara::log::Logger& Trace() {
  static ara::log::Logger& logger = ara::log::CreateLogger("ACOM", "ara::com middleware");
  return logger;
}

}  // namespace ara::com::internal
