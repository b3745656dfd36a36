// One-shot commands on a switch as a whole: reboot, save to flash, factory
// default and the administrator account. None of them writes the cache.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "intp/Session.h"

namespace Intp {

// A successful reply sets the device's address to 0 until the switch is
// heard again.
class TSessionBasicsReboot : public TSessionGeneral<ccBasicsReboot> {
protected:
    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override;
};

class TSessionBasicsSave : public TSessionGeneral<ccBasicsSave> {};

class TSessionBasicsPassword : public TSessionGeneral<ccBasicsPassword> {
public:
    static constexpr size_t FieldWidth = 16;
    static constexpr size_t PayloadSize = 2 * FieldWidth;

    // The new user name and password, 16 NUL-padded bytes each (a 16-byte
    // field has no terminating NUL).
    void SetPayload(const void* data);
    // Builds the same bytes, each text cut to 16 characters.
    void SetPayload(std::string_view user, std::string_view password);
    const std::array<uint8_t, PayloadSize>& GetPayload() const { return m_Payload; }

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;

private:
    std::array<uint8_t, PayloadSize> m_Payload{};
};

// Keep-mask bits of the factory default.
enum TDefaultKeep : uint32_t {
    dkAccount = 0x1, // keep the user name and password
    dkNetwork = 0x2, // keep the IP address settings
};

// On a successful reply with the reboot flag set, a reboot follows; its
// outcome is notified later as 259.
class TSessionBasicsDefault : public TSessionGeneral<ccBasicsDefault> {
public:
    // Not sent: decides whether a reboot follows the reply.
    void SetReboot(bool reboot) { m_Reboot = reboot; }
    void SetKeepMask(uint32_t mask) { m_KeepMask = mask; }

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override;

private:
    bool m_Reboot = false;
    uint32_t m_KeepMask = 0;
};

} // namespace Intp
