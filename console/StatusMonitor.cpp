#include "console/StatusMonitor.h"

#include "console/Icons.h"
#include "intp/NetUtils.h"
#include "intp/Operations.h"
#include "pages/kit/PageList.h"
#include "pages/rules/PageRules.h"
#include "pages/kit/PageWidgets.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace Status {

QString StatusText(std::uint32_t state, std::uint32_t powerAlarm, std::uint32_t portFailed)
{
    if (state & sbNoReply)
        return "Offline";
    QString text = "Online";
    if (state & sbError) {
        text += "/query fail";
    } else {
        if (powerAlarm & 0x1)
            text += "/power1 fail";
        if (powerAlarm & 0x2)
            text += "/power2 fail";
        if (portFailed != 0) {
            text += "/port ";
            bool first = true;
            for (int bit = 0; bit < 32; ++bit) {
                if (!(portFailed >> bit & 1U))
                    continue;
                text += first ? QString::number(bit + 1) : QString(",%1").arg(bit + 1);
                first = false;
            }
            text += " fail";
        }
    }
    if (state & sbIpChanged)
        text += "/IP different";
    return text;
}

QColor RowColour(std::uint32_t state)
{
    if (state & sbNoReply)
        return QColor(255, 0, 0);
    if (state & sbError)
        return QColor(255, 255, 0);
    if (state & sbIpChanged)
        return QColor(0, 0, 255);
    if (state & sbAlarm)
        return QColor(0, 102, 255);
    return QColor();
}

}  // namespace Status

namespace {

// Fields of a row's record kept in the row's numbers.
constexpr int nListedIp = TStatusFrame::scIp;
constexpr int nState = TStatusFrame::scStatus;
constexpr int nImage = TStatusFrame::scModel;
constexpr int nTime = TStatusFrame::scTime;

QString Dotted(long long ip) { return QString::fromStdString(IpToString(uint32_t(ip))); }

// The monitor's ping. A rebooted switch has address 0 until it is heard
// again; it is asked at its row's listed address meanwhile, so that its
// answer brings it back (tree node and all) without a new discovery.
class TMonitorPing : public Intp::TSessionIntpPing2 {
public:
    TMonitorPing(unsigned timeoutMs, std::uint32_t listed) : TSessionIntpPing2(timeoutMs), m_Listed(listed) {}

    std::uint32_t GetDestination(Intp::TDevice* device) const override
    {
        return device->GetIp() != 0 ? device->GetIp() : m_Listed;
    }

private:
    std::uint32_t m_Listed;
};

// A row glyph on a white disc: it stays readable on the red, yellow and blue
// rows of switches with a problem.
QIcon OnBadge(const QIcon& glyph)
{
    QPixmap badge(16, 16);
    badge.fill(Qt::transparent);
    QPainter painter(&badge);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(96, 96, 96), 1));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    painter.drawPixmap(2, 2, glyph.pixmap(12, 12));
    painter.end();
    return QIcon(badge);
}

}  // namespace

TStatusFrame::TStatusFrame(QWidget* parent) : QFrame(parent), m_Beeper([] { QApplication::beep(); })
{
    auto* periodLabel = new QLabel("Query &Period:", this);
    m_QueryPeriod = new QSpinBox(this);
    m_QueryPeriod->setRange(5, 86400);
    m_QueryPeriod->setValue(10);
    periodLabel->setBuddy(m_QueryPeriod);
    auto* tmoLabel = new QLabel("Query &Timeout:", this);
    m_QueryTmo = new QSpinBox(this);
    m_QueryTmo->setRange(1, 9);
    m_QueryTmo->setValue(5);
    tmoLabel->setBuddy(m_QueryTmo);
    m_Beep = new QCheckBox("&Beep Alarm:", this);
    m_Beep->setLayoutDirection(Qt::RightToLeft);

    m_acClearError = new QAction(PageGlyph("RC_BITMAP_16X16_CLEAR"), "&Clear Error", this);
    m_acRefresh = new QAction(PageGlyph("RC_BITMAP_16X16_REFRESH"), "&Refresh", this);
    m_ClearError = new QPushButton(m_acClearError->icon(), m_acClearError->text(), this);
    m_Refresh = new QPushButton(m_acRefresh->icon(), m_acRefresh->text(), this);
    connect(m_ClearError, &QPushButton::clicked, m_acClearError, &QAction::trigger);
    connect(m_Refresh, &QPushButton::clicked, m_acRefresh, &QAction::trigger);
    connect(m_acClearError, &QAction::triggered, this, [this] { EventOnClearErrorExecute(); });
    connect(m_acRefresh, &QAction::triggered, this, [this] { EventOnTimer(); });

    m_AnsweringIcon = OnBadge(ConsoleIcon(ikDevices));
    m_SilentIcon = OnBadge(PageGlyph("RC_BITMAP_16X16_CANCEL"));
    m_List = new TPageListView(this);
    m_List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_List->AddColumn("", ckNumber, Qt::AlignRight | Qt::AlignVCenter);
    m_List->AddColumn("IP", ckNumber);
    m_List->AddColumn("MAC Address", ckNumber);
    m_List->AddColumn("Model", ckText);
    m_List->AddColumn("Last Reported Time", ckNumber);
    m_List->AddColumn("Status", ckText);
    m_List->header()->setStretchLastSection(true);
    m_List->SetColumnsFollowContents();
    m_List->setContextMenuPolicy(Qt::CustomContextMenu);
    m_Popup = new QMenu(this);
    m_Popup->addAction(m_acClearError);
    m_Popup->addAction(m_acRefresh);
    connect(m_List, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_Popup->popup(m_List->viewport()->mapToGlobal(at)); });
    connect(m_List, &TPageListView::SelectedRowChanged, this, [this] { UpdateActions(); });

    auto* bar = new QHBoxLayout;
    bar->addWidget(periodLabel);
    bar->addWidget(m_QueryPeriod);
    bar->addWidget(tmoLabel);
    bar->addWidget(m_QueryTmo);
    bar->addWidget(m_Beep);
    bar->addStretch(1);
    bar->addWidget(m_ClearError);
    bar->addWidget(m_Refresh);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_List, 1);

    m_Timer = new QTimer(this);
    m_Timer->setInterval(10000);
    connect(m_Timer, &QTimer::timeout, this, [this] { EventOnTimer(); });
    m_BeepTimer = new QTimer(this);
    m_BeepTimer->setInterval(2000);
    connect(m_BeepTimer, &QTimer::timeout, this, [this] { EventOnBeepTimer(); });
    connect(m_Beep, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_BeepTimer->start();
        else
            m_BeepTimer->stop();
    });
    connect(m_QueryPeriod, &QSpinBox::valueChanged, this, [this] { EventOnQueryPeriodChange(); });

    UpdateActions();
    m_Timer->start();
}

