#include "ara/com/transport/network_transport.h"

#include <future>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <boost/asio.hpp>

#include "ara/com/internal/trace.h"
#include "ara/com/transport/consumer_side.h"
#include "ara/com/transport/provider_side.h"
#include "ara/com/transport/sd_sockets.h"
#include "ara/com/transport/service_discovery.h"
#include "ara/com/transport/someip_codec.h"
#include "ara/log/logging.h"

namespace ara::com::transport {

namespace {

namespace asio = boost::asio;
using asio::ip::udp;
namespace sip = someip;

sd::SdOptions DiscoveryOptions(const NetworkOptions& options) {
  boost::system::error_code ec;
  sd::SdOptions sd;
  sd.unicast = asio::ip::make_address_v4(options.config.unicast, ec);
  sd.sdPort = options.config.sdPort;
  sd.timings = options.config.timings;
  sd.ttlUnit = options.ttlUnit;
  sd.randomStart = std::random_device{}();
  return sd;
}

// What callers on other threads and the I/O thread share, under the mutex.
struct SharedState {
  std::mutex mutex;
  bool started = false;
  bool running = false;
  bool stopped = false;
  std::set<sd::InstanceKey> available;
  std::set<sd::InstanceKey> offeredHere;
  std::map<std::uint16_t, std::shared_ptr<const ServiceDeployment>> described;
  // Set once the sockets are open; offers made before then wait for it.
  bool addressReady = false;
};

// The shell: owns the SD sockets and the one I/O thread, feeds service discovery with what
// arrives and with the time, and carries out what it answers through the two sides.
class Engine final : public std::enable_shared_from_this<Engine>, public SideContext, public sd::SdHost {
 public:
  explicit Engine(NetworkOptions options)
      : options_(std::move(options)),
        work_(asio::make_work_guard(io_)),
        unicast_(DiscoveryOptions(options_).unicast),
        sd_(io_),
        timer_(io_),
        addressWait_(io_, options_.addressRetry),
        discovery_(*this, DiscoveryOptions(options_)),
        consumer_(*this),
        provider_(*this) {}

  std::uint16_t ClientId() const noexcept { return options_.config.EffectiveClientId(); }

  void Start(TransportHandlers handlers) {
    {
      std::lock_guard lock(shared_.mutex);
      if (shared_.started || shared_.stopped) {
        throw std::logic_error("Transport already started");
      }
      shared_.started = true;
    }
    handlers_ = std::move(handlers);
    if (OpenSockets()) {  // throws before anything runs
      StartReceiving();
    } else {
      internal::Trace().LogWarn() << "ara::com network transport: no network interface has the unicast address "
                                  << options_.config.unicast << " yet; waiting for it";
      addressWait_.Start([this] { return OpenSockets(); }, [this] { CloseSockets(); },
                         [this](auto offers, auto finds) { OnAddressReady(offers, finds); });
    }
    std::lock_guard lock(shared_.mutex);
    thread_ = std::thread([self = shared_from_this()] { self->RunLoop(); });
    shared_.running = true;
  }

  void Stop() {
    {
      std::lock_guard lock(shared_.mutex);
      if (shared_.stopped) {
        return;
      }
      shared_.stopped = true;
      if (!shared_.running) {
        return;
      }
    }
    if (thread_.get_id() == std::this_thread::get_id()) {
      Shutdown();
      io_.stop();
      thread_.detach();  // stopping from inside a handler: the loop ends after it
      return;
    }
    std::promise<void> done;
    asio::post(io_, [this, &done] {
      Shutdown();
      done.set_value();
    });
    done.get_future().wait();
    io_.stop();
    thread_.join();
  }

  void Describe(const ServiceDeployment& deployment) {
    std::lock_guard lock(shared_.mutex);
    shared_.described[deployment.serviceId] = std::make_shared<const ServiceDeployment>(deployment);
  }

