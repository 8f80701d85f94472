#pragma once

#include <cstdint>
#include <memory>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address_v4.hpp>

#include "ara/com/deployment.h"
#include "ara/com/transport/message.h"
#include "ara/com/transport/service_discovery.h"

namespace ara::com::transport {

// What the consumer and the provider side of the network transport share with the shell that
// owns the sockets and runs the I/O thread. Everything here is called on the I/O thread, except
// Described and NetworkOf, which any thread may call.
class SideContext {
 public:
  virtual ~SideContext() = default;
  virtual boost::asio::io_context& Io() = 0;
  virtual const NetworkConfig& Config() const = 0;
  virtual const boost::asio::ip::address_v4& Unicast() const = 0;
  virtual std::shared_ptr<const ServiceDeployment> Described(std::uint16_t serviceId) const = 0;
  // The configured network side of the service (defaults when it was never described).
  virtual ServiceNetwork NetworkOf(std::uint16_t serviceId) const = 0;
  virtual sd::ServiceDiscovery& Discovery() = 0;
  // Sends and reports what service discovery answered.
  virtual void Run(sd::SdActions actions) = 0;
  // Hands a message to the layer above; whatever it throws stays here.
  virtual void Deliver(Message message) = 0;
};

}  // namespace ara::com::transport
