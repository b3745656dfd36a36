#include "pages/ports/ModuleMonitor_Mirror2.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PortMerge.h"
#include "pages/kit/PageRegistry.h"

#include <QComboBox>
#include <QPushButton>

TModuleMonitorMirror2::TModuleMonitorMirror2(QWidget* parent) : TModulePage("Port Mirroring", parent)
{
    TPageForm form(this);
    m_Mode = form.Choice("&Mode:", {"Disabled", "RX", "TX", "Both RX/TX"});
    m_SrcPort = form.Choice("M&onitored Port:", {});
    m_DstPort = form.Choice("A&nalysis Port:", {});
    form.KeepAtTop();
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
    WatchChanges({m_Mode, m_SrcPort, m_DstPort});
    AddRead<Intp::TSessionPortNameGet>(rwAlways, false);
    AddRead<Intp::TSessionMonitorMirror2Get>();
}

void TModuleMonitorMirror2::Fill(Intp::TDevice* device)
{
    if (!device)
        return;
    m_SrcPort->clear();
    m_DstPort->clear();
    const auto& names = ValidRecord<Intp::TPropertyPortName>(device);
    // Listed ports are numbered without gaps; each item holds its port's index.
    for (std::uint32_t i = 0; i < device->GetPortNum(); ++i) {
        if (names.valid && i < names.names.size() && names.names[i] == "Port.XX")
            continue;
        const QString caption = QString("Port.%1").arg(m_SrcPort->count() + 1, 2, 10, QChar('0'));
        m_SrcPort->addItem(caption, i);
        m_DstPort->addItem(caption, i);
    }
    const auto& r = ValidRecord<Intp::TPropertyMonitorMirror2>(device);
    if (r.valid && names.valid) {
        m_Mode->setCurrentIndex(int(r.mode));
        // A hidden port has no item: none is chosen, and Apply waits for a choice.
        m_SrcPort->setCurrentIndex(m_SrcPort->findData(r.monitoredPort));
        m_DstPort->setCurrentIndex(m_DstPort->findData(r.analysisPort));
    } else {
        m_Mode->setCurrentIndex(0);
        m_SrcPort->setCurrentIndex(m_SrcPort->count() > 0 ? 0 : -1);
        m_DstPort->setCurrentIndex(m_DstPort->count() > 1 ? 1 : -1);
    }
    UpdateActions();
}

void TModuleMonitorMirror2::UpdateActions()
{
    if (!CurrentDevice() || IsUnavailable())
        return;
    const bool disabled = m_Mode->currentIndex() == 0;
    TPageForm::SetFieldsEnabled({m_SrcPort, m_DstPort}, !disabled);
    const int src = m_SrcPort->currentIndex(), dst = m_DstPort->currentIndex();
    QString why;
    if (!disabled && (src < 0 || dst < 0))
        why = "Choose a monitored port and an analysis port.";
    else if (!disabled && src == dst)
        why = "The monitored port cannot also be the analysis port.";
    SetEnabledWhy(m_Apply, why);
}

void TModuleMonitorMirror2::EventOnApplyClick()
{
    Intp::TPropertyMonitorMirror2 payload;
    payload.mode = std::uint32_t(std::max(0, m_Mode->currentIndex()));
    payload.monitoredPort = m_SrcPort->currentIndex() >= 0 ? m_SrcPort->currentData().toUInt() : 0;
    payload.analysisPort = m_DstPort->currentIndex() >= 0 ? m_DstPort->currentData().toUInt() : 0;
    // A chooser that is off (mirroring disabled) or shows no port (a hidden
    // one) keeps each switch's own port; the others go by number, to a
    // switch that has them.
    const bool on = payload.mode != 0;
    const bool src = on && m_SrcPort->currentIndex() >= 0, dst = on && m_DstPort->currentIndex() >= 0;
    const std::uint32_t needs = std::max(src ? payload.monitoredPort + 1 : 0, dst ? payload.analysisPort + 1 : 0);
    SendToEachTarget<Intp::TSessionMonitorMirror2Set>([&](Intp::TSessionMonitorMirror2Set& request, Intp::TDevice* device) {
        if (QString why = PortCountWhy(device, needs); !why.isEmpty())
            return why;
        Intp::TPropertyMonitorMirror2 own = payload;
        if (!src || !dst) {
            const auto* read = device->LatestRead<Intp::TPropertyMonitorMirror2>();
            if (!read) {
                const QString why = OwnReadWhy<Intp::TPropertyMonitorMirror2>(device);
                return why.isEmpty() ? QString("its own mirrored ports were not read") : why;
            }
            own.monitoredPort = src ? own.monitoredPort : read->monitoredPort;
            own.analysisPort = dst ? own.analysisPort : read->analysisPort;
        }
        // The ports the page shows must be ones the switch's own page lists.
        std::vector<int> shown;
        if (src)
            shown.push_back(int(own.monitoredPort));
        if (dst)
            shown.push_back(int(own.analysisPort));
        if (QString why = PortMerge::UnlistedWhy(device, shown); !why.isEmpty())
            return why;
        request.SetPayload(own);
        return QString();
    });
}

REGISTER_PAGE(TModuleMonitorMirror2);
