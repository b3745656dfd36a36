// Redundancy commands: the redundancy summary (which protocol the switch
// runs; the model banners show it), the ring settings and the chain-ring
// status, fast recovery, and the Rapid Spanning Tree settings and state.
// Ports are indexes counted from 0 unless said otherwise.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "intp/Record.h"

namespace Intp {

struct TPropertyRedundancy {
    static constexpr int32_t Key = PropertyKey(ccRedundancyGet);
    bool valid = false;
    bool enabled = false; // redundancy active in hardware ("Hardware Mode")
    uint32_t mode = 0;    // 1 ring, 2 RSTP, 3 fast recovery; others: no known mode
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyRedundancy::enabled), Wire::U8(&TPropertyRedundancy::mode));
};

enum TRedundancyMode : uint32_t {
    rmRing = 1,
    rmRstp = 2,
    rmFastRecovery = 3,
};

// The ring settings, one byte each on the wire.
struct TRingSettings {
    bool ringEnabled = false;
    bool ringMaster = false;
    uint32_t firstPort = 0;
    uint32_t secondPort = 0;
    bool couplingEnabled = false;
    uint32_t controlPort = 0; // coupling control port
    uint32_t couplingPort = 0;
    bool dualHoming = false;
    uint32_t homingPort = 0;
};

// The ring fields, then more.
template <class... F> constexpr auto RingLayout(F... more)
{
    using S = TRingSettings;
    return Layout(Wire::Flag(&S::ringEnabled), Wire::Flag(&S::ringMaster), Wire::U8(&S::firstPort),
                  Wire::U8(&S::secondPort), Wire::Flag(&S::couplingEnabled), Wire::U8(&S::controlPort),
                  Wire::U8(&S::couplingPort), Wire::Flag(&S::dualHoming), Wire::U8(&S::homingPort), more...);
}

struct TPropertyRedundancyRing : TRingSettings {
    static constexpr int32_t Key = PropertyKey(ccRedundancyRingGet);
    bool valid = false;
    static constexpr auto Fields = RingLayout();
};

// The chain-ring status of second-generation switches: the ring fields and
// values the console keeps without reading them.
struct TPropertyRedundancyRing2 : TRingSettings {
    static constexpr int32_t Key = PropertyKey(ccRedundancyRing2Get);
    bool valid = false;
    std::array<uint8_t, 4> groupFlags{};
    std::array<uint8_t, 4> groupFirstValues{};
    std::array<uint8_t, 4> groupSecondValues{};
    uint32_t value = 0;
    std::vector<uint32_t> portValues; // one per port
    using R = TPropertyRedundancyRing2;
    static constexpr auto Fields =
        RingLayout(Wire::Bytes(&R::groupFlags), Wire::Bytes(&R::groupFirstValues), Wire::Bytes(&R::groupSecondValues),
                   Wire::Skip(4), Wire::U32(&R::value), Wire::Array(&R::portValues, Wire::U8(), TCountKind::ckPortNum));
};

// Each port's recovery priority: 0 not included, else 1 to the port count,
// each used by one port at most.
struct TPropertyRedundancyFastRecovery {
    static constexpr int32_t Key = PropertyKey(ccRedundancyFastRecoveryGet);
    bool valid = false;
    bool enabled = false;
    std::vector<uint32_t> priorities; // one per port
    using R = TPropertyRedundancyFastRecovery;
    static constexpr auto Fields =
        Layout(Wire::Flag(&R::enabled), Wire::Array(&R::priorities, Wire::U8(), TCountKind::ckPortNum));
    // A priority above the port count is ssBadValue, in a reply and in a Set.
    static uint16_t CheckEntry(const TDeviceType& model, const uint32_t& priority)
    {
        return priority > model.PortNum ? ssBadValue : ssOk;
    }
};

// Point-to-point settings of a port.
enum TRstpP2p : uint32_t { rpFalse = 0, rpTrue = 1, rpAuto = 2 };
// Port states and roles of the spanning tree, as a switch reports them.
enum TRstpState : uint32_t { rsDisabled, rsDiscarding, rsLearning, rsForwarding, rsNonStp };
enum TRstpRole : uint32_t { rrDisabled, rrRoot, rrDesignated, rrAlternate, rrBackup, rrNonStp, rrUnknown };
// The root port of a switch that is the root bridge itself.
inline constexpr uint32_t RstpRootIsSelf = 255;

struct TPropertyRedundancyRstpPort {
    uint32_t pathCost = 0;
    uint32_t priority = 0;
    uint32_t p2p = rpFalse;
    bool edge = false;
    bool nonStp = false; // left out of the spanning tree
};

