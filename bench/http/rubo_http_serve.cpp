// Serves one value-control-like element (and its service and collection) from the framework,
// for bench/http/compare.sh. Usage: rubo_http_serve <config file>. Prints the bound port and
// the element's path on standard output, one per line, then serves until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

#include "ara/log/logging.h"
#include "ara/rest/allocator.h"
#include "rubo/server.h"

namespace {

namespace ogm = ara::rest::ogm;
using ara::rest::Uri;
using ara::rest::Uuid;

template <typename T>
void Put(rubo::BaseType& element, const std::string& name, const typename T::ValueType& value) {
  element.AddField<T>(name);
  element.SetFieldValue<T>(name, value, false);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <config file>\n", argv[0]);
    return 2;
  }
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);  // inherited by every server thread
  ara::log::SetConsoleEnabled(false);

  auto server = std::make_shared<rubo::Server>("bench", argv[1]);
  auto service = ara::rest::MakeSharedPointer<rubo::ServerService>(Uuid{}, Uri::Builder("/Cmc").ToUri(), "Cmc");
  auto values = ara::rest::MakeSharedPointer<rubo::ServerResource>(
      Uuid::MakeV5("/Cmc/valueControls"), Uri::Builder("/Cmc/valueControls").ToUri(), "valueControls");
  service->Add(values);
  // The element is found among about as many others as the application serves.
  std::shared_ptr<rubo::ServerElement> element;
  for (int i = 0; i < 40; ++i) {
    const auto uuid = Uuid::MakeV5("/Cmc/valueControls/" + std::to_string(i));
    auto control =
        values->MakeElement(uuid, Uri::Builder("/Cmc/valueControls/" + uuid.ToString()).ToUri(), "ValueControlObject");
    Put<ogm::String>(*control, "type", "chargingTargetSocValue" + std::to_string(i));
    Put<ogm::Int>(*control, "currentValue", 80);
    Put<ogm::Int>(*control, "minValue", 20);
    Put<ogm::Int>(*control, "maxValue", 100);
    Put<ogm::Int>(*control, "stepSize", 5);
    Put<ogm::String>(*control, "unit", "percent");
    Put<ogm::Bool>(*control, "isEnabled", true);
    Put<ogm::Real>(*control, "defaultValue", 80.5L);
    Put<ogm::String>(*control, "specialStateType", "noSpecialState");
    Put<ogm::String>(*control, "description",
                     "Target state of charge when charging at home or at work, in percent (capacity)");
    values->Add(control);
    element = control;
  }
  server->Add(service);
  server->Start(false);
  std::printf("%u\n%s\n", static_cast<unsigned>(server->GetPort()), element->GetUri().ToString().c_str());
  std::fflush(stdout);
  int received = 0;
  sigwait(&stopSignals, &received);
  server->Stop(true);
  return 0;
}
