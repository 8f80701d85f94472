#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_lists.h"
#include "rest_model/validators/body_check.h"
#include "rubo/server_reply.h"
#include "rubo/server_xobject.h"

// What the element classes share: construction, request hooks, list-bound setting and the
// linking and rendering of sub-elements.
namespace rubo::server {

// Default pre-GET callback: every read goes on, and nothing is written to the reply.
bool AllowRead(std::shared_ptr<rubo::BaseXObject> object, rubo::ServerReply& reply);

// The model validator of a POST-capable element: the writable-property list is shared with
// the element, so the callback stays valid whoever keeps a copy of it.
rubo::PreUpdateCallback MakeModelValidator(std::shared_ptr<const ValueList> writable,
                                           const validation::BodyRules& rules);

// `uri` unchanged, or, when it is empty, the collection path prefix followed by the UUID text.
ara::rest::Uri ElementUri(std::string_view pathPrefix, const ara::rest::Uuid& uuid, const ara::rest::Uri& uri);

template <typename E>
std::shared_ptr<E> MakeElementAt(std::string_view pathPrefix, std::string name, const ara::rest::Uuid& uuid,
                                 const ara::rest::Uri& uri) {
  return rubo::MakeObject<E>(ElementUri(pathPrefix, uuid, uri), uuid, std::move(name));
}

// Checks the value against the list ("Unsupported type: " + value when it is not in it, and
// the element is left as it was), adds the String property when missing and sets it.
bool SetListedText(rubo::BaseType& element, const ValueList& list, const std::string& property,
                   const std::string& value);

// Every item must be in the list before the array property is added or replaced.
bool SetListedArray(rubo::BaseType& element, const ValueList& itemList, const std::string& property,
                    std::span<const std::string> values);

// The String property's value, or the empty text when the element lacks the property.
std::string GetTextOrEmpty(const rubo::BaseType& element, const std::string& property);

// The String items of a committed array property, in order; other items are skipped.
ValueList GetTextItems(const rubo::BaseType& element, const std::string& property);

// Link slots are read by request threads while the application links; the owner's object
// mutex guards them, and is never held while another element renders.
template <typename C>
std::shared_ptr<C> LoadLink(std::recursive_mutex& mutex, const std::shared_ptr<C>& slot) {
  std::lock_guard lock(mutex);
  return slot;
}

// Stores the child in the slot (an empty pointer unlinks), makes sure the Object property
// exists and sets it to the child's rendering, or clears its value for an empty child.
bool LinkProperty(rubo::BaseType& parent, const std::string& property, const rubo::BaseType* child);

template <typename C>
bool SetLink(rubo::BaseType& parent, std::recursive_mutex& mutex, std::shared_ptr<C>& slot, std::shared_ptr<C> child,
             const std::string& property) {
  {
    std::lock_guard lock(mutex);
    slot = child;
  }
  return LinkProperty(parent, property, child.get());
}

// Replaces the rendered property by the linked element's present rendering; an empty link or
// a property the rendering lacks leaves the rendering as it is.
void ExpandLink(ara::rest::ogm::Object& rendering, std::string_view property, const rubo::BaseType* linked);

}  // namespace rubo::server
