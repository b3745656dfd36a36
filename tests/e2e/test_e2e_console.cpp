// The console against a fleet of fake switches: discovery, login, the
// first pages, wizards, the status monitor and the scan.
#include "tests/e2e/ConsoleE2E.h"

namespace {

TEST_F(ConsoleE2E, DiscoveryListsEverySwitchWithItsModelAndName)
{
    StartFleet(6);
    OpenConsole();
    DiscoverAll();
    for (size_t i = 0; i < m_Count; ++i) {
        Intp::TDevice *d = DeviceOf(i);
        EXPECT_EQ(d->GetIp(), FirstSwitchIp + i);
        EXPECT_EQ(d->GetName(), "E2E-" + std::to_string(i + 1));
        EXPECT_TRUE(m_Form->FindDeviceNode(d)->text(0).contains(QString::fromStdString(d->GetName())));
        EXPECT_EQ(m_Fleet.Requests(i, 0), 1u);
    }
}

TEST_F(ConsoleE2E, LoginAndLogoutChangeTheSwitchesState)
{
    StartFleet(3);
    OpenConsole();
    DiscoverAll();
    SelectAll();

    m_Form->EventOnLoginExecute();
    auto allLoggedIn = [&](bool in) {
        for (size_t i = 0; i < m_Count; ++i)
            if (DeviceOf(i)->TestFlags(Intp::dfLoggedIn) != in || m_Fleet.IsLoggedIn(i, ConsoleIp) != in)
                return false;
        return true;
    };
    EXPECT_TRUE(RunUntil([&] { return allLoggedIn(true); }, 30s));

    m_Form->EventOnLogoutExecute();
    EXPECT_TRUE(RunUntil([&] { return allLoggedIn(false) && m_Fleet.Requests(m_Count - 1, 2) == 2; }, 30s));
}

TEST_F(ConsoleE2E, WarningPagesAndTheMacBlacklistChangeEverySelectedSwitch)
{
    StartFleet(2); // switches the console supports: their pages are enabled
    OpenLoggedIn();

    auto *syslog = ReadPage<TModuleWarningSyslog, Intp::TSessionWarningSyslogGet>(*m_Form, TPageId::TModuleWarningSyslog);
    ASSERT_NE(syslog, nullptr);
    syslog->m_Mode->setCurrentIndex(3);
    syslog->m_Address->setText("198.18.0.1");
    syslog->m_Apply->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        auto r = FakeSwitch::RecordOf<Intp::TSessionWarningSyslogGet>(sw);
        return r.mode == 3 && r.server == ConsoleIp;
    }));

    auto *fault = ReadPage<TModuleWarningFault, Intp::TSessionWarningFaultGet>(*m_Form, TPageId::TModuleWarningFault);
    ASSERT_NE(fault, nullptr);
    ASSERT_GT(fault->m_PortList->count(), 0);
    fault->m_SysList->item(1)->setCheckState(Qt::Checked);
    fault->m_PortList->item(0)->setCheckState(Qt::Checked);
    fault->m_Apply->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        auto r = FakeSwitch::RecordOf<Intp::TSessionWarningFaultGet>(sw);
        return (r.systemMask & 2) && (r.portMask & 1);
    }));

    auto *smtp = ReadPage<TModuleWarningSmtp, Intp::TSessionWarningSmtpGet>(*m_Form, TPageId::TModuleWarningSmtp);
    ASSERT_NE(smtp, nullptr);
    smtp->m_Mode->setCurrentIndex(1);
    smtp->m_Address->setText("198.18.0.1");
    smtp->m_Sender->setText("switch@example.org");
    smtp->m_Subject->setText("Alarm");
    smtp->m_Recipients->setPlainText("admin@example.org");
    ASSERT_TRUE(smtp->m_Apply->isEnabled());
    smtp->m_Apply->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        auto r = FakeSwitch::RecordOf<Intp::TSessionWarningSmtpGet>(sw);
        return r.enabled && !r.recipients.empty() && r.recipients[0] == "admin@example.org";
    }));

    // With syslog and e-mail alarms configured, both choices are open (a
    // page not on show reads its masks as Refresh All does).
    auto *events =
        ReadPage<TModuleWarningEvent, Intp::TSessionWarningEventGet>(*m_Form, TPageId::TModuleWarningEvent, false);
    ASSERT_NE(events, nullptr);
    ASSERT_EQ(events->m_SysList->RowCount(), 4);
    for (int row = 0; row < 4; ++row)
        events->m_SysList->SetValue(row, 1, 1);
    events->m_Apply->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        return FakeSwitch::RecordOf<Intp::TSessionWarningEventGet>(sw).syslogSystem == 0xFu;
    }));

    // An address added to the blacklist and deleted again.
    auto *blacklist = ReadPage<TModuleSecurityMac, Intp::TSessionSecurityMacGet>(*m_Form, TPageId::TModuleSecurityMac);
    ASSERT_NE(blacklist, nullptr);
    const Intp::TMacAddr blocked(0x02, 0x00, 0x5E, 0x10, 0x20, 0x30);
    auto listed = [&](const FakeSwitch::TSwitch &sw) {
        auto table = FakeSwitch::TableOf<Intp::TSessionSecurityMacGet>(sw);
        return std::find(table.begin(), table.end(), blocked) != table.end();
    };
    blacklist->m_MAC->setText("02005E102030");
    ASSERT_TRUE(blacklist->m_Add->isEnabled());
    blacklist->m_Add->click();
    EXPECT_TRUE(OnEvery(listed));
    Intp::TDevice *current = DeviceOf(0);
    ASSERT_TRUE(RunUntil([&] { return Intp::Property<Intp::TPropertySecurityMac>::Get(current).entries.size() == 1; }, 30s));
    ASSERT_TRUE(EveryRead<Intp::TPropertySecurityMac>());
    blacklist->OnNotify(current, Intp::ccSecurityMacGet, 0);
    ASSERT_EQ(blacklist->m_List->RowCount(), 1);
    blacklist->m_List->SelectRow(0);
    ASSERT_TRUE(blacklist->m_Delete->isEnabled());
    blacklist->m_Delete->click();
    EXPECT_TRUE(OnEvery([&](const FakeSwitch::TSwitch &sw) { return !listed(sw); }));
}

