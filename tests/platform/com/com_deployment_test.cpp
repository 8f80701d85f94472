#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "ara/com/deployment.h"
#include "test_service.h"

namespace comtest {
namespace {

using ara::com::DeploymentOverrides;

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
      {R"({"services": [{"interface": "x", "service_id": 65536}]})", "0 to 65535"},
      {R"({"services": [{"interface": "x", "service_id": -1}]})", "0 to 65535"},
      {R"({"services": [{"interface": "x", "events": [{"event_id": 1}]}]})", "eventgroup_id"},
      {R"({"services": [{"interface": "x", "methods": ["1"]}]})", "methods[0]"},
      {R"({"services": [{"interface": "x"}, {"interface": "x"}]})", "repeats"},
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

}  // namespace
}  // namespace comtest