  std::vector<std::uint16_t> FindService(std::uint16_t serviceId) {
    std::vector<std::uint16_t> instances;
    {
      std::lock_guard lock(shared_.mutex);
      for (const auto& key : shared_.available) {
        if (key.first == serviceId) {
          instances.push_back(key.second);
        }
      }
    }
    Post([this, serviceId] {
      if (!AddressReady()) {
        addressWait_.HoldFind(serviceId);  // searched for once the address is there
        return;
      }
      discovery_.StartFind(serviceId, sd::Clock::now());
      Reschedule();
    });
    return instances;
  }

  void StopFindService(std::uint16_t serviceId) {
    Post([this, serviceId] {
      addressWait_.DropFind(serviceId);
      discovery_.StopFind(serviceId);
    });
  }

  void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId, bool subscribe) {
    Post([this, serviceId, instanceId, eventgroupId, subscribe] {
      sd::SdActions actions;
      if (subscribe) {
        discovery_.Subscribe({serviceId, instanceId}, eventgroupId, actions);
      } else {
        discovery_.Unsubscribe({serviceId, instanceId}, eventgroupId, actions);
      }
      Run(std::move(actions));
    });
  }

  void OfferService(std::uint16_t serviceId, std::uint16_t instanceId) {
    {
      std::lock_guard lock(shared_.mutex);
      if (shared_.available.contains({serviceId, instanceId})) {
        throw std::logic_error("Service instance is already offered by another provider");
      }
      if (!shared_.offeredHere.insert({serviceId, instanceId}).second) {
        return;
      }
      if (!shared_.addressReady) {
        // The ports open once the address is there; the I/O thread, where it turns ready, looks
        // again.
        Post([this, serviceId, instanceId] {
          if (AddressReady()) {
            OpenHeldOffer({serviceId, instanceId});
          } else {
            addressWait_.HoldOffer({serviceId, instanceId});
          }
        });
        return;
      }
    }
    std::shared_ptr<ProviderSide::LocalOffer> offer;
    try {
      offer = provider_.Open(serviceId, instanceId, NetworkOf(serviceId));
    } catch (...) {
      std::lock_guard lock(shared_.mutex);
      shared_.offeredHere.erase({serviceId, instanceId});
      throw;
    }
    Post([this, offer] {
      provider_.Start(offer);
      Reschedule();
    });
  }

  void StopOfferService(std::uint16_t serviceId, std::uint16_t instanceId) {
    {
      std::lock_guard lock(shared_.mutex);
      shared_.offeredHere.erase({serviceId, instanceId});
    }
    Post([this, serviceId, instanceId] {
      addressWait_.DropOffer({serviceId, instanceId});
      provider_.Withdraw({serviceId, instanceId}, true);
    });
  }

  void Notify(Message message, std::uint16_t eventgroupId) {
    Post([this, message = std::move(message), eventgroupId] { provider_.Notify(message, eventgroupId); });
  }

  void NotifySubscriber(Message message, std::uint16_t eventgroupId, std::uint16_t subscriberId) {
    Post([this, message = std::move(message), eventgroupId, subscriberId] {
      provider_.NotifySubscriber(message, eventgroupId, subscriberId);
    });
  }

  void Send(Message message) {
    if (message.type == MessageType::kRequest) {
      message.clientId = ClientId();
      Post([this, message = std::move(message)]() mutable {
        consumer_.Send(std::move(message));
        Reschedule();
      });
    } else {
      Post([this, message = std::move(message)]() mutable { provider_.Reply(std::move(message)); });
    }
  }

  void PostHeartbeat(std::function<void()> answered) { Post(std::move(answered)); }

  // ---- SideContext ----
  asio::io_context& Io() override { return io_; }
  const NetworkConfig& Config() const override { return options_.config; }
  const asio::ip::address_v4& Unicast() const override { return unicast_; }
  std::shared_ptr<const ServiceDeployment> Described(std::uint16_t serviceId) const override {
    std::lock_guard lock(shared_.mutex);
    auto it = shared_.described.find(serviceId);
    return it == shared_.described.end() ? nullptr : it->second;
  }
  ServiceNetwork NetworkOf(std::uint16_t serviceId) const override {
    auto described = Described(serviceId);
    return described ? options_.config.For(described->interfaceName) : ServiceNetwork{};
  }
  sd::ServiceDiscovery& Discovery() override { return discovery_; }

