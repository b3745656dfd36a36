// The group wizards driven through their controls against the fake hosts:
// what each IP configuration Set and upgrade carries, the rows' outcomes,
// and the watchdog that frees a wizard whose switches a discovery removed.
#include "tests/pages/PageTestKit.h"
#include "tests/pages/TransferTestKit.h"

#include "console/GroupFirmwareWizard.h"
#include "console/GroupIpWizard.h"
#include "console/ModuleFrame.h"
#include "intp/SystemSettings.h"
#include "intp/Codes.h"
#include "intp/Md5.h"
#include "intp/Operations.h"
#include "intp/Transfer.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/kit/PageWidgets.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

template <class TFrame>
class WizardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wizard.SetHost(&env.host);
        env.host.credentialsOk = true;
        env.host.user = "admin";
        env.host.password = "secret";
    }

    // count switches 10.0.0.1 ... listed (and logged in).
    void List(int count, std::uint32_t model = 1)
    {
        for (int i = 0; i < count; ++i) {
            devices.push_back(env.AddDevice(uint8_t(i + 1), Ip(10, 0, 0, unsigned(i + 1))));
            devices.back()->SetType(model);
        }
        env.host.selection = devices;
    }

    // Step 1 with every listed switch chosen, then step 2.
    void ChooseAll()
    {
        wizard.EventOnNextClick();
        wizard.m_Picker->EventOnSelectAllClick();
        ASSERT_TRUE(wizard.m_Next->isEnabled());
        wizard.EventOnNextClick();
        ASSERT_EQ(wizard.Step(), 2);
    }

    TPageTestEnvironment env;
    TFrame wizard;
    std::vector<Intp::TDevice*> devices;
};

// ---- Group IP ----------------------------------------------------------------

class GroupIpWizard : public WizardTest<TWizardGroupIpFrame> {
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        wizard.SetArpFlush([this] { ++flushes; });
    }

    void Range(const char* begin, const char* end, const char* mask, const char* gateway = "")
    {
        wizard.m_Step2Range->setChecked(true);
        wizard.EventOnModeClick();
        wizard.m_Step2IpBegin->setText(begin);
        wizard.m_Step2IpEnd->setText(end);
        wizard.m_Step2Netmask->setText(mask);
        wizard.m_Step2Gateway->setText(gateway);
    }

    QStringList NewIps() const
    {
        QStringList texts;
        for (int row = 0; row < wizard.RowCount(); ++row)
            texts << wizard.RowText(row, TWizardGroupIpFrame::pcNewIp);
        return texts;
    }

    std::vector<IntpTest::TSent> Sets() const { return env.protocol.SentWith(Intp::ccBasicsIPConfSet); }
    std::vector<Intp::TBasicsIPConfPayload> Payloads() const
    {
        return SentPayloads<Intp::TSessionBasicsIPConfSet>(env.protocol);
    }

    int flushes = 0;
};

TEST_F(GroupIpWizard, StepOneOffersEveryListedSwitchAndMovingReversesTheMovedRows)
{
    EXPECT_EQ(wizard.m_Step2Preview->Model()->ColumnCount(), 4); // no status column
    List(3);
    devices[1]->SetLoggedIn(false);
    wizard.EventOnNextClick();
    TDevicePicker* picker = wizard.m_Picker;
    ASSERT_EQ(picker->ToSelect().size(), 3u);
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    EXPECT_FALSE(picker->m_Step1Select->isEnabled());
    EXPECT_TRUE(picker->m_Step1SelectAll->isEnabled());

    picker->EventOnSelectAllClick();
    ASSERT_EQ(picker->Selected().size(), 3u);
    EXPECT_EQ(picker->Selected().front().mac, devices[2]->GetMac());
    EXPECT_TRUE(picker->ToSelect().empty());
    EXPECT_TRUE(wizard.m_Next->isEnabled());
    EXPECT_TRUE(picker->m_Step1Unselect->isEnabled()); // the moved rows are selected

    picker->EventOnUnselectAllClick();
    EXPECT_TRUE(picker->Selected().empty());
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    wizard.EventOnPrevClick();
    EXPECT_EQ(wizard.Step(), 0);
}

