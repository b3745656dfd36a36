#pragma once

// What the two group wizards share: the page with its title, logo, three
// steps and the Prev and Next buttons, and step 1's two device lists with
// their move buttons.

#include "pages/kit/PageInterface.h"
#include "intp/Device.h"
#include "intp/Session.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QStackedWidget;
class TUntypedReportList;

// One switch of the wizards' lists.
struct TWizardDevice {
    Intp::TMacAddr mac;
    std::uint32_t model = 0;
    QStringList cells;  // one text per column
};
using TWizardDevices = std::vector<TWizardDevice>;

// Step 1: the switches to choose from (left) and the chosen ones (right).
class TDevicePicker : public QWidget {
    Q_OBJECT

public:
    // Asked before rows move to the right; false keeps them where they are.
    using TSelectCheck = std::function<bool(const TWizardDevices& selected, const TWizardDevices& moving)>;

    TDevicePicker(const QStringList& columns, QWidget* parent = nullptr);

    // Fills the left list; the right one is emptied.
    void SetDevices(TWizardDevices devices);
    const TWizardDevices& ToSelect() const { return m_Left; }
    const TWizardDevices& Selected() const { return m_Right; }
    // A cell of the chosen switch of that MAC.
    void SetSelectedCell(const Intp::TMacAddr& mac, int column, const QString& text);
    void SetSelectCheck(TSelectCheck check) { m_Check = std::move(check); }

    void EventOnSelectClick();
    void EventOnSelectAllClick();
    void EventOnUnselectClick();
    void EventOnUnselectAllClick();

    TUntypedReportList* m_Step1ToSelect = nullptr;
    TUntypedReportList* m_Step1Selected = nullptr;
    QPushButton* m_Step1Select = nullptr;
    QPushButton* m_Step1SelectAll = nullptr;
    QPushButton* m_Step1Unselect = nullptr;
    QPushButton* m_Step1UnselectAll = nullptr;

signals:
    void SelectedChanged();

private:
    void Move(bool toRight);
    static void ShowRows(TUntypedReportList* view, const TWizardDevices& rows);
    static std::vector<int> SelectedRows(const TUntypedReportList* view);
    void UpdateButtons();

    TWizardDevices m_Left;
    TWizardDevices m_Right;
    TSelectCheck m_Check;
};

// The wizard page. Step 0 introduces, step 1 picks the switches, step 2 is
// the wizard's own (settings, preview, start); Prev goes back one step.
class TGroupWizardFrame : public QWidget, public Intp::TWizard, public TModule {
    Q_OBJECT

public:
    TGroupWizardFrame(const QString& title, const QStringList& introduction, const QString& step2Title,
                      const QStringList& columns, QWidget* parent = nullptr);

    // TModule
    QWidget* GetFrame() override { return this; }
    void OnNotify(Intp::TDevice*, std::uint16_t, std::uint16_t) override { show(); }
    // Refuses (unless forced) while step 2 runs; otherwise goes back to step 0.
    bool Leave(bool force) override;
    int Refresh(bool) override { return 0; }

    // The page host: g_ModuleCallback unless one is set here.
    void SetHost(TModuleCallback* host) { m_Host = host; }
    TModuleCallback* Host() const;
    // Every listed device (none without a host).
    TDeviceList ListedDevices() const;

    int Step() const { return m_Step; }
    void EventOnPrevClick();
    void EventOnNextClick();

    QPushButton* m_Prev = nullptr;
    QPushButton* m_Next = nullptr;
    TDevicePicker* m_Picker = nullptr;

protected:
    // The rows of step 1's left list.
    virtual TWizardDevices Step1Devices() = 0;
    // Step 2 is about to show: the preview is rebuilt from the chosen switches.
    virtual void EnterStep2(const TWizardDevices& chosen) = 0;
    // Next on step 2.
    virtual void Start() = 0;
    virtual bool IsRunning() const = 0;
    // The settings of step 2 are complete.
    virtual bool CanStart() const = 0;
    virtual QString StartText() const = 0;
    // Why the settings of step 2 are not complete (Next's tip while disabled).
    virtual QString WhyNoStart() const = 0;

    // Step 2's own panel, under its title.
    void SetStep2Panel(QWidget* panel);
    // Prev and Next follow the step, the choice and the run.
    void UpdateButtons();

private:
    void ShowStep(int step);

    TModuleCallback* m_Host = nullptr;
    int m_Step = 0;
    QStackedWidget* m_Steps = nullptr;
    QWidget* m_Step2Panel = nullptr;
};
