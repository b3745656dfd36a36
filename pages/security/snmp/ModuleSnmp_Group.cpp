#include "pages/security/snmp/ModuleSnmp_Group.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/SwitchText.h"
#include "pages/security/snmp/SnmpV3Table.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Intp;
using TGroupEntry = TPropertySnmpGroupEntry;

TModuleSnmpGroup::TModuleSnmpGroup(QWidget* parent) : TModulePage("SNMPv3 Group Table", parent)
{
    TPageForm form(this);
    m_List = SnmpV3List(form, {"Security Name", "Group Name"}, smNone);
    const auto& fields = TPropertySnmpGroup::EntryFields;
    m_SecName = SnmpV3Text(form, "&Security Name", fields.TextWidth(&TGroupEntry::securityName));
    m_GrpName = SnmpV3Text(form, "&Group Name", fields.TextWidth(&TGroupEntry::groupName));
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);
    AddRead<TSessionSnmpGroupGet>();

    m_Table.Bind(
        this, m_List, m_Add, m_Delete,
        {.cells =
             [](const TGroupEntry& group) {
                 return QStringList{SwitchText(group.securityName), SwitchText(group.groupName)};
             },
         // The page follows the security name: Add refuses a listed one ("Entry
         // already exists!"), Delete needs one. A switch's entry is the name in
         // that group: another switch deletes its own entry of both.
         .key = [](const TGroupEntry& group) { return SwitchText(group.securityName); },
         .switchKey = [](const TGroupEntry& group) {
             return SnmpV3Key({SwitchText(group.securityName), SwitchText(group.groupName)});
         },
         .add = arRefusesHeld,
         .del = drListedKey,
         .readForm = [this]() -> std::optional<TGroupEntry> {
             return TGroupEntry{SwitchBytes(m_SecName->text()), SwitchBytes(m_GrpName->text())};
         },
         .fillForm = [this](const TGroupEntry* group) {
             if (!group)
                 return;
             m_SecName->setText(SwitchText(group->securityName));
             m_GrpName->setText(SwitchText(group->groupName));
         },
         .numbered = true,
         .keyGiven = [this] { return CurrentDevice() && !m_SecName->text().isEmpty(); },
         .check = [this](bool add) {
             const bool listed = m_Table.Find(m_SecName->text()) != nullptr;
             return add ? Check(!listed, "Entry already exists!") : Check(listed, "Entry not found!");
         },
         .listed = [](const TGroupEntry& group, TDevice*) { return !group.securityName.empty(); }});
    connect(m_SecName, &QLineEdit::textChanged, this, [this] { m_Table.UpdateButtons(); });
}

void TModuleSnmpGroup::Fill(TDevice* device)
{
    m_SecName->clear();
    m_GrpName->clear();
    m_Table.Rebuild(device);
    if (!ValidRecord<TPropertySnmpGroup>(device).valid)
        ShowReadFailed(device);
}

void TModuleSnmpGroup::OnLeave() { m_Table.Rebuild(nullptr); }

REGISTER_PAGE(TModuleSnmpGroup);
