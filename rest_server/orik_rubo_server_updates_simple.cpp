// SOME/IP-to-REST updates whose element is found by type and whose values are a plain list of
// properties.
#include <tuple>

#include "rest_model/elements/elements.h"
#include "rest_server/orik_rubo_server.h"
#include "rest_server/orik_rubo_server_updates_support.h"

namespace orik::ruboServer {

namespace cmc = rubo::server::charging_management_core;
using ara::core::Optional;
using updates::ApplyGuarded;
using updates::ApplyGuardedNamed;
using updates::FindInCollection;
using updates::PropertyWriter;

void ORIKRuboServer::Update_batteryPreconditionings(const Optional<std::string>& type,
                                                    const Optional<std::string>& preconditioningState) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto element = FindInCollection<cmc::BatteryPreconditioningObject>(
      server->GetChargingManagementCoreBatteryPreconditionings(), type);
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuardedNamed(m_logger, "[Rubo] batteryPreconditionings - ", writer,
                    [&] { writer.Listed(*element, "preconditioningState", preconditioningState); });
}

void ORIKRuboServer::Update_Notifications(const Optional<std::string>& type, const Optional<std::string>& value,
                                          const Optional<std::string>& additionalInformation) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto element =
      FindInCollection<cmc::NotificationObject>(server->GetChargingManagementCoreNotifications(), type);
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(m_logger, "[Rubo] Domain error exception caught while updating notification object: ",
               "[Rubo] Unknown exception caught while updating notification object.", [&] {
                 writer.Listed(*element, "value", value);
                 writer.Listed(*element, "additionalInformation", additionalInformation);
               });
}

void ORIKRuboServer::Update_NotificationMarkers(const Optional<std::string>& type,
                                                const Optional<bool>& isToBeNotified) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto element =
      FindInCollection<cmc::NotificationMarkerObject>(server->GetChargingManagementCoreNotificationMarkers(), type);
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(m_logger, "[Rubo] Domain error exception caught while updating notificationMarker object: ",
               "[Rubo] Unknown exception caught while updating notificationMarker object.",
               [&] { writer.Bool("isToBeNotified", isToBeNotified); });
}

void ORIKRuboServer::Update_OruUpdateApprovals(const Optional<std::string>& type,
                                               const Optional<bool>& updateApproval) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto element =
      FindInCollection<cmc::OruUpdateApprovalObject>(server->GetChargingManagementCoreOruUpdateApprovals(), type);
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(m_logger, "[Rubo] Domain error exception caught while updating oruUpdateApproval object: ",
               "[Rubo] Unknown exception caught while updating oruUpdateApproval object.",
               [&] { writer.Bool("updateApproval", updateApproval); });
}

void ORIKRuboServer::Update_pastErrorInformation(const Optional<std::string>& type, const Optional<std::string>& value,
                                                 const Optional<std::string>& additionalInformation,
                                                 const Optional<bool>& confirmedByUser) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto element =
      FindInCollection<cmc::PastErrorInformationObject>(server->GetChargingManagementCorePastErrorInformation(), type);
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(m_logger,
               "[Rubo][SomeIp -> Rubo] Domain error exception caught while updating pastErrorInformation object: ",
               "[Rubo] Unknown exception caught while updating pastErrorInformation object.", [&] {
                 writer.Listed(*element, "value", value);
                 writer.Listed(*element, "additionalInformation", additionalInformation);
                 writer.Bool("confirmedByUser", confirmedByUser);
               });
}

void ORIKRuboServer::Update_batteryPreconditioningEnergies(const Optional<std::string>& type,
                                                           const Optional<std::uint32_t>& firstStop,
                                                           const Optional<std::uint32_t>& nextStops) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto element = FindInCollection<cmc::BatteryPreconditioningEnergyObject>(
      server->GetChargingManagementCoreBatteryPreconditioningEnergies(), type);
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuardedNamed(m_logger, "[Rubo] batteryPreconditioningEnergies - ", writer, [&] {
    writer.Int("firstStop", firstStop, 0, 100000);
    writer.Int("nextStops", nextStops, 0, 100000);
  });
}

void ORIKRuboServer::Update_batteryCareModes(const Optional<std::string>& type,
                                             const Optional<std::string>& notification,
                                             const Optional<std::string>& popup,
                                             const Optional<std::uint32_t>& chargeBcamThreshold,
                                             const Optional<float>& bcamScoreThreshold) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto element =
      FindInCollection<cmc::BatteryCareModeObject>(server->GetChargingManagementCoreBatteryCareModes(), type);
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuardedNamed(m_logger, "[Rubo] batteryCareModes - ", writer, [&] {
    writer.Listed(*element, "notification", notification);
    writer.Listed(*element, "popup", popup);
    writer.Int("chargeBcamThreshold", chargeBcamThreshold, 0, 100);
    writer.Real("bcamScoreThreshold", bcamScoreThreshold, 0.0F, 3000.0F);
  });
}

void ORIKRuboServer::Update_BidirectionalChargingModes(BidirectionalChargingModesUpdate&& update) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const BidirectionalChargingModesUpdate values = std::move(update);
  const auto element = FindInCollection<cmc::BidirectionalChargingModeObject>(
      server->GetChargingManagementCoreBidirectionalChargingModes(),
      std::get<BidirectionalChargingModesUpdateIndex::type>(values));
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(
      m_logger,
      "[Rubo][SomeIp -> Rubo] Domain error exception caught while updating BidirectionalChargingModes "
      "object: ",
      "[Rubo] Unknown exception caught while updating BidirectionalChargingModes object.", [&] {
        writer.Listed(*element, "information", std::get<BidirectionalChargingModesUpdateIndex::information>(values));
        writer.Listed(*element, "notification", std::get<BidirectionalChargingModesUpdateIndex::notification>(values));
        writer.Listed(*element, "chargingMode", std::get<BidirectionalChargingModesUpdateIndex::chargingMode>(values));
        writer.Real("operatingHoursThreshold",
                    std::get<BidirectionalChargingModesUpdateIndex::operatingHoursThreshold>(values), 0.0F, 10000.0F);
        writer.Real("numbersOfCyclesThreshold",
                    std::get<BidirectionalChargingModesUpdateIndex::numbersOfCyclesThreshold>(values), 0.0F, 500.0F);
        writer.Real("amountOfEnergyThreshold",
                    std::get<BidirectionalChargingModesUpdateIndex::amountOfEnergyThreshold>(values), 0.0F, 100000.0F);
        writer.Real("quotaThreshold", std::get<BidirectionalChargingModesUpdateIndex::quotaThreshold>(values), 0.0F,
                    1000000.0F);
      });
}

}  // namespace orik::ruboServer
