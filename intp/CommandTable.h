// The command table: one row per request class (the rows are in
// intp/Commands.def).
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
#define INTP_COMMAND(CLASS, CODE, NAME, SIZE, PREFIX, ENTRY, COUNT, RULE, REPLY, RECORD) \
    {CODE, "TSession" #CLASS, NAME, SIZE, PREFIX, ENTRY, TCountKind::COUNT, RULE, REPLY, RECORD},
#include "intp/Commands.def"
#undef INTP_COMMAND
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
// True when count is acceptable for the row on device (false for count <= 0).
bool CheckCount(const TCommandInfo& info, const TDevice* device, int count);
// True when n elements satisfy the count rule on the model: the model count
// exactly, 1 up to ports and trunk groups, or at least one (ckAny).
bool CheckCount(TCountKind kind, const TDeviceType& model, size_t n);
// Payload size of a request with count entries.
size_t RequestPayloadSize(const TCommandInfo& info, int count);

// A new request of the given class for code, or null when no such class is
// declared (or it is not made this way, as the find singleton). Defined in
// SessionFactory.cpp.
TSession* CreateSession(uint16_t code, const char* requestClass);

} // namespace Intp
