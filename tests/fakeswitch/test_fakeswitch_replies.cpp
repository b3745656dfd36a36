// Golden bytes of the fake switch's replies over loopback.
#include "intp/Families.h"
#include "tests/fakeswitch/Features.h"
#include "tests/fakeswitch/FleetFixture.h"

using namespace FakeSwitch;

namespace {

const TBytes MacBytes{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};

TBytes Frame(std::initializer_list<uint8_t> header, const TBytes &payload)
{
    TBytes out(header);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

class FakeSwitchReplies : public TFleetTest {
protected:
    void SetUp() override { StartFleet(1); }
};

TEST(FakeSwitchWire, ProductIdIsFirstFourDigestBytesLittleEndian)
{
    // MD5("abc") = 90 01 50 98 3c d2 ...
    EXPECT_EQ(ProductId("abc"), 0x98500190u);
    // MD5("") = d4 1d 8c d9 8f 00 ...
    EXPECT_EQ(ProductId(""), 0xD98C1DD4u);
}

TEST(FakeSwitchWire, LoginDigestPadsNameAndPasswordToSixteenBytes)
{
    auto d = LoginDigest("admin", "admin");
    TBytes expected{0x91, 0xd4, 0xd3, 0x08, 0x0d, 0xd7, 0x85, 0x93,
                    0xc6, 0x89, 0x96, 0x41, 0x28, 0x0f, 0xbb, 0x10};
    EXPECT_EQ(TBytes(d.begin(), d.end()), expected);
    EXPECT_EQ(LoginDigest("admin", "admin"), LoginDigest("admin", std::string("admin") + '\0'));
    EXPECT_EQ(LoginDigest(std::string(20, 'u'), "p"), LoginDigest(std::string(16, 'u'), "p"));
}

TEST(FakeSwitchWire, ReaderNeverReadsPastTheEnd)
{
    uint8_t data[3] = {1, 2, 3};
    TReader r(data, sizeof data);
    EXPECT_EQ(r.U16(), 0x0102);
    EXPECT_EQ(r.U32(), 0x03000000u);
    EXPECT_TRUE(r.Overrun());
    EXPECT_EQ(r.Text(8), "");
}

TEST_F(FakeSwitchReplies, FindReplyCarriesTheProductIdBigEndian)
{
    ASSERT_TRUE(m_Client.Send(FirstSwitchIp, m_Fleet.Port(), 0, TMac{}));
    auto reply = m_Client.Receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->Source, FirstSwitchIp);
    EXPECT_EQ(reply->Bytes, Frame({0, 0, 0, 0, 0, 8, 2, 0, 0, 0, 0, 1}, {0x98, 0x50, 0x01, 0x90, 0, 0, 0, 0}));
}

TEST_F(FakeSwitchReplies, LoginIsAcceptedOnlyWithTheRightDigest)
{
    EXPECT_EQ(Exchange(0, 2, LoginPayload("admin", "nimda")),
              Frame({0, 2, 0, 1, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 0, 0, 0}));
    EXPECT_FALSE(m_Fleet.IsLoggedIn(0, ClientIp));
    EXPECT_EQ(Exchange(0, 2, LoginPayload("admin", "admin")), Frame({0, 2, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 0, 0, 0}));
    EXPECT_TRUE(m_Fleet.IsLoggedIn(0, ClientIp));
}

TEST_F(FakeSwitchReplies, PingIntpSipAndIpConfigurationRepliesHaveTheirLayouts)
{
    m_Fleet.SetPing(0, 0x2, 0x80000001, 0x0000FF0F);
    EXPECT_EQ(Exchange(0, 6), Frame({0, 6, 0, 0, 0, 12, 2, 0, 0, 0, 0, 1},
                                    {0, 0, 0, 2, 0x80, 0, 0, 1, 0, 0, 0xFF, 0x0F}));
    // Enabled, warning, value.
    m_Fleet.SetSip(0, true, true, 0x1234);
    EXPECT_EQ(Exchange(0, 7), Frame({0, 7, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {1, 1, 0x12, 0x34}));
    EXPECT_EQ(Exchange(0, 262), Frame({0x01, 0x06, 0, 0, 0, 21, 2, 0, 0, 0, 0, 1},
                                      {0, 127, 0, 0, 2, 255, 0, 0, 0, 127, 0, 0, 254, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(FakeSwitchReplies, SettingsReplyLaysOutVersionsLoginByteAndTexts)
{
    TBytes reply = Exchange(0, 260);
    ASSERT_EQ(reply.size(), 12u + 1289u);
    EXPECT_EQ(TBytes(reply.begin(), reply.begin() + 12), Frame({0x01, 0x04, 0, 0, 0x05, 0x09}, MacBytes));
    EXPECT_EQ(TBytes(reply.begin() + 12, reply.begin() + 21), (TBytes{0x01, 0x02, 0x02, 0x03, 1, 0, 1, 0, 0}));
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&reply[12 + 9])), "Switch-1");
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&reply[12 + 265])), "Managed Ethernet Switch");
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&reply[12 + 1033])), "99999.1.1");

    Exchange(0, 2, LoginPayload("admin", "admin"));
    EXPECT_EQ(Exchange(0, 260).at(12 + 8), 1);
}

