#include <gtest/gtest.h>

#include "ara/rest/allocator.h"
#include "ara/rest/exception.h"
#include "rubo/server_xobject.h"

namespace {

namespace ogm = ara::rest::ogm;

std::shared_ptr<rubo::ServerElement> MakeElement() {
  return ara::rest::MakeSharedPointer<rubo::ServerElement>(ara::rest::Uuid::MakeV4(), ara::rest::Uri{}, "E");
}

TEST(TransactionTest, CommitAppliesPendingValuesInOrder) {
  auto object = MakeElement();
  object->AddField<ogm::String>("a");
  object->SetFieldValue<ogm::String>("a", "old", false);
  EXPECT_EQ(object->GetLatestActiveTransaction(), nullptr);

  const auto transaction = object->BeginTransaction();
  EXPECT_EQ(object->GetLatestActiveTransaction(), transaction);
  object->SetFieldValue<ogm::String>("a", "new", false);
  object->AddField<ogm::Int>("b");
  object->SetFieldValue<ogm::Int>("b", 5, false);
  EXPECT_EQ(object->GetOGM().Size(), 1u);

  int commits = 0;
  object->SetPostTransactionCommitCallback([&](std::shared_ptr<rubo::BaseType>) { ++commits; });
  EXPECT_TRUE(object->CommitTransaction(transaction));
  EXPECT_EQ(commits, 1);
  EXPECT_EQ(object->GetLatestActiveTransaction(), nullptr);
  const auto graph = object->GetOGM();
  ASSERT_EQ(graph.Size(), 2u);
  EXPECT_EQ(ogm::Get<ogm::String>(graph, "a").GetValue(), "new");
  EXPECT_EQ(ogm::Get<ogm::Int>(graph, "b").GetValue(), 5);
  EXPECT_FALSE(object->CommitTransaction(transaction));  // ended
}

TEST(TransactionTest, DropAndRefusedCommitDiscardValues) {
  auto object = MakeElement();
  auto dropped = object->BeginTransaction();
  object->SetFieldValue<ogm::Bool>("x", true, false);
  object->DropTransaction(dropped);
  EXPECT_FALSE(object->HasField("x"));

  object->SetPreTransactionCommitCallback(
      [](std::shared_ptr<rubo::BaseType>, const rubo::Transaction&) { return false; });
  auto refused = object->BeginTransaction();
  object->SetFieldValue<ogm::Bool>("x", true, false);
  EXPECT_FALSE(object->CommitTransaction(refused));
  EXPECT_FALSE(object->HasField("x"));
  EXPECT_EQ(object->GetLatestActiveTransaction(), nullptr);
}

TEST(TransactionTest, NestedTransactionReadsThroughAndCommitsIntoItsParent) {
  auto object = MakeElement();
  auto outer = object->BeginTransaction();
  object->SetFieldValue<ogm::String>("s", "outer", false);
  auto inner = object->BeginTransaction();
  EXPECT_EQ(inner->GetParent(), outer);
  EXPECT_TRUE(inner->HasField("s"));
  EXPECT_EQ(inner->GetFieldValue<ogm::String>("s"), "outer");
  EXPECT_THROW(inner->GetFieldValue<ogm::Int>("s"), ara::rest::DataModelException);
  object->SetFieldValue<ogm::String>("s", "inner", false);
  EXPECT_EQ(outer->GetFieldValue<ogm::String>("s"), "outer");
  EXPECT_TRUE(object->CommitTransaction(inner));
  EXPECT_EQ(object->GetLatestActiveTransaction(), outer);
  EXPECT_EQ(outer->GetFieldValue<ogm::String>("s"), "inner");
  EXPECT_FALSE(object->GetOGM().HasField("s"));
  EXPECT_TRUE(object->CommitTransaction(outer));
  EXPECT_EQ(object->GetFieldValue<ogm::String>("s"), "inner");
}

TEST(TransactionTest, TransactionWithoutPendingValuesTakesNothing) {
  rubo::Transaction transaction({}, false);
  transaction.AddField<ogm::Int>("x");
  EXPECT_FALSE(transaction.HasField("x"));
  EXPECT_FALSE(transaction.HasPendingValues());
  EXPECT_THROW(transaction.GetFieldValue<ogm::Int>("x"), ara::rest::DataModelException);
}

}  // namespace
