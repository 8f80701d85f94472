#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/find_service.h"
#include "ara/com/provider.h"
#include "ara/com/runtime.h"
#include "ara/com/transport/local_bus.h"
#include "ara/log/logging.h"
#include "test_service.h"

namespace comtest {
namespace {

using ara::com::DeploymentOverrides;

// A second interface the file may name, that no proxy here uses.
[[maybe_unused]] const bool kOtherRegistered = ara::com::RegisterServiceInterface("other::Service");

TEST(DeploymentTest, OverridesReplaceOnlyWhatTheyName) {
  const auto overrides = DeploymentOverrides::Parse(R"({"services": [
      {"interface": "comtest::TestService", "service_id": 4660,
       "methods": [7, 8, 9]},
      {"interface": "other::Service", "service_id": 1}]})",
                                                    "test");
  const auto d = overrides.Apply(TestService::DefaultDeployment(), TestService::kDescription);
  EXPECT_EQ(d.serviceId, 4660);
  EXPECT_EQ(d.methodIds, (std::vector<std::uint16_t>{7, 8, 9}));
  EXPECT_EQ(d.Event(1).eventId, 0x8002);  // kept
  EXPECT_EQ(d.Event(1).eventgroupId, 2);
  EXPECT_EQ(d.EventIndexOf(0x8001), 0u);
  EXPECT_THROW(d.Event(2), std::out_of_range);
  EXPECT_THROW(d.MethodId(3), std::out_of_range);
}

