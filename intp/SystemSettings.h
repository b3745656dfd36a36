// System settings: switch settings, IP configuration, SNTP and auto
// provisioning. Each feature has a Get that fills a record of the device's
// property cache and a Set that re-reads the feature after its reply.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "intp/Md5.h"
#include "intp/Record.h"

namespace Intp {

// Width of the text fields of the switch settings and auto provisioning.
inline constexpr size_t BasicsTextWidth = 256;

struct TPropertyBasicsSettings {
    static constexpr int32_t Key = PropertyKey(ccBasicsSettingsGet);
    bool valid = false;
    uint16_t KernelVersion = 0;   // high byte major, low byte minor
    uint16_t FirmwareVersion = 0; // high byte major, low byte minor
    // From the most significant byte: main board major, minor, second board
    // major, minor.
    uint32_t HardwareVersion = 0;
    std::string Description;
    std::string Location;
    std::string Contact;
    std::string ObjectId; // suffix shown after "1.3.6.1.4.1."
};

struct TPropertyBasicsIPConf {
    static constexpr int32_t Key = PropertyKey(ccBasicsIPConfGet);
    bool valid = false;
    bool Dhcp = false;
    uint32_t Netmask = 0; // host order, as the addresses below
    uint32_t Gateway = 0;
    uint32_t Dns1 = 0;
    uint32_t Dns2 = 0;
    // The address at offset 1 is not read: a device's address is where its
    // datagrams come from.
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyBasicsIPConf::Dhcp), Wire::Skip(4), Wire::Ip(&TPropertyBasicsIPConf::Netmask),
               Wire::Ip(&TPropertyBasicsIPConf::Gateway), Wire::Ip(&TPropertyBasicsIPConf::Dns1),
               Wire::Ip(&TPropertyBasicsIPConf::Dns2));
};

// The IP configuration Set's parameters, addresses in host order.
struct TBasicsIPConfPayload {
    TMd5Digest Digest{}; // MakeLoginDigest of the user name and password
    bool Dhcp = false;
    uint32_t Ip = 0;
    uint32_t Netmask = 0;
    uint32_t Gateway = 0;
    uint32_t Dns1 = 0;
    uint32_t Dns2 = 0;
    static constexpr auto Fields =
        Layout(Wire::Bytes(&TBasicsIPConfPayload::Digest), Wire::Flag(&TBasicsIPConfPayload::Dhcp),
               Wire::Ip(&TBasicsIPConfPayload::Ip), Wire::Ip(&TBasicsIPConfPayload::Netmask),
               Wire::Ip(&TBasicsIPConfPayload::Gateway), Wire::Ip(&TBasicsIPConfPayload::Dns1),
               Wire::Ip(&TBasicsIPConfPayload::Dns2));
};

struct TPropertyBasicsSntp {
    static constexpr int32_t Key = PropertyKey(ccBasicsSntpGet);
    bool valid = false;
    bool Enabled = false;
    uint16_t TimeZone = 0;    // index into the page's list of 63 time zones
    uint32_t Server = 0;      // IPv4, host order
    uint32_t CurrentTime = 0; // the switch's clock
    bool Daylight = false;
    uint32_t DaylightBegin = 0; // seconds since 1970-01-01 00:00
    uint32_t DaylightEnd = 0;
    uint32_t DaylightOffset = 0; // minutes
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyBasicsSntp::Enabled), Wire::U16(&TPropertyBasicsSntp::TimeZone),
               Wire::Ip(&TPropertyBasicsSntp::Server),
               Wire::GetOnly(Wire::U32(&TPropertyBasicsSntp::CurrentTime)), Wire::Flag(&TPropertyBasicsSntp::Daylight),
               Wire::U32(&TPropertyBasicsSntp::DaylightBegin), Wire::U32(&TPropertyBasicsSntp::DaylightEnd),
               Wire::U32(&TPropertyBasicsSntp::DaylightOffset));
};

struct TPropertyBasicsAutoProvision {
    static constexpr int32_t Key = PropertyKey(ccBasicsAutoProvisionGet);
    bool valid = false;
    bool Config = false;
    uint32_t ConfigIp = 0; // host order
    std::string ConfigFile;
    bool Firmware = false;
    uint32_t FirmwareIp = 0; // host order
    std::string FirmwareFile;
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyBasicsAutoProvision::Config), Wire::Ip(&TPropertyBasicsAutoProvision::ConfigIp),
               Wire::Text(&TPropertyBasicsAutoProvision::ConfigFile, BasicsTextWidth),
               Wire::Flag(&TPropertyBasicsAutoProvision::Firmware), Wire::Ip(&TPropertyBasicsAutoProvision::FirmwareIp),
               Wire::Text(&TPropertyBasicsAutoProvision::FirmwareFile, BasicsTextWidth));
};

// Reads the switch settings; the system name becomes the device's name and
// the logged-in byte sets or clears dfLoggedIn.
class TSessionBasicsSettingsGet : public TSessionGet<ccBasicsSettingsGet, TPropertyBasicsSettings> {
protected:
    uint16_t Decode(TDevice* device, TPropertyBasicsSettings& record, TPayloadReader& payload) override;
};

class TSessionBasicsSettingsSet : public TSessionSet<ccBasicsSettingsSet, TSessionBasicsSettingsGet> {
public:
    static constexpr size_t PayloadSize = 4 * BasicsTextWidth;

    // The 1024 payload bytes as the page built them: name, description,
    // location and contact, 256 NUL-padded bytes each; sent unchanged.
    void SetPayload(const void* data);
    // Builds the same bytes, each text cut to 256 characters.
    void SetPayload(std::string_view name, std::string_view description, std::string_view location,
                    std::string_view contact);
    const std::array<uint8_t, PayloadSize>& GetPayload() const { return m_Payload; }

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;

private:
    std::array<uint8_t, PayloadSize> m_Payload{};
};

class TSessionBasicsIPConfGet : public TSessionRecordGet<ccBasicsIPConfGet, TPropertyBasicsIPConf> {};

// Sent to 255.255.255.255; the switch is chosen by the MAC in the header and
// checks the login digest.
class TSessionBasicsIPConfSet
    : public TSessionRecordSet<ccBasicsIPConfSet, TSessionBasicsIPConfGet, TBasicsIPConfPayload> {
public:
    using TPayload = TBasicsIPConfPayload;
    uint32_t GetDestination(TDevice* device) const override;
};

class TSessionBasicsSntpGet : public TSessionRecordGet<ccBasicsSntpGet, TPropertyBasicsSntp> {};
// Every field but the switch's clock is sent.
class TSessionBasicsSntpSet : public TSessionRecordSet<ccBasicsSntpSet, TSessionBasicsSntpGet> {};

class TSessionBasicsAutoProvisionGet
    : public TSessionRecordGet<ccBasicsAutoProvisionGet, TPropertyBasicsAutoProvision> {};
// The 522 bytes as the page built them; only the two addresses change order.
class TSessionBasicsAutoProvisionSet
    : public TSessionRecordSet<ccBasicsAutoProvisionSet, TSessionBasicsAutoProvisionGet> {};

} // namespace Intp