TEST_F(ConsoleE2E, VlanGroupsAndPortsChangeEverySelectedSwitch)
{
    StartFleet(2);
    OpenLoggedIn();
    auto setMode = [&](int mode) {
        auto *page = ShowDevicePage<TModuleVlan>();
        ASSERT_NE(page, nullptr);
        page->m_Mode->setCurrentIndex(mode);
        page->m_Apply->click();
        ASSERT_TRUE(OnEvery([&](const FakeSwitch::TSwitch &sw) {
            return FakeSwitch::RecordOf<Intp::TSessionVlanGet>(sw).mode == uint32_t(mode);
        }));
    };

    // A port-based group added on both switches, then deleted.
    setMode(Intp::vmPortBased);
    auto *groups = ShowDevicePage<TModuleVlanPortBased>();
    ASSERT_NE(groups, nullptr);
    ASSERT_TRUE(RunUntil([&] { return groups->m_Ports->count() > 0; }, 30s));
    ASSERT_TRUE(EveryRead<Intp::TPropertyVlanPort>());
    groups->m_GroupName->setText("E2E group");
    groups->m_Vid->setValue(10);
    groups->m_Ports->item(0)->setCheckState(Qt::Checked);
    ASSERT_TRUE(groups->m_Add->isEnabled());
    groups->m_Add->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        auto table = FakeSwitch::TableOf<Intp::TSessionVlanPortGet>(sw);
        return table.size() == 1 && table[0].vid == 10 && table[0].ports == 1 && table[0].name == "E2E group";
    }));
    ASSERT_TRUE(RunUntil([&] { return groups->m_List->RowCount() == 1; }, 30s));
    ASSERT_TRUE(EveryRead<Intp::TPropertyVlanPort>());
    groups->m_List->SelectRow(0);
    ASSERT_TRUE(groups->m_Delete->isEnabled());
    groups->m_Delete->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        return FakeSwitch::TableOf<Intp::TSessionVlanPortGet>(sw).empty();
    }));
    EXPECT_TRUE(RunUntil([&] { return groups->m_List->RowCount() == 0; }, 30s));

    // In 802.1Q mode the first port becomes a hybrid port of VLAN 20.
    setMode(Intp::vm8021q);
    auto *ports = ShowDevicePage<TModuleVlan8021qPort>();
    ASSERT_NE(ports, nullptr);
    ASSERT_TRUE(RunUntil([&] { return ports->m_ListView->RowCount() > 0; }, 30s));
    // Each switch is sent its own page's rows: its table is read first.
    ASSERT_TRUE(EveryRead<Intp::TPropertyPortConfig>());
    ASSERT_TRUE(EveryRead<Intp::TPropertyVlan8021qPort>());
    ports->m_ListView->SelectRow(0);
    static_cast<QComboBox *>(ports->m_ListView->EditorOf(1))->setCurrentIndex(Intp::vlHybrid);
    auto *tagged = static_cast<QLineEdit *>(ports->m_ListView->EditorOf(3));
    tagged->setText("20");
    emit tagged->textEdited(tagged->text());
    ASSERT_TRUE(ports->m_Apply->isEnabled());
    ports->m_Apply->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        bool tagged = false, hybrid = false;
        for (const auto &vlan : FakeSwitch::TableOf<Intp::TSessionVlan8021qPortGet>(sw)) {
            tagged = tagged || (vlan.vid == 20 && (vlan.taggedPorts & 1));
            hybrid = hybrid || (vlan.vid == 0 && (vlan.untaggedPorts & 1));
        }
        return tagged && hybrid;
    }));
    EXPECT_TRUE(RunUntil([&] { return ports->m_ListView->Rows().at(0).tagged == "20"; }, 30s));
}

TEST_F(ConsoleE2E, RedundancyGoesFromRstpToTheRingAndBackOnEverySelectedSwitch)
{
    StartFleet(2);
    OpenLoggedIn();
    auto ringOn = [](const FakeSwitch::TSwitch &sw) {
        return FakeSwitch::RecordOf<Intp::TSessionRedundancyRingGet>(sw).ringEnabled;
    };
    auto rstpOn = [](const FakeSwitch::TSwitch &sw) {
        return FakeSwitch::RecordOf<Intp::TSessionRedundancyRstpGet>(sw).enabled;
    };
    Intp::TDevice *current = DeviceOf(0);
    // The page on show once the console holds the record it waits for.
    auto shown = [&](auto *page, auto record, uint16_t code) {
        using R = decltype(record);
        Require(EveryRead<R>(), "no record");
        page->OnNotify(current, code, 0);
    };

    auto *ring = ShowDevicePage<TModuleRedundancyRing>();
    ASSERT_NE(ring, nullptr);
    shown(ring, Intp::TPropertyRedundancyRing{}, Intp::ccRedundancyRstpGet);
    // The page goes by each switch's RSTP record too, read after its ring.
    shown(ring, Intp::TPropertyRedundancyRstp{}, Intp::ccRedundancyRstpGet);
    ASSERT_FALSE(ring->m_LegacyMode->isChecked());
    ring->m_LegacyMode->setChecked(true);
    ring->m_2ndPort->setCurrentIndex(1);
    ring->m_Apply->click();
    EXPECT_TRUE(OnEvery([&](const FakeSwitch::TSwitch &sw) { return ringOn(sw) && !rstpOn(sw); }));

    auto *rstp = ShowDevicePage<TModuleRedundancyRstp>();
    ASSERT_NE(rstp, nullptr);
    ASSERT_TRUE(RunUntil([&] { return !Intp::Property<Intp::TPropertyRedundancyRstp>::Get(current).enabled; }, 30s));
    shown(rstp, Intp::TPropertyRedundancyRstp{}, Intp::ccRedundancyRingGet);
    EXPECT_EQ(rstp->m_Mode->currentIndex(), 0);
    rstp->m_Mode->setCurrentIndex(1);
    rstp->m_Apply->click();
    EXPECT_TRUE(OnEvery([&](const FakeSwitch::TSwitch &sw) { return rstpOn(sw) && !ringOn(sw); }));

    ring = ShowDevicePage<TModuleRedundancyRing>();
    ASSERT_TRUE(RunUntil([&] { return !Intp::Property<Intp::TPropertyRedundancyRing>::Get(current).ringEnabled; }, 30s));
    shown(ring, Intp::TPropertyRedundancyRing{}, Intp::ccRedundancyRstpGet);
    EXPECT_FALSE(ring->m_LegacyMode->isChecked());
}

