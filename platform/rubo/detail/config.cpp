#include "rubo/detail/config.h"

#include <boost/asio/ip/address.hpp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ara/rest/serialize/json_serializer.h"
#include "rubo/server.h"

namespace rubo::detail {

namespace ogm = ara::rest::ogm;

namespace {

[[noreturn]] void Invalid(const std::string& path, const std::string& why) {
  throw std::runtime_error("Invalid server configuration '" + path + "': " + why);
}

}  // namespace

std::string ConfigPathFor(const std::string& givenPath) {
  const char* overridden = std::getenv(kConfigEnvironmentVariable);
  return overridden != nullptr && *overridden != '\0' ? std::string(overridden) : givenPath;
}

HttpConfig LoadConfig(const std::string& path) {
  HttpConfig config{kDefaultAddress, kDefaultPort};
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) {
    return config;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf())) {
    Invalid(path, "cannot be read");
  }
  ara::rest::Pointer<ogm::Object> root;
  try {
    root = ara::rest::serialize::JSONSerializer{}.Deserialize(text.str());
  } catch (const std::exception& e) {
    Invalid(path, e.what());
  }
  for (const auto& field : root->GetFields()) {
    const std::string& name = field->GetName();
    if (name == "address") {
      const auto* address = ogm::As<ogm::String>(field->GetValue());
      if (address == nullptr) {
        Invalid(path, "\"address\" must be a string");
      }
      boost::system::error_code parseError;
      boost::asio::ip::make_address(address->GetValue(), parseError);
      if (parseError) {
        Invalid(path, "\"address\" is not an IP address: " + address->GetValue());
      }
      config.address = address->GetValue();
    } else if (name == "port") {
      const auto* port = ogm::As<ogm::Int>(field->GetValue());
      if (port == nullptr || port->GetValue() < 0 || port->GetValue() > 65535) {
        Invalid(path, "\"port\" must be an integer from 0 to 65535");
      }
      config.port = static_cast<std::uint16_t>(port->GetValue());
    } else {
      Invalid(path, "unknown key \"" + name + "\"");
    }
  }
  return config;
}

}  // namespace rubo::detail