TEST(DeploymentTest, BadDocumentsAreRefusedWithTheirReason) {
  struct Case {
    const char* json;
    const char* reason;
  };
  const Case cases[] = {
      {"{", "not valid JSON"},
      {"[]", "\"services\" array"},
      {R"({"services": [{"service_id": 1}]})", "needs an \"interface\""},
      {R"({"services": [{"interface": "other::Service", "service_id": 65536}]})", "0 to 65535"},
      {R"({"services": [{"interface": "other::Service", "service_id": -1}]})", "0 to 65535"},
      {R"({"services": [{"interface": "other::Service", "events": [{"event_id": 1}]}]})", "eventgroup_id"},
      {R"({"services": [{"interface": "other::Service", "methods": ["1"]}]})", "methods[0]"},
      {R"({"services": [{"interface": "other::Service"}, {"interface": "other::Service"}]})", "repeats"},
  };
  for (const auto& c : cases) {
    try {
      DeploymentOverrides::Parse(c.json, "test");
      ADD_FAILURE() << c.json;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
}

TEST(DeploymentTest, ListsMustFitTheInterface) {
  const auto overrides =
      DeploymentOverrides::Parse(R"({"services": [{"interface": "comtest::TestService", "methods": [1, 2]}]})", "t");
  EXPECT_THROW(overrides.Apply(TestService::DefaultDeployment(), TestService::kDescription), std::runtime_error);
}

TEST(DeploymentTest, TheEnvironmentNamesTheFile) {
  const auto path = std::filesystem::temp_directory_path() / "orik_com_deployment_test.json";
  {
    std::ofstream out(path);
    out << R"({"services": [{"interface": "comtest::TestService", "service_id": 99}]})";
  }
  ::setenv(ara::com::kDeploymentEnvironmentVariable, path.c_str(), 1);
  const auto fromFile = DeploymentOverrides::FromEnvironment();
  ::setenv(ara::com::kDeploymentEnvironmentVariable, "/nonexistent/orik.json", 1);
  EXPECT_THROW(DeploymentOverrides::FromEnvironment(), std::runtime_error);
  ::unsetenv(ara::com::kDeploymentEnvironmentVariable);
  std::filesystem::remove(path);
  EXPECT_EQ(fromFile.Apply(TestService::DefaultDeployment(), TestService::kDescription).serviceId, 99);
  EXPECT_EQ(DeploymentOverrides::FromEnvironment()
                .Apply(TestService::DefaultDeployment(), TestService::kDescription)
                .serviceId,
            0x7001);
}

TEST(DeploymentTest, TheNetworkHasItsDefaultsWithoutAFile) {
  const ara::com::NetworkConfig config = DeploymentOverrides().Network();
  EXPECT_EQ(config.unicast, "127.0.0.1");
  EXPECT_EQ(config.sdMulticast, "224.244.224.245");
  EXPECT_EQ(config.sdPort, 30490);
  EXPECT_EQ(config.EffectiveClientId(), 1);
  EXPECT_EQ(config.requestTimeout.count(), 0);
  const auto service = config.For("comtest::TestService");
  EXPECT_EQ(service.instanceId, 0xFFFF);
  EXPECT_EQ(service.majorVersion, 1);
  EXPECT_EQ(service.udpPort, 0);
  EXPECT_EQ(service.tcpPort, 0);
  EXPECT_EQ(service.methods, ara::com::Carrier::kTcp);
  EXPECT_EQ(service.events, ara::com::Carrier::kUdp);
}

TEST(DeploymentTest, TheNetworkKeysConfigureAddressesTimingsAndServices) {
  const auto overrides = DeploymentOverrides::Parse(R"({
      "network": {"unicast": "127.0.0.2", "request_timeout_ms": 1500,
                  "sd": {"multicast": "239.1.2.3", "port": 30491, "initial_delay_min_ms": 10,
                         "initial_delay_max_ms": 50, "repetition_base_delay_ms": 30, "repetitions_max": 2,
                         "cyclic_offer_delay_ms": 1000, "ttl_s": 4}},
      "services": [{"interface": "comtest::TestService", "instance_id": 1, "major_version": 2,
                    "minor_version": 7, "udp_port": 30501, "methods_over": "udp"}]})",
                                                    "test");
  const auto& n = overrides.Network();
  EXPECT_EQ(n.unicast, "127.0.0.2");
  EXPECT_EQ(n.EffectiveClientId(), 2);
  EXPECT_EQ(n.requestTimeout.count(), 1500);
  EXPECT_EQ(n.sdMulticast, "239.1.2.3");
  EXPECT_EQ(n.sdPort, 30491);
  EXPECT_EQ(n.timings.initialDelayMin.count(), 10);
  EXPECT_EQ(n.timings.initialDelayMax.count(), 50);
  EXPECT_EQ(n.timings.repetitionBaseDelay.count(), 30);
  EXPECT_EQ(n.timings.repetitionsMax, 2u);
  EXPECT_EQ(n.timings.cyclicOfferDelay.count(), 1000);
  EXPECT_EQ(n.timings.ttl, 4u);
  const auto s = n.For("comtest::TestService");
  EXPECT_EQ(s.instanceId, 1);
  EXPECT_EQ(s.majorVersion, 2);
  EXPECT_EQ(s.minorVersion, 7u);
  EXPECT_EQ(s.udpPort, 30501);
  EXPECT_FALSE(s.tcpPort.has_value());  // naming one port offers only that protocol
  EXPECT_EQ(s.methods, ara::com::Carrier::kUdp);
  EXPECT_EQ(s.events, ara::com::Carrier::kUdp);
  // The built-in identifiers stay.
  EXPECT_EQ(overrides.Apply(TestService::DefaultDeployment(), TestService::kDescription).serviceId, 0x7001);
}

struct BadNetworkCase {
  const char* name;
  const char* json;
  const char* reason;
};

class BadNetworkTest : public ::testing::TestWithParam<BadNetworkCase> {};

