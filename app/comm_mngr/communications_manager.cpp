#include "app/comm_mngr/communications_manager.h"

#include "ara/log/logging.h"

#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/mapping_tables/mapping_tables.h"

namespace orik::commMngr {
namespace {

namespace tables = zrt::services::chargingmanagementcore;
using ara::core::Optional;
using orik::enums::SOMEIP_RESPONSE_TYPE;

// Positions of the members a topic arrives with (In) and hands on with (Out).
namespace cpiIn = orik::commMngr::ChargingProcessInformationMembersIndex;
namespace cpiOut = orik::ruboServer::ChargingProcessInformationUpdateIndex;
namespace viIn = orik::commMngr::ValueIndicationsMembersIndex;
namespace viOut = orik::ruboServer::ValueIndicationsUpdateIndex;
namespace vcIn = orik::commMngr::ValueControlsMembersIndex;
namespace vcOut = orik::ruboServer::ValueControlsUpdateIndex;
namespace bcmIn = orik::commMngr::BidirectionalChargingModesMembersIndex;
namespace bcmOut = orik::ruboServer::BidirectionalChargingModesUpdateIndex;

constexpr std::string_view kToRubo = "[CommMngr][Someip -> Rubo] ";
constexpr std::string_view kSwitchControlPrefix = "[CommMngr][Someip -> Rubo]  Translated SwitchControl object ";
constexpr std::string_view kRuboToSomeIp = "[CommMngr][Rubo -> SomeIp] ";

// Value controls of this type show the navigation target and share its lock.
constexpr auto kNavTargetSocType =
    cmc::DT_ChargingManagementCore_valueControls_type::immediateChargingOptionsNavTargetSoc;
// The REST side carries the navigation target as an 8-bit value.
constexpr std::uint32_t kMaxNavTargetSoc = 255;

const std::string kOriginRubo = "RUBO";
const std::string kOriginRbec = "RBEC";
const std::string kSpecialStateConfigurationWord = "off";

// Every vehicle-side operation but the reset's is called for elements that carry a type: the
// listener relays no element without one. That precondition is held here, in one place; an
// absent type is a caller's fault and raises the optional's access error.
template <typename E>
const E& RelayedType(const Optional<E>& type) {
  return type.value();
}

template <typename E>
std::uint32_t Number(E value) {
  return static_cast<std::uint32_t>(value);
}

// A vehicle value need not be an enumerator; a miss is an ordinary outcome and never adds a row.
template <typename E>
const std::string* FindWord(const std::unordered_map<E, std::string>& table, E value) {
  const auto it = table.find(value);
  return it == table.end() ? nullptr : &it->second;
}

template <typename E>
const std::string* FindWord(const std::unordered_map<E, std::string>& table, const Optional<E>& value) {
  return value ? FindWord(table, *value) : nullptr;
}

template <typename E>
const E* FindValue(const std::unordered_map<std::string, E>& table, const std::string& word) {
  const auto it = table.find(word);
  return it == table.end() ? nullptr : &it->second;
}

// Translates one member silently: absent or unknown values stay absent.
template <typename E>
Optional<std::string> Translate(const std::unordered_map<E, std::string>& table, const Optional<E>& value) {
  const std::string* word = FindWord(table, value);
  return word ? Optional<std::string>(*word) : std::nullopt;
}

void LogTranslation(const ara::log::Logger& logger, std::string_view logName, std::string_view member,
                    std::uint32_t value, const std::string& word) {
  logger.LogInfo() << kToRubo << logName << " [" << member << "] {value,mappedvalue} = {" << value << "," << word
                   << "}";
}

// Translates one member and logs the translation; absent or unknown values stay absent, unlogged.
template <typename E>
Optional<std::string> TranslateLogged(const ara::log::Logger& logger, std::string_view logName, std::string_view member,
                                      const std::unordered_map<E, std::string>& table, const Optional<E>& value) {
  const std::string* word = FindWord(table, value);
  if (word == nullptr) {
    return std::nullopt;
  }
  LogTranslation(logger, logName, member, Number(*value), *word);
  return *word;
}

void LogTypeInvalid(const ara::log::Logger& logger, std::string_view text) {
  logger.LogInfo() << kToRubo << text;
}

// The word for a record's type, its translation logged; null, with `invalidText` logged, for a
// type without a word.
template <typename E>
const std::string* TranslateType(const ara::log::Logger& logger, std::string_view logName, std::string_view invalidText,
                                 const std::unordered_map<E, std::string>& table, E value) {
  const std::string* word = FindWord(table, value);
  if (word == nullptr) {
    LogTypeInvalid(logger, invalidText);
    return nullptr;
  }
  LogTranslation(logger, logName, "type", Number(value), *word);
  return word;
}

void LogRuboMissing(const ara::log::Logger& logger, std::string_view topic) {
  logger.LogInfo() << kToRubo << "Rubo server not set, " << topic << " update dropped";
}

SOMEIP_RESPONSE_TYPE SomeIpMissing(const ara::log::Logger& logger, std::string_view topic) {
  logger.LogInfo() << kRuboToSomeIp << "SomeIp listener not set, " << topic << " not written";
  return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
}

}  // namespace

CommunicationsManager::CommunicationsManager()
    : m_logger(ara::log::CreateLogger("ORIK", "Charging Management Core Communication Manager")) {}

CommunicationsManager::~CommunicationsManager() {
  m_rbec.Store(nullptr);
  m_someIp.Store(nullptr);
  m_rubo.Store(nullptr);
}

void CommunicationsManager::SetRubo(std::shared_ptr<orik::ruboServer::ORIKRuboServerInterface> rubo) {
  m_rubo.Store(std::move(rubo));
}

void CommunicationsManager::SetSomeIp(
    std::shared_ptr<orik::chargingManagementCoreListener::ORIKListenerInterface> someIp) {
  m_someIp.Store(std::move(someIp));
}

void CommunicationsManager::SetRbec(
    std::shared_ptr<orik::routeBasedEnergyContents::RouteBasedEnergyContentsListenerInterface> rbec) {
  m_rbec.Store(std::move(rbec));
}

// ---------------------------------------------------------------------------------------------
// Vehicle -> REST

void CommunicationsManager::TellRuboToUpdate_chargingProcessInformation(ChargingProcessInformationMembers&& members) {
  std::lock_guard<std::mutex> lock(m_mutexChargingProcessInformation);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "ChargingProcessInformation");
    return;
  }
  const std::string* type = FindWord(tables::mapDT_ChargingManagementCore_chargingProcessInformation_type_Direct,
                                     RelayedType(std::get<cpiIn::type>(members)));
  if (type == nullptr) {
    LogTypeInvalid(m_logger, "ChargingProcessInformation type invalid");
    return;
  }
  orik::ruboServer::ChargingProcessInformationUpdate update;
  std::get<cpiOut::type>(update) = *type;
  std::get<cpiOut::currentChargeState>(update) =
      Translate(tables::mapDT_ChargingManagementCore_chargingProcessInformation_currentChargeState_Direct,
                std::get<cpiIn::currentChargeState>(members));
  std::get<cpiOut::chargeBulkThreshold>(update) = std::get<cpiIn::chargeBulkThreshold>(members);
  std::get<cpiOut::chargeMode>(update) =
      Translate(tables::mapDT_ChargingManagementCore_chargingProcessInformation_chargeMode_Direct,
                std::get<cpiIn::chargeMode>(members));
  std::get<cpiOut::profileChargeReason>(update) =
      Translate(tables::mapDT_ChargingManagementCore_chargingProcessInformation_profileChargeReason_Direct,
                std::get<cpiIn::profileChargeReason>(members));
  std::get<cpiOut::chargeType>(update) =
      Translate(tables::mapDT_ChargingManagementCore_chargingProcessInformation_chargeType_Direct,
                std::get<cpiIn::chargeType>(members));
  std::get<cpiOut::chargingScenario>(update) =
      Translate(tables::mapDT_ChargingManagementCore_chargingProcessInformation_chargingScenario_Direct,
                std::get<cpiIn::chargingScenario>(members));
  std::get<cpiOut::activeTargetSoc>(update) =
      Translate(tables::mapDT_ChargingManagementCore_chargingProcessInformation_activeTargetSoc_Direct,
                std::get<cpiIn::activeTargetSoc>(members));
  std::get<cpiOut::chargeTimeDisplay>(update) =
      Translate(tables::mapDT_ChargingManagementCore_chargingProcessInformation_chargeTimeDisplay_Direct,
                std::get<cpiIn::chargeTimeDisplay>(members));
  std::get<cpiOut::evseid>(update) = std::move(std::get<cpiIn::evseid>(members));
  std::get<cpiOut::chargeRateCuteness>(update) =
      Translate(tables::mapDT_ChargingManagementCore_chargingProcessInformation_chargeRateCuteness_Direct,
                std::get<cpiIn::chargeRateCuteness>(members));
  rubo->Update_chargingProcessInformation(std::move(update));
}

