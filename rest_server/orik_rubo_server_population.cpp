#include <memory>
#include <stdexcept>
#include <string>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_server/orik_rubo_server.h"

namespace orik::ruboServer {
namespace {

using namespace rubo::server::charging_management_core;
using rubo::server::factory_reset::ResetObject;

// Class name of each element kind: the name every start-up element carries.
template <typename E>
constexpr const char* kClassName = nullptr;
template <>
constexpr const char* kClassName<ValueControlObject> = "ValueControlObject";
template <>
constexpr const char* kClassName<SwitchControlObject> = "SwitchControlObject";
template <>
constexpr const char* kClassName<ValueIndicationObject> = "ValueIndicationObject";
template <>
constexpr const char* kClassName<NotificationMarkerObject> = "NotificationMarkerObject";
template <>
constexpr const char* kClassName<ChargingProcessInformationObject> = "ChargingProcessInformationObject";
template <>
constexpr const char* kClassName<NotificationObject> = "NotificationObject";
template <>
constexpr const char* kClassName<PastErrorInformationObject> = "PastErrorInformationObject";
template <>
constexpr const char* kClassName<ImmediateChargingOptionObject> = "ImmediateChargingOptionObject";
template <>
constexpr const char* kClassName<ImmediateActionObject> = "ImmediateActionObject";
template <>
constexpr const char* kClassName<BatteryCareModeObject> = "BatteryCareModeObject";
template <>
constexpr const char* kClassName<BatteryPreconditioningObject> = "BatteryPreconditioningObject";
template <>
constexpr const char* kClassName<BidirectionalChargingModeObject> = "BidirectionalChargingModeObject";
template <>
constexpr const char* kClassName<ViewObject> = "ViewObject";
template <>
constexpr const char* kClassName<OruUpdateApprovalObject> = "OruUpdateApprovalObject";
template <>
constexpr const char* kClassName<ResetObject> = "ResetObject";
template <>
constexpr const char* kClassName<BatteryPreconditioningEnergyObject> = "BatteryPreconditioningEnergyObject";

// A new element with a random identity at its collection's default path.
template <typename E>
std::shared_ptr<E> MakeElement() {
  static_assert(kClassName<E> != nullptr);
  return E::Make(kClassName<E>, ara::rest::Uuid::MakeV4(),
                 ara::rest::Uri::Builder(ara::rest::GetDefaultAllocator()).ToUri());
}

template <typename E>
std::shared_ptr<E> MakeTyped(const std::string& type) {
  auto element = MakeElement<E>();
  element->SetType(type);
  return element;
}

}  // namespace

void ORIKRuboServer::CreateNotificationMarkerObjects() {
  for (const char* marker : {"notificationMarker1", "notificationMarker2", "notificationMarker3"}) {
    const std::string name(marker);
    auto soc = MakeTyped<ValueControlObject>(name + "notificationSocValue");
    m_server->Add(soc);
    auto range = MakeTyped<ValueControlObject>(name + "notificationRangeValue");
    m_server->Add(range);
    auto time = MakeTyped<ValueControlObject>(name + "notificationTimeValue");
    m_server->Add(time);
    auto markerObject = MakeTyped<NotificationMarkerObject>(name);
    markerObject->SetNotificationSocValue(soc);
    markerObject->SetNotificationRangeValue(range);
    markerObject->SetNotificationTimeValue(time);
    m_server->Add(markerObject);
  }
}

void ORIKRuboServer::CreateCPIObjects() {
  const auto indication = [this](const char* type) {
    auto element = MakeTyped<ValueIndicationObject>(type);
    m_server->Add(element);
    return element;
  };
  auto currentSoc = indication("chargingProcessInformationCurrentSoc");
  auto remainingChargeTimeBulk = indication("chargingProcessInformationRemainingChargeTimeBulk");
  auto remainingChargeTimeComplete = indication("chargingProcessInformationRemainingChargeTimeComplete");
  auto chargeEnergy = indication("chargingProcessInformationChargeEnergy");
  auto chargeRate = indication("chargingProcessInformationChargeRate");
  auto chargePower = indication("chargingProcessInformationChargePower");
  auto maxPowerChargingStation = indication("chargingProcessInformationMaxPowerChargingStation");
  auto remainingChargeTimeFull = indication("chargingProcessInformationRemainingChargeTimeFull");
  auto remainingChargeTimeNav = indication("chargingProcessInformationRemainingChargeTimeNav");
  auto maxPowerDc = indication("chargingProcessInformationMaxPowerDc");
  auto maxPowerAc = indication("chargingProcessInformationMaxPowerAc");
  auto maxChargePowerCurrent = indication("chargingProcessInformationMaxChargePowerCurrent");
  auto maxChargePowerOptimalTemperature = indication("chargingProcessInformationMaxChargePowerOptimalTemperature");

  auto information = MakeTyped<ChargingProcessInformationObject>("chargingProcessInformation");
  information->SetCurrentSoc(currentSoc);
  information->SetRemainingChargeTimeBulk(remainingChargeTimeBulk);
  information->SetRemainingChargeTimeComplete(remainingChargeTimeComplete);
  information->SetRemainingChargeTimeFull(remainingChargeTimeFull);
  information->SetRemainingChargeTimeNav(remainingChargeTimeNav);
  information->SetChargeEnergy(chargeEnergy);
  information->SetChargeRate(chargeRate);
  information->SetChargePower(chargePower);
  information->SetMaxPowerChargingStation(maxPowerChargingStation);
  information->SetMaxPowerDc(maxPowerDc);
  information->SetMaxPowerAc(maxPowerAc);
  information->SetMaxChargePowerCurrent(maxChargePowerCurrent);
  information->SetMaxChargePowerOptimalTemperature(maxChargePowerOptimalTemperature);
  m_server->Add(information);
}

void ORIKRuboServer::CreateNotificationObjects() {
  for (const char* type : {"chargingNotification1", "chargingNotification2", "chargingNotification3",
                           "chargingNotification4", "chargingNotification5", "chargingNotification6"}) {
    m_server->Add(MakeTyped<NotificationObject>(type));
  }
}

void ORIKRuboServer::CreatePastErrInfoObjects() {
  for (const char* type : {"pastErrorInformation1", "pastErrorInformation2", "pastErrorInformation3"}) {
    m_server->Add(MakeTyped<PastErrorInformationObject>(type));
  }
}

void ORIKRuboServer::CreateBatteryCarModeObjects() {
  auto score = MakeTyped<ValueIndicationObject>("batteryCareModesBcamScore");
  m_server->Add(score);
  auto activation = MakeTyped<SwitchControlObject>("batteryCareModesBcamActivation");
  m_server->Add(activation);
  auto mode = MakeTyped<BatteryCareModeObject>("batteryCareMode");
  mode->SetBcamScore(score);
  mode->SetBcamActivation(activation);
  m_server->Add(mode);
}

void ORIKRuboServer::CreateBidirectionalChargingModesObjects() {
  auto minSoc = MakeTyped<ValueControlObject>("bidirectionalChargingModesMinSoc");
  m_server->Add(minSoc);
  auto maxSoc = MakeTyped<ValueControlObject>("bidirectionalChargingModesMaxSoc");
  m_server->Add(maxSoc);
  auto operatingHours = MakeTyped<ValueIndicationObject>("bidirectionalChargingModesOperatingHours");
  m_server->Add(operatingHours);
  auto numbersOfCycles = MakeTyped<ValueIndicationObject>("bidirectionalChargingModesNumbersOfCycles");
  m_server->Add(numbersOfCycles);
  auto amountOfEnergy = MakeTyped<ValueIndicationObject>("bidirectionalChargingModesAmountOfEnergy");
  m_server->Add(amountOfEnergy);
  auto quota = MakeTyped<ValueIndicationObject>("bidirectionalChargingModesQuota");
  m_server->Add(quota);
  auto mode = MakeTyped<BidirectionalChargingModeObject>("bidirectionalChargingMode");
  mode->SetMinSoc(minSoc);
  mode->SetMaxSoc(maxSoc);
  mode->SetOperatingHours(operatingHours);
  mode->SetNumbersOfCycles(numbersOfCycles);
  mode->SetAmountOfEnergy(amountOfEnergy);
  mode->SetQuota(quota);
  m_server->Add(mode);
}

void ORIKRuboServer::CreateOtherObjects() {
  // The views wait in the view map; a view update shows one by adding it to the collection.
  auto popup = MakeTyped<ViewObject>("popup");
  auto bcamInformation = MakeTyped<ViewObject>("bcamScreen");
  bcamInformation->SetContent("bcamInformationScreen");
  auto bcamInitialInformation = MakeTyped<ViewObject>("bcamScreen");
  bcamInitialInformation->SetContent("bcamInitialInformationScreen");
  auto itSystem = MakeTyped<ViewObject>("itSystemScreen");
  m_viewObjects["popup"] = popup;
  m_viewObjects["bcamInformationScreen"] = bcamInformation;
  m_viewObjects["bcamInitialInformationScreen"] = bcamInitialInformation;
  m_viewObjects["itSystemScreen"] = itSystem;

  m_server->Add(MakeTyped<OruUpdateApprovalObject>("oruUpdateApproval"));

  auto reset = MakeElement<ResetObject>();
  reset->SetListedText("category", "eCharging");
  reset->SetName("ChargingManagementCore");
  m_server->Add(reset);
}

void ORIKRuboServer::CreateImmediateChargingOptionsObjects() {
  auto targetSoc = MakeTyped<ValueControlObject>("immediateChargingOptionsTargetSoc");
  m_server->Add(targetSoc);
  auto navTargetSoc = MakeTyped<ValueControlObject>("immediateChargingOptionsNavTargetSoc");
  m_server->Add(navTargetSoc);
  auto maxChargeCurrentAc = MakeTyped<SwitchControlObject>("immediateChargingOptionsMaxChargeCurrentAc");
  m_server->Add(maxChargeCurrentAc);
  auto autounlockAc = MakeTyped<SwitchControlObject>("immediateChargingOptionsAutounlockAc");
  m_server->Add(autounlockAc);
  auto autounlockDc = MakeTyped<SwitchControlObject>("immediateChargingOptionsAutounlockDc");
  m_server->Add(autounlockDc);
  auto chargeModeSelection = MakeTyped<SwitchControlObject>("immediateChargingOptionsChargeModeSelection");
  m_server->Add(chargeModeSelection);
  auto option = MakeTyped<ImmediateChargingOptionObject>("immediateChargingOption");
  option->SetTargetSoc(targetSoc);
  option->SetNavTargetSoc(navTargetSoc);
  option->SetMaxChargeCurrentAc(maxChargeCurrentAc);
  option->SetAutounlockAc(autounlockAc);
  option->SetAutounlockDc(autounlockDc);
  option->SetChargeModeSelection(chargeModeSelection);
  m_server->Add(option);
}

void ORIKRuboServer::CreateImmediateActionObjects() {
  auto time = MakeTyped<ValueControlObject>("immediateActionImmediateActionTime");
  m_server->Add(time);
  auto startStop = MakeTyped<SwitchControlObject>("immediateActionStartStopCharging");
  m_server->Add(startStop);
  auto action = MakeTyped<ImmediateActionObject>("immediateAction");
  action->SetImmediateActionTime(time);
  action->SetStartStopCharging(startStop);
  m_server->Add(action);
}

void ORIKRuboServer::CreateBatteryPreconditioningEnergiesObjects() {
  m_server->Add(MakeTyped<BatteryPreconditioningEnergyObject>("batteryPreconditioningEnergy1"));
}

void ORIKRuboServer::CreateBatteryPreconditioningsObjects() {
  auto remainingTimeFinished = MakeTyped<ValueIndicationObject>("batteryPreconditioningRemainingTimeFinished");
  m_server->Add(remainingTimeFinished);
  auto remainingTimeToStart = MakeTyped<ValueIndicationObject>("batteryPreconditioningRemainingTimeToStart");
  m_server->Add(remainingTimeToStart);
  auto batteryTemperature = MakeTyped<ValueIndicationObject>("batteryPreconditioningBatteryTemperature");
  m_server->Add(batteryTemperature);
  auto autoModeActivation = MakeTyped<SwitchControlObject>("batteryPreconditioningAutoModeActivation");
  m_server->Add(autoModeActivation);
  auto preconditioningActivation = MakeTyped<SwitchControlObject>("batteryPreconditioningPreconditioningActivation");
  m_server->Add(preconditioningActivation);
  auto preconditioning = MakeTyped<BatteryPreconditioningObject>("batteryPreconditioning");
  preconditioning->SetAutoModeActivation(autoModeActivation);
  preconditioning->SetPreconditioningActivation(preconditioningActivation);
  preconditioning->SetRemainingTimeFinished(remainingTimeFinished);
  preconditioning->SetRemainingTimeToStart(remainingTimeToStart);
  preconditioning->SetBatteryTemperature(batteryTemperature);
  m_server->Add(preconditioning);
}

void ORIKRuboServer::PopulateServer() {
  if (!m_server) {
    throw std::logic_error("no Rubo server object");
  }
  CreateNotificationMarkerObjects();
  CreateCPIObjects();
  CreateNotificationObjects();
  CreatePastErrInfoObjects();
  CreateBatteryCarModeObjects();
  CreateBidirectionalChargingModesObjects();
  CreateOtherObjects();
  CreateImmediateChargingOptionsObjects();
  CreateImmediateActionObjects();
  CreateBatteryPreconditioningEnergiesObjects();
  CreateBatteryPreconditioningsObjects();
}

}  // namespace orik::ruboServer
