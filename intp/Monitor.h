// A switch's running state: the learned MAC addresses, the event log, the
// port statistics and counters (each with a Clear that resets them and reads
// them again), and port mirroring of both generations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "intp/Record.h"

namespace Intp {

// The MAC address table.

struct TPropertyMonitorMacEntry {
    uint32_t port = 0; // index into the ports, then the trunk groups
    TMacAddr mac;
    bool isStatic = false; // false: learned
};

// Entries in arrival order (those of one port keep their order).
struct TPropertyMonitorMac {
    static constexpr int32_t Key = PropertyKey(ccMonitorMacGet);
    bool valid = false;
    uint32_t dynamicCount = 0;
    uint32_t staticCount = 0;
    std::vector<TPropertyMonitorMacEntry> entries;

    using E = TPropertyMonitorMacEntry;
    static constexpr auto EntryFields = Layout(Wire::U8(&E::port), Wire::Mac(&E::mac), Wire::Flag(&E::isStatic));
    static constexpr size_t PageEntries = 128;

    // A port past the ports and trunk groups rejects the whole table.
    static uint16_t CheckEntry(const TDeviceType& model, const E& e)
    {
        return e.port < model.PortNum + model.TrunkGroupNum ? ssOk : ssBadReply;
    }
};

class TSessionMonitorMacGet : public TSessionTableGet<ccMonitorMacGet, TPropertyMonitorMac> {
protected:
    bool KeepEntry(TDevice*, TPropertyMonitorMac& record, const TPropertyMonitorMacEntry& e) override
    {
        ++(e.isStatic ? record.staticCount : record.dynamicCount);
        return true;
    }
};
// Empties the switch's table, then reads it again.
class TSessionMonitorMacClear : public TSessionSet<ccMonitorMacClear, TSessionMonitorMacGet> {};

// The system event log.

inline constexpr size_t MonitorEventTextWidth = 128;

struct TPropertyMonitorEventEntry {
    std::string head;
    std::string text;
};

struct TPropertyMonitorEvent {
    static constexpr int32_t Key = PropertyKey(ccMonitorEventGet);
    bool valid = false;
    std::vector<TPropertyMonitorEventEntry> entries; // in arrival order

    using E = TPropertyMonitorEventEntry;
    static constexpr auto EntryFields =
        Layout(Wire::Text(&E::head, MonitorEventTextWidth), Wire::Text(&E::text, MonitorEventTextWidth));
    static constexpr size_t PageEntries = 5;
};

class TSessionMonitorEventGet : public TSessionTableGet<ccMonitorEventGet, TPropertyMonitorEvent> {};
class TSessionMonitorEventClear : public TSessionSet<ccMonitorEventClear, TSessionMonitorEventGet> {};

// Port statistics: six counters per port. A reply holds exactly one entry
// per port of the model (else ssBadReply).

struct TPropertyMonitorPortEntry {
    uint32_t txGood = 0;
    uint32_t txBad = 0;
    uint32_t rxGood = 0;
    uint32_t rxBad = 0;
    uint32_t txAbort = 0;
    uint32_t collision = 0;
};

struct TPropertyMonitorPort {
    static constexpr int32_t Key = PropertyKey(ccMonitorPortGet);
    bool valid = false;
    std::vector<TPropertyMonitorPortEntry> entries; // port order

