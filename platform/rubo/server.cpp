#include "rubo/server.h"

#include "rubo/detail/config.h"
#include "rubo/detail/http_server.h"
#include "rubo/detail/logger.h"
#include "seam/liveness.h"

namespace rubo {

Server::Server(std::string serverName, std::string configPath)
    : ServerXObject(ara::rest::Uuid{}, ara::rest::Uri::Builder("/").ToUri(), serverName),
      serverName_(std::move(serverName)),
      configPath_(std::move(configPath)),
      liveness_(std::make_unique<platform::seam::LivenessRegistration>(platform::seam::LivePart::kRestServer,
                                                                       [this](std::function<void()> answered) {
                                                                         std::lock_guard lock(lifecycleMutex_);
                                                                         if (http_) {
                                                                           http_->PostHeartbeat(std::move(answered));
                                                                         }
                                                                       })) {}

Server::~Server() {
  Stop(true);
}

void Server::Start(bool wait) {
  detail::HttpServer* started = nullptr;
  {
    std::lock_guard lock(lifecycleMutex_);
    if (http_ && !http_->IsStopping()) {
      return;
    }
    if (http_) {
      http_->Stop(true);
      http_.reset();
    }
    std::unique_ptr<detail::HttpServer> http;
    try {
      const std::string path = detail::ConfigPathFor(configPath_);
      auto config = detail::LoadConfig(path);
      http = std::make_unique<detail::HttpServer>(*this, config);
      http->Start();
    } catch (const std::exception& e) {
      liveness_->SetReady(false, std::string("failed to start: ") + e.what());
      throw;
    }
    // Tests and the entry point learn an ephemeral port from this line: its text is fixed.
    detail::FrameworkLogger().LogInfo() << "Serving HTTP on " << http->Address() << " port " << http->Port();
    http_ = std::move(http);
    started = http_.get();
    liveness_->SetReady(true);
  }
  if (wait) {
    started->WaitUntilStopped();
  }
}

void Server::Stop(bool wait) {
  std::lock_guard lock(lifecycleMutex_);
  if (!http_) {
    return;
  }
  liveness_->SetReady(false, "stopped");
  http_->Stop(wait);
  if (wait) {
    http_.reset();
    detail::FrameworkLogger().LogInfo() << "[Rubo] Server " << serverName_ << " stopped";
  }
}

bool Server::IsServing() const {
  std::lock_guard lock(lifecycleMutex_);
  return http_ && !http_->IsStopping();
}

std::uint16_t Server::GetPort() const {
  std::lock_guard lock(lifecycleMutex_);
  return http_ && !http_->IsStopping() ? http_->Port() : 0;
}

std::shared_ptr<BaseXObject> Server::FindByUuidRecursive(const std::string& uuid) const {
  return FindChildByUuid(uuid);
}

std::shared_ptr<BaseXObject> Server::FindByUriRecursive(const std::string& uri) const {
  return FindChildByUri(uri);
}

std::shared_ptr<BaseXObject> Server::FindByNameRecursive(const std::string& name) const {
  return FindChildByName(name);
}

}  // namespace rubo
