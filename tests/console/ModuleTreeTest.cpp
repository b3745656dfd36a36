#include "FakePages.h"

#include "console/DeviceTypesFile.h"
#include "console/ModuleFrame.h"
#include "console/ModuleTree.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

// The page's own caption: the layout-0 caption, or the class name when only
// layout 1 shows it (banners have "Link State").
std::map<TPageId, QString> OwnCaptions()
{
    std::map<TPageId, QString> captions;
    for (int layout : {1, 0}) {
        for (const TModuleTreeEntry& entry : ModuleTreeLayout(layout)) {
            if (!IsGroupPage(entry.page) && !entry.as)
                captions[entry.page] = QString::fromUtf8(entry.caption);
        }
    }
    for (int banner = 0; banner < 6; ++banner)
        captions[BannerPageId(banner)] = "Link State";
    captions[TPageId::TModuleBasics] = "Basics";
    captions[TPageId::TModuleBasicsSettings] = "Switch Setting";
    captions[TPageId::TModuleBasicsPassword] = "Admin Password";
    captions[TPageId::TModuleQos2] = "Qos Mode Own";
    captions[TPageId::TModuleMonitorMac] = "MAC Address Table";
    captions[TPageId::TModuleRedundancyRing] = "Ring Own";
    return captions;
}

struct TCreated {
    std::map<TPageId, TModule*> pages;
    int configured = 0;
};

std::vector<TPageType> Factories(TCreated* created, const std::set<TPageId>& without = {})
{
    std::vector<TPageType> factories;
    for (const auto& [id, caption] : OwnCaptions()) {
        if (without.count(id))
            continue;
        const TPageId key = id;
        QString text = caption;
        factories.push_back({key,
                             [created, key, text](QWidget*) {
                                 auto* page = new TRecordingPage(text);
                                 created->pages[key] = page;
                                 return static_cast<TModule*>(page);
                             },
                             key == TPageId::TModuleRedundancyRstp
                                 ? std::function<void(TModule*)>([created](TModule*) { ++created->configured; })
                                 : std::function<void(TModule*)>()});
    }
    return factories;
}

QStringList Texts(const QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it) {
        QString text = (*it)->text(0);
        for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
            text.prepend("  ");
        texts << text;
    }
    return texts;
}

class ModuleTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_DevicesLoadFailed = false;
        g_DeviceTypeCount = 3;
        g_DeviceTypeIndex = {1, 2, 3};
        g_DeviceBanner = {1, 7, 4};
        m_Factories = Factories(&m_Created);
        m_Frame = std::make_unique<TModuleFrame>();
    }
    void TearDown() override { m_Frame.reset(); }

    TCreated m_Created;
    std::vector<TPageType> m_Factories;
    std::unique_ptr<TModuleFrame> m_Frame;
};

}  // namespace

TEST_F(ModuleTree, LayoutZeroStartsWithTheLoginPageAndItsBasics)
{
    BuildModuleTreeWith(m_Frame.get(), 0, m_Factories);
    QTreeWidget* tree = m_Frame->ModuleTree();
    ASSERT_GT(tree->topLevelItemCount(), 5);
    EXPECT_EQ(TModuleFrame::ModuleOf(tree->topLevelItem(0)), m_Created.pages[TPageId::TModuleBasics]);
    QStringList texts = Texts(tree);
    EXPECT_EQ(texts.mid(0, 4), (QStringList{"Basics", "  Switch Setting", "  Admin Password", "  IP Configuration"}));
    EXPECT_TRUE(texts.contains("  Swale Ring"));
    EXPECT_TRUE(texts.contains("Redundancy"));
    EXPECT_EQ(texts.last(), "Save To Flash");
    // A page's settings come when it is made, then on every build.
    EXPECT_EQ(m_Created.configured, 0);
    ASSERT_NE(FindBuiltModule(m_Frame.get(), TPageId::TModuleRedundancyRstp), nullptr);
    EXPECT_EQ(m_Created.configured, 1);

    // A second build of the same layout gives the same tree and pages.
    std::map<TPageId, TModule*> pages = m_Created.pages;
    m_Frame->ClearModuleTree();
    BuildModuleTreeWith(m_Frame.get(), 0, m_Factories);
    EXPECT_EQ(Texts(m_Frame->ModuleTree()), texts);
    EXPECT_EQ(m_Created.pages, pages);
    EXPECT_EQ(m_Created.configured, 2);
}

