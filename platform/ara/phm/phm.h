#pragma once

#include <cstdint>
#include <string>

namespace ara::phm {

// Connection of one process to platform health management, named after the executable.
class Phm_client {
 public:
  explicit Phm_client(std::string name);
  const std::string& Name() const noexcept { return name_; }

 private:
  std::string name_;
};

// Receives the process's checkpoints. Safe to use from several threads.
class SupervisionEntity {
 public:
  explicit SupervisionEntity(const Phm_client& client);
  void CheckpointReached(std::uint16_t supervisionId, std::uint16_t checkpointId);

 private:
  std::string clientName_;
};

// Receives the process's health modes. Safe to use from several threads.
class HealthChannel {
 public:
  explicit HealthChannel(const Phm_client& client);
  void SetHealthMode(std::uint16_t channelId, std::uint32_t mode);

 private:
  std::string clientName_;
};

}  // namespace ara::phm