TEST_F(ConsoleE2E, RebootSilencesTheSwitchUntilItIsHeardAgain)
{
    StartFleet(2);
    m_Fleet.SetRebootSilence(300ms);
    OpenConsole();
    DiscoverAll();
    SelectAll();
    m_Form->EventOnLoginExecute();
    ASSERT_TRUE(RunUntil([&] { return m_Fleet.IsLoggedIn(0, ConsoleIp) && m_Fleet.IsLoggedIn(1, ConsoleIp); }, 30s));

    m_Form->EventOnRebootExecute();
    ASSERT_TRUE(RunUntil([&] { return DeviceOf(0)->GetIp() == 0 && DeviceOf(1)->GetIp() == 0; }, 30s));
    EXPECT_EQ(m_Fleet.Requests(0, 259), 1u);
    EXPECT_FALSE(m_Fleet.IsLoggedIn(0, ConsoleIp));

    // Heard again: a find to the switch's address answers once the reboot is over.
    QTimer retry;
    QObject::connect(&retry, &QTimer::timeout,
                     [] { Intp::TSessionIntpFind::SendFind(GetFindHook(), FirstSwitchIp); });
    retry.start(50);
    EXPECT_TRUE(RunUntil([&] { return DeviceOf(0)->GetIp() == FirstSwitchIp; }, 30s));
}

TEST_F(ConsoleE2E, IpConfigurationSetToTheLimitedBroadcastReachesItsSwitch)
{
    StartFleet(3);
    OpenConsole();
    DiscoverAll();

    constexpr uint32_t NewIp = 0xC6120164; // 198.18.1.100
    Intp::TSessionBasicsIPConfSet::TPayload payload;
    payload.Digest = Intp::MakeLoginDigest("admin", Password);
    payload.Ip = NewIp;
    payload.Netmask = SubnetMask;
    auto *request = new Intp::TSessionBasicsIPConfSet;
    request->SetPayload(payload);
    if (!request->Start(DeviceOf(1), nullptr)) {
        delete request;
        FAIL() << "not started";
    }
    EXPECT_TRUE(RunUntil([&] { return m_Fleet.Ip(1) == NewIp && DeviceOf(1)->GetIp() == NewIp; }, 30s));
    EXPECT_EQ(m_Fleet.Ip(0), FirstSwitchIp);
    EXPECT_EQ(m_Fleet.Ip(2), FirstSwitchIp + 2);
    EXPECT_TRUE(m_Fleet.WaitForRequests(1, 262, 2, 2s)); // discovery and the read after the Set
}

TEST_F(ConsoleE2E, SwitchWithShortSettingsRepliesIsAskedAgainUntilTheFollowUpEnds)
{
    StartFleet(3);
    m_Fleet.SetFault(0, 260, {FakeSwitch::TFaultKind::Short, 0});
    m_Fleet.SetFault(1, 262, {FakeSwitch::TFaultKind::Garbage, 0});
    OpenConsole();
    m_Form->EventOnDiscoveryExecute();

    ASSERT_TRUE(RunUntil([&] { return Discovered(2) && Listed(0) && Listed(1); }, 30s));
    // Six follow-up ticks of 400 ms each re-ask the settings of the switch that has none.
    ASSERT_TRUE(RunUntil([&] { return !m_Form->DiscoveryTimer()->isActive(); }, 10s));
    EXPECT_TRUE(m_Fleet.WaitForRequests(0, 260, 7, 2s)); // the last one may still be on its way
    EXPECT_EQ(m_Fleet.Requests(0, 260), 7u);
    EXPECT_FALSE(Intp::Property<Intp::TPropertyBasicsSettings>::Get(DeviceOf(0)).valid);
    EXPECT_TRUE(Intp::Property<Intp::TPropertyBasicsSettings>::Get(DeviceOf(1)).valid);
    EXPECT_FALSE(Intp::Property<Intp::TPropertyBasicsIPConf>::Get(DeviceOf(1)).valid);
    EXPECT_EQ(m_Fleet.Requests(1, 260), 1u);
}

TEST_F(ConsoleE2E, StatusMonitorShowsAlarmsAndSilentSwitches)
{
    StartFleet(3);
    m_Fleet.SetPing(0, 0x2, 0x1, 0xF);
    m_Fleet.SetFault(2, 6, {FakeSwitch::TFaultKind::Silent, 0});
    OpenConsole();
    auto *monitor = dynamic_cast<TStatusFrame *>(m_Form->GetStatusServer());
    ASSERT_NE(monitor, nullptr);
    monitor->QueryTmo()->setValue(1);
    DiscoverAll();

    auto state = [&](size_t i) { return monitor->GetDeviceStatus(DeviceOf(i)); };
    ASSERT_TRUE(RunUntil(
        [&] {
            return monitor->RowCount() == 3 && (state(0) & Status::sbAlarm) && (state(2) & Status::sbNoReply) &&
                   m_Fleet.Requests(1, 6) >= 1;
        },
        30s));
    EXPECT_EQ(state(1), 0u);
    QString alarm = monitor->RowText(monitor->FindRow(Intp::TMacAddr(MacOf(0).data())), TStatusFrame::scStatus);
    EXPECT_TRUE(alarm.contains("power2")) << alarm.toStdString();
    EXPECT_TRUE(alarm.contains("port 1")) << alarm.toStdString();

    m_Form->SelectPage("Status Monitor");
    Screenshot("status_monitor");
}

// A rebooted switch has address 0 and leaves the tree; the monitor asks it at
// its listed address, and its answer brings it back, shown Online.
TEST_F(ConsoleE2E, ARebootedSwitchComesBackThroughTheStatusMonitor)
{
    StartFleet(2);
    m_Fleet.SetRebootSilence(300ms);
    OpenConsole();
    TStatusFrame *monitor = Monitor();
    monitor->QueryTmo()->setValue(1);
    DiscoverAll();
    SelectAll();
    LogInAll();
    m_Form->EventOnRebootExecute();
    ASSERT_TRUE(RunUntil([&] { return DeviceOf(0)->GetIp() == 0 && !m_Form->FindDeviceNode(DeviceOf(0)); }, 30s));

    auto row = [&] { return monitor->FindRow(Intp::TMacAddr(MacOf(0).data())); };
    QTimer poll; // the poll cycle, sooner than its period
    QObject::connect(&poll, &QTimer::timeout, [&] { monitor->RefreshButton()->click(); });
    poll.start(400);
    EXPECT_TRUE(RunUntil(
        [&] {
            return DeviceOf(0)->GetIp() == FirstSwitchIp && m_Form->FindDeviceNode(DeviceOf(0)) &&
                   monitor->RowState(row()) == 0 && monitor->RowText(row(), TStatusFrame::scStatus) == "Online";
        },
        8s));
    EXPECT_EQ(m_Fleet.Requests(0, 0), 1u); // no new discovery
}

