#include "pages/ports/ModuleMonitor_Port_Counter.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortMerge.h"

#include <QPushButton>

#include <cstring>

namespace {

// The counters of one entry in the order its record declares them.
template <class R, class E> void CopyCounters(const E& entry, std::uint32_t* out)
{
    const std::vector<std::uint8_t> bytes = Intp::EncodeEntries(R::EntryFields, std::vector<E>{entry}, Intp::TOrder::Host);
    std::memcpy(out, bytes.data(), bytes.size());
}

} // namespace

TModuleMonitorPortCounter::TModuleMonitorPortCounter(QWidget* parent) : TModulePage("Port Counters", parent)
{
    static const char* const headers[CounterCount] = {
        "RxBcastPkt",      "RxOctet",       "RxMcastPkt",     "RxFCSErr",        "RxOverSizePkt",  "RxAlignErr",
        "RxJabber",        "RxFragment",    "RxUnderSizePkt", "RxPkt64",         "RxPkt65to127",   "RxPkt128to255",
        "RxPkt256to511",   "RxPkt512to1023", "RxPkt1024to1522", "TxUcastPkt",    "TxBcastPkt",     "TxOctet",
        "TxSingleCollisn", "TxMultiCollisn", "TxCollisn",     "TxDefferTrans",   "DropFwdLkup",    "DropIn",
        "TxMcst",          "TxPause",       "RxPause",        "TxUnderrun"};
    TPageForm form(this);
    m_List = new TTypedReportList<TRow>();
    // Rows keep the port order: every pair compares equal.
    const auto same = [](const TRow&, const TRow&) { return 0; };
    m_List->Column("Port Number", [](const TRow& r) { return QString("Port.%1").arg(r.number, 2, 10, QChar('0')); },
                   same);
    for (int i = 0; i < CounterCount; ++i) {
        // "RxFCSErr" to "RxUnderSizePkt" are right-aligned.
        const Qt::Alignment alignment = i >= 3 && i <= 8 ? Qt::AlignRight | Qt::AlignVCenter : TTypedReportList<TRow>::Left;
        m_List->Column(headers[i], [i](const TRow& r) { return QString::number(r.counters[std::size_t(i)]); }, same,
                       alignment);
    }
    form.List(QString(), m_List);
    m_Clear = form.Button("&Clear", "RC_BITMAP_16X16_CLEAR", true);
    connect(m_Clear, &QPushButton::clicked, this, [this] { EventOnClearClick(); });

    // The port names first, on every refresh: the page hides ports by its own
    // read, not by names another page left; they only hide ports when read.
    // Then the port status, whose reply starts both counter reads, the second half first.
    AddRead<Intp::TSessionPortNameGet>(rwAlways, false, false);
    AddRead<Intp::TSessionPortStatusGet>(rwCurrent, false);
    AddRead<Intp::TSessionMonitorPortCounterGet>(rwAll);
    AddRead<Intp::TSessionMonitorPortCounter2Get>(rwAll);
    AddChainStep(Intp::ccPortStatusGet, [](Intp::TDevice* device) {
        return Intp::Property<Intp::TPropertyPortStatus>::Get(device).valid &&
               StartFor<Intp::TSessionMonitorPortCounter2Get>(device) &&
               StartFor<Intp::TSessionMonitorPortCounterGet>(device);
    });
}

void TModuleMonitorPortCounter::Fill(Intp::TDevice* device)
{
    std::vector<TRow> rows;
    const auto& status = ValidRecord<Intp::TPropertyPortStatus>(device);
    const auto& first = ValidRecord<Intp::TPropertyMonitorPortCounter>(device);
    const auto& second = ValidRecord<Intp::TPropertyMonitorPortCounter2>(device);
    const auto& names = ValidRecord<Intp::TPropertyPortName>(device);
    if (status.valid && first.valid && second.valid) {
        const std::size_t n = std::min({std::size_t(device->GetPortNum()), status.entries.size(), first.entries.size(),
                                        second.entries.size()});
        for (std::size_t p = 0; p < n; ++p) {
            if (names.valid && p < names.names.size() && names.names[p] == "Port.XX")
                continue;
            TRow row{int(rows.size() + 1), std::uint32_t(p), {}};
            CopyCounters<Intp::TPropertyMonitorPortCounter>(first.entries[p], row.counters.data());
            CopyCounters<Intp::TPropertyMonitorPortCounter2>(second.entries[p], row.counters.data() + CounterCount / 2);
            rows.push_back(row);
        }
    }
    // A poll of the same ports changes the rows in place: the sort and the selection stay.
    m_List->Update(std::move(rows));
}

void TModuleMonitorPortCounter::EventOnClearClick()
{
    const int line = m_List->SelectedRow();
    if (line < 0)
        return;
    const Intp::TMonitorPortCounterClear payload{m_List->Row(line).port};
    SendToEachTarget<Intp::TSessionMonitorPortCounterClear>(
        [&](Intp::TSessionMonitorPortCounterClear& request, Intp::TDevice* device) {
            if (device->GetPortNum() <= payload.port)
                return QString("its model has %1, this change is for port %2")
                    .arg(Counted(device->GetPortNum(), "port", "ports"))
                    .arg(payload.port + 1);
            // A port its own page hides has no row there to clear.
            if (QString why = PortMerge::UnlistedWhy(device, std::vector<int>{int(payload.port)}); !why.isEmpty())
                return why;
            request.SetPayload(payload);
            return QString();
        });
}

REGISTER_PAGE(TModuleMonitorPortCounter);
