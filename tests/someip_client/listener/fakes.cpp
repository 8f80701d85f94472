#include "fakes.h"

namespace someip_client_test {

orik::chargingManagementCoreListener::CmcGetVariant FakeCmcWrapper::EmptyRead(SOMEIP_RESOURCE_TYPE type) {
  using V = orik::chargingManagementCoreListener::CmcGetVariant;
  switch (type) {
    case SOMEIP_RESOURCE_TYPE::CHARGING_PLUGS:
      return V{std::vector<cmc::DT_chargingPlugs_struct>{}};
    case SOMEIP_RESOURCE_TYPE::VALUE_CONTROLS:
      return V{std::vector<cmc::DT_valueControls_struct>{}};
    case SOMEIP_RESOURCE_TYPE::SWITCH_CONTROLS:
      return V{std::vector<cmc::DT_switchControls_struct>{}};
    case SOMEIP_RESOURCE_TYPE::VIEWS:
      return V{std::vector<cmc::DT_views_struct>{}};
    case SOMEIP_RESOURCE_TYPE::NOTIFICATION_MARKERS:
      return V{std::vector<cmc::DT_notificationMarkers_struct>{}};
    case SOMEIP_RESOURCE_TYPE::ORU_UPDATE_APPROVALS:
      return V{std::vector<cmc::DT_oruUpdateApprovals_struct>{}};
    case SOMEIP_RESOURCE_TYPE::NOTIFICATIONS:
      return V{std::vector<cmc::DT_notifications_struct>{}};
    case SOMEIP_RESOURCE_TYPE::RESET_TO_FACTORY_DATA:
      return V{std::vector<cmc::DT_resetToFactoryData_struct>{}};
    case SOMEIP_RESOURCE_TYPE::CHARGING_PROCESS_INFORMATION:
      return V{std::vector<cmc::DT_chargingProcessInformation_struct>{}};
    case SOMEIP_RESOURCE_TYPE::VALUE_INDICATIONS:
      return V{std::vector<cmc::DT_valueIndications_struct>{}};
    case SOMEIP_RESOURCE_TYPE::PAST_ERROR_INFORMATION:
      return V{std::vector<cmc::DT_pastErrorInformation_struct>{}};
    case SOMEIP_RESOURCE_TYPE::BATTERY_CARE_MODES:
      return V{std::vector<cmc::DT_batteryCareModes_struct>{}};
    case SOMEIP_RESOURCE_TYPE::BIDIRECTIONAL_CHARGING_MODES:
      return V{std::vector<cmc::DT_bidirectionalChargingModes_struct>{}};
    case SOMEIP_RESOURCE_TYPE::BATTERY_PRECONDITIONINGS:
      return V{std::vector<cmc::DT_batteryPreconditionings_struct>{}};
    case SOMEIP_RESOURCE_TYPE::BATTERY_PRECONDITIONING_ENERGIES:
      return V{std::vector<cmc::DT_batteryPreconditioningEnergies_struct>{}};
    default:
      return V{};
  }
}

}  // namespace someip_client_test
