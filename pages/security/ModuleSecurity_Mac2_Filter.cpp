#include "pages/kit/SwitchText.h"
#include "pages/security/ModuleSecurity_Mac2_Filter.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/security/MacTables.h"

#include <QPushButton>

using namespace Intp;
using TFilterEntry = TPropertySecurityMac2FilterEntry;

TModuleSecurityMac2Filter::TModuleSecurityMac2Filter(QWidget* parent) : TModulePage("MAC Filtering", parent)
{
    TPageForm form(this);
    m_ListView = new TUntypedReportList();
    m_ListView->AddColumn(QString(), ckNumber);
    m_ListView->AddColumn("MAC Address");
    m_ListView->AddColumn("VLAN ID", ckNumber, Qt::AlignRight | Qt::AlignVCenter);
    form.List(QString(), m_ListView);
    m_Mac = form.Mac("&MAC Address:");
    m_Mac->setMaxLength(17);
    m_VlanId = form.Number("&VID:", 1, 4094);
    m_Remove = form.Button("&Remove", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);
    AddRead<TSessionSecurityMac2FilterGet>();

    m_Table.Bind(this, m_ListView, m_Add, m_Remove,
                 {.cells = [](const TFilterEntry& e) {
                      return QStringList{SwitchText(e.mac.ToString()), QString::number(e.vlanId)};
                  },
                  // An address in a VLAN, on the switch too; Add is off for a listed
                  // one, Remove needs one.
                  .key = [](const TFilterEntry& e) { return MacVlanKey(e.mac, e.vlanId); },
                  .add = arRefusesHeld,
                  .del = drListedKey,
                  .readForm = [this]() -> std::optional<TFilterEntry> {
                      const auto mac = m_Mac->Address();
                      return mac ? std::optional(TFilterEntry{uint32_t(m_VlanId->value()), *mac}) : std::nullopt;
                  },
                  .fillForm = [this](const TFilterEntry* e) {
                      if (!e)
                          return;
                      m_Mac->SetAddress(&e->mac);
                      m_VlanId->setValue(e->vlanId);
                  },
                  .numbered = true,
                  // Remove names a listed entry by its VLAN as read, even one the box can't show.
                  .asRead = [](TFilterEntry& e, const TFilterEntry& row) { e.vlanId = row.vlanId; }});
    WatchChanges({m_Mac, m_VlanId});
}

void TModuleSecurityMac2Filter::UpdateActions() { m_Table.UpdateButtons(); }

void TModuleSecurityMac2Filter::Fill(TDevice* device) { m_Table.Rebuild(device); }

REGISTER_PAGE(TModuleSecurityMac2Filter);
