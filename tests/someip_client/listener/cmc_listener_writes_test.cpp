#include <gtest/gtest.h>

#include <boost/variant/get.hpp>
#include <functional>
#include <stdexcept>

#include "ara/com/exceptions.h"
#include "listener_fixture.h"

namespace someip_client_test {
namespace {

using orik::chargingManagementCoreListener::CmcSetVariant;
using orik::enums::SOMEIP_RESPONSE_TYPE;

struct WriteCase {
  std::string name;
  SOMEIP_RESOURCE_TYPE type;
  std::function<SOMEIP_RESPONSE_TYPE(ChargingManagementCoreListener&)> write;
  Lines intro;  // the "received" and value lines
  std::string updating, ended, timeout, response, exception, unknown;
  std::function<void(const CmcSetVariant&)> checkSent;
};

std::vector<WriteCase> WriteCases() {
  using L = ChargingManagementCoreListener;
  std::vector<WriteCase> cases;
  cases.push_back({"ValueControls",
                   SOMEIP_RESOURCE_TYPE::VALUE_CONTROLS,
                   [](L& l) {
                     return l.Update_ValueControls(cmc::DT_ChargingManagementCore_valueControls_type{5}, std::nullopt,
                                                   std::nullopt, "RUBO");
                   },
                   {"[SomeIp] Received ValueControl object from RUBO",
                    "[SomeIp] ValueControl type: 5. ValueControl value: 100000. ValueControl specialState: 100000"},
                   "[SomeIp] Updating the someip field with values received from rubo...",
                   "[SomeIp][Rubo -> Someip] ValueControl set call ended.",
                   "[SomeIp] ValueControls Set timeout",
                   "",
                   "[SomeIp] Exception caught while setting a ValueControl in SomeIp: ",
                   "[SomeIp] Unknown Exception caught while setting a ValueControl in SomeIp...",
                   [](const CmcSetVariant& v) {
                     const auto& e = boost::get<cmc::DT_valueControls_struct>(v);
                     EXPECT_EQ(Text(e.type), "5");
                     EXPECT_FALSE(e.currentValue.has_value());
                     EXPECT_FALSE(e.specialState.has_value());
                     EXPECT_FALSE(e.minValue.has_value());
                     EXPECT_FALSE(e.id.has_value());
                   }});
  cases.push_back({"SwitchControls",
                   SOMEIP_RESOURCE_TYPE::SWITCH_CONTROLS,
                   [](L& l) {
                     return l.Update_SwitchControls(cmc::DT_ChargingManagementCore_switchControls_type{12},
                                                    cmc::DT_ChargingManagementCore_switchControls_switchValue{2});
                   },
                   {"[SomeIp]Received SwitchControl object from RUBO...",
                    "[SomeIp] SwitchControl type: 12. SwitchControl value: 2"},
                   "[SomeIp]Updating the someip field with values received from rubo...",
                   "[SomeIp] SwitchControls either wait timeout expired or info is already available !!!!!!..",
                   "[SomeIp] SwitchControls Set timeout",
                   "",
                   "[SomeIp] Exception caught while setting a SwitchControl in SomeIp: ",
                   "[SomeIp] Unknown Exception caught while setting a SwitchControl in SomeIp: ",
                   [](const CmcSetVariant& v) {
                     const auto& e = boost::get<cmc::DT_switchControls_struct>(v);
                     EXPECT_EQ(Text(e.type), "12");
                     EXPECT_EQ(Text(e.switchValue), "2");
                     EXPECT_FALSE(e.restrictionReason.has_value());
                     EXPECT_FALSE(e.switchValueConfiguration.has_value());
                   }});
  cases.push_back({"Views",
                   SOMEIP_RESOURCE_TYPE::VIEWS,
                   [](L& l) {
                     return l.Update_Views(cmc::DT_ChargingManagementCore_views_type{1},
                                           cmc::DT_ChargingManagementCore_views_content{3}, std::nullopt);
                   },
                   {"[SomeIp][Rubo -> Someip] Received View object from RUBO...",
                    "[SomeIp][Rubo -> Someip] View {type}: 1. Content {value}: 3. Visibility value: 100000"},
                   "[SomeIp][Rubo -> Someip] Updating the someip field with values received from rubo...",
                   "[SomeIp][Rubo -> Someip] Views set call ended.",
                   "[SomeIp][Rubo -> Someip] Views Set timeout.",
                   "[SomeIp][Rubo -> Someip] Views Set response received.",
                   "[SomeIp][Rubo -> Someip] Exception caught while setting a View in SomeIp: ",
                   "[SomeIp][Rubo -> Someip] Unknown Exception caught while setting a View in SomeIp: ",
                   [](const CmcSetVariant& v) {
                     const auto& e = boost::get<cmc::DT_views_struct>(v);
                     EXPECT_EQ(Text(e.type), "1");
                     EXPECT_EQ(Text(e.content), "3");
                     EXPECT_FALSE(e.visibility.has_value());
                   }});
  cases.push_back(
      {"PastErrorInformation",
       SOMEIP_RESOURCE_TYPE::PAST_ERROR_INFORMATION,
       [](L& l) {
         return l.Update_pastErrorInformation(cmc::DT_ChargingManagementCore_pastErrorInformation_type{4},
                                              std::nullopt);
       },
       {"[SomeIp][Rubo -> Someip] Received pastErrorInformation object from RUBO...",
        "[SomeIp][Rubo -> Someip] PastErrorInformation {type}: 4. {confirmedByUser}: false"},
       "[SomeIp][Rubo -> Someip] Updating the someip field with values received from rubo...",
       "[SomeIp][Rubo -> Someip] PastErrorInformation set call ended.",
       "[SomeIp][Rubo -> Someip] PastErrorInformation Set timeout.",
       "[SomeIp][Rubo -> Someip] PastErrorInformation Set response received.",
       "[SomeIp][Rubo -> Someip] Exception caught while setting a pastErrorInformation in SomeIp: ",
       "[SomeIp][Rubo -> Someip] Unknown Exception caught while setting a pastErrorInformation in SomeIp...",
       [](const CmcSetVariant& v) {
         const auto& e = boost::get<cmc::DT_pastErrorInformation_struct>(v);
         EXPECT_EQ(Text(e.type), "4");
         EXPECT_FALSE(e.confirmedByUser.has_value());
         EXPECT_FALSE(e.value.has_value());
         EXPECT_FALSE(e.additionalInformation.has_value());
       }});
  cases.push_back({"FactoryReset",
                   SOMEIP_RESOURCE_TYPE::RESET_TO_FACTORY_DATA,
                   [](L& l) {
                     return l.Update_FactoryResetInfo(
                         cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData{1});
                   },
                   {"[SomeIp][Rubo -> Someip] Received FactoryReset object from RUBO...",
                    "[SomeIp][Rubo -> Someip] FactoryReset {resetToFactoryData}: 1"},
                   "[SomeIp][Rubo -> Someip] Updating the someip field with values received from rubo...",
                   "[SomeIp][Rubo -> Someip] FactoryReset set call ended.",
                   "[SomeIp][Rubo -> Someip] FactoryReset Set timeout.",
                   "[SomeIp][Rubo -> Someip] FactoryReset Set response received.",
                   "[SomeIp][Rubo -> Someip] Exception caught while setting a ResetToFactoryData in SomeIp: ",
                   "[SomeIp][Rubo -> Someip] Unknown Exception caught while setting a ResetToFactoryData in SomeIp: ",
                   [](const CmcSetVariant& v) {
                     const auto& e = boost::get<cmc::DT_resetToFactoryData_struct>(v);
                     EXPECT_EQ(Text(e.resetToFactoryData), "1");
                     EXPECT_FALSE(e.lastReset.has_value());
                     EXPECT_FALSE(e.elementId.has_value());
                   }});
  return cases;
}

enum class Outcome { kNoProxy, kAnswered, kTimeout, kErrorAnswer, kTransportError, kUnknownException };

struct OutcomeCase {
  std::string name;
  Outcome outcome;
  SOMEIP_RESPONSE_TYPE result;
};

const std::vector<OutcomeCase> kOutcomes{
    {"NoProxy", Outcome::kNoProxy, SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR},
    {"Answered", Outcome::kAnswered, SOMEIP_RESPONSE_TYPE::RESPONSE_RECEIVED},
    {"Timeout", Outcome::kTimeout, SOMEIP_RESPONSE_TYPE::RESPONSE_TIMEOUT},
    {"ErrorAnswer", Outcome::kErrorAnswer, SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR},
    {"TransportError", Outcome::kTransportError, SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR},
    {"UnknownException", Outcome::kUnknownException, SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR},
};

struct CmcWrites : ::testing::Test, CmcListenerFixture {};

TEST_F(CmcWrites, EveryWriteTimesEveryOutcome) {
  for (const auto& w : WriteCases()) {
    for (const auto& o : kOutcomes) {
      SCOPED_TRACE(w.name + " " + o.name);
      ClearRecords();
      wrapper->written.clear();
      wrapper->proxyNull = o.outcome == Outcome::kNoProxy;
      wrapper->onSet = [&o](SOMEIP_RESOURCE_TYPE, const CmcSetVariant&) -> bool {
        switch (o.outcome) {
          case Outcome::kTimeout:
            return true;
          case Outcome::kErrorAnswer:
            throw ara::com::ServiceNotAvailableException();
          case Outcome::kTransportError:
            throw ara::com::TransportException();
          case Outcome::kUnknownException:
            throw 3;
          default:
            return false;
        }
      };

      EXPECT_EQ(w.write(*listener), o.result);

      Lines expected = w.intro;
      switch (o.outcome) {
        case Outcome::kNoProxy:
          break;
        case Outcome::kAnswered:
          expected.insert(expected.end(), {w.updating, w.ended});
          if (!w.response.empty()) {
            expected.push_back(w.response);
          }
          break;
        case Outcome::kTimeout:
          expected.insert(expected.end(), {w.updating, w.ended, w.timeout});
          break;
        case Outcome::kErrorAnswer:
          expected.insert(expected.end(), {w.updating, w.exception + "Service not available exception"});
          break;
        case Outcome::kTransportError:
          expected.insert(expected.end(), {w.updating, w.exception + "Transport exception"});
          break;
        case Outcome::kUnknownException:
          expected.insert(expected.end(), {w.updating, w.unknown});
          break;
      }
      EXPECT_EQ(Logs(), expected);
      if (o.outcome == Outcome::kNoProxy) {
        EXPECT_TRUE(WrapperCalls().empty());
      } else {
        EXPECT_EQ(WrapperCalls(), Lines{"Set " + Type(w.type) + " 1"});
        ASSERT_EQ(wrapper->written.size(), 1u);
        w.checkSent(wrapper->written.front());
      }
    }
  }
}

TEST_F(CmcWrites, ValueControlWithValueAndSpecialStateFromTheNavigationTarget) {
  wrapper->proxyNull = false;
  EXPECT_EQ(listener->Update_ValueControls(cmc::DT_ChargingManagementCore_valueControls_type{19}, 80u,
                                           cmc::DT_ChargingManagementCore_valueControls_specialState{1}, "RBEC"),
            SOMEIP_RESPONSE_TYPE::RESPONSE_RECEIVED);
  const auto logs = Logs();
  ASSERT_GE(logs.size(), 2u);
  EXPECT_EQ(logs[0], "[SomeIp] Received ValueControl object from RBEC");
  EXPECT_EQ(logs[1], "[SomeIp] ValueControl type: 19. ValueControl value: 80. ValueControl specialState: 1");
  const auto& sent = boost::get<cmc::DT_valueControls_struct>(wrapper->written.at(0));
  EXPECT_EQ(Text(sent.currentValue), "80");
  EXPECT_EQ(Text(sent.specialState), "1");
}

TEST_F(CmcWrites, WriteWaitComesFromTheConstructor) {
  auto quick =
      std::make_shared<ChargingManagementCoreListener>(wrapper, std::chrono::milliseconds(5), std::chrono::seconds(0));
  wrapper->proxyNull = false;
  quick->Update_SwitchControls(cmc::DT_ChargingManagementCore_switchControls_type{1}, std::nullopt);
  quick->FetchData();
  const auto calls = WrapperCalls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0], "Set 2 0");
  EXPECT_EQ(calls[2], "Get 0 5");
}

}  // namespace
}  // namespace someip_client_test
