#include "console/DeviceTree.h"

#include "console/FilterForm.h"
#include "console/Icons.h"
#include "console/IntpReceiveQueue.h"
#include "console/MainForm.h"
#include "console/PageHost.h"
#include "console/TreeNode.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/NetUtils.h"
#include "pages/kit/FilterServer.h"
#include "pages/kit/SwitchText.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace {

int g_TreeGrouping = 0;  // read by the group nodes' compare rule

void DeviceImage(TTreeNode* node)
{
    const Intp::TDevice* d = node->m_Device;
    const TIconKind kind = DeviceIconKind(d->TestFlags(Intp::dfLoggedIn), d->TestFlags(Intp::dfWarning));
    // Unchanged images cost the view nothing.
    if (node->m_Image == int(kind))
        return;
    node->m_Image = int(kind);
    node->setIcon(0, ConsoleIcon(kind));
}

// Slots of equal size, handed out in address order; a freed slot is taken
// again first. Slabs are kept for the program's life.
class TNodePool {
public:
    void* Take()
    {
        if (m_Free) {
            TSlot* slot = m_Free;
            m_Free = slot->next;
            return slot;
        }
        if (m_Used == SlabSlots) {
            m_Slabs.push_back(std::make_unique<TSlot[]>(SlabSlots));
            m_Used = 0;
        }
        return &m_Slabs.back()[m_Used++];
    }
    void Give(void* room)
    {
        auto* slot = static_cast<TSlot*>(room);
        slot->next = m_Free;
        m_Free = slot;
    }

private:
    union TSlot {
        TSlot* next;
        alignas(TTreeNode) unsigned char room[sizeof(TTreeNode)];
    };
    static constexpr std::size_t SlabSlots = 1024;
    std::vector<std::unique_ptr<TSlot[]>> m_Slabs;
    TSlot* m_Free = nullptr;
    std::size_t m_Used = SlabSlots;
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool PooledNodes = false;  // the sanitizer sees each node on its own
#else
constexpr bool PooledNodes = true;
#endif

TNodePool& NodePool()
{
    // Never destroyed: nodes may outlive static destruction.
    static auto* pool = new TNodePool;
    return *pool;
}

}  // namespace

void* TTreeNode::operator new(std::size_t size)
{
    return PooledNodes && size == sizeof(TTreeNode) ? NodePool().Take() : ::operator new(size);
}

void TTreeNode::operator delete(void* node, std::size_t size)
{
    if (PooledNodes && size == sizeof(TTreeNode))
        NodePool().Give(node);
    else
        ::operator delete(node);
}

void TTreeNode::SetGrouping(int grouping) { g_TreeGrouping = grouping; }

bool TTreeNode::operator<(const QTreeWidgetItem& other) const
{
    if (other.type() != kType)
        return QTreeWidgetItem::operator<(other);
    const auto& o = static_cast<const TTreeNode&>(other);
    if (m_Kind == nkGroup && o.m_Kind == nkGroup && m_HasKey && o.m_HasKey) {
        switch (g_TreeGrouping) {
        case dgIpAddress:
            return m_Key[0] < o.m_Key[0];
        case dgFilterMethod:
            return m_Key[0] != o.m_Key[0] ? m_Key[0] < o.m_Key[0] : m_Key[1] < o.m_Key[1];
        default:
            return std::int32_t(m_Key[0]) < std::int32_t(o.m_Key[0]);
        }
    }
    if (m_Kind == nkDevice && o.m_Kind == nkDevice && m_Device && o.m_Device)
        return m_Device->GetIp() < o.m_Device->GetIp();
    return text(0).toUtf8() < o.text(0).toUtf8();
}

TDeviceTree::TDeviceTree(TMainForm* form, TPageHost* host, QTreeWidget* tree, QComboBox* grouping)
    : QObject(form), m_Form(form), m_Host(host), m_Tree(tree), m_TreeSort(grouping)
{
    m_RepaintDue.setSingleShot(true);
    connect(&m_RepaintDue, &QTimer::timeout, this, &TDeviceTree::EventOnRepaintDue);
    m_Tree->viewport()->installEventFilter(this);
}

bool TDeviceTree::eventFilter(QObject* watched, QEvent* event)
{
    // Times each repaint of the tree: the paint is done here, inside the
    // one the window system asked for.
    if (event->type() != QEvent::Paint || m_InPaint || watched != m_Tree->viewport())
        return false;
    m_InPaint = true;
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::sendEvent(watched, event);
    m_PaintMs = double(clock.nsecsElapsed()) / 1e6;
    m_InPaint = false;
    return true;
}

