#pragma once

// "LACP State Activity ": the LACP activity of every listed port that is a
// member of an LACP group, "Active" or "Passive" ("N/A" for the others);
// Apply sends each switch its own trunk table with the activity shown.

#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"
#include "pages/ports/PortTrunk.h"

class QPushButton;

class TModulePortTrunkActivity : public TModulePage {
    Q_OBJECT

public:
    // The state of a port in no LACP group.
    static constexpr std::uint32_t NotApplicable = 2;
    struct TRow {
        int number = 0;          // listed ports, from 1
        std::uint32_t port = 0;  // its index
        std::uint32_t state = 0; // 0 "Passive", 1 "Active", NotApplicable
        bool lacp = false;       // in an LACP group
    };

    explicit TModulePortTrunkActivity(QWidget* parent = nullptr);

    TTypedEditedList<TRow>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    std::vector<TTrunk2Row> m_Groups; // as read
};
