#include "rubo/format.h"

#include <cstdio>
#include <stdexcept>

namespace rubo::format {
namespace {

bool IsLeap(unsigned year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysIn(unsigned year, unsigned month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

void CheckDate(std::uint16_t year, std::uint8_t month, std::uint8_t day) {
  if (year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysIn(year, month)) {
    throw std::invalid_argument("Invalid date");
  }
}

void CheckTime(std::uint8_t hour, std::uint8_t minute, std::uint8_t second, std::uint16_t millisecond) {
  if (hour > 23 || minute > 59 || second > 60 || millisecond > 999) {
    throw std::invalid_argument("Invalid time");
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

void CheckZone(const std::string& zone) {
  if (zone == "Z") {
    return;
  }
  const bool shape = zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && IsDigit(zone[1]) && IsDigit(zone[2]) &&
                     zone[3] == ':' && IsDigit(zone[4]) && IsDigit(zone[5]);
  if (!shape || (zone[1] - '0') * 10 + (zone[2] - '0') > 23 || (zone[4] - '0') * 10 + (zone[5] - '0') > 59) {
    throw std::invalid_argument("Invalid time zone offset '" + zone + "'");
  }
}

}  // namespace

void Value::NotifyValueChanged() const {
  if (postValueChange_) {
    postValueChange_(GetValue());
  }
}

Date::Date(std::uint16_t year, std::uint8_t month, std::uint8_t day) {
  CheckDate(year, month, day);
  year_ = year;
  month_ = month;
  day_ = day;
}

void Date::SetValue(std::uint16_t year, std::uint8_t month, std::uint8_t day) {
  CheckDate(year, month, day);
  year_ = year;
  month_ = month;
  day_ = day;
  NotifyValueChanged();
}

std::string Date::GetValue() const {
  char text[16];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u", unsigned{year_}, unsigned{month_}, unsigned{day_});
  return text;
}

Time::Time(std::uint8_t hour, std::uint8_t minute, std::uint8_t second, std::uint16_t millisecond) {
  CheckTime(hour, minute, second, millisecond);
  hour_ = hour;
  minute_ = minute;
  second_ = second;
  millisecond_ = millisecond;
}

void Time::SetValue(std::uint8_t hour, std::uint8_t minute, std::uint8_t second, std::uint16_t millisecond) {
  CheckTime(hour, minute, second, millisecond);
  hour_ = hour;
  minute_ = minute;
  second_ = second;
  millisecond_ = millisecond;
  NotifyValueChanged();
}

std::string Time::GetValue() const {
  char text[24];
  if (millisecond_ == 0) {
    std::snprintf(text, sizeof(text), "%02u:%02u:%02u", unsigned{hour_}, unsigned{minute_}, unsigned{second_});
  } else {
    std::snprintf(text, sizeof(text), "%02u:%02u:%02u.%03u", unsigned{hour_}, unsigned{minute_}, unsigned{second_},
                  unsigned{millisecond_});
  }
  return text;
}

DateTime::DateTime() : zone_("+00:00") {}

DateTime::DateTime(std::uint16_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                   std::uint8_t second, std::uint16_t millisecond, std::string zone)
    : date_(year, month, day), time_(hour, minute, second, millisecond), zone_(std::move(zone)) {
  CheckZone(zone_);
}

void DateTime::SetValue(std::uint16_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour,
                        std::uint8_t minute, std::uint8_t second, std::uint16_t millisecond, std::string zone) {
  // Every part is checked before anything changes.
  CheckDate(year, month, day);
  CheckTime(hour, minute, second, millisecond);
  CheckZone(zone);
  date_ = Date(year, month, day);
  time_ = Time(hour, minute, second, millisecond);
  zone_ = std::move(zone);
  NotifyValueChanged();
}

std::string DateTime::GetValue() const {
  return date_.GetValue() + "T" + time_.GetValue() + zone_;
}

}  // namespace rubo::format