TEST_F(FakeSwitchReplies, SetWithoutLoginAnswersStatusThree)
{
    EXPECT_EQ(Exchange(0, 261, TBytes(1024, 0)), Frame({0x01, 0x05, 0, 3, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 0, 0, 0}));
}

TEST_F(FakeSwitchReplies, ErrorReplyOfAGetHasTheFullPayloadSize)
{
    m_Fleet.SetFault(0, 262, {TFaultKind::Status, 0x0042});
    TBytes reply = Exchange(0, 262);
    ASSERT_EQ(reply.size(), 12u + 21u);
    EXPECT_EQ(StatusOf(reply), 0x0042);
}

TEST_F(FakeSwitchReplies, SntpSetIsReadBack)
{
    Exchange(0, 2, LoginPayload("admin", "admin"));
    TBytes set = TWriter().U8(1).U16(62).U32(0x7F000009).U8(1).U32(100).U32(200).U32(60).Take();
    EXPECT_EQ(StatusOf(Exchange(0, 270, set)), 0);
    TBytes reply = Exchange(0, 269);
    ASSERT_EQ(reply.size(), 12u + 24u);
    TBytes withoutTime(reply.begin() + 12, reply.begin() + 19);
    withoutTime.insert(withoutTime.end(), reply.begin() + 23, reply.end());
    EXPECT_EQ(withoutTime, set);
}

TEST_F(FakeSwitchReplies, AutoProvisionSetPayloadEqualsTheGetPayload)
{
    Exchange(0, 2, LoginPayload("admin", "admin"));
    TBytes set = TWriter().U8(1).U32(0x7F000005).Text("cfg.bin", 256).U8(0).U32(0x7F000006).Text(std::string(256, 'f'), 256).Take();
    EXPECT_EQ(StatusOf(Exchange(0, 279, set)), 0);
    TBytes reply = Exchange(0, 278);
    EXPECT_EQ(TBytes(reply.begin() + 12, reply.end()), set);
}

TEST_F(FakeSwitchReplies, WarningFeaturesAreReadBack)
{
    Exchange(0, 2, LoginPayload("admin", "admin"));
    TBytes fault = TWriter().U32(0x5).U32(0x80000001).Take();
    TBytes syslog = TWriter().U8(3).U32(0x7F000001).Take();
    TBytes events = TWriter().U32(1).U32(2).U32(3).U32(4).U32(5).U32(6).Take();
    TWriter smtp;
    smtp.U8(1).U32(0x7F000007).Text("from@x", 64).Text("alarm", 64).Text("acct", 64).Text("secret", 32);
    smtp.Text("a@x", 64).Text("b@x", 64);
    for (auto [code, payload] : {std::pair{2305, fault}, {2307, syslog}, {2311, events}, {2309, smtp.Data()}})
        EXPECT_EQ(StatusOf(Exchange(0, uint16_t(code), payload)), 0) << code;

    auto payloadOf = [&](uint16_t code) {
        TBytes r = Exchange(0, code);
        return r.size() >= 12 ? TBytes(r.begin() + 12, r.end()) : TBytes{};
    };
    EXPECT_EQ(payloadOf(2304), fault);
    EXPECT_EQ(payloadOf(2306), syslog);
    EXPECT_EQ(payloadOf(2310), events);
    TWriter expected;
    expected.U8(1).U32(0x7F000007).Text("from@x", 64).Text("alarm", 64).Text("acct", 64).Text("a@x", 64).Text("b@x", 64);
    EXPECT_EQ(payloadOf(2308), expected.Data());
}

