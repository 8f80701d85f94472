#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/statistic_object.h"

namespace rubo::server::charging_management_core {

// The "statistics" collection; its elements are StatisticObjects.
class Statistics : public Collection<"/ChargingManagementCore/statistics", StatisticObject> {};

}  // namespace rubo::server::charging_management_core
