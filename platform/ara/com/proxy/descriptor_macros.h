#pragma once

// Building blocks for generated service types and proxies. A service lists its fields once, as
// X(field, element structure, event index, Get index, Set) rows, where Set is NONE or SET(index);
// everything else (descriptors, error hooks, proxy members, counts, checks) is expanded from it.
// A descriptor expects a class template FieldCodec<Element> and a namespace `datatypes` in scope.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>
#include <vector>

// One method of a field; the service defines no application errors, so the binding falls back to
// its own errors for every non-zero return code.
#define ARA_COM_METHOD_DESCRIPTOR(Method, index)                                                              \
  struct Method {                                                                                             \
    static constexpr std::uint16_t kMethodIndex = index;                                                      \
    static std::exception_ptr GetApplicationErrorExceptionPtr(std::uint8_t /*returnCode*/,                    \
                                                              const std::vector<std::uint8_t>& /*payload*/) { \
      return nullptr;                                                                                         \
    }                                                                                                         \
  };

#define ARA_COM_SETTER_NONE
#define ARA_COM_SETTER_SET(index) ARA_COM_METHOD_DESCRIPTOR(Set, index)

#define ARA_COM_FIELD_DESCRIPTOR(field, element, eventIndex, getIndex, setter)                          \
  struct field {                                                                                        \
    using value_type = std::vector<datatypes::element>;                                                 \
    using Codec = FieldCodec<datatypes::element>;                                                       \
    static constexpr std::string_view kName = #field;                                                   \
    ARA_COM_METHOD_DESCRIPTOR(Get, getIndex)                                                            \
    ARA_COM_SETTER_##setter struct Notify { static constexpr std::uint16_t kEventIndex = eventIndex; }; \
  };

// Counting and checking.
#define ARA_COM_COUNT_EVENT(field, element, eventIndex, getIndex, setter) +1
#define ARA_COM_COUNT_METHODS_NONE
#define ARA_COM_COUNT_METHODS_SET(index) +1
#define ARA_COM_COUNT_METHODS(field, element, eventIndex, getIndex, setter) +1 ARA_COM_COUNT_METHODS_##setter
#define ARA_COM_EVENT_INDEX(field, element, eventIndex, getIndex, setter) eventIndex,
#define ARA_COM_METHOD_INDEX_NONE
#define ARA_COM_METHOD_INDEX_SET(index) index,
#define ARA_COM_METHOD_INDICES(field, element, eventIndex, getIndex, setter) getIndex, ARA_COM_METHOD_INDEX_##setter

// Proxy members and their construction, in table order.
#define ARA_COM_PROXY_MEMBER(Service, field) ::ara::com::internal::proxy::Field<Service::field> field;
#define ARA_COM_PROXY_MEMBER_INIT(handle, field) , field(::ara::com::InstanceIdentifier(handle.GetInstanceId()), Port())

namespace ara::com::internal::proxy {

// True when the indices count 0, 1, 2, ... in table order.
template <std::size_t N>
constexpr bool CountsUpFromZero(const std::uint16_t (&indices)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (indices[i] != i) {
      return false;
    }
  }
  return true;
}

}  // namespace ara::com::internal::proxy