  void Run(sd::SdActions actions) override {
    for (auto& action : actions) {
      if (auto* send = std::get_if<sd::SdSend>(&action)) {
        if (!sd_.unicast.socket.is_open()) {
          continue;  // nothing is sent before the address is there
        }
        boost::system::error_code ec;
        sd_.unicast.socket.send_to(asio::buffer(send->bytes), send->to ? *send->to : Group(), 0, ec);
        if (ec) {
          internal::Trace().LogWarn() << "SD message not sent: " << ec.message();
        }
      } else {
        OnEvent(std::get<sd::SdEvent>(action));
      }
    }
    Reschedule();
  }

  void Deliver(Message message) override {
    if (!handlers_.onMessage) {
      return;
    }
    try {
      handlers_.onMessage(std::move(message));
    } catch (...) {
      // The receiving thread must survive whatever its handlers throw.
    }
  }

  // ---- SdHost ----
  std::optional<ServiceNetwork> UsedNetwork(std::uint16_t serviceId) const override {
    auto described = Described(serviceId);
    if (!described) {
      return std::nullopt;
    }
    return options_.config.For(described->interfaceName);
  }
  bool EventgroupKnown(std::uint16_t serviceId, std::uint16_t group) const override {
    auto described = Described(serviceId);
    if (!described) {
      return true;
    }
    return std::any_of(described->events.begin(), described->events.end(),
                       [&](const EventDeployment& e) { return e.eventgroupId == group; });
  }
  std::optional<sip::EndpointOption> EventEndpoint(const sd::InstanceKey& instance, const sd::RemoteOffer& offer,
                                                   const std::vector<std::uint16_t>& groups, bool subscribe) override {
    return consumer_.EventEndpoint(instance, offer, groups, subscribe);
  }

 private:
  // Handlers capture `this` only: they run on the I/O thread, which keeps the engine alive, and a
  // handler left in the queue at the end must not keep it alive in turn.
  template <typename F>
  void Post(F&& f) {
    asio::post(io_, [this, f = std::forward<F>(f)]() mutable {
      if (!shutdown_) {
        f();
      }
    });
  }

  // No input and no answer to one may end the I/O thread: what a handler lets escape is traced
  // and the loop goes on.
  void RunLoop() {
    for (;;) {
      try {
        io_.run();
        return;
      } catch (const std::exception& e) {
        internal::Trace().LogError() << "SOME/IP transport: error on the I/O thread, going on: " << e.what();
      } catch (...) {
        internal::Trace().LogError() << "SOME/IP transport: error on the I/O thread, going on";
      }
    }
  }

  udp::endpoint Group() const {
    boost::system::error_code ec;
    return {asio::ip::make_address_v4(options_.config.sdMulticast, ec), options_.config.sdPort};
  }

  // Opens the SD and client sockets; false, opening nothing, while no interface has the unicast
  // address. Throws for any other failure.
  bool OpenSockets() {
    if (!sd_.Open(options_, unicast_, Group())) {
      return false;
    }
    consumer_.Open();
    return true;
  }

  bool AddressReady() const {
    std::lock_guard lock(shared_.mutex);
    return shared_.addressReady;
  }

  void StartReceiving() {
    {
      std::lock_guard lock(shared_.mutex);
      shared_.addressReady = true;
    }
    ReceiveSd(sd_.unicast, false);
    ReceiveSd(sd_.multicast, true);
    consumer_.StartReceiving();
  }

  void CloseSockets() {
    sd_.Close();
    consumer_.Close();
  }