// Switches of both page-tree layouts: selecting a logged-in one always shows
// a page; a switch on show that reboots leaves the "Devices" page without a
// switch rather than with its last values.
TEST_F(ConsoleE2E, EverySelectedSwitchShowsAPageInBothLayoutsAndOneThatLeavesShowsNone)
{
    Model(); // the shipped model table
    const char *ids[] = {"LRCH-5T-A1", "BRCH-6G-C3"}; // layouts 0 and 1
    for (size_t i = 0; i < 2; ++i)
        m_Fleet.Add(SettingsOf(i, ids[i], Intp::GetDeviceTypes()[Intp::FindTypeByPid(Intp::MakeProductId(ids[i]))],
                               i == 0 ? "larch" : "birch"));
    m_Fleet.SetRebootSilence(2000ms);
    std::string error;
    ASSERT_TRUE(m_Fleet.Start(&error)) << error;
    m_Count = 2;
    OpenConsole();
    m_Form->resize(1280, 800);
    m_Form->EventOnDiscoveryExecute();
    ASSERT_TRUE(RunUntil(
        [&] {
            return DeviceOf(0) && DeviceOf(1) && m_Form->FindDeviceNode(DeviceOf(0)) &&
                   m_Form->FindDeviceNode(DeviceOf(1)) &&
                   Intp::Property<Intp::TPropertyBasicsSettings>::Get(DeviceOf(1)).valid;
        },
        10s));
    SelectAll();
    LogInAll();

    TModuleFrame *frame = m_Form->ModuleFrame();
    auto pageShown = [&] {
        TModule *page = frame->GetSelectedModule();
        return page && page->GetFrame() && page->GetFrame()->isVisible();
    };
    for (size_t i : {size_t(0), size_t(1), size_t(0), size_t(1)}) {
        SCOPED_TRACE(i);
        m_Form->Tree()->setCurrentItem(m_Form->FindDeviceNode(DeviceOf(i))); // as a click
        ASSERT_TRUE(RunUntil([&] { return m_Form->IsCurrentDevice(DeviceOf(i)) && pageShown(); }, 30s));
        EXPECT_EQ(g_ModuleLayout, int(i));
        EXPECT_TRUE(frame->ModuleTree()->currentItem() && frame->ModuleTree()->currentItem()->isSelected());
        Screenshot(i == 0 ? "layout0_page" : "layout1_page");
    }

    // The Birch on show reboots: its node goes, and so does its page's device.
    m_Form->EventOnRebootExecute();
    ASSERT_TRUE(RunUntil([&] { return !m_Form->FindDeviceNode(DeviceOf(1)); }, 30s));
    ASSERT_TRUE(RunUntil(
        [&] { return frame->ShownBanner() == frame->DefaultBanner() && m_Form->Tree()->currentItem() == m_Form->DevicesNode(); },
        30s));
    Intp::TDevice *current = nullptr;
    EXPECT_EQ(m_Form->GetCurrentDevice(current), 0);
    Screenshot("device_gone");
}

// Three switches take an 8 MB firmware image at once; each row's bar in its
// Status cell moves from the start to the end.
TEST_F(ConsoleE2E, AnEightMegabyteUpgradeShowsEachRowsProgressFromStartToEnd)
{
    constexpr size_t ImageSize = 8 << 20;
    StartFleet(3);
    for (size_t i = 0; i < m_Count; ++i)
        m_Fleet.Edit(i, [](FakeSwitch::TSwitch &sw) { sw.UploadBlocks = FakeSwitch::BlocksOf(ImageSize); });
    OpenConsole();
    m_Form->resize(1280, 800);
    DiscoverAll();
    SelectAll();
    LogInAll();
    auto *upgrade = dynamic_cast<TModuleBasicsUpgrade *>(SelectDevicePage("Upgrade"));
    ASSERT_NE(upgrade, nullptr);
    ASSERT_TRUE(RunUntil([&] { return upgrade->isVisible() && upgrade->RowCount() == 3; }, 30s));

    QTemporaryDir dir;
    const QString image = dir.filePath("firmware.bin");
    {
        QFile file(image);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(QByteArray(int(ImageSize), 'f')), qint64(ImageSize));
    }
    upgrade->EventOnFileChosen(image);
    upgrade->EventOnUpgradeClick();
    ASSERT_TRUE(upgrade->IsBusy());

    std::vector<std::vector<int>> seen(3);
    bool shot = false;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        bool halfway = true;
        for (int row = 0; row < 3; ++row) {
            const int percent = upgrade->RowProgress(row);
            if (percent >= 0 && (seen[row].empty() || seen[row].back() != percent))
                seen[row].push_back(percent);
            halfway = halfway && percent >= 40;
        }
        if (halfway && !shot) {
            shot = true;
            Screenshot("upgrade_progress");
        }
    });
    sample.start(5);
    seen[0].push_back(upgrade->RowProgress(0)); // at the start
    ASSERT_TRUE(RunUntil([&] { return !upgrade->IsBusy(); }, 120s));
    EXPECT_EQ(seen[0].front(), 0);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(upgrade->RowText(row, TTransferPage::tcStatus), "Done");
        ASSERT_GE(seen[row].size(), 5u); // it moved, step by step
        EXPECT_TRUE(std::is_sorted(seen[row].begin(), seen[row].end()));
        EXPECT_LE(seen[row].front(), 20);
        EXPECT_GE(seen[row].back(), 90);
        EXPECT_EQ(m_Fleet.Snapshot(size_t(row)).Uploads[256].size(), ImageSize);
    }
}

// 254 switches answer one broadcast discovery, twice: every one is listed
// with its chain done, none lost. (bench_discovery times it.)
TEST_F(ConsoleE2E, DiscoveryOfAFullSubnetLosesNoSwitch)
{
    StartFleet(254);
    OpenConsole();
    for (int round = 0; round < 2; ++round) {
        // Cursors keep the check cheap: it runs after every event batch.
        size_t done = 0;
        m_Form->EventOnDiscoveryExecute();
        EXPECT_TRUE(RunUntil(
            [&] {
                for (; done < m_Count && Discovered(done); ++done) {
                }
                return done == m_Count;
            },
            20s))
            << "round " << round << ": " << ListedCount() << " of " << m_Count << " listed, " << done
            << " with their chain done";
    }
}

