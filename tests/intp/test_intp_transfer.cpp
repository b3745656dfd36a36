// Built-in and TFTP transfers: frames, block loops, resends, files.
#include <algorithm>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "intp/Transfer.h"
#include "tests/common/FakeHost.h"

using namespace Intp;
using IntpTest::Mac;
using IntpTest::PutU16;
using IntpTest::PutU32;
using IntpTest::TFakeHost;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Pattern(size_t size, uint8_t seed)
{
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) b[i] = uint8_t(seed + i * 7 + (i >> 8));
    return b;
}

Bytes ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& p, const Bytes& b)
{
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// The descriptor this process holds open on path, or -1.
int FindFd(const fs::path& path)
{
    for (const auto& e : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (fs::read_symlink(e.path(), ec) == path && !ec) return std::stoi(e.path().filename().string());
    }
    return -1;
}

// Makes the next operation on the request's file fail by putting another
// kind of file behind its descriptor.
void BreakFd(const fs::path& path, int replacement)
{
    int fd = FindFd(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(dup2(replacement, fd), fd);
    close(replacement);
}

Bytes BackupReply(uint16_t block, const Bytes& data)
{
    Bytes p(514, 0);
    p[0] = uint8_t(block >> 8);
    p[1] = uint8_t(block);
    std::copy_n(data.begin(), std::min<size_t>(data.size(), 512), p.begin() + 2);
    return p;
}

Bytes Words(uint16_t a, uint16_t b)
{
    Bytes p;
    PutU16(p, a);
    PutU16(p, b);
    return p;
}

uint16_t SentBlock(const IntpTest::TSent& s) { return uint16_t(s.bytes.at(12) << 8 | s.bytes.at(13)); }

fs::path Part(const fs::path& p) { return BackupPartPath(p.string()); }

class Transfer : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/intp_transfer_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = fs::canonical(tmpl);
        dev = host.MakeDevice(Mac(1), 0x0A000001);
    }
    void TearDown() override {
        DeleteAllSessions();
        fs::remove_all(dir);
    }

    TSessionBasicsBackupBuildin* StartBackup(const fs::path& p) { return StartUpload<TSessionBasicsBackupBuildin>(p); }
    template <class T> T* StartUpload(const fs::path& p) {
        auto* s = new T;
        EXPECT_NE(s->OpenFile(p.string()), InvalidFileHandle);
        EXPECT_TRUE(s->Start(dev));
        return s;
    }

    TFakeHost host;
    TDevice* dev = nullptr;
    fs::path dir;
};

TEST_F(Transfer, BackupAsksForBlocksAndWritesTheFileByteForByte)
{
    fs::path file = dir / "backup_10.0.0.1.bin";
    auto* s = StartBackup(file);
    const Bytes first = {0x01, 0x01, 0, 0, 0, 2, 0x00, 0x1A, 0, 0, 0, 1, 0, 0};
    EXPECT_EQ(host.LastSent().bytes, first);
    EXPECT_EQ(host.LastSent().ip, 0x0A000001u);
    EXPECT_EQ(host.TimerMs(s), TransferBlockMs);

    Bytes b0 = Pattern(512, 1), b1 = Pattern(512, 2), last = Pattern(512, 3);
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0, b0));
    const Bytes second = {0x01, 0x01, 0, 0, 0, 2, 0x00, 0x1A, 0, 0, 0, 1, 0, 1};
    EXPECT_EQ(host.LastSent().bytes, second);
    EXPECT_EQ(host.LastNotify().name, "");
    auto* ctx = static_cast<const TBackupProgress*>(host.LastNotify().context);
    ASSERT_NE(ctx, nullptr);
    EXPECT_TRUE(host.TimerEnabled(s));

    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(1, b1));
    uint16_t finalProgress = 0xAAAA;
    host.onNotify = [&](const IntpTest::TNotified& n) {
        finalProgress = static_cast<const TBackupProgress*>(n.context)->progress;
    };
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(TransferLastBlock, last));
    EXPECT_EQ(host.LastNotify().status, ssOk);
    EXPECT_EQ(host.LastNotify().name, "Backup");
    EXPECT_EQ(finalProgress, bpDone);
    EXPECT_EQ(GetSessionCount(), 0u);

    Bytes expected = b0;
    expected.insert(expected.end(), b1.begin(), b1.end());
    expected.insert(expected.end(), last.begin(), last.end());
    EXPECT_EQ(ReadFile(file), expected);
}

