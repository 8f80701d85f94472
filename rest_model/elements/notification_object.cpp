#include "rest_model/elements/notification_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

NotificationObject::NotificationObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"additionalInformation", vocabulary::kNotificationObjectAdditionalInformation},
             {"flapSide", vocabulary::kNotificationObjectFlapSide},
             {"type", vocabulary::kNotificationObjectType},
             {"value", vocabulary::kNotificationObjectValue}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

NotificationObject::~NotificationObject() = default;

std::shared_ptr<NotificationObject> NotificationObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                             const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<NotificationObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool NotificationObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool NotificationObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

}  // namespace rubo::server::charging_management_core
