#include "ara/phm/phm.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

#include "ara/log/logging.h"
#include "seam/liveness.h"
#include "seam/platform_calls.h"
#include "seam/service_manager.h"

namespace ara::phm {
namespace {

std::uint16_t ConfiguredAliveCheckpoint() {
  const char* configured = std::getenv(kAliveCheckpointVariable);
  if (configured == nullptr || *configured == '\0') {
    return kDefaultAliveCheckpoint;
  }
  const std::string_view text(configured);
  std::uint16_t checkpoint = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), checkpoint);
  if (error != std::errc{} || end != text.data() + text.size()) {
    static const ara::log::Logger& logger = ara::log::CreateLogger("PLAT", "platform services");
    logger.LogError() << "Ignoring " << kAliveCheckpointVariable << "=\"" << text
                      << "\": not a checkpoint from 0 to 65535; the alive checkpoint is " << kDefaultAliveCheckpoint;
    return kDefaultAliveCheckpoint;
  }
  return checkpoint;
}

}  // namespace

Phm_client::Phm_client(std::string name) : name_(std::move(name)) {
  platform::seam::ReportCall("Phm_client::Phm_client", {}, name_);
}

SupervisionEntity::SupervisionEntity(const Phm_client& client)
    : clientName_(client.Name()), aliveCheckpoint_(ConfiguredAliveCheckpoint()) {}

void SupervisionEntity::CheckpointReached(std::uint16_t supervisionId, std::uint16_t checkpointId) {
  platform::seam::ReportCall("SupervisionEntity::CheckpointReached", {supervisionId, checkpointId}, clientName_);
  if (checkpointId == aliveCheckpoint_) {
    platform::seam::ReportAlive();
  } else {
    platform::seam::NotifyServiceManager("STATUS=Checkpoint " + std::to_string(checkpointId) +
                                         " reached (supervision " + std::to_string(supervisionId) + ")");
  }
}

HealthChannel::HealthChannel(const Phm_client& client) : clientName_(client.Name()) {}

void HealthChannel::SetHealthMode(std::uint16_t channelId, std::uint32_t mode) {
  platform::seam::ReportCall("HealthChannel::SetHealthMode", {channelId, mode}, clientName_);
  platform::seam::NotifyServiceManager("STATUS=Health mode " + std::to_string(mode) + " (channel " +
                                       std::to_string(channelId) + ")");
}

}  // namespace ara::phm
