#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rubo/transaction.h"

namespace rubo {

template <typename T>
concept ScalarKind = std::is_same_v<T, ara::rest::ogm::String> || std::is_same_v<T, ara::rest::ogm::Int> ||
    std::is_same_v<T, ara::rest::ogm::Real> || std::is_same_v<T, ara::rest::ogm::Bool>;
template <typename T>
concept PropertyKind =
    ScalarKind<T> || std::is_same_v<T, ara::rest::ogm::Array> || std::is_same_v<T, ara::rest::ogm::Object>;
template <typename T>
concept CompositeKind = std::is_same_v<T, ara::rest::ogm::Array> || std::is_same_v<T, ara::rest::ogm::Object>;

class BaseType;
template <typename T, typename... Args>
std::shared_ptr<T> MakeObject(Args&&... args);

// Properties of a REST object: named fields of an object graph in the order they were added,
// guarded by the object's recursive mutex, with optional change callbacks and transactions.
// Callbacks never run while a lock is held.
class BaseType : public std::enable_shared_from_this<BaseType> {
 public:
  // Consulted before a committed property changes; false vetoes the change.
  using PrePropertyChangeCallback = std::function<bool(std::shared_ptr<BaseType>, const ara::rest::ogm::Field&)>;
  using PostPropertyChangeCallback = std::function<void(std::shared_ptr<BaseType>, const std::string&)>;
  // Consulted before a transaction's values are committed; false drops them.
  using PreTransactionCommitCallback = std::function<bool(std::shared_ptr<BaseType>, const Transaction&)>;
  using PostTransactionCommitCallback = std::function<void(std::shared_ptr<BaseType>)>;

  BaseType();
  virtual ~BaseType();
  BaseType(const BaseType&) = delete;
  BaseType& operator=(const BaseType&) = delete;

  // Removes the property from the committed values and from the latest active transaction.
  virtual void RemoveField(const std::string& name);

  // True when the committed values or the latest active transaction hold the name.
  bool HasField(const std::string& name) const;

  // Adds a property of kind T holding T's default. A name that exists already is left as
  // it is (nothing is added). Inside a transaction the field goes to the transaction.
  template <PropertyKind T>
  void AddField(const std::string& name) {
    AddFieldNode(name, ara::rest::ogm::MakeDefault<T>());
  }

  // Sets a scalar property; true when the value changed. Outside a transaction a missing
  // property raises ara::rest::DataModelException.
  template <ScalarKind T>
  bool SetFieldValue(const std::string& name, const typename T::ValueType& value, bool forceNotify) {
    return SetScalarNode(name, std::make_unique<T>(value), forceNotify);
  }

  // Sets a whole object or array (F is ara::rest::ogm::Field); a null value clears the
  // property's value. Notifies after every call that was not vetoed.
  template <typename F, CompositeKind T>
  requires std::is_same_v<F, ara::rest::ogm::Field>
  bool SetFieldValue(const std::string& name, ara::rest::Pointer<T> value) {
    return SetCompositeNode(name, std::move(value));
  }

  // A pending value of the latest active transaction wins over the committed one. Throws
  // ara::rest::DataModelException for a missing property or one of another kind.
  template <ScalarKind T>
  typename T::ValueType GetFieldValue(const std::string& name) const {
    const auto node = GetFieldNode(name, T::kKind);
    return static_cast<const T&>(*node).GetValue();
  }

  // Copy of the committed properties (no pending values).
  ara::rest::ogm::Object GetOGM() const;
  // Calls f with the committed properties under the object's lock, without copying them (the
  // framework renders this way). f must not wait for another thread that uses this object.
  template <typename F>
  void ReadCommitted(F&& f) const {
    std::lock_guard lock(mutex_);
    f(static_cast<const ara::rest::ogm::Object&>(committed_));
  }
  // A new graph of the committed properties, copied under the object's lock.
  virtual ara::rest::Pointer<ara::rest::ogm::Object> ToOGM() const;
  // True when the object's class may replace ToOGM, so that rendering goes through it; false
  // only for an object MakeObject made of a class that keeps the framework's ToOGM.
  bool RendersThroughToOGM() const noexcept { return rendersThroughToOGM_; }
  // Moves on whenever a committed property (or, for a BaseXObject, the identity) changes, to
  // a value no object of the process had before: one address with one revision is one object
  // in one state, so a thread may reuse what it rendered of it.
  std::uint64_t GetRevision() const noexcept { return revision_.load(std::memory_order_acquire); }

  // The innermost open transaction, or null.
  std::shared_ptr<Transaction> GetLatestActiveTransaction() const;

  // Framework side: a new transaction nested in the latest active one.
  std::shared_ptr<Transaction> BeginTransaction();
  // Moves the pending values into the enclosing transaction, or into the committed
  // properties when there is none, and ends the transaction. False when the pre-commit
  // callback refused (the values are then dropped) or the transaction is not open here.
  bool CommitTransaction(const std::shared_ptr<Transaction>& transaction);
  // Ends the transaction without applying its values (and every transaction nested in it).
  void DropTransaction(const std::shared_ptr<Transaction>& transaction);

