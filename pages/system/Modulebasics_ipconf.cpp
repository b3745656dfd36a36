#include "pages/system/Modulebasics_ipconf.h"

#include "pages/system/IpConfTreeModel.h"
#include "pages/kit/AddressText.h"
#include "pages/kit/FilterServer.h"
#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "intp/NetUtils.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/LastColumnFill.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <unordered_set>

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
    return node.isValid() ? node.data(TIpConfModel::ImageRole).toInt() : -1;
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
            m_Model->Node(node).Plan = TIpConfModel::DhcpPlan();
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
        each.Plan = TIpConfModel::DhcpPlan();
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
