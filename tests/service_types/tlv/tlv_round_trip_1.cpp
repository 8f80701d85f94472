// Round trips of the first ChargingManagementCore structures (see tlv_round_trip.h). A structure
// missing from every tlv_round_trip_*.cpp fails to link.

#define ORIK_TLV_ROUND_TRIP_DEFINITION
#include "tlv_round_trip.h"

namespace tlv_test {

template void ExpectRoundTrip<cmc::DT_batteryCareModes_struct>();
template void ExpectRoundTrip<cmc::DT_batteryPreconditioningEnergies_struct>();
template void ExpectRoundTrip<cmc::DT_batteryPreconditionings_struct>();
template void ExpectRoundTrip<cmc::DT_bidirectionalChargingModes_struct>();
template void ExpectRoundTrip<cmc::DT_chargeModes_struct>();
template void ExpectRoundTrip<cmc::DT_chargingPlugs_struct>();
template void ExpectRoundTrip<cmc::DT_chargingProcessInformation_struct>();
template void ExpectRoundTrip<cmc::DT_immediateActions_struct>();
template void ExpectRoundTrip<cmc::DT_immediateChargingOptions_struct>();
template void ExpectRoundTrip<cmc::DT_notificationMarkers_struct>();
template void ExpectRoundTrip<cmc::DT_notifications_struct>();

}  // namespace tlv_test
