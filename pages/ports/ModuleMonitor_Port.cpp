#include "pages/ports/ModuleMonitor_Port.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

namespace {

// The name of a value, or the value itself when the list has no name for it.
QString NameOf(const QStringList& names, std::uint32_t value)
{
    return value < std::uint32_t(names.size()) ? names[int(value)] : QString("Unknown (%1)").arg(value);
}

} // namespace

TModuleMonitorPort::TModuleMonitorPort(QWidget* parent) : TModulePage("Port Statistics", parent)
{
    static const QStringList types = {"N/A",   "1000TX", "1000SX", "1000LX", "100TX",
                                      "100SX", "100LX",  "mGBIC",  "GBIC",   "1GTX/mGBIC"};
    TPageForm form(this);
    m_List = new TTypedReportList<TRow>();
    m_List->Column("Port", [](const TRow& r) { return QString("Port.%1").arg(r.number, 2, 10, QChar('0')); });
    m_List->Column("Type", [](const TRow& r) { return NameOf(types, r.type); });
    m_List->Column("Link", [](const TRow& r) { return NameOf({"Down", "Up"}, r.link); });
    m_List->Column("State", [](const TRow& r) { return NameOf({"Disable", "Enable"}, r.state); });
    using E = Intp::TPropertyMonitorPortEntry;
    const auto counter = [this](const QString& header, std::uint32_t E::*member) {
        m_List->Column(
            header, [member](const TRow& r) { return QString::number(r.counters.*member); },
            [member](const TRow& r) { return (long long)(r.counters.*member); }, Qt::AlignRight | Qt::AlignVCenter);
    };
    counter("TX Good", &E::txGood);
    counter("TX Bad", &E::txBad);
    counter("RX Good", &E::rxGood);
    counter("RX Bad", &E::rxBad);
    counter("TX Abort", &E::txAbort);
    counter("Collision", &E::collision);
    form.List(QString(), m_List);
    m_Clear = form.Button("&Clear", "RC_BITMAP_16X16_CLEAR", true);
    connect(m_Clear, &QPushButton::clicked, this, [this] { SendToSelectedDevices<Intp::TSessionMonitorPortClear>(); });

    // The port status first: its reply starts the counter read.
    AddRead<Intp::TSessionPortStatusGet>(rwCurrent, false);
    AddRead<Intp::TSessionMonitorPortGet>(rwAll);
    AddChain<Intp::TSessionPortStatusGet, Intp::TSessionMonitorPortGet>();
}

void TModuleMonitorPort::Fill(Intp::TDevice* device)
{
    const auto& status = ValidRecord<Intp::TPropertyPortStatus>(device);
    const auto& stats = ValidRecord<Intp::TPropertyMonitorPort>(device);
    std::vector<TRow> rows;
    if (status.valid && stats.valid) {
        const std::size_t n = std::min({std::size_t(device->GetPortNum()), status.entries.size(), stats.entries.size()});
        for (std::size_t i = 0; i < n; ++i) {
            const auto& s = status.entries[i];
            rows.push_back({int(i + 1), s.mediaType, s.link, s.enabled, stats.entries[i]});
        }
    }
    // A poll of the same ports changes the rows in place: the sort and the selection stay.
    m_List->Update(std::move(rows));
}

REGISTER_PAGE(TModuleMonitorPort);
