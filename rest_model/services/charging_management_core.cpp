#include "rest_model/services/charging_management_core.h"

#include <string>

#include "rest_model/collections/collection_support.h"
#include "rest_model/descriptions/model_schema.h"

namespace rubo::server::charging_management_core {

// Services carry the all-zero identity; only their paths tell them apart.
ChargingManagementCore::ChargingManagementCore()
    : rubo::ServerService(ara::rest::Uuid(), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::Describe(*this, descriptions::kChargingManagementCoreDescription,
                         descriptions::ChargingManagementCoreServiceDescription());
}

ChargingManagementCore::~ChargingManagementCore() = default;

}  // namespace rubo::server::charging_management_core
