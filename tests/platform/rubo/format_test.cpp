#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "rubo/format.h"

namespace {

using rubo::format::DateTime;

TEST(DateTimeTest, RendersRfc3339) {
  EXPECT_EQ(DateTime().GetValue(), "1970-01-01T00:00:00+00:00");
  EXPECT_EQ(DateTime(1970, 1, 1, 0, 0, 0, 0, "+00:00").GetValue(), "1970-01-01T00:00:00+00:00");
  EXPECT_EQ(DateTime(2024, 2, 29, 23, 59, 60, 7, "Z").GetValue(), "2024-02-29T23:59:60.007Z");
  EXPECT_EQ(DateTime(999, 12, 31, 1, 2, 3, 0, "-05:30").GetValue(), "0999-12-31T01:02:03-05:30");
}

TEST(DateTimeTest, RefusesImpossibleValuesAndKeepsTheOldOne) {
  struct Case {
    std::uint16_t year;
    std::uint8_t month, day, hour, minute, second;
    std::uint16_t ms;
    const char* zone;
  };
  const Case cases[] = {
      {2023, 2, 29, 0, 0, 0, 0, "Z"},  {2024, 13, 1, 0, 0, 0, 0, "Z"},    {2024, 0, 1, 0, 0, 0, 0, "Z"},
      {2024, 4, 31, 0, 0, 0, 0, "Z"},  {2024, 1, 1, 24, 0, 0, 0, "Z"},    {2024, 1, 1, 0, 60, 0, 0, "Z"},
      {2024, 1, 1, 0, 0, 61, 0, "Z"},  {2024, 1, 1, 0, 0, 0, 1000, "Z"},  {10000, 1, 1, 0, 0, 0, 0, "Z"},
      {2024, 1, 1, 0, 0, 0, 0, "UTC"}, {2024, 1, 1, 0, 0, 0, 0, "+0000"}, {2024, 1, 1, 0, 0, 0, 0, "+24:00"},
      {2024, 1, 1, 0, 0, 0, 0, ""},
  };
  for (const auto& c : cases) {
    DateTime value(2000, 1, 2, 3, 4, 5, 0, "+01:00");
    EXPECT_THROW(value.SetValue(c.year, c.month, c.day, c.hour, c.minute, c.second, c.ms, c.zone),
                 std::invalid_argument);
    EXPECT_EQ(value.GetValue(), "2000-01-02T03:04:05+01:00");
  }
}

TEST(DateTimeTest, SetValueCallsTheCallbackAndCopiesCarryIt) {
  std::vector<std::string> seen;
  DateTime value;
  value.SetPostValueChangeCallback([&](const std::string& text) { seen.push_back(text); });
  value.SetValue(2021, 6, 7, 8, 9, 10, 0, "+02:00");
  DateTime copy = value;
  copy.SetValue(2022, 1, 1, 0, 0, 0, 0, "Z");
  EXPECT_EQ(seen, (std::vector<std::string>{"2021-06-07T08:09:10+02:00", "2022-01-01T00:00:00Z"}));
  copy = DateTime();  // a fresh value carries no callback
  EXPECT_FALSE(copy.GetPostValueChangeCallback());
}

}  // namespace
