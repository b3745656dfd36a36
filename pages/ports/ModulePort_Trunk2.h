#pragma once

// "Port Trunk" of the second generation: each trunk group's LACP switch,
// work ports and member ports; a tick sets every group's work ports to its
// member count. Apply sends the whole table, every port of an LACP group
// active.

#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"
#include "pages/ports/PortTrunk.h"

class QPushButton;

class TModulePortTrunk2 : public TModulePage {
    Q_OBJECT

public:
    explicit TModulePortTrunk2(QWidget* parent = nullptr);

    TTypedEditedList<TTrunk2Row>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnMemberClick();

    int m_LacpColumn = -1, m_WorkColumn = -1, m_MemberColumn = -1;
    std::uint32_t m_MemberLimit = 0;
};
