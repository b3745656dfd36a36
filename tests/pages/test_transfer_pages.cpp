// The transfer pages: row states driven by the library's notifications, the
// batches, leaving during a run, the watchdog and the file faults.
#include "PageTestKit.h"
#include "TransferTestKit.h"

#include "intp/SystemSettings.h"
#include "intp/Codes.h"
#include "intp/Device.h"
#include "intp/Transfer.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/system/Modulebasics_backup.h"
#include "pages/system/Modulebasics_restore.h"
#include "pages/system/Modulebasics_upgrade.h"
#include "pages/system/Modulesave.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

// The tool tip that hovering over a control shows.
QString ToolTipOf(QWidget* control)
{
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(control, &event);
    return event.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
}

template <class TPage> class TransferTest : public TPageTest<TPage> {
protected:
    using TPageTest<TPage>::env;
    using TPageTest<TPage>::page;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        TPageTest<TPage>::SetUp();
        page->SetClock([this] { return now; });
    }

    // count logged-in switches 10.0.0.1 ... selected, and the list filled.
    void Select(int count)
    {
        for (int i = 0; i < count; ++i)
            devices.push_back(env.AddDevice(uint8_t(i + 1), Ip(10, 0, 0, unsigned(i + 1))));
        env.host.selection = devices;
        this->Refill();
    }

    int Running() const
    {
        int running = 0;
        for (int row = 0; row < page->RowCount(); ++row)
            running += page->RowState(row) == tsRunning;
        return running;
    }

    QString Status(int row) const { return page->RowText(row, TTransferPage::tcStatus); }

    QString WriteFile(const QString& name, qint64 size, char fill = 'x')
    {
        QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(QByteArray(int(size), fill)), size);
        return path;
    }

    QTemporaryDir dir;
    std::vector<Intp::TDevice*> devices;
    qint64 now = 1000;
};

// ---- Backup ------------------------------------------------------------------

using BackupPage = TransferTest<TModuleBasicsBackup>;

TEST_F(BackupPage, WithoutALoggedInTargetTheListIsEmptyAndEverythingDisabled)
{
    env.AddDevice(1, Ip(10, 0, 0, 1), false);
    env.host.selection = {Intp::FindDevice(Intp::TMacAddr(0x00, 0x11, 0x22, 0x33, 0x44, 1), false)};
    Refill();
    EXPECT_EQ(page->RowCount(), 0);
    EXPECT_FALSE(page->m_rbLocal->isEnabled());
    EXPECT_FALSE(page->m_Prefix->isEnabled());
    EXPECT_FALSE(page->m_Backup->isEnabled());
    EXPECT_TRUE(page->isVisible());
}

TEST_F(BackupPage, RowsShowModelVersionsMacAndAddress)
{
    Select(1);
    ASSERT_EQ(page->RowCount(), 1);
    EXPECT_EQ(page->RowText(0, TTransferPage::tcMac), "00:11:22:33:44:01");
    EXPECT_EQ(page->RowText(0, TTransferPage::tcIp), "10.0.0.1");
    EXPECT_EQ(page->RowText(0, TTransferPage::tcKernel), "Invalid");
    EXPECT_EQ(page->RowState(0), tsIdle);
    EXPECT_EQ(page->Refresh(true), 0);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccBasicsSettingsGet).size(), 1u);
}

