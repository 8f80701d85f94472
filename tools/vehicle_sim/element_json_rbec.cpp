// The JSON form of every RouteBasedEnergyContents element structure, compiled here once.

#include "tools/vehicle_sim/element_json_impl.h"

namespace orik::vehicleSim {

#define ORIK_SIM_RBEC_ELEMENT_JSON(Name, MEMBERS) \
  ORIK_SIM_INSTANTIATE_ELEMENT_JSON(::zrt::services::routebasedenergycontents::datatypes::Name)
ORIK_RBEC_STRUCTURES(ORIK_SIM_RBEC_ELEMENT_JSON)
#undef ORIK_SIM_RBEC_ELEMENT_JSON

}  // namespace orik::vehicleSim
