#pragma once

// Device pages register themselves by type; the page tree places them by id.
// A page's file registers it once:
//
//   REGISTER_PAGE(TModuleWarningEvent);
//
// and the id TPageId::TModuleWarningEvent is what the tree layouts name.
// Pages still to be built keep their id, so layouts can already place them.

#include "pages/kit/PageInterface.h"

#include <functional>
#include <optional>
#include <typeinfo>
#include <vector>

class QWidget;

// clang-format off
// Every device page of the page tree, in creation order.
#define CONSOLE_DEVICE_PAGES(X)          \
    X(TModuleBannerGeneral) X(TModuleBannerLarch) X(TModuleBannerBirch) X(TModuleBannerCedar)                          \
    X(TModuleBannerMaple) X(TModuleBanner10port) X(TModuleWarningEvent) X(TModuleRedundancyRstp)                       \
    X(TModuleRedundancyRing) X(TModuleBasics) X(TModuleBasicsSettings) X(TModuleBasicsPassword)                        \
    X(TModuleBasicsIPConf) X(TModuleBasicsSntp) X(TModuleBasicsDhcp) X(TModuleBasicsDhcpEntry)                         \
    X(TModuleBasicsDhcpPortIp) X(TModuleBasicsBackup) X(TModuleBasicsRestore) X(TModuleBasicsUpgrade)                  \
    X(TModuleAutoProvision) X(TModuleBasicsDefault) X(TModuleBasicsReboot) X(TModulePortConfig)                        \
    X(TModulePortStatus) X(TModulePortLimit) X(TModulePortTrunk) X(TModulePortTrunkStatus)                             \
    X(TModuleRedundancyFastRecovery) X(TModuleRedundancyRstpInfo) X(TModuleQos) X(TModuleQosPort)                      \
    X(TModuleQosCos) X(TModuleQosTos) X(TModuleIgmp) X(TModuleIgmpTable) X(TModuleVlan) X(TModuleVlanPortBased)        \
    X(TModuleVlan8021q) X(TModuleVlan8021qPort) X(TModuleVlanTable) X(TModuleSnmp) X(TModuleSnmpCommunity)             \
    X(TModuleSnmpUser) X(TModuleSnmpTrap) X(TModuleSecurityIP) X(TModuleSecurityPort) X(TModuleSecurityMac)            \
    X(TModuleSecurityMacAging) X(TModuleSecurity8021x) X(TModuleSecurity8021xPort) X(TModuleWarningFault)              \
    X(TModuleWarningSyslog) X(TModuleWarningSmtp) X(TModuleMonitorMac) X(TModuleMonitorPort)                           \
    X(TModuleMonitorMirror) X(TModuleMonitorEvent) X(TModuleLldp) X(TModuleSave) X(TModuleAdvConBSF)                   \
    X(TModuleAgingTime) X(TModuleJumboFrame) X(TModuleMonitorPortCounter) X(TModuleMonitorMirror2)                     \
    X(TModulePortLimit2) X(TModulePortTrunk2) X(TModulePortStatus2) X(TModulePortTrunkStatus2)                         \
    X(TModulePortTrunkActivity) X(TModuleSnmpContext) X(TModuleSnmpGroup) X(TModuleSnmpAccess)                         \
    X(TModuleSnmpMibview) X(TModuleQos2) X(TModuleQos2Port) X(TModuleQos2Cos) X(TModuleQos2Tos) X(TModuleIgmp2)        \
    X(TModuleIgmp2Table) X(TModuleSecurityMac2Static) X(TModuleSecurityMac2Filter) X(TModuleSecurityAcl)               \
    X(TModuleSecurityMultiFilter)                                                                                     

// Group pages (captions in the tree builder), after the device pages.
#define CONSOLE_GROUP_PAGES(X)                \
    X(GroupRedundancy) X(GroupSecurity) X(GroupWarning) X(GroupMonitor) X(GroupTftpTransaction)                        \
    X(GroupSystemEventLog) X(GroupPort) X(GroupProtocol) X(GroupVlan) X(GroupSecurity2)                                \
    X(GroupAdvancedConfiguration) X(GroupMacAddressTable)                                                             
// clang-format on

enum class TPageId {
#define CONSOLE_PAGE_ID(name) name,
    CONSOLE_DEVICE_PAGES(CONSOLE_PAGE_ID) CONSOLE_GROUP_PAGES(CONSOLE_PAGE_ID)
#undef CONSOLE_PAGE_ID
};

inline constexpr int kPageIdCount = 0
#define CONSOLE_PAGE_COUNT(name) +1
    CONSOLE_DEVICE_PAGES(CONSOLE_PAGE_COUNT) CONSOLE_GROUP_PAGES(CONSOLE_PAGE_COUNT);
#undef CONSOLE_PAGE_COUNT

inline constexpr bool IsGroupPage(TPageId id) { return id >= TPageId::GroupRedundancy; }

// The id's name ("TModuleBasics", "GroupWarning"), for messages and tests.
const char* PageIdName(TPageId id);

// One registered page type.
struct TPageType {
    TPageId id;
    std::function<TModule*(QWidget* owner)> make;  // creates the page (owned by the "Devices" page)
    std::function<void(TModule* page)> configure;  // run on every tree build, may be empty
};

// The registered pages, in creation (id) order.
const std::vector<TPageType>& RegisteredPages();
void RegisterPageType(TPageType type);

// The id a page class is registered under (none for a class registered
// under no id, or under more than one).
std::optional<TPageId> RegisteredPageId(const std::type_info& type);
void RegisterPageClass(const std::type_info& type, TPageId id);

template <class T> struct TPageRegistration {
    explicit TPageRegistration(TPageId id, std::function<void(TModule*)> configure = {})
    {
        RegisterPageClass(typeid(T), id);
        RegisterPageType({id, [](QWidget* owner) -> TModule* { return new T(owner); }, std::move(configure)});
    }
};

#define REGISTER_PAGE(T) static const TPageRegistration<T> s_RegisterPage_##T(TPageId::T)
