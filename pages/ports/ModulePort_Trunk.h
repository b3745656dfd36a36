#pragma once

// "Port Trunk" of the first generation: each trunk group's type (static or
// 802.3ad LACP) and member ports, edited row by row and sent whole; a port
// ticked in two groups goes as it is, for the switch to take or refuse.

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
};