  // The unicast address is there now: goes on as Start would have, with the offers held back
  // and a fresh search for every watched service.
  void OnAddressReady(const std::set<sd::InstanceKey>& offers, const std::set<std::uint16_t>& finds) {
    internal::Trace().LogInfo() << "ara::com network transport: the unicast address " << options_.config.unicast
                                << " is there now";
    StartReceiving();
    for (const auto& instance : offers) {
      OpenHeldOffer(instance);
    }
    for (const auto serviceId : finds) {
      discovery_.StartFind(serviceId, sd::Clock::now());
    }
    Reschedule();
  }

  // On the I/O thread: no caller is left to throw to.
  void OpenHeldOffer(const sd::InstanceKey& instance) {
    std::shared_ptr<ProviderSide::LocalOffer> offer;
    try {
      offer = provider_.Open(instance.first, instance.second, NetworkOf(instance.first));
    } catch (const std::exception& e) {
      internal::Trace().LogError() << e.what();
      std::lock_guard lock(shared_.mutex);
      shared_.offeredHere.erase(instance);
      return;
    }
    provider_.Start(offer);
    Reschedule();
  }

  // Runs on the I/O thread: withdraws what this side announced and closes every socket.
  void Shutdown() {
    if (options_.withdrawOnStop) {
      provider_.WithdrawAll(true);
      sd::SdActions actions;
      discovery_.WithdrawAll(actions);
      Run(std::move(actions));
    }
    shutdown_ = true;
    provider_.WithdrawAll(false);
    timer_.cancel();
    addressWait_.Cancel();
    CloseSockets();
  }

  // One timer for everything timed: discovery's phases and expiry, and the calls' deadlines.
  void Reschedule() {
    if (shutdown_) {
      return;
    }
    const auto due = std::min(discovery_.NextDue(), consumer_.NextDeadline());
    if (due == scheduled_) {
      return;
    }
    scheduled_ = due;
    if (due == sd::TimePoint::max()) {
      timer_.cancel();
      return;
    }
    timer_.expires_at(due);
    timer_.async_wait([this](const boost::system::error_code& error) {
      if (error || shutdown_) {
        return;
      }
      scheduled_ = sd::TimePoint::max();
      const auto now = sd::Clock::now();
      sd::SdActions actions;
      discovery_.Tick(now, actions);
      consumer_.ExpireRequests(now);
      Run(std::move(actions));
    });
  }

  void ReceiveSd(SdSocket& sd, bool multicast) {
    sd.socket.async_receive_from(asio::buffer(sd.buffer), sd.sender,
                                 [this, &sd, multicast](const boost::system::error_code& error, std::size_t size) {
                                   if (shutdown_ || error == asio::error::operation_aborted) {
                                     return;
                                   }
                                   if (!error) {
                                     OnSdDatagram({sd.buffer.data(), size}, sd.sender, multicast);
                                   }
                                   ReceiveSd(sd, multicast);
                                 });
  }

  // Whatever goes wrong with one datagram costs that datagram and nothing more.
  void OnSdDatagram(std::span<const std::uint8_t> datagram, const udp::endpoint& from, bool multicast) {
    DropOnError(dropWarning_, "SD datagram", [&] {
      sip::HeaderError headerError;
      for (const auto& view : sip::SplitDatagram(datagram, headerError)) {
        if (view.header.serviceId != sip::kSdServiceId || view.header.methodId != sip::kSdMethodId) {
          internal::Trace().LogDebug() << "Non-SD message on the SD port dropped";
          continue;
        }
        std::string why;
        auto message = sip::DecodeSd(view.payload, &why);
        if (!message) {
          internal::Trace().LogDebug() << "Malformed SD message from " << from.address().to_string()
                                       << " dropped: " << why;
          continue;
        }
        sd::SdActions actions;
        discovery_.OnMessage(*message, view.header.sessionId, from, multicast, sd::Clock::now(), actions);
        Run(std::move(actions));
      }
      if (headerError != sip::HeaderError::kNone) {
        internal::Trace().LogDebug() << "Malformed SOME/IP from " << from.address().to_string() << ":" << from.port()
                                     << " dropped: " << sip::Describe(headerError);
      }
    });
  }

