#pragma once

#include <cstdint>
#include <string>

#include "ara/core/optional.h"
#include "interfaces/enums/someip_types.h"
#include "service_types/chargingmanagementcore/enumerations.h"

namespace orik::chargingManagementCoreListener {

// The ChargingManagementCore listener as the mediator sees it: discovery start and the five
// field writes. Each write sends one element and waits for the service's answer.
class ORIKListenerInterface {
 public:
  virtual ~ORIKListenerInterface() = default;

  virtual void StartListener() = 0;

  // origin names the requester ("RUBO", "RBEC") and is used for the log only.
  virtual orik::enums::SOMEIP_RESPONSE_TYPE Update_ValueControls(
      zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_valueControls_type type,
      const ara::core::Optional<std::uint32_t>& value,
      const ara::core::Optional<
          zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_valueControls_specialState>&
          specialState,
      const std::string& origin) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE Update_SwitchControls(
      zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_switchControls_type type,
      const ara::core::Optional<
          zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_switchControls_switchValue>&
          switchValue) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE Update_Views(
      zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_views_type type,
      const ara::core::Optional<
          zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_views_content>& content,
      const ara::core::Optional<
          zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_views_visibility>&
          visibility) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE Update_pastErrorInformation(
      zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_pastErrorInformation_type type,
      const ara::core::Optional<bool>& confirmedByUser) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE Update_FactoryResetInfo(
      zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData
          reset) = 0;
};

}  // namespace orik::chargingManagementCoreListener
