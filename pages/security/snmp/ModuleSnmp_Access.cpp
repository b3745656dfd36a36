#include "pages/security/snmp/ModuleSnmp_Access.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/SwitchText.h"
#include "pages/security/snmp/SnmpV3Table.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Intp;
using TAccessEntry = TPropertySnmpAccessEntry;

TModuleSnmpAccess::TModuleSnmpAccess(QWidget* parent) : TModulePage("SNMPv3 Access Table", parent)
{
    TPageForm form(this);
    m_List = SnmpV3List(form,
                        {"Context Prefix", "Group Name", "Security Level", "Context Match Rule", "Read View Name",
                         "Write View Name", "Notify View Name"},
                        smPerColumn);
    const auto limit = [](std::string TAccessEntry::*member) {
        return TPropertySnmpAccess::EntryFields.TextWidth(member);
    };
    m_ContextName = SnmpV3Text(form, "&Context Prefix:", limit(&TAccessEntry::contextPrefix));
    m_GroupName = SnmpV3Text(form, "&Group Name:", limit(&TAccessEntry::groupName));
    m_SecLevel = TCodeRadios(form.Radios("&Security Level", {"NoAuthNoPriv", "AuthNoPriv", "AuthPriv"}),
                             {slNoAuthNoPriv, slAuthNoPriv, slAuthPriv});
    m_ContextMatch = TCodeRadios(form.Radios("Context &Match Rule", {"Exact", "Prefix"}), {cmExact, cmPrefix});
    m_ReadViewName = SnmpV3Text(form, "&Read View Name:", limit(&TAccessEntry::readView));
    m_WriteViewName = SnmpV3Text(form, "&Write View Name:", limit(&TAccessEntry::writeView));
    m_NotifyViewName = SnmpV3Text(form, "&Notify View Name:", limit(&TAccessEntry::notifyView));
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);
    AddRead<TSessionSnmpAccessGet>();

    m_Table.Bind(this, m_List, m_Add, m_Delete,
                 {.cells = [this](const TAccessEntry& access) {
                      return QStringList{SwitchText(access.contextPrefix), SwitchText(access.groupName),
                                         m_SecLevel.Text(access.level, "Invalid"),
                                         m_ContextMatch.Text(access.match, "Invalid"), SwitchText(access.readView),
                                         SwitchText(access.writeView), SwitchText(access.notifyView)};
                  },
                  // The page follows the context prefix; a switch's entry is its
                  // group's rule for that prefix and security level. Add has no
                  // check for a held entry; Delete needs a listed prefix.
                  .key = [](const TAccessEntry& access) { return SwitchText(access.contextPrefix); },
                  .switchKey = [](const TAccessEntry& access) {
                      return SnmpV3Key({SwitchText(access.groupName), SwitchText(access.contextPrefix),
                                        QString::number(access.level)});
                  },
                  .add = arSendsHeld,
                  .del = drListedKey,
                  .readForm = [this]() -> std::optional<TAccessEntry> {
                      const auto level = m_SecLevel.Code();
                      const auto match = m_ContextMatch.Code();
                      if (!level || !match)
                          return std::nullopt;
                      return TAccessEntry{SwitchBytes(m_GroupName->text()),    SwitchBytes(m_ContextName->text()),
                                          *level,
                                          *match,
                                          SwitchBytes(m_ReadViewName->text()), SwitchBytes(m_WriteViewName->text()),
                                          SwitchBytes(m_NotifyViewName->text())};
                  },
                  .fillForm = [this](const TAccessEntry* access) {
                      if (!access)
                          return;
                      m_ContextName->setText(SwitchText(access->contextPrefix));
                      m_GroupName->setText(SwitchText(access->groupName));
                      m_SecLevel.SetCode(access->level);
                      m_ContextMatch.SetCode(access->match);
                      m_ReadViewName->setText(SwitchText(access->readView));
                      m_WriteViewName->setText(SwitchText(access->writeView));
                      m_NotifyViewName->setText(SwitchText(access->notifyView));
                  },
                  .numbered = true,
                  .keyGiven = [this] { return CurrentDevice() && !m_ContextName->text().isEmpty(); },
                  .check = [this](bool add) { return CheckForm(add); },
                  .listed = [](const TAccessEntry& access, TDevice*) { return !access.contextPrefix.empty(); },
                  // A switch's own row fills a form whose level and match it shows,
                  // or none (its own Delete is refused then).
                  .asFilled = [this](const TAccessEntry& access) {
                      return m_SecLevel.Has(access.level) && m_ContextMatch.Has(access.match)
                                 ? std::optional<TAccessEntry>(access)
                                 : std::nullopt;
                  }});
    connect(m_ContextName, &QLineEdit::textChanged, this, [this] { m_Table.UpdateButtons(); });
}

bool TModuleSnmpAccess::CheckForm(bool add)
{
    if (!add)
        return Check(m_Table.Find(m_ContextName->text()) && m_SecLevel.Code() && m_ContextMatch.Code(),
                     "Entry not found!");
    return Check(!m_ContextName->text().isEmpty(), "Must specify a prefix of context name!") &&
           Check(!m_GroupName->text().isEmpty(), "Must specify a group name!") &&
           Check(m_SecLevel.Code().has_value(), "At least one security level should be specified!") &&
           Check(m_ContextMatch.Code().has_value(), "At least one context match should be specified!") &&
           Check(!m_ReadViewName->text().isEmpty(), "Must specify a read view name!") &&
           Check(!m_WriteViewName->text().isEmpty(), "Must specify a write view name!") &&
           Check(!m_NotifyViewName->text().isEmpty(), "Must specify a notify view name!");
}

void TModuleSnmpAccess::Fill(TDevice* device)
{
    for (QLineEdit* edit : {m_ContextName, m_GroupName, m_ReadViewName, m_WriteViewName, m_NotifyViewName})
        edit->clear();
    m_Table.Rebuild(device);
    if (!ValidRecord<TPropertySnmpAccess>(device).valid)
        ShowReadFailed(device);
}

void TModuleSnmpAccess::OnLeave() { m_Table.Rebuild(nullptr); }

REGISTER_PAGE(TModuleSnmpAccess);
