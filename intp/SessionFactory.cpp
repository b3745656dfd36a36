// Creates a request from its code and class name (tests, fuzzing, tools).
// Each command family adds its include and its lines in its own block.
#include <string_view>

#include "intp/CommandTable.h"
#include "intp/Session.h"

// ---- includes: operations (begin)
#include "intp/Operations.h"
// ---- includes: operations (end)

// ---- includes: families (one block per family; begin)
// ---- includes: basics (begin)
#include "intp/Basics.h"
// ---- includes: basics (end)
// ---- includes: warning (begin)
#include "intp/Warning.h"
// ---- includes: warning (end)
// ---- includes: maintenance (begin)
#include "intp/Maintenance.h"
// ---- includes: maintenance (end)
// ---- includes: transfer (begin)
#include "intp/Transfer.h"
// ---- includes: transfer (end)
// ---- includes: redundancy (begin)
#include "intp/Redundancy.h"
// ---- includes: redundancy (end)
// ---- includes: families (end)

namespace Intp {

TSession* CreateSession(uint16_t code, const char* requestClass)
{
    if (!requestClass) return nullptr;
    std::string_view cls(requestClass);
    if (cls.starts_with("Intp::")) cls.remove_prefix(6);
#define INTP_SESSION(CODE, CLASS) \
    if (code == (CODE) && cls == #CLASS) return new CLASS();

    // ---- sessions: operations (begin)
    INTP_SESSION(2, TSessionIntpLogin)
    INTP_SESSION(6, TSessionIntpPing2)
    INTP_SESSION(7, TSessionIntpSipGet)
    // ---- sessions: operations (end)

    // ---- sessions: families (one block per family; begin)
    // ---- sessions: basics (begin)
    INTP_SESSION(260, TSessionBasicsSettingsGet)
    INTP_SESSION(261, TSessionBasicsSettingsSet)
    INTP_SESSION(262, TSessionBasicsIPConfGet)
    INTP_SESSION(263, TSessionBasicsIPConfSet)
    INTP_SESSION(269, TSessionBasicsSntpGet)
    INTP_SESSION(270, TSessionBasicsSntpSet)
    INTP_SESSION(278, TSessionBasicsAutoProvisionGet)
    INTP_SESSION(279, TSessionBasicsAutoProvisionSet)
    // ---- sessions: basics (end)
    // ---- sessions: warning (begin)
    INTP_SESSION(2304, TSessionWarningFaultGet)
    INTP_SESSION(2305, TSessionWarningFaultSet)
    INTP_SESSION(2306, TSessionWarningSyslogGet)
    INTP_SESSION(2307, TSessionWarningSyslogSet)
    INTP_SESSION(2308, TSessionWarningSmtpGet)
    INTP_SESSION(2309, TSessionWarningSmtpSet)
    INTP_SESSION(2310, TSessionWarningEventGet)
    INTP_SESSION(2311, TSessionWarningEventSet)
    // ---- sessions: warning (end)
    // ---- sessions: maintenance (begin)
    INTP_SESSION(259, TSessionBasicsReboot)
    INTP_SESSION(264, TSessionBasicsSave)
    INTP_SESSION(268, TSessionBasicsPassword)
    INTP_SESSION(271, TSessionBasicsDefault)
    // ---- sessions: maintenance (end)
    // ---- sessions: transfer (begin)
    INTP_SESSION(256, TSessionBasicsUpgradeBuildin)
    INTP_SESSION(257, TSessionBasicsBackupBuildin)
    INTP_SESSION(258, TSessionBasicsRestoreBuildin)
    INTP_SESSION(265, TSessionBasicsBackupTftp)
    INTP_SESSION(266, TSessionBasicsRestoreTftp)
    INTP_SESSION(267, TSessionBasicsUpgradeTftp)
    // ---- sessions: transfer (end)
    // ---- sessions: redundancy (begin)
    INTP_SESSION(775, TSessionRedundancyGet)
    // ---- sessions: redundancy (end)
    // ---- sessions: families (end)

#undef INTP_SESSION
    return nullptr;
}

} // namespace Intp
