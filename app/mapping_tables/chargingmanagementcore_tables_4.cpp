// The ChargingManagementCore tables of the fields valueIndications and views (see table_definitions.h).

#include "app/mapping_tables/table_definitions.h"

#undef ORIK_CMC_TABLES_IN_4
#define ORIK_CMC_TABLES_IN_4 ORIK_CMC_TABLES

namespace zrt::services::chargingmanagementcore {
#define ORIK_VOCABULARY ORIK_CMC_VOCABULARY
#include "service_types/chargingmanagementcore/enumerations.def"
}  // namespace zrt::services::chargingmanagementcore