TEST_F(BackupPage, BuiltinBackupsRunInBatchesOfTwentyAndWriteOneFileEach)
{
    Select(45);
    EXPECT_FALSE(page->m_Backup->isEnabled());  // no folder yet
    page->EventOnFolderChosen(dir.path());
    ASSERT_TRUE(page->m_Backup->isEnabled());
    page->m_Backup->click();
    EXPECT_TRUE(page->IsBusy());
    EXPECT_FALSE(page->m_Backup->isEnabled());
    EXPECT_FALSE(page->m_TopPanel->isEnabled());
    EXPECT_EQ(Running(), 20);
    EXPECT_EQ(Status(0), "Transmitting");

    for (int batch = 0; batch < 3; ++batch) {
        int first = batch * 20, last = std::min(first + 20, 45);
        for (int row = first; row < last; ++row) {
            EXPECT_EQ(page->RowState(row), tsRunning) << row;
            IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[size_t(row)],
                                       BackupBlock(Intp::TransferLastBlock, uint8_t(row)));
            EXPECT_EQ(page->RowState(row), tsDone);
        }
    }
    EXPECT_FALSE(page->IsBusy());
    EXPECT_TRUE(page->m_Backup->isEnabled());
    QFile file(dir.filePath("backup_10.0.0.45.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(512, char(44)));
}

TEST_F(BackupPage, LeaveIsRefusedWhileARunLastsUnlessForced)
{
    Select(2);
    page->EventOnFolderChosen(dir.path());
    page->EventOnBackupClick();
    EXPECT_FALSE(page->Leave(false));
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(page->Leave(true));
    EXPECT_FALSE(page->isVisible());
    EXPECT_TRUE(page->IsBusy());
    // A selection change during the run neither refills nor shows the page->
    env.host.selection = {devices[1]};
    page->OnNotify(devices[1], ncSelectionChanged, 0);
    EXPECT_EQ(page->RowCount(), 2);

    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[0], BackupBlock(0, 0), 0x0005);
    EXPECT_FALSE(page->Leave(false));
    EXPECT_EQ(Status(0), "Error: 0x0005");
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[1], BackupBlock(Intp::TransferLastBlock, 0));
    EXPECT_TRUE(page->Leave(false));
}

TEST_F(BackupPage, TwoSwitchesWithOneAddressNeverShareABackupFile)
{
    Select(2);
    devices[1]->SetIp(Ip(10, 0, 0, 1));
    page->OnNotify(devices[0], ncSelectionChanged, 0);
    page->EventOnFolderChosen(dir.path());
    page->EventOnBackupClick();
    EXPECT_EQ(Running(), 2);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[0], BackupBlock(Intp::TransferLastBlock, 'a'));
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[1], BackupBlock(Intp::TransferLastBlock, 'b'));
    EXPECT_EQ(page->RowState(0), tsDone);
    EXPECT_EQ(page->RowState(1), tsDone);
    QFile first(dir.filePath("backup_10.0.0.1.bin")), second(dir.filePath("backup_001122334402.bin"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), QByteArray(512, 'a'));
    EXPECT_EQ(second.readAll(), QByteArray(512, 'b'));
}

TEST_F(BackupPage, TwoSwitchesWithOneAddressGetTwoTftpFileNamesAlsoWithoutAPrefix)
{
    Select(2);
    devices[1]->SetIp(Ip(10, 0, 0, 1));
    page->OnNotify(devices[0], ncSelectionChanged, 0);
    page->m_Prefix->clear();
    page->m_rbRemote->click();
    page->m_ServerIp->setText("10.0.0.200");
    page->EventOnBackupClick();
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupTftp, devices[0], TftpState(2));
    auto sent = SentTftp(env.protocol, Intp::ccBasicsBackupTftp);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].name, "10.0.0.1.bin");
    EXPECT_EQ(sent[1].name, "001122334402.bin");
}

TEST_F(BackupPage, TftpBackupsRunOneAfterAnother)
{
    Select(3);
    page->m_rbRemote->click();
    page->m_ServerIp->setText("10.0.0.200");
    ASSERT_TRUE(page->m_Backup->isEnabled());
    page->EventOnBackupClick();
    EXPECT_EQ(Running(), 1);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupTftp, devices[0], TftpState(0));
    EXPECT_EQ(Running(), 1);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupTftp, devices[0], TftpState(7));
    EXPECT_EQ(Status(0), "Error");
    EXPECT_EQ(page->RowState(1), tsRunning);
    ASSERT_TRUE(env.protocol.TimeOut(devices[1], Intp::ccBasicsBackupTftp));
    EXPECT_EQ(Status(1), "Timeout");
    EXPECT_EQ(page->RowState(2), tsRunning);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupTftp, devices[2], TftpState(2));
    EXPECT_FALSE(page->IsBusy());
}

TEST_F(BackupPage, ServerAddressesThatAreNoHostKeepBackupDisabled)
{
    Select(1);
    page->m_rbRemote->click();
    for (const char* text : {"0.0.0.0", "255.255.255.255", "127.0.0.1", "no address", ""}) {
        page->m_ServerIp->setText(text);
        EXPECT_FALSE(page->m_Backup->isEnabled()) << text;
        EXPECT_TRUE(ToolTipOf(page->m_Backup).contains("TFTP server's address")) << text;
    }
    page->m_ServerIp->setText("192.168.1.5");
    EXPECT_TRUE(page->m_Backup->isEnabled());
    EXPECT_EQ(ToolTipOf(page->m_Backup), "");
}

