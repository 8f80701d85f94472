#pragma once

#include <string_view>

// The REST words of the element classes and served models. The words of every enumerated
// property of the ChargingManagementCore service are expanded from the service's vocabulary
// file, the one list that also defines the enumerations and the mapping tables: here it is read
// as a list of words only, without any type or code of the service. What is written here by hand
// is which enumeration each property takes, and the lists that have no enumeration behind them
// (writable properties, the FactoryReset service's words).
namespace rubo::server::vocabulary {

// cmc::<field>_<member>: the words of the enumeration DT_ChargingManagementCore_<field>_<member>,
// in value order (the order in which the served models list them).
namespace cmc {
#define ORIK_VOCABULARY_WORD(value, name) #name,
#define ORIK_VOCABULARY(field, member, ROWS) \
  inline constexpr std::string_view field##_##member[] = {ROWS(ORIK_VOCABULARY_WORD)};
#include "service_types/chargingmanagementcore/enumerations.def"
#undef ORIK_VOCABULARY_WORD
}  // namespace cmc

// Per element class: the value list of each enumerated property, bound to the property's own
// enumeration (the served model binds the same), and the writable-property list.

// BidirectionalChargingModeObject
inline constexpr auto& kBidirectionalChargingModeObjectChargingMode = cmc::bidirectionalChargingModes_chargingMode;
inline constexpr auto& kBidirectionalChargingModeObjectType = cmc::bidirectionalChargingModes_type;
inline constexpr auto& kBidirectionalChargingModeObjectNotification = cmc::bidirectionalChargingModes_notification;
inline constexpr auto& kBidirectionalChargingModeObjectInformation = cmc::bidirectionalChargingModes_information;

// BatteryPreconditioningObject
inline constexpr auto& kBatteryPreconditioningObjectPreconditioningState =
    cmc::batteryPreconditionings_preconditioningState;
inline constexpr auto& kBatteryPreconditioningObjectType = cmc::batteryPreconditionings_type;

// BatteryPreconditioningEnergyObject
inline constexpr auto& kBatteryPreconditioningEnergyObjectType = cmc::batteryPreconditioningEnergies_type;

// BatteryCareModeObject
inline constexpr auto& kBatteryCareModeObjectNotification = cmc::batteryCareModes_notification;
inline constexpr auto& kBatteryCareModeObjectPopup = cmc::batteryCareModes_popup;
inline constexpr auto& kBatteryCareModeObjectType = cmc::batteryCareModes_type;

// ViewObject
inline constexpr auto& kViewObjectVisibility = cmc::views_visibility;
inline constexpr auto& kViewObjectType = cmc::views_type;
inline constexpr auto& kViewObjectContent = cmc::views_content;
inline constexpr std::string_view kViewObjectWritable[] = {"visibility"};

// ValueIndicationObject
inline constexpr auto& kValueIndicationObjectUnitPower = cmc::valueIndications_unitPower;
inline constexpr auto& kValueIndicationObjectRestrictionReason = cmc::valueIndications_restrictionReason;
inline constexpr auto& kValueIndicationObjectType = cmc::valueIndications_type;
inline constexpr auto& kValueIndicationObjectUnitSpeed = cmc::valueIndications_unitSpeed;
inline constexpr auto& kValueIndicationObjectUnitEnergy = cmc::valueIndications_unitEnergy;
inline constexpr auto& kValueIndicationObjectUnitPercent = cmc::valueIndications_unitPercent;
inline constexpr auto& kValueIndicationObjectUnitTemperature = cmc::valueIndications_unitTemperature;
inline constexpr auto& kValueIndicationObjectUnitTime = cmc::valueIndications_unitTime;

// ValueControlObject
inline constexpr auto& kValueControlObjectRestrictionReason = cmc::valueControls_restrictionReason;
inline constexpr auto& kValueControlObjectType = cmc::valueControls_type;
inline constexpr auto& kValueControlObjectUnitPercent = cmc::valueControls_unitPercent;
inline constexpr auto& kValueControlObjectSpecialState = cmc::valueControls_specialState;
inline constexpr auto& kValueControlObjectUnitDistance = cmc::valueControls_unitDistance;
inline constexpr auto& kValueControlObjectSpecialStateConfigurationItems = cmc::valueControls_specialStateConfiguration;
inline constexpr auto& kValueControlObjectUnitTime = cmc::valueControls_unitTime;
inline constexpr std::string_view kValueControlObjectWritable[] = {"currentValue", "specialState"};

// SwitchControlObject
inline constexpr auto& kSwitchControlObjectSwitchValueConfigurationItems = cmc::switchControls_switchValueConfiguration;
inline constexpr auto& kSwitchControlObjectSwitchValue = cmc::switchControls_switchValue;
inline constexpr auto& kSwitchControlObjectRestrictionReason = cmc::switchControls_restrictionReason;
inline constexpr auto& kSwitchControlObjectType = cmc::switchControls_type;
inline constexpr std::string_view kSwitchControlObjectWritable[] = {"switchValue"};

// PastErrorInformationObject
inline constexpr auto& kPastErrorInformationObjectAdditionalInformation =
    cmc::pastErrorInformation_additionalInformation;
inline constexpr auto& kPastErrorInformationObjectType = cmc::pastErrorInformation_type;
inline constexpr auto& kPastErrorInformationObjectValue = cmc::pastErrorInformation_value;
inline constexpr std::string_view kPastErrorInformationObjectWritable[] = {"confirmedByUser"};

// OruUpdateApprovalObject
inline constexpr auto& kOruUpdateApprovalObjectType = cmc::oruUpdateApprovals_type;

// NotificationObject
inline constexpr auto& kNotificationObjectAdditionalInformation = cmc::notifications_additionalInformation;
inline constexpr auto& kNotificationObjectFlapSide = cmc::notifications_flapSide;
inline constexpr auto& kNotificationObjectType = cmc::notifications_type;
inline constexpr auto& kNotificationObjectValue = cmc::notifications_value;

// NotificationMarkerObject
inline constexpr auto& kNotificationMarkerObjectType = cmc::notificationMarkers_type;

// ImmediateChargingOptionObject
inline constexpr auto& kImmediateChargingOptionObjectType = cmc::immediateChargingOptions_type;

// ImmediateActionObject
inline constexpr auto& kImmediateActionObjectType = cmc::immediateActions_type;

// ChargingProcessInformationObject
inline constexpr auto& kChargingProcessInformationObjectChargeTimeDisplay =
    cmc::chargingProcessInformation_chargeTimeDisplay;
inline constexpr auto& kChargingProcessInformationObjectChargeType = cmc::chargingProcessInformation_chargeType;
inline constexpr auto& kChargingProcessInformationObjectChargeRateCuteness =
    cmc::chargingProcessInformation_chargeRateCuteness;
inline constexpr auto& kChargingProcessInformationObjectType = cmc::chargingProcessInformation_type;
inline constexpr auto& kChargingProcessInformationObjectActiveTargetSoc =
    cmc::chargingProcessInformation_activeTargetSoc;
inline constexpr auto& kChargingProcessInformationObjectChargingScenario =
    cmc::chargingProcessInformation_chargingScenario;
inline constexpr auto& kChargingProcessInformationObjectCurrentChargeState =
    cmc::chargingProcessInformation_currentChargeState;
inline constexpr auto& kChargingProcessInformationObjectChargeMode = cmc::chargingProcessInformation_chargeMode;
inline constexpr auto& kChargingProcessInformationObjectProfileChargeReason =
    cmc::chargingProcessInformation_profileChargeReason;

// ChargingPlugObject
inline constexpr auto& kChargingPlugObjectPlugConnectionState = cmc::chargingPlugs_plugConnectionState;
inline constexpr auto& kChargingPlugObjectPlugType = cmc::chargingPlugs_plugType;
inline constexpr auto& kChargingPlugObjectType = cmc::chargingPlugs_type;
inline constexpr auto& kChargingPlugObjectInfrastructureState = cmc::chargingPlugs_infrastructureState;

// ResetObject
inline constexpr std::string_view kResetObjectRestrictionReason[] = {
    "authWithPhysicalKeyRequired", "dataUpdate", "emergencyAssistActive", "profileChangeInProgress", "speed"};
inline constexpr std::string_view kResetObjectCategory[] = {"addressbook",
                                                            "ambientLight",
                                                            "apn",
                                                            "audio",
                                                            "bluetooth",
                                                            "car",
                                                            "centralDataCollector",
                                                            "climateSettings",
                                                            "connectivity",
                                                            "dataCollector",
                                                            "driverAssistanceSystem",
                                                            "exteriourLight",
                                                            "externalDevice",
                                                            "garageOpener",
                                                            "interiourLight",
                                                            "logbookCar",
                                                            "logbookPersonal",
                                                            "media",
                                                            "multimedia",
                                                            "mediaAll",
                                                            "messagingEmail",
                                                            "messagingOther",
                                                            "messagingSMS",
                                                            "messagingWebApp",
                                                            "navigation",
                                                            "navMemory",
                                                            "navPOI",
                                                            "navSettings",
                                                            "nfc",
                                                            "office",
                                                            "online",
                                                            "onlineData",
                                                            "onlineMedia",
                                                            "onlineMediaPresets",
                                                            "onlineRadio",
                                                            "onlineRadioPresets",
                                                            "onlineTV",
                                                            "onlineTVPresets",
                                                            "onlineUpdate",
                                                            "personalisation",
                                                            "phone",
                                                            "phoneBook",
                                                            "phoneBox",
                                                            "pictureViewer",
                                                            "privacy",
                                                            "radioPresets",
                                                            "rearSeatEntertainment",
                                                            "remoteFunctions",
                                                            "screenViewer",
                                                            "sdis",
                                                            "smartPhoneAppInterface",
                                                            "smartPhoneInterface",
                                                            "speech",
                                                            "veltrixCar",
                                                            "veltrixPersonal",
                                                            "swarmData",
                                                            "systemLanguage",
                                                            "tone",
                                                            "touchscreenKeyboard",
                                                            "trackBatteryWirelessChargingPad",
                                                            "tuner",
                                                            "tvAV",
                                                            "tvPresets",
                                                            "userHints",
                                                            "userLoginData",
                                                            "webApp",
                                                            "webApps",
                                                            "wifi",
                                                            "wizard",
                                                            "phoneConnectionManagement",
                                                            "eCharging"};
inline constexpr std::string_view kResetObjectWritable[] = {"isFactoryDefault"};

// ResetToFactoryDataObject
inline constexpr auto& kResetToFactoryDataObjectResetToFactoryData = cmc::resetToFactoryData_resetToFactoryData;
inline constexpr std::string_view kResetToFactoryDataObjectWritable[] = {"resetToFactoryData"};

// ChargeModeObject
inline constexpr auto& kChargeModeObjectChargeModesType = cmc::chargeModes_chargeModesType;
inline constexpr auto& kChargeModeObjectStateInformation = cmc::chargeModes_stateInformation;
inline constexpr auto& kChargeModeObjectState = cmc::chargeModes_state;

// StatisticObject
inline constexpr auto& kStatisticObjectNotification = cmc::statistics_notification;
inline constexpr auto& kStatisticObjectUnit = cmc::statistics_unit;
inline constexpr auto& kStatisticObjectConfirmendByUser = cmc::statistics_confirmendByUser;
inline constexpr auto& kStatisticObjectStatisicsType = cmc::statistics_statisicsType;
inline constexpr std::string_view kStatisticObjectWritable[] = {"confirmendByUser"};

}  // namespace rubo::server::vocabulary
