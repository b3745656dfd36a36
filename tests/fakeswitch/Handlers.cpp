// The command handlers of the simulated switches: hand-written for the
// commands with behaviour of their own, declared for the features and tables
// that only keep what they are given.
#include "intp/Families.h"
#include "tests/common/Records.h"
#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/fakeswitch/FakeSwitchTransfer.h"
#include "tests/fakeswitch/Features.h"

#include <ctime>

namespace FakeSwitch {
namespace {

constexpr size_t TextWidth = 256;

TReader Payload(const TRequest &request)
{
    return TReader(request.Payload, request.PayloadSize);
}

TReply Find(TSwitch &sw, const TRequest &)
{
    return Ok(TWriter().U32(ProductId(sw.Settings.ProductId)).U32(0).Take());
}

TReply Login(TSwitch &sw, const TRequest &request)
{
    std::array<uint8_t, 16> digest{};
    TReader r = Payload(request);
    r.Bytes(digest.data(), digest.size());
    if (r.Overrun())
        return Refused();
    sw.LoggedIn.erase(request.Peer);
    if (digest == std::array<uint8_t, 16>{})
        return Ok(); // logout
    if (digest != LoginDigest(sw.Running.User, sw.Running.Password))
        return Refused();
    sw.LoggedIn.insert(request.Peer);
    return Ok();
}

TReply Ping(TSwitch &sw, const TRequest &)
{
    return Ok(TWriter().U32(sw.PowerAlarm).U32(sw.FailedPorts).U32(sw.PortStates).Take());
}

TReply Sip(TSwitch &sw, const TRequest &)
{
    return Ok(TWriter().U8(sw.SipEnabled).U8(sw.SipWarning).U16(sw.SipValue).Take());
}

// A settings answer put among the records (as tests load what a switch
// answered) becomes the switch's versions and texts.
void TakeSettingsRecord(TSwitch &sw)
{
    const auto it = sw.Running.Records.find(Intp::ccBasicsSettingsGet);
    if (it == sw.Running.Records.end())
        return;
    const TBytes bytes = std::move(it->second);
    sw.Running.Records.erase(it);
    TReader r(bytes.data(), bytes.size());
    const uint16_t kernel = r.U16(), firmware = r.U16();
    const uint32_t hardware = r.U32();
    r.U8(); // logged in: the peer's own
    TConfig c = sw.Running;
    c.Name = r.Text(TextWidth);
    c.Description = r.Text(TextWidth);
    c.Location = r.Text(TextWidth);
    c.Contact = r.Text(TextWidth);
    const std::string objectId = r.Text(TextWidth);
    if (r.Overrun())
        return;
    sw.Running = c;
    sw.Settings.KernelVersion = kernel;
    sw.Settings.FirmwareVersion = firmware;
    sw.Settings.HardwareVersion = hardware;
    sw.Settings.ObjectId = objectId;
}

TReply SettingsGet(TSwitch &sw, const TRequest &request)
{
    TakeSettingsRecord(sw);
    const TConfig &c = sw.Running;
    TWriter w;
    w.U16(sw.Settings.KernelVersion).U16(sw.Settings.FirmwareVersion).U32(sw.Settings.HardwareVersion);
    w.U8(sw.LoggedIn.count(request.Peer) ? 1 : 0);
    w.Text(c.Name, TextWidth).Text(c.Description, TextWidth).Text(c.Location, TextWidth);
    w.Text(c.Contact, TextWidth).Text(sw.Settings.ObjectId, TextWidth);
    return Ok(w.Take());
}

TReply SettingsSet(TSwitch &sw, const TRequest &request)
{
    TakeSettingsRecord(sw);
    TReader r = Payload(request);
    TConfig c = sw.Running;
    c.Name = r.Text(TextWidth);
    c.Description = r.Text(TextWidth);
    c.Location = r.Text(TextWidth);
    c.Contact = r.Text(TextWidth);
    if (r.Overrun())
        return Refused();
    sw.Running = c;
    return Ok();
}

TReply IpConfGet(TSwitch &sw, const TRequest &)
{
    const TConfig &c = sw.Running;
    return Ok(TWriter().U8(c.Dhcp).U32(c.Ip).U32(c.Netmask).U32(c.Gateway).U32(c.Dns1).U32(c.Dns2).Take());
}

// Carries the digest of the administrator's credentials instead of needing a login.
TReply IpConfSet(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    std::array<uint8_t, 16> digest{};
    r.Bytes(digest.data(), digest.size());
    TConfig c = sw.Running;
    c.Dhcp = r.U8() != 0;
    uint32_t ip = r.U32();
    c.Netmask = r.U32();
    c.Gateway = r.U32();
    c.Dns1 = r.U32();
    c.Dns2 = r.U32();
    if (r.Overrun() || digest != LoginDigest(sw.Running.User, sw.Running.Password))
        return Refused();
    if (!c.Dhcp) {
        if (ip == 0 || ip == 0xFFFFFFFF)
            return Refused();
        c.Ip = ip;
    }
    sw.Running = c;
    return Ok();
}

TReply Reboot(TSwitch &sw, const TRequest &)
{
    sw.RebootPending = true;
    return Ok();
}

TReply Save(TSwitch &sw, const TRequest &)
{
    sw.Saved = sw.Running;
    return Ok();
}

TReply Password(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    std::string user = r.Text(16), password = r.Text(16);
    if (r.Overrun() || user.empty())
        return Refused();
    sw.Running.User = user;
    sw.Running.Password = password;
    return Ok();
}

TReply Default(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    uint32_t keep = r.U32();
    if (r.Overrun())
        return Refused();
    TConfig c = sw.Settings.Factory;
    if (keep & 0x1) {
        c.User = sw.Running.User;
        c.Password = sw.Running.Password;
    }
    if (keep & 0x2) {
        c.Dhcp = sw.Running.Dhcp;
        c.Ip = sw.Running.Ip;
        c.Netmask = sw.Running.Netmask;
        c.Gateway = sw.Running.Gateway;
        c.Dns1 = sw.Running.Dns1;
        c.Dns2 = sw.Running.Dns2;
    }
    sw.Running = sw.Saved = c;
    return Ok();
}

TReply Tftp(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    sw.TftpServer = r.U32();
    sw.TftpPort = r.U16();
    sw.TftpFile = r.Text(32);
    if (r.Overrun())
        return Refused();
    TReply reply = Ok(TWriter().U32(0).Take());
    if (request.Header.Code != 265)
        reply.FollowUps.push_back(TWriter().U32(1).Take());
    reply.FollowUps.push_back(TWriter().U32(sw.TftpFinalState).Take());
    return reply;
}

// Ports "Port.01" on, then trunk groups "Trunk1" on.
Intp::TPropertyPortName PortNames(const TSwitchSettings &settings)
{
    return IntpTest::PortNames(settings.Model);
}

Intp::TPropertyPortConfig PortConfig(const TSwitchSettings &settings)
{
    return IntpTest::PortConfig(settings.Model);
}

// A Set changes the entries of the ports it names; the media type is the switch's.
void EditPortConfig(Intp::TPropertyPortConfig &stored, const Intp::TPropertyPortConfig &sent)
{
    for (const Intp::TPropertyPortConfigEntry &e : sent.entries)
        for (Intp::TPropertyPortConfigEntry &s : stored.entries)
            if (s.port == e.port) {
                uint32_t media = s.mediaType;
                s = e;
                s.mediaType = media;
            }
}

// Port status of a new switch: every port enabled, every other one up at 1G full.
Intp::TPropertyPortStatus PortStatus(const TSwitchSettings &settings)
{
    return IntpTest::PerPort<Intp::TPropertyPortStatus>(settings.Model, [](size_t i, Intp::TPropertyPortStatusEntry &e) {
        e.mediaType = 1;
        e.link = i % 2 == 0;
        e.enabled = true;
        e.speedDuplex = e.link ? 1 : 0;
    });
}

// A second-generation Set carries members, LACP and work ports; the LACP
// details stay the switch's.
void EditTrunk2(Intp::TPropertyPortTrunk2 &stored, const Intp::TPropertyPortTrunk2 &sent)
{
    stored.entries.resize(sent.entries.size());
    for (size_t i = 0; i < sent.entries.size(); ++i) {
        stored.entries[i].members = sent.entries[i].members;
        stored.entries[i].lacp = sent.entries[i].lacp;
        stored.entries[i].workPorts = sent.entries[i].workPorts;
    }
}

// The trunk commands of both generations share their codes: a switch
// answers in its own generation. A port in two groups is refused.
void AddTrunks(THandlerTable &table)
{
    using namespace Intp;
    THandlerTable first, second;
    AddFeature<TSessionPortTrunkGet, TSessionPortTrunkSet>(first, {
        .Accept = [](const TPropertyPortTrunk &r) { return TrunkDetail::CheckDisjoint(r.entries, r.entries.size()) == ssOk; },
    });
    AddFeature<TSessionPortTrunkGet2, TSessionPortTrunkSet2>(second, {
        .Accept = [](const TPropertyPortTrunk2 &r) { return TrunkDetail::CheckDisjoint(r.entries, r.entries.size() - 1) == ssOk; },
        .Edit = EditTrunk2,
    });
    for (uint16_t code : {ccPortTrunkGet, ccPortTrunkSet}) {
        THandlerEntry entry = first[code];
        entry.Handler = [a = first[code].Handler, b = second[code].Handler](TSwitch &sw, const TRequest &request) {
            return sw.Settings.SecondGeneration ? b(sw, request) : a(sw, request);
        };
        entry.Decoded = {}; // two layouts
        if (entry.Initial)
            entry.Initial = [a = first[code].Initial, b = second[code].Initial](const TSwitchSettings &settings, TConfig &config) {
                settings.SecondGeneration ? b(settings, config) : a(settings, config);
            };
        table[code] = std::move(entry);
    }
}

// Every port an untagged member of VLAN 1, none hybrid.
std::vector<Intp::TPropertyVlan8021qPortEntry> Vlans8021q(const TSwitchSettings &settings)
{
    const uint32_t ports = std::min(settings.Model.PortNum + settings.Model.TrunkGroupNum, 32u);
    return {{0, 0, 0}, {1, uint32_t((1ull << ports) - 1), 0}};
}

void AddSnmp(THandlerTable &table)
{
    using namespace Intp;
    AddFeature<TSessionSnmpGet, TSessionSnmpSet>(table, {.Accept = [](const TPropertySnmp &r) { return r.version <= 1; }});
    AddFeature<TSessionSnmpContextGet, TSessionSnmpContextSet>(table);

    // Communities: one per slot of the model, "public" read-only first; the
    // Set writes every slot. The slots are one record, as the page reads them.
    constexpr auto &communityFields = TPropertySnmpCommunity::EntryFields;
    table[ccSnmpCommunityGet] = THandlerEntry{
        [](TSwitch &sw, const TRequest &) { return Ok(sw.Running.Records[ccSnmpCommunityGet]); }, false, 1, 4};
    table[ccSnmpCommunityGet].ElementSize = communityFields.FixedSize(TMessage::Get);
    table[ccSnmpCommunityGet].Decoded = [](const TBytes &bytes) {
        return EncodeEntries(communityFields,
                             DecodeEntries<TPropertySnmpCommunityEntry>(communityFields, bytes.data(), bytes.size(),
                                                                        TOrder::Wire, TMessage::Get),
                             TOrder::Wire, TMessage::Get);
    };
    table[ccSnmpCommunityGet].Initial = [](const TSwitchSettings &settings, TConfig &config) {
        std::vector<TPropertySnmpCommunityEntry> slots(settings.Model.SnmpCommunityNum);
        if (!slots.empty())
            slots[0] = {"public", saReadOnly};
        if (!config.Records.count(ccSnmpCommunityGet))
            config.Records[ccSnmpCommunityGet] = EncodeEntries(communityFields, slots, TOrder::Wire, TMessage::Get);
    };
    table[ccSnmpCommunitySet] = THandlerEntry{
        [](TSwitch &sw, const TRequest &request) {
            auto sent =
                DecodeEntries<TPropertySnmpCommunityEntry>(communityFields, request.Payload, request.PayloadSize);
            if (sent.empty() || sent.size() != sw.Settings.Model.SnmpCommunityNum ||
                request.PayloadSize != sent.size() * communityFields.FixedSize(TMessage::Set) ||
                std::any_of(sent.begin(), sent.end(), [](const auto &e) { return e.access > saReadWrite; }))
                return Refused();
            sw.Running.Records[ccSnmpCommunityGet] = EncodeEntries(communityFields, sent, TOrder::Wire, TMessage::Get);
            return Ok();
        },
        true, 4, AnySize};

    // Receivers by address, access rules by group, context prefix and level
    // (the match is no part of it), views by name and subtree, groups by the
    // whole entry.
    AddTable<TSessionSnmpTrapGet>(table, {.Add = ccSnmpTrapAdd, .Del = ccSnmpTrapDel, .KeySize = 4});
    AddTable<TSessionSnmpGroupGet>(table, {.Add = ccSnmpGroupAdd, .Del = ccSnmpGroupDel});
    AddTable<TSessionSnmpAccessGet>(table, {.Add = ccSnmpAccessAdd, .Del = ccSnmpAccessDel, .KeySize = 70});
    AddTable<TSessionSnmpMibviewGet>(table, {.Add = ccSnmpMibviewAdd, .Del = ccSnmpMibviewDel, .KeySize = 66});

    // Users keep whether each password is set; the passwords are not kept.
    // A user is told apart by its name.
    AddTable<TSessionSnmpUserGet>(table, {.KeySize = SnmpTextWidth});
    auto userChange = [](bool add) {
        return [add](const TSwitch &, std::vector<TPropertySnmpUserEntry> &users, const TSnmpUserChange &change) {
            auto it = std::find_if(users.begin(), users.end(), [&](const auto &u) { return u.name == change.name; });
            if ((it == users.end()) != add || change.name.empty())
                return false;
            if (add)
                users.push_back({change.name, !change.authPassword.empty(), !change.privacyPassword.empty()});
            else
                users.erase(it);
            return true;
        };
    };
    AddTableSet<TSessionSnmpUserGet, TSessionSnmpUserAdd>(table, userChange(true));
    AddTableSet<TSessionSnmpUserGet, TSessionSnmpUserDel>(table, userChange(false));
}


// The 802.1Q port Set: each port record takes the port out of every VLAN
// and puts it into the ones it names; the entry of VLAN 0 keeps the hybrid
// ports, and a VLAN without ports goes.
bool EditVlans8021q(const TSwitch &sw, std::vector<Intp::TPropertyVlan8021qPortEntry> &vlans, const TRequest &request)
{
    using namespace Intp;
    auto vlan = [&vlans](uint32_t vid) -> TPropertyVlan8021qPortEntry & {
        auto it = std::find_if(vlans.begin(), vlans.end(), [vid](const auto &v) { return v.vid == vid; });
        return it != vlans.end() ? *it : vlans.emplace_back(TPropertyVlan8021qPortEntry{vid, 0, 0});
    };
    TReader r = Payload(request);
    std::vector<uint16_t> words;
    while (r.Left() >= 2)
        words.push_back(r.U16());
    if (words.empty() || words.back() != 0)
        return false;
    for (size_t i = 0; i + 1 < words.size();) {
        const uint32_t port = words[i] >> 8, type = words[i] & 0xFF, untagged = words[i + 1];
        if (port >= 32 || port >= sw.Settings.Model.PortNum + sw.Settings.Model.TrunkGroupNum || type > vlHybrid)
            return false;
        const uint32_t bit = 1u << port;
        for (auto &v : vlans) {
            v.untaggedPorts &= ~bit;
            v.taggedPorts &= ~bit;
        }
        vlan(0).untaggedPorts |= type == vlHybrid ? bit : 0;
        if (type != vl8021q)
            vlan(untagged).untaggedPorts |= bit;
        for (i += 2; i < words.size() && words[i] != 0; ++i)
            vlan(words[i]).taggedPorts |= bit;
        ++i;
    }
    std::erase_if(vlans, [](const auto &v) { return v.vid != 0 && !v.untaggedPorts && !v.taggedPorts; });
    return true;
}

template <class C> bool AllBelow(const C &values, uint32_t limit)
{
    return std::all_of(values.begin(), values.end(), [limit](auto v) { return uint32_t(v) < limit; });
}

// QoS of both generations, IGMP snooping (two groups learnt on each
// generation's table) and LLDP; a Set with a value out of range is refused.
void AddQosFeatures(THandlerTable &table)
{
    using namespace Intp;
    AddFeature<TSessionQosGet, TSessionQosSet>(table, {.Accept = [](const TPropertyQos &r) {
        return r.policy < QosPolicyCount && r.priorityType < QosPriorityTypeCount;
    }});
    AddFeature<TSessionQosPortGet, TSessionQosPortSet>(
        table, {.Accept = [](const TPropertyQosPort &r) { return AllBelow(r.queues, QosQueueCount); }});
    AddFeature<TSessionQosCosGet, TSessionQosCosSet>(table, {.Accept = [](const TPropertyQosCos &r) {
        return AllBelow(r.cosMap, QosQueueCount) && AllBelow(r.portDefault, QosPriorityCount);
    }});
    AddFeature<TSessionQosTosGet, TSessionQosTosSet>(
        table, {.Accept = [](const TPropertyQosTos &r) { return AllBelow(r.tosMap, QosQueueCount); }});
    AddFeature<TSessionQos2Get, TSessionQos2Set>(
        table, {.Accept = [](const TPropertyQos2 &r) { return r.mode < Qos2ModeCount; }});
    AddFeature<TSessionQos2CosGet, TSessionQos2CosSet>(
        table, {.Accept = [](const TPropertyQos2Cos &r) { return AllBelow(r.priorityMap, QosQueueCount); }});
    AddFeature<TSessionQos2PortGet, TSessionQos2PortSet>(table, {.Accept = [](const TPropertyQos2Port &r) {
        return AllBelow(r.priorities, Qos2PortPriorityMax + 1);
    }});
    AddFeature<TSessionQos2TosGet, TSessionQos2TosSet>(
        table, {.Accept = [](const TPropertyQos2Tos &r) { return AllBelow(r.dscpMap, QosPriorityCount); }});

    AddFeature<TSessionIgmpGet, TSessionIgmpSet>(
        table, {.Accept = [](const TPropertyIgmp &r) { return r.queryMode < IgmpQueryModeCount; }});
    AddFeature<TSessionIgmp2Get, TSessionIgmp2Set>(table, {
        .Initial = [](const TSwitchSettings &) { return TPropertyIgmp2{false, false, 0, 10, 2}; },
        // Any count is kept, as the switch answers any.
        .Accept = [](const TPropertyIgmp2 &r) { return r.queryMode < IgmpQueryModeCount; },
    });
    const std::vector<TPropertyIgmpTableEntry> groups{{0x5, 0xEF00000A, 1}, {0x2, 0xE0010101, 2}};
    AddTable<TSessionIgmpTable>(table, {}, {.Initial = [groups](const TSwitchSettings &) { return groups; }});
    AddTable<TSessionIgmp2Table>(table, {}, {.Initial = [groups](const TSwitchSettings &) { return groups; }});
    AddFeature<TSessionLldpGet, TSessionLldpSet>(
        table, {.Initial = [](const TSwitchSettings &) { return TPropertyLldp{false, true, LldpDefaultInterval}; }});
}

// The MAC table of a new switch: addresses spread over the ports and trunk
// groups, every eighth one static.
std::vector<Intp::TPropertyMonitorMacEntry> MacTable(const TSwitchSettings &settings)
{
    const uint32_t ports = std::max(1u, settings.Model.PortNum + settings.Model.TrunkGroupNum);
    std::vector<Intp::TPropertyMonitorMacEntry> entries(settings.MacTableEntries);
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i] = {uint32_t(i % ports), Intp::TMacAddr(0x02, 0x5E, 0x10, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)),
                      i % 8 == 0};
    return entries;
}

