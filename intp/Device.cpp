#include "intp/Device.h"

#include <algorithm>

#include <map>

#include "intp/DeviceType.h"
#include "intp/KeyTable.h"

namespace Intp {

namespace {

struct TDeviceRef {
    TDevice* device = nullptr;
    bool empty() const { return !device; }
};

// In MAC order for walks, with a hash index for the lookups of every
// received datagram (a tree of thousands costs a cache miss per level; a
// table of nodes, three).
struct TRegistry {
    std::map<TMacAddr, TDevice*> ordered;
    TKeyTable<TDeviceRef> byMac;  // by TMacAddr::Key
};

TRegistry& Registry()
{
    static TRegistry registry;
    return registry;
}

TDeviceCallback* g_DeviceCallback = nullptr;
size_t g_RefusedDevices = 0;

} // namespace

TMacAddr::TMacAddr(const uint8_t first4[4], const uint8_t last2[2])
    : m_Bytes{first4[0], first4[1], first4[2], first4[3], last2[0], last2[1]}
{
}

int TMacAddr::Compare(const TMacAddr& other) const
{
    for (size_t i = 0; i < 6; ++i)
        if (m_Bytes[i] != other.m_Bytes[i]) return m_Bytes[i] < other.m_Bytes[i] ? -1 : 1;
    return 0;
}

bool TMacAddr::IsNull() const
{
    for (uint8_t b : m_Bytes)
        if (b != 0) return false;
    return true;
}

bool TMacAddr::IsBroadcast() const
{
    for (uint8_t b : m_Bytes)
        if (b != 0xFF) return false;
    return true;
}

std::string TMacAddr::ToString() const
{
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(17);
    for (size_t i = 0; i < 6; ++i) {
        if (i) text += ':';
        text += hex[m_Bytes[i] >> 4];
        text += hex[m_Bytes[i] & 0xF];
    }
    return text;
}

int CompareMac(const TMacAddr& a, const TMacAddr& b) { return a.Compare(b); }

TDevice::TDevice(const TMacAddr& mac) : m_Mac(mac)
{
    Registry().ordered[m_Mac] = this;
    Registry().byMac.Get(m_Mac.Key()).device = this;
    if (g_DeviceCallback) g_DeviceCallback->DeviceAdded(this);
}

TDevice::~TDevice()
{
    Registry().ordered.erase(m_Mac);
    if (TDeviceRef* ref = Registry().byMac.Find(m_Mac.Key())) ref->device = nullptr;
    if (g_DeviceCallback) g_DeviceCallback->DeviceRemoved(this);
    m_Properties.Clear();
}

void TDevice::SetIp(uint32_t ip)
{
    if (ip == m_Ip) return;
    m_Ip = ip;
    if (g_DeviceCallback) g_DeviceCallback->DeviceIpChanged(this);
}

void TDevice::SetType(uint32_t type)
{
    if (type == m_Type) return;
    m_Type = type;
    if (g_DeviceCallback) g_DeviceCallback->DeviceTypeChanged(this);
}

void TDevice::SetName(const std::string& name)
{
    if (name == m_Name) return;
    m_Name = name;
    if (g_DeviceCallback) g_DeviceCallback->DeviceNameChanged(this);
}

void TDevice::SetFlags(uint32_t bits)
{
    uint32_t old = m_Flags;
    m_Flags |= bits;
    if (old != m_Flags && g_DeviceCallback) g_DeviceCallback->DeviceFlagsChanged(this, old ^ m_Flags);
}

void TDevice::ClearFlags(uint32_t bits)
{
    uint32_t old = m_Flags;
    m_Flags &= ~bits;
    if (old != m_Flags && g_DeviceCallback) g_DeviceCallback->DeviceFlagsChanged(this, old ^ m_Flags);
}

void TDevice::SetLoggedIn(bool loggedIn)
{
    if (loggedIn) SetFlags(dfLoggedIn);
    else ClearFlags(dfLoggedIn);
}

uint16_t TDevice::GetReadStatus(uint16_t getCode) const
{
    for (const auto& [code, status] : m_FailedReads)
        if (code == getCode) return status;
    return 0;
}

void TDevice::SetReadStatus(uint16_t getCode, uint16_t status)
{
    auto it = std::find_if(m_FailedReads.begin(), m_FailedReads.end(),
                           [getCode](const auto& read) { return read.first == getCode; });
    if (status == 0) {
        if (it != m_FailedReads.end()) m_FailedReads.erase(it);
    } else if (it != m_FailedReads.end()) {
        it->second = status;
    } else {
        m_FailedReads.emplace_back(getCode, status);
    }
}

const std::string& TDevice::GetTypeName() const { return GetDeviceTypeName(m_Type); }
uint32_t TDevice::GetPortNum() const { return GetDeviceTypePortNum(m_Type); }
uint32_t TDevice::GetTrunkGroupNum() const { return GetDeviceTypeTrunkGroupNum(m_Type); }
uint32_t TDevice::GetPortAndTrunkGroupNum() const { return GetPortNum() + GetTrunkGroupNum(); }
uint32_t TDevice::GetTrunkMemberNum() const { return GetDeviceTypeTrunkMemberNum(m_Type); }
uint32_t TDevice::GetSmtpRecipientNum() const { return GetDeviceTypeSmtpRecipientNum(m_Type); }
uint32_t TDevice::GetSecureIpNum() const { return GetDeviceTypeSecureIpNum(m_Type); }
uint32_t TDevice::GetSnmpCommunityNum() const { return GetDeviceTypeSnmpCommunityNum(m_Type); }
uint32_t TDevice::GetTagVidNum() const { return GetDeviceTypeTagVidNum(m_Type); }

void SetDeviceCallback(TDeviceCallback* callback) { g_DeviceCallback = callback; }
TDeviceCallback* GetDeviceCallback() { return g_DeviceCallback; }

TDevice* FindDevice(const TMacAddr& mac, bool create)
{
    if (mac.IsNull() || mac.IsBroadcast()) return nullptr;
    auto& registry = Registry();
    if (const TDeviceRef* ref = registry.byMac.Find(mac.Key()); ref && ref->device) return ref->device;
    if (!create) return nullptr;
    if (registry.ordered.size() >= MaxDevices) {
        ++g_RefusedDevices;
        return nullptr;
    }
    return new TDevice(mac);
}

void PrefetchDeviceSlot(const TMacAddr& mac) { __builtin_prefetch(Registry().byMac.SlotAddress(mac.Key())); }

void PrefetchDevice(const TMacAddr& mac)
{
    const TDeviceRef* ref = Registry().byMac.Find(mac.Key());
    if (!ref || !ref->device) return;
    // The fields a reply reads, up to the address.
    const char* device = reinterpret_cast<const char*>(ref->device);
    __builtin_prefetch(device);
    __builtin_prefetch(device + 60);
}

size_t GetRefusedDeviceCount() { return g_RefusedDevices; }

TDevice* FindDeviceByIp(uint32_t ip)
{
    for (auto& [mac, device] : Registry().ordered)
        if (device->GetIp() == ip) return device;
    return nullptr;
}

void DeleteAllDevices()
{
    auto& registry = Registry().ordered;
    while (!registry.empty()) delete registry.begin()->second;
    Registry().byMac.Clear();
    g_RefusedDevices = 0;
}

size_t GetDeviceCount() { return Registry().ordered.size(); }

std::vector<TDevice*> GetDevices()
{
    std::vector<TDevice*> devices;
    devices.reserve(Registry().ordered.size());
    for (auto& [mac, device] : Registry().ordered) devices.push_back(device);
    return devices;
}

} // namespace Intp