int TDeviceTree::RepaintPeriod() const { return std::clamp(int(m_PaintMs * 5), MinRepaintMs, RepaintMs); }

bool TDeviceTree::HoldRepaint()
{
    // The first node of a burst shows at once; the rest wait for the period.
    if (!m_RepaintDue.isActive()) {
        m_RepaintDue.start(RepaintPeriod());
        return true;
    }
    TIntpSocketThread* queue = m_Form->IntpQueue();
    const bool moreWaiting = queue && queue->Pending() > 0;
    if (!m_RepaintHeld && (m_PaintMs >= FreePaintMs || moreWaiting)) {
        m_RepaintHeld = true;
        m_Tree->setUpdatesEnabled(false);
        // The last rows of a burst show once the replies are all delivered,
        // without waiting for the period.
        if (queue)
            connect(queue, &TIntpSocketThread::Drained, this, &TDeviceTree::ShowHeldRows, Qt::UniqueConnection);
    }
    return false;
}

bool TDeviceTree::ShowHeldRows()
{
    if (!m_RepaintHeld)
        return false;
    m_RepaintHeld = false;
    m_Tree->setUpdatesEnabled(true);
    return true;
}

void TDeviceTree::EventOnRepaintDue()
{
    if (ShowHeldRows())
        m_RepaintDue.start(RepaintPeriod());
}

int TDeviceTree::Grouping() const { return m_TreeSort ? m_TreeSort->currentIndex() : 0; }

void TDeviceTree::UpdateDeviceText(Intp::TDevice* device)
{
    QTreeWidgetItem* node = FindDeviceNode(device);
    if (!node)
        return;
    const QString text = FormatDeviceNodeText(device);
    if (node->text(0) != text)
        node->setText(0, text);
    m_Host->NotifyCurrentPage(device, ncDeviceNameChanged, 0);
}

QString TDeviceTree::FormatDeviceNodeText(const Intp::TDevice* device)
{
    // "name (address, MAC)": formatted for every row a discovery adds.
    const std::string ip = IpToString(device->GetIp());
    const std::string mac = device->GetMac().ToString();
    QString text = SwitchText(device->GetName());
    text.reserve(text.size() + qsizetype(ip.size() + mac.size()) + 5);
    text += QLatin1StringView(" (");
    text += QLatin1StringView(ip);
    text += QLatin1StringView(", ");
    text += QLatin1StringView(mac);
    text += u')';
    return text;
}

QTreeWidgetItem* TDeviceTree::FindDeviceNode(const Intp::TDevice* device) const
{
    auto it = m_DeviceNodes.find(device);
    return it == m_DeviceNodes.end() ? nullptr : it->second;
}

bool TDeviceTree::AcceptDevice(const Intp::TDevice* device)
{
    if (device->GetType() == 0)
        return false;
    Filter::TFilterServer* filter = m_Form->GetFilterServer();
    return !filter || filter->Accept(device->GetIp());
}

TDeviceTree::TGroupKey TDeviceTree::GroupKey(const Intp::TDevice* device)
{
    TGroupKey key;
    switch (Grouping()) {
    case dgModel:
        key.words[0] = device->GetType();
        key.text = QString::fromStdString(Intp::GetDeviceTypeName(device->GetType()));
        break;
    case dgIpAddress:
        key.words[0] = device->GetIp();
        key.text = IpText(device->GetIp());
        break;
    case dgFilterMethod: {
        key.words[0] = key.words[1] = 0xFFFFFFFFu;
        key.text = tr("Others");
        Filter::TFilterServer* filter = m_Form->GetFilterServer();
        Filter::TFilterSettings* settings = filter ? filter->GetSettings() : nullptr;
        if (settings) {
            const std::uint32_t ip = device->GetIp();
            bool found = false;
            for (const TIpMask& unicast : settings->Unicasts) {
                if (unicast.Address == ip) {
                    key.words[0] = key.words[1] = 0;
                    key.text = tr("Unicast Devices");
                    found = true;
                    break;
                }
            }
            for (std::size_t i = 0; !found && i < settings->LocalSubnets.size(); ++i) {
                const TIpMask& subnet = settings->LocalSubnets[i];
                if (((subnet.Address ^ ip) & subnet.Mask) == 0) {
                    key.words[0] = subnet.Address;
                    key.words[1] = subnet.Mask;
                    key.text = SubnetText(subnet);
                    found = true;
                }
            }
        }
        break;
    }
    default:
        key.words[0] = 1;
        key.text = tr("All Devices");
        break;
    }
    return key;
}

