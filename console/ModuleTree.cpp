#include "console/ModuleTree.h"

#include "console/DeviceTypesFile.h"
#include "console/MainForm.h"
#include "console/ModuleFrame.h"

#include <QObject>
#include <QTreeWidgetItem>
#include <QWidget>

#include <algorithm>
#include <map>
#include <memory>

namespace {

// Group pages, in creation order; GroupSecurity2 is the second "Security".
const struct {
    TPageId id;
    const char* caption;
} kGroups[] = {
    {TPageId::GroupRedundancy, "Redundancy"},
    {TPageId::GroupSecurity, "Security"},
    {TPageId::GroupWarning, "Warning"},
    {TPageId::GroupMonitor, "Monitor And Diagnostic"},
    {TPageId::GroupTftpTransaction, "TFTP Transaction"},
    {TPageId::GroupSystemEventLog, "System Event Log"},
    {TPageId::GroupPort, "Port"},
    {TPageId::GroupProtocol, "Protocol"},
    {TPageId::GroupVlan, "Vlan"},
    {TPageId::GroupSecurity2, "Security"},
    {TPageId::GroupAdvancedConfiguration, "Advanced Configuration"},
    {TPageId::GroupMacAddressTable, "MAC Address Table"},
};

// Banner pages by the model's banner number.
const TPageId kBanners[] = {TPageId::TModuleBannerGeneral, TPageId::TModuleBannerLarch, TPageId::TModuleBannerCedar,
                            TPageId::TModuleBannerMaple,   TPageId::TModuleBannerBirch, TPageId::TModuleBanner10port};

// What the builder keeps per "Devices" page for the whole run.
struct TBuilderState {
    std::map<TPageId, TModule*> pages;         // device pages (made on first need) and group pages
    std::map<TPageId, TModule*> placeholders;  // group nodes for pages built without
    bool created = false;
    bool bannersRegistered = false;
};

std::map<const TModuleFrame*, TBuilderState>& States()
{
    static std::map<const TModuleFrame*, TBuilderState> states;
    return states;
}

TBuilderState& StateOf(TModuleFrame* frame)
{
    auto& states = States();
    auto it = states.find(frame);
    if (it == states.end()) {
        it = states.emplace(frame, TBuilderState()).first;
        QObject::connect(frame, &QObject::destroyed, [frame] { States().erase(frame); });
    }
    return it->second;
}

}  // namespace

TPageId BannerPageId(int banner)
{
    if (banner >= 0 && banner < int(std::size(kBanners)))
        return kBanners[banner];
    return kBanners[0];
}

namespace {

// The page (or its lazy holder) of an id, null when the console is built without it.
TModule* PageHolder(TModuleFrame* frame, TPageId id)
{
    auto it = States().find(frame);
    if (it == States().end())
        return nullptr;
    auto page = it->second.pages.find(id);
    return page == it->second.pages.end() ? nullptr : page->second;
}

// The node text a page gives itself: its caption where a layout does not
// name it otherwise.
QString OwnCaption(TPageId id)
{
    for (int layout : {0, 1}) {
        for (const TModuleTreeEntry& entry : ModuleTreeLayout(layout)) {
            if (entry.page == id && !entry.as)
                return QString::fromUtf8(entry.caption);
        }
    }
    return QString();
}

}  // namespace

TModule* FindBuiltModule(TModuleFrame* frame, TPageId id) { return RealModule(PageHolder(frame, id)); }

