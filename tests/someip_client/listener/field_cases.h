#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "fakes.h"
#include "someip_client/cmc/charging_management_core_listener.h"

namespace someip_client_test {

using orik::chargingManagementCoreListener::ChargingManagementCoreListener;
using orik::chargingManagementCoreListener::CmcCachedSamplesVariant;
using orik::chargingManagementCoreListener::CmcGetVariant;
using orik::chargingManagementCoreListener::CmcSamplePtrs;

template <typename Enum>
std::vector<Enum> Enums(std::initializer_list<std::uint32_t> values) {
  std::vector<Enum> out;
  for (auto v : values) {
    out.push_back(static_cast<Enum>(v));
  }
  return out;
}

// One relayed field: two typed elements A and B and one element U with every member absent.
// Notifications carry two samples {A, U} and {B}; poll answers carry {A, U, B}.
struct FieldCase {
  std::string name;
  SOMEIP_RESOURCE_TYPE type;
  void (ChargingManagementCoreListener::*handler)();
  void (ChargingManagementCoreListener::*poll)(const std::chrono::milliseconds&);
  std::function<CmcCachedSamplesVariant()> samples;
  std::function<CmcGetVariant()> read;
  std::vector<std::string> relays;
  std::string received;
  std::string countPrefix;
  std::string noType;  // empty: dropped silently
  std::string empty;
  std::string getCountSuffix;
  std::string getFailed;
  std::string getNoType;  // empty: dropped silently
  bool needsProxy = false;
};

// A case prints as its name: test output and listings stay short and identical on every build.
inline void PrintTo(const FieldCase& c, std::ostream* os) {
  *os << c.name;
}

struct Texts {
  std::string received, countPrefix, noType, empty, getCountSuffix, getFailed, getNoType;
};

template <typename Element>
FieldCase MakeCase(std::string name, SOMEIP_RESOURCE_TYPE type, void (ChargingManagementCoreListener::*handler)(),
                   void (ChargingManagementCoreListener::*poll)(const std::chrono::milliseconds&), Element a, Element b,
                   std::vector<std::string> relays, Texts texts, bool needsProxy = false) {
  FieldCase c;
  c.name = std::move(name);
  c.type = type;
  c.handler = handler;
  c.poll = poll;
  c.samples = [a, b] {
    return CmcCachedSamplesVariant{
        CmcSamplePtrs<Element>{std::make_shared<const std::vector<Element>>(std::vector<Element>{a, Element{}}),
                               std::make_shared<const std::vector<Element>>(std::vector<Element>{b})}};
  };
  c.read = [a, b] { return CmcGetVariant{std::vector<Element>{a, Element{}, b}}; };
  c.relays = std::move(relays);
  c.received = texts.received;
  c.countPrefix = texts.countPrefix;
  c.noType = texts.noType;
  c.empty = texts.empty;
  c.getCountSuffix = texts.getCountSuffix;
  c.getFailed = texts.getFailed;
  c.getNoType = texts.getNoType;
  c.needsProxy = needsProxy;
  return c;
}

std::vector<FieldCase> AllFieldCases();

}  // namespace someip_client_test
