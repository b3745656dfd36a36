#include "console/StatusMonitor.h"

#include "console/Icons.h"
#include "intp/Operations.h"
#include "pages/kit/AddressText.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageBar.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
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

// The local short date and time of a reply. A poll cycle's replies share a
// few seconds: each second is formatted once (converting to local time reads
// the zone file every time), not once per row.
class TTimeText {
public:
    QString operator()(long long msecs)
    {
        const long long second = msecs / 1000;
        if (m_Text.isNull() || second != m_Second || m_Milliseconds) {
            const QLocale locale = QLocale::system();
            m_Milliseconds = locale.dateTimeFormat(QLocale::ShortFormat).contains(u'z');
            m_Text = locale.toString(QDateTime::fromMSecsSinceEpoch(msecs), QLocale::ShortFormat);
            m_Second = second;
        }
        return m_Text;
    }

private:
    QString m_Text;
    long long m_Second = 0;
    bool m_Milliseconds = false;  // a format that shows them is formatted every time
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
    m_Timer = new QTimer(this);
    m_Timer->setInterval(10000);
    connect(m_Timer, &QTimer::timeout, this, [this] { EventOnTimer(); });
    m_BeepTimer = new QTimer(this);
    m_BeepTimer->setInterval(2000);
    connect(m_BeepTimer, &QTimer::timeout, this, [this] { EventOnBeepTimer(); });
    m_Timer->start();
}

void TStatusFrame::Build()
{
    if (m_List)
        return;
    m_acClearError = PageAction("&Clear Error", "RC_BITMAP_16X16_CLEAR", this);
    m_acRefresh = PageAction("&Refresh", "RC_BITMAP_16X16_REFRESH", this);
    connect(m_acClearError, &QAction::triggered, this, [this] { EventOnClearErrorExecute(); });
    connect(m_acRefresh, &QAction::triggered, this, [this] { EventOnTimer(); });

    auto* panel = new QWidget(this);
    TPageBar bar(panel);
    m_QueryPeriod = bar.Number("Query &Period:", 5, 86400, 10);
    m_QueryTmo = bar.Number("Query &Timeout:", 1, 9, 5);
    m_Beep = bar.Check("&Beep Alarm:");
    m_ClearError = bar.Button(m_acClearError);
    m_Refresh = bar.Button(m_acRefresh);

    m_AnsweringIcon = OnBadge(ConsoleIcon(ikDevices));
    m_SilentIcon = OnBadge(PageGlyph("RC_BITMAP_16X16_CANCEL"));
    m_List = new TTypedReportList<TStatusRow>(this);
    m_List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    using TRow = TStatusRow;
    m_List->SetKey([](const TRow& r) { return MacKey(r.mac); });
    m_List->Column("", [](const TRow& r) { return QString::number(r.number); }, &TRow::number,
                   Qt::AlignRight | Qt::AlignVCenter);
    m_List->Column("IP",
                   [](const TRow& r) {
                       return r.replyIp == r.listedIp
                                  ? IpText(r.listedIp)
                                  : QString("Original: %1, Now: %2").arg(IpText(r.listedIp), IpText(r.replyIp));
                   },
                   &TRow::listedIp);
    m_List->Column("MAC Address", [](const TRow& r) { return QString::fromStdString(r.mac.ToString()); },
                   [](const TRow& r) { return MacKey(r.mac); });
    m_List->Column("Model", [](const TRow& r) { return r.model; });
    m_List->Column("Last Reported Time",
                   [time = TTimeText()](const TRow& r) mutable {
                       return r.time == 0 ? QString("(No response yet)") : time(r.time);
                   },
                   &TRow::time);
    m_List->Column("Status", [](const TRow& r) { return Status::StatusText(r.state, r.powerAlarm, r.portFailed); });
    m_List->SetIcon([this](const TRow& r) { return r.image == imAnswering ? m_AnsweringIcon : m_SilentIcon; });
    m_List->SetBackground([](const TRow& r) {
        QColor colour = Status::RowColour(r.state);
        return colour.isValid() ? QBrush(colour) : QBrush();
    });
    m_List->SetToolTip([](const QStringList& cells) {
        return "IP Address: " + cells[scIp] + "\nMAC Address: " + cells[scMac] + "\nDevice Model: " + cells[scModel] +
               "\nLast Reported Time: " + cells[scTime] + "\nStatus: " + cells[scStatus];
    });
    m_List->header()->setStretchLastSection(true);
    m_List->SetColumnsFollowContents();
    m_List->setContextMenuPolicy(Qt::CustomContextMenu);
    m_Popup = new QMenu(this);
    m_Popup->addAction(m_acClearError);
    m_Popup->addAction(m_acRefresh);
    connect(m_List, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_Popup->popup(m_List->viewport()->mapToGlobal(at)); });
    connect(m_List, &TUntypedReportList::SelectedRowChanged, this, [this] { UpdateActions(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(m_List, 1);

    connect(m_Beep, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_BeepTimer->start();
        else
            m_BeepTimer->stop();
    });
    connect(m_QueryPeriod, &TNumberBox::valueChanged, this, [this] { EventOnQueryPeriodChange(); });
    connect(m_QueryTmo, &TNumberBox::valueChanged, this, [this] { TakeInLimits(m_QueryTmo, m_Tmo); });

    UpdateActions();
    if (isVisible()) {  // children made while their parent shows are not shown with it
        panel->show();
        m_List->show();
    }
}

void TStatusFrame::showEvent(QShowEvent* event)
{
    Build();
    QFrame::showEvent(event);
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
    TStatusRow row;
    row.number = m_NextNumber++;
    row.listedIp = device->GetIp();
    row.mac = device->GetMac();
    row.model = QString::fromStdString(device->GetTypeName());
    row.replyIp = row.listedIp;
    const int line = List()->Add(std::move(row));
    UpdateActions();
    PollRow(line, unsigned(m_Tmo) * 1000U);
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
    unsigned timeout = unsigned(m_Tmo) * 1000U;
    for (int row = 0; row < RowCount(); ++row)
        PollRow(row, timeout);
    m_Timer->setInterval(m_Period * 1000);
    m_Timer->start();
}

void TStatusFrame::PollRow(int row, unsigned timeoutMs)
{
    const Intp::TMacAddr mac = m_List->Row(row).mac;
    const std::uint32_t listed = m_List->Row(row).listedIp;
    Intp::TDevice* device = Intp::FindDevice(mac, false);
    if (!device) {
        // A new discovery cleared the registry: bring the switch back at its listed address.
        device = Intp::FindDevice(mac, true);
        if (device)
            device->SetIp(listed);
    }
    if (device && Intp::StartOrDelete(new TMonitorPing(timeoutMs, listed), device, this))
        return;
    // The status text loses the last reply's power and port details.
    m_List->Change(row, [&](TStatusRow& r) {
        r.powerAlarm = r.portFailed = 0;
        if (device) {
            r.state |= Status::sbError;
        } else {
            r.state |= Status::sbNoReply;
            r.image = imSilent;
        }
    });
}

void TStatusFrame::OnWizardEvent(Intp::TDevice* device, std::uint16_t, std::uint16_t status, const void*)
{
    if (!device)
        return;
    const int row = FindRow(device->GetMac());
    if (row < 0)
        return;
    m_List->Change(row, [&](TStatusRow& r) {
        r.powerAlarm = r.portFailed = 0;
        if (status == Intp::ssTimeout) {
            r.state |= Status::sbNoReply;
            r.image = imSilent;
            return;
        }
        r.state &= ~std::uint32_t(Status::sbNoReply);
        r.image = imAnswering;
        if (status == Intp::ssOk) {
            const auto& ping = Intp::Property<Intp::TPropertyIntpPing2>::Get(device);
            r.powerAlarm = ping.powerAlarm;
            r.portFailed = ping.portFailed;
            r.state &= ~std::uint32_t(Status::sbError | Status::sbAlarm);
            if (r.powerAlarm != 0 || r.portFailed != 0)
                r.state |= Status::sbAlarm;
        } else {
            r.state |= Status::sbError;
        }
        r.replyIp = device->GetIp();
        if (r.listedIp == r.replyIp)
            r.state &= ~std::uint32_t(Status::sbIpChanged);
        else
            r.state |= Status::sbIpChanged;
        r.time = QDateTime::currentMSecsSinceEpoch();
    });
}

// ---------------------------------------------------------------------------
// Actions

void TStatusFrame::EventOnClearErrorExecute()
{
    if (!m_List)
        return;  // nothing listed, nothing selected
    QModelIndexList selected = m_List->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() > b.row(); });
    for (const QModelIndex& index : selected) {
        m_List->Change(index.row(), [](TStatusRow& r) {
            if (Intp::TDevice* device = Intp::FindDevice(r.mac, false))
                r.listedIp = device->GetIp();
            r.image = imAnswering;
            r.state = r.powerAlarm = r.portFailed = 0;
        });
    }
}

