#include "pages/security/ModuleSecurity_8021xPort.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortLayout.h"

#include <QPushButton>

TModuleSecurity8021xPort::TModuleSecurity8021xPort(QWidget* parent) : TModulePage("Port Auth", parent)
{
    using E = Intp::TPropertySecurity8021xPortEntry;
    TPageForm form(this);
    m_ListView = new TTypedEditedList<E>();
    m_ListView->Caption("Port No.", nullptr);
    m_ListView->Choice("Authorize Mode", &E::mode, {"Reject", "Accept", "Authorize", "Disable"}, "Authorize &Mode:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });

    // Port names first: their reply starts the mode read.
    AddRead<Intp::TSessionPortNameGet>(rwCurrent, false);
    AddRead<Intp::TSessionSecurity8021xPortGet>(rwAll);
    AddChain<Intp::TSessionPortNameGet, Intp::TSessionSecurity8021xPortGet>();
}

void TModuleSecurity8021xPort::Fill(Intp::TDevice* device)
{
    TPortLayout ports;
    ports.BuildFor(device);
    m_ListView->SetPortRows(ports, ValidRecord<Intp::TPropertySecurity8021xPort>(device).ports);
}

void TModuleSecurity8021xPort::EventOnApplyClick()
{
    Intp::TPropertySecurity8021xPort modes;
    modes.ports = m_ListView->EditedEntries(ValidRecord<Intp::TPropertySecurity8021xPort>(CurrentDevice()).ports);
    if (modes.ports.empty())
        return;
    SendToEachTarget<Intp::TSessionSecurity8021xPortSet>(
        [&](Intp::TSessionSecurity8021xPortSet& request, Intp::TDevice* device) {
            if (device->GetPortNum() != modes.ports.size())
                return QString("its model has %1 ports, this change is for %2")
                    .arg(device->GetPortNum())
                    .arg(modes.ports.size());
            request.SetPayload(modes);
            return QString();
        });
}

REGISTER_PAGE(TModuleSecurity8021xPort);