TEST_F(GroupIpWizard, ARangeGivesTheTopRowTheFirstAddressAndTheBottomRowsSetGoesFirst)
{
    List(3);
    ChooseAll(); // rows: switch 3, 2, 1
    EXPECT_EQ(wizard.m_Next->text(), "&Apply");
    Range("10.0.1.10", "10.0.1.20", "255.255.255.0", "10.0.1.1");
    EXPECT_EQ(NewIps(), (QStringList{"10.0.1.10", "10.0.1.11", "10.0.1.12"}));
    ASSERT_TRUE(wizard.m_Next->isEnabled());
    wizard.EventOnNextClick();

    const auto sets = Sets();
    const auto payloads = Payloads();
    ASSERT_EQ(sets.size(), 3u);
    const Intp::TMd5Digest digest = Intp::MakeLoginDigest("admin", "secret");
    for (std::size_t i = 0; i < sets.size(); ++i) {
        const IntpTest::TSent& frame = sets[i];
        EXPECT_EQ(frame.ip, 0xFFFFFFFFu);
        EXPECT_EQ(frame.mac, devices[i]->GetMac()); // the bottom row (switch 1) first
        ASSERT_EQ(frame.payload.size(), 37u);
        const Intp::TBasicsIPConfPayload& sent = payloads[i];
        EXPECT_EQ(sent.Digest, digest);
        EXPECT_FALSE(sent.Dhcp);
        EXPECT_EQ(sent.Ip, Ip(10, 0, 1, unsigned(12 - i)));
        EXPECT_EQ(sent.Netmask, Ip(255, 255, 255, 0));
        EXPECT_EQ(sent.Gateway, Ip(10, 0, 1, 1));
        EXPECT_EQ(sent.Dns1, 0u);
        EXPECT_EQ(sent.Dns2, 0u);
    }
    EXPECT_FALSE(wizard.m_Prev->isEnabled());
    EXPECT_FALSE(wizard.m_Step2SettingsPanel->isEnabled());
}

TEST_F(GroupIpWizard, DhcpSetsCarryTheFlagAndTheServerAddress)
{
    List(2);
    ChooseAll();
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    EXPECT_EQ(wizard.RowText(0, TWizardGroupIpFrame::pcNewIp), "DHCP");
    wizard.m_Step2DhcpServer->setText("10.0.0.254");
    ASSERT_TRUE(wizard.m_Next->isEnabled());
    wizard.EventOnNextClick();
    const auto sets = Payloads();
    ASSERT_EQ(sets.size(), 2u);
    for (const Intp::TBasicsIPConfPayload& sent : sets) {
        EXPECT_TRUE(sent.Dhcp);
        EXPECT_EQ(sent.Ip, Ip(10, 0, 0, 254));
    }
}

TEST_F(GroupIpWizard, ARangeThatCannotServeEverySwitchKeepsApplyOffAndGatewaysOutsideAreZero)
{
    List(3);
    ChooseAll();
    Range("10.0.1.10", "10.0.1.10", "255.255.255.0");
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    EXPECT_EQ(NewIps(), (QStringList{"0.0.0.0", "0.0.0.0", "0.0.0.0"}));
    Range("10.0.1.10", "10.0.1.11", "255.255.255.0");
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    // .254 and the first hosts of the next subnet: the broadcast and network addresses are skipped.
    Range("10.0.1.254", "10.0.2.9", "255.255.255.0", "10.0.1.1");
    EXPECT_EQ(NewIps(), (QStringList{"10.0.1.254", "10.0.2.1", "10.0.2.2"}));
    EXPECT_FALSE(wizard.m_Step2Gateway->isEnabled()); // two subnets: no gateway
    EXPECT_EQ(wizard.m_Step2Gateway->text(), "0.0.0.0");
    EXPECT_EQ(wizard.Gateway(), 0u);
    // Three addresses serve three switches, so the gateway stays offered; on
    // one of them it leaves two.
    Range("10.0.1.10", "10.0.1.12", "255.255.255.0", "10.0.1.11");
    EXPECT_TRUE(wizard.m_Step2Gateway->isEnabled());
    EXPECT_EQ(wizard.m_Step2Gateway->text(), "10.0.1.11");
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    // A gateway outside the begin's subnet is sent as 0.
    Range("10.0.1.10", "10.0.1.20", "255.255.255.0", "10.0.9.1");
    EXPECT_TRUE(wizard.m_Step2Gateway->isEnabled());
    ASSERT_TRUE(wizard.m_Next->isEnabled());
    wizard.EventOnNextClick();
    ASSERT_EQ(Sets().size(), 3u);
    EXPECT_EQ(Payloads()[0].Gateway, 0u);
}

