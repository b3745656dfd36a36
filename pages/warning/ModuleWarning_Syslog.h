#pragma once

// "Syslog Settings": the switch's syslog mode and the server it sends to.

#include "pages/kit/ModulePage.h"

#include <cstdint>

class QComboBox;
class QPushButton;
class TIpEdit;
class TPageForm;

class TModuleWarningSyslog : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleWarningSyslog(QWidget* parent = nullptr);
    ~TModuleWarningSyslog() override;

    QComboBox* m_Mode = nullptr;
    TIpEdit* m_Address = nullptr;
    QPushButton* m_Apply = nullptr;
    std::uint32_t m_ServerAddress = 0;

    void EventOnModeChange();
    void EventOnAddressChange();
    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    std::unique_ptr<TPageForm> m_Form;
    // A mode the list has no item for, as read; sent back unchanged until
    // the user picks one.
    std::uint32_t m_UnlistedMode = 0;
};
