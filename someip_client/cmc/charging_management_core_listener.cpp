#include "someip_client/cmc/charging_management_core_listener.h"

#include "ara/log/logging.h"

#include <cstdint>
#include <exception>
#include <utility>

#include <boost/variant/get.hpp>

#include "ara/com/exceptions.h"
#include "someip_client/common/bind_weak.h"
#include "someip_client/interfaces/cmc_fields.h"

namespace orik::chargingManagementCoreListener {

using orik::enums::SOMEIP_RESOURCE_TYPE;
using orik::enums::SOMEIP_RESPONSE_TYPE;

namespace {

// Printed in place of an absent value in the write traces.
constexpr std::int64_t kAbsentPlaceholder = 100000;

// Enumerations travel as unsigned 32-bit numbers; widened so that nothing is truncated.
template <typename Enum>
std::uint64_t Number(Enum value) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(value));
}

template <typename T>
std::int64_t NumberOrPlaceholder(const ara::core::Optional<T>& value) {
  return value.has_value() ? static_cast<std::int64_t>(Number(*value)) : kAbsentPlaceholder;
}

}  // namespace

struct ChargingManagementCoreListener::WriteTexts {
  std::string_view updating;
  std::string_view setEnded;
  std::string_view timeout;
  std::string_view response;  // empty: the write has no "response" line
  std::string_view exception;
  std::string_view unknownException;
};

ChargingManagementCoreListener::ChargingManagementCoreListener(
    std::shared_ptr<ChargingManagementCoreProxyInterface> proxyWrapper)
    : ChargingManagementCoreListener(std::move(proxyWrapper), orik::timing::kFieldReadWait,
                                     orik::timing::kFieldWriteWait) {}

ChargingManagementCoreListener::ChargingManagementCoreListener(
    std::shared_ptr<ChargingManagementCoreProxyInterface> proxyWrapper, std::chrono::milliseconds readWait,
    std::chrono::seconds writeWait)
    : proxyWrapper_(std::move(proxyWrapper)),
      logger_(ara::log::CreateLogger("ORIK", "Charging Management Core proxy")),
      readWait_(readWait),
      writeWait_(writeWait) {}

ChargingManagementCoreListener::~ChargingManagementCoreListener() = default;

void ChargingManagementCoreListener::SetCommunicationsManager(
    std::shared_ptr<orik::commMngr::CommMngrSomeipSideInterface> communicationsManager) {
  mediator_.Store(std::move(communicationsManager));
}

// ---- discovery and subscription

void ChargingManagementCoreListener::StartListener() {
  proxyWrapper_->StartFindService(
      orik::someipClient::BindWeak(weak_from_this(), &ChargingManagementCoreListener::OnServiceFound));
  logger_.LogInfo() << "Find Service started...";
}

void ChargingManagementCoreListener::OnServiceFound(std::vector<CmcServiceHandle> handles) {
  logger_.LogInfo() << "OnServiceFound  step 1 reached...";
  if (handles.empty()) {
    if (!proxyWrapper_->IsProxyNull()) {
      if (const auto mediator = Mediator()) {
        mediator->TellRuboToUpdate_Registry(false);
      }
    }
    logger_.LogInfo() << "OnServiceFound No service available";
    return;
  }
  logger_.LogInfo() << "OnServiceFound  step 2 reached...";
  if (proxyWrapper_->IsProxyNull()) {
    proxyWrapper_->CreateServiceProxy(handles.front());
    logger_.LogInfo() << "OnServiceFound  step 3 reached...";
    StartListeningToSomeIp();
  } else {
    if (const auto mediator = Mediator()) {
      mediator->TellRuboToUpdate_Registry(true);
    }
    logger_.LogInfo() << "OnServiceFound  step 3 not reached...";
  }
}

template <typename Field>
void ChargingManagementCoreListener::SubscribeField(void (ChargingManagementCoreListener::*handler)()) {
  // One field failing must not leave the others unsubscribed for the life of the process.
  try {
    proxyWrapper_->SetReceiveHandler(Field::kResource, orik::someipClient::BindWeak(weak_from_this(), handler));
    proxyWrapper_->Subscribe(Field::kResource);
    logger_.LogInfo() << Field::kTexts.subscribed;
  } catch (const std::exception& e) {
    logger_.LogInfo() << "[SomeIp] Subscription failed for resource type " << Number(Field::kResource) << ": "
                      << e.what();
  } catch (...) {
    logger_.LogInfo() << "[SomeIp] Subscription failed for resource type " << Number(Field::kResource) << ": Unknown";
  }
}