TEST_P(BadNetworkTest, IsRefusedNamingTheKeyAndTheProblem) {
  try {
    DeploymentOverrides::Parse(GetParam().json, "cfg.json");
    ADD_FAILURE() << GetParam().json;
  } catch (const std::runtime_error& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("cfg.json"), std::string::npos) << what;
    EXPECT_NE(what.find(GetParam().reason), std::string::npos) << what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadNetworkTest,
    ::testing::Values(
        BadNetworkCase{"UnicastNotAnAddress", R"({"network": {"unicast": "localhost"}})",
                       "network.unicast must be an IPv4 address"},
        BadNetworkCase{"UnknownKey", R"({"network": {"unicats": "127.0.0.1"}})", "network.unicats is not a known key"},
        BadNetworkCase{"ClientIdZero", R"({"network": {"client_id": 0}})", "network.client_id must not be 0"},
        BadNetworkCase{"GroupNotMulticast", R"({"network": {"sd": {"multicast": "127.0.0.1"}}})",
                       "network.sd.multicast must be a multicast address"},
        BadNetworkCase{"PortTooLarge", R"({"network": {"sd": {"port": 70000}}})",
                       "network.sd.port must be an integer from 0 to 65535"},
        BadNetworkCase{"TtlZero", R"({"network": {"sd": {"ttl_s": 0}}})", "network.sd.ttl_s must not be 0"},
        BadNetworkCase{"DelaysReversed",
                       R"({"network": {"sd": {"initial_delay_min_ms": 50, "initial_delay_max_ms": 10}}})",
                       "network.sd.initial_delay_max_ms must not be below"},
        BadNetworkCase{"CarrierUnknown", R"({"services": [{"interface": "other::Service", "methods_over": "sctp"}]})",
                       "services[0].methods_over must be \"udp\" or \"tcp\""},
        BadNetworkCase{"CarrierWithoutPort",
                       R"({"services": [{"interface": "other::Service", "udp_port": 30501, "methods_over": "tcp"}]})",
                       "services[0].methods_over names a protocol without a port"},
        BadNetworkCase{"VersionOutOfRange", R"({"services": [{"interface": "other::Service", "major_version": 255}]})",
                       "services[0].major_version must be an integer from 0 to 254"},
        BadNetworkCase{"TopLevelKeyUnknown", R"({"network": {}, "service": []})",
                       "cfg.json: service is not a known key"},
        BadNetworkCase{"ShortInterfaceName", R"({"services": [{"interface": "ChargingManagementCore"}]})",
                       "services[0].interface \"ChargingManagementCore\" is not a service interface of this process "
                       "(known: \"comtest::TestService\", \"other::Service\")"},
        BadNetworkCase{"ServiceKeyUnknown", R"({"services": [{"interface": "other::Service", "udp_prot": 30501}]})",
                       "services[0].udp_prot is not a known key"},
        BadNetworkCase{"EventKeyUnknown",
                       R"({"services": [{"interface": "other::Service",
                                         "events": [{"event_id": 1, "eventgroup_id": 1, "group": 2}]}]})",
                       "services[0].events[0].group is not a known key"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeploymentTest, TheTestSeamMaySelectTheInProcessBusForTheApplicationsRuntime) {
  ara::log::SetConsoleEnabled(false);
  ara::com::SetApplicationTransport([] { return ara::com::transport::LocalBus::Default()->CreateEndpoint(); });
  {
    ara::com::RuntimeComponent runtime(false, "");
    ara::com::ServiceProvider provider(TestService::DefaultDeployment(), 4);  // on the in-process bus
    provider.Offer();
    std::mutex mutex;
    std::condition_variable changed;
    bool found = false;
    auto search = TestProxy::StartFindService(
        [&](std::vector<TestProxy::HandleType> handles) {
          std::lock_guard lock(mutex);
          found = found || !handles.empty();
          changed.notify_all();
        },
        ara::com::InstanceIdentifier("4"));
    std::unique_lock lock(mutex);
    EXPECT_TRUE(changed.wait_for(lock, std::chrono::seconds(20), [&] { return found; }));
    lock.unlock();
    search.Stop();
  }
  ara::com::SetApplicationTransport(nullptr);
  ara::log::SetConsoleEnabled(true);
}

TEST(DeploymentTest, AnInvalidFileFailsTheRuntimesStartNamingFileKeyAndProblem) {
  ara::log::SetConsoleEnabled(false);
  const auto path = std::filesystem::temp_directory_path() / "orik_com_bad_network_test.json";
  {
    std::ofstream out(path);
    out << R"({"network": {"sd": {"port": "30490"}}})";
  }
  ara::com::RuntimeOptions options;
  options.deploymentPath = path.string();
  options.network = true;
  try {
    ara::com::RuntimeComponent runtime(options);
    ADD_FAILURE() << "started";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "ara::com deployment " + path.string() + ": network.sd.port must be an integer from 0 to 65535");
  }
  std::filesystem::remove(path);
  ara::log::SetConsoleEnabled(true);
}

}  // namespace
}  // namespace comtest
