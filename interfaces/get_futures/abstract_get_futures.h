#pragma once

namespace orik::getFutures {

// A client of the data-sync thread: one polling pass over the implementer's service per call.
// A pass reports nothing back; it logs and swallows its own failures.
class Abstract_GetFutures {
 public:
  virtual ~Abstract_GetFutures() = default;
  virtual void FetchData() = 0;
};

}  // namespace orik::getFutures
