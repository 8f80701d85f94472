#include "rest_model/services/factory_reset.h"

#include <string>

#include "rest_model/collections/collection_support.h"
#include "rest_model/descriptions/model_schema.h"

namespace rubo::server::factory_reset {

// Services carry the all-zero identity; only their paths tell them apart.
FactoryReset::FactoryReset()
    : rubo::ServerService(ara::rest::Uuid(), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::Describe(*this, descriptions::kFactoryResetDescription, descriptions::FactoryResetServiceDescription());
}

FactoryReset::~FactoryReset() = default;

}  // namespace rubo::server::factory_reset
