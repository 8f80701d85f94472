#include "rubo/base_type.h"

#include <algorithm>
#include <optional>

#include "ara/rest/exception.h"
#include "rubo/detail/route_index.h"

namespace rubo {

namespace ogm = ara::rest::ogm;
using ara::rest::Pointer;

namespace {

// Moves the fields of source into target: an existing field gets the new value, a new one
// is appended.
void MergeInto(ogm::Object& target, ogm::Object& source) {
  for (const auto& field : source.GetFields()) {
    if (ogm::Field* existing = target.GetField(field->GetName())) {
      existing->SetValue(field->ReleaseValue());
    } else {
      target.Insert(field->GetName(), field->ReleaseValue());
    }
  }
  source.Clear();
}

// Revisions of every object come from one counter, so that no two states share one.
std::atomic<std::uint64_t> nextRevision{1};

}  // namespace

BaseType::BaseType() : revision_(nextRevision.fetch_add(1, std::memory_order_relaxed)) {}
BaseType::~BaseType() = default;

void BaseType::RemoveField(const std::string& name) {
  {
    std::lock_guard lock(mutex_);
    committed_.Remove(name);
    NoteChange();
  }
  if (const auto transaction = GetLatestActiveTransaction()) {
    std::lock_guard lock(transaction->mutex_);
    if (transaction->pending_) {
      transaction->pending_->Remove(name);
    }
  }
}

bool BaseType::HasField(const std::string& name) const {
  {
    std::lock_guard lock(mutex_);
    if (committed_.HasField(name)) {
      return true;
    }
  }
  const auto transaction = GetLatestActiveTransaction();
  return transaction && transaction->HasField(name);
}

void BaseType::AddFieldNode(const std::string& name, Pointer<ogm::Value> node) {
  if (const auto transaction = GetLatestActiveTransaction()) {
    transaction->AddFieldNode(name, std::move(node));
  } else {
    std::lock_guard lock(mutex_);
    // A second field of one name would corrupt the rendering; callers that race between
    // HasField and AddField get the existing one.
    if (!committed_.HasField(name)) {
      committed_.Insert(name, std::move(node));
      NoteChange();
    }
  }
  NotifyPostChange(name);
}

Pointer<ogm::Value> BaseType::GetFieldNode(const std::string& name, ogm::Kind kind) const {
  if (const auto transaction = GetLatestActiveTransaction(); transaction && transaction->HasField(name)) {
    return transaction->GetFieldNode(name, kind);
  }
  std::lock_guard lock(mutex_);
  const ogm::Field* field = committed_.GetField(name);
  if (field == nullptr || !field->HasValue() || field->GetValue()->GetKind() != kind) {
    throw ara::rest::DataModelException::FieldDoesNotExist(name);
  }
  return field->GetValue()->Clone();
}

bool BaseType::SetScalarNode(const std::string& name, Pointer<ogm::Value> node, bool forceNotify) {
  if (!PreChangeAllows(name, node.get())) {
    return false;
  }
  bool changed = false;
  if (const auto transaction = GetLatestActiveTransaction()) {
    std::lock_guard lock(transaction->mutex_);
    if (!transaction->pending_) {
      changed = false;
    } else if (!transaction->pending_->HasField(name)) {
      transaction->pending_->Insert(name, std::move(node));
      changed = true;
    } else {
      const auto current = transaction->GetFieldNode(name, node->GetKind());
      if (current->Equals(*node)) {
        changed = false;
      } else {
        transaction->pending_->GetField(name)->SetValue(std::move(node));
        changed = true;
      }
    }
  } else {
    const auto current = GetFieldNode(name, node->GetKind());  // throws for a missing property
    if (!current->Equals(*node)) {
      std::lock_guard lock(mutex_);
      ogm::Field* field = committed_.GetField(name);
      if (field == nullptr) {
        throw ara::rest::DataModelException::FieldDoesNotExist(name);
      }
      if (!field->HasValue() || !field->GetValue()->Equals(*node)) {
        field->SetValue(std::move(node));
        NoteChange();
      }
      changed = true;
    }
  }
  if (changed || forceNotify) {
    NotifyPostChange(name);
  }
  return changed;
}

bool BaseType::SetCompositeNode(const std::string& name, Pointer<ogm::Value> node) {
  if (!PreChangeAllows(name, node.get())) {
    return false;
  }
  bool changed = false;
  if (const auto transaction = GetLatestActiveTransaction()) {
    std::lock_guard lock(transaction->mutex_);
    if (!transaction->pending_) {
      changed = false;
    } else if (ogm::Field* field = transaction->pending_->GetField(name); field == nullptr) {
      transaction->pending_->Insert(name, std::move(node));
      changed = true;
    } else if (node && field->HasValue() && field->GetValue()->Equals(*node)) {
      changed = false;
    } else {
      field->SetValue(std::move(node));
      changed = true;
    }
  } else {
    std::lock_guard lock(mutex_);
    ogm::Field* field = committed_.GetField(name);
    if (field == nullptr) {
      throw ara::rest::DataModelException::FieldDoesNotExist(name);
    }
    if (node && field->HasValue() && field->GetValue()->Equals(*node)) {
      changed = false;
    } else {
      field->SetValue(std::move(node));
      NoteChange();
      changed = true;
    }
  }
  NotifyPostChange(name);
  return changed;
}

ogm::Object BaseType::GetOGM() const {
  std::lock_guard lock(mutex_);
  return committed_;
}

Pointer<ogm::Object> BaseType::ToOGM() const {
  std::lock_guard lock(mutex_);
  return committed_.CloneObject();
}

std::shared_ptr<Transaction> BaseType::GetLatestActiveTransaction() const {
  std::lock_guard lock(mutex_);
  return transactions_.empty() ? nullptr : transactions_.back();
}

std::shared_ptr<Transaction> BaseType::BeginTransaction() {
  std::lock_guard lock(mutex_);
  std::weak_ptr<Transaction> parent;
  if (!transactions_.empty()) {
    parent = transactions_.back();
  }
  auto transaction = std::make_shared<Transaction>(parent);
  transactions_.push_back(transaction);
  return transaction;
}

bool BaseType::CommitTransaction(const std::shared_ptr<Transaction>& transaction) {
  {
    std::lock_guard lock(mutex_);
    if (std::find(transactions_.begin(), transactions_.end(), transaction) == transactions_.end()) {
      return false;
    }
  }
  if (const auto preCommit = GetPreTransactionCommitCallback();
      preCommit && !preCommit(shared_from_this(), *transaction)) {
    DropTransaction(transaction);
    return false;
  }
  {
    std::lock_guard lock(mutex_);
    const auto it = std::find(transactions_.begin(), transactions_.end(), transaction);
    if (it == transactions_.end()) {
      return false;
    }
    // Transactions nested in this one end with it.
    transactions_.erase(it, transactions_.end());
    std::lock_guard transactionLock(transaction->mutex_);
    if (transaction->pending_) {
      const auto parent = transaction->parent_.lock();
      const bool parentOpen =
          parent && std::find(transactions_.begin(), transactions_.end(), parent) != transactions_.end();
      if (parentOpen) {
        std::lock_guard parentLock(parent->mutex_);
        if (parent->pending_) {
          MergeInto(*parent->pending_, *transaction->pending_);
        }
      } else {
        MergeInto(committed_, *transaction->pending_);
        NoteChange();
      }
    }
  }
  if (const auto postCommit = GetPostTransactionCommitCallback()) {
    postCommit(shared_from_this());
  }
  return true;
}

void BaseType::DropTransaction(const std::shared_ptr<Transaction>& transaction) {
  std::lock_guard lock(mutex_);
  const auto it = std::find(transactions_.begin(), transactions_.end(), transaction);
  transactions_.erase(it, transactions_.end());
}

void BaseType::SetPrePropertyChangeCallback(PrePropertyChangeCallback callback) {
  std::lock_guard lock(callbackMutex_);
  prePropertyChange_ = std::move(callback);
}
void BaseType::SetPostPropertyChangeCallback(PostPropertyChangeCallback callback) {
  std::lock_guard lock(callbackMutex_);
  postPropertyChange_ = std::move(callback);
}
BaseType::PrePropertyChangeCallback BaseType::GetPrePropertyChangeCallback() const {
  std::lock_guard lock(callbackMutex_);
  return prePropertyChange_;
}
BaseType::PostPropertyChangeCallback BaseType::GetPostPropertyChangeCallback() const {
  std::lock_guard lock(callbackMutex_);
  return postPropertyChange_;
}
void BaseType::SetPreTransactionCommitCallback(PreTransactionCommitCallback callback) {
  std::lock_guard lock(callbackMutex_);
  preTransactionCommit_ = std::move(callback);
}
void BaseType::SetPostTransactionCommitCallback(PostTransactionCommitCallback callback) {
  std::lock_guard lock(callbackMutex_);
  postTransactionCommit_ = std::move(callback);
}
BaseType::PreTransactionCommitCallback BaseType::GetPreTransactionCommitCallback() const {
  std::lock_guard lock(callbackMutex_);
  return preTransactionCommit_;
}
BaseType::PostTransactionCommitCallback BaseType::GetPostTransactionCommitCallback() const {
  std::lock_guard lock(callbackMutex_);
  return postTransactionCommit_;
}

bool BaseType::PreChangeAllows(const std::string& name, const ogm::Value* proposed) {
  const auto callback = GetPrePropertyChangeCallback();
  if (!callback) {
    return true;
  }
  std::optional<ogm::Field> copy;
  {
    std::lock_guard lock(mutex_);
    if (!committed_.HasField(name)) {
      return true;
    }
    copy.emplace(name, proposed != nullptr ? proposed->Clone() : nullptr);
  }
  return callback(shared_from_this(), *copy);
}

void BaseType::NoteChange() noexcept {
  revision_.store(nextRevision.fetch_add(1, std::memory_order_relaxed), std::memory_order_release);
}

void BaseType::NotifyPostChange(const std::string& name) {
  if (const auto callback = GetPostPropertyChangeCallback()) {
    callback(shared_from_this(), name);
  }
}

// --- BaseXObject ---

BaseXObject::BaseXObject(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name)
    : uuid_(uuid), uuidText_(uuid.ToString()), uri_(uri), uriText_(uri.ToString(false)), name_(std::move(name)) {}

BaseXObject::~BaseXObject() = default;

ara::rest::Uuid BaseXObject::GetUuid() const {
  std::lock_guard lock(identityMutex_);
  return uuid_;
}
void BaseXObject::SetUuid(const ara::rest::Uuid& uuid) {
  auto text = uuid.ToString();
  std::lock_guard lock(identityMutex_);
  uuid_ = uuid;
  uuidText_ = std::move(text);
  NoteChange();
}
ara::rest::Uri BaseXObject::GetUri() const {
  std::lock_guard lock(identityMutex_);
  return uri_;
}
void BaseXObject::SetUri(const ara::rest::Uri& uri) {
  auto text = uri.ToString(false);
  {
    std::lock_guard lock(identityMutex_);
    uri_ = uri;
    uriText_ = std::move(text);
    NoteChange();
  }
  detail::NoteTreeChange();  // routing follows the new path
}
std::string BaseXObject::GetName() const {
  std::lock_guard lock(identityMutex_);
  return name_;
}
void BaseXObject::SetName(std::string name) {
  std::lock_guard lock(identityMutex_);
  name_ = std::move(name);
  NoteChange();
}
bool BaseXObject::HasUri(std::string_view uriText) const {
  std::lock_guard lock(identityMutex_);
  return uriText_ == uriText;
}
void BaseXObject::SetSpec(Pointer<ogm::Object> spec) {
  std::lock_guard lock(identityMutex_);
  spec_ = std::move(spec);
}
Pointer<ogm::Object> BaseXObject::GetSpec() const {
  std::lock_guard lock(identityMutex_);
  return spec_ ? spec_->CloneObject() : nullptr;
}

}  // namespace rubo