  void OnEvent(const sd::SdEvent& event) {
    using Kind = sd::SdEvent::Kind;
    switch (event.kind) {
      case Kind::kOffered:
        SetAvailable(event.instance, true);
        break;
      case Kind::kGone:
        SetAvailable(event.instance, false);
        break;
      case Kind::kEndpointsMoved:
        consumer_.CloseUnusedConnections();
        break;
      case Kind::kSubscribed:
        // After the Ack: the provider, which holds the fields' values, sends the new subscriber
        // the current value of each field of the group through NotifySubscriber.
        NotifySubscription(event, true);
        break;
      case Kind::kUnsubscribed:
        NotifySubscription(event, false);
        break;
    }
  }

  void SetAvailable(const sd::InstanceKey& key, bool available) {
    {
      std::lock_guard lock(shared_.mutex);
      if (available) {
        shared_.available.insert(key);
      } else {
        shared_.available.erase(key);
      }
    }
    if (!available) {
      consumer_.InstanceGone(key);
    }
    if (handlers_.onAvailability) {
      try {
        handlers_.onAvailability(key.first, key.second, available);
      } catch (...) {
        // The receiving thread must survive whatever its handlers throw.
      }
    }
    if (!available) {
      consumer_.CloseUnusedConnections();
    }
  }

  void NotifySubscription(const sd::SdEvent& event, bool subscribed) {
    if (handlers_.onSubscription) {
      try {
        handlers_.onSubscription(event.instance.first, event.instance.second, event.eventgroupId, event.subscriber.id,
                                 subscribed);
      } catch (...) {
        // The receiving thread must survive whatever its handlers throw.
      }
    }
  }

  const NetworkOptions options_;
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  const asio::ip::address_v4 unicast_;
  SdSockets sd_;
  asio::steady_timer timer_;
  AddressWait addressWait_;
  sd::TimePoint scheduled_ = sd::TimePoint::max();
  Throttle dropWarning_;
  std::thread thread_;
  TransportHandlers handlers_;
  mutable SharedState shared_;
  bool shutdown_ = false;  // I/O thread only, as are the three parts below
  sd::ServiceDiscovery discovery_;
  ConsumerSide consumer_;
  ProviderSide provider_;
};

class NetworkTransport final : public Transport {
 public:
  explicit NetworkTransport(NetworkOptions options) : engine_(std::make_shared<Engine>(std::move(options))) {}
  ~NetworkTransport() override { engine_->Stop(); }

  void Start(TransportHandlers handlers) override { engine_->Start(std::move(handlers)); }
  void Stop() override { engine_->Stop(); }
  std::uint16_t ClientId() const override { return engine_->ClientId(); }
  void Describe(const ServiceDeployment& deployment) override { engine_->Describe(deployment); }
  std::vector<std::uint16_t> FindService(std::uint16_t serviceId) override { return engine_->FindService(serviceId); }
  void StopFindService(std::uint16_t serviceId) override { engine_->StopFindService(serviceId); }
  void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    engine_->Subscribe(serviceId, instanceId, eventgroupId, true);
  }
  void Unsubscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    engine_->Subscribe(serviceId, instanceId, eventgroupId, false);
  }
  void OfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    engine_->OfferService(serviceId, instanceId);
  }
  void StopOfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    engine_->StopOfferService(serviceId, instanceId);
  }
  void Notify(Message message, std::uint16_t eventgroupId) override {
    engine_->Notify(std::move(message), eventgroupId);
  }
  void NotifySubscriber(Message message, std::uint16_t eventgroupId, std::uint16_t subscriberId) override {
    engine_->NotifySubscriber(std::move(message), eventgroupId, subscriberId);
  }
  void Send(Message message) override { engine_->Send(std::move(message)); }
  void PostHeartbeat(std::function<void()> answered) override { engine_->PostHeartbeat(std::move(answered)); }

 private:
  std::shared_ptr<Engine> engine_;
};

}  // namespace

std::unique_ptr<Transport> CreateNetworkTransport(NetworkOptions options) {
  return std::make_unique<NetworkTransport>(std::move(options));
}

}  // namespace ara::com::transport
