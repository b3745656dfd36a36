#include "pages/system/Modulebasics_ipconf.h"

#include "pages/kit/AddressText.h"
#include "pages/kit/FilterServer.h"
#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "intp/NetUtils.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/LastColumnFill.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"
#include "pages/rules/PageRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QFontMetrics>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace {

const char* const kImages[] = {"RC_BITMAP_16X16_DEVICES", "RC_BITMAP_16X16_ACCEPT", "RC_BITMAP_16X16_CANCEL",
                               "RC_BITMAP_16X16_ACCEPT_WARINIG", "RC_BITMAP_16X16_DEVICE"};
// The data role of a node's image number.
constexpr int kImageRole = Qt::UserRole;

TIpPlan DhcpPlan()
{
    TIpPlan plan;
    plan.Dhcp = true;
    return plan;
}

} // namespace

// The tree's model: address groups sorted by address, each with its switch
// nodes sorted by planned address as an unsigned number (stable: equal
// addresses keep their order). Nodes are plain structs; their texts and
// icons are made only for the rows a view asks for.
class TIpConfModel : public QAbstractItemModel {
public:
    struct TNode {
        Intp::TMacAddr Mac;
        TIpPlan Plan;
        bool RecordValid = false;
        int Image = TModuleBasicsIPConf::niCurrent;
        int Group = 0;
    };

    explicit TIpConfModel(QObject* parent) : QAbstractItemModel(parent)
    {
        for (int i = 0; i < int(std::size(kImages)); ++i)
            m_Icons[i] = PageGlyph(kImages[i]);
    }

    // The selected switches with a known address, grouped by it, in the
    // order selected; each listed once, nothing planned.
    void Rebuild(const TDeviceList& selected)
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
    void Clear() { Rebuild({}); }

    // Back to the device's current settings, nothing planned.
    static void Reset(TNode& node, Intp::TDevice* device)
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

    TNode& Node(int node) { return m_Nodes[std::size_t(node)]; }
    const std::vector<TNode>& Nodes() const { return m_Nodes; }
    // Switch node numbers in the order shown.
    const std::vector<int>& Order() const { return m_Order; }
    // The node of a MAC, -1 for none.
    int Find(const Intp::TMacAddr& mac) const
    {
        const auto it = m_Index.find(MacKey(mac));
        return it == m_Index.end() ? -1 : it->second;
    }
    // The switch node of an index, -1 for a group or none.
    int NodeAt(const QModelIndex& index) const
    {
        if (!index.isValid() || index.internalId() == 0)
            return -1;
        return m_Order[std::size_t(m_Groups[index.internalId() - 1].First + index.row())];
    }
    QModelIndex IndexOf(int node) const
    {
        const int group = m_Nodes[std::size_t(node)].Group;
        return createIndex(m_Pos[std::size_t(node)] - m_Groups[std::size_t(group)].First, 0, quintptr(group) + 1);
    }

    // Plans changed (of group's nodes, or of all for -1): the groups whose
    // order changed are sorted again in one layout change, then the rows are
    // told to show the plans.
    void PlansChanged(int group = -1)
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

    // The switch node with the widest text in font, found from the widths
    // of the text's pieces without making the texts.
    QModelIndex Widest(const QFont& font) const
    {
        if (m_WidestFont != font) {
            m_WidestFont = font;
            m_Widest = FindWidest(QFontMetrics(font));
        }
        return m_Widest < 0 ? QModelIndex() : IndexOf(m_Widest);
    }

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override
    {
        if (column != 0 || row < 0)
            return {};
        if (!parent.isValid())
            return row < int(m_Groups.size()) ? createIndex(row, 0, quintptr(0)) : QModelIndex();
        if (parent.internalId() != 0 || row >= m_Groups[std::size_t(parent.row())].Count)
            return {};
        return createIndex(row, 0, quintptr(parent.row()) + 1);
    }
    QModelIndex parent(const QModelIndex& child) const override
    {
        if (!child.isValid() || child.internalId() == 0)
            return {};
        return createIndex(int(child.internalId() - 1), 0, quintptr(0));
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        if (!parent.isValid())
            return int(m_Groups.size());
        return parent.internalId() == 0 ? m_Groups[std::size_t(parent.row())].Count : 0;
    }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 1; }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        return index.internalId() == 0 ? flags : flags | Qt::ItemNeverHasChildren;
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override
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
        case kImageRole:
            return image;
        default:
            return {};
        }
    }