std::vector<Intp::TPropertyMonitorEventEntry> EventLog(const TSwitchSettings &)
{
    std::vector<Intp::TPropertyMonitorEventEntry> entries;
    for (int i = 1; i <= 12; ++i)
        entries.push_back({"2026-12-07 08:" + std::to_string(10 + i), "Port " + std::to_string(i) + " link up"});
    return entries;
}

// Counters of a new switch: distinct per port and counter.
template <class R> R Counters(const TSwitchSettings &settings)
{
    return IntpTest::PerPort<R>(settings.Model, [](size_t i, auto &e) {
        TBytes bytes(R::EntryFields.FixedSize(Intp::TMessage::Get));
        for (size_t k = 0; k + 3 < bytes.size(); k += 4)
            bytes[k + 3] = uint8_t(i * 16 + k / 4 + 1);
        e = Intp::DecodeEntries<std::decay_t<decltype(e)>>(R::EntryFields, bytes.data(), bytes.size()).at(0);
    });
}

// A Clear that resets every counter of a per-port record.
template <class TGet> TReply ClearCounters(TSwitch &sw, const TRequest &)
{
    auto r = RecordOf<TGet>(sw);
    for (auto &e : r.entries)
        e = {};
    SetRecord<TGet>(sw.Running, r);
    return Ok();
}