TEST_F(GroupIpWizard, AddressesOfOtherListedSwitchesAndTheGatewayAreNotHandedOut)
{
    List(4);
    devices[3]->SetIp(Ip(10, 0, 1, 11)); // listed, not chosen
    wizard.EventOnNextClick();
    wizard.m_Picker->m_Step1ToSelect->selectAll();
    wizard.m_Picker->m_Step1ToSelect->selectionModel()->select(
        wizard.m_Picker->m_Step1ToSelect->Model()->index(3, 0),
        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    wizard.m_Picker->EventOnSelectClick();
    wizard.EventOnNextClick();
    ASSERT_EQ(wizard.RowCount(), 3);
    Range("10.0.1.10", "10.0.1.20", "255.255.255.0", "10.0.1.12");
    EXPECT_EQ(NewIps(), (QStringList{"10.0.1.10", "10.0.1.13", "10.0.1.14"}));
}

TEST_F(GroupIpWizard, CancelledCredentialsOrAnEmptyUserSendNothing)
{
    List(2);
    ChooseAll();
    Range("10.0.1.10", "10.0.1.20", "255.255.255.0");
    env.host.credentialsOk = false;
    wizard.EventOnNextClick();
    env.host.credentialsOk = true;
    env.host.user.clear();
    wizard.EventOnNextClick();
    EXPECT_TRUE(Sets().empty());
    EXPECT_TRUE(wizard.m_Prev->isEnabled());
}

TEST_F(GroupIpWizard, MovingTheTopSwitchToTheBottomGivesItTheLastAddress)
{
    List(3);
    ChooseAll(); // switch 3, 2, 1
    Range("10.0.1.10", "10.0.1.20", "255.255.255.0");
    wizard.m_Step2Preview->SelectRow(0);
    EXPECT_FALSE(wizard.m_Step2MoveTop->isEnabled());
    EXPECT_TRUE(wizard.m_Step2MoveButtom->isEnabled());
    wizard.EventOnMoveClick(rmBottom);
    EXPECT_EQ(wizard.RowMac(2), devices[2]->GetMac());
    EXPECT_EQ(wizard.m_Step2Preview->SelectedRow(), 2);
    EXPECT_EQ(NewIps(), (QStringList{"10.0.1.10", "10.0.1.11", "10.0.1.12"}));
    wizard.EventOnNextClick();
    const auto sets = Sets();
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].mac, devices[2]->GetMac());
    EXPECT_EQ(Payloads()[0].Ip, Ip(10, 0, 1, 12));
    EXPECT_EQ(sets[2].mac, devices[1]->GetMac());
    EXPECT_EQ(Payloads()[2].Ip, Ip(10, 0, 1, 10));
}