TEST_F(BackupPage, WhenEveryRowFailsToStartTheRunDoesNotStart)
{
    Select(3);
    page->EventOnFolderChosen(dir.path());
    page->m_Prefix->setText("missing/");
    page->EventOnBackupClick();
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Status(row), "Fail to send request") << row;
        EXPECT_EQ(page->RowState(row), tsError) << row;
    }
    EXPECT_FALSE(page->IsBusy());
    EXPECT_TRUE(page->m_Backup->isEnabled());
    EXPECT_TRUE(page->m_TopPanel->isEnabled());
    EXPECT_TRUE(env.protocol.SentWith(Intp::ccBasicsBackupBuildin).empty());
}

TEST_F(BackupPage, AnEmptyPrefixNamesTheFileAfterTheAddressAlone)
{
    Select(1);
    page->EventOnFolderChosen(dir.path());
    page->m_Prefix->clear();
    page->EventOnBackupClick();
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[0], BackupBlock(Intp::TransferLastBlock, 'z'));
    EXPECT_EQ(page->RowState(0), tsDone);
    QFile file(dir.filePath("10.0.0.1.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray(512, 'z'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"10.0.0.1.bin"});
}

TEST_F(BackupPage, AFailedFileWriteIsAnErrorAndLeavesTheEarlierFileAsItWas)
{
    Select(1);
    WriteFile("backup_10.0.0.1.bin", 100, 'e');
    page->EventOnFolderChosen(dir.path());
    page->EventOnBackupClick();
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[0], BackupBlock(0, 1));
    // The disk takes no more than one block: the second write fails.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = Intp::TransferBlockSize;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[0], BackupBlock(1, 1));
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(Status(0), "Error: 0x1100");
    EXPECT_EQ(page->RowState(0), tsError);
    EXPECT_FALSE(page->IsBusy());
    QFile earlier(dir.filePath("backup_10.0.0.1.bin"));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray(100, 'e'));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"backup_10.0.0.1.bin"});
}

TEST_F(BackupPage, TheWatchdogEndsARowWhoseDeviceADiscoveryRemoved)
{
    Select(2);
    page->EventOnFolderChosen(dir.path());
    page->EventOnBackupClick();
    IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[1], BackupBlock(Intp::TransferLastBlock, 0));
    ASSERT_TRUE(page->Watchdog()->isActive());

    // A discovery clears the registry; the request's time-outs are then not notified.
    Intp::DeleteAllDevices();
    env.host.selection.clear();
    while (!env.protocol.timers.empty())
        env.protocol.timers.begin()->first->OnTimeout();
    EXPECT_EQ(Intp::GetSessionCount(), 0u);
    EXPECT_EQ(page->RowState(0), tsRunning);

    now += TTransferPage::WatchdogMs;
    page->EventOnWatchdogTimer();
    EXPECT_EQ(page->RowState(0), tsRunning);  // not yet silent for long enough
    now += 1;
    page->EventOnWatchdogTimer();
    EXPECT_EQ(Status(0), "Timeout");
    EXPECT_EQ(page->RowState(0), tsTimeout);
    EXPECT_EQ(page->RowState(1), tsDone);
    EXPECT_FALSE(page->IsBusy());
    EXPECT_FALSE(page->Watchdog()->isActive());
    EXPECT_TRUE(page->Leave(false));
}

TEST_F(BackupPage, TheWatchdogLetsARowThatIsHeardFromRun)
{
    Select(1);
    page->EventOnFolderChosen(dir.path());
    page->EventOnBackupClick();
    for (int block = 0; block < 3; ++block) {
        now += TTransferPage::WatchdogMs - 1;
        IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[0], BackupBlock(uint16_t(block), 0));
        page->EventOnWatchdogTimer();
        EXPECT_EQ(page->RowState(0), tsRunning);
        EXPECT_EQ(Status(0), "Transmitting");
    }
}

TEST_F(BackupPage, TheWatchdogStartsTheNextBatchAfterEndingTheLastRunningRow)
{
    Select(21);
    page->EventOnFolderChosen(dir.path());
    page->EventOnBackupClick();
    for (int row = 1; row < 20; ++row)
        IntpTest::TFakeHost::Reply(Intp::ccBasicsBackupBuildin, devices[size_t(row)],
                                   BackupBlock(Intp::TransferLastBlock, 0));
    EXPECT_EQ(page->RowState(20), tsIdle);
    now += TTransferPage::WatchdogMs + 1;
    page->EventOnWatchdogTimer();
    EXPECT_EQ(page->RowState(0), tsTimeout);
    EXPECT_EQ(page->RowState(20), tsRunning);
    EXPECT_TRUE(page->IsBusy());
}

