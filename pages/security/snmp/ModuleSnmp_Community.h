#pragma once

// "Community": the switch's SNMPv1/v2c community strings, one row per
// community slot of its model, each read only or read and write; the whole
// table is written at once.

#include "intp/Snmp.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

#include <cstdint>
#include <string>

class QPushButton;

struct TSnmpCommunityRow {
    int slot = 0;  // from 0
    std::string community;
    std::uint32_t access = Intp::saReadOnly;
};

class TModuleSnmpCommunity : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSnmpCommunity(QWidget* parent = nullptr);

    TTypedEditedList<TSnmpCommunityRow>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnApplyClick();
};
