#pragma once

// The simulator's commands, as they come on standard input (one JSON object a line) and as
// timeline entries of a scenario file, and the scenario file itself.
//
// Commands:
//   {"command": "notify", "field": "views", "value": [{"type": "...", ...}, ...]}
//       (the elements take the place of the field's elements of their type, or are added; the
//       field's whole value is then notified. For the reset-to-factory data, whose elements have
//       no type, they are the field's value. An accepted Set changes the value alike, over the
//       members it carries, without a notification.)
//   {"command": "answer", "field": "valueControls", "method": "Set",
//    "delay_ms": 1500, "return_code": 1, "never": false}        (left-out keys: 0 / false)
//   {"command": "stop_offer", "service": "ChargingManagementCore"}   (no service: both)
//   {"command": "offer", "service": "RouteBasedEnergyContents"}      (no service: both)
//   {"command": "quit"}
//
// Scenario file:
//   {"fields":   {"<field>": [elements], ...},      initial values (left out: empty)
//    "answers":  [{"field": ..., "method": ..., "delay_ms": ...}, ...],
//    "timeline": [{"at_ms": 2000, "command": ..., ...}, ...],
//    "loop_ms":  10000,              timeline repeats this often (left out or 0: runs once)
//    "offer_at_start": true}         (left out: true)

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/vehicle_sim/field_table.h"

namespace orik::vehicleSim {

// A command or scenario that cannot be used; the text says where and why.
class CommandError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

enum class Method : std::uint8_t { kGet, kSet };
std::string_view MethodName(Method method);

// How a method's requests are answered.
struct AnswerMode {
  std::chrono::milliseconds delay{0};
  std::uint8_t returnCode = 0;
  bool never = false;
};

struct Command {
  enum class Kind : std::uint8_t { kNotify, kAnswer, kOffer, kStopOffer, kQuit };
  Kind kind = Kind::kQuit;
  const FieldInfo* field = nullptr;  // notify, answer
  nlohmann::json value;              // notify: the elements, words where the vocabulary has them
  Method method = Method::kGet;      // answer
  AnswerMode answer;                 // answer
  std::optional<Service> service;    // offer, stop_offer: nullopt for both services
};

// Checks the command whole (the value of a notify is converted and back) before anything runs.
Command ParseCommand(const nlohmann::json& json);

struct TimedCommand {
  std::chrono::milliseconds at{0};
  Command command;
};

struct Scenario {
  std::map<const FieldInfo*, nlohmann::json> fields;
  std::vector<Command> answers;
  std::vector<TimedCommand> timeline;
  std::chrono::milliseconds loop{0};
  bool offerAtStart = true;
};

Scenario ParseScenario(const nlohmann::json& json);
// Reads and parses a scenario file; CommandError names the file and the problem.
Scenario LoadScenario(const std::string& path);

// The value in its canonical JSON form (words where the vocabulary has them, members sorted),
// checked by encoding it; throws ConversionError naming field and member.
nlohmann::json CanonicalValue(const FieldInfo& field, const nlohmann::json& value);

}  // namespace orik::vehicleSim
