#include "rest_model/elements/element_support.h"

#include <stdexcept>

namespace rubo::server {

namespace ogm = ara::rest::ogm;

bool AllowRead(std::shared_ptr<rubo::BaseXObject> object, rubo::ServerReply& /*reply*/) {
  object.reset();
  return true;
}

rubo::PreUpdateCallback MakeModelValidator(std::shared_ptr<const ValueList> writable,
                                           const validation::BodyRules& rules) {
  return [writable = std::move(writable), &rules](std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body,
                                                  rubo::ServerReply& reply) {
    object.reset();
    if (const auto refusal = validation::CheckBody(rules, *writable, body)) {
      reply.SendError(std::string(refusal->text), static_cast<std::uint16_t>(refusal->status));
      return false;
    }
    return true;
  };
}

ara::rest::Uri ElementUri(std::string_view pathPrefix, const ara::rest::Uuid& uuid, const ara::rest::Uri& uri) {
  if (!uri.IsEmpty()) {
    return uri;
  }
  const std::string path = std::string(pathPrefix) + uuid.ToString();
  return ara::rest::Uri::Builder(path, ara::rest::GetDefaultAllocator()).ToUri();
}

bool SetListedText(rubo::BaseType& element, const ValueList& list, const std::string& property,
                   const std::string& value) {
  if (!Contains(list, value)) {
    throw std::domain_error("Unsupported type: " + value);
  }
  if (!element.HasField(property)) {
    element.AddField<ogm::String>(property);
  }
  return element.SetFieldValue<ogm::String>(property, value, false);
}

bool SetListedArray(rubo::BaseType& element, const ValueList& itemList, const std::string& property,
                    std::span<const std::string> values) {
  auto array = ogm::Array::Make();
  for (const auto& value : values) {
    if (!Contains(itemList, value)) {
      throw std::domain_error("Unsupported type: " + value);
    }
    array->Append(ogm::String::Make(value));
  }
  if (!element.HasField(property)) {
    element.AddField<ogm::Array>(property);
  }
  return element.SetFieldValue<ogm::Field, ogm::Array>(property, std::move(array));
}

std::string GetTextOrEmpty(const rubo::BaseType& element, const std::string& property) {
  if (!element.HasField(property)) {
    return {};
  }
  return element.GetFieldValue<ogm::String>(property);
}

namespace {

class TextCollector final : public ogm::Visitor {
 public:
  explicit TextCollector(ValueList& texts) : texts_(texts) {}
  void Visit(const ogm::String& item) override { texts_.push_back(item.GetValue()); }

 private:
  ValueList& texts_;
};

}  // namespace

ValueList GetTextItems(const rubo::BaseType& element, const std::string& property) {
  ValueList texts;
  const auto committed = element.GetOGM();
  const auto* field = committed.GetField(property);
  if (field == nullptr) {
    return texts;
  }
  if (const auto* array = ogm::As<ogm::Array>(field->GetValue())) {
    TextCollector collector(texts);
    ogm::Visit(*array, collector);
  }
  return texts;
}

bool LinkProperty(rubo::BaseType& parent, const std::string& property, const rubo::BaseType* child) {
  if (!parent.HasField(property)) {
    parent.AddField<ogm::Object>(property);
  }
  ara::rest::Pointer<ogm::Object> rendering;
  if (child != nullptr) {
    rendering = child->ToOGM();
  }
  return parent.SetFieldValue<ogm::Field, ogm::Object>(property, std::move(rendering));
}

void ExpandLink(ogm::Object& rendering, std::string_view property, const rubo::BaseType* linked) {
  if (linked == nullptr) {
    return;
  }
  if (auto* field = rendering.GetField(property)) {
    field->SetValue(linked->ToOGM());
  }
}

}  // namespace rubo::server
