// SOME/IP-to-REST updates of value controls, value indications and the charging process
// information: the topics that arrive as one tuple of many members.
#include <tuple>

#include "rest_model/elements/elements.h"
#include "rest_server/orik_rubo_server.h"
#include "rest_server/orik_rubo_server_updates_support.h"

namespace orik::ruboServer {

namespace cmc = rubo::server::charging_management_core;
using ara::core::Optional;
using updates::ApplyGuarded;
using updates::FindInCollection;
using updates::PropertyWriter;

namespace {

constexpr std::uint32_t kMaxControlValue = 3000;
constexpr float kIndicationLimit = 1000000.0F;

}  // namespace

void ORIKRuboServer::Update_ValueControls(ValueControlsUpdate&& update) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const ValueControlsUpdate values = std::move(update);
  const auto collection = server->GetChargingManagementCoreValueControls();
  if (!collection) {
    return;
  }
  const auto element =
      updates::FindByType(collection->GetValueControlObjects(), std::get<ValueControlsUpdateIndex::type>(values));
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(
      m_logger, "[Rubo][SomeIp -> Rubo] Domain error exception caught while updating valueControl object: ",
      "[Rubo] Unknown exception caught while updating valueControl object.", [&] {
        writer.Through("currentValue", std::get<ValueControlsUpdateIndex::currentValue>(values),
                       [&](std::uint32_t value) { element->SetCurrentValue(static_cast<std::int64_t>(value)); });
        writer.Int("minValue", std::get<ValueControlsUpdateIndex::minValue>(values), 0, kMaxControlValue);
        writer.Int("maxValue", std::get<ValueControlsUpdateIndex::maxValue>(values), 0, kMaxControlValue);
        writer.Listed(*element, "unitPercent", std::get<ValueControlsUpdateIndex::unitPercent>(values));
        writer.Listed(*element, "unitDistance", std::get<ValueControlsUpdateIndex::unitDistance>(values));
        writer.Listed(*element, "unitTime", std::get<ValueControlsUpdateIndex::unitTime>(values));
        writer.Int("resolution", std::get<ValueControlsUpdateIndex::resolution>(values), 1, 100);
        writer.Listed(*element, "restrictionReason", std::get<ValueControlsUpdateIndex::restrictionReason>(values));
        writer.Listed(*element, "specialState", std::get<ValueControlsUpdateIndex::specialState>(values));
        // "off" is the only special state the model knows, so any configured state shows as
        // "off"; only an empty configuration stays empty.
        writer.Through(
            "specialStateConfiguration", std::get<ValueControlsUpdateIndex::specialStateConfiguration>(values),
            [&](const std::vector<std::string>& states) {
              element->SetSpecialStateConfiguration(
                  updates::ToValueList(states.empty() ? std::vector<std::string>{} : std::vector<std::string>{"off"}));
            });
      });
}

