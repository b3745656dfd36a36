#pragma once

// "Group IP Setting": new addresses for many switches in one pass, from DHCP
// or from an address range; one IP configuration Set per switch (sent to the
// limited broadcast address, the switch chosen by its MAC), each row showing
// its outcome.

#include "console/GroupWizard.h"
#include "console/GroupPlan.h"

#include <functional>

class QLabel;
class QRadioButton;
class QTimer;
class TIpEdit;

class TWizardGroupIpFrame : public TGroupWizardFrame, public TRunningWork {
    Q_OBJECT

public:
    // TRunningWork: changes whose outcome closing would lose.
    QString RunningWork() const override;
    QString ClosingLeaves() const override;

    // A request that heard nothing for longer than its reply timer (60 s)
    // has lost its device to a discovery, which reports no time-out.
    static constexpr int WatchdogMs = 65000;

    enum TPickColumn { kcModel, kcMac, kcIp };
    enum TPreviewColumn { pcModel, pcMac, pcOriginalIp, pcNewIp };
    // A row's image: none (not applied, or waiting for its reply), done, failed.
    enum TRowImage { riNone = -1, riDone = 0, riFailed = 1 };

    explicit TWizardGroupIpFrame(QWidget* parent = nullptr);

    QString GetCaption() const override;
    void OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status,
                       const void* context) override;

    // Empties the PC's ARP cache after each result (the switches' old
    // addresses are stale); tests count the calls instead.
    void SetArpFlush(std::function<void()> flush) { m_ArpFlush = std::move(flush); }
    QTimer* Watchdog() const { return m_Watchdog; }
    void EventOnWatchdogTimer();

    int RowCount() const { return int(m_Rows.size()); }
    int RowImage(int row) const;
    QString RowText(int row, int column) const;
    const Intp::TMacAddr& RowMac(int row) const { return m_Rows.at(std::size_t(row)).device.mac; }
    // The addresses of the range plan, by position; empty when the range can't serve.
    const std::vector<std::uint32_t>& Plan() const { return m_Plan; }
    std::uint32_t Gateway() const { return m_Gateway; }

    void EventOnModeClick();
    void EventOnDhcpServerChange();
    void EventOnRangeChange();
    void EventOnMoveClick(TRowMove move);

    QWidget* m_Step2SettingsPanel = nullptr;
    QRadioButton* m_Step2Dhcp = nullptr;
    QRadioButton* m_Step2Range = nullptr;
    QLabel* m_Step2DhcpServerLabel = nullptr;
    TIpEdit* m_Step2DhcpServer = nullptr;
    QLabel* m_Step2IpBeginLabel = nullptr;
    TIpEdit* m_Step2IpBegin = nullptr;
    QLabel* m_Step2IpEndLabel = nullptr;
    TIpEdit* m_Step2IpEnd = nullptr;
    QLabel* m_Step2NetmaskLabel = nullptr;
    TIpEdit* m_Step2Netmask = nullptr;
    QLabel* m_Step2GatewayLabel = nullptr;
    TIpEdit* m_Step2Gateway = nullptr;
    TUntypedReportList* m_Step2Preview = nullptr;
    QWidget* m_Step2MovePanel = nullptr;
    QPushButton* m_Step2MoveTop = nullptr;
    QPushButton* m_Step2MoveUp = nullptr;
    QPushButton* m_Step2MoveDown = nullptr;
    QPushButton* m_Step2MoveButtom = nullptr;

protected:
    TWizardDevices Step1Devices() override;
    void EnterStep2(const TWizardDevices& chosen) override;
    void Start() override;
    bool IsRunning() const override { return m_Running; }
    bool CanStart() const override;
    QString StartText() const override;
    QString WhyNoStart() const override;

private:
    struct TRow {
        TWizardDevice device;
        QString originalIp;
        bool waiting = false;
        int image = riNone;
    };

    bool IsDhcp() const;
    // Addresses that the plan must not hand out: other listed switches' and the gateway.
    std::vector<std::uint32_t> TakenAddresses() const;
    void ShowRow(int row);
    void ShowNewAddresses();
    void UpdateMoveButtons();
    void SetRunning(bool running);
    void EndRow(int row, int image);
    void RunEnded();

    std::vector<TRow> m_Rows;
    std::vector<std::uint32_t> m_Plan;
    std::uint32_t m_Gateway = 0;  // the gateway that goes with the plan
    bool m_Running = false;
    QTimer* m_Watchdog = nullptr;
    std::function<void()> m_ArpFlush;
};

// Flushes the ARP cache where the process may (CAP_NET_ADMIN); does nothing otherwise.
void FlushArpCacheIfAllowed();
