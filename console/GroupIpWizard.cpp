#include "console/GroupIpWizard.h"

#include "intp/SystemSettings.h"
#include "intp/NetUtils.h"
#include "pages/kit/AddressText.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/kit/Requests.h"
#include "pages/rules/PageRules.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/SystemRules.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

void FlushArpCacheIfAllowed()
{
    if (HasNetAdminCapability())
        FlushArpCache();
}

TWizardGroupIpFrame::TWizardGroupIpFrame(QWidget* parent)
    : TGroupWizardFrame(tr("Group IP Setting Wizard"),
                        {tr("Group IP Setting Wizard helps you walk throught whole IP address configure process of "
                            "a group of devices. A few steps would be taken during this process:"),
                         tr("STEP 1. Select one or more devices to be configured."),
                         tr("STEP 2. Configure the IP address range or DHCP IP address"),
                         tr("STEP 3. Apply settings")},
                        tr("Configure the IP address range or DHCP IP "), {tr("Model"), tr("MAC"), tr("IP")}, parent),
      m_ArpFlush(FlushArpCacheIfAllowed)
{
    auto* step2 = new QWidget(this);

    m_Step2SettingsPanel = new QWidget(step2);
    m_Step2Dhcp = new QRadioButton(tr("&DHCP"), m_Step2SettingsPanel);
    m_Step2Range = new QRadioButton(tr("IP &Range:"), m_Step2SettingsPanel);
    auto* modes = new QButtonGroup(this);
    modes->addButton(m_Step2Dhcp);
    modes->addButton(m_Step2Range);
    auto field = [this](const QString& caption, QLabel*& label, TIpEdit*& edit) {
        edit = new TIpEdit(m_Step2SettingsPanel);
        edit->SetRewriteOnExit(true);
        label = new QLabel(caption, m_Step2SettingsPanel);
        label->setBuddy(edit);
    };
    field(tr("&Server IP:"), m_Step2DhcpServerLabel, m_Step2DhcpServer);
    field(tr("IP &Begin:"), m_Step2IpBeginLabel, m_Step2IpBegin);
    field(tr("IP &End:"), m_Step2IpEndLabel, m_Step2IpEnd);
    field(tr("Net&mask:"), m_Step2NetmaskLabel, m_Step2Netmask);
    field(tr("&Gateway:"), m_Step2GatewayLabel, m_Step2Gateway);
    auto* grid = new QGridLayout(m_Step2SettingsPanel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_Step2Dhcp, 0, 0);
    grid->addWidget(m_Step2DhcpServerLabel, 0, 1);
    grid->addWidget(m_Step2DhcpServer, 0, 2);
    grid->addWidget(m_Step2Range, 1, 0);
    grid->addWidget(m_Step2IpBeginLabel, 1, 1);
    grid->addWidget(m_Step2IpBegin, 1, 2);
    grid->addWidget(m_Step2IpEndLabel, 1, 3);
    grid->addWidget(m_Step2IpEnd, 1, 4);
    grid->addWidget(m_Step2NetmaskLabel, 2, 1);
    grid->addWidget(m_Step2Netmask, 2, 2);
    grid->addWidget(m_Step2GatewayLabel, 2, 3);
    grid->addWidget(m_Step2Gateway, 2, 4);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(4, 1);

    m_Step2Preview = new TUntypedReportList(step2);
    for (const QString& column : {tr("Model"), tr("MAC"), tr("Original IP"), tr("New IP")})
        m_Step2Preview->AddColumn(column);
    m_Step2Preview->Model()->SetSortMode(smNone);
    m_Step2Preview->header()->setSectionsClickable(false);
    // A handful of rows: every text shows whole.
    for (int column = pcModel; column < pcNewIp; ++column)
        m_Step2Preview->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

    m_Step2MovePanel = new QWidget(step2);
    auto move = [this](const QString& tip, const char* text, TRowMove how) {
        auto* button = new QPushButton(QString::fromUtf8(text), m_Step2MovePanel);
        button->setToolTip(tip);
        connect(button, &QPushButton::clicked, this, [this, how] { EventOnMoveClick(how); });
        return button;
    };
    m_Step2MoveTop = move(tr("Move to the top"), "\u2912", rmTop);
    m_Step2MoveUp = move(tr("Move up"), "\u2191", rmUp);
    m_Step2MoveDown = move(tr("Move down"), "\u2193", rmDown);
    m_Step2MoveButtom = move(tr("Move to the bottom"), "\u2913", rmBottom);
    auto* moves = new QVBoxLayout(m_Step2MovePanel);
    moves->setContentsMargins(0, 0, 0, 0);
    moves->addStretch(1);
    for (QPushButton* button : {m_Step2MoveTop, m_Step2MoveUp, m_Step2MoveDown, m_Step2MoveButtom})
        moves->addWidget(button);
    moves->addStretch(1);

    auto* previewRow = new QHBoxLayout;
    previewRow->addWidget(m_Step2Preview, 1);
    previewRow->addWidget(m_Step2MovePanel);
    auto* layout = new QVBoxLayout(step2);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Step2SettingsPanel);
    layout->addLayout(previewRow, 1);
    SetStep2Panel(step2);

    m_Watchdog = new QTimer(this);
    m_Watchdog->setSingleShot(true);
    m_Watchdog->setInterval(WatchdogMs);
    connect(m_Watchdog, &QTimer::timeout, this, [this] { EventOnWatchdogTimer(); });

    connect(m_Step2Dhcp, &QRadioButton::clicked, this, [this] { EventOnModeClick(); });
    connect(m_Step2Range, &QRadioButton::clicked, this, [this] { EventOnModeClick(); });
    connect(m_Step2DhcpServer, &QLineEdit::textChanged, this, [this] { EventOnDhcpServerChange(); });
    for (TIpEdit* edit : {m_Step2IpBegin, m_Step2IpEnd, m_Step2Netmask, m_Step2Gateway})
        connect(edit, &QLineEdit::textChanged, this, [this] { EventOnRangeChange(); });
    connect(m_Step2Preview, &TUntypedReportList::SelectedRowChanged, this, [this] { UpdateMoveButtons(); });

    m_Step2Dhcp->setChecked(true);
    EventOnModeClick();
}