TEST_F(Transfer, BackupAsksAgainForAnUnexpectedBlockWithoutUsingAResend)
{
    fs::path file = dir / "b.bin";
    auto* s = StartBackup(file);
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(5, Pattern(512, 9)));
    EXPECT_EQ(SentBlock(host.LastSent()), 0);
    EXPECT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(s->GetResendCount(), 0);
    EXPECT_EQ(fs::file_size(Part(file)), 0u);
    // A first reply that is already the last block gives one block.
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(TransferLastBlock, Pattern(512, 4)));
    EXPECT_EQ(fs::file_size(file), 512u);
    EXPECT_FALSE(fs::exists(Part(file)));
}

TEST_F(Transfer, BackupToleratesThreeTimeoutsInAllAndDeletesThePartialFileOnTheFourth)
{
    fs::path file = dir / "b.bin";
    auto* s = StartBackup(file);
    ASSERT_TRUE(host.FireTimer(s));
    EXPECT_EQ(SentBlock(host.LastSent()), 0);
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0, Pattern(512, 1)));
    ASSERT_TRUE(host.FireTimer(s));
    ASSERT_TRUE(host.FireTimer(s));
    EXPECT_EQ(SentBlock(host.LastSent()), 1);
    EXPECT_EQ(host.sent.size(), 5u);
    EXPECT_EQ(s->GetResendCount(), 3);
    EXPECT_TRUE(fs::exists(Part(file)));
    host.notified.clear();
    ASSERT_TRUE(host.FireTimer(s));
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.LastNotify().status, ssTimeout);
    EXPECT_EQ(host.LastNotify().context, static_cast<const void*>(static_cast<TSession*>(s)));
    EXPECT_EQ(GetSessionCount(), 0u);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(Part(file)));
}

TEST_F(Transfer, BackupFailuresEndAsErrorsAndLeaveNoFile)
{
    // The switch's error, even on a short reply.
    fs::path a = dir / "a.bin", b = dir / "b.bin", c = dir / "c.bin", d = dir / "d.bin";
    StartBackup(a);
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0, {}), 0x0042);
    EXPECT_EQ(host.LastNotify().status, 0x0042);
    EXPECT_FALSE(fs::exists(a));
    StartBackup(b);
    host.Reply(ccBasicsBackupBuildin, dev, Words(0, 0x42), 0x0042);
    EXPECT_EQ(host.LastNotify().status, ssShortReply);
    EXPECT_FALSE(fs::exists(b));

    // A write that fails.
    StartBackup(c);
    BreakFd(Part(c), open("/dev/null", O_RDONLY | O_CLOEXEC));
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0, Pattern(512, 1)));
    EXPECT_EQ(host.LastNotify().status, ssBadReply);
    EXPECT_EQ(GetSessionCount(), 0u);
    EXPECT_FALSE(fs::exists(c));

    // Deleting an unfinished request.
    StartBackup(d);
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0, Pattern(512, 1)));
    DeleteAllSessions();
    EXPECT_FALSE(fs::exists(d));
    for (const fs::path& p : {a, b, c, d}) EXPECT_FALSE(fs::exists(Part(p))) << p;
}

TEST_F(Transfer, ABackupThatFailsLeavesTheEarlierFileAsItWas)
{
    const fs::path file = dir / "backup_10.0.0.1.bin";
    const Bytes earlier = Pattern(1536, 42);
    WriteFile(file, earlier);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    // Each way a run can fail after it has stored a block.
    const std::function<void(TSessionBasicsBackupBuildin*)> failures[] = {
        [&](auto*) { host.Reply(ccBasicsBackupBuildin, dev, BackupReply(1, {}), 0x0042); },
        [&](auto* s) { for (int i = 0; i < 4; ++i) host.FireTimer(s); },
        [&](auto*) {
            BreakFd(Part(file), open("/dev/null", O_RDONLY | O_CLOEXEC));
            host.Reply(ccBasicsBackupBuildin, dev, BackupReply(1, Pattern(512, 2)));
        },
        [&](auto*) { DeleteAllSessions(); },
    };
    for (const auto& fail : failures) {
        auto* s = StartBackup(file);
        host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0, Pattern(512, 1)));
        EXPECT_EQ(ReadFile(file), earlier);
        fail(s);
        EXPECT_EQ(GetSessionCount(), 0u);
        EXPECT_EQ(ReadFile(file), earlier);
        EXPECT_FALSE(fs::exists(Part(file)));
    }
    // A complete run replaces it and keeps its permissions.
    StartBackup(file);
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(TransferLastBlock, Pattern(512, 3)));
    EXPECT_EQ(host.LastNotify().status, ssOk);
    EXPECT_EQ(ReadFile(file), Pattern(512, 3));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(Part(file)));
}

