#pragma once

// "802.1x": 802.1X on or off, the RADIUS server and the protocol timers,
// sent whole with one Apply. The shared key shown is the current switch's;
// a key typed there goes to every target, otherwise each target is sent its
// own key as read (one not read is named as not changed), so no Apply
// changes a key nobody typed.

#include "intp/Dot1x.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TNumberBox;
class TIpEdit;

class TModuleSecurity8021x : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurity8021x(QWidget* parent = nullptr);

    QComboBox* m_Protocol = nullptr;
    QLabel* m_ServerTitle = nullptr;
    TIpEdit* m_ServerIp = nullptr;
    TNumberBox* m_ServerPort = nullptr;
    TNumberBox* m_AccountingPort = nullptr;
    QLineEdit* m_SharedKey = nullptr;
    QLineEdit* m_NasId = nullptr;
    QLabel* m_AdvancedTitle = nullptr;
    TNumberBox* m_Quiet = nullptr;
    TNumberBox* m_ReAuth = nullptr;
    TNumberBox* m_TX = nullptr;
    TNumberBox* m_Supplicant = nullptr;
    TNumberBox* m_ServerTimeout = nullptr;
    TNumberBox* m_MaxRequest = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;

private:
    TFieldBinding<Intp::TPropertySecurity8021x> m_Fields;
};
