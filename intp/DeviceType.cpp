#include "intp/DeviceType.h"

#include "intp/Md5.h"

namespace Intp {

namespace {

TypeVector& Types()
{
    static TypeVector types;
    return types;
}

} // namespace

const TDeviceType& GetDeviceType(uint32_t index)
{
    static const TDeviceType unknown = [] {
        TDeviceType type;
        type.Name = UnknownDeviceTypeName;
        return type;
    }();
    const TypeVector& types = Types();
    if (index < types.size()) return types[index];
    return types.empty() ? unknown : types[0];
}

uint32_t MakeProductId(std::string_view productIdString)
{
    TMd5Digest d = Md5(productIdString.data(), productIdString.size());
    return uint32_t(d[0]) | uint32_t(d[1]) << 8 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 24;
}

void InitDeviceTypes()
{
    if (!Types().empty()) return;
    TDeviceType unknown;
    unknown.Name = UnknownDeviceTypeName;
    Types().push_back(std::move(unknown));
}

int RegisterDeviceType(const TDeviceType* record, std::initializer_list<std::string_view> pidStrings)
{
    // A model whose name is missing from the model file still takes its index.
    if (!record) return -1;
    InitDeviceTypes();
    TDeviceType type = *record;
    type.Pids.clear();
    int index = int(Types().size());
    Types().push_back(std::move(type));
    for (std::string_view pid : pidStrings) AddPid(index, pid);
    return index;
}

bool AddPid(int index, std::string_view pidString)
{
    TypeVector& types = Types();
    if (index < 1 || size_t(index) >= types.size()) return false;
    uint32_t pid = MakeProductId(pidString);
    if (FindTypeByPid(pid) != 0) return false;
    types[size_t(index)].Pids.push_back(pid);
    return true;
}

uint32_t FindTypeByPid(uint32_t pid)
{
    const TypeVector& types = Types();
    for (size_t i = 1; i < types.size(); ++i)
        for (uint32_t p : types[i].Pids)
            if (p == pid) return uint32_t(i);
    return 0;
}

const TypeVector& GetDeviceTypes() { return Types(); }
uint32_t GetDeviceTypeCount() { return uint32_t(Types().size()); }
const std::string& GetDeviceTypeName(uint32_t index) { return GetDeviceType(index).Name; }
uint32_t GetDeviceTypePortNum(uint32_t index) { return GetDeviceType(index).PortNum; }
uint32_t GetDeviceTypeTrunkGroupNum(uint32_t index) { return GetDeviceType(index).TrunkGroupNum; }
uint32_t GetDeviceTypeTrunkMemberNum(uint32_t index) { return GetDeviceType(index).TrunkMemberNum; }
uint32_t GetDeviceTypeSmtpRecipientNum(uint32_t index) { return GetDeviceType(index).SmtpRecipientNum; }
uint32_t GetDeviceTypeSecureIpNum(uint32_t index) { return GetDeviceType(index).SecureIpNum; }
uint32_t GetDeviceTypeSnmpCommunityNum(uint32_t index) { return GetDeviceType(index).SnmpCommunityNum; }
uint32_t GetDeviceTypeTagVidNum(uint32_t index) { return GetDeviceType(index).TagVidNum; }

void ResetDeviceTypes() { Types().clear(); }

int g_LayoutThreshold = 0;

} // namespace Intp
