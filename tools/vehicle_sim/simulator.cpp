#include "tools/vehicle_sim/simulator.h"

#include <exception>
#include <string>
#include <vector>

#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_common.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_common.h"

namespace orik::vehicleSim {

namespace transport = ara::com::transport;

namespace {

// Passes everything through and tells the simulator about subscriptions as well, which the
// provider keeps to itself.
class ObservingTransport final : public transport::Transport {
 public:
  using Observer = std::function<void(std::uint16_t eventgroupId, bool subscribed)>;
  ObservingTransport(std::unique_ptr<transport::Transport> inner, std::uint16_t serviceId, Observer observer)
      : inner_(std::move(inner)), serviceId_(serviceId), observer_(std::move(observer)) {}

  void Start(transport::TransportHandlers handlers) override {
    auto provider = std::move(handlers.onSubscription);
    handlers.onSubscription = [this, provider](std::uint16_t serviceId, std::uint16_t instanceId,
                                               std::uint16_t eventgroupId, std::uint16_t clientId, bool subscribed) {
      if (provider) {
        provider(serviceId, instanceId, eventgroupId, clientId, subscribed);
      }
      if (serviceId == serviceId_ && instanceId == kInstanceId) {
        observer_(eventgroupId, subscribed);
      }
    };
    inner_->Start(std::move(handlers));
  }
  void Stop() override { inner_->Stop(); }
  std::uint16_t ClientId() const override { return inner_->ClientId(); }
  void Describe(const ara::com::ServiceDeployment& deployment) override { inner_->Describe(deployment); }
  std::vector<std::uint16_t> FindService(std::uint16_t serviceId) override { return inner_->FindService(serviceId); }
  void StopFindService(std::uint16_t serviceId) override { inner_->StopFindService(serviceId); }
  void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    inner_->Subscribe(serviceId, instanceId, eventgroupId);
  }
  void Unsubscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    inner_->Unsubscribe(serviceId, instanceId, eventgroupId);
  }
  void OfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    inner_->OfferService(serviceId, instanceId);
  }
  void StopOfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    inner_->StopOfferService(serviceId, instanceId);
  }
  void Notify(transport::Message message, std::uint16_t eventgroupId) override {
    inner_->Notify(std::move(message), eventgroupId);
  }
  void NotifySubscriber(transport::Message message, std::uint16_t eventgroupId, std::uint16_t subscriberId) override {
    inner_->NotifySubscriber(std::move(message), eventgroupId, subscriberId);
  }
  void Send(transport::Message message) override { inner_->Send(std::move(message)); }
  void PostHeartbeat(std::function<void()> answered) override { inner_->PostHeartbeat(std::move(answered)); }

 private:
  std::unique_ptr<transport::Transport> inner_;
  std::uint16_t serviceId_;
  Observer observer_;
};

ara::com::ServiceDeployment DeploymentOf(Service service, const ara::com::DeploymentOverrides& overrides) {
  using zrt::services::chargingmanagementcore::ChargingManagementCore;
  using zrt::services::routebasedenergycontents::RouteBasedEnergyContents;
  return service == Service::kChargingManagementCore
             ? overrides.Apply(ChargingManagementCore::DefaultDeployment(), ChargingManagementCore::kDescription)
             : overrides.Apply(RouteBasedEnergyContents::DefaultDeployment(), RouteBasedEnergyContents::kDescription);
}

// Puts `incoming` elements into `stored`. Elements with equal values of the identity member are
// one entity: an incoming element takes the place of the stored elements of its identity (at
// most one of them stays), or is added when there is none. An element without the identity
// member names no entity, as the gateway's write of the reset-to-factory data does: it stands for
// the field, and takes the place of all of the field's elements. A notification's element takes
// the place whole; a write's element, which carries only what changes, goes over the members of
// the (first) element it replaces.
void MergeElements(nlohmann::json& stored, const nlohmann::json& incoming, std::string_view identity, bool memberwise) {
  const std::string key(identity);
  const auto named = [&](const nlohmann::json& element) { return !key.empty() && element.contains(key); };
  const auto merged = [&](nlohmann::json& old, const nlohmann::json& element) {
    if (memberwise) {
      old.update(element);
      return std::move(old);
    }
    return element;
  };
  nlohmann::json anonymous = nlohmann::json::array();
  for (const nlohmann::json& element : incoming) {
    if (!named(element)) {
      anonymous.push_back(element);
    }
  }
  if (anonymous.size() == 1 && !stored.empty()) {
    stored = nlohmann::json::array({merged(stored[0], anonymous[0])});
  } else if (!anonymous.empty()) {
    stored = std::move(anonymous);
  }
  for (const nlohmann::json& element : incoming) {
    if (!named(element)) {
      continue;
    }
    nlohmann::json kept = nlohmann::json::array();
    bool placed = false;
    for (nlohmann::json& candidate : stored) {
      if (!named(candidate) || candidate[key] != element[key]) {
        kept.push_back(std::move(candidate));
      } else if (!placed) {
        kept.push_back(merged(candidate, element));
        placed = true;
      }
    }
    if (!placed) {
      kept.push_back(element);
    }
    stored = std::move(kept);
  }
}

}  // namespace

