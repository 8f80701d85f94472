#include <stdexcept>

#include "tests/rest_server/rest_server_fixture.h"

namespace orik::ruboServer::test {
namespace {

using ConstructionTest = RestServerTest;

TEST_F(ConstructionTest, RootThatCannotBeMadeLeavesOneErrorLineAndAnObject) {
  ORIKRuboServer::Seams seams;
  seams.makeRoot = [](const std::string&, const std::string&) -> std::shared_ptr<rubo::server::RuboServer> {
    throw std::runtime_error("no memory");
  };
  Make(std::move(seams));
  ASSERT_NE(app_, nullptr);
  EXPECT_EQ(ServerLines(*log_, ara::log::LogLevel::kError),
            std::vector<std::string>{"Failed to start server: Make for Rubo threw exception"});
}

}  // namespace
}  // namespace orik::ruboServer::test
