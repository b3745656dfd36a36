#include "pages/kit/SwitchText.h"
#include "pages/security/ModuleSecurity_Port.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortChoice.h"

#include <QComboBox>
#include <QPushButton>

using namespace Intp;
using TPortEntry = TPropertySecurityPortEntry;

TModuleSecurityPort::TModuleSecurityPort(QWidget* parent) : TModulePage("Port Security", parent)
{
    TPageForm form(this);
    m_List = new TUntypedReportList();
    m_List->AddColumn("Port No.");
    m_List->AddColumn("MAC Address", ckText, Qt::AlignCenter);
    m_List->Model()->SetSortMode(smPerColumn);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);
    m_MAC = form.Mac("&MAC Address:");
    m_MAC->KeepCase(true);
    m_Port = form.Choice("&Port No.:", {});
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD");
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_REMOVE");

    // Port names, then the ports the chooser offers, then the table.
    AddRead<TSessionPortNameGet>(rwCurrent, false);
    AddRead<TSessionSecurityPortGet>(rwAll);
    AddChain<TSessionPortNameGet, TSessionPortConfigGet>();
    AddChain<TSessionPortConfigGet, TSessionSecurityPortGet>();

    m_Table.Bind(this, m_List, m_Add, m_Delete,
                 {.cells = [this](const TPortEntry& e) {
                      return QStringList{PortNameOf(m_Names, e.port), SwitchText(e.mac.ToString())};
                  },
                  // The buttons follow the port and address: Add is off for a listed
                  // one, Delete needs one. Delete sends the address alone: a switch's
                  // entry of it, on any port.
                  .key = [](const TPortEntry& e) { return QString::number(e.port) + ' ' + e.mac.ToString().c_str(); },
                  .switchKey = [](const TPortEntry& e) { return QString(e.mac.ToString().c_str()); },
                  .add = arRefusesHeld,
                  .del = drListedKey,
                  // No port while the chooser has none chosen: nothing to add.
                  .readForm = [this]() -> std::optional<TPortEntry> {
                      TPortEntry entry;
                      const std::optional<TMacAddr> mac = m_MAC->Address();
                      if (!mac || !ChosenPort(m_Port, entry.port))
                          return std::nullopt;
                      entry.mac = *mac;
                      return entry;
                  },
                  .fillForm = [this](const TPortEntry* e) {
                      if (!e)
                          return;
                      ChoosePort(m_Port, e->port);
                      m_MAC->SetAddress(&e->mac);
                  },
                  // The entry of the same port or trunk group.
                  .fit = [this](TPortEntry& e, TDevice* target, bool) {
                      return TTableEditorBase::PortOnTarget(e.port, CurrentDevice(), target);
                  }});
    connect(m_MAC, &QLineEdit::textChanged, this, [this] { m_Table.UpdateButtons(); });
}

void TModuleSecurityPort::Fill(TDevice* device)
{
    m_MAC->clear();
    // Rows and ports only while the names, the ports and the table are all read.
    const bool ports = FillPortChoice(m_Port, device, false) > 0;
    m_Names = ValidRecord<TPropertyPortName>(device).names;
    m_Table.Rebuild(ports ? device : nullptr);
}

void TModuleSecurityPort::OnLeave()
{
    m_Table.Rebuild(nullptr);
    m_Port->clear();
}

REGISTER_PAGE(TModuleSecurityPort);
