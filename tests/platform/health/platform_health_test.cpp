#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "ara/exec/application_client.h"
#include "ara/phm/phm.h"
#include "seam/call_recorder.h"

namespace {

using platform::seam::CallRecorder;
using platform::seam::PlatformCall;
using Args = std::vector<std::uint64_t>;

TEST(PlatformHealth, RecorderSeesEveryCallInOrderWithArgumentsAndThread) {
  platform::seam::ScopedCallRecorder recorder;
  ara::phm::Phm_client client("ORIK__TANU1_Sys_Adaptive_01");
  ara::phm::SupervisionEntity entity(client);
  ara::phm::HealthChannel channel(client);
  ara::exec::ApplicationClient exec;

  exec.ReportApplicationState(ara::exec::ApplicationState::kRunning);
  channel.SetHealthMode(1, 1);
  std::thread::id aliveThread;
  std::thread alive([&] {
    aliveThread = std::this_thread::get_id();
    entity.CheckpointReached(60071, 60075);
  });
  alive.join();
  exec.ReportApplicationState(ara::exec::ApplicationState::kTerminating);

  const auto calls = recorder->Calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].operation, "Phm_client::Phm_client");
  EXPECT_EQ(calls[0].text, "ORIK__TANU1_Sys_Adaptive_01");
  EXPECT_EQ(calls[1].operation, "ApplicationClient::ReportApplicationState");
  EXPECT_EQ(calls[1].args, Args{0});
  EXPECT_EQ(calls[2].operation, "HealthChannel::SetHealthMode");
  EXPECT_EQ(calls[2].args, (Args{1, 1}));
  EXPECT_EQ(calls[3].operation, "SupervisionEntity::CheckpointReached");
  EXPECT_EQ(calls[3].args, (Args{60071, 60075}));
  EXPECT_EQ(calls[3].thread, aliveThread);
  EXPECT_EQ(calls[4].args, Args{1});
  EXPECT_EQ(calls[4].thread, std::this_thread::get_id());
}

TEST(PlatformHealth, InjectedFailuresThrowForTheNextCallsOnly) {
  platform::seam::ScopedCallRecorder recorder;
  ara::phm::Phm_client client("x");
  ara::phm::HealthChannel channel(client);
  ara::phm::SupervisionEntity entity(client);

  recorder->FailNext("HealthChannel::SetHealthMode", 2, "phm down");
  for (int i = 0; i < 2; ++i) {
    try {
      channel.SetHealthMode(1, 2);
      FAIL() << "expected a failure";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "phm down");
    }
  }
  EXPECT_NO_THROW(channel.SetHealthMode(1, 2));
  EXPECT_NO_THROW(entity.CheckpointReached(60071, 60072)) << "other operations are unaffected";

  recorder->FailNextNonStandard("SupervisionEntity::CheckpointReached", 1);
  EXPECT_THROW(entity.CheckpointReached(60071, 60073), CallRecorder::NonStandardError);
  EXPECT_NO_THROW(entity.CheckpointReached(60071, 60073));
  EXPECT_EQ(recorder->Calls("SupervisionEntity::CheckpointReached").size(), 3u) << "failed calls are recorded too";
}

TEST(PlatformHealth, WithoutARecorderCallsSucceed) {
  ara::phm::Phm_client client("x");
  ara::phm::SupervisionEntity entity(client);
  EXPECT_NO_THROW(entity.CheckpointReached(60071, 60075));
  ara::exec::ApplicationClient exec;
  EXPECT_NO_THROW(exec.ReportApplicationState(ara::exec::ApplicationState::kRunning));
}

}  // namespace