TEST_F(GroupIpWizard, EachResultMarksItsRowAndFlushesTheArpCacheAndTheLastOneFreesTheWizard)
{
    List(2);
    ChooseAll(); // switch 2, 1
    Range("10.0.1.10", "10.0.1.20", "255.255.255.0");
    wizard.EventOnNextClick();
    EXPECT_FALSE(wizard.Leave(false));
    const QString question = RunningWorkBelow(&wizard).join('\n');
    EXPECT_TRUE(question.contains("new addresses") && !question.contains("image")) << question.toStdString();

    devices[1]->SetIp(Ip(10, 0, 1, 10)); // the switch answers from its new address
    IntpTest::TFakeHost::Reply(Intp::ccBasicsIPConfSet, devices[1]);
    EXPECT_EQ(wizard.RowImage(0), TWizardGroupIpFrame::riDone);
    EXPECT_EQ(wizard.RowText(0, TWizardGroupIpFrame::pcOriginalIp), "10.0.1.10");
    EXPECT_EQ(wizard.m_Picker->Selected()[0].cells[TWizardGroupIpFrame::kcIp], "10.0.1.10");
    EXPECT_EQ(flushes, 1);
    EXPECT_FALSE(wizard.m_Prev->isEnabled());
    // Results that end no row (another code, a row already ended) flush too.
    wizard.OnWizardEvent(devices[0], Intp::ccBasicsSettingsGet, Intp::ssOk, nullptr);
    wizard.OnWizardEvent(devices[1], Intp::ccBasicsIPConfSet, Intp::ssOk, nullptr);
    EXPECT_EQ(flushes, 3);

    IntpTest::TFakeHost::Reply(Intp::ccBasicsIPConfSet, devices[0], {0, 0, 0, 0}, 0x0005);
    EXPECT_EQ(wizard.RowImage(1), TWizardGroupIpFrame::riFailed);
    EXPECT_EQ(flushes, 4);
    EXPECT_TRUE(wizard.m_Prev->isEnabled());
    EXPECT_TRUE(wizard.m_Next->isEnabled());
    EXPECT_FALSE(wizard.Watchdog()->isActive());
    EXPECT_TRUE(wizard.Leave(false));
    EXPECT_EQ(wizard.Step(), 0);
}

TEST_F(GroupIpWizard, TheWatchdogFailsRowsWhoseSwitchesADiscoveryRemoved)
{
    List(2);
    ChooseAll();
    Range("10.0.1.10", "10.0.1.20", "255.255.255.0");
    wizard.EventOnNextClick();
    ASSERT_TRUE(wizard.Watchdog()->isActive());
    EXPECT_GE(wizard.Watchdog()->interval(), 60000); // longer than any reply timer

    // A discovery: the devices and their requests' time-outs are gone.
    Intp::DeleteAllDevices();
    EXPECT_FALSE(wizard.Leave(false));
    wizard.EventOnWatchdogTimer();
    for (int row = 0; row < wizard.RowCount(); ++row)
        EXPECT_EQ(wizard.RowImage(row), TWizardGroupIpFrame::riFailed);
    EXPECT_EQ(flushes, 1);
    EXPECT_TRUE(wizard.m_Prev->isEnabled());
    EXPECT_TRUE(wizard.m_Step2SettingsPanel->isEnabled());
    EXPECT_TRUE(wizard.Leave(false));
}

// ---- Group firmware -------------------------------------------------------------

class GroupFwWizard : public WizardTest<TWizardGroupFwFrame> {
protected:
    void SetUp() override
    {
        WizardTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        wizard.m_Step2Preview->SetClock([this] { return now; });
    }

    QString Image(qint64 size)
    {
        const QString path = dir.filePath("fw.bin");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(int(size), 'f'));
        return path;
    }

    TGroupFwPreview* Preview() const { return wizard.m_Step2Preview; }

    QTemporaryDir dir;
    qint64 now = 1000;
};

TEST_F(GroupFwWizard, OnlyLoggedInSwitchesAreOfferedWithTheirVersions)
{
    List(3);
    devices[1]->SetLoggedIn(false);
    auto& settings = Intp::Property<Intp::TPropertyBasicsSettings>::Get(devices[0]);
    settings.valid = true;
    settings.KernelVersion = 0x0102;
    settings.FirmwareVersion = 0x030A;
    wizard.EventOnNextClick();
    const TWizardDevices& offered = wizard.m_Picker->ToSelect();
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0].cells[TWizardGroupFwFrame::kcKernel], "v1.02");
    EXPECT_EQ(offered[0].cells[TWizardGroupFwFrame::kcFirmware], "v3.10");
    EXPECT_EQ(offered[1].cells[TWizardGroupFwFrame::kcKernel], "Invalid");
    EXPECT_EQ(offered[1].mac, devices[2]->GetMac());
}

