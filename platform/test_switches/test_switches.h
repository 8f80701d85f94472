#pragma once

// Environment variables read by the test variant of the gateway executable only.
namespace platform::testSwitches {

// Failure rules for the platform calls (syntax: seam::ParseFailureRules); each fails the first
// matching call once.
inline constexpr const char* kFailuresVariable = "ORIK_PLATFORM_TEST_FAILURES";
// "local": the middleware runtime the application creates uses the in-process bus, not the
// network, so that gateways started at once by parallel tests do not compete for ports.
inline constexpr const char* kTransportVariable = "ORIK_COM_TRANSPORT";
// "<part>:<file>", part "rest" or "middleware": once <file> exists, the next heartbeat posted to
// that part stalls its I/O thread for good, after a "STATUS=Test: stalling ..." line.
inline constexpr const char* kStallVariable = "ORIK_TEST_STALL_IO";

}  // namespace platform::testSwitches