TEST_F(Transfer, BackupErrorCarriesTheBlockWordInHostOrder)
{
    StartBackup(dir / "b.bin");
    uint16_t word = 0;
    host.onNotify = [&](const IntpTest::TNotified& n) { word = static_cast<const TBackupProgress*>(n.context)->progress; };
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0x0102, {}), 0x0042);
    EXPECT_EQ(host.LastNotify().status, 0x0042);
    EXPECT_EQ(word, 0x0102);
}

TEST_F(Transfer, BackupRefusesAFileItCannotOwn)
{
    TSessionBasicsBackupBuildin none, missing;
    EXPECT_FALSE(none.Start(dev));
    EXPECT_EQ(missing.OpenFile((dir / "no" / "such.bin").string()), InvalidFileHandle);
    EXPECT_FALSE(missing.Start(dev));
    TSessionBasicsBackupBuildin folder;
    fs::create_directory(dir / "folder.bin");
    EXPECT_EQ(folder.OpenFile((dir / "folder.bin").string()), InvalidFileHandle);
    EXPECT_TRUE(host.sent.empty());

    // Two switches with the same address never write into one file.
    fs::path file = dir / "same.bin";
    auto* first = StartBackup(file);
    host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0, Pattern(512, 1)));
    {
        TSessionBasicsBackupBuildin second;
        EXPECT_EQ(second.OpenFile(file.string()), InvalidFileHandle);
        EXPECT_FALSE(second.Start(dev));
    }
    EXPECT_EQ(fs::file_size(Part(file)), 512u);
    EXPECT_TRUE(first->IsFileOpen());
}

TEST_F(Transfer, AFileOnDescriptorZeroIsStillAFile)
{
    int saved = dup(0);
    ASSERT_GE(saved, 0);
    close(0);
    fs::path file = dir / "zero.bin";
    auto* s = new TSessionBasicsBackupBuildin;
    const TFileHandle handle = s->OpenFile(file.string());
    bool onZero = FindFd(Part(file)) == 0;
    bool started = s->Start(dev);
    if (started) host.Reply(ccBasicsBackupBuildin, dev, BackupReply(TransferLastBlock, Pattern(512, 5)));
    else delete s;
    dup2(saved, 0);
    close(saved);
    EXPECT_EQ(handle, 0);
    EXPECT_TRUE(onZero);
    EXPECT_TRUE(started);
    EXPECT_EQ(host.LastNotify().status, ssOk);
    EXPECT_EQ(ReadFile(file), Pattern(512, 5));
}

