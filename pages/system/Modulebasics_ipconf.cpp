#include "pages/system/Modulebasics_ipconf.h"

#include "pages/kit/FilterServer.h"
#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "intp/NetUtils.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

const char* const kImages[] = {"RC_BITMAP_16X16_DEVICES", "RC_BITMAP_16X16_ACCEPT", "RC_BITMAP_16X16_CANCEL",
                               "RC_BITMAP_16X16_ACCEPT_WARINIG", "RC_BITMAP_16X16_DEVICE"};

// A node of the tree: an address group, or a switch with its planned
// settings. Nodes sort by their address as an unsigned number.
class TIpConfNode : public QTreeWidgetItem {
public:
    explicit TIpConfNode(uint32_t groupAddress) : m_Key(groupAddress) {}
    explicit TIpConfNode(Intp::TDevice* device) : m_IsSwitch(true), m_Mac(device->GetMac()) { Reset(device); }

    bool IsSwitch() const { return m_IsSwitch; }
    uint32_t Key() const { return m_IsSwitch ? m_Plan.Ip : m_Key; }
    const Intp::TMacAddr& Mac() const { return m_Mac; }
    const TIpPlan& Plan() const { return m_Plan; }
    int Image() const { return m_Image; }
    // The device if it still exists.
    Intp::TDevice* Device() const { return Intp::FindDevice(m_Mac, false); }

    // Back to the device's current settings, nothing planned.
    void Reset(Intp::TDevice* device)
    {
        const auto& record = Intp::Property<Intp::TPropertyBasicsIPConf>::Get(device);
        m_RecordValid = record.valid;
        m_Plan = TIpPlan();
        m_Plan.Ip = device->GetIp();
        if (record.valid) {
            m_Plan.Dhcp = record.Dhcp;
            m_Plan.Netmask = record.Netmask;
            m_Plan.Extras = {record.Gateway, record.Dns1, record.Dns2};
        }
        SetPlan(m_Plan, TModuleBasicsIPConf::niCurrent);
    }
    void SetPlan(const TIpPlan& plan, int image)
    {
        m_Plan = plan;
        m_Image = image;
        setText(0, QString::fromStdString(IpPlanText(m_Mac.ToString(), m_RecordValid, m_Plan)));
        setIcon(0, PageGlyph(kImages[image]));
    }
    void SetGroupImage()
    {
        m_Image = TModuleBasicsIPConf::niGroup;
        setText(0, IpText(m_Key));
        setIcon(0, PageGlyph(kImages[0]));
    }

    bool operator<(const QTreeWidgetItem& other) const override
    {
        return Key() < static_cast<const TIpConfNode&>(other).Key();
    }

private:
    bool m_IsSwitch = false;
    uint32_t m_Key = 0;
    Intp::TMacAddr m_Mac;
    TIpPlan m_Plan;
    bool m_RecordValid = false;
    int m_Image = TModuleBasicsIPConf::niGroup;
};

TIpConfNode* Node(QTreeWidgetItem* item) { return static_cast<TIpConfNode*>(item); }

// Plans every switch node with plan(node): the view is not told node by
// node (each change would look its row up among all rows); the sort that
// follows lays the tree out once.
template <class F>
void PlanEach(QTreeWidget* tree, const std::vector<QTreeWidgetItem*>& nodes, F&& plan)
{
    {
        const QSignalBlocker quiet(tree->model());
        for (QTreeWidgetItem* node : nodes)
            plan(Node(node));
    }
    tree->viewport()->update();
}

TIpPlan DhcpPlan()
{
    TIpPlan plan;
    plan.Dhcp = true;
    return plan;
}

} // namespace

TModuleBasicsIPConf::TModuleBasicsIPConf(QWidget* parent) : TModulePage("IP Configuration", parent)
{
    m_ArpFlusher = [](const std::vector<uint32_t>& addresses) { DeleteArpEntries(addresses, true); };

    m_NumDevices = new QLabel("&Total n devices:", this);
    m_Tree = new QTreeWidget(this);
    m_Tree->setHeaderHidden(true);
    m_Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_Tree->setUniformRowHeights(true);
    // A switch's planned settings are one long line: the column fits it and
    // the tree scrolls sideways rather than cut it.
    m_Tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_Tree->header()->setStretchLastSection(false);
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
    connect(m_Tree, &QTreeWidget::currentItemChanged, this, [this] { EventOnTreeChange(); });
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
    RebuildTree();
    m_NumDevices->setText(QString("Total %1 devices:").arg(selected.size()));
}

void TModuleBasicsIPConf::Timer1Timer()
{
    if (m_Throttle.PeriodEnded())
        Refill();
}