QString TWizardGroupIpFrame::GetCaption() const { return tr("Group IP Setting"); }

QString TWizardGroupIpFrame::RunningWork() const
{
    return m_Running ? tr("\"%1\" is changing the switches' addresses.").arg(GetCaption()) : QString();
}

QString TWizardGroupIpFrame::ClosingLeaves() const
{
    return tr("Closing the console now cuts this off: some switches may already have their new addresses while "
              "others keep their old ones.");
}

QString TWizardGroupIpFrame::StartText() const { return tr("&Apply"); }

QString TWizardGroupIpFrame::WhyNoStart() const
{
    if (IsDhcp())
        return tr("Enter the DHCP server's address (not 0.0.0.0, 255.255.255.255 or 127.x.x.x).");
    return tr("The range needs an address for each device: the end above the begin, a valid netmask, and "
              "enough addresses besides the network and broadcast addresses, the gateway and the addresses "
              "of the other listed devices.");
}

bool TWizardGroupIpFrame::IsDhcp() const { return m_Step2Dhcp->isChecked(); }

int TWizardGroupIpFrame::RowImage(int row) const
{
    return row >= 0 && row < RowCount() ? m_Rows[std::size_t(row)].image : riNone;
}

QString TWizardGroupIpFrame::RowText(int row, int column) const
{
    return row >= 0 && row < RowCount() ? m_Step2Preview->Model()->Cell(row, column) : QString();
}

TWizardDevices TWizardGroupIpFrame::Step1Devices()
{
    TWizardDevices devices;
    for (Intp::TDevice* device : ListedDevices()) {
        if (!device)
            continue;
        devices.push_back({device->GetMac(), device->GetType(),
                           {QString::fromStdString(device->GetTypeName()),
                            QString::fromStdString(device->GetMac().ToString()), IpText(device->GetIp())}});
    }
    return devices;
}

void TWizardGroupIpFrame::EnterStep2(const TWizardDevices& chosen)
{
    m_Rows.clear();
    for (const TWizardDevice& device : chosen)
        m_Rows.push_back({device, device.cells.value(kcIp), false, riNone});
    m_Step2Preview->Clear();
    for (const TRow& row : m_Rows)
        m_Step2Preview->Model()->AddRow(
            {row.device.cells.value(kcModel), row.device.cells.value(kcMac), row.originalIp, QString()});
    EventOnModeClick();
    UpdateMoveButtons();
}

