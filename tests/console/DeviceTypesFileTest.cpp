#include "console/DeviceTypesFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Model(int i, const std::string& name, int ports, int banner, const std::string& id,
                  const std::string& skipKey = std::string())
{
    const std::string n = std::to_string(i);
    std::string text;
    auto add = [&](const std::string& key, const std::string& value) {
        if (key != skipKey)
            text += key + n + "=" + value + "\n";
    };
    add("Name", name);
    add("PortNum", std::to_string(ports));
    add("TrunkGroupNum", "2");
    add("TrunkMemberNum", "4");
    add("SmtpRecipientNum", "5");
    add("SecureIpNum", "10");
    add("SnmpCommunityNum", "4");
    add("TagVidNum", "64");
    add("Banner", std::to_string(banner));
    add("ID", id);
    return text;
}

struct TRecorder {
    struct TCall {
        TDeviceTypeFileModel model;
        std::string id;
        std::string lowerId;
    };
    std::vector<TCall> calls;
    int next = 1;

    TDeviceTypeRegistrar Registrar()
    {
        return [this](const TDeviceTypeFileModel& model, const std::string& id, const std::string& lowerId) {
            calls.push_back({model, id, lowerId});
            return next++;
        };
    }
};

bool Load(const std::string& text, TRecorder& recorder)
{
    std::istringstream in(text);
    return LoadDeviceTypes(in, recorder.Registrar());
}

std::string ThreeModels()
{
    return "devicenum=3\ndevicenum6095=2\n" + Model(0, "Larch L5", 5, 1, "LRCH-5T") + Model(1, "Cedar C8", 8, 2, "CEDR-8T") +
           Model(2, "Hazel H24", 24, 9, "HZEL-24G");
}

}  // namespace

TEST(DeviceTypesFile, CompleteFileRegistersEveryModelInFileOrder)
{
    TRecorder r;
    ASSERT_TRUE(Load(ThreeModels(), r));
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[0].model.name, "Larch L5");
    EXPECT_EQ(r.calls[0].model.portNum, 5u);
    EXPECT_EQ(r.calls[0].model.trunkGroupNum, 2u);
    EXPECT_EQ(r.calls[0].model.trunkMemberNum, 4u);
    EXPECT_EQ(r.calls[0].model.smtpRecipientNum, 5u);
    EXPECT_EQ(r.calls[0].model.secureIpNum, 10u);
    EXPECT_EQ(r.calls[0].model.snmpCommunityNum, 4u);
    EXPECT_EQ(r.calls[0].model.tagVidNum, 64u);
    EXPECT_EQ(r.calls[2].model.name, "Hazel H24");
    EXPECT_FALSE(g_DevicesLoadFailed);
    EXPECT_EQ(g_DeviceTypeCount, 3);
    EXPECT_EQ(g_LayoutThreshold, 2);
    EXPECT_EQ(g_DeviceTypeIndex, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(g_DeviceBanner, (std::vector<int>{1, 2, 9}));
}

TEST(DeviceTypesFile, WindowsLineEndsReadLikeUnixOnes)
{
    std::string crlf;
    for (char c : ThreeModels())
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    TRecorder r;
    ASSERT_TRUE(Load(crlf, r));
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[1].model.name, "Cedar C8");
    EXPECT_EQ(r.calls[1].id, "CEDR-8T");
}

TEST(DeviceTypesFile, FirstLineOfADuplicateKeyWins)
{
    TRecorder r;
    ASSERT_TRUE(Load("devicenum=1\ndevicenum6095=0\n" + Model(0, "First", 5, 1, "A") + "Name0=Second\nPortNum0=9\n", r));
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].model.name, "First");
    EXPECT_EQ(r.calls[0].model.portNum, 5u);
}

TEST(DeviceTypesFile, MissingCountStopsAtThatModelAndKeepsTheEarlierOnes)
{
    std::string text = "devicenum=5\ndevicenum6095=2\n";
    for (int i = 0; i < 5; ++i)
        text += Model(i, "M" + std::to_string(i), 8, 1, "ID" + std::to_string(i), i == 3 ? "TagVidNum" : "");
    TRecorder r;
    EXPECT_FALSE(Load(text, r));
    EXPECT_EQ(r.calls.size(), 3u);
    EXPECT_TRUE(g_DevicesLoadFailed);
    EXPECT_EQ(g_DeviceTypeCount, 5);
    EXPECT_EQ(g_DeviceTypeIndex.size(), 3u);
}

