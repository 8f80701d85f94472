// vehicle_sim: a simulated vehicle offering both vehicle services, driven by a scenario file and
// by JSON commands on standard input; reports every event as a JSON line on standard output.

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>

#include "ara/com/transport/network_transport.h"
#include "tools/vehicle_sim/shared_transport.h"
#include "tools/vehicle_sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "usage: vehicle_sim [--scenario FILE]\n"
    "  Offers ChargingManagementCore and RouteBasedEnergyContents over SOME/IP, configured like the\n"
    "  gateway by the file that ORIK_COM_DEPLOYMENT names (\"network\": unicast address, SD group and\n"
    "  port, timings). Commands come on standard input, one JSON object a line; events go to\n"
    "  standard output, one JSON object a line.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace orik::vehicleSim;
  std::string scenarioPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--scenario" && i + 1 < argc) {
      scenarioPath = argv[++i];
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }

  // SIGINT and SIGTERM end the simulator in order; they are read from a descriptor below.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // before any thread starts, so all inherit it
  const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
  const int quitFd = eventfd(0, EFD_CLOEXEC);
  if (signalFd < 0 || quitFd < 0) {
    std::cerr << "vehicle_sim: " << std::strerror(errno) << "\n";
    return 1;
  }

  std::mutex outputMutex;
  VehicleSimulator::Options options;
  try {
    if (!scenarioPath.empty()) {
      options.scenario = LoadScenario(scenarioPath);
    }
    options.deployments = ara::com::DeploymentOverrides::FromEnvironment();
  } catch (const std::exception& e) {
    std::cerr << "vehicle_sim: " << e.what() << "\n";
    return 2;
  }
  options.timers = std::make_shared<ThreadTimers>();
  // Both services on one SOME/IP endpoint, configured by the same file as the gateway's.
  std::shared_ptr<SharedTransport> network;
  try {
    network =
        std::make_shared<SharedTransport>(ara::com::transport::CreateNetworkTransport({options.deployments.Network()}));
  } catch (const std::exception& e) {
    std::cerr << "vehicle_sim: " << e.what() << "\n";
    return 1;
  }
  options.makeTransport = [network](const ara::com::ServiceDeployment& deployment) {
    return network->For(deployment.serviceId);
  };
  options.events = [&outputMutex](const nlohmann::json& event) {
    std::lock_guard lock(outputMutex);
    std::cout << event.dump() << std::endl;  // a reader sees every event as it happens
  };
  options.onQuit = [quitFd] {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = write(quitFd, &one, sizeof one);
  };

  int status = 0;
  try {
    VehicleSimulator simulator(std::move(options));
    simulator.Start();
    std::string pending;
    bool inputOpen = true;
    for (bool running = true; running;) {
      pollfd fds[3] = {{signalFd, POLLIN, 0}, {quitFd, POLLIN, 0}, {inputOpen ? STDIN_FILENO : -1, POLLIN, 0}};
      if (poll(fds, 3, -1) < 0) {
        if (errno == EINTR) {
          continue;
        }
        throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
      }
      if ((fds[0].revents | fds[1].revents) != 0) {
        running = false;
        continue;
      }
      if (fds[2].revents != 0) {
        char buffer[4096];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
          inputOpen = false;  // no more commands; the scenario goes on
          continue;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
          const std::string line = pending.substr(0, end);
          pending.erase(0, end + 1);
          simulator.HandleLine(line);
        }
      }
    }
  } catch (const std::exception& e) {
    std::cerr << "vehicle_sim: " << e.what() << "\n";
    status = 1;
  }
  close(signalFd);
  close(quitFd);
  return status;
}
