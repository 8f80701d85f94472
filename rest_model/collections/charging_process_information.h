#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/charging_process_information_object.h"

namespace rubo::server::charging_management_core {

// The "chargingProcessInformation" collection; its elements are ChargingProcessInformationObjects.
class ChargingProcessInformation
    : public Collection<"/ChargingManagementCore/chargingProcessInformation", ChargingProcessInformationObject> {};

}  // namespace rubo::server::charging_management_core
