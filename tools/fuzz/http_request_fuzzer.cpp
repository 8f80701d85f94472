// Feeds arbitrary bytes to one connection of the REST framework's HTTP server: parsing,
// routing, the hooks of a small REST tree, JSON in and out, and the responses, without
// sockets. Nothing may escape as an exception or crash; every response must be well-formed
// (status line, Content-Length matching the body written); and the connection must answer
// the same whether the bytes arrive at once or a few at a time. The input is also taken as a
// JSON body: one that is accepted must never be accepted with a NUL and more bytes after it
// (by the reader, nor as a POST), since its meaning would depend on where a parser stops.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "ara/log/logging.h"
#include "ara/rest/allocator.h"
#include "ara/rest/serialize/json_serializer.h"
#include "rubo/detail/http_connection.h"
#include "rubo/detail/request_handler.h"
#include "rubo/server.h"

namespace {

namespace ogm = ara::rest::ogm;
using ara::rest::MakeSharedPointer;
using ara::rest::Uri;
using ara::rest::Uuid;
using rubo::detail::HttpConnection;

[[noreturn]] void Fail() {
  std::abort();
}

// Writable properties of the "value" element and what they must hold, as a model's default
// validator checks them.
bool Validate(const ogm::Object& body, rubo::ServerReply& reply) {
  for (const auto& field : body.GetFields()) {
    const auto& name = field->GetName();
    if (name != "currentValue" && name != "mode" && name != "id") {
      reply.SendError("Conflict: not allowed parameter(s) included", 409);
      return false;
    }
    if (name == "currentValue") {
      const auto* value = ogm::As<ogm::Int>(field->GetValue());
      if (value == nullptr) {
        reply.SendError("Bad Message", 400);
        return false;
      }
      if (value->GetValue() < 0 || value->GetValue() > 100) {
        reply.SendError("Bad Request: value not in allowed range", 400);
        return false;
      }
    }
    if (name == "mode" && ogm::As<ogm::String>(field->GetValue()) == nullptr) {
      reply.SendError("Bad Message", 400);
      return false;
    }
  }
  return true;
}

struct Tree {
  Tree() {
    server = std::make_shared<rubo::Server>("fuzz", "/nonexistent/fuzz.json");
    auto service = MakeSharedPointer<rubo::ServerService>(Uuid{}, Uri::Builder("/Svc").ToUri(), "Svc");
    service->AddVersion("1.0");
    auto spec = ogm::Object::Make();
    spec->Insert("name", ogm::String::Make("Svc"));
    service->SetSpec(std::move(spec));
    auto items = MakeSharedPointer<rubo::ServerResource>(Uuid::MakeV5("/Svc/items"), Uri::Builder("/Svc/items").ToUri(),
                                                         "items");
    items->SetDescription("Items");
    service->Add(items);
    const auto add = [&](const char* name) {
      auto element =
          items->MakeElement(Uuid::MakeV5(name), Uri::Builder(std::string("/Svc/items/") + name).ToUri(), name);
      items->Add(element);
      return element;
    };
    auto value = add("value");
    value->AddField<ogm::Int>("currentValue");
    value->AddField<ogm::String>("mode");
    value->SetFieldValue<ogm::String>("mode", "off", false);
    value->SetPreUpdateCallback(
        [](auto, const ogm::Object& body, rubo::ServerReply& reply) { return Validate(body, reply); });
    auto reset = add("reset");
    reset->AddField<ogm::Bool>("isFactoryDefault");
    reset->SetPreUpdateCallback([](auto, const ogm::Object&, rubo::ServerReply& reply) {
      reply.SendError("Accepted", 202);
      return false;
    });
    auto failing = add("failing");
    failing->SetPreUpdateCallback([](auto, const ogm::Object& body, rubo::ServerReply&) -> bool {
      if (body.HasField("throw")) {
        throw std::runtime_error("hook failed");
      }
      return false;  // and no reply
    });
    auto guarded = add("guarded");
    guarded->SetPreGetCallback([](auto, rubo::ServerReply& reply) {
      reply.SendError("Not now", 409);
      return false;
    });
    add("plain");
    server->Add(service);
  }

