#pragma once

// The base of every device page: one feature of the current switch, read
// from the device's property cache, written to every selected switch.
//
// A page declares in its constructor
//   - its reads (AddRead<...>), started by Refresh in order,
//   - the codes whose notification refills it (AddRead registers its own),
//   - read chains (AddChain), e.g. port names first, then the own read,
//   - the controls enabled exactly while there is a current device (AddInputs),
// and implements Fill(device), which fills the controls from the device's
// records (device null: no current device). Writes build one payload and hand
// it to SendToSelectedDevices<Request>(fill). Checks on click use Check();
// checks on every change go in UpdateActions(), run through WatchChanges().
//
//   class TModuleJumboFrame : public TModulePage {
//   public:
//       explicit TModuleJumboFrame(QWidget* parent = nullptr) : TModulePage("Jumbo Frame", parent)
//       {
//           m_Jumbo = new QComboBox(this);                  // in a Qt layout
//           m_Apply = new QPushButton("&Apply", this);
//           LoadGlyph(m_Apply, "RC_BITMAP_16X16_ACCEPT");
//           AddRead<Intp::TSessionJumboFrameGet>();
//           AddInputs({m_Jumbo, m_Apply});
//           connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
//       }
//   protected:
//       void Fill(Intp::TDevice* device) override
//       {
//           if (!device) return;
//           const auto& record = Intp::Property<Intp::TPropertyJumboFrame>::Get(device);
//           if (record.valid) m_Jumbo->setCurrentIndex(record.enabled ? 1 : 0);
//       }
//   private:
//       void EventOnApplyClick()
//       {
//           uint8_t enabled = m_Jumbo->currentIndex() == 1;
//           SendToSelectedDevices<Intp::TSessionJumboFrameSet>(
//               [&](Intp::TSessionJumboFrameSet& r) { r.SetPayload(&enabled); });
//       }
//       QComboBox* m_Jumbo;
//       QPushButton* m_Apply;
//   };

#include "intp/Property.h"
#include "intp/Session.h"
#include "pages/kit/ChangeReport.h"
#include "pages/kit/PageInterface.h"
#include "pages/kit/PageTree.h"
#include "pages/kit/PortLayout.h"
#include "pages/kit/Requests.h"

#include <QFrame>
#include <QPointer>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

class QBoxLayout;
class QLabel;
class QWidget;

class TModulePage : public QFrame, public TModule {
    Q_OBJECT

public:
    explicit TModulePage(const QString& caption, QWidget* parent = nullptr);
    ~TModulePage() override;

    // TModule
    QString GetCaption() const override;
    QWidget* GetFrame() override;
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;
    bool Leave(bool force) override;
    int Refresh(bool current) override;

    // The page host: g_ModuleCallback unless one is set here.
    void SetHost(TModuleCallback* host) { m_Host = host; }
    TModuleCallback* Host() const;

    // Page-host services; without a host there is no device.
    Intp::TDevice* CurrentDevice() const;
    TDeviceList TargetDevices() const { return HostTargetDevices(Host()); }
    bool IsCurrent(const Intp::TDevice* device) const;

    // The device's record when it is valid; otherwise an empty one (also
    // without a device).
    template <class R> static const R& ValidRecord(Intp::TDevice* device)
    {
        static const R none{};
        if (device) {
            const R& record = Intp::Property<R>::Get(device);
            if (record.valid)
                return record;
        }
        return none;
    }
    // Why the latest read of the record whose Get is code failed on device;
    // empty when it did not, or has not answered.
    static QString ReadFailure(std::uint16_t code, const Intp::TDevice* device);
    // Why a change can't build on device's own record R: its latest read
    // failed, or it was never read (notRead). Empty when the record can be used.
    template <class R>
    static QString OwnReadWhy(Intp::TDevice* device, const QString& notRead = "its settings have not been read")
    {
        if (QString why = ReadFailure(std::uint16_t(std::uint32_t(R::Key) >> 16), device); !why.isEmpty())
            return why;
        return device && Intp::Property<R>::Get(device).valid ? QString() : notRead;
    }
    // What a choice sends to device: its item index, or with no item chosen
    // (none for the value read) device's own member of its latest read of R.
    // Why that can't be had, or empty.
    template <class R, class T> static QString ChoiceOrOwn(int index, Intp::TDevice* device, T R::*member, T& value)
    {
        const R* own = index < 0 && device ? device->template LatestRead<R>() : nullptr;
        if (index < 0 && !own)
            return OwnReadWhy<R>(device, "its own value of a choice the page shows none of was not read");
        value = own ? own->*member : T(index);
        return QString();
    }
    // The device when its record R was read, else null: a list shows no rows
    // for values never read, rather than defaults.
    template <class R> static Intp::TDevice* IfRead(Intp::TDevice* device)
    {
        return device && Intp::Property<R>::Get(device).valid ? device : nullptr;
    }

