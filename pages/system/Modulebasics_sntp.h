#pragma once

// "Time (SNTP)": the switch's SNTP client and daylight-saving period, and
// its clock running live.

#include "pages/kit/ModulePage.h"

#include <cstdint>
#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class TNumberBox;
class QTimeEdit;
class QTimer;
class TIpEdit;

class TModuleBasicsSntp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsSntp(QWidget* parent = nullptr);

    // The host's clock, seconds since 1970 UTC (tests replace it).
    std::function<int64_t()> m_Now;

    QComboBox* m_Sntp = nullptr;
    QComboBox* m_Timezone = nullptr;
    TIpEdit* m_Address = nullptr;
    QLabel* m_Current = nullptr;
    QComboBox* m_Daylight = nullptr;
    QDateEdit* m_BeginDate = nullptr;
    QTimeEdit* m_BeginTime = nullptr;
    QDateEdit* m_EndDate = nullptr;
    QTimeEdit* m_EndTime = nullptr;
    TNumberBox* m_Offset = nullptr;
    QPushButton* m_Apply = nullptr;
    QTimer* m_Timer = nullptr;

    void EventOnTimerTimer();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnSntpChange();
    void EventOnDlsChange();
    void EventOnAddressChange();
    void EventOnApplyClick();
    void ApplyRule();
    void ShowPeriod(QDateEdit* date, QTimeEdit* time, int64_t seconds);
    uint32_t PeriodSeconds(const QDateEdit* date, const QTimeEdit* time) const;
    bool PeriodFits(const QDateEdit* date, const QTimeEdit* time) const;

    QLabel* m_BasicTitle = nullptr;
    QLabel* m_DaylightTitle = nullptr;
    QWidget* m_Begin = nullptr; // date and time of the period's begin
    QWidget* m_End = nullptr;
    QWidget* m_OffsetField = nullptr;

    uint32_t m_Server = 0;
    int64_t m_ClockOffset = 0;
    int64_t m_Instants[2] = {0, 0};
    int64_t m_LastTick = 0;
};