TEST_F(FakeSwitchReplies, SmtpSetWithAnotherRecipientCountIsRefused)
{
    Exchange(0, 2, LoginPayload("admin", "admin"));
    EXPECT_EQ(StatusOf(Exchange(0, 2309, TBytes(229 + 64 * 3, 0))), StatusRefused);
}

TEST_F(FakeSwitchReplies, RingAndRstpExcludeEachOtherAndTheStateFollows)
{
    using namespace Intp;
    Exchange(0, 2, LoginPayload("admin", "admin"));
    TPropertyRedundancyRstp rstp = RecordOf<TSessionRedundancyRstpGet>(m_Fleet.Snapshot(0));
    ASSERT_TRUE(rstp.enabled);
    TPropertyRedundancyRing ring{};
    ring.ringEnabled = true;
    ring.secondPort = 1;
    EXPECT_EQ(StatusOf(Exchange(0, ccRedundancyRingSet, EncodeRecord(ring))), 0);
    auto sw = m_Fleet.Snapshot(0);
    EXPECT_FALSE(RecordOf<TSessionRedundancyRstpGet>(sw).enabled);
    EXPECT_FALSE(RecordOf<TSessionRedundancyRstpInfoGet>(sw).enabled);
    EXPECT_TRUE(RecordOf<TSessionRedundancyRing2Get>(sw).ringEnabled);
    EXPECT_EQ(RecordOf<TSessionRedundancyGet>(sw).mode, uint32_t(rmRing));

    EXPECT_EQ(StatusOf(Exchange(0, ccRedundancyRstpSet, EncodeRecord(rstp))), 0);
    sw = m_Fleet.Snapshot(0);
    EXPECT_FALSE(RecordOf<TSessionRedundancyRingGet>(sw).ringEnabled);
    EXPECT_EQ(RecordOf<TSessionRedundancyRstpInfoGet>(sw).ports.size(), rstp.ports.size());
    EXPECT_EQ(RecordOf<TSessionRedundancyGet>(sw).mode, uint32_t(rmRstp));
    rstp.ports.pop_back();
    EXPECT_EQ(StatusOf(Exchange(0, ccRedundancyRstpSet, EncodeRecord(rstp))), StatusRefused);
}

class FakeSwitchTransfers : public FakeSwitchReplies {
protected:
    void SetUp() override
    {
        FakeSwitchReplies::SetUp();
        Exchange(0, 2, LoginPayload("admin", "admin"));
    }
};

TEST_F(FakeSwitchTransfers, BackupSendsWholeBlocksAndMarksTheLast)
{
    TBytes file(700);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = uint8_t(i);
    m_Fleet.Edit(0, [&](TSwitch &sw) { sw.BackupFile = file; });

    TBytes first = Exchange(0, 257, {0, 0});
    ASSERT_EQ(first.size(), 12u + 514u);
    EXPECT_EQ(TBytes(first.begin(), first.begin() + 14), Frame({0x01, 0x01, 0, 0, 0x02, 0x02, 2, 0, 0, 0, 0, 1}, {0, 0}));
    EXPECT_EQ(TBytes(first.begin() + 14, first.end()), TBytes(file.begin(), file.begin() + 512));

    TBytes last = Exchange(0, 257, {0, 1});
    ASSERT_EQ(last.size(), 12u + 514u);
    EXPECT_EQ(last[12], 0xFF);
    EXPECT_EQ(last[13], 0xFF);
    TBytes tail(file.begin() + 512, file.end());
    tail.resize(512, 0);
    EXPECT_EQ(TBytes(last.begin() + 14, last.end()), tail);
}

