#pragma once

#include <cstdint>
#include <string>

#include "ara/core/optional.h"
#include "interfaces/enums/someip_types.h"

namespace orik::commMngr {

// The mediator as the REST server application sees it: a client's change written to the
// vehicle. Each write returns the listener's outcome, or RESPONSE_ERROR when a required word
// cannot be translated.
class CommMngrRuboSideInterface {
 public:
  virtual ~CommMngrRuboSideInterface() = default;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_SwitchControls(
      const std::string& type, const ara::core::Optional<std::string>& switchValue) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_ValueControls(
      const std::string& type, const ara::core::Optional<std::uint32_t>& value,
      const ara::core::Optional<std::string>& specialState) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_Views(
      const std::string& type, const ara::core::Optional<std::string>& content,
      const ara::core::Optional<std::string>& visibility) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_pastErrorInformation(
      const std::string& type, const ara::core::Optional<bool>& confirmedByUser) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_ResetStatus(
      const ara::core::Optional<std::string>& reset) = 0;

  // Starts the ChargingManagementCore listener, then the route listener.
  virtual void TellSomeIpToStartListener() = 0;
};

}  // namespace orik::commMngr
