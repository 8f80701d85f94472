#include "field_cases.h"

namespace someip_client_test {

using L = ChargingManagementCoreListener;
using R = SOMEIP_RESOURCE_TYPE;

// In poll order.
std::vector<FieldCase> AllFieldCases() {
  std::vector<FieldCase> cases;
  {
    cmc::DT_chargingPlugs_struct a, b;
    Put(a.type, 1);
    Put(a.plugType, 2);
    Put(a.plugConnectionState, 3);
    Put(a.infrastructureState, 4);
    Put(b.type, 5);
    cases.push_back(MakeCase(
        "ChargingPlugs", R::CHARGING_PLUGS, &L::OnReceived_ChargingPlugs, &L::ProcessGet_ChargingPlugs, a, b,
        {"ChargingPlugs(1,4,3,2)", "ChargingPlugs(5,-,-,-)"},
        {"[SomeIp] Received notification regarding chargingPlugs..", "[SomeIp] ChargingPlugs notification: There are ",
         "", "[SomeIp] ChargingPlugs notification: There are no elements in the CachedSamples. Returning...",
         " elements in the chargingPlugs Get vector...",
         "[SomeIp][SomeIpGET -> Rubo] Get failed for chargingPlugs OR 0 elements retrieved...",
         "[SomeIp] ChargingPlug object has no type... Ignoring struct..."}));
  }
  {
    cmc::DT_chargingProcessInformation_struct a, b;
    Put(a.type, 3);
    Put(a.currentChargeState, 1);
    Put(a.activeTargetSoc, 6);
    Put(a.chargeBulkThreshold, 3000000000u);
    Put(a.chargeTimeDisplay, 7);
    Put(a.chargeMode, 2);
    Put(a.profileChargeReason, 3);
    Put(a.chargeType, 4);
    Put(a.chargingScenario, 5);
    Put(a.evseid, std::string("DE*ABC"));
    Put(a.chargeRateCuteness, 8);
    Put(b.type, 9);
    cases.push_back(MakeCase("ChargingProcessInformation", R::CHARGING_PROCESS_INFORMATION,
                             &L::OnReceived_chargingProcessInformation, &L::ProcessGet_ChargingProcessInformation, a, b,
                             {"ChargingProcessInformation(3,1,3000000000,2,3,4,5,6,7,DE*ABC,8)",
                              "ChargingProcessInformation(9,-,-,-,-,-,-,-,-,-,-)"},
                             {"[SomeIp] Received notification regarding chargingProcessInformation...",
                              "[SomeIp] ChargingProcessInformation notification: There are ", "",
                              "[SomeIp] ChargingProcessInformation notification: There are no elements in the "
                              "CachedSamples. Returning...",
                              " elements in the chargingProcessInformation Get vector...",
                              "[SomeIp][SomeIpGET -> Rubo] Get failed for chargingProcessInformation OR 0 elements "
                              "retrieved...",
                              ""},
                             true));
  }
  {
    cmc::DT_notificationMarkers_struct a, b;
    Put(a.type, 2);
    Put(a.isToBeNotified, true);
    Put(b.type, 3);
    cases.push_back(
        MakeCase("NotificationMarkers", R::NOTIFICATION_MARKERS, &L::OnReceived_NotificationMarkers,
                 &L::ProcessGet_NotificationMarkers, a, b, {"NotificationMarkers(2,true)", "NotificationMarkers(3,-)"},
                 {"[SomeIp] Received notification regarding notificationMarkers..",
                  "[SomeIp] NotificationMarkers notification: There are ",
                  "[SomeIp] NotificationMarker object has no type... Ignoring notification...",
                  "[SomeIp] NotificationMarkers notification: There are no elements in the CachedSamples. Returning...",
                  " elements in the notificationMarkers Get vector...",
                  "[SomeIp][SomeIpGET -> Rubo] Get failed for notificationMarkers OR 0 elements retrieved...",
                  "[SomeIp] NotificationMarker object has no type... Ignoring struct..."}));
  }
  {
    cmc::DT_notifications_struct a, b;
    Put(a.type, 4);
    Put(a.value, 5);
    Put(a.additionalInformation, 6);
    Put(b.type, 7);
    cases.push_back(MakeCase(
        "Notifications", R::NOTIFICATIONS, &L::OnReceived_Notifications, &L::ProcessGet_Notifications, a, b,
        {"Notifications(4,6,5)", "Notifications(7,-,-)"},
        {"[SomeIp] Received notification regarding notifications..", "[SomeIp] Notifications notification: There are ",
         "[SomeIp] Notification object has no type... Ignoring notification...",
         "[SomeIp] Notifications notification: There are no elements in the CachedSamples. Returning...",
         " elements in the notifications Get vector...",
         "[SomeIp][SomeIpGET -> Rubo] Get failed for notifications OR 0 elements retrieved...",
         "[SomeIp] Notification object has no type... Ignoring struct..."}));
  }
  {
    cmc::DT_oruUpdateApprovals_struct a, b;
    Put(a.type, 1);
    Put(a.updateApproval, false);
    Put(b.type, 2);
    cases.push_back(
        MakeCase("OruUpdateApprovals", R::ORU_UPDATE_APPROVALS, &L::OnReceived_OruUpdateApprovals,
                 &L::ProcessGet_OruUpdateApprovals, a, b, {"OruUpdateApprovals(1,false)", "OruUpdateApprovals(2,-)"},
                 {"[SomeIp] Received notification regarding oruUpdateApprovals..",
                  "[SomeIp] OruUpdateApprovals notification: There are ",
                  "[SomeIp] OruUpdateApproval object has no type... Ignoring notification...",
                  "[SomeIp] OruUpdateApprovals notification: There are no elements in the CachedSamples. Returning...",
                  " elements in the oruUpdateApprovals Get vector...",
                  "[SomeIp][SomeIpGET -> Rubo] Get failed for oruUpdateApprovals OR 0 elements retrieved...",
                  "[SomeIp] OruUpdateApproval object has no type... Ignoring struct..."}));
  }
  {
    cmc::DT_pastErrorInformation_struct a, b;
    Put(a.type, 1);
    Put(a.value, 2);
    Put(a.additionalInformation, 3);
    Put(a.confirmedByUser, true);
    Put(b.type, 4);
    cases.push_back(MakeCase("PastErrorInformation", R::PAST_ERROR_INFORMATION, &L::OnReceived_pastErrorInformation,
                             &L::ProcessGet_PastErrorInformation, a, b,
                             {"PastErrorInformation(1,2,3,true)", "PastErrorInformation(4,-,-,-)"},
                             {"[SomeIp][SomeIp -> Rubo] Received notification regarding pastErrorInformation...",
                              "[SomeIp] PastErrorInformation notification: There are ",
                              "[SomeIp][SomeIp -> Rubo] PastErrorInformation_str object has no type... Ignoring "
                              "notification...",
                              "[SomeIp][SomeIp -> Rubo] PastErrorInformation notification: There are no elements in "
                              "the CachedSamples. Returning...",
                              " elements in the pastErrorInformation Get vector...",
                              "[SomeIp][SomeIpGET -> Rubo] Get failed for pastErrorInformation OR 0 elements "
                              "retrieved...",
                              "[SomeIp][SomeIp -> Rubo] PastErrorInformation has no type... Ignoring struct..."},
                             true));
  }
  {
    cmc::DT_switchControls_struct a, b;
    Put(a.type, 3);
    Put(a.switchValue, 2);
    a.switchValueConfiguration = Enums<cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>({1, 2});
    Put(a.restrictionReason, 4);
    Put(b.type, 5);
    cases.push_back(
        MakeCase("SwitchControls", R::SWITCH_CONTROLS, &L::OnReceived_SwitchControls, &L::ProcessGet_SwitchControls, a,
                 b, {"SwitchControls(3,4,2,[1,2])", "SwitchControls(5,-,-,-)"},
                 {"[SomeIp] Received notification regarding switchControls..",
                  "[SomeIp] SwitchControls notification: There are ", "",
                  "[SomeIp] SwitchControls notification: There are no elements in the CachedSamples. Returning...",
                  " elements in the switchControls Get vector...",
                  "[SomeIp][SomeIpGET -> Rubo] Get failed for switchControls OR 0 elements retrieved...", ""}));
  }
  {
    cmc::DT_valueIndications_struct a, b;
    Put(a.currentValue, 1.5f);
    Put(a.maxValue, 3.5f);
    Put(a.minValue, 0.5f);
    Put(a.currentTimeDateValue, std::string("2024-01-01"));
    Put(a.unitPercent, 1);
    Put(a.unitTime, 2);
    Put(a.unitSpeed, 3);
    Put(a.unitPower, 4);
    Put(a.unitEnergy, 5);
    Put(a.restrictionReason, 6);
    Put(a.type, 2);
    Put(b.type, 7);
    cases.push_back(MakeCase(
        "ValueIndications", R::VALUE_INDICATIONS, &L::OnReceived_valueIndications, &L::ProcessGet_ValueIndications, a,
        b, {"ValueIndications(2,1.5,3.5,0.5,2024-01-01,1,2,3,4,5,6)", "ValueIndications(7,-,-,-,-,-,-,-,-,-,-)"},
        {"[SomeIp] Received notification regarding valueIndications...",
         "[SomeIp] ValueIndications notification: There are ", "",
         "[SomeIp] ValueIndications notification: There are no elements in the CachedSamples. Returning...",
         " elements in the valueIndications Get vector...",
         "[SomeIp][SomeIpGET -> Rubo] Get failed for valueIndications OR 0 elements retrieved...", ""},
        true));
  }
  {
    cmc::DT_views_struct a, b;
    Put(a.type, 1);
    Put(a.content, 2);
    Put(a.visibility, 3);
    Put(b.type, 2);
    cases.push_back(MakeCase(
        "Views", R::VIEWS, &L::OnReceived_Views, &L::ProcessGet_Views, a, b, {"Views(1,2,3)", "Views(2,-,-)"},
        {"[SomeIp][SomeIp -> Rubo] Received notification regarding views..",
         "[SomeIp][SomeIp -> Rubo] Views notification: There are ",
         "[SomeIp][SomeIp -> Rubo] View object has no type... Ignoring notification...",
         "[SomeIp][SomeIp -> Rubo] Views notification: There are no elements in the CachedSamples. Returning...",
         " elements in the views Get vector...",
         "[SomeIp][SomeIpGET -> Rubo] Get failed for views OR 0 elements retrieved...",
         "[SomeIp][SomeIp -> Rubo] View object has no type... Ignoring notification..."}));
  }
  {
    // The reset element has no type: the empty element is forwarded as well.
    cmc::DT_resetToFactoryData_struct a, b;
    Put(a.elementId, 9);
    Put(a.resetToFactoryData, 1);
    Put(a.lastReset, 1700000000000ull);
    Put(b.resetToFactoryData, 0);
    cases.push_back(
        MakeCase("ResetToFactoryData", R::RESET_TO_FACTORY_DATA, &L::OnReceived_FactoryResetData, &L::ProcessGet_Resets,
                 a, b, {"ResetToFactoryData(1,1700000000000)", "ResetToFactoryData(-,-)", "ResetToFactoryData(0,-)"},
                 {"[SomeIp][SomeIp -> Rubo] Received notification regarding factoryResetData..",
                  "[SomeIp][SomeIp -> Rubo] FactoryResetData notification: There are ", "",
                  "[SomeIp][SomeIp -> Rubo] FactoryResetData notification: There are no elements in the CachedSamples. "
                  "Returning...",
                  " elements in the resetToFactory Get vector...",
                  "[SomeIp][SomeIpGET -> Rubo] Get failed for resetToFactory OR 0 elements retrieved...", ""}));
  }
  {
    cmc::DT_valueControls_struct a, b;
    Put(a.currentValue, 10);
    Put(a.maxValue, 30);
    Put(a.minValue, 20);
    Put(a.unitPercent, 1);
    Put(a.unitDistance, 2);
    Put(a.unitTime, 3);
    Put(a.resolution, 5);
    Put(a.restrictionReason, 4);
    Put(a.type, 7);
    Put(a.specialState, 1);
    a.specialStateConfiguration = Enums<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>({0, 1});
    Put(b.type, 8);
    cases.push_back(
        MakeCase("ValueControls", R::VALUE_CONTROLS, &L::OnReceived_ValueControls, &L::ProcessGet_ValueControls, a, b,
                 {"ValueControls(7,10,20,30,1,2,3,5,4,1,[0,1])", "ValueControls(8,-,-,-,-,-,-,-,-,-,-)"},
                 {"[SomeIp][SomeIp -> Rubo] Received notification regarding valueControls..",
                  "[SomeIp][SomeIp -> Rubo] ValueControls notification: There are ",
                  "[SomeIp][SomeIp -> Rubo] ValueControl object has no type... Ignoring notification...",
                  "[SomeIp][SomeIp -> Rubo] ValueControls notification: There are no elements in the CachedSamples. "
                  "Returning...",
                  " elements in the ValueControl Get vector...",
                  "[SomeIp][SomeIpGET -> Rubo] Get failed for ValueControl OR 0 elements retrieved...",
                  "[SomeIp][SomeIpGET -> Rubo] ValueControl object has no type... Ignoring struct..."}));
  }
  {
    cmc::DT_bidirectionalChargingModes_struct a, b;
    Put(a.type, 1);
    Put(a.information, 2);
    Put(a.notification, 3);
    Put(a.chargingMode, 4);
    Put(a.operatingHoursThreshold, 1.5f);
    Put(a.numbersOfCyclesThreshold, 2.5f);
    Put(a.amountOfEnergyThreshold, 3.5f);
    Put(a.quotaThreshold, 4.5f);
    Put(b.type, 5);
    cases.push_back(
        MakeCase("BidirectionalChargingModes", R::BIDIRECTIONAL_CHARGING_MODES,
                 &L::OnReceived_BidirectionalChargingModes, &L::ProcessGet_BidirectionalChargingModes, a, b,
                 {"BidirectionalChargingModes(1,2,3,4,1.5,2.5,3.5,4.5)", "BidirectionalChargingModes(5,-,-,-,-,-,-,-)"},
                 {"[SomeIp][SomeIp -> Rubo] Received notification regarding BidirectionalChargingModes..",
                  "[SomeIp][SomeIp -> Rubo] BidirectionalChargingModes notification: There are ",
                  "[SomeIp][SomeIp -> Rubo] BidirectionalChargingModes object has no type... Ignoring notification...",
                  "[SomeIp][SomeIp -> Rubo] BidirectionalChargingModes notification: There are no elements in the "
                  "CachedSamples. Returning...",
                  " elements in the BidirectionalChargingModes Get vector...",
                  "[SomeIp][SomeIpGET -> Rubo] Get failed for BidirectionalChargingModes OR 0 elements retrieved...",
                  "[SomeIp][SomeIpGET -> Rubo] BidirectionalChargingModes object has no type... Ignoring struct..."}));
  }
  {
    cmc::DT_batteryCareModes_struct a, b;
    Put(a.type, 1);
    Put(a.chargeBcamThreshold, 80);
    Put(a.notification, 2);
    Put(a.popup, 3);
    Put(a.bcamScoreThreshold, 0.25f);
    Put(b.type, 4);
    cases.push_back(MakeCase(
        "BatteryCareModes", R::BATTERY_CARE_MODES, &L::OnReceived_BatteryCareModes, &L::ProcessGet_BatteryCareModes, a,
        b, {"BatteryCareModes(1,80,2,3,0.25)", "BatteryCareModes(4,-,-,-,-)"},
        {"[SomeIp][SomeIp -> Rubo] Received notification regarding BatteryCareModes..",
         "[SomeIp][SomeIp -> Rubo] BatteryCareModes notification: There are ",
         "[SomeIp][SomeIp -> Rubo] BatteryCareModes object has no type... Ignoring notification...",
         "[SomeIp][SomeIp -> Rubo] BatteryCareModes notification: There are no elements in the CachedSamples. "
         "Returning...",
         " elements in the BatteryCareModes Get vector...",
         "[SomeIp][SomeIpGET -> Rubo] Get failed for BatteryCareModes OR 0 elements retrieved...",
         "[SomeIp][SomeIp -> Rubo] BatteryCareModes object has no type... Ignoring notification..."}));
  }
  {
    cmc::DT_batteryPreconditionings_struct a, b;
    Put(a.type, 1);
    Put(a.preconditioningState, 2);
    Put(b.type, 3);
    cases.push_back(MakeCase(
        "BatteryPreconditionings", R::BATTERY_PRECONDITIONINGS, &L::OnReceived_BatteryPreconditionings,
        &L::ProcessGet_BatteryPreconditionings, a, b, {"BatteryPreconditionings(1,2)", "BatteryPreconditionings(3,-)"},
        {"[SomeIp][SomeIp -> Rubo] Received notification regarding BatteryPreconditionings..",
         "[SomeIp][SomeIp -> Rubo] BatteryPreconditionings notification: There are ",
         "[SomeIp][SomeIp -> Rubo] BatteryPreconditionings object has no type... Ignoring notification...",
         "[SomeIp][SomeIp -> Rubo] BatteryPreconditionings notification: There are no elements in the CachedSamples. "
         "Returning...",
         " elements in the BatteryPreconditionings Get vector...",
         "[SomeIp][SomeIpGET -> Rubo] Get failed for BatteryPreconditionings OR 0 elements retrieved...",
         "[SomeIp][SomeIp -> Rubo] BatteryPreconditionings object has no type... Ignoring notification..."}));
  }
  {
    cmc::DT_batteryPreconditioningEnergies_struct a, b;
    Put(a.type, 1);
    Put(a.firstStop, 10);
    Put(a.nextStops, 20);
    Put(b.type, 2);
    cases.push_back(MakeCase(
        "BatteryPreconditioningEnergies", R::BATTERY_PRECONDITIONING_ENERGIES,
        &L::OnReceived_BatteryPreconditioningEnergies, &L::ProcessGet_BatteryPreconditioningEnergies, a, b,
        {"BatteryPreconditioningEnergies(1,10,20)", "BatteryPreconditioningEnergies(2,-,-)"},
        {"[SomeIp][SomeIp -> Rubo] Received notification regarding BatteryPreconditioningEnergies..",
         "[SomeIp][SomeIp -> Rubo] BatteryPreconditioningEnergies notification: There are ",
         "[SomeIp][SomeIp -> Rubo] BatteryPreconditioningEnergies object has no type... Ignoring notification...",
         "[SomeIp][SomeIp -> Rubo] BatteryPreconditioningEnergies notification: There are no elements in the "
         "CachedSamples. Returning...",
         " elements in the BatteryPreconditioningEnergies Get vector...",
         "[SomeIp][SomeIpGET -> Rubo] Get failed for BatteryPreconditioningEnergies OR 0 elements retrieved...",
         "[SomeIp][SomeIp -> Rubo] BatteryPreconditioningEnergies object has no type... Ignoring notification..."}));
  }
  return cases;
}

}  // namespace someip_client_test
