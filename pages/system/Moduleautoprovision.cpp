#include "pages/system/Moduleautoprovision.h"

#include "intp/SystemSettings.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/SystemRules.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TModuleAutoProvision::TModuleAutoProvision(QWidget* parent) : TModulePage("Auto Provision", parent)
{
    auto* grid = new QGridLayout;
    int row = 0;
    auto addHalf = [&](const char* check, const char* fileCaption, QCheckBox*& box, QLabel*& ipLabel, TIpEdit*& ip,
                       QLabel*& fileLabel, QLineEdit*& file) {
        box = new QCheckBox(check, this);
        grid->addWidget(box, row++, 0, 1, 2);
        ip = new TIpEdit(this);
        ipLabel = new QLabel("TFTP Server IP Address:", this);
        ipLabel->setBuddy(ip);
        grid->addWidget(ipLabel, row, 0);
        grid->addWidget(ip, row++, 1);
        file = new QLineEdit(this);
        fileLabel = new QLabel(fileCaption, this);
        fileLabel->setBuddy(file);
        grid->addWidget(fileLabel, row, 0);
        grid->addWidget(file, row++, 1);
    };
    addHalf("Auto Install &Configuration file from TFTP server?", "Configuration File Name:", m_Config,
            m_ConfigIpLabel, m_ConfigIp, m_ConfigFileLabel, m_ConfigFile);
    addHalf("Auto Install &Firmware image file from TFTP server?", "Firmware File Name:", m_Firmware,
            m_FirmwareIpLabel, m_FirmwareIp, m_FirmwareFileLabel, m_FirmwareFile);
    grid->setColumnStretch(1, 1);
    m_Apply = new QPushButton("&Apply", this);
    LoadGlyph(m_Apply, "RC_BITMAP_16X16_ACCEPT");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_Apply);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addStretch(1);

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionBasicsAutoProvisionGet>();
    AddInputs({m_Config, m_Firmware});
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
    m_ConfigFile->setText(valid ? QString::fromLatin1(record.ConfigFile) : QString());
    m_FirmwareFile->setText(valid ? QString::fromLatin1(record.FirmwareFile) : QString());
    EventOnConfigClick();
    EventOnFirmwareClick();
    if (!valid)
        m_Apply->setEnabled(device != nullptr);
}

void TModuleAutoProvision::EventOnConfigClick()
{
    SetEnabled({m_ConfigIpLabel, m_ConfigIp, m_ConfigFileLabel, m_ConfigFile}, m_Config->isChecked());
    UpdateActions();
}

void TModuleAutoProvision::EventOnFirmwareClick()
{
    SetEnabled({m_FirmwareIpLabel, m_FirmwareIp, m_FirmwareFileLabel, m_FirmwareFile}, m_Firmware->isChecked());
    UpdateActions();
}

void TModuleAutoProvision::UpdateActions()
{
    m_Apply->setEnabled(
        IsProvisionHalfAcceptable(m_Config->isChecked(), m_ConfigIp->Value(), m_ConfigFile->text().toStdString()) &&
        IsProvisionHalfAcceptable(m_Firmware->isChecked(), m_FirmwareIp->Value(), m_FirmwareFile->text().toStdString()));
}

void TModuleAutoProvision::EventOnApplyClick()
{
    Intp::TPropertyBasicsAutoProvision record;
    record.Config = m_Config->isChecked();
    record.ConfigIp = m_ConfigIp->Value();
    record.ConfigFile = m_ConfigFile->text().toLatin1().toStdString();
    record.Firmware = m_Firmware->isChecked();
    record.FirmwareIp = m_FirmwareIp->Value();
    record.FirmwareFile = m_FirmwareFile->text().toLatin1().toStdString();
    SendToSelectedDevices<Intp::TSessionBasicsAutoProvisionSet>(
        [&](Intp::TSessionBasicsAutoProvisionSet& request) { request.SetPayload(record); });
}

REGISTER_PAGE(TModuleAutoProvision);
