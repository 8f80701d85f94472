#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"

namespace rubo {

class BaseType;

// Pending property changes of one object, opened and committed by the framework (see
// BaseType::BeginTransaction). Reads fall through to the enclosing transaction for names
// this one does not hold.
class Transaction {
 public:
  // withPendingValues false makes a transaction that holds nothing and takes nothing.
  explicit Transaction(std::weak_ptr<Transaction> parent = {}, bool withPendingValues = true);
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();

  bool HasField(const std::string& name) const;

  // Appends a field of kind T with its default value when pending values exist and lack
  // the name; otherwise nothing.
  template <typename T>
  void AddField(const std::string& name) {
    AddFieldNode(name, ara::rest::ogm::MakeDefault<T>());
  }

  // The pending value (or the parent's, for a name this one does not hold). Throws
  // ara::rest::DataModelException for a missing field or one of another kind.
  template <typename T>
  requires requires { typename T::ValueType; }
  typename T::ValueType GetFieldValue(const std::string& name) const {
    const auto node = GetFieldNode(name, T::kKind);
    return static_cast<const T&>(*node).GetValue();
  }

  bool HasPendingValues() const;
  // Copy of the pending values (empty when there are none).
  ara::rest::ogm::Object GetPendingValues() const;
  // Null when there is none or it has ended.
  std::shared_ptr<Transaction> GetParent() const;

  void AddFieldNode(const std::string& name, ara::rest::Pointer<ara::rest::ogm::Value> node);
  ara::rest::Pointer<ara::rest::ogm::Value> GetFieldNode(const std::string& name, ara::rest::ogm::Kind kind) const;

 private:
  friend class BaseType;

  mutable std::recursive_mutex mutex_;
  ara::rest::Pointer<ara::rest::ogm::Object> pending_;
  std::weak_ptr<Transaction> parent_;
};

}  // namespace rubo
