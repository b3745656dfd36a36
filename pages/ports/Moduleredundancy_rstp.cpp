#include "pages/kit/SwitchText.h"
#include "pages/kit/PortMerge.h"
#include "pages/ports/Moduleredundancy_rstp.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/RedundancyRules.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Intp;

namespace {

// A spin box stepped by step that takes no typed text.
TNumberBox* Stepped(TNumberBox* spin, int step)
{
    spin->setSingleStep(step);
    if (auto* edit = spin->findChild<QLineEdit*>())
        edit->setReadOnly(true);
    return spin;
}

// Whether the ring of the device's generation runs.
bool RingRunning(TDevice* device)
{
    if (IsSecondGeneration(device)) {
        const auto& ring = TModulePage::ValidRecord<TPropertyRedundancyRing2>(device);
        return ring.valid && ring.ringEnabled;
    }
    const auto& ring = TModulePage::ValidRecord<TPropertyRedundancyRing>(device);
    return ring.valid && ring.ringEnabled;
}

TPropertyRedundancyRstp Defaults(TDevice* device)
{
    TPropertyRedundancyRstp r;
    r.bridgePriority = 32768;
    r.maxAge = 20;
    r.helloTime = 2;
    r.forwardDelay = 15;
    r.ports.assign(device ? device->GetPortNum() : 0, {200000, 128, rpFalse, false, false});
    return r;
}

} // namespace

TModuleRedundancyRstp::TModuleRedundancyRstp(QWidget* parent) : TModulePage("RSTP Settings", parent)
{
    using E = TPropertyRedundancyRstpPort;
    TPageForm form(this);
    m_Mode = form.Choice("&RSTP Mode:", {"Disable", "Enable"});
    m_BridgeLabel = BoldLabel("Bridge Configuration:", this);
    form.Section(m_BridgeLabel);
    // The ranges are the fields' wire widths: a value read from a switch
    // shows as it is, and Apply refuses what is out of range.
    m_BridgePriority = Stepped(form.Number("&Priority:", 0, 65535, "(0 - 61440)"), 4096);
    m_BridgeAge = form.Number("&Max Age Time:", 0, 255, "(6 - 40)");
    m_BridgeHello = form.Number("&Hello Time:", 0, 255, "(1 - 10)");
    m_BridgeDelay = form.Number("&Forward Delay Time:", 0, 255, "(4 - 30)");

    m_ListView = new TTypedEditedList<E>();
    m_ListView->Caption("Port No.", nullptr);
    const int cost = m_ListView->Number("Path Cost", &E::pathCost, 1, 200000000, "Path &Cost:",
                                        [](int first) { return first >= 200000000 ? 1 : first + 1; });
    const int priority = m_ListView->Number("Priority", &E::priority, 0, 240, "Priority:",
                                            [](int first) { return first + 16 > 240 ? 0 : first + 16; });
    m_ListView->EditorNote(cost, "(1 - 200000000)");
    m_ListView->EditorNote(priority, "(0 - 240)");
    const QStringList falseTrue = {"False", "True"};
    const int p2p = m_ListView->Choice("Admin P2P", &E::p2p, {"False", "True", "Auto"}, "Admin P2P:");
    const int edge = m_ListView->Choice("Admin Edge", &E::edge, falseTrue, "Admin &Edge:");
    const int nonStp = m_ListView->Choice("Admin Non STP", &E::nonStp, falseTrue, "Admin Non STP:");
    for (int column : {p2p, edge, nonStp})
        m_ListView->SetMissingText(column, "Unknown (%1)");
    form.List("Port Configuration:", m_ListView, true);
    m_ListView->CreateEditors(form);
    Stepped(static_cast<TNumberBox*>(m_ListView->EditorOf(priority)), 16);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    // The ring of the switch's generation is read after RSTP answers, also
    // after an RSTP change (which the switch may answer by turning its ring
    // off), so the two are never judged on a ring record older than RSTP's.
    AddRead<TSessionPortNameGet>(rwAlways, false, false);
    AddRead<TSessionRedundancyRstpGet>();
    AddChainStep(
        ccRedundancyRstpGet,
        [](TDevice* device) {
            if (!Property<TPropertyRedundancyRstp>::Get(device).valid)
                return false;
            return IsSecondGeneration(device) ? StartFor<TSessionRedundancyRing2Get>(device)
                                            : StartFor<TSessionRedundancyRingGet>(device);
        },
        [](TDevice* device) {
            return IsSecondGeneration(device) ? Property<TPropertyRedundancyRing2>::Get(device).valid
                                            : Property<TPropertyRedundancyRing>::Get(device).valid;
        });
    AddRefillCode(ccRedundancyRingGet);
    AddRefillCode(ccRedundancyRing2Get);
    connect(m_Mode, &QComboBox::currentIndexChanged, this, [this] { EventOnModeChange(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleRedundancyRstp::Fill(TDevice* device)
{
    const auto& rstp = ValidRecord<TPropertyRedundancyRstp>(device);
    // While the ring runs RSTP shows off, with the switch's own values: an
    // Apply never writes defaults over them.
    const bool ringOn = m_Exclusive && RingRunning(device);
    m_Shown = rstp.valid ? rstp : Defaults(device);
    m_Mode->setCurrentIndex(m_Shown.enabled && !ringOn ? 1 : 0);
    m_BridgePriority->setValue(m_Shown.bridgePriority);
    m_BridgeAge->setValue(m_Shown.maxAge);
    m_BridgeHello->setValue(m_Shown.helloTime);
    m_BridgeDelay->setValue(m_Shown.forwardDelay);
    m_ListView->SetPortRows(device, m_Shown.ports);
    EventOnModeChange();
}

void TModuleRedundancyRstp::EventOnModeChange()
{
    const bool on = CurrentDevice() && m_Mode->currentIndex() == 1;
    TPageForm::SetFieldsEnabled({m_BridgePriority, m_BridgeAge, m_BridgeHello, m_BridgeDelay}, on);
    SetEnabled({m_BridgeLabel, m_ListView, TPageForm::LabelOf(m_ListView)}, on);
    m_ListView->SelectRow(-1);
}

void TModuleRedundancyRstp::EventOnApplyClick()
{
    const std::string error = RstpBridgeError(m_BridgePriority->value(), m_BridgeAge->value(),
                                              m_BridgeHello->value(), m_BridgeDelay->value());
    if (!Check(error.empty(), SwitchText(error)))
        return;
    TPropertyRedundancyRstp record = m_Shown;
    record.enabled = m_Mode->currentIndex() == 1;
    record.bridgePriority = uint32_t(m_BridgePriority->value());
    record.maxAge = uint32_t(m_BridgeAge->value());
    record.helloTime = uint32_t(m_BridgeHello->value());
    record.forwardDelay = uint32_t(m_BridgeDelay->value());
    // Hidden ports keep each switch's own values, and so does a value a
    // column shows none of.
    record.ports = m_ListView->EditedEntries(record.ports);
    PortMerge::SendKeepingList<TSessionRedundancyRstpSet>(*this, record, &TPropertyRedundancyRstp::ports,
                                                          m_ListView->Unlisted(), m_ListView->PortLayout(),
                                                          m_ListView->OwnValues());
}

static const TPageRegistration<TModuleRedundancyRstp>
    s_RegisterPage_TModuleRedundancyRstp(TPageId::TModuleRedundancyRstp, [](TModule* page) {
        static_cast<TModuleRedundancyRstp*>(page)->SetExclusive(true);
    });
