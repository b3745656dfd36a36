#pragma once

// The main window's actions, menus, tool bar and tree menu, and what they
// do: discovery (with its follow-up timer), login, logout, reboot, refresh,
// the web page of a switch, the dialogs. The window's EventOn... handlers
// enter here.

#include <QObject>
#include <QString>

#include "intp/Device.h"

#include <chrono>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class QTimer;
class QTreeWidget;
class TMainForm;

namespace Intp {
class TDevice;
class TWizard;
}  // namespace Intp

class TMainActions : public QObject {
    Q_OBJECT
public:
    explicit TMainActions(TMainForm* form);
    ~TMainActions() override;

    // Creates the actions (on the window), the menus and the tool bar.
    void CreateActions();
    void CreateMenus();
    // The tree's context menu at a point of its viewport.
    void ShowTreeMenu(QTreeWidget* tree, const QPoint& pos);
    QAction* Action(const QString& name) const;
    QTimer* DiscoveryTimer() const { return m_Timer4; }

    void EventOnDiscoveryExecute();
    void Timer4Timer();
    void EventOnFilterExecute();
    void EventOnLoginExecute();
    void EventOnLogoutExecute();
    void EventOnRebootExecute();
    void EventOnRefreshExecute();
    void EventOnRefreshAllExecute();
    void EventOnExitExecute();
    void EventOnAboutExecute();
    void EventOnOpenWebExecute();
    void EventOnGroupIPWizardExecute();
    void EventOnGroupFwWizardExecute();
    void EventOnLoadConfigExecute();
    void EventOnSaveConfigExecute();
    void EventOnScanExecute();

private:
    // One tick's pass over the listed switches, in slices of FollowUpSliceMs
    // so that a full registry never freezes the window; a slice runs from
    // its start (a tick's own listing counts in its first slice).
    void ContinueFollowUp() { FollowUpSlice(std::chrono::steady_clock::now()); }
    void FollowUpSlice(std::chrono::steady_clock::time_point start);
    static constexpr int FollowUpSliceMs = 5;
    // The number of target switches: with none, the actions on them do nothing.
    int CountTargets() const;

    TMainForm* m_Form;
    QTimer* m_Timer4 = nullptr;
    QTimer* m_FollowUpSlice = nullptr;
    std::vector<Intp::TMacAddr> m_FollowUp;  // the tick's listed switches
    std::size_t m_FollowUpNext = 0;
    bool m_FollowUpMissing = false;
    QMenu* m_SettingsMenu = nullptr;
    std::vector<QAction*> m_Actions;
};
