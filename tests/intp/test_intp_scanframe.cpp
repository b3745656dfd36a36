// The raw Ethernet scan frame and the test of its replies.
#include "intp/ScanFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

const Intp::TMacAddr Adapter(0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E);

// A good reply of switch 02:00:5E:00:00:07 at 198.18.1.7.
Intp::TScanFrame GoodReply()
{
    return {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E,  // to the adapter
            0x02, 0x00, 0x5E, 0x00, 0x00, 0x07,  // from the switch
            0xDE, 0xAD,                          //
            0xC6, 0x12, 0x01, 0x07, 0x06, 0x66,  // not read
            0x00, 0x00, 0x00, 0x00, 0x00, 0x08,  // command, status, length
            0x02, 0x00, 0x5E, 0x00, 0x00, 0x07,  // the switch's MAC
            0xFF, 0xFE, 0x00, 0x00,              // not read
            0xC6, 0x12, 0x01, 0x07};             // its address
}

}  // namespace

TEST(ScanFrame, BuildsTheFortyBytesOfABroadcastFind)
{
    const Intp::TScanFrame frame = Intp::BuildScanFrame(Adapter, 0xC6120001);
    const Intp::TScanFrame expected = {
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0xDE, 0xAD,
        0xC6, 0x12, 0x00, 0x01, 0x06, 0x66, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(frame, expected);
}

TEST(ScanFrame, AcceptsOnlyRepliesToThisAdapter)
{
    auto set = [](size_t from, size_t to, uint8_t value) {
        return [=](Intp::TScanFrame& f) { std::fill(f.begin() + long(from), f.begin() + long(to), value); };
    };
    struct TCase {
        const char* what;
        std::function<void(Intp::TScanFrame&)> change;
        size_t captured;
        bool accepted;
    };
    const TCase cases[] = {
        {"good reply", set(0, 0, 0), 40, true},
        {"39 bytes captured", set(0, 0, 0), 39, false},
        {"to another station", set(5, 6, 0x5F), 40, false},
        {"to everyone", set(0, 6, 0xFF), 40, false},
        {"null source", set(6, 12, 0x00), 40, false},
        {"broadcast source", set(6, 12, 0xFF), 40, false},
        {"EtherType 0xDEAE", set(13, 14, 0xAE), 40, false},
        {"command 1", set(21, 22, 0x01), 40, false},
        {"status 1", set(23, 24, 0x01), 40, false},
        {"status 0x0100", set(22, 23, 0x01), 40, false},
        {"fields that are not read", set(14, 20, 0x99), 40, true},
        {"length and bytes 32 to 35 not read", [](Intp::TScanFrame& f) { f[25] = 0; f[33] = 1; }, 40, true},
    };
    for (const TCase& c : cases) {
        Intp::TScanFrame frame = GoodReply();
        c.change(frame);
        EXPECT_EQ(Intp::AcceptScanReply(frame.data(), c.captured, Adapter), c.accepted) << c.what;
    }
    EXPECT_FALSE(Intp::AcceptScanReply(nullptr, 40, Adapter));
    // The scan frame itself, as an adapter would see its own transmission.
    const Intp::TScanFrame own = Intp::BuildScanFrame(Adapter, 0xC6120001);
    EXPECT_FALSE(Intp::AcceptScanReply(own.data(), own.size(), Adapter));
}

TEST(ScanFrame, ReadsTheSwitchMacAndAddressOfAReply)
{
    const Intp::TScanReply reply = Intp::ReadScanReply(GoodReply());
    EXPECT_EQ(reply.Mac.ToString(), "02:00:5E:00:00:07");
    EXPECT_EQ(reply.Ip, 0xC6120107u);
}