struct TPropertyRedundancyRstp {
    static constexpr int32_t Key = PropertyKey(ccRedundancyRstpGet);
    bool valid = false;
    bool enabled = false;
    uint32_t bridgePriority = 0;
    uint32_t maxAge = 0; // seconds, as the next two
    uint32_t helloTime = 0;
    uint32_t forwardDelay = 0;
    std::vector<TPropertyRedundancyRstpPort> ports; // one per port
    using R = TPropertyRedundancyRstp;
    using E = TPropertyRedundancyRstpPort;
    static constexpr auto PortFields = Layout(Wire::U32(&E::pathCost), Wire::U8(&E::priority), Wire::U8(&E::p2p),
                                              Wire::Flag(&E::edge), Wire::Flag(&E::nonStp));
    static constexpr auto Fields =
        Layout(Wire::Flag(&R::enabled), Wire::U16(&R::bridgePriority), Wire::U8(&R::maxAge), Wire::U8(&R::helloTime),
               Wire::U8(&R::forwardDelay), Wire::Entries(&R::ports, PortFields, TCountKind::ckPortNum));
};

struct TPropertyRedundancyRstpInfoPort {
    uint32_t pathCost = 0;
    uint32_t priority = 0;
    uint32_t p2p = rpFalse; // operational
    bool edge = false;      // operational
    bool neighbour = false; // an STP neighbour
    uint32_t state = rsDisabled;
    uint32_t role = rrDisabled;
};

// The root bridge and each port's state; meaningful only while enabled.
struct TPropertyRedundancyRstpInfo {
    static constexpr int32_t Key = PropertyKey(ccRedundancyRstpInfoGet);
    bool valid = false;
    bool enabled = false;
    std::array<uint8_t, 8> rootBridgeId{};
    uint32_t rootPriority = 0;
    uint32_t rootPort = 0; // port number, RstpRootIsSelf when this switch is the root
    uint32_t rootPathCost = 0;
    uint32_t maxAge = 0;
    uint32_t helloTime = 0;
    uint32_t forwardDelay = 0;
    std::vector<TPropertyRedundancyRstpInfoPort> ports; // one per port
    using R = TPropertyRedundancyRstpInfo;
    using E = TPropertyRedundancyRstpInfoPort;
    static constexpr auto PortFields =
        Layout(Wire::U32(&E::pathCost), Wire::U8(&E::priority), Wire::U8(&E::p2p), Wire::Flag(&E::edge),
               Wire::Flag(&E::neighbour), Wire::U8(&E::state), Wire::U8(&E::role));
    static constexpr auto Fields =
        Layout(Wire::Flag(&R::enabled), Wire::Bytes(&R::rootBridgeId), Wire::U16(&R::rootPriority),
               Wire::U8(&R::rootPort), Wire::U32(&R::rootPathCost), Wire::U8(&R::maxAge), Wire::U8(&R::helloTime),
               Wire::U8(&R::forwardDelay), Wire::Entries(&R::ports, PortFields, TCountKind::ckPortNum));
};

// Every reply of 2 bytes or more is accepted.
class TSessionRedundancyGet : public TSessionRecordGet<ccRedundancyGet, TPropertyRedundancy> {};

// Every reply of 9 bytes or more is accepted. The Set sends its nine bytes
// as its caller gives them.
class TSessionRedundancyRingGet : public TSessionRecordGet<ccRedundancyRingGet, TPropertyRedundancyRing> {};
class TSessionRedundancyRingSet : public TSessionRecordSet<ccRedundancyRingSet, TSessionRedundancyRingGet> {};

// Accepted with one port value per port of the model (else ssBadReply).
class TSessionRedundancyRing2Get : public TSessionRecordGet<ccRedundancyRing2Get, TPropertyRedundancyRing2> {};

// Accepted with one priority per port (else ssBadReply), each at most the
// port count (else ssBadValue). The Set is sent only with the target's port
// count of priorities, each at most that count.
class TSessionRedundancyFastRecoveryGet
    : public TSessionRecordGet<ccRedundancyFastRecoveryGet, TPropertyRedundancyFastRecovery> {};
class TSessionRedundancyFastRecoverySet
    : public TSessionRecordArraySet<ccRedundancyFastRecoverySet, TSessionRedundancyFastRecoveryGet> {};

// Accepted with one entry per port of the model (trailing bytes short of an
// entry ignored; else ssBadReply); no value is range-checked. The Set is
// sent only with the target's port count of entries; SetEntries(bytes, n)
// takes the bridge priority and path costs in host order.
class TSessionRedundancyRstpGet : public TSessionRecordGet<ccRedundancyRstpGet, TPropertyRedundancyRstp> {};
class TSessionRedundancyRstpSet : public TSessionRecordArraySet<ccRedundancyRstpSet, TSessionRedundancyRstpGet> {};
class TSessionRedundancyRstpInfoGet
    : public TSessionRecordGet<ccRedundancyRstpInfoGet, TPropertyRedundancyRstpInfo> {};

} // namespace Intp
