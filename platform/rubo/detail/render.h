#pragma once

#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/serialize/json_serializer.h"
#include "rubo/base_type.h"

namespace rubo::detail {

// JSON text exactly as ara::rest::serialize::JSONSerializer writes it.
using ara::rest::serialize::AppendJsonString;
using ara::rest::serialize::AppendJsonValue;

// Appends the rendering of a served object: its identity ("id", "uri", "name", each unless a
// property of that name takes its place), its properties, and for a collection its elements,
// for a service its versions and collections, for the root its services. Objects whose class
// keeps the framework's ToOGM (BaseType::RendersThroughToOGM) are rendered from their
// properties under their lock, without a copy; the others through their ToOGM.
void AppendRendering(const BaseXObject& object, std::string& out);

}  // namespace rubo::detail
