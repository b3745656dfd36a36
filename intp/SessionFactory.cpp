// Creates a request from its code and class name (tests, fuzzing, tools).
#include <string_view>

#include "intp/CommandTable.h"
#include "intp/Advanced.h"
#include "intp/Basics.h"
#include "intp/Dhcp.h"
#include "intp/Maintenance.h"
#include "intp/Operations.h"
#include "intp/Ports.h"
#include "intp/Redundancy.h"
#include "intp/SecurityTables.h"
#include "intp/Session.h"
#include "intp/Transfer.h"
#include "intp/Warning.h"

namespace Intp {

TSession* CreateSession(uint16_t code, const char* requestClass)
{
    if (!requestClass) return nullptr;
    std::string_view cls(requestClass);
    if (cls.starts_with("Intp::")) cls.remove_prefix(6);
#define INTP_SESSION(CLASS) \
    if (code == CLASS::CommandCode && cls == #CLASS) return new CLASS();

    INTP_SESSION(TSessionIntpLogin)
    INTP_SESSION(TSessionIntpPing2)
    INTP_SESSION(TSessionIntpSipGet)
    INTP_SESSION(TSessionBasicsSettingsGet)
    INTP_SESSION(TSessionBasicsSettingsSet)
    INTP_SESSION(TSessionBasicsIPConfGet)
    INTP_SESSION(TSessionBasicsIPConfSet)
    INTP_SESSION(TSessionBasicsSntpGet)
    INTP_SESSION(TSessionBasicsSntpSet)
    INTP_SESSION(TSessionBasicsAutoProvisionGet)
    INTP_SESSION(TSessionBasicsAutoProvisionSet)
    INTP_SESSION(TSessionBasicsDhcpGet)
    INTP_SESSION(TSessionBasicsDhcpSet)
    INTP_SESSION(TSessionBasicsDhcpEntry)
    INTP_SESSION(TSessionBasicsDhcpPortIpGet)
    INTP_SESSION(TSessionBasicsDhcpPortIpSet)
    INTP_SESSION(TSessionAdvConBSFGet)
    INTP_SESSION(TSessionAdvConBSFSet)
    INTP_SESSION(TSessionAgingTimeGet)
    INTP_SESSION(TSessionAgingTimeSet)
    INTP_SESSION(TSessionJumboFrameGet)
    INTP_SESSION(TSessionJumboFrameSet)
    INTP_SESSION(TSessionWarningFaultGet)
    INTP_SESSION(TSessionWarningFaultSet)
    INTP_SESSION(TSessionWarningSyslogGet)
    INTP_SESSION(TSessionWarningSyslogSet)
    INTP_SESSION(TSessionWarningSmtpGet)
    INTP_SESSION(TSessionWarningSmtpSet)
    INTP_SESSION(TSessionWarningEventGet)
    INTP_SESSION(TSessionWarningEventSet)
    INTP_SESSION(TSessionBasicsReboot)
    INTP_SESSION(TSessionBasicsSave)
    INTP_SESSION(TSessionBasicsPassword)
    INTP_SESSION(TSessionBasicsDefault)
    INTP_SESSION(TSessionBasicsUpgradeBuildin)
    INTP_SESSION(TSessionBasicsBackupBuildin)
    INTP_SESSION(TSessionBasicsRestoreBuildin)
    INTP_SESSION(TSessionBasicsBackupTftp)
    INTP_SESSION(TSessionBasicsRestoreTftp)
    INTP_SESSION(TSessionBasicsUpgradeTftp)
    INTP_SESSION(TSessionRedundancyGet)
    INTP_SESSION(TSessionPortNameGet)
    INTP_SESSION(TSessionSecurityMacGet)
    INTP_SESSION(TSessionSecurityMacAdd)
    INTP_SESSION(TSessionSecurityMacDel)

#undef INTP_SESSION
    return nullptr;
}

} // namespace Intp
