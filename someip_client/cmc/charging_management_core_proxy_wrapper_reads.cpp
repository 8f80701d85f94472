#include "someip_client/cmc/charging_management_core_proxy_wrapper.h"

#include <exception>
#include <future>
#include <utility>

#include "ara/com/types.h"
#include "ara/log/logging.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_proxy.h"

// The wrapper's reads: every field's read issued at once, then collected one by one.

namespace orik::chargingManagementCoreListener {

using orik::enums::SOMEIP_RESOURCE_TYPE;

void ChargingManagementCoreProxyWrapper::PrepareGets() {
  const auto proxy = RequireProxy();
  // All reads are in flight before the first result is collected.
  orik::someipClient::ForEachField(fields::InPollOrder{}, [this, &proxy]<typename F>() {
    std::get<ReadSlot<F>>(readSlots_) = F::Member(*proxy).Get();
  });
}

template <typename F>
CmcGetVariant ChargingManagementCoreProxyWrapper::Collect(const std::chrono::milliseconds& wait) {
  auto& slot = std::get<ReadSlot<F>>(readSlots_);
  if (!slot.valid()) {
    throw std::future_error(std::future_errc::no_state);
  }
  if (slot.wait_for(wait) != std::future_status::ready) {
    // Left in its slot: a later call may still collect it.
    return CmcGetVariant{std::vector<typename F::Element>{}};
  }
  return CmcGetVariant{slot.get()};
}

ChargingManagementCoreProxyWrapper::CollectOp ChargingManagementCoreProxyWrapper::CollectOf(SOMEIP_RESOURCE_TYPE type) {
  static constexpr auto kTable = orik::someipClient::ResourceTable<CollectOp>(
      fields::All{},
      []<typename F>() -> CollectOp {
        return [](ChargingManagementCoreProxyWrapper& wrapper, const std::chrono::milliseconds& wait) {
          return wrapper.Collect<F>(wait);
        };
      },
      nullptr);
  const auto index = static_cast<std::size_t>(type);
  return index < kTable.size() ? kTable[index] : nullptr;
}

CmcGetVariant ChargingManagementCoreProxyWrapper::SomeIp_Get(SOMEIP_RESOURCE_TYPE type,
                                                             const std::chrono::milliseconds& wait) {
  const CollectOp collect = CollectOf(type);
  if (collect == nullptr) {
    logger_.LogInfo() << "[cmcwrapper] Get not implemented for this someip data type.";
    return CmcGetVariant{};
  }
  return collect(*this, wait);
}

}  // namespace orik::chargingManagementCoreListener
