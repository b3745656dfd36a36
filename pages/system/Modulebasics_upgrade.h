#pragma once

// "Upgrade": loads one firmware image into every logged-in target switch.

#include "pages/system/UploadPage.h"

class TModuleBasicsUpgrade : public TUploadPageOf<Intp::TSessionBasicsUpgradeBuildin, Intp::TSessionBasicsUpgradeTftp> {
    Q_OBJECT

public:
    explicit TModuleBasicsUpgrade(QWidget* parent = nullptr);

    void EventOnUpgradeClick() { EventOnStartClick(); }

    QPushButton* m_Upgrade = nullptr;
};
