#include "pages/ports/ModuleMonitor_Mirror.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortMerge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

namespace {

QString PortCaption(std::uint32_t port) { return QString("Port.%1").arg(port + 1, 2, 10, QChar('0')); }

} // namespace

TModuleMonitorMirror::TModuleMonitorMirror(QWidget* parent) : TModulePage("Port Mirroring", parent)
{
    TPageForm form(this);
    m_DestTx = form.Choice("Destination &TX Port:", {});
    m_DestRx = form.Choice("Destination &RX Port:", {});
    m_ListView = new TTypedEditedList<TRow>();
    m_ListView->Caption("Port No.", [](const TRow& r) { return PortCaption(r.port); });
    m_TxColumn = m_ListView->Check("Source TX", &TRow::tx, "Yes", "Source TX:");
    m_RxColumn = m_ListView->Check("Source RX", &TRow::rx, "Yes", "Source RX:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_SrcTx = qobject_cast<QCheckBox*>(m_ListView->EditorOf(m_TxColumn));
    m_SrcRx = qobject_cast<QCheckBox*>(m_ListView->EditorOf(m_RxColumn));
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    m_Clear = form.Button("&Clear", "RC_BITMAP_16X16_CLEAR");
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
    connect(m_Clear, &QPushButton::clicked, this, [this] { EventOnClearClick(); });
    AddRead<Intp::TSessionMonitorMirrorGet>();
}

void TModuleMonitorMirror::Fill(Intp::TDevice* device)
{
    m_DestTx->clear();
    m_DestRx->clear();
    std::vector<TRow> rows;
    if (device) {
        const auto& r = ValidRecord<Intp::TPropertyMonitorMirror>(device);
        // Every port can be a destination; the source masks hold 32 ports.
        for (std::uint32_t i = 0; i < device->GetPortNum(); ++i) {
            if (i < 32)
                rows.push_back({i, bool(r.txSources >> i & 1), bool(r.rxSources >> i & 1)});
            m_DestTx->addItem(PortCaption(i));
            m_DestRx->addItem(PortCaption(i));
        }
        // A destination past the model's ports has no item: none is chosen.
        SetChoice(m_DestTx, int(r.txPort));
        SetChoice(m_DestRx, int(r.rxPort));
    }
    m_ListView->SetRows(rows);
}

void TModuleMonitorMirror::EventOnClearClick()
{
    for (int line = 0; line < m_ListView->RowCount(); ++line) {
        m_ListView->SetValue(line, m_TxColumn, 0);
        m_ListView->SetValue(line, m_RxColumn, 0);
    }
    m_ListView->UpdateEditors();
}

void TModuleMonitorMirror::EventOnApplyClick()
{
    const std::vector<TRow> rows = m_ListView->Rows();
    if (rows.empty())
        return;
    Intp::TPropertyMonitorMirror payload;
    for (const TRow& row : rows) {
        payload.txSources |= std::uint32_t(row.tx) << row.port;
        payload.rxSources |= std::uint32_t(row.rx) << row.port;
    }
    // Every port up to the masks' width has a row.
    TPortLayout shown;
    shown.Build(int(rows.size()), {});
    using Mirror = Intp::TPropertyMonitorMirror;
    SendToEachTarget<Intp::TSessionMonitorMirrorSet>([&](Intp::TSessionMonitorMirrorSet& request, Intp::TDevice* device) {
        Mirror own = payload;
        // A destination shown as no item goes back as the target has it.
        for (auto [combo, port] : {std::pair{m_DestRx, &Mirror::rxPort}, std::pair{m_DestTx, &Mirror::txPort}})
            if (QString why = ChoiceOrOwn(combo->currentIndex(), device, port, own.*port); !why.isEmpty())
                return why;
        const std::size_t needs = std::max<std::size_t>({rows.size(), own.rxPort + 1, own.txPort + 1});
        if (QString why = PortCountWhy(device, needs); !why.isEmpty())
            return why;
        if (QString why = PortMerge::KeepMasks(device, shown, own, {&Mirror::txSources, &Mirror::rxSources});
            !why.isEmpty())
            return why;
        request.SetPayload(own);
        return QString();
    });
}

REGISTER_PAGE(TModuleMonitorMirror);
