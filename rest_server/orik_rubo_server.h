#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "ara/core/optional.h"
#include "ara/log/logger.h"
#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "interfaces/comm_mngr/comm_mngr_rubo_side_interface.h"
#include "interfaces/comm_mngr/partner_slot.h"
#include "interfaces/enums/someip_types.h"
#include "interfaces/rubo_server/orik_rubo_server_interface.h"
#include "rest_model/elements/elements.h"
#include "rest_model/rubo_server.h"
#include "rubo/server_reply.h"
#include "rubo/server_xobject.h"

namespace orik::ruboServer {

// Lets the tests reach the held-back views and the hook installers.
class ORIKRuboServerTestPeer;

// The REST server application: builds the REST object tree, fills it at start-up, keeps it
// current from the vehicle, answers client writes by the vehicle's write outcome and announces
// the services to the registry while the vehicle service is present.
class ORIKRuboServer : public ORIKRuboServerInterface {
 public:
  using ValueControlObject = rubo::server::charging_management_core::ValueControlObject;
  using SwitchControlObject = rubo::server::charging_management_core::SwitchControlObject;
  using ViewObject = rubo::server::charging_management_core::ViewObject;
  using PastErrorInformationObject = rubo::server::charging_management_core::PastErrorInformationObject;
  using ChargingPlugObject = rubo::server::charging_management_core::ChargingPlugObject;
  using ResetObject = rubo::server::factory_reset::ResetObject;

  // Makes the root object and builds its services and collections; throws on failure.
  using RootFactory = std::function<std::shared_ptr<rubo::server::RuboServer>(const std::string& serverName,
                                                                              const std::string& configPath)>;
  // Announces the service at the URIs, or withdraws it when `uris` is null.
  using RegistryCall = std::function<void(rubo::ServerService& service, const rubo::UriList* uris)>;
  // Replacements for the framework's own root construction and registry calls; an empty one
  // keeps the framework's.
  struct Seams {
    RootFactory makeRoot;
    RegistryCall registry;
  };

  // Result of a POST handler.
  static constexpr std::int32_t kPostAccepted = 0;
  static constexpr std::int32_t kPostInvalid = 1;
  static constexpr std::int32_t kPostWriteFailed = 2;

  ORIKRuboServer(const std::string& serverName, const std::string& configPath);
  ORIKRuboServer(const std::string& serverName, const std::string& configPath, Seams seams);
  ~ORIKRuboServer() override;

  ORIKRuboServer(const ORIKRuboServer&) = delete;
  ORIKRuboServer& operator=(const ORIKRuboServer&) = delete;

  void SetCommunicationsManager(std::shared_ptr<orik::commMngr::CommMngrRuboSideInterface> commMngr);
  // Populates, installs the request hooks, adds the metadata, serves and starts the listeners.
  // Never throws; a failure is logged at Error and ends the start where it happened.
  void StartServer();
  void StopServer();
  void AddServerMetaData();
  void PopulateServer();
  void SendRequestSomeIpListenerStart();

  // ORIKRuboServerInterface
  void Update_Registry(bool available) override;
  void Update_ValueControls(ValueControlsUpdate&& update) override;
  void Update_SwitchControls(const ara::core::Optional<std::string>& type,
                             const ara::core::Optional<std::string>& switchValue,
                             const ara::core::Optional<std::string>& restrictionReason,
                             const ara::core::Optional<std::vector<std::string>>& switchValueConfiguration) override;
  void Update_ChargingPlugs(const ara::core::Optional<std::string>& type,
                            const ara::core::Optional<std::string>& plugConnectionState,
                            const ara::core::Optional<std::string>& infrastructureState,
                            const ara::core::Optional<std::string>& plugType) override;
  void Update_Views(const ara::core::Optional<std::string>& type, const ara::core::Optional<std::string>& content,
                    const ara::core::Optional<std::string>& visibility) override;
  void Update_Notifications(const ara::core::Optional<std::string>& type, const ara::core::Optional<std::string>& value,
                            const ara::core::Optional<std::string>& additionalInformation) override;
  void Update_NotificationMarkers(const ara::core::Optional<std::string>& type,
                                  const ara::core::Optional<bool>& isToBeNotified) override;
  void Update_OruUpdateApprovals(const ara::core::Optional<std::string>& type,
                                 const ara::core::Optional<bool>& updateApproval) override;
  void Update_chargingProcessInformation(ChargingProcessInformationUpdate&& update) override;
  void Update_valueIndications(ValueIndicationsUpdate&& update) override;
  void Update_pastErrorInformation(const ara::core::Optional<std::string>& type,
                                   const ara::core::Optional<std::string>& value,
                                   const ara::core::Optional<std::string>& additionalInformation,
                                   const ara::core::Optional<bool>& confirmedByUser) override;
  void Update_resetToFactoryData(const ara::core::Optional<std::string>& resetToFactoryData,
                                 const ara::core::Optional<std::uint64_t>& lastReset) override;
  void Update_batteryCareModes(const ara::core::Optional<std::string>& type,
                               const ara::core::Optional<std::string>& notification,
                               const ara::core::Optional<std::string>& popup,
                               const ara::core::Optional<std::uint32_t>& chargeBcamThreshold,
                               const ara::core::Optional<float>& bcamScoreThreshold) override;
  void Update_batteryPreconditionings(const ara::core::Optional<std::string>& type,
                                      const ara::core::Optional<std::string>& preconditioningState) override;
  void Update_batteryPreconditioningEnergies(const ara::core::Optional<std::string>& type,
                                             const ara::core::Optional<std::uint32_t>& firstStop,
                                             const ara::core::Optional<std::uint32_t>& nextStops) override;
  void Update_BidirectionalChargingModes(BidirectionalChargingModesUpdate&& update) override;
  void Update_NavTargetSoc(const std::uint8_t& navTargetSoc) override;