void ChargingManagementCoreListener::StartListeningToSomeIp() {
#define ORIK_CMC_SUBSCRIBE(Record, Handler, Step) \
  SubscribeField<fields::Record>(&ChargingManagementCoreListener::Handler);
  ORIK_CMC_FIELDS(ORIK_CMC_SUBSCRIBE)
#undef ORIK_CMC_SUBSCRIBE
}

// ---- relays

template <typename Field, bool kFromNotification>
void ChargingManagementCoreListener::RelayElement(const typename Field::Element& element) {
  constexpr std::string_view noTypeText = kFromNotification ? Field::kTexts.noType : Field::kTexts.getNoType;
  if constexpr (Field::kHasType) {
    if (!element.type.has_value()) {
      if (!noTypeText.empty()) {
        logger_.LogInfo() << noTypeText;
      }
      return;
    }
  }
  if constexpr (kFromNotification && Field::kResource == SOMEIP_RESOURCE_TYPE::CHARGING_PROCESS_INFORMATION) {
    LogChargingProcessInformation(element);
  }
  // One copy per relay: the entry point empties the pointer at shutdown while the middleware
  // may still be relaying; such a late relay is dropped.
  if (const auto mediator = Mediator()) {
    Field::Relay(*mediator, element);
  }
}

void ChargingManagementCoreListener::LogChargingProcessInformation(
    const cmcTypes::DT_chargingProcessInformation_struct& element) {
  auto line = logger_.LogInfo();
  line << "[SomeIp] chargingProcessInformation - "
       << "type = " << static_cast<std::int64_t>(Number(*element.type));
  const auto append = [&line](std::string_view label, const auto& member) {
    if (member.has_value()) {
      line << label << static_cast<std::int64_t>(Number(*member));
    }
  };
  append(", currentChargeState = ", element.currentChargeState);
  append(", chargeBulkThreshold = ", element.chargeBulkThreshold);
  append(", chargeMode = ", element.chargeMode);
  append(", profileChargeReason = ", element.profileChargeReason);
  append(", chargeType = ", element.chargeType);
  append(", chargingScenario = ", element.chargingScenario);
  append(", activeTargetSoc = ", element.activeTargetSoc);
  append(", chargeTimeDisplay = ", element.chargeTimeDisplay);
  if (element.evseid.has_value()) {
    line << ", evseid = " << *element.evseid;
  }
  append(", chargeRateCuteness = ", element.chargeRateCuteness);
}

template <typename Field>
void ChargingManagementCoreListener::HandleNotification() {
  using Element = typename Field::Element;
  logger_.LogInfo() << Field::kTexts.received;
  if constexpr (Field::kNeedsProxy) {
    if (proxyWrapper_->IsProxyNull()) {
      return;
    }
  }
  proxyWrapper_->Update(Field::kResource);
  const CmcCachedSamplesVariant cached = proxyWrapper_->GetCachedSamples(Field::kResource);
  const CmcSamplePtrs<Element> samples = boost::get<CmcSamplePtrs<Element>>(cached);
  if (samples.empty()) {
    logger_.LogInfo() << Field::kTexts.empty;
    return;
  }
  logger_.LogInfo() << Field::kTexts.countPrefix << samples.size() << "elements in the CachedSamples...";
  for (const auto& sample : samples) {
    if (!sample) {
      continue;
    }
    for (const auto& element : *sample) {
      RelayElement<Field, true>(element);
    }
  }
  // Reached only when every sample was relayed: after an exception the samples stay cached and
  // the next notification of the field relays them again.
  proxyWrapper_->Cleanup(Field::kResource);
}

#define ORIK_CMC_DEFINE_FIELD(Record, Handler, Step)                                 \
  void ChargingManagementCoreListener::Handler() {                                   \
    HandleNotification<fields::Record>();                                            \
  }                                                                                  \
  void ChargingManagementCoreListener::Step(const std::chrono::milliseconds& wait) { \
    ProcessGet<fields::Record>(wait);                                                \
  }
ORIK_CMC_FIELDS(ORIK_CMC_DEFINE_FIELD)
#undef ORIK_CMC_DEFINE_FIELD

// ---- polling

void ChargingManagementCoreListener::FetchData() {
  if (proxyWrapper_->IsProxyNull()) {
    logger_.LogInfo() << "[SomeIp][SomeIpGET -> Rubo] Cant get... Service not found...";
    return;
  }
  logger_.LogInfo() << "[SomeIp][SomeIpGET -> Rubo] Entered fetch here...";
  logger_.LogInfo() << "[SomeIp][SomeIpGET -> Rubo] Getting data from the someip server...";
  try {
    proxyWrapper_->PrepareGets();
    orik::someipClient::ForEachField(fields::InPollOrder{}, [this]<typename F>() { ProcessGet<F>(readWait_); });
  } catch (const ara::com::ServiceNotAvailableException& e) {
    logger_.LogInfo() << "[SomeIp][SomeIpGET -> Rubo] Cant get, service lost - " << e.what();
  } catch (const std::exception& e) {
    logger_.LogInfo() << "[SomeIp][SomeIpGET -> Rubo] Exception - " << e.what();
  } catch (...) {
    logger_.LogInfo() << "[SomeIp][SomeIpGET -> Rubo] Exception - Unknown";
  }
}

