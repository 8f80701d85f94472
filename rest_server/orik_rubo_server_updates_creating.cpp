// SOME/IP-to-REST updates that go beyond setting properties: switch controls and charging
// plugs are made when the vehicle reports one that does not exist yet, and views are shown and
// hidden by adding them to the "views" collection and taking them out again.
#include <array>
#include <mutex>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/elements.h"
#include "rest_server/orik_rubo_server.h"
#include "rest_server/orik_rubo_server_updates_support.h"

namespace orik::ruboServer {

using ara::core::Optional;
using updates::ApplyGuarded;
using updates::FindByType;
using updates::FindInCollection;
using updates::PropertyWriter;

namespace {

constexpr std::string_view kBcamInformation = "bcamInformationScreen";
constexpr std::string_view kBcamInitialInformation = "bcamInitialInformationScreen";

bool IsBcamContent(std::string_view content) {
  return content == kBcamInformation || content == kBcamInitialInformation;
}

ara::rest::Uri EmptyUri() {
  return ara::rest::Uri::Builder(ara::rest::GetDefaultAllocator()).ToUri();
}

}  // namespace

void ORIKRuboServer::Update_SwitchControls(const Optional<std::string>& type, const Optional<std::string>& switchValue,
                                           const Optional<std::string>& restrictionReason,
                                           const Optional<std::vector<std::string>>& switchValueConfiguration) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  // Charging-plug updates make switch controls too; each type must be made only once.
  std::lock_guard lock(m_mutex);
  const auto collection = server->GetChargingManagementCoreSwitchControls();
  if (!collection) {
    return;
  }
  if (const auto found = FindByType(collection->GetSwitchControlObjects(), type)) {
    SetFields_SwitchControls(found, switchValue, restrictionReason, switchValueConfiguration, true);
    return;
  }
  m_logger.LogInfo() << "[Rubo][Someip -> Rubo] SwitchControl object not found. It shall be created.";
  const auto created = SwitchControlObject::Make("SwitchControlObject", ara::rest::Uuid::MakeV4(), EmptyUri());
  created->SetType(type.value());
  SetFields_SwitchControls(created, switchValue, restrictionReason, switchValueConfiguration, false);
  InitSetup(created);
  LayerPlugflaplockstateCallback(created);
  server->Add(created);
}

void ORIKRuboServer::SetFields_SwitchControls(const std::shared_ptr<SwitchControlObject>& switchControl,
                                              const Optional<std::string>& switchValue,
                                              const Optional<std::string>& restrictionReason,
                                              const Optional<std::vector<std::string>>& switchValueConfiguration,
                                              bool removeAbsent) {
  PropertyWriter writer(*switchControl);
  ApplyGuarded(m_logger, "[Rubo] Domain error exception caught while updating switchControl object: ",
               "[Rubo] Unknown exception caught while updating switchControl object.", [&] {
                 if (switchValue.has_value() || removeAbsent) {
                   writer.Listed(*switchControl, "switchValue", switchValue);
                 }
                 if (restrictionReason.has_value() || removeAbsent) {
                   writer.Listed(*switchControl, "restrictionReason", restrictionReason);
                 }
                 if (switchValueConfiguration.has_value() || removeAbsent) {
                   writer.Through("switchValueConfiguration", switchValueConfiguration,
                                  [&](const std::vector<std::string>& values) {
                                    switchControl->SetSwitchValueConfiguration(updates::ToValueList(values));
                                  });
                 }
               });
}

void ORIKRuboServer::Update_ChargingPlugs(const Optional<std::string>& type,
                                          const Optional<std::string>& plugConnectionState,
                                          const Optional<std::string>& infrastructureState,
                                          const Optional<std::string>& plugType) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  if (const auto found = FindInCollection<ChargingPlugObject>(server->GetChargingManagementCoreChargingPlugs(), type)) {
    SetFields_ChargingPlugs(found, plugConnectionState, infrastructureState, plugType, true);
    return;
  }
  m_logger.LogInfo() << "[Rubo][Someip -> Rubo] ChargingPlug object not found. It shall be created.";
  const auto plug = ChargingPlugObject::Make("ChargingPlugObject", ara::rest::Uuid::MakeV4(), EmptyUri());
  plug->SetType(type.value());
  SetFields_ChargingPlugs(plug, plugConnectionState, infrastructureState, plugType, false);

  // From the lookup of the lock-state controls to the addition of the plug, so that a
  // switch-control update cannot make a second control of the same type meanwhile.
  std::lock_guard lock(m_mutex);
  const auto switchControls = server->GetChargingManagementCoreSwitchControls();
  for (const std::string_view suffix : {std::string_view("FlapLockState"), std::string_view("PlugLockState")}) {
    const std::string lockType = *type + std::string(suffix);
    auto lockState = switchControls
                         ? FindByType(switchControls->GetSwitchControlObjects(), Optional<std::string>(lockType))
                         : std::shared_ptr<SwitchControlObject>();
    if (!lockState) {
      lockState = SwitchControlObject::Make("SwitchControlObject", ara::rest::Uuid::MakeV4(), EmptyUri());
      lockState->SetType(lockType);
      InitSetup(lockState);
      LayerChargingPlugLockStateCallback(lockState);
      server->Add(lockState);
    }
    if (suffix == "FlapLockState") {
      plug->SetFlapLockState(lockState);
    } else {
      plug->SetPlugLockState(lockState);
    }
  }
  server->Add(plug);
}