 private:
  friend class ORIKRuboServerTestPeer;

  // Start-up population, in the order StartServer runs it.
  void CreateNotificationMarkerObjects();
  void CreateCPIObjects();
  void CreateNotificationObjects();
  void CreatePastErrInfoObjects();
  void CreateBatteryCarModeObjects();
  void CreateBidirectionalChargingModesObjects();
  void CreateOtherObjects();
  void CreateImmediateChargingOptionsObjects();
  void CreateImmediateActionObjects();
  void CreateBatteryPreconditioningEnergiesObjects();
  void CreateBatteryPreconditioningsObjects();

  // Request hooks. Every hook keeps the callback it was layered over and holds its element
  // weakly: an element never keeps itself alive through its own hook.
  void RegisterPreUpdateCallBacks();
  void SetPreupdateCallbacks(const ara::rest::Vector<std::shared_ptr<ValueControlObject>>& elements);
  void SetPreupdateCallbacks(const std::shared_ptr<ViewObject>& view);
  void SetPreupdateCallbacks(const ara::rest::Vector<std::shared_ptr<SwitchControlObject>>& elements);
  void SetPreupdateCallbacks(const ara::rest::Vector<std::shared_ptr<PastErrorInformationObject>>& elements);
  void SetPreupdateCallbacks(const ara::rest::Vector<std::shared_ptr<ResetObject>>& elements);

  // Hook installers, also for the element-creating updates; each layers over the present hook.
  // The switch-control hook (model validator, then the switch-control handler).
  void InitSetup(const std::shared_ptr<SwitchControlObject>& switchControl);
  // "unlocking"/"locking" checked first, else 400: for switch controls an update creates.
  void LayerPlugflaplockstateCallback(const std::shared_ptr<SwitchControlObject>& switchControl);
  // "unlocking"/"locking" checked first, else the internal error: for a plug's lock states.
  void LayerChargingPlugLockStateCallback(const std::shared_ptr<SwitchControlObject>& switchControl);
  // The four start/stop values checked first, else 400.
  void LayerStartstopchargingCallback(const std::shared_ptr<SwitchControlObject>& switchControl);

  bool ValueControl_PreupdateCallback(const std::weak_ptr<ValueControlObject>& element,
                                      const rubo::PreUpdateCallback& previous,
                                      std::shared_ptr<rubo::BaseXObject> object, const ara::rest::ogm::Object& body,
                                      rubo::ServerReply& reply);
  bool View_PreupdateCallback(const std::weak_ptr<ViewObject>& element, const rubo::PreUpdateCallback& previous,
                              std::shared_ptr<rubo::BaseXObject> object, const ara::rest::ogm::Object& body,
                              rubo::ServerReply& reply);
  bool SwitchControl_PreupdateCallback(const std::weak_ptr<SwitchControlObject>& element,
                                       const rubo::PreUpdateCallback& previous,
                                       std::shared_ptr<rubo::BaseXObject> object, const ara::rest::ogm::Object& body,
                                       rubo::ServerReply& reply);
  bool PastErrInfo_PreupdateCallback(const std::weak_ptr<PastErrorInformationObject>& element,
                                     const rubo::PreUpdateCallback& previous, std::shared_ptr<rubo::BaseXObject> object,
                                     const ara::rest::ogm::Object& body, rubo::ServerReply& reply);
  bool ResetFactory_PreupdateCallback(const rubo::PreUpdateCallback& previous,
                                      std::shared_ptr<rubo::BaseXObject> object, const ara::rest::ogm::Object& body,
                                      rubo::ServerReply& reply);
  bool Startstopcharging_PreupdateCallback(const rubo::PreUpdateCallback& previous,
                                           std::shared_ptr<rubo::BaseXObject> object,
                                           const ara::rest::ogm::Object& body, rubo::ServerReply& reply);
  bool Plugflaplockstate_PreupdateCallback(const rubo::PreUpdateCallback& previous,
                                           std::shared_ptr<rubo::BaseXObject> object,
                                           const ara::rest::ogm::Object& body, rubo::ServerReply& reply);
  bool ChargingPlugLockState_PreupdateCallback(const rubo::PreUpdateCallback& previous,
                                               std::shared_ptr<rubo::BaseXObject> object,
                                               const ara::rest::ogm::Object& body, rubo::ServerReply& reply);