template <typename Field>
void ChargingManagementCoreListener::ProcessGet(const std::chrono::milliseconds& wait) {
  using Element = typename Field::Element;
  const CmcGetVariant result = proxyWrapper_->SomeIp_Get(Field::kResource, wait);
  const std::vector<Element> values = boost::get<std::vector<Element>>(result);
  if (values.empty()) {
    logger_.LogInfo() << Field::kTexts.getFailed;
    return;
  }
  logger_.LogInfo() << "[SomeIp][SomeIpGET -> Rubo] There are " << values.size() << Field::kTexts.getCountSuffix;
  for (const auto& element : values) {
    RelayElement<Field, false>(element);
  }
}

// ---- writes

template <typename Element>
SOMEIP_RESPONSE_TYPE ChargingManagementCoreListener::Write(SOMEIP_RESOURCE_TYPE type, const Element& element,
                                                           const WriteTexts& texts) {
  if (proxyWrapper_->IsProxyNull()) {
    return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  }
  logger_.LogInfo() << texts.updating;
  try {
    const CmcSetVariant value{element};
    // The wrapper reports an error answer by throwing it, so a write the vehicle refused is
    // never reported as success.
    const bool timedOut = proxyWrapper_->SomeIp_Set(type, value, writeWait_);
    logger_.LogInfo() << texts.setEnded;
    if (timedOut) {
      logger_.LogInfo() << texts.timeout;
      return SOMEIP_RESPONSE_TYPE::RESPONSE_TIMEOUT;
    }
    if (!texts.response.empty()) {
      logger_.LogInfo() << texts.response;
    }
    return SOMEIP_RESPONSE_TYPE::RESPONSE_RECEIVED;
  } catch (const std::exception& e) {
    logger_.LogInfo() << texts.exception << e.what();
  } catch (...) {
    logger_.LogInfo() << texts.unknownException;
  }
  return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
}

SOMEIP_RESPONSE_TYPE ChargingManagementCoreListener::Update_ValueControls(
    cmcTypes::DT_ChargingManagementCore_valueControls_type type, const ara::core::Optional<std::uint32_t>& value,
    const ara::core::Optional<cmcTypes::DT_ChargingManagementCore_valueControls_specialState>& specialState,
    const std::string& origin) {
  cmcTypes::DT_valueControls_struct element{};
  element.type = type;
  element.currentValue = value;
  element.specialState = specialState;
  logger_.LogInfo() << "[SomeIp] Received ValueControl object from " << origin;
  logger_.LogInfo() << "[SomeIp] ValueControl type: " << Number(type)
                    << ". ValueControl value: " << NumberOrPlaceholder(value)
                    << ". ValueControl specialState: " << NumberOrPlaceholder(specialState);
  static constexpr WriteTexts kTexts{
      "[SomeIp] Updating the someip field with values received from rubo...",
      "[SomeIp][Rubo -> Someip] ValueControl set call ended.",
      "[SomeIp] ValueControls Set timeout",
      "",
      "[SomeIp] Exception caught while setting a ValueControl in SomeIp: ",
      "[SomeIp] Unknown Exception caught while setting a ValueControl in SomeIp...",
  };
  return Write(SOMEIP_RESOURCE_TYPE::VALUE_CONTROLS, element, kTexts);
}

SOMEIP_RESPONSE_TYPE ChargingManagementCoreListener::Update_SwitchControls(
    cmcTypes::DT_ChargingManagementCore_switchControls_type type,
    const ara::core::Optional<cmcTypes::DT_ChargingManagementCore_switchControls_switchValue>& switchValue) {
  cmcTypes::DT_switchControls_struct element{};
  element.type = type;
  element.switchValue = switchValue;
  logger_.LogInfo() << "[SomeIp]Received SwitchControl object from RUBO...";
  logger_.LogInfo() << "[SomeIp] SwitchControl type: " << Number(type)
                    << ". SwitchControl value: " << NumberOrPlaceholder(switchValue);
  static constexpr WriteTexts kTexts{
      "[SomeIp]Updating the someip field with values received from rubo...",
      "[SomeIp] SwitchControls either wait timeout expired or info is already available !!!!!!..",
      "[SomeIp] SwitchControls Set timeout",
      "",
      "[SomeIp] Exception caught while setting a SwitchControl in SomeIp: ",
      "[SomeIp] Unknown Exception caught while setting a SwitchControl in SomeIp: ",
  };
  return Write(SOMEIP_RESOURCE_TYPE::SWITCH_CONTROLS, element, kTexts);
}

