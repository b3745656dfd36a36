// The access control list, MAC filtering and static MAC pages: lists rebuilt
// from the switch's tables, the editor's checks, and what Add and Remove send.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "pages/kit/HexSpinBox.h"
#include "pages/kit/PageWidgets.h"
#include "pages/security/ModuleSecurity_Acl.h"
#include "pages/security/ModuleSecurity_Mac2_Filter.h"
#include "pages/security/ModuleSecurity_Mac2_Static.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace Intp;

namespace {

using Acl = TPageTest<TModuleSecurityAcl>;
using MacFilter = TPageTest<TModuleSecurityMac2Filter>;
using StaticMac = TPageTest<TModuleSecurityMac2Static>;

const TMacAddr Mac1(0x00, 0x11, 0x22, 0x33, 0x44, 0x55);

TPropertySecurityAclEntry Rule(uint32_t group, uint32_t etherType, uint32_t l4 = 0, uint32_t port = 0)
{
    return {group, true, 0, 0, etherType, true, 0x0A000001, 0xFF000000, 0, 0, l4, port};
}

TEST_F(Acl, RulesAreListedAsReadAndTheGroupIdDecidesAddOrRemove)
{
    TDevice* device = Select(1, TestModel(8));
    for (TDevice* target : {device, Select(2, TestModel(8))})
        Put(target, IntpTest::Table<TPropertySecurityAcl>(
                        {Rule(5, EtherTypeIpv4, IpProtocolTcp, 0), Rule(6, EtherTypeIpv4, 1), Rule(7, 0x88CC)}));
    Notify(device, ccSecurityAclGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 3);
    auto cell = [&](int row, int column) { return page->m_ListView->Model()->Cell(row, column); };
    // TCP to any address and port; ICMP by its number, with no port; a custom EtherType.
    EXPECT_EQ(QStringList({cell(0, 4), cell(0, 6), cell(0, 7), cell(0, 9)}),
              QStringList({"IP", "10.0.0.1/255.0.0.0", "ANY", "ANY"}));
    EXPECT_EQ(QStringList({cell(1, 8), cell(1, 9), cell(2, 4)}), QStringList({"0x0001", "", "0x88CC"}));

    page->m_GroupId->setValue(5);
    EXPECT_FALSE(page->m_Add->isEnabled());
    EXPECT_TRUE(page->m_Remove->isEnabled());
    page->m_GroupId->setValue(9);
    EXPECT_TRUE(page->m_Add->isEnabled());
    EXPECT_FALSE(page->m_Remove->isEnabled());

    // A selected custom EtherType shows as hexadecimal.
    page->m_ListView->SelectRow(2);
    EXPECT_EQ(page->m_L3ProtocolCustom->text(), "0x88cc");
    EXPECT_EQ(page->m_L3ProtocolCustomHex->text(), "(Hex: 0x88CC)");
    EXPECT_TRUE(page->m_Remove->isEnabled());
    page->m_Remove->click();
    auto removed = Sent<TSessionSecurityAclDel>();
    ASSERT_EQ(removed.size(), 2u); // every target
    // The other switch's own rule, as the form shows it: no address when not IPv4.
    EXPECT_TRUE(removed[1].groupId == 7 && removed[1].etherType == 0x88CC && removed[1].srcIp == 0);
    EXPECT_EQ(page->m_ListView->RowCount(), 3); // the list waits for the switch's table
}

TEST_F(Acl, AnIpv4RuleNeedsValidAddressesAndMasks)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, IntpTest::Table<TPropertySecurityAcl>({}));
    Notify(device, ccSecurityAclGet);
    page->m_L3Protocol->setCurrentIndex(3); // IPv4
    EXPECT_FALSE(page->m_IpSrcMask->isEnabled());
    EXPECT_EQ(page->m_IpSrcMask->text(), "0.0.0.0");
    page->m_IpSrcAddr->setText("10.0.0.1");
    page->m_IpSrcMask->clear();
    EXPECT_TRUE(page->m_IpSrcMask->isEnabled());
    EXPECT_FALSE(page->m_Add->isEnabled());
    page->m_IpSrcMask->setText("255.0.255.0");
    EXPECT_FALSE(page->m_Add->isEnabled());
    page->m_IpSrcMask->setText("255.0.0.0");
    EXPECT_TRUE(page->m_Add->isEnabled());

    // A custom EtherType of 0x0800 is IPv4: it takes the IPv4 fields and their checks.
    page->m_L3Protocol->setCurrentIndex(4);
    page->m_L3ProtocolCustom->setValue(2048);
    EXPECT_EQ(page->m_L3ProtocolCustomHex->text(), "(Hex: 0x0800)");
    page->m_L4Protocol->setCurrentIndex(3); // TCP
    page->m_TcpPort->setCurrentIndex(3);    // custom
    page->m_TcpPortCustom->setValue(8080);
    page->m_IpDstAddr->setText("127.0.0.1");
    EXPECT_FALSE(page->m_Add->isEnabled());
    page->m_IpDstAddr->clear();
    ASSERT_TRUE(page->m_Add->isEnabled());
    page->m_Add->click();
    auto added = Sent<TSessionSecurityAclAdd>();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].etherType, EtherTypeIpv4);
    EXPECT_EQ(added[0].srcMask, 0xFF000000u);
    EXPECT_EQ(added[0].dstIp, 0u);
    EXPECT_EQ(added[0].l4Protocol, IpProtocolTcp);
    EXPECT_EQ(added[0].l4Port, 8080u);

    // No current device: table and buttons off, the editor keeps its values.
    env.host.selection.clear();
    Refill();
    EXPECT_EQ(page->m_ListView->RowCount(), 0);
    EXPECT_FALSE(page->m_Add->isEnabled() || page->m_Remove->isEnabled());
    EXPECT_EQ(page->m_TcpPortCustom->value(), 8080);
}

