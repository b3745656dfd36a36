#pragma once

// "Event Settings": per system event and per port link change, whether the
// switch reports it by syslog and by e-mail.

#include "intp/Warning.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

#include <bitset>

class QPushButton;

class TModuleWarningEvent : public TModulePage {
    Q_OBJECT

public:
    // One line: the event number or port index, and its two choices.
    struct TEventRow {
        int index = 0;
        QString caption;
        int syslog = 0;
        int smtp = 0;
    };

    explicit TModuleWarningEvent(QWidget* parent = nullptr);

    // The system events listed (0..3); the page-tree builder sets all four.
    void SetSystemEvents(std::bitset<4> events) { m_SystemEvents = events; }

    TTypedEditedList<TEventRow>* m_SysList = nullptr;
    TTypedEditedList<TEventRow>* m_PortList = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    // Why target, of the other generation than the page's (second), can't
    // take the system events of masks; its own events are kept in masks.
    static QString OtherGenerationWhy(Intp::TDevice* target, bool second, Intp::TPropertyWarningEvent& masks);

    std::bitset<4> m_SystemEvents;
    TPortLayout m_Ports;  // the ports m_PortList lists
};