  void SetPrePropertyChangeCallback(PrePropertyChangeCallback callback);
  void SetPostPropertyChangeCallback(PostPropertyChangeCallback callback);
  PrePropertyChangeCallback GetPrePropertyChangeCallback() const;
  PostPropertyChangeCallback GetPostPropertyChangeCallback() const;
  void SetPreTransactionCommitCallback(PreTransactionCommitCallback callback);
  void SetPostTransactionCommitCallback(PostTransactionCommitCallback callback);
  virtual PreTransactionCommitCallback GetPreTransactionCommitCallback() const;
  virtual PostTransactionCommitCallback GetPostTransactionCommitCallback() const;

  // Untyped forms of the operations above.
  void AddFieldNode(const std::string& name, ara::rest::Pointer<ara::rest::ogm::Value> node);
  bool SetScalarNode(const std::string& name, ara::rest::Pointer<ara::rest::ogm::Value> node, bool forceNotify);
  bool SetCompositeNode(const std::string& name, ara::rest::Pointer<ara::rest::ogm::Value> node);
  ara::rest::Pointer<ara::rest::ogm::Value> GetFieldNode(const std::string& name, ara::rest::ogm::Kind kind) const;

 protected:
  std::recursive_mutex& GetObjectMutex() const noexcept { return mutex_; }
  // After a change, under the lock that guards what changed.
  void NoteChange() noexcept;

 private:
  template <typename T, typename... Args>
  friend std::shared_ptr<T> MakeObject(Args&&... args);

  bool PreChangeAllows(const std::string& name, const ara::rest::ogm::Value* proposed);
  void NotifyPostChange(const std::string& name);

  mutable std::recursive_mutex mutex_;
  ara::rest::ogm::Object committed_;
  std::atomic<std::uint64_t> revision_;
  std::vector<std::shared_ptr<Transaction>> transactions_;  // innermost last
  mutable std::mutex callbackMutex_;
  PrePropertyChangeCallback prePropertyChange_;
  PostPropertyChangeCallback postPropertyChange_;
  PreTransactionCommitCallback preTransactionCommit_;
  PostTransactionCommitCallback postTransactionCommit_;
  // Written once by MakeObject before the object is shared.
  bool rendersThroughToOGM_ = true;
};

// Makes a REST object of class T. Whether T replaces ToOGM is decided here, from T's own
// declaration: an object of a class that keeps the framework's ToOGM is rendered from its
// properties under its lock, without a copy. An object made any other way renders through
// ToOGM, which is always right, only slower.
template <typename T, typename... Args>
std::shared_ptr<T> MakeObject(Args&&... args) {
  static_assert(std::is_base_of_v<BaseType, T>, "MakeObject makes REST objects");
  using FrameworkToOGM = ara::rest::Pointer<ara::rest::ogm::Object> (BaseType::*)() const;
  auto object = ara::rest::MakeSharedPointer<T>(std::forward<Args>(args)...);
  static_cast<BaseType&>(*object).rendersThroughToOGM_ = !std::is_same_v<decltype(&T::ToOGM), FrameworkToOGM>;
  return object;
}

// Object type codes of GetXObjectType.
inline constexpr int kXObjectTypeServer = 1;
inline constexpr int kXObjectTypeService = 2;
inline constexpr int kXObjectTypeResource = 3;
inline constexpr int kXObjectTypeElement = 4;

// A REST object with identity (UUID), path (URI), name and an optional specification.
// Identity, path and name may change while the server runs; requests are routed by the
// path the object has when the request arrives.
class BaseXObject : public BaseType {
 public:
  BaseXObject(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name);
  ~BaseXObject() override;

  ara::rest::Uuid GetUuid() const;
  void SetUuid(const ara::rest::Uuid& uuid);
  ara::rest::Uri GetUri() const;
  void SetUri(const ara::rest::Uri& uri);
  std::string GetName() const;
  void SetName(std::string name);
  // True when the object's URI text (ToString(false)) equals the text.
  bool HasUri(std::string_view uriText) const;

  // The object's machine-readable description, served on request.
  void SetSpec(ara::rest::Pointer<ara::rest::ogm::Object> spec);
  // Copy of the specification; null when none was set.
  ara::rest::Pointer<ara::rest::ogm::Object> GetSpec() const;

  // Without copies, for rendering: f(uuid text, URI text, name) under the identity lock, and
  // f(specification or null). f must take no lock of this object.
  template <typename F>
  void ReadIdentity(F&& f) const {
    std::lock_guard lock(identityMutex_);
    f(std::string_view(uuidText_), std::string_view(uriText_), std::string_view(name_));
  }
  template <typename F>
  void ReadSpec(F&& f) const {
    std::lock_guard lock(identityMutex_);
    f(static_cast<const ara::rest::ogm::Object*>(spec_.get()));
  }

  virtual int GetXObjectType() const = 0;

 private:
  mutable std::mutex identityMutex_;
  ara::rest::Uuid uuid_;
  std::string uuidText_;
  ara::rest::Uri uri_;
  std::string uriText_;
  std::string name_;
  ara::rest::Pointer<ara::rest::ogm::Object> spec_;
};

}  // namespace rubo
