#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/reset_to_factory_data_object.h"

namespace rubo::server::charging_management_core {

// The "resetToFactoryData" collection; its elements are ResetToFactoryDataObjects.
class ResetToFactoryData : public Collection<"/ChargingManagementCore/resetToFactoryData", ResetToFactoryDataObject> {};

}  // namespace rubo::server::charging_management_core