TEST_F(ConsoleE2E, StatusMonitorShowsASilentSwitchOfflineUntilItAnswersAgain)
{
    StartFleet(3);
    OpenConsole();
    auto *monitor = dynamic_cast<TStatusFrame *>(m_Form->GetStatusServer());
    ASSERT_NE(monitor, nullptr);
    monitor->QueryTmo()->setValue(1);
    monitor->QueryPeriod()->setValue(5);
    DiscoverAll();

    auto row = [&](size_t i) { return monitor->FindRow(Intp::TMacAddr(MacOf(i).data())); };
    auto text = [&](size_t i) { return monitor->RowText(row(i), TStatusFrame::scStatus); };
    auto reported = [&](size_t i) { return monitor->RowText(row(i), TStatusFrame::scTime); };
    auto answered = [&](size_t i) { return row(i) >= 0 && reported(i) != "(No response yet)"; };
    auto background = [&](size_t i) {
        const TListModel *model = monitor->List()->Model();
        return model->data(model->index(row(i), 0), Qt::BackgroundRole).value<QBrush>();
    };
    auto heardAt = [&](size_t i) { return monitor->List()->Model()->Number(row(i), TStatusFrame::scTime); };
    ASSERT_TRUE(RunUntil([&] { return answered(0) && answered(1) && answered(2); }, 30s));
    for (size_t i = 0; i < m_Count; ++i)
        EXPECT_EQ(text(i), "Online");

    // Silent: the next poll times out after a second.
    m_Fleet.SetFault(1, 6, {FakeSwitch::TFaultKind::Silent, 0});
    const unsigned heard = m_Fleet.Requests(0, 6);
    const QString lastHeard = reported(1);
    const long long lastHeardAt = heardAt(1);
    monitor->RefreshButton()->click();
    ASSERT_TRUE(RunUntil([&] { return monitor->RowState(row(1)) & Status::sbNoReply; }, 3s));
    EXPECT_EQ(text(1), "Offline");
    EXPECT_EQ(monitor->RowImage(row(1)), TStatusFrame::imSilent);
    EXPECT_EQ(background(1).color(), QColor(255, 0, 0));
    EXPECT_EQ(reported(1), lastHeard);
    EXPECT_EQ(heardAt(1), lastHeardAt);
    EXPECT_GT(m_Fleet.Requests(0, 6), heard);
    for (size_t i : {size_t(0), size_t(2)}) {
        EXPECT_EQ(text(i), "Online");
        EXPECT_EQ(monitor->RowState(row(i)), 0u);
    }

    // Answering again: the poll timer's next cycle (one period on) finds it.
    m_Fleet.ClearFaults(1);
    ASSERT_TRUE(RunUntil([&] { return monitor->RowState(row(1)) == 0; }, 8s));
    EXPECT_EQ(text(1), "Online");
    EXPECT_EQ(monitor->RowImage(row(1)), TStatusFrame::imAnswering);
    EXPECT_EQ(background(1).style(), Qt::NoBrush);
    EXPECT_GT(heardAt(1), lastHeardAt);
    for (size_t i = 0; i < m_Count; ++i)
        EXPECT_EQ(text(i), "Online") << i;
}

// One switch per banner family of the shipped model table; each is selected
// in the device tree and its banner, fed by the switch's ping record, the
// monitor's state word and the switch's redundancy read, is saved as a PNG
// (to E2E_ARTIFACTS_DIR when set).
struct TBannerCase {
    TBannerKind Kind;
    TDeviceTypeFileModel Model;
    uint32_t PowerAlarm, FailedPorts, PortStates;
    uint8_t HardwareMode, Mode; // the redundancy read's reply
    bool Silent;                // stops answering pings after discovery
};

std::vector<TBannerCase> BannerCases()
{
    std::ifstream file(CONSOLE_DEVICES_DEV, std::ios::binary);
    TDeviceTypesFile table = ParseDeviceTypesFile(file);
    const TBannerCase wanted[] = {
        {bkGeneral, {}, 0, 0, 0xFFFF, 0, 0, false},
        {bkLarch, {}, 0, 0, 0x15, 1, Intp::rmFastRecovery, false},
        {bkCedar, {}, 0, 0x2, 0x93, 1, Intp::rmRstp, false},
        {bkMaple, {}, 0x1, 0, 0x6, 1, Intp::rmRing, false},
        {bkBirch, {}, 0, 0, 0x2D, 0, Intp::rmRing, false},
        {bk10port, {}, 0, 0, 0x335, 1, Intp::rmRstp, true},
    };
    std::vector<TBannerCase> cases;
    for (TBannerCase c : wanted) {
        for (const TDeviceTypeFileModel &m : table.models) {
            if (BannerKindOf(m.banner) == c.Kind && !m.id.empty()) {
                c.Model = m;
                cases.push_back(c);
                break;
            }
        }
    }
    return cases;
}

QString KindName(const TBannerVariant &variant)
{
    return QString::fromLatin1(variant.className).mid(int(strlen("TModuleBanner"))).toLower();
}

