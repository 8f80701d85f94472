#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ara/rest/ogm.h"
#include "rest_server/orik_rubo_server.h"

namespace orik::ruboServer {
namespace {

namespace ogm = ara::rest::ogm;
using orik::enums::SOMEIP_RESPONSE_TYPE;

constexpr const char* kOutOfRange = "Bad Request: value not in allowed range";
constexpr std::uint16_t kBadRequest = 400;

// A body or property value of the expected kind; anything else counts as absent.
template <typename T>
const T* FieldOf(const ogm::Object& object, std::string_view name) {
  const auto* field = object.GetField(name);
  return field != nullptr ? ogm::As<T>(field->GetValue()) : nullptr;
}

ara::core::Optional<std::string> TextOf(const ogm::Object& object, std::string_view name) {
  if (const auto* text = FieldOf<ogm::String>(object, name)) {
    return text->GetValue();
  }
  return {};
}

// The String items of an array property; absent when the element has no such property.
ara::core::Optional<std::vector<std::string>> TextItemsOf(const ogm::Object& properties, std::string_view name) {
  const auto* field = properties.GetField(name);
  if (field == nullptr) {
    return {};
  }
  std::vector<std::string> items;
  if (const auto* array = ogm::As<ogm::Array>(field->GetValue())) {
    for (const auto& item : array->GetItems()) {
      if (const auto* text = ogm::As<ogm::String>(item.get())) {
        items.push_back(text->GetValue());
      }
    }
  }
  return items;
}

// "type" of an element; the empty text when it has none.
std::string TypeOf(const ogm::Object& properties) {
  return TextOf(properties, "type").value_or(std::string{});
}

bool Contains(const std::vector<std::string>& values, const std::string& value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

}  // namespace

// ---- Installation ----

void ORIKRuboServer::RegisterPreUpdateCallBacks() {
  if (!m_server) {
    throw std::logic_error("no Rubo server object");
  }
  const auto valueControls = m_server->GetChargingManagementCoreValueControls();
  const auto switchControls = m_server->GetChargingManagementCoreSwitchControls();
  const auto pastErrors = m_server->GetChargingManagementCorePastErrorInformation();
  const auto resets = m_server->GetFactoryResetResets();
  if (!valueControls || !switchControls || !pastErrors || !resets) {
    throw std::logic_error("Rubo collection not built");
  }
  SetPreupdateCallbacks(valueControls->GetValueControlObjects());
  for (const char* key : {"popup", "bcamInformationScreen", "bcamInitialInformationScreen", "itSystemScreen"}) {
    const auto view = m_viewObjects.find(key);
    if (view != m_viewObjects.end()) {
      SetPreupdateCallbacks(view->second);
    }
  }
  SetPreupdateCallbacks(switchControls->GetSwitchControlObjects());
  SetPreupdateCallbacks(pastErrors->GetPastErrorInformationObjects());
  SetPreupdateCallbacks(resets->GetResetObjects());
}

void ORIKRuboServer::SetPreupdateCallbacks(const ara::rest::Vector<std::shared_ptr<ValueControlObject>>& elements) {
  for (const auto& element : elements) {
    std::weak_ptr<ValueControlObject> weak = element;
    element->SetPreUpdateCallback(
        [this, weak, previous = element->GetPreUpdateCallback()](std::shared_ptr<rubo::BaseXObject> object,
                                                                 const ogm::Object& body, rubo::ServerReply& reply) {
          return ValueControl_PreupdateCallback(weak, previous, std::move(object), body, reply);
        });
  }
}

void ORIKRuboServer::SetPreupdateCallbacks(const std::shared_ptr<ViewObject>& view) {
  if (!view) {
    return;
  }
  std::weak_ptr<ViewObject> weak = view;
  view->SetPreUpdateCallback(
      [this, weak, previous = view->GetPreUpdateCallback()](std::shared_ptr<rubo::BaseXObject> object,
                                                            const ogm::Object& body, rubo::ServerReply& reply) {
        return View_PreupdateCallback(weak, previous, std::move(object), body, reply);
      });
}

void ORIKRuboServer::SetPreupdateCallbacks(const ara::rest::Vector<std::shared_ptr<SwitchControlObject>>& elements) {
  for (const auto& element : elements) {
    InitSetup(element);
  }
  const auto startStop = std::find_if(elements.begin(), elements.end(), [](const auto& element) {
    return element->GetType() == "immediateActionStartStopCharging";
  });
  if (startStop != elements.end()) {
    LayerStartstopchargingCallback(*startStop);
  }
}

void ORIKRuboServer::SetPreupdateCallbacks(
    const ara::rest::Vector<std::shared_ptr<PastErrorInformationObject>>& elements) {
  for (const auto& element : elements) {
    std::weak_ptr<PastErrorInformationObject> weak = element;
    element->SetPreUpdateCallback(
        [this, weak, previous = element->GetPreUpdateCallback()](std::shared_ptr<rubo::BaseXObject> object,
                                                                 const ogm::Object& body, rubo::ServerReply& reply) {
          return PastErrInfo_PreupdateCallback(weak, previous, std::move(object), body, reply);
        });
  }
}

void ORIKRuboServer::SetPreupdateCallbacks(const ara::rest::Vector<std::shared_ptr<ResetObject>>& elements) {
  for (const auto& element : elements) {
    element->SetPreUpdateCallback(
        [this, previous = element->GetPreUpdateCallback()](std::shared_ptr<rubo::BaseXObject> object,
                                                           const ogm::Object& body, rubo::ServerReply& reply) {
          return ResetFactory_PreupdateCallback(previous, std::move(object), body, reply);
        });
  }
}

void ORIKRuboServer::InitSetup(const std::shared_ptr<SwitchControlObject>& switchControl) {
  if (!switchControl) {
    return;
  }
  std::weak_ptr<SwitchControlObject> weak = switchControl;
  switchControl->SetPreUpdateCallback(
      [this, weak, previous = switchControl->GetPreUpdateCallback()](
          std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body, rubo::ServerReply& reply) {
        return SwitchControl_PreupdateCallback(weak, previous, std::move(object), body, reply);
      });
}

void ORIKRuboServer::LayerPlugflaplockstateCallback(const std::shared_ptr<SwitchControlObject>& switchControl) {
  if (!switchControl) {
    return;
  }
  switchControl->SetPreUpdateCallback(
      [this, previous = switchControl->GetPreUpdateCallback()](std::shared_ptr<rubo::BaseXObject> object,
                                                               const ogm::Object& body, rubo::ServerReply& reply) {
        return Plugflaplockstate_PreupdateCallback(previous, std::move(object), body, reply);
      });
}

void ORIKRuboServer::LayerChargingPlugLockStateCallback(const std::shared_ptr<SwitchControlObject>& switchControl) {
  if (!switchControl) {
    return;
  }
  switchControl->SetPreUpdateCallback(
      [this, previous = switchControl->GetPreUpdateCallback()](std::shared_ptr<rubo::BaseXObject> object,
                                                               const ogm::Object& body, rubo::ServerReply& reply) {
        return ChargingPlugLockState_PreupdateCallback(previous, std::move(object), body, reply);
      });
}

void ORIKRuboServer::LayerStartstopchargingCallback(const std::shared_ptr<SwitchControlObject>& switchControl) {
  if (!switchControl) {
    return;
  }
  switchControl->SetPreUpdateCallback(
      [this, previous = switchControl->GetPreUpdateCallback()](std::shared_ptr<rubo::BaseXObject> object,
                                                               const ogm::Object& body, rubo::ServerReply& reply) {
        return Startstopcharging_PreupdateCallback(previous, std::move(object), body, reply);
      });
}

// ---- Hooks that run the previous callback first ----

bool ORIKRuboServer::ValueControl_PreupdateCallback(const std::weak_ptr<ValueControlObject>& element,
                                                    const rubo::PreUpdateCallback& previous,
                                                    std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body,
                                                    rubo::ServerReply& reply) {
  if (previous && !previous(std::move(object), body, reply)) {
    return false;
  }
  const auto valueControl = element.lock();
  if (!valueControl) {
    reply.SendInternalError();
    return false;
  }
  switch (ValueControl_POSThandler(body, valueControl)) {
    case kPostAccepted:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] ValueControl Success";
      return true;
    case kPostInvalid:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] ValueControl Invalid range";
      reply.SendError(kOutOfRange, kBadRequest);
      return false;
    default:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] ValueControl Internal error";
      reply.SendInternalError();
      return false;
  }
}

