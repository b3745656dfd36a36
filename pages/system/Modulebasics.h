#pragma once

// The login page ("Basics"): logs the user in to, or out of, every selected
// switch and shows for each whether it is logged in. The page host sends a
// device that is not logged in here.

#include "pages/kit/ModulePage.h"

#include <QIcon>

class QLineEdit;
class QPushButton;
class TUntypedReportList;

class TModuleBasics : public TWizardModulePage {
    Q_OBJECT

public:
    // Images of the device rows.
    enum TLoginImage { liLoggedIn = 0, liLoggedOut = 1 };

    explicit TModuleBasics(QWidget* parent = nullptr);

    void OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status,
                       const void* context) override;

    // Row image of a device row: liLoggedIn, liLoggedOut, or -1 while its
    // request is under way (also -1 when the device has no row).
    int RowImage(const Intp::TDevice* device) const;

    QLineEdit* m_Username = nullptr;
    QLineEdit* m_Password = nullptr;
    QPushButton* m_Login = nullptr;
    QPushButton* m_Logout = nullptr;
    TUntypedReportList* m_Devices = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    // Login needs a user name (the password may be empty).
    void UpdateActions() override;

private:
    void EventOnLoginClick();
    void EventOnLogoutClick();
    void SendLogin(const std::uint8_t digest[16]);
    void SetRowImage(int row, bool loggedIn);

    QIcon m_Images[2];
};