TEST_F(ConsoleE2E, BannersShowTheLiveStateOfEveryModelFamily)
{
    Model(); // registers the shipped model table
    const std::vector<TBannerCase> cases = BannerCases();
    ASSERT_EQ(cases.size(), size_t(bkCount)) << "the model table lacks a banner family";
    std::map<FakeSwitch::TMac, std::pair<uint8_t, uint8_t>> redundancy;
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string &id = cases[i].Model.id;
        FakeSwitch::TSwitchSettings s =
            SettingsOf(i, id, Intp::GetDeviceTypes()[Intp::FindTypeByPid(Intp::MakeProductId(id))],
                       KindName(BannerVariant(cases[i].Kind)).toStdString());
        s.ObjectId = std::string("1.3.6.1.4.1.") + g_SupportedOid + ".1";
        m_Fleet.Add(s);
        m_Fleet.SetPing(i, cases[i].PowerAlarm, cases[i].FailedPorts, cases[i].PortStates);
        redundancy[s.Mac] = {cases[i].HardwareMode, cases[i].Mode};
    }
    m_Fleet.SetHandler(775, {[redundancy](FakeSwitch::TSwitch &sw, const FakeSwitch::TRequest &) {
                                 auto [hardware, mode] = redundancy.at(sw.Settings.Mac);
                                 return FakeSwitch::TReply{0, FakeSwitch::TWriter().U8(hardware).U8(mode).Take(), {}};
                             },
                             false, 2, 4});
    std::string error;
    ASSERT_TRUE(m_Fleet.Start(&error)) << error;
    m_Count = cases.size();

    OpenConsole();
    m_Form->resize(1280, 800); // a desktop-sized window
    auto *monitor = dynamic_cast<TStatusFrame *>(m_Form->GetStatusServer());
    ASSERT_NE(monitor, nullptr);
    monitor->QueryTmo()->setValue(1);
    m_Form->EventOnDiscoveryExecute();
    auto pinged = [&](size_t i) {
        Intp::TDevice *d = DeviceOf(i);
        return d && m_Form->FindDeviceNode(d) && d->GetTypeName() == cases[i].Model.name &&
               Intp::Property<Intp::TPropertyIntpPing2>::Get(d).valid;
    };
    ASSERT_TRUE(RunUntil(
        [&] {
            for (size_t i = 0; i < m_Count; ++i)
                if (!pinged(i))
                    return false;
            return true;
        },
        10s));
    for (size_t i = 0; i < m_Count; ++i) {
        if (!cases[i].Silent)
            continue;
        m_Fleet.SetFault(i, 6, {FakeSwitch::TFaultKind::Silent, 0});
        monitor->RefreshButton()->click();
        ASSERT_TRUE(RunUntil([&] { return monitor->GetDeviceStatus(DeviceOf(i)) & Status::sbNoReply; }, 3s));
    }

    const QString artifacts = qEnvironmentVariable("E2E_ARTIFACTS_DIR");
    if (!artifacts.isEmpty())
        QDir().mkpath(artifacts);
    for (size_t i = 0; i < m_Count; ++i) {
        const TBannerCase &c = cases[i];
        const TBannerVariant &variant = BannerVariant(c.Kind);
        SCOPED_TRACE(variant.className);
        Intp::TDevice *device = DeviceOf(i);
        m_Form->Tree()->setCurrentItem(m_Form->FindDeviceNode(device)); // as a click
        auto banner = [&] { return dynamic_cast<TModuleBanner *>(m_Form->ModuleFrame()->ShownBanner()); };
        auto radioShown = [&] {
            QAbstractButton *radio = c.Mode == Intp::rmRing           ? banner()->m_QuollRing
                                     : c.Mode == Intp::rmRstp         ? banner()->m_RSTP
                                     : c.Mode == Intp::rmFastRecovery ? banner()->m_FRecovery
                                                                      : nullptr;
            return !variant.hasRedundancy || (radio && radio->isChecked());
        };
        ASSERT_TRUE(RunUntil(
            [&] {
                return banner() && &banner()->Variant() == &variant && banner()->isVisible() &&
                       banner()->m_MacAddr->text() == QString::fromStdString(device->GetMac().ToString()) &&
                       radioShown();
            },
            30s));
        TModuleBanner *shown = banner();
        EXPECT_TRUE(shown->isEnabled());
        EXPECT_EQ(shown->m_IpAddr->text().toStdString(), IpToString(FirstSwitchIp + uint32_t(i)));
        if (shown->m_Hardware) {
            EXPECT_EQ(shown->m_Hardware->isChecked(), c.HardwareMode != 0);
        }
        EXPECT_EQ(shown->m_StatusOnline->State(), c.Silent ? lsError : lsGood);
        EXPECT_EQ(shown->m_StatusQuery->State(), lsGood);
        EXPECT_EQ(shown->m_StatusIp->State(), lsGood);
        EXPECT_EQ(shown->m_StatusFault->State(), c.PowerAlarm || c.FailedPorts ? lsError : lsGood);

        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest); // laid out as shown
        QImage grabbed = shown->grab().toImage();
        if (TFrontPanelView *panel = shown->m_LinkImage) {
            // Sockets of the model's ports: green up, black down; spare ones silver.
            const int sockets = variant.panel.socketCount;
            for (int port = 0; port < sockets; ++port) {
                QPoint at = panel->FillPoint(port);
                if (!panel->Picture().rect().contains(at))
                    continue;
                int state = port >= int(c.Model.portNum) ? psUnknown
                            : (c.PortStates >> port & 1) ? psLinkUp
                                                         : psLinkDown;
                QPoint onScreen = panel->mapTo(shown, panel->PictureOrigin() + at);
                EXPECT_EQ(QColor(grabbed.pixel(onScreen)), PortColour(state)) << "port " << port + 1;
            }
        } else {
            EXPECT_EQ(c.Kind, bkGeneral);
        }
        if (!artifacts.isEmpty()) {
            const QString path = artifacts + "/e2e_banner_" + KindName(variant) + ".png";
            EXPECT_TRUE(grabbed.save(path)) << path.toStdString();
        }
    }
}

// Saves a picture of the widget to E2E_ARTIFACTS_DIR when that is set.
void SaveArtifact(QWidget *widget, const QString &name)
{
    const QString artifacts = qEnvironmentVariable("E2E_ARTIFACTS_DIR");
    if (artifacts.isEmpty())
        return;
    QDir().mkpath(artifacts);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_TRUE(widget->grab().save(artifacts + "/" + name));
}

// Five switches get new addresses from a range in one pass of the group IP
// wizard (the Sets go to the limited broadcast address) and a new discovery
// finds them there.
TEST_F(ConsoleE2E, GroupIpWizardMovesFiveSwitchesIntoARangeInOnePass)
{
    StartFleet(5);
    OpenConsole();
    m_Form->resize(1280, 800);
    DiscoverAll();
    ASSERT_TRUE(m_Form->SelectPage(QString::fromLatin1(TWizardFrame::kGroupIpPath)));
    auto *wizard = m_Form->findChild<TWizardGroupIpFrame *>();
    ASSERT_NE(wizard, nullptr);
    ASSERT_TRUE(wizard->isVisible());

    wizard->m_Next->click();
    wizard->m_Picker->m_Step1SelectAll->click();
    ASSERT_EQ(wizard->m_Picker->Selected().size(), m_Count);
    wizard->m_Next->click();
    wizard->m_Step2Range->click();
    wizard->m_Step2IpBegin->setText("198.18.1.100");
    wizard->m_Step2IpEnd->setText("198.18.1.120");
    wizard->m_Step2Netmask->setText("255.254.0.0");
    ASSERT_TRUE(wizard->m_Next->isEnabled());
    const std::vector<uint32_t> plan = wizard->Plan();
    wizard->m_Next->click();

    auto allDone = [&] {
        for (int row = 0; row < wizard->RowCount(); ++row)
            if (wizard->RowImage(row) != TWizardGroupIpFrame::riDone)
                return false;
        return true;
    };
    ASSERT_TRUE(RunUntil(allDone, 10s));
    EXPECT_TRUE(wizard->m_Prev->isEnabled());
    std::set<uint32_t> moved;
    for (int row = 0; row < wizard->RowCount(); ++row) {
        const FakeSwitch::TMac mac = [&] {
            FakeSwitch::TMac m{};
            wizard->RowMac(row).CopyTo(m.data());
            return m;
        }();
        size_t index = 0;
        while (index < m_Count && MacOf(index) != mac)
            ++index;
        ASSERT_LT(index, m_Count);
        EXPECT_EQ(m_Fleet.Ip(index), plan[size_t(row)]) << row;
        EXPECT_EQ(wizard->RowText(row, TWizardGroupIpFrame::pcOriginalIp).toStdString(), IpToString(plan[size_t(row)]));
        moved.insert(m_Fleet.Ip(index));
    }
    EXPECT_EQ(moved.size(), m_Count);
    SaveArtifact(wizard, "e2e_group_ip_wizard.png");

    // Found at the new addresses by the next discovery.
    m_Form->EventOnDiscoveryExecute();
    ASSERT_TRUE(RunUntil(
        [&] {
            if (!AllDiscovered())
                return false;
            for (size_t i = 0; i < m_Count; ++i)
                if (!moved.count(DeviceOf(i)->GetIp()))
                    return false;
            return true;
        },
        10s));
}

