#pragma once

#include <cstdint>
#include <string>

namespace ara::phm {

// Health management on this platform is systemd's notify protocol (nothing is sent without
// NOTIFY_SOCKET): the alive checkpoint feeds the service watchdog with "WATCHDOG=1" while the
// parts that serve are alive, and otherwise names the cause in a "STATUS=" line
// (seam/liveness.h); every other checkpoint and every health mode is shown as a "STATUS=" line.
// A report that cannot be sent is lost and logged once (seam/service_manager.h): an unreachable
// service manager never ends the process.

// Names the alive checkpoint; unset, the alive checkpoint is kDefaultAliveCheckpoint.
inline constexpr const char* kAliveCheckpointVariable = "ORIK_PHM_ALIVE_CHECKPOINT";
inline constexpr std::uint16_t kDefaultAliveCheckpoint = 60075;

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
  // Reads which checkpoint is the alive one (kAliveCheckpointVariable); an invalid value is
  // logged and the default applies.
  explicit SupervisionEntity(const Phm_client& client);
  void CheckpointReached(std::uint16_t supervisionId, std::uint16_t checkpointId);
  std::uint16_t AliveCheckpoint() const noexcept { return aliveCheckpoint_; }

 private:
  std::string clientName_;
  std::uint16_t aliveCheckpoint_;
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