TEST_F(FakeSwitchTransfers, UploadAcknowledgesBlocksInOrderThenWritesFlash)
{
    m_Fleet.Edit(0, [](TSwitch &sw) { sw.UploadBlocks = 2; });
    auto block = [](uint16_t n, uint8_t fill) {
        TBytes b = TWriter().U16(n).Take();
        b.resize(514, fill);
        return b;
    };
    EXPECT_EQ(Exchange(0, 256, block(0, 0xAA)), Frame({1, 0, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 0, 0, 0}));
    EXPECT_EQ(Exchange(0, 256, block(5, 0xCC)), Frame({1, 0, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 1, 0, 3}));
    EXPECT_EQ(Exchange(0, 256, block(1, 0xBB)), Frame({1, 0, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 1, 0, 1}));
    EXPECT_EQ(Next(), Frame({1, 0, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 1, 0, 2}));

    TBytes expected(512, 0xAA);
    expected.resize(1024, 0xBB);
    EXPECT_EQ(m_Fleet.Snapshot(0).Uploads[256], expected);
}

TEST_F(FakeSwitchTransfers, TftpUpgradeReportsTransferringWritingFlashAndDone)
{
    TBytes request = TWriter().U32(0x7F000009).U16(69).Text(std::string(32, 'f'), 32).Take();
    EXPECT_EQ(Exchange(0, 267, request), Frame({1, 0x0B, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 0, 0, 0}));
    EXPECT_EQ(Next(), Frame({1, 0x0B, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 0, 0, 1}));
    EXPECT_EQ(Next(), Frame({1, 0x0B, 0, 0, 0, 4, 2, 0, 0, 0, 0, 1}, {0, 0, 0, 2}));
    TSwitch sw = m_Fleet.Snapshot(0);
    EXPECT_EQ(sw.TftpServer, 0x7F000009u);
    EXPECT_EQ(sw.TftpPort, 69);
    EXPECT_EQ(sw.TftpFile, std::string(32, 'f'));
}

TEST_F(FakeSwitchTransfers, TftpBackupEndsWithTheConfiguredState)
{
    m_Fleet.Edit(0, [](TSwitch &sw) { sw.TftpFinalState = 7; });
    TBytes request = TWriter().U32(0x7F000009).U16(69).Text("cfg", 32).Take();
    EXPECT_EQ(Exchange(0, 265, request).back(), 0);
    EXPECT_EQ(Next().back(), 7);
}

} // namespace

TEST_F(FakeSwitchReplies, PortNamesFollowTheModelsCounts)
{
    TWriter names;
    for (const char *name : {"Port.01", "Port.02", "Port.03", "Port.04", "Port.05", "Port.06", "Port.07", "Port.08",
                             "Trunk1", "Trunk2"})
        names.Text(name, 8);
    TBytes reply = Exchange(0, 512);
    EXPECT_EQ(TBytes(reply.begin(), reply.begin() + 12), Frame({0x02, 0, 0, 0, 0, 80}, MacBytes));
    EXPECT_EQ(TBytes(reply.begin() + 12, reply.end()), names.Data());
}

