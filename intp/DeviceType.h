// Device models and product ids.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace Intp {

using PidList = std::vector<uint32_t>;

struct TDeviceType {
    std::string Name;
    uint32_t PortNum = 0;
    uint32_t TrunkGroupNum = 0;
    uint32_t TrunkMemberNum = 0;
    uint32_t SmtpRecipientNum = 0;
    uint32_t SecureIpNum = 0;
    uint32_t SnmpCommunityNum = 0;
    uint32_t TagVidNum = 0;
    PidList Pids;
};

using TypeVector = std::vector<TDeviceType>;

inline constexpr const char* UnknownDeviceTypeName = "Unknown Intp Compatible Device";

// Product id of a product-id string: first four MD5 bytes, little-endian.
uint32_t MakeProductId(std::string_view productIdString);

// Registers model 0 the first time; later calls do nothing.
void InitDeviceTypes();
// Appends a model (its Pids are ignored) and offers each product-id string
// to AddPid. A missing record or an empty name returns -1.
int RegisterDeviceType(const TDeviceType* record, std::initializer_list<std::string_view> pidStrings = {});
// False for model 0, an index out of range or an id already known.
bool AddPid(int index, std::string_view pidString);
// The first model from 1 upward listing id; 0 when none does.
uint32_t FindTypeByPid(uint32_t pid);

const TypeVector& GetDeviceTypes();
uint32_t GetDeviceTypeCount();
// Model accessors; an index out of range reads model 0.
const TDeviceType& GetDeviceType(uint32_t index);
const std::string& GetDeviceTypeName(uint32_t index);
uint32_t GetDeviceTypePortNum(uint32_t index);
uint32_t GetDeviceTypeTrunkGroupNum(uint32_t index);
uint32_t GetDeviceTypeTrunkMemberNum(uint32_t index);
uint32_t GetDeviceTypeSmtpRecipientNum(uint32_t index);
uint32_t GetDeviceTypeSecureIpNum(uint32_t index);
uint32_t GetDeviceTypeSnmpCommunityNum(uint32_t index);
uint32_t GetDeviceTypeTagVidNum(uint32_t index);

// Empties the table (tests only).
void ResetDeviceTypes();

// The model index above which a switch is of the second generation (its
// pages and page tree differ); set from the model table at start-up.
extern int g_LayoutThreshold;

} // namespace Intp
