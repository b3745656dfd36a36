// Warning settings: fault relay, syslog client, e-mail alerts and the event
// selection. Port masks: bit n is port n + 1; system masks: bit n is the
// n-th entry of the page's list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "intp/Session.h"

namespace Intp {

struct TPropertyWarningFault {
    static constexpr int32_t Key = PropertyKey(ccWarningFaultGet);
    bool valid = false;
    uint32_t systemMask = 0; // system failures that raise the alarm
    uint32_t portMask = 0;   // ports whose link down or break raises it
};

struct TPropertyWarningSyslog {
    static constexpr int32_t Key = PropertyKey(ccWarningSyslogGet);
    bool valid = false;
    uint32_t mode = 0;   // 0 disable, 1 client only, 2 server only, 3 both; 4 accepted as received
    uint32_t server = 0; // IPv4, host order
};

struct TPropertyWarningSmtp {
    static constexpr int32_t Key = PropertyKey(ccWarningSmtpGet);
    bool valid = false;
    bool enabled = false;
    uint32_t server = 0; // IPv4, host order
    std::string sender;
    std::string subject;
    std::string account;
    std::vector<std::string> recipients; // SmtpRecipientNum entries
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
};

// A syslog mode above this rejects the reply.
inline constexpr uint32_t WarningSyslogMaxMode = 4;
// SMTP text field widths.
inline constexpr size_t SmtpTextWidth = 64;
inline constexpr size_t SmtpPasswordWidth = 32;
// Offset of the first recipient in the SmtpGet reply.
inline constexpr size_t SmtpReplyFixedSize = 197;

class TSessionWarningFaultGet : public TSessionGet<ccWarningFaultGet, TPropertyWarningFault> {
protected:
    uint16_t Decode(TDevice* device, TPropertyWarningFault& record, TPayloadReader& payload) override;
};

class TSessionWarningFaultSet : public TSessionRecordSet<ccWarningFaultSet, TSessionWarningFaultGet> {
protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
};

class TSessionWarningSyslogGet : public TSessionGet<ccWarningSyslogGet, TPropertyWarningSyslog> {
protected:
    uint16_t Decode(TDevice* device, TPropertyWarningSyslog& record, TPayloadReader& payload) override;
};

// The mode is sent as one byte.
class TSessionWarningSyslogSet : public TSessionRecordSet<ccWarningSyslogSet, TSessionWarningSyslogGet> {
protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
};

// Accepted only when the reply holds as many recipients as the model has.
class TSessionWarningSmtpGet : public TSessionGet<ccWarningSmtpGet, TPropertyWarningSmtp> {
protected:
    uint16_t Decode(TDevice* device, TPropertyWarningSmtp& record, TPayloadReader& payload) override;
};

// Sent only when its recipient count equals the device model's
// SmtpRecipientNum (and is not 0).
class TSessionWarningSmtpSet : public TSessionVariableSet<ccWarningSmtpSet, TSessionWarningSmtpGet> {
public:
    // SetEntries(data, n) takes the page's complete 229 + 64 x n byte
    // payload: enabled (u8), server (u32, host order), sender, subject,
    // account (64 bytes each), password (32), n recipients (64 each).

    // Builds that payload from a record (one field per recipient) and the
    // password; texts are cut to their field widths.
    void SetRecord(const TPropertyWarningSmtp& record, std::string_view password);

protected:
    size_t HeldSize(int count) const override;
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
};

class TSessionWarningEventGet : public TSessionGet<ccWarningEventGet, TPropertyWarningEvent> {
protected:
    uint16_t Decode(TDevice* device, TPropertyWarningEvent& record, TPayloadReader& payload) override;
};

class TSessionWarningEventSet : public TSessionRecordSet<ccWarningEventSet, TSessionWarningEventGet> {
protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
};

} // namespace Intp