  // POST handlers: kPostAccepted, kPostInvalid or kPostWriteFailed.
  std::int32_t SwitchControl_POSThandler(const ara::rest::ogm::Object& body,
                                         const std::shared_ptr<SwitchControlObject>& element);
  bool Validate_SwitchControl(const std::shared_ptr<SwitchControlObject>& element, const std::string& value) const;
  std::int32_t Startstopcharging_POSThandler(const ara::rest::ogm::Object& body) const;
  bool Plugflaplockstate_POSThandler(const ara::rest::ogm::Object& body) const;
  std::int32_t View_POSThandler(const ara::rest::ogm::Object& body, const std::shared_ptr<ViewObject>& element);
  std::int32_t ValueControl_POSThandler(const ara::rest::ogm::Object& body,
                                        const std::shared_ptr<ValueControlObject>& element);
  bool Validate_ValueControl(const std::shared_ptr<ValueControlObject>& element, std::uint32_t value) const;
  std::int32_t PastErrInfo_POSThandler(const ara::rest::ogm::Object& body,
                                       const std::shared_ptr<PastErrorInformationObject>& element);
  std::int32_t ResetFactory_POSThandler(const ara::rest::ogm::Object& body,
                                        const std::shared_ptr<ResetObject>& element);
  // True only for RESPONSE_RECEIVED; one Info line naming the written topic.
  bool Evaluate_SetStatus(const std::string& name, orik::enums::SOMEIP_RESPONSE_TYPE status);

  // SOME/IP-to-REST updates
  // Write one element's properties; the update passes removeAbsent true for an element it
  // found, false for one it has just made.
  void SetFields_SwitchControls(const std::shared_ptr<SwitchControlObject>& switchControl,
                                const ara::core::Optional<std::string>& switchValue,
                                const ara::core::Optional<std::string>& restrictionReason,
                                const ara::core::Optional<std::vector<std::string>>& switchValueConfiguration,
                                bool removeAbsent);
  void SetFields_ChargingPlugs(const std::shared_ptr<ChargingPlugObject>& chargingPlug,
                               const ara::core::Optional<std::string>& plugConnectionState,
                               const ara::core::Optional<std::string>& infrastructureState,
                               const ara::core::Optional<std::string>& plugType, bool removeAbsent);
  // With add true the view gets a new identity and path and joins the "views" collection.
  void SetFields_Views(const std::shared_ptr<ViewObject>& view, const std::string& content,
                       const ara::core::Optional<std::string>& visibility, bool add);
  // End of SOME/IP-to-REST updates

  std::future<void> m_cmcRegistryFuture;
  std::future<void> m_factoryResetRegistryFuture;
  rubo::UriList m_registryUris;
  std::vector<std::string> m_lockStateValues;
  std::vector<std::string> m_startStopChargingValues;
  std::mutex m_mutex;
  std::string m_serverName;
  std::string m_configPath;
  // Replaced by the entry point while request threads may be reading it; each use takes a copy.
  orik::commMngr::PartnerSlot<orik::commMngr::CommMngrRuboSideInterface> m_commMngr;
  std::unordered_map<std::string, std::shared_ptr<ViewObject>> m_viewObjects;
  ara::log::Logger& m_logger;
  // Serialises registry changes, so each service's tasks reach the registry in call order.
  std::mutex m_registryMutex;
  RegistryCall m_registryCall;
  // Declared last, so that it goes first: its request hooks use the members above.
  std::shared_ptr<rubo::server::RuboServer> m_server;
};

}  // namespace orik::ruboServer
