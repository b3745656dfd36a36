#include "pages/ports/multicast/ModuleIgmp.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QComboBox>
#include <QPushButton>

using namespace Intp;

namespace {

const QStringList OnOff = {"Disable", "Enable"};
const QStringList QueryModes = {"Disable", "Enable", "Auto"};

// The fields both generations share.
template <class R> void SnoopingFields(TPageForm& form, TFieldBinding<R>& fields, QComboBox*& snooping, QComboBox*& mode)
{
    snooping = fields.Choice(form.Choice("&Snooping:", OnOff), &R::enabled);
    mode = fields.Choice(form.Choice("&Query Mode:", QueryModes), &R::queryMode);
}

} // namespace

TModuleIgmp::TModuleIgmp(QWidget* parent) : TModulePage("IGMP Snooping", parent)
{
    TPageForm form(this);
    SnoopingFields(form, m_Fields, m_Snooping, m_QueryMode);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    AddRead<TSessionIgmpGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { SendFields<TSessionIgmpSet>(*this, m_Fields); });
}

void TModuleIgmp::Fill(TDevice* device) { m_Fields.Fill(ValidRecord<TPropertyIgmp>(device)); }

TModuleIgmp2::TModuleIgmp2(QWidget* parent) : TModulePage("IGMP Snooping", parent)
{
    using R = TPropertyIgmp2;
    TPageForm form(this);
    SnoopingFields(form, m_Fields, m_Snooping, m_QueryMode);
    m_QueryCount = m_Fields.Choice(form.Choice("Last Member Query Count:", {"1", "2"}), &R::lastMemberQueryCount, 1);
    m_QueryInterval = m_Fields.Number(form.Number("Last Member Query Interval:", 0, 255, "tenths of a second"),
                                      &R::lastMemberQueryInterval);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    AddRead<TSessionIgmp2Get>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { SendFields<TSessionIgmp2Set>(*this, m_Fields); });
}

void TModuleIgmp2::Fill(TDevice* device) { m_Fields.Fill(ValidRecord<TPropertyIgmp2>(device)); }

REGISTER_PAGE(TModuleIgmp);
REGISTER_PAGE(TModuleIgmp2);
