#include "pages/warning/ModuleWarning_Syslog.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

TModuleWarningSyslog::TModuleWarningSyslog(QWidget* parent) : TModulePage("Syslog Settings", parent)
{
    using R = Intp::TPropertyWarningSyslog;
    TPageForm form(this);
    m_Mode = m_Fields.Choice(form.Choice("&Mode:", {"Disable", "Client Only", "Server Only", "Both"}), &R::mode);
    // The address and Apply follow the rules below, not only the device.
    form.NeedsDevice(false);
    m_Address = m_Fields.Ip(form.Ip("Server IP &Address:"), &R::server);
    m_Address->SetRewriteOnExit(true);
    m_Apply = form.Button("&Apply", nullptr, true);

    AddRead<Intp::TSessionWarningSyslogGet>();
    WatchChanges({m_Mode, m_Address});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleWarningSyslog::Fill(Intp::TDevice* device)
{
    m_Fields.Fill(ValidRecord<Intp::TPropertyWarningSyslog>(device));
    UpdateActions();
}

void TModuleWarningSyslog::UpdateActions()
{
    const bool device = CurrentDevice() != nullptr;
    const bool server = m_Mode->currentIndex() > 1;
    TPageForm::SetFieldEnabled(m_Address, server && device);
    m_Apply->setEnabled(device && (!server || m_Address->IsHost()));
}

void TModuleWarningSyslog::EventOnApplyClick() { SendFields<Intp::TSessionWarningSyslogSet>(*this, m_Fields); }

REGISTER_PAGE(TModuleWarningSyslog);
