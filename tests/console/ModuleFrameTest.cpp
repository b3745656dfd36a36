#include "FakePages.h"

#include "console/ModuleFrame.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

class ModuleFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterTestModels(3);
        g_ModuleCallback = &m_Host;
        m_Frame = std::make_unique<TModuleFrame>();
        m_Login = Add("Login", nullptr);
        m_Settings = Add("Settings", m_LoginNode);
        m_Ports = Add("Ports", nullptr);
        m_Group = m_Frame->AddModule(m_Frame->Adopt(std::make_unique<TModuleDummy>("Group")), nullptr);
        m_InGroup = Add("In Group", m_Group);
        m_Frame->show();
    }
    void TearDown() override
    {
        m_Frame.reset();
        g_ModuleCallback = nullptr;
        Intp::DeleteAllDevices();
    }

    TRecordingPage* Add(const char* caption, QTreeWidgetItem* parent)
    {
        auto* page = static_cast<TRecordingPage*>(m_Frame->Adopt(std::make_unique<TRecordingPage>(caption, &m_Log)));
        QTreeWidgetItem* node = m_Frame->AddModule(page, parent);
        if (!parent && !m_LoginNode)
            m_LoginNode = node;
        m_Nodes[page] = node;
        return page;
    }
    TRecordingPage* AddBanner(const char* caption, int key)
    {
        auto* banner = static_cast<TRecordingPage*>(m_Frame->Adopt(std::make_unique<TRecordingPage>(caption, &m_Log)));
        banner->m_HasFrame = true;
        EXPECT_TRUE(m_Frame->RegisterBanner(key, banner));
        return banner;
    }
    void Select(TRecordingPage* page) { m_Frame->ModuleTree()->setCurrentItem(m_Nodes[page]); }

    TFakePageHost m_Host;
    std::unique_ptr<TModuleFrame> m_Frame;
    std::vector<std::string> m_Log;
    std::map<TRecordingPage*, QTreeWidgetItem*> m_Nodes;
    QTreeWidgetItem* m_LoginNode = nullptr;
    QTreeWidgetItem* m_Group = nullptr;
    TRecordingPage* m_Login = nullptr;
    TRecordingPage* m_Settings = nullptr;
    TRecordingPage* m_Ports = nullptr;
    TRecordingPage* m_InGroup = nullptr;
};

}  // namespace

TEST_F(ModuleFrame, PageWithReadsStaysHiddenBehindTheWaitLabelUntilItsReply)
{
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    m_Settings->m_Reads = 2;
    Select(m_Settings);
    EXPECT_TRUE(m_Settings->isHidden());
    EXPECT_FALSE(m_Frame->WaitLabel()->isHidden());
    EXPECT_EQ(m_Settings->Count(ncSelectionChanged), 0);

    // Its own Get reply arrives for the current device.
    m_Frame->OnNotify(m_Host.Current(), 260, 0);
    EXPECT_FALSE(m_Settings->isHidden());
    EXPECT_TRUE(m_Frame->WaitLabel()->isHidden());

    // A page without reads fills itself at once.
    Select(m_Ports);
    EXPECT_EQ(m_Ports->Count(ncSelectionChanged), 1);
    EXPECT_FALSE(m_Ports->isHidden());
    EXPECT_TRUE(m_Frame->WaitLabel()->isHidden());
}

// A transfer notifies the page on show at every block: the page host must
// not lay the window out anew each time.
TEST_F(ModuleFrame, NotificationsToAShownPageLeaveTheWaitLabelAlone)
{
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    Select(m_Ports);
    ASSERT_FALSE(m_Ports->isHidden());
    struct TCounter : QObject {
        int changes = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            changes += event->type() == QEvent::Show || event->type() == QEvent::Hide;
            return false;
        }
    } counter;
    m_Frame->WaitLabel()->installEventFilter(&counter);
    for (int block = 0; block < 50; ++block)
        m_Frame->OnNotify(m_Host.Current(), 256, 0);
    EXPECT_EQ(counter.changes, 0);
    EXPECT_TRUE(m_Frame->WaitLabel()->isHidden());
}

TEST_F(ModuleFrame, GroupNodeStartsNoReadAndHidesTheWaitLabel)
{
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    m_Settings->m_Reads = 1;
    Select(m_Settings);
    ASSERT_FALSE(m_Frame->WaitLabel()->isHidden());
    m_Log.clear();
    m_Frame->ModuleTree()->setCurrentItem(m_Group);
    EXPECT_TRUE(m_Frame->WaitLabel()->isHidden());
    EXPECT_EQ(m_Log, (std::vector<std::string>{"Settings: leave"}));
}

