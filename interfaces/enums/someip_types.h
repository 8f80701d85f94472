#pragma once

#include <cstdint>

namespace orik::enums {

// Names one consumed service field towards a proxy wrapper. 13 is deliberately unassigned.
enum class SOMEIP_RESOURCE_TYPE : std::uint8_t {
  CHARGING_PLUGS = 0,
  VALUE_CONTROLS = 1,
  SWITCH_CONTROLS = 2,
  VIEWS = 3,
  NOTIFICATION_MARKERS = 4,
  ORU_UPDATE_APPROVALS = 5,
  NOTIFICATIONS = 6,
  RESET_TO_FACTORY_DATA = 7,
  CHARGING_PROCESS_INFORMATION = 8,
  VALUE_INDICATIONS = 9,
  PAST_ERROR_INFORMATION = 10,
  BATTERY_CARE_MODES = 11,
  TARGET_SOC_CHARGINGS = 12,
  BIDIRECTIONAL_CHARGING_MODES = 14,
  BATTERY_PRECONDITIONINGS = 15,
  BATTERY_PRECONDITIONING_ENERGIES = 16,
};

// Outcome of one field write. Only RESPONSE_RECEIVED counts as success; 3 is unassigned and
// RESPONSE_DATA_MISMATCH is never produced.
enum class SOMEIP_RESPONSE_TYPE : std::uint32_t {
  RESPONSE_RECEIVED = 0,
  RESPONSE_DATA_MISMATCH = 1,
  RESPONSE_TIMEOUT = 2,
  RESPONSE_ERROR = 4,
};

}  // namespace orik::enums
