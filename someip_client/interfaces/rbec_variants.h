#pragma once

#include <memory>
#include <type_traits>
#include <vector>

#include <boost/variant.hpp>

#include "service_types/routebasedenergycontents/datatypes.h"
#include "someip_client/interfaces/field_list.h"
#include "someip_client/interfaces/rbec_fields.h"

namespace orik::routeBasedEnergyContents {

template <typename Element>
using RbecSamplePtrs = std::vector<std::shared_ptr<const std::vector<Element>>>;

// The result of a read. Only the second alternative is ever filled; the first (empty) is the
// answer for a type that is not served.
using RbecGetVariant =
    boost::variant<std::vector<rbecTypes::DT_rwmStatus_struct>, std::vector<rbecTypes::DT_targetSocChargings_struct>>;

// The cached samples of one field; here the used field comes first.
using RbecCachedSamplesVariant = boost::variant<RbecSamplePtrs<rbecTypes::DT_targetSocChargings_struct>,
                                                RbecSamplePtrs<rbecTypes::DT_rwmStatus_struct>>;

static_assert(std::is_same_v<orik::someipClient::AlternativeAt<RbecGetVariant, fields::TargetSocChargings::kGetIndex>,
                             std::vector<fields::TargetSocChargings::Element>>);
static_assert(std::is_same_v<
              orik::someipClient::AlternativeAt<RbecCachedSamplesVariant, fields::TargetSocChargings::kCachedIndex>,
              RbecSamplePtrs<fields::TargetSocChargings::Element>>);

}  // namespace orik::routeBasedEnergyContents
