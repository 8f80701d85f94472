#include "rubo/detail/request_handler.h"

#include <exception>

#include "ara/rest/serialize/json_serializer.h"
#include "rubo/detail/logger.h"
#include "rubo/detail/render.h"
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

void FromReply(const ServerReply& reply, Response& response) {
  if (!reply.IsSent()) {
    response.SetText(500, "Internal Server Error");
    return;
  }
  const auto status = reply.GetStatus();
  if (status < 200 || status > 599) {
    response.SetText(500, "Internal Server Error");
    return;
  }
  response.SetText(status, reply.GetText());
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

const char* AllowFor(bool writable) {
  return writable ? "GET, HEAD, POST" : "GET, HEAD";
}

void MethodNotAllowed(bool writable, Response& response) {
  response.SetText(405, "Method Not Allowed");
  response.allow = AllowFor(writable);
}

void Failed(Response& response, const char* what) {
  RequestLog::Error(std::string("[Rubo] Request failed: ") + what);
  response.SetText(500, "Internal Server Error");
}

void UnsupportedMediaType(Response& response) {
  response.SetText(415, "Unsupported Media Type");
  response.acceptPost = true;
}

}  // namespace

bool IsJsonMediaType(std::string_view contentType) noexcept {
  auto type = contentType.substr(0, contentType.find(';'));
  while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) {
    type.remove_suffix(1);
  }
  constexpr std::string_view kApplication = "application/";
  constexpr std::string_view kSuffix = "+json";
  if (type.size() <= kApplication.size() || !EqualsNoCase(type.substr(0, kApplication.size()), kApplication)) {
    return false;
  }
  const auto subtype = type.substr(kApplication.size());
  if (subtype.find_first_of(" \t/") != std::string_view::npos) {
    return false;
  }
  return EqualsNoCase(subtype, "json") ||
         (subtype.size() > kSuffix.size() && EqualsNoCase(subtype.substr(subtype.size() - kSuffix.size()), kSuffix));
}

bool RequestHandler::RefusePost(const ParsedRequest& request, const BaseXObject& object, PreUpdateCallback& preUpdate,
                                Response& response) {
  const auto* served = dynamic_cast<const ServerXObject*>(&object);
  preUpdate = served != nullptr && object.GetXObjectType() == kXObjectTypeElement ? served->GetPreUpdateCallback()
                                                                                  : PreUpdateCallback{};
  if (request.method != Method::kPost || !preUpdate) {
    MethodNotAllowed(static_cast<bool>(preUpdate), response);
    return true;
  }
  if (!IsJsonMediaType(request.contentType)) {
    UnsupportedMediaType(response);
    return true;
  }
  return false;
}

std::shared_ptr<BaseXObject> RequestHandler::Route(std::string_view target, std::string_view& query,
                                                   Response& response) {
  const auto question = target.find('?');
  const std::string_view rawPath = target.substr(0, question);
  query = question == std::string_view::npos ? std::string_view{} : target.substr(question + 1);
  thread_local std::string path;
  // Origin form is 1*( "/" segment ): a target that does not begin with one (an encoded "%2F"
  // say) names nothing, however it decodes, lest a filter on a path prefix be passed by.
  if (rawPath.empty() || rawPath.front() != '/' || !PercentDecode(rawPath, path)) {
    response.SetText(400, "Bad Request");
    return nullptr;
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
    object = routes_.Find(path);
  }
  if (!object) {
    response.SetText(404, "Not Found");
  }
  return object;
}

bool RequestHandler::Handle(const ParsedRequest& request, Response& response, PendingUpdate& update) noexcept {
  try {
    return HandleUnchecked(request, response, update);
  } catch (const std::exception& e) {
    update.Clear();
    Failed(response, e.what());
  } catch (...) {
    update.Clear();
    Failed(response, "unknown exception");
  }
  return true;
}

bool RequestHandler::HandleUnchecked(const ParsedRequest& request, Response& response, PendingUpdate& update) {
  const Method method = request.method;
  std::string_view query;
  const auto object = Route(request.target, query, response);
  if (!object) {
    return true;
  }
  if (method == Method::kGet || method == Method::kHead) {
    if (auto* served = dynamic_cast<ServerXObject*>(object.get()); served != nullptr) {
      if (const auto preGet = served->GetPreGetCallback()) {
        ServerReply reply;
        if (!preGet(object, reply)) {
          FromReply(reply, response);
          return true;
        }
      }
    }
    response.status = 200;
    response.contentType = kJsonContentType;
    if (HasQueryParameter(query, "spec")) {
      object->ReadSpec([&response](const ogm::Object* spec) {
        if (spec == nullptr) {
          response.SetText(404, "Not Found");
        } else {
          AppendJsonValue(*spec, response.body);
        }
      });
      return true;
    }
    AppendRendering(*object, response.body);
    return true;
  }

  PreUpdateCallback preUpdate;
  if (RefusePost(request, *object, preUpdate, response)) {
    return true;
  }
  Pointer<ogm::Object> parsed;
  try {
    parsed = ara::rest::serialize::JSONSerializer{}.Deserialize(request.body);
  } catch (const ara::rest::serialize::ParseException&) {
    response.SetText(400, kBadMessage);
    return true;
  }
  update.object = object;
  update.hook = std::move(preUpdate);
  update.body = std::move(parsed);
  return false;
}

bool RequestHandler::Refuse(const ParsedRequest& request, Response& response) noexcept {
  try {
    std::string_view query;
    const auto object = Route(request.target, query, response);
    if (!object) {
      return true;
    }
    if (request.method == Method::kGet || request.method == Method::kHead) {
      return false;
    }
    PreUpdateCallback preUpdate;
    return RefusePost(request, *object, preUpdate, response);
  } catch (const std::exception& e) {
    Failed(response, e.what());
  } catch (...) {
    Failed(response, "unknown exception");
  }
  return true;
}

void RequestHandler::RunUpdate(PendingUpdate& update, Response& response) noexcept {
  try {
    RunUpdateUnchecked(update, response);
  } catch (const std::exception& e) {
    Failed(response, e.what());
  } catch (...) {
    Failed(response, "unknown exception");
  }
  update.Clear();
}

void RequestHandler::RunUpdateUnchecked(PendingUpdate& update, Response& response) {
  ServerReply reply;
  if (!update.hook(update.object, *update.body, reply)) {
    FromReply(reply, response);
    return;
  }
  if (!ApplyBody(*update.object, *update.body)) {
    response.SetText(500, "Internal Server Error");
    return;
  }
  response.status = 200;
  response.contentType = kJsonContentType;
  response.body.clear();
  AppendRendering(*update.object, response.body);
}

}  // namespace rubo::detail