// The port counter Clear names one port, little-endian; both halves of its
// counters are reset.
TReply ClearPortCounters(TSwitch &sw, const TRequest &request)
{
    using namespace Intp;
    const uint32_t port = DecodePayload<TSessionMonitorPortCounterClear>(request.Payload, request.PayloadSize).port;
    auto first = RecordOf<TSessionMonitorPortCounterGet>(sw);
    auto second = RecordOf<TSessionMonitorPortCounter2Get>(sw);
    if (port >= first.entries.size() || port >= second.entries.size())
        return Refused();
    first.entries[port] = {};
    second.entries[port] = {};
    SetRecord<TSessionMonitorPortCounterGet>(sw.Running, first);
    SetRecord<TSessionMonitorPortCounter2Get>(sw.Running, second);
    return Ok();
}

void AddMonitor(THandlerTable &table)
{
    using namespace Intp;
    auto set = [](THandler h, size_t requestSize) { return THandlerEntry{std::move(h), true, 4, requestSize}; };
    AddTable<TSessionMonitorMacGet>(table, {.Clear = ccMonitorMacClear}, {.Initial = MacTable});
    AddTable<TSessionMonitorEventGet>(table, {.Clear = ccMonitorEventClear}, {.Initial = EventLog});
    AddFeature<TSessionMonitorPortGet>(table, {.Initial = Counters<TPropertyMonitorPort>});
    table[ccMonitorPortClear] = set(ClearCounters<TSessionMonitorPortGet>, 4);
    AddFeature<TSessionMonitorPortCounterGet>(table, {.Initial = Counters<TPropertyMonitorPortCounter>});
    AddFeature<TSessionMonitorPortCounter2Get>(table, {.Initial = Counters<TPropertyMonitorPortCounter2>});
    table[ccMonitorPortCounterClear] = set(ClearPortCounters, 2);
    // Mirroring of both generations: each has codes of its own.
    AddFeature<TSessionMonitorMirrorGet, TSessionMonitorMirrorSet>(table);
    AddFeature<TSessionMonitorMirror2Get, TSessionMonitorMirror2Set>(table);
}

