// The RouteBasedEnergyContents tables (see table_definitions.h).

#include "app/mapping_tables/table_definitions.h"

namespace zrt::services::routebasedenergycontents {
#define ORIK_VOCABULARY(field, member, ROWS) ORIK_VOCABULARY_TABLES(RouteBasedEnergyContents, field, member, ROWS)
#include "service_types/routebasedenergycontents/enumerations.def"
}  // namespace zrt::services::routebasedenergycontents