bool ORIKRuboServer::View_PreupdateCallback(const std::weak_ptr<ViewObject>& element,
                                            const rubo::PreUpdateCallback& previous,
                                            std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body,
                                            rubo::ServerReply& reply) {
  if (previous && !previous(std::move(object), body, reply)) {
    return false;
  }
  const auto view = element.lock();
  if (!view) {
    reply.SendInternalError();
    return false;
  }
  switch (View_POSThandler(body, view)) {
    case kPostAccepted:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] View Success";
      return true;
    case kPostInvalid:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] View Invalid params";
      // Without an answer here the client would get a bare framework error for a bad body.
      reply.SendError(kOutOfRange, kBadRequest);
      return false;
    default:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] View Internal error";
      reply.SendInternalError();
      return false;
  }
}

bool ORIKRuboServer::SwitchControl_PreupdateCallback(const std::weak_ptr<SwitchControlObject>& element,
                                                     const rubo::PreUpdateCallback& previous,
                                                     std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body,
                                                     rubo::ServerReply& reply) {
  if (previous && !previous(std::move(object), body, reply)) {
    return false;
  }
  const auto switchControl = element.lock();
  if (!switchControl) {
    reply.SendInternalError();
    return false;
  }
  switch (SwitchControl_POSThandler(body, switchControl)) {
    case kPostAccepted:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] SwitchControl POST successful";
      return true;
    case kPostInvalid:
      reply.SendError(kOutOfRange, kBadRequest);
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] SwitchControl POST failed due to validation";
      return false;
    default:
      reply.SendInternalError();
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] SwitchControl POST failed due to someip update failure";
      return false;
  }
}