TStatusFrame::~TStatusFrame() = default;

void TStatusFrame::SetBeeper(std::function<void()> beeper) { m_Beeper = std::move(beeper); }

// ---------------------------------------------------------------------------
// Status::TStatusServer

void TStatusFrame::AddDevices(const TDeviceList& devices)
{
    for (Intp::TDevice* device : devices)
        AddDevice(device);
}

void TStatusFrame::AddDevice(Intp::TDevice* device)
{
    if (!device || FindRow(device->GetMac()) >= 0)
        return;
    TPageRow record;
    record.tag = MacKey(device->GetMac());
    record.cells = {QString::number(m_NextNumber), Dotted(device->GetIp()),
                    QString::fromStdString(device->GetMac().ToString()),
                    QString::fromStdString(device->GetTypeName()), "(No response yet)", "Online"};
    record.numbers = {m_NextNumber, device->GetIp(), record.tag, imAnswering, 0, 0};
    ++m_NextNumber;
    int row = m_List->Model()->AddRow(record);
    SetImage(row, imAnswering);
    UpdateToolTip(row);
    UpdateActions();
    PollRow(row, unsigned(m_QueryTmo->value()) * 1000U);
}

std::uint32_t TStatusFrame::GetDeviceStatus(const Intp::TDevice* device)
{
    if (!device)
        return 0;
    int row = FindRow(device->GetMac());
    return row < 0 ? 0 : RowState(row);
}

// ---------------------------------------------------------------------------
// TModule

QString TStatusFrame::GetCaption() const { return "Status Monitor"; }

QWidget* TStatusFrame::GetFrame() { return this; }

void TStatusFrame::OnNotify(Intp::TDevice*, std::uint16_t code, std::uint16_t)
{
    if (code == ncSelectionChanged)
        show();
}

bool TStatusFrame::Leave(bool)
{
    hide();
    return true;
}

int TStatusFrame::Refresh(bool)
{
    EventOnTimer();
    return 0;
}

// ---------------------------------------------------------------------------
// Polling

void TStatusFrame::EventOnTimer()
{
    m_Timer->stop();
    unsigned timeout = unsigned(m_QueryTmo->value()) * 1000U;
    for (int row = 0; row < RowCount(); ++row)
        PollRow(row, timeout);
    m_Timer->setInterval(m_QueryPeriod->value() * 1000);
    m_Timer->start();
}

void TStatusFrame::PollRow(int row, unsigned timeoutMs)
{
    TPageListModel* model = m_List->Model();
    Intp::TMacAddr mac = MacOfKey(model->Row(row).tag);
    Intp::TDevice* device = Intp::FindDevice(mac, false);
    if (!device) {
        // A new discovery cleared the registry: bring the switch back at its listed address.
        device = Intp::FindDevice(mac, true);
        if (device)
            device->SetIp(uint32_t(model->Number(row, nListedIp)));
    }
    std::uint32_t state = RowState(row);
    if (device) {
        if (Intp::StartOrDelete(new TMonitorPing(timeoutMs, std::uint32_t(model->Number(row, nListedIp))), device, this))
            return;
        state |= Status::sbError;
    } else {
        state |= Status::sbNoReply;
        SetImage(row, imSilent);
    }
    SetState(row, state);
}

