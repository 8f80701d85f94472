#include "rubo/detail/request_handler.h"

#include <exception>
#include <functional>

#include "ara/rest/serialize/json_serializer.h"
#include "rubo/detail/logger.h"
#include "rubo/server.h"

namespace rubo::detail {

namespace ogm = ara::rest::ogm;
using ara::rest::Pointer;

namespace {

const char* kBadMessage = "Bad Message";

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// False for a malformed escape.
bool PercentDecode(std::string_view in, std::string& out) {
  out.clear();
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '%') {
      out.push_back(in[i]);
      continue;
    }
    if (i + 2 >= in.size() || HexValue(in[i + 1]) < 0 || HexValue(in[i + 2]) < 0) {
      return false;
    }
    out.push_back(static_cast<char>(HexValue(in[i + 1]) * 16 + HexValue(in[i + 2])));
    i += 2;
  }
  return true;
}

bool HasQueryParameter(std::string_view query, std::string_view name) {
  while (!query.empty()) {
    const auto amp = query.find('&');
    auto item = query.substr(0, amp);
    item = item.substr(0, item.find('='));
    if (item == name) {
      return true;
    }
    if (amp == std::string_view::npos) {
      break;
    }
    query.remove_prefix(amp + 1);
  }
  return false;
}

Response JsonResponse(const ogm::Object& object) {
  Response response;
  ara::rest::serialize::JSONSerializer{}.SerializeTo(object, response.body);
  return response;
}

// Identity first, then the object's rendered fields; a rendered field of the same name as
// an identity field wins.
Pointer<ogm::Object> WithIdentity(const BaseXObject& object, Pointer<ogm::Object> fields) {
  auto out = ogm::Object::Make();
  if (!fields->HasField("id")) {
    out->Insert("id", ogm::String::Make(object.GetUuid().ToString()));
  }
  if (!fields->HasField("uri")) {
    out->Insert("uri", ogm::String::Make(object.GetUri().ToString(false)));
  }
  if (!fields->HasField("name")) {
    out->Insert("name", ogm::String::Make(object.GetName()));
  }
  for (const auto& field : fields->GetFields()) {
    out->Insert(field->GetName(), field->ReleaseValue());
  }
  return out;
}

Pointer<ogm::Object> Reference(const BaseXObject& object) {
  auto out = ogm::Object::Make();
  out->Insert("name", ogm::String::Make(object.GetName()));
  out->Insert("uri", ogm::String::Make(object.GetUri().ToString(false)));
  return out;
}

Pointer<ogm::Object> RenderElement(const ServerElement& element) {
  return WithIdentity(element, element.ToOGM());
}

Pointer<ogm::Object> Render(const BaseXObject& object) {
  switch (object.GetXObjectType()) {
    case kXObjectTypeElement:
      return RenderElement(static_cast<const ServerElement&>(object));
    case kXObjectTypeResource: {
      const auto& resource = static_cast<const ServerResource&>(object);
      auto out = WithIdentity(resource, resource.ToOGM());
      auto elements = ogm::Array::Make();
      // Each element renders under its own lock only, after the snapshot was taken.
      for (const auto& element : resource.GetElements()) {
        elements->Append(RenderElement(*element));
      }
      out->Remove("elements");
      out->Insert("elements", std::move(elements));
      return out;
    }
    case kXObjectTypeService: {
      const auto& service = static_cast<const ServerService&>(object);
      auto out = WithIdentity(service, service.ToOGM());
      auto versions = ogm::Array::Make();
      for (const auto& version : service.GetVersions()) {
        versions->Append(ogm::String::Make(version));
      }
      auto resources = ogm::Array::Make();
      for (const auto& resource : service.GetChildren()) {
        resources->Append(Reference(*resource));
      }
      out->Remove("versions");
      out->Insert("versions", std::move(versions));
      out->Remove("resources");
      out->Insert("resources", std::move(resources));
      return out;
    }
    default: {
      const auto& server = static_cast<const Server&>(object);
      auto out = WithIdentity(server, server.ToOGM());
      auto services = ogm::Array::Make();
      for (const auto& service : server.GetChildren()) {
        services->Append(Reference(*service));
      }
      out->Remove("services");
      out->Insert("services", std::move(services));
      return out;
    }
  }
}

Response FromReply(const ServerReply& reply) {
  if (!reply.IsSent()) {
    return TextResponse(500, "Internal Server Error");
  }
  const auto status = reply.GetStatus();
  if (status < 200 || status > 599) {
    return TextResponse(500, "Internal Server Error");
  }
  return TextResponse(status, reply.GetText());
}

