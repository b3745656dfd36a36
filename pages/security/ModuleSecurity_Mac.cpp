#include "pages/kit/SwitchText.h"
#include "pages/security/ModuleSecurity_Mac.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"

#include <QPushButton>

TModuleSecurityMac::TModuleSecurityMac(QWidget* parent) : TModulePage("MAC Blacklist", parent)
{
    TPageForm form(this);
    m_List = new TUntypedReportList();
    m_List->AddColumn("MAC Address");
    m_List->setHeaderHidden(true);
    form.List(QString(), m_List);
    m_MAC = form.Mac("&MAC Address:");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD");
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_REMOVE");
    m_MAC->KeepCase(false);

    AddRead<Intp::TSessionSecurityMacGet>();
    m_Table.Bind(this, m_List, m_Add, m_Delete,
                 {.cells = [](const Intp::TMacAddr& mac) { return QStringList{SwitchText(mac.ToString())}; },
                  // An address, on the switch too; Add is off for a listed one, Delete needs one.
                  .key = [](const Intp::TMacAddr& mac) { return SwitchText(mac.ToString()); },
                  .add = arRefusesHeld,
                  .del = drListedKey,
                  .readForm = [this] { return m_MAC->Address(); },
                  .fillForm = [this](const Intp::TMacAddr* mac) { m_MAC->SetAddress(mac); }});
    connect(m_MAC, &QLineEdit::textChanged, this, [this] { EventOnMacChange(); });
}

void TModuleSecurityMac::EventOnMacChange() { m_Table.UpdateButtons(); }

void TModuleSecurityMac::Fill(Intp::TDevice* device)
{
    m_MAC->clear();
    m_Table.Rebuild(device);
}

void TModuleSecurityMac::OnLeave() { m_Table.Rebuild(nullptr); }

REGISTER_PAGE(TModuleSecurityMac);
