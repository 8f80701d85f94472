#pragma once

#include <string_view>

#include "rest_model/elements/element_vocabulary.h"
#include "rest_model/validators/body_check.h"

// What each POST-capable element kind checks in a body, beside its writable-property list.
// These mirror the element POST parameters of the collections' descriptions; a test holds the
// two against each other.
namespace rubo::server::validation {

inline constexpr std::string_view kSpecialStates[] = {"off"};
inline constexpr std::string_view kResetToFactoryDataValues[] = {"origin", "notOrigin"};
inline constexpr std::string_view kConfirmendByUserValues[] = {"notConfirmed", "confirmed", "option"};
inline constexpr std::uint64_t kMaxCurrentValue = 3000;

inline constexpr PropertyRule kViewRules[] = {
    {.property = "visibility", .kind = ValueKind::kString, .allowed = vocabulary::kViewObjectVisibility}};
inline constexpr PropertyRule kValueControlRules[] = {
    {.property = "currentValue", .kind = ValueKind::kInt, .maximum = kMaxCurrentValue},
    {.property = "specialState", .kind = ValueKind::kString, .allowed = kSpecialStates}};
inline constexpr PropertyRule kSwitchControlRules[] = {
    {.property = "switchValue", .kind = ValueKind::kString, .allowed = vocabulary::kSwitchControlObjectSwitchValue}};
inline constexpr PropertyRule kPastErrorInformationRules[] = {
    {.property = "confirmedByUser", .kind = ValueKind::kBool}};
inline constexpr PropertyRule kResetRules[] = {{.property = "isFactoryDefault", .kind = ValueKind::kBool}};
inline constexpr PropertyRule kResetToFactoryDataRules[] = {
    {.property = "resetToFactoryData", .kind = ValueKind::kString, .allowed = kResetToFactoryDataValues}};
inline constexpr PropertyRule kStatisticRules[] = {
    {.property = "confirmendByUser", .kind = ValueKind::kString, .allowed = kConfirmendByUserValues}};

inline constexpr BodyRules kViewBody{.properties = kViewRules};
inline constexpr BodyRules kValueControlBody{.properties = kValueControlRules};
inline constexpr BodyRules kSwitchControlBody{.properties = kSwitchControlRules};
inline constexpr BodyRules kPastErrorInformationBody{.properties = kPastErrorInformationRules};
inline constexpr BodyRules kResetBody{.properties = kResetRules, .required = "isFactoryDefault"};
inline constexpr BodyRules kResetToFactoryDataBody{.properties = kResetToFactoryDataRules};
inline constexpr BodyRules kStatisticBody{.properties = kStatisticRules};

}  // namespace rubo::server::validation
