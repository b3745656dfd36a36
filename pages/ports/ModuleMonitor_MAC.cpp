#include "pages/kit/SwitchText.h"
#include "pages/ports/ModuleMonitor_MAC.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortChoice.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

TModuleMonitorMac::TModuleMonitorMac(QWidget* parent) : TModulePage("MAC Address Table", parent)
{
    TPageForm form(this);
    m_Port = form.Choice("&Port No.:", {});
    m_List = new TTypedReportList<TRow>();
    m_List->Column("", [](const TRow& r) { return QString::number(r.number); }, &TRow::number);
    m_List->Column("MAC Address", [](const TRow& r) { return r.mac; });
    m_List->Column("Type", [](const TRow& r) { return QString(r.isStatic ? "Static" : "Dynamic"); });
    form.List(QString(), m_List);
    m_Dynamic = new QLabel("0");
    m_Static = new QLabel("0");
    form.Field("Dynamic Address Count:", m_Dynamic);
    form.Field("Static Address Count:", m_Static);
    m_Clear = form.Button("&Clear", "RC_BITMAP_16X16_CLEAR", true);
    connect(m_Clear, &QPushButton::clicked, this, [this] { SendToSelectedDevices<Intp::TSessionMonitorMacClear>(); });
    connect(m_Port, &QComboBox::currentIndexChanged, this, [this] {
        if (!IsRefilling())
            EventOnPortChange();
    });

    // Port names, then the port configuration (the listed ports), then the table.
    AddRead<Intp::TSessionPortNameGet>(rwCurrent, false);
    AddRead<Intp::TSessionMonitorMacGet>(rwAll);
    AddChain<Intp::TSessionPortNameGet, Intp::TSessionPortConfigGet>();
    AddChain<Intp::TSessionPortConfigGet, Intp::TSessionMonitorMacGet>();
}

void TModuleMonitorMac::Fill(Intp::TDevice* device)
{
    FillPortChoice(m_Port, device, true);
    EventOnPortChange();
}

void TModuleMonitorMac::EventOnPortChange()
{
    m_List->Clear();
    int dynamicCount = 0, staticCount = 0;
    const auto& table = ValidRecord<Intp::TPropertyMonitorMac>(CurrentDevice());
    // With every port hidden there is no item: the list stays empty.
    if (table.valid && m_Port->currentIndex() >= 0) {
        const std::uint32_t port = m_Port->currentData().toUInt();
        for (const auto& e : table.entries) {
            if (e.port != port)
                continue;
            ++(e.isStatic ? staticCount : dynamicCount);
            m_List->Add({dynamicCount + staticCount, SwitchText(e.mac.ToString()), e.isStatic});
        }
    }
    m_Dynamic->setText(QString::number(dynamicCount));
    m_Static->setText(QString::number(staticCount));
}

void TModuleMonitorMac::OnLeave()
{
    m_List->Clear();
    m_Port->clear();
}

REGISTER_PAGE(TModuleMonitorMac);
