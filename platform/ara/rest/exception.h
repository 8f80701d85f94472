#pragma once

#include <stdexcept>
#include <string>

namespace ara::rest {

// Base of the errors that the REST layer raises itself.
class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A property read of a field that does not exist, or exists with another kind.
class DataModelException : public Exception {
 public:
  using Exception::Exception;
  static DataModelException FieldDoesNotExist(const std::string& name) {
    return DataModelException("Field '" + name + "' does not exist");
  }
};

}  // namespace ara::rest
