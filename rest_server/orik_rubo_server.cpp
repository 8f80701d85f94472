#include "rest_server/orik_rubo_server.h"

#include <exception>
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
  auto root = ara::rest::MakeSharedPointer<rubo::server::RuboServer>(serverName, configPath);
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
      m_server(),
      m_commMngr(),
      m_viewObjects(),
      m_logger(ara::log::CreateLogger("ORIK", "Charging Management Core rubo")),
      m_registryMutex(),
      m_registryCall(seams.registry ? std::move(seams.registry) : RegistryCall(CallFrameworkRegistry)) {
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

void ORIKRuboServer::StopServer() {
  if (m_server) {
    m_server->Stop(true);
  }
}

}  // namespace orik::ruboServer