void ORIKRuboServer::Update_valueIndications(ValueIndicationsUpdate&& update) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const ValueIndicationsUpdate values = std::move(update);
  const auto element = FindInCollection<cmc::ValueIndicationObject>(
      server->GetChargingManagementCoreValueIndications(), std::get<ValueIndicationsUpdateIndex::type>(values));
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(m_logger, "[Rubo] Domain error exception caught while updating valueIndication object: ",
               "[Rubo] Unknown exception caught while updating valueIndication object.", [&] {
                 writer.Real("currentValue", std::get<ValueIndicationsUpdateIndex::currentValue>(values),
                             -kIndicationLimit, kIndicationLimit);
                 writer.Real("maxValue", std::get<ValueIndicationsUpdateIndex::maxValue>(values), -kIndicationLimit,
                             kIndicationLimit);
                 writer.Real("minValue", std::get<ValueIndicationsUpdateIndex::minValue>(values), -kIndicationLimit,
                             kIndicationLimit);
                 writer.Text("currentTimeDateValue",
                             std::get<ValueIndicationsUpdateIndex::currentTimeDateValue>(values), true);
                 writer.Through("unitPercent", std::get<ValueIndicationsUpdateIndex::unitPercent>(values),
                                [&](const std::string& unit) { element->SetUnitPercent(unit); });
                 writer.Through("unitTime", std::get<ValueIndicationsUpdateIndex::unitTime>(values),
                                [&](const std::string& unit) { element->SetUnitTime(unit); });
                 writer.Through("unitSpeed", std::get<ValueIndicationsUpdateIndex::unitSpeed>(values),
                                [&](const std::string& unit) { element->SetUnitSpeed(unit); });
                 writer.Through("unitPower", std::get<ValueIndicationsUpdateIndex::unitPower>(values),
                                [&](const std::string& unit) { element->SetUnitPower(unit); });
                 writer.Through("unitEnergy", std::get<ValueIndicationsUpdateIndex::unitEnergy>(values),
                                [&](const std::string& unit) { element->SetUnitEnergy(unit); });
                 writer.Through("restrictionReason", std::get<ValueIndicationsUpdateIndex::restrictionReason>(values),
                                [&](const std::string& reason) { element->SetRestrictionReason(reason); });
               });
}

void ORIKRuboServer::Update_chargingProcessInformation(ChargingProcessInformationUpdate&& update) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const ChargingProcessInformationUpdate values = std::move(update);
  const auto element = FindInCollection<cmc::ChargingProcessInformationObject>(
      server->GetChargingManagementCoreChargingProcessInformation(),
      std::get<ChargingProcessInformationUpdateIndex::type>(values));
  if (!element) {
    return;
  }
  // The charging station reports an empty identifier when it has none to give.
  Optional<std::string> evseid = std::get<ChargingProcessInformationUpdateIndex::evseid>(values);
  if (evseid.has_value() && evseid->empty()) {
    evseid.reset();
  }
  PropertyWriter writer(*element);
  ApplyGuarded(
      m_logger, "[Rubo] Domain error exception caught while updating ChargingProcessInformation object: ",
      "[Rubo] Unknown exception caught while updating ChargingProcessInformation object.", [&] {
        writer.Through("currentChargeState",
                       std::get<ChargingProcessInformationUpdateIndex::currentChargeState>(values),
                       [&](const std::string& text) { element->SetCurrentChargeState(text); });
        writer.Int("chargeBulkThreshold", std::get<ChargingProcessInformationUpdateIndex::chargeBulkThreshold>(values),
                   0, 100);
        writer.Through("chargeMode", std::get<ChargingProcessInformationUpdateIndex::chargeMode>(values),
                       [&](const std::string& text) { element->SetChargeMode(text); });
        writer.Through("profileChargeReason",
                       std::get<ChargingProcessInformationUpdateIndex::profileChargeReason>(values),
                       [&](const std::string& text) { element->SetProfileChargeReason(text); });
        writer.Through("chargeType", std::get<ChargingProcessInformationUpdateIndex::chargeType>(values),
                       [&](const std::string& text) { element->SetChargeType(text); });
        writer.Through("chargingScenario", std::get<ChargingProcessInformationUpdateIndex::chargingScenario>(values),
                       [&](const std::string& text) { element->SetChargingScenario(text); });
        writer.Through("activeTargetSoc", std::get<ChargingProcessInformationUpdateIndex::activeTargetSoc>(values),
                       [&](const std::string& text) { element->SetActiveTargetSoc(text); });
        writer.Through("chargeTimeDisplay", std::get<ChargingProcessInformationUpdateIndex::chargeTimeDisplay>(values),
                       [&](const std::string& text) { element->SetChargeTimeDisplay(text); });
        writer.Text("evseid", evseid, true);
        writer.Through("chargeRateCuteness",
                       std::get<ChargingProcessInformationUpdateIndex::chargeRateCuteness>(values),
                       [&](const std::string& text) { element->SetChargeRateCuteness(text); });
      });
}

}  // namespace orik::ruboServer
