#pragma once

// Recording pages and helpers for the shell tests.

#include "pages/kit/FilterServer.h"
#include "tests/pages/PageTestHost.h"
#include "pages/kit/PageInterface.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

// A page that records every call made to it.
class TRecordingPage : public QWidget, public TModule {
public:
    explicit TRecordingPage(const QString& caption, std::vector<std::string>* log = nullptr)
        : m_Caption(caption), m_Log(log ? log : &m_OwnLog)
    {
    }

    QString GetCaption() const override { return m_Caption; }
    QWidget* GetFrame() override { return m_HasFrame ? this : nullptr; }
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override
    {
        notifications.push_back({device, code, status});
        Log("notify " + std::to_string(code));
        // A page fills itself and shows on its own selection or Get reply.
        if (m_HasFrame && (code == ncSelectionChanged || code == m_GetCode))
            show();
    }
    bool Leave(bool force) override
    {
        Log(force ? "leave force" : "leave");
        if (!force && !m_AllowLeave)
            return false;
        hide();
        return true;
    }
    int Refresh(bool current) override
    {
        Log(current ? "refresh current" : "refresh all");
        return m_Reads;
    }

    void Log(const std::string& what) { m_Log->push_back(m_Caption.toStdString() + ": " + what); }

    struct TNotification {
        Intp::TDevice* device;
        std::uint16_t code;
        std::uint16_t status;
    };
    std::vector<TNotification> notifications;
    int Count(std::uint16_t code) const
    {
        int n = 0;
        for (const auto& note : notifications)
            n += note.code == code;
        return n;
    }

    QString m_Caption;
    bool m_HasFrame = true;
    bool m_AllowLeave = true;
    int m_Reads = 0;
    std::uint16_t m_GetCode = 260;
    std::vector<std::string> m_OwnLog;
    std::vector<std::string>* m_Log;
};

// A discovery filter that refuses one address and targets a given list.
class TFakeFilter : public Filter::TFilterServer {
public:
    Filter::TFilterSettings* GetSettings() override { return &settings; }
    bool Accept(std::uint32_t address) override { return address != refused; }
    void GetTargets(TIpMaskList& targets) override { targets = this->targets; }

    Filter::TFilterSettings settings;
    std::uint32_t refused = 0;
    TIpMaskList targets;
};

// Runs a nested event loop for a few timer ticks, as a modal box would.
inline void RunNestedLoop(int ticks)
{
    QEventLoop loop;
    int seen = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++seen == ticks)
            loop.quit();
    });
    ticker.start(1);
    loop.exec();
}

// Registers models 1..n with the given port counts.
inline void RegisterTestModels(int count)
{
    Intp::ResetDeviceTypes();
    Intp::InitDeviceTypes();
    for (int i = 1; i <= count; ++i) {
        Intp::TDeviceType type;
        type.Name = "Model " + std::to_string(i);
        type.PortNum = 8;
        Intp::RegisterDeviceType(&type, {"TEST-ID-" + std::to_string(i)});
    }
}

// A device with its MAC's last two bytes from id; a name is given before
// the model, so the device reaches the tree with it.
inline Intp::TDevice* MakeDevice(std::uint16_t id, std::uint32_t type, std::uint32_t ip, bool loggedIn = true,
                                 const std::string& name = {})
{
    Intp::TDevice* device =
        Intp::FindDevice(Intp::TMacAddr(2, 0, 0, 0, std::uint8_t(id >> 8), std::uint8_t(id)), true);
    device->SetLoggedIn(loggedIn);
    device->SetIp(ip);
    if (!name.empty())
        device->SetName(name);
    device->SetType(type);
    return device;
}