void ORIKRuboServer::SetFields_ChargingPlugs(const std::shared_ptr<ChargingPlugObject>& chargingPlug,
                                             const Optional<std::string>& plugConnectionState,
                                             const Optional<std::string>& infrastructureState,
                                             const Optional<std::string>& plugType, bool removeAbsent) {
  PropertyWriter writer(*chargingPlug);
  ApplyGuarded(m_logger, "[Rubo] Domain error exception caught while updating chargingPlug object: ",
               "[Rubo] Unknown exception caught while updating chargingPlug object.", [&] {
                 const auto apply = [&](const char* name, const Optional<std::string>& value) {
                   if (value.has_value() || removeAbsent) {
                     writer.Listed(*chargingPlug, name, value);
                   }
                 };
                 apply("plugConnectionState", plugConnectionState);
                 apply("infrastructureState", infrastructureState);
                 apply("plugType", plugType);
               });
}

void ORIKRuboServer::Update_Views(const Optional<std::string>& type, const Optional<std::string>& content,
                                  const Optional<std::string>& visibility) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const std::string& viewType = type.value();
  const bool isBcam = viewType == "bcamScreen";
  if (!isBcam && viewType != "popup" && viewType != "itSystemScreen") {
    return;
  }
  const bool hide =
      !content.has_value() || *content == "nothing" || (visibility.has_value() && *visibility == "noView");
  const auto mapped = [this](std::string_view key) -> std::shared_ptr<ViewObject> {
    const auto entry = m_viewObjects.find(std::string(key));
    return entry != m_viewObjects.end() ? entry->second : nullptr;
  };
  const auto show = [&](const std::shared_ptr<ViewObject>& view) {
    if (view) {
      SetFields_Views(view, *content, visibility, true);
    }
  };

  const auto shown = FindInCollection<ViewObject>(server->GetChargingManagementCoreViews(), type);
  if (!shown) {
    if (hide) {
      return;
    }
    if (isBcam) {
      show(mapped(IsBcamContent(*content) ? std::string_view(*content) : kBcamInitialInformation));
    } else {
      show(mapped(viewType));
    }
    return;
  }
  if (hide) {
    server->Remove(shown);
    return;
  }
  // The two bcam screens are one view type with two elements: switching the content means
  // showing the other element, under its own new address.
  if (isBcam && IsBcamContent(*content)) {
    const std::string current = shown->GetContent();
    if (IsBcamContent(current) && current != *content) {
      server->Remove(shown);
      show(mapped(*content));
      return;
    }
  }
  SetFields_Views(shown, *content, visibility, false);
}

void ORIKRuboServer::SetFields_Views(const std::shared_ptr<ViewObject>& view, const std::string& content,
                                     const Optional<std::string>& visibility, bool add) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  PropertyWriter writer(*view);
  ApplyGuarded(m_logger, "[Rubo][SomeIp -> Rubo] Domain error exception caught while updating View object: ",
               "[Rubo] Unknown exception caught while updating View object.", [&] {
                 view->SetContent(content);
                 writer.Listed(*view, "visibility", visibility);
                 if (add) {
                   const auto uuid = ara::rest::Uuid::MakeV4();
                   view->SetUuid(uuid);
                   view->SetUri(ara::rest::Uri::Builder(std::string(ViewObject::kPathPrefix) + uuid.ToString(),
                                                        ara::rest::GetDefaultAllocator())
                                    .ToUri());
                   server->Add(view);
                   m_logger.LogInfo() << "[Rubo][SomeIp -> Rubo] Added View object";
                 }
               });
}

}  // namespace orik::ruboServer