TEST_F(FakeSwitchReplies, BlacklistAddsNewAddressesDeletesListedOnesAndPagesItsTable)
{
    Exchange(0, 2, LoginPayload("admin", "admin"));
    auto mac = [](uint32_t n) { return TWriter().U16(0x0200).U32(n).Take(); };
    for (uint32_t n = 0; n < 129; ++n)
        ASSERT_EQ(StatusOf(Exchange(0, 2054, mac(n))), StatusOk) << n;
    EXPECT_EQ(StatusOf(Exchange(0, 2054, mac(7))), StatusRefused) << "already listed";
    EXPECT_EQ(StatusOf(Exchange(0, 2055, mac(5))), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, 2055, mac(5))), StatusRefused) << "not listed";

    // 128 entries: one full page, then an empty one.
    TBytes first = Exchange(0, 2053), second = Next();
    ASSERT_EQ(first.size(), 12u + 4 + 128 * 6);
    EXPECT_EQ(second.size(), 12u + 4);
    EXPECT_EQ(TBytes(first.begin() + 16, first.begin() + 22), mac(0));
    auto table = TableOf<Intp::TSessionSecurityMacGet>(m_Fleet.Snapshot(0));
    ASSERT_EQ(table.size(), 128u);
    EXPECT_EQ(table[5], Intp::TMacAddr(0x02, 0, 0, 0, 0, 6));
}

TEST_F(FakeSwitchReplies, SmtpSetOfAnotherRecipientCountIsRefused)
{
    Exchange(0, 2, LoginPayload("admin", "admin"));
    EXPECT_EQ(StatusOf(Exchange(0, 2309, TBytes(229 + 64 * 3, 0))), StatusRefused);
    EXPECT_EQ(RecordOf<Intp::TSessionWarningSmtpGet>(m_Fleet.Snapshot(0)).recipients.size(), 2u);
}

TEST_F(FakeSwitchReplies, TableClearEmptiesTheTable)
{
    THandlerTable table;
    AddTable<Intp::TSessionSecurityMacGet>(table, {.Clear = 0x0A01});
    m_Fleet.SetHandler(0x0A01, table.at(0x0A01));
    Exchange(0, 2, LoginPayload("admin", "admin"));
    ASSERT_EQ(StatusOf(Exchange(0, 2054, TBytes{2, 0, 0, 0, 0, 1})), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, 0x0A01)), StatusOk);
    EXPECT_TRUE(TableOf<Intp::TSessionSecurityMacGet>(m_Fleet.Snapshot(0)).empty());
}

TEST_F(FakeSwitchReplies, SystemFeaturesKeepWhatTheirSetsWrote)
{
    Exchange(0, 2, LoginPayload("admin", "admin"));
    TBytes dhcp = TWriter().U8(1).U32(0x7F00000A).U32(0x7F000014).U32(0xFFFFFF00).U32(0x7F000001).U32(0).U32(600).Take();
    TBytes storm = TWriter().U8(1).U8(0).U8(1).U8(0).U8(3).Take();
    TBytes aging = TWriter().U8(9).U8(1).Take();
    TBytes jumbo = TWriter().U8(1).Take();
    TWriter bindings;
    for (uint32_t port = 0; port < 8; ++port)
        bindings.U32(port == 2 ? 0x7F000063 : 0);
    for (auto [code, payload] : {std::pair{273, dhcp}, {276, bindings.Data()}, {281, storm}, {283, aging}, {285, jumbo}})
        EXPECT_EQ(StatusOf(Exchange(0, uint16_t(code), payload)), 0) << code;
    // Bindings for another port count are refused.
    EXPECT_EQ(StatusOf(Exchange(0, 276, TBytes(4 * 7, 0))), StatusRefused);

    auto payloadOf = [&](uint16_t code) {
        TBytes r = Exchange(0, code);
        return r.size() >= 12 ? TBytes(r.begin() + 12, r.end()) : TBytes{};
    };
    EXPECT_EQ(payloadOf(272), dhcp);
    EXPECT_EQ(payloadOf(275), bindings.Data());
    EXPECT_EQ(payloadOf(280), storm);
    EXPECT_EQ(payloadOf(282), aging);
    EXPECT_EQ(payloadOf(284), jumbo);
    EXPECT_EQ(payloadOf(274), TBytes(4, 0)); // no clients: one empty page
}