TEST(DeviceTypesFile, EmptyOrAbsentFileIsAFailureWithNoModel)
{
    TRecorder r;
    EXPECT_FALSE(Load("", r));
    EXPECT_TRUE(r.calls.empty());
    EXPECT_TRUE(g_DevicesLoadFailed);

    std::ifstream absent("/nonexistent/devices.dev");
    EXPECT_FALSE(LoadDeviceTypes(absent, r.Registrar()));
    EXPECT_TRUE(r.calls.empty());
    // Without the threshold line nothing is registered either.
    EXPECT_FALSE(Load("devicenum=1\n" + Model(0, "A", 5, 1, "A"), r));
    EXPECT_TRUE(r.calls.empty());
}

TEST(DeviceTypesFile, ZeroModelsIsNoFailure)
{
    TRecorder r;
    EXPECT_TRUE(Load("devicenum=0\ndevicenum6095=0\n", r));
    EXPECT_TRUE(r.calls.empty());
    EXPECT_FALSE(g_DevicesLoadFailed);
}

TEST(DeviceTypesFile, NegativeNonNumericAndHugeValuesAreFailures)
{
    const std::string head = "devicenum=1\ndevicenum6095=0\n";
    for (const std::string& bad : {std::string("-1"), std::string("abc"), std::string("4x"), std::string("0x10"),
                                   std::string(""), std::string("4294967296"), std::string("70000")}) {
        std::string text = head + Model(0, "A", 5, 1, "A", "PortNum") + "PortNum0=" + bad + "\n";
        TRecorder r;
        EXPECT_FALSE(Load(text, r)) << bad;
        EXPECT_TRUE(r.calls.empty()) << bad;
    }
    for (const std::string& count : {std::string("-3"), std::string("1000000000"), std::string("two")}) {
        TRecorder r;
        EXPECT_FALSE(Load("devicenum=" + count + "\ndevicenum6095=0\n", r)) << count;
        EXPECT_TRUE(r.calls.empty());
        EXPECT_TRUE(g_DeviceTypeIndex.empty());
    }
}

TEST(DeviceTypesFile, BlanksAroundNumbersAreAccepted)
{
    TRecorder r;
    ASSERT_TRUE(Load("devicenum= 1 \ndevicenum6095=\t0\n" + Model(0, "A", 5, 1, "A", "PortNum") + "PortNum0= 12\n", r));
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].model.portNum, 12u);
}

TEST(DeviceTypesFile, AbsentNameAndIdAreEmptyTexts)
{
    std::string text = "devicenum=1\ndevicenum6095=0\n" + Model(0, "x", 5, 1, "x", "Name");
    // Drop the ID line too.
    text.replace(text.find("ID0=x\n"), 6, "");
    TRecorder r;
    ASSERT_TRUE(Load(text, r));
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].model.name, "");
    EXPECT_EQ(r.calls[0].id, "");
    EXPECT_EQ(r.calls[0].lowerId, "");
}

TEST(DeviceTypesFile, LowerCaseCopyChangesOnlyAToZ)
{
    EXPECT_EQ(LowerProductId("AbZ-09_\xC4\xD6~"), "abz-09_\xC4\xD6~");
    TRecorder r;
    // A value keeps everything after the first equals sign.
    ASSERT_TRUE(Load("devicenum=1\ndevicenum6095=0\n" + Model(0, "a=b", 5, 1, "SW-8T=R2"), r));
    EXPECT_EQ(r.calls[0].model.name, "a=b");
    EXPECT_EQ(r.calls[0].id, "SW-8T=R2");
    EXPECT_EQ(r.calls[0].lowerId, "sw-8t=r2");
}

TEST(DeviceTypesFile, ShippedFileLoads)
{
    std::ifstream shipped(std::string(CONSOLE_SOURCE_DIR_FOR_TESTS) + "/resources/devices.dev");
    TRecorder r;
    ASSERT_TRUE(LoadDeviceTypes(shipped, r.Registrar()));
    ASSERT_GE(r.calls.size(), 6u);
    std::vector<bool> kinds(6, false);
    for (int banner : g_DeviceBanner) {
        if (banner >= 0 && banner < 6)
            kinds[std::size_t(banner)] = true;
    }
    for (bool kind : kinds)
        EXPECT_TRUE(kind);
    // Models on both sides of the layout threshold.
    EXPECT_LT(g_LayoutThreshold, int(r.calls.size()));
    EXPECT_GE(g_LayoutThreshold, 1);
}