void CommunicationsManager::TellRuboToUpdate_NotificationMarkers(
    const Optional<cmc::DT_ChargingManagementCore_notificationMarkers_type>& type,
    const Optional<bool>& isToBeNotified) {
  std::lock_guard<std::mutex> lock(m_mutexNotificationMarkers);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "NotificationMarker");
    return;
  }
  const std::string* typeWord =
      TranslateType(m_logger, "NotificationMarker", "NotificationMarker type invalid",
                    tables::mapDT_ChargingManagementCore_notificationMarkers_type_Direct, RelayedType(type));
  if (typeWord == nullptr) {
    return;
  }
  rubo->Update_NotificationMarkers(*typeWord, isToBeNotified);
}

void CommunicationsManager::TellRuboToUpdate_Notifications(
    const Optional<cmc::DT_ChargingManagementCore_notifications_type>& type,
    const Optional<cmc::DT_ChargingManagementCore_notifications_additionalInformation>& additionalInformation,
    const Optional<cmc::DT_ChargingManagementCore_notifications_value>& value) {
  std::lock_guard<std::mutex> lock(m_mutexNotifications);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "Notification");
    return;
  }
  const std::string* typeWord =
      TranslateType(m_logger, "Notification", "Notification type invalid",
                    tables::mapDT_ChargingManagementCore_notifications_type_Direct, RelayedType(type));
  if (typeWord == nullptr) {
    return;
  }
  const auto valueWord = TranslateLogged(m_logger, "Notification", "value",
                                         tables::mapDT_ChargingManagementCore_notifications_value_Direct, value);
  const auto additionalWord = TranslateLogged(
      m_logger, "Notification", "additionalInformation",
      tables::mapDT_ChargingManagementCore_notifications_additionalInformation_Direct, additionalInformation);
  rubo->Update_Notifications(*typeWord, valueWord, additionalWord);
}

