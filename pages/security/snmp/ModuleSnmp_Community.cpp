#include "pages/security/snmp/ModuleSnmp_Community.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortMerge.h"

#include <QPushButton>

using namespace Intp;

TModuleSnmpCommunity::TModuleSnmpCommunity(QWidget* parent) : TModulePage("Community", parent)
{
    using R = TSnmpCommunityRow;
    TPageForm form(this);
    m_ListView = new TTypedEditedList<R>();
    m_ListView->Caption(QString(), [](const R& row) { return QString::number(row.slot); });
    m_ListView->Text("Community String", &R::community, "&Community:",
                     {.maxLength = int(TPropertySnmpCommunity::EntryFields.TextWidth(&TPropertySnmpCommunityEntry::community)),
                      .hint = QString()});
    m_ListView->Choice("Privilege", &R::access, {"Read Only", "Read And Write"}, "&Privilege:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    AddRead<TSessionSnmpCommunityGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleSnmpCommunity::Fill(TDevice* device)
{
    const auto& record = ValidRecord<TPropertySnmpCommunity>(device);
    std::vector<TSnmpCommunityRow> rows;
    const int count = device ? int(device->GetSnmpCommunityNum()) : 0;
    for (int slot = 0; slot < count; ++slot) {
        const bool read = std::size_t(slot) < record.entries.size();
        const TPropertySnmpCommunityEntry entry = read ? record.entries[std::size_t(slot)] : TPropertySnmpCommunityEntry{};
        rows.push_back({slot, entry.community, entry.access});
    }
    m_ListView->SetRows(rows);
    // A model without community slots has nothing to write.
    m_Apply->setEnabled(device && count > 0);
}

void TModuleSnmpCommunity::EventOnApplyClick()
{
    std::vector<TPropertySnmpCommunityEntry> entries;
    for (const TSnmpCommunityRow& row : m_ListView->Rows())
        entries.push_back({row.community, row.access});
    if (entries.empty())
        return;
    SendToEachTarget<TSessionSnmpCommunitySet>([&](TSessionSnmpCommunitySet& request, TDevice* device) {
        std::vector<TPropertySnmpCommunityEntry> own = entries;
        const TPropertySnmpCommunity* read = device->LatestRead<TPropertySnmpCommunity>();
        const QString why = PortMerge::KeepBeyond(own, device->GetSnmpCommunityNum(), read ? &read->entries : nullptr,
                                                  "community slot", "community slots");
        if (why.isEmpty())
            request.SetEntries(own);
        return why;
    });
}

REGISTER_PAGE(TModuleSnmpCommunity);
