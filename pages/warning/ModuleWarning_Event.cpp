#include "pages/warning/ModuleWarning_Event.h"

#include "intp/DeviceType.h"
#include "intp/Ports.h"
#include "intp/Warning.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PortMerge.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

#include <bit>

namespace {

const char* const kEventNames[] = {
    "System Cold Start", "Power Status",      "SNMP Authentication Failure", "Swale Ring Topology Change",
    "Device cold start", "Device warm start", "Authentication Failure",      "Swale Ring Topology Change"};
const QStringList kOnOff = {"Disable", "Enable"};
const QStringList kLink = {"Disable", "Link Up", "Link Down", "Link Up & Down"};

template <class TList> void DeclareColumns(TList* list, const QString& caption, const QStringList& choices)
{
    using TRow = TModuleWarningEvent::TEventRow;
    list->Caption(caption, [](const TRow& row) { return row.caption; });
    list->Choice("Syslog", &TRow::syslog, choices, "Syslog:");
    list->Choice("SMTP", &TRow::smtp, choices, "SMTP:");
}

// The alarms the events go by: a page's choices of one are on while it is.
bool SyslogOn(const Intp::TPropertyWarningSyslog* syslog) { return syslog && syslog->mode != 0; }
bool SmtpOn(const Intp::TPropertyWarningSmtp* smtp) { return smtp && smtp->enabled; }

// Why target's own page has Apply off: neither alarm is on in its latest reads.
QString AlarmsOffWhy(Intp::TDevice* target)
{
    const auto* syslog = target->LatestRead<Intp::TPropertyWarningSyslog>();
    const auto* smtp = target->LatestRead<Intp::TPropertyWarningSmtp>();
    if (SyslogOn(syslog) || SmtpOn(smtp))
        return QString();
    if (!syslog)
        return TModulePage::OwnReadWhy<Intp::TPropertyWarningSyslog>(target, "its own syslog settings were not read");
    if (!smtp)
        return TModulePage::OwnReadWhy<Intp::TPropertyWarningSmtp>(target, "its own e-mail settings were not read");
    return "it sends no syslog or e-mail alarms";
}

bool Bit(std::uint32_t mask, int bit) { return bit >= 0 && bit < 32 && ((mask >> bit) & 1u); }

}  // namespace

