// Command codes, request status codes and page notification codes.
#pragma once

#include <cstdint>

namespace Intp {

// Command codes: high byte = feature group, low byte = operation.
// One constant per request class (cc + class name without "TSession");
// the two trunk generations share 518 and 519.
inline constexpr uint16_t ccIntpFind = 0x0000;
inline constexpr uint16_t ccIntpLogin = 0x0002;
inline constexpr uint16_t ccIntpPing2 = 0x0006;
inline constexpr uint16_t ccIntpSipGet = 0x0007;
inline constexpr uint16_t ccBasicsUpgradeBuildin = 0x0100;
inline constexpr uint16_t ccBasicsBackupBuildin = 0x0101;
inline constexpr uint16_t ccBasicsRestoreBuildin = 0x0102;
inline constexpr uint16_t ccBasicsReboot = 0x0103;
inline constexpr uint16_t ccBasicsSettingsGet = 0x0104;
inline constexpr uint16_t ccBasicsSettingsSet = 0x0105;
inline constexpr uint16_t ccBasicsIPConfGet = 0x0106;
inline constexpr uint16_t ccBasicsIPConfSet = 0x0107;
inline constexpr uint16_t ccBasicsSave = 0x0108;
inline constexpr uint16_t ccBasicsBackupTftp = 0x0109;
inline constexpr uint16_t ccBasicsRestoreTftp = 0x010A;
inline constexpr uint16_t ccBasicsUpgradeTftp = 0x010B;
inline constexpr uint16_t ccBasicsPassword = 0x010C;
inline constexpr uint16_t ccBasicsSntpGet = 0x010D;
inline constexpr uint16_t ccBasicsSntpSet = 0x010E;
inline constexpr uint16_t ccBasicsDefault = 0x010F;
inline constexpr uint16_t ccBasicsDhcpGet = 0x0110;
inline constexpr uint16_t ccBasicsDhcpSet = 0x0111;
inline constexpr uint16_t ccBasicsDhcpEntry = 0x0112;
inline constexpr uint16_t ccBasicsDhcpPortIpGet = 0x0113;
inline constexpr uint16_t ccBasicsDhcpPortIpSet = 0x0114;
inline constexpr uint16_t ccBasicsAutoProvisionGet = 0x0116;
inline constexpr uint16_t ccBasicsAutoProvisionSet = 0x0117;
inline constexpr uint16_t ccAdvConBSFGet = 0x0118;
inline constexpr uint16_t ccAdvConBSFSet = 0x0119;
inline constexpr uint16_t ccAgingTimeGet = 0x011A;
inline constexpr uint16_t ccAgingTimeSet = 0x011B;
inline constexpr uint16_t ccJumboFrameGet = 0x011C;
inline constexpr uint16_t ccJumboFrameSet = 0x011D;
inline constexpr uint16_t ccPortNameGet = 0x0200;
inline constexpr uint16_t ccPortConfigGet = 0x0201;
inline constexpr uint16_t ccPortConfigSet = 0x0202;
inline constexpr uint16_t ccPortStatusGet = 0x0203;
inline constexpr uint16_t ccPortLimitGet = 0x0204;
inline constexpr uint16_t ccPortLimitSet = 0x0205;
inline constexpr uint16_t ccPortTrunkGet = 0x0206;
inline constexpr uint16_t ccPortTrunkGet2 = 0x0206;
inline constexpr uint16_t ccPortTrunkSet = 0x0207;
inline constexpr uint16_t ccPortTrunkSet2 = 0x0207;
inline constexpr uint16_t ccPortLimit2Get = 0x0209;
inline constexpr uint16_t ccPortLimit2Set = 0x020A;
inline constexpr uint16_t ccRedundancyRingGet = 0x0300;
inline constexpr uint16_t ccRedundancyRingSet = 0x0301;
inline constexpr uint16_t ccRedundancyRstpGet = 0x0302;
inline constexpr uint16_t ccRedundancyRstpSet = 0x0303;
inline constexpr uint16_t ccRedundancyRstpInfoGet = 0x0304;
inline constexpr uint16_t ccRedundancyFastRecoveryGet = 0x0305;
inline constexpr uint16_t ccRedundancyFastRecoverySet = 0x0306;
inline constexpr uint16_t ccRedundancyGet = 0x0307;
inline constexpr uint16_t ccRedundancyRing2Get = 0x030A;
inline constexpr uint16_t ccVlanGet = 0x0400;
inline constexpr uint16_t ccVlanSet = 0x0401;
inline constexpr uint16_t ccVlanPortGet = 0x0402;
inline constexpr uint16_t ccVlanPortAdd = 0x0403;
inline constexpr uint16_t ccVlanPortEdit = 0x0404;
inline constexpr uint16_t ccVlanPortDel = 0x0405;
inline constexpr uint16_t ccVlan8021qGet = 0x0406;
inline constexpr uint16_t ccVlan8021qSet = 0x0407;
inline constexpr uint16_t ccVlan8021qPortGet = 0x0408;
inline constexpr uint16_t ccVlan8021qPortSet = 0x0409;
inline constexpr uint16_t ccQosGet = 0x0500;
inline constexpr uint16_t ccQosSet = 0x0501;
inline constexpr uint16_t ccQosPortGet = 0x0502;
inline constexpr uint16_t ccQosPortSet = 0x0503;
inline constexpr uint16_t ccQosCosGet = 0x0504;
inline constexpr uint16_t ccQosCosSet = 0x0505;
inline constexpr uint16_t ccQosTosGet = 0x0506;
inline constexpr uint16_t ccQosTosSet = 0x0507;
inline constexpr uint16_t ccQos2Get = 0x0508;
inline constexpr uint16_t ccQos2Set = 0x0509;
inline constexpr uint16_t ccQos2CosGet = 0x050A;
inline constexpr uint16_t ccQos2CosSet = 0x050B;
inline constexpr uint16_t ccQos2PortGet = 0x050C;
inline constexpr uint16_t ccQos2PortSet = 0x050D;
inline constexpr uint16_t ccQos2TosGet = 0x050E;
inline constexpr uint16_t ccQos2TosSet = 0x050F;
inline constexpr uint16_t ccIgmpGet = 0x0600;
inline constexpr uint16_t ccIgmpSet = 0x0601;
inline constexpr uint16_t ccIgmpTable = 0x0602;
inline constexpr uint16_t ccIgmp2Get = 0x0603;
inline constexpr uint16_t ccIgmp2Set = 0x0604;
inline constexpr uint16_t ccIgmp2Table = 0x0605;
inline constexpr uint16_t ccSnmpGet = 0x0700;
inline constexpr uint16_t ccSnmpSet = 0x0701;
inline constexpr uint16_t ccSnmpCommunityGet = 0x0702;
inline constexpr uint16_t ccSnmpCommunitySet = 0x0703;
inline constexpr uint16_t ccSnmpUserGet = 0x0704;
inline constexpr uint16_t ccSnmpUserAdd = 0x0705;
inline constexpr uint16_t ccSnmpUserDel = 0x0706;
inline constexpr uint16_t ccSnmpTrapGet = 0x0707;
inline constexpr uint16_t ccSnmpTrapAdd = 0x0708;
inline constexpr uint16_t ccSnmpTrapDel = 0x0709;
inline constexpr uint16_t ccSnmpContextGet = 0x070A;
inline constexpr uint16_t ccSnmpContextSet = 0x070B;
inline constexpr uint16_t ccSnmpGroupGet = 0x070C;
inline constexpr uint16_t ccSnmpGroupAdd = 0x070D;
inline constexpr uint16_t ccSnmpGroupDel = 0x070E;
inline constexpr uint16_t ccSnmpAccessGet = 0x070F;
inline constexpr uint16_t ccSnmpAccessAdd = 0x0710;
inline constexpr uint16_t ccSnmpAccessDel = 0x0711;
inline constexpr uint16_t ccSnmpMibviewGet = 0x0712;
inline constexpr uint16_t ccSnmpMibviewAdd = 0x0713;
inline constexpr uint16_t ccSnmpMibviewDel = 0x0714;
inline constexpr uint16_t ccSecurityIpGet = 0x0800;
inline constexpr uint16_t ccSecurityIpSet = 0x0801;
inline constexpr uint16_t ccSecurityPortGet = 0x0802;
inline constexpr uint16_t ccSecurityPortAdd = 0x0803;
inline constexpr uint16_t ccSecurityPortDel = 0x0804;
inline constexpr uint16_t ccSecurityMacGet = 0x0805;
inline constexpr uint16_t ccSecurityMacAdd = 0x0806;
inline constexpr uint16_t ccSecurityMacDel = 0x0807;
inline constexpr uint16_t ccSecurity8021xGet = 0x0808;
inline constexpr uint16_t ccSecurity8021xSet = 0x0809;
inline constexpr uint16_t ccSecurity8021xPortGet = 0x080A;
inline constexpr uint16_t ccSecurity8021xPortSet = 0x080B;
inline constexpr uint16_t ccSecurityMacAgingGet = 0x080C;
inline constexpr uint16_t ccSecurityMacAgingSet = 0x080D;
inline constexpr uint16_t ccSecurityMac2FilterGet = 0x0810;
inline constexpr uint16_t ccSecurityMac2FilterAdd = 0x0811;
inline constexpr uint16_t ccSecurityMac2FilterDel = 0x0812;
inline constexpr uint16_t ccSecurityMac2StaticGet = 0x0813;
inline constexpr uint16_t ccSecurityMac2StaticAdd = 0x0814;
inline constexpr uint16_t ccSecurityMac2StaticDel = 0x0815;
inline constexpr uint16_t ccSecurityAclGet = 0x0816;
inline constexpr uint16_t ccSecurityAclAdd = 0x0817;
inline constexpr uint16_t ccSecurityAclDel = 0x0818;
inline constexpr uint16_t ccSecurityMultiFilterGet = 0x0819;
inline constexpr uint16_t ccSecurityMultiFilterAdd = 0x081A;
inline constexpr uint16_t ccSecurityMultiFilterDel = 0x081B;
inline constexpr uint16_t ccWarningFaultGet = 0x0900;
inline constexpr uint16_t ccWarningFaultSet = 0x0901;
inline constexpr uint16_t ccWarningSyslogGet = 0x0902;
inline constexpr uint16_t ccWarningSyslogSet = 0x0903;
inline constexpr uint16_t ccWarningSmtpGet = 0x0904;
inline constexpr uint16_t ccWarningSmtpSet = 0x0905;
inline constexpr uint16_t ccWarningEventGet = 0x0906;
inline constexpr uint16_t ccWarningEventSet = 0x0907;
inline constexpr uint16_t ccMonitorMacGet = 0x0A00;
inline constexpr uint16_t ccMonitorMacClear = 0x0A01;
inline constexpr uint16_t ccMonitorPortGet = 0x0A02;
inline constexpr uint16_t ccMonitorPortClear = 0x0A03;
inline constexpr uint16_t ccMonitorMirrorGet = 0x0A04;
inline constexpr uint16_t ccMonitorMirrorSet = 0x0A05;
inline constexpr uint16_t ccMonitorEventGet = 0x0A06;
inline constexpr uint16_t ccMonitorEventClear = 0x0A07;
inline constexpr uint16_t ccMonitorMirror2Get = 0x0A08;
inline constexpr uint16_t ccMonitorMirror2Set = 0x0A09;
inline constexpr uint16_t ccMonitorPortCounterGet = 0x0A0A;
inline constexpr uint16_t ccMonitorPortCounter2Get = 0x0A0B;
inline constexpr uint16_t ccMonitorPortCounterClear = 0x0A0C;
inline constexpr uint16_t ccLldpGet = 0x0B00;
inline constexpr uint16_t ccLldpSet = 0x0B01;

// Outcome of a finished request, as passed to Notify. Any other value is
// the switch's own error code, passed through unchanged.
enum TSessionStatus : uint16_t {
    ssOk = 0,
    ssShortReply = 2,    // reply payload shorter than the command's minimum
    ssNotLoggedIn = 3,   // the switch refuses: not logged in
    ssBadReply = 0x1100, // decoder: wrong count or length
    ssBadValue = 0x1101, // decoder: field value out of range
    ssBadEntry = 0x1102, // decoder: empty, overlapping or duplicate entry
    ssTimeout = 0xFF00,  // no reply before the reply timer fired
};

// Page notification codes; they share the code argument of Notify's
// receivers with the command codes and never appear in frames.
enum TNotifyCode : uint16_t {
    ncSelectionChanged = 0xFF01,
    ncDeviceShown = 0xFF02,
    ncDeviceRemoved = 0xFF03,
    ncDeviceTypeChanged = 0xFF04,
    ncDeviceNameChanged = 0xFF05,
    ncDeviceIpChanged = 0xFF06,
    ncDeviceFlagsChanged = 0xFF07,
};

// Cache key of a feature: its Get code shifted left by 16.
constexpr int32_t PropertyKey(uint16_t getCode) { return int32_t(uint32_t(getCode) << 16); }

} // namespace Intp
