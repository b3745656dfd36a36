// The command table, and every row whose request class is built: its code,
// name, sent request size and short-reply handling. Only rows whose class
// exists are walked, so the walk grows as families land.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "intp/CommandTable.h"
#include "intp/Session.h"
#include "tests/common/FakeHost.h"

using namespace Intp;
using IntpTest::Mac;
using IntpTest::TFakeHost;

TEST(CommandTable, HoldsEveryRequestClassOnce)
{
    EXPECT_EQ(CommandTableSize, 156u);
    std::set<std::string> classes;
    std::set<uint16_t> codes;
    for (const TCommandInfo& info : g_CommandTable) {
        EXPECT_TRUE(classes.insert(info.requestClass).second) << info.requestClass;
        codes.insert(info.code);
        EXPECT_GE(info.minReply, 1) << info.requestClass;
        if (info.requestSize == VariableSize) {
            EXPECT_NE(info.countKind, TCountKind::ckNone) << info.requestClass;
            EXPECT_GT(info.entrySize, 0) << info.requestClass;
        } else {
            EXPECT_EQ(info.countKind, TCountKind::ckNone) << info.requestClass;
            EXPECT_EQ(std::to_string(info.requestSize), info.sizeRule) << info.requestClass;
        }
    }
    EXPECT_EQ(codes.size(), 154u);
}

TEST(CommandTable, SampleRowsMatchTheProtocol)
{
    const TCommandInfo& sys = GetCommandInfo(ccBasicsSettingsGet);
    EXPECT_STREQ(sys.name, "GetSys");
    EXPECT_EQ(sys.minReply, 1289);
    EXPECT_EQ(sys.requestSize, 4);
    EXPECT_STREQ(GetCommandInfo(ccPortTrunkGet, 1).name, "TrunkGet2");
    EXPECT_STREQ(GetCommandInfo(ccPortTrunkSet, 1).requestClass, "TSessionPortTrunkSet2");
    const TCommandInfo& rstp = GetCommandInfo(ccRedundancyRstpSet);
    EXPECT_EQ(rstp.prefixSize, 6);
    EXPECT_EQ(rstp.entrySize, 8);
    EXPECT_EQ(rstp.countKind, TCountKind::ckPortNum);
    EXPECT_STREQ(GetCommandInfo(ccMonitorPortCounterGet).name, "Port Counters");
    EXPECT_EQ(FindCommandByClass("Intp::TSessionLldpSet"), &GetCommandInfo(ccLldpSet));
    EXPECT_EQ(FindCommandByClass("TSessionNothing"), nullptr);
    EXPECT_EQ(FindCommand(277), nullptr);
    EXPECT_EQ(FindCommand(0xFFFF), nullptr);
    // A shared code finds its first row.
    EXPECT_EQ(FindCommand(ccPortTrunkGet), &GetCommandInfo(ccPortTrunkGet));
    for (const TCommandInfo& info : g_CommandTable)
        EXPECT_EQ(FindCommand(info.code)->code, info.code);
}

TEST(CommandTable, CountRulesFollowTheModel)
{
    TFakeHost host;
    uint32_t m = host.AddModel("M", 8, 3, 4, 2, 10, 5);
    TDevice* d = host.MakeDevice(Mac(1), 1, m);
    EXPECT_TRUE(CheckCount(GetCommandInfo(ccPortTrunkSet), d, 3));
    EXPECT_FALSE(CheckCount(GetCommandInfo(ccPortTrunkSet), d, 2));
    EXPECT_TRUE(CheckCount(GetCommandInfo(ccPortTrunkSet2, 1), d, 4));
    EXPECT_TRUE(CheckCount(GetCommandInfo(ccPortConfigSet), d, 1));
    EXPECT_TRUE(CheckCount(GetCommandInfo(ccPortConfigSet), d, 11));
    EXPECT_FALSE(CheckCount(GetCommandInfo(ccPortConfigSet), d, 12));
    EXPECT_FALSE(CheckCount(GetCommandInfo(ccPortConfigSet), d, 0));
    EXPECT_TRUE(CheckCount(GetCommandInfo(ccWarningSmtpSet), d, 2));
    EXPECT_TRUE(CheckCount(GetCommandInfo(ccSecurityIpSet), d, 10));
    EXPECT_TRUE(CheckCount(GetCommandInfo(ccSnmpCommunitySet), d, 5));
    EXPECT_TRUE(CheckCount(GetCommandInfo(ccVlan8021qPortSet), d, 700));
    EXPECT_EQ(RequestPayloadSize(GetCommandInfo(ccWarningSmtpSet), 2), 229u + 128u);
    EXPECT_EQ(RequestPayloadSize(GetCommandInfo(ccPortConfigSet), 3), 19u);
    TDevice* unknown = host.MakeDevice(Mac(2), 2, 0);
    EXPECT_FALSE(CheckCount(GetCommandInfo(ccWarningSmtpSet), unknown, 0));
    EXPECT_FALSE(CheckCount(GetCommandInfo(ccQosPortSet), unknown, 1));
}