bool ORIKRuboServer::PastErrInfo_PreupdateCallback(const std::weak_ptr<PastErrorInformationObject>& element,
                                                   const rubo::PreUpdateCallback& previous,
                                                   std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body,
                                                   rubo::ServerReply& reply) {
  if (previous && !previous(std::move(object), body, reply)) {
    return false;
  }
  const auto pastError = element.lock();
  if (!pastError) {
    reply.SendInternalError();
    return false;
  }
  switch (PastErrInfo_POSThandler(body, pastError)) {
    case kPostAccepted:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] PastErrInfo Success";
      return true;
    case kPostInvalid:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] PastErrInfo confirmedByUser field is missing from the payload.";
      reply.SendError("Bad Request: *confirmedByUser* field is missing", kBadRequest);
      return false;
    default:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] PastErrInfo Internal error";
      reply.SendInternalError();
      return false;
  }
}

bool ORIKRuboServer::ResetFactory_PreupdateCallback(const rubo::PreUpdateCallback& previous,
                                                    std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body,
                                                    rubo::ServerReply& reply) {
  auto reset = std::dynamic_pointer_cast<ResetObject>(object);
  if (previous && !previous(std::move(object), body, reply)) {
    return false;
  }
  if (!reset) {
    reply.SendInternalError();
    return false;
  }
  // Never applied by the framework: the element changes only when the vehicle reports back.
  switch (ResetFactory_POSThandler(body, reset)) {
    case kPostAccepted:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] ResetToFactory Accepted";
      reply.SendError("Accepted", 202);
      return false;
    case kPostInvalid:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] ResetToFactory wrong value in the payload.";
      reply.SendError(kOutOfRange, kBadRequest);
      return false;
    default:
      m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] ResetToFactory Internal error";
      reply.SendInternalError();
      return false;
  }
}

// ---- Hooks that run their check first ----

bool ORIKRuboServer::Startstopcharging_PreupdateCallback(const rubo::PreUpdateCallback& previous,
                                                         std::shared_ptr<rubo::BaseXObject> object,
                                                         const ogm::Object& body, rubo::ServerReply& reply) {
  if (Startstopcharging_POSThandler(body) != kPostAccepted) {
    reply.SendError(kOutOfRange, kBadRequest);
    return false;
  }
  return previous ? previous(std::move(object), body, reply) : true;
}

bool ORIKRuboServer::Plugflaplockstate_PreupdateCallback(const rubo::PreUpdateCallback& previous,
                                                         std::shared_ptr<rubo::BaseXObject> object,
                                                         const ogm::Object& body, rubo::ServerReply& reply) {
  if (!Plugflaplockstate_POSThandler(body)) {
    reply.SendError(kOutOfRange, kBadRequest);
    return false;
  }
  return previous ? previous(std::move(object), body, reply) : true;
}