void CommunicationsManager::TellRuboToUpdate_OruUpdateApprovals(
    const Optional<cmc::DT_ChargingManagementCore_oruUpdateApprovals_type>& type,
    const Optional<bool>& updateApproval) {
  std::lock_guard<std::mutex> lock(m_mutexOruUpdateApprovals);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "OruUpdateApproval");
    return;
  }
  const std::string* typeWord =
      TranslateType(m_logger, "OruUpdateApproval", "OruUpdateApproval type invalid",
                    tables::mapDT_ChargingManagementCore_oruUpdateApprovals_type_Direct, RelayedType(type));
  if (typeWord == nullptr) {
    return;
  }
  rubo->Update_OruUpdateApprovals(*typeWord, updateApproval);
}

void CommunicationsManager::TellRuboToUpdate_pastErrorInformation(
    const Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_type>& type,
    const Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_value>& value,
    const Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_additionalInformation>& additionalInformation,
    const Optional<bool>& confirmedByUser) {
  std::lock_guard<std::mutex> lock(m_mutexPastErrorInformation);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "PastErrorInformation");
    return;
  }
  const std::string* typeWord =
      TranslateType(m_logger, "PastErrorInformation", "PastErrorInformation type invalid",
                    tables::mapDT_ChargingManagementCore_pastErrorInformation_type_Direct, RelayedType(type));
  if (typeWord == nullptr) {
    return;
  }
  const auto valueWord = TranslateLogged(m_logger, "PastErrorInformation", "value",
                                         tables::mapDT_ChargingManagementCore_pastErrorInformation_value_Direct, value);
  const auto additionalWord = TranslateLogged(
      m_logger, "PastErrorInformation", "additionalInformation",
      tables::mapDT_ChargingManagementCore_pastErrorInformation_additionalInformation_Direct, additionalInformation);
  if (confirmedByUser) {
    m_logger.LogInfo() << kToRubo << "PastErrorInformation [confirmedByUser] value = " << *confirmedByUser;
  }
  rubo->Update_pastErrorInformation(*typeWord, valueWord, additionalWord, confirmedByUser);
}

void CommunicationsManager::TellRuboToUpdate_SwitchControls(
    const Optional<cmc::DT_ChargingManagementCore_switchControls_type>& type,
    const Optional<cmc::DT_ChargingManagementCore_switchControls_restrictionReason>& restrictionReason,
    const Optional<cmc::DT_ChargingManagementCore_switchControls_switchValue>& switchValue,
    const Optional<std::vector<cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>>&
        switchValueConfiguration) {
  std::lock_guard<std::mutex> lock(m_mutexSwitchControls);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "SwitchControl");
    return;
  }
  const auto typeValue = RelayedType(type);
  const std::string* typeWord = FindWord(tables::mapDT_ChargingManagementCore_switchControls_type_Direct, typeValue);
  if (typeWord == nullptr) {
    LogTypeInvalid(m_logger, "SwitchControl type invalid");
    return;
  }
  m_logger.LogInfo() << kSwitchControlPrefix << "[type] {type,mapped_type} ={ " << Number(typeValue) << "," << *typeWord
                     << "}";

  Optional<std::string> switchValueWord;
  if (const std::string* word =
          FindWord(tables::mapDT_ChargingManagementCore_switchControls_switchValue_Direct, switchValue)) {
    switchValueWord = *word;
    m_logger.LogInfo() << kSwitchControlPrefix << "[value] {value,mapped_value} ={ " << Number(*switchValue) << ","
                       << *word << "}";
  }
  Optional<std::string> restrictionWord;
  if (const std::string* word =
          FindWord(tables::mapDT_ChargingManagementCore_switchControls_restrictionReason_Direct, restrictionReason)) {
    restrictionWord = *word;
    m_logger.LogInfo() << kSwitchControlPrefix << "[restrictionReason] {restrictionReason,mapped_restrictionReason} ={ "
                       << Number(*restrictionReason) << "," << *word << "}";
  }
  // An item without a word is left out rather than sent as a word the REST side would refuse,
  // which would lose the whole update.
  Optional<std::vector<std::string>> configurationWords;
  if (switchValueConfiguration) {
    configurationWords.emplace();
    configurationWords->reserve(switchValueConfiguration->size());
    for (const auto item : *switchValueConfiguration) {
      const std::string* word =
          FindWord(tables::mapDT_ChargingManagementCore_switchControls_switchValueConfiguration_Direct, item);
      if (word == nullptr) {
        continue;
      }
      configurationWords->push_back(*word);
      m_logger.LogInfo() << kSwitchControlPrefix
                         << "[valueConfig] (item from the array) {valueConfig,mapped_valueConfig} ={ " << Number(item)
                         << "," << *word << "}";
    }
  }
  rubo->Update_SwitchControls(*typeWord, switchValueWord, restrictionWord, configurationWords);
}