    // Start one request per target device, in selection order; a request that
    // does not start is deleted. Answers the number started. A change sent
    // without a wizard is reported: a target it could not be sent to, and a
    // switch that refuses it or does not answer, are named once per click
    // (see TChangeReport).
    template <class R>
    int SendToSelectedDevices(Intp::TWizard* wizard = nullptr);
    // The same with a payload: fill(R&) calls the request's setters and may
    // answer false to skip that device.
    template <class R, class F>
    int SendToSelectedDevices(F&& fill, Intp::TWizard* wizard = nullptr);
    // A change sized for each target: fill(R&, device) fills the request
    // with that device's own model counts and answers an empty text, or why
    // the device can't take the change; such a target is named as not
    // changed, never skipped in silence. Answers the number started.
    template <class R, class F>
    int SendToEachTarget(F&& fill);
    // Why a change made for ports ports can't go to device; empty when its
    // model has at least that many.
    static QString PortCountWhy(const Intp::TDevice* device, std::size_t ports);
    // The page-tree layouts that hold the page (see PageLayouts), by the id
    // its class is registered under (none for a class of no id).
    unsigned TreeLayouts() const;
    // Why a change of this page can't go to device: the page is of the
    // other generation's page tree alone. Empty when it can.
    QString GenerationWhy(const Intp::TDevice* device) const;
    // Why a change of this page can't go to device as if made on its own
    // page: the other generation's page, its own page would not be
    // available (its latest read of a record the page reads failed, was
    // refused or timed out), or would keep the change off (SetTargetCheck).
    // Empty when it can.
    QString TargetWhy(Intp::TDevice* device) const;
    // One change for one device, reported like the others.
    template <class R, class F>
    bool SendChange(Intp::TDevice* device, F&& fill);
    // A target that can't take the change, named as not changed with why.
    void NotChanged(Intp::TDevice* device, const QString& why) { m_Changes.NotSent(device, why); }

    // A request the report follows: a Set, Add, Del or Clear (not a read,
    // a login or a reboot, after which a switch may not answer).
    template <class R> static constexpr bool IsChange()
    {
        return std::string_view(R::Info.record) == "-" && R::CommandCode != Intp::ccIntpLogin &&
               R::CommandCode != Intp::ccBasicsReboot;
    }
    // The same, each request carrying payload (its SetPayload).
    template <class R, class P>
    int SendPayload(const P& payload, Intp::TWizard* wizard = nullptr)
    {
        return SendToSelectedDevices<R>([&payload](R& request) { request.SetPayload(payload); }, wizard);
    }
    // Whether the page shows the current device as not available.
    bool IsUnavailable() const { return m_UnavailableShown; }
    bool IsRefilling() const { return m_Refilling; }
    // The line that tells what the page's last change did (and why a page is
    // not available); pages that lay out their own buttons place it.
    QLabel* StatusLine();

    // One request for one device; true when it started.
    template <class R>
    static bool StartFor(Intp::TDevice* device, Intp::TWizard* wizard = nullptr);
    template <class R, class F>
    static bool StartFor(Intp::TDevice* device, F&& fill, Intp::TWizard* wizard = nullptr);

protected:
    // When a read of Refresh runs.
    enum TReadWhen {
        rwAlways,   // whatever current is
        rwCurrent,  // Refresh(true) only: the page was selected or refreshed on show
        rwAll,      // Refresh(false) only: Refresh All
    };

    // Refresh starts the reads in the order added and answers the count of
    // the last one that ran (that count makes the host wait for the page).
    // With refills set, the read's notification for the current device
    // refills the page. A record never read, or whose latest read failed,
    // leaves the page not available (and names a target), also one read for
    // a chain alone (port names), unless needed is unset: a record the page
    // goes by only when it is valid (port names that hide no port else).
    template <class R>
    void AddRead(TReadWhen when = rwAlways, bool refills = true, bool needed = true)
    {
        AddReadStep([this] { return SendToSelectedDevices<R>(); }, when);
        m_Reads.back().code = R::CommandCode;
        m_Reads.back().needed = needed;
        if (refills)
            AddRefillCode(R::CommandCode);
        if constexpr (requires { typename R::Record; })
            if (needed)
                m_Reads.back().valid = [](Intp::TDevice* device) {
                    return Intp::Property<typename R::Record>::Get(device).valid;
                };
    }
    void AddReadStep(std::function<int()> send, TReadWhen when = rwAlways);