// 802.1X, IP security and MAC aging.
void AddSecurityA(THandlerTable &table)
{
    using namespace Intp;
    AddFeature<TSessionSecurity8021xGet, TSessionSecurity8021xSet>(table);
    AddFeature<TSessionSecurity8021xPortGet, TSessionSecurity8021xPortSet>(table);
    AddFeature<TSessionSecurityIpGet, TSessionSecurityIpSet>(table);
    AddFeature<TSessionSecurityMacAgingGet, TSessionSecurityMacAgingSet>(table);
}

} // namespace

THandlerTable StandardHandlers()
{
    // Reads take 4 zero bytes; commands that need a login answer 4 bytes unless stated.
    auto get = [](THandler h, size_t replySize, size_t requestSize = 4) {
        return THandlerEntry{std::move(h), false, replySize, requestSize};
    };
    auto set = [](THandler h, size_t requestSize) { return THandlerEntry{std::move(h), true, 4, requestSize}; };
    auto script = std::make_shared<TTransferScript>();
    THandlerTable table{
        {0, get(Find, 8)},
        {2, get(Login, 4, 16)},
        {6, get(Ping, 12)},
        {7, get(Sip, 4)},
        {256, UploadHandler(script)},
        {257, BackupHandler()},
        {258, UploadHandler(script)},
        {259, set(Reboot, 4)},
        {260, get(SettingsGet, 1289)},
        {261, set(SettingsSet, 1024)},
        {262, get(IpConfGet, 21)},
        {263, get(IpConfSet, 4, 37)},
        {264, set(Save, 4)},
        {265, set(Tftp, 38)},
        {266, set(Tftp, 38)},
        {267, set(Tftp, 38)},
        {268, set(Password, 32)},
        {271, set(Default, 4)},
    };
    using namespace Intp;
    AddFeature<TSessionBasicsSntpGet, TSessionBasicsSntpSet>(table, {
        // A Set keeps the clock the switch holds; a switch whose clock was
        // never set answers the host's.
        .Edit = [](TPropertyBasicsSntp &stored, const TPropertyBasicsSntp &sent) {
            const uint32_t clock = stored.CurrentTime;
            stored = sent;
            stored.CurrentTime = clock;
        },
        .Live = [](TPropertyBasicsSntp &r) { r.CurrentTime = r.CurrentTime ? r.CurrentTime : uint32_t(time(nullptr)); },
    });
    AddFeature<TSessionBasicsAutoProvisionGet, TSessionBasicsAutoProvisionSet>(table);
    AddFeature<TSessionWarningFaultGet, TSessionWarningFaultSet>(table);
    // It takes back each mode its Get reports (4 too), none above.
    AddFeature<TSessionWarningSyslogGet, TSessionWarningSyslogSet>(table, {
        .Accept = [](const TPropertyWarningSyslog &r) { return r.mode <= 4; },
    });
    AddFeature<TSessionWarningSmtpGet, TSessionWarningSmtpSet>(table);
    AddFeature<TSessionWarningEventGet, TSessionWarningEventSet>(table);
    AddFeature<TSessionBasicsDhcpGet, TSessionBasicsDhcpSet>(table);
    AddTable<TSessionBasicsDhcpEntry>(table, {});
    AddFeature<TSessionBasicsDhcpPortIpGet, TSessionBasicsDhcpPortIpSet>(table);
    AddFeature<TSessionAdvConBSFGet, TSessionAdvConBSFSet>(table);
    AddFeature<TSessionAgingTimeGet, TSessionAgingTimeSet>(table);
    AddFeature<TSessionJumboFrameGet, TSessionJumboFrameSet>(table);
    AddFeature<TSessionPortNameGet>(table, {.Initial = PortNames});
    AddFeature<TSessionPortConfigGet, TSessionPortConfigSet>(table, {.Initial = PortConfig, .Edit = EditPortConfig});
    AddFeature<TSessionPortStatusGet>(table, {.Initial = PortStatus});
    AddFeature<TSessionPortLimitGet, TSessionPortLimitSet>(table);
    AddFeature<TSessionPortLimit2Get, TSessionPortLimit2Set>(table);
    AddTrunks(table);
    AddTable<TSessionSecurityMacGet>(table, {.Add = ccSecurityMacAdd, .Del = ccSecurityMacDel});
    // Port security entries are known by their address, multicast filters by group and VLAN.
    AddTable<TSessionSecurityPortGet>(table, {.Add = ccSecurityPortAdd, .Del = ccSecurityPortDel, .KeyOffset = 1});
    AddTable<TSessionSecurityMultiFilterGet>(
        table, {.Add = ccSecurityMultiFilterAdd, .Del = ccSecurityMultiFilterDel, .KeyOffset = 4});
    // MAC filter and static MAC entries are named by the whole entry, an
    // access rule by its group id.
    AddTable<TSessionSecurityMac2FilterGet>(table, {.Add = ccSecurityMac2FilterAdd, .Del = ccSecurityMac2FilterDel});
    AddTable<TSessionSecurityMac2StaticGet>(
        table, {.Add = ccSecurityMac2StaticAdd, .Del = ccSecurityMac2StaticDel},
        {.Accept = [](const TPropertySecurityMac2StaticEntry &e) { return e.vlanId >= 1 && e.vlanId <= 4094; }});
    AddTable<TSessionSecurityAclGet>(table, {.Add = ccSecurityAclAdd, .Del = ccSecurityAclDel, .KeySize = 1},
                                     {.Accept = [](const TPropertySecurityAclEntry &e) { return e.groupId != 0; }});
    AddMonitor(table);
    AddFeature<TSessionVlanGet, TSessionVlanSet>(table, {.Accept = [](const TPropertyVlan &r) { return r.mode <= 2; }});
    AddFeature<TSessionVlan8021qGet, TSessionVlan8021qSet>(table);
    AddTable<TSessionVlanPortGet>(
        table, {.Add = ccVlanPortAdd, .Edit = ccVlanPortEdit, .Del = ccVlanPortDel, .KeySize = 2},
        {.Accept = [](const TPropertyVlanPortEntry &e) { return TPropertyVlanPort::CheckGroup(e) == ssOk; }});
    AddTable<TSessionVlan8021qPortGet>(table, {}, {.Initial = Vlans8021q});
    AddTableSet<TSessionVlan8021qPortGet, TSessionVlan8021qPortSet>(table, EditVlans8021q);
    AddRedundancy(table);
    AddSnmp(table);
    AddQosFeatures(table);
    AddSecurityA(table);
    return table;
}

} // namespace FakeSwitch
