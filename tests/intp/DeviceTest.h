// The fixture of the library's family tests: the fake host and one device.
#pragma once

#include <gtest/gtest.h>

#include "tests/common/FakeHost.h"

namespace IntpTest {

// A fixture with one device; Started(new T) starts a request on it.
class TDeviceTest : public ::testing::Test {
protected:
    // Registers device Mac(n) at ip, of model (0: a plain 8-port "M8").
    void MakeDevice(uint32_t n, uint32_t ip, uint32_t model = 0)
    {
        m_Device = m_Host.MakeDevice(Mac(n), ip, model ? model : m_Host.AddModel("M8", 8));
    }

    template <class T> T* Started(T* session, Intp::TDevice* device = nullptr)
    {
        EXPECT_TRUE(session->Start(device ? device : m_Device));
        return session;
    }

    TFakeHost m_Host;
    Intp::TDevice* m_Device = nullptr;
};

} // namespace IntpTest
