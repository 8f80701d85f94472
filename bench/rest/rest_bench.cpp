#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ara/log/logging.h"
#include "ara/rest/allocator.h"
#include "ara/rest/serialize/json_serializer.h"
#include "rubo/server.h"
#include "tests/platform/rubo/http_test_client.h"

namespace {

namespace ogm = ara::rest::ogm;
using ara::rest::Uri;
using ara::rest::Uuid;

// An element whose linked fields render the linked elements' present state.
class LinkingElement : public rubo::ServerElement {
 public:
  using rubo::ServerElement::ServerElement;
  std::vector<std::pair<std::string, std::shared_ptr<rubo::ServerElement>>> links;

  ara::rest::Pointer<ogm::Object> ToOGM() const override {
    auto out = rubo::BaseType::ToOGM();
    for (const auto& [name, element] : links) {
      if (element && out->HasField(name)) {
        ogm::Get<ogm::Field>(*out, name).SetValue(element->ToOGM());
      }
    }
    return out;
  }
};

std::shared_ptr<rubo::ServerElement> MakeLinked(int index) {
  const auto uuid = Uuid::MakeV4();
  auto element = rubo::MakeObject<rubo::ServerElement>(uuid, Uri::Builder("/Svc/values/" + uuid.ToString()).ToUri(),
                                                       "ValueIndicationObject");
  element->AddField<ogm::String>("type");
  element->SetFieldValue<ogm::String>("type", "value" + std::to_string(index), false);
  element->AddField<ogm::Real>("currentValue");
  element->SetFieldValue<ogm::Real>("currentValue", 12.5L + index, false);
  element->AddField<ogm::Real>("maxValue");
  element->SetFieldValue<ogm::Real>("maxValue", 100.0L, false);
  element->AddField<ogm::String>("unitPercent");
  element->SetFieldValue<ogm::String>("unitPercent", "percent", false);
  return element;
}

// A charging-process-like element: a few own properties and 15 linked elements.
std::shared_ptr<LinkingElement> MakeParent() {
  auto parent = rubo::MakeObject<LinkingElement>(Uuid::MakeV4(), Uri::Builder("/Svc/items/p").ToUri(),
                                                 "ChargingProcessInformationObject");
  parent->AddField<ogm::String>("type");
  parent->SetFieldValue<ogm::String>("type", "chargingProcessInformation", false);
  parent->AddField<ogm::String>("chargeMode");
  parent->SetFieldValue<ogm::String>("chargeMode", "immediatelyDefault", false);
  for (int i = 0; i < 15; ++i) {
    const std::string name = "link" + std::to_string(i);
    auto linked = MakeLinked(i);
    parent->links.emplace_back(name, linked);
    parent->AddField<ogm::Object>(name);
    parent->SetFieldValue<ogm::Field, ogm::Object>(name, linked->ToOGM());
  }
  return parent;
}

void BM_RenderElementWith15Links(benchmark::State& state) {
  ara::log::SetConsoleEnabled(false);
  const auto parent = MakeParent();
  const ara::rest::serialize::JSONSerializer serializer;
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string text;
    serializer.SerializeTo(*parent->ToOGM(), text);
    bytes += text.size();
    benchmark::DoNotOptimize(text);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_RenderElementWith15Links);

struct ServedTree {
  ServedTree() {
    ara::log::SetConsoleEnabled(false);
    config = (std::filesystem::temp_directory_path() / ("rest_bench_" + std::to_string(::getpid()) + ".json")).string();
    std::ofstream(config) << R"({"address":"::1","port":0})";
    server = std::make_shared<rubo::Server>("bench", config);
    auto service = rubo::MakeObject<rubo::ServerService>(Uuid{}, Uri::Builder("/Svc").ToUri(), "Svc");
    auto items =
        rubo::MakeObject<rubo::ServerResource>(Uuid::MakeV5("/Svc/items"), Uri::Builder("/Svc/items").ToUri(), "items");
    service->Add(items);
    // A tree of about the application's size: the element is found among 60 others.
    for (int i = 0; i < 60; ++i) {
      items->Add(MakeLinked(i));
    }
    element = MakeLinked(99);
    items->Add(element);
    // A collection of about the size of the application's largest.
    auto twenty = rubo::MakeObject<rubo::ServerResource>(Uuid::MakeV5("/Svc/twenty"),
                                                         Uri::Builder("/Svc/twenty").ToUri(), "twenty");
    service->Add(twenty);
    for (int i = 0; i < 20; ++i) {
      twenty->Add(MakeLinked(100 + i));
    }
    server->Add(service);
    server->Start(false);
    path = element->GetUri().ToString();
  }
  ~ServedTree() {
    server->Stop(true);
    std::remove(config.c_str());
  }
  std::string config;
  std::shared_ptr<rubo::Server> server;
  std::shared_ptr<rubo::ServerElement> element;
  std::string path;
};

ServedTree& Tree() {
  static ServedTree tree;
  return tree;
}

// GETs of one element over a kept-alive connection per benchmark thread, client in-process.
void BM_GetElementKeepAlive(benchmark::State& state) {
  auto& tree = Tree();
  rubo::testing::HttpTestClient client(tree.server->GetPort());
  for (auto _ : state) {
    const auto result = client.Get(tree.path);
    if (result.status != 200) {
      state.SkipWithError("GET failed");
      break;
    }
    benchmark::DoNotOptimize(result);
  }
  state.counters["GETs/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GetElementKeepAlive)->Threads(1)->Threads(4)->UseRealTime();

// GETs of a collection of 20 elements, rendered with its elements, over a kept-alive connection.
void BM_GetCollectionKeepAlive(benchmark::State& state) {
  auto& tree = Tree();
  rubo::testing::HttpTestClient client(tree.server->GetPort());
  for (auto _ : state) {
    const auto result = client.Get("/Svc/twenty");
    if (result.status != 200) {
      state.SkipWithError("GET failed");
      break;
    }
    benchmark::DoNotOptimize(result);
  }
  state.counters["GETs/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GetCollectionKeepAlive)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
