#include "ara/phm/phm.h"

#include "seam/platform_calls.h"

namespace ara::phm {

Phm_client::Phm_client(std::string name) : name_(std::move(name)) {
  platform::seam::ReportCall("Phm_client::Phm_client", {}, name_);
}

SupervisionEntity::SupervisionEntity(const Phm_client& client) : clientName_(client.Name()) {}

void SupervisionEntity::CheckpointReached(std::uint16_t supervisionId, std::uint16_t checkpointId) {
  platform::seam::ReportCall("SupervisionEntity::CheckpointReached", {supervisionId, checkpointId}, clientName_);
}

HealthChannel::HealthChannel(const Phm_client& client) : clientName_(client.Name()) {}

void HealthChannel::SetHealthMode(std::uint16_t channelId, std::uint32_t mode) {
  platform::seam::ReportCall("HealthChannel::SetHealthMode", {channelId, mode}, clientName_);
}

}  // namespace ara::phm
