// Warning settings: fault relay, syslog client, e-mail alerts and the event
// selection. Port masks: bit n is port n + 1; system masks: bit n is the
// n-th entry of the page's list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "intp/Record.h"

namespace Intp {

// SMTP text field widths.
inline constexpr size_t SmtpTextWidth = 64;
inline constexpr size_t SmtpPasswordWidth = 32;
// A syslog mode above this rejects the reply.
inline constexpr uint32_t WarningSyslogMaxMode = 4;

struct TPropertyWarningFault {
    static constexpr int32_t Key = PropertyKey(ccWarningFaultGet);
    bool valid = false;
    uint32_t systemMask = 0; // system failures that raise the alarm
    uint32_t portMask = 0;   // ports whose link down or break raises it
    static constexpr auto Fields =
        Layout(Wire::U32(&TPropertyWarningFault::systemMask), Wire::U32(&TPropertyWarningFault::portMask));
};

struct TPropertyWarningSyslog {
    static constexpr int32_t Key = PropertyKey(ccWarningSyslogGet);
    bool valid = false;
    uint32_t mode = 0;   // 0 disable, 1 client only, 2 server only, 3 both; 4 accepted as received
    uint32_t server = 0; // IPv4, host order
    static constexpr auto Fields =
        Layout(Wire::U8(&TPropertyWarningSyslog::mode), Wire::Ip(&TPropertyWarningSyslog::server));
};

struct TPropertyWarningSmtp {
    static constexpr int32_t Key = PropertyKey(ccWarningSmtpGet);
    bool valid = false;
    bool enabled = false;
    uint32_t server = 0; // IPv4, host order
    std::string sender;
    std::string subject;
    std::string account;
    std::string password; // sent only: no reply carries it
    std::vector<std::string> recipients; // SmtpRecipientNum entries
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyWarningSmtp::enabled), Wire::Ip(&TPropertyWarningSmtp::server),
               Wire::Text(&TPropertyWarningSmtp::sender, SmtpTextWidth),
               Wire::Text(&TPropertyWarningSmtp::subject, SmtpTextWidth),
               Wire::Text(&TPropertyWarningSmtp::account, SmtpTextWidth),
               Wire::SetOnly(Wire::Text(&TPropertyWarningSmtp::password, SmtpPasswordWidth)),
               Wire::TextArray(&TPropertyWarningSmtp::recipients, SmtpTextWidth, TCountKind::ckSmtpRecipientNum));
};

struct TPropertyWarningEvent {
    static constexpr int32_t Key = PropertyKey(ccWarningEventGet);
    bool valid = false;
    uint32_t syslogSystem = 0;
    uint32_t syslogLinkUp = 0;
    uint32_t syslogLinkDown = 0;
    uint32_t smtpSystem = 0;
    uint32_t smtpLinkUp = 0;
    uint32_t smtpLinkDown = 0;
    static constexpr auto Fields =
        Layout(Wire::U32(&TPropertyWarningEvent::syslogSystem), Wire::U32(&TPropertyWarningEvent::syslogLinkUp),
               Wire::U32(&TPropertyWarningEvent::syslogLinkDown), Wire::U32(&TPropertyWarningEvent::smtpSystem),
               Wire::U32(&TPropertyWarningEvent::smtpLinkUp), Wire::U32(&TPropertyWarningEvent::smtpLinkDown));
};

class TSessionWarningFaultGet : public TSessionRecordGet<ccWarningFaultGet, TPropertyWarningFault> {};
class TSessionWarningFaultSet : public TSessionRecordSet<ccWarningFaultSet, TSessionWarningFaultGet> {};

// A mode above WarningSyslogMaxMode rejects the reply with ssBadReply.
class TSessionWarningSyslogGet : public TSessionRecordGet<ccWarningSyslogGet, TPropertyWarningSyslog> {
protected:
    uint16_t Check(TDevice*, const TPropertyWarningSyslog& record) override
    {
        return record.mode > WarningSyslogMaxMode ? ssBadReply : ssOk;
    }
};
class TSessionWarningSyslogSet : public TSessionRecordSet<ccWarningSyslogSet, TSessionWarningSyslogGet> {};

// Accepted only when the reply holds as many recipients as the model has.
class TSessionWarningSmtpGet : public TSessionRecordGet<ccWarningSmtpGet, TPropertyWarningSmtp> {};

// Sent only when its recipient count equals the device model's
// SmtpRecipientNum (and is not 0). SetEntries(data, n) takes the page's
// complete 229 + 64 x n byte payload (the server in host order).
class TSessionWarningSmtpSet : public TSessionRecordArraySet<ccWarningSmtpSet, TSessionWarningSmtpGet> {};

class TSessionWarningEventGet : public TSessionRecordGet<ccWarningEventGet, TPropertyWarningEvent> {};
class TSessionWarningEventSet : public TSessionRecordSet<ccWarningEventSet, TSessionWarningEventGet> {};

} // namespace Intp