bool TStatusFrame::TakeInLimits(const TNumberBox* field, int& seconds)
{
    const std::optional<long long> value = field->InLimits();
    if (!value)
        return false;  // marked; the last value in its limits stays in use
    seconds = int(*value);
    return true;
}

void TStatusFrame::EventOnQueryPeriodChange()
{
    Build();
    if (!TakeInLimits(m_QueryPeriod, m_Period))
        return;
    const int limit = std::max(1, m_Period - 1);
    m_QueryTmo->SetLimits(1, limit);
    if (m_QueryTmo->value() > limit)
        m_QueryTmo->ShowValue(limit);
    TakeInLimits(m_QueryTmo, m_Tmo);
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
    if (!m_List)
        return;
    m_acRefresh->setEnabled(RowCount() > 0);
    m_acClearError->setEnabled(m_List->selectionModel()->hasSelection());
}

// ---------------------------------------------------------------------------
// Rows

// Rows are made only with the list: until then there are none.
int TStatusFrame::RowCount() const { return m_List ? m_List->RowCount() : 0; }

int TStatusFrame::FindRow(const Intp::TMacAddr& mac) const
{
    return m_List ? m_List->Find(MacKey(mac)) : -1;
}

std::uint32_t TStatusFrame::RowState(int row) const { return m_List->Row(row).state; }

int TStatusFrame::RowImage(int row) const { return m_List->Row(row).image; }

QString TStatusFrame::RowText(int row, int column) const { return m_List->Text(row, column); }
