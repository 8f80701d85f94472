#pragma once

// A small service of two fields for exercising the middleware without the generated types:
// values are vectors of 32-bit numbers, each on the wire as 4 big-endian bytes.

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/find_service.h"
#include "ara/com/proxy/field.h"
#include "ara/com/proxy/proxy.h"

namespace comtest {

using Value = std::vector<std::uint32_t>;

struct NumberCodec {
  static std::vector<std::uint8_t> Encode(const Value& value) {
    std::vector<std::uint8_t> bytes;
    for (auto v : value) {
      for (int shift = 24; shift >= 0; shift -= 8) {
        bytes.push_back(static_cast<std::uint8_t>(v >> shift));
      }
    }
    return bytes;
  }
  static Value Decode(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() % 4 != 0) {
      throw std::out_of_range("Read beyond the end of the data buffer");
    }
    Value value;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
      value.push_back(std::uint32_t{bytes[i]} << 24 | std::uint32_t{bytes[i + 1]} << 16 |
                      std::uint32_t{bytes[i + 2]} << 8 | std::uint32_t{bytes[i + 3]});
    }
    return value;
  }
};

// Return code 0x42 is an application error of alpha's read.
struct ApplicationError : std::runtime_error {
  ApplicationError() : std::runtime_error("application error") {}
};

struct NoErrors {
  static std::exception_ptr GetApplicationErrorExceptionPtr(std::uint8_t, const std::vector<std::uint8_t>&) {
    return {};
  }
};

struct TestService {
  static constexpr std::string_view kInterfaceName = "comtest::TestService";
  static constexpr ara::com::ServiceInterfaceDescription kDescription{2, 3};
  static ara::com::ServiceDeployment DefaultDeployment() {
    return {std::string(kInterfaceName), 0x7001, {{0x8001, 1}, {0x8002, 2}}, {0x0011, 0x0012, 0x0013}};
  }

  struct alpha {
    using value_type = Value;
    using Codec = NumberCodec;
    static constexpr std::string_view kName = "alpha";
    struct Get {
      static constexpr std::uint16_t kMethodIndex = 0;
      static std::exception_ptr GetApplicationErrorExceptionPtr(std::uint8_t code, const std::vector<std::uint8_t>&) {
        return code == 0x42 ? std::make_exception_ptr(ApplicationError()) : nullptr;
      }
    };
    struct Set : NoErrors {
      static constexpr std::uint16_t kMethodIndex = 1;
    };
    struct Notify {
      static constexpr std::uint16_t kEventIndex = 0;
    };
  };

  struct beta {
    using value_type = Value;
    using Codec = NumberCodec;
    static constexpr std::string_view kName = "beta";
    struct Get : NoErrors {
      static constexpr std::uint16_t kMethodIndex = 2;
    };
    struct Notify {
      static constexpr std::uint16_t kEventIndex = 1;
    };
  };
};

inline const bool kTestServiceRegistered = ara::com::RegisterServiceInterface(TestService::kInterfaceName);

class TestProxy : public ara::com::internal::proxy::Proxy<TestService> {
 public:
  static ara::com::FindServiceHandle StartFindService(ara::com::FindServiceHandler<HandleType> handler,
                                                      ara::com::InstanceIdentifier instance) {
    return ara::com::internal::proxy::StartFindService<TestService>(std::move(handler), std::move(instance));
  }

  explicit TestProxy(HandleType& handle)
      : Proxy(handle, TestService::kDescription),
        alpha(handle.GetInstanceId(), Port()),
        beta(handle.GetInstanceId(), Port()) {}

  ara::com::internal::proxy::Field<TestService::alpha> alpha;
  ara::com::internal::proxy::Field<TestService::beta> beta;
};

}  // namespace comtest
