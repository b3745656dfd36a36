#pragma once

// "Restore": loads one configuration image into every logged-in target switch.

#include "pages/system/UploadPage.h"

class TModuleBasicsRestore : public TUploadPageOf<Intp::TSessionBasicsRestoreBuildin, Intp::TSessionBasicsRestoreTftp> {
    Q_OBJECT

public:
    explicit TModuleBasicsRestore(QWidget* parent = nullptr);

    void EventOnRestoreClick() { EventOnStartClick(); }

    QPushButton* m_Restore = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_Label2 = nullptr;
};
