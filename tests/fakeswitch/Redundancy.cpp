// Redundancy on the fake switch. RSTP and the ring exclude each other as on
// a switch: turning one on turns the other off. The summary and the
// spanning-tree state follow the settings.
#include "intp/Redundancy.h"
#include "tests/fakeswitch/Features.h"

namespace FakeSwitch {
namespace {

using namespace Intp;

// The switch is the root bridge with every port forwarding while RSTP runs.
void Follow(TConfig &config, const TSwitchSettings &settings)
{
    const TPropertyRedundancyRstp rstp = RecordOf<TSessionRedundancyRstpGet>(config);
    const TPropertyRedundancyRing ring = RecordOf<TSessionRedundancyRingGet>(config);
    TPropertyRedundancyRstpInfo info{};
    info.enabled = rstp.enabled;
    info.rootBridgeId = {uint8_t(rstp.bridgePriority >> 8), uint8_t(rstp.bridgePriority), 0x00, 0x11, 0x22, 0x33,
                         0x44, settings.Mac[5]};
    info.rootPriority = rstp.bridgePriority;
    info.rootPort = RstpRootIsSelf;
    info.maxAge = rstp.maxAge;
    info.helloTime = rstp.helloTime;
    info.forwardDelay = rstp.forwardDelay;
    for (const TPropertyRedundancyRstpPort &p : rstp.ports)
        info.ports.push_back({p.pathCost, p.priority, p.p2p, p.edge, false, p.nonStp ? rsNonStp : rsForwarding,
                              p.nonStp ? rrNonStp : rrDesignated});
    SetRecord<TSessionRedundancyRstpInfoGet>(config, info);

    TPropertyRedundancyRing2 ring2 = RecordOf<TSessionRedundancyRing2Get>(config);
    ring2.portValues.resize(settings.Model.PortNum);
    static_cast<TRingSettings &>(ring2) = ring;
    SetRecord<TSessionRedundancyRing2Get>(config, ring2);

    TPropertyRedundancy summary{};
    summary.enabled = rstp.enabled || ring.ringEnabled;
    summary.mode = ring.ringEnabled ? rmRing : rmRstp;
    SetRecord<TSessionRedundancyGet>(config, summary);
}

// A protocol that went on turns the other (TGet's record, its flag on) off.
template <class TGet, class F> void Exclude(TSwitch &sw, bool on, F flag)
{
    if (on) {
        typename TGet::Record other = RecordOf<TGet>(sw);
        other.*flag = false;
        SetRecord<TGet>(sw.Running, other);
    }
    Follow(sw.Running, sw.Settings);
}

} // namespace

void AddRedundancy(THandlerTable &table)
{
    // RSTP on with the usual defaults; the ring off.
    AddFeature<TSessionRedundancyRstpGet, TSessionRedundancyRstpSet>(table, {
        .Initial = [](const TSwitchSettings &settings) {
            TPropertyRedundancyRstp r{};
            r.enabled = true;
            r.bridgePriority = 32768;
            r.maxAge = 20;
            r.helloTime = 2;
            r.forwardDelay = 15;
            r.ports.assign(settings.Model.PortNum, {200000, 128, rpAuto, false, false});
            return r;
        },
        .After = [](TSwitch &sw, const TPropertyRedundancyRstp &r) {
            Exclude<TSessionRedundancyRingGet>(sw, r.enabled, &TPropertyRedundancyRing::ringEnabled);
        },
    });
    AddFeature<TSessionRedundancyRingGet, TSessionRedundancyRingSet>(table, {
        .After = [](TSwitch &sw, const TPropertyRedundancyRing &r) {
            Exclude<TSessionRedundancyRstpGet>(sw, r.ringEnabled, &TPropertyRedundancyRstp::enabled);
        },
    });
    AddFeature<TSessionRedundancyRing2Get>(table);
    AddFeature<TSessionRedundancyRstpInfoGet>(table);
    AddFeature<TSessionRedundancyGet>(table);
    AddFeature<TSessionRedundancyFastRecoveryGet, TSessionRedundancyFastRecoverySet>(table);
    // The state, the chain-ring status and the summary of a new switch follow
    // its settings too (the settings' codes come first in the table).
    table[ccRedundancyRstpInfoGet].Initial = [](const TSwitchSettings &settings, TConfig &config) {
        if (!config.Records.count(ccRedundancyRstpInfoGet))
            Follow(config, settings);
    };
}

} // namespace FakeSwitch
