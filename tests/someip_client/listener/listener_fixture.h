#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ara/log/capture_sink.h"
#include "fakes.h"
#include "field_cases.h"
#include "someip_client/cmc/charging_management_core_listener.h"

namespace someip_client_test {

using Lines = std::vector<std::string>;

class CmcListenerFixture {
 public:
  CmcListenerFixture() { listener->SetCommunicationsManager(mediator); }

  Lines Logs() const { return capture->Texts("ORIK"); }
  Lines WrapperCalls() const { return wrapper->calls.Entries(); }
  Lines Relays() const { return mediator->calls.Entries(); }
  void ClearRecords() {
    capture->Clear();
    wrapper->calls.Clear();
    mediator->calls.Clear();
  }

  ara::log::ScopedCapture capture;
  std::shared_ptr<FakeCmcWrapper> wrapper = std::make_shared<FakeCmcWrapper>();
  std::shared_ptr<FakeSomeipMediator> mediator = std::make_shared<FakeSomeipMediator>();
  std::shared_ptr<ChargingManagementCoreListener> listener = std::make_shared<ChargingManagementCoreListener>(wrapper);
};

inline std::string Type(SOMEIP_RESOURCE_TYPE type) {
  return std::to_string(Num(type));
}

}  // namespace someip_client_test
