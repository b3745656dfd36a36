#pragma once

// "Switch Setting": the identity of the current switch; its name, location,
// contact and description are written to every selected switch.

#include "pages/kit/ModulePage.h"

#include <QUrl>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class TModuleBasicsSettings : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsSettings(QWidget* parent = nullptr);

    // Opens a URL, answering whether a browser took it (tests replace it;
    // none: the desktop's handler).
    std::function<bool(const QUrl&)> m_WebOpener;

    QLabel* m_Icon = nullptr;
    QLineEdit* m_Type = nullptr;
    QLineEdit* m_Name = nullptr;
    QLineEdit* m_Location = nullptr;
    QLineEdit* m_Contact = nullptr;
    QLineEdit* m_Desc = nullptr;
    QLabel* m_OID = nullptr;
    QLabel* m_MAC = nullptr;
    QLabel* m_FVer = nullptr;
    QLabel* m_KVer = nullptr;
    QLabel* m_HVer = nullptr;
    QPushButton* m_Web = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EventOnApplyClick();
    void EventOnWebClick();
};
