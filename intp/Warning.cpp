#include "intp/Warning.h"

#include <cstring>

#include "intp/Device.h"

namespace Intp {

namespace {

// The layouts that each Get reads and its Set writes.
template <class TIo, class R> void FaultFields(TIo& io, R& r) { WireFields(io, r.systemMask, r.portMask); }

template <class TIo, class R> void EventFields(TIo& io, R& r) {
    WireFields(io, r.syslogSystem, r.syslogLinkUp, r.syslogLinkDown, r.smtpSystem, r.smtpLinkUp, r.smtpLinkDown);
}

} // namespace

uint16_t TSessionWarningFaultGet::Decode(TDevice*, TPropertyWarningFault& record, TPayloadReader& payload) {
    FaultFields(payload, record);
    return ssOk;
}

bool TSessionWarningFaultSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    FaultFields(payload, m_Record);
    return payload.Ok();
}

uint16_t TSessionWarningSyslogGet::Decode(TDevice*, TPropertyWarningSyslog& record, TPayloadReader& payload) {
    uint8_t mode = payload.U8();
    if (mode > WarningSyslogMaxMode) return ssBadReply;
    record.mode = mode;
    record.server = payload.U32();
    return ssOk;
}

bool TSessionWarningSyslogSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    payload.U8(uint8_t(m_Record.mode));
    payload.U32(m_Record.server);
    return payload.Ok();
}

uint16_t TSessionWarningSmtpGet::Decode(TDevice* device, TPropertyWarningSmtp& record, TPayloadReader& payload) {
    if (payload.Size() < SmtpReplyFixedSize) return ssBadReply;
    size_t n = (payload.Size() - SmtpReplyFixedSize) / SmtpTextWidth;
    if (n == 0 || n != device->GetSmtpRecipientNum()) return ssBadReply;
    record.enabled = payload.Bool();
    record.server = payload.U32();
    record.sender = payload.Text(SmtpTextWidth);
    record.subject = payload.Text(SmtpTextWidth);
    record.account = payload.Text(SmtpTextWidth);
    // Sized on every reply, so a model change never leaves a short array.
    record.recipients.assign(n, std::string());
    for (std::string& recipient : record.recipients) recipient = payload.Text(SmtpTextWidth);
    return ssOk;
}

void TSessionWarningSmtpSet::SetRecord(const TPropertyWarningSmtp& record, std::string_view password) {
    int n = int(record.recipients.size());
    if (n <= 0) return;
    std::vector<uint8_t> bytes(HeldSize(n), 0);
    TPayloadWriter out(bytes.data(), bytes.size());
    out.Bool(record.enabled);
    out.Bytes(&record.server, sizeof record.server); // host order, as pages hand it
    out.Text(record.sender, SmtpTextWidth);
    out.Text(record.subject, SmtpTextWidth);
    out.Text(record.account, SmtpTextWidth);
    out.Text(password, SmtpPasswordWidth);
    for (const std::string& recipient : record.recipients) out.Text(recipient, SmtpTextWidth);
    SetEntries(bytes.data(), n);
}

size_t TSessionWarningSmtpSet::HeldSize(int count) const {
    return m_Info.prefixSize + size_t(count) * m_Info.entrySize;
}

bool TSessionWarningSmtpSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    if (m_Entries.size() < 1 + sizeof(uint32_t) || m_Entries.size() != payload.Size()) return false;
    uint32_t server;
    std::memcpy(&server, m_Entries.data() + 1, sizeof server);
    payload.U8(m_Entries[0]);
    payload.U32(server);
    payload.Bytes(m_Entries.data() + 5, m_Entries.size() - 5);
    return payload.Ok();
}

uint16_t TSessionWarningEventGet::Decode(TDevice*, TPropertyWarningEvent& record, TPayloadReader& payload) {
    EventFields(payload, record);
    return ssOk;
}

bool TSessionWarningEventSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    EventFields(payload, m_Record);
    return payload.Ok();
}

} // namespace Intp