    using E = TPropertyMonitorPortEntry;
    static constexpr auto EntryFields = Layout(Wire::U32(&E::txGood), Wire::U32(&E::txBad), Wire::U32(&E::rxGood),
                                               Wire::U32(&E::rxBad), Wire::U32(&E::txAbort), Wire::U32(&E::collision));
    static constexpr auto Fields = Layout(Wire::Entries(&TPropertyMonitorPort::entries, EntryFields, TCountKind::ckPortNum));
};

class TSessionMonitorPortGet : public TSessionRecordGet<ccMonitorPortGet, TPropertyMonitorPort> {};
class TSessionMonitorPortClear : public TSessionSet<ccMonitorPortClear, TSessionMonitorPortGet> {};

// Port counters: 28 per port, read in two halves of 14 with two Gets.

// The first half.
struct TPropertyMonitorPortCounterEntry {
    uint32_t rxBcastPkt = 0;
    uint32_t rxOctet = 0;
    uint32_t rxMcastPkt = 0;
    uint32_t rxFcsErr = 0;
    uint32_t rxOverSizePkt = 0;
    uint32_t rxAlignErr = 0;
    uint32_t rxJabber = 0;
    uint32_t rxFragment = 0;
    uint32_t rxUnderSizePkt = 0;
    uint32_t rxPkt64 = 0;
    uint32_t rxPkt65to127 = 0;
    uint32_t rxPkt128to255 = 0;
    uint32_t rxPkt256to511 = 0;
    uint32_t rxPkt512to1023 = 0;
};

// The second half.
struct TPropertyMonitorPortCounter2Entry {
    uint32_t rxPkt1024to1522 = 0;
    uint32_t txUcastPkt = 0;
    uint32_t txBcastPkt = 0;
    uint32_t txOctet = 0;
    uint32_t txSingleCollisn = 0;
    uint32_t txMultiCollisn = 0;
    uint32_t txCollisn = 0;
    uint32_t txDefferTrans = 0;
    uint32_t dropFwdLkup = 0;
    uint32_t dropIn = 0;
    uint32_t txMcst = 0;
    uint32_t txPause = 0;
    uint32_t rxPause = 0;
    uint32_t txUnderrun = 0;
};

struct TPropertyMonitorPortCounter {
    static constexpr int32_t Key = PropertyKey(ccMonitorPortCounterGet);
    bool valid = false;
    std::vector<TPropertyMonitorPortCounterEntry> entries; // port order

    using E = TPropertyMonitorPortCounterEntry;
    static constexpr auto EntryFields =
        Layout(Wire::U32(&E::rxBcastPkt), Wire::U32(&E::rxOctet), Wire::U32(&E::rxMcastPkt), Wire::U32(&E::rxFcsErr),
               Wire::U32(&E::rxOverSizePkt), Wire::U32(&E::rxAlignErr), Wire::U32(&E::rxJabber),
               Wire::U32(&E::rxFragment), Wire::U32(&E::rxUnderSizePkt), Wire::U32(&E::rxPkt64),
               Wire::U32(&E::rxPkt65to127), Wire::U32(&E::rxPkt128to255), Wire::U32(&E::rxPkt256to511),
               Wire::U32(&E::rxPkt512to1023));
    static constexpr auto Fields =
        Layout(Wire::Entries(&TPropertyMonitorPortCounter::entries, EntryFields, TCountKind::ckPortNum));
};

struct TPropertyMonitorPortCounter2 {
    static constexpr int32_t Key = PropertyKey(ccMonitorPortCounter2Get);
    bool valid = false;
    std::vector<TPropertyMonitorPortCounter2Entry> entries; // port order

    using E = TPropertyMonitorPortCounter2Entry;
    static constexpr auto EntryFields =
        Layout(Wire::U32(&E::rxPkt1024to1522), Wire::U32(&E::txUcastPkt), Wire::U32(&E::txBcastPkt),
               Wire::U32(&E::txOctet), Wire::U32(&E::txSingleCollisn), Wire::U32(&E::txMultiCollisn),
               Wire::U32(&E::txCollisn), Wire::U32(&E::txDefferTrans), Wire::U32(&E::dropFwdLkup),
               Wire::U32(&E::dropIn), Wire::U32(&E::txMcst), Wire::U32(&E::txPause), Wire::U32(&E::rxPause),
               Wire::U32(&E::txUnderrun));
    static constexpr auto Fields =
        Layout(Wire::Entries(&TPropertyMonitorPortCounter2::entries, EntryFields, TCountKind::ckPortNum));
};

class TSessionMonitorPortCounterGet : public TSessionRecordGet<ccMonitorPortCounterGet, TPropertyMonitorPortCounter> {};
class TSessionMonitorPortCounter2Get
    : public TSessionRecordGet<ccMonitorPortCounter2Get, TPropertyMonitorPortCounter2> {};

// The port whose counters a Clear resets. Its index travels little-endian,
// unlike the rest of the protocol.
struct TMonitorPortCounterClear {
    uint32_t port = 0; // index, below the model's ports
    static constexpr auto Fields = Layout(Wire::U16Le(&TMonitorPortCounterClear::port));
};

// SetPayload(TMonitorPortCounterClear{port}), or the port as a u16 in host
// order. A port past the target's ports is not sent. The reply starts both
// counter reads, the first half first.
class TSessionMonitorPortCounterClear
    : public TSessionLayoutSet<ccMonitorPortCounterClear, TSessionMonitorPortCounterGet, TMonitorPortCounterClear,
                               TMonitorPortCounterClear::Fields> {
protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override
    {
        if (GetPayload().port >= ModelOf(device).PortNum) return false;
        return TSessionLayoutSet::BuildPayload(device, payload);
    }
    void StartRefresh(TDevice* device) override
    {
        StartNew<TSessionMonitorPortCounterGet>(device);
        StartNew<TSessionMonitorPortCounter2Get>(device);
    }
};

// Port mirroring, first generation: a destination port for each direction
// and the ports whose received and transmitted traffic is copied (bit k:
// port index k; bits past the model's ports are kept as read).

struct TPropertyMonitorMirror {
    static constexpr int32_t Key = PropertyKey(ccMonitorMirrorGet);
    bool valid = false;
    uint32_t rxPort = 0; // destination of received traffic
    uint32_t txPort = 0; // destination of transmitted traffic
    uint32_t rxSources = 0;
    uint32_t txSources = 0;

