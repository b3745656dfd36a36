// Quality of service, both generations: the scheduling scheme, the queue or
// priority of each 802.1p value, of each port and of each DSCP value. Every
// field is one byte on the wire; the second generation's mode Set is the one
// little-endian word. The two generations report a wrong count and a value
// out of range with different statuses, each as its decoder states.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "intp/Record.h"

namespace Intp {

inline constexpr uint32_t QosQueueCount = 4;     // queues 0..3
inline constexpr uint32_t QosPriorityCount = 8;  // 802.1p priorities 0..7
inline constexpr size_t QosDscpCount = 64;       // DSCP values 0..63
inline constexpr uint32_t QosPolicyCount = 2;    // 0 weighted 8:4:2:1, 1 strict
inline constexpr uint32_t QosPriorityTypeCount = 6;
inline constexpr uint32_t Qos2ModeCount = 5;
inline constexpr uint32_t Qos2PortPriorityMax = 8; // 0 off, 1..8 priority 0..7

// First value of bytes at or above limit, as a rejection; ssOk when none.
template <class C> uint16_t CheckBelow(const C& values, uint32_t limit, uint16_t status)
{
    for (auto v : values)
        if (uint32_t(v) >= limit) return status;
    return ssOk;
}

// First generation.

struct TPropertyQos {
    static constexpr int32_t Key = PropertyKey(ccQosGet);
    bool valid = false;
    uint32_t policy = 0;       // 0 weighted fair queuing, 1 strict priority
    uint32_t priorityType = 0; // 0 disable, 1 port, 2 CoS only, 3 TOS only, 4 CoS first, 5 TOS first
    static constexpr auto Fields = Layout(Wire::U8(&TPropertyQos::policy), Wire::U8(&TPropertyQos::priorityType));
};

struct TPropertyQosPort {
    static constexpr int32_t Key = PropertyKey(ccQosPortGet);
    static constexpr uint16_t CountStatus = ssBadValue;
    bool valid = false;
    std::vector<uint32_t> queues; // queue of each port, port 1 first
    static constexpr auto Fields = Layout(Wire::Array(&TPropertyQosPort::queues, Wire::U8(), TCountKind::ckPortNum));
};

struct TPropertyQosCos {
    static constexpr int32_t Key = PropertyKey(ccQosCosGet);
    static constexpr uint16_t CountStatus = ssBadEntry;
    bool valid = false;
    std::array<uint8_t, QosPriorityCount> cosMap{}; // queue of each CoS value
    std::vector<uint32_t> portDefault;             // default CoS of each port
    static constexpr auto Fields =
        Layout(Wire::Bytes(&TPropertyQosCos::cosMap),
               Wire::Array(&TPropertyQosCos::portDefault, Wire::U8(), TCountKind::ckPortNum));
};

struct TPropertyQosTos {
    static constexpr int32_t Key = PropertyKey(ccQosTosGet);
    bool valid = false;
    std::array<uint8_t, QosDscpCount> tosMap{}; // queue of each DSCP value
    static constexpr auto Fields = Layout(Wire::Bytes(&TPropertyQosTos::tosMap));
};

// A policy of 2 or more rejects with ssBadReply, a priority type of 6 or
// more with ssBadValue.
class TSessionQosGet : public TSessionRecordGet<ccQosGet, TPropertyQos> {
protected:
    uint16_t Check(TDevice*, const TPropertyQos& r) override
    {
        if (r.policy >= QosPolicyCount) return ssBadReply;
        return r.priorityType >= QosPriorityTypeCount ? ssBadValue : ssOk;
    }
};
class TSessionQosSet : public TSessionRecordSet<ccQosSet, TSessionQosGet> {};

// A length other than the port count rejects with ssBadValue, a queue of 4
// or more with ssBadReply.
class TSessionQosPortGet : public TSessionRecordGet<ccQosPortGet, TPropertyQosPort> {
protected:
    uint16_t Check(TDevice*, const TPropertyQosPort& r) override
    {
        return CheckBelow(r.queues, QosQueueCount, ssBadReply);
    }
};
class TSessionQosPortSet : public TSessionRecordArraySet<ccQosPortSet, TSessionQosPortGet> {};

// A port count other than the model's rejects with ssBadEntry, a CoS queue
// of 4 or more with ssBadReply, a port's CoS of 8 or more with ssBadValue.
class TSessionQosCosGet : public TSessionRecordGet<ccQosCosGet, TPropertyQosCos> {
protected:
    uint16_t Check(TDevice*, const TPropertyQosCos& r) override
    {
        if (uint16_t s = CheckBelow(r.cosMap, QosQueueCount, ssBadReply)) return s;
        return CheckBelow(r.portDefault, QosPriorityCount, ssBadValue);
    }
};
class TSessionQosCosSet : public TSessionRecordArraySet<ccQosCosSet, TSessionQosCosGet> {};

// A queue of 4 or more rejects with ssBadReply.
class TSessionQosTosGet : public TSessionRecordGet<ccQosTosGet, TPropertyQosTos> {
protected:
    uint16_t Check(TDevice*, const TPropertyQosTos& r) override
    {
        return CheckBelow(r.tosMap, QosQueueCount, ssBadReply);
    }
};
class TSessionQosTosSet : public TSessionRecordSet<ccQosTosSet, TSessionQosTosGet> {};

// Second generation.

struct TPropertyQos2 {
    static constexpr int32_t Key = PropertyKey(ccQos2Get);
    bool valid = false;
    // 0 disable, 1 high queue first, 2 weighted 8:4:2:1, 3 15:7:3:1, 4 15:10:5:1
    uint32_t mode = 0;
    // The reply carries the mode in its first byte; the Set sends it as a
    // little-endian word, which puts it in the same byte.
    static constexpr auto Fields = Layout(Wire::GetOnly(Wire::U8(&TPropertyQos2::mode)), Wire::GetOnly(Wire::Skip(3)),
                                          Wire::SetOnly(Wire::U32Le(&TPropertyQos2::mode)));
};

struct TPropertyQos2Cos {
    static constexpr int32_t Key = PropertyKey(ccQos2CosGet);
    bool valid = false;
    std::array<uint8_t, QosPriorityCount> priorityMap{}; // queue of each 802.1p priority
    static constexpr auto Fields = Layout(Wire::Bytes(&TPropertyQos2Cos::priorityMap));
};

struct TPropertyQos2Port {
    static constexpr int32_t Key = PropertyKey(ccQos2PortGet);
    static constexpr uint16_t CountStatus = ssBadValue;
    bool valid = false;
    std::vector<uint32_t> priorities; // each port: 0 off, 1..8 priority 0..7
    static constexpr auto Fields =
        Layout(Wire::Array(&TPropertyQos2Port::priorities, Wire::U8(), TCountKind::ckPortNum));
};

struct TPropertyQos2Tos {
    static constexpr int32_t Key = PropertyKey(ccQos2TosGet);
    bool valid = false;
    std::array<uint8_t, QosDscpCount> dscpMap{}; // priority of each DSCP value
    static constexpr auto Fields = Layout(Wire::Bytes(&TPropertyQos2Tos::dscpMap));
};

// A mode of 5 or more rejects with ssBadValue.
class TSessionQos2Get : public TSessionRecordGet<ccQos2Get, TPropertyQos2> {
protected:
    uint16_t Check(TDevice*, const TPropertyQos2& r) override { return r.mode >= Qos2ModeCount ? ssBadValue : ssOk; }
};
// A mode that does not fit the byte the switch reads (above 255) is not sent.
class TSessionQos2Set : public TSessionRecordSet<ccQos2Set, TSessionQos2Get> {
protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override
    {
        return GetPayload().mode <= 0xFF && TSessionRecordSet<ccQos2Set, TSessionQos2Get>::BuildPayload(device, payload);
    }
};

// A queue of 4 or more rejects with ssBadReply.
class TSessionQos2CosGet : public TSessionRecordGet<ccQos2CosGet, TPropertyQos2Cos> {
protected:
    uint16_t Check(TDevice*, const TPropertyQos2Cos& r) override
    {
        return CheckBelow(r.priorityMap, QosQueueCount, ssBadReply);
    }
};
class TSessionQos2CosSet : public TSessionRecordSet<ccQos2CosSet, TSessionQos2CosGet> {};

// A length other than the port count rejects with ssBadValue, a port value
// above 8 with ssBadReply.
class TSessionQos2PortGet : public TSessionRecordGet<ccQos2PortGet, TPropertyQos2Port> {
protected:
    uint16_t Check(TDevice*, const TPropertyQos2Port& r) override
    {
        return CheckBelow(r.priorities, Qos2PortPriorityMax + 1, ssBadReply);
    }
};
class TSessionQos2PortSet : public TSessionRecordArraySet<ccQos2PortSet, TSessionQos2PortGet> {};

// A priority of 8 or more rejects with ssBadReply.
class TSessionQos2TosGet : public TSessionRecordGet<ccQos2TosGet, TPropertyQos2Tos> {
protected:
    uint16_t Check(TDevice*, const TPropertyQos2Tos& r) override
    {
        return CheckBelow(r.dscpMap, QosPriorityCount, ssBadReply);
    }
};
class TSessionQos2TosSet : public TSessionRecordSet<ccQos2TosSet, TSessionQos2TosGet> {};

} // namespace Intp
