#pragma once

#include <memory>
#include <vector>

#include <boost/variant.hpp>

#include "service_types/chargingmanagementcore/datatypes.h"

namespace orik::chargingManagementCoreListener {

namespace cmcTypes = zrt::services::chargingmanagementcore::datatypes;

// One received field value as the middleware's sample cache hands it out.
template <typename Element>
using CmcSamplePtrs = std::vector<std::shared_ptr<const std::vector<Element>>>;

// The argument of a write: one element structure. The index of each alternative equals the
// resource type of its field (0 to 10).
using CmcSetVariant = boost::variant<cmcTypes::DT_chargingPlugs_struct, cmcTypes::DT_valueControls_struct,
                                     cmcTypes::DT_switchControls_struct, cmcTypes::DT_views_struct,
                                     cmcTypes::DT_notificationMarkers_struct, cmcTypes::DT_oruUpdateApprovals_struct,
                                     cmcTypes::DT_notifications_struct, cmcTypes::DT_resetToFactoryData_struct,
                                     cmcTypes::DT_chargingProcessInformation_struct,
                                     cmcTypes::DT_valueIndications_struct, cmcTypes::DT_pastErrorInformation_struct>;

// The result of a read: resource types 0 to 11 in value order, then 14, 15, 16. A
// default-constructed value (an empty chargingPlugs vector) is the answer for a type that is
// not served.
using CmcGetVariant = boost::variant<
    std::vector<cmcTypes::DT_chargingPlugs_struct>, std::vector<cmcTypes::DT_valueControls_struct>,
    std::vector<cmcTypes::DT_switchControls_struct>, std::vector<cmcTypes::DT_views_struct>,
    std::vector<cmcTypes::DT_notificationMarkers_struct>, std::vector<cmcTypes::DT_oruUpdateApprovals_struct>,
    std::vector<cmcTypes::DT_notifications_struct>, std::vector<cmcTypes::DT_resetToFactoryData_struct>,
    std::vector<cmcTypes::DT_chargingProcessInformation_struct>, std::vector<cmcTypes::DT_valueIndications_struct>,
    std::vector<cmcTypes::DT_pastErrorInformation_struct>, std::vector<cmcTypes::DT_batteryCareModes_struct>,
    std::vector<cmcTypes::DT_bidirectionalChargingModes_struct>,
    std::vector<cmcTypes::DT_batteryPreconditionings_struct>,
    std::vector<cmcTypes::DT_batteryPreconditioningEnergies_struct>>;

// The cached notification samples of one field: resource types 0 to 11 in value order, then
// 15, 16, 14 (not the order of CmcGetVariant).
using CmcCachedSamplesVariant = boost::variant<
    CmcSamplePtrs<cmcTypes::DT_chargingPlugs_struct>, CmcSamplePtrs<cmcTypes::DT_valueControls_struct>,
    CmcSamplePtrs<cmcTypes::DT_switchControls_struct>, CmcSamplePtrs<cmcTypes::DT_views_struct>,
    CmcSamplePtrs<cmcTypes::DT_notificationMarkers_struct>, CmcSamplePtrs<cmcTypes::DT_oruUpdateApprovals_struct>,
    CmcSamplePtrs<cmcTypes::DT_notifications_struct>, CmcSamplePtrs<cmcTypes::DT_resetToFactoryData_struct>,
    CmcSamplePtrs<cmcTypes::DT_chargingProcessInformation_struct>, CmcSamplePtrs<cmcTypes::DT_valueIndications_struct>,
    CmcSamplePtrs<cmcTypes::DT_pastErrorInformation_struct>, CmcSamplePtrs<cmcTypes::DT_batteryCareModes_struct>,
    CmcSamplePtrs<cmcTypes::DT_batteryPreconditionings_struct>,
    CmcSamplePtrs<cmcTypes::DT_batteryPreconditioningEnergies_struct>,
    CmcSamplePtrs<cmcTypes::DT_bidirectionalChargingModes_struct>>;

}  // namespace orik::chargingManagementCoreListener
