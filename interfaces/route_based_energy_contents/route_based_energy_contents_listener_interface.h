#pragma once

namespace orik::routeBasedEnergyContents {

// The RouteBasedEnergyContents listener as the mediator sees it.
class RouteBasedEnergyContentsListenerInterface {
 public:
  virtual ~RouteBasedEnergyContentsListenerInterface() = default;
  // Starts the discovery of the service.
  virtual void StartListener() = 0;
};

}  // namespace orik::routeBasedEnergyContents
