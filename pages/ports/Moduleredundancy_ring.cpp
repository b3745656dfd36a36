#include "pages/kit/SwitchText.h"
#include "pages/ports/Moduleredundancy_ring.h"

#include "intp/Redundancy.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/StringResources.h"
#include "pages/rules/PageRules.h"
#include "pages/rules/RedundancyRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

using namespace Intp;

namespace {

// One item per port, its index as data; a port the switch named beyond them
// gets an item of its own (none for those between), so that it shows and
// goes back as read.
void FillPorts(QComboBox* list, uint32_t ports, uint32_t selected)
{
    list->clear();
    for (uint32_t port = 0; port < ports; ++port)
        list->addItem(SwitchText(PortCaption(int(port) + 1)), port);
    if (selected >= ports)
        list->addItem(SwitchText(PortCaption(int(selected) + 1)), selected);
    list->setCurrentIndex(int(std::min(selected, ports)));
}

uint32_t PortOf(const QComboBox* list) { return list->currentData().toUInt(); }

} // namespace

TModuleRedundancyRing::TModuleRedundancyRing(QWidget* parent) : TModulePage(LoadStringResource(100), parent)
{
    TPageForm form(this);
    m_LegacyMode = form.Check("&Legacy Mode");
    m_Master = form.Check("Ring Master");
    m_1stPort = form.Choice("1st Ring Port:", {});
    m_2ndPort = form.Choice("2nd Ring Port:", {});
    m_CoupleMode = form.Check("&Coupling Ring");
    m_CouplingPort = form.Choice("Coupling Port:", {});
    m_ControlPort = form.Choice("Control Port:", {});
    m_HomingMode = form.Check("Dual &Homing");
    m_HomingPort = form.Choice("Homing Port:", {});
    form.KeepAtTop();
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    // RSTP is read after the ring answers, also after a ring change (which
    // the switch may answer by turning RSTP off), so the two are never judged
    // on an RSTP record older than the ring's.
    AddRead<TSessionRedundancyRingGet>();
    AddChain<TSessionRedundancyRingGet, TSessionRedundancyRstpGet>();
    AddRefillCode(ccRedundancyRstpGet);
    for (QCheckBox* check : {m_LegacyMode, m_CoupleMode, m_HomingMode})
        connect(check, &QCheckBox::toggled, this, [this] { EventOnLegacyClick(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

TRingSettings TModuleRedundancyRing::Shown(TDevice* device) const
{
    const auto& ring = ValidRecord<TPropertyRedundancyRing>(device);
    const auto& rstp = ValidRecord<TPropertyRedundancyRstp>(device);
    const bool shown = ring.valid && !(m_Exclusive && rstp.valid && rstp.enabled);
    return shown ? static_cast<const TRingSettings&>(ring) : TRingSettings{};
}

void TModuleRedundancyRing::Fill(TDevice* device)
{
    const TRingSettings s = Shown(device);
    const uint32_t ports = device ? device->GetPortNum() : 0;
    m_LegacyMode->setChecked(s.ringEnabled);
    m_Master->setChecked(s.ringMaster);
    m_CoupleMode->setChecked(s.couplingEnabled);
    m_HomingMode->setChecked(s.dualHoming);
    FillPorts(m_1stPort, ports, s.firstPort);
    FillPorts(m_2ndPort, ports, s.secondPort);
    FillPorts(m_CouplingPort, ports, s.couplingPort);
    FillPorts(m_ControlPort, ports, s.controlPort);
    FillPorts(m_HomingPort, ports, s.homingPort);
    EventOnLegacyClick();
}

void TModuleRedundancyRing::EventOnLegacyClick()
{
    const bool ring = CurrentDevice() && m_LegacyMode->isChecked();
    m_LegacyMode->setEnabled(CurrentDevice() != nullptr);
    SetEnabled({m_Master, m_CoupleMode, m_HomingMode}, ring);
    TPageForm::SetFieldsEnabled({m_1stPort, m_2ndPort}, ring);
    TPageForm::SetFieldsEnabled({m_CouplingPort, m_ControlPort}, ring && m_CoupleMode->isChecked());
    TPageForm::SetFieldEnabled(m_HomingPort, ring && m_HomingMode->isChecked());
}

void TModuleRedundancyRing::EventOnApplyClick()
{
    TRingSettings s;
    s.ringEnabled = m_LegacyMode->isChecked();
    s.ringMaster = m_Master->isChecked();
    s.firstPort = PortOf(m_1stPort);
    s.secondPort = PortOf(m_2ndPort);
    s.couplingEnabled = m_CoupleMode->isChecked();
    s.controlPort = PortOf(m_ControlPort);
    s.couplingPort = PortOf(m_CouplingPort);
    s.dualHoming = m_HomingMode->isChecked();
    s.homingPort = PortOf(m_HomingPort);
    if (!Check(!RingPortsClash(s), "Duplicated Ports!"))
        return;
    const TPropertyRedundancyRing record = RingToSend(s);
    // A target gets the ring on its own ports of those numbers, or none. A
    // port beyond the count of the switch on show is one it read: it goes as
    // read to each switch that shows it in that field too, this one as well;
    // a switch that has no such port and shows another lacks that item.
    const uint32_t shownPorts = CurrentDevice() ? CurrentDevice()->GetPortNum() : 0;
    SendToEachTarget<TSessionRedundancyRingSet>([&](TSessionRedundancyRingSet& request, TDevice* device) {
        const TRingSettings own = Shown(device);
        int index = 0;
        for (uint32_t TRingSettings::* field : RingPortFields(s)) {
            if (s.*field >= shownPorts && own.*field == s.*field)
                continue;
            if (s.*field >= shownPorts && s.*field >= device->GetPortNum())
                return QString("its own page offers no %1").arg(SwitchText(PortCaption(int(s.*field) + 1)));
            if (QString why = TPortMap::PortsOnly().IndexOn(device, int(s.*field), index); !why.isEmpty())
                return why;
        }
        request.SetPayload(record);
        return QString();
    });
}

static const TPageRegistration<TModuleRedundancyRing>
    s_RegisterPage_TModuleRedundancyRing(TPageId::TModuleRedundancyRing, [](TModule* page) {
        static_cast<TModuleRedundancyRing*>(page)->SetExclusive(true);
    });