bool ORIKRuboServer::ChargingPlugLockState_PreupdateCallback(const rubo::PreUpdateCallback& previous,
                                                             std::shared_ptr<rubo::BaseXObject> object,
                                                             const ogm::Object& body, rubo::ServerReply& reply) {
  if (!Plugflaplockstate_POSThandler(body)) {
    reply.SendInternalError();
    return false;
  }
  return previous ? previous(std::move(object), body, reply) : true;
}

// ---- POST handlers ----

std::int32_t ORIKRuboServer::SwitchControl_POSThandler(const ogm::Object& body,
                                                       const std::shared_ptr<SwitchControlObject>& element) {
  std::int32_t result = kPostInvalid;
  bool valid = false;
  const auto switchValue = TextOf(body, "switchValue");
  if (switchValue && Validate_SwitchControl(element, *switchValue)) {
    valid = true;
    const std::string type = TypeOf(element->GetOGM());
    m_logger.LogInfo() << "[Rubo] Type - SwitchValue: " << type << " - " << *switchValue;
    const auto commMngr = m_commMngr.Load();
    const auto status = commMngr ? commMngr->TellSomeIpToUpdate_SwitchControls(type, switchValue)
                                 : SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
    result = Evaluate_SetStatus("SwitchValue", status) ? kPostAccepted : kPostWriteFailed;
  }
  m_logger.LogInfo() << "[Rubo] Result for the switchcontrol validation checks: " << valid << "!";
  return result;
}

bool ORIKRuboServer::Validate_SwitchControl(const std::shared_ptr<SwitchControlObject>& element,
                                            const std::string& value) const {
  const auto configuration = TextItemsOf(element->GetOGM(), "switchValueConfiguration");
  if (!configuration) {
    return true;
  }
  return Contains(*configuration, value);
}

std::int32_t ORIKRuboServer::Startstopcharging_POSThandler(const ogm::Object& body) const {
  const auto switchValue = TextOf(body, "switchValue");
  return switchValue && Contains(m_startStopChargingValues, *switchValue) ? kPostAccepted : kPostInvalid;
}

bool ORIKRuboServer::Plugflaplockstate_POSThandler(const ogm::Object& body) const {
  const auto switchValue = TextOf(body, "switchValue");
  return switchValue && Contains(m_lockStateValues, *switchValue);
}

std::int32_t ORIKRuboServer::View_POSThandler(const ogm::Object& body, const std::shared_ptr<ViewObject>& element) {
  const auto content = TextOf(body, "content");
  const auto visibility = TextOf(body, "visibility");
  const bool valid = content.has_value() || visibility.has_value();
  m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] View - Result for the payload validation checks: " << valid << "!";
  if (!valid) {
    return kPostInvalid;
  }
  const std::string type = TypeOf(element->GetOGM());
  m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] View - {Type - Content - Visibility} : {" << type << " - "
                     << content.value_or("no_value") << " - " << visibility.value_or("no_value") << "}";
  const auto commMngr = m_commMngr.Load();
  const auto status =
      commMngr ? commMngr->TellSomeIpToUpdate_Views(type, content, visibility) : SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  return Evaluate_SetStatus("View", status) ? kPostAccepted : kPostWriteFailed;
}

std::int32_t ORIKRuboServer::ValueControl_POSThandler(const ogm::Object& body,
                                                      const std::shared_ptr<ValueControlObject>& element) {
  ara::core::Optional<std::uint32_t> currentValue;
  if (const auto* value = FieldOf<ogm::Int>(body, "currentValue")) {
    currentValue = static_cast<std::uint32_t>(value->GetValue());
  }
  const bool inRange = currentValue ? Validate_ValueControl(element, *currentValue) : false;
  const auto specialState = TextOf(body, "specialState");
  const auto properties = element->GetOGM();

  bool valid = inRange;
  if (specialState) {
    const auto configuration = TextItemsOf(properties, "specialStateConfiguration");
    valid = !configuration || Contains(*configuration, *specialState);
  }
  m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] ValueControl Result for the validation checks: " << valid << "!";
  if (!valid) {
    return kPostInvalid;
  }

  const std::string type = TypeOf(properties);
  m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] {Type - Value - SpecialState} : {" << type << " - "
                     << currentValue.value_or(100000) << " - " << specialState.value_or("no_value") << "}";
  const auto commMngr = m_commMngr.Load();
  const auto status = commMngr ? commMngr->TellSomeIpToUpdate_ValueControls(type, currentValue, specialState)
                               : SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  return Evaluate_SetStatus("ValueControl", status) ? kPostAccepted : kPostWriteFailed;
}