    using R = TPropertyMonitorMirror;
    static constexpr auto Fields =
        Layout(Wire::U8(&R::rxPort), Wire::U8(&R::txPort), Wire::U32(&R::rxSources), Wire::U32(&R::txSources));

    // Both destinations below the model's ports (ssBadReply otherwise).
    static uint16_t Check(const TDeviceType& model, const R& r)
    {
        return r.rxPort < model.PortNum && r.txPort < model.PortNum ? ssOk : ssBadReply;
    }
};

// Port mirroring, second generation: one monitored port copied to one
// analysis port in a direction.

inline constexpr uint32_t MirrorModes = 4; // "Disabled", "RX", "TX", "Both RX/TX"

struct TPropertyMonitorMirror2 {
    static constexpr int32_t Key = PropertyKey(ccMonitorMirror2Get);
    bool valid = false;
    uint32_t mode = 0;
    uint32_t monitoredPort = 0;
    uint32_t analysisPort = 0;

    using R = TPropertyMonitorMirror2;
    static constexpr auto Fields =
        Layout(Wire::U8(&R::mode), Wire::U8(&R::monitoredPort), Wire::U8(&R::analysisPort), Wire::Skip(1));

    static uint16_t Check(const TDeviceType& model, const R& r)
    {
        return r.mode < MirrorModes && r.monitoredPort < model.PortNum && r.analysisPort < model.PortNum ? ssOk
                                                                                                         : ssBadReply;
    }
};

namespace MonitorDetail {

// A Get whose record declares Check(model, record).
template <uint16_t Code, class R> class TCheckedGet : public TSessionRecordGet<Code, R> {
protected:
    uint16_t Check(TDevice* device, const R& r) override { return R::Check(ModelOf(device), r); }
};

// A Set whose payload passes the record's Check on the target's model, else
// it is not sent.
template <uint16_t Code, class TRefresh> class TCheckedSet : public TSessionRecordSet<Code, TRefresh> {
protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override
    {
        using R = typename TRefresh::Record;
        if (R::Check(ModelOf(device), this->GetPayload()) != ssOk) return false;
        return TSessionRecordSet<Code, TRefresh>::BuildPayload(device, payload);
    }
};

} // namespace MonitorDetail

class TSessionMonitorMirrorGet : public MonitorDetail::TCheckedGet<ccMonitorMirrorGet, TPropertyMonitorMirror> {};
// SetPayload(record), or the 10 payload bytes with the masks in host order.
class TSessionMonitorMirrorSet : public MonitorDetail::TCheckedSet<ccMonitorMirrorSet, TSessionMonitorMirrorGet> {};
class TSessionMonitorMirror2Get : public MonitorDetail::TCheckedGet<ccMonitorMirror2Get, TPropertyMonitorMirror2> {};
class TSessionMonitorMirror2Set : public MonitorDetail::TCheckedSet<ccMonitorMirror2Set, TSessionMonitorMirror2Get> {};

} // namespace Intp