TEST_F(GroupFwWizard, TheListsKeepTheirColumnOrderAndThePreviewHasNoStatusColumn)
{
    for (QHeaderView* header : {wizard.m_Picker->m_Step1ToSelect->header(), wizard.m_Picker->m_Step1Selected->header(),
                                Preview()->m_ListView->header()})
        EXPECT_FALSE(header->sectionsMoved());
    EXPECT_TRUE(Preview()->m_ListView->isColumnHidden(TTransferPage::tcStatus));
}

TEST_F(GroupFwWizard, SwitchesOfAnotherModelAreRefusedAlsoWithNothingSelectedOnTheRight)
{
    List(2, 1);
    devices[1]->SetType(2);
    wizard.EventOnNextClick();
    TDevicePicker* picker = wizard.m_Picker;
    picker->EventOnSelectAllClick();
    EXPECT_EQ(env.messages, QStringList{"You cannot select devices of different model!"});
    EXPECT_TRUE(picker->Selected().empty());

    picker->m_Step1ToSelect->SelectRow(0);
    picker->EventOnSelectClick();
    ASSERT_EQ(picker->Selected().size(), 1u);
    picker->m_Step1Selected->clearSelection();
    picker->m_Step1ToSelect->SelectRow(0);
    picker->EventOnSelectClick();
    EXPECT_EQ(env.messages.size(), 2);
    EXPECT_EQ(picker->Selected().size(), 1u);
    EXPECT_EQ(picker->ToSelect().size(), 1u);
}

TEST_F(GroupFwWizard, ALocalImageGoesToEverySwitchAtOnceAndEachRowShowsItsProgress)
{
    List(3);
    ChooseAll(); // rows: switch 3, 2, 1
    EXPECT_EQ(wizard.m_Next->text(), "&Upgrade");
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    Preview()->EventOnFileChosen(Image(4 * 512));
    ASSERT_TRUE(wizard.m_Next->isEnabled());
    wizard.EventOnNextClick();

    const auto blocks = env.protocol.SentWith(Intp::ccBasicsUpgradeBuildin);
    ASSERT_EQ(blocks.size(), 3u); // no batches: all at once, the bottom row first
    EXPECT_EQ(blocks[0].mac, devices[0]->GetMac());
    EXPECT_TRUE(Preview()->IsBusy());
    EXPECT_FALSE(wizard.m_Prev->isEnabled());
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    EXPECT_FALSE(wizard.Leave(false));

    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeBuildin, devices[2], UploadState(1, 0));
    EXPECT_EQ(Preview()->RowState(0), tsRunning);
    EXPECT_EQ(Preview()->RowProgress(0), -1); // no progress beside the image
    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeBuildin, devices[2], UploadState(3, 1));
    EXPECT_EQ(Preview()->RowState(0), tsWritingFlash);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeBuildin, devices[2], UploadState(3, 2));
    EXPECT_EQ(Preview()->RowState(0), tsDone);
    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeBuildin, devices[1], UploadState(0, 4));
    EXPECT_EQ(Preview()->RowState(1), tsError);
    EXPECT_TRUE(Preview()->IsBusy());
    // Writing flash, then the request's time-out.
    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeBuildin, devices[0], UploadState(3, 1));
    ASSERT_EQ(Preview()->RowState(2), tsWritingFlash);
    ASSERT_TRUE(env.protocol.TimeOut(devices[0], Intp::ccBasicsUpgradeBuildin));
    for (int i = 0; i < 3 && env.protocol.TimeOut(devices[0], Intp::ccBasicsUpgradeBuildin); ++i) {
    }
    EXPECT_EQ(Preview()->RowState(2), tsTimeout);
    EXPECT_FALSE(Preview()->IsBusy());
    EXPECT_TRUE(wizard.m_Prev->isEnabled());
    EXPECT_TRUE(wizard.m_Next->isEnabled());
}

TEST_F(GroupFwWizard, ASwitchOfAnotherModelByTheStartIsNotSentTheImage)
{
    List(2);
    ChooseAll(); // rows: switch 2, 1
    Preview()->EventOnFileChosen(Image(4 * 512));
    devices[1]->SetType(2);
    wizard.EventOnNextClick();
    const auto blocks = env.protocol.SentWith(Intp::ccBasicsUpgradeBuildin);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].mac, devices[0]->GetMac());
    EXPECT_EQ(Preview()->RowState(0), tsError);
    EXPECT_EQ(Preview()->RowState(1), tsRunning);
}

