#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_control_object.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/server_xobject.h"

namespace rubo::server::charging_management_core {

// A charging criterion (state of charge, range or time) whose reaching is notified.
class NotificationMarkerObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/ChargingManagementCore/notificationMarkers/";

  NotificationMarkerObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~NotificationMarkerObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<NotificationMarkerObject> Make(std::string name, const ara::rest::Uuid& uuid,
                                                        const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  bool SetType(const std::string& value);

  // Links (an empty pointer unlinks, and the property's value is cleared).
  bool SetNotificationRangeValue(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetNotificationRangeValue() const;
  bool SetNotificationSocValue(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetNotificationSocValue() const;
  bool SetNotificationTimeValue(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetNotificationTimeValue() const;

  ara::rest::Pointer<ara::rest::ogm::Object> ToOGM() const override;

  const ValueLists& GetValueLists() const noexcept { return lists_; }

 private:
  ValueLists lists_;
  std::shared_ptr<ValueControlObject> notificationRangeValue_;
  std::shared_ptr<ValueControlObject> notificationSocValue_;
  std::shared_ptr<ValueControlObject> notificationTimeValue_;
};

}  // namespace rubo::server::charging_management_core
