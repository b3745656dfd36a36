#include "pages/ports/ModulePort_Limit2.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PortMerge.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortLayout.h"

#include <QPushButton>

TModulePortLimit2::TModulePortLimit2(QWidget* parent) : TModulePage("Rate Limiting", parent)
{
    TPageForm form(this);
    m_ListView = new TTypedEditedList<TEntry>();
    m_ListView->Caption("Port No.", nullptr);
    // The switch takes 16 bits a rate: nothing larger is offered.
    m_ListView->Number("In Rate", &TEntry::inRate, 0, int(Intp::PortRate2Max), "&In Rate:");
    m_ListView->Number("Out Rate", &TEntry::outRate, 0, int(Intp::PortRate2Max), "&Out Rate:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });

    // Port names, then the rates, whatever the names' read does.
    AddRead<Intp::TSessionPortNameGet>(rwAlways, false, false);
    AddRead<Intp::TSessionPortLimit2Get>(rwAlways);
}

void TModulePortLimit2::Fill(Intp::TDevice* device)
{
    TPortLayout ports;
    ports.BuildFor(device);
    m_ListView->SetPortRows(ports, ValidRecord<Intp::TPropertyPortLimit2>(device).entries);
}

void TModulePortLimit2::EventOnApplyClick()
{
    // Every port takes an entry: a listed port its row's, a hidden one each
    // switch's own.
    Intp::TPropertyPortLimit2 record;
    record.entries = m_ListView->EditedEntries(ValidRecord<Intp::TPropertyPortLimit2>(CurrentDevice()).entries);
    if (m_ListView->RowCount() == 0 || record.entries.empty())
        return;
    PortMerge::SendKeepingList<Intp::TSessionPortLimit2Set>(*this, record, &Intp::TPropertyPortLimit2::entries,
                                                            m_ListView->Unlisted(), m_ListView->PortLayout());
}

REGISTER_PAGE(TModulePortLimit2);
