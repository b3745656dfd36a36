// The command handlers of the simulated switches, one per command code.
#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/fakeswitch/FakeSwitchTransfer.h"

namespace FakeSwitch {
namespace {

constexpr size_t TextWidth = 256;
constexpr size_t SmtpTextWidth = 64;

TReply Ok(TBytes payload = TBytes(4, 0))
{
    return {StatusOk, std::move(payload), {}};
}

TReply Refused()
{
    return {StatusRefused, {}, {}};
}

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

TReply SntpGet(TSwitch &sw, const TRequest &)
{
    const TConfig &c = sw.Running;
    auto now = uint32_t(std::chrono::duration_cast<std::chrono::seconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count());
    return Ok(TWriter()
                  .U8(c.SntpEnabled)
                  .U16(c.TimeZone)
                  .U32(c.SntpServer)
                  .U32(now)
                  .U8(c.Daylight)
                  .U32(c.DaylightBegin)
                  .U32(c.DaylightEnd)
                  .U32(c.DaylightOffset)
                  .Take());
}

TReply SntpSet(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    TConfig c = sw.Running;
    c.SntpEnabled = r.U8() != 0;
    c.TimeZone = r.U16();
    c.SntpServer = r.U32();
    c.Daylight = r.U8() != 0;
    c.DaylightBegin = r.U32();
    c.DaylightEnd = r.U32();
    c.DaylightOffset = r.U32();
    if (r.Overrun() || c.TimeZone >= 63)
        return Refused();
    sw.Running = c;
    return Ok();
}

TReply ProvisionGet(TSwitch &sw, const TRequest &)
{
    const TConfig &c = sw.Running;
    TWriter w;
    w.U8(c.ProvisionConfig).U32(c.ProvisionConfigIp).Text(c.ProvisionConfigFile, TextWidth);
    w.U8(c.ProvisionFirmware).U32(c.ProvisionFirmwareIp).Text(c.ProvisionFirmwareFile, TextWidth);
    return Ok(w.Take());
}

TReply ProvisionSet(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    TConfig c = sw.Running;
    c.ProvisionConfig = r.U8() != 0;
    c.ProvisionConfigIp = r.U32();
    c.ProvisionConfigFile = r.Text(TextWidth);
    c.ProvisionFirmware = r.U8() != 0;
    c.ProvisionFirmwareIp = r.U32();
    c.ProvisionFirmwareFile = r.Text(TextWidth);
    if (r.Overrun())
        return Refused();
    sw.Running = c;
    return Ok();
}

TReply FaultGet(TSwitch &sw, const TRequest &)
{
    return Ok(TWriter().U32(sw.Running.FaultSystemMask).U32(sw.Running.FaultPortMask).Take());
}

TReply FaultSet(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    uint32_t system = r.U32(), ports = r.U32();
    if (r.Overrun())
        return Refused();
    sw.Running.FaultSystemMask = system;
    sw.Running.FaultPortMask = ports;
    return Ok();
}

TReply SyslogGet(TSwitch &sw, const TRequest &)
{
    return Ok(TWriter().U8(sw.Running.SyslogMode).U32(sw.Running.SyslogServer).Take());
}

TReply SyslogSet(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    uint8_t mode = r.U8();
    uint32_t server = r.U32();
    if (r.Overrun() || mode > 3)
        return Refused();
    sw.Running.SyslogMode = mode;
    sw.Running.SyslogServer = server;
    return Ok();
}

TReply SmtpGet(TSwitch &sw, const TRequest &)
{
    const TConfig &c = sw.Running;
    TWriter w;
    w.U8(c.SmtpEnabled).U32(c.SmtpServer);
    w.Text(c.SmtpSender, SmtpTextWidth).Text(c.SmtpSubject, SmtpTextWidth).Text(c.SmtpAccount, SmtpTextWidth);
    for (const auto &recipient : c.SmtpRecipients)
        w.Text(recipient, SmtpTextWidth);
    return Ok(w.Take());
}

TReply SmtpSet(TSwitch &sw, const TRequest &request)
{
    size_t n = sw.Settings.SmtpRecipientNum;
    if (n == 0 || request.PayloadSize != 229 + SmtpTextWidth * n)
        return Refused();
    TReader r = Payload(request);
    TConfig c = sw.Running;
    c.SmtpEnabled = r.U8() != 0;
    c.SmtpServer = r.U32();
    c.SmtpSender = r.Text(SmtpTextWidth);
    c.SmtpSubject = r.Text(SmtpTextWidth);
    c.SmtpAccount = r.Text(SmtpTextWidth);
    c.SmtpPassword = r.Text(32);
    for (auto &recipient : c.SmtpRecipients)
        recipient = r.Text(SmtpTextWidth);
    sw.Running = c;
    return Ok();
}

TReply EventGet(TSwitch &sw, const TRequest &)
{
    TWriter w;
    for (uint32_t mask : sw.Running.EventMasks)
        w.U32(mask);
    return Ok(w.Take());
}

TReply EventSet(TSwitch &sw, const TRequest &request)
{
    TReader r = Payload(request);
    std::array<uint32_t, 6> masks;
    for (auto &mask : masks)
        mask = r.U32();
    if (r.Overrun())
        return Refused();
    sw.Running.EventMasks = masks;
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

} // namespace

THandlerTable StandardHandlers()
{
    // Reads take 4 zero bytes; commands that need a login answer 4 bytes unless stated.
    auto get = [](THandler h, size_t replySize, size_t requestSize = 4) {
        return THandlerEntry{std::move(h), false, replySize, requestSize};
    };
    auto set = [](THandler h, size_t requestSize) { return THandlerEntry{std::move(h), true, 4, requestSize}; };
    auto script = std::make_shared<TTransferScript>();
    return {
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
        {269, get(SntpGet, 24)},
        {270, set(SntpSet, 20)},
        {271, set(Default, 4)},
        {278, get(ProvisionGet, 522)},
        {279, set(ProvisionSet, 522)},
        {2304, get(FaultGet, 8)},
        {2305, set(FaultSet, 8)},
        {2306, get(SyslogGet, 5)},
        {2307, set(SyslogSet, 5)},
        {2308, get(SmtpGet, 197)},
        {2309, set(SmtpSet, AnySize)}, // 229 + 64 per recipient, checked by the handler
        {2310, get(EventGet, 24)},
        {2311, set(EventSet, 24)},
    };
}

} // namespace FakeSwitch
