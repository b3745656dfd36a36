// The command handlers of the simulated switches: hand-written for the
// commands with behaviour of their own, declared for the features and tables
// that only keep what they are given.
#include "intp/Advanced.h"
#include "intp/Dhcp.h"
#include "intp/Ports.h"
#include "intp/SecurityTables.h"
#include "intp/SystemSettings.h"
#include "intp/Warning.h"
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

TReply SettingsGet(TSwitch &sw, const TRequest &request)
{
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
        .Accept = [](const TPropertyBasicsSntp &r) { return r.TimeZone < 63; },
        .Live = [](TPropertyBasicsSntp &r) { r.CurrentTime = uint32_t(time(nullptr)); },
    });
    AddFeature<TSessionBasicsAutoProvisionGet, TSessionBasicsAutoProvisionSet>(table);
    AddFeature<TSessionWarningFaultGet, TSessionWarningFaultSet>(table);
    AddFeature<TSessionWarningSyslogGet, TSessionWarningSyslogSet>(table, {
        .Accept = [](const TPropertyWarningSyslog &r) { return r.mode <= 3; },
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
    AddTable<TSessionSecurityMacGet>(table, {.Add = ccSecurityMacAdd, .Del = ccSecurityMacDel});
    return table;
}

} // namespace FakeSwitch
