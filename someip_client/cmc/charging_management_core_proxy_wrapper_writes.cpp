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

template <typename Element, typename Field>
bool ChargingManagementCoreProxyWrapper::Write(Field Proxy::*field, const CmcSetVariant& value,
                                               const std::chrono::seconds& wait) {
  const Element& element = boost::get<Element>(value);
  const auto proxy = RequireProxy();
  auto own =
      std::make_shared<ara::com::Future<std::vector<Element>>>(((*proxy).*field).Set(std::vector<Element>{element}));
  if (!own->valid()) {
    throw std::future_error(std::future_errc::no_state);
  }
  {
    // The previous write's future may still be waited on by its caller, who holds its own
    // reference; the slot only drops ours.
    std::lock_guard<std::mutex> lock(writeMutex_);
    std::get<WriteSlot<Element>>(writeSlots_) = own;
  }
  if (own->wait_for(wait) != std::future_status::ready) {
    return true;
  }
  // An answer carrying an error is thrown, so the caller reports a failed write.
  static_cast<void>(own->get());
  return false;
}

bool ChargingManagementCoreProxyWrapper::SomeIp_Set(SOMEIP_RESOURCE_TYPE type, const CmcSetVariant& value,
                                                    const std::chrono::seconds& wait) {
  switch (type) {
    case SOMEIP_RESOURCE_TYPE::VALUE_CONTROLS:
      return Write<cmcTypes::DT_valueControls_struct>(&Proxy::valueControls, value, wait);
    case SOMEIP_RESOURCE_TYPE::SWITCH_CONTROLS:
      return Write<cmcTypes::DT_switchControls_struct>(&Proxy::switchControls, value, wait);
    case SOMEIP_RESOURCE_TYPE::VIEWS:
      return Write<cmcTypes::DT_views_struct>(&Proxy::views, value, wait);
    case SOMEIP_RESOURCE_TYPE::RESET_TO_FACTORY_DATA:
      return Write<cmcTypes::DT_resetToFactoryData_struct>(&Proxy::resetToFactoryData, value, wait);
    case SOMEIP_RESOURCE_TYPE::PAST_ERROR_INFORMATION:
      return Write<cmcTypes::DT_pastErrorInformation_struct>(&Proxy::pastErrorInformation, value, wait);
    default:
      logger_.LogInfo() << "[cmcwrapper] Set not implemented for this data type.";
      return true;
  }
}

}  // namespace orik::chargingManagementCoreListener
