// The gateway as the systemd unit runs it, without systemd: a private /tmp holding only what the
// unit binds in (the DLT daemon's FIFO and the folder of the applications' FIFOs), a read-only
// root, an unprivileged user of its own with the unit's supplementary group, no capabilities,
// and the unit's environment. Its records must still reach a DLT daemon (the test's own), and
// only warnings and errors may reach standard error (the journal).

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ara/log/remote_ids.h"
#include "dlt_harness.h"

namespace {

using orik::logtest::Child;
using orik::logtest::DltDaemon;
using orik::logtest::DltReceiver;
using orik::logtest::DltRecord;
using orik::logtest::TempDir;

constexpr auto kTimeout = std::chrono::seconds(60);
// A user id from the range systemd gives dynamic users.
constexpr const char* kDynamicUser = "61184";
constexpr const char* kStartSuffix = " has started!";
constexpr const char* kStopSuffix = " has stopped!";

// What the test takes from the configured unit.
struct Unit {
  Child::Environment environment;
  std::vector<std::string> tmpBinds;  // paths below /tmp, without "/tmp/"
  std::string supplementaryGroup;
  std::string startPrePrefixes;       // of ExecStartPre=: "+", "-", ...
  std::vector<std::string> startPre;  // its words
};

Unit ReadUnit(const std::string& path) {
  Unit unit;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    const auto equals = line.find('=');
    if (line.empty() || line[0] == '#' || equals == std::string::npos) {
      continue;
    }
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "Environment") {
      const auto inner = value.find('=');
      unit.environment.emplace_back(value.substr(0, inner), value.substr(inner + 1));
    } else if (key == "BindPaths") {
      std::istringstream paths(value);
      for (std::string bind; paths >> bind;) {
        if (bind.starts_with("-")) {
          bind.erase(0, 1);
        }
        if (bind.starts_with("/tmp/")) {
          unit.tmpBinds.push_back(bind.substr(5));
        }
      }
    } else if (key == "SupplementaryGroups") {
      unit.supplementaryGroup = value;
    } else if (key == "ExecStartPre") {
      const auto path = value.find('/');
      unit.startPrePrefixes = value.substr(0, path);
      std::istringstream words(value.substr(path == std::string::npos ? value.size() : path));
      for (std::string word; words >> word;) {
        unit.startPre.push_back(word);
      }
    }
  }
  return unit;
}

// $1 the private /tmp, $2 the daemon's folder, $3 the groups, $4 the gateway, then the names to
// bind from the daemon's folder into the private /tmp. KEEP: files of the host's /tmp that the
// test itself needs in the view (a build folder may be under /tmp), at the same paths.
constexpr const char* kSandbox = R"(set -e
view=$1 daemon=$2 groups=$3 gateway=$4
shift 4
for name in "$@"; do
  [ -e "$daemon/$name" ] || continue  # BindPaths=-: a path that is not there is left out
  if [ -d "$daemon/$name" ]; then mkdir "$view/$name"; else touch "$view/$name"; fi
  mount --bind "$daemon/$name" "$view/$name"
done
for keep in $KEEP; do
  mount --bind "$keep" "$view/${keep#/tmp/}"
done
mount --rbind "$view" /tmp
mount -o remount,bind,ro /
exec setpriv --reuid="$UNIT_USER" --regid="$UNIT_USER" --groups="$groups" --inh-caps=-all --bounding-set=-all \
  --no-new-privs "$gateway"
)";