TEST_F(ModuleTree, APageIsMadeWhenItsNodeIsShownAndNotBefore)
{
    BuildModuleTreeWith(m_Frame.get(), 0, m_Factories);
    EXPECT_TRUE(m_Created.pages.empty());
    // Notifications and leaving find nothing to make.
    m_Frame->OnNotify(nullptr, 260, 0);
    EXPECT_TRUE(m_Frame->Leave(false));
    EXPECT_TRUE(m_Created.pages.empty());

    const QList<QTreeWidgetItem*> found =
        m_Frame->ModuleTree()->findItems("Port Status", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    m_Frame->show();
    m_Frame->ModuleTree()->setCurrentItem(found.front());
    ASSERT_EQ(m_Created.pages.size(), 1u);
    auto* status = static_cast<TRecordingPage*>(m_Created.pages[TPageId::TModulePortStatus]);
    ASSERT_NE(status, nullptr);
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->Count(ncSelectionChanged), 1);
    EXPECT_EQ(m_Frame->GetSelectedModule(), status);

    // A switch of a model makes that model's banner only (and the login page it lands on).
    Intp::TDevice* larch = MakeDevice(1, 1, 0x0A000001, false);
    m_Frame->OnNotify(larch, ncSelectionChanged, 0);
    EXPECT_EQ(m_Created.pages.count(TPageId::TModuleBannerGeneral), 0u);
    auto* banner = static_cast<TRecordingPage*>(m_Created.pages[TPageId::TModuleBannerLarch]);
    ASSERT_NE(banner, nullptr);
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(m_Frame->GetSelectedModule(), m_Created.pages[TPageId::TModuleBasics]);
    EXPECT_EQ(m_Created.pages.size(), 3u);
    Intp::DeleteAllDevices();
}

TEST_F(ModuleTree, LayoutOneShowsPagesUnderItsOwnCaptionsAndLayoutZeroBringsThemBack)
{
    BuildModuleTreeWith(m_Frame.get(), 1, m_Factories);
    QStringList one = Texts(m_Frame->ModuleTree());
    EXPECT_EQ(one.mid(0, 3), (QStringList{"System", "  System Information", "  IP Configuration"}));
    EXPECT_TRUE(one.contains("    LACP State Activity "));
    EXPECT_TRUE(one.contains("    All Mac Addresses"));
    EXPECT_TRUE(one.contains("  Qos Mode"));
    EXPECT_TRUE(one.contains("  User Authentication"));
    m_Frame->ClearModuleTree();
    BuildModuleTreeWith(m_Frame.get(), 0, m_Factories);
    QStringList zero = Texts(m_Frame->ModuleTree());
    for (const char* caption : {"Basics", "  Switch Setting", "  Admin Password", "Traffic Prioritization",
                                "  MAC Address Table"})
        EXPECT_TRUE(zero.contains(caption)) << caption;
}

TEST_F(ModuleTree, BannersAreRegisteredOncePerModelWithTheGeneralOneAsDefault)
{
    BuildModuleTreeWith(m_Frame.get(), 0, m_Factories);
    EXPECT_EQ(m_Frame->DefaultBanner(), m_Created.pages[TPageId::TModuleBannerGeneral]);
    Intp::TDevice* larch = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* seven = MakeDevice(2, 2, 0x0A000002);
    Intp::TDevice* birch = MakeDevice(3, 3, 0x0A000003);
    m_Frame->OnNotify(larch, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->ShownBanner(), m_Created.pages[TPageId::TModuleBannerLarch]);
    m_Frame->OnNotify(seven, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->ShownBanner(), m_Created.pages[TPageId::TModuleBannerGeneral]);
    m_Frame->OnNotify(birch, ncSelectionChanged, 0);
    EXPECT_EQ(m_Frame->ShownBanner(), m_Created.pages[TPageId::TModuleBannerBirch]);

    // A failed model file registers only the default banner.
    TModuleFrame failed;
    g_DevicesLoadFailed = true;
    BuildModuleTreeWith(&failed, 0, m_Factories);
    failed.OnNotify(larch, ncSelectionChanged, 0);
    EXPECT_EQ(failed.ShownBanner(), m_Created.pages[TPageId::TModuleBannerGeneral]);
    Intp::DeleteAllDevices();
}

