#pragma once

// "MAC Address Table": the addresses the current switch learned on one
// chosen port, static or dynamic, with the count of each; Clear empties
// the switch's table.

#include "intp/Monitor.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

class QComboBox;
class QLabel;
class QPushButton;

class TModuleMonitorMac : public TModulePage {
    Q_OBJECT

public:
    struct TRow {
        int number = 0; // arrival order under the port, from 1
        QString mac;
        bool isStatic = false;
    };

    explicit TModuleMonitorMac(QWidget* parent = nullptr);

    QComboBox* m_Port = nullptr;
    TTypedReportList<TRow>* m_List = nullptr;
    QLabel* m_Dynamic = nullptr;
    QLabel* m_Static = nullptr;
    QPushButton* m_Clear = nullptr;

    void EventOnPortChange();

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;
};
