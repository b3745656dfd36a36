#include "pages/warning/ModuleWarning_Fault.h"

#include "intp/Ports.h"
#include "intp/Warning.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PortMerge.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortCheckList.h"

#include <QPushButton>

TModuleWarningFault::TModuleWarningFault(QWidget* parent) : TModulePage("Fault Alarm", parent)
{
    TPageForm form(this);
    m_SysList = new TPortCheckList();
    m_SysList->SetLines({"Power 1 Failure", "Power 2 Failure"});
    form.List("&System Failure:", m_SysList);
    m_PortList = new TPortCheckList();
    form.List("&Port Link Down/Broken:", m_PortList);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });

    // The port names first, so that the lines exist when the masks arrive.
    AddRead<Intp::TSessionPortNameGet>(rwAlways, false, false);
    AddRead<Intp::TSessionWarningFaultGet>();
}

void TModuleWarningFault::Fill(Intp::TDevice* device)
{
    m_Ports = MaskPorts(device);
    m_PortList->SetPorts(m_Ports);
    const auto& record = ValidRecord<Intp::TPropertyWarningFault>(device);
    m_SysList->SetMask(record.systemMask);
    m_PortList->SetMask(record.portMask);
}

void TModuleWarningFault::EventOnApplyClick()
{
    Intp::TPropertyWarningFault masks;
    masks.systemMask = m_SysList->Mask();
    masks.portMask = m_PortList->Mask();
    using Fault = Intp::TPropertyWarningFault;
    // Failures without a line (past the two power inputs) keep each switch's own bits.
    const std::uint32_t unlisted = ~m_SysList->LineMask();
    SendToEachTarget<Intp::TSessionWarningFaultSet>([&](Intp::TSessionWarningFaultSet& request, Intp::TDevice* target) {
        Fault own = masks;
        QString why = PortMerge::FitMasks(target, m_Ports, own, {&Fault::portMask});
        if (why.isEmpty() && !PortMerge::KeepBits(target, unlisted, own, {&Fault::systemMask}))
            why = OwnReadWhy<Fault>(target, "its own settings of the system failures were not read");
        if (why.isEmpty())
            request.SetPayload(own);
        return why;
    });
}

REGISTER_PAGE(TModuleWarningFault);