void CommunicationsManager::TellRuboToUpdate_valueIndications(ValueIndicationsMembers&& members) {
  std::lock_guard<std::mutex> lock(m_mutexValueIndications);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "ValueIndication");
    return;
  }
  // Unlike the other topics, a missing type is reported like an unknown one.
  const std::string* typeWord =
      FindWord(tables::mapDT_ChargingManagementCore_valueIndications_type_Direct, std::get<viIn::type>(members));
  if (typeWord == nullptr) {
    LogTypeInvalid(m_logger, "ValueIndication type invalid");
    return;
  }
  orik::ruboServer::ValueIndicationsUpdate result;
  std::get<viOut::type>(result) = *typeWord;
  m_logger.LogInfo() << kToRubo << "ValueIndication [type] value = " << *typeWord;
  GetNumericValues_ValueIndications(members, result);
  GetMappedValues_ValueIndications(members, result);
  rubo->Update_valueIndications(std::move(result));
}

void CommunicationsManager::GetNumericValues_ValueIndications(const ValueIndicationsMembers& members,
                                                              orik::ruboServer::ValueIndicationsUpdate& result) {
  const auto copyFloat = [this](std::string_view name, const Optional<float>& in, Optional<float>& out) {
    if (in) {
      out = in;
      m_logger.LogInfo() << kToRubo << "ValueIndication [" << name << "] value = " << *in;
    }
  };
  copyFloat("currentValue", std::get<viIn::currentValue>(members), std::get<viOut::currentValue>(result));
  copyFloat("maxValue", std::get<viIn::maxValue>(members), std::get<viOut::maxValue>(result));
  copyFloat("minValue", std::get<viIn::minValue>(members), std::get<viOut::minValue>(result));
  if (const auto& dateValue = std::get<viIn::currentTimeDateValue>(members)) {
    std::get<viOut::currentTimeDateValue>(result) = dateValue;
    m_logger.LogInfo() << kToRubo << "ValueIndication [currentTimeDateValue] value = " << *dateValue;
  }
}

void CommunicationsManager::GetMappedValues_ValueIndications(const ValueIndicationsMembers& members,
                                                             orik::ruboServer::ValueIndicationsUpdate& result) {
  const auto map = [this](std::string_view name, const auto& table, const auto& in, Optional<std::string>& out) {
    if (const std::string* word = FindWord(table, in)) {
      out = *word;
      m_logger.LogInfo() << kToRubo << "ValueIndication [" << name << "] value = " << *word;
    }
  };
  map("unitPercent", tables::mapDT_ChargingManagementCore_valueIndications_unitPercent_Direct,
      std::get<viIn::unitPercent>(members), std::get<viOut::unitPercent>(result));
  map("unitTime", tables::mapDT_ChargingManagementCore_valueIndications_unitTime_Direct,
      std::get<viIn::unitTime>(members), std::get<viOut::unitTime>(result));
  map("unitSpeed", tables::mapDT_ChargingManagementCore_valueIndications_unitSpeed_Direct,
      std::get<viIn::unitSpeed>(members), std::get<viOut::unitSpeed>(result));
  map("unitPower", tables::mapDT_ChargingManagementCore_valueIndications_unitPower_Direct,
      std::get<viIn::unitPower>(members), std::get<viOut::unitPower>(result));
  map("unitEnergy", tables::mapDT_ChargingManagementCore_valueIndications_unitEnergy_Direct,
      std::get<viIn::unitEnergy>(members), std::get<viOut::unitEnergy>(result));
  map("restrictionReason", tables::mapDT_ChargingManagementCore_valueIndications_restrictionReason_Direct,
      std::get<viIn::restrictionReason>(members), std::get<viOut::restrictionReason>(result));
}

void CommunicationsManager::TellRuboToUpdate_Views(
    const Optional<cmc::DT_ChargingManagementCore_views_type>& type,
    const Optional<cmc::DT_ChargingManagementCore_views_content>& content,
    const Optional<cmc::DT_ChargingManagementCore_views_visibility>& visibility) {
  std::lock_guard<std::mutex> lock(m_mutexViews);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "View");
    return;
  }
  const std::string* typeWord =
      TranslateType(m_logger, "View", "Views type invalid", tables::mapDT_ChargingManagementCore_views_type_Direct,
                    RelayedType(type));
  if (typeWord == nullptr) {
    return;
  }
  const auto contentWord =
      TranslateLogged(m_logger, "View", "content", tables::mapDT_ChargingManagementCore_views_content_Direct, content);
  const auto visibilityWord = TranslateLogged(m_logger, "View", "visibility",
                                              tables::mapDT_ChargingManagementCore_views_visibility_Direct, visibility);
  rubo->Update_Views(*typeWord, contentWord, visibilityWord);
}

void CommunicationsManager::TellRuboToUpdate_ResetToFactoryData(
    const Optional<cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData>& resetToFactoryData,
    const Optional<std::uint64_t>& lastReset) {
  std::lock_guard<std::mutex> lock(m_mutexResetToFactoryData);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "ResetToFactoryData");
    return;
  }
  // The reset element has no type: it is always forwarded, with or without a known value.
  const auto resetWord = TranslateLogged(
      m_logger, "ResetToFactoryData", "resetFactoryData",
      tables::mapDT_ChargingManagementCore_resetToFactoryData_resetToFactoryData_Direct, resetToFactoryData);
  if (lastReset) {
    m_logger.LogInfo() << kToRubo << "Timestamp updated: " << *lastReset;
  }
  rubo->Update_resetToFactoryData(resetWord, lastReset);
}

