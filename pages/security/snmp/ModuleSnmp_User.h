#pragma once

// "SNMPv3 User": the switch's SNMPv3 users and whether each has an
// authentication and a privacy password. The passwords are typed to add or
// delete a user and go to the switch only: they are never read back or
// written to a file; the edits keep their texts until a user is selected.

#include "intp/Snmp.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/UntypedReportList.h"

class QLineEdit;
class QPushButton;

class TModuleSnmpUser : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSnmpUser(QWidget* parent = nullptr);

    TUntypedReportList* m_List = nullptr;
    QLineEdit* m_Username = nullptr;
    QLineEdit* m_Auth = nullptr;
    QLineEdit* m_Privacy = nullptr;
    QPushButton* m_Delete = nullptr;
    QPushButton* m_Add = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;
    void UpdateActions() override;

private:
    // What the page's check says of the form against those users (Add or
    // Delete); empty when it passes.
    QString Refusal(const std::vector<Intp::TPropertySnmpUserEntry>& users, bool add) const;
    // Add or Delete of the form's user on each target.
    void Send(bool add);

    std::vector<Intp::TPropertySnmpUserEntry> m_Users; // one per row
};
