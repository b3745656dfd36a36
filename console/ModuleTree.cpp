#include "console/ModuleTree.h"

#include "console/DeviceTypesFile.h"
#include "console/MainForm.h"
#include "console/ModuleFrame.h"

#include <QObject>
#include <QTreeWidgetItem>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

// Group pages, in creation order; "#Security2" is the second "Security".
const char* const kGroups[][2] = {
    {"#Redundancy", "Redundancy"},
    {"#Security", "Security"},
    {"#Warning", "Warning"},
    {"#Monitor", "Monitor And Diagnostic"},
    {"#TftpTransaction", "TFTP Transaction"},
    {"#SystemEventLog", "System Event Log"},
    {"#Port", "Port"},
    {"#Protocol", "Protocol"},
    {"#Vlan", "Vlan"},
    {"#Security2", "Security"},
    {"#AdvancedConfiguration", "Advanced Configuration"},
    {"#MacAddressTable", "MAC Address Table"},
};

const std::vector<TModuleTreeEntry> kLayout0 = {
    {0, "TModuleBasics", "Basics"},
    {1, "TModuleBasicsSettings", "Switch Setting"},
    {1, "TModuleBasicsPassword", "Admin Password"},
    {1, "TModuleBasicsIPConf", "IP Configuration"},
    {1, "TModuleBasicsSntp", "Time (SNTP)"},
    {1, "TModuleBasicsDhcp", "DHCP Server"},
    {2, "TModuleBasicsDhcpEntry", "Client Entries"},
    {2, "TModuleBasicsDhcpPortIp", "Port and IP Binding"},
    {1, "TModuleBasicsBackup", "Backup"},
    {1, "TModuleBasicsRestore", "Restore"},
    {1, "TModuleBasicsUpgrade", "Upgrade"},
    {1, "TModuleAutoProvision", "Auto Provision"},
    {1, "TModuleBasicsDefault", "Factory Default"},
    {1, "TModuleBasicsReboot", "Reboot"},
    {0, "TModulePortConfig", "Port Configuration"},
    {1, "TModulePortStatus", "Port Status"},
    {1, "TModulePortLimit", "Rate Limit"},
    {1, "TModulePortTrunk", "Port Trunk"},
    {2, "TModulePortTrunkStatus", "Port Trunk Status"},
    {0, "#Redundancy", "Redundancy"},
    {1, "TModuleRedundancyFastRecovery", "Fast Recovery Mode"},
    {1, "TModuleRedundancyRing", "Swale Ring", true},
    {1, "TModuleRedundancyRstp", "RSTP Settings"},
    {2, "TModuleRedundancyRstpInfo", "RSTP Information"},
    {0, "TModuleQos", "Traffic Prioritization"},
    {1, "TModuleQosPort", "Port Based Priority"},
    {1, "TModuleQosCos", "COS Settings"},
    {1, "TModuleQosTos", "TOS Settings"},
    {0, "TModuleVlan", "VLAN"},
    {1, "TModuleVlanPortBased", "Port Based VLAN"},
    {1, "TModuleVlan8021q", "802.1Q VLAN"},
    {2, "TModuleVlan8021qPort", "Port Configuration"},
    {1, "TModuleVlanTable", "VLAN Table"},
    {0, "TModuleSnmp", "SNMP"},
    {1, "TModuleSnmpCommunity", "Community"},
    {1, "TModuleSnmpUser", "SNMPv3 User"},
    {1, "TModuleSnmpTrap", "Trap Settings"},
    {0, "#Security", "Security"},
    {1, "TModuleSecurityIP", "IP Security"},
    {1, "TModuleSecurityPort", "Port Security"},
    {1, "TModuleSecurityMac", "MAC Blacklist"},
    {1, "TModuleSecurityMacAging", "MAC Address Aging"},
    {1, "TModuleSecurity8021x", "802.1x"},
    {2, "TModuleSecurity8021xPort", "Port Auth"},
    {0, "#Warning", "Warning"},
    {1, "TModuleWarningFault", "Fault Alarm"},
    {1, "TModuleWarningSyslog", "Syslog Settings"},
    {1, "TModuleWarningSmtp", "SMTP Settings"},
    {1, "TModuleWarningEvent", "Event Settings"},
    {0, "#Monitor", "Monitor And Diagnostic"},
    {1, "TModuleMonitorMac", "MAC Address Table"},
    {1, "TModuleMonitorPort", "Port Statistics"},
    {1, "TModuleMonitorMirror", "Port Mirroring"},
    {1, "TModuleMonitorEvent", "System Event Log"},
    {1, "TModuleLldp", "LLDP"},
    {0, "TModuleSave", "Save To Flash"},
};

