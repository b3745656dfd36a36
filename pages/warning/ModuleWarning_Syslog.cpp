#include "pages/warning/ModuleWarning_Syslog.h"

#include "intp/Warning.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"

#include <QComboBox>
#include <QPushButton>

TModuleWarningSyslog::TModuleWarningSyslog(QWidget* parent)
    : TModulePage("Syslog Settings", parent), m_Form(std::make_unique<TPageForm>(this))
{
    m_Mode = m_Form->Choice("&Mode:", {"Disable", "Client Only", "Server Only", "Both"});
    // The address and Apply follow the rules below, not only the device.
    m_Form->NeedsDevice(false);
    m_Address = m_Form->Ip("Server IP &Address:");
    m_Address->SetRewriteOnExit(true);
    m_Apply = m_Form->Button("&Apply", nullptr, true);

    AddRead<Intp::TSessionWarningSyslogGet>();
    connect(m_Mode, &QComboBox::currentIndexChanged, this, [this] { EventOnModeChange(); });
    connect(m_Address, &QLineEdit::textChanged, this, [this] { EventOnAddressChange(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

TModuleWarningSyslog::~TModuleWarningSyslog() = default;

void TModuleWarningSyslog::Fill(Intp::TDevice* device)
{
    const auto* record = device ? &Intp::Property<Intp::TPropertyWarningSyslog>::Get(device) : nullptr;
    const bool valid = record && record->valid;
    m_UnlistedMode = valid ? record->mode : 0;
    // A mode without an item shows none (and is never sent as -1).
    m_Mode->setCurrentIndex(valid && int(record->mode) < m_Mode->count() ? int(record->mode) : valid ? -1 : 0);
    m_Address->SetValue(valid ? record->server : 0);
    EventOnModeChange();
    if (!device)
        m_Apply->setEnabled(false);
}

void TModuleWarningSyslog::EventOnModeChange()
{
    const bool server = m_Mode->currentIndex() > 1;
    m_Form->SetFieldEnabled(m_Address, server && CurrentDevice());
    if (server)
        EventOnAddressChange();
    else
        m_Apply->setEnabled(true);
}

void TModuleWarningSyslog::EventOnAddressChange()
{
    m_ServerAddress = m_Address->Value();
    m_Apply->setEnabled(IsHostIp(m_ServerAddress));
}

void TModuleWarningSyslog::EventOnApplyClick()
{
    Intp::TPropertyWarningSyslog settings;
    const int index = m_Mode->currentIndex();
    settings.mode = index >= 0 ? std::uint32_t(index) : m_UnlistedMode;
    settings.server = m_ServerAddress;
    SendToSelectedDevices<Intp::TSessionWarningSyslogSet>(
        [&settings](Intp::TSessionWarningSyslogSet& request) { request.SetPayload(settings); });
}

REGISTER_PAGE(TModuleWarningSyslog);
