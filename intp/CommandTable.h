// The command table: one row per request class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace Intp {

class TDevice;
class TSession;
struct TDeviceType;

// How a variable-size request counts its entries.
enum class TCountKind : uint8_t {
    ckNone,                     // fixed size
    ckPortNum,                  // count == PortNum
    ckTrunkGroupNum,            // count == TrunkGroupNum
    ckTrunkGroupNumPlusOne,     // count == TrunkGroupNum + 1
    ckUpToPortAndTrunkGroupNum, // 1 <= count <= PortNum + TrunkGroupNum
    ckPortAndTrunkGroupNum,     // count == PortNum + TrunkGroupNum
    ckSecureIpNum,              // count == SecureIpNum
    ckSnmpCommunityNum,         // count == SnmpCommunityNum
    ckSmtpRecipientNum,         // count == SmtpRecipientNum
    ckAny,                      // count >= 1
};

inline constexpr int32_t VariableSize = -1;

struct TCommandInfo {
    uint16_t code;
    const char* requestClass; // without the namespace
    const char* name;         // GetName
    int32_t requestSize;      // payload bytes, or VariableSize
    uint16_t prefixSize;      // variable size: prefix + entrySize x count
    uint16_t entrySize;
    TCountKind countKind;
    const char* sizeRule;     // the size as text, e.g. "6 + 8 x PortNum"
    uint16_t minReply;        // smallest accepted reply payload
    const char* record;       // feature record, "-" for none
};

