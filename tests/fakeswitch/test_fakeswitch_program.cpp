// The fake switch program as a person starts it: by default a switch of a
// model the console lists, or a fleet of several models in one process.
#include "intp/Codes.h"
#include "intp/DeviceType.h"
#include "tests/fakeswitch/TestClient.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>

using namespace FakeSwitch;

namespace {

// Runs the program on switches 127.0.0.2, .3, ... until destroyed; Port() is
// 0 when it did not start.
class TProgram {
public:
    explicit TProgram(const std::string &args = "")
    {
        const std::string command = "echo $$; exec " FAKESWITCH_PROGRAM " --base-ip 127.0.0.2 --port 0 " + args;
        m_Out = popen(command.c_str(), "r");
        if (std::fscanf(m_Out, "%d ready %hu", &m_Pid, &m_Port) != 2)
            m_Port = 0;
    }
    ~TProgram()
    {
        kill(m_Pid, SIGTERM);
        pclose(m_Out);
    }
    uint16_t Port() const { return m_Port; }

    // The product id bytes of switch 127.0.0.(2 + index)'s find reply.
    TBytes ProductIdOf(uint32_t index) const
    {
        TTestClient client;
        client.Send(0x7F000002 + index, m_Port, Intp::ccIntpFind, TMac{});
        auto reply = client.Receive();
        if (!reply || reply->Bytes.size() < HeaderSize + 4)
            return {};
        return TBytes(reply->Bytes.begin() + HeaderSize, reply->Bytes.begin() + HeaderSize + 4);
    }

private:
    FILE *m_Out = nullptr;
    int m_Pid = 0;
    uint16_t m_Port = 0;
};

}  // namespace

TEST(FakeSwitchProgram, AnswersByDefaultAsTheFirstListedModelOfASupportedFamily)
{
    std::ifstream table(DEFAULT_DEVICES);
    std::string id0;
    for (std::string line; std::getline(table, line);)
        if (line.rfind("ID0=", 0) == 0)
            id0 = line.substr(4);
    const uint32_t pid = Intp::MakeProductId(id0);

    TProgram program;
    ASSERT_NE(program.Port(), 0);
    EXPECT_EQ(program.ProductIdOf(0), (TBytes{uint8_t(pid >> 24), uint8_t(pid >> 16), uint8_t(pid >> 8), uint8_t(pid)}));
    EXPECT_TRUE(program.ProductIdOf(1).empty());  // one switch
    // Its settings name the enterprise number the console manages.
    TTestClient client;
    client.Send(0x7F000002, program.Port(), Intp::ccBasicsSettingsGet, TMac{2, 0, 0, 0, 0, 1});
    auto reply = client.Receive();
    ASSERT_TRUE(reply && reply->Bytes.size() >= HeaderSize + 1033 + 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&reply->Bytes[HeaderSize + 1033]), 9), "32473.1.1");
}

TEST(FakeSwitchProgram, RunsAFleetOfTheListedModelsInTurn)
{
    char path[] = "/tmp/fakeswitch-models-XXXXXX";
    close(mkstemp(path));
    std::ofstream(path) << "devicenum=3\ndevicenum6095=3\nName0=A\nID0=abc\nName1=B\nName2=C\nID2=message digest\n";
    // md5("abc") begins 90 01 50 98, md5("message digest") f9 6b 69 7d: sent in reverse.
    const TBytes abc{0x98, 0x50, 0x01, 0x90}, digest{0x7d, 0x69, 0x6b, 0xf9};
    {
        TProgram fleet(std::string("--devices ") + path + " --model-index 2,0 --count 3");
        ASSERT_NE(fleet.Port(), 0);
        EXPECT_EQ(fleet.ProductIdOf(0), digest);
        EXPECT_EQ(fleet.ProductIdOf(1), abc);
        EXPECT_EQ(fleet.ProductIdOf(2), digest);
        TProgram all(std::string("--devices ") + path + " --model-index all");
        EXPECT_EQ(all.ProductIdOf(0), abc);
        EXPECT_EQ(all.ProductIdOf(1), digest);
        // Model 1 has no product id.
        EXPECT_EQ(TProgram(std::string("--devices ") + path + " --model-index 1").Port(), 0);
    }
    std::remove(path);
}
