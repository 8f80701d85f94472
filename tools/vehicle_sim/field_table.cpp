#include "tools/vehicle_sim/field_table.h"

#include <array>

#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_common.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_common.h"
#include "tools/vehicle_sim/element_json.h"

namespace orik::vehicleSim {

namespace {

template <typename Element>
std::string_view IdentityMember() {
  for (const std::string_view candidate : {"type", "chargeModesType", "statisicsType", "elementId"}) {
    for (const std::string_view name : MemberNames<Element>::kNames) {
      if (name == candidate) {
        return candidate;
      }
    }
  }
  return {};
}

// The coding of both sides is compiled elsewhere once per structure: the TLV coding with the
// services' proxies (Codec), the JSON form in element_json_cmc.cpp and element_json.cpp.
template <template <typename> typename Codec, typename Element>
FieldInfo MakeField(Service service, std::string_view name, std::size_t eventIndex, std::size_t getIndex,
                    std::optional<std::size_t> setIndex) {
  FieldInfo info{service, name, eventIndex, getIndex, setIndex, IdentityMember<Element>(), {}, {}};
  info.encode = [name](const nlohmann::json& value) {
    return Codec<Element>::Encode(FieldFromJson<Element>(value, name));
  };
  info.decode = [](const std::vector<std::uint8_t>& payload) { return FieldToJson(Codec<Element>::Decode(payload)); };
  return info;
}

#define ORIK_SIM_SETTER_NONE std::nullopt
#define ORIK_SIM_SETTER_SET(index) std::optional<std::size_t>(index)
#define ORIK_SIM_CMC_FIELD(field, element, eventIndex, getIndex, setter)  \
  MakeField<::zrt::services::chargingmanagementcore::FieldCodec,          \
            ::zrt::services::chargingmanagementcore::datatypes::element>( \
      Service::kChargingManagementCore, #field, eventIndex, getIndex, ORIK_SIM_SETTER_##setter),
#define ORIK_SIM_RBEC_FIELD(field, element, eventIndex, getIndex, setter)   \
  MakeField<::zrt::services::routebasedenergycontents::FieldCodec,          \
            ::zrt::services::routebasedenergycontents::datatypes::element>( \
      Service::kRouteBasedEnergyContents, #field, eventIndex, getIndex, ORIK_SIM_SETTER_##setter),

const std::vector<FieldInfo>& Table() {
  static const std::vector<FieldInfo> table{ORIK_CMC_PROXY_FIELDS(ORIK_SIM_CMC_FIELD)
                                                ORIK_RBEC_PROXY_FIELDS(ORIK_SIM_RBEC_FIELD)};
  return table;
}

}  // namespace

std::string_view ServiceName(Service service) {
  return service == Service::kChargingManagementCore ? "ChargingManagementCore" : "RouteBasedEnergyContents";
}

std::optional<Service> ServiceFromName(std::string_view name) {
  for (const Service service : {Service::kChargingManagementCore, Service::kRouteBasedEnergyContents}) {
    if (ServiceName(service) == name) {
      return service;
    }
  }
  return std::nullopt;
}

std::span<const FieldInfo> Fields() {
  return Table();
}

const FieldInfo* FindField(std::string_view name) {
  for (const FieldInfo& field : Table()) {
    if (field.name == name) {
      return &field;
    }
  }
  return nullptr;
}

}  // namespace orik::vehicleSim
