#include "pages/system/IpConfTreeModel.h"

#include "intp/Device.h"
#include "intp/SystemSettings.h"
#include "pages/kit/AddressText.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"

#include <QFontMetrics>

#include <algorithm>
#include <iterator>

namespace {

const char* const kImages[] = {"RC_BITMAP_16X16_DEVICES", "RC_BITMAP_16X16_ACCEPT", "RC_BITMAP_16X16_CANCEL",
                               "RC_BITMAP_16X16_ACCEPT_WARINIG", "RC_BITMAP_16X16_DEVICE"};

} // namespace

TIpPlan TIpConfModel::DhcpPlan()
{
    TIpPlan plan;
    plan.Dhcp = true;
    return plan;
}

TIpConfModel::TIpConfModel(QObject* parent) : QAbstractItemModel(parent)
{
    static_assert(std::size(kImages) == ImageCount);
    for (int i = 0; i < int(std::size(kImages)); ++i)
        m_Icons[i] = PageGlyph(kImages[i]);
}

void TIpConfModel::Rebuild(const TDeviceList& selected)
{
    beginResetModel();
    m_Nodes.clear();
    m_Groups.clear();
    m_Order.clear();
    m_Index.clear();
    m_Index.reserve(selected.size());
    std::vector<std::pair<uint32_t, int>> byAddress;
    for (Intp::TDevice* device : selected) {
        const uint32_t address = device->GetIp();
        if (address == 0 || !m_Index.emplace(MacKey(device->GetMac()), int(m_Nodes.size())).second)
            continue;
        byAddress.emplace_back(address, int(m_Nodes.size()));
        m_Nodes.emplace_back();
        Reset(m_Nodes.back(), device);
    }
    std::sort(byAddress.begin(), byAddress.end());
    m_Order.reserve(byAddress.size());
    m_Pos.resize(m_Nodes.size());
    for (const auto& [address, node] : byAddress) {
        if (m_Groups.empty() || m_Groups.back().Address != address)
            m_Groups.push_back({address, int(m_Order.size()), 0});
        m_Nodes[node].Group = int(m_Groups.size()) - 1;
        m_Pos[node] = int(m_Order.size());
        m_Order.push_back(node);
        ++m_Groups.back().Count;
    }
    m_WidestFont.reset();
    endResetModel();
}

void TIpConfModel::Reset(TNode& node, Intp::TDevice* device)
{
    const auto& record = Intp::Property<Intp::TPropertyBasicsIPConf>::Get(device);
    node.Mac = device->GetMac();
    node.RecordValid = record.valid;
    node.Plan = TIpPlan();
    node.Plan.Ip = device->GetIp();
    if (record.valid) {
        node.Plan.Dhcp = record.Dhcp;
        node.Plan.Netmask = record.Netmask;
        node.Plan.Extras = {record.Gateway, record.Dns1, record.Dns2};
    }
    node.Image = TModuleBasicsIPConf::niCurrent;
}

void TIpConfModel::PlansChanged(int group)
{
    const int first = group < 0 ? 0 : group;
    const int last = group < 0 ? int(m_Groups.size()) - 1 : group;
    const auto key = [this](int node) { return m_Nodes[std::size_t(node)].Plan.Ip; };
    const auto unsorted = [&](const TGroup& g) {
        const auto begin = m_Order.begin() + g.First;
        return !std::is_sorted(begin, begin + g.Count, [&](int a, int b) { return key(a) < key(b); });
    };
    bool sorted = true;
    for (int g = first; g <= last && sorted; ++g)
        sorted = !unsorted(m_Groups[std::size_t(g)]);
    if (!sorted) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        QModelIndexList from, to;
        std::vector<int> nodes;
        for (const QModelIndex& index : persistentIndexList()) {
            if (NodeAt(index) >= 0) {
                from.push_back(index);
                nodes.push_back(NodeAt(index));
            }
        }
        for (int g = first; g <= last; ++g) {
            const TGroup& each = m_Groups[std::size_t(g)];
            const auto begin = m_Order.begin() + each.First;
            std::stable_sort(begin, begin + each.Count, [&](int a, int b) { return key(a) < key(b); });
            for (int i = each.First; i < each.First + each.Count; ++i)
                m_Pos[std::size_t(m_Order[std::size_t(i)])] = i;
        }
        for (int node : nodes)
            to.push_back(IndexOf(node));
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    for (int g = first; g <= last; ++g) {
        const QModelIndex parent = index(g, 0);
        emit dataChanged(index(0, 0, parent), index(m_Groups[std::size_t(g)].Count - 1, 0, parent));
    }
    m_WidestFont.reset();
}

QModelIndex TIpConfModel::Widest(const QFont& font) const
{
    if (m_WidestFont != font) {
        m_WidestFont = font;
        m_Widest = FindWidest(QFontMetrics(font));
    }
    return m_Widest < 0 ? QModelIndex() : IndexOf(m_Widest);
}

QModelIndex TIpConfModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < int(m_Groups.size()) ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || row >= m_Groups[std::size_t(parent.row())].Count)
        return {};
    return createIndex(row, 0, quintptr(parent.row()) + 1);
}

QModelIndex TIpConfModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int TIpConfModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_Groups.size());
    return parent.internalId() == 0 ? m_Groups[std::size_t(parent.row())].Count : 0;
}

Qt::ItemFlags TIpConfModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.internalId() == 0 ? flags : flags | Qt::ItemNeverHasChildren;
}

QVariant TIpConfModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int node = NodeAt(index);
    const int image = node < 0 ? TModuleBasicsIPConf::niGroup : m_Nodes[std::size_t(node)].Image;
    switch (role) {
    case Qt::DisplayRole:
        if (node < 0)
            return IpText(m_Groups[std::size_t(index.row())].Address);
        return SwitchText(Text(m_Nodes[std::size_t(node)]));
    case Qt::DecorationRole:
        return m_Icons[image];
    case ImageRole:
        return image;
    default:
        return {};
    }
}

std::string TIpConfModel::Text(const TNode& node)
{
    return IpPlanText(node.Mac.ToString(), node.RecordValid, node.Plan);
}

int TIpConfModel::FindWidest(const QFontMetrics& metrics) const
{
    const auto width = [&](const QString& text) { return metrics.horizontalAdvance(text); };
    int hex[256], octet[256];
    for (int i = 0; i < 256; ++i) {
        hex[i] = width(QString::asprintf("%02X", i));
        octet[i] = width(QString::number(i));
    }
    const int dot = width("."), colon = width(":");
    const int failed = width(SwitchText(IpPlanText("", false, DhcpPlan()))) - width(" => DHCP");
    const int dhcp = width(" => DHCP");
    const int pieces = width(" => /, gw = , dns1 = , dns2 = ");
    const auto address = [&](uint32_t a) {
        return octet[a >> 24] + octet[(a >> 16) & 255] + octet[(a >> 8) & 255] + octet[a & 255] + 3 * dot;
    };
    int widest = -1, most = -1;
    for (int node : m_Order) {
        const TNode& each = m_Nodes[std::size_t(node)];
        int w = 5 * colon + (each.RecordValid ? 0 : failed);
        for (uint8_t byte : each.Mac.Bytes())
            w += hex[byte];
        const TIpPlan& plan = each.Plan;
        w += plan.Dhcp ? dhcp
                       : pieces + address(plan.Ip) + address(plan.Netmask) + address(plan.Extras.Gateway) +
                             address(plan.Extras.Dns1) + address(plan.Extras.Dns2);
        if (w > most) {
            most = w;
            widest = node;
        }
    }
    return widest;
}