namespace {

constexpr uint32_t TableDeviceIp = 0x0A000007;

// Classes that need a file opened before they can start.
const std::set<std::string> NeedsFile = {"TSessionBasicsUpgradeBuildin", "TSessionBasicsBackupBuildin",
                                         "TSessionBasicsRestoreBuildin"};

class CommandTableRow : public ::testing::TestWithParam<size_t> {
protected:
    void SetUp() override {
        m_Session = CreateSession(Info().code, Info().requestClass);
        ASSERT_NE(m_Session, nullptr);
        uint32_t model = m_Host.AddModel("Model", 8, 2, 4, 3, 4, 5, 16);
        m_Device = m_Host.MakeDevice(Mac(0x42), TableDeviceIp, model);
    }
    void TearDown() override {
        // A started request belongs to the library; one that never started to the test.
        if (!m_Started) delete m_Session;
        m_Session = nullptr;
    }

    const TCommandInfo& Info() const { return g_CommandTable[GetParam()]; }
    bool Fixed() const { return Info().requestSize != VariableSize && !NeedsFile.count(Info().requestClass); }
    // Gives a variable-size Set the entries its count rule wants on the model.
    void SupplyEntries() {
        auto* set = dynamic_cast<TVariableEntries*>(m_Session);
        if (!set) return;
        const int count = std::max(1, int(ModelCount(Info().countKind, m_Device)));
        set->SetEntries(std::vector<uint8_t>(set->HeldSize(count)).data(), count);
    }
    bool Start() {
        m_Started = m_Session->Start(m_Device);
        return m_Started;
    }

    TFakeHost m_Host;
    TSession* m_Session = nullptr;
    TDevice* m_Device = nullptr;
    bool m_Started = false;
};

TEST_P(CommandTableRow, RequestFrameHasTheRowsPayloadSize) {
    if (!Fixed()) {
        // No entries or no file were given: nothing goes out.
        EXPECT_FALSE(Start());
        EXPECT_TRUE(m_Host.sent.empty());
        return;
    }
    ASSERT_TRUE(Start());
    ASSERT_EQ(m_Host.sent.size(), 1u);
    const IntpTest::TSent& sent = m_Host.sent[0];
    size_t size = size_t(Info().requestSize);
    ASSERT_EQ(sent.bytes.size(), HeaderSize + size);
    THeader header = THeader::Read(sent.bytes.data());
    EXPECT_EQ(header.code, Info().code);
    EXPECT_EQ(header.status, 0);
    EXPECT_EQ(header.length, size);
    EXPECT_EQ(header.mac, m_Device->GetMac());
    EXPECT_EQ(sent.ip, Info().code == ccBasicsIPConfSet ? 0xFFFFFFFFu : TableDeviceIp);
    if (std::string(Info().record) != "-") {
        // Gets carry no parameters.
        for (size_t i = HeaderSize; i < sent.bytes.size(); ++i) EXPECT_EQ(sent.bytes[i], 0) << "byte " << i;
    }
    EXPECT_TRUE(m_Host.TimerEnabled(m_Session));
}

TEST_P(CommandTableRow, ReplyOneByteShorterThanTheMinimumIsShortReply) {
    if (NeedsFile.count(Info().requestClass)) GTEST_SKIP() << "not startable without a file";
    SupplyEntries();
    ASSERT_TRUE(Start());
    m_Host.Clear();
    // Status 3 as well: the length check comes first.
    m_Host.Reply(Info().code, m_Device, std::vector<uint8_t>(Info().minReply - 1u, 0), ssNotLoggedIn);
    ASSERT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.notified[0].code, Info().code);
    EXPECT_EQ(m_Host.notified[0].status, ssShortReply);
    EXPECT_EQ(m_Host.notified[0].name, Info().name);
    EXPECT_TRUE(m_Host.sent.empty()) << "a short reply starts nothing";
    EXPECT_EQ(GetSessionCount(), 0u);
}

