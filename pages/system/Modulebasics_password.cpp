#include "pages/system/Modulebasics_password.h"

#include "intp/Maintenance.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"
#include "pages/rules/SystemRules.h"

#include <QCheckBox>

#include <algorithm>
#include <QLineEdit>
#include <QPushButton>

// ---------------------------------------------------------------------------
// Admin Password

TModuleBasicsPassword::TModuleBasicsPassword(QWidget* parent) : TModulePage("Admin Password", parent)
{
    TPageForm form(this);
    m_Username = form.Text("New &Username:");
    m_Password = form.Password("New &Password:", 0);
    m_Confirm = form.Password("&Confirm Password:", 0);
    for (QLineEdit* edit : {m_Username, m_Password, m_Confirm})
        MakeSwitchText(edit, Intp::TSessionBasicsPassword::FieldWidth);
    for (QLineEdit* secret : {m_Password, m_Confirm}) // never offered to input methods
        secret->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    form.NeedsDevice(false); // Apply follows the rule below
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();

    SetHideWhileRefilling(false);
    WatchChanges({m_Username, m_Password, m_Confirm});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleBasicsPassword::Fill(Intp::TDevice* device)
{
    Forget();
    if (device)
        UpdateActions();
    else
        m_Apply->setEnabled(false);
}

void TModuleBasicsPassword::UpdateActions()
{
    m_Apply->setEnabled(CurrentDevice() &&
                        IsPasswordAcceptable(SwitchBytes(m_Username->text()), SwitchBytes(m_Password->text()),
                                             SwitchBytes(m_Confirm->text())));
}

void TModuleBasicsPassword::EventOnApplyClick()
{
    const std::string user = SwitchBytes(m_Username->text());
    std::string password = SwitchBytes(m_Password->text());
    SendToSelectedDevices<Intp::TSessionBasicsPassword>(
        [&](Intp::TSessionBasicsPassword& request) { request.SetPayload(user, password); });
    std::fill(password.begin(), password.end(), '\0');
}

void TModuleBasicsPassword::OnLeave() { Forget(); }

void TModuleBasicsPassword::Forget()
{
    // The typed password lives only in the edits, and only while the page is on show.
    for (QLineEdit* edit : {m_Username, m_Password, m_Confirm})
        edit->clear();
}

// ---------------------------------------------------------------------------
// Factory Default

TModuleBasicsDefault::TModuleBasicsDefault(QWidget* parent) : TModulePage("Factory Default", parent)
{
    TPageForm form(this);
    m_KeepNet = form.Check("Keep Current IP &Address Settings");
    m_KeepAuth = form.Check("Keep Current &Username and Password");
    m_Reboot = form.Check("&Reboot");
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();

    SetHideWhileRefilling(false);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleBasicsDefault::Fill(Intp::TDevice*)
{
    m_KeepNet->setChecked(true);
    m_KeepAuth->setChecked(true);
    m_Reboot->setChecked(false);
}

void TModuleBasicsDefault::EventOnApplyClick()
{
    const uint32_t mask = (m_KeepNet->isChecked() ? uint32_t(Intp::dkNetwork) : 0u) |
                          (m_KeepAuth->isChecked() ? uint32_t(Intp::dkAccount) : 0u);
    const bool reboot = m_Reboot->isChecked();
    SendToSelectedDevices<Intp::TSessionBasicsDefault>([&](Intp::TSessionBasicsDefault& request) {
        request.SetKeepMask(mask);
        request.SetReboot(reboot);
    });
}

// ---------------------------------------------------------------------------
// Reboot

TModuleBasicsReboot::TModuleBasicsReboot(QWidget* parent) : TModulePage("Reboot", parent)
{
    TPageForm form(this);
    m_Reboot = form.Button("&Reboot", "RC_BITMAP_16X16_REBOOT", true);
    form.KeepAtTop();
    SetHideWhileRefilling(false);
    connect(m_Reboot, &QPushButton::clicked, this, [] { RebootSelectedDevices(nullptr); });
}

REGISTER_PAGE(TModuleBasicsPassword);
REGISTER_PAGE(TModuleBasicsDefault);
REGISTER_PAGE(TModuleBasicsReboot);
