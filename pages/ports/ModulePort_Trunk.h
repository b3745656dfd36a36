#pragma once

// "Port Trunk" of the first generation: each trunk group's type (static or
// 802.3ad LACP) and member ports, edited row by row and sent whole. A port
// joins one group at a time.

#include "intp/Ports.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

class QPushButton;

class TModulePortTrunk : public TModulePage {
    Q_OBJECT

public:
    struct TRow {
        std::uint32_t group = 0; // from 0
        std::uint32_t lacp = 0;  // 0 "Static", 1 "802.3ad LACP"
        std::uint32_t members = 0;
    };

    explicit TModulePortTrunk(QWidget* parent = nullptr);

    TTypedEditedList<TRow>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
    bool AcceptNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;

private:
    // The groups as last sent, and as kept for the next fill when the switch
    // on show refused them (the administrator's edits are not lost).
    std::vector<TRow> m_Sent, m_Refused;
    Intp::TMacAddr m_RefusedBy;
};
