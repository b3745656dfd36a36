#include "pages/ports/ModulePort_Config.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

TModulePortConfig::TModulePortConfig(QWidget* parent) : TModulePage("Port Configuration", parent)
{
    const QStringList onOff = {"Disable", "Enable"};
    TPageForm form(this);
    m_ListView = new TTypedEditedList<TEntry>();
    m_ListView->PortCaption("Port No.", &TEntry::port, roCaption);
    m_ListView->Choice("State", &TEntry::enabled, onOff, "&State:");
    const int duplex = m_ListView->Choice(
        "Speed/Duplex", &TEntry::speedDuplex,
        {"Auto Negotiation", "1G Full", "1G Half", "100 Full", "100 Half", "10 Full", "10 Half"}, "Speed/&Duplex:");
    m_ListView->SetMissingText(duplex, "Unknown (%1)");
    m_ListView->Choice("Flow Control", &TEntry::flowControl, {"Disable", "Symmetric", "Asymmetric"}, "&Flow Control:");
    m_ListView->Choice("Security", &TEntry::security, onOff, "S&ecurity:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });

    // Port names first: their reply starts the configuration read.
    AddRead<Intp::TSessionPortNameGet>(rwCurrent, false);
    AddRead<Intp::TSessionPortConfigGet>(rwAll);
    AddChain<Intp::TSessionPortNameGet, Intp::TSessionPortConfigGet>();
}

void TModulePortConfig::Fill(Intp::TDevice* device)
{
    const auto& config = ValidRecord<Intp::TPropertyPortConfig>(device);
    const bool named = ValidRecord<Intp::TPropertyPortName>(device).valid;
    std::vector<TEntry> entries = config.entries;
    entries.resize(named ? std::min<std::size_t>(config.count, entries.size()) : 0);
    m_ListView->SetPortRows(device, entries);
    m_Apply->setEnabled(config.valid && named);
}

void TModulePortConfig::EventOnApplyClick()
{
    const std::vector<TEntry> rows = m_ListView->Rows();
    Intp::TDevice* current = CurrentDevice();
    if (rows.empty() || !current)
        return;
    // Each row goes to the target's own port or trunk group of its number,
    // with the target's own value of a field it shows none of; the target's
    // other rows go as it holds them, as its own page lists them, and each
    // of its hidden ports takes a copy of the first row.
    const TPortMap map(int(current->GetPortNum()));
    SendToEachTarget<Intp::TSessionPortConfigSet>([&](Intp::TSessionPortConfigSet& request, Intp::TDevice* device) {
        std::vector<TEntry> shown = rows;
        if (QString why = map.Move(device, shown, &TEntry::port); !why.isEmpty())
            return why;
        const auto* own = device->LatestRead<Intp::TPropertyPortConfig>();
        if (!own || !device->LatestRead<Intp::TPropertyPortName>())
            return OwnReadWhy<Intp::TPropertyPortConfig>(device, "its own port settings were not read");
        std::vector<TEntry> entries(own->entries.begin(),
                                    own->entries.begin() + std::ptrdiff_t(std::min<std::size_t>(own->count, own->entries.size())));
        std::vector<TEntry> sent;
        int hidden = 0;
        if (QString why = m_ListView->PortRowsOn(device, entries, shown, sent, &hidden); !why.isEmpty())
            return why;
        if (!sent.empty())
            sent.insert(sent.end(), std::size_t(hidden), sent.front());
        request.SetEntries(sent);
        return QString();
    });
}

REGISTER_PAGE(TModulePortConfig);
