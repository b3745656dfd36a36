#include "pages/security/snmp/ModuleSnmp_Trap.h"

#include "pages/kit/AddressText.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLineEdit>
#include <QPushButton>

using namespace Intp;
using TTrapEntry = TPropertySnmpTrapEntry;

TModuleSnmpTrap::TModuleSnmpTrap(QWidget* parent) : TModulePage("Trap Settings", parent)
{
    TPageForm form(this);
    m_List = new TUntypedReportList();
    m_List->AddColumn(QString(), ckNumber);
    m_List->AddColumn("Server IP", ckNumber);
    m_List->AddColumn("Community");
    m_List->AddColumn("Trap Version", ckText, Qt::AlignCenter);
    m_List->Model()->SetSortMode(smPerColumn);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);
    m_ServerIp = form.Ip("Server &IP:");
    m_ServerIp->SetRewriteOnExit(true);
    m_Community = MakeSwitchText(form.Text("&Community:"),
                                 TPropertySnmpTrap::EntryFields.TextWidth(&TTrapEntry::community));
    m_Version = form.Radios("&Trap Version:", {"V1", "V2c"});
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);
    AddRead<TSessionSnmpTrapGet>();

    m_Table.Bind(this, m_List, m_Add, m_Delete,
                 {.cells = [](const TTrapEntry& trap) {
                      return QStringList{IpText(trap.address), SwitchText(trap.community),
                                         trap.version ? "V2c" : "V1"};
                  },
                  // A receiver is its address, on the switch too; Add is off for a
                  // listed one, Delete needs one.
                  .key = [](const TTrapEntry& trap) { return IpText(trap.address); },
                  .add = arRefusesHeld,
                  .del = drListedKey,
                  .readForm = [this]() -> std::optional<TTrapEntry> {
                      if (!m_ServerIp->IsHost() || m_Community->text().isEmpty())
                          return std::nullopt;
                      return TTrapEntry{m_ServerIp->Value(), SwitchBytes(m_Community->text()),
                                    m_Version->checkedId() == 1 ? uint32_t(stV2c) : uint32_t(stV1)};
                  },
                  .fillForm = [this](const TTrapEntry* trap) {
                      if (!trap)
                          return;
                      m_ServerIp->SetValue(trap->address);
                      m_Community->setText(SwitchText(trap->community));
                      m_Version->button(trap->version ? 1 : 0)->setChecked(true);
                  },
                  // A receiver is found by the address as typed; leaving the field writes it dotted.
                  .formKey = [this] { return m_ServerIp->text(); },
                  .numbered = true,
                  .sortKey = [](const TTrapEntry& trap, int column) {
                      return column == 1 ? std::optional<long long>(trap.address) : std::nullopt;
                  }});
    connect(m_ServerIp, &QLineEdit::textChanged, this, [this] { m_Table.UpdateButtons(); });
    connect(m_Community, &QLineEdit::textChanged, this, [this] { m_Table.UpdateButtons(); });
}

void TModuleSnmpTrap::Fill(TDevice* device)
{
    m_ServerIp->SetValue(0);
    m_Community->clear();
    m_Version->button(0)->setChecked(true);
    m_Table.Rebuild(device);
}

void TModuleSnmpTrap::OnLeave() { m_Table.Rebuild(nullptr); }

REGISTER_PAGE(TModuleSnmpTrap);
