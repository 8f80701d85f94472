#include "rest_server/orik_rubo_server.h"

#include <exception>
#include <stdexcept>
#include <utility>

#include "ara/log/logging.h"
#include "ara/rest/allocator.h"

namespace orik::ruboServer {
namespace {

rubo::UriList MakeRegistryUris() {
  rubo::UriList uris;
  uris.push_back(ara::rest::Uri::Builder("http://[::1]/", ara::rest::GetDefaultAllocator()).ToUri());
  return uris;
}

std::shared_ptr<rubo::server::RuboServer> MakeFrameworkRoot(const std::string& serverName,
                                                            const std::string& configPath) {
  auto root = rubo::MakeObject<rubo::server::RuboServer>(serverName, configPath);
  root->InitServices();
  return root;
}

void CallFrameworkRegistry(rubo::ServerService& service, const rubo::UriList* uris) {
  if (uris != nullptr) {
    service.Register(*uris);
  } else {
    service.Deregister();
  }
}

}  // namespace

ORIKRuboServer::ORIKRuboServer(const std::string& serverName, const std::string& configPath)
    : ORIKRuboServer(serverName, configPath, Seams{}) {}

ORIKRuboServer::ORIKRuboServer(const std::string& serverName, const std::string& configPath, Seams seams)
    : m_cmcRegistryFuture(),
      m_factoryResetRegistryFuture(),
      m_registryUris(MakeRegistryUris()),
      m_lockStateValues{"unlocking", "locking"},
      m_startStopChargingValues{"startImmediateCharging", "startImmediateActionTime", "stopCharging",
                                "startChargeModeSelection"},
      m_mutex(),
      m_serverName(),
      m_configPath(),
      m_commMngr(),
      m_viewObjects(),
      m_logger(ara::log::CreateLogger("ORIK", "Charging Management Core rubo")),
      m_registryMutex(),
      m_registryCall(seams.registry ? std::move(seams.registry) : RegistryCall(CallFrameworkRegistry)),
      m_server() {
  m_serverName = serverName;
  m_configPath = configPath;
  const RootFactory makeRoot = seams.makeRoot ? std::move(seams.makeRoot) : RootFactory(MakeFrameworkRoot);
  try {
    auto root = makeRoot(m_serverName, m_configPath);
    m_server = std::move(root);
  } catch (...) {
    m_logger.LogError() << "Failed to start server: Make for Rubo threw exception";
  }
}

ORIKRuboServer::~ORIKRuboServer() {
  // The request hooks reach this object: no request may still run once a member is gone.
  StopServer();
  // A registry task still running uses the root object; it ends before anything is released.
  std::lock_guard lock(m_registryMutex);
  if (m_cmcRegistryFuture.valid()) {
    m_cmcRegistryFuture.wait();
  }
  if (m_factoryResetRegistryFuture.valid()) {
    m_factoryResetRegistryFuture.wait();
  }
}

void ORIKRuboServer::SetCommunicationsManager(std::shared_ptr<orik::commMngr::CommMngrRuboSideInterface> commMngr) {
  m_commMngr.Store(std::move(commMngr));
}

void ORIKRuboServer::StartServer() {
  m_logger.LogInfo() << "Starting the server population...";
  try {
    PopulateServer();
    RegisterPreUpdateCallBacks();
    m_logger.LogInfo() << "Registered preupdate callbacks...";
    AddServerMetaData();
    m_logger.LogInfo() << "Starting Rubo server...";
    m_server->Start(false);
    m_logger.LogInfo() << "Starting SomeIP listeners...";
    SendRequestSomeIpListenerStart();
    m_logger.LogInfo() << "Completed start of SomeIP listeners...";
  } catch (const std::exception& e) {
    m_logger.LogError() << "Failed to start server:" << e.what();
  } catch (...) {
    m_logger.LogError() << "Failed to start server: reason unknown";
  }
}

void ORIKRuboServer::AddServerMetaData() {
  if (!m_server) {
    throw std::logic_error("no Rubo server object");
  }
  const auto cmc = m_server->GetChargingManagementCore();
  const auto factoryReset = m_server->GetFactoryReset();
  if (!cmc || !factoryReset) {
    throw std::logic_error("Rubo services not built");
  }
  cmc->AddVersion("0.10.1");
  factoryReset->AddVersion("1.3.0");

  const auto describe = [](const auto& collection, const char* description) {
    if (!collection) {
      throw std::logic_error("Rubo collection not built");
    }
    collection->SetDescription(description);
  };
  describe(m_server->GetChargingManagementCoreChargingPlugs(),
           "charging plug informs about the position and state of plugs connected to the cars charging socket");
  describe(m_server->GetChargingManagementCoreChargingProcessInformation(),
           "informs the user about the active chargeMode and detailed information about a running charging "
           "process");
  describe(m_server->GetChargingManagementCoreImmediateActions(),
           "immediateActions stop a running charging process or can start a chargingprocess with a defined "
           "charging end criteria. The charging end criteria is only valid once");
  describe(m_server->GetChargingManagementCoreImmediateChargingOptions(),
           "immediateChargingOptions let the user control options for immediate charging processes");
  describe(m_server->GetChargingManagementCoreNotificationMarkers(),
           "notificationMarkers inform when a defined charging criteria is reached. It is only one charging "
           "criteria, notificationSocValue, notificationRangeValue, notificationTimeValue, per element allowed");
  describe(m_server->GetChargingManagementCoreNotifications(), "This are the charging notifications");
  describe(m_server->GetChargingManagementCoreOruUpdateApprovals(),
           "indicates the approval status for online remote updates");
  describe(m_server->GetChargingManagementCorePastErrorInformation(), "past errors of a charging process");
  describe(m_server->GetChargingManagementCoreSwitchControls(),
           "This resource contains the mode of a function that can accept one out of many values.");
  describe(m_server->GetChargingManagementCoreValueControls(),
           "This resource describes the control elements of functions that can accept a value and/or may have a "
           "special state.");
  describe(m_server->GetChargingManagementCoreValueIndications(),
           "This resource describes the control elements of functions that can report a value and may also accept "
           "special states.");
  describe(m_server->GetChargingManagementCoreViews(), "informs about views for charging");

  m_logger.LogInfo() << "Removing rubo server service ResetToFactoryData...";
  const auto resetToFactoryData = m_server->GetChargingManagementCoreResetToFactoryData();
  if (!resetToFactoryData) {
    throw std::logic_error("Rubo collection not built");
  }
  cmc->Remove(resetToFactoryData->GetUuid());
}

void ORIKRuboServer::SendRequestSomeIpListenerStart() {
  const auto commMngr = m_commMngr.Load();
  if (!commMngr) {
    throw std::logic_error("no communications manager");
  }
  commMngr->TellSomeIpToStartListener();
}

void ORIKRuboServer::StopServer() {
  if (m_server) {
    m_server->Stop(true);
  }
}

}  // namespace orik::ruboServer
