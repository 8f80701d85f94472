#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "rubo/container.h"
#include "rubo/server_service.h"
#include "rubo/server_xobject.h"

namespace platform::seam {
class LivenessRegistration;
}

namespace rubo {

namespace detail {
class HttpServer;
}

// Environment variable that names a configuration file to use instead of the path given to
// the Server (tests use it for an ephemeral port).
inline constexpr const char* kConfigEnvironmentVariable = "RUBO_SERVER_CONFIG";
// Used when the configuration file does not exist.
inline constexpr const char* kDefaultAddress = "::1";
inline constexpr std::uint16_t kDefaultPort = 8080;

// The root of a REST tree and its HTTP/1.1 transport.
//
// Configuration file (JSON object, every key optional):
//   {"address": "::1", "port": 8080}
// "address" is an IPv4 or IPv6 literal, "port" 0..65535 (0: any free port; the bound port is
// logged as "Serving HTTP on <address> port <port>" and returned by GetPort). Integer keys
// change the transport's limits, whose defaults are the constants in rubo/detail/config.h:
// "idleTimeoutMs", "headerTimeoutMs", "bodyTimeoutMs", "writeTimeoutMs", "lingerTimeoutMs", "stopGraceMs",
// "workerIdleTimeoutMs", "maxConnections", "maxConnectionsPerPeer", "maxHeaderBytes",
// "maxHeaderFields", "maxBodyBytes", "maxChunkLineBytes", "maxLingerBytes", "retryAfterSeconds", "ioThreads",
// "maxWorkerThreads", "maxQueuedUpdates". A missing file means the defaults; a file that exists but cannot be
// read, holds an unknown key or a value out of range makes Start throw std::runtime_error.
//
// Served over HTTP/1.1: GET (and HEAD) of "/" (the services), of a service, a collection
// (with its elements) or an element, GET with the query "?spec" (the object's specification),
// POST on an element with a pre-update hook, with a JSON body (Content-Type application/json
// or a "+json" type; any other, or none, gets 415 with Accept-Post). Targets in origin or
// absolute form ("http://host:port/path"; its authority must be well-formed, as Host). POSTs
// on one element run one after another from the start of the hook to the end of the
// application of the body; reads and other elements are not held up meanwhile.
class Server : public ServerXObject, public Container<ServerService> {
 public:
  Server(std::string serverName, std::string configPath);
  ~Server() override;

  int GetXObjectType() const override { return kXObjectTypeServer; }

  // Add(service) comes from the container: a service held already is not added again.

  // Starts serving. With wait false it returns once the port is bound; with true it returns
  // only after Stop. Throws for an invalid configuration or an address that cannot be bound.
  // A server that serves already is left as it is. The process counts as ready and alive for
  // systemd only while a server serves and its I/O threads answer (seam/liveness.h); a start
  // that fails is named there as the cause.
  void Start(bool wait);
  // Stops accepting, lets requests in progress end (bounded), closes every connection. With
  // wait true it also joins the server's threads before it returns.
  void Stop(bool wait);
  bool IsServing() const;
  // The bound port while serving, else 0.
  std::uint16_t GetPort() const;

  const std::string& GetServerName() const noexcept { return serverName_; }
  const std::string& GetConfigPath() const noexcept { return configPath_; }

  using Container<ServerService>::FindByUuidRecursive;
  using Container<ServerService>::FindByUriRecursive;
  std::shared_ptr<BaseXObject> FindByUuidRecursive(const std::string& uuid) const override;
  std::shared_ptr<BaseXObject> FindByUriRecursive(const std::string& uri) const override;
  std::shared_ptr<BaseXObject> FindByNameRecursive(const std::string& name) const override;

 private:
  std::string serverName_;
  std::string configPath_;
  mutable std::mutex lifecycleMutex_;
  std::unique_ptr<detail::HttpServer> http_;
  // Last: withdrawn before anything its heartbeat function uses goes.
  std::unique_ptr<platform::seam::LivenessRegistration> liveness_;
};

}  // namespace rubo
