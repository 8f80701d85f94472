#pragma once

#include <string_view>

// The value lists and writable-property lists of the element classes, in the order in which
// each class stores them. They are kept apart from the served models on purpose: the tests
// compare the two, and the mapping tables, so that a slip in one copy shows.
namespace rubo::server::vocabulary {

inline constexpr std::string_view kSwitchValues[] = {"startImmediateActionSoc",
                                                     "chargingChargeModeSelection",
                                                     "unlocked",
                                                     "deactivated",
                                                     "timerChargingClimatization",
                                                     "startImmediateActionRange",
                                                     "closing",
                                                     "timerCharging",
                                                     "startImmediateCharging",
                                                     "chargingImmedieateActionTime",
                                                     "locked",
                                                     "close",
                                                     "immediateCharging",
                                                     "homeStorageCharging",
                                                     "noneOrImmediateActionStopped",
                                                     "unlocking",
                                                     "locking",
                                                     "reduced",
                                                     "opening",
                                                     "off",
                                                     "startImmediateActionTime",
                                                     "chargingImmediateActionSoc",
                                                     "immediateDischarging",
                                                     "chargingImmediateActionRange",
                                                     "chargingImmediateCharging",
                                                     "once",
                                                     "permanent",
                                                     "maximum",
                                                     "stopCharging",
                                                     "startChargeModeSelection",
                                                     "preferredChargingTimes",
                                                     "open",
                                                     "activated",
                                                     "onlyOwnCurrent"};
inline constexpr std::string_view kRestrictionReasons[] = {"readinessToDrive",
                                                           "wiredChargingActive",
                                                           "waitingAndStartAgain",
                                                           "calculating",
                                                           "error",
                                                           "safetyRestriction",
                                                           "defect",
                                                           "noEnergySource",
                                                           "hvBatterylow",
                                                           "invalid",
                                                           "temporaryNotAvailable",
                                                           "pluggedIn",
                                                           "notNeeded"};
inline constexpr std::string_view kAdditionalInformation[] = {"other", "abortedStart", "abortedChargingactive",
                                                              "startInhibit"};
inline constexpr std::string_view kNotificationValues[] = {
    "failedByCpVoltage",
    "warningOfOpenChargeflapMechanical",
    "warningTurtleRiskLowTemperatureLowSoc",
    "acChargingNotPossible",
    "failedItSystemPeRangeInactive",
    "chargeFlapDefectMechanical",
    "failedByPlcConnection",
    "extensionOfChargingtimeDueToEmergencyChargeFailedByChargePlug",
    "generalError",
    "failedByPrecharge",
    "pncNoValidContractAtThisEvse",
    "unlockOfChargeplugFailedOnlyEmgencyUnlock",
    "chargeFlapDefectMechanicalNote",
    "extensionOfChargingtimeDueToEmergencyChargePpAcFailure",
    "plugLockFailureAc",
    "failedByBatteryTemperature",
    "failedByIsolation",
    "pncAuthenticationActive",
    "extensionOfChargingtimeByUserDueToClima",
    "failedByAuthentication",
    "failedByPe",
    "extensionOfChargingtimeGeneralVehicle",
    "chargingsocketTemperaturSensorAcFailure",
    "extensionOfChargingtimeDueToOvertemperatureOfChargingsocket",
    "dcChargingNotPossible",
    "extensionOfChargingtimeDueToOnBoardCharger",
    "chargeflapNotUnlockedDueToOvertemperatureOfChargingsocket",
    "warningTurtleRiskLowTemperatureLowSocTone",
    "failedByElectricParkBrake",
    "failedChargePlug",
    "pncGeneralContractError",
    "extensionOfChargingtimeDueToEmergencyChargePlugLockAcFailure",
    "badChargeInfrastucture",
    "extensionOfChargingtimeGeneralInfrastructure",
    "pncContractOutOfDate",
    "failedByGeneralError",
    "failedByCommunicationTimeout",
    "dcChargingPrioritize",
    "chargingsocketTemperaturSensorFailure",
    "chargeFlapDefectPartElectrical",
    "failedDueToLowChargingEfficiency",
    "extensionOfChargingtimeDueToEmergencyCharge",
    "chargeFlapImpairedElectricalNote",
    "infoTurtleRiskLowTemperatureLowSoc",
    "pncValidContractAccepted",
    "chargerateRestrictedDueToChargeCable",
    "extensionOfChargingtimeDueToBatterylimit",
    "warningOfOpenChargeflapElectrical",
    "chargeFlapDefectPartElectricalNote",
    "chargestartDelayDueToOru",
    "failedByLatchDetection",
    "pleaseChargeTheBatteryToAvoidDamageToTheBattery",
    "chargingsocketReleaseNibbleFailure",
    "itSystemPeRangeActive",
    "warningOfOpenChargeflapMechanicalDrive",
    "failedDueToChargeInfrastucture",
    "chargestartDelayDueToConditioningOfBattery",
    "failedBySupplyVoltage",
    "failedByOvertemperatureOfChargingsocket",
    "startInhibitDueTo2Plugs",
    "maximumNumberOfEmergencyChargesReached",
    "chargeFlapImpairedElectrical",
    "warningOfOpenChargeflapPartElectrical",
    "extensionOfChargingtimeDueToEmergencyChargeTemperatureSensorAcFailure",
    "pncNoValidContract"};

// BidirectionalChargingModeObject
inline constexpr std::string_view kBidirectionalChargingModeObjectChargingMode[] = {
    "emergencySupply", "discharging", "homeStorageCharging", "offGridOperation"};
inline constexpr std::string_view kBidirectionalChargingModeObjectType[] = {"bidirectionalChargingMode"};
inline constexpr std::string_view kBidirectionalChargingModeObjectNotification[] = {
    "maximumOperatingHoursWarning", "maximumQuotaWarning", "maximumNumberOfCyclesWarning",
    "maximumAmountOfEnergyWarning"};
inline constexpr std::string_view kBidirectionalChargingModeObjectInformation[] = {
    "homeStorageChargingActive",
    "bidiNotPossibleGeneral",
    "emergencySupplyActive",
    "bidiNotPossibleMinSoc",
    "bidiNotAvailableImmediateChargingActive",
    "bidiNotAvailableChooseOption",
    "homeStorageChargingStopped",
    "bidiStoppedFailure",
    "offGridOperationActive",
    "emergencySupplyStopped",
    "offGridOperationStopped",
    "bidiStoppedUser",
    "bidiStoppedTimeout",
    "dischargingFinishedMinSoc",
    "bidiAvailableNoProfile",
    "dischargingActive",
    "dischargingStopped"};

// BatteryPreconditioningObject
inline constexpr std::string_view kBatteryPreconditioningObjectPreconditioningState[] = {
    "running", "scheduled", "possibleToStart", "unnecessary", "finished", "notPossibleLowSoc"};
inline constexpr std::string_view kBatteryPreconditioningObjectType[] = {"batteryPreconditioning"};

// BatteryPreconditioningEnergyObject
inline constexpr std::string_view kBatteryPreconditioningEnergyObjectType[] = {"batteryPreconditioningEnergy1"};

// BatteryCareModeObject
inline constexpr std::string_view kBatteryCareModeObjectNotification[] = {
    "immediateChargingSocResetInNextChargingProcess",
    "immediateChargingNotifyBcamIsOff",
    "bcamScoreValueWarning",
    "extendedChargingNotifyBcamIsOff",
    "bcamScoreValueReached",
    "extendedChargingSocResetInNextChargingProcess"};
inline constexpr std::string_view kBatteryCareModeObjectPopup[] = {"bcamInformationScreen",
                                                                   "bcamInitialInformationScreen"};
inline constexpr std::string_view kBatteryCareModeObjectType[] = {"batteryCareMode"};

// ViewObject
inline constexpr std::string_view kViewObjectVisibility[] = {"requestedViewVisible", "requestedViewObstructed",
                                                             "newRequest", "noView"};
inline constexpr std::string_view kViewObjectType[] = {"bcamScreen", "popup", "itSystemScreen"};
inline constexpr std::string_view kViewObjectContent[] = {"chargingInformationScreen", "itSystemPeInformationScreen",
                                                          "nothing", "bcamInformationScreen",
                                                          "bcamInitialInformationScreen"};
inline constexpr std::string_view kViewObjectWritable[] = {"visibility"};

// ValueIndicationObject
inline constexpr std::string_view kValueIndicationObjectUnitPower[] = {"kW"};
inline constexpr auto& kValueIndicationObjectRestrictionReason = kRestrictionReasons;
inline constexpr std::string_view kValueIndicationObjectType[] = {
    "chargingProcessInformationChargeEnergy",
    "bidirectionalChargingModesAmountOfEnergy",
    "bidirectionalChargingModesNumbersOfCycles",
    "batteryPreconditioningRemainingTimeFinished",
    "batteryPreconditioningBatteryTemperature",
    "chargingProcessInformationChargePower",
    "chargingProcessInformationRemainingChargeTimeNav",
    "chargingProcessInformationMaxPowerDc",
    "chargingProcessInformationMaxChargePowerOptimalTemperature",
    "chargingProcessInformationMaxPowerChargingStation",
    "bidirectionalChargingModesQuota",
    "bidirectionalChargingModesOperatingHours",
    "chargingProcessInformationRemainingChargeTimeBulk",
    "chargingProcessInformationRemainingChargeTimeComplete",
    "chargingProcessInformationChargeRate",
    "chargingProcessInformationChargeTargetTimeOffset",
    "batteryCareModesBcamScore",
    "chargingProcessInformationRemainingChargeTimeFull",
    "batteryPreconditioningRemainingTimeToStart",
    "chargingProcessInformationMaxPowerAc",
    "chargingProcessInformationCurrentSoc",
    "chargingProcessInformationMaxChargePowerCurrent",
    "chargingProcessInformationChargeTargetTime"};
inline constexpr std::string_view kValueIndicationObjectUnitSpeed[] = {"kmPerHour", "milesPerMin", "kmPerMin",
                                                                       "milesPerHour"};
inline constexpr std::string_view kValueIndicationObjectUnitEnergy[] = {"kWh"};
inline constexpr std::string_view kValueIndicationObjectUnitPercent[] = {"percent"};
inline constexpr std::string_view kValueIndicationObjectUnitTemperature[] = {"celsius", "fahrenheit"};
inline constexpr std::string_view kValueIndicationObjectUnitTime[] = {"min", "h"};

// ValueControlObject
inline constexpr auto& kValueControlObjectRestrictionReason = kRestrictionReasons;
inline constexpr std::string_view kValueControlObjectType[] = {
    "immediateActionImmediateActionSoc",         "bidirectionalChargingModesMinSoc",
    "notificationMarker3notificationSocValue",   "immediateActionImmediateActionTime",
    "immediateChargingOptionsTargetRange",       "notificationMarker2notificationSocValue",
    "notificationMarker2notificationRangeValue", "immediateChargingOptionsTargetSoc",
    "immediateChargingOptionsNavTargetSoc",      "notificationMarker1notificationSocValue",
    "notificationMarker1notificationRangeValue", "notificationMarker2notificationTimeValue",
    "notificationMarker3notificationTimeValue",  "notificationMarker3notificationRangeValue",
    "bidirectionalChargingModesMaxSoc",          "immediateActionImmediateActionRange",
    "notificationMarker1notificationTimeValue"};
inline constexpr std::string_view kValueControlObjectUnitPercent[] = {"percent"};
inline constexpr std::string_view kValueControlObjectSpecialState[] = {"off"};
inline constexpr std::string_view kValueControlObjectUnitDistance[] = {"km", "miles"};
inline constexpr std::string_view kValueControlObjectSpecialStateConfigurationItems[] = {"off"};
inline constexpr std::string_view kValueControlObjectUnitTime[] = {"min", "h"};
inline constexpr std::string_view kValueControlObjectWritable[] = {"currentValue", "specialState"};

// SwitchControlObject
inline constexpr auto& kSwitchControlObjectSwitchValueConfigurationItems = kSwitchValues;
inline constexpr auto& kSwitchControlObjectSwitchValue = kSwitchValues;
inline constexpr auto& kSwitchControlObjectRestrictionReason = kRestrictionReasons;
inline constexpr std::string_view kSwitchControlObjectType[] = {"immediateChargingOptionsAcceptItSystemPeRange",
                                                                "batteryPreconditioningPreconditioningActivation",
                                                                "immediateChargingOptionsAutounlockDc",
                                                                "frontRight1FlapState",
                                                                "frontRight2PlugLockState",
                                                                "frontLeft1FlapState",
                                                                "frontRight1PlugLockState",
                                                                "rearRight1PlugLockState",
                                                                "frontLeft1FlapLockState",
                                                                "rearLeft2FlapState",
                                                                "rearRight2PlugLockState",
                                                                "rearRight2FlapState",
                                                                "frontFlapState",
                                                                "frontLeft1PlugLockState",
                                                                "frontPlugLockState",
                                                                "frontLeft2FlapLockState",
                                                                "frontLeft2PlugLockState",
                                                                "rearLeft1FlapLockState",
                                                                "frontRight2FlapState",
                                                                "rearLeft2FlapLockState",
                                                                "frontLeft2FlapState",
                                                                "rearLeft1PlugLockState",
                                                                "rearLeft2PlugLockState",
                                                                "immediateActionStartStopCharging",
                                                                "rearRight1FlapState",
                                                                "batteryPreconditioningAutoModeActivation",
                                                                "immediateChargingOptionsMaxChargeCurrentAc",
                                                                "immediateChargingOptionsChargeModeSelection",
                                                                "rearRight1FlapLockState",
                                                                "frontRight2FlapLockState",
                                                                "rearLeft1FlapState",
                                                                "frontFlapLockState",
                                                                "immediateChargingOptionsAutounlockAc",
                                                                "rearRight2FlapLockState",
                                                                "frontRight1FlapLockState",
                                                                "batteryCareModesBcamActivation"};
inline constexpr std::string_view kSwitchControlObjectWritable[] = {"switchValue"};

// PastErrorInformationObject
inline constexpr auto& kPastErrorInformationObjectAdditionalInformation = kAdditionalInformation;
inline constexpr std::string_view kPastErrorInformationObjectType[] = {"pastErrorInformation1", "pastErrorInformation3",
                                                                       "pastErrorInformation2"};
inline constexpr auto& kPastErrorInformationObjectValue = kNotificationValues;
inline constexpr std::string_view kPastErrorInformationObjectWritable[] = {"confirmedByUser"};

// OruUpdateApprovalObject
inline constexpr std::string_view kOruUpdateApprovalObjectType[] = {"oruUpdateApproval"};

// NotificationObject
inline constexpr auto& kNotificationObjectAdditionalInformation = kAdditionalInformation;
inline constexpr std::string_view kNotificationObjectFlapSide[] = {"left", "right", "both"};
inline constexpr std::string_view kNotificationObjectType[] = {"chargingNotification1", "chargingNotification3",
                                                               "chargingNotification2", "chargingNotification5",
                                                               "chargingNotification4", "chargingNotification6"};
inline constexpr auto& kNotificationObjectValue = kNotificationValues;

// NotificationMarkerObject
inline constexpr std::string_view kNotificationMarkerObjectType[] = {"notificationMarker3", "notificationMarker2",
                                                                     "notificationMarker1"};

// ImmediateChargingOptionObject
inline constexpr std::string_view kImmediateChargingOptionObjectType[] = {"immediateChargingOption"};

// ImmediateActionObject
inline constexpr std::string_view kImmediateActionObjectType[] = {"immediateAction"};

// ChargingProcessInformationObject
inline constexpr std::string_view kChargingProcessInformationObjectChargeTimeDisplay[] = {
    "remainingChargeTimeBulk", "remainingChargeTimeComplete", "remainingChargeTimeFull", "remainingChargeTimeNav"};
inline constexpr std::string_view kChargingProcessInformationObjectChargeType[] = {"ac", "dc"};
inline constexpr std::string_view kChargingProcessInformationObjectChargeRateCuteness[] = {
    "limitedIntelligentControlled", "limitedBatteryHighTemperature", "unlimited",     "limitedDerating",
    "limitedBatteryLowTemperature", "limitedInfrastructure",         "limitedHighSoc"};
inline constexpr std::string_view kChargingProcessInformationObjectType[] = {"chargingProcessInformation"};
inline constexpr std::string_view kChargingProcessInformationObjectActiveTargetSoc[] = {
    "targetSoc", "chargeBulkThreshold", "fullSoc", "navTargetSoc"};
inline constexpr std::string_view kChargingProcessInformationObjectChargingScenario[] = {
    "plugReleasable",
    "immediatelyOptimisedChargingActive",
    "chargingToDepartureTimeFinished",
    "optimisedChargingFinished",
    "optimisedChargingWaiting",
    "chargingToDepartureTimeWaiting",
    "off",
    "immediatleyChargingActive",
    "errorChargingSystem",
    "noGridVoltage",
    "chargingInterruptByUser",
    "errorLock",
    "immediatelyOptimisedChargingFinished",
    "immediatleyChargingFinished",
    "chargingToDepartureTimeActive",
    "initializationChargingCommunication",
    "emergencyCharging",
    "optimisedChargingActive"};
inline constexpr std::string_view kChargingProcessInformationObjectCurrentChargeState[] = {
    "discharging",          "readyForCharging",
    "conservationCharging", "bidirectionalCharging",
    "notReadyForCharging",  "chargepurposeReachedAndConservation",
    "chargingHvBattery",    "chargepurposeReachedAndNotConservationCharging",
    "chargingError"};
inline constexpr std::string_view kChargingProcessInformationObjectChargeMode[] = {
    "immediatelyStopped", "immediatelyDefault", "extendedStopped", "extendedProfile", "immediatelyProfile"};
inline constexpr std::string_view kChargingProcessInformationObjectProfileChargeReason[] = {
    "lowCost", "owncurrent", "smartCharging", "maxSoc", "minSoc"};

// ChargingPlugObject
inline constexpr std::string_view kChargingPlugObjectPlugConnectionState[] = {"connected", "disconnected"};
inline constexpr std::string_view kChargingPlugObjectPlugType[] = {"Chademo", "DcCombo1OrTyp1Ac", "Typ2Ac", "Typ1AC",
                                                                   "GbtAc",   "DcCombo2OrTyp2Ac", "GbtDc"};
inline constexpr std::string_view kChargingPlugObjectType[] = {"rearLeft2",   "rearLeft1",  "frontRight2",
                                                               "frontRight1", "rearRight1", "rearRight2",
                                                               "front",       "frontLeft1", "frontLeft2"};
inline constexpr std::string_view kChargingPlugObjectInfrastructureState[] = {"ready", "active", "initializing",
                                                                              "error", "notAvailable"};

// ResetObject
inline constexpr std::string_view kResetObjectRestrictionReason[] = {
    "emergencyAssistActive", "authWithPhysicalKeyRequired", "profileChangeInProgress", "dataUpdate", "speed"};
inline constexpr std::string_view kResetObjectCategory[] = {"veltrixCar",
                                                            "tvAV",
                                                            "onlineRadio",
                                                            "navMemory",
                                                            "externalDevice",
                                                            "webApps",
                                                            "eCharging",
                                                            "office",
                                                            "onlineData",
                                                            "swarmData",
                                                            "sdis",
                                                            "smartPhoneInterface",
                                                            "navigation",
                                                            "connectivity",
                                                            "rearSeatEntertainment",
                                                            "trackBatteryWirelessChargingPad",
                                                            "onlineRadioPresets",
                                                            "apn",
                                                            "radioPresets",
                                                            "tvPresets",
                                                            "messagingWebApp",
                                                            "onlineMediaPresets",
                                                            "wifi",
                                                            "garageOpener",
                                                            "userLoginData",
                                                            "onlineUpdate",
                                                            "nfc",
                                                            "ambientLight",
                                                            "dataCollector",
                                                            "pictureViewer",
                                                            "userHints",
                                                            "addressbook",
                                                            "onlineTVPresets",
                                                            "phone",
                                                            "phoneConnectionManagement",
                                                            "interiourLight",
                                                            "onlineTV",
                                                            "tone",
                                                            "remoteFunctions",
                                                            "personalisation",
                                                            "privacy",
                                                            "driverAssistanceSystem",
                                                            "media",
                                                            "messagingSMS",
                                                            "messagingOther",
                                                            "phoneBox",
                                                            "mediaAll",
                                                            "car",
                                                            "phoneBook",
                                                            "logbookPersonal",
                                                            "audio",
                                                            "veltrixPersonal",
                                                            "systemLanguage",
                                                            "webApp",
                                                            "tuner",
                                                            "navPOI",
                                                            "navSettings",
                                                            "centralDataCollector",
                                                            "messagingEmail",
                                                            "exteriourLight",
                                                            "climateSettings",
                                                            "screenViewer",
                                                            "multimedia",
                                                            "bluetooth",
                                                            "onlineMedia",
                                                            "speech",
                                                            "smartPhoneAppInterface",
                                                            "online",
                                                            "wizard",
                                                            "touchscreenKeyboard",
                                                            "logbookCar"};
inline constexpr std::string_view kResetObjectWritable[] = {"isFactoryDefault"};

// ResetToFactoryDataObject
inline constexpr std::string_view kResetToFactoryDataObjectResetToFactoryData[] = {"origin", "notOrigin"};
inline constexpr std::string_view kResetToFactoryDataObjectWritable[] = {"resetToFactoryData"};

// ChargeModeObject
inline constexpr std::string_view kChargeModeObjectChargeModesType[] = {"chargeMode"};
inline constexpr std::string_view kChargeModeObjectStateInformation[] = {
    "emergencySupply",   "general",          "bidiNoProfile", "offGridOperation",
    "emergencyCharging", "bidiNotAvailable", "timeout",       "minSoc"};
inline constexpr std::string_view kChargeModeObjectState[] = {"active", "finished", "error", "pause",
                                                              "interruptedByUser"};

// StatisticObject
inline constexpr std::string_view kStatisticObjectNotification[] = {"critical", "reached", "warning"};
inline constexpr std::string_view kStatisticObjectUnit[] = {
    "kilowatt", "kilowattHours", "hours", "seconds", "minutes", "kilometer", "days", "percent", "miles"};
inline constexpr std::string_view kStatisticObjectConfirmendByUser[] = {"notConfirmed", "confirmed", "option"};
inline constexpr std::string_view kStatisticObjectStatisicsType[] = {"bidiNumbersOfCycles", "bidiOperatingHours",
                                                                     "bcamScore", "bidiAmountOfEnergy", "bidiQuota"};
inline constexpr std::string_view kStatisticObjectWritable[] = {"confirmendByUser"};

}  // namespace rubo::server::vocabulary
