#include "pages/kit/PageTree.h"

#include "intp/Device.h"
#include "intp/DeviceType.h"

#include <array>
#include <cstdint>

namespace {

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

}  // namespace

const std::vector<TModuleTreeEntry>& ModuleTreeLayout(int layout) { return layout == 1 ? kLayout1 : kLayout0; }

int DeviceLayout(const Intp::TDevice* device)
{
    return device && std::int64_t(device->GetType()) > std::int64_t(Intp::g_LayoutThreshold) ? 1 : 0;
}

unsigned PageLayouts(TPageId id)
{
    static const std::array<unsigned, kPageIdCount> layouts = [] {
        std::array<unsigned, kPageIdCount> held{};
        for (int layout : {0, 1}) {
            for (const TModuleTreeEntry& entry : ModuleTreeLayout(layout))
                held[std::size_t(entry.page)] |= 1u << layout;
        }
        return held;
    }();
    const int index = int(id);
    return index >= 0 && index < kPageIdCount ? layouts[std::size_t(index)] : 0;
}
