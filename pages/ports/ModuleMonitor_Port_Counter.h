#pragma once

// "Port Counters": 28 traffic counters of every listed port of the current
// switch, in two halves read with two requests; Clear resets the counters
// of the selected port.

#include "intp/Monitor.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

#include <array>

class QPushButton;

class TModuleMonitorPortCounter : public TModulePage {
    Q_OBJECT

public:
    static constexpr int CounterCount = 28;
    struct TRow {
        int number = 0;         // listed ports, from 1
        std::uint32_t port = 0; // its index
        std::array<std::uint32_t, CounterCount> counters{};
    };

    explicit TModuleMonitorPortCounter(QWidget* parent = nullptr);

    TTypedReportList<TRow>* m_List = nullptr;
    QPushButton* m_Clear = nullptr;

    void EventOnClearClick();

protected:
    void Fill(Intp::TDevice* device) override;
};
