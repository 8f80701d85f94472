#pragma once

#include <memory>
#include <type_traits>
#include <vector>

#include <boost/variant.hpp>

#include "service_types/chargingmanagementcore/datatypes.h"
#include "someip_client/interfaces/cmc_fields.h"
#include "someip_client/interfaces/field_list.h"

// The three variants in which ChargingManagementCore field values cross the wrapper interface,
// expanded from the field records. The order of the alternatives is part of the interface: a
// default-constructed variant holds the first (the chargingPlugs alternative, empty), which is
// the answer for a type that is not served.
namespace orik::chargingManagementCoreListener {

// One received field value as the middleware's sample cache hands it out.
template <typename Element>
using CmcSamplePtrs = std::vector<std::shared_ptr<const std::vector<Element>>>;

namespace fields {
template <typename F>
using ElementOf = typename F::Element;
template <typename F>
using ElementsOf = std::vector<typename F::Element>;
template <typename F>
using SamplesOf = CmcSamplePtrs<typename F::Element>;
}  // namespace fields

// The argument of a write: one element structure; alternative i is the field of resource type i.
using CmcSetVariant =
    orik::someipClient::VariantOver<orik::someipClient::OrderedBy<fields::All, fields::BySetIndex>, fields::ElementOf>;

// The result of a read: resource types 0 to 11 in value order, then 14, 15, 16.
using CmcGetVariant =
    orik::someipClient::VariantOver<orik::someipClient::OrderedBy<fields::All, fields::ByGetIndex>, fields::ElementsOf>;

// The cached notification samples of one field, in list order: resource types 0 to 11 in value
// order, then 15, 16, 14 (not the order of CmcGetVariant).
using CmcCachedSamplesVariant = orik::someipClient::VariantOver<fields::All, fields::SamplesOf>;

namespace fields {

// Every field's index names its own structure in each variant, and the indices are those the
// interface fixes: a write's alternative is its resource type, a read's follows the resource
// types in value order.
inline constexpr bool kVariantIndicesMatch = orik::someipClient::AllFields(All{}, []<typename F>() {
  constexpr int kResource = static_cast<int>(F::kResource);
  constexpr int kRankByResource = [] {
    int rank = 0;
    orik::someipClient::ForEachField(
        All{}, [&rank]<typename Other>() { rank += static_cast<int>(Other::kResource) < kResource ? 1 : 0; });
    return rank;
  }();
  bool matches = std::is_same_v<orik::someipClient::AlternativeAt<CmcGetVariant, F::kGetIndex>, ElementsOf<F>> &&
                 F::kGetIndex == kRankByResource;
  if constexpr (F::kSetIndex != kNotInSetVariant) {
    matches = matches && std::is_same_v<orik::someipClient::AlternativeAt<CmcSetVariant, F::kSetIndex>, ElementOf<F>> &&
              F::kSetIndex == kResource;
  }
  return matches;
});
static_assert(kVariantIndicesMatch, "a field's variant index does not match its resource type or structure");
// A written field is one of CmcSetVariant's alternatives.
static_assert(AllFields(All{}, []<typename F>() { return !F::kWritable || F::kSetIndex != kNotInSetVariant; }));
static_assert(std::is_same_v<orik::someipClient::AlternativeAt<CmcCachedSamplesVariant, 0>, SamplesOf<ChargingPlugs>>);

}  // namespace fields

}  // namespace orik::chargingManagementCoreListener
