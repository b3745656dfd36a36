#pragma once

// "Admin Password", "Factory Default" and "Reboot": write-only pages that
// read nothing and act on every selected switch.

#include "pages/kit/ModulePage.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class TModuleBasicsPassword : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsPassword(QWidget* parent = nullptr);

    QLineEdit* m_Username = nullptr;
    QLineEdit* m_Password = nullptr;
    QLineEdit* m_Confirm = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;
    void OnLeave() override;

private:
    void EventOnApplyClick();
    void Forget();
};

class TModuleBasicsDefault : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsDefault(QWidget* parent = nullptr);

    QCheckBox* m_KeepNet = nullptr;
    QCheckBox* m_KeepAuth = nullptr;
    QCheckBox* m_Reboot = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnApplyClick();
};

class TModuleBasicsReboot : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsReboot(QWidget* parent = nullptr);

    QPushButton* m_Reboot = nullptr;

protected:
    void Fill(Intp::TDevice*) override {}
};
