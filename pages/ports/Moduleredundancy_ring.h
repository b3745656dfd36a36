#pragma once

// The ring redundancy page: ring on or off, ring master, the two ring ports,
// an optional coupling ring and optional dual homing. While the switch runs
// RSTP the page shows the ring off: the two exclude each other.

#include "intp/Redundancy.h"
#include "pages/kit/ModulePage.h"

class QCheckBox;
class QComboBox;
class QPushButton;

class TModuleRedundancyRing : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleRedundancyRing(QWidget* parent = nullptr);

    // The ring shows off while RSTP runs (the tree builder sets it).
    void SetExclusive(bool exclusive) { m_Exclusive = exclusive; }

    QCheckBox* m_LegacyMode = nullptr;
    QCheckBox* m_Master = nullptr;
    QComboBox* m_1stPort = nullptr;
    QComboBox* m_2ndPort = nullptr;
    QCheckBox* m_CoupleMode = nullptr;
    QComboBox* m_CouplingPort = nullptr;
    QComboBox* m_ControlPort = nullptr;
    QCheckBox* m_HomingMode = nullptr;
    QComboBox* m_HomingPort = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnLegacyClick();
    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    // The ring settings the page shows of device: off while RSTP excludes it.
    Intp::TRingSettings Shown(Intp::TDevice* device) const;

    bool m_Exclusive = false;
};