TEST_F(BackupPage, ASettingsReadFillsTheVersionsOfItsRowAlsoDuringARun)
{
    Select(2);
    page->EventOnFolderChosen(dir.path());
    page->EventOnBackupClick();
    Intp::TPropertyBasicsSettings settings;
    settings.KernelVersion = 0x0102;
    settings.FirmwareVersion = 0x030A;
    Put(devices[1], settings);
    page->OnWizardEvent(devices[1], Intp::ccBasicsSettingsGet, 0, nullptr);
    EXPECT_EQ(page->RowText(1, TTransferPage::tcKernel), "v1.02");
    EXPECT_EQ(page->RowText(1, TTransferPage::tcFirmware), "v3.10");
    EXPECT_EQ(page->RowText(0, TTransferPage::tcKernel), "Invalid");
}

// ---- Restore and upgrade -----------------------------------------------------

using RestorePage = TransferTest<TModuleBasicsRestore>;
using UpgradePage = TransferTest<TModuleBasicsUpgrade>;

TEST_F(RestorePage, ASelectionOfTwoModelsDisablesEveryModeControlInEitherOrder)
{
    for (int order = 0; order < 2; ++order) {
        Intp::TDevice* a = env.AddDevice(1, Ip(10, 0, 0, 1));
        Intp::TDevice* b = env.AddDevice(2, Ip(10, 0, 0, 2));
        a->SetType(0);
        b->SetType(1);
        env.host.selection = order == 0 ? TDeviceList{a, b} : TDeviceList{b, a};
        page->OnNotify(a, ncSelectionChanged, 0);
        EXPECT_EQ(page->RowCount(), 2);
        EXPECT_FALSE(page->m_SameModel) << order;
        EXPECT_FALSE(page->m_rbLocal->isEnabled());
        EXPECT_FALSE(page->m_ServerIp->isEnabled());
        EXPECT_FALSE(page->m_Restore->isEnabled());
        EXPECT_FALSE(page->m_Reboot->isEnabled());
        // The disabled controls say why.
        EXPECT_TRUE(ToolTipOf(page->m_Restore).contains("different models"));
        EXPECT_TRUE(ToolTipOf(page->m_rbLocal).contains("different models"));
        EXPECT_TRUE(ToolTipOf(page->m_Reboot).contains("once a run has ended"));
    }
}

TEST_F(RestorePage, ImageFilesUpToTheBlockLimitAreSentWholeAndEmptyOrLargerOnesRefused)
{
    Select(1);
    QString path = WriteFile("big.cfg", 0);
    page->EventOnFileChosen(path);
    ASSERT_TRUE(page->m_Restore->isEnabled());
    page->m_Restore->click();
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_EQ(env.messages[0], UploadEmptyMessage());
    EXPECT_TRUE(env.protocol.sent.empty());
    EXPECT_FALSE(page->IsBusy());
    env.messages.clear();

    ASSERT_TRUE(QFile::resize(path, qint64(Intp::TransferMaxUploadSize) + 1));
    page->EventOnFileChosen(path);
    ASSERT_TRUE(page->m_Restore->isEnabled());
    page->m_Restore->click();
    ASSERT_EQ(env.messages.size(), 1);
    EXPECT_EQ(env.messages[0], UploadTooLargeMessage());
    EXPECT_TRUE(env.protocol.sent.empty());
    EXPECT_FALSE(page->IsBusy());
    EXPECT_EQ(page->RowState(0), tsIdle);

    ASSERT_TRUE(QFile::resize(path, qint64(Intp::TransferMaxUploadSize)));
    page->m_Restore->click();
    EXPECT_EQ(env.messages.size(), 1);
    EXPECT_TRUE(page->IsBusy());
    EXPECT_EQ(env.protocol.SentWith(Intp::ccBasicsRestoreBuildin).size(), 1u);
}

