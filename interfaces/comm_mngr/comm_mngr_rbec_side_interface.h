#pragma once

#include <cstdint>

#include "interfaces/enums/someip_types.h"

namespace orik::commMngr {

// The mediator as the RouteBasedEnergyContents listener sees it: the navigation target state of
// charge goes to the REST side and is written to the vehicle's value controls.
class CommMngrRBECSideInterface {
 public:
  virtual ~CommMngrRBECSideInterface() = default;

  virtual void TellRuboToUpdate_NavTargetSoc(const std::uint32_t& navTargetSoc) = 0;

  virtual orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_NavTargetSoc(const std::uint32_t& navTargetSoc) = 0;
};

}  // namespace orik::commMngr
