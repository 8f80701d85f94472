// The ChargingManagementCore tables of the fields batteryCareModes to chargingPlugs (see table_definitions.h).

#include "app/mapping_tables/table_definitions.h"

#undef ORIK_CMC_TABLES_IN_1
#define ORIK_CMC_TABLES_IN_1 ORIK_CMC_TABLES

namespace zrt::services::chargingmanagementcore {
#define ORIK_VOCABULARY ORIK_CMC_VOCABULARY
#include "service_types/chargingmanagementcore/enumerations.def"
}  // namespace zrt::services::chargingmanagementcore
