#pragma once

// "Syslog Settings": the switch's syslog mode and the server it sends to.

#include "intp/Warning.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPushButton;
class TIpEdit;

class TModuleWarningSyslog : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleWarningSyslog(QWidget* parent = nullptr);

    QComboBox* m_Mode = nullptr;
    TIpEdit* m_Address = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;

private:
    // A mode the list has no item for goes back as read.
    TFieldBinding<Intp::TPropertyWarningSyslog> m_Fields;
};