TEST_F(Transfer, UploadSendsTheFileInBlocksPaddingTheLastOne)
{
    fs::path file = dir / "image.bin";
    Bytes image = Pattern(1300, 7);
    WriteFile(file, image);
    auto* s = StartUpload<TSessionBasicsRestoreBuildin>(file);
    ASSERT_EQ(host.LastSent().bytes.size(), 526u);
    Bytes head(host.LastSent().bytes.begin(), host.LastSent().bytes.begin() + 14);
    EXPECT_EQ(head, (Bytes{0x01, 0x02, 0, 0, 0x02, 0x02, 0x00, 0x1A, 0, 0, 0, 1, 0, 0}));
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 512, host.LastSent().bytes.begin() + 14));
    EXPECT_EQ(host.TimerMs(s), TransferBlockMs);

    host.Reply(ccBasicsRestoreBuildin, dev, Words(0, usBlockReceived));
    EXPECT_EQ(SentBlock(host.LastSent()), 1);
    EXPECT_EQ(host.LastNotify().name, "");
    auto* ctx = static_cast<const TUploadProgress*>(host.LastNotify().context);
    ASSERT_NE(ctx, nullptr);
    host.Reply(ccBasicsRestoreBuildin, dev, Words(1, usBlockReceived));
    const Bytes& last = host.LastSent().bytes;
    EXPECT_EQ(SentBlock(host.LastSent()), 2);
    EXPECT_TRUE(std::equal(image.begin() + 1024, image.end(), last.begin() + 14));
    EXPECT_TRUE(std::all_of(last.begin() + 14 + 276, last.end(), [](uint8_t b) { return b == 0; }));

    host.Reply(ccBasicsRestoreBuildin, dev, Words(2, usDone));
    EXPECT_EQ(host.LastNotify().name, "Restore");
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(Transfer, UploadFollowsTheSwitchsStateWords)
{
    fs::path file = dir / "fw.bin";
    WriteFile(file, Pattern(8 * 512, 3));
    auto* s = StartUpload<TSessionBasicsUpgradeBuildin>(file);
    EXPECT_EQ(host.LastSent().bytes[1], 0x00); // code 256
    host.Reply(ccBasicsUpgradeBuildin, dev, Words(5, usBlockReceived));
    EXPECT_EQ(SentBlock(host.LastSent()), 6);
    host.Reply(ccBasicsUpgradeBuildin, dev, Words(5, usSendAgain));
    EXPECT_EQ(SentBlock(host.LastSent()), 5);
    size_t sends = host.sent.size();
    host.Reply(ccBasicsUpgradeBuildin, dev, Words(7, usWritingFlash));
    EXPECT_EQ(host.sent.size(), sends);
    EXPECT_EQ(host.TimerMs(s), DefaultReplyMs);
    EXPECT_EQ(host.LastNotify().name, "Upgrade");
    // The default reply time stays when blocks are asked for again.
    host.Reply(ccBasicsUpgradeBuildin, dev, Words(7, usBlockReceived));
    EXPECT_EQ(SentBlock(host.LastSent()), 8);
    host.Reply(ccBasicsUpgradeBuildin, dev, Words(8, usSendAgain));
    EXPECT_EQ(SentBlock(host.LastSent()), 8);
    EXPECT_EQ(host.TimerMs(s), DefaultReplyMs);
    host.Reply(ccBasicsUpgradeBuildin, dev, Words(8, usWritingFlash));
    sends = host.sent.size();
    // After writing flash the next time-out ends it without a resend.
    ASSERT_TRUE(host.FireTimer(s));
    EXPECT_EQ(host.sent.size(), sends);
    EXPECT_EQ(host.LastNotify().status, ssTimeout);
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(Transfer, UploadErrorStateIsFinalAndNoTimeoutOverwritesIt)
{
    fs::path file = dir / "fw.bin";
    WriteFile(file, Pattern(2048, 3));
    StartUpload<TSessionBasicsUpgradeBuildin>(file);
    uint16_t state = 0;
    host.onNotify = [&](const IntpTest::TNotified& n) { state = static_cast<const TUploadProgress*>(n.context)->state; };
    host.Reply(ccBasicsUpgradeBuildin, dev, Words(1, usError));
    host.onNotify = nullptr;
    EXPECT_EQ(host.LastNotify().status, ssOk);
    EXPECT_EQ(state, usError);
    EXPECT_EQ(host.LastNotify().name, "Upgrade");
    EXPECT_EQ(GetSessionCount(), 0u);
    size_t n = host.notified.size();
    EXPECT_EQ(host.FireAllTimers(), 0u);
    EXPECT_EQ(host.notified.size(), n);

    // Short error replies are short replies; the switch's own codes pass.
    StartUpload<TSessionBasicsUpgradeBuildin>(file);
    host.Reply(ccBasicsUpgradeBuildin, dev, {0, 1, 2}, 0x0055);
    EXPECT_EQ(host.LastNotify().status, ssShortReply);
    StartUpload<TSessionBasicsUpgradeBuildin>(file);
    host.Reply(ccBasicsUpgradeBuildin, dev, Words(0, 0), 0x0055);
    EXPECT_EQ(host.LastNotify().status, 0x0055);
}

TEST_F(Transfer, UploadResendsABlockThreeTimesThenTimesOut)
{
    fs::path file = dir / "fw.bin";
    WriteFile(file, Pattern(4096, 3));
    auto* s = StartUpload<TSessionBasicsRestoreBuildin>(file);
    host.Reply(ccBasicsRestoreBuildin, dev, Words(0, usBlockReceived));
    ASSERT_TRUE(host.FireTimer(s));
    host.Reply(ccBasicsRestoreBuildin, dev, Words(1, usBlockReceived)); // an ack restarts the count
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(host.FireTimer(s));
    EXPECT_EQ(host.sent.size(), 7u);
    EXPECT_EQ(SentBlock(host.LastSent()), 2);
    ASSERT_TRUE(host.FireTimer(s));
    EXPECT_EQ(host.LastNotify().status, ssTimeout);
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(Transfer, UploadRefusesFilesItCannotSendWhole)
{
    fs::path big = dir / "big.bin", max = dir / "max.bin";
    { std::ofstream(big.string()); }
    fs::resize_file(big, TransferMaxUploadSize + 1);
    { std::ofstream(max.string()); }
    fs::resize_file(max, TransferMaxUploadSize);
    const fs::path empty = dir / "empty.bin";
    WriteFile(empty, {});
    TSessionBasicsUpgradeBuildin tooBig, missing, folder, none, nothing;
    EXPECT_EQ(tooBig.OpenFile(big.string()), InvalidFileHandle);
    EXPECT_FALSE(tooBig.Start(dev));
    EXPECT_EQ(missing.OpenFile((dir / "none.bin").string()), InvalidFileHandle);
    EXPECT_EQ(folder.OpenFile(dir.string()), InvalidFileHandle);
    EXPECT_FALSE(none.Start(dev));
    // An empty image is no image.
    EXPECT_EQ(nothing.OpenFile(empty.string()), InvalidFileHandle);
    EXPECT_FALSE(nothing.Start(dev));
    EXPECT_TRUE(host.sent.empty());
    TSessionBasicsUpgradeBuildin whole;
    const TFileHandle handle = whole.OpenFile(max.string());
    EXPECT_NE(handle, InvalidFileHandle);
    EXPECT_EQ(FindFd(max), handle);
}

TEST_F(Transfer, UploadReadOrSeekFailureTellsTheSwitchAndReportsAnError)
{
    fs::path file = dir / "fw.bin";
    WriteFile(file, Pattern(4096, 3));
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    close(pipeFds[1]);
    // A directory fails the read, a pipe the seek.
    const int folder = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int breaker : {folder, pipeFds[0]}) {
        host.Clear();
        StartUpload<TSessionBasicsRestoreBuildin>(file);
        BreakFd(file, breaker);
        host.Reply(ccBasicsRestoreBuildin, dev, Words(0, usBlockReceived));
        const Bytes& f = host.LastSent().bytes;
        ASSERT_EQ(f.size(), 526u);
        EXPECT_EQ(f[2] << 8 | f[3], ssBadReply);
        EXPECT_EQ(SentBlock(host.LastSent()), 1);
        EXPECT_EQ(host.LastNotify().status, ssBadReply);
        EXPECT_EQ(GetSessionCount(), 0u);
    }
}

TEST_F(Transfer, ATimeoutWhoseBlockCannotBeReadAgainSendsNothingAndOnlyCounts)
{
    fs::path file = dir / "fw.bin";
    WriteFile(file, Pattern(4096, 3));
    auto* s = StartUpload<TSessionBasicsRestoreBuildin>(file);
    BreakFd(file, open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    host.Clear();
    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(host.FireTimer(s));
        EXPECT_EQ(s->GetResendCount(), i);
    }
    EXPECT_TRUE(host.sent.empty());
    EXPECT_TRUE(host.notified.empty());
    ASSERT_TRUE(host.FireTimer(s));
    EXPECT_TRUE(host.sent.empty());
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.LastNotify().status, ssTimeout);
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(Transfer, AnUploadTimeoutCreatesTheRemovedDeviceAgain)
{
    fs::path file = dir / "fw.bin";
    WriteFile(file, Pattern(1024, 3));
    auto* s = StartUpload<TSessionBasicsRestoreBuildin>(file);
    DeleteAllDevices();
    host.Clear();
    ASSERT_TRUE(host.FireTimer(s));
    TDevice* again = FindDevice(Mac(1), false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(host.CountEvents(IntpTest::TDeviceEvent::Added), 1u);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(SentBlock(host.sent[0]), 0);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(host.FireTimer(s));
    EXPECT_EQ(host.LastNotify().status, ssTimeout);
    EXPECT_EQ(host.LastNotify().device, again);
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(Transfer, AFailedBlockSendIsResentAndNeverUnwinds)
{
    fs::path file = dir / "fw.bin";
    WriteFile(file, Pattern(2048, 3));
    auto* up = StartUpload<TSessionBasicsRestoreBuildin>(file);
    auto* back = StartBackup(dir / "b.bin");
    host.sendThrows = true;
    EXPECT_NO_THROW(host.Reply(ccBasicsRestoreBuildin, dev, Words(0, usBlockReceived)));
    EXPECT_NO_THROW(host.Reply(ccBasicsBackupBuildin, dev, BackupReply(0, Pattern(512, 1))));
    EXPECT_EQ(GetSessionCount(), 2u);
    EXPECT_TRUE(host.TimerEnabled(up) && host.TimerEnabled(back));
    host.sendThrows = false;
    host.sent.clear();
    ASSERT_TRUE(host.FireTimer(up));
    ASSERT_TRUE(host.FireTimer(back));
    ASSERT_EQ(host.sent.size(), 2u);
    EXPECT_EQ(SentBlock(host.sent[0]), 1);
    EXPECT_EQ(SentBlock(host.sent[1]), 1);
}

TEST_F(Transfer, TftpRequestNamesServerAndFileAndReportsProgress)
{
    auto* s = new TSessionBasicsBackupTftp;
    s->SetPayload(0xC0A80164, 69, std::string(32, 'n'));
    ASSERT_TRUE(s->Start(dev));
    Bytes expected = {0x01, 0x09, 0, 0, 0, 38, 0x00, 0x1A, 0, 0, 0, 1, 0xC0, 0xA8, 0x01, 0x64, 0x00, 0x45};
    expected.resize(50, 'n');
    EXPECT_EQ(host.LastSent().bytes, expected);
    EXPECT_EQ(host.TimerMs(s), DefaultReplyMs);
    EXPECT_EQ(MakeTftpParam(1, 69, std::string(40, 'x')).name[31], 'x');

    Bytes state;
    PutU32(state, tftpWritingFlash);
    host.Reply(ccBasicsBackupTftp, dev, state);
    EXPECT_EQ(host.LastNotify().name, "");
    EXPECT_EQ(GetSessionCount(), 1u);
    uint32_t reported = 0;
    host.onNotify = [&](const IntpTest::TNotified& n) { reported = static_cast<const TTftpProgress*>(n.context)->state; };
    state.clear();
    PutU32(state, 7);
    host.Reply(ccBasicsBackupTftp, dev, state);
    EXPECT_EQ(reported, uint32_t(tftpError));
    EXPECT_EQ(host.LastNotify().name, "TftpBackup");
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(Transfer, TftpRequestTakesThePackedRecordBytes)
{
    uint8_t packed[38];
    const uint32_t server = 0xC0A80164;
    const uint16_t port = 6969;
    std::memcpy(packed, &server, 4); // host order, as a page packs the record
    std::memcpy(packed + 4, &port, 2);
    std::memset(packed + 6, 'f', 32);
    auto* s = new TSessionBasicsRestoreTftp;
    s->SetPayload(static_cast<const void*>(packed));
    ASSERT_TRUE(s->Start(dev));
    Bytes expected = {0xC0, 0xA8, 0x01, 0x64, 0x1B, 0x39};
    expected.resize(38, 'f');
    EXPECT_EQ(Bytes(host.LastSent().bytes.begin() + 12, host.LastSent().bytes.end()), expected);
}

TEST_F(Transfer, TftpErrorsAndTimeoutsEndAtOnce)
{
    auto* s = new TSessionBasicsUpgradeTftp;
    s->SetPayload(MakeTftpParam(0xC0A80164, 69, "fw.bin"));
    ASSERT_TRUE(s->Start(dev));
    ASSERT_TRUE(host.FireTimer(s));
    EXPECT_EQ(host.LastNotify().status, ssTimeout);
    EXPECT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(GetSessionCount(), 0u);

    auto* r = new TSessionBasicsRestoreTftp;
    ASSERT_TRUE(r->Start(dev));
    host.Reply(ccBasicsRestoreTftp, dev, {0, 0, 0, 0}, 0x0077);
    EXPECT_EQ(host.LastNotify().status, 0x0077);
    EXPECT_EQ(host.LastNotify().name, "TftpRestore");
    EXPECT_EQ(GetSessionCount(), 0u);
}

} // namespace
