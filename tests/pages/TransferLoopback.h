// The console's real protocol path on loopback: its UDP socket on 127.0.0.1,
// the receive queue, the protocol host with its reply timers, and the
// library's dispatcher; the switches are a fake fleet on 127.0.0.2 and up.
#pragma once

#include "console/IntpSock.h"
#include "console/IntpReceiveQueue.h"
#include "pages/kit/PageInterface.h"
#include "console/ProtocolHost.h"
#include "intp/Device.h"
#include "intp/Session.h"
#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/fakeswitch/FakeSwitchTransfer.h"
#include "tests/pages/RunUntil.h"

#include <QHostAddress>

#include <cstdint>
#include <memory>
#include <string>

class TLoopbackConsole {
public:
    static constexpr std::uint32_t ConsoleIp = 0x7F000001;

    explicit TLoopbackConsole(std::uint16_t fleetPort)
        : m_Queue([](std::uint32_t address, std::uint32_t length, std::uint8_t* data) {
              Intp::DispatchPacket(address, length, data);
          }),
          m_Socket(&m_Queue)
    {
        m_Host.SetSocket(&m_Socket);
        m_Socket.SetRemotePort(fleetPort);
        m_Open = m_Socket.Open(QHostAddress(QHostAddress::LocalHost));
        Intp::SetSessionCallback(&m_Host);
    }

    ~TLoopbackConsole()
    {
        m_Host.EndAllSessions();
        Intp::SetSessionCallback(nullptr);
        Intp::DeleteAllDevices();
        m_Queue.Terminate();
    }

    TLoopbackConsole(const TLoopbackConsole&) = delete;
    TLoopbackConsole& operator=(const TLoopbackConsole&) = delete;

    bool IsOpen() const { return m_Open; }

    // The page on show gets every notification first, as in the main window.
    void ShowPage(TModule* page)
    {
        m_Host.SetPageNotify([page](Intp::TDevice* device, std::uint16_t code, std::uint16_t status) {
            if (page)
                page->OnNotify(device, code, status);
        });
    }

    // A switch of the fleet as the console knows it after a login.
    static Intp::TDevice* AddSwitch(FakeSwitch::TFleet& fleet, std::size_t index)
    {
        fleet.Edit(index, [](FakeSwitch::TSwitch& sw) { sw.LoggedIn.insert(ConsoleIp); });
        FakeSwitch::TSwitch sw = fleet.Snapshot(index);
        Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(sw.Settings.Mac.data()), true);
        device->SetIp(fleet.Ip(index));
        device->SetLoggedIn(true);
        return device;
    }

private:
    TIntpSocketThread m_Queue;
    TIntpSock m_Socket;
    TProtocolHost m_Host;
    bool m_Open = false;
};

// count switches of one model at 127.0.0.2 and up (MACs 02:00:00:00:tag:n)
// with the scripted transfer handlers, started.
inline bool StartTransferFleet(FakeSwitch::TFleet& fleet, std::shared_ptr<FakeSwitch::TTransferScript> script,
                               std::size_t count, std::uint8_t tag, std::string* error = nullptr)
{
    for (std::size_t i = 0; i < count; ++i) {
        FakeSwitch::TSwitchSettings s;
        s.Mac = {0x02, 0x00, 0x00, 0x00, tag, std::uint8_t(i + 1)};
        s.ProductId = "abc";
        s.Factory.Ip = 0x7F000002 + std::uint32_t(i);
        s.Factory.Netmask = 0xFF000000;
        fleet.Add(s);
    }
    FakeSwitch::InstallTransferHandlers(fleet, std::move(script));
    return fleet.Start(error);
}
