#include "rest_model/collections/collection_support.h"

#include "ara/rest/serialize/json_serializer.h"
#include "rest_model/descriptions/model_schema.h"
#include "rest_model/elements/element_support.h"

namespace rubo::server {

ara::rest::Uri PathUri(std::string_view path) {
  return ara::rest::Uri::Builder(path, ara::rest::GetDefaultAllocator()).ToUri();
}

void Describe(rubo::ServerXObject& object, std::string_view description, const std::string& json) {
  const std::string field = "description";
  if (!object.HasField(field)) {
    object.AddField<ara::rest::ogm::String>(field);
  }
  object.SetFieldValue<ara::rest::ogm::String>(field, std::string(description), false);
  object.SetSpec(ara::rest::serialize::JSONSerializer().Deserialize(json));
}

void DescribeCollection(rubo::ServerResource& collection, std::string_view name) {
  Describe(collection, descriptions::FindCollection(name).description, descriptions::CollectionDescription(name));
  collection.SetPreGetCallback(AllowRead);
}

}  // namespace rubo::server
