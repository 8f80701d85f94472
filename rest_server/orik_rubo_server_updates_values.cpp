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
  const auto element = updates::FindByType(collection->GetValueControlObjects(), std::get<0>(values));
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(
      m_logger, "[Rubo][SomeIp -> Rubo] Domain error exception caught while updating valueControl object: ",
      "[Rubo] Unknown exception caught while updating valueControl object.", [&] {
        writer.Through("currentValue", std::get<1>(values),
                       [&](std::uint32_t value) { element->SetCurrentValue(static_cast<std::int64_t>(value)); });
        writer.Int("minValue", std::get<2>(values), 0, kMaxControlValue);
        writer.Int("maxValue", std::get<3>(values), 0, kMaxControlValue);
        writer.Listed(*element, "unitPercent", std::get<4>(values));
        writer.Listed(*element, "unitDistance", std::get<5>(values));
        writer.Listed(*element, "unitTime", std::get<6>(values));
        writer.Int("resolution", std::get<7>(values), 1, 100);
        writer.Listed(*element, "restrictionReason", std::get<8>(values));
        writer.Listed(*element, "specialState", std::get<9>(values));
        // "off" is the only special state the model knows, so any configured state shows as
        // "off"; only an empty configuration stays empty.
        writer.Through("specialStateConfiguration", std::get<10>(values), [&](const std::vector<std::string>& states) {
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
  const auto element = FindInCollection<cmc::ValueIndicationObject>(server->GetChargingManagementCoreValueIndications(),
                                                                    std::get<0>(values));
  if (!element) {
    return;
  }
  PropertyWriter writer(*element);
  ApplyGuarded(
      m_logger, "[Rubo] Domain error exception caught while updating valueIndication object: ",
      "[Rubo] Unknown exception caught while updating valueIndication object.", [&] {
        writer.Real("currentValue", std::get<1>(values), -kIndicationLimit, kIndicationLimit);
        writer.Real("maxValue", std::get<2>(values), -kIndicationLimit, kIndicationLimit);
        writer.Real("minValue", std::get<3>(values), -kIndicationLimit, kIndicationLimit);
        writer.Text("currentTimeDateValue", std::get<4>(values), true);
        writer.Through("unitPercent", std::get<5>(values),
                       [&](const std::string& unit) { element->SetUnitPercent(unit); });
        writer.Through("unitTime", std::get<6>(values), [&](const std::string& unit) { element->SetUnitTime(unit); });
        writer.Through("unitSpeed", std::get<7>(values), [&](const std::string& unit) { element->SetUnitSpeed(unit); });
        writer.Through("unitPower", std::get<8>(values), [&](const std::string& unit) { element->SetUnitPower(unit); });
        writer.Through("unitEnergy", std::get<9>(values),
                       [&](const std::string& unit) { element->SetUnitEnergy(unit); });
        writer.Through("restrictionReason", std::get<10>(values),
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
      server->GetChargingManagementCoreChargingProcessInformation(), std::get<0>(values));
  if (!element) {
    return;
  }
  // The charging station reports an empty identifier when it has none to give.
  Optional<std::string> evseid = std::get<9>(values);
  if (evseid.has_value() && evseid->empty()) {
    evseid.reset();
  }
  PropertyWriter writer(*element);
  ApplyGuarded(m_logger, "[Rubo] Domain error exception caught while updating ChargingProcessInformation object: ",
               "[Rubo] Unknown exception caught while updating ChargingProcessInformation object.", [&] {
                 writer.Through("currentChargeState", std::get<1>(values),
                                [&](const std::string& text) { element->SetCurrentChargeState(text); });
                 writer.Int("chargeBulkThreshold", std::get<2>(values), 0, 100);
                 writer.Through("chargeMode", std::get<3>(values),
                                [&](const std::string& text) { element->SetChargeMode(text); });
                 writer.Through("profileChargeReason", std::get<4>(values),
                                [&](const std::string& text) { element->SetProfileChargeReason(text); });
                 writer.Through("chargeType", std::get<5>(values),
                                [&](const std::string& text) { element->SetChargeType(text); });
                 writer.Through("chargingScenario", std::get<6>(values),
                                [&](const std::string& text) { element->SetChargingScenario(text); });
                 writer.Through("activeTargetSoc", std::get<7>(values),
                                [&](const std::string& text) { element->SetActiveTargetSoc(text); });
                 writer.Through("chargeTimeDisplay", std::get<8>(values),
                                [&](const std::string& text) { element->SetChargeTimeDisplay(text); });
                 writer.Text("evseid", evseid, true);
                 writer.Through("chargeRateCuteness", std::get<10>(values),
                                [&](const std::string& text) { element->SetChargeRateCuteness(text); });
               });
}

}  // namespace orik::ruboServer
