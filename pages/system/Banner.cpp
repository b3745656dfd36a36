#include "pages/kit/SwitchText.h"
#include "pages/system/Banner.h"
#include "pages/kit/PageRegistry.h"

#include "pages/kit/MessageBox.h"
#include "pages/kit/StatusServer.h"
#include "pages/kit/StringResources.h"
#include "intp/Device.h"
#include "intp/Operations.h"
#include "intp/Redundancy.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SyslogServer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// Frame sizes, pictures, socket rows and box positions of each family.
const TBannerVariant g_Variants[bkCount] = {
    // class                  no.  frame        picture      rows cols flip sockets  status syslog redund icon addr  red.   fast   hw
    {"TModuleBannerGeneral", 0, {408, 122}, {{0, 0}, 0, 0, false, 0}, 160, 276, 0, 0, 36, false, false, false},
    {"TModuleBannerLarch", 1, {546, 122}, {{169, 31}, 1, 5, false, 5}, 178, 294, 430, 0, 36, true, true, false},
    {"TModuleBannerCedar", 2, {518, 125}, {{141, 64}, 2, 4, true, 8}, 150, 266, 402, 0, 36, true, false, false},
    {"TModuleBannerMaple", 3, {512, 122}, {{135, 31}, 1, 4, false, 4}, 144, 260, 396, 0, 36, true, true, true},
    {"TModuleBannerBirch", 4, {518, 125}, {{107, 64}, 2, 3, true, 8}, 150, 266, 402, 0, 36, true, false, false},
    {"TModuleBanner10port", 5, {542, 125}, {{169, 62}, 2, 5, false, 10}, 174, 290, 426, 24, 60, true, false, false},
};

constexpr int BoxSpacing = 4;
constexpr int StatusWidth = 112;
constexpr int SyslogWidth = 132;
constexpr int RedundancyWidth = 116;

QGridLayout* CompactGrid(QWidget* box)
{
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(8, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    return grid;
}

}  // namespace

const TBannerVariant& BannerVariant(TBannerKind kind)
{
    if (kind < 0 || kind >= bkCount)
        kind = bkGeneral;
    return g_Variants[kind];
}

TBannerKind BannerKindOf(int bannerNumber)
{
    for (int kind = 0; kind < bkCount; ++kind) {
        if (g_Variants[kind].bannerNumber == bannerNumber)
            return TBannerKind(kind);
    }
    return bkGeneral;
}

const char* BannerClassName(int bannerNumber)
{
    return BannerVariant(BannerKindOf(bannerNumber)).className;
}

TModule* CreateBanner(int bannerNumber, QWidget* owner)
{
    switch (BannerKindOf(bannerNumber)) {
    case bkLarch:
        return new TModuleBannerLarch(owner);
    case bkCedar:
        return new TModuleBannerCedar(owner);
    case bkMaple:
        return new TModuleBannerMaple(owner);
    case bkBirch:
        return new TModuleBannerBirch(owner);
    case bk10port:
        return new TModuleBanner10port(owner);
    default:
        return new TModuleBannerGeneral(owner);
    }
}

TModuleBanner::TModuleBanner(TBannerKind kind, QWidget* parent)
    : TModulePage("Link State", parent), m_Variant(BannerVariant(kind))
{
    SetHideWhileRefilling(false);
    // The message dialog has no owner.
    m_LogOpener = [](Syslog::TSyslogServer* server, std::uint32_t address) {
        server->ShowSender(address, nullptr);
    };
    BuildControls();

    m_Timer = new QTimer(this);
    m_Timer->setInterval(TimerInterval);
    connect(m_Timer, &QTimer::timeout, this, [this] { EventOnTimerTimer(); });
    connect(m_Icon, &QToolButton::clicked, this, [this] { EventOnIconClick(); });
    connect(m_OpenLog, &QToolButton::clicked, this, [this] { EventOnOpenLogClick(); });
    hide();
}

TModuleBanner::~TModuleBanner() = default;