SOMEIP_RESPONSE_TYPE ChargingManagementCoreListener::Update_Views(
    cmcTypes::DT_ChargingManagementCore_views_type type,
    const ara::core::Optional<cmcTypes::DT_ChargingManagementCore_views_content>& content,
    const ara::core::Optional<cmcTypes::DT_ChargingManagementCore_views_visibility>& visibility) {
  cmcTypes::DT_views_struct element{};
  element.type = type;
  element.content = content;
  element.visibility = visibility;
  logger_.LogInfo() << "[SomeIp][Rubo -> Someip] Received View object from RUBO...";
  logger_.LogInfo() << "[SomeIp][Rubo -> Someip] View {type}: " << Number(type)
                    << ". Content {value}: " << NumberOrPlaceholder(content)
                    << ". Visibility value: " << NumberOrPlaceholder(visibility);
  static constexpr WriteTexts kTexts{
      "[SomeIp][Rubo -> Someip] Updating the someip field with values received from rubo...",
      "[SomeIp][Rubo -> Someip] Views set call ended.",
      "[SomeIp][Rubo -> Someip] Views Set timeout.",
      "[SomeIp][Rubo -> Someip] Views Set response received.",
      "[SomeIp][Rubo -> Someip] Exception caught while setting a View in SomeIp: ",
      "[SomeIp][Rubo -> Someip] Unknown Exception caught while setting a View in SomeIp: ",
  };
  return Write(SOMEIP_RESOURCE_TYPE::VIEWS, element, kTexts);
}

SOMEIP_RESPONSE_TYPE ChargingManagementCoreListener::Update_pastErrorInformation(
    cmcTypes::DT_ChargingManagementCore_pastErrorInformation_type type,
    const ara::core::Optional<bool>& confirmedByUser) {
  cmcTypes::DT_pastErrorInformation_struct element{};
  element.type = type;
  element.confirmedByUser = confirmedByUser;
  logger_.LogInfo() << "[SomeIp][Rubo -> Someip] Received pastErrorInformation object from RUBO...";
  logger_.LogInfo() << "[SomeIp][Rubo -> Someip] PastErrorInformation {type}: " << Number(type)
                    << ". {confirmedByUser}: " << confirmedByUser.value_or(false);
  static constexpr WriteTexts kTexts{
      "[SomeIp][Rubo -> Someip] Updating the someip field with values received from rubo...",
      "[SomeIp][Rubo -> Someip] PastErrorInformation set call ended.",
      "[SomeIp][Rubo -> Someip] PastErrorInformation Set timeout.",
      "[SomeIp][Rubo -> Someip] PastErrorInformation Set response received.",
      "[SomeIp][Rubo -> Someip] Exception caught while setting a pastErrorInformation in SomeIp: ",
      "[SomeIp][Rubo -> Someip] Unknown Exception caught while setting a pastErrorInformation in SomeIp...",
  };
  return Write(SOMEIP_RESOURCE_TYPE::PAST_ERROR_INFORMATION, element, kTexts);
}

SOMEIP_RESPONSE_TYPE ChargingManagementCoreListener::Update_FactoryResetInfo(
    cmcTypes::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData reset) {
  cmcTypes::DT_resetToFactoryData_struct element{};
  element.resetToFactoryData = reset;
  logger_.LogInfo() << "[SomeIp][Rubo -> Someip] Received FactoryReset object from RUBO...";
  logger_.LogInfo() << "[SomeIp][Rubo -> Someip] FactoryReset {resetToFactoryData}: " << Number(reset);
  static constexpr WriteTexts kTexts{
      "[SomeIp][Rubo -> Someip] Updating the someip field with values received from rubo...",
      "[SomeIp][Rubo -> Someip] FactoryReset set call ended.",
      "[SomeIp][Rubo -> Someip] FactoryReset Set timeout.",
      "[SomeIp][Rubo -> Someip] FactoryReset Set response received.",
      "[SomeIp][Rubo -> Someip] Exception caught while setting a ResetToFactoryData in SomeIp: ",
      "[SomeIp][Rubo -> Someip] Unknown Exception caught while setting a ResetToFactoryData in SomeIp: ",
  };
  return Write(SOMEIP_RESOURCE_TYPE::RESET_TO_FACTORY_DATA, element, kTexts);
}

}  // namespace orik::chargingManagementCoreListener
