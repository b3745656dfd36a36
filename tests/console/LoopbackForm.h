#pragma once

// The main window of the shell tests: bound to loopback, with no syslog
// listener nor tray icon, and the test's filter server; every device is
// deleted after the test.

#include "console/MainForm.h"
#include "intp/Device.h"

#include <gtest/gtest.h>

#include <memory>

class TLoopbackFormTest : public ::testing::Test {
protected:
    void OpenForm(Filter::TFilterServer* filter)
    {
        TMainForm::TOptions options;
        options.bindAddress = QHostAddress(QHostAddress::LocalHost);
        options.openSyslog = false;
        options.trayIcon = false;
        m_Form = std::make_unique<TMainForm>(options);
        ASSERT_TRUE(m_Form->Init());
        m_Form->SetFilterServer(filter);
    }
    void TearDown() override
    {
        m_Form.reset();
        Intp::DeleteAllDevices();
    }

    std::unique_ptr<TMainForm> m_Form;
};
