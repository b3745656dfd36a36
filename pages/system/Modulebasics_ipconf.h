#pragma once

// "IP Configuration": plans new IP settings for every selected switch at
// once (DHCP, one fixed address, or addresses handed out from a range) and
// sends them all with Apply. The tree groups the switches by their current
// address; it is a view over plain node vectors, so a refill or a plan for
// tens of thousands of switches stays a loop over structs.

#include "pages/kit/ModulePage.h"
#include "pages/rules/SystemRules.h"

#include <QModelIndex>

#include <cstdint>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QAction;
class QPushButton;
class QTimer;
class QTreeView;
class TIpConfModel;
class TIpEdit;

class TModuleBasicsIPConf : public TModulePage {
    Q_OBJECT

public:
    // Tree images by index.
    enum TNodeImage {
        niGroup = 0,     // an address group
        niPlanned = 1,   // planned settings
        niNoAddress = 2, // the range had no address left
        niInUse = 3,     // planned address already used by a known device
        niCurrent = 4,   // current settings, nothing planned
    };
    enum TMethod { mtDhcp = 0, mtRange = 1, mtManual = 2 };

    explicit TModuleBasicsIPConf(QWidget* parent = nullptr);

    // Removes addresses from the PC's ARP cache (tests replace it).
    std::function<void(const std::vector<uint32_t>&)> m_ArpFlusher;

    // The switch node of a device (invalid when it has none) and its image
    // (-1 for none); the node's text is its display data.
    QModelIndex NodeOf(const Intp::TDevice* device) const;
    static int NodeImage(const QModelIndex& node);

    QLabel* m_NumDevices = nullptr;
    QTreeView* m_Tree = nullptr;
    QWidget* m_BottomPanel = nullptr;
    QComboBox* m_Method = nullptr;
    QCheckBox* m_Dhcp = nullptr;
    TIpEdit* m_Address = nullptr;
    TIpEdit* m_Address2 = nullptr;
    TIpEdit* m_Mask = nullptr;
    TIpEdit* m_Gateway = nullptr;
    TIpEdit* m_Dns1 = nullptr;
    TIpEdit* m_Dns2 = nullptr;
    QPushButton* m_Set = nullptr;
    QPushButton* m_Filter = nullptr;
    QPushButton* m_Apply = nullptr;
    QMenu* m_PopupMenu = nullptr;
    QAction* m_PM1Discard = nullptr;
    QTimer* Timer1 = nullptr;

    void EventOnSetClick();
    void EventOnFilterClick();
    void EventOnApplyClick();
    void EventOnPM1DiscardClick();
    void Timer1Timer();

protected:
    void Fill(Intp::TDevice* device) override;
    bool AcceptNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;
    void OnLeave() override;

private:
    enum TLayout { lyDhcp, lyRange, lyManual, lyNone };

    void EventOnMethodChange();
    void EventOnDhcpClick();
    void EventOnTreeChange();
    void EventOnPopupMenuPopup(const QPoint& position);
    void ApplyLayout(TLayout layout);
    void ManualRule();
    // The Manual rule's filling: the fields show the node's record.
    void FillFields(int node);
    void RebuildTree(const TDeviceList& selected);
    void UpdateApply();
    // The current switch node's number, -1 for none.
    int SelectedSwitch() const;

    QLabel *m_Label1 = nullptr, *m_Label2 = nullptr, *m_Label3 = nullptr, *m_Label4 = nullptr;
    QLabel *m_Label5 = nullptr, *m_Label6 = nullptr, *m_Label7 = nullptr, *m_Label8 = nullptr;
    TIpConfModel* m_Model = nullptr;
    TRefillThrottle m_Throttle;
    bool m_Rebuilding = false;
};
