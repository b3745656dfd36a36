#pragma once

// "Scan Devices ...": finds switches on one adapter's segment with a raw
// Ethernet broadcast, below the IP layer, and lists every reply. It only
// lists: no device is created and nothing else is sent.

#include "console/ScanThread.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

class TScanForm : public QDialog {
    Q_OBJECT

public:
    using TAdapterSource = std::function<std::vector<TScanAdapter>()>;

    explicit TScanForm(QWidget* parent = nullptr);
    ~TScanForm() override;

    // Appends a row for an accepted reply.
    void AddScanReply(const Intp::TScanFrame& reply);

    // The error box text of a failed start; empty for srStarted.
    static QString StartErrorText(int result, const QString& adapter, const QString& detail, bool permission);

    // The adapter list read at showing (tests replace libpcap's).
    void SetAdapterSource(TAdapterSource source) { m_AdapterSource = std::move(source); }
    TWinpcapThread* Thread() const { return m_Thread.get(); }

    QComboBox* Interfaces() const { return m_Interfaces; }
    QLabel* IpAddress() const { return m_IpAddress; }
    QCheckBox* Promiscuous() const { return m_Promiscuous; }
    QTreeWidget* ListView() const { return m_ListView; }
    QPushButton* ScanButton() const { return m_Scan; }
    // Says why a capture ended before the dialog closed; empty while it runs.
    QLabel* CaptureState() const { return m_State; }

public slots:
    void EventOnInterfacesChange(int index);
    void EventOnScanClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Deliver(const Intp::TScanFrame& reply, unsigned generation);
    void CaptureEnded(unsigned generation, const QString& reason);

    TAdapterSource m_AdapterSource;
    std::vector<TScanAdapter> m_Adapters;
    int m_Selected = -1;
    unsigned m_Generation = 0;  // replies of other generations are stale
    std::unique_ptr<TWinpcapThread> m_Thread;

    QComboBox* m_Interfaces = nullptr;
    QLabel* m_IpLabel = nullptr;
    QLabel* m_IpAddress = nullptr;
    QCheckBox* m_Promiscuous = nullptr;
    QTreeWidget* m_ListView = nullptr;
    QLabel* m_State = nullptr;
    QString m_AdapterName;  // of the running capture
    QPushButton* m_Scan = nullptr;
    QPushButton* m_Close = nullptr;
};
