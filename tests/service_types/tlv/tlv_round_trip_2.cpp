// Round trips of the other ChargingManagementCore structures and of the RouteBasedEnergyContents
// ones (see tlv_round_trip.h). A structure missing from every tlv_round_trip_*.cpp fails to link.

#define ORIK_TLV_ROUND_TRIP_DEFINITION
#include "tlv_round_trip.h"

namespace tlv_test {

template void ExpectRoundTrip<cmc::DT_oruUpdateApprovals_struct>();
template void ExpectRoundTrip<cmc::DT_pastErrorInformation_struct>();
template void ExpectRoundTrip<cmc::DT_resetToFactoryData_struct>();
template void ExpectRoundTrip<cmc::DT_statistics_struct>();
template void ExpectRoundTrip<cmc::DT_switchControls_struct>();
template void ExpectRoundTrip<cmc::DT_valueControls_struct>();
template void ExpectRoundTrip<cmc::DT_valueIndications_struct>();
template void ExpectRoundTrip<cmc::DT_views_struct>();
template void ExpectRoundTrip<rbec::DT_destinations_struct>();
template void ExpectRoundTrip<rbec::DT_rangeOnRouteValues_struct>();
template void ExpectRoundTrip<rbec::DT_routeBasedResidualEnergyValues_struct>();
template void ExpectRoundTrip<rbec::DT_rwmStatus_struct>();
template void ExpectRoundTrip<rbec::DT_targetSocChargings_struct>();

}  // namespace tlv_test
