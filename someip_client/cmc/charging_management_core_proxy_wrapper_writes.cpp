#include "someip_client/cmc/charging_management_core_proxy_wrapper.h"

#include <exception>
#include <future>
#include <utility>

#include <boost/variant/get.hpp>

#include "ara/com/types.h"
#include "ara/log/logging.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_proxy.h"

// The wrapper's writes of the five writable fields.

namespace orik::chargingManagementCoreListener {

using orik::enums::SOMEIP_RESOURCE_TYPE;

template <typename F>
bool ChargingManagementCoreProxyWrapper::Write(const CmcSetVariant& value, const std::chrono::seconds& wait) {
  using Element = typename F::Element;
  const Element& element = boost::get<Element>(value);
  const auto proxy = RequireProxy();
  auto own =
      std::make_shared<ara::com::Future<std::vector<Element>>>(F::Member(*proxy).Set(std::vector<Element>{element}));
  if (!own->valid()) {
    throw std::future_error(std::future_errc::no_state);
  }
  {
    // The previous write's future may still be waited on by its caller, who holds its own
    // reference; the slot only drops ours.
    std::lock_guard<std::mutex> lock(writeMutex_);
    std::get<WriteSlot<F>>(writeSlots_) = own;
  }
  if (own->wait_for(wait) != std::future_status::ready) {
    return true;
  }
  // An answer carrying an error is thrown, so the caller reports a failed write.
  static_cast<void>(own->get());
  return false;
}

ChargingManagementCoreProxyWrapper::WriteOp ChargingManagementCoreProxyWrapper::WriteOf(SOMEIP_RESOURCE_TYPE type) {
  static constexpr auto kTable = orik::someipClient::ResourceTable<WriteOp>(
      fields::All{},
      []<typename F>() -> WriteOp {
        if constexpr (F::kWritable) {
          return [](ChargingManagementCoreProxyWrapper& wrapper, const CmcSetVariant& value,
                    const std::chrono::seconds& wait) { return wrapper.Write<F>(value, wait); };
        } else {
          return nullptr;
        }
      },
      nullptr);
  const auto index = static_cast<std::size_t>(type);
  return index < kTable.size() ? kTable[index] : nullptr;
}

bool ChargingManagementCoreProxyWrapper::SomeIp_Set(SOMEIP_RESOURCE_TYPE type, const CmcSetVariant& value,
                                                    const std::chrono::seconds& wait) {
  const WriteOp write = WriteOf(type);
  if (write == nullptr) {
    logger_.LogInfo() << "[cmcwrapper] Set not implemented for this data type.";
    return true;
  }
  return write(*this, value, wait);
}

}  // namespace orik::chargingManagementCoreListener
