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
    std::vector<TEntry> entries = m_ListView->Rows();
    Intp::TDevice* current = CurrentDevice();
    if (entries.empty() || !current)
        return;
    // A hidden port still takes an entry: the first row's, as the switch expects.
    entries.insert(entries.end(), std::size_t(m_ListView->HiddenCount()), entries.front());
    // Each entry goes to the target's own port or trunk group of its number.
    const TPortMap map(int(current->GetPortNum()));
    SendToEachTarget<Intp::TSessionPortConfigSet>([&](Intp::TSessionPortConfigSet& request, Intp::TDevice* device) {
        std::vector<TEntry> own = entries;
        if (QString why = map.Move(device, own, &TEntry::port); !why.isEmpty())
            return why;
        const std::size_t has = device->GetPortNum() + device->GetTrunkGroupNum();
        if (has < own.size())
            return QString("its model has %1, this change is for %2")
                .arg(Counted(qint64(has), "port or trunk group", "ports and trunk groups"))
                .arg(own.size());
        request.SetEntries(own);
        return QString();
    });
}

REGISTER_PAGE(TModulePortConfig);