private:
    struct TGroup {
        uint32_t Address = 0;
        int First = 0; // of its nodes in m_Order
        int Count = 0;
    };

    static std::string Text(const TNode& node)
    {
        return IpPlanText(node.Mac.ToString(), node.RecordValid, node.Plan);
    }

    int FindWidest(const QFontMetrics& metrics) const
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

    std::vector<TNode> m_Nodes;
    std::vector<TGroup> m_Groups;
    std::vector<int> m_Order; // node numbers, group after group
    std::vector<int> m_Pos;   // of each node in m_Order
    std::unordered_map<long long, int> m_Index; // MAC key -> node
    QIcon m_Icons[std::size(kImages)];
    mutable std::optional<QFont> m_WidestFont; // of m_Widest, none when out of date
    mutable int m_Widest = -1;
};

TModuleBasicsIPConf::TModuleBasicsIPConf(QWidget* parent) : TModulePage("IP Configuration", parent)
{
    m_ArpFlusher = [](const std::vector<uint32_t>& addresses) { DeleteArpEntries(addresses, true); };

    m_NumDevices = new QLabel("&Total n devices:", this);
    m_Tree = new QTreeView(this);
    m_Model = new TIpConfModel(m_Tree);
    m_Tree->setModel(m_Model);
    m_Tree->setHeaderHidden(true);
    m_Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_Tree->setUniformRowHeights(true);
    // A switch's planned settings are one long line: the column fits the
    // widest of all lines, shown or not, and the tree scrolls sideways
    // rather than cut it.
    FillLastColumn(m_Tree, m_Tree->header(), [this] { return m_Model->Widest(m_Tree->font()); });
    m_NumDevices->setBuddy(m_Tree);

    m_BottomPanel = new QWidget(this);
    auto* grid = new QGridLayout(m_BottomPanel);
    grid->setContentsMargins(0, 0, 0, 0);
    auto addRow = [&](int row, int column, QLabel*& label, const char* caption, QWidget* field) {
        label = new QLabel(caption, m_BottomPanel);
        label->setBuddy(field);
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
    };
    auto newIp = [this] { return new TIpEdit(m_BottomPanel); };
    m_Method = new QComboBox(m_BottomPanel);
    m_Method->addItems({"DHCP", "Auto Range", "Manual"});
    addRow(0, 0, m_Label1, "&Method:", m_Method);
    m_Dhcp = new QCheckBox(m_BottomPanel);
    addRow(0, 2, m_Label2, "&DHCP:", m_Dhcp);
    addRow(1, 0, m_Label3, "&IP Address:", m_Address = newIp());
    addRow(1, 2, m_Label4, "IP &End:", m_Address2 = newIp());
    addRow(2, 0, m_Label5, "&Netmask:", m_Mask = newIp());
    addRow(2, 2, m_Label6, "&Gateway:", m_Gateway = newIp());
    addRow(3, 0, m_Label7, "DNS Server1:", m_Dns1 = newIp());
    addRow(3, 2, m_Label8, "DNS Server2:", m_Dns2 = newIp());
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    m_Set = new QPushButton("&Set", m_BottomPanel);
    LoadGlyph(m_Set, "RC_BITMAP_16X16_ACCEPT");
    m_Filter = new QPushButton(m_BottomPanel);
    m_Filter->setToolTip("Load Discovery Filter");
    LoadGlyph(m_Filter, "RC_BITMAP_16X16_FILTER");
    m_Apply = new QPushButton("&Apply", m_BottomPanel);
    m_Apply->setDefault(true);
    LoadGlyph(m_Apply, "RC_BITMAP_16X16_ACCEPT");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_Filter);
    PlaceStatusLine(buttons);
    buttons->addWidget(m_Set);
    buttons->addWidget(m_Apply);
    grid->addLayout(buttons, 4, 0, 1, 4);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_NumDevices);
    layout->addWidget(m_Tree, 1);
    layout->addWidget(m_BottomPanel);

    m_PopupMenu = new QMenu(this);
    m_PM1Discard = m_PopupMenu->addAction("&Discard Settings");
    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    Timer1->setSingleShot(true);

    SetHideWhileRefilling(false);
    // Each switch node says itself when its settings could not be read.
    SetUnavailableWhenUnread(false);
    AddRead<Intp::TSessionBasicsIPConfGet>();
    AddRefillCode(Intp::ccBasicsIPConfGet, true);
    AddRefillCode(Intp::ccBasicsIPConfSet, true);

    connect(m_Method, &QComboBox::currentIndexChanged, this, [this] { EventOnMethodChange(); });
    connect(m_Dhcp, &QCheckBox::clicked, this, [this] { EventOnDhcpClick(); });
    connect(m_Set, &QPushButton::clicked, this, [this] { EventOnSetClick(); });
    connect(m_Filter, &QPushButton::clicked, this, [this] { EventOnFilterClick(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
    connect(m_Tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { EventOnTreeChange(); });
    connect(m_Tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { EventOnPopupMenuPopup(position); });
    connect(m_PM1Discard, &QAction::triggered, this, [this] { EventOnPM1DiscardClick(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    m_BottomPanel->setEnabled(false);
    EventOnMethodChange();
}

bool TModuleBasicsIPConf::AcceptNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    return code == ncDeviceIpChanged || code == ncDeviceFlagsChanged || TModulePage::AcceptNotify(device, code, status);
}

void TModuleBasicsIPConf::Fill(Intp::TDevice*)
{
    TDeviceList selected;
    if (TModuleCallback* host = Host())
        host->GetSelectedDevices(selected);
    // While many switches answer, the tree is rebuilt at most once per period;
    // a rebuild put off now runs when the period ends.
    if (!m_Throttle.Request(int(selected.size())))
        return;
    Timer1->start();
    RebuildTree(selected);
    m_NumDevices->setText(QString("Total %1 devices:").arg(selected.size()));
}

void TModuleBasicsIPConf::Timer1Timer()
{
    if (m_Throttle.PeriodEnded())
        Refill();
}

void TModuleBasicsIPConf::RebuildTree(const TDeviceList& selected)
{
    m_Rebuilding = true;
    m_Model->Rebuild(selected);
    m_Tree->expandAll();
    const bool listed = !m_Model->Order().empty();
    if (listed)
        m_Tree->setCurrentIndex(m_Model->IndexOf(m_Model->Order().front()));
    m_Rebuilding = false;

    if (listed) {
        m_BottomPanel->setEnabled(true);
        EventOnTreeChange();
    } else {
        m_Method->setCurrentIndex(mtDhcp);
        EventOnMethodChange();
        m_BottomPanel->setEnabled(false);
    }
}

void TModuleBasicsIPConf::OnLeave()
{
    // A rebuild put off must not show the page after it was left.
    Timer1->stop();
    m_Throttle = TRefillThrottle();
    m_Rebuilding = true;
    m_Model->Clear();
    m_Rebuilding = false;
}

QModelIndex TModuleBasicsIPConf::NodeOf(const Intp::TDevice* device) const
{
    const int node = device ? m_Model->Find(device->GetMac()) : -1;
    return node < 0 ? QModelIndex() : m_Model->IndexOf(node);
}

int TModuleBasicsIPConf::NodeImage(const QModelIndex& node)
{
    return node.isValid() ? node.data(kImageRole).toInt() : -1;
}

int TModuleBasicsIPConf::SelectedSwitch() const { return m_Model->NodeAt(m_Tree->currentIndex()); }

void TModuleBasicsIPConf::EventOnTreeChange()
{
    if (m_Rebuilding)
        return;
    const int node = SelectedSwitch();
    if (node >= 0 && !m_Model->Node(node).Plan.Dhcp && m_Method->currentIndex() != mtManual)
        m_Method->setCurrentIndex(mtManual); // runs the Manual rule
    else if (m_Method->currentIndex() == mtManual)
        ManualRule();
}

void TModuleBasicsIPConf::EventOnMethodChange()
{
    switch (m_Method->currentIndex()) {
    case mtDhcp:
        ApplyLayout(lyDhcp);
        m_Dhcp->setChecked(true);
        for (int node : m_Model->Order()) {
            m_Model->Node(node).Plan = DhcpPlan();
            m_Model->Node(node).Image = niPlanned;
        }
        m_Model->PlansChanged();
        m_Apply->setEnabled(true);
        break;
    case mtRange:
        ApplyLayout(lyRange);
        m_Label3->setText("&IP Begin:");
        break;
    default:
        ManualRule();
        m_Label3->setText("&IP Addr:");
        break;
    }
}

void TModuleBasicsIPConf::ManualRule()
{
    const int node = SelectedSwitch();
    if (node < 0) {
        ApplyLayout(lyNone);
        return;
    }
    FillFields(node);
    ApplyLayout(lyManual);
}

void TModuleBasicsIPConf::FillFields(int node)
{
    const TIpPlan& plan = m_Model->Node(node).Plan;
    m_Dhcp->setChecked(plan.Dhcp);
    m_Address->SetValue(plan.Ip);
    m_Mask->SetValue(plan.Netmask);
    m_Gateway->SetValue(plan.Extras.Gateway);
    m_Dns1->SetValue(plan.Extras.Dns1);
    m_Dns2->SetValue(plan.Extras.Dns2);
}

void TModuleBasicsIPConf::EventOnDhcpClick()
{
    if (m_Method->currentIndex() == mtManual)
        ApplyLayout(lyManual);
}

void TModuleBasicsIPConf::ApplyLayout(TLayout layout)
{
    const bool manualFields = layout == lyManual && !m_Dhcp->isChecked();
    for (QWidget* control : {(QWidget*)m_Label2, (QWidget*)m_Dhcp})
        control->setVisible(layout == lyDhcp || layout == lyManual);
    m_Dhcp->setEnabled(layout == lyManual);
    for (QWidget* control : {(QWidget*)m_Label4, (QWidget*)m_Address2, (QWidget*)m_Filter})
        control->setVisible(layout == lyRange);
    m_Set->setVisible(layout == lyRange || layout == lyManual);
    for (QWidget* control : {(QWidget*)m_Label3, (QWidget*)m_Address, (QWidget*)m_Label5, (QWidget*)m_Mask,
                             (QWidget*)m_Label6, (QWidget*)m_Gateway, (QWidget*)m_Label7, (QWidget*)m_Dns1,
                             (QWidget*)m_Label8, (QWidget*)m_Dns2}) {
        control->setVisible(layout == lyRange || layout == lyManual);
        control->setEnabled(layout == lyRange || manualFields);
    }
    for (QWidget* control : {(QWidget*)m_Address2, (QWidget*)m_Filter, (QWidget*)m_Set})
        control->setEnabled(true);
}

void TModuleBasicsIPConf::UpdateApply()
{
    const auto& nodes = m_Model->Nodes();
    m_Apply->setEnabled(std::none_of(nodes.begin(), nodes.end(), [](const auto& node) { return node.Image == niNoAddress; }));
}

void TModuleBasicsIPConf::EventOnSetClick()
{
    const uint32_t begin = m_Address->Value();
    const uint32_t end = m_Address2->Value();
    const uint32_t mask = m_Mask->Value();
    const TIpExtras typed{m_Gateway->Value(), m_Dns1->Value(), m_Dns2->Value()};

    if (m_Method->currentIndex() == mtRange) {
        if (!Check(IsValidIpRange(begin, end, mask), "Wrong range/netmask!"))
            return;
        const TIpExtras extras = RangeExtras(begin, end, mask, typed);
        TIpRangeAllocator allocator(begin, end, mask, extras);
        // Addresses of all known devices, gathered once for every switch.
        std::unordered_set<uint32_t> used;
        for (Intp::TDevice* device : Intp::GetDevices())
            used.insert(device->GetIp());
        for (int node : m_Model->Order()) {
            auto& each = m_Model->Node(node);
            if (std::optional<uint32_t> address = allocator.Next()) {
                each.Plan = {false, *address, mask, extras};
                each.Image = used.count(*address) ? niInUse : niPlanned;
            } else {
                each.Plan = TIpPlan();
                each.Image = niNoAddress;
            }
        }
        m_Model->PlansChanged();
        UpdateApply();
        return;
    }

    const int node = SelectedSwitch();
    if (node < 0)
        return;
    auto& each = m_Model->Node(node);
    if (m_Dhcp->isChecked()) {
        each.Plan = DhcpPlan();
        each.Image = niPlanned;
    } else {
        if (!Check(IsValidHostIp(begin) && IsValidNetmask(mask), "Wrong IP/Netmask!"))
            return;
        each.Plan = {false, begin, mask, HostExtras(begin, mask, typed)};
        each.Image = Intp::FindDeviceByIp(begin) ? niInUse : niPlanned;
    }
    m_Model->PlansChanged(each.Group);
    UpdateApply();
}

void TModuleBasicsIPConf::EventOnFilterClick()
{
    TModuleCallback* host = Host();
    Filter::TFilterServer* filter = host ? host->GetFilterServer() : nullptr;
    const Filter::TFilterSettings* settings = filter ? filter->GetSettings() : nullptr;
    m_Address->SetValue(settings ? settings->Begin : 0);
    m_Address2->SetValue(settings ? settings->End : 0xFFFFFFFFu);
    m_Mask->SetValue(settings ? settings->Mask : 0);
    for (TIpEdit* edit : {m_Gateway, m_Dns1, m_Dns2})
        edit->SetValue(0);
}

void TModuleBasicsIPConf::EventOnPopupMenuPopup(const QPoint& position)
{
    m_PM1Discard->setEnabled(SelectedSwitch() >= 0);
    m_PopupMenu->popup(m_Tree->viewport()->mapToGlobal(position));
}

void TModuleBasicsIPConf::EventOnPM1DiscardClick()
{
    const int node = SelectedSwitch();
    if (node < 0)
        return;
    auto& each = m_Model->Node(node);
    if (Intp::TDevice* device = Intp::FindDevice(each.Mac, false))
        TIpConfModel::Reset(each, device);
    m_Model->PlansChanged(each.Group);
    UpdateApply();
    // The fields show the switch's settings again; the layout stays that of
    // the method shown.
    if (m_Method->currentIndex() == mtManual)
        ManualRule();
    else if (m_Method->currentIndex() == mtRange)
        FillFields(node);
}

void TModuleBasicsIPConf::EventOnApplyClick()
{
    TModuleCallback* host = Host();
    QString user, password;
    if (!host || !host->AskCredentials(user, password) || user.isEmpty())
        return;
    Intp::TSessionBasicsIPConfSet::TPayload payload;
    payload.Digest = LoginDigest(user, password);
    password.fill(QChar(0));

    std::vector<uint32_t> oldAddresses;
    for (int node : m_Model->Order()) {
        const auto& each = m_Model->Node(node);
        Intp::TDevice* device = Intp::FindDevice(each.Mac, false);
        if (each.Image == niCurrent || !device)
            continue;
        const TIpPlan& plan = each.Plan;
        payload.Dhcp = plan.Dhcp;
        payload.Ip = plan.Ip;
        payload.Netmask = plan.Netmask;
        payload.Gateway = plan.Extras.Gateway;
        payload.Dns1 = plan.Extras.Dns1;
        payload.Dns2 = plan.Extras.Dns2;
        const uint32_t current = device->GetIp();
        if (SendChange<Intp::TSessionBasicsIPConfSet>(
                device, [&](Intp::TSessionBasicsIPConfSet& request) { request.SetPayload(payload); }))
            oldAddresses.push_back(current);
    }
    if (!oldAddresses.empty() && m_ArpFlusher)
        m_ArpFlusher(oldAddresses);
}

REGISTER_PAGE(TModuleBasicsIPConf);