std::string RowName(const ::testing::TestParamInfo<size_t>& info) {
    const TCommandInfo& row = g_CommandTable[info.param];
    return std::string(row.requestClass) + "_" + std::to_string(row.code);
}

// The rows whose request class is built.
std::vector<size_t> BuiltRows() {
    std::vector<size_t> rows;
    for (size_t i = 0; i < CommandTableSize; ++i)
        if (std::unique_ptr<TSession>(CreateSession(g_CommandTable[i].code, g_CommandTable[i].requestClass)))
            rows.push_back(i);
    return rows;
}

INSTANTIATE_TEST_SUITE_P(AllRows, CommandTableRow, ::testing::ValuesIn(BuiltRows()), RowName);

// The request classes that the library's headers declare.
std::set<std::string> DeclaredRequestClasses() {
    std::set<std::string> classes;
    const std::regex declaration(R"(\bclass\s+(TSession\w+)\s*(?:final\s*)?:\s*public)");
    for (const auto& file : std::filesystem::directory_iterator(CONSOLE_SOURCE_DIR "/intp")) {
        if (file.path().extension() != ".h") continue;
        std::ifstream in(file.path());
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (std::sregex_iterator it(text.begin(), text.end(), declaration), end; it != end; ++it)
            classes.insert((*it)[1]);
    }
    return classes;
}

// A family header the factory does not include leaves its classes unmade; a
// class built on another command's row answers with that row's code and name.
TEST(CommandTable, EveryDeclaredRequestClassIsMadeFromItsOwnRow) {
    const std::set<std::string> declared = DeclaredRequestClasses();
    ASSERT_GT(declared.size(), 40u);
    size_t made = 0;
    for (const TCommandInfo& row : g_CommandTable) {
        std::unique_ptr<TSession> session(CreateSession(row.code, row.requestClass));
        bool isDeclared = declared.count(row.requestClass) != 0;
        if (std::string_view(row.requestClass) == "TSessionIntpFind") {
            EXPECT_TRUE(isDeclared);
            EXPECT_EQ(session, nullptr) << "the find request is a singleton";
            continue;
        }
        EXPECT_EQ(session != nullptr, isDeclared) << row.requestClass;
        if (!session) continue;
        ++made;
        auto* general = dynamic_cast<TSessionGeneralBase*>(session.get());
        ASSERT_NE(general, nullptr) << row.requestClass;
        EXPECT_EQ(&general->GetInfo(), &row) << row.requestClass;
        EXPECT_STREQ(session->GetName(), row.name);
    }
    EXPECT_GT(made, 40u);
}

TEST(CommandTable, SharedNamesBelongToDifferentCodes) {
    TFakeHost host;
    std::unique_ptr<TSession> a(CreateSession(ccSecurityMac2FilterDel, "TSessionSecurityMac2FilterDel"));
    std::unique_ptr<TSession> b(CreateSession(ccSecurityMac2StaticDel, "TSessionSecurityMac2StaticDel"));
    if (!a || !b) GTEST_SKIP() << "MAC security classes are not built yet";
    EXPECT_STREQ(a->GetName(), b->GetName());
    EXPECT_NE(dynamic_cast<TSessionGeneralBase&>(*a).GetCode(), dynamic_cast<TSessionGeneralBase&>(*b).GetCode());
}

TEST(CommandTable, UnknownClassOrCodeCreatesNothing) {
    EXPECT_EQ(CreateSession(ccBasicsSettingsGet, "TSessionNoSuchThing"), nullptr);
    EXPECT_EQ(CreateSession(ccBasicsSave, "TSessionBasicsSettingsGet"), nullptr);
    EXPECT_EQ(CreateSession(ccBasicsSave, nullptr), nullptr);
}

} // namespace
