#pragma once

// "Upgrade": loads one firmware image into every logged-in target switch.

#include "pages/system/UploadPage.h"

class TModuleBasicsUpgrade : public TUploadPage {
    Q_OBJECT

public:
    explicit TModuleBasicsUpgrade(QWidget* parent = nullptr);

    void EventOnUpgradeClick() { EventOnStartClick(); }

    QPushButton* m_Upgrade = nullptr;

protected:
    Intp::TSession* NewBuildin(const std::string& file, bool& opened) override;
    Intp::TSession* NewTftp(const Intp::TTftpParam& param) override;
};
