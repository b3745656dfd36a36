#pragma once

// "Auto Provision": whether the switch fetches a configuration file and a
// firmware image from TFTP servers by itself when it starts.

#include "pages/kit/ModulePage.h"


class QCheckBox;
class QLineEdit;
class QPushButton;
class TIpEdit;

class TModuleAutoProvision : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleAutoProvision(QWidget* parent = nullptr);

    QCheckBox* m_Config = nullptr;
    TIpEdit* m_ConfigIp = nullptr;
    QLineEdit* m_ConfigFile = nullptr;
    QCheckBox* m_Firmware = nullptr;
    TIpEdit* m_FirmwareIp = nullptr;
    QLineEdit* m_FirmwareFile = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;

private:
    void EventOnConfigClick();
    void EventOnFirmwareClick();
    void EventOnApplyClick();

};
