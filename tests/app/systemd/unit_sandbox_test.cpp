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
#include <filesystem>
#include <fstream>
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

TEST(UnitSandbox, TheGatewaysRecordsReachDltAndOnlyWarningsReachTheJournal) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "a mount namespace and another user need root";
  }
  if (!ara::log::RemoteSupported()) {
    GTEST_SKIP() << "this build leaves the DLT library out";
  }
  const Unit unit = ReadUnit(ORIK_UNIT_FILE);
  ASSERT_FALSE(unit.tmpBinds.empty()) << "the unit binds nothing of /tmp in";
  ASSERT_FALSE(unit.supplementaryGroup.empty());
  const group* dltGroup = ::getgrnam(unit.supplementaryGroup.c_str());
  ASSERT_NE(dltGroup, nullptr) << unit.supplementaryGroup;

  DltDaemon daemon;
  ASSERT_TRUE(daemon.Started()) << daemon.Diagnostics();
  DltReceiver receiver(daemon);
  ASSERT_TRUE(receiver.WaitConnected(kTimeout)) << daemon.Diagnostics();
  // As with Debian's daemon, only the FIFO's group may write to it.
  const std::string fifo = daemon.PipeDir() + "/dlt";
  ASSERT_EQ(::chown(fifo.c_str(), static_cast<uid_t>(-1), dltGroup->gr_gid), 0);
  ASSERT_EQ(::chmod(fifo.c_str(), 0620), 0);

  TempDir view;
  TempDir output;
  ASSERT_EQ(::chmod(view.Path().c_str(), 01777), 0);
  std::ofstream(view.Path() / "rest.json") << R"({"address": "::1", "port": 0})";

  // The unit's environment, with the shipped deployment file from the source tree, the
  // in-process bus (no vehicle here) and no FIFO folder but the default.
  Child::Environment environment = unit.environment;
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
    std::filesystem::create_directories(view.Path() / relative.parent_path());
    std::ofstream(view.Path() / relative).flush();
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
                                view.Path(),
                                daemon.PipeDir(),
                                std::to_string(dltGroup->gr_gid),
                                ORIK_GATEWAY_EXECUTABLE};
  argv.insert(argv.end(), unit.tmpBinds.begin(), unit.tmpBinds.end());
  Child gateway(argv, environment, output.Path());

  ASSERT_TRUE(receiver.WaitFor([](const DltRecord& r) { return IsMainRecord(r, kStartSuffix); }, kTimeout))
      << gateway.Stderr() << daemon.Diagnostics();
  gateway.Terminate(kTimeout);
  const auto status = gateway.Wait(kTimeout);
  ASSERT_TRUE(status && WIFEXITED(*status)) << gateway.Stderr();
  EXPECT_EQ(WEXITSTATUS(*status), 0) << gateway.Stderr();
  EXPECT_TRUE(receiver.WaitFor([](const DltRecord& r) { return IsMainRecord(r, kStopSuffix); }, kTimeout))
      << daemon.Diagnostics();
  EXPECT_GT(receiver.LogRecords("ORIK").size(), 2u);

  // Standard error (the journal under the unit) holds no Info record.
  std::istringstream errors(gateway.Stderr());
  for (std::string line; std::getline(errors, line);) {
    EXPECT_EQ(line.find(" INFO "), std::string::npos) << line;
  }
}

}  // namespace