TEST_F(FakeSwitchReplies, SnmpTablesKeepTheirEntriesInOneReply)
{
    using namespace Intp;
    Exchange(0, 2, LoginPayload("admin", "admin"));
    auto payloadOf = [&](uint16_t code) {
        TBytes r = Exchange(0, code);
        return r.size() >= 12 ? TBytes(r.begin() + 12, r.end()) : TBytes{};
    };
    const TBytes trap = EncodeEntries(TPropertySnmpTrap::EntryFields,
                                      std::vector<TPropertySnmpTrapEntry>{{0xC0A8010A, "pub", 1}});
    EXPECT_EQ(StatusOf(Exchange(0, ccSnmpTrapAdd, trap)), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, ccSnmpTrapAdd, trap)), StatusRefused) << "already listed";
    TBytes traps = TBytes(4, 0);
    traps.insert(traps.end(), trap.begin(), trap.end());
    EXPECT_EQ(payloadOf(ccSnmpTrapGet), traps);
    EXPECT_EQ(StatusOf(Exchange(0, ccSnmpTrapDel, TBytes{0xC0, 0xA8, 1, 10})), StatusOk);
    EXPECT_EQ(payloadOf(ccSnmpTrapGet), TBytes(4, 0));

    // A user keeps whether its passwords are set, not the passwords.
    TBytes user = EncodeRecord(TSnmpUserChange{"u", "secret-a", ""});
    EXPECT_EQ(StatusOf(Exchange(0, ccSnmpUserAdd, user)), StatusOk);
    EXPECT_EQ(payloadOf(ccSnmpUserGet),
              EncodeEntries(TPropertySnmpUser::EntryFields, std::vector<TPropertySnmpUserEntry>{{"u", true, false}}));

    // The group reply ends in a byte that belongs to no entry.
    const TBytes group = EncodeEntries(TPropertySnmpGroup::EntryFields, std::vector<TPropertySnmpGroupEntry>{{"s", "g"}});
    EXPECT_EQ(StatusOf(Exchange(0, ccSnmpGroupAdd, group)), StatusOk);
    EXPECT_EQ(payloadOf(ccSnmpGroupGet).size(), 67u);
    EXPECT_EQ(payloadOf(ccSnmpAccessGet), TBytes{0}); // empty, the smallest reply
}

TEST_F(FakeSwitchReplies, PortConfigurationAnswersEveryPortAndASetEditsThePortsItNames)
{
    using namespace Intp;
    Exchange(0, 2, LoginPayload("admin", "admin"));
    TBytes reply = Exchange(0, ccPortConfigGet);
    ASSERT_EQ(reply.size(), 12u + 4 + 10 * 6);
    EXPECT_EQ(TBytes(reply.begin() + 12 + 4 + 3 * 6, reply.begin() + 12 + 4 + 4 * 6), (TBytes{3, 1, 1, 0, 0, 0}));

    TPropertyPortConfig set;
    set.entries = {{3, 0, false, 5, 2, true}, {9, 0, true, 6, 1, false}};
    set.count = 2;
    EXPECT_EQ(StatusOf(Exchange(0, ccPortConfigSet, EncodeRecord(set))), StatusOk);
    TPropertyPortConfig stored = RecordOf<TSessionPortConfigGet>(m_Fleet.Snapshot(0));
    ASSERT_EQ(stored.entries.size(), 10u);
    const TPropertyPortConfigEntry &port = stored.entries[3], &trunk = stored.entries[9];
    EXPECT_EQ(port.mediaType, 1u); // the switch's own
    EXPECT_FALSE(port.enabled);
    EXPECT_EQ(port.speedDuplex, 5u);
    EXPECT_EQ(port.flowControl, 2u);
    EXPECT_TRUE(port.security);
    EXPECT_EQ(trunk.speedDuplex, 6u);
    EXPECT_EQ(stored.entries[2].speedDuplex, 0u);

    // More entries than ports and trunk groups, a port past them, part of an entry: refused, nothing changes.
    set.entries.assign(11, {0, 0, true, 0, 0, false});
    set.count = 11;
    set.entries[0].port = 10;
    for (size_t count : {11, 1}) {
        set.count = uint32_t(count);
        EXPECT_EQ(StatusOf(Exchange(0, ccPortConfigSet, EncodeRecord(set))), StatusRefused) << count;
    }
    EXPECT_EQ(StatusOf(Exchange(0, ccPortConfigSet, TBytes(4 + 5 + 2, 0))), StatusRefused);
    EXPECT_EQ(RecordOf<TSessionPortConfigGet>(m_Fleet.Snapshot(0)).entries[3].speedDuplex, 5u);
}