// Applies every property of the body but "id" in one transaction and commits it.
bool ApplyBody(BaseXObject& object, const ogm::Object& body) {
  const auto transaction = object.BeginTransaction();
  try {
    for (const auto& field : body.GetFields()) {
      if (field->GetName() == "id" || !field->HasValue()) {
        continue;
      }
      const ogm::Value& value = *field->GetValue();
      if (value.GetKind() == ogm::Kind::kArray || value.GetKind() == ogm::Kind::kObject) {
        object.SetCompositeNode(field->GetName(), value.Clone());
      } else {
        object.SetScalarNode(field->GetName(), value.Clone(), false);
      }
    }
  } catch (...) {
    object.DropTransaction(transaction);
    throw;
  }
  return object.CommitTransaction(transaction);
}

}  // namespace

Response TextResponse(std::uint16_t status, std::string text) {
  Response response;
  response.status = status;
  response.body = std::move(text);
  response.contentType = "text/plain; charset=utf-8";
  return response;
}

std::mutex& RequestHandler::ApplyMutexFor(const void* object) {
  return applyMutexes_[std::hash<const void*>{}(object) % applyMutexes_.size()];
}

Response RequestHandler::Handle(Method method, std::string_view target, const std::string& body) {
  try {
    return HandleUnchecked(method, target, body);
  } catch (const std::exception& e) {
    FrameworkLogger().LogError() << "[Rubo] Request failed: " << e.what();
  } catch (...) {
    FrameworkLogger().LogError() << "[Rubo] Request failed: unknown exception";
  }
  return TextResponse(500, "Internal Server Error");
}

Response RequestHandler::HandleUnchecked(Method method, std::string_view target, const std::string& body) {
  const auto question = target.find('?');
  const std::string_view rawPath = target.substr(0, question);
  const std::string_view query = question == std::string_view::npos ? std::string_view{} : target.substr(question + 1);
  std::string path;
  if (!PercentDecode(rawPath, path) || path.empty() || path.front() != '/') {
    return TextResponse(400, "Bad Request");
  }
  if (path.size() > 1 && path.back() == '/') {
    path.pop_back();
  }

  std::shared_ptr<BaseXObject> object;
  if (path == "/") {
    // The root may also live outside a shared pointer (then it outlives the transport).
    const auto self = root_.weak_from_this().lock();
    object = self ? std::static_pointer_cast<BaseXObject>(self)
                  : std::shared_ptr<BaseXObject>(std::shared_ptr<BaseXObject>{}, &root_);
  } else {
    object = root_.FindByUriRecursive(path);
  }
  if (!object) {
    return TextResponse(404, "Not Found");
  }
  auto* served = dynamic_cast<ServerXObject*>(object.get());
  const bool isElement = object->GetXObjectType() == kXObjectTypeElement;

  if (method == Method::kGet) {
    if (served != nullptr) {
      if (const auto preGet = served->GetPreGetCallback()) {
        ServerReply reply;
        if (!preGet(object, reply)) {
          return FromReply(reply);
        }
      }
    }
    if (HasQueryParameter(query, "spec")) {
      const auto spec = object->GetSpec();
      if (!spec) {
        return TextResponse(404, "Not Found");
      }
      return JsonResponse(*spec);
    }
    return JsonResponse(*Render(*object));
  }

  const auto preUpdate = served != nullptr && isElement ? served->GetPreUpdateCallback() : PreUpdateCallback{};
  if (method != Method::kPost || !preUpdate) {
    auto response = TextResponse(405, "Method Not Allowed");
    response.allow = preUpdate ? "GET, POST" : "GET";
    return response;
  }

  Pointer<ogm::Object> parsed;
  try {
    parsed = ara::rest::serialize::JSONSerializer{}.Deserialize(body);
  } catch (const ara::rest::serialize::ParseException&) {
    return TextResponse(400, kBadMessage);
  }
  ServerReply reply;
  if (!preUpdate(object, *parsed, reply)) {
    return FromReply(reply);
  }
  {
    std::lock_guard lock(ApplyMutexFor(object.get()));
    if (!ApplyBody(*object, *parsed)) {
      return TextResponse(500, "Internal Server Error");
    }
  }
  return JsonResponse(*Render(*object));
}

}  // namespace rubo::detail
