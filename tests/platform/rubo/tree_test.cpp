#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "ara/log/capture_sink.h"
#include "ara/rest/allocator.h"
#include "rubo/server.h"

namespace {

namespace ogm = ara::rest::ogm;
using ara::rest::MakeSharedPointer;
using ara::rest::Uri;
using ara::rest::Uuid;

Uri U(const char* text) {
  return Uri::Builder(text).ToUri();
}

TEST(TreeTest, ServicesAndCollectionsCarryADescriptionFromConstruction) {
  auto service = MakeSharedPointer<rubo::ServerService>(Uuid{}, U("/Svc"), "Svc");
  auto resource = MakeSharedPointer<rubo::ServerResource>(Uuid::MakeV5("/Svc/items"), U("/Svc/items"), "items");
  EXPECT_TRUE(service->SetFieldValue<ogm::String>("description", "a service ", false));
  EXPECT_EQ(service->GetFieldValue<ogm::String>("description"), "a service ");
  resource->SetDescription("first");
  resource->SetDescription("second");
  EXPECT_EQ(resource->GetFieldValue<ogm::String>("description"), "second");
  EXPECT_EQ(resource->GetOGM().Size(), 1u);
  EXPECT_EQ(service->GetXObjectType(), rubo::kXObjectTypeService);
  EXPECT_EQ(resource->GetXObjectType(), rubo::kXObjectTypeResource);
  EXPECT_TRUE(service->IsLocal());
}

TEST(TreeTest, AddingAnObjectTwiceKeepsItOnceIdentityIsTheObject) {
  auto server = std::make_shared<rubo::Server>("srv", "/nonexistent/config.json");
  auto first = MakeSharedPointer<rubo::ServerService>(Uuid{}, U("/A"), "A");
  auto second = MakeSharedPointer<rubo::ServerService>(Uuid{}, U("/B"), "B");  // same all-zero UUID
  for (int i = 0; i < 19; ++i) {
    server->Add(first);
  }
  server->Add(second);
  EXPECT_EQ(server->GetSize(), 2u);
  EXPECT_EQ(server->FindByUriRecursive(std::string("/B")), second);
  EXPECT_EQ(server->FindByNameRecursive("A"), first);
  EXPECT_EQ(server->GetXObjectType(), rubo::kXObjectTypeServer);
}

TEST(TreeTest, ElementsAreASnapshotInInsertionOrderAndFoundByTheirCurrentPath) {
  auto service = MakeSharedPointer<rubo::ServerService>(Uuid{}, U("/Svc"), "Svc");
  auto resource = MakeSharedPointer<rubo::ServerResource>(Uuid::MakeV5("/Svc/items"), U("/Svc/items"), "items");
  service->Add(resource);
  std::vector<std::shared_ptr<rubo::ServerElement>> made;
  for (int i = 0; i < 3; ++i) {
    const auto uuid = Uuid::MakeV4();
    made.push_back(resource->MakeElement(uuid, U(("/Svc/items/" + uuid.ToString()).c_str()), "Item"));
    resource->Add(made.back());
  }
  const auto snapshot = resource->GetElements();
  ASSERT_EQ(snapshot.size(), 3u);
  EXPECT_EQ(snapshot[0], made[0]);
  EXPECT_EQ(snapshot[2], made[2]);
  EXPECT_TRUE(resource->Remove(made[1]->GetUuid()));
  EXPECT_FALSE(resource->Remove(made[1]->GetUuid()));
  EXPECT_EQ(snapshot.size(), 3u);
  EXPECT_EQ(resource->GetSize(), 2u);

  const auto oldPath = made[0]->GetUri().ToString();
  EXPECT_EQ(service->FindByUriRecursive(oldPath), made[0]);
  const auto uuid = Uuid::MakeV4();
  made[0]->SetUuid(uuid);
  made[0]->SetUri(U(("/Svc/items/" + uuid.ToString()).c_str()));
  EXPECT_EQ(service->FindByUriRecursive(oldPath), nullptr);
  EXPECT_EQ(service->FindByUriRecursive(made[0]->GetUri()), made[0]);
  EXPECT_EQ(service->FindByUuidRecursive(uuid), made[0]);
  EXPECT_EQ(service->FindByUuidRecursive(Uuid::MakeV5("/Svc/items")), resource);
}

TEST(TreeTest, ServerSearchesDepthFirstAndAMatchAboveWinsOverOneBelow) {
  auto server = std::make_shared<rubo::Server>("srv", "/nonexistent/config.json");
  auto service = MakeSharedPointer<rubo::ServerService>(Uuid::MakeV5("/Svc"), U("/Svc"), "Svc");
  auto resource = MakeSharedPointer<rubo::ServerResource>(Uuid::MakeV5("/Svc/items"), U("/Svc/items"), "items");
  const auto uuid = Uuid::MakeV4();
  auto element = resource->MakeElement(uuid, U("/Svc/items/one"), "Item");
  resource->Add(element);
  service->Add(resource);
  server->Add(service);
  // A later service named like the element: the element, met first depth first, is found.
  server->Add(MakeSharedPointer<rubo::ServerService>(Uuid{}, U("/Other"), "Item"));

  EXPECT_EQ(server->FindByUuidRecursive(uuid), element);
  EXPECT_EQ(server->FindByUriRecursive(std::string("/Svc/items/one")), element);
  EXPECT_EQ(server->FindByNameRecursive("Item"), element);
  EXPECT_EQ(server->FindByNameRecursive("items"), resource);
  EXPECT_EQ(server->FindByNameRecursive("Svc"), service);
  EXPECT_EQ(server->FindByUuidRecursive(Uuid::MakeV4()), nullptr);
  EXPECT_EQ(server->FindByUriRecursive(std::string("/Svc/items/two")), nullptr);
  EXPECT_EQ(resource->FindByNameRecursive("items"), nullptr);  // a collection searches its elements only
}

TEST(TreeTest, AddAndRemoveAreSafeAgainstConcurrentReaders) {
  auto resource = MakeSharedPointer<rubo::ServerResource>(Uuid::MakeV5("/S/c"), U("/S/c"), "c");
  std::atomic<bool> done{false};
  std::thread reader([&] {
    while (!done) {
      for (const auto& element : resource->GetElements()) {
        (void)element->ToOGM();
      }
      (void)resource->FindByUriRecursive(std::string("/S/c/x"));
    }
  });
  for (int i = 0; i < 500; ++i) {
    auto element = resource->MakeElement(Uuid::MakeV4(), U("/S/c/x"), "x");
    element->AddField<ogm::Int>("v");
    resource->Add(element);
    if (i % 2 == 0) {
      resource->Remove(element->GetUuid());
    }
  }
  done = true;
  reader.join();
  EXPECT_EQ(resource->GetSize(), 250u);
}

TEST(TreeTest, RegistryRecordsAndLogsItsStateFromAnyThread) {
  ara::log::ScopedCapture capture;
  auto service = MakeSharedPointer<rubo::ServerService>(Uuid{}, U("/Svc"), "Svc");
  EXPECT_FALSE(service->IsRegistered());
  rubo::UriList uris;
  uris.push_back(U("http://[::1]/"));
  std::thread([&] { EXPECT_TRUE(service->Register(uris)); }).join();
  EXPECT_TRUE(service->IsRegistered());
  ASSERT_EQ(service->GetRegisteredUris().size(), 1u);
  EXPECT_EQ(service->GetRegisteredUris()[0].ToString(), "http://[::1]/");
  EXPECT_TRUE(service->Deregister());
  EXPECT_FALSE(service->IsRegistered());
  const auto texts = capture->Texts("RUBO");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], "[Rubo] Registry: service /Svc registered at [http://[::1]/]");
  EXPECT_EQ(texts[1], "[Rubo] Registry: service /Svc deregistered");
}

}  // namespace
