#include "tools/vehicle_sim/commands.h"

#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "tools/vehicle_sim/element_json.h"

namespace orik::vehicleSim {

namespace {

void CheckKeys(const nlohmann::json& object, const std::set<std::string>& allowed, const std::string& where) {
  for (const auto& [key, value] : object.items()) {
    if (!allowed.contains(key)) {
      std::string list;
      for (const auto& name : allowed) {
        list += list.empty() ? "" : ", ";
        list += name;
      }
      throw CommandError(where + ": unknown key \"" + key + "\" (keys: " + list + ")");
    }
  }
}

std::uint64_t ReadUnsigned(const nlohmann::json& object, const std::string& key, std::uint64_t max,
                           const std::string& where) {
  const auto it = object.find(key);
  if (it == object.end()) {
    return 0;
  }
  if (!detail::IsUnsigned(*it) || it->get<std::uint64_t>() > max) {
    throw CommandError(where + ": \"" + key + "\" must be an unsigned integer up to " + std::to_string(max) + ", got " +
                       it->dump());
  }
  return it->get<std::uint64_t>();
}

const FieldInfo& ReadField(const nlohmann::json& object, const std::string& where) {
  const auto it = object.find("field");
  if (it == object.end() || !it->is_string()) {
    throw CommandError(where + ": needs \"field\", the name of a field");
  }
  const FieldInfo* field = FindField(it->get<std::string>());
  if (field == nullptr) {
    throw CommandError(where + ": unknown field " + it->dump());
  }
  return *field;
}

std::optional<Service> ReadService(const nlohmann::json& object, const std::string& where) {
  const auto it = object.find("service");
  if (it == object.end()) {
    return std::nullopt;
  }
  const auto service = it->is_string() ? ServiceFromName(it->get<std::string>()) : std::nullopt;
  if (!service) {
    throw CommandError(
        where + ": \"service\" must be \"ChargingManagementCore\" or \"RouteBasedEnergyContents\", got " + it->dump());
  }
  return service;
}

Command ParseCommandAt(const nlohmann::json& json, const std::string& where, std::set<std::string> extraKeys) {
  if (!json.is_object()) {
    throw CommandError(where + ": expected a JSON object, got " + json.dump());
  }
  const auto name = json.find("command");
  if (name == json.end() || !name->is_string()) {
    throw CommandError(where + ": needs \"command\": notify, answer, offer, stop_offer or quit");
  }
  const std::string kind = name->get<std::string>();
  Command command;
  std::set<std::string> keys{"command"};
  if (kind == "notify") {
    command.kind = Command::Kind::kNotify;
    keys.insert({"field", "value"});
    command.field = &ReadField(json, where);
    const auto value = json.find("value");
    if (value == json.end()) {
      throw CommandError(where + ": notify needs \"value\", an array of elements");
    }
    try {
      command.value = CanonicalValue(*command.field, *value);
    } catch (const ConversionError& e) {
      throw CommandError(where + ": " + e.what());
    }
  } else if (kind == "answer") {
    command.kind = Command::Kind::kAnswer;
    keys.insert({"field", "method", "delay_ms", "return_code", "never"});
    command.field = &ReadField(json, where);
    const auto method = json.find("method");
    if (method != json.end() && *method == "Get") {
      command.method = Method::kGet;
    } else if (method != json.end() && *method == "Set") {
      command.method = Method::kSet;
      if (!command.field->setMethodIndex) {
        throw CommandError(where + ": field " + std::string(command.field->name) + " has no Set");
      }
    } else {
      throw CommandError(where + ": answer needs \"method\": \"Get\" or \"Set\"");
    }
    command.answer.delay =
        std::chrono::milliseconds(ReadUnsigned(json, "delay_ms", std::numeric_limits<std::uint32_t>::max(), where));
    command.answer.returnCode = static_cast<std::uint8_t>(ReadUnsigned(json, "return_code", 0xFF, where));
    if (const auto never = json.find("never"); never != json.end()) {
      if (!never->is_boolean()) {
        throw CommandError(where + ": \"never\" must be true or false, got " + never->dump());
      }
      command.answer.never = never->get<bool>();
    }
  } else if (kind == "offer" || kind == "stop_offer") {
    command.kind = kind == "offer" ? Command::Kind::kOffer : Command::Kind::kStopOffer;
    keys.insert("service");
    command.service = ReadService(json, where);
  } else if (kind == "quit") {
    command.kind = Command::Kind::kQuit;
  } else {
    throw CommandError(where + ": unknown command " + name->dump() +
                       " (commands: notify, answer, offer, stop_offer, quit)");
  }
  keys.merge(extraKeys);
  CheckKeys(json, keys, where);
  return command;
}

}  // namespace

std::string_view MethodName(Method method) {
  return method == Method::kGet ? "Get" : "Set";
}

nlohmann::json CanonicalValue(const FieldInfo& field, const nlohmann::json& value) {
  return field.decode(field.encode(value));
}

Command ParseCommand(const nlohmann::json& json) {
  return ParseCommandAt(json, "command", {});
}

Scenario ParseScenario(const nlohmann::json& json) {
  if (!json.is_object()) {
    throw CommandError("scenario: expected a JSON object");
  }
  CheckKeys(json, {"fields", "answers", "timeline", "loop_ms", "offer_at_start"}, "scenario");
  Scenario scenario;
  if (const auto fields = json.find("fields"); fields != json.end()) {
    if (!fields->is_object()) {
      throw CommandError("scenario.fields: expected an object of field names");
    }
    for (const auto& [name, value] : fields->items()) {
      const FieldInfo* field = FindField(name);
      if (field == nullptr) {
        throw CommandError("scenario.fields: unknown field \"" + name + "\"");
      }
      try {
        scenario.fields[field] = CanonicalValue(*field, value);
      } catch (const ConversionError& e) {
        throw CommandError(std::string("scenario.fields: ") + e.what());
      }
    }
  }
  if (const auto answers = json.find("answers"); answers != json.end()) {
    if (!answers->is_array()) {
      throw CommandError("scenario.answers: expected an array");
    }
    for (std::size_t i = 0; i < answers->size(); ++i) {
      nlohmann::json entry = (*answers)[i];
      if (entry.is_object()) {
        entry["command"] = "answer";
      }
      scenario.answers.push_back(ParseCommandAt(entry, "scenario.answers[" + std::to_string(i) + "]", {}));
    }
  }
  if (const auto timeline = json.find("timeline"); timeline != json.end()) {
    if (!timeline->is_array()) {
      throw CommandError("scenario.timeline: expected an array");
    }
    for (std::size_t i = 0; i < timeline->size(); ++i) {
      const std::string where = "scenario.timeline[" + std::to_string(i) + "]";
      const nlohmann::json& entry = (*timeline)[i];
      TimedCommand timed;
      timed.command = ParseCommandAt(entry, where, {"at_ms"});
      if (!entry.contains("at_ms")) {
        throw CommandError(where + ": needs \"at_ms\", the time after the start");
      }
      timed.at =
          std::chrono::milliseconds(ReadUnsigned(entry, "at_ms", std::numeric_limits<std::uint32_t>::max(), where));
      scenario.timeline.push_back(std::move(timed));
    }
  }
  scenario.loop =
      std::chrono::milliseconds(ReadUnsigned(json, "loop_ms", std::numeric_limits<std::uint32_t>::max(), "scenario"));
  for (const TimedCommand& timed : scenario.timeline) {
    if (scenario.loop.count() > 0 && timed.at >= scenario.loop) {
      throw CommandError("scenario: every timeline entry must come before loop_ms (" +
                         std::to_string(scenario.loop.count()) + ")");
    }
  }
  if (const auto offer = json.find("offer_at_start"); offer != json.end()) {
    if (!offer->is_boolean()) {
      throw CommandError("scenario.offer_at_start: expected true or false");
    }
    scenario.offerAtStart = offer->get<bool>();
  }
  return scenario;
}

Scenario LoadScenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw CommandError("scenario " + path + ": cannot be read");
  }
  std::ostringstream text;
  text << in.rdbuf();
  nlohmann::json json;
  try {
    json = nlohmann::json::parse(text.str());
  } catch (const nlohmann::json::exception& e) {
    throw CommandError("scenario " + path + ": not valid JSON (" + e.what() + ")");
  }
  try {
    return ParseScenario(json);
  } catch (const CommandError& e) {
    throw CommandError(path + ": " + e.what());
  }
}

}  // namespace orik::vehicleSim
