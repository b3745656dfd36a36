// The redundancy pages' input rules.
#include <gtest/gtest.h>

#include "pages/rules/RedundancyRules.h"

TEST(RedundancyRules, RingPortsClashOnlyWhenTheSamePortIsChosenTwice)
{
    Intp::TRingSettings ring;
    ring.ringEnabled = true;
    ring.secondPort = 32;  // port 33 is not port 1
    EXPECT_FALSE(RingPortsClash(ring));
    ring.controlPort = 32;  // the coupling ring is off: not tested
    EXPECT_FALSE(RingPortsClash(ring));
    ring.couplingEnabled = true;
    EXPECT_TRUE(RingPortsClash(ring));
    ring.controlPort = 2;
    ring.couplingPort = 3;
    ring.dualHoming = true;
    ring.homingPort = 3;
    EXPECT_TRUE(RingPortsClash(ring));
    EXPECT_EQ(EncodeRecord(RingToSend({.ringEnabled = false, .ringMaster = true, .firstPort = 4})),
              std::vector<uint8_t>(9, 0));
}

TEST(RedundancyRules, BridgeTimersAndPrioritiesInTheOrderTheirMessagesAreChecked)
{
    EXPECT_EQ(RstpBridgeError(32768, 20, 2, 15), "");
    EXPECT_EQ(RstpBridgeError(61441, 50, 2, 15), "Bridge priority out of range");
    EXPECT_EQ(RstpBridgeError(4095, 20, 2, 15), "Bridge priority must be multiple of 4096");
    EXPECT_EQ(RstpBridgeError(0, 40, 2, 15), "2*(Forward Delay Time-1) should greater than or queal to Max Age");
    EXPECT_EQ(RstpBridgeError(0, 6, 3, 15), "Max Age should be greater than or equal to 2*(Hello Time + 1)");
    EXPECT_EQ(RstpBridgeError(32768, 41, 0, 31), "Bridge max age out of range");
    EXPECT_EQ(RstpBridgeError(32768, 6, 0, 3), "Hello time out of range");
    EXPECT_EQ(RstpBridgeError(32768, 40, 10, 31), "Bridge forward delay out of range");
    EXPECT_EQ(DuplicatedPriority({0, 2, 0, 3, 3, 2}), 3u);
}