const std::vector<TModuleTreeEntry> kLayout1 = {
    {0, "TModuleBasics", "System", true},
    {1, "TModuleBasicsSettings", "System Information", true},
    {1, "TModuleBasicsIPConf", "IP Configuration"},
    {1, "TModuleBasicsDhcp", "DHCP Server"},
    {2, "TModuleBasicsDhcpEntry", "Client Entries"},
    {2, "TModuleBasicsDhcpPortIp", "Port and IP Binding"},
    {1, "#TftpTransaction", "TFTP Transaction"},
    {2, "TModuleBasicsUpgrade", "Upgrade"},
    {2, "TModuleBasicsRestore", "Restore"},
    {2, "TModuleBasicsBackup", "Backup"},
    {1, "#SystemEventLog", "System Event Log"},
    {2, "TModuleWarningSyslog", "Syslog Settings"},
    {2, "TModuleMonitorEvent", "System Event Log"},
    {2, "TModuleWarningSmtp", "SMTP Settings"},
    {2, "TModuleWarningEvent", "Event Settings"},
    {1, "TModuleBasicsSntp", "Time (SNTP)"},
    {1, "TModuleSecurityIP", "IP Security"},
    {1, "TModuleBasicsPassword", "User Authentication", true},
    {1, "#AdvancedConfiguration", "Advanced Configuration"},
    {2, "TModuleAdvConBSF", "Broadcast Storm Filter"},
    {2, "TModuleAgingTime", "Aging Time"},
    {2, "TModuleJumboFrame", "Jumbo Frame"},
    {0, "#Port", "Port"},
    {1, "TModuleMonitorPort", "Port Statistics"},
    {1, "TModuleMonitorPortCounter", "Port Counters"},
    {1, "TModulePortConfig", "Port Configuration"},
    {1, "TModulePortStatus2", "Port Status"},
    {1, "TModulePortTrunk2", "Port Trunk"},
    {2, "TModulePortTrunkActivity", "LACP State Activity "},
    {2, "TModulePortTrunkStatus2", "Aggregator Information"},
    {1, "TModuleMonitorMirror2", "Port Mirroring"},
    {1, "TModulePortLimit2", "Rate Limiting"},
    {0, "#Protocol", "Protocol"},
    {1, "#Vlan", "Vlan"},
    {2, "TModuleVlan", "VLAN"},
    {2, "TModuleVlan8021q", "802.1Q VLAN"},
    {2, "TModuleVlan8021qPort", "Port Configuration"},
    {2, "TModuleVlanTable", "VLAN Table"},
    {2, "TModuleVlanPortBased", "Port Based VLAN"},
    {1, "TModuleRedundancyRstp", "RSTP Settings"},
    {2, "TModuleRedundancyRstpInfo", "RSTP Information"},
    {1, "TModuleSnmp", "SNMP"},
    {2, "TModuleSnmpCommunity", "Community"},
    {2, "TModuleSnmpTrap", "Trap Settings"},
    {2, "TModuleSnmpContext", "SNMPv3 Context Table"},
    {2, "TModuleSnmpUser", "SNMPv3 User"},
    {2, "TModuleSnmpGroup", "SNMPv3 Group Table"},
    {2, "TModuleSnmpAccess", "SNMPv3 Access Table"},
    {2, "TModuleSnmpMibview", "SNMPv3 MIBView Table"},
    {1, "TModuleQos2", "Qos Mode", true},
    {2, "TModuleQos2Cos", "802.1p Priority"},
    {2, "TModuleQos2Port", "Default Ingress Port Priority Mapping"},
    {2, "TModuleQos2Tos", "TOS/DSCP Priority Mapping"},
    {1, "TModuleIgmp2", "IGMP Snooping"},
    {2, "TModuleIgmp2Table", "IGMP Snooping Table"},
    {1, "TModuleLldp", "LLDP"},
    {1, "TModuleRedundancyRing", "Swale Ring"},
    {0, "#Security2", "Security"},
    {1, "TModuleSecurity8021x", "802.1x"},
    {2, "TModuleSecurity8021xPort", "Port Auth"},
    {1, "#MacAddressTable", "MAC Address Table"},
    {2, "TModuleSecurityMac2Static", "Static MAC Addresses"},
    {2, "TModuleSecurityMac2Filter", "MAC Filtering"},
    {2, "TModuleMonitorMac", "All Mac Addresses", true},
    {2, "TModuleSecurityMultiFilter", "Multicast Filter"},
    {1, "TModuleSecurityAcl", "Access Control List"},
    {0, "TModuleBasicsDefault", "Factory Default"},
    {0, "TModuleSave", "Save To Flash"},
    {0, "TModuleBasicsReboot", "Reboot"},
};

const char* const kBanners[] = {"TModuleBannerGeneral", "TModuleBannerLarch", "TModuleBannerCedar",
                                "TModuleBannerMaple",   "TModuleBannerBirch", "TModuleBanner10port"};

// What the builder keeps per "Devices" page for the whole run.
struct TBuilderState {
    std::map<std::string, TModule*> pages;  // created pages and group pages
    bool created = false;
    bool bannersRegistered = false;
};

