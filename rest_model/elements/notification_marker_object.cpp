#include "rest_model/elements/notification_marker_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

NotificationMarkerObject::NotificationMarkerObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid,
                                                   std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)), lists_{{"type", vocabulary::kNotificationMarkerObjectType}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

NotificationMarkerObject::~NotificationMarkerObject() = default;

std::shared_ptr<NotificationMarkerObject> NotificationMarkerObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                                         const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<NotificationMarkerObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool NotificationMarkerObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool NotificationMarkerObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool NotificationMarkerObject::SetNotificationRangeValue(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), notificationRangeValue_, std::move(element),
                               "notificationRangeValue");
}

std::shared_ptr<ValueControlObject> NotificationMarkerObject::GetNotificationRangeValue() const {
  return rubo::server::LoadLink(GetObjectMutex(), notificationRangeValue_);
}

bool NotificationMarkerObject::SetNotificationSocValue(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), notificationSocValue_, std::move(element),
                               "notificationSocValue");
}

std::shared_ptr<ValueControlObject> NotificationMarkerObject::GetNotificationSocValue() const {
  return rubo::server::LoadLink(GetObjectMutex(), notificationSocValue_);
}

bool NotificationMarkerObject::SetNotificationTimeValue(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), notificationTimeValue_, std::move(element),
                               "notificationTimeValue");
}

std::shared_ptr<ValueControlObject> NotificationMarkerObject::GetNotificationTimeValue() const {
  return rubo::server::LoadLink(GetObjectMutex(), notificationTimeValue_);
}

ara::rest::Pointer<ara::rest::ogm::Object> NotificationMarkerObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "notificationRangeValue", GetNotificationRangeValue().get());
  rubo::server::ExpandLink(*rendering, "notificationSocValue", GetNotificationSocValue().get());
  rubo::server::ExpandLink(*rendering, "notificationTimeValue", GetNotificationTimeValue().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
