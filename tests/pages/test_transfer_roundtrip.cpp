// Transfers end to end over UDP loopback: the pages and the console's real
// socket, queue and protocol host against fake switches.
#include "TransferLoopback.h"

#include "intp/Transfer.h"
#include "pages/system/Modulebasics_backup.h"
#include "pages/system/Modulebasics_restore.h"
#include "pages/system/Modulebasics_upgrade.h"

#include "PageTestHost.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

using namespace FakeSwitch;

constexpr std::chrono::milliseconds RunTimeout{30000};

class TransferRoundTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        std::string error;
        ASSERT_TRUE(StartTransferFleet(fleet, script, 4, 0x10, &error)) << error;
        console = std::make_unique<TLoopbackConsole>(fleet.Port());
        ASSERT_TRUE(console->IsOpen());
        for (size_t i = 0; i < 4; ++i)
            devices.push_back(TLoopbackConsole::AddSwitch(fleet, i));
    }

    void TearDown() override { console.reset(); }

    template <class TPage>
    void Show(TPage& page, TDeviceList selection)
    {
        host.selection = std::move(selection);
        page.SetHost(&host);
        console->ShowPage(&page);
        page.OnNotify(host.selection.front(), ncSelectionChanged, 0);
    }

    static bool WaitIdle(const TTransferPage& page)
    {
        return RunUntil([&] { return !page.IsBusy(); }, RunTimeout);
    }

    static TBytes RandomBytes(size_t size, unsigned seed)
    {
        std::mt19937 random(seed);
        TBytes bytes(size);
        for (auto& b : bytes)
            b = uint8_t(random());
        return bytes;
    }

    static TBytes ReadFile(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArray data = file.readAll();
        return TBytes(data.begin(), data.end());
    }

    QString WriteFile(const QString& name, const TBytes& bytes)
    {
        QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return path;
    }

    TFleet fleet{0, 0};
    std::shared_ptr<TTransferScript> script = std::make_shared<TTransferScript>();
    std::unique_ptr<TLoopbackConsole> console;
    TFakePageHost host;
    TDeviceList devices;
    QTemporaryDir dir;
};

TEST_F(TransferRoundTrip, ABackupRestoredToAnotherSwitchArrivesByteForByte)
{
    const TBytes config = RandomBytes(40 * 512, 7);
    fleet.Edit(0, [&](TSwitch& sw) { sw.BackupFile = config; });
    fleet.Edit(1, [&](TSwitch& sw) { sw.UploadBlocks = BlocksOf(config.size()); });

    TModuleBasicsBackup backup;
    Show(backup, {devices[0]});
    backup.EventOnFolderChosen(dir.path());
    backup.EventOnBackupClick();
    ASSERT_TRUE(WaitIdle(backup));
    EXPECT_EQ(backup.RowText(0, TTransferPage::tcStatus), "Done");
    const QString path = dir.filePath("backup_127.0.0.2.bin");
    ASSERT_EQ(ReadFile(path), config);

    // Every fifth block is asked for again on the way back.
    fleet.Edit(1, [&](TSwitch&) { script->AskAgainEvery = 5; });
    TModuleBasicsRestore restore;
    Show(restore, {devices[1]});
    restore.EventOnFileChosen(path);
    restore.EventOnRestoreClick();
    ASSERT_TRUE(restore.IsBusy());
    ASSERT_TRUE(WaitIdle(restore));
    EXPECT_EQ(restore.RowText(0, TTransferPage::tcStatus), "Done");
    EXPECT_EQ(fleet.Snapshot(1).Uploads[258], config);
    unsigned askedAgain = 0;
    fleet.Edit(1, [&](TSwitch&) { askedAgain = script->BlocksAskedAgain; });
    EXPECT_GT(askedAgain, 0u);
}

TEST_F(TransferRoundTrip, OneFirmwareImageReachesSeveralSwitchesAtOnce)
{
    const TBytes image = RandomBytes(64 * 512 + 100, 11);
    TBytes padded = image;
    padded.resize(65 * 512, 0);
    for (size_t i = 0; i < 3; ++i)
        fleet.Edit(i, [&](TSwitch& sw) { sw.UploadBlocks = BlocksOf(image.size()); });

    TModuleBasicsUpgrade upgrade;
    Show(upgrade, {devices[0], devices[1], devices[2]});
    upgrade.EventOnFileChosen(WriteFile("fw.bin", image));
    upgrade.EventOnUpgradeClick();
    ASSERT_TRUE(WaitIdle(upgrade));
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(upgrade.RowText(int(i), TTransferPage::tcStatus), "Done") << i;
        EXPECT_EQ(fleet.Snapshot(i).Uploads[256], padded) << i;
    }
}

TEST_F(TransferRoundTrip, AnUploadTheSwitchFailsEndsAsAnErrorAtOnce)
{
    fleet.Edit(2, [&](TSwitch& sw) {
        sw.UploadBlocks = 8;
        script->ErrorAtBlock[sw.Settings.Mac] = 3;
    });
    fleet.Edit(3, [&](TSwitch& sw) { sw.UploadBlocks = 8; });
    TModuleBasicsRestore restore;
    Show(restore, {devices[2], devices[3]});
    restore.EventOnFileChosen(WriteFile("cfg.bin", RandomBytes(8 * 512, 3)));
    restore.EventOnRestoreClick();
    ASSERT_TRUE(WaitIdle(restore));
    EXPECT_EQ(restore.RowText(0, TTransferPage::tcStatus), "Error");
    EXPECT_EQ(restore.RowState(0), tsError);
    EXPECT_EQ(restore.RowText(1, TTransferPage::tcStatus), "Done");
    EXPECT_TRUE(restore.Leave(false));
}

TEST_F(TransferRoundTrip, ATftpRestoreNamesTheServerAndFileAndReportsProgress)
{
    TModuleBasicsRestore restore;
    Show(restore, {devices[0]});
    restore.m_rbRemote->click();
    restore.m_ServerIp->setText("192.0.2.10");
    restore.m_RemoteFile->setText("switch.cfg");
    restore.EventOnRestoreClick();
    ASSERT_TRUE(WaitIdle(restore));
    EXPECT_EQ(restore.RowText(0, TTransferPage::tcStatus), "Done");
    TSwitch sw = fleet.Snapshot(0);
    EXPECT_EQ(sw.TftpServer, 0xC000020Au);
    EXPECT_EQ(sw.TftpPort, 69);
    EXPECT_EQ(sw.TftpFile, "switch.cfg");
}

}  // namespace
