#pragma once

// The page interface shared by every page of the console and the services
// that the page host (the main window) offers to pages.

#include "intp/Codes.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace Intp {
class TDevice;
class TWizard;
}
namespace Filter {
class TFilterServer;
}
namespace Status {
class TStatusServer;
}
namespace Syslog {
class TSyslogServer;
}

using TDeviceList = std::vector<Intp::TDevice*>;

// Page notifications (Intp::TNotifyCode); they share the code argument of
// OnNotify with the command codes and always carry status 0.
using Intp::TNotifyCode;
using Intp::ncSelectionChanged;
using Intp::ncDeviceShown;
using Intp::ncDeviceRemoved;
using Intp::ncDeviceTypeChanged;
using Intp::ncDeviceNameChanged;
using Intp::ncDeviceIpChanged;
using Intp::ncDeviceFlagsChanged;
// "Nothing to report": never sent as a notification.
inline constexpr std::uint16_t ncNothing = 0xFF00;

// Every page of the main tree and of the "Devices" page tree.
class TModule {
public:
    virtual ~TModule() = default;

    // Node text of the page.
    virtual QString GetCaption() const = 0;
    // The page's frame, or null for a group page; the host places it.
    virtual QWidget* GetFrame() = 0;
    // A finished request (code = command code, status = outcome) or a
    // TNotifyCode with status 0. The device may be null.
    virtual void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) = 0;
    // Hide the page; when not forced the page may refuse by answering false.
    virtual bool Leave(bool force) = 0;
    // Start the page's reads (current: this page only; else every page
    // below it) and answer how many requests were started.
    virtual int Refresh(bool current) = 0;
};

// A page whose running work closing the console would cut off: it says
// what runs, or nothing, and what cutting it off leaves.
class TRunningWork {
public:
    virtual ~TRunningWork() = default;
    virtual QString RunningWork() const = 0;
    // By default a transfer's: a switch left with half an image.
    virtual QString ClosingLeaves() const;
};

// Services of the page host. The devices pages act on are those of the main
// tree's selection.
class TModuleCallback {
public:
    virtual ~TModuleCallback() = default;

    // Device of the first selected device node; answers the number of
    // selected nodes, 0 (device null) unless the "Devices" page is on show
    // with a device node selected.
    virtual int GetSelectedDevice(Intp::TDevice*& device) = 0;
    // Appends the devices of every selected device node in selection order.
    virtual int GetSelectedDevices(TDeviceList& devices) = 0;
    virtual int GetCurrentDevice(Intp::TDevice*& device) = 0;
    virtual int GetTargetDevices(TDeviceList& devices) = 0;
    // Every listed device, group by group in tree order.
    virtual int GetAllDevices(TDeviceList& devices) = 0;
    virtual int GetListedDevices(TDeviceList& devices) = 0;
    // Modal login dialog; true on OK with both texts filled in.
    virtual bool AskCredentials(QString& user, QString& password) = 0;
    virtual bool IsSelectedDevice(const Intp::TDevice* device) = 0;
    virtual bool IsAmongSelectedDevices(const Intp::TDevice* device) = 0;
    virtual bool IsCurrentDevice(const Intp::TDevice* device) = 0;
    virtual bool IsTargetDevice(const Intp::TDevice* device) = 0;
    // Selects a page node by a path of captions, e.g. "Wizards/Group IP Setting".
    virtual bool SelectPage(const QString& path) = 0;
    virtual Filter::TFilterServer* GetFilterServer() = 0;
    virtual Status::TStatusServer* GetStatusServer() = 0;
    virtual Syslog::TSyslogServer* GetSyslogServer() = 0;
};

// Set by the main window while it is created, cleared when it goes.
extern TModuleCallback* g_ModuleCallback;

// A group page: names a branch of a tree; no frame, never refuses to leave.
class TModuleDummy : public TModule {
public:
    explicit TModuleDummy(const QString& caption);

    QString GetCaption() const override;
    QWidget* GetFrame() override;
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;
    bool Leave(bool force) override;
    int Refresh(bool current) override;

private:
    QString m_Caption;
};

// A page made on first need: its caption is known at once; the page is made
// when its frame is asked for or it must read. Until then a notification
// finds nothing to do and leaving is always allowed.
class TLazyModule : public TModule {
public:
    using TMake = std::function<TModule*()>;
    TLazyModule(const QString& caption, TMake make);
    ~TLazyModule() override;

    // The page, made now if it was not yet (null when the factory gives none).
    TModule* Page();
    TModule* BuiltPage() const { return m_Page.get(); }
    // Run with the page once it is made (at once when it is already); a
    // later hook replaces an earlier one.
    void WhenBuilt(std::function<void(TModule* page)> hook);

    // The page's own caption once made.
    QString GetCaption() const override;
    QWidget* GetFrame() override;
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;
    bool Leave(bool force) override;
    int Refresh(bool current) override;

private:
    QString m_Caption;
    TMake m_Make;
    std::function<void(TModule*)> m_Built;
    std::unique_ptr<TModule> m_Page;
};

// The page behind a lazy holder (made now), else page itself.
TModule* RealModule(TModule* page);
// The same without making it: null for a holder whose page is not made yet.
TModule* BuiltModule(TModule* page);
// For a lazy holder whose page is not made yet: hook runs once it is, and
// the answer is true. Otherwise false (the caller goes on at once).
bool DeferUntilBuilt(TModule* page, std::function<void(TModule* page)> hook);

// A page that only shows itself: shown on any notification, hidden when
// left (never refusing), nothing to read. TWidget is its widget class.
template <class TWidget>
class TStaticPage : public TWidget, public TModule {
public:
    using TWidget::TWidget;

    QWidget* GetFrame() override { return this; }
    void OnNotify(Intp::TDevice*, std::uint16_t, std::uint16_t) override { this->show(); }
    bool Leave(bool) override
    {
        this->hide();
        return true;
    }
    int Refresh(bool) override { return 0; }
};

// Start one login request carrying the 16-byte credential digest per target
// device (an all-zero digest logs out); answers the number started.
int LoginSelectedDevices(const std::uint8_t digest[16], Intp::TWizard* wizard);
// Start one reboot request per target device; answers the number started.
int RebootSelectedDevices(Intp::TWizard* wizard);
