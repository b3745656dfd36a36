#include "console/ModuleTree.h"

#include "console/DeviceTypesFile.h"
#include "console/MainForm.h"
#include "console/ModuleFrame.h"

#include <QObject>
#include <QTreeWidgetItem>
#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>

namespace {

// Group pages, in creation order; GroupSecurity2 is the second "Security".
const struct {
    TPageId id;
    const char* caption;
} kGroups[] = {
    {TPageId::GroupRedundancy, "Redundancy"},
    {TPageId::GroupSecurity, "Security"},
    {TPageId::GroupWarning, "Warning"},
    {TPageId::GroupMonitor, "Monitor And Diagnostic"},
    {TPageId::GroupTftpTransaction, "TFTP Transaction"},
    {TPageId::GroupSystemEventLog, "System Event Log"},
    {TPageId::GroupPort, "Port"},
    {TPageId::GroupProtocol, "Protocol"},
    {TPageId::GroupVlan, "Vlan"},
    {TPageId::GroupSecurity2, "Security"},
    {TPageId::GroupAdvancedConfiguration, "Advanced Configuration"},
    {TPageId::GroupMacAddressTable, "MAC Address Table"},
};

const std::vector<TModuleTreeEntry> kLayout0 = {
    {0, TPageId::TModuleBasics, "Basics"},
    {1, TPageId::TModuleBasicsSettings, "Switch Setting"},
    {1, TPageId::TModuleBasicsPassword, "Admin Password"},
    {1, TPageId::TModuleBasicsIPConf, "IP Configuration"},
    {1, TPageId::TModuleBasicsSntp, "Time (SNTP)"},
    {1, TPageId::TModuleBasicsDhcp, "DHCP Server"},
    {2, TPageId::TModuleBasicsDhcpEntry, "Client Entries"},
    {2, TPageId::TModuleBasicsDhcpPortIp, "Port and IP Binding"},
    {1, TPageId::TModuleBasicsBackup, "Backup"},
    {1, TPageId::TModuleBasicsRestore, "Restore"},
    {1, TPageId::TModuleBasicsUpgrade, "Upgrade"},
    {1, TPageId::TModuleAutoProvision, "Auto Provision"},
    {1, TPageId::TModuleBasicsDefault, "Factory Default"},
    {1, TPageId::TModuleBasicsReboot, "Reboot"},
    {0, TPageId::TModulePortConfig, "Port Configuration"},
    {1, TPageId::TModulePortStatus, "Port Status"},
    {1, TPageId::TModulePortLimit, "Rate Limit"},
    {1, TPageId::TModulePortTrunk, "Port Trunk"},
    {2, TPageId::TModulePortTrunkStatus, "Port Trunk Status"},
    {0, TPageId::GroupRedundancy, "Redundancy"},
    {1, TPageId::TModuleRedundancyFastRecovery, "Fast Recovery Mode"},
    {1, TPageId::TModuleRedundancyRing, "Swale Ring", true},
    {1, TPageId::TModuleRedundancyRstp, "RSTP Settings"},
    {2, TPageId::TModuleRedundancyRstpInfo, "RSTP Information"},
    {0, TPageId::TModuleQos, "Traffic Prioritization"},
    {1, TPageId::TModuleQosPort, "Port Based Priority"},
    {1, TPageId::TModuleQosCos, "COS Settings"},
    {1, TPageId::TModuleQosTos, "TOS Settings"},
    {0, TPageId::TModuleVlan, "VLAN"},
    {1, TPageId::TModuleVlanPortBased, "Port Based VLAN"},
    {1, TPageId::TModuleVlan8021q, "802.1Q VLAN"},
    {2, TPageId::TModuleVlan8021qPort, "Port Configuration"},
    {1, TPageId::TModuleVlanTable, "VLAN Table"},
    {0, TPageId::TModuleSnmp, "SNMP"},
    {1, TPageId::TModuleSnmpCommunity, "Community"},
    {1, TPageId::TModuleSnmpUser, "SNMPv3 User"},
    {1, TPageId::TModuleSnmpTrap, "Trap Settings"},
    {0, TPageId::GroupSecurity, "Security"},
    {1, TPageId::TModuleSecurityIP, "IP Security"},
    {1, TPageId::TModuleSecurityPort, "Port Security"},
    {1, TPageId::TModuleSecurityMac, "MAC Blacklist"},
    {1, TPageId::TModuleSecurityMacAging, "MAC Address Aging"},
    {1, TPageId::TModuleSecurity8021x, "802.1x"},
    {2, TPageId::TModuleSecurity8021xPort, "Port Auth"},
    {0, TPageId::GroupWarning, "Warning"},
    {1, TPageId::TModuleWarningFault, "Fault Alarm"},
    {1, TPageId::TModuleWarningSyslog, "Syslog Settings"},
    {1, TPageId::TModuleWarningSmtp, "SMTP Settings"},
    {1, TPageId::TModuleWarningEvent, "Event Settings"},
    {0, TPageId::GroupMonitor, "Monitor And Diagnostic"},
    {1, TPageId::TModuleMonitorMac, "MAC Address Table"},
    {1, TPageId::TModuleMonitorPort, "Port Statistics"},
    {1, TPageId::TModuleMonitorMirror, "Port Mirroring"},
    {1, TPageId::TModuleMonitorEvent, "System Event Log"},
    {1, TPageId::TModuleLldp, "LLDP"},
    {0, TPageId::TModuleSave, "Save To Flash"},
};

const std::vector<TModuleTreeEntry> kLayout1 = {
    {0, TPageId::TModuleBasics, "System", true},
    {1, TPageId::TModuleBasicsSettings, "System Information", true},
    {1, TPageId::TModuleBasicsIPConf, "IP Configuration"},
    {1, TPageId::TModuleBasicsDhcp, "DHCP Server"},
    {2, TPageId::TModuleBasicsDhcpEntry, "Client Entries"},
    {2, TPageId::TModuleBasicsDhcpPortIp, "Port and IP Binding"},
    {1, TPageId::GroupTftpTransaction, "TFTP Transaction"},
    {2, TPageId::TModuleBasicsUpgrade, "Upgrade"},
    {2, TPageId::TModuleBasicsRestore, "Restore"},
    {2, TPageId::TModuleBasicsBackup, "Backup"},
    {1, TPageId::GroupSystemEventLog, "System Event Log"},
    {2, TPageId::TModuleWarningSyslog, "Syslog Settings"},
    {2, TPageId::TModuleMonitorEvent, "System Event Log"},
    {2, TPageId::TModuleWarningSmtp, "SMTP Settings"},
    {2, TPageId::TModuleWarningEvent, "Event Settings"},
    {1, TPageId::TModuleBasicsSntp, "Time (SNTP)"},
    {1, TPageId::TModuleSecurityIP, "IP Security"},
    {1, TPageId::TModuleBasicsPassword, "User Authentication", true},
    {1, TPageId::GroupAdvancedConfiguration, "Advanced Configuration"},
    {2, TPageId::TModuleAdvConBSF, "Broadcast Storm Filter"},
    {2, TPageId::TModuleAgingTime, "Aging Time"},
    {2, TPageId::TModuleJumboFrame, "Jumbo Frame"},
    {0, TPageId::GroupPort, "Port"},
    {1, TPageId::TModuleMonitorPort, "Port Statistics"},
    {1, TPageId::TModuleMonitorPortCounter, "Port Counters"},
    {1, TPageId::TModulePortConfig, "Port Configuration"},
    {1, TPageId::TModulePortStatus2, "Port Status"},
    {1, TPageId::TModulePortTrunk2, "Port Trunk"},
    {2, TPageId::TModulePortTrunkActivity, "LACP State Activity "},
    {2, TPageId::TModulePortTrunkStatus2, "Aggregator Information"},
    {1, TPageId::TModuleMonitorMirror2, "Port Mirroring"},
    {1, TPageId::TModulePortLimit2, "Rate Limiting"},
    {0, TPageId::GroupProtocol, "Protocol"},
    {1, TPageId::GroupVlan, "Vlan"},
    {2, TPageId::TModuleVlan, "VLAN"},
    {2, TPageId::TModuleVlan8021q, "802.1Q VLAN"},
    {2, TPageId::TModuleVlan8021qPort, "Port Configuration"},
    {2, TPageId::TModuleVlanTable, "VLAN Table"},
    {2, TPageId::TModuleVlanPortBased, "Port Based VLAN"},
    {1, TPageId::TModuleRedundancyRstp, "RSTP Settings"},
    {2, TPageId::TModuleRedundancyRstpInfo, "RSTP Information"},
    {1, TPageId::TModuleSnmp, "SNMP"},
    {2, TPageId::TModuleSnmpCommunity, "Community"},
    {2, TPageId::TModuleSnmpTrap, "Trap Settings"},
    {2, TPageId::TModuleSnmpContext, "SNMPv3 Context Table"},
    {2, TPageId::TModuleSnmpUser, "SNMPv3 User"},
    {2, TPageId::TModuleSnmpGroup, "SNMPv3 Group Table"},
    {2, TPageId::TModuleSnmpAccess, "SNMPv3 Access Table"},
    {2, TPageId::TModuleSnmpMibview, "SNMPv3 MIBView Table"},
    {1, TPageId::TModuleQos2, "Qos Mode", true},
    {2, TPageId::TModuleQos2Cos, "802.1p Priority"},
    {2, TPageId::TModuleQos2Port, "Default Ingress Port Priority Mapping"},
    {2, TPageId::TModuleQos2Tos, "TOS/DSCP Priority Mapping"},
    {1, TPageId::TModuleIgmp2, "IGMP Snooping"},
    {2, TPageId::TModuleIgmp2Table, "IGMP Snooping Table"},
    {1, TPageId::TModuleLldp, "LLDP"},
    {1, TPageId::TModuleRedundancyRing, "Swale Ring"},
    {0, TPageId::GroupSecurity2, "Security"},
    {1, TPageId::TModuleSecurity8021x, "802.1x"},
    {2, TPageId::TModuleSecurity8021xPort, "Port Auth"},
    {1, TPageId::GroupMacAddressTable, "MAC Address Table"},
    {2, TPageId::TModuleSecurityMac2Static, "Static MAC Addresses"},
    {2, TPageId::TModuleSecurityMac2Filter, "MAC Filtering"},
    {2, TPageId::TModuleMonitorMac, "All Mac Addresses", true},
    {2, TPageId::TModuleSecurityMultiFilter, "Multicast Filter"},
    {1, TPageId::TModuleSecurityAcl, "Access Control List"},
    {0, TPageId::TModuleBasicsDefault, "Factory Default"},
    {0, TPageId::TModuleSave, "Save To Flash"},
    {0, TPageId::TModuleBasicsReboot, "Reboot"},
};

// Banner pages by the model's banner number.
const TPageId kBanners[] = {TPageId::TModuleBannerGeneral, TPageId::TModuleBannerLarch, TPageId::TModuleBannerCedar,
                            TPageId::TModuleBannerMaple,   TPageId::TModuleBannerBirch, TPageId::TModuleBanner10port};

// What the builder keeps per "Devices" page for the whole run.
struct TBuilderState {
    std::map<TPageId, TModule*> pages;         // device pages (made on first need) and group pages
    std::map<TPageId, TModule*> placeholders;  // group nodes for pages built without
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

TPageId BannerPageId(int banner)
{
    if (banner >= 0 && banner < int(std::size(kBanners)))
        return kBanners[banner];
    return kBanners[0];
}

namespace {

// The page (or its lazy holder) of an id, null when the console is built without it.
TModule* PageHolder(TModuleFrame* frame, TPageId id)
{
    auto it = States().find(frame);
    if (it == States().end())
        return nullptr;
    auto page = it->second.pages.find(id);
    return page == it->second.pages.end() ? nullptr : page->second;
}

// The node text a page gives itself: its caption where a layout does not
// name it otherwise.
QString OwnCaption(TPageId id)
{
    for (int layout : {0, 1}) {
        for (const TModuleTreeEntry& entry : ModuleTreeLayout(layout)) {
            if (entry.page == id && !entry.as)
                return QString::fromUtf8(entry.caption);
        }
    }
    return QString();
}

}  // namespace

TModule* FindBuiltModule(TModuleFrame* frame, TPageId id) { return RealModule(PageHolder(frame, id)); }

void BuildModuleTreeWith(TModuleFrame* frame, int layout, const std::vector<TPageType>& types)
{
    if (!frame)
        return;
    TBuilderState& state = StateOf(frame);

    // 1. Every page once, in table order, each made on first need; then the
    // group pages.
    if (!state.created) {
        state.created = true;
        for (const TPageType& type : types) {
            if (!type.make || state.pages.count(type.id))
                continue;
            auto make = [frame, make = type.make, configure = type.configure]() -> TModule* {
                TModule* page = make(frame);
                if (!page)
                    return nullptr;
                // Pages that no layout shows must not appear on their own.
                if (QWidget* pageFrame = page->GetFrame())
                    pageFrame->hide();
                if (configure)
                    configure(page);
                return page;
            };
            TModule* page = frame->Adopt(std::make_unique<TLazyModule>(OwnCaption(type.id), std::move(make)));
            state.pages.emplace(type.id, page);
        }
        for (const auto& group : kGroups) {
            TModule* page = frame->Adopt(std::make_unique<TModuleDummy>(QString::fromUtf8(group.caption)));
            state.pages.emplace(group.id, page);
        }
    }

    // 2. Per-build settings of the pages made so far (the others get them
    // when made).
    for (const TPageType& type : types) {
        auto it = state.pages.find(type.id);
        TModule* page = it != state.pages.end() ? BuiltModule(it->second) : nullptr;
        if (type.configure && page)
            type.configure(page);
    }

    // 3. Banners, once.
    if (!state.bannersRegistered) {
        state.bannersRegistered = true;
        if (!g_DevicesLoadFailed) {
            const std::size_t n = std::min(std::size_t(std::max(g_DeviceTypeCount, 0)),
                                           std::min(g_DeviceTypeIndex.size(), g_DeviceBanner.size()));
            for (std::size_t i = 0; i < n; ++i) {
                if (TModule* banner = PageHolder(frame, BannerPageId(g_DeviceBanner[i])))
                    frame->RegisterBanner(g_DeviceTypeIndex[i], banner);
            }
        }
        if (TModule* general = PageHolder(frame, kBanners[0]))
            frame->RegisterBanner(0, general);
    }

    // 4. The nodes of the layout. A page the console is built without gets
    // no node; one with children keeps them under a group node. A group
    // (or such a node) stands only above a page that is built.
    const std::vector<TModuleTreeEntry>& entries = ModuleTreeLayout(layout);
    std::vector<bool> keep(entries.size(), false);
    {
        // Backwards: below[l] says whether a node of level l seen since the
        // last shallower one leads to a built page.
        std::vector<bool> below(10, false);
        for (std::size_t i = entries.size(); i-- > 0;) {
            const int level = entries[i].level;
            if (level < 0 || level + 1 >= int(below.size()))
                continue;
            const bool built = !IsGroupPage(entries[i].page) && PageHolder(frame, entries[i].page);
            keep[i] = built || below[std::size_t(level + 1)];
            below[std::size_t(level)] = below[std::size_t(level)] || keep[i];
            std::fill(below.begin() + level + 1, below.end(), false);
        }
    }
    // The last node of each level; null below a page that got no node.
    std::vector<QTreeWidgetItem*> parents(8, nullptr);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TModuleTreeEntry& entry = entries[i];
        const int level = entry.level;
        if (level < 0 || level >= int(parents.size()) - 1)
            continue;
        if (!keep[i] || (level > 0 && !parents[std::size_t(level - 1)])) {
            parents[std::size_t(level)] = nullptr;
            continue;
        }
        QTreeWidgetItem* parent = level > 0 ? parents[std::size_t(level - 1)] : nullptr;
        TModule* page = PageHolder(frame, entry.page);
        bool placeholder = false;
        const bool hasChildren = i + 1 < entries.size() && entries[i + 1].level > level;
        if (!page && hasChildren) {
            TModule*& group = state.placeholders[entry.page];
            if (!group)
                group = frame->Adopt(std::make_unique<TModuleDummy>(QString::fromUtf8(entry.caption)));
            page = group;
            placeholder = true;
        }
        if (!page) {
            parents[std::size_t(level)] = nullptr;
            continue;
        }
        QTreeWidgetItem* node = entry.as || placeholder
                                    ? frame->AddModuleAs(page, parent, QString::fromUtf8(entry.caption))
                                    : frame->AddModule(page, parent);
        parents[std::size_t(level)] = node;
    }
    // Every page in sight, as the main tree.
    frame->ModuleTree()->expandAll();
}

void BuildModuleTree(TMainForm*, TModuleFrame* frame, int layout)
{
    BuildModuleTreeWith(frame, layout, RegisteredPages());
}
