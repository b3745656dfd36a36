// A fleet of switches on loopback (127.0.0.2, .3, ...) and a client on 127.0.0.1.
#pragma once

#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/fakeswitch/TestClient.h"

#include <gtest/gtest.h>

#include <functional>

namespace FakeSwitch {

constexpr uint32_t ClientIp = 0x7F000001;
constexpr uint32_t FirstSwitchIp = 0x7F000002;
constexpr TMac FirstMac{0x02, 0x00, 0x00, 0x00, 0x00, 0x01};

inline TMac MacOf(size_t index)
{
    TMac mac = FirstMac;
    mac[5] = uint8_t(mac[5] + index);
    return mac;
}

class TFleetTest : public ::testing::Test {
protected:
    // Switches of 8 ports and 2 trunk groups unless adjust changes them.
    void StartFleet(size_t count, const std::function<void(TSwitchSettings &)> &adjust = {})
    {
        for (size_t i = 0; i < count; ++i) {
            TSwitchSettings s;
            s.Mac = MacOf(i);
            s.ProductId = "abc";
            s.Model.PortNum = 8;
            s.Model.TrunkGroupNum = 2;
            s.Model.SmtpRecipientNum = 2;
            s.Factory.Name = "Switch-" + std::to_string(i + 1);
            s.Factory.Ip = FirstSwitchIp + uint32_t(i);
            s.Factory.Netmask = 0xFF000000;
            s.Factory.Gateway = 0x7F0000FE;
            if (adjust)
                adjust(s);
            m_Fleet.Add(s);
        }
        std::string error;
        ASSERT_TRUE(m_Fleet.Start(&error)) << error;
    }

    bool Send(size_t index, uint16_t code, const TBytes &payload = TBytes(4, 0))
    {
        return m_Client.Send(m_Fleet.Ip(index), m_Fleet.Port(), code, MacOf(index), payload);
    }

    // Sends and returns the reply's bytes; empty when none came.
    TBytes Exchange(size_t index, uint16_t code, const TBytes &payload = TBytes(4, 0),
                    std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
    {
        return Send(index, code, payload) ? Next(timeout) : TBytes{};
    }

    // The next datagram's bytes; empty when none came.
    TBytes Next(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
    {
        auto reply = m_Client.Receive(timeout);
        return reply ? reply->Bytes : TBytes{};
    }

    uint16_t StatusOf(const TBytes &reply) { return reply.size() >= 4 ? uint16_t(reply[2] << 8 | reply[3]) : 0xFFFF; }

    TBytes LoginPayload(const std::string &user, const std::string &password)
    {
        auto d = LoginDigest(user, password);
        return TBytes(d.begin(), d.end());
    }

    TFleet m_Fleet{0, 0};
    TTestClient m_Client{ClientIp};
};

} // namespace FakeSwitch