void TModuleBanner::BuildControls()
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(BoxSpacing);

    // Address, MAC and web button on top, the front panel at the bottom.
    auto* left = new QWidget(this);
    left->setMinimumWidth(m_Variant.statusX - BoxSpacing);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(2);
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->addSpacing(m_Variant.iconX);
    m_Icon = new QToolButton(left);
    m_Icon->setAutoRaise(true);
    LoadGlyph(m_Icon, "RC_BITMAP_32X32_INTERNET");
    m_Icon->setIconSize(QSize(32, 32));
    m_Icon->setFixedSize(32, 32);
    m_Icon->setCursor(Qt::PointingHandCursor);
    m_Icon->setToolTip(tr("Open web"));
    top->addWidget(m_Icon, 0, Qt::AlignTop);
    top->addSpacing(std::max(0, m_Variant.addressX - m_Variant.iconX - 32));
    auto* address = new QVBoxLayout;
    address->setSpacing(0);
    m_IpAddr = new QLabel(left);
    m_MacAddr = new QLabel(left);
    m_IpAddr->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_MacAddr->setTextInteractionFlags(Qt::TextSelectableByMouse);
    address->addWidget(m_IpAddr);
    address->addWidget(m_MacAddr);
    address->addStretch(1);
    top->addLayout(address, 1);
    leftLayout->addLayout(top);
    leftLayout->addStretch(1);
    if (!m_Variant.panel.picture.isEmpty()) {
        m_LinkImage = new TFrontPanelView(m_Variant.panel, left);
        leftLayout->addWidget(m_LinkImage, 0, Qt::AlignLeft | Qt::AlignBottom);
    }
    outer->addWidget(left);

    // Status lamps.
    m_Status = new QGroupBox(tr("Status"), this);
    m_Status->setMinimumWidth(StatusWidth);
    auto* status = CompactGrid(m_Status);
    const QString lampTexts[] = {tr("Online/Offline"), tr("Query Failure"), tr("IP different"), tr("Device Fault")};
    TStatusLamp** lamps[] = {&m_StatusOnline, &m_StatusQuery, &m_StatusIp, &m_StatusFault};
    for (int row = 0; row < 4; ++row) {
        *lamps[row] = new TStatusLamp(m_Status);
        status->addWidget(*lamps[row], row, 0);
        status->addWidget(new QLabel(lampTexts[row], m_Status), row, 1);
    }
    status->addWidget(new QLabel(tr("* Red as Error"), m_Status), 4, 0, 1, 2);
    status->setColumnStretch(1, 1);
    status->setRowStretch(5, 1);
    outer->addWidget(m_Status);

    // Syslog summary.
    m_Syslog = new QGroupBox(tr("Syslog"), this);
    m_Syslog->setMinimumWidth(SyslogWidth);
    auto* syslog = CompactGrid(m_Syslog);
    m_LogNum = new QLabel(QStringLiteral("0"), m_Syslog);
    m_LogUnread = new QLabel(QStringLiteral("0"), m_Syslog);
    m_LogLDate = new QLabel(m_Syslog);
    m_LogLTime = new QLabel(m_Syslog);
    m_OpenLog = new QToolButton(m_Syslog);
    // The labels' mnemonics lead to the box's one control, the open-log button.
    int row = 0;
    for (const QString& text : {tr("&Num:"), tr("&Unread:"), tr("&Last:")}) {
        auto* label = new QLabel(text, m_Syslog);
        label->setBuddy(m_OpenLog);
        syslog->addWidget(label, row++, 0);
    }
    syslog->addWidget(m_LogNum, 0, 1);
    syslog->addWidget(m_LogUnread, 1, 1);
    syslog->addWidget(m_LogLDate, 2, 1, 1, 2);
    syslog->addWidget(m_LogLTime, 3, 1, 1, 2);
    LoadGlyph(m_OpenLog, "RC_BITMAP_16X16_EDIT");
    m_OpenLog->setFixedSize(25, 25);
    m_OpenLog->setEnabled(false);
    syslog->addWidget(m_OpenLog, 0, 2, 2, 1, Qt::AlignRight | Qt::AlignTop);
    syslog->setColumnStretch(1, 1);
    syslog->setRowStretch(4, 1);
    outer->addWidget(m_Syslog);

    // Redundancy mode, display only.
    if (m_Variant.hasRedundancy) {
        m_Redundancy = new QGroupBox(tr("Redundancy"), this);
        m_Redundancy->setMinimumWidth(RedundancyWidth);
        auto* redundancy = new QVBoxLayout(m_Redundancy);
        redundancy->setContentsMargins(8, 4, 6, 4);
        redundancy->setSpacing(2);
        if (m_Variant.hasHardware) {
            m_Hardware = new QCheckBox(tr("&Hardware Mode"), m_Redundancy);
            redundancy->addWidget(m_Hardware);
        }
        redundancy->addStretch(1);
        m_Radios = new QButtonGroup(this);
        m_QuollRing = new QRadioButton(LoadStringResource(300), m_Redundancy);
        redundancy->addWidget(m_QuollRing);
        m_Radios->addButton(m_QuollRing);
        if (m_Variant.hasFastRecovery) {
            m_FRecovery = new QRadioButton(tr("&Fast Recovery"), m_Redundancy);
            redundancy->addWidget(m_FRecovery);
            m_Radios->addButton(m_FRecovery);
        }
        m_RSTP = new QRadioButton(tr("&RSTP"), m_Redundancy);
        redundancy->addWidget(m_RSTP);
        m_Radios->addButton(m_RSTP);
        m_Redundancy->setEnabled(false);
        outer->addWidget(m_Redundancy);
    }
    outer->addStretch(1);

    // The panel's sizes are minimums: a box whose texts need more keeps them whole.
    for (QWidget* box : {left, static_cast<QWidget*>(m_Status), static_cast<QWidget*>(m_Syslog),
                         static_cast<QWidget*>(m_Redundancy)}) {
        if (box)
            box->setMinimumWidth(std::max(box->minimumWidth(), box->minimumSizeHint().width()));
    }
    setMinimumSize(m_Variant.frame.expandedTo(outer->minimumSize()));
}

