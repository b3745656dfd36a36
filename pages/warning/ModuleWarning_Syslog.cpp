#include "pages/warning/ModuleWarning_Syslog.h"

#include "intp/Warning.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"

#include <QComboBox>
#include <QPushButton>

TModuleWarningSyslog::TModuleWarningSyslog(QWidget* parent) : TModulePage("Syslog Settings", parent)
{
    TPageForm form(this);
    m_Mode = form.Choice("&Mode:", {"Disable", "Client Only", "Server Only", "Both"});
    // The address and Apply follow the rules below, not only the device.
    form.NeedsDevice(false);
    m_Address = form.Ip("Server IP &Address:");
    m_Address->SetRewriteOnExit(true);
    m_Apply = form.Button("&Apply", nullptr, true);

    AddRead<Intp::TSessionWarningSyslogGet>();
    WatchChanges({m_Mode, m_Address});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleWarningSyslog::Fill(Intp::TDevice* device)
{
    const auto& record = ValidRecord<Intp::TPropertyWarningSyslog>(device);
    m_UnlistedMode = record.mode;
    // A mode without an item shows none (and is never sent as -1).
    m_Mode->setCurrentIndex(int(record.mode) < m_Mode->count() ? int(record.mode) : -1);
    m_Address->SetValue(record.server);
    UpdateActions();
}

void TModuleWarningSyslog::UpdateActions()
{
    const bool device = CurrentDevice() != nullptr;
    const bool server = m_Mode->currentIndex() > 1;
    TPageForm::SetFieldEnabled(m_Address, server && device);
    m_Apply->setEnabled(device && (!server || m_Address->IsHost()));
}

void TModuleWarningSyslog::EventOnApplyClick()
{
    Intp::TPropertyWarningSyslog settings;
    const int index = m_Mode->currentIndex();
    settings.mode = index >= 0 ? std::uint32_t(index) : m_UnlistedMode;
    settings.server = m_Address->Value();
    SendPayload<Intp::TSessionWarningSyslogSet>(settings);
}

REGISTER_PAGE(TModuleWarningSyslog);
