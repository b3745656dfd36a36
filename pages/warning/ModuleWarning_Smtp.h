#pragma once

// "SMTP Settings": how the switch sends its alarms by e-mail.

#include "intp/Warning.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TIpEdit;

class TModuleWarningSmtp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleWarningSmtp(QWidget* parent = nullptr);

    QComboBox* m_Mode = nullptr;
    TIpEdit* m_Address = nullptr;
    QLineEdit* m_Sender = nullptr;
    QLineEdit* m_Subject = nullptr;
    QLineEdit* m_Account = nullptr;
    QLineEdit* m_Password = nullptr;
    QLineEdit* m_Confirm = nullptr;
    QPlainTextEdit* m_Recipients = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;
    void OnLeave() override;

private:
    TFieldBinding<Intp::TPropertyWarningSmtp> m_Fields;
};