    // A notification of code refills the page: only for the current device,
    // or for any device (pages that show every selected switch).
    void AddRefillCode(std::uint16_t code, bool anyDevice = false);

    // A read chain: when the notification of the Get Prev arrives, answered,
    // for a device whose record of Prev is valid, the Get Next is started for that
    // device alone and the page waits for it; otherwise Prev's code refills
    // the page as an own read (current device only). Next's record never
    // read leaves the page not available, as an own read's does.
    template <class Prev, class Next>
    void AddChain()
    {
        AddChainStep(
            Prev::CommandCode,
            [](Intp::TDevice* device) {
                return Intp::Property<typename Prev::Record>::Get(device).valid && StartFor<Next>(device);
            },
            [](Intp::TDevice* device) { return Intp::Property<typename Next::Record>::Get(device).valid; });
    }
    void AddChainStep(std::uint16_t code, std::function<bool(Intp::TDevice*)> startNext,
                      std::function<bool(Intp::TDevice*)> nextValid = nullptr);

    // Controls enabled exactly while there is a current device (controls
    // deleted later are skipped).
    void AddInputs(std::initializer_list<QWidget*> controls);
    // Hide the frame while refilling (most pages); pages that show first set false.
    void SetHideWhileRefilling(bool hide) { m_HideWhileRefilling = hide; }
    // A page whose read failed, timed out or was never answered shows its
    // fields as not available, with every input off, rather than defaults an
    // Apply would write. Pages that write nothing they read (login) or show
    // each switch's own state (IP configuration) turn it off.
    void SetUnavailableWhenUnread(bool on) { m_UnavailableWhenUnread = on; }
    // Why a target's own page would keep this page's changes off (a mode
    // the page is not for); TargetWhy names such a target.
    void SetTargetCheck(std::function<QString(Intp::TDevice*)> check) { m_TargetCheck = std::move(check); }
    // Controls that need no record (a web link) stay as they are then.
    static void KeepWhenUnavailable(std::initializer_list<QWidget*> controls);

    // Places the status line in a row of the page's own layout (once, before
    // the line is first used).
    void PlaceStatusLine(QBoxLayout* row);
    // A disabled control says why in its tooltip; an enabled one says nothing.
    static void SetEnabledWhy(QWidget* control, const QString& why);

    // Fill the controls from the current device's records; device is null
    // when there is none. The registered inputs are already enabled or
    // disabled; the frame is shown afterwards.
    virtual void Fill(Intp::TDevice* device) = 0;

    // Whether a notification refills the page (the common filter; override
    // to add codes and call the base).
    virtual bool AcceptNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status);
    // Leave: CanLeave(false) may refuse; OnLeave clears what the page holds.
    virtual bool CanLeave(bool force);
    virtual void OnLeave() {}

    // Refills at once (used by pages whose own events need it).
    void Refill();

    // Input check on click: false shows the message (modal) and the action
    // must stop. Answers ok.
    bool Check(bool ok, const QString& message);
    // Checks on every change: the page recomputes its action buttons here.
    virtual void UpdateActions() {}
    // Runs UpdateActions on every change of these controls (line edits,
    // memos, combo boxes, spin boxes, check and radio buttons).
    void WatchChanges(std::initializer_list<QWidget*> controls);
    // A modal message shown now, or after the box open now; one shown while
    // refilling waits until the refill is over so that a notification never
    // runs inside a half-filled page.
    void ShowMessage(const QString& message);
    void ShowMessageLater(const QString& message);

    // Fill calls it where the page's record is not valid: the message shows
    // once the refill is over, only when the last read of the page for
    // device failed, was refused or timed out (none before any answer), and
    // one at a time.
    void ShowReadFailed(Intp::TDevice* device, const QString& message = "Retrieve device info failed!");

    static void SetEnabled(std::initializer_list<QWidget*> controls, bool enabled);

    // The ports of a page that keeps them in 32-bit masks: the first 32
    // indexes at most (ports by index), or the entries of a per-port record
    // naming portOf[i] below 32; when more are cut, a message says so once
    // per device.
    TPortLayout MaskPorts(Intp::TDevice* device, int trunkGroups = 0);
    TPortLayout MaskPorts(Intp::TDevice* device, const std::vector<int>& portOf);
    // A count of ports that go into a 32-bit mask: at most 32, said the same way.
    int MaskPortCount(Intp::TDevice* device, int ports);

