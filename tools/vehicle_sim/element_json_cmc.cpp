// The JSON form of every ChargingManagementCore element structure, compiled here once.

#include "tools/vehicle_sim/element_json_impl.h"

namespace orik::vehicleSim {

#define ORIK_SIM_CMC_ELEMENT_JSON(Name, MEMBERS) \
  ORIK_SIM_INSTANTIATE_ELEMENT_JSON(::zrt::services::chargingmanagementcore::datatypes::Name)
ORIK_CMC_STRUCTURES(ORIK_SIM_CMC_ELEMENT_JSON)
#undef ORIK_SIM_CMC_ELEMENT_JSON

}  // namespace orik::vehicleSim
