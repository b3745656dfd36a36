#pragma once

// "IP Security": management of the selected switches only from a list of
// secure addresses, for the services chosen. The list is edited here and
// sent whole with Apply; it never holds more addresses than the switch's
// model has places for.

#include "intp/IpSecurity.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QListWidget;
class QPushButton;
class TIpEdit;
class TPortCheckList;

class TModuleSecurityIP : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurityIP(QWidget* parent = nullptr);

    QComboBox* m_Mode = nullptr;
    TPortCheckList* m_Management = nullptr;
    QListWidget* m_SecureIPs = nullptr;
    TIpEdit* m_Address = nullptr;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Delete = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnListClick();
    void EventOnAddClick();
    void EventOnDeleteClick();
    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;
    void OnLeave() override;

private:
    // The listed line of the typed address, or -1.
    int LineOfAddress() const;
    // Places for secure addresses on the current switch's model.
    int Capacity() const;

    TFieldBinding<Intp::TPropertySecurityIp> m_Fields;
};