void TModuleBasicsIPConf::RebuildTree()
{
    TDeviceList selected;
    if (TModuleCallback* host = Host())
        host->GetSelectedDevices(selected);
    m_Rebuilding = true;
    m_Tree->setSortingEnabled(false);
    m_Tree->clear();
    // Built apart from the tree and handed over sorted, in one insertion.
    std::unordered_map<uint32_t, TIpConfNode*> groups;
    std::unordered_set<const Intp::TDevice*> listed;
    QList<QTreeWidgetItem*> roots;
    for (Intp::TDevice* device : selected) {
        const uint32_t address = device->GetIp();
        if (address == 0 || !listed.insert(device).second)
            continue;
        TIpConfNode*& root = groups[address];
        if (!root) {
            root = new TIpConfNode(address);
            root->SetGroupImage();
            roots.push_back(root);
        }
        root->addChild(new TIpConfNode(device));
    }
    std::sort(roots.begin(), roots.end(),
              [](QTreeWidgetItem* a, QTreeWidgetItem* b) { return Node(a)->Key() < Node(b)->Key(); });
    m_Tree->addTopLevelItems(roots);
    SortTree();
    m_Tree->expandAll();
    const std::vector<QTreeWidgetItem*> switches = SwitchNodes();
    if (!switches.empty())
        m_Tree->setCurrentItem(switches.front());
    m_Rebuilding = false;

    if (!switches.empty()) {
        m_BottomPanel->setEnabled(true);
        EventOnTreeChange();
    } else {
        m_Method->setCurrentIndex(mtDhcp);
        EventOnMethodChange();
        m_BottomPanel->setEnabled(false);
    }
}

void TModuleBasicsIPConf::SortTree()
{
    // Turning sorting on sorts by the header's indicator: one sort, not two.
    if (m_Tree->isSortingEnabled()) {
        m_Tree->sortItems(0, Qt::AscendingOrder);
        return;
    }
    m_Tree->header()->setSortIndicator(0, Qt::AscendingOrder);
    m_Tree->setSortingEnabled(true);
}

void TModuleBasicsIPConf::OnLeave()
{
    // A rebuild put off must not show the page after it was left.
    Timer1->stop();
    m_Throttle = TRefillThrottle();
    m_Rebuilding = true;
    m_Tree->clear();
    m_Rebuilding = false;
}

std::vector<QTreeWidgetItem*> TModuleBasicsIPConf::SwitchNodes() const
{
    std::vector<QTreeWidgetItem*> nodes;
    for (int i = 0; i < m_Tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = m_Tree->topLevelItem(i);
        for (int j = 0; j < root->childCount(); ++j)
            nodes.push_back(root->child(j));
    }
    return nodes;
}

QTreeWidgetItem* TModuleBasicsIPConf::NodeOf(const Intp::TDevice* device) const
{
    for (QTreeWidgetItem* node : SwitchNodes()) {
        if (device && Node(node)->Mac() == device->GetMac())
            return node;
    }
    return nullptr;
}

int TModuleBasicsIPConf::NodeImage(const QTreeWidgetItem* node)
{
    return node ? static_cast<const TIpConfNode*>(node)->Image() : -1;
}

QTreeWidgetItem* TModuleBasicsIPConf::SelectedSwitch() const
{
    QTreeWidgetItem* item = m_Tree->currentItem();
    return item && Node(item)->IsSwitch() ? item : nullptr;
}

void TModuleBasicsIPConf::EventOnTreeChange()
{
    if (m_Rebuilding)
        return;
    QTreeWidgetItem* node = SelectedSwitch();
    if (node && !Node(node)->Plan().Dhcp && m_Method->currentIndex() != mtManual)
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
        PlanEach(m_Tree, SwitchNodes(), [](TIpConfNode* node) { node->SetPlan(DhcpPlan(), niPlanned); });
        SortTree();
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
    QTreeWidgetItem* node = SelectedSwitch();
    if (!node) {
        ApplyLayout(lyNone);
        return;
    }
    FillFields(node);
    ApplyLayout(lyManual);
}

void TModuleBasicsIPConf::FillFields(QTreeWidgetItem* node)
{
    const TIpPlan& plan = Node(node)->Plan();
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
    bool ok = true;
    for (QTreeWidgetItem* node : SwitchNodes())
        ok = ok && Node(node)->Image() != niNoAddress;
    m_Apply->setEnabled(ok);
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
        m_Tree->setSortingEnabled(false);
        PlanEach(m_Tree, SwitchNodes(), [&](TIpConfNode* node) {
            if (std::optional<uint32_t> address = allocator.Next()) {
                const TIpPlan plan{false, *address, mask, extras};
                node->SetPlan(plan, Intp::FindDeviceByIp(*address) ? niInUse : niPlanned);
            } else {
                node->SetPlan(TIpPlan(), niNoAddress);
            }
        });
        SortTree();
        UpdateApply();
        return;
    }

    QTreeWidgetItem* node = SelectedSwitch();
    if (!node)
        return;
    if (m_Dhcp->isChecked()) {
        Node(node)->SetPlan(DhcpPlan(), niPlanned);
    } else {
        if (!Check(IsValidHostIp(begin) && IsValidNetmask(mask), "Wrong IP/Netmask!"))
            return;
        const TIpPlan plan{false, begin, mask, HostExtras(begin, mask, typed)};
        Node(node)->SetPlan(plan, Intp::FindDeviceByIp(begin) ? niInUse : niPlanned);
    }
    SortTree();
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
    m_PM1Discard->setEnabled(SelectedSwitch() != nullptr);
    m_PopupMenu->popup(m_Tree->viewport()->mapToGlobal(position));
}

void TModuleBasicsIPConf::EventOnPM1DiscardClick()
{
    QTreeWidgetItem* node = SelectedSwitch();
    if (!node)
        return;
    if (Intp::TDevice* device = Node(node)->Device())
        Node(node)->Reset(device);
    SortTree();
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
    for (QTreeWidgetItem* item : SwitchNodes()) {
        TIpConfNode* node = Node(item);
        Intp::TDevice* device = node->Device();
        if (node->Image() == niCurrent || !device)
            continue;
        const TIpPlan& plan = node->Plan();
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
