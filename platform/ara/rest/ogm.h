#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ara/rest/allocator.h"
#include "ara/rest/exception.h"

// The object graph in which request bodies, properties and renderings travel. Every node
// owns its children; copies are deep and operator== compares deeply.
namespace ara::rest::ogm {

enum class Kind : std::uint8_t { kString, kInt, kReal, kBool, kArray, kObject, kField };

class Visitor;
class Value;

class Node {
 public:
  virtual ~Node() = default;
  virtual Kind GetKind() const noexcept = 0;
  // Calls the visitor's overload for this node's kind (only this node, not its children).
  virtual void Accept(Visitor& visitor) const = 0;
  // Deep equality; nodes of different kinds are never equal.
  virtual bool Equals(const Node& other) const = 0;

 protected:
  Node() = default;
  Node(const Node&) = default;
  Node& operator=(const Node&) = default;
};

class Value : public Node {
 public:
  // Deep copy.
  virtual Pointer<Value> Clone() const = 0;
};

class String final : public Value {
 public:
  using ValueType = std::string;
  static constexpr Kind kKind = Kind::kString;

  String() = default;
  explicit String(std::string value) : value_(std::move(value)) {}
  static Pointer<String> Make(std::string value = {});

  const std::string& GetValue() const noexcept { return value_; }
  void SetValue(std::string value) { value_ = std::move(value); }

  Kind GetKind() const noexcept override { return kKind; }
  void Accept(Visitor& visitor) const override;
  bool Equals(const Node& other) const override;
  Pointer<Value> Clone() const override;
  friend bool operator==(const String& a, const String& b) noexcept { return a.value_ == b.value_; }

 private:
  std::string value_;
};

class Int final : public Value {
 public:
  using ValueType = std::int64_t;
  static constexpr Kind kKind = Kind::kInt;

  Int() = default;
  explicit Int(std::int64_t value) : value_(value) {}
  static Pointer<Int> Make(std::int64_t value = 0);

  std::int64_t GetValue() const noexcept { return value_; }
  void SetValue(std::int64_t value) noexcept { value_ = value; }

  Kind GetKind() const noexcept override { return kKind; }
  void Accept(Visitor& visitor) const override;
  bool Equals(const Node& other) const override;
  Pointer<Value> Clone() const override;
  friend bool operator==(const Int& a, const Int& b) noexcept { return a.value_ == b.value_; }

 private:
  std::int64_t value_ = 0;
};

// Floating point of the widest native kind. A NaN never equals anything, itself included.
class Real final : public Value {
 public:
  using ValueType = long double;
  static constexpr Kind kKind = Kind::kReal;

  Real() = default;
  explicit Real(long double value) : value_(value) {}
  static Pointer<Real> Make(long double value = 0.0L);

  long double GetValue() const noexcept { return value_; }
  void SetValue(long double value) noexcept { value_ = value; }

  Kind GetKind() const noexcept override { return kKind; }
  void Accept(Visitor& visitor) const override;
  bool Equals(const Node& other) const override;
  Pointer<Value> Clone() const override;
  friend bool operator==(const Real& a, const Real& b) noexcept { return a.value_ == b.value_; }

 private:
  long double value_ = 0.0L;
};

class Bool final : public Value {
 public:
  using ValueType = bool;
  static constexpr Kind kKind = Kind::kBool;

  Bool() = default;
  explicit Bool(bool value) : value_(value) {}
  static Pointer<Bool> Make(bool value = false);

  bool GetValue() const noexcept { return value_; }
  void SetValue(bool value) noexcept { value_ = value; }

  Kind GetKind() const noexcept override { return kKind; }
  void Accept(Visitor& visitor) const override;
  bool Equals(const Node& other) const override;
  Pointer<Value> Clone() const override;
  friend bool operator==(const Bool& a, const Bool& b) noexcept { return a.value_ == b.value_; }

 private:
  bool value_ = false;
};

// Ordered list of values; an item is never null.
class Array final : public Value {
 public:
  static constexpr Kind kKind = Kind::kArray;

  Array() = default;
  Array(const Array& other);
  Array& operator=(const Array& other);
  Array(Array&&) noexcept = default;
  Array& operator=(Array&&) noexcept = default;
  static Pointer<Array> Make();

  // Appends the item; a null item is ignored.
  void Append(Pointer<Value> item);
  std::size_t Size() const noexcept { return items_.size(); }
  bool IsEmpty() const noexcept { return items_.empty(); }
  Value& At(std::size_t index) { return *items_.at(index); }
  const Value& At(std::size_t index) const { return *items_.at(index); }
  const std::vector<Pointer<Value>>& GetItems() const noexcept { return items_; }
  void Clear() noexcept { items_.clear(); }

  Kind GetKind() const noexcept override { return kKind; }
  void Accept(Visitor& visitor) const override;
  bool Equals(const Node& other) const override;
  Pointer<Value> Clone() const override;
  friend bool operator==(const Array& a, const Array& b) { return a.Equals(b); }

