#pragma once

#include <stdexcept>

namespace ara::com {

// The instance is not offered: thrown at once by a call (nothing is sent), or stored in a
// call's future for a reply with return code 255 or when the instance went away meanwhile.
class ServiceNotAvailableException : public std::runtime_error {
 public:
  ServiceNotAvailableException() : std::runtime_error("Service not available exception") {}
};

// Any other failed call: a reply with a non-zero return code, or a reply that cannot be decoded.
class TransportException : public std::runtime_error {
 public:
  TransportException() : std::runtime_error("Transport exception") {}
};

}  // namespace ara::com
