#pragma once

#include <optional>

namespace ara::core {

// The middleware's optional: a presence flag and a value. Reading an absent value throws
// std::bad_optional_access, which is what readers of element members rely on.
template <typename T>
using Optional = std::optional<T>;

}  // namespace ara::core