// Three switches of one model get one image file in one pass of the group
// firmware wizard; each keeps exactly the bytes of the file.
TEST_F(ConsoleE2E, GroupFirmwareWizardUpgradesThreeSwitchesFromOneFile)
{
    StartFleet(3);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray image(200 * 512 + 77, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 31 + i / 512);
    const QString path = dir.filePath("firmware.bin");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(image), image.size());
    }
    for (size_t i = 0; i < m_Count; ++i)
        m_Fleet.Edit(i, [&](FakeSwitch::TSwitch &sw) { sw.UploadBlocks = FakeSwitch::BlocksOf(size_t(image.size())); });
    OpenConsole();
    m_Form->resize(1280, 800);
    DiscoverAll();
    SelectAll();
    LogInAll();

    ASSERT_TRUE(m_Form->SelectPage(QString::fromLatin1(TWizardFrame::kGroupFwPath)));
    auto *wizard = m_Form->findChild<TWizardGroupFwFrame *>();
    ASSERT_NE(wizard, nullptr);
    wizard->m_Next->click();
    ASSERT_EQ(wizard->m_Picker->ToSelect().size(), m_Count);
    wizard->m_Picker->m_Step1SelectAll->click();
    wizard->m_Next->click();
    TGroupFwPreview *preview = wizard->m_Step2Preview;
    preview->EventOnFileChosen(path);
    ASSERT_TRUE(wizard->m_Next->isEnabled());
    wizard->m_Next->click();
    ASSERT_TRUE(preview->IsBusy());
    ASSERT_TRUE(RunUntil([&] { return !preview->IsBusy(); }, 30s));
    for (int row = 0; row < preview->RowCount(); ++row)
        EXPECT_EQ(preview->RowState(row), tsDone) << row;
    for (size_t i = 0; i < m_Count; ++i) {
        const FakeSwitch::TBytes received = m_Fleet.Snapshot(i).Uploads[256];
        ASSERT_GE(received.size(), size_t(image.size())) << i;
        EXPECT_TRUE(std::equal(image.begin(), image.end(), received.begin(),
                               [](char a, uint8_t b) { return uint8_t(a) == b; }))
            << i;
        // The last block is padded with zeros.
        EXPECT_TRUE(std::all_of(received.begin() + image.size(), received.end(), [](uint8_t b) { return b == 0; }));
    }
    EXPECT_TRUE(wizard->m_Prev->isEnabled());
    SaveArtifact(wizard, "e2e_group_firmware_wizard.png");
}

} // namespace

TEST_F(ConsoleE2E, SettingsPageChangesNameLocationAndContactAndReadsThemBack)
{
    StartFleet(2);
    OpenConsole();
    DiscoverAll();
    SelectAndLogIn({1});
    auto *page = ShowDevicePage<TModuleBasicsSettings>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->m_Name->text(), "E2E-2");

    page->m_Name->setText("edge-7");
    page->m_Location->setText("Hall B, rack 3");
    page->m_Contact->setText("noc@example.net");
    page->m_Apply->click();
    // The Set's re-read refills the page with what the switch now holds.
    ASSERT_TRUE(RunUntil([&] { return DeviceOf(1)->GetName() == "edge-7"; }, 30s));
    EXPECT_EQ(m_Fleet.Snapshot(1).Running.Location, "Hall B, rack 3");
    EXPECT_EQ(m_Fleet.Snapshot(1).Running.Contact, "noc@example.net");
    EXPECT_EQ(m_Fleet.Snapshot(0).Running.Name, "E2E-1");

    page->m_Location->clear();
    page->m_Contact->clear();
    page->Refresh(true);
    EXPECT_TRUE(RunUntil([&] { return page->m_Location->text() == "Hall B, rack 3"; }, 30s));
    EXPECT_EQ(page->m_Name->text(), "edge-7");
    EXPECT_EQ(page->m_Contact->text(), "noc@example.net");
}

TEST_F(ConsoleE2E, IpConfigurationPageMovesASwitchToANewAddress)
{
    StartFleet(3);
    OpenConsole();
    DiscoverAll();
    SelectAndLogIn({2});
    auto *page = ShowDevicePage<TModuleBasicsIPConf>();
    ASSERT_NE(page, nullptr);
    std::vector<uint32_t> flushed;
    page->m_ArpFlusher = [&](const std::vector<uint32_t> &addresses) { flushed = addresses; };
    ASSERT_TRUE(RunUntil([&] { return page->NodeOf(DeviceOf(2)).isValid(); }, 30s));

    constexpr uint32_t NewIp = 0xC61201C8; // 198.18.1.200
    page->m_Tree->setCurrentIndex(page->NodeOf(DeviceOf(2)));
    page->m_Method->setCurrentIndex(TModuleBasicsIPConf::mtManual);
    page->m_Dhcp->setChecked(false);
    page->m_Address->setText("198.18.1.200");
    page->m_Mask->setText("255.254.0.0");
    page->m_Set->click();
    ASSERT_EQ(TModuleBasicsIPConf::NodeImage(page->NodeOf(DeviceOf(2))), TModuleBasicsIPConf::niPlanned);
    page->m_Apply->click();

    ASSERT_TRUE(RunUntil([&] { return m_Fleet.Ip(2) == NewIp && DeviceOf(2)->GetIp() == NewIp; }, 30s));
    EXPECT_EQ(flushed, std::vector<uint32_t>{FirstSwitchIp + 2});
    // Found at the new address: a find sent there is answered from it.
    m_Form->SelectDeviceNodes({DeviceOf(0)});
    const unsigned finds = m_Fleet.Requests(2, 0);
    Intp::TSessionIntpFind::SendFind(GetFindHook(), NewIp);
    EXPECT_TRUE(m_Fleet.WaitForRequests(2, 0, finds + 1, 2s));
    EXPECT_TRUE(RunUntil([&] { return DeviceOf(2)->GetIp() == NewIp && Listed(2); }, 30s));
    EXPECT_EQ(m_Fleet.Ip(0), FirstSwitchIp);
}

