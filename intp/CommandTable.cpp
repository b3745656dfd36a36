#include "intp/CommandTable.h"

#include "intp/Device.h"

namespace Intp {

namespace {

// Every row is found at compile time by the templates; check the table's shape once.
constexpr bool TableIsOrdered()
{
    for (size_t i = 1; i < CommandTableSize; ++i)
        if (g_CommandTable[i].code < g_CommandTable[i - 1].code) return false;
    return true;
}
static_assert(TableIsOrdered(), "command table rows are in code order");
static_assert(CommandTableSize == 156);

} // namespace

const TCommandInfo* FindCommandByClass(std::string_view requestClass)
{
    if (requestClass.starts_with("Intp::")) requestClass.remove_prefix(6);
    for (const TCommandInfo& info : g_CommandTable)
        if (requestClass == info.requestClass) return &info;
    return nullptr;
}

const TCommandInfo* FindCommand(uint16_t code)
{
    for (const TCommandInfo& info : g_CommandTable)
        if (info.code == code) return &info;
    return nullptr;
}

uint32_t ModelCount(TCountKind kind, const TDevice* device)
{
    if (!device) return 0;
    switch (kind) {
    case TCountKind::ckNone: return 0;
    case TCountKind::ckPortNum: return device->GetPortNum();
    case TCountKind::ckTrunkGroupNum: return device->GetTrunkGroupNum();
    case TCountKind::ckTrunkGroupNumPlusOne: return device->GetTrunkGroupNum() + 1;
    case TCountKind::ckUpToPortAndTrunkGroupNum:
    case TCountKind::ckPortAndTrunkGroupNum: return device->GetPortAndTrunkGroupNum();
    case TCountKind::ckSecureIpNum: return device->GetSecureIpNum();
    case TCountKind::ckSnmpCommunityNum: return device->GetSnmpCommunityNum();
    case TCountKind::ckSmtpRecipientNum: return device->GetSmtpRecipientNum();
    case TCountKind::ckAny: return 0;
    }
    return 0;
}

uint32_t RequiredCount(const TCommandInfo& info, const TDevice* device)
{
    return ModelCount(info.countKind, device);
}

bool CheckCount(const TCommandInfo& info, const TDevice* device, int count)
{
    if (count <= 0 || !device) return false;
    uint32_t n = uint32_t(count);
    switch (info.countKind) {
    case TCountKind::ckNone: return false;
    case TCountKind::ckAny: return RequestPayloadSize(info, count) <= 0xFFFF;
    case TCountKind::ckUpToPortAndTrunkGroupNum: return n <= RequiredCount(info, device);
    default: return n == RequiredCount(info, device);
    }
}

size_t RequestPayloadSize(const TCommandInfo& info, int count)
{
    if (info.requestSize >= 0) return size_t(info.requestSize);
    return info.prefixSize + size_t(count > 0 ? count : 0) * info.entrySize;
}

} // namespace Intp