TEST_F(FakeSwitchReplies, TypedTablesAddEditAndDeleteByKeyAndSetsEditThemInPlace)
{
    using namespace Intp;
    Exchange(0, 2, LoginPayload("admin", "admin"));
    auto group = [](uint32_t vid, uint32_t ports, std::string name) {
        return EncodeEntries(TPropertyVlanPort::EntryFields, std::vector{TPropertyVlanPortEntry{vid, ports, name}});
    };
    EXPECT_EQ(StatusOf(Exchange(0, ccVlanPortAdd, group(10, 0x3, "ten"))), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, ccVlanPortAdd, group(20, 0x4, "twenty"))), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, ccVlanPortAdd, group(10, 0x8, "again"))), StatusRefused) << "a listed id";
    EXPECT_EQ(StatusOf(Exchange(0, ccVlanPortAdd, group(0, 0x8, "zero"))), StatusRefused) << "accept rule";
    EXPECT_EQ(StatusOf(Exchange(0, ccVlanPortEdit, group(10, 0xF0, "edited"))), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, ccVlanPortEdit, group(30, 0xF0, "none"))), StatusRefused) << "no such id";
    EXPECT_EQ(StatusOf(Exchange(0, ccVlanPortDel, TWriter().U16(20).Take())), StatusOk); // the key alone
    auto groups = TableOf<TSessionVlanPortGet>(m_Fleet.Snapshot(0));
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].ports, 0xF0u);
    EXPECT_EQ(groups[0].name, "edited");

    // The initial 802.1Q table, then a Set that makes port 2 a tagged member of VLAN 7.
    auto vlans = TableOf<TSessionVlan8021qPortGet>(m_Fleet.Snapshot(0));
    ASSERT_EQ(vlans.size(), 2u);
    EXPECT_EQ(vlans[1].untaggedPorts, 0x3FFu);
    EXPECT_EQ(StatusOf(Exchange(0, ccVlan8021qPortSet, TWriter().U16(0x0201).U16(1).U16(7).U16(0).Take())), StatusOk);
    vlans = TableOf<TSessionVlan8021qPortGet>(m_Fleet.Snapshot(0));
    ASSERT_EQ(vlans.size(), 3u);
    EXPECT_EQ(vlans[2].vid, 7u);
    EXPECT_EQ(vlans[2].taggedPorts, 0x4u);
    EXPECT_EQ(StatusOf(Exchange(0, ccVlan8021qPortSet, TWriter().U16(0x0201).U16(1).Take())), StatusRefused);
    EXPECT_EQ(TableOf<TSessionVlan8021qPortGet>(m_Fleet.Snapshot(0)).size(), 3u);
}

