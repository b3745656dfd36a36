#include "pages/system/Moduleautoprovision.h"

#include "intp/SystemSettings.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"
#include "pages/rules/SystemRules.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

std::size_t FileWidth(std::string Intp::TPropertyBasicsAutoProvision::*file)
{
    return Intp::TPropertyBasicsAutoProvision::Fields.TextWidth(file);
}

}  // namespace

TModuleAutoProvision::TModuleAutoProvision(QWidget* parent)
    : TModulePage("Auto Provision", parent)
{
    using R = Intp::TPropertyBasicsAutoProvision;
    TPageForm form(this);
    // The check boxes need a current device; what they govern follows them.
    m_Config = form.Check("Auto Install &Configuration file from TFTP server?");
    form.NeedsDevice(false);
    m_ConfigIp = form.Ip("TFTP Server IP Address:");
    m_ConfigFile = MakeSwitchText(form.Text("Configuration File Name:"), FileWidth(&R::ConfigFile));
    form.NeedsDevice(true);
    m_Firmware = form.Check("Auto Install &Firmware image file from TFTP server?");
    form.NeedsDevice(false);
    m_FirmwareIp = form.Ip("TFTP Server IP Address:");
    m_FirmwareFile = MakeSwitchText(form.Text("Firmware File Name:"), FileWidth(&R::FirmwareFile));
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT");
    form.KeepAtTop();
    // The server fields take text of any length; only an address enables Apply.
    for (TIpEdit* edit : {m_ConfigIp, m_FirmwareIp})
        edit->setMaxLength(QLineEdit().maxLength());

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionBasicsAutoProvisionGet>();
    WatchChanges({m_ConfigIp, m_ConfigFile, m_FirmwareIp, m_FirmwareFile});
    connect(m_Config, &QCheckBox::clicked, this, [this] { EventOnConfigClick(); });
    connect(m_Firmware, &QCheckBox::clicked, this, [this] { EventOnFirmwareClick(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleAutoProvision::Fill(Intp::TDevice* device)
{
    const Intp::TPropertyBasicsAutoProvision empty;
    const auto& record = device ? Intp::Property<Intp::TPropertyBasicsAutoProvision>::Get(device) : empty;
    const bool valid = record.valid;
    m_Config->setChecked(valid && record.Config);
    m_Firmware->setChecked(valid && record.Firmware);
    if (valid) {
        m_ConfigIp->SetValue(record.ConfigIp);
        m_FirmwareIp->SetValue(record.FirmwareIp);
    } else {
        m_ConfigIp->clear();
        m_FirmwareIp->clear();
    }
    m_ConfigFile->setText(valid ? SwitchText(record.ConfigFile) : QString());
    m_FirmwareFile->setText(valid ? SwitchText(record.FirmwareFile) : QString());
    EventOnConfigClick();
    EventOnFirmwareClick();
    if (!valid)
        m_Apply->setEnabled(device != nullptr);
}

void TModuleAutoProvision::EventOnConfigClick()
{
    for (QWidget* field : {(QWidget*)m_ConfigIp, (QWidget*)m_ConfigFile})
        TPageForm::SetFieldEnabled(field, m_Config->isChecked());
    UpdateActions();
}

void TModuleAutoProvision::EventOnFirmwareClick()
{
    for (QWidget* field : {(QWidget*)m_FirmwareIp, (QWidget*)m_FirmwareFile})
        TPageForm::SetFieldEnabled(field, m_Firmware->isChecked());
    UpdateActions();
}

void TModuleAutoProvision::UpdateActions()
{
    m_Apply->setEnabled(
        IsProvisionHalfAcceptable(m_Config->isChecked(), m_ConfigIp->Value(), SwitchBytes(m_ConfigFile->text())) &&
        IsProvisionHalfAcceptable(m_Firmware->isChecked(), m_FirmwareIp->Value(), SwitchBytes(m_FirmwareFile->text())));
}

void TModuleAutoProvision::EventOnApplyClick()
{
    Intp::TPropertyBasicsAutoProvision record;
    record.Config = m_Config->isChecked();
    record.ConfigIp = m_ConfigIp->Value();
    record.ConfigFile = SwitchBytes(m_ConfigFile->text());
    record.Firmware = m_Firmware->isChecked();
    record.FirmwareIp = m_FirmwareIp->Value();
    record.FirmwareFile = SwitchBytes(m_FirmwareFile->text());
    SendPayload<Intp::TSessionBasicsAutoProvisionSet>(record);
}

REGISTER_PAGE(TModuleAutoProvision);