TEST_F(ModuleFrame, RefreshAnswersTheSelectedPageAndRefreshAllTheSum)
{
    m_Login->m_Reads = 1;
    m_Settings->m_Reads = 2;
    m_Ports->m_Reads = 3;
    m_InGroup->m_Reads = 4;
    EXPECT_EQ(m_Frame->Refresh(true), 0);
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    Select(m_Ports);
    EXPECT_EQ(m_Frame->Refresh(true), 3);
    EXPECT_EQ(m_Frame->Refresh(false), 10);
}

TEST_F(ModuleFrame, PageThatRefusesToLeaveKeepsTheSelection)
{
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    Select(m_Ports);
    m_Ports->m_AllowLeave = false;
    Select(m_Settings);
    EXPECT_EQ(m_Frame->GetSelectedModule(), m_Ports);
    EXPECT_EQ(m_Frame->ModuleTree()->currentItem(), m_Nodes[m_Ports]);
    EXPECT_FALSE(m_Frame->Leave(false));
    EXPECT_TRUE(m_Frame->Leave(true));
}

TEST_F(ModuleFrame, DeviceNotLoggedInAlwaysLandsOnTheLoginPage)
{
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001, false)};
    Select(m_Ports);
    EXPECT_EQ(m_Frame->GetSelectedModule(), m_Login);
    EXPECT_EQ(m_Login->Count(ncSelectionChanged), 1);
    EXPECT_EQ(m_Ports->Count(ncSelectionChanged), 0);

    // The same from the main tree's selection change.
    m_Host.Current()->SetLoggedIn(true);
    Select(m_Ports);
    ASSERT_EQ(m_Frame->GetSelectedModule(), m_Ports);
    Intp::TDevice* other = MakeDevice(2, 1, 0x0A000002, false);
    m_Frame->Leave(false);
    m_Host.selection = {other};
    m_Frame->OnNotify(other, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->GetSelectedModule(), m_Login);
}

TEST_F(ModuleFrame, BannerFollowsTheModelAndStaysForTheSameModel)
{
    TRecordingPage* general = AddBanner("General", 0);
    TRecordingPage* larch = AddBanner("Larch", 1);
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 1, 0x0A000002);
    Intp::TDevice* c = MakeDevice(3, 3, 0x0A000003);

    m_Frame->OnNotify(a, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->ShownBanner(), larch);
    m_Log.clear();
    m_Frame->OnNotify(b, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->ShownBanner(), larch);
    EXPECT_EQ(std::count(m_Log.begin(), m_Log.end(), "Larch: leave force"), 0);
    EXPECT_EQ(std::count(m_Log.begin(), m_Log.end(), "Larch: refresh all"), 1);

    // Model 3 has no banner of its own: the default.
    m_Frame->OnNotify(c, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->ShownBanner(), general);
    EXPECT_EQ(std::count(m_Log.begin(), m_Log.end(), "Larch: leave force"), 1);

    // No device: the default as well.
    m_Frame->OnNotify(nullptr, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->ShownBanner(), general);

    // Every notification reaches the banner.
    m_Frame->OnNotify(c, 0x0A02, 0);
    EXPECT_EQ(general->Count(0x0A02), 1);
}

TEST_F(ModuleFrame, BannerRegistrationKeepsTheFirstPageOfAKey)
{
    TModule* first = m_Frame->Adopt(std::make_unique<TRecordingPage>("First"));
    TModule* second = m_Frame->Adopt(std::make_unique<TRecordingPage>("Second"));
    EXPECT_FALSE(m_Frame->RegisterBanner(1, nullptr));
    EXPECT_TRUE(m_Frame->RegisterBanner(0, first));
    EXPECT_FALSE(m_Frame->RegisterBanner(0, second));
    EXPECT_EQ(m_Frame->DefaultBanner(), first);
    EXPECT_TRUE(m_Frame->RegisterBanner(2, first));
    EXPECT_TRUE(m_Frame->RegisterBanner(2, second));
    Intp::TDevice* d = MakeDevice(1, 2, 0x0A000001);
    m_Frame->OnNotify(d, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->ShownBanner(), first);
}

TEST_F(ModuleFrame, ClearingTheTreeKeepsThePagesAndLeavesTheShownOne)
{
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    Select(m_Ports);
    m_Log.clear();
    m_Frame->ClearModuleTree();
    EXPECT_EQ(m_Frame->ModuleTree()->topLevelItemCount(), 0);
    EXPECT_EQ(m_Frame->GetSelectedModule(), nullptr);
    EXPECT_EQ(m_Log, (std::vector<std::string>{"Ports: leave force"}));
    EXPECT_TRUE(m_Frame->WaitLabel()->isHidden());
    // The same page objects can be added again.
    EXPECT_NE(m_Frame->AddModule(m_Ports, nullptr), nullptr);
    EXPECT_EQ(m_Frame->AddModule(nullptr, nullptr), nullptr);
}

