#pragma once

#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "rubo/base_type.h"

namespace rubo::detail {

// JSON text as ara::rest::serialize::JSONSerializer writes it (the same bytes), appended to
// out: texts are copied in runs between the characters that need an escape.
void AppendJsonString(std::string_view text, std::string& out);
void AppendJsonValue(const ara::rest::ogm::Value& value, std::string& out);

// Appends the rendering of a served object: its identity ("id", "uri", "name", each unless a
// property of that name takes its place), its properties, and for a collection its elements,
// for a service its versions and collections, for the root its services. Objects whose class
// keeps the framework's ToOGM are rendered from their properties under their lock, without a
// copy; the others through their ToOGM.
void AppendRendering(const BaseXObject& object, std::string& out);

// True when the object's class replaces BaseType::ToOGM (so rendering must go through it).
bool RendersThroughToOGM(const BaseType& object) noexcept;

}  // namespace rubo::detail
