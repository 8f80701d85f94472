#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/format.h"
#include "rubo/server_xobject.h"

namespace rubo::server::factory_reset {

// One resettable data domain of the factory-reset interface: its category, whether it is in
// factory state, and when it was last reset.
class ResetObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/FactoryReset/resets/";

  ResetObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~ResetObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<ResetObject> Make(std::string name, const ara::rest::Uuid& uuid, const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  // Stores a copy of the date-time with this element's own change callback and shows its text
  // as "lastReset".
  void SetLastReset(const rubo::format::DateTime& dateTime);
  rubo::format::DateTime GetLastReset() const;

  ara::rest::Pointer<ara::rest::ogm::Object> ToOGM() const override;

  const ValueLists& GetValueLists() const noexcept { return lists_; }
  const ValueList& GetWritableProperties() const noexcept { return *writable_; }

 private:
  rubo::format::DateTime lastReset_;
  ValueLists lists_;
  std::shared_ptr<const ValueList> writable_;
};

}  // namespace rubo::server::factory_reset