TTreeNode* TDeviceTree::MakeGroup(const TGroupKey& key)
{
    auto* group = new TTreeNode(TTreeNode::nkGroup);
    group->m_HasKey = true;
    group->m_Key[0] = key.words[0];
    group->m_Key[1] = key.words[1];
    group->setText(0, key.text);
    group->setIcon(0, ConsoleIcon(ikDevices));
    return group;
}

QTreeWidgetItem* TDeviceTree::GetGroupNode(Intp::TDevice* device, bool create)
{
    if (!m_Host->DevicesNode() || !device)
        return nullptr;
    const int grouping = Grouping();
    const TGroupKey key = GroupKey(device);
    for (int i = 0; i < m_Host->DevicesNode()->childCount(); ++i) {
        TTreeNode* group = AsNode(m_Host->DevicesNode()->child(i));
        if (!group || group->m_Kind != TTreeNode::nkGroup || !group->m_HasKey)
            continue;
        if (grouping == dgNone ? group->m_Key[0] != 0
                               : (group->m_Key[0] == key.words[0] &&
                                  (grouping != dgFilterMethod || group->m_Key[1] == key.words[1])))
            return group;
    }
    if (!create)
        return nullptr;
    TTreeNode* group = MakeGroup(key);
    // Groups stay sorted: a new one goes to its place instead of a sort of all.
    TTreeNode::SetGrouping(grouping);
    int lo = 0, hi = m_Host->DevicesNode()->childCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (*group < *m_Host->DevicesNode()->child(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    m_Host->DevicesNode()->insertChild(lo, group);
    return group;
}

void TDeviceTree::SetDevicesText()
{
    m_Host->DevicesNode()->setText(0, QStringLiteral("Devices (") + QString::number(m_DeviceCount) + u')');
}

void TDeviceTree::SortGroups()
{
    if (!m_Host->DevicesNode())
        return;
    TTreeNode::SetGrouping(Grouping());
    QSignalBlocker blocker(m_Tree);
    m_Host->DevicesNode()->sortChildren(0, Qt::AscendingOrder);
}

std::uint16_t TDeviceTree::AddDeviceNode(Intp::TDevice* device)
{
    if (!AcceptDevice(device))
        return ncNothing;
    // Before the rows go in: what they start (the column's fit) sees the burst.
    const bool first = HoldRepaint();
    QTreeWidgetItem* group = GetGroupNode(device, true);
    if (!group)
        return ncNothing;
    auto* node = new TTreeNode(TTreeNode::nkDevice);
    // A leaf: each layout of the view skips asking it for children, which
    // halves a layout of a full registry's rows.
    node->setFlags(node->flags() | Qt::ItemNeverHasChildren);
    node->m_Device = device;
    node->setText(0, FormatDeviceNodeText(device));
    DeviceImage(node);
    {
        QSignalBlocker blocker(m_Tree);
        group->addChild(node);
    }
    // Sized for a full registry at the first row (clearing keeps the size):
    // growing it by rehashing all of it would stall a burst of new rows.
    if (m_DeviceNodes.bucket_count() < Intp::MaxDevices)
        m_DeviceNodes.reserve(Intp::MaxDevices);
    m_DeviceNodes[device] = node;
    ++m_DeviceCount;
    SetDevicesText();
    // "Devices" opens with every group, one the user collapsed included.
    TTreeNode* devices = m_Host->DevicesNode();
    if (!devices->isExpanded())
        devices->setExpanded(true);
    for (int i = 0; i < devices->childCount(); ++i) {
        if (!devices->child(i)->isExpanded())
            devices->child(i)->setExpanded(true);
    }
    // Painted now: a repaint waits behind the delivery of the burst's
    // other replies, which may hold it.
    if (first && m_Tree->isVisible())
        m_Tree->viewport()->repaint();
    return ncDeviceShown;
}

std::uint16_t TDeviceTree::RegroupDeviceNode(Intp::TDevice* device, QTreeWidgetItem* item, std::uint16_t code)
{
    TTreeNode* node = AsNode(item);
    if (!node)
        return ncNothing;
    if (!AcceptDevice(device)) {
        RemoveDeviceNode(node);
        return ncDeviceRemoved;
    }
    QTreeWidgetItem* group = GetGroupNode(device, true);
    QTreeWidgetItem* old = node->parent();
    if (group && group != old) {
        {
            QSignalBlocker blocker(m_Tree);
            old->removeChild(node);
            group->addChild(node);
            group->setExpanded(true);
            if (old->childCount() == 0)
                delete old;
        }
        m_Host->KeepSelectionAfterMove();
    }
    DeviceImage(node);
    return code;
}

void TDeviceTree::RemoveDeviceNode(QTreeWidgetItem* item)
{
    TTreeNode* node = AsNode(item);
    if (!node || node->m_Kind != TTreeNode::nkDevice)
        return;
    m_Host->ForgetNode(node);
    m_DeviceNodes.erase(node->m_Device);
    QTreeWidgetItem* group = node->parent();
    {
        QSignalBlocker blocker(m_Tree);
        delete node;
        if (group && group != m_Host->DevicesNode() && group->childCount() == 0) {
            m_Host->ForgetNode(AsNode(group));
            delete group;
        }
    }
    --m_DeviceCount;
    SetDevicesText();
    if (m_Host->Current())
        m_Host->ShowSelection();
}

void TDeviceTree::ClearDeviceNodes()
{
    TTreeNode* devices = m_Host->DevicesNode();
    if (!devices || devices->childCount() == 0)
        return;
    const int removed = int(m_DeviceNodes.size());
    m_Host->ForgetDeviceNodes();
    m_DeviceNodes.clear();
    {
        QSignalBlocker blocker(m_Tree);
        qDeleteAll(devices->takeChildren());
    }
    m_DeviceCount = 0;
    SetDevicesText();
    if (m_Host->Current())
        m_Host->ShowSelection();
    for (int i = 0; i < removed; ++i)
        m_Host->NotifyCurrentPage(nullptr, ncDeviceRemoved, 0);
}

void TDeviceTree::EventOnTreeSortChange(int)
{
    TTreeNode* devices = m_Host->DevicesNode();
    if (!devices || devices->childCount() == 0)
        return;
    TTreeNode* current = m_Host->Current();
    TTreeNode* next = current;
    const bool deviceCurrent = current && current->m_Kind == TTreeNode::nkDevice;
    for (int i = 0; i < devices->childCount(); ++i) {
        if (TTreeNode* group = AsNode(devices->child(i)))
            group->m_HasKey = false;
    }
    {
        QSignalBlocker blocker(m_Tree);
        // The pass runs on the groups taken out of the tree in one change:
        // in the tree, each row that comes or goes would update the view's
        // note of every open group and of every selected row.
        const QList<QTreeWidgetItem*> old = devices->takeChildren();
        QList<QTreeWidgetItem*> groups;
        // Each group made by the pass under its key (the key's words are
        // unique within one grouping).
        std::unordered_map<std::uint64_t, TTreeNode*> made;
        for (QTreeWidgetItem* item : old) {
            TTreeNode* group = AsNode(item);
            if (!group) {
                groups.push_back(item);
                continue;
            }
            // Each device node, first child first, to the end of its new group.
            for (QTreeWidgetItem* child : group->takeChildren()) {
                TTreeNode* node = AsNode(child);
                if (!node || !node->m_Device) {
                    delete child;
                    continue;
                }
                const TGroupKey key = GroupKey(node->m_Device);
                auto [it, added] = made.emplace(std::uint64_t(key.words[0]) << 32 | key.words[1], nullptr);
                if (added) {
                    it->second = MakeGroup(key);
                    groups.push_back(it->second);
                }
                it->second->addChild(node);
            }
            if (next == group)
                next = devices;
            delete group;
        }
        devices->addChildren(groups);
    }
    SortGroups();
    m_Tree->expandItem(devices);
    for (int i = 0; i < devices->childCount(); ++i)
        devices->child(i)->setExpanded(true);
    if (deviceCurrent)
        m_Host->KeepSelectionAfterMove();
    else if (next != current)
        m_Host->SetSelection(next, {next});
    else
        m_Host->ShowSelection();
}

void TDeviceTree::UpdateDeviceNode(Intp::TDevice* device, std::uint16_t code)
{
    if (!device)
        return;
    QTreeWidgetItem* node = FindDeviceNode(device);
    std::uint16_t result = node ? RegroupDeviceNode(device, node, code) : AddDeviceNode(device);
    if (result != ncNothing)
        m_Host->NotifyCurrentPage(device, result, 0);
}