namespace {

// A 10-port switch of the first generation and a 26-port one of the second.
class FakeSwitchPortFamilies : public TFleetTest {
protected:
    void SetUp() override
    {
        StartFleet(2, [](TSwitchSettings &s) {
            const bool second = s.Mac == MacOf(1);
            s.Model.PortNum = second ? 26 : 10;
            s.Model.TrunkGroupNum = second ? 8 : 3;
            s.SecondGeneration = second;
        });
        for (size_t i : {0, 1})
            Exchange(i, 2, LoginPayload("admin", "admin"));
    }
    TBytes PayloadOf(const TBytes &reply) { return reply.size() > 12 ? TBytes(reply.begin() + 12, reply.end()) : TBytes{}; }
};

TEST_F(FakeSwitchPortFamilies, StatusAndLimitsAnswerOneEntryPerPortAndSetsAreKept)
{
    using namespace Intp;
    EXPECT_EQ(PayloadOf(Exchange(0, ccPortStatusGet)).size(), 50u);
    EXPECT_EQ(PayloadOf(Exchange(1, ccPortStatusGet)).size(), 130u);

    TPropertyPortLimit limits;
    limits.entries.assign(10, {2, 8192, 0});
    EXPECT_EQ(StatusOf(Exchange(0, ccPortLimitSet, EncodeRecord(limits))), StatusOk);
    EXPECT_EQ(PayloadOf(Exchange(0, ccPortLimitGet)), EncodeRecord(limits, TMessage::Get));
    limits.entries[0].frameType = 4;
    EXPECT_EQ(StatusOf(Exchange(0, ccPortLimitSet, EncodeRecord(limits))), StatusRefused);

    TPropertyPortLimit2 rates;
    rates.entries.assign(26, {0x0102, 7});
    EXPECT_EQ(StatusOf(Exchange(1, ccPortLimit2Set, EncodeRecord(rates))), StatusOk);
    TBytes reply = PayloadOf(Exchange(1, ccPortLimit2Get));
    ASSERT_EQ(reply.size(), 104u);
    EXPECT_EQ(TBytes(reply.begin(), reply.begin() + 4), (TBytes{2, 1, 7, 0}));
    rates.entries.pop_back();
    EXPECT_EQ(StatusOf(Exchange(1, ccPortLimit2Set, EncodeRecord(rates))), StatusRefused);
}

TEST_F(FakeSwitchPortFamilies, TrunksAnswerInTheSwitchsGenerationAndRefuseAPortInTwoGroups)
{
    using namespace Intp;
    EXPECT_EQ(PayloadOf(Exchange(0, ccPortTrunkGet)).size(), 15u);
    EXPECT_EQ(PayloadOf(Exchange(1, ccPortTrunkGet)).size(), 9u * 80);

    TPropertyPortTrunk first;
    first.entries = {{0x3, true}, {0x30, false}, {0, false}};
    EXPECT_EQ(StatusOf(Exchange(0, ccPortTrunkSet, EncodeRecord(first))), StatusOk);
    EXPECT_EQ(RecordOf<TSessionPortTrunkGet>(m_Fleet.Snapshot(0)).entries[1].members, 0x30u);
    first.entries[2].members = 0x1;
    EXPECT_EQ(StatusOf(Exchange(0, ccPortTrunkSet, EncodeRecord(first))), StatusRefused);

    TPropertyPortTrunk2 second;
    second.entries.resize(9);
    second.entries[0].members = 0x3000000;
    second.entries[0].lacp = true;
    second.entries[0].workPorts = 2;
    second.entries[8].members = 0x3000000; // the activity entry shares the groups' ports
    EXPECT_EQ(StatusOf(Exchange(1, ccPortTrunkSet, EncodeRecord(second))), StatusOk);
    TPropertyPortTrunk2 stored = RecordOf<TSessionPortTrunkGet2>(m_Fleet.Snapshot(1));
    EXPECT_EQ(stored.entries.at(0).members, 0x3000000u);
    EXPECT_EQ(stored.entries.at(0).workPorts, 2u);
    second.entries[1].members = 0x1000000;
    EXPECT_EQ(StatusOf(Exchange(1, ccPortTrunkSet, EncodeRecord(second))), StatusRefused);
}

TEST_F(FakeSwitchPortFamilies, PortAuthModesAreKeptAndAModeBeyondTheFourRefused)
{
    using namespace Intp;
    TPropertySecurity8021xPort modes;
    modes.ports.assign(10, {amAuthorize});
    EXPECT_EQ(StatusOf(Exchange(0, ccSecurity8021xPortSet, EncodeRecord(modes))), StatusOk);
    EXPECT_EQ(PayloadOf(Exchange(0, ccSecurity8021xPortGet)), TBytes(10, 2));
    modes.ports[9].mode = 4;
    EXPECT_EQ(StatusOf(Exchange(0, ccSecurity8021xPortSet, EncodeRecord(modes))), StatusRefused);
}

} // namespace
