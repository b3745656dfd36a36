// Discovery, login, ping and IntpSip.
#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "intp/Md5.h"
#include "intp/Record.h"

namespace Intp {

struct TPropertyIntpPing2 {
    static constexpr int32_t Key = PropertyKey(ccIntpPing2);
    bool valid = false;
    uint32_t powerAlarm = 0; // bit 0 power input 1 failed, bit 1 power input 2
    uint32_t portFailed = 0; // bit n: port n + 1 failed
    uint32_t portState = 0;  // bit n: port n + 1, for the port lamps
    static constexpr auto Fields = Layout(Wire::U32(&TPropertyIntpPing2::powerAlarm),
                                          Wire::U32(&TPropertyIntpPing2::portFailed),
                                          Wire::U32(&TPropertyIntpPing2::portState));
};

struct TPropertyIntpSip {
    static constexpr int32_t Key = PropertyKey(ccIntpSipGet);
    bool valid = false;
    bool enabled = false;
    uint16_t value = 0;
};

// MD5 of the user name and the password, each cut or NUL-padded to 16 bytes.
TMd5Digest MakeLoginDigest(std::string_view user, std::string_view password);

// The discovery request: one object for the whole program, never listed,
// never deleted, no timer. Every find reply goes to it.
//
// A find reply sets the model of a switch not yet known (model 0). A known
// switch's model changes only through a requested reply (from an address a
// find was sent to since the last ForgetFinds) that comes from the switch's
// own address, and never to model 0; any other such reply changes nothing
// and is notified as ssBadValue.
class TSessionIntpFind : public TSession {
public:
    static TSessionIntpFind* GetInstance();
    // Sends a find request to ip (host order); wizard then receives every
    // find outcome (a success's context points to the announced product id,
    // a uint32_t). Replies from the addresses of ip's network under mask
    // count as requested. False when the send failed.
    static bool SendFind(TWizard* wizard, uint32_t ip, uint32_t mask = 0xFFFFFFFF);
    // A wizard that goes away stops receiving find outcomes.
    static void ForgetWizard(const TWizard* wizard);
    // The discovery is over: later replies are not requested.
    static void ForgetFinds();
    // A reply from source answers a find sent since the last ForgetFinds.
    static bool IsRequested(uint32_t source);

    bool Request(TDevice*) override { return false; }
    int OnReceive(TDevice* device, const THeader& header, TPayloadReader payload) override;
    void OnTimeout() override {}
    const char* GetName() const override { return "Find"; }

private:
    TSessionIntpFind() = default;
    ~TSessionIntpFind() override = default;

    // The networks asked under one mask: appended as sent (a discovery's
    // burst), sorted when first looked up.
    struct TAsked {
        std::vector<uint32_t> networks;
        size_t sorted = 0;  // networks[0, sorted) are in order, each once
    };
    // By mask.
    std::map<uint32_t, TAsked> m_Asked;
};

// Login with a digest; a zero digest logs out, and any reply to a logout
// leaves the device logged out.
class TSessionIntpLogin : public TSessionGeneral<ccIntpLogin> {
public:
    void SetPayload(const uint8_t digest[16]);
    void SetPayload(const TMd5Digest& digest) { SetPayload(digest.data()); }
    bool IsLogout() const;

    int OnReceive(TDevice* device, const THeader& header, TPayloadReader payload) override;

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
    int HandleResponse(TDevice* device, const THeader& header, TPayloadReader payload) override;

private:
    TMd5Digest m_Digest{};
};

// The status monitor's poll; its reply time is the interval (0: 60000 ms).
class TSessionIntpPing2 : public TSessionRecordGet<ccIntpPing2, TPropertyIntpPing2> {
public:
    explicit TSessionIntpPing2(unsigned intervalMs = 0) : m_Interval(intervalMs) {}
    void StartTimer() override;

private:
    unsigned m_Interval;
};

class TSessionIntpSipGet : public TSessionGet<ccIntpSipGet, TPropertyIntpSip> {
protected:
    uint16_t Decode(TDevice* device, TPropertyIntpSip& record, TPayloadReader& payload) override;
};

} // namespace Intp