TEST_F(RestorePage, TheSwitchsErrorStateEndsTheRowAndALaterTimeoutKeepsIt)
{
    Select(2);
    page->EventOnFileChosen(WriteFile("a.cfg", 2048));
    page->EventOnRestoreClick();
    IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreBuildin, devices[0], UploadState(0, 0));
    IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreBuildin, devices[0], UploadState(1, 4));
    EXPECT_EQ(Status(0), "Error");
    EXPECT_EQ(page->RowState(0), tsError);
    EXPECT_FALSE(env.protocol.TimeOut(devices[0], Intp::ccBasicsRestoreBuildin));  // the request ended
    page->OnWizardEvent(devices[0], Intp::ccBasicsRestoreBuildin, Intp::ssTimeout, nullptr);
    EXPECT_EQ(Status(0), "Error");
    EXPECT_TRUE(page->IsBusy());  // the other row still runs
}

TEST_F(RestorePage, ABlockSentAgainKeepsTransmittingAndWritingFlashHoldsTheRunButNotTheBatch)
{
    Select(21);
    page->EventOnFileChosen(WriteFile("a.cfg", 1024));
    page->EventOnRestoreClick();
    EXPECT_FALSE(page->m_Reboot->isEnabled());
    IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreBuildin, devices[0], UploadState(0, 3));
    EXPECT_EQ(Status(0), "Transmitting");
    IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreBuildin, devices[0], UploadState(1, 1));
    EXPECT_EQ(Status(0), "Writing flash");
    EXPECT_EQ(page->RowState(0), tsWritingFlash);
    for (int row = 1; row < 20; ++row)
        IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreBuildin, devices[size_t(row)], UploadState(1, 2));
    EXPECT_EQ(page->RowState(20), tsRunning);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreBuildin, devices[20], UploadState(1, 2));
    EXPECT_TRUE(page->IsBusy());
    IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreBuildin, devices[0], UploadState(1, 2));
    EXPECT_FALSE(page->IsBusy());
    EXPECT_TRUE(page->m_Reboot->isEnabled());
    EXPECT_TRUE(page->m_Restore->isEnabled());
}

TEST_F(RestorePage, AnImageThatCannotBeOpenedFailsEveryRowWithoutARun)
{
    Select(2);
    QString path = WriteFile("gone.cfg", 512);
    page->EventOnFileChosen(path);
    ASSERT_TRUE(QFile::remove(path));
    page->EventOnRestoreClick();
    EXPECT_EQ(Status(0), "Fail to send request");
    EXPECT_EQ(Status(1), "Fail to send request");
    EXPECT_FALSE(page->IsBusy());
    EXPECT_TRUE(env.protocol.sent.empty());
}

TEST_F(RestorePage, TftpRestoresRunInBatchesOfTwenty)
{
    Select(25);
    page->m_rbRemote->click();
    page->m_ServerIp->setText("10.0.0.200");
    EXPECT_FALSE(page->m_Restore->isEnabled());  // no file name yet
    page->m_RemoteFile->setText(QString(32, 'f'));
    ASSERT_TRUE(page->m_Restore->isEnabled());
    page->EventOnRestoreClick();
    EXPECT_EQ(Running(), 20);
    auto sent = SentTftp(env.protocol, Intp::ccBasicsRestoreTftp);
    ASSERT_EQ(sent.size(), 20u);
    ASSERT_EQ(env.protocol.SentWith(Intp::ccBasicsRestoreTftp)[0].payload.size(), 38u);
    EXPECT_EQ(sent[0].server, Ip(10, 0, 0, 200));
    EXPECT_EQ(sent[0].port, 69);
    EXPECT_EQ(sent[0].name, std::string(32, 'f'));  // all 32 bytes, no NUL
    for (int row = 0; row < 20; ++row)
        IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreTftp, devices[size_t(row)], TftpState(2));
    EXPECT_EQ(Running(), 5);
}

TEST_F(RestorePage, RebootIsOfferedOnlyAfterARunWhateverItsOutcome)
{
    Select(1);
    page->EventOnFileChosen(WriteFile("a.cfg", 512));
    EXPECT_FALSE(page->m_Reboot->isEnabled());
    page->EventOnRestoreClick();
    IntpTest::TFakeHost::Reply(Intp::ccBasicsRestoreBuildin, devices[0], UploadState(0, 0), 0x0007);
    EXPECT_EQ(Status(0), "Error: 0x0007");
    ASSERT_TRUE(page->m_Reboot->isEnabled());
    page->m_Reboot->click();
    EXPECT_EQ(env.protocol.SentWith(Intp::ccBasicsReboot).size(), 1u);
    page->OnNotify(devices[0], ncSelectionChanged, 0);
    EXPECT_FALSE(page->m_Reboot->isEnabled());
}

