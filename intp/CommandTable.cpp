#include "intp/CommandTable.h"

#include <algorithm>
#include <iterator>

#include "intp/Device.h"
#include "intp/DeviceType.h"

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
    // The rows are in code order (checked above); every datagram asks this.
    const TCommandInfo* row = std::lower_bound(std::begin(g_CommandTable), std::end(g_CommandTable), code,
                                               [](const TCommandInfo& info, uint16_t c) { return info.code < c; });
    return row != std::end(g_CommandTable) && row->code == code ? row : nullptr;
}

uint32_t ModelCount(TCountKind kind, const TDeviceType& model)
{
    switch (kind) {
    case TCountKind::ckNone: return 0;
    case TCountKind::ckPortNum: return model.PortNum;
    case TCountKind::ckTrunkGroupNum: return model.TrunkGroupNum;
    case TCountKind::ckTrunkGroupNumPlusOne: return model.TrunkGroupNum + 1;
    case TCountKind::ckUpToPortAndTrunkGroupNum:
    case TCountKind::ckPortAndTrunkGroupNum: return model.PortNum + model.TrunkGroupNum;
    case TCountKind::ckSecureIpNum: return model.SecureIpNum;
    case TCountKind::ckSnmpCommunityNum: return model.SnmpCommunityNum;
    case TCountKind::ckSmtpRecipientNum: return model.SmtpRecipientNum;
    case TCountKind::ckAny: return 0;
    }
    return 0;
}

uint32_t ModelCount(TCountKind kind, const TDevice* device)
{
    return device ? ModelCount(kind, GetDeviceType(device->GetType())) : 0;
}

bool CheckCount(TCountKind kind, const TDeviceType& model, size_t n)
{
    if (n == 0) return false;
    switch (kind) {
    case TCountKind::ckNone: return false;
    case TCountKind::ckAny: return true;
    case TCountKind::ckUpToPortAndTrunkGroupNum: return n <= ModelCount(kind, model);
    default: return n == ModelCount(kind, model);
    }
}

bool CheckCount(const TCommandInfo& info, const TDevice* device, int count)
{
    if (count <= 0 || !device) return false;
    if (info.countKind == TCountKind::ckAny && RequestPayloadSize(info, count) > 0xFFFF) return false;
    return CheckCount(info.countKind, GetDeviceType(device->GetType()), size_t(count));
}

size_t RequestPayloadSize(const TCommandInfo& info, int count)
{
    if (info.requestSize >= 0) return size_t(info.requestSize);
    return info.prefixSize + size_t(count > 0 ? count : 0) * info.entrySize;
}

} // namespace Intp