private:
    void SayPortsCut(Intp::TDevice* device, const TPortLayout& ports);
    void SayPortsCut(Intp::TDevice* device, int ports, int trunkGroups, int cut);
    friend class TPageForm;
    bool IsAnyDeviceCode(std::uint16_t code) const;
    // Why the current device's records can't be shown, or empty.
    QString UnreadReason(Intp::TDevice* device) const;
    // Why the latest read of a record the page needs (port names and reads
    // a chain starts too) failed on device, or empty.
    QString FailedReadReason(const Intp::TDevice* device) const;
    // A code only read as not needed: its failure costs the page nothing.
    bool IsOptionalCode(std::uint16_t code) const;
    void ShowUnavailable(const QString& reason);
    void EndUnavailable();
    void TellChanges(const QString& done, const QStringList& failed);

    struct TRead {
        std::function<int()> send;
        TReadWhen when;
        std::uint16_t code;
        // The read's record is valid on device (null: the page needs none).
        std::function<bool(Intp::TDevice*)> valid;
        bool needed = true;
    };
    struct TRefillCode {
        std::uint16_t code;
        bool anyDevice;
    };
    struct TChain {
        std::uint16_t code;
        std::function<bool(Intp::TDevice*)> startNext;
        std::function<bool(Intp::TDevice*)> nextValid;  // null: the page needs no record of it
    };

    QString m_Caption;
    TModuleCallback* m_Host = nullptr;
    // The page-tree layouts that hold the page, once known.
    mutable std::optional<unsigned> m_Layouts;
    std::vector<TRead> m_Reads;
    std::vector<TRefillCode> m_RefillCodes;
    std::vector<TChain> m_Chains;
    std::function<QString(Intp::TDevice*)> m_TargetCheck;
    std::vector<QPointer<QWidget>> m_Inputs;
    bool m_HideWhileRefilling = true;
    bool m_Refilling = false;
    bool m_UnavailableWhenUnread = true;
    // Controls turned off, and texts put aside, while not available.
    std::vector<QPointer<QWidget>> m_Unavailable;
    bool m_UnavailableShown = false;
    QLabel* m_StatusLine = nullptr;
    QString m_ChangeText;
    TChangeReport m_Changes;
    bool m_PortWarningShown = false;
    bool m_ReadFailedPending = false;
    Intp::TMacAddr m_PortWarningMac;
};

// A page that also wants each outcome of its own requests (login, transfers).
class TWizardModulePage : public TModulePage, public Intp::TWizard {
    Q_OBJECT

public:
    using TModulePage::TModulePage;
};

// ---------------------------------------------------------------------------

template <class R, class F>
bool TModulePage::StartFor(Intp::TDevice* device, F&& fill, Intp::TWizard* wizard)
{
    return StartRequest<R>(device, fill, wizard);
}

template <class R>
bool TModulePage::StartFor(Intp::TDevice* device, Intp::TWizard* wizard)
{
    return StartRequest<R>(device, wizard);
}

template <class R, class F>
int TModulePage::SendToSelectedDevices(F&& fill, Intp::TWizard* wizard)
{
    if (wizard || !IsChange<R>())
        return StartForEach<R>(TargetDevices(), fill, wizard);
    int started = 0;
    for (Intp::TDevice* device : TargetDevices())
        started += SendChange<R>(device, fill) ? 1 : 0;
    return started;
}

template <class R, class F>
bool TModulePage::SendChange(Intp::TDevice* device, F&& fill)
{
    if (!device)
        return false;
    if constexpr (IsChange<R>()) {
        if (const QString why = TargetWhy(device); !why.isEmpty()) {
            m_Changes.NotSent(device, why);
            return false;
        }
    }
    if (StartRequest<R>(device, fill, &m_Changes)) {
        m_Changes.Started(device, R::CommandCode);
        return true;
    }
    m_Changes.NotSent(device, "it could not be sent");
    return false;
}

template <class R, class F>
int TModulePage::SendToEachTarget(F&& fill)
{
    int started = 0;
    for (Intp::TDevice* device : TargetDevices()) {
        QString why;
        if constexpr (IsChange<R>()) {
            if (why = TargetWhy(device); !why.isEmpty()) {
                m_Changes.NotSent(device, why);
                continue;
            }
        }
        const bool ok = StartRequest<R>(
            device,
            [&](R& request) {
                why = fill(request, device);
                return why.isEmpty();
            },
            &m_Changes);
        if (ok) {
            m_Changes.Started(device, R::CommandCode);
            ++started;
        } else {
            m_Changes.NotSent(device, why.isEmpty() ? QString("it could not be sent") : why);
        }
    }
    return started;
}

template <class R>
int TModulePage::SendToSelectedDevices(Intp::TWizard* wizard)
{
    return SendToSelectedDevices<R>([](R&) {}, wizard);
}
