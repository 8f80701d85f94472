// SOME/IP-to-REST updates that do not look their element up by type: the reset-to-factory data
// and the navigation target.
#include <ctime>
#include <limits>
#include <optional>

#include "ara/rest/ogm.h"
#include "rest_model/elements/elements.h"
#include "rest_server/orik_rubo_server.h"
#include "rest_server/orik_rubo_server_updates_support.h"
#include "rubo/format.h"

namespace orik::ruboServer {

namespace cmc = rubo::server::charging_management_core;
using ara::core::Optional;
using updates::ApplyGuarded;
using updates::PropertyWriter;

namespace {

struct CalendarTime {
  std::uint16_t year;
  std::uint8_t month;
  std::uint8_t day;
  std::uint8_t hour;
  std::uint8_t minute;
  std::uint8_t second;
};

// The time stamp (seconds since the epoch) as a UTC calendar time, which is what the "+00:00"
// label the date-time carries says it is. Empty when the time stamp does not fit time_t or the
// year does not fit the date-time's 16 bits.
std::optional<CalendarTime> BreakDownUtc(std::uint64_t timestamp) {
  if (timestamp > static_cast<std::uint64_t>(std::numeric_limits<std::time_t>::max())) {
    return std::nullopt;
  }
  const auto seconds = static_cast<std::time_t>(timestamp);
  std::tm broken{};
  if (gmtime_r(&seconds, &broken) == nullptr) {
    return std::nullopt;
  }
  const long long year = static_cast<long long>(broken.tm_year) + 1900;
  if (year < 0 || year > std::numeric_limits<std::uint16_t>::max()) {
    return std::nullopt;
  }
  return CalendarTime{static_cast<std::uint16_t>(year),          static_cast<std::uint8_t>(broken.tm_mon + 1),
                      static_cast<std::uint8_t>(broken.tm_mday), static_cast<std::uint8_t>(broken.tm_hour),
                      static_cast<std::uint8_t>(broken.tm_min),  static_cast<std::uint8_t>(broken.tm_sec)};
}

constexpr const char* kUtcOffset = "+00:00";

}  // namespace

void ORIKRuboServer::Update_resetToFactoryData(const Optional<std::string>& resetToFactoryData,
                                               const Optional<std::uint64_t>& lastReset) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto resets = server->GetFactoryResetResets();
  if (!resets) {
    return;
  }
  // There is no type to match: the data belongs to every reset element.
  for (const auto& element : resets->GetResetObjects()) {
    PropertyWriter writer(*element);
    ApplyGuarded(m_logger, "[Rubo] Domain error exception caught while updating resetToFactoryData object: ",
                 "[Rubo] Unknown exception caught while updating resetToFactoryData object.", [&] {
                   writer.Bool("isFactoryDefault", resetToFactoryData.has_value()
                                                       ? Optional<bool>(*resetToFactoryData == "origin")
                                                       : Optional<bool>());
                   writer.Through("lastReset", lastReset, [&](std::uint64_t timestamp) {
                     rubo::format::DateTime dateTime(1970, 1, 1, 0, 0, 0, 0, kUtcOffset);
                     if (const auto time = BreakDownUtc(timestamp)) {
                       dateTime.SetValue(time->year, time->month, time->day, time->hour, time->minute, time->second, 0,
                                         kUtcOffset);
                       m_logger.LogInfo()
                           << "[Rubo] Updated time : year=" << std::uint32_t{time->year}
                           << "month=" << std::uint32_t{time->month} << "day=" << std::uint32_t{time->day}
                           << "hour=" << std::uint32_t{time->hour} << "min=" << std::uint32_t{time->minute}
                           << "sec=" << std::uint32_t{time->second};
                     }
                     element->SetLastReset(dateTime);
                   });
                 });
  }
}

void ORIKRuboServer::Update_NavTargetSoc(const std::uint8_t& navTargetSoc) {
  const auto server = m_server;
  if (!server) {
    return;
  }
  const auto option = updates::FindInCollection<cmc::ImmediateChargingOptionObject>(
      server->GetChargingManagementCoreImmediateChargingOptions(), std::string("immediateChargingOption"));
  const auto target = option ? option->GetNavTargetSoc() : nullptr;
  // Start-up always links the value control; without the link there is nothing to write into.
  if (!target) {
    m_logger.LogInfo() << "[Rubo][RBEC -> Rubo] Can't find navtargetsoc object. Exiting method.";
    return;
  }
  target->SetCurrentValue(static_cast<std::int64_t>(navTargetSoc));
}

}  // namespace orik::ruboServer
