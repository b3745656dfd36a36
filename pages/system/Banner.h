#pragma once

// The front-panel banners above the device pages: the current switch's
// address and MAC, a button that opens its web page, a picture of its front
// panel with one lamp per port, four status lamps, a summary of its syslog
// messages and its redundancy mode. One banner per model family; the
// families differ only in the data of TBannerVariant.

#include "pages/kit/ModulePage.h"
#include "pages/system/BannerPanel.h"

#include <QString>
#include <QUrl>

#include <cstdint>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTimer;
class QToolButton;

namespace Intp {
class TDevice;
}
namespace Syslog {
class TSyslogServer;
}

// The data of one banner family.
struct TBannerVariant {
    const char* className;
    int bannerNumber;       // "Banner" number of devices.dev
    QSize frame;            // smallest size of the banner
    TPanelLayout panel;     // no picture: no port lamps
    int statusX;            // left edges of the "Status", "Syslog" and
    int syslogX;            // "Redundancy" boxes
    int redundancyX;
    int iconX;              // left edge of the web button
    int addressX;           // left edge of the address and MAC labels
    bool hasRedundancy;     // redundancy box and its 775 read
    bool hasFastRecovery;   // "Fast Recovery" among the radios
    bool hasHardware;       // "Hardware Mode" check box
};

enum TBannerKind { bkGeneral, bkLarch, bkCedar, bkMaple, bkBirch, bk10port, bkCount };

const TBannerVariant& BannerVariant(TBannerKind kind);
// The family of a "Banner" number; unknown numbers: the general banner.
TBannerKind BannerKindOf(int bannerNumber);
// Class name of the banner of a "Banner" number ("TModuleBannerGeneral" ...).
const char* BannerClassName(int bannerNumber);
// Creates the banner of a "Banner" number; the owner destroys it.
TModule* CreateBanner(int bannerNumber, QWidget* owner = nullptr);

// A page that reads nothing of its own: it shows the current switch on
// every selection change and polls while on show.
class TModuleBanner : public TModulePage {
    Q_OBJECT

public:
    static constexpr int TimerInterval = 5000;

    TModuleBanner(TBannerKind kind, QWidget* parent = nullptr);
    ~TModuleBanner() override;

    // The redundancy read's reply updates only its box.
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;

    const TBannerVariant& Variant() const { return m_Variant; }

    // How the web page and the message dialog are opened (tests replace them;
    // the web opener answers whether a browser took the page).
    using TWebOpener = std::function<bool(const QUrl& url)>;
    using TLogOpener = std::function<void(Syslog::TSyslogServer* server, std::uint32_t address)>;
    void SetWebOpener(TWebOpener opener) { m_WebOpener = std::move(opener); }
    void SetLogOpener(TLogOpener opener) { m_LogOpener = std::move(opener); }

    // Handlers, public for the tests' hand-driven timer and clicks.
    void EventOnTimerTimer();
    void EventOnIconClick();
    void EventOnOpenLogClick();

    // Drawing and updates.
    void DrawPort(int port, int state);
    // Ports below count: green when their bit is set, else black; the other
    // socket positions silver.
    void DrawPorts(std::uint32_t mask, int count);
    static void DrawLamp(TStatusLamp* lamp, int state);
    void UpdateStatus(Intp::TDevice* device, bool hasDevice);
    void UpdateSyslog(Intp::TDevice* device, bool hasDevice);
    void UpdateRedundancy(Intp::TDevice* device, bool hasDevice);

    QToolButton* m_Icon = nullptr;
    QLabel* m_IpAddr = nullptr;
    QLabel* m_MacAddr = nullptr;
    TFrontPanelView* m_LinkImage = nullptr;  // null without a picture
    QGroupBox* m_Status = nullptr;
    TStatusLamp* m_StatusOnline = nullptr;
    TStatusLamp* m_StatusQuery = nullptr;
    TStatusLamp* m_StatusIp = nullptr;
    TStatusLamp* m_StatusFault = nullptr;
    QGroupBox* m_Syslog = nullptr;
    QLabel* m_LogNum = nullptr;
    QLabel* m_LogUnread = nullptr;
    QLabel* m_LogLDate = nullptr;
    QLabel* m_LogLTime = nullptr;
    QToolButton* m_OpenLog = nullptr;
    QGroupBox* m_Redundancy = nullptr;      // null without redundancy
    QCheckBox* m_Hardware = nullptr;        // null but on Maple
    QRadioButton* m_QuollRing = nullptr;
    QRadioButton* m_FRecovery = nullptr;    // null where the family has none
    QRadioButton* m_RSTP = nullptr;
    QTimer* m_Timer = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    void BuildControls();
    void CheckRadio(QRadioButton* radio);
    Syslog::TSyslogServer* SyslogServer() const;

    const TBannerVariant& m_Variant;
    QButtonGroup* m_Radios = nullptr;
    TWebOpener m_WebOpener;
    TLogOpener m_LogOpener;
};

class TModuleBannerGeneral : public TModuleBanner {
    Q_OBJECT
public:
    explicit TModuleBannerGeneral(QWidget* parent = nullptr) : TModuleBanner(bkGeneral, parent) {}
};

class TModuleBannerLarch : public TModuleBanner {
    Q_OBJECT
public:
    explicit TModuleBannerLarch(QWidget* parent = nullptr) : TModuleBanner(bkLarch, parent) {}
};

class TModuleBannerCedar : public TModuleBanner {
    Q_OBJECT
public:
    explicit TModuleBannerCedar(QWidget* parent = nullptr) : TModuleBanner(bkCedar, parent) {}
};

class TModuleBannerMaple : public TModuleBanner {
    Q_OBJECT
public:
    explicit TModuleBannerMaple(QWidget* parent = nullptr) : TModuleBanner(bkMaple, parent) {}
};

class TModuleBannerBirch : public TModuleBanner {
    Q_OBJECT
public:
    explicit TModuleBannerBirch(QWidget* parent = nullptr) : TModuleBanner(bkBirch, parent) {}
};

class TModuleBanner10port : public TModuleBanner {
    Q_OBJECT
public:
    explicit TModuleBanner10port(QWidget* parent = nullptr) : TModuleBanner(bk10port, parent) {}
};
