#include "pages/security/snmp/ModuleSnmp_Mibview.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/SwitchText.h"
#include "pages/security/snmp/SnmpV3Table.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Intp;
using TViewEntry = TPropertySnmpMibviewEntry;

TModuleSnmpMibview::TModuleSnmpMibview(QWidget* parent) : TModulePage("SNMPv3 MIBView Table", parent)
{
    TPageForm form(this);
    m_List = SnmpV3List(form, {"View Name", "SubOid-Tree", "Type"}, smPerColumn);
    const auto& fields = TPropertySnmpMibview::EntryFields;
    m_Viewname = SnmpV3Text(form, "&View Name:", fields.TextWidth(&TViewEntry::viewName));
    m_SubOidTree = SnmpV3Text(form, "&SubOid-Tree:", fields.TextWidth(&TViewEntry::subtree));
    m_Type = TCodeRadios(form.Radios("&Type", {"Excluded", "Included"}), {vtExcluded, vtIncluded});
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);
    AddRead<TSessionSnmpMibviewGet>();

    m_Table.Bind(this, m_List, m_Add, m_Delete,
                 {.cells = [this](const TViewEntry& view) {
                      return QStringList{SwitchText(view.viewName), SwitchText(view.subtree), m_Type.Text(view.type)};
                  },
                  // The page follows the view name; a switch's entry is its view name
                  // with its subtree. Add has no check for a held entry; Delete
                  // searches no list, so a switch holding no entry of the key is named.
                  .key = [](const TViewEntry& view) { return SwitchText(view.viewName); },
                  .switchKey = [](const TViewEntry& view) {
                      return SnmpV3Key({SwitchText(view.viewName), SwitchText(view.subtree)});
                  },
                  .add = arSendsHeld,
                  .del = drHeldEntry,
                  .readForm = [this]() -> std::optional<TViewEntry> {
                      const auto type = m_Type.Code();
                      if (!type)
                          return std::nullopt;
                      return TViewEntry{SwitchBytes(m_Viewname->text()), SwitchBytes(m_SubOidTree->text()), *type};
                  },
                  .fillForm = [this](const TViewEntry* view) {
                      if (!view)
                          return;
                      m_Viewname->setText(SwitchText(view->viewName));
                      m_SubOidTree->setText(SwitchText(view->subtree));
                      // A type without a button leaves the choice as it was.
                      if (m_Type.Has(view->type))
                          m_Type.SetCode(view->type);
                  },
                  .numbered = true,
                  .keyGiven = [this] { return CurrentDevice() && !m_Viewname->text().isEmpty(); },
                  .check = [this](bool add) { return CheckForm(add); },
                  .listed = [](const TViewEntry& view, TDevice*) { return !view.viewName.empty(); },
                  // A switch's own row fills a form whose type it shows, or
                  // none (its own Delete is refused then).
                  .asFilled = [this](const TViewEntry& view) {
                      return m_Type.Has(view.type) ? std::optional<TViewEntry>(view) : std::nullopt;
                  }});
    connect(m_Viewname, &QLineEdit::textChanged, this, [this] { m_Table.UpdateButtons(); });
}

bool TModuleSnmpMibview::CheckForm(bool add)
{
    const bool typed = !m_Viewname->text().isEmpty() && !m_SubOidTree->text().isEmpty();
    if (!add)
        return Check(typed, "Entry not found!") && Check(m_Type.Code().has_value(), "Entry not found");
    return Check(!m_Viewname->text().isEmpty(), "Must specify an view name!") &&
           Check(!m_SubOidTree->text().isEmpty(), "Must specify a Oid!") &&
           Check(m_Type.Code().has_value(), "At least one type should be specified!");
}

void TModuleSnmpMibview::Fill(TDevice* device)
{
    m_Viewname->clear();
    m_SubOidTree->clear();
    m_Table.Rebuild(device);
    if (!ValidRecord<TPropertySnmpMibview>(device).valid)
        ShowReadFailed(device);
}

void TModuleSnmpMibview::OnLeave() { m_Table.Rebuild(nullptr); }

REGISTER_PAGE(TModuleSnmpMibview);
