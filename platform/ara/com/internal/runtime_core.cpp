#include "ara/com/internal/runtime_core.h"

#include <charconv>
#include <stdexcept>
#include <utility>

#include "ara/com/exceptions.h"
#include "ara/com/internal/trace.h"
#include "ara/log/logging.h"

namespace ara::com::internal {

namespace {

std::mutex currentMutex;
std::weak_ptr<RuntimeCore> current;

std::optional<std::uint16_t> ParseInstance(const InstanceIdentifier& instance) {
  const std::string_view text = instance.ToString();
  if (text == "*") {
    return std::nullopt;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > 0xFFFE) {
    throw std::invalid_argument("Instance identifier \"" + std::string(text) +
                                "\" is neither \"*\" nor an instance id from 0 to 65534");
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace

// ---- Search ----

Search::Search(std::shared_ptr<RuntimeCore> core, std::uint16_t serviceId, std::optional<std::uint16_t> instanceFilter,
               Handler handler)
    : core_(std::move(core)),
      serviceId_(serviceId),
      filter_(instanceFilter),
      handler_(std::move(handler)),
      strand_(core_->MakeStrand()) {}

Search::~Search() {
  Stop();
}

void Search::Deliver(InstanceList list) {
  strand_->Post([weak = weak_from_this(), list = std::move(list)]() mutable {
    auto self = weak.lock();
    if (!self) {
      return;
    }
    {
      std::lock_guard lock(self->mutex_);
      if (self->stopped_) {
        return;
      }
      self->running_ = true;
      self->runner_ = std::this_thread::get_id();
    }
    try {
      self->handler_(std::move(list));
    } catch (const std::exception& e) {
      Trace().LogError() << "Exception in find-service handler: " << e.what();
    } catch (...) {
      Trace().LogError() << "Unknown exception in find-service handler";
    }
    {
      std::lock_guard lock(self->mutex_);
      self->running_ = false;
      self->runner_ = std::thread::id{};
    }
    self->idle_.notify_all();
  });
}

void Search::Stop() {
  {
    std::lock_guard lock(mutex_);
    if (stopped_) {
      return;
    }
    stopped_ = true;
  }
  core_->RemoveSearch(this);
  std::unique_lock lock(mutex_);
  if (running_ && runner_ == std::this_thread::get_id()) {
    return;
  }
  idle_.wait(lock, [&] { return !running_; });
}

// ---- RuntimeCore ----

RuntimeCore::RuntimeCore(RuntimeSettings settings)
    : traceMessages_(settings.traceMessages),
      deployment_(std::move(settings.deployment)),
      pool_(settings.threads),
      transport_(std::move(settings.transport)) {}

RuntimeCore::~RuntimeCore() {
  Shutdown();
}

std::shared_ptr<RuntimeCore> RuntimeCore::Current() {
  std::lock_guard lock(currentMutex);
  auto core = current.lock();
  if (!core) {
    throw std::logic_error("The ara::com runtime has not been created");
  }
  return core;
}

void RuntimeCore::SetCurrent(std::shared_ptr<RuntimeCore> core) {
  std::lock_guard lock(currentMutex);
  if (core && current.lock()) {
    throw std::logic_error("An ara::com runtime exists already");
  }
  current = core;
}

void RuntimeCore::Start() {
  transport::TransportHandlers handlers;
  handlers.onMessage = [this](transport::Message message) { OnMessage(std::move(message)); };
  handlers.onAvailability = [this](std::uint16_t service, std::uint16_t instance, bool offered) {
    OnAvailability(service, instance, offered);
  };
  transport_->Start(std::move(handlers));
  std::lock_guard lock(mutex_);
  started_ = true;
}

void RuntimeCore::Shutdown() {
  {
    std::lock_guard lock(mutex_);
    if (shutdown_) {
      return;
    }
    shutdown_ = true;
  }
  // After Stop no transport handler runs, so the state below changes only through callers.
  transport_->Stop();
  pool_.Stop();
  std::map<std::uint16_t, PendingCall> pending;
  {
    std::lock_guard lock(mutex_);
    pending.swap(pending_);
    for (auto& [id, service] : services_) {
      service.offered.clear();
    }
  }
  for (auto& [session, call] : pending) {
    call.callback(nullptr);
  }
}

ServiceDeployment RuntimeCore::Resolve(const ServiceDeployment& defaults,
                                       ServiceInterfaceDescription description) const {
  return deployment_.Apply(defaults, description);
}

std::shared_ptr<Strand> RuntimeCore::MakeStrand() const {
  return std::make_shared<Strand>(pool_);
}

bool RuntimeCore::IsOffered(std::uint16_t serviceId, std::uint16_t instanceId) const {
  std::lock_guard lock(mutex_);
  auto it = services_.find(serviceId);
  return it != services_.end() && it->second.offered.contains(instanceId);
}

std::shared_ptr<const ServiceInstanceInfo> RuntimeCore::MakeInfoLocked(const ServiceState& state,
                                                                       std::uint16_t serviceId,
                                                                       std::uint16_t instanceId) const {
  return std::make_shared<const ServiceInstanceInfo>(
      ServiceInstanceInfo{state.interfaceName, serviceId, instanceId, InstanceIdentifier(std::to_string(instanceId))});
}

InstanceList RuntimeCore::ListLocked(const ServiceState& state, const Search& search) const {
  InstanceList list;
  for (const auto& [instanceId, info] : state.offered) {
    if (search.Matches(instanceId)) {
      list.push_back(info);
    }
  }
  return list;
}

std::shared_ptr<Search> RuntimeCore::StartFind(const ServiceDeployment& deployment, const InstanceIdentifier& instance,
                                               Search::Handler handler) {
  const auto filter = ParseInstance(instance);
  auto search = std::make_shared<Search>(shared_from_this(), deployment.serviceId, filter, std::move(handler));
  // Transport calls are made under the lock: the transport never calls back synchronously, and
  // the instances it knows now must land before any change it reports later.
  std::lock_guard lock(mutex_);
  if (shutdown_) {
    throw std::logic_error("The ara::com runtime has been shut down");
  }
  auto& state = WatchLocked(deployment);
  state.searches.emplace_back(search.get(), search);
  search->Deliver(ListLocked(state, *search));
  return search;
}

void RuntimeCore::RemoveSearch(const Search* search) {
  std::lock_guard lock(mutex_);
  auto it = services_.find(search->serviceId_);
  if (it == services_.end()) {
    return;
  }
  auto& state = it->second;
  const auto before = state.searches.size();
  std::erase_if(state.searches, [&](const auto& entry) { return entry.first == search; });
  if (before != state.searches.size()) {
    UnwatchLocked(search->serviceId_);
  }
}

void RuntimeCore::Watch(const ServiceDeployment& deployment) {
  std::lock_guard lock(mutex_);
  WatchLocked(deployment);
}

void RuntimeCore::Unwatch(std::uint16_t serviceId) {
  std::lock_guard lock(mutex_);
  UnwatchLocked(serviceId);
}

RuntimeCore::ServiceState& RuntimeCore::WatchLocked(const ServiceDeployment& deployment) {
  auto& state = services_[deployment.serviceId];
  state.interfaceName = deployment.interfaceName;
  if (state.watchers == 0 && !shutdown_) {
    transport_->Describe(deployment);
  }
  if (state.watchers++ == 0 && !shutdown_) {
    for (const auto instanceId : transport_->FindService(deployment.serviceId)) {
      state.offered[instanceId] = MakeInfoLocked(state, deployment.serviceId, instanceId);
    }
  }
  return state;
}

void RuntimeCore::UnwatchLocked(std::uint16_t serviceId) {
  auto it = services_.find(serviceId);
  if (it == services_.end() || it->second.watchers == 0) {
    return;
  }
  if (--it->second.watchers == 0) {
    it->second.offered.clear();
    if (!shutdown_) {
      transport_->StopFindService(serviceId);
    }
  }
}

void RuntimeCore::OnAvailability(std::uint16_t serviceId, std::uint16_t instanceId, bool offered) {
  std::vector<PendingCall> failed;
  {
    std::lock_guard lock(mutex_);
    auto it = services_.find(serviceId);
    if (it == services_.end() || it->second.watchers == 0) {
      return;
    }
    auto& state = it->second;
    if (offered == state.offered.contains(instanceId)) {
      return;
    }
    if (offered) {
      state.offered[instanceId] = MakeInfoLocked(state, serviceId, instanceId);
    } else {
      state.offered.erase(instanceId);
      for (auto call = pending_.begin(); call != pending_.end();) {
        if (call->second.serviceId == serviceId && call->second.instanceId == instanceId) {
          failed.push_back(std::move(call->second));
          call = pending_.erase(call);
        } else {
          ++call;
        }
      }
    }
    Trace().LogInfo() << "Service " << state.interfaceName << " instance " << instanceId
                      << (offered ? " offered" : " no longer offered");
    for (const auto& [raw, weak] : state.searches) {
      if (auto search = weak.lock(); search && search->Matches(instanceId)) {
        search->Deliver(ListLocked(state, *search));
      }
    }
  }
  // A call to an instance that went away is never answered.
  for (auto& call : failed) {
    call.callback(nullptr);
  }
}

void RuntimeCore::Call(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t methodId,
                       std::vector<std::uint8_t> payload, ReplyCallback callback) {
  transport::Message message;
  {
    std::lock_guard lock(mutex_);
    auto it = services_.find(serviceId);
    if (shutdown_ || it == services_.end() || !it->second.offered.contains(instanceId)) {
      throw ServiceNotAvailableException();
    }
    if (pending_.size() >= 0xFFFF) {
      throw TransportException();  // every session id is waiting for an answer
    }
    std::uint16_t session = nextSession_;
    while (session == 0 || pending_.contains(session)) {
      ++session;
    }
    nextSession_ = static_cast<std::uint16_t>(session + 1);
    pending_.emplace(session, PendingCall{serviceId, instanceId, methodId, std::move(callback)});
    message.serviceId = serviceId;
    message.instanceId = instanceId;
    message.methodId = methodId;
    message.clientId = transport_->ClientId();
    message.sessionId = session;
    message.type = transport::MessageType::kRequest;
    message.payload = std::move(payload);
  }
  TraceMessage("sent", message);
  transport_->Send(std::move(message));
}

void RuntimeCore::OnMessage(transport::Message message) {
  TraceMessage("received", message);
  if (message.type == transport::MessageType::kNotification) {
    std::vector<std::shared_ptr<NotificationSink>> sinks;
    {
      std::lock_guard lock(mutex_);
      const RouteKey key{message.serviceId, message.instanceId, message.methodId};
      for (const auto& [token, route] : routes_) {
        if (route.key == key) {
          sinks.push_back(route.sink);
        }
      }
    }
    for (const auto& sink : sinks) {
      (*sink)(message.payload);
    }
    return;
  }
  if (message.type != transport::MessageType::kResponse && message.type != transport::MessageType::kError) {
    return;  // a consumer takes no requests
  }
  ReplyCallback callback;
  {
    std::lock_guard lock(mutex_);
    auto it = pending_.find(message.sessionId);
    if (it == pending_.end() || it->second.serviceId != message.serviceId ||
        it->second.instanceId != message.instanceId || it->second.methodId != message.methodId) {
      return;  // late or stray answer
    }
    callback = std::move(it->second.callback);
    pending_.erase(it);
  }
  // Completed here, on the receiving thread, so that an answer never waits for a pool worker.
  callback(&message);
}

std::uint64_t RuntimeCore::AddRoute(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventId,
                                    NotificationSink sink) {
  std::lock_guard lock(mutex_);
  const auto token = nextRoute_++;
  routes_.emplace(token, Route{{serviceId, instanceId, eventId}, std::make_shared<NotificationSink>(std::move(sink))});
  return token;
}

void RuntimeCore::RemoveRoute(std::uint64_t token) {
  std::shared_ptr<NotificationSink> sink;
  std::lock_guard lock(mutex_);
  if (auto it = routes_.find(token); it != routes_.end()) {
    sink = std::move(it->second.sink);  // `sink` is declared before the lock: released after it
    routes_.erase(it);
  }
}

void RuntimeCore::Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) {
  std::lock_guard lock(mutex_);
  if (++subscriptions_[{serviceId, instanceId, eventgroupId}] == 1 && !shutdown_) {
    transport_->Subscribe(serviceId, instanceId, eventgroupId);
  }
}

void RuntimeCore::Unsubscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) {
  std::lock_guard lock(mutex_);
  auto it = subscriptions_.find({serviceId, instanceId, eventgroupId});
  if (it == subscriptions_.end() || --it->second > 0) {
    return;
  }
  subscriptions_.erase(it);
  if (!shutdown_) {
    transport_->Unsubscribe(serviceId, instanceId, eventgroupId);
  }
}

void RuntimeCore::TraceMessage(const char* direction, const transport::Message& message) const {
  if (!traceMessages_) {
    return;
  }
  Trace().LogDebug() << "Message " << direction << ": service " << message.serviceId << " instance "
                     << message.instanceId << " method/event " << message.methodId << " client " << message.clientId
                     << " session " << message.sessionId << " type " << static_cast<unsigned>(message.type)
                     << " return code " << static_cast<unsigned>(message.returnCode) << " payload "
                     << message.payload.size() << " bytes";
}

}  // namespace ara::com::internal
