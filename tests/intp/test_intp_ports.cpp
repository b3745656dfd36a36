#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intp/Ports.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using IntpTest::PutText;

std::vector<uint8_t> Names(const std::vector<std::string>& names) {
    std::vector<uint8_t> v;
    for (const std::string& n : names) PutText(v, n, 8);
    return v;
}

class PortName : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(3, 0x0A000003, m_Host.AddModel("M4T2", 4, 2)); }

    uint16_t Read(const std::vector<uint8_t>& reply, uint16_t status = ssOk) {
        Started(new TSessionPortNameGet);
        m_Host.Reply(ccPortNameGet, m_Device, reply, status);
        EXPECT_EQ(m_Host.LastNotify().code, ccPortNameGet);
        EXPECT_EQ(m_Host.LastNotify().name, "PortName");
        return m_Host.LastNotify().status;
    }
};

TEST_F(PortName, OneEightByteNamePerPortThenPerTrunkGroup) {
    ASSERT_EQ(Read(Names({"Port.01", "Port.XX", "Uplink12", "P4", "Trk1", "Trk2"})), ssOk);
    const auto& r = Property<TPropertyPortName>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.names, (std::vector<std::string>{"Port.01", "Port.XX", "Uplink12", "P4", "Trk1", "Trk2"}));

    // Trailing bytes short of a name are ignored.
    std::vector<uint8_t> reply = Names({"a", "b", "c", "d", "e", "f"});
    reply.resize(reply.size() + 7, 'x');
    EXPECT_EQ(Read(reply), ssOk);
    EXPECT_EQ(r.names.back(), "f");
}

TEST_F(PortName, ACountOtherThanPortsAndTrunkGroupsIsBadReply) {
    for (size_t count : {size_t(0), size_t(4), size_t(5), size_t(7)}) {
        Read(Names({"ok", "ok", "ok", "ok", "ok", "ok"}));
        std::vector<uint8_t> reply = count ? Names(std::vector<std::string>(count, "x")) : std::vector<uint8_t>(7, 'x');
        EXPECT_EQ(Read(reply), ssBadReply) << count;
        EXPECT_FALSE(Property<TPropertyPortName>::Get(m_Device).valid) << count;
    }
    EXPECT_EQ(Read(Names({"a", "b", "c", "d", "e", "f"}), 0x0042), 0x0042);
    EXPECT_FALSE(Property<TPropertyPortName>::Get(m_Device).valid);

    TDevice* unknown = m_Host.MakeDevice(IntpTest::Mac(4), 0x0A000004, 0);
    Started(new TSessionPortNameGet, unknown);
    m_Host.Reply(ccPortNameGet, unknown, Names({"a"}));
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
}

TEST_F(PortName, NamesFollowTheModelWhenItChanges) {
    Read(Names({"a", "b", "c", "d", "e", "f"}));
    m_Device->SetType(m_Host.AddModel("M2", 2));
    ASSERT_EQ(Read(Names({"x", "y"})), ssOk);
    EXPECT_EQ(Property<TPropertyPortName>::Get(m_Device).names, (std::vector<std::string>{"x", "y"}));
}

} // namespace
