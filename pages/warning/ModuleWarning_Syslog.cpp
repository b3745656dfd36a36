#include "pages/warning/ModuleWarning_Syslog.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/rules/PageRules.h"

#include <QComboBox>
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

// Whether the mode of that list index sends to a server.
static bool UsesServer(int mode) { return mode == 2 || mode == 3; }

void TModuleWarningSyslog::UpdateActions()
{
    const bool device = CurrentDevice() != nullptr;
    const bool server = UsesServer(m_Mode->currentIndex());
    TPageForm::SetFieldEnabled(m_Address, server && device);
    m_Apply->setEnabled(device && (!server || m_Address->IsHost()));
}

// A mode the page does not show is a target's own: with it, the address
// shown must be one its own page would take.
void TModuleWarningSyslog::EventOnApplyClick()
{
    SendFields<Intp::TSessionWarningSyslogSet>(*this, m_Fields, [this](const Intp::TPropertyWarningSyslog& r) {
        return UsesServer(int(r.mode)) && !IsHostIp(r.server)
                   ? QString("its own page takes no server address %1 in mode \"%2\"")
                         .arg(m_Address->text(), m_Mode->itemText(int(r.mode)))
                   : QString();
    });
}

REGISTER_PAGE(TModuleWarningSyslog);