TEST_F(ModuleTree, OnlyPagesThatExistGetNodes)
{
    TCreated created;
    auto factories = Factories(&created, {TPageId::TModuleBasics, TPageId::TModuleQosCos, TPageId::TModuleSave});
    auto frame = std::make_unique<TModuleFrame>();
    BuildModuleTreeWith(frame.get(), 0, factories);
    QStringList texts = Texts(frame->ModuleTree());
    // A missing page with children keeps them under a group node.
    EXPECT_EQ(texts.first(), "Basics");
    EXPECT_EQ(frame->ModuleTree()->topLevelItem(0)->childCount(), 11);
    EXPECT_FALSE(texts.contains("  COS Settings"));
    EXPECT_TRUE(texts.contains("  TOS Settings"));
    EXPECT_FALSE(texts.contains("Save To Flash"));
}

TEST_F(ModuleTree, GroupsStandOnlyAboveBuiltPages)
{
    // A console built with the login, backup and save pages only.
    std::set<TPageId> without;
    for (const auto& [id, caption] : OwnCaptions())
        if (id != TPageId::TModuleBasics && id != TPageId::TModuleBasicsBackup && id != TPageId::TModuleSave &&
            id != TPageId::TModuleBasicsUpgrade)
            without.insert(id);
    TCreated created;
    auto frame = std::make_unique<TModuleFrame>();
    BuildModuleTreeWith(frame.get(), 0, Factories(&created, without));
    EXPECT_EQ(Texts(frame->ModuleTree()), (QStringList{"Basics", "  Backup", "  Upgrade", "Save To Flash"}));
    frame->ClearModuleTree();
    BuildModuleTreeWith(frame.get(), 1, Factories(&created, without));
    EXPECT_EQ(Texts(frame->ModuleTree()),
              (QStringList{"System", "  TFTP Transaction", "    Upgrade", "    Backup", "Save To Flash"}));
}

TEST(ModuleTreeRegistrations, BothLayoutsPlaceEveryRegisteredPage)
{
    const std::vector<TPageType>& types = RegisteredPages();
    ASSERT_FALSE(types.empty());
    auto frame = std::make_unique<TModuleFrame>();
    std::set<const TModule*> placed;
    for (int layout : {0, 1}) {
        frame->ClearModuleTree();
        BuildModuleTree(nullptr, frame.get(), layout);
        for (QTreeWidgetItemIterator it(frame->ModuleTree()); *it; ++it)
            placed.insert(TModuleFrame::ModuleOf(*it));
    }
    std::set<TPageId> banners;
    for (int banner = 0; banner < 6; ++banner)
        banners.insert(BannerPageId(banner));
    for (std::size_t i = 0; i < types.size(); ++i) {
        const TPageId id = types[i].id;
        if (i > 0) {
            EXPECT_LT(types[i - 1].id, id) << "registered twice or out of order: " << PageIdName(id);
        }
        TModule* page = FindBuiltModule(frame.get(), id);
        ASSERT_NE(page, nullptr) << PageIdName(id);
        // Banners sit above the tree, and the first-generation IGMP pages
        // are made but shown by neither layout; every other page is in it.
        const bool unplaced = banners.count(id) || id == TPageId::TModuleIgmp || id == TPageId::TModuleIgmpTable;
        EXPECT_EQ(placed.count(page), unplaced ? 0u : 1u) << PageIdName(id);
    }
    // The node texts, known before the pages are made, are the pages' own.
    for (int layout : {0, 1}) {
        for (const TModuleTreeEntry& entry : ModuleTreeLayout(layout)) {
            if (!entry.as && !IsGroupPage(entry.page)) {
                EXPECT_EQ(FindBuiltModule(frame.get(), entry.page)->GetCaption(), entry.caption);
            }
        }
    }
}