bool ORIKRuboServer::Validate_ValueControl(const std::shared_ptr<ValueControlObject>& element,
                                           std::uint32_t value) const {
  const auto properties = element->GetOGM();
  const auto* minValue = FieldOf<ogm::Int>(properties, "minValue");
  const auto* maxValue = FieldOf<ogm::Int>(properties, "maxValue");
  const std::int64_t minimum = minValue != nullptr ? minValue->GetValue() : 0;
  const std::int64_t maximum = maxValue != nullptr ? maxValue->GetValue() : 3000;
  const auto widened = static_cast<std::int64_t>(value);
  const bool inRange = minimum <= widened && widened <= maximum;
  if (const auto* resolution = FieldOf<ogm::Int>(properties, "resolution")) {
    const auto step = static_cast<std::uint32_t>(resolution->GetValue());
    if (step == 0) {
      return false;
    }
    return inRange && value % step == 0;
  }
  return inRange;
}

std::int32_t ORIKRuboServer::PastErrInfo_POSThandler(const ogm::Object& body,
                                                     const std::shared_ptr<PastErrorInformationObject>& element) {
  const auto* confirmed = FieldOf<ogm::Bool>(body, "confirmedByUser");
  const bool present = confirmed != nullptr;
  m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] PastErrorInformation - Result for the payload_exists_check checks: "
                     << present << "!";
  if (!present) {
    return kPostInvalid;
  }
  const std::string type = TypeOf(element->GetOGM());
  const bool confirmedByUser = confirmed->GetValue();
  m_logger.LogInfo() << "[Rubo][Rubo -> SomeIp] PastErrorInformation - {Type - ConfirmedByUser} : {" << type << " - "
                     << confirmedByUser << "}";
  const auto commMngr = m_commMngr.Load();
  const auto status = commMngr ? commMngr->TellSomeIpToUpdate_pastErrorInformation(type, confirmedByUser)
                               : SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  return Evaluate_SetStatus("PastErrorInformation", status) ? kPostAccepted : kPostWriteFailed;
}

std::int32_t ORIKRuboServer::ResetFactory_POSThandler(const ogm::Object& body,
                                                      const std::shared_ptr<ResetObject>& /*element*/) {
  const auto* isFactoryDefault = FieldOf<ogm::Bool>(body, "isFactoryDefault");
  if (isFactoryDefault == nullptr) {
    // Nothing was written, so nothing may be reported as accepted.
    return kPostInvalid;
  }
  const bool requested = isFactoryDefault->GetValue();
  m_logger.LogInfo() << "[Rubo] Type - resetDataValue: "
                     << " - " << static_cast<std::uint32_t>(requested ? 1 : 0);
  if (!requested) {
    return kPostInvalid;
  }
  const auto commMngr = m_commMngr.Load();
  const auto status =
      commMngr ? commMngr->TellSomeIpToUpdate_ResetStatus(std::string("origin")) : SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
  return Evaluate_SetStatus("ResetToFactoryData", status) ? kPostAccepted : kPostWriteFailed;
}

bool ORIKRuboServer::Evaluate_SetStatus(const std::string& name, SOMEIP_RESPONSE_TYPE status) {
  switch (status) {
    case SOMEIP_RESPONSE_TYPE::RESPONSE_RECEIVED:
      m_logger.LogInfo() << "[Rubo][Rubo -> Someip] " << name << " - Set response received.";
      return true;
    case SOMEIP_RESPONSE_TYPE::RESPONSE_DATA_MISMATCH:
      m_logger.LogInfo() << "[Rubo][Rubo -> Someip] " << name << " - Response data does not match. Not implemented.";
      return false;
    case SOMEIP_RESPONSE_TYPE::RESPONSE_TIMEOUT:
      m_logger.LogInfo() << "[Rubo][Rubo -> Someip] " << name
                         << " - Response not received from the setter in due time.";
      return false;
    case SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR:
      m_logger.LogInfo() << "[Rubo][Rubo -> Someip] " << name << " - Error while setting values on the someip.";
      return false;
  }
  m_logger.LogInfo() << "[Rubo][Rubo -> Someip] Set Status Case unknown. Returning false.";
  return false;
}

}  // namespace orik::ruboServer
