// Devices, MAC addresses and the device registry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "intp/Property.h"

namespace Intp {

// A MAC address in wire order.
class TMacAddr {
public:
    TMacAddr() = default;
    explicit TMacAddr(const uint8_t bytes[6]) { for (int i = 0; i < 6; ++i) m_Bytes[i] = bytes[i]; }
    // From the first four and the last two bytes as they lie in a buffer.
    TMacAddr(const uint8_t first4[4], const uint8_t last2[2]);
    TMacAddr(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4, uint8_t b5)
        : m_Bytes{b0, b1, b2, b3, b4, b5} {}

    // Bytewise three-way comparison, first byte most significant.
    int Compare(const TMacAddr& other) const;
    // Compared as one number: every datagram's lookups compare addresses,
    // and a library call per comparison showed in reply dispatch.
    bool operator==(const TMacAddr& other) const { return Key() == other.Key(); }
    bool operator!=(const TMacAddr& other) const { return Key() != other.Key(); }
    bool operator<(const TMacAddr& other) const { return Compare(other) < 0; }

    bool IsNull() const;
    bool IsBroadcast() const;
    // "00:1A:2B:3C:4D:5E"
    std::string ToString() const;
    void CopyTo(uint8_t dst[6]) const { for (int i = 0; i < 6; ++i) dst[i] = m_Bytes[i]; }
    const std::array<uint8_t, 6>& Bytes() const { return m_Bytes; }
    uint8_t operator[](int i) const { return m_Bytes[size_t(i)]; }

    // The address as one 48-bit number, for equality and hashing (not in
    // address order).
    uint64_t Key() const {
        uint32_t high;
        uint16_t low;
        std::memcpy(&high, m_Bytes.data(), 4);
        std::memcpy(&low, m_Bytes.data() + 4, 2);
        return uint64_t(high) << 16 | low;
    }

private:
    std::array<uint8_t, 6> m_Bytes{};
};

int CompareMac(const TMacAddr& a, const TMacAddr& b);

enum TDeviceFlag : uint32_t {
    dfLoggedIn = 0x1,
    dfWarning = 0x8,
};

class TDevice;

// The host's view of the registry.
class TDeviceCallback {
public:
    virtual ~TDeviceCallback() = default;
    virtual void DeviceAdded(TDevice* device) = 0;
    // Called after unregistration; the device's fields are still readable.
    // Do not look the same MAC up with creation from here.
    virtual void DeviceRemoved(TDevice* device) = 0;
    virtual void DeviceFlagsChanged(TDevice* device, uint32_t changed) = 0;
    virtual void DeviceIpChanged(TDevice* device) = 0;
    virtual void DeviceTypeChanged(TDevice* device) = 0;
    virtual void DeviceNameChanged(TDevice* device) = 0;
};

// One switch. Created only by FindDevice with creation, deleted only by
// DeleteAllDevices.
class TDevice {
public:
    TDevice(const TDevice&) = delete;
    TDevice& operator=(const TDevice&) = delete;

    const TMacAddr& GetMac() const { return m_Mac; }
    uint32_t GetType() const { return m_Type; }
    const std::string& GetName() const { return m_Name; }
    uint32_t GetIp() const { return m_Ip; }
    uint32_t GetFlags() const { return m_Flags; }

    void SetIp(uint32_t ip);
    void SetType(uint32_t type);
    void SetName(const std::string& name);
    void SetFlags(uint32_t bits);
    void ClearFlags(uint32_t bits);
    bool TestFlags(uint32_t bits) const { return (m_Flags & bits) == bits; }
    void SetLoggedIn(bool loggedIn);
    bool IsLoggedIn() const { return TestFlags(dfLoggedIn); }

    // Model name and counts, read from the device-model table.
    const std::string& GetTypeName() const;
    uint32_t GetPortNum() const;
    uint32_t GetTrunkGroupNum() const;
    uint32_t GetPortAndTrunkGroupNum() const;
    uint32_t GetTrunkMemberNum() const;
    uint32_t GetSmtpRecipientNum() const;
    uint32_t GetSecureIpNum() const;
    uint32_t GetSnmpCommunityNum() const;
    uint32_t GetTagVidNum() const;

    PropertyMap& GetProperties() { return m_Properties; }

    // The status of the latest read of the record whose Get is getCode:
    // ssOk (0) when it succeeded, or when none has answered yet.
    uint16_t GetReadStatus(uint16_t getCode) const;
    void SetReadStatus(uint16_t getCode, uint16_t status);
    // The record R when it is valid and its latest read succeeded; else null.
    template <class R> const R* LatestRead()
    {
        const R& record = Property<R>::Get(this);
        return record.valid && GetReadStatus(uint16_t(uint32_t(R::Key) >> 16)) == 0 ? &record : nullptr;
    }

private:
    explicit TDevice(const TMacAddr& mac);
    ~TDevice();
    friend TDevice* FindDevice(const TMacAddr& mac, bool create);
    friend void DeleteAllDevices();

    TMacAddr m_Mac;
    uint32_t m_Type = 0;
    std::string m_Name;
    uint32_t m_Ip = 0;
    uint32_t m_Flags = 0;
    PropertyMap m_Properties;
    // Reads whose latest answer failed, by Get code: their status.
    std::vector<std::pair<uint16_t, uint16_t>> m_FailedReads;
};

void SetDeviceCallback(TDeviceCallback* callback);
TDeviceCallback* GetDeviceCallback();
// The registry holds at most this many devices: spoofed MACs can't exhaust
// memory, and no LAN the console manages comes near it.
inline constexpr size_t MaxDevices = 65536;

// None for a null or broadcast MAC; with create, a new device is registered
// and reported through DeviceAdded, unless the registry is full: then none,
// and the refusal is counted.
TDevice* FindDevice(const TMacAddr& mac, bool create);
// Cache hints for a lookup of mac that comes soon: the registry's slot for
// it; once that is cached, the device itself.
void PrefetchDeviceSlot(const TMacAddr& mac);
void PrefetchDevice(const TMacAddr& mac);
// Devices refused since the registry was last cleared.
size_t GetRefusedDeviceCount();
// The first device in MAC order whose address is ip.
TDevice* FindDeviceByIp(uint32_t ip);
// Deletes every device, in MAC order, reporting each through DeviceRemoved.
void DeleteAllDevices();
size_t GetDeviceCount();
// Every device in MAC order.
std::vector<TDevice*> GetDevices();

} // namespace Intp