void CommunicationsManager::TellRuboToUpdate_ValueControls(ValueControlsMembers&& members) {
  // The type picks the lock, so it is read first; an absent type fails here, holding nothing.
  const auto typeValue = RelayedType(std::get<vcIn::type>(members));
  std::lock_guard<std::mutex> lock(typeValue == kNavTargetSocType ? m_mutexNavTargetSoc : m_mutexValueControls);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "ValueControl");
    return;
  }
  const std::string* typeWord = FindWord(tables::mapDT_ChargingManagementCore_valueControls_type_Direct, typeValue);
  if (typeWord == nullptr) {
    LogTypeInvalid(m_logger, "ValueControl type invalid");
    return;
  }
  orik::ruboServer::ValueControlsUpdate result;
  std::get<vcOut::type>(result) = *typeWord;
  LogTranslation(m_logger, "ValueControl", "type", Number(typeValue), *typeWord);
  GetNumericValues_ValueControls(members, result);
  GetMappedValues_ValueControls(members, result);
  rubo->Update_ValueControls(std::move(result));
}

void CommunicationsManager::GetNumericValues_ValueControls(const ValueControlsMembers& members,
                                                           orik::ruboServer::ValueControlsUpdate& result) {
  const auto copy = [this](std::string_view name, const Optional<std::uint32_t>& in, Optional<std::uint32_t>& out) {
    if (in) {
      out = in;
      m_logger.LogInfo() << kToRubo << "ValueControl [" << name << "] value = " << *in;
    }
  };
  copy("currentValue", std::get<vcIn::currentValue>(members), std::get<vcOut::currentValue>(result));
  copy("minValue", std::get<vcIn::minValue>(members), std::get<vcOut::minValue>(result));
  copy("maxValue", std::get<vcIn::maxValue>(members), std::get<vcOut::maxValue>(result));
  copy("resolution", std::get<vcIn::resolution>(members), std::get<vcOut::resolution>(result));
}

void CommunicationsManager::GetMappedValues_ValueControls(const ValueControlsMembers& members,
                                                          orik::ruboServer::ValueControlsUpdate& result) {
  std::get<vcOut::unitPercent>(result) = TranslateLogged(
      m_logger, "ValueControl", "unitPercent", tables::mapDT_ChargingManagementCore_valueControls_unitPercent_Direct,
      std::get<vcIn::unitPercent>(members));
  std::get<vcOut::unitDistance>(result) = TranslateLogged(
      m_logger, "ValueControl", "unitDistance", tables::mapDT_ChargingManagementCore_valueControls_unitDistance_Direct,
      std::get<vcIn::unitDistance>(members));
  std::get<vcOut::unitTime>(result) = TranslateLogged(
      m_logger, "ValueControl", "unitTime", tables::mapDT_ChargingManagementCore_valueControls_unitTime_Direct,
      std::get<vcIn::unitTime>(members));
  std::get<vcOut::restrictionReason>(result) =
      TranslateLogged(m_logger, "ValueControl", "restrictionReason",
                      tables::mapDT_ChargingManagementCore_valueControls_restrictionReason_Direct,
                      std::get<vcIn::restrictionReason>(members));
  std::get<vcOut::specialState>(result) = TranslateLogged(
      m_logger, "ValueControl", "specialState", tables::mapDT_ChargingManagementCore_valueControls_specialState_Direct,
      std::get<vcIn::specialState>(members));

  // The configuration has a single possible word, so any non-empty list reads as "off".
  const auto& configuration = std::get<vcIn::specialStateConfiguration>(members);
  if (!configuration) {
    return;
  }
  if (configuration->empty()) {
    std::get<vcOut::specialStateConfiguration>(result).emplace();
    m_logger.LogInfo() << kToRubo << "ValueControl [specialStateConfiguration] = {}";
    return;
  }
  std::get<vcOut::specialStateConfiguration>(result) = std::vector<std::string>{kSpecialStateConfigurationWord};
  m_logger.LogInfo() << kToRubo << "ValueControl [specialStateConfiguration] {value,mappedvalue} = {"
                     << Number(configuration->front()) << "," << kSpecialStateConfigurationWord << "}";
}

void CommunicationsManager::TellRuboToUpdate_Registry(bool available) {
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "Registry");
    return;
  }
  rubo->Update_Registry(available);
}