 private:
  std::vector<Pointer<Value>> items_;
};

// A name and an optional value (JSON null is a field without a value).
class Field final : public Node {
 public:
  static constexpr Kind kKind = Kind::kField;

  explicit Field(std::string name, Pointer<Value> value = nullptr);
  Field(const Field& other);
  Field& operator=(const Field& other);
  Field(Field&&) noexcept = default;
  Field& operator=(Field&&) noexcept = default;
  static Pointer<Field> Make(std::string name, Pointer<Value> value = nullptr);

  const std::string& GetName() const noexcept { return name_; }
  bool HasValue() const noexcept { return value_ != nullptr; }
  Value* GetValue() noexcept { return value_.get(); }
  const Value* GetValue() const noexcept { return value_.get(); }
  // Replaces the value; null clears it.
  void SetValue(Pointer<Value> value) noexcept { value_ = std::move(value); }
  Pointer<Value> ReleaseValue() noexcept { return std::move(value_); }

  Kind GetKind() const noexcept override { return kKind; }
  void Accept(Visitor& visitor) const override;
  bool Equals(const Node& other) const override;
  Pointer<Field> Clone() const;
  friend bool operator==(const Field& a, const Field& b) { return a.Equals(b); }

 private:
  std::string name_;
  Pointer<Value> value_;
};

// Fields in insertion order; a name occurs at most once.
class Object final : public Value {
 public:
  static constexpr Kind kKind = Kind::kObject;

  Object() = default;
  Object(const Object& other);
  Object& operator=(const Object& other);
  Object(Object&&) noexcept = default;
  Object& operator=(Object&&) noexcept = default;
  static Pointer<Object> Make();

  bool HasField(std::string_view name) const noexcept;
  // Null when there is no field of that name.
  Field* GetField(std::string_view name) noexcept;
  const Field* GetField(std::string_view name) const noexcept;
  // Appends the field; false (and nothing added) when a field of that name exists or the
  // field is null.
  bool Insert(Pointer<Field> field);
  bool Insert(std::string name, Pointer<Value> value);
  // False when there was no field of that name.
  bool Remove(std::string_view name);

  std::size_t Size() const noexcept { return fields_.size(); }
  bool IsEmpty() const noexcept { return fields_.empty(); }
  const std::vector<Pointer<Field>>& GetFields() const noexcept { return fields_; }
  void Clear() noexcept { fields_.clear(); }

  Kind GetKind() const noexcept override { return kKind; }
  void Accept(Visitor& visitor) const override;
  bool Equals(const Node& other) const override;
  Pointer<Value> Clone() const override;
  Pointer<Object> CloneObject() const;
  friend bool operator==(const Object& a, const Object& b) { return a.Equals(b); }

 private:
  std::vector<Pointer<Field>> fields_;
};

// Visitor of one node; the default overloads do nothing.
class Visitor {
 public:
  virtual ~Visitor() = default;
  virtual void Visit(const String&) {}
  virtual void Visit(const Int&) {}
  virtual void Visit(const Real&) {}
  virtual void Visit(const Bool&) {}
  virtual void Visit(const Array&) {}
  virtual void Visit(const Object&) {}
  virtual void Visit(const Field&) {}
};

// Visits every item of the array (every field of the object) in order. An exception thrown
// by the visitor for one item is logged at Error ("Failed to call Visit. Visitor throws,
// details:" followed by its text) and the visit goes on with the next item.
void Visit(const Array& array, Visitor& visitor);
void Visit(const Object& object, Visitor& visitor);

// The node as T when it is of T's kind, else null.
template <typename T>
T* As(Node* node) noexcept {
  return node != nullptr && node->GetKind() == T::kKind ? static_cast<T*>(node) : nullptr;
}
template <typename T>
const T* As(const Node* node) noexcept {
  return node != nullptr && node->GetKind() == T::kKind ? static_cast<const T*>(node) : nullptr;
}

// Get<Field>(object, name): the field of that name. Get<String>(object, name) (Int, Real,
// Bool, Array, Object likewise): the field's value, which must be of that kind. A missing
// field, a field without a value or one of another kind raises DataModelException.
template <typename T>
T& Get(Object& object, std::string_view name) {
  Field* field = object.GetField(name);
  if constexpr (std::is_same_v<T, Field>) {
    if (field != nullptr) {
      return *field;
    }
  } else {
    if (field != nullptr) {
      if (T* value = As<T>(field->GetValue())) {
        return *value;
      }
    }
  }
  throw DataModelException::FieldDoesNotExist(std::string(name));
}
template <typename T>
const T& Get(const Object& object, std::string_view name) {
  return Get<T>(const_cast<Object&>(object), name);
}

// A fresh node of kind T holding its default value ("" / 0 / 0.0 / false / empty).
template <typename T>
Pointer<Value> MakeDefault() {
  return std::make_unique<T>();
}

}  // namespace ara::rest::ogm
