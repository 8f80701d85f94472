#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/server_xobject.h"

namespace rubo::server::charging_management_core {

// A value that a client may set within limits, or a special state instead of it.
class ValueControlObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/ChargingManagementCore/valueControls/";

  ValueControlObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~ValueControlObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<ValueControlObject> Make(std::string name, const ara::rest::Uuid& uuid,
                                                  const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  bool SetType(const std::string& value);
  // 0 to 3000; otherwise std::domain_error "Value out of range". A newly added property is announced.
  bool SetCurrentValue(std::int64_t value);
  bool SetSpecialStateConfiguration(const ValueList& values);
  ValueList GetSpecialStateConfiguration() const;

  const ValueLists& GetValueLists() const noexcept { return lists_; }
  const ValueList& GetWritableProperties() const noexcept { return *writable_; }

 private:
  ValueLists lists_;
  std::shared_ptr<const ValueList> writable_;
};

}  // namespace rubo::server::charging_management_core
