#pragma once

// "Set Discovery Filter": the dialog that edits the discovery filter and
// serves it to the rest of the console.

#include "pages/kit/AddressText.h"
#include "console/FilterRules.h"
#include "console/RemoteList.h"

#include <QDialog>
#include <QSet>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeView;
class QWidget;

// "address/mask" in dotted text: a line of the local subnets, and the
// device tree's group of that subnet.
QString SubnetText(const TIpMask& pair);

class TFilterForm : public QDialog, public Filter::TFilterServer {
    Q_OBJECT

public:
    using TRouteLookup = std::function<bool(std::uint32_t address, TBestRoute& route)>;
    using TNameLookup = std::function<QString(std::uint32_t ifIndex)>;

    // Reads the PC's subnets once.
    explicit TFilterForm(QWidget* parent = nullptr);
    // With the given subnets in place of the PC's.
    TFilterForm(const TIpMaskVector& localSubnets, QWidget* parent = nullptr);

    Filter::TFilterSettings* GetSettings() override;
    bool Accept(std::uint32_t address) override;
    void GetTargets(TIpMaskList& targets) override;

    // Replaces the settings and refreshes the controls as showing does.
    void SetSettings(Filter::TFilterSettings settings);
    // Connection name of a network interface, "0" when unknown.
    QString getnetworkname(std::uint32_t ifIndex) const;

    // Route and interface-name queries of the remote list (tests replace them;
    // without a route lookup the system's routes are asked in one pass).
    void SetRouteLookup(TRouteLookup lookup) { m_RouteLookup = std::move(lookup); }
    void SetNameLookup(TNameLookup lookup) { m_NameLookup = std::move(lookup); }

    // Controls, for the main window's tests and ours.
    QRadioButton* SubnetRadio() const { return m_Subnet; }
    QRadioButton* GatewayRadio() const { return m_Gateway; }
    QRadioButton* CustomRadio() const { return m_Custom; }
    QComboBox* SubnetCombo() const { return m_SubnetCombo; }
    QLabel* GatewayLabel() const { return m_GatewayLabel; }
    QLineEdit* CustomIp() const { return m_CustomIp; }
    QLineEdit* CustomMask() const { return m_CustomMask; }
    QCheckBox* CustomRange() const { return m_CustomRange; }
    QLineEdit* CustomBegin() const { return m_CustomBegin; }
    QLineEdit* CustomEnd() const { return m_CustomEnd; }
    QLineEdit* RemoteIp() const { return m_RemoteIp; }
    QLineEdit* RemoteIpEnd() const { return m_RemoteIpEnd; }
    QPushButton* RemoteAddButton() const { return m_RemoteAdd; }
    QPushButton* RemoteAddRangeButton() const { return m_RemoteAddRange; }
    QTreeView* RemoteList() const { return m_RemoteList; }
    QPushButton* RemoteClearButton() const { return m_RemoteClear; }
    QPushButton* RemoteDeleteButton() const { return m_RemoteDelete; }
    QPushButton* RemoteButton() const { return m_Remote; }
    QPushButton* OkButton() const { return m_Ok; }

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void EventOnSubnetClick();
    void EventOnGatewayClick();
    void EventOnCustomClick();
    void EventOnSubnetComboChange(int index);
    void EventOnCustomTextChange();
    void EventOnCustomEditExit();
    void EventOnRemoteIpChange();
    void EventOnRemoteAddClick();
    void EventOnRemoteAddRangeClick();
    void EventOnRemoteClearClick();
    void EventOnRemoteDeleteClick();
    void EventOnRemoteSelectionChange();
    void EventOnRemoteHeaderClick(int column);
    void EventOnRemoteClick();
    void EventOnOkClick();

private:
    void CreateControls();
    void RefreshFromSettings();
    void EnableByMethod();
    void SetEditFromPair(const TIpMask& pair);
    void EvaluateCustom(QLineEdit* typing);
    void WriteCustomEdits(QLineEdit* except);
    // Appends a row per address not listed yet, in the given order.
    void AddRemoteAddresses(const std::vector<std::uint32_t>& addresses);
    std::uint32_t RemoteRangeEnd() const;
    void SetRemoteExpanded(bool expanded);
    void UpdateRemoteButtons();

    Filter::TFilterSettings m_Settings;
    Filter::TCustomValues m_Edit;
    TRouteLookup m_RouteLookup;
    TNameLookup m_NameLookup;
    QSet<std::uint32_t> m_RemoteAddresses;
    int m_SortColumn = 0;
    int m_SortDirection = 1;
    bool m_Sorted = false;
    bool m_RemoteExpanded = false;

    QRadioButton* m_Subnet = nullptr;
    QLabel* m_SubnetLabel = nullptr;
    QComboBox* m_SubnetCombo = nullptr;
    QRadioButton* m_Gateway = nullptr;
    QLabel* m_GatewayLabel = nullptr;
    QRadioButton* m_Custom = nullptr;
    QLabel* m_CustomIpLabel = nullptr;
    QLineEdit* m_CustomIp = nullptr;
    QLabel* m_CustomMaskLabel = nullptr;
    QLineEdit* m_CustomMask = nullptr;
    QCheckBox* m_CustomRange = nullptr;
    QLabel* m_CustomBeginLabel = nullptr;
    QLineEdit* m_CustomBegin = nullptr;
    QLabel* m_CustomEndLabel = nullptr;
    QLineEdit* m_CustomEnd = nullptr;
    QWidget* m_RemotePanel = nullptr;
    QLineEdit* m_RemoteIp = nullptr;
    QPushButton* m_RemoteAdd = nullptr;
    QLineEdit* m_RemoteIpEnd = nullptr;
    QPushButton* m_RemoteAddRange = nullptr;
    TRemoteListModel* m_RemoteRows = nullptr;
    QTreeView* m_RemoteList = nullptr;
    QPushButton* m_RemoteClear = nullptr;
    QPushButton* m_RemoteDelete = nullptr;
    QPushButton* m_Remote = nullptr;
    QPushButton* m_Cancel = nullptr;
    QPushButton* m_Ok = nullptr;
};
