#include "intp/Warning.h"

namespace Intp {

namespace {

constexpr auto& SmtpSetFields = TWarningSmtpSetRecord::Fields;
static_assert(SmtpSetFields.FixedSize(TMessage::Set) == GetCommandInfo(ccWarningSmtpSet).prefixSize);
static_assert(SmtpSetFields.ElementSize() == GetCommandInfo(ccWarningSmtpSet).entrySize);

} // namespace

void TSessionWarningSmtpSet::SetRecord(const TPropertyWarningSmtp& record, std::string_view password)
{
    TWarningSmtpSetRecord payload;
    static_cast<TPropertyWarningSmtp&>(payload) = record;
    payload.password = password;
    std::vector<uint8_t> bytes = EncodeRecord(payload, TMessage::Set, TOrder::Host);
    SetEntries(bytes.data(), int(record.recipients.size()));
}

size_t TSessionWarningSmtpSet::HeldSize(int count) const
{
    return SmtpSetFields.Size(TMessage::Set, size_t(count));
}

bool TSessionWarningSmtpSet::BuildPayload(TDevice*, TPayloadWriter& payload)
{
    if (m_Entries.size() != payload.Size()) return false;
    TPayloadReader in(m_Entries.data(), m_Entries.size());
    return SmtpSetFields.Convert(in, payload, TMessage::Set, size_t(m_Count), TOrder::Host, TOrder::Wire);
}

} // namespace Intp
