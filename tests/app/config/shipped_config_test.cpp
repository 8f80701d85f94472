#include <gtest/gtest.h>

#include "ara/com/deployment.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_common.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_common.h"

namespace {

using ara::com::DeploymentOverrides;
namespace cmc = zrt::services::chargingmanagementcore;
namespace rbec = zrt::services::routebasedenergycontents;

// The installed deployment file shows an integrator every key to set, and as shipped it changes
// nothing: each value it names is the built-in one.
TEST(ShippedDeployment, NamesBothServicesAndRestatesTheBuiltInValues) {
  const auto file = DeploymentOverrides::Load(ORIK_COM_DEPLOYMENT_FILE);
  const DeploymentOverrides builtIn;
  const auto& network = file.Network();
  EXPECT_EQ(network.unicast, builtIn.Network().unicast);
  EXPECT_EQ(network.sdMulticast, builtIn.Network().sdMulticast);
  EXPECT_EQ(network.sdPort, builtIn.Network().sdPort);
  EXPECT_EQ(network.services.size(), 2u);

  const auto expectBuiltIn = [&](const ara::com::ServiceDeployment& defaults,
                                 ara::com::ServiceInterfaceDescription description) {
    SCOPED_TRACE(defaults.interfaceName);
    ASSERT_TRUE(network.services.contains(defaults.interfaceName));
    const auto applied = file.Apply(defaults, description);
    EXPECT_EQ(applied.serviceId, defaults.serviceId);
    EXPECT_EQ(applied.methodIds, defaults.methodIds);
    const auto shipped = network.For(defaults.interfaceName);
    const auto fallback = builtIn.Network().For(defaults.interfaceName);
    EXPECT_EQ(shipped.instanceId, fallback.instanceId);
    EXPECT_EQ(shipped.majorVersion, fallback.majorVersion);
    EXPECT_EQ(shipped.minorVersion, fallback.minorVersion);
    EXPECT_EQ(shipped.udpPort, fallback.udpPort);
    EXPECT_EQ(shipped.tcpPort, fallback.tcpPort);
  };
  expectBuiltIn(cmc::ChargingManagementCore::DefaultDeployment(), cmc::ChargingManagementCore::kDescription);
  expectBuiltIn(rbec::RouteBasedEnergyContents::DefaultDeployment(), rbec::RouteBasedEnergyContents::kDescription);
}

}  // namespace