void CommunicationsManager::TellRuboToUpdate_ChargingPlugs(
    const Optional<cmc::DT_ChargingManagementCore_chargingPlugs_type>& type,
    const Optional<cmc::DT_ChargingManagementCore_chargingPlugs_infrastructureState>& infrastructureState,
    const Optional<cmc::DT_ChargingManagementCore_chargingPlugs_plugConnectionState>& plugConnectionState,
    const Optional<cmc::DT_ChargingManagementCore_chargingPlugs_plugType>& plugType) {
  std::lock_guard<std::mutex> lock(m_mutexChargingPlugs);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "ChargingPlug");
    return;
  }
  const std::string* typeWord =
      TranslateType(m_logger, "ChargingPlug", "ChargingPlug type invalid",
                    tables::mapDT_ChargingManagementCore_chargingPlugs_type_Direct, RelayedType(type));
  if (typeWord == nullptr) {
    return;
  }
  const auto infrastructureWord = TranslateLogged(
      m_logger, "ChargingPlug", "infrastructureState",
      tables::mapDT_ChargingManagementCore_chargingPlugs_infrastructureState_Direct, infrastructureState);
  const auto connectionWord = TranslateLogged(
      m_logger, "ChargingPlug", "plugConnectionState",
      tables::mapDT_ChargingManagementCore_chargingPlugs_plugConnectionState_Direct, plugConnectionState);
  const auto plugTypeWord =
      TranslateLogged(m_logger, "ChargingPlug", "plugType",
                      tables::mapDT_ChargingManagementCore_chargingPlugs_plugType_Direct, plugType);
  rubo->Update_ChargingPlugs(*typeWord, connectionWord, infrastructureWord, plugTypeWord);
}

void CommunicationsManager::TellRuboToUpdate_BatteryCareModes(
    const Optional<cmc::DT_ChargingManagementCore_batteryCareModes_type>& type,
    const Optional<std::uint32_t>& chargeBcamThreshold,
    const Optional<cmc::DT_ChargingManagementCore_batteryCareModes_notification>& notification,
    const Optional<cmc::DT_ChargingManagementCore_batteryCareModes_popup>& popup,
    const Optional<float>& bcamScoreThreshold) {
  std::lock_guard<std::mutex> lock(m_mutexBatteryCareModes);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "BatteryCareModes");
    return;
  }
  const std::string* typeWord =
      TranslateType(m_logger, "BatteryCareModes", "BatteryCareModes type invalid",
                    tables::mapDT_ChargingManagementCore_batteryCareModes_type_Direct, RelayedType(type));
  if (typeWord == nullptr) {
    return;
  }
  const auto notificationWord =
      TranslateLogged(m_logger, "BatteryCareModes", "notification",
                      tables::mapDT_ChargingManagementCore_batteryCareModes_notification_Direct, notification);
  const auto popupWord = TranslateLogged(m_logger, "BatteryCareModes", "popup",
                                         tables::mapDT_ChargingManagementCore_batteryCareModes_popup_Direct, popup);
  rubo->Update_batteryCareModes(*typeWord, notificationWord, popupWord, chargeBcamThreshold, bcamScoreThreshold);
}

void CommunicationsManager::TellRuboToUpdate_BatteryPreconditionings(
    const Optional<cmc::DT_ChargingManagementCore_batteryPreconditionings_type>& type,
    const Optional<cmc::DT_ChargingManagementCore_batteryPreconditionings_preconditioningState>& preconditioningState) {
  std::lock_guard<std::mutex> lock(m_mutexBatteryPreconditionings);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "BatteryPreconditionings");
    return;
  }
  const std::string* typeWord =
      FindWord(tables::mapDT_ChargingManagementCore_batteryPreconditionings_type_Direct, RelayedType(type));
  if (typeWord == nullptr) {
    LogTypeInvalid(m_logger, "BatteryPreconditionings type invalid");
    return;
  }
  const auto stateWord = TranslateLogged(
      m_logger, "BatteryPreconditionings", "preconditioningState",
      tables::mapDT_ChargingManagementCore_batteryPreconditionings_preconditioningState_Direct, preconditioningState);
  rubo->Update_batteryPreconditionings(*typeWord, stateWord);
}

void CommunicationsManager::TellRuboToUpdate_BatteryPreconditioningEnergies(
    const Optional<cmc::DT_ChargingManagementCore_batteryPreconditioningEnergies_type>& type,
    const Optional<std::uint32_t>& firstStop, const Optional<std::uint32_t>& nextStops) {
  std::lock_guard<std::mutex> lock(m_mutexBatteryPreconditioningEnergies);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "BatteryPreconditioningEnergies");
    return;
  }
  const std::string* typeWord =
      FindWord(tables::mapDT_ChargingManagementCore_batteryPreconditioningEnergies_type_Direct, RelayedType(type));
  if (typeWord == nullptr) {
    LogTypeInvalid(m_logger, "BatteryPreconditioningEnergies type invalid");
    return;
  }
  rubo->Update_batteryPreconditioningEnergies(*typeWord, firstStop, nextStops);
}