bool IsMainRecord(const DltRecord& r, const char* suffix) {
  return r.appId == "ORIK" && r.contextId == ara::log::RemoteContextId("ORIK_MAIN") && r.text.ends_with(suffix);
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

constexpr const char* kDltLost = " WARN Remote logging cannot reach DLT: its FIFO /tmp/dlt ";

// A PATH whose first folder (below `folder`) has a systemctl that answers `is-active
// dlt-daemon.service` with `state`, so that what the host's systemd says, or that there is none,
// does not decide what the unit's wait does.
std::string PathWithSystemctl(const std::filesystem::path& folder, const std::string& state) {
  const auto bin = folder / "bin";
  std::filesystem::create_directory(bin);
  {
    std::ofstream systemctl(bin / "systemctl");
    systemctl << "#!/bin/sh\n[ \"$*\" = \"is-active dlt-daemon.service\" ] && echo " << state << "\n"
              << "[ " << (state == "active" ? "0" : "3") << " = 0 ]\n";
  }
  std::filesystem::permissions(bin / "systemctl", std::filesystem::perms::owner_all);
  const char* path = std::getenv("PATH");
  return bin.string() + ":" + (path != nullptr ? path : "/usr/bin:/bin");
}

class UnitSandbox : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "a mount namespace and another user need root";
    }
    if (!ara::log::RemoteSupported()) {
      GTEST_SKIP() << "this build leaves the DLT library out";
    }
    unit_ = ReadUnit(ORIK_UNIT_FILE);
    ASSERT_FALSE(unit_.tmpBinds.empty()) << "the unit binds nothing of /tmp in";
    ASSERT_FALSE(unit_.supplementaryGroup.empty());
    dltGroup_ = ::getgrnam(unit_.supplementaryGroup.c_str());
    ASSERT_NE(dltGroup_, nullptr) << unit_.supplementaryGroup;
    // Outside the sandbox, which would hide the host's FIFO from it, and never failing the start.
    EXPECT_NE(unit_.startPrePrefixes.find('+'), std::string::npos) << unit_.startPrePrefixes;
    EXPECT_NE(unit_.startPrePrefixes.find('-'), std::string::npos) << unit_.startPrePrefixes;
    ASSERT_EQ(unit_.startPre.size(), 2u);
    EXPECT_EQ(std::filesystem::path(unit_.startPre[0]).filename(), "wait-for-dlt");
  }

  void StartDaemon() {
    ASSERT_TRUE(daemon_.Start()) << daemon_.Diagnostics();
    receiver_.emplace(daemon_);
    ASSERT_TRUE(receiver_->WaitConnected(kTimeout)) << daemon_.Diagnostics();
    // As with Debian's daemon, only the FIFO's group may write to it.
    const std::string fifo = daemon_.PipeDir() + "/dlt";
    ASSERT_EQ(::chown(fifo.c_str(), static_cast<uid_t>(-1), dltGroup_->gr_gid), 0);
    ASSERT_EQ(::chmod(fifo.c_str(), 0620), 0);
  }

  // The unit's ExecStartPre= as systemd runs it before the gateway, outside the sandbox, on the
  // daemon's folder, while systemd has the daemon's unit started; the script from the source tree,
  // with the test's bound instead of the unit's.
  void RunStartPre(const std::string& seconds) {
    startPre_.emplace(
        std::vector<std::string>{ORIK_WAIT_FOR_DLT, seconds},
        Child::Environment{{"DLT_PIPE_DIR", daemon_.PipeDir()}, {"PATH", PathWithSystemctl(output_.Path(), "active")}},
        output_.Path());
  }

  bool StartPreEnded() {
    const auto status = startPre_->Wait(kTimeout);
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
  }

  // The gateway as the unit's ExecStart= runs it: the sandbox with what exists of the binds.
  void StartGateway() {
    ASSERT_EQ(::chmod(view_.Path().c_str(), 01777), 0);
    std::ofstream(view_.Path() / "rest.json") << R"({"address": "::1", "port": 0})";

    // The unit's environment, with the shipped deployment file from the source tree, the
    // in-process bus (no vehicle here) and no FIFO folder but the default.
    Child::Environment environment = unit_.environment;
    std::filesystem::path deployment;
    for (auto& [name, value] : environment) {
      if (name == "ORIK_COM_DEPLOYMENT") {
        deployment = std::filesystem::path(ORIK_CONFIG_DIR) / std::filesystem::path(value).filename();
        value = deployment.string();
      }
    }
    // What the test runs from a build or source folder below /tmp stays visible at its path.
    std::string keep;
    for (const std::filesystem::path& file : {std::filesystem::path(ORIK_GATEWAY_EXECUTABLE), deployment}) {
      const auto relative = file.lexically_relative("/tmp");
      if (relative.empty() || *relative.begin() == "..") {
        continue;
      }
      std::filesystem::create_directories(view_.Path() / relative.parent_path());
      std::ofstream(view_.Path() / relative).flush();
      keep += (keep.empty() ? "" : " ") + file.string();
    }
    environment.insert(environment.end(), {{"DLT_PIPE_DIR", ""},
                                           {"KEEP", keep},
                                           {"NOTIFY_SOCKET", ""},
                                           {"ORIK_COM_TRANSPORT", "local"},
                                           {"RUBO_SERVER_CONFIG", "/tmp/rest.json"},
                                           {"UNIT_USER", kDynamicUser}});
    std::vector<std::string> argv{"unshare",
                                  "--mount",
                                  "--propagation",
                                  "private",
                                  "sh",
                                  "-c",
                                  kSandbox,
                                  "sandbox",
                                  view_.Path(),
                                  daemon_.PipeDir(),
                                  std::to_string(dltGroup_->gr_gid),
                                  ORIK_GATEWAY_EXECUTABLE};
    argv.insert(argv.end(), unit_.tmpBinds.begin(), unit_.tmpBinds.end());
    gateway_.emplace(argv, environment, output_.Path());
  }

  // Stops the gateway: status 0, and standard error (the journal under the unit) holds no Info
  // record.
  void StopGateway() {
    gateway_->Terminate(kTimeout);
    const auto status = gateway_->Wait(kTimeout);
    ASSERT_TRUE(status && WIFEXITED(*status)) << gateway_->Stderr();
    EXPECT_EQ(WEXITSTATUS(*status), 0) << gateway_->Stderr();
    std::istringstream errors(gateway_->Stderr());
    for (std::string line; std::getline(errors, line);) {
      EXPECT_EQ(line.find(" INFO "), std::string::npos) << line;
    }
  }

  // Its records reach the daemon, the start and stop lines among them.
  void ExpectRecordsInDlt() {
    ASSERT_TRUE(receiver_->WaitFor([](const DltRecord& r) { return IsMainRecord(r, kStartSuffix); }, kTimeout))
        << gateway_->Stderr() << daemon_.Diagnostics();
    StopGateway();
    EXPECT_TRUE(receiver_->WaitFor([](const DltRecord& r) { return IsMainRecord(r, kStopSuffix); }, kTimeout))
        << daemon_.Diagnostics();
    EXPECT_GT(receiver_->LogRecords("ORIK").size(), 2u);
    EXPECT_EQ(Occurrences(gateway_->Stderr(), kDltLost), 0u) << gateway_->Stderr();
  }

  Unit unit_;
  const group* dltGroup_ = nullptr;
  DltDaemon daemon_{DltDaemon::When::kLater};
  std::optional<DltReceiver> receiver_;
  TempDir view_;
  TempDir output_;
  std::optional<Child> startPre_;
  std::optional<Child> gateway_;
};

