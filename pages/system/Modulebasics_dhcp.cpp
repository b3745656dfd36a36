#include "pages/system/Modulebasics_dhcp.h"

#include "intp/Dhcp.h"
#include "intp/NetUtils.h"
#include "intp/Ports.h"
#include "pages/kit/PageList.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortLayout.h"
#include "pages/rules/PageRules.h"
#include "pages/rules/SystemRules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

namespace {

QString Dotted(uint32_t address) { return QString::fromStdString(IpToString(address)); }

const char* const kEntryTypes[] = {"Error", "BootpTab", "Dynamic ", "Sniffed ", "Dbase   "};
const char* const kEntryStates[] = {"Unassigned", "Bootp", "DhcpOffer", "Dhcp"};

template <size_t N>
QString NameOf(const char* const (&names)[N], uint32_t value)
{
    return value < N ? QString::fromLatin1(names[value]) : QString::number(value);
}

} // namespace

// ---------------------------------------------------------------------------
// DHCP Server

TModuleBasicsDhcp::TModuleBasicsDhcp(QWidget* parent) : TModulePage("DHCP Server", parent)
{
    auto* grid = new QGridLayout;
    m_Server = new QComboBox(this);
    m_Server->addItems({"Disable", "Enable"});
    m_Label1 = new QLabel("&DHCP Server:", this);
    m_Label1->setBuddy(m_Server);
    grid->addWidget(m_Label1, 0, 0);
    grid->addWidget(m_Server, 0, 1);
    const char* const captions[dfCount] = {"&Start IP Address:", "&End IP Address:", "Subnet &Mask:", "&Gateway:",
                                           "D&NS:"};
    for (int field = 0; field < dfCount; ++field) {
        m_Edits[field] = new TIpEdit(this);
        m_Edits[field]->SetValue(0);
        m_Labels[field] = new QLabel(captions[field], this);
        m_Labels[field]->setBuddy(m_Edits[field]);
        grid->addWidget(m_Labels[field], field + 1, 0);
        grid->addWidget(m_Edits[field], field + 1, 1);
        connect(m_Edits[field], &QLineEdit::textChanged, this, [this, field] { EventOnStartIpChange(field); });
        connect(m_Edits[field], &QLineEdit::editingFinished, this, [this, field] { EventOnStartIpExit(field); });
    }
    m_Lease = new QSpinBox(this);
    m_Lease->setRange(1, INT_MAX);
    m_Label7 = new QLabel("&Lease Time:", this);
    m_Label7->setBuddy(m_Lease);
    m_Label8 = new QLabel("sec", this);
    auto* lease = new QHBoxLayout;
    lease->addWidget(m_Lease, 1);
    lease->addWidget(m_Label8);
    grid->addWidget(m_Label7, dfCount + 1, 0);
    grid->addLayout(lease, dfCount + 1, 1);
    grid->setColumnStretch(1, 1);

    m_Apply = new QPushButton("&Apply", this);
    m_Apply->setDefault(true);
    LoadGlyph(m_Apply, "RC_BITMAP_16X16_ACCEPT");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_Apply);
    auto* column = new QVBoxLayout;
    column->addLayout(grid);
    column->addLayout(buttons);
    column->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(column);
    layout->addStretch(1);

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionBasicsDhcpGet>();
    AddInputs({m_Label1, m_Server});
    connect(m_Server, &QComboBox::currentIndexChanged, this, [this] { EventOnServerChange(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleBasicsDhcp::Fill(Intp::TDevice* device)
{
    m_Server->setCurrentIndex(0);
    if (device) {
        const auto& record = Intp::Property<Intp::TPropertyBasicsDhcp>::Get(device);
        if (record.valid) {
            m_Server->setCurrentIndex(record.enabled ? 1 : 0);
            const uint32_t values[dfCount] = {record.startIp, record.endIp, record.subnetMask, record.gateway,
                                              record.dns};
            for (int field = 0; field < dfCount; ++field) {
                m_Edits[field]->SetValue(values[field]);
                EventOnStartIpChange(field);
            }
            m_Lease->setValue(int(std::min<uint32_t>(record.leaseTime, INT_MAX)));
        }
    }
    EventOnServerChange();
    if (!device)
        m_Apply->setEnabled(false);
}

void TModuleBasicsDhcp::EventOnServerChange()
{
    const bool on = m_Server->currentIndex() == 1;
    for (int field = 0; field < dfCount; ++field)
        SetEnabled({m_Labels[field], m_Edits[field]}, on);
    SetEnabled({m_Label7, m_Lease, m_Label8}, on);
    m_Apply->setEnabled(!on || IsPoolValid());
}

void TModuleBasicsDhcp::EventOnStartIpChange(int field)
{
    const uint32_t address = m_Edits[field]->Value();
    switch (field) {
    case dfStart:
    case dfEnd:
        m_Valid[field] = IsValidHostIp(address);
        m_Values[field] = address;
        break;
    case dfMask:
        m_Valid[field] = IsValidNetmask(address);
        m_Values[field] = address;
        break;
    default:
        m_Values[field] = HostOrZero(address);
        break;
    }
    m_Apply->setEnabled(IsPoolValid());
}

void TModuleBasicsDhcp::EventOnStartIpExit(int field) { m_Edits[field]->SetValue(m_Values[field]); }

bool TModuleBasicsDhcp::IsPoolValid() const
{
    return m_Valid[dfStart] && m_Valid[dfEnd] && m_Valid[dfMask] &&
           IsValidDhcpPool(m_Values[dfStart], m_Values[dfEnd], m_Values[dfMask]);
}

void TModuleBasicsDhcp::EventOnApplyClick()
{
    Intp::TPropertyBasicsDhcp record;
    record.enabled = m_Server->currentIndex() == 1;
    record.startIp = m_Values[dfStart];
    record.endIp = m_Values[dfEnd];
    record.subnetMask = m_Values[dfMask];
    record.gateway = m_Values[dfGateway];
    record.dns = m_Values[dfDns];
    record.leaseTime = uint32_t(m_Lease->value());
    SendToSelectedDevices<Intp::TSessionBasicsDhcpSet>(
        [&](Intp::TSessionBasicsDhcpSet& request) { request.SetPayload(record); });
}

// ---------------------------------------------------------------------------
// Client Entries

TModuleBasicsDhcpEntry::TModuleBasicsDhcpEntry(QWidget* parent) : TModulePage("Client Entries", parent)
{
    m_Total = new QLabel("Total 0 client entries:", this);
    m_List = new TPageListView(this);
    m_List->AddColumn("", ckNumber);
    m_List->AddColumn("IP Address", ckNumber);
    for (const char* header : {"Client ID", "Type", "Status", "Lease"})
        m_List->AddColumn(header);
    m_List->Model()->SetSortState(0, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Total);
    layout->addWidget(m_List, 1);

    AddRead<Intp::TSessionBasicsDhcpEntry>();
    AddInputs({m_Total, m_List});
}

void TModuleBasicsDhcpEntry::Fill(Intp::TDevice* device)
{
    const Intp::TPropertyBasicsDhcpEntry none;
    const auto& record = device ? Intp::Property<Intp::TPropertyBasicsDhcpEntry>::Get(device) : none;
    RebuildRows(m_List, record.valid, record.entries, [](const Intp::TPropertyBasicsDhcpEntryEntry& entry, int number) {
        TPageRow row;
        row.cells = {QString::number(number), Dotted(entry.ip), QString::fromStdString(entry.clientId.ToString()),
                     NameOf(kEntryTypes, entry.type), NameOf(kEntryStates, entry.status), QString::number(entry.lease)};
        row.numbers = {number, (long long)entry.ip};
        return row;
    });
    m_Total->setText(QString("Total %1 client entries:").arg(m_List->RowCount()));
}

void TModuleBasicsDhcpEntry::OnLeave() { m_List->Clear(); }

// ---------------------------------------------------------------------------
// Port and IP Binding

TModuleBasicsDhcpPortIp::TModuleBasicsDhcpPortIp(QWidget* parent) : TModulePage("Port and IP Binding", parent)
{
    m_ListView = new TPageListView(this);
    m_ListView->AddColumn("Port No.");
    m_ListView->AddColumn("Port IP Binding");
    m_ListView->Model()->SetSortMode(smNone);
    m_IpAddress = new TIpEdit(this);
    m_IpAddressLabel = new QLabel("&IP Address:", this);
    m_IpAddressLabel->setBuddy(m_IpAddress);
    m_Apply = new QPushButton("&Apply", this);
    m_Apply->setDefault(true);
    LoadGlyph(m_Apply, "RC_BITMAP_16X16_ACCEPT");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_IpAddressLabel);
    bottom->addWidget(m_IpAddress, 1);
    bottom->addStretch(1);
    bottom->addWidget(m_Apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_ListView, 1);
    layout->addLayout(bottom);

    AddRead<Intp::TSessionPortNameGet>(rwAlways, false);
    AddRead<Intp::TSessionBasicsDhcpPortIpGet>();
    AddInputs({m_ListView, m_Apply});
    connect(m_ListView, &TPageListView::SelectedRowChanged, this, [this](int row) { EventOnListViewSelectItem(row); });
    connect(m_IpAddress, &QLineEdit::textChanged, this, [this] { EventOnIpAddressChange(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleBasicsDhcpPortIp::Fill(Intp::TDevice* device)
{
    m_ListView->Clear();
    m_Rows.clear();
    m_Ports = 0;
    EventOnListViewSelectItem(-1);
    if (!device)
        return;
    const auto& names = Intp::Property<Intp::TPropertyPortName>::Get(device);
    const auto& bindings = Intp::Property<Intp::TPropertyBasicsDhcpPortIp>::Get(device);
    m_Ports = int(device->GetPortNum());
    TPortLayout layout;
    layout.Build(m_Ports, names.valid ? names.names : std::vector<std::string>());
    for (int row = 0; row < layout.RowCount(); ++row) {
        const int port = layout.PortOfRow(row);
        const uint32_t address =
            bindings.valid && size_t(port) < bindings.addresses.size() ? bindings.addresses[size_t(port)] : 0;
        m_Rows.push_back({port, address, address});
        m_ListView->Model()->AddRow({QString::fromStdString(PortCaption(row + 1)), Dotted(address)}, row);
    }
}

void TModuleBasicsDhcpPortIp::EventOnListViewSelectItem(int row)
{
    const bool selected = row >= 0 && size_t(row) < m_Rows.size();
    SetEnabled({m_IpAddressLabel, m_IpAddress}, selected);
    if (!selected)
        return;
    // Showing a row's address is no edit of it.
    m_ShowingRow = true;
    m_IpAddress->SetValue(m_Rows[size_t(row)].send);
    m_ShowingRow = false;
}

void TModuleBasicsDhcpPortIp::EventOnIpAddressChange()
{
    const int row = m_ListView->SelectedRow();
    if (m_ShowingRow || row < 0 || size_t(row) >= m_Rows.size())
        return;
    const uint32_t address = HostOrZero(m_IpAddress->Value());
    m_Rows[size_t(row)].send = address;
    m_ListView->Model()->SetCell(row, 1, Dotted(address));
}

void TModuleBasicsDhcpPortIp::EventOnApplyClick()
{
    if (m_Ports <= 0)
        return;
    std::vector<uint32_t> addresses(size_t(m_Ports), 0);
    for (const TBindingRow& row : m_Rows)
        addresses[size_t(row.port)] = row.send;
    SendToSelectedDevices<Intp::TSessionBasicsDhcpPortIpSet>([&](Intp::TSessionBasicsDhcpPortIpSet& request) {
        request.SetEntries(addresses.data(), int(addresses.size()));
    });
}

REGISTER_PAGE(TModuleBasicsDhcp);
REGISTER_PAGE(TModuleBasicsDhcpEntry);
REGISTER_PAGE(TModuleBasicsDhcpPortIp);
