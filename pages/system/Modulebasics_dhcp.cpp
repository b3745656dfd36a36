#include "pages/system/Modulebasics_dhcp.h"

#include "intp/Dhcp.h"
#include "intp/NetUtils.h"
#include "intp/Ports.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortLayout.h"
#include "pages/kit/PortMerge.h"
#include "pages/rules/PageRules.h"
#include "pages/rules/SystemRules.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <climits>

namespace {

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
    TPageForm form(this);
    m_Server = form.Choice("&DHCP Server:", {"Disable", "Enable"});
    // The pool follows the server rule, Apply the pool rule.
    form.NeedsDevice(false);
    const char* const captions[dfCount] = {"&Start IP Address:", "&End IP Address:", "Subnet &Mask:", "&Gateway:",
                                           "D&NS:"};
    for (int field = 0; field < dfCount; ++field) {
        m_Edits[field] = form.Ip(captions[field]);
        m_Edits[field]->SetValue(0);
        connect(m_Edits[field], &QLineEdit::textChanged, this, [this, field] { EventOnStartIpChange(field); });
        connect(m_Edits[field], &QLineEdit::editingFinished, this, [this, field] { EventOnStartIpExit(field); });
    }
    auto* leaseTime = new TNumberBox;
    leaseTime->SetLimits(1, INT_MAX);
    m_Lease = leaseTime;
    auto* lease = new QWidget;
    auto* row = new QHBoxLayout(lease);
    row->setContentsMargins(0, 0, 0, 0);
    m_Lease->setParent(lease);
    row->addWidget(m_Lease, 1);
    row->addWidget(new QLabel("sec", lease));
    lease->setFocusProxy(m_Lease);
    m_LeaseField = form.Field("&Lease Time:", lease);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionBasicsDhcpGet>();
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
            m_Lease->ShowValue(record.leaseTime);
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
        TPageForm::SetFieldEnabled(m_Edits[field], on);
    TPageForm::SetFieldEnabled(m_LeaseField, on);
    SetEnabledWhy(m_Apply, on ? PoolProblem() : QString());
}

void TModuleBasicsDhcp::EventOnStartIpChange(int field)
{
    const uint32_t address = m_Edits[field]->Value();
    switch (field) {
    case dfStart:
    case dfEnd:
    case dfMask:
        m_Values[field] = address;
        break;
    default:
        m_Values[field] = HostOrZero(address);
        break;
    }
    SetEnabledWhy(m_Apply, PoolProblem());
}

void TModuleBasicsDhcp::EventOnStartIpExit(int field) { m_Edits[field]->SetValue(m_Values[field]); }

QString TModuleBasicsDhcp::PoolProblem() const
{
    return QString::fromStdString(DhcpPoolProblem(m_Values[dfStart], m_Values[dfEnd], m_Values[dfMask]));
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
    SendToEachTarget<Intp::TSessionBasicsDhcpSet>([&](Intp::TSessionBasicsDhcpSet& request, Intp::TDevice* target) {
        Intp::TPropertyBasicsDhcp own = record;
        const QString why = NumberOrOwn(m_Lease, target, &Intp::TPropertyBasicsDhcp::leaseTime, own.leaseTime);
        if (why.isEmpty())
            request.SetPayload(own);
        return why;
    });
}

// ---------------------------------------------------------------------------
// Client Entries

TModuleBasicsDhcpEntry::TModuleBasicsDhcpEntry(QWidget* parent) : TModulePage("Client Entries", parent)
{
    TPageForm form(this);
    m_Total = static_cast<QLabel*>(form.Field(QString(), new QLabel("Total 0 client entries:")));
    m_List = new TUntypedReportList;
    m_List->AddColumn("", ckNumber);
    m_List->AddColumn("IP Address", ckNumber);
    for (const char* header : {"Client ID", "Type", "Status", "Lease"})
        m_List->AddColumn(header);
    m_List->Model()->SetSortState(0, 1);
    form.List(QString(), m_List);

    AddRead<Intp::TSessionBasicsDhcpEntry>();
}

void TModuleBasicsDhcpEntry::Fill(Intp::TDevice* device)
{
    const auto& record = ValidRecord<Intp::TPropertyBasicsDhcpEntry>(device);
    RebuildRows(m_List, record.valid, record.entries, [](const Intp::TPropertyBasicsDhcpEntryEntry& entry, int number) {
        TListRow row;
        row.cells = {QString::number(number), IpText(entry.ip), QString::fromStdString(entry.clientId.ToString()),
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
    TPageForm form(this);
    m_ListView = new TTypedEditedList<TBindingRow>();
    m_ListView->Caption("Port No.", [](const TBindingRow& row) { return row.caption; });
    const int address = m_ListView->Address("Port IP Binding", &TBindingRow::address, "&IP Address:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_IpAddress = static_cast<TIpEdit*>(m_ListView->EditorOf(address));
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    AddRead<Intp::TSessionPortNameGet>(rwAlways, false, false);
    AddRead<Intp::TSessionBasicsDhcpPortIpGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleBasicsDhcpPortIp::Fill(Intp::TDevice* device)
{
    m_Ports.BuildFor(device);
    const auto& bindings = ValidRecord<Intp::TPropertyBasicsDhcpPortIp>(device);
    std::vector<TBindingRow> rows;
    for (int row = 0; row < m_Ports.RowCount(); ++row) {
        const size_t port = size_t(m_Ports.PortOfRow(row));
        rows.push_back({int(port), TPortLayout::NumberedCaption(row),
                        port < bindings.addresses.size() ? bindings.addresses[port] : 0});
    }
    m_ListView->SetRows(rows);
}

void TModuleBasicsDhcpPortIp::EventOnApplyClick()
{
    if (m_Ports.PortCount() <= 0)
        return;
    // Every switch keeps its own bindings of the ports without a row and of
    // the ports beyond.
    Intp::TPropertyBasicsDhcpPortIp bindings;
    bindings.addresses.assign(size_t(m_Ports.PortCount()), 0);
    for (const TBindingRow& row : m_ListView->Rows())
        bindings.addresses[size_t(row.port)] = row.address;
    PortMerge::SendKeepingList<Intp::TSessionBasicsDhcpPortIpSet>(*this, bindings,
                                                                  &Intp::TPropertyBasicsDhcpPortIp::addresses, m_Ports);
}

REGISTER_PAGE(TModuleBasicsDhcp);
REGISTER_PAGE(TModuleBasicsDhcpEntry);
REGISTER_PAGE(TModuleBasicsDhcpPortIp);
