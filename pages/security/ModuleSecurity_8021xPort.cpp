#include "pages/security/ModuleSecurity_8021xPort.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PortMerge.h"
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

    // Port names, then the modes, of every target. Names that can't be read
    // hide no port and leave the page as it is.
    AddRead<Intp::TSessionPortNameGet>(rwAlways, false, false);
    AddRead<Intp::TSessionSecurity8021xPortGet>();
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
    // A hidden port takes each switch's own mode.
    PortMerge::SendKeepingList<Intp::TSessionSecurity8021xPortSet>(
        *this, modes, &Intp::TPropertySecurity8021xPort::ports, m_ListView->Unlisted(), m_ListView->PortLayout());
}

REGISTER_PAGE(TModuleSecurity8021xPort);
