#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "ara/com/transport/transport.h"

namespace platform::seam {
class LivenessRegistration;
}

namespace ara::com {

namespace internal {
class RuntimeCore;
}

struct RuntimeOptions {
  // Worker threads that run receive handlers and find-service handlers.
  std::size_t threads = 4;
  // Traces every message sent and received at Debug in the middleware's context.
  bool traceMessages = false;
  // Deployment override file; empty: the file named by ORIK_COM_DEPLOYMENT, if any.
  std::string deploymentPath;
  // The transport; empty: an endpoint on the default in-process bus, unless `network` is set.
  std::function<std::unique_ptr<transport::Transport>()> makeTransport;
  // Without makeTransport: SOME/IP on the network as the deployment file configures it.
  bool network = false;
};

// The binding's runtime: owns the thread pool, the per-field serial queues, discovery and the
// transport. One exists at a time; proxies and find service need it. Destroy it after every
// proxy and find-service handle is gone: its destructor stops its threads. While it exists the
// process counts as ready and alive for systemd only while its transport's I/O thread answers
// (seam/liveness.h).
class RuntimeComponent {
 public:
  // As the application creates it: (false, "") gives the defaults, SOME/IP on the network (or the
  // transport of SetApplicationTransport). Throws std::runtime_error naming the file,
  // the key and the problem when the deployment file is invalid, or the address when the network
  // cannot be reached.
  RuntimeComponent(bool traceMessages, std::string deploymentPath);
  explicit RuntimeComponent(RuntimeOptions options);
  ~RuntimeComponent();
  RuntimeComponent(const RuntimeComponent&) = delete;
  RuntimeComponent& operator=(const RuntimeComponent&) = delete;

 private:
  std::shared_ptr<internal::RuntimeCore> core_;
  std::unique_ptr<platform::seam::LivenessRegistration> liveness_;
};

// Test seam: the transport of every runtime created as the application creates it (the test
// variant of the executable puts the gateway on the in-process bus with it). Empty: SOME/IP on
// the network.
void SetApplicationTransport(std::function<std::unique_ptr<transport::Transport>()> makeTransport);

}  // namespace ara::com
