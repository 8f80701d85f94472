// The gateway process: connects to execution and health management, builds and wires the
// vehicle client, the mediator and the REST server, idles until a stop signal and takes
// everything down again in a fixed order.

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "app/comm_mngr/communications_manager.h"
#include "app/version.h"
#include "ara/com/runtime.h"
#include "ara/exec/application_client.h"
#include "ara/log/logging.h"
#include "ara/phm/phm.h"
#include "rest_server/orik_rubo_server.h"
#include "seam/service_manager.h"
#include "someip_client/cmc/charging_management_core_listener.h"
#include "someip_client/cmc/charging_management_core_proxy_wrapper.h"
#include "someip_client/rbec/route_based_energy_contents_listener.h"
#include "someip_client/rbec/route_based_energy_contents_proxy_wrapper.h"
#include "someip_client/sync/someip_sync.h"

namespace {

// Set inside the signal handler, so it must be lock-free.
std::atomic<bool> exitRequested{false};
std::atomic<bool> phmThreadEnd{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr timespec kSleepPeriod{0, 500'000'000};

constexpr std::uint16_t kSupervisionId = 60071;
constexpr std::uint16_t kHealthChannelId = 1;
constexpr std::uint16_t kCheckpointInit = 60071;
constexpr std::uint16_t kCheckpointInitDone = 60072;
constexpr std::uint16_t kCheckpointShutdownStart = 60073;
constexpr std::uint16_t kCheckpointShutdownDone = 60074;
constexpr std::uint16_t kCheckpointAlive = 60075;
constexpr std::uint32_t kHealthModeInitialising = 1;
constexpr std::uint32_t kHealthModeRunning = 2;
constexpr std::uint32_t kHealthModeShuttingDown = 3;

const std::string& ApplicationId() {
  static const std::string id = "ORIK";
  return id;
}

const std::string& Version() {
  static const std::string version = orik::kVersion;
  return version;
}

const std::string& ExecutableName() {
  static const std::string name = "ORIK__TANU1_Sys_Adaptive_01";
  return name;
}

// Sleeps one period. Each caller has its own timespec, so that a sleep cut short by a signal
// goes on for exactly the time that remained and never shortens another thread's sleep.
void SleepOnePeriod() {
  timespec period = kSleepPeriod;
  while (nanosleep(&period, &period) == -1 && errno == EINTR) {
  }
}

// The texts of one guarded group of health reports.
struct PhmPhase {
  const char* onRuntimeError;  // followed by what()
  const char* onOtherError;
};

constexpr PhmPhase kPhaseInit{"Exception at reporting PHM status in phase INIT: ",
                              "Unexpected exception at reporting PHM status in phase INIT"};
constexpr PhmPhase kPhaseInitEnd{"Exception at reporting PHM status at end of phase INIT: ",
                                 "Unexpected exception at reporting PHM status at the end of phase INIT"};
constexpr PhmPhase kPhaseShutdownStart{"Exception at reporting PHM status at start of phase SHUTDOWN: ",
                                       "Unexpected exception at reporting PHM status at start of phase SHUTDOWN"};
constexpr PhmPhase kPhaseShutdownEnd{"Exception at reporting PHM status at end of phase SHUTDOWN: ",
                                     "Unexpected exception at reporting PHM status at end of phase SHUTDOWN"};

// Runs the reports of one group; the first failure is logged and skips the rest of the group.
template <typename Reports>
void ReportPhmGroup(const PhmPhase& phase, Reports&& reports) {
  try {
    reports();
  } catch (const std::runtime_error& e) {
    ara::log::LogInfo() << phase.onRuntimeError << e.what();
  } catch (...) {
    ara::log::LogInfo() << phase.onOtherError;
  }
}

void AliveLoop(ara::phm::SupervisionEntity& supervisionEntity) {
  while (!phmThreadEnd.load()) {
    try {
      supervisionEntity.CheckpointReached(kSupervisionId, kCheckpointAlive);
    } catch (const std::runtime_error& e) {
      ara::log::LogInfo() << "Exception at reporting PHM checkpoint: " << e.what();
    } catch (...) {
      ara::log::LogInfo() << "Unexpected exception at reporting PHM checkpoint";
    }
    SleepOnePeriod();
  }
}

// Loops on a short write; errno is kept for the code the signal interrupted.
void WriteAll(int fd, const char* data, std::size_t size) {
  const int savedErrno = errno;
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      break;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  errno = savedErrno;
}

}  // namespace

void sig_handler(int signum) {
  if (signum == SIGINT || signum == SIGABRT || signum == SIGTERM) {
    static constexpr char kText[] = "sig_handler -> SIGABRT || SIGINT || SIGTERM ";
    WriteAll(STDOUT_FILENO, kText, sizeof kText - 1);
    exitRequested.store(true);
  }
}

void StartPHMThread(std::thread& phmThread, ara::phm::SupervisionEntity& supervisionEntity) {
  phmThread = std::thread(AliveLoop, std::ref(supervisionEntity));
}

int main() {
  std::signal(SIGINT, sig_handler);
  std::signal(SIGABRT, sig_handler);
  std::signal(SIGTERM, sig_handler);

  const std::string& applicationId = ApplicationId();
  const std::string& version = Version();
  const std::string& executableName = ExecutableName();

  ara::phm::Phm_client phmClient(std::string{executableName});
  ara::phm::SupervisionEntity supervisionEntity(phmClient);
  ara::phm::HealthChannel healthChannel(phmClient);
  ara::exec::ApplicationClient execClient;

  std::thread phmThread;
  StartPHMThread(phmThread, supervisionEntity);

  execClient.ReportApplicationState(ara::exec::ApplicationState::kRunning);

  ara::log::InitLogging(applicationId, "ORIK Application", ara::log::LogLevel::kInfo, ara::log::LogMode::kRemote, "");
  ara::log::Logger& mainLogger = ara::log::CreateLogger("ORIK_MAIN", "main");
  mainLogger.LogInfo() << applicationId << " version " << version << " has started!";

  // An unusable middleware configuration would otherwise leave main through std::terminate, as
  // an abort in mid-start-up; it is the one start-up failure the gateway cannot run without.
  std::unique_ptr<ara::com::RuntimeComponent> runtime;
  try {
    runtime = std::make_unique<ara::com::RuntimeComponent>(false, "");
  } catch (const std::exception& e) {
    const std::string failure = std::string("Failed to start the middleware runtime: ") + e.what();
    mainLogger.LogError() << failure;
    execClient.ReportApplicationState(ara::exec::ApplicationState::kTerminating);
    phmThreadEnd.store(true);
    phmThread.join();
    // systemctl status shows the last STATUS line: the cause, rather than what the readiness
    // reports last awaited. Sent once the alive thread is gone, so that no report replaces it.
    platform::seam::NotifyServiceManager("STATUS=" + failure);
    mainLogger.LogInfo() << applicationId << " version " << version << " has stopped!";
    return EXIT_FAILURE;
  }

  ReportPhmGroup(kPhaseInit, [&] {
    healthChannel.SetHealthMode(kHealthChannelId, kHealthModeInitialising);
    supervisionEntity.CheckpointReached(kSupervisionId, kCheckpointInit);
  });

  {
    const std::string serverName = "charging_management_core";
    const std::string configPath = "/opt/ORIK__TANU1_Sys_Adaptive_01/etc/charging_management_core_conf.json";

    auto ruboServer = std::make_shared<orik::ruboServer::ORIKRuboServer>(serverName, configPath);
    auto cmcProxyWrapper = std::make_shared<orik::chargingManagementCoreListener::ChargingManagementCoreProxyWrapper>();
    auto cmcListener =
        std::make_shared<orik::chargingManagementCoreListener::ChargingManagementCoreListener>(cmcProxyWrapper);
    auto rbecProxyWrapper = std::make_shared<orik::routeBasedEnergyContents::RouteBasedEnergyContentsProxyWrapper>();
    auto rbecListener =
        std::make_shared<orik::routeBasedEnergyContents::RouteBasedEnergyContentsListener>(rbecProxyWrapper);
    auto commMngr = std::make_shared<orik::commMngr::CommunicationsManager>();

    ruboServer->SetCommunicationsManager(std::shared_ptr<orik::commMngr::CommMngrRuboSideInterface>(commMngr));
    cmcListener->SetCommunicationsManager(std::shared_ptr<orik::commMngr::CommMngrSomeipSideInterface>(commMngr));
    rbecListener->SetCommunicationsManager(std::shared_ptr<orik::commMngr::CommMngrRBECSideInterface>(commMngr));
    commMngr->SetRubo(std::shared_ptr<orik::ruboServer::ORIKRuboServerInterface>(ruboServer));
    commMngr->SetSomeIp(std::shared_ptr<orik::chargingManagementCoreListener::ORIKListenerInterface>(cmcListener));
    commMngr->SetRbec(
        std::shared_ptr<orik::routeBasedEnergyContents::RouteBasedEnergyContentsListenerInterface>(rbecListener));

    auto someipSync =
        std::make_shared<orik::someipSync::SomeipSync>(std::chrono::seconds(5), std::chrono::seconds(120));
    someipSync->AddClient(std::shared_ptr<orik::getFutures::Abstract_GetFutures>(cmcListener));
    someipSync->AddClient(std::shared_ptr<orik::getFutures::Abstract_GetFutures>(rbecListener));
    someipSync->StartSync();

    ruboServer->StartServer();

    ReportPhmGroup(kPhaseInitEnd, [&] {
      supervisionEntity.CheckpointReached(kSupervisionId, kCheckpointInitDone);
      healthChannel.SetHealthMode(kHealthChannelId, kHealthModeRunning);
    });

    while (!exitRequested.load()) {
      SleepOnePeriod();
    }

    ruboServer->StopServer();

    ReportPhmGroup(kPhaseShutdownStart, [&] {
      healthChannel.SetHealthMode(kHealthChannelId, kHealthModeShuttingDown);
      supervisionEntity.CheckpointReached(kSupervisionId, kCheckpointShutdownStart);
    });

    // The partners hold each other; empty pointers break the cycles so that the releases below
    // destroy the objects.
    ruboServer->SetCommunicationsManager(nullptr);
    cmcListener->SetCommunicationsManager(nullptr);
    rbecListener->SetCommunicationsManager(nullptr);
    commMngr->SetRubo(nullptr);
    commMngr->SetSomeIp(nullptr);
    commMngr->SetRbec(nullptr);

    ara::log::LogInfo() << "Ended main block.";

    someipSync.reset();
    commMngr.reset();
    rbecListener.reset();
    rbecProxyWrapper.reset();
    cmcListener.reset();
    cmcProxyWrapper.reset();
    ruboServer.reset();
  }

  runtime.reset();

  ReportPhmGroup(kPhaseShutdownEnd, [&] {
    execClient.ReportApplicationState(ara::exec::ApplicationState::kTerminating);
    supervisionEntity.CheckpointReached(kSupervisionId, kCheckpointShutdownDone);
  });

  phmThreadEnd.store(true);
  if (phmThread.joinable()) {
    phmThread.join();
  }

  mainLogger.LogInfo() << applicationId << " version " << version << " has stopped!";
  return 0;
}