TEST_F(GroupFwWizard, AnImageDeletedAfterItWasChosenMarksEveryRowAnError)
{
    List(2);
    ChooseAll();
    const QString image = Image(4 * 512);
    Preview()->EventOnFileChosen(image);
    ASSERT_TRUE(wizard.m_Next->isEnabled());
    ASSERT_TRUE(QFile::remove(image));
    wizard.EventOnNextClick();
    EXPECT_TRUE(env.protocol.SentWith(Intp::ccBasicsUpgradeBuildin).empty());
    for (int row = 0; row < Preview()->RowCount(); ++row)
        EXPECT_EQ(Preview()->RowState(row), tsError) << row;
    EXPECT_FALSE(Preview()->IsBusy());
    EXPECT_TRUE(wizard.m_Prev->isEnabled());
}

TEST_F(GroupFwWizard, TheTftpNameIsLatin1AndLimitedToItsBytesAsTyped)
{
    List(1);
    ChooseAll();
    Preview()->m_Mode.remote->setChecked(true);
    Preview()->EventOnModeClick();
    Preview()->m_Mode.server->setText("10.0.0.200");
    // One byte each, 32 fit the switch's field; a euro sign has no byte.
    for (const QChar c : QString(40, QChar(0xE9)) + QChar(0x20AC)) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(Preview()->m_Mode.field, &key);
    }
    EXPECT_EQ(Preview()->m_Mode.field->text(), QString(32, QChar(0xE9)));
    ASSERT_TRUE(wizard.m_Next->isEnabled());
    wizard.EventOnNextClick();
    const auto sent = SentTftp(env.protocol, Intp::ccBasicsUpgradeTftp);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].name, std::string(32, '\xE9'));
}

TEST_F(GroupFwWizard, TftpUpgradesCarryAtMost32NameBytesAndAnUnknownStateIsAnError)
{
    List(1);
    ChooseAll();
    Preview()->m_Mode.remote->setChecked(true);
    Preview()->EventOnModeClick();
    EXPECT_FALSE(wizard.m_Next->isEnabled());
    Preview()->m_Mode.server->setText("10.0.0.200");
    Preview()->m_Mode.field->setText(QString(40, 'n'));
    EXPECT_EQ(Preview()->m_Mode.field->text().size(), 32);
    ASSERT_TRUE(wizard.m_Next->isEnabled());
    wizard.EventOnNextClick();
    const auto sent = SentTftp(env.protocol, Intp::ccBasicsUpgradeTftp);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(env.protocol.SentWith(Intp::ccBasicsUpgradeTftp)[0].payload.size(), 38u);
    EXPECT_EQ(sent[0].server, Ip(10, 0, 0, 200));
    EXPECT_EQ(sent[0].name, std::string(32, 'n'));

    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeTftp, devices[0], TftpState(9));
    EXPECT_EQ(Preview()->RowState(0), tsError);
    EXPECT_FALSE(Preview()->IsBusy());
}

TEST_F(GroupFwWizard, TheWatchdogEndsUpgradesWhoseSwitchesADiscoveryRemoved)
{
    List(2);
    ChooseAll();
    Preview()->EventOnFileChosen(Image(512));
    wizard.EventOnNextClick();
    IntpTest::TFakeHost::Reply(Intp::ccBasicsUpgradeBuildin, devices[0], UploadState(0, 1)); // writing flash
    ASSERT_TRUE(Preview()->Watchdog()->isActive());

    Intp::DeleteAllDevices();
    now += TTransferPage::WatchdogMs + 1;
    Preview()->EventOnWatchdogTimer();
    EXPECT_EQ(Preview()->RowState(0), tsTimeout);
    EXPECT_EQ(Preview()->RowState(1), tsTimeout);
    EXPECT_FALSE(Preview()->IsBusy());
    EXPECT_TRUE(wizard.m_Prev->isEnabled());
    EXPECT_TRUE(wizard.Leave(false));
    EXPECT_EQ(wizard.Step(), 0);
}

} // namespace
