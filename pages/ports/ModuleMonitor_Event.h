#pragma once

// "System Event Log": the current switch's event log as text, 100 entries
// per view page, latest first; Clear empties the switch's log.

#include "intp/Monitor.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;

class TModuleMonitorEvent : public TModulePage {
    Q_OBJECT

public:
    static constexpr int EntriesPerPage = 100;

    explicit TModuleMonitorEvent(QWidget* parent = nullptr);

    QComboBox* m_Pages = nullptr;
    QPlainTextEdit* m_Log = nullptr;
    QPushButton* m_Clear = nullptr;

    void EventOnPagesChange();

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;
};