void CommunicationsManager::TellRuboToUpdate_BidirectionalChargingModes(BidirectionalChargingModesMembers&& members) {
  std::lock_guard<std::mutex> lock(m_mutexBidirectionalChargingModes);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    LogRuboMissing(m_logger, "BidirectionalChargingModes");
    return;
  }
  const std::string* typeWord =
      TranslateType(m_logger, "BidirectionalChargingModes", "BidirectionalChargingModes type invalid",
                    tables::mapDT_ChargingManagementCore_bidirectionalChargingModes_type_Direct,
                    RelayedType(std::get<bcmIn::type>(members)));
  if (typeWord == nullptr) {
    return;
  }
  orik::ruboServer::BidirectionalChargingModesUpdate update;
  std::get<bcmOut::type>(update) = *typeWord;
  // Logged in this order; handed on in the member order.
  std::get<bcmOut::notification>(update) =
      TranslateLogged(m_logger, "BidirectionalChargingModes", "notification",
                      tables::mapDT_ChargingManagementCore_bidirectionalChargingModes_notification_Direct,
                      std::get<bcmIn::notification>(members));
  std::get<bcmOut::information>(update) =
      TranslateLogged(m_logger, "BidirectionalChargingModes", "information",
                      tables::mapDT_ChargingManagementCore_bidirectionalChargingModes_information_Direct,
                      std::get<bcmIn::information>(members));
  std::get<bcmOut::chargingMode>(update) =
      TranslateLogged(m_logger, "BidirectionalChargingModes", "chargingMode",
                      tables::mapDT_ChargingManagementCore_bidirectionalChargingModes_chargingMode_Direct,
                      std::get<bcmIn::chargingMode>(members));
  std::get<bcmOut::operatingHoursThreshold>(update) = std::get<bcmIn::operatingHoursThreshold>(members);
  std::get<bcmOut::numbersOfCyclesThreshold>(update) = std::get<bcmIn::numbersOfCyclesThreshold>(members);
  std::get<bcmOut::amountOfEnergyThreshold>(update) = std::get<bcmIn::amountOfEnergyThreshold>(members);
  std::get<bcmOut::quotaThreshold>(update) = std::get<bcmIn::quotaThreshold>(members);
  rubo->Update_BidirectionalChargingModes(std::move(update));
}

// ---------------------------------------------------------------------------------------------
// REST and route -> vehicle

void CommunicationsManager::TellSomeIpToStartListener() {
  const auto someIp = m_someIp.Load();
  const auto rbec = m_rbec.Load();
  if (!someIp || !rbec) {
    m_logger.LogInfo() << "[CommMngr] Listeners not set, not started";
    return;
  }
  someIp->StartListener();
  rbec->StartListener();
  m_logger.LogInfo() << "[CommMngr] Cmc and rbec listeners started";
}

SOMEIP_RESPONSE_TYPE CommunicationsManager::TellSomeIpToUpdate_ValueControls(
    const std::string& type, const Optional<std::uint32_t>& value, const Optional<std::string>& specialState) {
  std::lock_guard<std::mutex> lock(m_mutexWriteValueControls);
  const auto someIp = m_someIp.Load();
  if (!someIp) {
    return SomeIpMissing(m_logger, "ValueControl");
  }
  const auto* typeValue = FindValue(tables::mapDT_ChargingManagementCore_valueControls_type_Inv, type);
  if (typeValue == nullptr) {
    m_logger.LogDebug() << "[CommMngr] Unable to translate ValueControl object type " << type
                        << " from rubo. Returning...";
    return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  }
  m_logger.LogInfo() << "[CommMngr] Translated ValueControl object type " << type << " from rubo into type "
                     << Number(*typeValue) << " for someip...";

  Optional<cmc::DT_ChargingManagementCore_valueControls_specialState> specialStateValue;
  if (specialState) {
    if (const auto* found =
            FindValue(tables::mapDT_ChargingManagementCore_valueControls_specialState_Inv, *specialState)) {
      specialStateValue = *found;
      m_logger.LogInfo() << "[CommMngr] Translated ValueControl object specialState " << *specialState
                         << " from rubo into specialState " << Number(*found) << " for someip...";
    } else {
      m_logger.LogDebug() << "[CommMngr][Someip -> Rubo] Map exception";
    }
  }
  return someIp->Update_ValueControls(*typeValue, value, specialStateValue, kOriginRubo);
}

SOMEIP_RESPONSE_TYPE CommunicationsManager::TellSomeIpToUpdate_NavTargetSoc(const std::uint32_t& navTargetSoc) {
  std::lock_guard<std::mutex> lock(m_mutexWriteValueControls);
  const auto someIp = m_someIp.Load();
  if (!someIp) {
    return SomeIpMissing(m_logger, "NavTargetSoc");
  }
  const Optional<std::uint32_t> value{navTargetSoc};
  const Optional<cmc::DT_ChargingManagementCore_valueControls_specialState> noSpecialState;
  return someIp->Update_ValueControls(kNavTargetSocType, value, noSpecialState, kOriginRbec);
}

SOMEIP_RESPONSE_TYPE CommunicationsManager::TellSomeIpToUpdate_SwitchControls(
    const std::string& type, const Optional<std::string>& switchValue) {
  const auto someIp = m_someIp.Load();
  if (!someIp) {
    return SomeIpMissing(m_logger, "SwitchControl");
  }
  const auto* typeValue = FindValue(tables::mapDT_ChargingManagementCore_switchControls_type_Inv, type);
  if (typeValue == nullptr) {
    m_logger.LogDebug() << "[CommMngr] Unable to translate SwitchControl object type " << type
                        << " from rubo. Returning...";
    return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  }
  Optional<cmc::DT_ChargingManagementCore_switchControls_switchValue> switchValueValue;
  if (switchValue) {
    const auto* found = FindValue(tables::mapDT_ChargingManagementCore_switchControls_switchValue_Inv, *switchValue);
    if (found == nullptr) {
      m_logger.LogDebug() << "[CommMngr] Unable to translate SwitchControl object value " << *switchValue
                          << " from rubo. Returning...";
      return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
    }
    switchValueValue = *found;
  }
  m_logger.LogInfo() << "[CommMngr] Translated SwitchControl object type " << type << " from rubo into type "
                     << Number(*typeValue) << " for someip...";
  if (switchValueValue) {
    m_logger.LogInfo() << "[CommMngr] Translated SwitchControl object value " << *switchValue
                       << " from rubo into value " << Number(*switchValueValue) << " for someip...";
  }
  return someIp->Update_SwitchControls(*typeValue, switchValueValue);
}

