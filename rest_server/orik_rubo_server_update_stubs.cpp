// Placeholders of the SOME/IP-to-REST updates until their implementation lands; they change
// nothing.
#include "rest_server/orik_rubo_server.h"

namespace orik::ruboServer {

void ORIKRuboServer::Update_ValueControls(ValueControlsUpdate&& /*update*/) {}

void ORIKRuboServer::Update_SwitchControls(
    const ara::core::Optional<std::string>& /*type*/, const ara::core::Optional<std::string>& /*switchValue*/,
    const ara::core::Optional<std::string>& /*restrictionReason*/,
    const ara::core::Optional<std::vector<std::string>>& /*switchValueConfiguration*/) {}

void ORIKRuboServer::Update_ChargingPlugs(const ara::core::Optional<std::string>& /*type*/,
                                          const ara::core::Optional<std::string>& /*plugConnectionState*/,
                                          const ara::core::Optional<std::string>& /*infrastructureState*/,
                                          const ara::core::Optional<std::string>& /*plugType*/) {}

void ORIKRuboServer::Update_Views(const ara::core::Optional<std::string>& /*type*/,
                                  const ara::core::Optional<std::string>& /*content*/,
                                  const ara::core::Optional<std::string>& /*visibility*/) {}

void ORIKRuboServer::Update_Notifications(const ara::core::Optional<std::string>& /*type*/,
                                          const ara::core::Optional<std::string>& /*value*/,
                                          const ara::core::Optional<std::string>& /*additionalInformation*/) {}

void ORIKRuboServer::Update_NotificationMarkers(const ara::core::Optional<std::string>& /*type*/,
                                                const ara::core::Optional<bool>& /*isToBeNotified*/) {}

void ORIKRuboServer::Update_OruUpdateApprovals(const ara::core::Optional<std::string>& /*type*/,
                                               const ara::core::Optional<bool>& /*updateApproval*/) {}

void ORIKRuboServer::Update_chargingProcessInformation(ChargingProcessInformationUpdate&& /*update*/) {}

void ORIKRuboServer::Update_valueIndications(ValueIndicationsUpdate&& /*update*/) {}

void ORIKRuboServer::Update_pastErrorInformation(const ara::core::Optional<std::string>& /*type*/,
                                                 const ara::core::Optional<std::string>& /*value*/,
                                                 const ara::core::Optional<std::string>& /*additionalInformation*/,
                                                 const ara::core::Optional<bool>& /*confirmedByUser*/) {}

void ORIKRuboServer::Update_resetToFactoryData(const ara::core::Optional<std::string>& /*resetToFactoryData*/,
                                               const ara::core::Optional<std::uint64_t>& /*lastReset*/) {}

void ORIKRuboServer::Update_batteryCareModes(const ara::core::Optional<std::string>& /*type*/,
                                             const ara::core::Optional<std::string>& /*notification*/,
                                             const ara::core::Optional<std::string>& /*popup*/,
                                             const ara::core::Optional<std::uint32_t>& /*chargeBcamThreshold*/,
                                             const ara::core::Optional<float>& /*bcamScoreThreshold*/) {}

void ORIKRuboServer::Update_batteryPreconditionings(const ara::core::Optional<std::string>& /*type*/,
                                                    const ara::core::Optional<std::string>& /*preconditioningState*/) {}

void ORIKRuboServer::Update_batteryPreconditioningEnergies(const ara::core::Optional<std::string>& /*type*/,
                                                           const ara::core::Optional<std::uint32_t>& /*firstStop*/,
                                                           const ara::core::Optional<std::uint32_t>& /*nextStops*/) {}

void ORIKRuboServer::Update_BidirectionalChargingModes(BidirectionalChargingModesUpdate&& /*update*/) {}

void ORIKRuboServer::Update_NavTargetSoc(const std::uint8_t& /*navTargetSoc*/) {}

void ORIKRuboServer::SetFields_SwitchControls(
    const std::shared_ptr<SwitchControlObject>& /*switchControl*/,
    const ara::core::Optional<std::string>& /*switchValue*/,
    const ara::core::Optional<std::string>& /*restrictionReason*/,
    const ara::core::Optional<std::vector<std::string>>& /*switchValueConfiguration*/, bool /*removeAbsent*/) {}

void ORIKRuboServer::SetFields_ChargingPlugs(const std::shared_ptr<ChargingPlugObject>& /*chargingPlug*/,
                                             const ara::core::Optional<std::string>& /*plugConnectionState*/,
                                             const ara::core::Optional<std::string>& /*infrastructureState*/,
                                             const ara::core::Optional<std::string>& /*plugType*/,
                                             bool /*removeAbsent*/) {}

void ORIKRuboServer::SetFields_Views(const std::shared_ptr<ViewObject>& /*view*/, const std::string& /*content*/,
                                     const ara::core::Optional<std::string>& /*visibility*/, bool /*add*/) {}

}  // namespace orik::ruboServer