TEST_F(Acl, TypedTextIsTheChoiceItNamesWithoutCaseOrKeepsBothButtonsOff)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, IntpTest::Table<TPropertySecurityAcl>({Rule(5, EtherTypeIpv4, IpProtocolTcp)}));
    Notify(device, ccSecurityAclGet);
    page->m_GroupId->setValue(5);
    page->m_L3Protocol->setCurrentIndex(3); // IPv4
    page->m_L4Protocol->clearEditText();
    TypeText(page->m_L4Protocol->lineEdit(), "Tcp"); // the box keeps the focus
    page->m_TcpPort->setEditText("8080");
    EXPECT_FALSE(page->m_Add->isEnabled() || page->m_Remove->isEnabled());
    EXPECT_EQ(page->m_Remove->toolTip(), "TCP Port: \"8080\" is none of its choices; choose Custom for another port number.");
    page->m_L4Protocol->setEditText("icmpv6");
    EXPECT_TRUE(page->m_Add->toolTip().startsWith("L4 Protocol: \"icmpv6\""));

    page->m_L4Protocol->setEditText("Tcp");
    page->m_TcpPort->setEditText("ftp (21)");
    page->m_GroupId->setValue(3);
    ASSERT_TRUE(page->m_Add->isEnabled());
    EXPECT_TRUE(page->m_Add->toolTip().isEmpty());
    page->m_Add->click();
    // Group 3, permit, port 0, fragment check, VLAN 0, IPv4, any addresses, reserved, TCP, port 21.
    const std::vector<uint8_t> rule = {3, 1, 0, 1, 0, 0, 0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                       0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 21};
    ASSERT_EQ(env.protocol.SentWith(ccSecurityAclAdd).size(), 1u);
    EXPECT_EQ(env.protocol.SentWith(ccSecurityAclAdd)[0].payload, rule);
}

TEST_F(MacFilter, AnEntryIsItsAddressAndVlan)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, IntpTest::Table<TPropertySecurityMac2Filter>({{10, Mac1}}));
    Notify(device, ccSecurityMac2FilterGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 1);
    EXPECT_EQ(page->m_ListView->Model()->Cell(0, 1), "00:11:22:33:44:55");
    page->m_ListView->SelectRow(0);
    EXPECT_EQ(page->m_Mac->text(), "001122334455");
    EXPECT_TRUE(page->m_Remove->isEnabled());
    page->m_VlanId->setValue(11); // the same address in another VLAN is another entry
    EXPECT_FALSE(page->m_Remove->isEnabled());
    page->m_Add->click();
    auto added = Sent<TSessionSecurityMac2FilterAdd>();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].vlanId, 11u);
    EXPECT_EQ(added[0].mac, Mac1);
}

