#include "rubo/detail/logger.h"

namespace rubo::detail {

ara::log::Logger& FrameworkLogger() {
  static ara::log::Logger& logger = ara::log::CreateLogger("RUBO", "Rubo framework");
  return logger;
}

}  // namespace rubo::detail
