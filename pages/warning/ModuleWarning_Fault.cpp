#include "pages/warning/ModuleWarning_Fault.h"

#include "intp/Ports.h"
#include "intp/Warning.h"
#include "pages/kit/PageForm.h"
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
    AddRead<Intp::TSessionPortNameGet>(rwAlways, false);
    AddRead<Intp::TSessionWarningFaultGet>();
}

void TModuleWarningFault::Fill(Intp::TDevice* device)
{
    TPortLayout ports;
    ports.BuildFor(device);
    m_PortList->SetPorts(ports);
    const auto* record = device ? &Intp::Property<Intp::TPropertyWarningFault>::Get(device) : nullptr;
    m_SysList->SetMask(record && record->valid ? record->systemMask : 0);
    m_PortList->SetMask(record && record->valid ? record->portMask : 0);
}

void TModuleWarningFault::EventOnApplyClick()
{
    Intp::TPropertyWarningFault masks;
    masks.systemMask = m_SysList->Mask();
    masks.portMask = m_PortList->Mask();
    SendToSelectedDevices<Intp::TSessionWarningFaultSet>(
        [&masks](Intp::TSessionWarningFaultSet& request) { request.SetPayload(masks); });
}

REGISTER_PAGE(TModuleWarningFault);
