#pragma once

// The global enumeration <-> REST word tables, one Direct (value -> word) and one Inv
// (word -> value) table per enumeration, both expanded from the same vocabulary rows.
//
// They are const: filled during static initialisation and read without locks from every thread
// afterwards. Look up with find() or at() (at() throws std::out_of_range on a miss); a missing key
// is an ordinary outcome, e.g. a vehicle value that is not an enumerator. Word lookups are exact
// and case-sensitive. Do not read them from another unit's static initialiser: their construction
// order relative to other units is unspecified.
//
//   zrt::services::chargingmanagementcore::mapDT_ChargingManagementCore_<field>_<member>_Direct / _Inv
//   zrt::services::routebasedenergycontents::mapDT_RouteBasedEnergyContents_<field>_<member>_Direct / _Inv

#include <string>
#include <unordered_map>

#include "service_types/chargingmanagementcore/enumerations.h"
#include "service_types/routebasedenergycontents/enumerations.h"

namespace zrt::services::chargingmanagementcore {

#define ORIK_VOCABULARY(field, member, ROWS)                                                            \
  extern const std::unordered_map<datatypes::DT_ChargingManagementCore_##field##_##member, std::string> \
      mapDT_ChargingManagementCore_##field##_##member##_Direct;                                         \
  extern const std::unordered_map<std::string, datatypes::DT_ChargingManagementCore_##field##_##member> \
      mapDT_ChargingManagementCore_##field##_##member##_Inv;
#include "service_types/chargingmanagementcore/enumerations.def"

}  // namespace zrt::services::chargingmanagementcore

namespace zrt::services::routebasedenergycontents {

#define ORIK_VOCABULARY(field, member, ROWS)                                                              \
  extern const std::unordered_map<datatypes::DT_RouteBasedEnergyContents_##field##_##member, std::string> \
      mapDT_RouteBasedEnergyContents_##field##_##member##_Direct;                                         \
  extern const std::unordered_map<std::string, datatypes::DT_RouteBasedEnergyContents_##field##_##member> \
      mapDT_RouteBasedEnergyContents_##field##_##member##_Inv;
#include "service_types/routebasedenergycontents/enumerations.def"

}  // namespace zrt::services::routebasedenergycontents
