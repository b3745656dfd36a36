#include "pages/ports/ModulePort_Limit.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PortMerge.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortLayout.h"
#include "pages/ports/PortTexts.h"

#include <QLabel>
#include <QPushButton>

TModulePortLimit::TModulePortLimit(QWidget* parent) : TModulePage("Rate Limit", parent)
{
    TPageForm form(this);
    m_ListView = new TTypedEditedList<TEntry>();
    m_ListView->Caption("Port No.", nullptr);
    const int type =
        m_ListView->Choice("Ingress Limit Frame Type", &TEntry::frameType, PortTexts::FrameTypes, "&Type:");
    m_ListView->SetMissingText(type, PortTexts::Missing);
    m_ListView->Number("Ingress(kbps)", &TEntry::ingress, 0, MaxRate, "&Ingress:");
    m_ListView->Number("Egress(kbps)", &TEntry::egress, 0, MaxRate, "&Egress:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    auto* description = new QLabel("Rate range is from 100 kbps to 102400 kbps (i.e. 100Mbps) for mega-ports, or "
                                   "256000 kbps (i.e. 250Mbps) for giga-ports. Zero means no limit.");
    description->setWordWrap(true);
    form.Section(description);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });

    AddRead<Intp::TSessionPortLimitGet>(rwAlways);
}

void TModulePortLimit::Fill(Intp::TDevice* device)
{
    // Port names are not used: the rows are the port indexes.
    TPortLayout ports;
    ports.Build(device ? int(device->GetPortNum()) : 0, {});
    m_ListView->SetPortRows(ports, ValidRecord<Intp::TPropertyPortLimit>(device).entries);
}

void TModulePortLimit::EventOnApplyClick()
{
    Intp::TPropertyPortLimit record;
    record.entries = m_ListView->Rows();
    if (!record.entries.empty())
        PortMerge::SendKeepingList<Intp::TSessionPortLimitSet>(*this, record, &Intp::TPropertyPortLimit::entries,
                                                               PortMerge::NoneHidden, nullptr,
                                                               m_ListView->OwnValues());
}

REGISTER_PAGE(TModulePortLimit);