struct VehicleSimulator::Endpoint {
  Service service;
  ara::com::ServiceDeployment deployment;
  std::unique_ptr<ara::com::ServiceProvider> provider;
};

VehicleSimulator::VehicleSimulator(Options options) : options_(std::move(options)) {
  for (const Command& answer : options_.scenario.answers) {
    answers_[{answer.field, answer.method}] = answer.answer;
  }
  for (const Service service : {Service::kChargingManagementCore, Service::kRouteBasedEnergyContents}) {
    auto endpoint = std::make_unique<Endpoint>();
    endpoint->service = service;
    endpoint->deployment = DeploymentOf(service, options_.deployments);
    auto observed = std::make_unique<ObservingTransport>(options_.makeTransport(endpoint->deployment),
                                                         endpoint->deployment.serviceId,
                                                         [this, service](std::uint16_t eventgroupId, bool subscribed) {
                                                           OnSubscription(service, eventgroupId, subscribed);
                                                         });
    endpoint->provider =
        std::make_unique<ara::com::ServiceProvider>(endpoint->deployment, kInstanceId, std::move(observed));
    for (const FieldInfo& field : Fields()) {
      if (field.service != service) {
        continue;
      }
      auto handlerFor = [this, &field](Method method) {
        return
            [this, &field, method](const transport::Message& request, ara::com::ServiceProvider::Responder responder) {
              OnRequest(field, method, request, std::move(responder));
            };
      };
      endpoint->provider->SetMethodHandler(endpoint->deployment.MethodId(field.getMethodIndex),
                                           handlerFor(Method::kGet));
      if (field.setMethodIndex) {
        endpoint->provider->SetMethodHandler(endpoint->deployment.MethodId(*field.setMethodIndex),
                                             handlerFor(Method::kSet));
      }
    }
    endpoints_[service] = std::move(endpoint);
  }
  // The providers hold the fields' values; they start as the scenario has them.
  for (const auto& [field, value] : options_.scenario.fields) {
    EndpointOf(field->service).provider->SetField(EventIdOf(*field), field->encode(value));
  }
}

VehicleSimulator::~VehicleSimulator() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  options_.timers->Clear();
  // The map stays as it is: receiving threads still read the deployments until their provider
  // is gone.
  for (auto& [service, endpoint] : endpoints_) {
    endpoint->provider.reset();
  }
}

void VehicleSimulator::Start() {
  if (options_.scenario.offerAtStart) {
    Command offer;
    offer.kind = Command::Kind::kOffer;
    Execute(offer);
  }
  ScheduleTimeline();
}

void VehicleSimulator::ScheduleTimeline() {
  for (const TimedCommand& timed : options_.scenario.timeline) {
    Later(timed.at, [this, command = timed.command] { Execute(command); });
  }
  if (options_.scenario.loop.count() > 0 && !options_.scenario.timeline.empty()) {
    Later(options_.scenario.loop, [this] { ScheduleTimeline(); });
  }
}

void VehicleSimulator::Later(std::chrono::milliseconds delay, Timers::Task task) {
  std::lock_guard lock(mutex_);
  if (!stopping_) {
    options_.timers->After(delay, std::move(task));
  }
}

void VehicleSimulator::HandleLine(std::string_view line) {
  if (line.find_first_not_of(" \t\r") == std::string_view::npos) {
    return;
  }
  Command command;
  try {
    command = ParseCommand(nlohmann::json::parse(line));
  } catch (const nlohmann::json::exception& e) {
    Emit({{"event", "error"}, {"message", std::string("command: not valid JSON (") + e.what() + ")"}});
    return;
  } catch (const CommandError& e) {
    Emit({{"event", "error"}, {"message", e.what()}});
    return;
  }
  Execute(command);
}