SOMEIP_RESPONSE_TYPE CommunicationsManager::TellSomeIpToUpdate_Views(const std::string& type,
                                                                     const Optional<std::string>& content,
                                                                     const Optional<std::string>& visibility) {
  const auto someIp = m_someIp.Load();
  if (!someIp) {
    return SomeIpMissing(m_logger, "View");
  }
  const auto* typeValue = FindValue(tables::mapDT_ChargingManagementCore_views_type_Inv, type);
  if (typeValue == nullptr) {
    m_logger.LogDebug() << kRuboToSomeIp << "Unable to translate View object {type} " << type
                        << " from rubo. Returning...";
    return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  }
  m_logger.LogInfo() << kRuboToSomeIp << "Translated View object {type} " << type << " from rubo into {type} "
                     << Number(*typeValue) << " for someip...";

  // A member that cannot be translated is not written; the rest of the view still is.
  const auto translate = [this](std::string_view member, const auto& table, const Optional<std::string>& word) {
    using Value = typename std::decay_t<decltype(table)>::mapped_type;
    if (word) {
      if (const auto* found = FindValue(table, *word)) {
        m_logger.LogInfo() << kRuboToSomeIp << "Translated View object {" << member << "} " << *word
                           << " from rubo into {" << member << "} " << Number(*found) << " for someip...";
        return Optional<Value>(*found);
      }
    }
    m_logger.LogInfo() << kRuboToSomeIp << "Unable to map View {" << member << "} "
                       << (word ? std::string_view(*word) : std::string_view("no_value")) << " from rubo (or View {"
                       << member << "} was not updated in this request)";
    return Optional<Value>();
  };
  const auto contentValue = translate("content", tables::mapDT_ChargingManagementCore_views_content_Inv, content);
  const auto visibilityValue =
      translate("visibility", tables::mapDT_ChargingManagementCore_views_visibility_Inv, visibility);
  return someIp->Update_Views(*typeValue, contentValue, visibilityValue);
}

SOMEIP_RESPONSE_TYPE CommunicationsManager::TellSomeIpToUpdate_pastErrorInformation(
    const std::string& type, const Optional<bool>& confirmedByUser) {
  const auto someIp = m_someIp.Load();
  if (!someIp) {
    return SomeIpMissing(m_logger, "pastErrorInformation");
  }
  const auto* typeValue = FindValue(tables::mapDT_ChargingManagementCore_pastErrorInformation_type_Inv, type);
  if (typeValue == nullptr) {
    m_logger.LogDebug() << kRuboToSomeIp << "Unable to translate pastErrorInformation object type " << type
                        << " from rubo. Returning...";
    return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  }
  m_logger.LogInfo() << kRuboToSomeIp << "Translated pastErrorInformation object {type} " << type
                     << " from rubo into {type} " << Number(*typeValue) << " for someip...";
  return someIp->Update_pastErrorInformation(*typeValue, confirmedByUser);
}

SOMEIP_RESPONSE_TYPE CommunicationsManager::TellSomeIpToUpdate_ResetStatus(const Optional<std::string>& reset) {
  // An absent status is refused silently, whether or not the listener is still wired.
  if (!reset) {
    return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  }
  const auto someIp = m_someIp.Load();
  if (!someIp) {
    return SomeIpMissing(m_logger, "ResetToFactoryData");
  }
  // The reset answers every failure, its own or the listener's, with an error code.
  const auto mapFailure = [this] {
    m_logger.LogDebug() << "[CommMngr][Someip -> Rubo] Map exception";
    return SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  };
  const auto* value = FindValue(tables::mapDT_ChargingManagementCore_resetToFactoryData_resetToFactoryData_Inv, *reset);
  if (value == nullptr) {
    return mapFailure();
  }
  m_logger.LogInfo() << "[CommMngr] Translated ResetToFactoryData object  reset " << *reset << " from rubo into type "
                     << Number(*value) << " for someip...";
  try {
    return someIp->Update_FactoryResetInfo(*value);
  } catch (...) {
    return mapFailure();
  }
}

// ---------------------------------------------------------------------------------------------
// Route -> REST

void CommunicationsManager::TellRuboToUpdate_NavTargetSoc(const std::uint32_t& navTargetSoc) {
  std::lock_guard<std::mutex> lock(m_mutexNavTargetSoc);
  const auto rubo = m_rubo.Load();
  if (!rubo) {
    m_logger.LogInfo() << "[CommMngr][RBEC -> Rubo] Rubo server not set, NavTargetSoc update dropped";
    return;
  }
  m_logger.LogInfo() << "[CommMngr][RBEC -> Rubo] Updating NavTargetSoc with value" << navTargetSoc;
  // Narrowing a larger value would show a plausible but wrong state of charge.
  if (navTargetSoc > kMaxNavTargetSoc) {
    return;
  }
  rubo->Update_NavTargetSoc(static_cast<std::uint8_t>(navTargetSoc));
}

}  // namespace orik::commMngr