  std::shared_ptr<rubo::Server> server;
};

rubo::detail::Limits FuzzLimits() {
  rubo::detail::Limits limits;
  limits.maxHeaderBytes = 2048;
  limits.maxHeaderFields = 32;
  limits.maxBodyBytes = 1024;
  limits.maxChunkLineBytes = 64;
  return limits;
}

// Checks one response as the connection would write it.
void CheckResponse(std::string_view head, std::string_view body) {
  if (head.substr(0, 9) != "HTTP/1.1 " || head.size() < 16 || head.substr(head.size() - 4) != "\r\n\r\n") {
    Fail();
  }
  if (head.substr(9, 3) == "100") {
    if (head != "HTTP/1.1 100 Continue\r\n\r\n" || !body.empty()) {
      Fail();
    }
    return;
  }
  const auto at = head.find("\r\nContent-Length: ");
  if (at == std::string_view::npos) {
    if (!body.empty()) {
      Fail();
    }
    return;
  }
  const auto digits = head.substr(at + 18, head.find("\r\n", at + 18) - (at + 18));
  std::size_t length = 0;
  for (const char c : digits) {
    length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  // A HEAD gets the length without the body.
  if (!body.empty() && body.size() != length) {
    Fail();
  }
}

// Runs the bytes through a fresh tree and connection, `step` bytes per read; returns every
// byte written but interim responses.
std::string Run(std::string_view input, std::size_t step) {
  Tree tree;
  const auto limits = FuzzLimits();
  rubo::detail::RequestHandler handler(*tree.server);
  const std::atomic<bool> stopping{false};
  HttpConnection connection(limits, handler, stopping);
  std::string written;
  auto action = connection.Process();
  // Every turn either consumes input or ends a request; the bound only guards the harness.
  for (int turns = 0; turns < 100'000; ++turns) {
    switch (action) {
      case HttpConnection::Action::kRead: {
        if (input.empty()) {
          return written;
        }
        char* area = connection.ReadArea();
        const auto size = std::min({step, input.size(), connection.ReadAreaSize()});
        std::copy_n(input.data(), size, area);
        input.remove_prefix(size);
        connection.Received(size);
        action = connection.Process();
        break;
      }
      case HttpConnection::Action::kWrite:
        CheckResponse(connection.Head(), connection.Body());
        // Whether a client is asked to continue depends on whether its body arrived already.
        if (connection.Head().substr(9, 3) != "100") {
          written.append(connection.Head());
          written.append(connection.Body());
        }
        action = connection.Written();
        break;
      case HttpConnection::Action::kUpdate:
        connection.Handler().RunUpdate(connection.Update(), connection.Output());
        action = connection.UpdateDone();
        break;
      case HttpConnection::Action::kClose:
        return written;
    }
  }
  Fail();
}

std::string PostOf(std::string_view body) {
  return "POST /Svc/items/value HTTP/1.1\r\nHost: gw\r\nContent-Type: application/json\r\nContent-Length: " +
         std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + std::string(body);
}

bool Accepted(std::string_view json) {
  try {
    ara::rest::serialize::JSONSerializer{}.Deserialize(json);
    return true;
  } catch (const ara::rest::serialize::ParseException&) {
    return false;
  }
}

void CheckNothingAfterNul(std::string_view input) {
  if (!Accepted(input)) {
    return;
  }
  std::string extended(input);
  extended.push_back('\0');
  extended.append(input.substr(0, 16));
  if (Accepted(extended)) {
    Fail();
  }
  constexpr std::string_view kOk = "HTTP/1.1 200";
  if (Run(PostOf(input), HttpConnection::kReadSize).substr(0, kOk.size()) == kOk &&
      Run(PostOf(extended), HttpConnection::kReadSize).substr(0, 12) != "HTTP/1.1 400") {
    Fail();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ara::log::SetConsoleEnabled(false);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto whole = Run(input, rubo::detail::HttpConnection::kReadSize);
  if (Run(input, 7) != whole || Run(input, 1) != whole) {
    Fail();
  }
  CheckNothingAfterNul(input);
  return 0;
}