Syslog::TSyslogServer* TModuleBanner::SyslogServer() const
{
    TModuleCallback* host = Host();
    return host ? host->GetSyslogServer() : nullptr;
}

void TModuleBanner::OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    if (code != Intp::ccRedundancyGet)
        TModulePage::OnNotify(device, code, status);
    else if (m_Variant.hasRedundancy && IsCurrent(device))
        UpdateRedundancy(device, true);
}

void TModuleBanner::Fill(Intp::TDevice* current)
{
    if (current) {
        m_IpAddr->setText(IpText(current->GetIp()));
        m_MacAddr->setText(SwitchText(current->GetMac().ToString()));
    } else {
        m_IpAddr->setText(tr("(Not Available)"));
        m_MacAddr->clear();
    }
    // The tick draws the status and the syslog summary.
    UpdateRedundancy(current, current != nullptr);
    EventOnTimerTimer();
    // The tick may have run a notification that changed the selection.
    if (CurrentDevice())
        m_Timer->start();
    else
        m_Timer->stop();
}

void TModuleBanner::OnLeave() { m_Timer->stop(); }

void TModuleBanner::EventOnTimerTimer()
{
    Intp::TDevice* device = CurrentDevice();
    if (!device) {
        UpdateStatus(nullptr, false);
        UpdateSyslog(nullptr, false);
        UpdateRedundancy(nullptr, false);
        return;
    }
    UpdateStatus(device, true);
    UpdateSyslog(device, true);
    // The display follows when the reply's notification arrives.
    if (m_Variant.hasRedundancy)
        Intp::StartNew<Intp::TSessionRedundancyGet>(device);
}

void TModuleBanner::EventOnIconClick()
{
    if (Intp::TDevice* device = CurrentDevice())
        OpenWebPage(QUrl(QStringLiteral("http://") + IpText(device->GetIp())), m_WebOpener);
}

void TModuleBanner::EventOnOpenLogClick()
{
    Syslog::TSyslogServer* server = SyslogServer();
    Intp::TDevice* device = CurrentDevice();
    if (!server || !device)
        return;
    m_LogOpener(server, device->GetIp());
    // The messages are read now; show it without waiting for the next tick.
    Intp::TDevice* current = CurrentDevice();
    UpdateSyslog(current, current != nullptr);
}

void TModuleBanner::DrawPort(int port, int state)
{
    if (m_LinkImage)
        m_LinkImage->DrawPort(port, state);
}

