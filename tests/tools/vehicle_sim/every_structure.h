#pragma once

// The typed suite over every element structure of both services, shared by the test files that
// add cases to it (one fixture type, so that GoogleTest sees one suite).

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "service_types/chargingmanagementcore/datatypes.h"
#include "service_types/routebasedenergycontents/datatypes.h"

namespace orik::vehicleSim::test {

namespace cmc = zrt::services::chargingmanagementcore::datatypes;
namespace rbec = zrt::services::routebasedenergycontents::datatypes;

template <typename Element>
class EveryStructure : public ::testing::Test {};

// The member tables expand to ", Type" each; the leading void takes the first comma.
template <typename Void, typename... Elements>
struct AfterVoid {
  using type = ::testing::Types<Elements...>;
};
#define ORIK_TEST_CMC_TYPE(Name, MEMBERS) , cmc::Name
#define ORIK_TEST_RBEC_TYPE(Name, MEMBERS) , rbec::Name
using Structures =
    AfterVoid<void ORIK_CMC_STRUCTURES(ORIK_TEST_CMC_TYPE) ORIK_RBEC_STRUCTURES(ORIK_TEST_RBEC_TYPE)>::type;

struct StructureName {
  template <typename Element>
  static std::string GetName(int index) {
#define ORIK_TEST_NAME_OF(Namespace, Name)                \
  if constexpr (std::is_same_v<Element, Namespace::Name>) \
    return #Name;
#define ORIK_TEST_CMC_NAME(Name, MEMBERS) ORIK_TEST_NAME_OF(cmc, Name)
#define ORIK_TEST_RBEC_NAME(Name, MEMBERS) ORIK_TEST_NAME_OF(rbec, Name)
    ORIK_CMC_STRUCTURES(ORIK_TEST_CMC_NAME)
    ORIK_RBEC_STRUCTURES(ORIK_TEST_RBEC_NAME)
    return std::to_string(index);
  }
};

}  // namespace orik::vehicleSim::test
