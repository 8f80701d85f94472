#include <exception>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <utility>

#include "rest_server/orik_rubo_server.h"

namespace orik::ruboServer {
namespace {

// One registry call on one service, on a thread of its own. Nothing reads the future, so a
// failure is logged here rather than left in it.
std::future<void> StartRegistryTask(std::shared_ptr<rubo::server::RuboServer> root, bool factoryReset,
                                    std::optional<rubo::UriList> uris, ORIKRuboServer::RegistryCall call,
                                    ara::log::Logger& logger) {
  return std::async(std::launch::async, [root = std::move(root), factoryReset, uris = std::move(uris),
                                         call = std::move(call), &logger]() {
    try {
      std::shared_ptr<rubo::ServerService> service;
      if (factoryReset) {
        service = root->GetFactoryReset();
      } else {
        service = root->GetChargingManagementCore();
      }
      if (!service) {
        throw std::logic_error("service not built");
      }
      call(*service, uris ? &*uris : nullptr);
    } catch (const std::exception& e) {
      logger.LogInfo() << "[Rubo] Registry task of " << (factoryReset ? "FactoryReset" : "ChargingManagementCore")
                       << " failed: " << e.what();
    } catch (...) {
      logger.LogInfo() << "[Rubo] Registry task of " << (factoryReset ? "FactoryReset" : "ChargingManagementCore")
                       << " failed: reason unknown";
    }
  });
}

// Lets the service's previous task end before the next one starts, so a Register and a
// Deregister of one service never reach the registry inverted.
void AwaitPrevious(std::future<void>& slot) {
  if (slot.valid()) {
    slot.wait();
  }
}

}  // namespace

void ORIKRuboServer::Update_Registry(bool available) {
  const auto root = m_server;
  if (!root) {
    return;
  }
  std::lock_guard lock(m_registryMutex);
  try {
    // Each task gets its own copy of the address list; a deregistration needs none.
    const auto uris = [&] { return available ? std::optional<rubo::UriList>(m_registryUris) : std::nullopt; };
    AwaitPrevious(m_cmcRegistryFuture);
    m_cmcRegistryFuture = StartRegistryTask(root, false, uris(), m_registryCall, m_logger);
    AwaitPrevious(m_factoryResetRegistryFuture);
    m_factoryResetRegistryFuture = StartRegistryTask(root, true, uris(), m_registryCall, m_logger);
    if (available) {
      m_logger.LogInfo() << "[Rubo] Will Register services";
    } else {
      m_logger.LogInfo() << "[Rubo] Will Unregister services";
    }
  } catch (...) {
    if (available) {
      m_logger.LogInfo() << "[Rubo] Exception caught while registering services to the rubo registry.";
    } else {
      m_logger.LogInfo() << "[Rubo] Exception caught while unregistering services to the rubo registry.";
    }
  }
}

}  // namespace orik::ruboServer
