#include "ara/rest/ogm.h"

#include <exception>

#include "ara/log/logging.h"

namespace ara::rest::ogm {
namespace {

ara::log::Logger& RestLogger() {
  static ara::log::Logger& logger = ara::log::CreateLogger("REST", "ara::rest");
  return logger;
}

template <typename T>
const T* Same(const Node& other) {
  return other.GetKind() == T::kKind ? static_cast<const T*>(&other) : nullptr;
}

void VisitOne(const Node& node, Visitor& visitor) {
  try {
    node.Accept(visitor);
  } catch (const std::exception& e) {
    RestLogger().LogError() << "Failed to call Visit. Visitor throws, details:" << e.what();
  } catch (...) {
    RestLogger().LogError() << "Failed to call Visit. Visitor throws, details:"
                            << "unknown exception";
  }
}

// A deep copy: nodes own their children.
template <typename T>
std::vector<Pointer<T>> CloneAll(const std::vector<Pointer<T>>& nodes) {
  std::vector<Pointer<T>> copies;
  copies.reserve(nodes.size());
  for (const auto& node : nodes) {
    copies.push_back(node->Clone());
  }
  return copies;
}

}  // namespace

// --- scalars ---

Pointer<String> String::Make(std::string value) {
  return std::make_unique<String>(std::move(value));
}
void String::Accept(Visitor& visitor) const {
  visitor.Visit(*this);
}
bool String::Equals(const Node& other) const {
  const auto* o = Same<String>(other);
  return o != nullptr && o->value_ == value_;
}
Pointer<Value> String::Clone() const {
  return std::make_unique<String>(*this);
}

Pointer<Int> Int::Make(std::int64_t value) {
  return std::make_unique<Int>(value);
}
void Int::Accept(Visitor& visitor) const {
  visitor.Visit(*this);
}
bool Int::Equals(const Node& other) const {
  const auto* o = Same<Int>(other);
  return o != nullptr && o->value_ == value_;
}
Pointer<Value> Int::Clone() const {
  return std::make_unique<Int>(*this);
}

Pointer<Real> Real::Make(long double value) {
  return std::make_unique<Real>(value);
}
void Real::Accept(Visitor& visitor) const {
  visitor.Visit(*this);
}
bool Real::Equals(const Node& other) const {
  const auto* o = Same<Real>(other);
  return o != nullptr && o->value_ == value_;
}
Pointer<Value> Real::Clone() const {
  return std::make_unique<Real>(*this);
}

Pointer<Bool> Bool::Make(bool value) {
  return std::make_unique<Bool>(value);
}
void Bool::Accept(Visitor& visitor) const {
  visitor.Visit(*this);
}
bool Bool::Equals(const Node& other) const {
  const auto* o = Same<Bool>(other);
  return o != nullptr && o->value_ == value_;
}
Pointer<Value> Bool::Clone() const {
  return std::make_unique<Bool>(*this);
}

// --- Array ---

Array::Array(const Array& other) : Value(other), items_(CloneAll(other.items_)) {}

Array& Array::operator=(const Array& other) {
  if (this != &other) {
    items_ = CloneAll(other.items_);
  }
  return *this;
}

Pointer<Array> Array::Make() {
  return std::make_unique<Array>();
}

void Array::Append(Pointer<Value> item) {
  if (item) {
    items_.push_back(std::move(item));
  }
}

void Array::Accept(Visitor& visitor) const {
  visitor.Visit(*this);
}

bool Array::Equals(const Node& other) const {
  const auto* o = Same<Array>(other);
  if (o == nullptr || o->items_.size() != items_.size()) {
    return false;
  }
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (!items_[i]->Equals(*o->items_[i])) {
      return false;
    }
  }
  return true;
}

Pointer<Value> Array::Clone() const {
  return std::make_unique<Array>(*this);
}

// --- Field ---

Field::Field(std::string name, Pointer<Value> value) : name_(std::move(name)), value_(std::move(value)) {}

Field::Field(const Field& other)
    : Node(other), name_(other.name_), value_(other.value_ ? other.value_->Clone() : nullptr) {}

Field& Field::operator=(const Field& other) {
  if (this != &other) {
    name_ = other.name_;
    value_ = other.value_ ? other.value_->Clone() : nullptr;
  }
  return *this;
}

Pointer<Field> Field::Make(std::string name, Pointer<Value> value) {
  return std::make_unique<Field>(std::move(name), std::move(value));
}

void Field::Accept(Visitor& visitor) const {
  visitor.Visit(*this);
}

bool Field::Equals(const Node& other) const {
  const auto* o = Same<Field>(other);
  if (o == nullptr || o->name_ != name_ || o->HasValue() != HasValue()) {
    return false;
  }
  return !value_ || value_->Equals(*o->value_);
}

Pointer<Field> Field::Clone() const {
  return std::make_unique<Field>(*this);
}

// --- Object ---

Object::Object(const Object& other) : Value(other), fields_(CloneAll(other.fields_)) {}

Object& Object::operator=(const Object& other) {
  if (this != &other) {
    fields_ = CloneAll(other.fields_);
  }
  return *this;
}

Pointer<Object> Object::Make() {
  return std::make_unique<Object>();
}

bool Object::HasField(std::string_view name) const noexcept {
  return GetField(name) != nullptr;
}

Field* Object::GetField(std::string_view name) noexcept {
  for (auto& field : fields_) {
    if (field->GetName() == name) {
      return field.get();
    }
  }
  return nullptr;
}

const Field* Object::GetField(std::string_view name) const noexcept {
  return const_cast<Object*>(this)->GetField(name);
}

bool Object::Insert(Pointer<Field> field) {
  if (!field || HasField(field->GetName())) {
    return false;
  }
  fields_.push_back(std::move(field));
  return true;
}

bool Object::Insert(std::string name, Pointer<Value> value) {
  return Insert(std::make_unique<Field>(std::move(name), std::move(value)));
}

bool Object::Remove(std::string_view name) {
  for (auto it = fields_.begin(); it != fields_.end(); ++it) {
    if ((*it)->GetName() == name) {
      fields_.erase(it);
      return true;
    }
  }
  return false;
}

void Object::Accept(Visitor& visitor) const {
  visitor.Visit(*this);
}

bool Object::Equals(const Node& other) const {
  const auto* o = Same<Object>(other);
  if (o == nullptr || o->fields_.size() != fields_.size()) {
    return false;
  }
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    if (!fields_[i]->Equals(*o->fields_[i])) {
      return false;
    }
  }
  return true;
}

Pointer<Value> Object::Clone() const {
  return std::make_unique<Object>(*this);
}
Pointer<Object> Object::CloneObject() const {
  return std::make_unique<Object>(*this);
}

// --- visits ---

void Visit(const Array& array, Visitor& visitor) {
  for (const auto& item : array.GetItems()) {
    VisitOne(*item, visitor);
  }
}

void Visit(const Object& object, Visitor& visitor) {
  for (const auto& field : object.GetFields()) {
    VisitOne(*field, visitor);
  }
}

}  // namespace ara::rest::ogm
