#pragma once

#include "ara/log/logging.h"

namespace rubo::detail {

// The framework's own logging context ("RUBO").
ara::log::Logger& FrameworkLogger();

}  // namespace rubo::detail