void TStatusFrame::OnWizardEvent(Intp::TDevice* device, std::uint16_t, std::uint16_t status, const void*)
{
    if (!device)
        return;
    int row = FindRow(device->GetMac());
    if (row < 0)
        return;
    TPageListModel* model = m_List->Model();
    std::uint32_t state = RowState(row);
    std::uint32_t power = 0;
    std::uint32_t ports = 0;
    if (status == Intp::ssTimeout) {
        state |= Status::sbNoReply;
        SetImage(row, imSilent);
        SetState(row, state);
        return;
    }
    state &= ~std::uint32_t(Status::sbNoReply);
    SetImage(row, imAnswering);
    if (status == Intp::ssOk) {
        const auto& ping = Intp::Property<Intp::TPropertyIntpPing2>::Get(device);
        power = ping.powerAlarm;
        ports = ping.portFailed;
        state &= ~std::uint32_t(Status::sbError);
        if (power != 0 || ports != 0)
            state |= Status::sbAlarm;
        else
            state &= ~std::uint32_t(Status::sbAlarm);
    } else {
        state |= Status::sbError;
    }
    long long listed = model->Number(row, nListedIp);
    if (uint32_t(listed) == device->GetIp()) {
        state &= ~std::uint32_t(Status::sbIpChanged);
        model->SetCell(row, scIp, Dotted(listed));
    } else {
        state |= Status::sbIpChanged;
        model->SetCell(row, scIp, QString("Original: %1, Now: %2").arg(Dotted(listed), Dotted(device->GetIp())));
    }
    QDateTime now = QDateTime::currentDateTime();
    model->SetNumber(row, nTime, now.toMSecsSinceEpoch());
    model->SetCell(row, scTime, QLocale::system().toString(now, QLocale::ShortFormat));
    SetState(row, state, power, ports);
}

// ---------------------------------------------------------------------------
// Actions

void TStatusFrame::EventOnClearErrorExecute()
{
    TPageListModel* model = m_List->Model();
    QModelIndexList selected = m_List->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() > b.row(); });
    for (const QModelIndex& index : selected) {
        int row = index.row();
        if (Intp::TDevice* device = Intp::FindDevice(MacOfKey(model->Row(row).tag), false))
            model->SetNumber(row, nListedIp, device->GetIp());
        SetImage(row, imAnswering);
        SetState(row, 0);
    }
}

void TStatusFrame::EventOnQueryPeriodChange()
{
    int limit = m_QueryPeriod->value() - 1;
    m_QueryTmo->setMaximum(std::max(1, limit));
}

void TStatusFrame::EventOnBeepTimer()
{
    for (int row = RowCount() - 1; row >= 0; --row) {
        if (RowState(row) & (Status::sbNoReply | Status::sbError | Status::sbAlarm)) {
            if (m_Beeper)
                m_Beeper();
            return;
        }
    }
}

void TStatusFrame::UpdateActions()
{
    m_acRefresh->setEnabled(RowCount() > 0);
    m_acClearError->setEnabled(m_List->selectionModel()->hasSelection());
    m_Refresh->setEnabled(m_acRefresh->isEnabled());
    m_ClearError->setEnabled(m_acClearError->isEnabled());
}

// ---------------------------------------------------------------------------
// Rows

int TStatusFrame::RowCount() const { return m_List->Model()->RowCount(); }

int TStatusFrame::FindRow(const Intp::TMacAddr& mac) const { return m_List->Model()->FindTag(MacKey(mac)); }

std::uint32_t TStatusFrame::RowState(int row) const { return std::uint32_t(m_List->Model()->Number(row, nState)); }

int TStatusFrame::RowImage(int row) const { return int(m_List->Model()->Number(row, nImage)); }

QString TStatusFrame::RowText(int row, int column) const { return m_List->Model()->Cell(row, column); }

void TStatusFrame::SetState(int row, std::uint32_t state, std::uint32_t powerAlarm, std::uint32_t portFailed)
{
    TPageListModel* model = m_List->Model();
    model->SetNumber(row, nState, state);
    model->SetCell(row, scStatus, Status::StatusText(state, powerAlarm, portFailed));
    QColor colour = Status::RowColour(state);
    model->SetBackground(row, colour.isValid() ? QBrush(colour) : QBrush());
    UpdateToolTip(row);
}

void TStatusFrame::SetImage(int row, TImage image)
{
    TPageListModel* model = m_List->Model();
    model->SetNumber(row, nImage, image);
    model->SetIcon(row, image == imAnswering ? m_AnsweringIcon : m_SilentIcon);
}

void TStatusFrame::UpdateToolTip(int row)
{
    TPageListModel* model = m_List->Model();
    model->SetToolTip(row, "IP Address: " + model->Cell(row, scIp) + "\nMAC Address: " + model->Cell(row, scMac) +
                               "\nDevice Model: " + model->Cell(row, scModel) +
                               "\nLast Reported Time: " + model->Cell(row, scTime) +
                               "\nStatus: " + model->Cell(row, scStatus));
}