void TModuleBanner::DrawPorts(std::uint32_t mask, int count)
{
    if (!m_LinkImage)
        return;
    const int sockets = m_Variant.panel.socketCount;
    count = std::max(count, 0);
    for (int i = 0; i < std::min(count, sockets); ++i) {
        // A mask has 32 bits; ports above them are never up.
        bool up = i < 32 && (mask >> i & 1u) != 0;
        DrawPort(i, up ? psLinkUp : psLinkDown);
    }
    for (int i = count; i < sockets; ++i)
        DrawPort(i, psUnknown);
}

void TModuleBanner::DrawLamp(TStatusLamp* lamp, int state)
{
    if (lamp)
        lamp->SetState(state);
}

void TModuleBanner::UpdateStatus(Intp::TDevice* device, bool hasDevice)
{
    if (!hasDevice || !device) {
        for (TStatusLamp* lamp : {m_StatusOnline, m_StatusQuery, m_StatusIp, m_StatusFault})
            DrawLamp(lamp, lsUnknown);
        DrawPorts(0, 0);
        return;
    }
    const auto& ping = Intp::Property<Intp::TPropertyIntpPing2>::Get(device);
    std::uint32_t word = 0;
    TModuleCallback* host = Host();
    if (Status::TStatusServer* server = host ? host->GetStatusServer() : nullptr)
        word = server->GetDeviceStatus(device);
    DrawLamp(m_StatusOnline, (word & Status::sbNoReply) ? lsError : lsGood);
    DrawLamp(m_StatusQuery, (word & Status::sbError) ? lsError : lsGood);
    DrawLamp(m_StatusIp, (word & Status::sbIpChanged) ? lsError : lsGood);
    if (!ping.valid) {
        DrawLamp(m_StatusFault, lsUnknown);
        DrawPorts(0, 0);
        return;
    }
    DrawLamp(m_StatusFault, (ping.powerAlarm != 0 || ping.portFailed != 0) ? lsError : lsGood);
    DrawPorts(ping.portState, int(std::min<std::uint32_t>(device->GetPortNum(), INT_MAX)));
}

void TModuleBanner::UpdateSyslog(Intp::TDevice* device, bool hasDevice)
{
    Syslog::TSenderSummary summary;
    Syslog::TSyslogServer* server = SyslogServer();
    // Address 0 would ask the store for every sender's messages.
    if (hasDevice && device && server && device->GetIp() != 0)
        summary = server->Summary(device->GetIp());
    m_LogNum->setText(QString::number(summary.count));
    m_LogUnread->setText(QString::number(summary.unread));
    if (summary.hasLast) {
        QDateTime time = QDateTime::fromMSecsSinceEpoch(summary.last);
        m_LogLDate->setText(QLocale().toString(time.date(), QLocale::ShortFormat));
        m_LogLTime->setText(time.toString(QStringLiteral("hh:mm:ss")));
    } else {
        m_LogLDate->clear();
        m_LogLTime->clear();
    }
    m_OpenLog->setEnabled(summary.count != 0);
}

void TModuleBanner::CheckRadio(QRadioButton* radio)
{
    if (!m_Radios)
        return;
    if (radio) {
        radio->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; unchecking all needs it off.
    m_Radios->setExclusive(false);
    for (QAbstractButton* button : m_Radios->buttons())
        button->setChecked(false);
    m_Radios->setExclusive(true);
}

void TModuleBanner::UpdateRedundancy(Intp::TDevice* device, bool hasDevice)
{
    if (!m_Redundancy)
        return;
    const auto& record = ValidRecord<Intp::TPropertyRedundancy>(hasDevice ? device : nullptr);
    if (m_Hardware)
        m_Hardware->setChecked(record.enabled);
    QRadioButton* radio = nullptr;
    if (record.valid) {
        switch (record.mode) {
        case Intp::rmRing:
            radio = m_QuollRing;
            break;
        case Intp::rmRstp:
            radio = m_RSTP;
            break;
        case Intp::rmFastRecovery:
            radio = m_FRecovery;
            break;
        default:
            break;
        }
    }
    CheckRadio(radio);
}

REGISTER_PAGE(TModuleBannerGeneral);
REGISTER_PAGE(TModuleBannerLarch);
REGISTER_PAGE(TModuleBannerBirch);
REGISTER_PAGE(TModuleBannerCedar);
REGISTER_PAGE(TModuleBannerMaple);
REGISTER_PAGE(TModuleBanner10port);
