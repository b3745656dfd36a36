// Advanced switch settings: the broadcast storm filter, the MAC table's aging
// time and jumbo frames. Values are one byte each and stored as received.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "intp/Session.h"

namespace Intp {

struct TPropertyAdvConBSF {
    static constexpr int32_t Key = PropertyKey(ccAdvConBSFGet);
    bool valid = false;
    bool filterFlooded = false; // flooded unicast and multicast packets
    bool filterControl = false;
    bool filterIpMulticast = false;
    bool filterBroadcast = false;
    uint32_t rateLimit = 0; // 0 to 3: 1/2, 1/4, 1/8, 1/16 of the ingress rate
};

struct TPropertyAgingTime {
    static constexpr int32_t Key = PropertyKey(ccAgingTimeGet);
    bool valid = false;
    uint8_t agingTime = 0; // 0 off, 1 150 s, 2 300 s, 3 600 s
    bool autoFlush = false; // flush the MAC table when a link goes down
};

struct TPropertyJumboFrame {
    static constexpr int32_t Key = PropertyKey(ccJumboFrameGet);
    bool valid = false;
    bool enabled = false;
};

// A Set of N bytes that the page packs itself; sent unchanged.
template <uint16_t Code, class TRefresh, size_t N>
class TSessionBytesSet : public TSessionSet<Code, TRefresh> {
public:
    static constexpr size_t PayloadSize = N;
    void SetPayload(const void* data) {
        if (data) std::memcpy(m_Payload.data(), data, N);
    }
    const std::array<uint8_t, N>& GetPayload() const { return m_Payload; }

protected:
    bool BuildPayload(TDevice*, TPayloadWriter& payload) override {
        payload.Bytes(m_Payload.data(), N);
        return payload.Ok();
    }

private:
    std::array<uint8_t, N> m_Payload{};
};

class TSessionAdvConBSFGet : public TSessionGet<ccAdvConBSFGet, TPropertyAdvConBSF> {
protected:
    uint16_t Decode(TDevice* device, TPropertyAdvConBSF& record, TPayloadReader& payload) override;
};
// The four filter flags in record order, then the rate value.
class TSessionAdvConBSFSet : public TSessionBytesSet<ccAdvConBSFSet, TSessionAdvConBSFGet, 5> {};

class TSessionAgingTimeGet : public TSessionGet<ccAgingTimeGet, TPropertyAgingTime> {
protected:
    uint16_t Decode(TDevice* device, TPropertyAgingTime& record, TPayloadReader& payload) override;
};
// The aging-time value, then the auto flush flag.
class TSessionAgingTimeSet : public TSessionBytesSet<ccAgingTimeSet, TSessionAgingTimeGet, 2> {};

class TSessionJumboFrameGet : public TSessionGet<ccJumboFrameGet, TPropertyJumboFrame> {
protected:
    uint16_t Decode(TDevice* device, TPropertyJumboFrame& record, TPayloadReader& payload) override;
};
class TSessionJumboFrameSet : public TSessionBytesSet<ccJumboFrameSet, TSessionJumboFrameGet, 1> {};

} // namespace Intp