void BuildModuleTreeWith(TModuleFrame* frame, int layout, const std::vector<TPageType>& types)
{
    if (!frame)
        return;
    TBuilderState& state = StateOf(frame);

    // 1. Every page once, in table order, each made on first need; then the
    // group pages.
    if (!state.created) {
        state.created = true;
        for (const TPageType& type : types) {
            if (!type.make || state.pages.count(type.id))
                continue;
            auto make = [frame, make = type.make, configure = type.configure]() -> TModule* {
                TModule* page = make(frame);
                if (!page)
                    return nullptr;
                // Pages that no layout shows must not appear on their own.
                if (QWidget* pageFrame = page->GetFrame())
                    pageFrame->hide();
                if (configure)
                    configure(page);
                return page;
            };
            TModule* page = frame->Adopt(std::make_unique<TLazyModule>(OwnCaption(type.id), std::move(make)));
            state.pages.emplace(type.id, page);
        }
        for (const auto& group : kGroups) {
            TModule* page = frame->Adopt(std::make_unique<TModuleDummy>(QString::fromUtf8(group.caption)));
            state.pages.emplace(group.id, page);
        }
    }

    // 2. Per-build settings of the pages made so far (the others get them
    // when made).
    for (const TPageType& type : types) {
        auto it = state.pages.find(type.id);
        TModule* page = it != state.pages.end() ? BuiltModule(it->second) : nullptr;
        if (type.configure && page)
            type.configure(page);
    }

    // 3. Banners, once.
    if (!state.bannersRegistered) {
        state.bannersRegistered = true;
        if (!g_DevicesLoadFailed) {
            const std::size_t n = std::min(std::size_t(std::max(g_DeviceTypeCount, 0)),
                                           std::min(g_DeviceTypeIndex.size(), g_DeviceBanner.size()));
            for (std::size_t i = 0; i < n; ++i) {
                if (TModule* banner = PageHolder(frame, BannerPageId(g_DeviceBanner[i])))
                    frame->RegisterBanner(g_DeviceTypeIndex[i], banner);
            }
        }
        if (TModule* general = PageHolder(frame, kBanners[0]))
            frame->RegisterBanner(0, general);
    }

    // 4. The nodes of the layout. A page the console is built without gets
    // no node; one with children keeps them under a group node. A group
    // (or such a node) stands only above a page that is built.
    const std::vector<TModuleTreeEntry>& entries = ModuleTreeLayout(layout);
    std::vector<bool> keep(entries.size(), false);
    {
        // Backwards: below[l] says whether a node of level l seen since the
        // last shallower one leads to a built page.
        std::vector<bool> below(10, false);
        for (std::size_t i = entries.size(); i-- > 0;) {
            const int level = entries[i].level;
            if (level < 0 || level + 1 >= int(below.size()))
                continue;
            const bool built = !IsGroupPage(entries[i].page) && PageHolder(frame, entries[i].page);
            keep[i] = built || below[std::size_t(level + 1)];
            below[std::size_t(level)] = below[std::size_t(level)] || keep[i];
            std::fill(below.begin() + level + 1, below.end(), false);
        }
    }
    // The last node of each level; null below a page that got no node.
    std::vector<QTreeWidgetItem*> parents(8, nullptr);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TModuleTreeEntry& entry = entries[i];
        const int level = entry.level;
        if (level < 0 || level >= int(parents.size()) - 1)
            continue;
        if (!keep[i] || (level > 0 && !parents[std::size_t(level - 1)])) {
            parents[std::size_t(level)] = nullptr;
            continue;
        }
        QTreeWidgetItem* parent = level > 0 ? parents[std::size_t(level - 1)] : nullptr;
        TModule* page = PageHolder(frame, entry.page);
        bool placeholder = false;
        const bool hasChildren = i + 1 < entries.size() && entries[i + 1].level > level;
        if (!page && hasChildren) {
            TModule*& group = state.placeholders[entry.page];
            if (!group)
                group = frame->Adopt(std::make_unique<TModuleDummy>(QString::fromUtf8(entry.caption)));
            page = group;
            placeholder = true;
        }
        if (!page) {
            parents[std::size_t(level)] = nullptr;
            continue;
        }
        QTreeWidgetItem* node = entry.as || placeholder
                                    ? frame->AddModuleAs(page, parent, QString::fromUtf8(entry.caption))
                                    : frame->AddModule(page, parent);
        parents[std::size_t(level)] = node;
    }
    // Every page in sight, as the main tree.
    frame->ModuleTree()->expandAll();
}

void BuildModuleTree(TMainForm*, TModuleFrame* frame, int layout)
{
    BuildModuleTreeWith(frame, layout, RegisteredPages());
}
