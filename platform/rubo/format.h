#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace rubo::format {

// A formatted value with an optional callback that receives the new text after each change.
class Value {
 public:
  using PostValueChangeCallback = std::function<void(const std::string&)>;

  virtual ~Value() = default;
  virtual std::string GetValue() const = 0;

  PostValueChangeCallback GetPostValueChangeCallback() const { return postValueChange_; }
  void SetPostValueChangeCallback(PostValueChangeCallback callback) { postValueChange_ = std::move(callback); }

 protected:
  Value() = default;
  Value(const Value&) = default;
  Value& operator=(const Value&) = default;
  void NotifyValueChanged() const;

 private:
  PostValueChangeCallback postValueChange_;
};

// Calendar date, "YYYY-MM-DD".
class Date : public Value {
 public:
  Date() = default;
  // Throws std::invalid_argument for a date that does not exist (year above 9999, month 13, 30 February...).
  Date(std::uint16_t year, std::uint8_t month, std::uint8_t day);
  void SetValue(std::uint16_t year, std::uint8_t month, std::uint8_t day);
  std::string GetValue() const override;
  std::uint16_t GetYear() const noexcept { return year_; }
  std::uint8_t GetMonth() const noexcept { return month_; }
  std::uint8_t GetDay() const noexcept { return day_; }

 private:
  std::uint16_t year_ = 1970;
  std::uint8_t month_ = 1;
  std::uint8_t day_ = 1;
};

// Time of day, "hh:mm:ss", with ".mmm" when the milliseconds are not 0.
class Time : public Value {
 public:
  Time() = default;
  // Throws std::invalid_argument for hour > 23, minute > 59, second > 60 (leap second), millisecond > 999.
  Time(std::uint8_t hour, std::uint8_t minute, std::uint8_t second, std::uint16_t millisecond);
  void SetValue(std::uint8_t hour, std::uint8_t minute, std::uint8_t second, std::uint16_t millisecond);
  std::string GetValue() const override;

 private:
  std::uint8_t hour_ = 0;
  std::uint8_t minute_ = 0;
  std::uint8_t second_ = 0;
  std::uint16_t millisecond_ = 0;
};

// RFC 3339 date-time, e.g. "1970-01-01T00:00:00+00:00" or "2024-05-06T07:08:09.010Z".
// Default: 1970-01-01T00:00:00+00:00. A copy carries the original's callback.
class DateTime : public Value {
 public:
  DateTime();
  // zone: "Z" or "+hh:mm" / "-hh:mm". Throws std::invalid_argument for an impossible value.
  DateTime(std::uint16_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
           std::uint8_t second, std::uint16_t millisecond, std::string zone);

  // Replaces the value (nothing changes when it throws) and then calls the post-value-change
  // callback with the new text.
  void SetValue(std::uint16_t year, std::uint8_t month, std::uint8_t day, std::uint8_t hour, std::uint8_t minute,
                std::uint8_t second, std::uint16_t millisecond, std::string zone);
  std::string GetValue() const override;

  const Date& GetDate() const noexcept { return date_; }
  const Time& GetTime() const noexcept { return time_; }
  const std::string& GetZone() const noexcept { return zone_; }

 private:
  Date date_;
  Time time_;
  std::string zone_;
};

}  // namespace rubo::format