TEST_F(ModuleFrame, AFrontPanelWiderThanThePageScrollsInsteadOfWideningIt)
{
    TRecordingPage* banner = AddBanner("Wide", 0);
    banner->setMinimumWidth(1400);
    m_Frame->OnNotify(nullptr, ncSelectionChanged, 0);
    ASSERT_EQ(m_Frame->ShownBanner(), banner);
    EXPECT_LT(m_Frame->minimumSizeHint().width(), 1000);
    m_Frame->resize(900, 600);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto* area = m_Frame->findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    EXPECT_GE(banner->width(), 1400);  // whole, not cut
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    EXPECT_GT(area->horizontalScrollBar()->maximum(), 0);
}

TEST_F(ModuleFrame, AModelWithoutABannerMakesTheBannerOnShowLeaveAlsoWhenItIsTheDefault)
{
    TRecordingPage* general = AddBanner("General", 0);
    TRecordingPage* larch = AddBanner("Larch", 1);
    m_Frame->OnNotify(nullptr, ncSelectionChanged, 0);
    ASSERT_EQ(m_Frame->ShownBanner(), general);
    Intp::TDevice* unknown = MakeDevice(1, 3, 0x0A000001);
    for (TRecordingPage* shown : {general, larch}) {
        if (shown == larch)
            m_Frame->OnNotify(MakeDevice(2, 1, 0x0A000002), ncSelectionChanged, 0);
        ASSERT_EQ(m_Frame->ShownBanner(), shown);
        m_Log.clear();
        m_Frame->OnNotify(unknown, ncSelectionChanged, 0);
        EXPECT_EQ(m_Frame->ShownBanner(), general);
        ASSERT_GE(m_Log.size(), 2u);
        EXPECT_EQ(m_Log[0], shown->m_Caption.toStdString() + ": leave force");
        EXPECT_EQ(m_Log[1], "General: refresh all");
    }
}

TEST_F(ModuleFrame, ABusyPageIsAskedBeforeTheLoginPageAndMayKeepItsPlace)
{
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    Select(m_Ports);
    m_Ports->m_AllowLeave = false;  // a transfer runs
    Intp::TDevice* out = MakeDevice(2, 1, 0x0A000002, false);
    m_Host.selection = {out};
    m_Frame->OnNotify(out, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->GetSelectedModule(), m_Ports);
    EXPECT_EQ(m_Frame->ModuleTree()->currentItem(), m_Nodes[m_Ports]);
    EXPECT_FALSE(m_Ports->isHidden());
    EXPECT_TRUE(m_Login->isHidden());  // never two pages at once

    // Once it may leave, the login page takes over.
    m_Ports->m_AllowLeave = true;
    m_Frame->OnNotify(out, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->GetSelectedModule(), m_Login);
    EXPECT_TRUE(m_Ports->isHidden());
    EXPECT_FALSE(m_Login->isHidden());
}

TEST_F(ModuleFrame, ALoggedInDeviceWithNoPageSelectedGetsTheFirstPage)
{
    m_Frame->ClearModuleTree();  // as a rebuild for the other layout leaves it
    m_Frame->AddModule(m_Login, nullptr);
    m_Frame->AddModule(m_Ports, nullptr);
    ASSERT_EQ(m_Frame->GetSelectedModule(), nullptr);
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    m_Frame->OnNotify(m_Host.Current(), ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->GetSelectedModule(), m_Login);
    EXPECT_FALSE(m_Login->isHidden());
    EXPECT_TRUE(m_Frame->ModuleTree()->topLevelItem(0)->isSelected());
}

TEST_F(ModuleFrame, AClickOnAnotherPageThatIsRefusedLeavesTheShownPageHighlighted)
{
    m_Host.selection = {MakeDevice(1, 1, 0x0A000001)};
    Select(m_Ports);
    m_Ports->m_AllowLeave = false;
    m_Frame->resize(800, 600);
    QTreeWidget* tree = m_Frame->ModuleTree();
    tree->expandAll();
    const QRect rect = tree->visualItemRect(m_Nodes[m_Settings]);
    ASSERT_TRUE(rect.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_Frame->GetSelectedModule(), m_Ports);
    EXPECT_EQ(tree->currentItem(), m_Nodes[m_Ports]);
    EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*>{m_Nodes[m_Ports]});
    EXPECT_TRUE(m_Settings->isHidden());
}
