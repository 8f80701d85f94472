#pragma once

#include <chrono>

namespace orik::timing {

// The vehicle-service client's fixed timings. Callers use them by name; tests hand the
// components other values through their constructors instead of waiting these out.

// Wait of the data-sync thread before its first poll.
inline constexpr std::chrono::seconds kInitialPollWait{5};
// Wait of the data-sync thread after each poll.
inline constexpr std::chrono::seconds kPollPeriod{120};
// Longest wait for one field's read result during a poll.
inline constexpr std::chrono::milliseconds kFieldReadWait{2000};
// Longest wait for the answer to one field write.
inline constexpr std::chrono::seconds kFieldWriteWait{1};

}  // namespace orik::timing
