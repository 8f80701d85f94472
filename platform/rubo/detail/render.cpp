#include "rubo/detail/render.h"

#include <array>
#include <cstdint>

#include "rubo/server.h"

namespace rubo::detail {

namespace ogm = ara::rest::ogm;

namespace {

void AppendFieldName(std::string_view name, std::string& out) {
  AppendJsonString(name, out);
  out.push_back(':');
}

// Writes the properties of an object; names in `skip` are left out (the framework writes
// them itself).
void AppendFields(const ogm::Object& fields, std::initializer_list<std::string_view> skip, bool& first,
                  std::string& out) {
  for (const auto& field : fields.GetFields()) {
    const std::string& name = field->GetName();
    bool skipped = false;
    for (const auto s : skip) {
      skipped = skipped || name == s;
    }
    if (skipped) {
      continue;
    }
    if (!first) {
      out.push_back(',');
    }
    first = false;
    AppendFieldName(name, out);
    if (field->HasValue()) {
      AppendJsonValue(*field->GetValue(), out);
    } else {
      out += "null";
    }
  }
}

void AppendIdentity(const BaseXObject& object, const ogm::Object& fields, bool& first, std::string& out) {
  const bool hasId = fields.HasField("id");
  const bool hasUri = fields.HasField("uri");
  const bool hasName = fields.HasField("name");
  if (hasId && hasUri && hasName) {
    return;
  }
  object.ReadIdentity([&](std::string_view id, std::string_view uri, std::string_view name) {
    const auto put = [&](std::string_view key, std::string_view value) {
      if (!first) {
        out.push_back(',');
      }
      first = false;
      AppendFieldName(key, out);
      AppendJsonString(value, out);
    };
    if (!hasId) {
      put("id", id);
    }
    if (!hasUri) {
      put("uri", uri);
    }
    if (!hasName) {
      put("name", name);
    }
  });
}

// Identity and properties, without the closing brace; `skip` as for AppendFields.
void AppendOpenRendering(const BaseXObject& object, std::initializer_list<std::string_view> skip, bool& first,
                         std::string& out) {
  out.push_back('{');
  const auto write = [&](const ogm::Object& fields) {
    AppendIdentity(object, fields, first, out);
    AppendFields(fields, skip, first, out);
  };
  if (object.RendersThroughToOGM()) {
    write(*object.ToOGM());
  } else {
    object.ReadCommitted(write);
  }
}

void AppendReference(const BaseXObject& object, std::string& out) {
  object.ReadIdentity([&out](std::string_view, std::string_view uri, std::string_view name) {
    out += R"({"name":)";
    AppendJsonString(name, out);
    out += R"(,"uri":)";
    AppendJsonString(uri, out);
    out.push_back('}');
  });
}

template <typename Children>
void AppendReferences(std::string_view key, const Children& children, bool& first, std::string& out) {
  if (!first) {
    out.push_back(',');
  }
  first = false;
  AppendFieldName(key, out);
  out.push_back('[');
  bool firstChild = true;
  for (const auto& child : children) {
    if (!firstChild) {
      out.push_back(',');
    }
    firstChild = false;
    AppendReference(*child, out);
  }
  out.push_back(']');
}

// What this thread rendered last of a few elements, each with the revision it shows. A GET of
// an element that did not change since takes none of its locks: the I/O threads that serve
// one element never wait for each other, nor for the vehicle's updates of it.
struct CachedRendering {
  const BaseXObject* object = nullptr;
  std::uint64_t revision = 0;
  std::string text;
};
constexpr std::size_t kCachedRenderings = 64;  // the top 6 bits of a hash

CachedRendering& CacheSlot(const BaseXObject& object) {
  thread_local std::array<CachedRendering, kCachedRenderings> cache;
  // Fibonacci hashing: objects lie a few hundred bytes apart, their low bits say little.
  const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&object));
  return cache[(address * 0x9E3779B97F4A7C15ULL) >> 58];
}

void AppendElement(const BaseXObject& object, std::string& out) {
  const auto render = [&] {
    bool first = true;
    AppendOpenRendering(object, {}, first, out);
    out.push_back('}');
  };
  if (object.RendersThroughToOGM()) {
    render();  // its class decides what it shows: nothing tells when that changes
    return;
  }
  CachedRendering& cached = CacheSlot(object);
  const auto revision = object.GetRevision();
  if (cached.object == &object && cached.revision == revision) {
    out += cached.text;
    return;
  }
  const auto start = out.size();
  render();
  // A change made while rendering may or may not show: such a rendering is not kept.
  if (object.GetRevision() == revision) {
    cached.object = &object;
    cached.revision = revision;
    cached.text.assign(out, start);
  }
}

}  // namespace

void AppendRendering(const BaseXObject& object, std::string& out) {
  bool first = true;
  switch (object.GetXObjectType()) {
    case kXObjectTypeElement:
      AppendElement(object, out);
      return;
    case kXObjectTypeResource: {
      const auto& resource = static_cast<const ServerResource&>(object);
      AppendOpenRendering(resource, {"elements"}, first, out);
      if (!first) {
        out.push_back(',');
      }
      first = false;
      AppendFieldName("elements", out);
      out.push_back('[');
      // Each element renders under its own lock only, after the collection's was released.
      bool firstElement = true;
      for (const auto& element : resource.GetElements()) {
        if (!firstElement) {
          out.push_back(',');
        }
        firstElement = false;
        AppendRendering(*element, out);
      }
      out.push_back(']');
      break;
    }
    case kXObjectTypeService: {
      const auto& service = static_cast<const ServerService&>(object);
      AppendOpenRendering(service, {"versions", "resources"}, first, out);
      if (!first) {
        out.push_back(',');
      }
      first = false;
      AppendFieldName("versions", out);
      out.push_back('[');
      bool firstVersion = true;
      for (const auto& version : service.GetVersions()) {
        if (!firstVersion) {
          out.push_back(',');
        }
        firstVersion = false;
        AppendJsonString(version, out);
      }
      out.push_back(']');
      AppendReferences("resources", service.GetChildren(), first, out);
      break;
    }
    default: {
      const auto& server = static_cast<const Server&>(object);
      AppendOpenRendering(server, {"services"}, first, out);
      AppendReferences("services", server.GetChildren(), first, out);
      break;
    }
  }
  out.push_back('}');
}

}  // namespace rubo::detail
