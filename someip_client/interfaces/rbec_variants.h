#pragma once

#include <memory>
#include <vector>

#include <boost/variant.hpp>

#include "service_types/routebasedenergycontents/datatypes.h"

namespace orik::routeBasedEnergyContents {

namespace rbecTypes = zrt::services::routebasedenergycontents::datatypes;

template <typename Element>
using RbecSamplePtrs = std::vector<std::shared_ptr<const std::vector<Element>>>;

// The result of a read. Only the second alternative is ever filled; the first (empty) is the
// answer for a type that is not served.
using RbecGetVariant =
    boost::variant<std::vector<rbecTypes::DT_rwmStatus_struct>, std::vector<rbecTypes::DT_targetSocChargings_struct>>;

// The cached samples of one field; here the used field comes first.
using RbecCachedSamplesVariant = boost::variant<RbecSamplePtrs<rbecTypes::DT_targetSocChargings_struct>,
                                                RbecSamplePtrs<rbecTypes::DT_rwmStatus_struct>>;

}  // namespace orik::routeBasedEnergyContents