void TWizardGroupIpFrame::EventOnModeClick()
{
    const bool dhcp = IsDhcp();
    m_Step2DhcpServerLabel->setEnabled(dhcp);
    m_Step2DhcpServer->setEnabled(dhcp);
    for (QWidget* control : std::initializer_list<QWidget*>{m_Step2IpBeginLabel, m_Step2IpBegin, m_Step2IpEndLabel,
                                                            m_Step2IpEnd, m_Step2NetmaskLabel, m_Step2Netmask})
        control->setEnabled(!dhcp);
    if (dhcp) {
        m_Step2GatewayLabel->setEnabled(false);
        m_Step2Gateway->setEnabled(false);
        EventOnDhcpServerChange();
        return;
    }
    // Each range field shows the address it is read as.
    for (TIpEdit* edit : {m_Step2IpBegin, m_Step2IpEnd, m_Step2Netmask, m_Step2Gateway}) {
        const QSignalBlocker quiet(edit);
        edit->SetValue(edit->Value());
    }
    EventOnRangeChange();
}

void TWizardGroupIpFrame::EventOnDhcpServerChange()
{
    if (IsDhcp())
        ShowNewAddresses();
}

void TWizardGroupIpFrame::EventOnRangeChange()
{
    if (IsDhcp())
        return;
    const std::uint32_t begin = m_Step2IpBegin->Value();
    const std::uint32_t end = m_Step2IpEnd->Value();
    const std::uint32_t mask = m_Step2Netmask->Value();
    // One walk of the range answers both questions: whether the range
    // without its gateway serves the rows (only then a gateway goes with it),
    // and the plan once the gateway is left out too.
    const std::size_t needed = std::max<std::size_t>(1, m_Rows.size());
    std::vector<std::uint32_t> free = FreeAddresses(begin, end, mask, needed + 1, TakenAddresses());
    const bool gateway = free.size() >= needed && IsSameSubnet(begin, end, mask);
    m_Step2Gateway->setEnabled(gateway);
    m_Step2GatewayLabel->setEnabled(gateway);
    m_Gateway = gateway ? RangeExtras(begin, end, mask, {m_Step2Gateway->Value(), 0, 0}).Gateway : 0;
    if (!gateway && m_Step2Gateway->text() != "0.0.0.0") {
        const QSignalBlocker quiet(m_Step2Gateway);
        m_Step2Gateway->SetValue(0);
    }
    if (m_Gateway != 0)
        std::erase(free, m_Gateway);
    if (free.size() >= m_Rows.size())
        free.resize(m_Rows.size());
    else
        free.clear();
    m_Plan = std::move(free);
    ShowNewAddresses();
}

std::vector<std::uint32_t> TWizardGroupIpFrame::TakenAddresses() const
{
    std::vector<std::uint32_t> taken;
    for (Intp::TDevice* device : ListedDevices()) {
        const bool planned = std::any_of(m_Rows.begin(), m_Rows.end(),
                                         [&](const TRow& row) { return device && row.device.mac == device->GetMac(); });
        if (device && !planned && device->GetIp() != 0)
            taken.push_back(device->GetIp());
    }
    return taken;
}

bool TWizardGroupIpFrame::CanStart() const
{
    if (m_Rows.empty())
        return false;
    return IsDhcp() ? IsValidHostIp(m_Step2DhcpServer->Value()) : m_Plan.size() == m_Rows.size();
}

void TWizardGroupIpFrame::ShowNewAddresses()
{
    TListModel* model = m_Step2Preview->Model();
    for (int row = 0; row < RowCount(); ++row) {
        QString text = IsDhcp() ? QStringLiteral("DHCP")
                       : std::size_t(row) < m_Plan.size() ? IpText(m_Plan[std::size_t(row)])
                                                          : QStringLiteral("0.0.0.0");
        model->SetCell(row, pcNewIp, text);
    }
    UpdateButtons();
}

void TWizardGroupIpFrame::ShowRow(int row)
{
    const TRow& entry = m_Rows[std::size_t(row)];
    TListModel* model = m_Step2Preview->Model();
    model->SetCell(row, pcModel, entry.device.cells.value(kcModel));
    model->SetCell(row, pcMac, entry.device.cells.value(kcMac));
    model->SetCell(row, pcOriginalIp, entry.originalIp);
    if (entry.image == riDone)
        model->SetIcon(row, PageGlyph("RC_BITMAP_16X16_ACCEPT"));
    else if (entry.image == riFailed)
        model->SetIcon(row, PageGlyph("RC_BITMAP_16X16_CANCEL"));
    else
        model->ClearIcon(row);
}

