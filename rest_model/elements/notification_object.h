#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/server_xobject.h"

namespace rubo::server::charging_management_core {

// A charging notification slot.
class NotificationObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/ChargingManagementCore/notifications/";

  NotificationObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~NotificationObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<NotificationObject> Make(std::string name, const ara::rest::Uuid& uuid,
                                                  const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  bool SetType(const std::string& value);

  const ValueLists& GetValueLists() const noexcept { return lists_; }

 private:
  ValueLists lists_;
};

}  // namespace rubo::server::charging_management_core