TModuleWarningEvent::TModuleWarningEvent(QWidget* parent) : TModulePage("Event Settings", parent)
{
    TPageForm form(this);
    m_SysList = new TTypedEditedList<TEventRow>();
    DeclareColumns(m_SysList, "Event", kOnOff);
    form.List("&System Event:", m_SysList, true);
    m_SysList->CreateEditors(form);
    m_PortList = new TTypedEditedList<TEventRow>();
    DeclareColumns(m_PortList, "Port No.", kLink);
    form.List("&Port Event:", m_PortList, true);
    m_PortList->CreateEditors(form);
    m_Apply = form.Button("Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });

    // Port names, then e-mail, syslog and event settings in a chain: the
    // choices depend on the alarms being configured.
    AddRead<Intp::TSessionPortNameGet>(rwAlways, false, false);
    AddRead<Intp::TSessionWarningSmtpGet>(rwCurrent, false);
    AddRead<Intp::TSessionWarningEventGet>(rwAll);
    AddChain<Intp::TSessionWarningSmtpGet, Intp::TSessionWarningSyslogGet>();
    AddChain<Intp::TSessionWarningSyslogGet, Intp::TSessionWarningEventGet>();
}

void TModuleWarningEvent::Fill(Intp::TDevice* device)
{
    m_SysList->SetRows({});
    m_PortList->SetRows({});
    m_Ports.Clear();
    if (!device)
        return;
    const bool syslogOk = SyslogOn(&ValidRecord<Intp::TPropertyWarningSyslog>(device));
    const bool smtpOk = SmtpOn(&ValidRecord<Intp::TPropertyWarningSmtp>(device));
    for (TTypedEditedList<TEventRow>* list : {m_SysList, m_PortList}) {
        list->SetColumnEnabled(1, syslogOk);
        list->SetColumnEnabled(2, smtpOk);
    }
    m_Apply->setEnabled(syslogOk || smtpOk);

    const auto& masks = ValidRecord<Intp::TPropertyWarningEvent>(device);
    const int names = IsSecondGeneration(device) ? 4 : 0;
    std::vector<TEventRow> events;
    for (int k = 0; k < 4; ++k) {
        if (m_SystemEvents.test(std::size_t(k)))
            events.push_back({k, kEventNames[names + k], Bit(masks.syslogSystem, k), Bit(masks.smtpSystem, k)});
    }
    m_SysList->SetRows(events);

    m_Ports = MaskPorts(device);
    std::vector<TEventRow> rows;
    for (int row = 0; row < m_Ports.RowCount(); ++row) {
        const int n = m_Ports.PortOfRow(row);
        rows.push_back({n, TPortLayout::NumberedCaption(row),
                        Bit(masks.syslogLinkUp, n) + 2 * Bit(masks.syslogLinkDown, n),
                        Bit(masks.smtpLinkUp, n) + 2 * Bit(masks.smtpLinkDown, n)});
    }
    m_PortList->SetRows(rows);
}

void TModuleWarningEvent::EventOnApplyClick()
{
    Intp::TPropertyWarningEvent masks;
    for (const TEventRow& row : m_SysList->Rows()) {
        masks.syslogSystem |= row.syslog ? 1u << row.index : 0u;
        masks.smtpSystem |= row.smtp ? 1u << row.index : 0u;
    }
    // Ports without a row keep each switch's own bits.
    for (const TEventRow& row : m_PortList->Rows()) {
        const std::uint32_t bit = 1u << row.index;
        masks.syslogLinkUp |= row.syslog & 1 ? bit : 0u;
        masks.syslogLinkDown |= row.syslog & 2 ? bit : 0u;
        masks.smtpLinkUp |= row.smtp & 1 ? bit : 0u;
        masks.smtpLinkDown |= row.smtp & 2 ? bit : 0u;
    }
    using Event = Intp::TPropertyWarningEvent;
    Intp::TDevice* current = CurrentDevice();
    const bool second = IsSecondGeneration(current);
    SendToEachTarget<Intp::TSessionWarningEventSet>([&](Intp::TSessionWarningEventSet& request, Intp::TDevice* target) {
        Event own = masks;
        QString why = AlarmsOffWhy(target);
        if (why.isEmpty())
            why = OtherGenerationWhy(target, second, own);
        if (why.isEmpty())
            why = PortMerge::FitMasks(
                target, m_Ports, own,
                {&Event::syslogLinkUp, &Event::syslogLinkDown, &Event::smtpLinkUp, &Event::smtpLinkDown});
        if (why.isEmpty())
            request.SetPayload(own);
        return why;
    });
}

QString TModuleWarningEvent::OtherGenerationWhy(Intp::TDevice* target, bool second, Intp::TPropertyWarningEvent& masks)
{
    if (IsSecondGeneration(target) == second)
        return QString();
    // An event of the same name is the same event on both generations; the
    // others are the target's own.
    std::uint32_t differ = 0;
    for (int k = 0; k < 4; ++k)
        differ |= QLatin1String(kEventNames[k]) != QLatin1String(kEventNames[4 + k]) ? 1u << k : 0u;
    if (const std::uint32_t set = (masks.syslogSystem | masks.smtpSystem) & differ)
        return QString("it has no event \"%1\", this change turns it on")
            .arg(kEventNames[(second ? 4 : 0) + std::countr_zero(set)]);
    using Event = Intp::TPropertyWarningEvent;
    if (!PortMerge::KeepBits(target, differ, masks, {&Event::syslogSystem, &Event::smtpSystem}))
        return OwnReadWhy<Event>(target, "its own settings of the system events were not read");
    return QString();
}

// The builder lists every system event.
static const TPageRegistration<TModuleWarningEvent>
    s_RegisterPage_TModuleWarningEvent(TPageId::TModuleWarningEvent, [](TModule* page) {
        static_cast<TModuleWarningEvent*>(page)->SetSystemEvents(std::bitset<4>().set());
    });