std::map<const TModuleFrame*, TBuilderState>& States()
{
    static std::map<const TModuleFrame*, TBuilderState> states;
    return states;
}

TBuilderState& StateOf(TModuleFrame* frame)
{
    auto& states = States();
    auto it = states.find(frame);
    if (it == states.end()) {
        it = states.emplace(frame, TBuilderState()).first;
        QObject::connect(frame, &QObject::destroyed, [frame] { States().erase(frame); });
    }
    return it->second;
}

}  // namespace

const std::vector<TModuleTreeEntry>& ModuleTreeLayout(int layout) { return layout == 1 ? kLayout1 : kLayout0; }

const char* BannerPageName(int banner)
{
    if (banner >= 0 && banner < int(std::size(kBanners)))
        return kBanners[banner];
    return kBanners[0];
}

TModule* FindBuiltModule(TModuleFrame* frame, const char* name)
{
    auto it = States().find(frame);
    if (it == States().end())
        return nullptr;
    auto page = it->second.pages.find(name);
    return page == it->second.pages.end() ? nullptr : page->second;
}

void BuildModuleTreeWith(TModuleFrame* frame, int layout, const std::vector<TDevicePageFactory>& factories)
{
    if (!frame)
        return;
    TBuilderState& state = StateOf(frame);

    // 1. Every page once, in table order; then the group pages.
    if (!state.created) {
        state.created = true;
        for (const TDevicePageFactory& factory : factories) {
            if (!factory.make || state.pages.count(factory.name))
                continue;
            TModule* page = factory.make(frame);
            if (!page)
                continue;
            // Pages that no layout shows must not appear on their own.
            if (QWidget* pageFrame = page->GetFrame())
                pageFrame->hide();
            frame->Adopt(std::unique_ptr<TModule>(page));
            state.pages.emplace(factory.name, page);
        }
        for (const auto& group : kGroups) {
            TModule* page = frame->Adopt(std::make_unique<TModuleDummy>(QString::fromUtf8(group[1])));
            state.pages.emplace(group[0], page);
        }
    }

    // 2. Per-build settings of some pages.
    for (const TDevicePageFactory& factory : factories) {
        auto it = state.pages.find(factory.name);
        if (factory.configure && it != state.pages.end())
            factory.configure(it->second);
    }

    // 3. Banners, once.
    if (!state.bannersRegistered) {
        state.bannersRegistered = true;
        if (!g_DevicesLoadFailed) {
            const std::size_t n = std::min(std::size_t(std::max(g_DeviceTypeCount, 0)),
                                           std::min(g_DeviceTypeIndex.size(), g_DeviceBanner.size()));
            for (std::size_t i = 0; i < n; ++i) {
                if (TModule* banner = FindBuiltModule(frame, BannerPageName(g_DeviceBanner[i])))
                    frame->RegisterBanner(g_DeviceTypeIndex[i], banner);
            }
        }
        if (TModule* general = FindBuiltModule(frame, kBanners[0]))
            frame->RegisterBanner(0, general);
    }

    // 4. The nodes of the layout. A page the console is built without gets
    // no node; one with children keeps them under a group node.
    const std::vector<TModuleTreeEntry>& entries = ModuleTreeLayout(layout);
    // The last node of each level; null below a page that got no node.
    std::vector<QTreeWidgetItem*> parents(8, nullptr);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TModuleTreeEntry& entry = entries[i];
        const int level = entry.level;
        if (level < 0 || level >= int(parents.size()) - 1)
            continue;
        if (level > 0 && !parents[std::size_t(level - 1)]) {
            parents[std::size_t(level)] = nullptr;
            continue;
        }
        QTreeWidgetItem* parent = level > 0 ? parents[std::size_t(level - 1)] : nullptr;
        TModule* page = FindBuiltModule(frame, entry.page);
        bool placeholder = false;
        const bool hasChildren = i + 1 < entries.size() && entries[i + 1].level > level;
        if (!page && hasChildren) {
            const std::string key = std::string("#placeholder:") + entry.page;
            page = FindBuiltModule(frame, key.c_str());
            if (!page) {
                page = frame->Adopt(std::make_unique<TModuleDummy>(QString::fromUtf8(entry.caption)));
                state.pages.emplace(key, page);
            }
            placeholder = true;
        }
        if (!page) {
            parents[std::size_t(level)] = nullptr;
            continue;
        }
        QTreeWidgetItem* node = entry.as || placeholder ? frame->AddModuleAs(page, parent, QString::fromUtf8(entry.caption))
                                         : frame->AddModule(page, parent);
        parents[std::size_t(level)] = node;
    }
}

void BuildModuleTree(TMainForm*, TModuleFrame* frame, int layout)
{
    BuildModuleTreeWith(frame, layout, DevicePageFactories());
}
