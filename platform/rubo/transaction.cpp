#include "rubo/transaction.h"

#include "ara/rest/exception.h"

namespace rubo {

namespace ogm = ara::rest::ogm;

Transaction::Transaction(std::weak_ptr<Transaction> parent, bool withPendingValues)
    : pending_(withPendingValues ? ogm::Object::Make() : nullptr), parent_(std::move(parent)) {}

Transaction::~Transaction() = default;

bool Transaction::HasField(const std::string& name) const {
  std::lock_guard lock(mutex_);
  if (pending_ && pending_->HasField(name)) {
    return true;
  }
  if (const auto parent = parent_.lock()) {
    return parent->HasField(name);
  }
  return false;
}

void Transaction::AddFieldNode(const std::string& name, ara::rest::Pointer<ogm::Value> node) {
  std::lock_guard lock(mutex_);
  if (pending_ && !pending_->HasField(name)) {
    pending_->Insert(name, std::move(node));
  }
}

ara::rest::Pointer<ogm::Value> Transaction::GetFieldNode(const std::string& name, ogm::Kind kind) const {
  std::lock_guard lock(mutex_);
  const auto parent = parent_.lock();
  if (parent && (!pending_ || !pending_->HasField(name))) {
    return parent->GetFieldNode(name, kind);
  }
  const ogm::Field* field = pending_ ? pending_->GetField(name) : nullptr;
  if (field == nullptr || !field->HasValue() || field->GetValue()->GetKind() != kind) {
    throw ara::rest::DataModelException::FieldDoesNotExist(name);
  }
  return field->GetValue()->Clone();
}

bool Transaction::HasPendingValues() const {
  std::lock_guard lock(mutex_);
  return pending_ != nullptr;
}

ogm::Object Transaction::GetPendingValues() const {
  std::lock_guard lock(mutex_);
  return pending_ ? *pending_ : ogm::Object{};
}

std::shared_ptr<Transaction> Transaction::GetParent() const {
  std::lock_guard lock(mutex_);
  return parent_.lock();
}

}  // namespace rubo
