#pragma once

// "SMTP Settings": how the switch sends its alarms by e-mail.

#include "pages/kit/ModulePage.h"

#include <cstdint>
#include <memory>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TIpEdit;
class TPageForm;

class TModuleWarningSmtp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleWarningSmtp(QWidget* parent = nullptr);
    ~TModuleWarningSmtp() override;

    QComboBox* m_Mode = nullptr;
    TIpEdit* m_Address = nullptr;
    QLineEdit* m_Sender = nullptr;
    QLineEdit* m_Subject = nullptr;
    QLineEdit* m_Account = nullptr;
    QLineEdit* m_Password = nullptr;
    QLineEdit* m_Confirm = nullptr;
    QPlainTextEdit* m_Recipients = nullptr;
    QPushButton* m_Apply = nullptr;
    std::uint32_t m_ServerAddress = 0;
    int m_RecipientNum = 0;

    void EventOnModeChange();
    void EventOnAccountChange();
    void EventOnAddressChange();
    void EventOnSenderChange();
    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    QStringList RecipientLines() const;

    std::unique_ptr<TPageForm> m_Form;
};