void TWizardGroupIpFrame::EventOnMoveClick(TRowMove move)
{
    const int from = m_Step2Preview->SelectedRow();
    const int to = MovedRowIndex(from, RowCount(), move);
    if (to < 0 || m_Running)
        return;
    // The switch moves; the new addresses stay with the positions.
    MoveRow(m_Rows, from, to);
    for (int row = std::min(from, to); row <= std::max(from, to); ++row)
        ShowRow(row);
    m_Step2Preview->SelectRow(to);
    UpdateMoveButtons();
}

void TWizardGroupIpFrame::UpdateMoveButtons()
{
    const int row = m_Step2Preview->SelectedRow();
    const int count = RowCount();
    m_Step2MoveTop->setEnabled(MovedRowIndex(row, count, rmTop) >= 0);
    m_Step2MoveUp->setEnabled(MovedRowIndex(row, count, rmUp) >= 0);
    m_Step2MoveDown->setEnabled(MovedRowIndex(row, count, rmDown) >= 0);
    m_Step2MoveButtom->setEnabled(MovedRowIndex(row, count, rmBottom) >= 0);
}

void TWizardGroupIpFrame::Start()
{
    TModuleCallback* host = Host();
    QString user, password;
    if (!host || !host->AskCredentials(user, password) || user.isEmpty())
        return;
    // Re-read: the dialog's event loop may have let the listed devices change.
    if (!IsDhcp())
        EventOnRangeChange();
    if (!CanStart())
        return;

    Intp::TSessionBasicsIPConfSet::TPayload payload;
    payload.Digest = LoginDigest(user, password);
    payload.Dhcp = IsDhcp();
    payload.Netmask = m_Step2Netmask->Value();
    payload.Gateway = m_Gateway;
    const std::uint32_t dhcpServer = m_Step2DhcpServer->Value();
    int started = 0;
    for (int row = RowCount() - 1; row >= 0; --row) {
        TRow& entry = m_Rows[std::size_t(row)];
        payload.Ip = IsDhcp() ? dhcpServer : m_Plan[std::size_t(row)];
        Intp::TDevice* device = Intp::FindDevice(entry.device.mac, true);
        entry.image = riNone;
        if (StartRequest<Intp::TSessionBasicsIPConfSet>(
                device, [&](Intp::TSessionBasicsIPConfSet& request) { request.SetPayload(payload); }, this)) {
            entry.waiting = true;
            ++started;
        } else {
            entry.waiting = false;
            entry.image = riFailed;
        }
        ShowRow(row);
    }
    if (started != 0)
        SetRunning(true);
}

void TWizardGroupIpFrame::SetRunning(bool running)
{
    m_Running = running;
    m_Step2SettingsPanel->setEnabled(!running);
    m_Step2MovePanel->setEnabled(!running);
    if (running)
        m_Watchdog->start();
    else
        m_Watchdog->stop();
    UpdateButtons();
}

void TWizardGroupIpFrame::EndRow(int row, int image)
{
    TRow& entry = m_Rows[std::size_t(row)];
    entry.waiting = false;
    entry.image = image;
    ShowRow(row);
}

void TWizardGroupIpFrame::OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status,
                                        const void*)
{
    if (Step() != 2 || !m_Running)
        return;
    const bool set = device && code == Intp::ccBasicsIPConfSet;
    bool changed = false;
    for (int row = RowCount() - 1; row >= 0; --row) {
        TRow& entry = m_Rows[std::size_t(row)];
        if (!set || !entry.waiting || entry.device.mac != device->GetMac())
            continue;
        if (status == Intp::ssOk) {
            entry.originalIp = IpText(device->GetIp());
            m_Picker->SetSelectedCell(entry.device.mac, kcIp, entry.originalIp);
            EndRow(row, riDone);
        } else {
            EndRow(row, riFailed);
        }
        changed = true;
    }
    if (changed) {
        // Each row's result restarts the watchdog's wait.
        m_Watchdog->start();
        RunEnded();
    }
    // Every result while waiting, also one that ends no row.
    if (m_ArpFlush)
        m_ArpFlush();
}

void TWizardGroupIpFrame::RunEnded()
{
    const bool waiting = std::any_of(m_Rows.begin(), m_Rows.end(), [](const TRow& row) { return row.waiting; });
    if (!waiting)
        SetRunning(false);
}

void TWizardGroupIpFrame::EventOnWatchdogTimer()
{
    if (!m_Running)
        return;
    for (int row = 0; row < RowCount(); ++row) {
        if (m_Rows[std::size_t(row)].waiting)
            EndRow(row, riFailed);
    }
    SetRunning(false);
    if (m_ArpFlush)
        m_ArpFlush();
}