TEST_F(UnitSandbox, TheGatewaysRecordsReachDltAndOnlyWarningsReachTheJournal) {
  StartDaemon();
  RunStartPre(unit_.startPre[1]);
  ASSERT_TRUE(StartPreEnded()) << startPre_->Stderr();
  EXPECT_EQ(startPre_->Stderr(), "") << "the FIFO is there: nothing to wait for or say";
  StartGateway();
  ExpectRecordsInDlt();
}

// Debian's dlt-daemon.service is Type=simple: the gateway may start before the daemon has made its
// FIFO, which the sandbox can only bind in when it exists.
TEST_F(UnitSandbox, ADaemonWhoseFifoComesShortlyAfterTheStartIsReached) {
  RunStartPre("60");
  const std::string waiting = "waiting up to 60 s for the DLT daemon's FIFO " + daemon_.PipeDir() + "/dlt";
  ASSERT_TRUE(
      orik::logtest::Eventually([&] { return startPre_->Stderr().find(waiting) != std::string::npos; }, kTimeout))
      << startPre_->Stderr();
  StartDaemon();
  ASSERT_TRUE(StartPreEnded()) << startPre_->Stderr();
  EXPECT_EQ(startPre_->Stderr().find("did not appear"), std::string::npos) << startPre_->Stderr();
  StartGateway();
  ExpectRecordsInDlt();
}

TEST_F(UnitSandbox, WithoutADaemonTheGatewayStartsAndSaysSoOnceInTheJournal) {
  RunStartPre("0");
  ASSERT_TRUE(StartPreEnded()) << startPre_->Stderr();
  EXPECT_NE(startPre_->Stderr().find("wait-for-dlt: the DLT daemon's FIFO " + daemon_.PipeDir() +
                                     "/dlt did not appear within 0 s; the gateway starts without DLT"),
            std::string::npos)
      << startPre_->Stderr();
  StartGateway();
  ASSERT_TRUE(orik::logtest::Eventually(
      [&] { return Occurrences(gateway_->Stderr(), std::string(kDltLost) + "does not exist") == 1; }, kTimeout))
      << gateway_->Stderr();
  StopGateway();
  EXPECT_EQ(Occurrences(gateway_->Stderr(), kDltLost), 1u) << gateway_->Stderr();
}

// systemd's word that no DLT daemon runs or starts (also its word for one that is not installed)
// spares the start the wait.
TEST(WaitForDlt, DoesNotWaitWhenSystemdHasTheDaemonAsInactive) {
  TempDir folder;
  Child script({ORIK_WAIT_FOR_DLT, "60"},
               {{"DLT_PIPE_DIR", folder.Path().string()}, {"PATH", PathWithSystemctl(folder.Path(), "inactive")}},
               folder.Path());
  const auto status = script.Wait(kTimeout);
  ASSERT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << script.Stderr();
  EXPECT_EQ(script.Stderr(),
            "wait-for-dlt: no DLT daemon runs or starts (dlt-daemon.service is inactive); the gateway starts without "
            "DLT\n");
}

}  // namespace