inline constexpr TCommandInfo g_CommandTable[] = {
    {0, "TSessionIntpFind", "Find", 4, 0, 0, TCountKind::ckNone, "4", 8, "-"},
    {2, "TSessionIntpLogin", "Login", 16, 0, 0, TCountKind::ckNone, "16", 4, "-"},
    {6, "TSessionIntpPing2", "Ping2", 4, 0, 0, TCountKind::ckNone, "4", 12, "TPropertyIntpPing2"},
    {7, "TSessionIntpSipGet", "IntpSipGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyIntpSip"},
    {256, "TSessionBasicsUpgradeBuildin", "Upgrade", 514, 0, 0, TCountKind::ckNone, "514", 4, "-"},
    {257, "TSessionBasicsBackupBuildin", "Backup", 2, 0, 0, TCountKind::ckNone, "2", 514, "-"},
    {258, "TSessionBasicsRestoreBuildin", "Restore", 514, 0, 0, TCountKind::ckNone, "514", 4, "-"},
    {259, "TSessionBasicsReboot", "Reboot", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {260, "TSessionBasicsSettingsGet", "GetSys", 4, 0, 0, TCountKind::ckNone, "4", 1289, "TPropertyBasicsSettings"},
    {261, "TSessionBasicsSettingsSet", "SetSys", 1024, 0, 0, TCountKind::ckNone, "1024", 4, "-"},
    {262, "TSessionBasicsIPConfGet", "NetGet", 4, 0, 0, TCountKind::ckNone, "4", 21, "TPropertyBasicsIPConf"},
    {263, "TSessionBasicsIPConfSet", "NetSet", 37, 0, 0, TCountKind::ckNone, "37", 4, "-"},
    {264, "TSessionBasicsSave", "SaveCfg", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {265, "TSessionBasicsBackupTftp", "TftpBackup", 38, 0, 0, TCountKind::ckNone, "38", 4, "-"},
    {266, "TSessionBasicsRestoreTftp", "TftpRestore", 38, 0, 0, TCountKind::ckNone, "38", 4, "-"},
    {267, "TSessionBasicsUpgradeTftp", "TftpUpd", 38, 0, 0, TCountKind::ckNone, "38", 4, "-"},
    {268, "TSessionBasicsPassword", "AdminPassword", 32, 0, 0, TCountKind::ckNone, "32", 4, "-"},
    {269, "TSessionBasicsSntpGet", "SntpGet", 4, 0, 0, TCountKind::ckNone, "4", 24, "TPropertyBasicsSntp"},
    {270, "TSessionBasicsSntpSet", "SntpSet", 20, 0, 0, TCountKind::ckNone, "20", 4, "-"},
    {271, "TSessionBasicsDefault", "Default", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {272, "TSessionBasicsDhcpGet", "DhcpGet", 4, 0, 0, TCountKind::ckNone, "4", 25, "TPropertyBasicsDhcp"},
    {273, "TSessionBasicsDhcpSet", "DhcpSet", 25, 0, 0, TCountKind::ckNone, "25", 4, "-"},
    {274, "TSessionBasicsDhcpEntry", "DhcpEntry", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyBasicsDhcpEntry"},
    {275, "TSessionBasicsDhcpPortIpGet", "DhcpPortIpGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyBasicsDhcpPortIp"},
    {276, "TSessionBasicsDhcpPortIpSet", "DhcpPortIpSet", -1, 0, 4, TCountKind::ckPortNum, "4 x PortNum", 4, "-"},
    {278, "TSessionBasicsAutoProvisionGet", "AutoProvisionGet", 4, 0, 0, TCountKind::ckNone, "4", 522, "TPropertyBasicsAutoProvision"},
    {279, "TSessionBasicsAutoProvisionSet", "AutoProvisionSet", 522, 0, 0, TCountKind::ckNone, "522", 4, "-"},
    {280, "TSessionAdvConBSFGet", "AdvConBSFGet", 4, 0, 0, TCountKind::ckNone, "4", 5, "TPropertyAdvConBSF"},
    {281, "TSessionAdvConBSFSet", "AdvConBSFSet", 5, 0, 0, TCountKind::ckNone, "5", 4, "-"},
    {282, "TSessionAgingTimeGet", "AgingTimeGet", 4, 0, 0, TCountKind::ckNone, "4", 2, "TPropertyAgingTime"},
    {283, "TSessionAgingTimeSet", "AgingTimeSet", 2, 0, 0, TCountKind::ckNone, "2", 4, "-"},
    {284, "TSessionJumboFrameGet", "JumboFrameGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyJumboFrame"},
    {285, "TSessionJumboFrameSet", "JumboFrameSet", 1, 0, 0, TCountKind::ckNone, "1", 4, "-"},
    {512, "TSessionPortNameGet", "PortName", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyPortName"},
    {513, "TSessionPortConfigGet", "PortConfigGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyPortConfig"},
    {514, "TSessionPortConfigSet", "PortConfigSet", -1, 4, 5, TCountKind::ckUpToPortAndTrunkGroupNum, "4 + 5 x count (count 1 to PortNum + TrunkGroupNum)", 4, "-"},
    {515, "TSessionPortStatusGet", "PortStatusGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyPortStatus"},
    {516, "TSessionPortLimitGet", "PortLimitGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyPortLimit"},
    {517, "TSessionPortLimitSet", "PortLimitSet", -1, 0, 9, TCountKind::ckPortNum, "9 x PortNum", 4, "-"},
    {518, "TSessionPortTrunkGet", "TrunkGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyPortTrunk"},
    {518, "TSessionPortTrunkGet2", "TrunkGet2", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyPortTrunk2"},
    {519, "TSessionPortTrunkSet", "TrunkSet", -1, 0, 5, TCountKind::ckTrunkGroupNum, "5 x TrunkGroupNum", 4, "-"},
    {519, "TSessionPortTrunkSet2", "TrunkSet2", -1, 0, 80, TCountKind::ckTrunkGroupNumPlusOne, "80 x (TrunkGroupNum + 1)", 4, "-"},
    {521, "TSessionPortLimit2Get", "PortLimit2Get", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyPortLimit2"},
    {522, "TSessionPortLimit2Set", "PortLimit2Set", -1, 0, 4, TCountKind::ckPortNum, "4 x PortNum", 4, "-"},
    {768, "TSessionRedundancyRingGet", "RingGet", 4, 0, 0, TCountKind::ckNone, "4", 9, "TPropertyRedundancyRing"},
    {769, "TSessionRedundancyRingSet", "RingSet", 9, 0, 0, TCountKind::ckNone, "9", 4, "-"},
    {770, "TSessionRedundancyRstpGet", "RstpGet", 4, 0, 0, TCountKind::ckNone, "4", 6, "TPropertyRedundancyRstp"},
    {771, "TSessionRedundancyRstpSet", "RstpSet", -1, 6, 8, TCountKind::ckPortNum, "6 + 8 x PortNum", 4, "-"},
    {772, "TSessionRedundancyRstpInfoGet", "RstpInfoGet", 4, 0, 0, TCountKind::ckNone, "4", 19, "TPropertyRedundancyRstpInfo"},
    {773, "TSessionRedundancyFastRecoveryGet", "RedundancyFastRecoveryGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyRedundancyFastRecovery"},
    {774, "TSessionRedundancyFastRecoverySet", "RedundancyFastRecoverySet", -1, 1, 1, TCountKind::ckPortNum, "1 + PortNum", 4, "-"},
    {775, "TSessionRedundancyGet", "RedundancyGet", 4, 0, 0, TCountKind::ckNone, "4", 2, "TPropertyRedundancy"},
    {778, "TSessionRedundancyRing2Get", "Ring2Get", 4, 0, 0, TCountKind::ckNone, "4", 29, "TPropertyRedundancyRing2"},
    {1024, "TSessionVlanGet", "VlanGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyVlan"},
    {1025, "TSessionVlanSet", "VlanSet", 1, 0, 0, TCountKind::ckNone, "1", 4, "-"},
    {1026, "TSessionVlanPortGet", "VlanPortGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyVlanPort"},
    {1027, "TSessionVlanPortAdd", "VlanPortAdd", 22, 0, 0, TCountKind::ckNone, "22", 4, "-"},
    {1028, "TSessionVlanPortEdit", "VlanPortEdit", 22, 0, 0, TCountKind::ckNone, "22", 4, "-"},
    {1029, "TSessionVlanPortDel", "VlanPortDel", 2, 0, 0, TCountKind::ckNone, "2", 4, "-"},
    {1030, "TSessionVlan8021qGet", "Vlan8021qGet", 4, 0, 0, TCountKind::ckNone, "4", 3, "TPropertyVlan8021q"},
    {1031, "TSessionVlan8021qSet", "Vlan8021qSet", 3, 0, 0, TCountKind::ckNone, "3", 4, "-"},
    {1032, "TSessionVlan8021qPortGet", "Vlan8021qPortGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyVlan8021qPort"},
    {1033, "TSessionVlan8021qPortSet", "Vlan8021qPortSet", -1, 0, 2, TCountKind::ckAny, "2 x word count", 4, "-"},
    {1280, "TSessionQosGet", "QosGet", 4, 0, 0, TCountKind::ckNone, "4", 2, "TPropertyQos"},
    {1281, "TSessionQosSet", "QosSet", 2, 0, 0, TCountKind::ckNone, "2", 4, "-"},
    {1282, "TSessionQosPortGet", "QosPortGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyQosPort"},
    {1283, "TSessionQosPortSet", "QosPortSet", -1, 0, 1, TCountKind::ckPortNum, "PortNum", 4, "-"},
    {1284, "TSessionQosCosGet", "QosCosGet", 4, 0, 0, TCountKind::ckNone, "4", 8, "TPropertyQosCos"},
    {1285, "TSessionQosCosSet", "QosCosSet", -1, 8, 1, TCountKind::ckPortNum, "8 + PortNum", 4, "-"},
    {1286, "TSessionQosTosGet", "QosTosGet", 4, 0, 0, TCountKind::ckNone, "4", 64, "TPropertyQosTos"},
    {1287, "TSessionQosTosSet", "QosTosSet", 64, 0, 0, TCountKind::ckNone, "64", 4, "-"},
    {1288, "TSessionQos2Get", "Qos2Get", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyQos2"},
    {1289, "TSessionQos2Set", "Qos2Set", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {1290, "TSessionQos2CosGet", "Qos2CosGet", 4, 0, 0, TCountKind::ckNone, "4", 8, "TPropertyQos2Cos"},
    {1291, "TSessionQos2CosSet", "Qos2CosSet", 8, 0, 0, TCountKind::ckNone, "8", 4, "-"},
    {1292, "TSessionQos2PortGet", "Qos2PortGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyQos2Port"},
    {1293, "TSessionQos2PortSet", "Qos2PortSet", -1, 0, 1, TCountKind::ckPortNum, "PortNum", 4, "-"},
    {1294, "TSessionQos2TosGet", "Qos2TosGet", 4, 0, 0, TCountKind::ckNone, "4", 64, "TPropertyQos2Tos"},
    {1295, "TSessionQos2TosSet", "Qos2TosSet", 64, 0, 0, TCountKind::ckNone, "64", 4, "-"},
    {1536, "TSessionIgmpGet", "IgmpGet", 4, 0, 0, TCountKind::ckNone, "4", 2, "TPropertyIgmp"},
    {1537, "TSessionIgmpSet", "IgmpSet", 2, 0, 0, TCountKind::ckNone, "2", 4, "-"},
    {1538, "TSessionIgmpTable", "IgmpTblGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyIgmpTable"},
    {1539, "TSessionIgmp2Get", "Igmp2Get", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyIgmp2"},
    {1540, "TSessionIgmp2Set", "Igmp2Set", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {1541, "TSessionIgmp2Table", "IgmpTblGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyIgmp2Table"},
    {1792, "TSessionSnmpGet", "SnmpGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertySnmp"},
    {1793, "TSessionSnmpSet", "SnmpSet", 1, 0, 0, TCountKind::ckNone, "1", 4, "-"},
    {1794, "TSessionSnmpCommunityGet", "SnmpCommunityGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertySnmpCommunity"},
    {1795, "TSessionSnmpCommunitySet", "SnmpCommunitySet", -1, 0, 33, TCountKind::ckSnmpCommunityNum, "33 x SnmpCommunityNum", 4, "-"},
    {1796, "TSessionSnmpUserGet", "SnmpUserGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertySnmpUser"},
    {1797, "TSessionSnmpUserAdd", "SnmpUserAdd", 96, 0, 0, TCountKind::ckNone, "96", 4, "-"},
    {1798, "TSessionSnmpUserDel", "SnmpUserDel", 96, 0, 0, TCountKind::ckNone, "96", 4, "-"},
    {1799, "TSessionSnmpTrapGet", "SnmpTrapGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertySnmpTrap"},
    {1800, "TSessionSnmpTrapAdd", "SnmpTrapAdd", 37, 0, 0, TCountKind::ckNone, "37", 4, "-"},
    {1801, "TSessionSnmpTrapDel", "SnmpTrapDel", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {1802, "TSessionSnmpContextGet", "SnmpContextGet", 4, 0, 0, TCountKind::ckNone, "4", 33, "TPropertySnmpContext"},
    {1803, "TSessionSnmpContextSet", "SnmpContextSet", 33, 0, 0, TCountKind::ckNone, "33", 4, "-"},
    {1804, "TSessionSnmpGroupGet", "SnmpGroupGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertySnmpGroup"},
    {1805, "TSessionSnmpGroupAdd", "SnmpGroupAdd", 66, 0, 0, TCountKind::ckNone, "66", 4, "-"},
    {1806, "TSessionSnmpGroupDel", "SnmpGroupDel", 66, 0, 0, TCountKind::ckNone, "66", 4, "-"},
    {1807, "TSessionSnmpAccessGet", "SnmpAccessGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertySnmpAccess"},
    {1808, "TSessionSnmpAccessAdd", "SnmpAccessAdd", 173, 0, 0, TCountKind::ckNone, "173", 4, "-"},
    {1809, "TSessionSnmpAccessDel", "SnmpAccessDel", 173, 0, 0, TCountKind::ckNone, "173", 4, "-"},
    {1810, "TSessionSnmpMibviewGet", "SnmpMibviewGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertySnmpMibview"},
    {1811, "TSessionSnmpMibviewAdd", "SnmpMibviewAdd", 70, 0, 0, TCountKind::ckNone, "70", 4, "-"},
    {1812, "TSessionSnmpMibviewDel", "SnmpMibviewDel", 70, 0, 0, TCountKind::ckNone, "70", 4, "-"},
    {2048, "TSessionSecurityIpGet", "IPsecGet", 4, 0, 0, TCountKind::ckNone, "4", 5, "TPropertySecurityIp"},
    {2049, "TSessionSecurityIpSet", "IPsecSet", -1, 5, 4, TCountKind::ckSecureIpNum, "5 + 4 x SecureIpNum", 4, "-"},
    {2050, "TSessionSecurityPortGet", "SecurityPortGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertySecurityPort"},
    {2051, "TSessionSecurityPortAdd", "SecurityPortAdd", 7, 0, 0, TCountKind::ckNone, "7", 4, "-"},
    {2052, "TSessionSecurityPortDel", "SecurityPortDel", 6, 0, 0, TCountKind::ckNone, "6", 4, "-"},
    {2053, "TSessionSecurityMacGet", "SecMacGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertySecurityMac"},
    {2054, "TSessionSecurityMacAdd", "SecMacAdd", 6, 0, 0, TCountKind::ckNone, "6", 4, "-"},
    {2055, "TSessionSecurityMacDel", "SecMacDel", 6, 0, 0, TCountKind::ckNone, "6", 4, "-"},
    {2056, "TSessionSecurity8021xGet", "RadiusGet", 4, 0, 0, TCountKind::ckNone, "4", 86, "TPropertySecurity8021x"},
    {2057, "TSessionSecurity8021xSet", "RadiusSet", 86, 0, 0, TCountKind::ckNone, "86", 4, "-"},
    {2058, "TSessionSecurity8021xPortGet", "8021xPortGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertySecurity8021xPort"},
    {2059, "TSessionSecurity8021xPortSet", "8021xPortSet", -1, 0, 1, TCountKind::ckPortNum, "PortNum", 4, "-"},
    {2060, "TSessionSecurityMacAgingGet", "MacAgingGet", 4, 0, 0, TCountKind::ckNone, "4", 5, "TPropertySecurityMacAging"},
    {2061, "TSessionSecurityMacAgingSet", "MacAgingSet", 5, 0, 0, TCountKind::ckNone, "5", 4, "-"},
    {2064, "TSessionSecurityMac2FilterGet", "SecMacFilterGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertySecurityMac2Filter"},
    {2065, "TSessionSecurityMac2FilterAdd", "SecMacFilterAdd", 8, 0, 0, TCountKind::ckNone, "8", 4, "-"},
    {2066, "TSessionSecurityMac2FilterDel", "SecMacDel", 8, 0, 0, TCountKind::ckNone, "8", 4, "-"},
    {2067, "TSessionSecurityMac2StaticGet", "SecMacStaticGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertySecurityMac2Static"},
    {2068, "TSessionSecurityMac2StaticAdd", "SecMacStaticAdd", 9, 0, 0, TCountKind::ckNone, "9", 4, "-"},
    {2069, "TSessionSecurityMac2StaticDel", "SecMacDel", 9, 0, 0, TCountKind::ckNone, "9", 4, "-"},
    {2070, "TSessionSecurityAclGet", "SecurityAclGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertySecurityAcl"},
    {2071, "TSessionSecurityAclAdd", "SecurityAclAdd", 28, 0, 0, TCountKind::ckNone, "28", 4, "-"},
    {2072, "TSessionSecurityAclDel", "SecurityAclDel", 28, 0, 0, TCountKind::ckNone, "28", 4, "-"},
    {2073, "TSessionSecurityMultiFilterGet", "SecMultiFilterGet", 4, 0, 0, TCountKind::ckNone, "4", 8, "TPropertySecurityMultiFilter"},
    {2074, "TSessionSecurityMultiFilterAdd", "SecMultiFilterAdd", 10, 0, 0, TCountKind::ckNone, "10", 4, "-"},
    {2075, "TSessionSecurityMultiFilterDel", "SecMultiFilterDel", 10, 0, 0, TCountKind::ckNone, "10", 4, "-"},
    {2304, "TSessionWarningFaultGet", "FaultGet", 4, 0, 0, TCountKind::ckNone, "4", 8, "TPropertyWarningFault"},
    {2305, "TSessionWarningFaultSet", "FaultSet", 8, 0, 0, TCountKind::ckNone, "8", 4, "-"},
    {2306, "TSessionWarningSyslogGet", "SyslogGet", 4, 0, 0, TCountKind::ckNone, "4", 5, "TPropertyWarningSyslog"},
    {2307, "TSessionWarningSyslogSet", "SyslogSet", 5, 0, 0, TCountKind::ckNone, "5", 4, "-"},
    {2308, "TSessionWarningSmtpGet", "SmtpGet", 4, 0, 0, TCountKind::ckNone, "4", 197, "TPropertyWarningSmtp"},
    {2309, "TSessionWarningSmtpSet", "SmtpSet", -1, 229, 64, TCountKind::ckSmtpRecipientNum, "229 + 64 x SmtpRecipientNum", 4, "-"},
    {2310, "TSessionWarningEventGet", "EventGet", 4, 0, 0, TCountKind::ckNone, "4", 24, "TPropertyWarningEvent"},
    {2311, "TSessionWarningEventSet", "EventSet", 24, 0, 0, TCountKind::ckNone, "24", 4, "-"},
    {2560, "TSessionMonitorMacGet", "MacTableGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyMonitorMac"},
    {2561, "TSessionMonitorMacClear", "MacTableClear", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {2562, "TSessionMonitorPortGet", "StatiticsGet", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyMonitorPort"},
    {2563, "TSessionMonitorPortClear", "StatiticsClear", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {2564, "TSessionMonitorMirrorGet", "MirrorGet", 4, 0, 0, TCountKind::ckNone, "4", 10, "TPropertyMonitorMirror"},
    {2565, "TSessionMonitorMirrorSet", "MirrorSet", 10, 0, 0, TCountKind::ckNone, "10", 4, "-"},
    {2566, "TSessionMonitorEventGet", "EvnTblGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyMonitorEvent"},
    {2567, "TSessionMonitorEventClear", "EvnTblClear", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {2568, "TSessionMonitorMirror2Get", "Mirror2Get", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyMonitorMirror2"},
    {2569, "TSessionMonitorMirror2Set", "Mirror2Set", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
    {2570, "TSessionMonitorPortCounterGet", "Port Counters", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyMonitorPortCounter"},
    {2571, "TSessionMonitorPortCounter2Get", "Port Counters2", 4, 0, 0, TCountKind::ckNone, "4", 1, "TPropertyMonitorPortCounter2"},
    {2572, "TSessionMonitorPortCounterClear", "PortCounterClear", 2, 0, 0, TCountKind::ckNone, "2", 4, "-"},
    {2816, "TSessionLldpGet", "LldpGet", 4, 0, 0, TCountKind::ckNone, "4", 4, "TPropertyLldp"},
    {2817, "TSessionLldpSet", "LldpSet", 4, 0, 0, TCountKind::ckNone, "4", 4, "-"},
};

inline constexpr size_t CommandTableSize = sizeof(g_CommandTable) / sizeof(g_CommandTable[0]);

// Index of the row-th row (0 first) of code in the table, or -1.
constexpr int FindCommandIndex(uint16_t code, int row = 0) {
    for (size_t i = 0; i < CommandTableSize; ++i)
        if (g_CommandTable[i].code == code && row-- == 0) return int(i);
    return -1;
}

// The row-th row of a code. A missing row fails to compile where used in a
// constant expression (as TSessionGeneral does) and throws at run time.
constexpr const TCommandInfo& GetCommandInfo(uint16_t code, int row = 0) {
    const int index = FindCommandIndex(code, row);
    if (index < 0) throw std::out_of_range("no such command row");
    return g_CommandTable[size_t(index)];
}

// Row of a request class name (with or without "Intp::"), or null.
const TCommandInfo* FindCommandByClass(std::string_view requestClass);
// First row of code, or null.
const TCommandInfo* FindCommand(uint16_t code);

// The model count of the kind on device's model (0 for ckNone and ckAny);
// ckUpToPortAndTrunkGroupNum gives PortNum + TrunkGroupNum.
uint32_t ModelCount(TCountKind kind, const TDevice* device);
uint32_t ModelCount(TCountKind kind, const TDeviceType& model);
// The entry count a variable-size request needs on device; for
// ckUpToPortAndTrunkGroupNum and ckAny the largest allowed (0 = no limit).
uint32_t RequiredCount(const TCommandInfo& info, const TDevice* device);
// True when count is acceptable for the row on device (false for count <= 0).
bool CheckCount(const TCommandInfo& info, const TDevice* device, int count);
// Payload size of a request with count entries.
size_t RequestPayloadSize(const TCommandInfo& info, int count);

// A new request of the given class for code, or null when no such class is
// built. Defined in SessionFactory.cpp.
TSession* CreateSession(uint16_t code, const char* requestClass);

} // namespace Intp
