#pragma once

// A simulated vehicle: offers ChargingManagementCore and RouteBasedEnergyContents through
// ara::com::ServiceProvider, answers every field's Get and Set from the values it holds, runs a
// scenario's timeline and takes commands; everything it sees or does becomes one JSON event.
//
// Events (each one object; "t_ms" is the time since the start):
//   {"event": "offer" | "stop_offer", "service": ...}
//   {"event": "subscription", "service": ..., "eventgroup": 6, "fields": ["chargingPlugs"], "subscribed": true}
//       (the provider, which holds the fields' values, has sent the new subscriber the current
//       value of each of those fields that has one)
//   {"event": "request", "service": ..., "field": ..., "method": "Get" | "Set", "value": [...]}   (Set: decoded)
//   {"event": "answer", "service": ..., "field": ..., "method": ..., "return_code": 0}
//   {"event": "notify", "service": ..., "field": ..., "value": [...]}   (the field's value sent)
//   {"event": "error", "message": ...}                                     (a refused command)
//   {"event": "quit"}

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>
#include <utility>

#include <nlohmann/json.hpp>

#include "ara/com/deployment.h"
#include "ara/com/provider.h"
#include "ara/com/transport/transport.h"
#include "tools/vehicle_sim/commands.h"
#include "tools/vehicle_sim/field_table.h"
#include "tools/vehicle_sim/timers.h"

namespace orik::vehicleSim {

// SOME/IP instance id under which both services are offered.
inline constexpr std::uint16_t kInstanceId = 1;

class VehicleSimulator {
 public:
  using EventSink = std::function<void(const nlohmann::json& event)>;
  // One transport per service (given its deployment); the simulator starts and stops them.
  using TransportFactory =
      std::function<std::unique_ptr<ara::com::transport::Transport>(const ara::com::ServiceDeployment&)>;

  struct Options {
    Scenario scenario;
    TransportFactory makeTransport;
    std::shared_ptr<Timers> timers;
    EventSink events;
    // Applied to the services' built-in deployments (ORIK_COM_DEPLOYMENT's file in the process).
    ara::com::DeploymentOverrides deployments;
    // Called once when a quit command runs (from standard input or the timeline).
    std::function<void()> onQuit;
  };

  explicit VehicleSimulator(Options options);
  // Stops the timeline and withdraws both services.
  ~VehicleSimulator();
  VehicleSimulator(const VehicleSimulator&) = delete;
  VehicleSimulator& operator=(const VehicleSimulator&) = delete;

  // Offers the services (unless the scenario says not to) and starts the timeline.
  void Start();
  // One line of standard input; a line that is not a valid command gives an "error" event.
  void HandleLine(std::string_view line);
  void Execute(const Command& command);

  // The field's value as a Get would answer it now.
  nlohmann::json Value(const FieldInfo& field) const;
  const ara::com::ServiceDeployment& Deployment(Service service) const;

 private:
  struct Endpoint;
  void Emit(nlohmann::json event);
  void ScheduleTimeline();
  void OnRequest(const FieldInfo& field, Method method, const ara::com::transport::Message& request,
                 ara::com::ServiceProvider::Responder responder);
  void OnSubscription(Service service, std::uint16_t eventgroupId, bool subscribed);
  void Later(std::chrono::milliseconds delay, Timers::Task task);
  Endpoint& EndpointOf(Service service) const;
  std::uint16_t EventIdOf(const FieldInfo& field) const;

  Options options_;
  std::map<Service, std::unique_ptr<Endpoint>> endpoints_;
  // Also makes each change of a field's value (read, merge, write back) one step. The values
  // themselves are held by the providers.
  mutable std::mutex mutex_;
  std::map<std::pair<const FieldInfo*, Method>, AnswerMode> answers_;
  bool stopping_ = false;
  bool quit_ = false;
};

}  // namespace orik::vehicleSim
