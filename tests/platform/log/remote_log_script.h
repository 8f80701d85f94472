#pragma once

// What remote_log_writer logs and the tests expect, written once for both.

#include <array>
#include <cstddef>
#include <string>

#include "ara/log/common.h"

namespace orik::logtest {

struct ScriptStep {
  const char* context;  // the context id as the application creates it; "DFLT": the free functions
  ara::log::LogLevel level;
  const char* text;
};

// Created before InitLogging, as the platform's own loggers may be.
inline constexpr const char* kEarlyContext = "ACOM";

// The contexts interleave so that order per context means something; Debug and Verbose
// lie below the default level Info and must not arrive.
inline constexpr std::array kScript = {
    ScriptStep{"ORIK_MAIN", ara::log::LogLevel::kInfo, "ORIK version 1.10.10 has started!"},
    ScriptStep{"ORIK", ara::log::LogLevel::kInfo, "[CommMngr] mediator line"},
    ScriptStep{"PXWRP", ara::log::LogLevel::kInfo, "[cmcwrapper] proxy wrapper line"},
    ScriptStep{"ORIK", ara::log::LogLevel::kDebug, "[CommMngr][Someip -> Rubo] Map exception"},
    ScriptStep{"RBECL", ara::log::LogLevel::kWarn, "[RBEC_Listener] warn line"},
    ScriptStep{"RBEWRP", ara::log::LogLevel::kError, "[rbewrapper] error line"},
    ScriptStep{"DSNC", ara::log::LogLevel::kInfo, "[DataSync] first"},
    ScriptStep{"RUBO", ara::log::LogLevel::kFatal, "[Rubo] fatal line"},
    ScriptStep{"REST", ara::log::LogLevel::kVerbose, "verbose line"},
    ScriptStep{"ACOM", ara::log::LogLevel::kInfo, "[SomeIp] trace line"},
    ScriptStep{"PLAT", ara::log::LogLevel::kInfo, "platform line"},
    ScriptStep{"DSNC", ara::log::LogLevel::kInfo, "[DataSync] second"},
    ScriptStep{"ORIK_MAIN", ara::log::LogLevel::kInfo, "ORIK_MAIN second"},
    ScriptStep{"ORIK", ara::log::LogLevel::kInfo, "[SomeIp] listener line"},
    ScriptStep{"REST", ara::log::LogLevel::kInfo, "rest line"},
    ScriptStep{"DFLT", ara::log::LogLevel::kInfo, "Ended main block."},
};

// After the script, one record longer than a DLT message holds, on this context.
inline constexpr const char* kLongContext = "DSNC";
inline constexpr std::size_t kLongLength = 5000;
inline std::string LongText() {
  return std::string(kLongLength, 'L');
}

// The level scenario.
inline constexpr const char* kLevelContext = "DSNC";
inline constexpr const char* kOtherContext = "PXWRP";

}  // namespace orik::logtest