TEST_F(StaticMac, PortsOfferedAreTheChoicesAndEntriesOnOthersAreNotListed)
{
    TDevice* device = Select(1, TestModel(6));
    const TDeviceType& model = ModelOf(device);
    Put(device, IntpTest::PortNames(model, {1}));
    Put(device, IntpTest::PortConfig(model));
    Put(device, IntpTest::Table<TPropertySecurityMac2Static>({{1, 1, Mac1}, {2, 5, Mac1}, {2, 6, Mac1}, {9, 1, Mac1}}));
    Notify(device, ccSecurityMac2StaticGet);
    ASSERT_EQ(page->m_Port->count(), 5); // "Port.XX" left out
    ASSERT_EQ(page->m_ListView->RowCount(), 2);
    EXPECT_EQ(page->m_ListView->Model()->Cell(0, 0), "1"); // numbered without a gap
    EXPECT_EQ(page->m_ListView->Model()->Cell(0, 2), "Port.03");
    page->m_ListView->SelectRow(1);
    EXPECT_EQ(page->m_Port->currentText(), "Port.03");
    page->m_Port->setCurrentIndex(3); // Port.05: not part of the name
    page->m_Remove->click();
    auto removed = Sent<TSessionSecurityMac2StaticDel>();
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].port, 2u); // the switch's own entry of that address and VLAN
    EXPECT_EQ(removed[0].vlanId, 6u);

    // Without the port configuration there is no port to send: neither button.
    Intp::Property<TPropertyPortConfig>::Get(device).valid = false;
    Notify(device, ccSecurityMac2StaticGet);
    page->m_Mac->setText("001122334466");
    EXPECT_EQ(page->m_Port->count(), 0);
    EXPECT_FALSE(page->m_Add->isEnabled() || page->m_Remove->isEnabled());
}

TEST_F(StaticMac, AModelOfMoreThan32PortsOffersTheFirst32AndSaysSo)
{
    TDevice* device = Select(1, TestModel(40, 0, 4));
    Put(device, IntpTest::PortNames(ModelOf(device)));
    Put(device, IntpTest::PortConfig(ModelOf(device)));
    Put(device, IntpTest::Table<TPropertySecurityMac2Static>({{35, 1, Mac1}, {31, 1, Mac1}}));
    Notify(device, ccSecurityMac2StaticGet);
    EXPECT_EQ(page->m_Port->count(), 32);
    EXPECT_EQ(page->m_ListView->RowCount(), 1);
    QCoreApplication::processEvents();
    // Its ports and trunk groups each counted as what they are.
    EXPECT_EQ(env.messages,
              QStringList{"This switch has 40 ports and 4 trunk groups; this page shows and sets the first 32 only."});
}

// A trunk group goes to the target's group of its number; one its own page
// can't offer (past the first 32 positions) names the target.
TEST_F(StaticMac, ATrunkGroupPastATargetsFirst32PositionsNamesIt)
{
    TDevice* shown = Select(1, TestModel(8, 0, 2));
    TDevice* large = Select(2, TestModel(40, 0, 2));
    for (TDevice* device : env.host.selection) {
        Put(device, IntpTest::PortNames(ModelOf(device)));
        Put(device, IntpTest::PortConfig(ModelOf(device)));
        Put(device, IntpTest::Table<TPropertySecurityMac2Static>({}));
    }
    Notify(shown, ccSecurityMac2StaticGet);
    ASSERT_EQ(page->m_Port->count(), 10);
    page->m_Port->setCurrentIndex(9);  // Trunk2
    page->m_Mac->setText("001122334455");
    page->m_VlanId->setValue(7);
    page->m_Add->click();
    const auto sent = env.protocol.SentWith(ccSecurityMac2StaticAdd);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].mac, shown->GetMac());
    EXPECT_EQ(Sent<TSessionSecurityMac2StaticAdd>()[0].port, 9u);
    IntpTest::TFakeHost::Reply(ccSecurityMac2StaticAdd, shown);
    EXPECT_TRUE(RunUntil([&] {
        return env.messages.join("").contains(TChangeReport::DeviceText(large) +
                                              ": not changed, that port stands past the first 32 of its port configuration");
    }, std::chrono::seconds(5)));
}

} // namespace