TEST_F(UpgradePage, UsesTheFirmwareRequestsAndTextsAndShowsEachRowsProgress)
{
    Select(1);
    page->EventOnFileChosen(WriteFile("fw.bin", 700, 'z'));
    page->EventOnUpgradeClick();
    auto frames = env.protocol.SentWith(Intp::ccBasicsUpgradeBuildin);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].payload.size(), 514u);
    EXPECT_EQ(page->RowProgress(0), 0);  // a bar from the start
    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeBuildin, devices[0], UploadState(0, 0));
    EXPECT_EQ(page->RowProgress(0), 50);  // one of two blocks
    EXPECT_EQ(Status(0), "Transmitting");

    // The bar fills the left half of the row's own Status cell; nothing is
    // painted below the rows.
    page->resize(900, 300);
    page->show();
    QApplication::sendPostedEvents();  // layout and column widths
    QWidget* viewport = page->m_ListView->viewport();
    const QImage shot = viewport->grab().toImage();
    const QRect cell = page->m_ListView->visualRect(page->m_ListView->Model()->index(0, TTransferPage::tcStatus));
    ASSERT_GT(cell.width(), 40);
    const QRgb base = shot.pixel(cell.right() - 2, cell.bottom() + 6);
    auto painted = [&](QRect area) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += shot.pixel(x, y) != base;
        return double(count) / (area.width() * area.height());
    };
    EXPECT_GT(painted(QRect(cell.left() + 3, cell.top() + 3, cell.width() * 2 / 5, cell.height() - 6)), 0.6);
    EXPECT_EQ(painted(QRect(0, cell.bottom() + 2, viewport->width(), viewport->height() - cell.bottom() - 2)), 0.0);
    // The model's name is whole beside the row's image.
    const QRect model = page->m_ListView->visualRect(page->m_ListView->Model()->index(0, TTransferPage::tcModel));
    EXPECT_GE(model.width(), page->m_ListView->fontMetrics().horizontalAdvance(page->RowText(0, TTransferPage::tcModel)) + 16);
    const auto blocks = SentAs<TransferWire::TBlock>(env.protocol, Intp::ccBasicsUpgradeBuildin);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1].block, 1);
    EXPECT_EQ(blocks[1].data[187], 'z');
    EXPECT_EQ(blocks[1].data[188], 0);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeBuildin, devices[0], UploadState(1, 2));
    EXPECT_EQ(Status(0), "Done");
    EXPECT_EQ(page->RowProgress(0), -1);
}

// ---- Save to flash -----------------------------------------------------------

using SavePage = TransferTest<TModuleSave>;

TEST_F(SavePage, WithoutALoggedInTargetTheListIsEmptyAndSaveDisabled)
{
    env.AddDevice(1, Ip(10, 0, 0, 1), false);
    env.host.selection = {Intp::FindDevice(Intp::TMacAddr(0x00, 0x11, 0x22, 0x33, 0x44, 1), false)};
    Refill();
    EXPECT_EQ(page->RowCount(), 0);
    EXPECT_FALSE(page->m_Save->isEnabled());
    EXPECT_TRUE(page->isVisible());
}

TEST_F(SavePage, SavesEveryRowAtOnceFromTheLastAndEndsWhenAllHaveAnOutcome)
{
    Select(3);
    ASSERT_TRUE(page->m_Save->isEnabled());
    page->m_Save->click();
    auto frames = env.protocol.SentWith(Intp::ccBasicsSave);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].mac, devices[2]->GetMac());
    EXPECT_EQ(frames[2].mac, devices[0]->GetMac());
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Status(row), "Sending request");
    EXPECT_FALSE(page->m_Save->isEnabled());

    ASSERT_TRUE(env.protocol.TimeOut(devices[1], Intp::ccBasicsSave));
    EXPECT_EQ(Status(1), "Timeout");
    IntpTest::TFakeHost::Reply(Intp::ccBasicsSave, devices[0], {0, 0, 0, 0}, 5);
    EXPECT_EQ(Status(0), "Error: 0x0005");
    EXPECT_TRUE(page->IsBusy());
    IntpTest::TFakeHost::Reply(Intp::ccBasicsSave, devices[2]);
    EXPECT_EQ(Status(2), "Done");
    EXPECT_FALSE(page->IsBusy());
    EXPECT_TRUE(page->m_Save->isEnabled());
}

}  // namespace