TEST_F(ConsoleE2E, RebootPageRebootsTheSwitchAndItComesBack)
{
    StartFleet(2);
    m_Fleet.SetRebootSilence(300ms);
    OpenConsole();
    DiscoverAll();
    SelectAndLogIn({0});
    auto *page = ShowDevicePage<TModuleBasicsReboot>();
    ASSERT_NE(page, nullptr);
    page->m_Reboot->click();
    ASSERT_TRUE(RunUntil([&] { return DeviceOf(0)->GetIp() == 0; }, 30s));
    EXPECT_EQ(m_Fleet.Requests(0, 259), 1u);
    EXPECT_EQ(m_Fleet.Requests(1, 259), 0u);

    // Back: a find to its address is answered once the reboot is over.
    QTimer retry;
    QObject::connect(&retry, &QTimer::timeout,
                     [] { Intp::TSessionIntpFind::SendFind(GetFindHook(), FirstSwitchIp); });
    retry.start(50);
    EXPECT_TRUE(RunUntil([&] { return DeviceOf(0)->GetIp() == FirstSwitchIp && Listed(0); }, 30s));
}

namespace {

// The interface's IFF_PROMISC flag, as the kernel shows it.
bool IsPromiscuous(const std::string &interface)
{
    std::ifstream flags("/sys/class/net/" + interface + "/flags");
    unsigned long value = 0;
    flags >> std::hex >> value;
    return value & 0x100;
}

// Takes the interface down or up, as its user would.
bool SetLinkUp(const std::string &interface, bool up)
{
    return std::system(("ip link set dev " + interface + (up ? " up" : " down")).c_str()) == 0;
}

} // namespace

TEST_F(ConsoleE2E, ScanListsEverySwitchAndDropsMalformedReplies)
{
    const char *consoleIf = getenv("E2E_CONSOLE_IF");
    const char *switchIf = getenv("E2E_SWITCH_IF");
    if (!consoleIf || !switchIf)
        GTEST_SKIP() << "needs the interfaces of test_e2e_console.sh";
    StartFleet(3);
    FakeSwitch::TScanResponder responder([this] { return m_Fleet.Identities(); });
    responder.SetNetworkNamespace(getenv("E2E_SWITCH_NETNS"));
    responder.SetFaults({std::begin(FakeSwitch::AllScanFaults), std::end(FakeSwitch::AllScanFaults)});
    std::string error;
    ASSERT_TRUE(responder.Start(switchIf, &error)) << error;
    std::vector<std::string> boxes;
    SetMessageBoxHook([&](const TMessageBoxRequest &request) {
        boxes.push_back(request.text.toStdString());
        return QMessageBox::Ok;
    });
    OpenConsole();
    TScanForm *form = ShowScanForm(consoleIf);
    EXPECT_EQ(form->IpAddress()->text(), "198.18.0.1, ");

    std::set<std::pair<std::string, std::string>> expected;
    for (size_t i = 0; i < 3; ++i)
        expected.insert({Intp::TMacAddr(MacOf(i).data()).ToString(), IpToString(FirstSwitchIp + uint32_t(i))});
    auto listed = [&] {
        std::set<std::pair<std::string, std::string>> rows;
        for (int i = 0; i < form->ListView()->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = form->ListView()->topLevelItem(i);
            EXPECT_EQ(row->text(0).toInt(), i + 1);
            rows.insert({row->text(1).toStdString(), row->text(2).toStdString()});
        }
        return rows;
    };
    // Each good reply comes behind seven malformed ones on the same link, so
    // once the good ones are listed every malformed one has been dropped.
    for (bool promiscuous : {false, true}) {
        form->Promiscuous()->setChecked(promiscuous);
        form->ScanButton()->click();
        ASSERT_TRUE(boxes.empty()) << boxes.front();
        EXPECT_EQ(IsPromiscuous(consoleIf), promiscuous);
        ASSERT_TRUE(RunUntil([&] { return form->ListView()->topLevelItemCount() >= 3; }, 30s))
            << form->ListView()->topLevelItemCount();
        EXPECT_EQ(listed(), expected);
        EXPECT_EQ(form->ListView()->topLevelItemCount(), 3);
    }
    EXPECT_TRUE(responder.WaitForScanFrames(2, 2s));
    EXPECT_EQ(responder.ScanFrames(), 2u);

    // Hiding while the capture waits for frames returns at once and closes the adapter.
    form->ScanButton()->click();
    QElapsedTimer clock;
    clock.start();
    form->hide();
    EXPECT_LT(clock.elapsed(), 100);
    EXPECT_FALSE(form->Thread()->IsOpen());
    EXPECT_FALSE(IsPromiscuous(consoleIf));
    // Replies already queued for the dialog are not listed after it hid.
    EXPECT_TRUE(responder.WaitForScanFrames(3, 2s));
    QCoreApplication::processEvents();
    EXPECT_EQ(form->ListView()->topLevelItemCount(), 0);
}

TEST_F(ConsoleE2E, ScanOnAnAdapterThatGoesDownEndsItsCaptureAndSaysSo)
{
    const char *consoleIf = getenv("E2E_CONSOLE_IF");
    if (!consoleIf)
        GTEST_SKIP() << "needs the interfaces of test_e2e_console.sh";
    StartFleet(1);
    OpenConsole();
    TScanForm *form = ShowScanForm(consoleIf);
    form->ScanButton()->click();
    ASSERT_TRUE(form->Thread()->IsOpen());

    ASSERT_TRUE(SetLinkUp(consoleIf, false));
    const bool ended = RunUntil([&] { return !form->CaptureState()->text().isEmpty(); }, 30s);
    ASSERT_TRUE(SetLinkUp(consoleIf, true));
    EXPECT_TRUE(ended);
    EXPECT_FALSE(form->Thread()->IsOpen());
    EXPECT_TRUE(form->CaptureState()->text().contains(QString::fromLatin1(consoleIf) + " went down"))
        << form->CaptureState()->text().toStdString();
    // Up again once a find crosses the pair.
    QDeadlineTimer deadline(10000);
    bool crossed = false;
    while (!crossed && !deadline.hasExpired())
        crossed = E2E::TimedFind(FirstSwitchIp, 1).Found == 1;
    ASSERT_TRUE(crossed);

    // A new scan on the adapter, up again, runs and clears the note.
    form->ScanButton()->click();
    EXPECT_TRUE(form->Thread()->IsOpen());
    EXPECT_TRUE(form->CaptureState()->text().isEmpty());
}