void VehicleSimulator::Execute(const Command& command) {
  switch (command.kind) {
    case Command::Kind::kNotify: {
      // The notified elements change the field's value, and the notification carries that value.
      std::lock_guard lock(mutex_);
      nlohmann::json value = Value(*command.field);
      MergeElements(value, command.value, command.field->identityMember, false);
      Emit({{"event", "notify"},
            {"service", ServiceName(command.field->service)},
            {"field", command.field->name},
            {"value", value}});
      EndpointOf(command.field->service).provider->Notify(EventIdOf(*command.field), command.field->encode(value));
      break;
    }
    case Command::Kind::kAnswer: {
      std::lock_guard lock(mutex_);
      answers_[{command.field, command.method}] = command.answer;
      break;
    }
    case Command::Kind::kOffer:
    case Command::Kind::kStopOffer:
      for (const auto& [service, endpoint] : endpoints_) {
        if (command.service && *command.service != service) {
          continue;
        }
        if (command.kind == Command::Kind::kOffer) {
          endpoint->provider->Offer();
        } else {
          endpoint->provider->StopOffer();
        }
        Emit({{"event", command.kind == Command::Kind::kOffer ? "offer" : "stop_offer"},
              {"service", ServiceName(service)}});
      }
      break;
    case Command::Kind::kQuit: {
      {
        std::lock_guard lock(mutex_);
        if (quit_) {
          return;
        }
        quit_ = true;
      }
      Emit({{"event", "quit"}});
      if (options_.onQuit) {
        options_.onQuit();
      }
      break;
    }
  }
}

void VehicleSimulator::OnRequest(const FieldInfo& field, Method method, const transport::Message& request,
                                 ara::com::ServiceProvider::Responder responder) {
  nlohmann::json event{{"event", "request"},
                       {"service", ServiceName(field.service)},
                       {"field", field.name},
                       {"method", MethodName(method)}};
  nlohmann::json written;
  AnswerMode mode;
  std::vector<std::uint8_t> payload;
  if (method == Method::kSet) {
    try {
      written = field.decode(request.payload);
      event["value"] = written;
    } catch (const std::exception& e) {
      event["error"] = e.what();
    }
  }
  {
    std::lock_guard lock(mutex_);
    if (auto it = answers_.find({&field, method}); it != answers_.end()) {
      mode = it->second;
    }
  }
  if (method == Method::kGet) {
    auto stored = EndpointOf(field.service).provider->Field(EventIdOf(field));
    payload = stored ? std::move(*stored) : field.encode(nlohmann::json::array());
  } else {
    payload = request.payload;
  }
  if (method == Method::kSet && written.is_null()) {
    mode = AnswerMode{mode.delay, 0x09, mode.never};  // a write the vehicle cannot read: malformed message
  }
  Emit(std::move(event));
  if (mode.never) {
    return;
  }
  auto answer = [this, &field, method, mode, written, payload = std::move(payload), responder]() mutable {
    if (mode.returnCode == 0 && method == Method::kSet) {
      std::lock_guard lock(mutex_);
      nlohmann::json value = Value(field);
      MergeElements(value, written, field.identityMember, true);
      EndpointOf(field.service).provider->SetField(EventIdOf(field), field.encode(value));
    }
    Emit({{"event", "answer"},
          {"service", ServiceName(field.service)},
          {"field", field.name},
          {"method", MethodName(method)},
          {"return_code", mode.returnCode}});
    responder.Reply(mode.returnCode, mode.returnCode == 0 ? std::move(payload) : std::vector<std::uint8_t>{});
  };
  if (mode.delay.count() == 0) {
    answer();
  } else {
    Later(mode.delay, std::move(answer));
  }
}

void VehicleSimulator::OnSubscription(Service service, std::uint16_t eventgroupId, bool subscribed) {
  nlohmann::json fields = nlohmann::json::array();
  const Endpoint& endpoint = EndpointOf(service);
  for (const FieldInfo& field : Fields()) {
    if (field.service == service && endpoint.deployment.Event(field.eventIndex).eventgroupId == eventgroupId) {
      fields.push_back(field.name);
    }
  }
  Emit({{"event", "subscription"},
        {"service", ServiceName(service)},
        {"eventgroup", eventgroupId},
        {"fields", fields},
        {"subscribed", subscribed}});
  // The provider has sent the new subscriber each field's value already.
}

nlohmann::json VehicleSimulator::Value(const FieldInfo& field) const {
  const auto stored = EndpointOf(field.service).provider->Field(EventIdOf(field));
  return stored ? field.decode(*stored) : nlohmann::json::array();
}

std::uint16_t VehicleSimulator::EventIdOf(const FieldInfo& field) const {
  return EndpointOf(field.service).deployment.Event(field.eventIndex).eventId;
}

const ara::com::ServiceDeployment& VehicleSimulator::Deployment(Service service) const {
  return EndpointOf(service).deployment;
}

VehicleSimulator::Endpoint& VehicleSimulator::EndpointOf(Service service) const {
  return *endpoints_.at(service);
}

void VehicleSimulator::Emit(nlohmann::json event) {
  event["t_ms"] = options_.timers->Now().count();
  if (options_.events) {
    options_.events(event);
  }
}

}  // namespace orik::vehicleSim
