// The fake switch program as a person starts it: by default a switch of a
// model the console lists, or a fleet of several models in one process.
#include "intp/Codes.h"
#include "intp/DeviceType.h"
#include "tests/fakeswitch/TestClient.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace FakeSwitch;

namespace {

// Runs the program until destroyed; Port() is 0 when it did not start.
class TProgram {
public:
    explicit TProgram(std::vector<std::string> args = {})
    {
        args.insert(args.begin(), {FAKESWITCH_PROGRAM, "--base-ip", "127.0.0.2", "--port", "0"});
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        if (posix_spawn(&m_Pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_Pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        if (FILE *f = fdopen(out[0], "r")) {
            std::fscanf(f, "ready %hu", &m_Port);
            std::fclose(f);
        }
    }
    TProgram(const TProgram &) = delete;
    TProgram &operator=(const TProgram &) = delete;
    ~TProgram()
    {
        if (m_Pid > 0) {
            kill(m_Pid, SIGTERM);
            waitpid(m_Pid, nullptr, 0);
        }
    }
    uint16_t Port() const { return m_Port; }

private:
    pid_t m_Pid = 0;
    uint16_t m_Port = 0;
};

// The product id bytes of switch 127.0.0.(2 + index)'s find reply.
TBytes ProductIdOf(const TProgram &program, uint32_t index)
{
    TTestClient client;
    if (!client.Send(0x7F000002 + index, program.Port(), Intp::ccIntpFind, TMac{}))
        return {};
    auto reply = client.Receive();
    if (!reply || reply->Bytes.size() < HeaderSize + 4)
        return {};
    return TBytes(reply->Bytes.begin() + HeaderSize, reply->Bytes.begin() + HeaderSize + 4);
}

}  // namespace

TEST(FakeSwitchProgram, AnswersByDefaultAsTheFirstListedModelOfASupportedFamily)
{
    std::ifstream table(DEFAULT_DEVICES);
    std::string line, id0;
    while (std::getline(table, line))
        if (line.rfind("ID0=", 0) == 0)
            id0 = line.substr(4);
    ASSERT_FALSE(id0.empty());
    const uint32_t pid = Intp::MakeProductId(id0);

    TProgram program;
    ASSERT_NE(program.Port(), 0);
    EXPECT_EQ(ProductIdOf(program, 0), (TBytes{uint8_t(pid >> 24), uint8_t(pid >> 16), uint8_t(pid >> 8), uint8_t(pid)}));
    EXPECT_TRUE(ProductIdOf(program, 1).empty());  // one switch

    // Its settings name the enterprise number the console manages.
    TTestClient client;
    ASSERT_TRUE(client.Send(0x7F000002, program.Port(), Intp::ccBasicsSettingsGet, TMac{2, 0, 0, 0, 0, 1}));
    auto reply = client.Receive();
    ASSERT_TRUE(reply);
    ASSERT_GE(reply->Bytes.size(), HeaderSize + 1033 + 9);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(&reply->Bytes[HeaderSize + 1033]), 9), "32473.1.1");
}

TEST(FakeSwitchProgram, RunsAFleetOfTheListedModelsInTurn)
{
    char path[] = "/tmp/fakeswitch-models-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::ofstream(path) << "devicenum=3\ndevicenum6095=3\nName0=A\nID0=abc\nName1=B\nName2=C\nID2=message digest\n";

    {
        // Models 2 and 0 in turn; model 1 has no product id and is refused.
        TProgram fleet({"--devices", path, "--model-index", "2,0", "--count", "3"});
        ASSERT_NE(fleet.Port(), 0);
        // md5("message digest") begins f9 6b 69 7d, md5("abc") 90 01 50 98: sent in reverse.
        EXPECT_EQ(ProductIdOf(fleet, 0), (TBytes{0x7d, 0x69, 0x6b, 0xf9}));
        EXPECT_EQ(ProductIdOf(fleet, 1), (TBytes{0x98, 0x50, 0x01, 0x90}));
        EXPECT_EQ(ProductIdOf(fleet, 2), (TBytes{0x7d, 0x69, 0x6b, 0xf9}));
        EXPECT_EQ(TProgram({"--devices", path, "--model-index", "1"}).Port(), 0);

        // "all": one switch of each model with a product id.
        TProgram all({"--devices", path, "--model-index", "all"});
        ASSERT_NE(all.Port(), 0);
        EXPECT_EQ(ProductIdOf(all, 0), (TBytes{0x98, 0x50, 0x01, 0x90}));
        EXPECT_EQ(ProductIdOf(all, 1), (TBytes{0x7d, 0x69, 0x6b, 0xf9}));
        EXPECT_TRUE(ProductIdOf(all, 2).empty());
    }
    std::remove(path);
}
